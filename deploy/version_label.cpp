#include "deploy/version_label.h"

#include <windows.h>

#include <cstddef>

#include "setup/handles.h"
#include "setup/installer_state.h"

namespace {

// The region of work_buffer this operation borrows; every module it is used on is smaller.
constexpr size_t label_file_limit = 131072;

constexpr char16_t product_name[] = u"智能映舟输入平台";
constexpr size_t product_name_chars = sizeof product_name / sizeof product_name[0] - 1;
constexpr size_t product_name_bytes = 2 * product_name_chars;

// Offsets after the name, in bytes, of the low bytes of the label's characters 0, 2, 3, 4:
// " ?6.3" reads as space, anything, major digit, point, minor digit.
constexpr size_t space_at = 0, major_at = 4, point_at = 6, minor_at = 8;
// Every byte a match tests lies within this many bytes from the name's start.
constexpr size_t tested_span = product_name_bytes + minor_at + 1;

bool product_name_at(const unsigned char* bytes) {
  for (size_t i = 0; i < product_name_chars; ++i) {
    if (bytes[2 * i] != (product_name[i] & 0xFF) || bytes[2 * i + 1] != (product_name[i] >> 8))
      return false;
  }
  return true;
}

void relabel(unsigned char* bytes, size_t n) {
  size_t p = 0;
  while (p + tested_span <= n) {
    unsigned char* label = bytes + p + product_name_bytes;
    if (product_name_at(bytes + p) && label[space_at] == ' ' && label[major_at] == '6' &&
        label[point_at] == '.' && (label[minor_at] == '3' || label[minor_at] == '7')) {
      label[major_at] = '7';
      label[minor_at] = '9';
      p += product_name_bytes + 1;
    } else {
      ++p;
    }
  }
}

}  // namespace

void patch_version_label(const char* path) {
  if (!state.work_buffer) return;
  // One handle for reading and writing back: a file we could read but not write is left
  // as it was instead of being cut.
  unique_file file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      size.QuadPart > static_cast<LONGLONG>(label_file_limit))
    return;
  const DWORD n = static_cast<DWORD>(size.QuadPart);
  DWORD got = 0;
  if (n > 0 && (!ReadFile(file.get(), state.work_buffer, n, &got, nullptr) || got != n)) return;

  relabel(state.work_buffer, n);

  // Written over itself at the same length, so no moment leaves the file empty or short.
  if (SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return;
  DWORD put = 0;
  if (n > 0) WriteFile(file.get(), state.work_buffer, n, &put, nullptr);
}
