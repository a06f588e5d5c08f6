#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "archive/archive_writer.h"
#include "bitmap.h"
#include "random.h"

// Skin archives: the status window's eight pieces, written as files into the
// scratch folder and packed one by one by the archive writer. The three skins
// that the setup offers are kept in the legacy layout; the spare skin and the
// phrase archive in the current one, followed by four zero bytes.

namespace {

struct skin_palette {
  const char* name;  // UTF-8 archive name
  colour face_top;
  colour face_bottom;
  colour edge;
  colour ink;
};

const skin_palette palettes[] = {
    {u8"冷色瓷面.yzz", rgb(214, 226, 238), rgb(150, 172, 198), rgb(88, 110, 142), rgb(28, 50, 92)},
    {u8"粉色瓷面.yzz", rgb(252, 222, 230), rgb(234, 168, 190), rgb(178, 98, 128), rgb(118, 28, 70)},
    {u8"小天使.yzz", rgb(255, 246, 204), rgb(248, 218, 150), rgb(198, 158, 80), rgb(108, 78, 20)},
    {u8"简短白.yzz", rgb(255, 255, 255), rgb(236, 236, 236), rgb(168, 168, 168), rgb(60, 60, 60)},
};

const skin_palette& palette_of(const char* name) {
  for (const skin_palette& p : palettes)
    if (std::strcmp(p.name, name) == 0) return p;
  return palettes[0];
}

const char* const skin_pieces[] = {"yzbmp8.yzh",   "yzbmpsx1.bmp", "yzbmpsx2.bmp", "yzbmpsx3.bmp",
                                   "yzbmpsx4.bmp", "yzbmpsx5.bmp", "yzbmpsx6.bmp", "yzbmpsx7.bmp"};

bool write_file(const std::string& path, const file_bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool read_file(const std::string& path, file_bytes& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// Piece 1 is the status bar's background, pieces 2 to 7 its buttons.
file_bytes skin_bitmap(const skin_palette& palette, int piece, std::uint64_t& state) {
  int width = piece == 1 ? 168 : 22 + 2 * (piece % 3);
  int height = piece == 1 ? 30 : 22;
  image picture = new_image(width, height, palette.face_top);
  fill_vertical_gradient(picture, 0, 0, width, height, palette.face_top, palette.face_bottom);
  draw_frame(picture, 0, 0, width, height, mix(palette.face_top, rgb(255, 255, 255), 1, 2),
             palette.edge);
  if (piece == 1) {
    for (int i = 0; i < 5; ++i)
      draw_glyph(picture, 8 + i * 30, 5, 3, next_random(state), palette.ink);
  } else {
    fill_circle(picture, width / 2, height / 2, 8, palette.edge, 90);
    draw_glyph(picture, width / 2 - 7, height / 2 - 7, 2, next_random(state), palette.ink);
  }
  return encode_bmp(picture, 0);
}

// The skin's layout record: piece positions and the window colours.
file_bytes skin_layout(const skin_palette& palette, std::uint64_t& state) {
  file_bytes out(256, 0);
  std::memcpy(out.data(), "YZSKIN8", 7);
  colour colours[] = {palette.face_top, palette.face_bottom, palette.edge, palette.ink};
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 3; ++k)
      out[8 + i * 4 + k] = static_cast<unsigned char>(colours[i] >> (8 * k));
  for (int piece = 0; piece < 7; ++piece) {
    out[32 + piece * 8] = static_cast<unsigned char>(piece == 0 ? 0 : 26 + piece * 24);
    out[33 + piece * 8] = 4;
    out[34 + piece * 8] = static_cast<unsigned char>(piece == 0 ? 168 : 22);
    out[35 + piece * 8] = static_cast<unsigned char>(piece == 0 ? 30 : 22);
  }
  for (std::size_t at = 96; at < out.size(); ++at)
    out[at] = static_cast<unsigned char>(random_below(state, 4) ? 0 : random_below(state, 256));
  return out;
}

using append_function = bool (*)(const char* archive_path, const char* source_path);

// Packs the given files (name, bytes) into a fresh archive in the scratch
// folder and returns its bytes; the scratch files are removed again.
bool pack(const make_context& context, append_function append, const char* const* names,
          const file_bytes* contents, int count, file_bytes& out) {
  const std::string archive = context.scratch_dir + "/archive.yzz";
  std::remove(archive.c_str());
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    const std::string source = context.scratch_dir + "/" + names[i];
    ok = write_file(source, contents[i]) && append(archive.c_str(), source.c_str());
    std::remove(source.c_str());
  }
  ok = ok && read_file(archive, out);
  std::remove(archive.c_str());
  return ok;
}

bool pack_skin(const product_file& file, const make_context& context, append_function append,
               file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  const skin_palette& palette = palette_of(file.name);
  file_bytes contents[8];
  contents[0] = skin_layout(palette, state);
  for (int piece = 1; piece < 8; ++piece) contents[piece] = skin_bitmap(palette, piece, state);
  return pack(context, append, skin_pieces, contents, 8, out);
}

// The current layout's archives in the payload end with four zero bytes
// after the last entry, outside the archive's own length.
void append_end_mark(file_bytes& out) { out.insert(out.end(), 4, 0); }

}  // namespace

bool make_offered_skin(const product_file& file, const make_context& context, file_bytes& out) {
  return pack_skin(file, context, append_to_legacy_archive, out);
}

bool make_spare_skin(const product_file& file, const make_context& context, file_bytes& out) {
  if (!pack_skin(file, context, append_to_archive, out)) return false;
  append_end_mark(out);
  return true;
}

// A small phrase collection: two tables and a note, built by the makers of
// their kinds. Text keeps the archive below 8,192 bytes, which the payload's
// writer always accepts even though an archive's bytes hardly compress again.
bool make_phrase_archive(const product_file&, const make_context& context, file_bytes& out) {
  const product_file parts[] = {
      {"qxfc01.txt", make_code_table_text, 6000},
      {"qxfc02.txt", make_char_pair_text, 3000},
      {"qxfcsm.txt", make_note_text, 1200},
  };
  const char* names[3];
  file_bytes contents[3];
  for (int i = 0; i < 3; ++i) {
    names[i] = parts[i].name;
    if (!parts[i].make(parts[i], context, contents[i])) return false;
  }
  if (!pack(context, append_to_archive, names, contents, 3, out)) return false;
  append_end_mark(out);
  return true;
}
