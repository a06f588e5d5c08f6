#include "tests/setup/install_check.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "archive/archive_reader.h"
#include "archive/md5_hex.h"
#include "tests/setup/setup_test_support.h"

const char installed_dir[] = "C:\\Program Files\\yingzu\\";
const wchar_t companion_success_text[] = L"智能映舟已安装成功，如不能使用，请重新启动计算机！";

namespace {

const char layouts_key[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
const char preload_key[] = "keyboard layout\\preload";
const char gbk_name_prefix[] = "智能映舟输入";  // narrow literals are GBK

}  // namespace

std::string test_payload() {
  char bin[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, test_bin_dir().c_str(), -1, bin, MAX_PATH, nullptr, nullptr);
  return read_file(std::string(bin) + "ruzavar.yzz");
}

unsigned archive_entry_count(const std::string& archive) {
  if (archive.size() < 10) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(archive.data()) + 6;
  return unsigned(p[0]) | unsigned(p[1]) << 8 | unsigned(p[2]) << 16 | unsigned(p[3]) << 24;
}

int verify_installed(const std::string& payload, const char* exclusions, std::string* report) {
  static char text[16384];
  text[0] = 0;
  const int passed = verify_archive(
      byte_span{reinterpret_cast<const unsigned char*>(payload.data()), payload.size()},
      installed_dir, text, sizeof text, exclusions);
  if (report) *report = text;
  return passed;
}

std::string system_dir_path() {
  char dir[MAX_PATH] = {};
  GetSystemDirectoryA(dir, MAX_PATH);
  return dir;
}

std::string wow64_dir_path() { return windows_dir() + "\\syswow64"; }

bool wow64_expected() { return expected_system.major >= 6 && expected_system.is_64bit; }

std::vector<std::string> read_preload() {
  std::vector<std::string> ids;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, preload_key, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return ids;
  for (int place = 1;; ++place) {
    char data[64] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key, std::to_string(place).c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
      break;
    ids.push_back(data);
  }
  RegCloseKey(key);
  return ids;
}

bool write_preload(const std::vector<std::string>& ids) {
  RegDeleteKeyA(HKEY_CURRENT_USER, preload_key);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, preload_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = true;
  for (size_t i = 0; i < ids.size(); ++i)
    ok = ok && RegSetValueExA(key, std::to_string(i + 1).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(ids[i].c_str()),
                              static_cast<DWORD>(ids[i].size())) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

std::vector<layout_entry> product_layout_entries() {
  std::vector<layout_entry> entries;
  HKEY layouts = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, layouts_key, 0, KEY_READ, &layouts) != ERROR_SUCCESS)
    return entries;
  for (DWORD i = 0;; ++i) {
    char id[64] = {};
    DWORD id_size = sizeof id;
    if (RegEnumKeyExA(layouts, i, id, &id_size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    HKEY layout = nullptr;
    if (RegOpenKeyExA(layouts, id, 0, KEY_READ, &layout) != ERROR_SUCCESS) continue;
    char narrow[256] = {};
    DWORD narrow_size = sizeof narrow - 1;
    wchar_t wide[256] = {}, ime_file[MAX_PATH] = {};
    DWORD wide_size = sizeof wide - sizeof(wchar_t), file_size = sizeof ime_file - sizeof(wchar_t);
    RegQueryValueExA(layout, "Layout Text", nullptr, nullptr, reinterpret_cast<BYTE*>(narrow),
                     &narrow_size);
    RegQueryValueExW(layout, L"Layout Text", nullptr, nullptr, reinterpret_cast<BYTE*>(wide),
                     &wide_size);
    RegQueryValueExW(layout, L"Ime File", nullptr, nullptr, reinterpret_cast<BYTE*>(ime_file),
                     &file_size);
    RegCloseKey(layout);
    if (std::strncmp(narrow, gbk_name_prefix, std::strlen(gbk_name_prefix)) == 0 ||
        std::wstring(wide).rfind(L"智能映舟", 0) == 0)
      entries.push_back({id, ime_file, wide});
  }
  RegCloseKey(layouts);
  return entries;
}

void remove_product_layout_entries() {
  for (const layout_entry& entry : product_layout_entries())
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(layouts_key) + "\\" + entry.id).c_str());
}

bool add_earlier_layout(const std::string& id) {
  HKEY layout = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(layouts_key) + "\\" + id).c_str(), 0,
                      nullptr, 0, KEY_ALL_ACCESS, nullptr, &layout, nullptr) != ERROR_SUCCESS)
    return false;
  const char text[] = "智能映舟输入平台  7.9";
  const char file[] = "YINGZU4.IME";
  const char kbd[] = "kbdus.dll";
  const bool ok =
      RegSetValueExA(layout, "layout text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     sizeof text - 1) == ERROR_SUCCESS &&
      RegSetValueExA(layout, "IME file", 0, REG_SZ, reinterpret_cast<const BYTE*>(file),
                     sizeof file - 1) == ERROR_SUCCESS &&
      RegSetValueExA(layout, "layout file", 0, REG_SZ, reinterpret_cast<const BYTE*>(kbd),
                     sizeof kbd - 1) == ERROR_SUCCESS;
  RegCloseKey(layout);
  return ok;
}

std::wstring read_hklm_string(const wchar_t* key, const wchar_t* value, REGSAM view,
                             bool* found) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  HKEY opened = nullptr;
  bool ok = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &opened) == ERROR_SUCCESS;
  if (ok) {
    ok = RegQueryValueExW(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
             ERROR_SUCCESS &&
         type == REG_SZ;
    RegCloseKey(opened);
  }
  if (found) *found = ok;
  return ok ? std::wstring(data, size / sizeof(wchar_t)).c_str() : std::wstring();
}

int process_count(const wchar_t* exe_name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (lstrcmpiW(entry.szExeFile, exe_name) == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

std::vector<seen_box> wait_for_companion(DWORD timeout_ms) {
  process_box_watcher watcher(0);
  const DWORD start = GetTickCount();
  while (process_count(L"setupw64.exe") > 0 && GetTickCount() - start < timeout_ms) Sleep(100);
  watcher.stop();
  return watcher.boxes();
}

std::vector<std::string> label_versions(const std::string& bytes) {
  const std::wstring name = L"智能映舟输入平台";
  const std::string needle(reinterpret_cast<const char*>(name.data()), name.size() * 2);
  std::vector<std::string> versions;
  for (size_t p = bytes.find(needle); p != std::string::npos; p = bytes.find(needle, p + 1)) {
    const size_t q = p + needle.size();
    if (q + 10 > bytes.size()) break;
    // Only a label: a blank, any character, then digit, point, digit.
    if (bytes[q] != ' ' || bytes[q + 6] != '.') continue;
    versions.push_back(std::string{bytes[q + 4], bytes[q + 6], bytes[q + 8]});
  }
  return versions;
}

std::string md5_of_file(const std::string& path) {
  char digest[34] = {};
  if (!file_md5_hex(path.c_str(), digest)) return std::string();
  return digest;
}

std::vector<std::string> directory_names(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}
