#pragma once
// Drawing in memory and the one BMP encoder of the sample product: 24-bit,
// uncompressed, bottom-up, as the setup's splash drawing and the product's
// skins read them.

#include <cstdint>
#include <vector>

#include "product_file.h"

using colour = std::uint32_t;  // 0xRRGGBB

constexpr colour rgb(unsigned r, unsigned g, unsigned b) { return (r << 16) | (g << 8) | b; }

struct image {
  int width;
  int height;
  std::vector<colour> pixels;  // top row first
};

image new_image(int width, int height, colour fill);

// t of t_max of the way from a to b.
colour mix(colour a, colour b, int t, int t_max);

// Rectangles are half-open: x0 <= x < x1, y0 <= y < y1; parts outside the image are skipped.
void fill_rect(image& picture, int x0, int y0, int x1, int y1, colour c);
void fill_vertical_gradient(image& picture, int x0, int y0, int x1, int y1, colour top,
                            colour bottom);
void blend_pixel(image& picture, int x, int y, colour c, int alpha);  // alpha 0..255
void fill_circle(image& picture, int cx, int cy, int radius, colour c, int alpha);
void draw_frame(image& picture, int x0, int y0, int x1, int y1, colour light, colour dark);

// A stand-in for one written character: strokes laid on a 7 x 7 grid, each
// grid step `scale` pixels, chosen by seed. Covers 7 * scale pixels square.
void draw_glyph(image& picture, int x, int y, int scale, std::uint64_t seed, colour ink);

// BMP file bytes; trailing_pad zero bytes follow the last row and are counted
// in bfSize and biSizeImage.
file_bytes encode_bmp(const image& picture, std::size_t trailing_pad);
