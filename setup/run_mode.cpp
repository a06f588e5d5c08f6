#include "setup/run_mode.h"

#include <cstdio>
#include <cstring>

#include "archive/contains_text.h"
#include "setup/installer_state.h"
#include "setup/windows_version.h"

namespace {

constexpr char silent_key[] = "kdczxumd27";
constexpr char register_key[] = "regyz32";
constexpr char register_argument[] = "regyz32=";

}  // namespace

startup_path choose_run_mode(const char* command_line) {
  const bool register_flag = contains_text(command_line, register_key);
  if (!register_flag && contains_text(command_line, silent_key)) state.run_mode = run_silent;
  // Always asked, so that os_major and wow64_dir are fresh for what follows.
  const bool windows_64 = is_64bit_windows();
  if (windows_64 && register_flag) return startup_path::register_companion;
  return state.run_mode == run_silent ? startup_path::silent : startup_path::interactive;
}

void parse_regyz32_argument(const char* command_line) {
  const char* key = std::strchr(command_line, 'r');
  if (!key) return;
  const size_t key_length = sizeof register_argument - 1;
  // strncmp stops at the terminator, so a key cut off by the end of the line fails here.
  if (std::strncmp(key, register_argument, key_length) != 0) return;
  std::snprintf(state.install_dir, sizeof state.install_dir, "%s", key + key_length);
}
