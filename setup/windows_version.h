// Which Windows the setup runs on.
#pragma once

// Sets state.os_major to the major Windows version (0 when it cannot be told) and, on
// Windows 6 and later, state.wow64_dir to the Windows directory + "\syswow64". True when
// that folder exists, which is how the setup recognises 64-bit Windows; always false on
// Windows 5.x and earlier.
bool is_64bit_windows();
