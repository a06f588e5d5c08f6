#include "gbk.h"
#include "random.h"

namespace {

void put_u16(file_bytes& out, std::size_t at, unsigned value) {
  out[at] = static_cast<unsigned char>(value);
  out[at + 1] = static_cast<unsigned char>(value >> 8);
}

void put_u32(file_bytes& out, std::size_t at, std::uint32_t value) {
  put_u16(out, at, value & 0xFFFF);
  put_u16(out, at + 2, value >> 16);
}

void append_bytes(file_bytes& out, std::initializer_list<unsigned> bytes) {
  for (unsigned b : bytes) out.push_back(static_cast<unsigned char>(b));
}

void append_segment(file_bytes& out, unsigned marker, const file_bytes& body) {
  std::size_t length = body.size() + 2;
  append_bytes(out, {0xFF, marker, unsigned(length >> 8), unsigned(length & 0xFF)});
  out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

// The product's own tables: fixed-width records of a running number, a
// character and small fields, the shape of its index and code tables.
bool make_opaque_data(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  unsigned width = 4 + random_below(state, 9);
  out.assign(file.size, 0);
  std::size_t at = 0;
  for (unsigned number = 0; at + width <= file.size; ++number, at += width) {
    put_u16(out, at, number);
    file_bytes character;
    append_hanzi(character, pick_hanzi(state));
    out[at + 2] = character[0];
    out[at + 3] = character[1];
    for (unsigned k = 4; k < width; ++k)
      out[at + k] = static_cast<unsigned char>(random_below(state, 8) ? random_below(state, 8)
                                                                      : next_random(state));
  }
  for (; at < file.size; ++at) out[at] = static_cast<unsigned char>(next_random(state));
  return true;
}

// A settings record: the setup's built-in default record with a few of the
// product's own choices set, different for each record file.
bool make_settings_record(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  out.assign(file.size, 0);
  static const unsigned ones[] = {9, 10, 12, 15, 19, 22, 24, 36, 41, 43, 54, 58};
  out[8] = 0x36;
  for (unsigned at : ones) out[at] = 1;
  for (int i = 0; i < 6; ++i)
    out[90 + random_below(state, 100)] = static_cast<unsigned char>(1 + random_below(state, 20));
  return file.size == 200;
}

// Pictures for the product's pages: JFIF headers with a quantisation table
// and frame header, then scan-like bytes free of markers, then EOI. They are
// stand-ins, not decodable images.
bool make_jpeg(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  out.clear();
  append_bytes(out, {0xFF, 0xD8});
  append_segment(out, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 1, 0, 72, 0, 72, 0, 0});
  file_bytes table{0};
  for (int i = 0; i < 64; ++i) table.push_back(static_cast<unsigned char>(8 + (i % 8 + i / 8) * 4));
  append_segment(out, 0xDB, table);
  unsigned width = 120 + random_below(state, 280), height = 60 + random_below(state, 200);
  append_segment(
      out, 0xC0,
      {8, static_cast<unsigned char>(height >> 8), static_cast<unsigned char>(height),
       static_cast<unsigned char>(width >> 8), static_cast<unsigned char>(width), 1, 1, 0x11, 0});
  while (out.size() + 2 < file.size)
    out.push_back(static_cast<unsigned char>(random_below(state, 4) ? random_below(state, 64)
                                                                    : random_below(state, 255)));
  append_bytes(out, {0xFF, 0xD9});
  return true;
}

// A small valid Flash movie: header, background colour, one binary-data tag
// carrying the rest of the size, one frame.
bool make_flash_movie(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  out.clear();
  append_bytes(out, {'F', 'W', 'S', 6, 0, 0, 0, 0});
  // RECT: 5 bits of field width (15), then xmin 0, xmax 8000, ymin 0, ymax 6000 twips.
  std::uint32_t fields[4] = {0, 8000, 0, 6000};
  unsigned bits = 0, used = 0;
  auto put_bits = [&](std::uint32_t value, int count) {
    for (int k = count - 1; k >= 0; --k) {
      bits = (bits << 1) | ((value >> k) & 1);
      if (++used == 8) {
        out.push_back(static_cast<unsigned char>(bits));
        bits = used = 0;
      }
    }
  };
  put_bits(15, 5);
  for (std::uint32_t f : fields) put_bits(f, 15);
  if (used) out.push_back(static_cast<unsigned char>(bits << (8 - used)));
  append_bytes(out, {0x00, 0x0C, 0x01, 0x00});        // 12 frames a second, one frame
  append_bytes(out, {0x43, 0x02, 0xF0, 0xF8, 0xFF});  // SetBackgroundColor
  // The tags after this point take 16 bytes besides the data.
  std::size_t data = file.size > out.size() + 32 ? file.size - out.size() - 16 : 16;
  // DefineBinaryData (87) in the long tag form: id, reserved, bytes.
  append_bytes(out, {(87u << 6 | 0x3F) & 0xFF, (87u << 6 | 0x3F) >> 8});
  file_bytes length(4);
  put_u32(length, 0, static_cast<std::uint32_t>(data + 6));
  out.insert(out.end(), length.begin(), length.end());
  append_bytes(out, {1, 0, 0, 0, 0, 0});
  for (std::size_t i = 0; i < data; ++i)
    out.push_back(static_cast<unsigned char>(random_below(state, 3) ? random_below(state, 32)
                                                                    : next_random(state)));
  append_bytes(out, {0x40, 0x00, 0x00, 0x00});  // ShowFrame, End
  put_u32(out, 4, static_cast<std::uint32_t>(out.size()));
  return true;
}
