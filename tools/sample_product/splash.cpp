#include "bitmap.h"
#include "random.h"

// The setup shows the top 400 x 190 pixels of this picture and, for the
// Pinyin edition, covers the 128 x 35 strip at (73, 90) by stretching the
// strip's first two rows over it before writing its own edition name there.
// So the edition name sits on a plain panel whose colour fills rows 90 and 91
// of the strip, and the name itself keeps clear of those rows.

namespace {

constexpr int splash_width = 401;
constexpr int splash_height = 310;
constexpr int horizon = 150;

constexpr colour panel_colour = rgb(238, 244, 250);

void draw_sky_and_water(image& picture, std::uint64_t& state) {
  fill_vertical_gradient(picture, 0, 0, splash_width, horizon, rgb(24, 62, 140),
                         rgb(168, 208, 238));
  fill_vertical_gradient(picture, 0, horizon, splash_width, splash_height, rgb(62, 128, 170),
                         rgb(14, 46, 92));

  fill_circle(picture, 338, 58, 46, rgb(255, 244, 210), 40);
  fill_circle(picture, 338, 58, 34, rgb(255, 244, 210), 70);
  fill_circle(picture, 338, 58, 24, rgb(255, 248, 226), 230);
  for (int i = 0; i < 14; ++i)
    fill_circle(picture, 150 + static_cast<int>(random_below(state, 130)),
                30 + static_cast<int>(random_below(state, 36)),
                8 + static_cast<int>(random_below(state, 12)), rgb(255, 255, 255), 50);

  // Ripples: short light strokes, denser and brighter under the sun.
  for (int y = horizon + 3; y < splash_height; y += 3 + static_cast<int>(random_below(state, 4))) {
    for (int n = 0; n < 9; ++n) {
      int x = static_cast<int>(random_below(state, splash_width));
      int length = 6 + static_cast<int>(random_below(state, 18));
      for (int k = 0; k < length; ++k) blend_pixel(picture, x + k, y, rgb(200, 230, 250), 70);
    }
    int half = 4 + (y - horizon) / 6;
    for (int n = 0; n < 3; ++n) {
      int x = 338 - half + static_cast<int>(random_below(state, 2 * half));
      int length = 3 + static_cast<int>(random_below(state, 8));
      for (int k = 0; k < length; ++k) blend_pixel(picture, x + k, y, rgb(255, 244, 210), 130);
    }
  }
}

void draw_boat(image& picture) {
  for (int y = 140; y < horizon; ++y)
    for (int x = 292 + (y - 140) * 2; x < 372 - (y - 140); ++x)
      blend_pixel(picture, x, y, rgb(58, 40, 36), 255);
  for (int y = horizon; y < horizon + 8; ++y)
    for (int x = 296 + (y - horizon) * 2; x < 366 - (y - horizon); ++x)
      blend_pixel(picture, x, y, rgb(20, 30, 50), 90);
  fill_rect(picture, 330, 92, 332, 140, rgb(70, 50, 40));
  for (int y = 94; y < 136; ++y) {
    for (int x = 333; x < 333 + (y - 94) * 33 / 42; ++x)
      blend_pixel(picture, x, y, rgb(250, 246, 236), 255);
    if (y >= 100)
      for (int x = 329 - (y - 100) * 23 / 36; x < 329; ++x)
        blend_pixel(picture, x, y, rgb(236, 230, 218), 255);
  }
}

void draw_title(image& picture) {
  for (int i = 0; i < 4; ++i) {
    std::uint64_t seed = 0x51A5u + 977u * static_cast<unsigned>(i);
    draw_glyph(picture, 32 + i * 42, 24, 5, seed, rgb(10, 30, 80));
    draw_glyph(picture, 30 + i * 42, 22, 5, seed, rgb(255, 255, 255));
  }
}

// The panel spans x 60..215, y 82..131; the name's four characters stand at
// x 76..196, y 94..121, inside the strip and below its rows 90 and 91.
void draw_edition_name(image& picture) {
  for (int y = 85; y < 135; ++y)
    for (int x = 63; x < 219; ++x) blend_pixel(picture, x, y, rgb(10, 20, 50), 70);
  fill_rect(picture, 60, 82, 216, 132, panel_colour);
  draw_frame(picture, 60, 82, 216, 132, rgb(255, 255, 255), rgb(150, 180, 215));
  for (int i = 0; i < 4; ++i)
    draw_glyph(picture, 76 + i * 31, 94, 4, 0xB1E5u + 131u * static_cast<unsigned>(i),
               rgb(36, 70, 140));
}

}  // namespace

bool make_splash_bitmap(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  image picture = new_image(splash_width, splash_height, 0);
  draw_sky_and_water(picture, state);
  draw_boat(picture);
  draw_title(picture);
  draw_edition_name(picture);
  // Two zero bytes follow the last row: the splash file is 373,296 bytes
  // long and its header counts them.
  out = encode_bmp(picture, 2);
  return out.size() == file.size;
}
