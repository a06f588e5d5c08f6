// The tests' own registry access. Paths are written out in full in every test, so that a
// misspelt name in the setup shows as a failure rather than being shared with it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace reg {

// Deletes a key with everything below it; a missing key is fine.
void remove_tree(HKEY root, const std::string& path);
// Creates the key (and the keys above it).
void make_key(HKEY root, const std::string& path);
// Creates a volatile key: Windows then refuses to create a lasting key below it.
void make_volatile_key(HKEY root, const std::string& path);
// Writes a REG_SZ value of these bytes (nullptr name: the default value), creating the key.
void put(HKEY root, const std::string& path, const char* name, const std::string& bytes);

bool exists(HKEY root, const std::string& path);
// The value's bytes as the ANSI functions give them, without a terminator; nullopt when
// the key or value is absent.
std::optional<std::string> get(HKEY root, const std::string& path, const char* name);
// The same through the wide functions.
std::optional<std::wstring> get_wide(HKEY root, const std::wstring& path, const wchar_t* name);
// The value's type and size in bytes as stored.
std::optional<std::pair<DWORD, DWORD>> type_and_size(HKEY root, const std::string& path, const char* name);
std::vector<std::string> subkeys(HKEY root, const std::string& path);
std::vector<std::string> value_names(HKEY root, const std::string& path);

// The NT preload list of a profile: values "1", "2", ... of root\path.
void put_nt_list(HKEY root, const std::string& path, const std::vector<std::string>& ids);
std::vector<std::string> get_nt_list(HKEY root, const std::string& path);
// The 9x preload list: subkeys "1", "2", ... of root\path with default values.
void put_9x_list(HKEY root, const std::string& path, const std::vector<std::string>& ids);
std::vector<std::string> get_9x_list(HKEY root, const std::string& path);

}  // namespace reg
