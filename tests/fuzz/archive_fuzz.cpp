// One fuzz input is one archive in memory: it is unpacked into a scratch directory,
// verified against what landed, searched for named entries, and its bytes are compacted
// as a word list. Every buffer is a heap block of exactly its size, so the sanitizers see
// a single byte read or written past it. An entry that lands outside the scratch
// directory aborts the run.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/contains_text.h"
#include "archive/word_list.h"

namespace {

// Small enough to keep runs fast, large enough for several entries of a real payload.
constexpr size_t fuzz_scratch_size = 65536 + scratch_reserve;

struct fuzz_dirs {
  std::string parent;  // holds nothing but target
  std::string target;  // where entries may land, with a final "/"
};

void clear_dir(const std::string& dir) {
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        unlink((dir + "/" + e->d_name).c_str());
    }
    closedir(d);
  }
}

// Made once and never freed, so the exit handler can still use it.
const fuzz_dirs& dirs() {
  static const fuzz_dirs* const made = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/yzfuzz-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) std::abort();
    if (mkdir((pattern + "/t").c_str(), 0700) != 0) std::abort();
    std::atexit([] {
      clear_dir(dirs().target);
      rmdir(dirs().target.c_str());
      rmdir(dirs().parent.c_str());
    });
    return new fuzz_dirs{pattern, pattern + "/t/"};
  }();
  return *made;
}

void check_confined() {
  DIR* d = opendir(dirs().parent.c_str());
  if (d == nullptr) std::abort();
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0 &&
        std::strcmp(e->d_name, "t") != 0) {
      std::fprintf(stderr, "entry escaped the target directory: %s\n", e->d_name);
      std::abort();
    }
  }
  closedir(d);
}

void ignore_failure(const char* name) {
  // The name must be a readable, terminated text.
  volatile size_t n = std::strlen(name);
  (void)n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz_dirs& d = dirs();
  std::vector<unsigned char> archive(data, data + size);
  const byte_span span{archive.data(), archive.size()};

  std::vector<unsigned char> scratch(fuzz_scratch_size);
  extract_archive(span, mutable_byte_span{scratch.data(), scratch.size()}, d.target.c_str(),
                  ignore_failure);
  check_confined();

  std::vector<char> report(300);
  verify_archive(span, d.target.c_str(), report.data(), report.size(), "yingcyzk.bak a.txt ");
  if (std::memchr(report.data(), 0, report.size()) == nullptr) std::abort();
  clear_dir(d.target);

  extract_entry(span, "a.txt", mutable_byte_span{scratch.data(), scratch.size()});
  extract_entry_length(span, "lumo1.bmp", mutable_byte_span{scratch.data(), 102});

  std::vector<unsigned char> text(size + word_list_trailer_size);
  if (size > 0) std::memcpy(text.data(), data, size);
  if (compact_word_list(text.data(), size) > size) std::abort();

  const std::string half(reinterpret_cast<const char*>(data), size / 2);
  const std::string rest(reinterpret_cast<const char*>(data) + size / 2, size - size / 2);
  contains_text(half.c_str(), rest.c_str());
  return 0;
}
