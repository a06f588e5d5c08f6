#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "archive/file_io.h"
#include "archive/gbk_text.h"

namespace file_io {

namespace {

// A GBK path in UTF-8: each two-byte character may take three bytes.
struct native_path {
  explicit native_path(const char* gbk)
      : ok(gbk != nullptr && gbk_to_utf8(gbk, text, sizeof text)) {}
  bool ok;
  char text[PATH_MAX];
};

handle open_with(const char* path, int flags) {
  const native_path native(path);
  if (!native.ok) return invalid_handle;
  int fd;
  do {
    fd = ::open(native.text, flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return invalid_handle;
  // Windows opens no directory as a file; neither do we.
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return invalid_handle;
  }
  return fd;
}

int fd_of(handle file) { return static_cast<int>(file); }

}  // namespace

const char separator = '/';

bool is_separator(char c) { return c == '/'; }

handle open_read(const char* path) { return open_with(path, O_RDONLY); }

handle open_read_write(const char* path) { return open_with(path, O_RDWR); }

handle create(const char* path) { return open_with(path, O_RDWR | O_CREAT | O_TRUNC); }

void close(handle file) { ::close(fd_of(file)); }

size_t read(handle file, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd_of(file), static_cast<char*>(buffer) + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t write(handle file, const void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(fd_of(file), static_cast<const char*>(buffer) + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  return done;
}

bool seek(handle file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return lseek(fd_of(file), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool length(handle file, uint64_t* out) {
  struct stat st;
  if (fstat(fd_of(file), &st) != 0 || st.st_size < 0) return false;
  *out = static_cast<uint64_t>(st.st_size);
  return true;
}

path_kind kind_of(const char* path) {
  const native_path native(path);
  struct stat st;
  if (!native.ok || stat(native.text, &st) != 0) return path_kind::missing;
  return S_ISDIR(st.st_mode) ? path_kind::directory : path_kind::file;
}

// The nearest thing to Windows' read-only attribute is a missing owner write bit.
bool clear_attributes(const char* path) {
  const native_path native(path);
  struct stat st;
  if (!native.ok || stat(native.text, &st) != 0) return false;
  return chmod(native.text, (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool remove(const char* path) {
  const native_path native(path);
  return native.ok && unlink(native.text) == 0;
}

bool move(const char* from, const char* to) {
  const native_path native_from(from);
  const native_path native_to(to);
  if (!native_from.ok || !native_to.ok) return false;
  // MoveFileA never replaces a file; rename would.
  struct stat st;
  if (lstat(native_to.text, &st) == 0) return false;
  return rename(native_from.text, native_to.text) == 0;
}

}  // namespace file_io
