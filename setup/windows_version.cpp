#include "setup/windows_version.h"

#include <windows.h>

#include "setup/install_dir.h"
#include "setup/installer_state.h"

bool is_64bit_windows() {
  state.os_major = 0;
  // The extended structure, 156 bytes, as the systems from NT 4 SP6 on accept it.
  OSVERSIONINFOEXA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended version structure");
  if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)))
    state.os_major = version.dwMajorVersion;
  if (state.os_major <= 5) return false;
  wow64_system_dir(state.wow64_dir);
  return path_exists(state.wow64_dir);
}
