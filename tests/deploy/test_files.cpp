#include "tests/deploy/test_files.h"

#include <algorithm>

#include "setup/handles.h"

bool read_bytes(const std::string& path, bytes* out) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return false;
  out->assign(static_cast<size_t>(size.QuadPart), 0);
  DWORD got = 0;
  if (!out->empty() && (!ReadFile(file.get(), out->data(), static_cast<DWORD>(out->size()), &got, nullptr) ||
                        got != out->size()))
    return false;
  return true;
}

bytes read_bytes_or_empty(const std::string& path) {
  bytes data;
  if (!read_bytes(path, &data)) data.clear();
  return data;
}

bool write_bytes(const std::string& path, const bytes& data) {
  unique_file file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) return false;
  DWORD put = 0;
  return WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &put, nullptr) &&
         put == data.size();
}

bool is_file(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_directory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bytes utf16(const std::u16string& text) {
  bytes out;
  for (char16_t c : text) {
    out.push_back(static_cast<unsigned char>(c & 0xFF));
    out.push_back(static_cast<unsigned char>(c >> 8));
  }
  return out;
}

void append(bytes* to, const bytes& what) { to->insert(to->end(), what.begin(), what.end()); }

size_t count_utf16(const bytes& data, const std::u16string& text) {
  const bytes needle = utf16(text);
  size_t count = 0;
  for (size_t p = 0; p + needle.size() <= data.size(); ++p) {
    if (std::equal(needle.begin(), needle.end(), data.begin() + p)) ++count;
  }
  return count;
}

std::wstring as_ansi_box_text(const std::string& gbk) {
  const int n = MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
  return out;
}
