#include "archive/md5_hex.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "archive/archive_format.h"
#include "archive/file_io.h"
#include "archive/md5_digest.h"

void md5_hex(const void* data, size_t length, char out[34]) {
  std::memset(out, 0, digest_text_size);
  unsigned char digest[16];
  if (!md5_digest(data, length, digest)) return;
  static const char digits[] = "0123456789ABCDEF";
  for (size_t i = 0; i < sizeof digest; ++i) {
    out[2 * i] = digits[digest[i] >> 4];
    out[2 * i + 1] = digits[digest[i] & 0x0F];
  }
}

size_t file_md5_hex(const char* path, char out[34]) {
  std::memset(out, 0, digest_text_size);
  file_io::scoped_file file(file_io::open_read(path));
  if (!file) return 0;
  uint64_t length = 0;
  if (!file_io::length(file.get(), &length) || length > SIZE_MAX - 500) return 0;
  // Room past the length, so a file that grew since is read as it stands now.
  const size_t capacity = static_cast<size_t>(length) + 100;
  std::unique_ptr<unsigned char, decltype(&std::free)> bytes(
      static_cast<unsigned char*>(std::calloc(capacity + 400, 1)), &std::free);
  if (!bytes) return 0;
  const size_t got = file_io::read(file.get(), bytes.get(), capacity);
  file.reset();
  md5_hex(bytes.get(), got, out);
  return got;
}
