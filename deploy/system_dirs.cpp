#include "deploy/system_dirs.h"

#include <windows.h>

#include <cstdio>

#include "setup/installer_state.h"

namespace {

#ifndef _WIN64
// The WOW64 alias through which a 32-bit process reaches the native System32.
constexpr char native_alias_format[] = "%s\\Sysnative";

// IsWow64Process is missing on NT 4 and early 2000, so it is looked up, not linked.
bool running_under_wow64() {
  using is_wow64_process_fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return false;
  auto is_wow64_process =
      reinterpret_cast<is_wow64_process_fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  BOOL wow64 = FALSE;
  return is_wow64_process && is_wow64_process(GetCurrentProcess(), &wow64) && wow64;
}
#endif

}  // namespace

bool native_system_dir(char* out, size_t capacity) {
  if (capacity == 0) return false;
  out[0] = 0;
  const UINT room = static_cast<UINT>(capacity);
#ifndef _WIN64
  // Windows 5.x counts as 32-bit for the product, whatever it runs on: there the module
  // belongs where a 32-bit process is sent, and Sysnative may not even exist.
  if (state.os_major > 5 && running_under_wow64()) {
    char windows_dir[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    if (length == 0 || length >= sizeof windows_dir) return false;
    const int written = std::snprintf(out, capacity, native_alias_format, windows_dir);
    if (written < 0 || static_cast<size_t>(written) >= capacity) {
      out[0] = 0;
      return false;
    }
    return true;
  }
#endif
  const UINT length = GetSystemDirectoryA(out, room);
  if (length == 0 || length >= room) {
    out[0] = 0;
    return false;
  }
  return true;
}
