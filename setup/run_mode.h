// The command line decides how the setup runs:
//   "kdczxumd27" anywhere, in any case: the silent mode, the install procedure alone;
//   "regyz32" anywhere, in any case, on 64-bit Windows 6 and later: the 64-bit
//   registration mode, which takes the directory after "regyz32=";
//   anything else, "regyz32" on 32-bit Windows or Windows 5.x included: the window.
// When both keys are present, only "regyz32" counts.
#pragma once

enum class startup_path { interactive, silent, register_companion };

// Sets state.run_mode (run_silent for the silent key, else it stays as it is) and calls
// is_64bit_windows, refreshing state.os_major and state.wow64_dir; returns the path.
startup_path choose_run_mode(const char* command_line);

// Sets state.install_dir to everything after the first lower-case "r" of the command line,
// blanks included, when that "r" begins "regyz32=" exactly (case-sensitive); cut to
// text_capacity - 1 bytes. Otherwise state.install_dir stays as it is.
void parse_regyz32_argument(const char* command_line);
