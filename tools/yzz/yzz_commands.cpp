#include "tools/yzz/yzz_commands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/archive_walk.h"
#include "archive/archive_writer.h"
#include "archive/entry_name.h"
#include "archive/gbk_text.h"

namespace {

constexpr size_t gbk_path_capacity = 4096;
// verify's report: ample for any archive's names, so nothing is left out.
constexpr size_t report_capacity = 1 << 20;

bool read_whole_file(const char* path, std::vector<unsigned char>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// GBK text for the terminal: UTF-8 where it converts, otherwise \xHH for every byte that
// is not printable ASCII, so a hostile name shows what it is.
std::string printable(const char* gbk, bool line_breaks = false) {
  std::vector<char> utf8(std::strlen(gbk) * 2 + 1);
  if (gbk_to_utf8(gbk, utf8.data(), utf8.size())) {
    bool plain = true;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.data()); *p; ++p)
      if ((*p < 0x20 && !(line_breaks && (*p == '\r' || *p == '\n'))) || *p == 0x7F) plain = false;
    if (plain) return utf8.data();
  }
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(gbk); *p; ++p) {
    if (*p >= 0x20 && *p < 0x7F && *p != '\\') {
      out += static_cast<char>(*p);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", *p);
      out += escape;
    }
  }
  return out;
}

bool to_gbk(const char* utf8, char (&out)[gbk_path_capacity]) {
  if (utf8_to_gbk(utf8, out, sizeof out)) return true;
  std::fprintf(stderr, "yzz: %s has no GBK form\n", utf8);
  return false;
}

bool load_archive(const char* path, std::vector<unsigned char>* bytes, archive_walk* walk) {
  if (!read_whole_file(path, bytes)) {
    std::fprintf(stderr, "yzz: cannot read %s\n", path);
    return false;
  }
  if (!begin_walk(byte_span{bytes->data(), bytes->size()}, walk)) {
    std::fprintf(stderr, "yzz: %s is not a YZZ archive (shorter than its header)\n", path);
    return false;
  }
  return true;
}

void report_failed_entry(const char* name) {
  std::fprintf(stderr, "yzz: cannot unpack entry \"%s\"\n", printable(name).c_str());
}

std::string digest_text(const archive_entry& entry) {
  if (entry.digest == nullptr) return "-";
  char text[digest_text_size + 1] = {};
  std::memcpy(text, entry.digest, digest_text_size);
  return printable(text);
}

}  // namespace

int print_usage() {
  std::fprintf(stderr,
               "usage: yzz pack [--legacy] ARCHIVE FILE...\n"
               "       yzz list ARCHIVE\n"
               "       yzz verify [--exclude TEXT] ARCHIVE DIR\n"
               "       yzz unpack ARCHIVE DIR\n");
  return 2;
}

int run_pack(int argc, char** argv) {
  const bool legacy = argc > 0 && std::strcmp(argv[0], "--legacy") == 0;
  if (legacy) {
    --argc;
    ++argv;
  }
  if (argc < 2) return print_usage();
  char archive[gbk_path_capacity];
  if (!to_gbk(argv[0], archive)) return 1;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    char source[gbk_path_capacity];
    if (!to_gbk(argv[i], source)) {
      status = 1;
      continue;
    }
    const size_t name_length = std::strlen(file_name_part(source));
    if (name_length > max_written_name) {
      std::fprintf(stderr, "yzz: %s: name is %zu bytes in GBK, at most %zu fit an entry\n", argv[i],
                   name_length, max_written_name);
      status = 1;
      continue;
    }
    const bool added =
        legacy ? append_to_legacy_archive(archive, source) : append_to_archive(archive, source);
    if (!added) {
      std::fprintf(stderr,
                   "yzz: cannot add %s to %s (unreadable, already there, or the archive is "
                   "damaged or of the other layout)\n",
                   argv[i], argv[0]);
      status = 1;
    }
  }
  return status;
}

int run_list(int argc, char** argv) {
  if (argc != 1) return print_usage();
  std::vector<unsigned char> bytes;
  archive_walk walk;
  if (!load_archive(argv[0], &bytes, &walk)) return 1;
  int status = 0;
  for (;;) {
    archive_entry entry;
    const entry_status s = next_entry(&walk, &entry);
    if (s == entry_status::done) break;
    if (s == entry_status::no_tag) {
      std::fprintf(stderr, "yzz: %s: entry %u of %u has no \"YF\" tag\n", argv[0], walk.index + 1,
                   walk.count);
      status = 1;
      break;
    }
    char name[sizeof(entry_header::name) + 1];
    copy_entry_name(entry, name, sizeof name);
    if (s == entry_status::truncated) {
      std::fprintf(stderr, "yzz: %s: entry %u of %u (\"%s\") reaches past the end\n", argv[0],
                   walk.index + 1, walk.count, printable(name).c_str());
      status = 1;
      break;
    }
    std::printf("%s\t%u\t%s\n", printable(name).c_str(), entry.csize, digest_text(entry).c_str());
    if (!is_plain_entry_name(entry)) {
      std::fprintf(stderr, "yzz: %s: entry \"%s\" is not a plain file name\n", argv[0],
                   printable(name).c_str());
      status = 1;
    }
  }
  return status;
}

int run_verify(int argc, char** argv) {
  const char* exclusions = "";
  if (argc > 1 && std::strcmp(argv[0], "--exclude") == 0) {
    exclusions = argv[1];
    argc -= 2;
    argv += 2;
  }
  if (argc != 2) return print_usage();
  std::vector<unsigned char> bytes;
  archive_walk walk;
  if (!load_archive(argv[0], &bytes, &walk)) return 1;
  char dir[gbk_path_capacity], excluded[gbk_path_capacity];
  if (!to_gbk(argv[1], dir) || !to_gbk(exclusions, excluded)) return 1;
  std::vector<char> report(report_capacity);
  const int passed = verify_archive(byte_span{bytes.data(), bytes.size()}, dir, report.data(),
                                    report.size(), excluded);
  std::string text = printable(report.data(), true);
  // The report's line breaks are Windows ones.
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  std::fputs(text.c_str(), stdout);
  std::printf("%d of %u entries passed\n", passed, walk.count);
  return static_cast<uint32_t>(passed) == walk.count ? 0 : 1;
}

int run_unpack(int argc, char** argv) {
  if (argc != 2) return print_usage();
  std::vector<unsigned char> bytes;
  archive_walk walk;
  if (!load_archive(argv[0], &bytes, &walk)) return 1;
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  if (error || !std::filesystem::is_directory(argv[1])) {
    std::fprintf(stderr, "yzz: cannot make directory %s\n", argv[1]);
    return 1;
  }
  char dir[gbk_path_capacity];
  if (!to_gbk(argv[1], dir)) return 1;
  std::vector<unsigned char> scratch(work_buffer_size);
  const bool ok =
      extract_archive(byte_span{bytes.data(), bytes.size()},
                      mutable_byte_span{scratch.data(), scratch.size()}, dir, report_failed_entry);
  return ok ? 0 : 1;
}
