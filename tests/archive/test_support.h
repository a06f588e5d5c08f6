// Crafting archives byte by byte and looking at what landed on disk, for the archive
// tests of both builds. Paths are GBK, as the archive code takes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/byte_span.h"

// One entry as it will stand in a crafted archive.
struct entry_fixture {
  std::string name{};     // raw bytes of the name field: zero-filled, or cut, to its width
  std::string content{};  // what the entry unpacks to
  std::optional<std::string> digest{};  // the digest field (default: MD5 text of content)
  std::optional<std::string> stream{};  // the data (default: zlib stream of content)
  std::optional<uint32_t> csize{};      // default: length of the data
  std::string tag = "YF";
};

std::string zlib_stream(const std::string& data);
// 32 upper-case hex digits.
std::string md5_text(const std::string& data);
std::string current_entry(const entry_fixture& fixture);
std::string legacy_entry(const entry_fixture& fixture);
// Header ("Y" + layout mark, total = whole length, count) followed by the entries.
std::string archive_bytes(char layout_mark, uint32_t count, const std::string& entries);
std::string current_archive(const std::vector<entry_fixture>& entries);
std::string legacy_archive(const std::vector<entry_fixture>& entries);
uint32_t u32_at(const std::string& bytes, size_t offset);

inline byte_span span_of(const std::string& bytes) {
  return byte_span{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

// A fresh directory, removed with everything in it at the end of the test. path() ends
// with the system's separator.
class temp_dir {
 public:
  temp_dir();
  ~temp_dir();
  temp_dir(const temp_dir&) = delete;
  temp_dir& operator=(const temp_dir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

extern const char test_separator;
bool make_dir(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
// nullopt when the file cannot be read.
std::optional<std::string> read_file(const std::string& path);
bool file_exists(const std::string& path);
// Every file and folder below root, as relative paths with "/" between the parts, sorted.
std::vector<std::string> list_tree(const std::string& root);

// Collects the names that extract_archive reports as failed.
void record_failure(const char* entry_name);
std::vector<std::string>& recorded_failures();
