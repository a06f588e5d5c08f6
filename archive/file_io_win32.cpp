#include <windows.h>

#include "archive/file_io.h"

namespace file_io {

namespace {

HANDLE as_handle(handle file) { return reinterpret_cast<HANDLE>(file); }

handle from_handle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? invalid_handle : reinterpret_cast<handle>(h);
}

// Others may read and write what we hold open, as with the _lopen family of old.
constexpr DWORD shared_access = FILE_SHARE_READ | FILE_SHARE_WRITE;
// ReadFile and WriteFile take 32-bit lengths.
constexpr size_t max_transfer = 0x40000000;

}  // namespace

const char separator = '\\';

bool is_separator(char c) { return c == '\\' || c == '/'; }

handle open_read(const char* path) {
  return from_handle(CreateFileA(path, GENERIC_READ, shared_access, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

handle open_read_write(const char* path) {
  return from_handle(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, shared_access, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

handle create(const char* path) {
  return from_handle(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, shared_access, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void close(handle file) { CloseHandle(as_handle(file)); }

size_t read(handle file, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(size - done < max_transfer ? size - done : max_transfer);
    DWORD got = 0;
    if (!ReadFile(as_handle(file), static_cast<char*>(buffer) + done, chunk, &got, nullptr)) break;
    done += got;
    if (got == 0) break;
  }
  return done;
}

size_t write(handle file, const void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(size - done < max_transfer ? size - done : max_transfer);
    DWORD put = 0;
    if (!WriteFile(as_handle(file), static_cast<const char*>(buffer) + done, chunk, &put, nullptr))
      break;
    done += put;
    if (put == 0) break;
  }
  return done;
}

bool seek(handle file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(as_handle(file), to, nullptr, FILE_BEGIN) != 0;
}

bool length(handle file, uint64_t* out) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(as_handle(file), &size) || size.QuadPart < 0) return false;
  *out = static_cast<uint64_t>(size.QuadPart);
  return true;
}

path_kind kind_of(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return path_kind::missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? path_kind::directory : path_kind::file;
}

bool clear_attributes(const char* path) {
  return SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE) != 0;
}

bool remove(const char* path) { return DeleteFileA(path) != 0; }

bool move(const char* from, const char* to) { return MoveFileA(from, to) != 0; }

}  // namespace file_io
