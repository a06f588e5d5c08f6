#include "bitmap.h"

#include "random.h"

image new_image(int width, int height, colour fill) {
  return image{width, height, std::vector<colour>(static_cast<std::size_t>(width) * height, fill)};
}

colour mix(colour a, colour b, int t, int t_max) {
  colour out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int ca = (a >> shift) & 0xFF;
    int cb = (b >> shift) & 0xFF;
    out |= static_cast<colour>(ca + (cb - ca) * t / t_max) << shift;
  }
  return out;
}

void fill_rect(image& picture, int x0, int y0, int x1, int y1, colour c) {
  for (int y = y0 < 0 ? 0 : y0; y < y1 && y < picture.height; ++y)
    for (int x = x0 < 0 ? 0 : x0; x < x1 && x < picture.width; ++x)
      picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = c;
}

void fill_vertical_gradient(image& picture, int x0, int y0, int x1, int y1, colour top,
                            colour bottom) {
  int span = y1 - y0 > 1 ? y1 - y0 - 1 : 1;
  for (int y = y0; y < y1; ++y)
    fill_rect(picture, x0, y, x1, y + 1, mix(top, bottom, y - y0, span));
}

void blend_pixel(image& picture, int x, int y, colour c, int alpha) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
  colour& p = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
  p = mix(p, c, alpha, 255);
}

// The last pixel of the radius fades, which is all the smoothing a 400-pixel
// splash needs.
void fill_circle(image& picture, int cx, int cy, int radius, colour c, int alpha) {
  int inner = (radius - 1) * (radius - 1);
  int outer = radius * radius;
  for (int y = cy - radius; y <= cy + radius; ++y) {
    for (int x = cx - radius; x <= cx + radius; ++x) {
      int d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (d <= inner)
        blend_pixel(picture, x, y, c, alpha);
      else if (d <= outer)
        blend_pixel(picture, x, y, c, alpha * (outer - d) / (outer - inner + 1));
    }
  }
}

void draw_frame(image& picture, int x0, int y0, int x1, int y1, colour light, colour dark) {
  fill_rect(picture, x0, y0, x1, y0 + 1, light);
  fill_rect(picture, x0, y0, x0 + 1, y1, light);
  fill_rect(picture, x0, y1 - 1, x1, y1, dark);
  fill_rect(picture, x1 - 1, y0, x1, y1, dark);
}

void draw_glyph(image& picture, int x, int y, int scale, std::uint64_t seed, colour ink) {
  std::uint64_t state = seed ? seed : 1;
  int thick = scale > 2 ? scale - scale / 3 : 1;
  auto stroke = [&](int gx0, int gy0, int gx1, int gy1) {
    fill_rect(picture, x + gx0 * scale, y + gy0 * scale, x + gx1 * scale, y + gy1 * scale, ink);
  };
  // Either two halves side by side or one whole, each a few long horizontal
  // strokes crossed by a vertical one; then maybe a falling stroke.
  bool halves = random_below(state, 2) != 0;
  for (int part = 0; part < (halves ? 2 : 1); ++part) {
    int left = halves ? part * 4 : 0;
    int right = halves ? left + 3 : 7;
    for (int row = 1 + static_cast<int>(random_below(state, 2)); row < 7;
         row += 2 + static_cast<int>(random_below(state, 2)))
      fill_rect(picture, x + left * scale, y + row * scale - thick, x + right * scale,
                y + row * scale, ink);
    int column = (left + right) / 2;
    int top = static_cast<int>(random_below(state, 2));
    fill_rect(picture, x + column * scale, y + top * scale, x + column * scale + thick,
              y + 7 * scale, ink);
  }
  if (random_below(state, 2)) {
    for (int k = 0; k < 3 * scale; ++k)
      fill_rect(picture, x + 2 * scale - k / 2, y + 4 * scale + k, x + 2 * scale - k / 2 + thick,
                y + 4 * scale + k + 1, ink);
  } else {
    stroke(5, 0, 6, 1);
  }
}

namespace {

void put_u16(file_bytes& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<unsigned char>(value);
  out[at + 1] = static_cast<unsigned char>(value >> 8);
}

void put_u32(file_bytes& out, std::size_t at, std::uint32_t value) {
  put_u16(out, at, value & 0xFFFF);
  put_u16(out, at + 2, value >> 16);
}

}  // namespace

file_bytes encode_bmp(const image& picture, std::size_t trailing_pad) {
  std::size_t row_bytes = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t(3);
  std::size_t data_bytes = row_bytes * picture.height + trailing_pad;
  file_bytes out(54 + data_bytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  put_u32(out, 2, static_cast<std::uint32_t>(out.size()));  // bfSize
  put_u32(out, 10, 54);                                     // bfOffBits
  put_u32(out, 14, 40);                                     // biSize
  put_u32(out, 18, static_cast<std::uint32_t>(picture.width));
  put_u32(out, 22, static_cast<std::uint32_t>(picture.height));  // positive: bottom-up
  put_u16(out, 26, 1);                                           // biPlanes
  put_u16(out, 28, 24);                                          // biBitCount
  put_u32(out, 30, 0);                                           // BI_RGB
  put_u32(out, 34, static_cast<std::uint32_t>(data_bytes));      // biSizeImage
  put_u32(out, 38, 2835);                                        // 72 dpi
  put_u32(out, 42, 2835);
  for (int y = 0; y < picture.height; ++y) {
    std::size_t at = 54 + row_bytes * (picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x, at += 3) {
      colour c = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      out[at] = static_cast<unsigned char>(c);
      out[at + 1] = static_cast<unsigned char>(c >> 8);
      out[at + 2] = static_cast<unsigned char>(c >> 16);
    }
  }
  return out;
}

namespace {

const colour bitmap_faces[][2] = {
    {rgb(232, 240, 250), rgb(176, 198, 228)}, {rgb(250, 236, 214), rgb(226, 190, 140)},
    {rgb(226, 246, 232), rgb(150, 206, 168)}, {rgb(246, 228, 240), rgb(214, 160, 196)},
    {rgb(240, 240, 240), rgb(196, 196, 204)}, {rgb(214, 232, 246), rgb(92, 140, 196)},
};

}  // namespace

// Buttons, marks and small pictures of the product: a shaded face, a raised
// frame and a character or two, sized to about file.size bytes.
bool make_small_bitmap(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  int height = 16 + 8 * static_cast<int>(random_below(state, 6));
  if (file.size > 20000) height = 40 + 8 * static_cast<int>(random_below(state, 4));
  int width = static_cast<int>((file.size - 54) / (3 * static_cast<std::size_t>(height)));
  if (width < 8) width = 8;
  const colour* face = bitmap_faces[random_below(state, 6)];
  image picture = new_image(width, height, face[0]);
  fill_vertical_gradient(picture, 0, 0, width, height, face[0], face[1]);
  draw_frame(picture, 0, 0, width, height, rgb(255, 255, 255), mix(face[1], 0, 1, 2));
  int scale = height / 9 > 1 ? height / 9 : 1;
  int cell = 7 * scale + scale;
  colour ink = mix(face[1], 0, 3, 4);
  for (int x = scale; x + cell <= width && x < 4 * cell; x += cell)
    draw_glyph(picture, x, (height - 7 * scale) / 2, scale, next_random(state), ink);
  for (int i = 0; i < width * height / 600; ++i)
    fill_circle(picture, static_cast<int>(random_below(state, width)),
                static_cast<int>(random_below(state, height)),
                2 + static_cast<int>(random_below(state, 4)), rgb(255, 255, 255), 60);
  out = encode_bmp(picture, 0);
  return true;
}
