// Where the IME modules go. A 32-bit process on 64-bit Windows is redirected from
// System32 to SysWOW64, so the name GetSystemDirectoryA reports is not where the 64-bit
// module must land; this names the directory that really is the native one.
#pragma once

#include <cstddef>

// Writes the native system directory (no final backslash) into out: GetSystemDirectoryA
// for a 64-bit build or a 32-bit build on 32-bit Windows, the Windows directory +
// "\Sysnative" for a 32-bit build under WOW64. Returns false, with out empty, when the
// name cannot be read or does not fit.
bool native_system_dir(char* out, size_t capacity);
