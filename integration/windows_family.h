// The two registry layouts of Windows: the 9x family and the NT family.
#pragma once

#include <windows.h>

enum class windows_family { nt, win9x };

// GetVersion sets its high bit on the Windows 9x family only.
windows_family family_of_version(DWORD version);

// The family of the running system, asked of GetVersion on every call.
windows_family current_windows_family();
