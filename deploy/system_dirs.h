// Where the IME modules go. A 32-bit process on 64-bit Windows is redirected from
// System32 to SysWOW64, so the name GetSystemDirectoryA reports is not where the 64-bit
// module must land; this names the directory that really is the native one.
#pragma once

#include <cstddef>

// Writes the system directory the product's modules go to (no final backslash) into out:
// the Windows directory + "\Sysnative" for a 32-bit build under WOW64 on Windows 6 and
// later (state.os_major, as is_64bit_windows last set it), GetSystemDirectoryA otherwise
// (a 64-bit build, 32-bit Windows, and Windows 5.x, which the product treats as 32-bit).
// Returns false, with out empty, when the name cannot be read or does not fit.
bool native_system_dir(char* out, size_t capacity);
