// The one way the archive code reaches files, as minizip's ioapi does: a Win32 side
// (file_io_win32.cpp, ANSI functions) and a POSIX side (file_io_posix.cpp). Every path
// handed here is GBK, the archive's name encoding; the POSIX side converts it to UTF-8
// for the file system.
#pragma once

#include <cstddef>
#include <cstdint>

namespace file_io {

using handle = intptr_t;
constexpr handle invalid_handle = -1;

// The separator that join_path puts between a directory and a name.
extern const char separator;
// Whether c separates path components on this system ("\" and "/" on Windows, "/" here).
bool is_separator(char c);

handle open_read(const char* path);
handle open_read_write(const char* path);
// Creates or truncates a file with normal attributes, for writing.
handle create(const char* path);
void close(handle file);

// Both return the bytes transferred; a short count means an error or the end of the file.
size_t read(handle file, void* buffer, size_t size);
size_t write(handle file, const void* buffer, size_t size);
bool seek(handle file, uint64_t offset);
// The file's length, leaving the position where it was. False when it cannot be told.
bool length(handle file, uint64_t* out);

enum class path_kind { missing, file, directory };
path_kind kind_of(const char* path);
// Leaves only the archive attribute (clears read-only, hidden and system).
bool clear_attributes(const char* path);
bool remove(const char* path);
// Fails when to already exists, on both sides.
bool move(const char* from, const char* to);

// Owns one open handle and closes it once.
class scoped_file {
 public:
  explicit scoped_file(handle file) : file_(file) {}
  ~scoped_file() { reset(); }
  scoped_file(const scoped_file&) = delete;
  scoped_file& operator=(const scoped_file&) = delete;

  handle get() const { return file_; }
  explicit operator bool() const { return file_ != invalid_handle; }
  void reset(handle file = invalid_handle) {
    if (file_ != invalid_handle) close(file_);
    file_ = file;
  }

 private:
  handle file_;
};

}  // namespace file_io
