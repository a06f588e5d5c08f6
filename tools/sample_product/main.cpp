// make_sample_product OUTDIR [--setupw64 FILE]
//
// Writes the 91 files of the sample product into OUTDIR (names in UTF-8),
// the same bytes on every run. With --setupw64 the given 64-bit companion
// build is copied in place of the stand-in.

#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "product_file.h"

namespace fs = std::filesystem;

namespace {

bool is_ascii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

// The archive writer takes GBK paths, so its scratch folder must be one
// whose name reads the same in GBK and UTF-8: plain ASCII.
std::string make_scratch_dir() {
  std::error_code error;
  std::string base = fs::temp_directory_path(error).string();
  if (error || !is_ascii(base)) base = "/tmp";
  std::string pattern = base + "/yz_sample_XXXXXX";
  if (!mkdtemp(&pattern[0])) return std::string();
  return pattern;
}

bool write_file(const fs::path& path, const file_bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int usage() {
  std::fprintf(stderr, "usage: make_sample_product OUTDIR [--setupw64 FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* out_dir = nullptr;
  make_context context{std::string(), nullptr};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--setupw64") == 0 && i + 1 < argc)
      context.setupw64_path = argv[++i];
    else if (argv[i][0] != '-' && !out_dir)
      out_dir = argv[i];
    else
      return usage();
  }
  if (!out_dir) return usage();

  std::error_code error;
  fs::create_directories(out_dir, error);
  context.scratch_dir = make_scratch_dir();
  if (context.scratch_dir.empty()) {
    std::fprintf(stderr, "make_sample_product: cannot create a scratch folder\n");
    return 1;
  }

  int result = 0;
  std::size_t total = 0;
  for (std::size_t i = 0; i < product_file_count && result == 0; ++i) {
    const product_file& file = product_files[i];
    file_bytes bytes;
    if (!file.make(file, context, bytes) || bytes.empty()) {
      std::fprintf(stderr, "make_sample_product: cannot make %s\n", file.name);
      result = 1;
    } else if (!write_file(fs::path(out_dir) / file.name, bytes)) {
      std::fprintf(stderr, "make_sample_product: cannot write %s in %s\n", file.name, out_dir);
      result = 1;
    }
    total += bytes.size();
  }
  fs::remove_all(context.scratch_dir, error);
  if (result == 0)
    std::printf("make_sample_product: %zu files, %zu bytes in %s\n", product_file_count, total,
                out_dir);
  return result;
}
