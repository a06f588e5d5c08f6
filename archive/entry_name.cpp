#include "archive/entry_name.h"

#include <cstring>
#include <initializer_list>

#include "archive/file_io.h"

namespace {

bool is_lead_byte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool is_trail_byte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
bool is_separator(unsigned char c) { return file_io::is_separator(static_cast<char>(c)); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows opens a device, not a file, for these names, with any extension and in any case.
bool is_device_name(const char* name) {
  size_t stem = 0;
  while (name[stem] != 0 && name[stem] != '.') ++stem;
  while (stem > 0 && name[stem - 1] == ' ') --stem;
  char base[5] = {};
  if (stem < 3 || stem > 4) return false;
  for (size_t i = 0; i < stem; ++i) base[i] = lower(name[i]);
  for (const char* device : {"con", "prn", "aux", "nul"})
    if (std::strcmp(base, device) == 0) return true;
  return stem == 4 && (std::strncmp(base, "com", 3) == 0 || std::strncmp(base, "lpt", 3) == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool is_plain_file_name(const char* name) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(name);
  if (p[0] == 0) return false;
  if (std::strcmp(name, ".") == 0 || std::strstr(name, "..") != nullptr) return false;
  if (is_device_name(name)) return false;
  while (*p != 0) {
    if (is_lead_byte(*p)) {
      if (!is_trail_byte(p[1])) return false;
      p += 2;
      continue;
    }
    // 0x80 and 0xFF are no characters of GBK; below 0x20 are control bytes.
    if (*p < 0x20 || *p == 0x7F || *p >= 0x80) return false;
    // Separators of either system: an archive made on one is unpacked on the other.
    if (*p == '\\' || *p == '/' || *p == ':') return false;
    ++p;
  }
  return true;
}

const char* file_name_part(const char* path) {
  const char* name = path;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
  while (*p != 0) {
    if (is_lead_byte(*p) && p[1] != 0) {
      p += 2;
      continue;
    }
    if (is_separator(*p)) name = reinterpret_cast<const char*>(p + 1);
    ++p;
  }
  return name;
}

bool ends_with_separator(const char* text) {
  bool last_was_separator = false;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    if (is_lead_byte(*p) && p[1] != 0) {
      last_was_separator = false;
      p += 2;
      continue;
    }
    last_was_separator = is_separator(*p);
    ++p;
  }
  return last_was_separator;
}

bool join_path(const char* dir, const char* name, char* out, size_t capacity) {
  const size_t dir_length = std::strlen(dir);
  const bool add_separator = dir_length != 0 && !ends_with_separator(dir);
  const size_t name_length = std::strlen(name);
  const size_t length = dir_length + (add_separator ? 1 : 0) + name_length;
  if (length >= capacity) return false;
  std::memcpy(out, dir, dir_length);
  size_t at = dir_length;
  if (add_separator) out[at++] = file_io::separator;
  std::memcpy(out + at, name, name_length);
  out[length] = 0;
  return true;
}
