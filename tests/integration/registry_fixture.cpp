#include "tests/integration/registry_fixture.h"

#include <gtest/gtest.h>

namespace reg {

namespace {

struct key {
  HKEY h = nullptr;
  ~key() {
    if (h) RegCloseKey(h);
  }
};

bool open(HKEY root, const std::string& path, key& k) {
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k.h) == ERROR_SUCCESS) return true;
  k.h = nullptr;
  return false;
}

std::string strip_terminator(std::string bytes) {
  if (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
  return bytes;
}

}  // namespace

void remove_tree(HKEY root, const std::string& path) {
  RegDeleteTreeA(root, path.c_str());
  RegDeleteKeyA(root, path.c_str());
  ASSERT_FALSE(exists(root, path)) << path;
}

void make_key(HKEY root, const std::string& path) {
  key k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.h, nullptr))
      << path;
}

void make_volatile_key(HKEY root, const std::string& path) {
  key k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                           nullptr, &k.h, nullptr))
      << path;
}

void put(HKEY root, const std::string& path, const char* name, const std::string& bytes) {
  key k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k.h, nullptr))
      << path;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(k.h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size() + 1)))
      << path;
}

bool exists(HKEY root, const std::string& path) {
  key k;
  return open(root, path, k);
}

std::optional<std::string> get(HKEY root, const std::string& path, const char* name) {
  key k;
  if (!open(root, path, k)) return std::nullopt;
  DWORD size = 0;
  if (RegQueryValueExA(k.h, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::string bytes(size + 2, '\0');
  size = static_cast<DWORD>(bytes.size());
  if (RegQueryValueExA(k.h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&bytes[0]), &size) != ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(size);
  return strip_terminator(bytes);
}

std::optional<std::wstring> get_wide(HKEY root, const std::wstring& path, const wchar_t* name) {
  key k;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &k.h) != ERROR_SUCCESS) {
    k.h = nullptr;
    return std::nullopt;
  }
  DWORD size = 0;
  if (RegQueryValueExW(k.h, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::wstring text(size / 2 + 2, L'\0');
  size = static_cast<DWORD>(text.size() * 2);
  if (RegQueryValueExW(k.h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&text[0]), &size) != ERROR_SUCCESS)
    return std::nullopt;
  text.resize(size / 2);
  if (!text.empty() && text.back() == 0) text.pop_back();
  return text;
}

std::optional<std::pair<DWORD, DWORD>> type_and_size(HKEY root, const std::string& path, const char* name) {
  key k;
  if (!open(root, path, k)) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(k.h, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  return std::make_pair(type, size);
}

std::vector<std::string> subkeys(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  key k;
  if (!open(root, path, k)) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(k.h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> value_names(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  key k;
  if (!open(root, path, k)) return names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumValueA(k.h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

void put_nt_list(HKEY root, const std::string& path, const std::vector<std::string>& ids) {
  make_key(root, path);
  for (size_t i = 0; i < ids.size(); ++i) put(root, path, std::to_string(i + 1).c_str(), ids[i]);
}

std::vector<std::string> get_nt_list(HKEY root, const std::string& path) {
  std::vector<std::string> ids;
  for (int place = 1;; ++place) {
    auto id = get(root, path, std::to_string(place).c_str());
    if (!id) break;
    ids.push_back(*id);
  }
  return ids;
}

void put_9x_list(HKEY root, const std::string& path, const std::vector<std::string>& ids) {
  make_key(root, path);
  for (size_t i = 0; i < ids.size(); ++i) put(root, path + "\\" + std::to_string(i + 1), nullptr, ids[i]);
}

std::vector<std::string> get_9x_list(HKEY root, const std::string& path) {
  std::vector<std::string> ids;
  for (int place = 1;; ++place) {
    const std::string entry = path + "\\" + std::to_string(place);
    if (!exists(root, entry)) break;
    ids.push_back(get(root, entry, nullptr).value_or("<none>"));
  }
  return ids;
}

}  // namespace reg
