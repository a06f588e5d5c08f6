#pragma once
// One row per file of the sample product, and the makers that fill them.
// Every maker is deterministic: its bytes depend only on the row (name and
// size), so two runs of the generator give identical files; the one input from
// outside is the 64-bit companion build that may be given to copy.

#include <cstddef>
#include <string>
#include <vector>

using file_bytes = std::vector<unsigned char>;

struct make_context {
  std::string scratch_dir;    // ASCII folder for the archive writer's inputs
  const char* setupw64_path;  // real 64-bit companion to copy, or nullptr
};

struct product_file;
using file_maker = bool (*)(const product_file& file, const make_context& context, file_bytes& out);

struct product_file {
  const char* name;  // UTF-8, as it is named on disk
  file_maker make;
  std::size_t size;  // exact for programs and records, an upper bound for texts, unused by archives
};

// The payload's files in archive order.
extern const product_file product_files[];
extern const std::size_t product_file_count;

// modules.cpp
bool make_variant_module(const product_file& file, const make_context& context, file_bytes& out);
bool make_main_module(const product_file& file, const make_context& context, file_bytes& out);
bool make_companion(const product_file& file, const make_context& context, file_bytes& out);
bool make_program(const product_file& file, const make_context& context, file_bytes& out);

// word_library.cpp
bool make_wubi_library(const product_file& file, const make_context& context, file_bytes& out);
bool make_pinyin_library(const product_file& file, const make_context& context, file_bytes& out);

// splash.cpp
bool make_splash_bitmap(const product_file& file, const make_context& context, file_bytes& out);

// bitmap.cpp
bool make_small_bitmap(const product_file& file, const make_context& context, file_bytes& out);

// skins.cpp
bool make_offered_skin(const product_file& file, const make_context& context, file_bytes& out);
bool make_spare_skin(const product_file& file, const make_context& context, file_bytes& out);
bool make_phrase_archive(const product_file& file, const make_context& context, file_bytes& out);

// sounds.cpp
bool make_sound(const product_file& file, const make_context& context, file_bytes& out);

// data_files.cpp
bool make_opaque_data(const product_file& file, const make_context& context, file_bytes& out);
bool make_settings_record(const product_file& file, const make_context& context, file_bytes& out);
bool make_jpeg(const product_file& file, const make_context& context, file_bytes& out);
bool make_flash_movie(const product_file& file, const make_context& context, file_bytes& out);

// texts.cpp
bool make_code_table_text(const product_file& file, const make_context& context, file_bytes& out);
bool make_char_pair_text(const product_file& file, const make_context& context, file_bytes& out);
bool make_note_text(const product_file& file, const make_context& context, file_bytes& out);
