#include "tests/setup/test_archive.h"

#include <windows.h>

#include "archive/archive_format.h"
#include "archive/archive_writer.h"
#include "tests/setup/setup_test_support.h"

std::string make_test_archive(const std::string& archive_path,
                              const std::vector<std::string>& files) {
  DeleteFileA(archive_path.c_str());
  for (const std::string& file : files)
    if (!append_to_archive(archive_path.c_str(), file.c_str())) return std::string();
  return read_file(archive_path);
}

bool spoil_entry_digest(std::string& archive, unsigned index) {
  size_t at = sizeof(archive_header);
  for (unsigned i = 0;; ++i) {
    if (at + sizeof(entry_header) > archive.size()) return false;
    const auto* entry = reinterpret_cast<const entry_header*>(archive.data() + at);
    if (i == index) {
      char& digit = archive[at + offsetof(entry_header, digest)];
      digit = digit == '0' ? '1' : '0';
      return true;
    }
    at += sizeof(entry_header) + load_u32le(entry->csize);
  }
}
