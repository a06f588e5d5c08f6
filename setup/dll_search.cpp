#include "setup/dll_search.h"

#include <windows.h>

#include "setup/bound_function.h"

namespace {

using set_default_dll_directories_fn = BOOL(WINAPI*)(DWORD);
using set_dll_directory_fn = BOOL(WINAPI*)(LPCSTR);

}  // namespace

dll_search restrict_dll_search() {
  // kernel32 is mapped into every process; no reference is taken, so none is released.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return dll_search::unchanged;
  const auto set_default =
      bound_function<set_default_dll_directories_fn>(kernel, "SetDefaultDllDirectories");
  if (set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return dll_search::system_directory;
  const auto set_directory = bound_function<set_dll_directory_fn>(kernel, "SetDllDirectoryA");
  if (set_directory && set_directory("")) return dll_search::no_current_directory;
  return dll_search::unchanged;
}
