#include "integration/shell_entries.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "integration/registry_access.h"
#include "integration/registry_names.h"
#include "setup/installer_state.h"

namespace {

constexpr char autostart_format[] = "\"%svivadidu.exe\" yz";
constexpr wchar_t pinyin_display_name[] = L"映舟拼音";
constexpr wchar_t wubi_display_name[] = L"映舟五笔";
constexpr wchar_t uninstaller_format[] = L"%ls\\yingdel.exe";

// The digit that the token names put after "lumo" (index 4) and after that (index 5).
constexpr size_t major_digit = 4;
constexpr size_t minor_digit = 5;

bool write_wide_text(HKEY key, const wchar_t* name, const wchar_t* text) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::wcslen(text) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool compose_autostart_command(const char* install_dir, char* out, size_t size) {
  const int length = std::snprintf(out, size, autostart_format, install_dir);
  return length >= 0 && static_cast<size_t>(length) < size;
}

void write_autostart_value(const char* command) {
  unique_key version = open_key(HKEY_LOCAL_MACHINE, current_version_key, KEY_READ);
  if (!version) return;
  unique_key run = create_key(version.get(), run_subkey);
  if (!run) return;
  RegDeleteValueA(run.get(), autostart_value);
  write_text(run.get(), autostart_value, command);
}

void write_uninstall_entry() {
  const wchar_t* display_name = state.edition == 1 ? pinyin_display_name : wubi_display_name;
  unique_key uninstall;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall_key, 0, KEY_READ, uninstall.put()) != ERROR_SUCCESS) {
    uninstall.release();
    return;
  }
  unique_key entry;
  if (RegCreateKeyExW(uninstall.get(), uninstall_subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      entry.put(), nullptr) != ERROR_SUCCESS) {
    entry.release();
    return;
  }
  write_wide_text(entry.get(), display_name_value, display_name);
  wchar_t system_dir[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system_dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t uninstaller[MAX_PATH + 16];
  std::swprintf(uninstaller, sizeof uninstaller / sizeof uninstaller[0], uninstaller_format, system_dir);
  write_wide_text(entry.get(), uninstall_string_value, uninstaller);
}

void write_user_agent_token() {
  unique_key user_agent = open_key(HKEY_LOCAL_MACHINE, user_agent_key, KEY_READ);
  if (!user_agent) return;
  unique_key platform = create_key(user_agent.get(), post_platform_subkey);
  if (!platform) return;
  char token[sizeof first_version_token];
  std::snprintf(token, sizeof token, "%s", first_version_token);
  for (char minor = '3'; minor <= '8'; ++minor) {
    token[minor_digit] = minor;
    RegDeleteValueA(platform.get(), token);
  }
  token[major_digit] = '7';
  for (char minor = '0'; minor <= '9'; ++minor) {
    token[minor_digit] = minor;
    RegDeleteValueA(platform.get(), token);
  }
  write_text(platform.get(), version_token, "");
}
