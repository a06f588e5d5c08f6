#include "integration/install_ime.h"

#include <windows.h>
// imm.h needs the types of windows.h.
#include <imm.h>

#include <cwchar>

#include "setup/installer_state.h"

namespace {

constexpr wchar_t ime_module_format[] = L"%ls\\yingzu4.ime";
// The same simplified text on every code page; two blanks before the version.
constexpr wchar_t ime_layout_text[] = L"智能映舟输入平台  7.9";
constexpr UINT system_dir_chars = 100;

}  // namespace

bool install_ime() {
  wchar_t system_dir[system_dir_chars];
  const UINT n = GetSystemDirectoryW(system_dir, system_dir_chars);
  state.installed_hkl = nullptr;
  if (n == 0 || n >= system_dir_chars) return false;
  wchar_t module[system_dir_chars + 16];
  std::swprintf(module, sizeof module / sizeof module[0], ime_module_format, system_dir);
  state.installed_hkl = ImmInstallIMEW(module, ime_layout_text);
  return state.installed_hkl != nullptr;
}
