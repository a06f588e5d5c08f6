// Putting the product's files where Windows and the user expect them: the payload into
// install_dir, the IME modules and the uninstaller into the system directories.
#pragma once

constexpr int first_pass = 0;
constexpr int second_pass = 1;

// first_pass, before the IME is installed with Windows: unpacks the payload into
// install_dir (message when incomplete), asks whether earlier user data shall stay
// (data_state 1 -> 2 on Yes), places relabelled per-code-page module variants as
// yingzu4.ime and the uninstaller as yingdel.exe in the system directories, relabels
// setupw64.exe and writes the uninstall entry.
// second_pass (any other value), after the IME install: places the main modules as
// yingzu4.ime and deletes the four variants from install_dir.
// The 64-bit module always lands in the native system directory and the 32-bit one in
// SysWOW64, whatever the bitness of this build. Failures are told by message boxes; the
// pass always runs to its end. Sets system_dir (and wow64_dir on 64-bit Windows).
void deploy_files(int pass);
