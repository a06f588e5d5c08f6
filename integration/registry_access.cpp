#include "integration/registry_access.h"

#include <cstring>

unique_key open_key(HKEY parent, const char* path, REGSAM access) {
  unique_key key;
  if (RegOpenKeyExA(parent, path, 0, access, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

unique_key create_key(HKEY parent, const char* name) {
  unique_key key;
  if (RegCreateKeyExA(parent, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS)
    key.release();
  return key;
}

bool read_text(HKEY key, const char* name, char* out, size_t capacity) {
  if (capacity == 0) return false;
  DWORD size = static_cast<DWORD>(capacity);
  const LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(out), &size);
  size_t length = result == ERROR_SUCCESS ? size : capacity;
  if (length > 0 && length <= capacity && out[length - 1] == 0) --length;
  if (result != ERROR_SUCCESS || length >= capacity) {
    out[0] = 0;
    return false;
  }
  out[length] = 0;
  return true;
}

bool write_text(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text))) == ERROR_SUCCESS;
}
