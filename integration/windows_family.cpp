#include "integration/windows_family.h"

windows_family family_of_version(DWORD version) {
  return (version & 0x80000000u) ? windows_family::win9x : windows_family::nt;
}

windows_family current_windows_family() {
  // GetVersion is deprecated in the headers, yet its high bit is how a 9x system is told.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return family_of_version(GetVersion());
#pragma GCC diagnostic pop
}
