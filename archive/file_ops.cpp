#include "archive/file_ops.h"

#include <cstring>
#include <initializer_list>

#include "archive/archive_format.h"
#include "archive/file_io.h"

int remove_file(const char* path) {
  // A file that is there but cannot be opened (held without sharing) is not "nothing to
  // delete": asking the file system what stands at path tells the two apart.
  switch (file_io::kind_of(path)) {
    case file_io::path_kind::missing:
      return 0;
    case file_io::path_kind::directory:
      return -1;
    case file_io::path_kind::file:
      break;
  }
  file_io::clear_attributes(path);
  if (file_io::remove(path)) return 0;
  return file_io::kind_of(path) == file_io::path_kind::missing ? 0 : -1;
}

namespace {

// Start and width of the fifth character from the end, walking GBK so that a double-byte
// character is replaced whole ("冷色瓷面.yzz" -> "冷色瓷2.yzz"), never by its trail byte.
bool fifth_character_from_end(const char* path, size_t* start, size_t* width) {
  size_t starts[5] = {0, 0, 0, 0, 0};
  size_t seen = 0;
  size_t at = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
  while (p[at] != 0) {
    starts[seen % 5] = at;
    ++seen;
    at += (p[at] >= 0x81 && p[at] <= 0xFE && p[at + 1] != 0) ? 2 : 1;
  }
  if (seen < 5) return false;
  *start = starts[(seen - 5) % 5];
  *width = starts[(seen - 4) % 5] - *start;
  return true;
}

}  // namespace

int rename_aside(const char* path) {
  const size_t length = std::strlen(path);
  size_t start = 0, width = 0;
  if (length >= max_path_bytes || !fifth_character_from_end(path, &start, &width)) return -1;
  if (file_io::kind_of(path) != file_io::path_kind::file) return -1;
  char aside[max_path_bytes];
  std::memcpy(aside, path, start);
  std::memcpy(aside + start + 1, path + start + width, length - start - width + 1);
  for (const char mark : {'2', '1'}) {
    aside[start] = mark;
    // The path's own name is never its alternative: removing that would lose the file.
    if (std::strcmp(aside, path) == 0) continue;
    remove_file(aside);
    if (file_io::move(path, aside)) return 0;
  }
  return -1;
}
