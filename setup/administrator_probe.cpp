#include "setup/administrator_probe.h"

#include <cstring>

#include "setup/installer_state.h"
#include "setup/path_file.h"
#include "setup/windows_version.h"

namespace {

constexpr char probe_text[] = "yingisadmin";

}  // namespace

bool administrator_probe() {
  read_path_file(state.previous_dir);
  is_64bit_windows();
  if (state.os_major < 6) return false;

  char saved[text_capacity];
  std::memcpy(saved, state.install_dir, sizeof saved);
  std::memcpy(state.install_dir, probe_text, sizeof probe_text);
  write_path_files();

  state.install_dir[0] = 0;
  read_path_file(state.install_dir);
  char read_back[text_capacity];
  std::memcpy(read_back, state.install_dir, sizeof read_back);

  std::memcpy(state.install_dir, saved, sizeof saved);
  write_path_files();

  const size_t n = std::strlen(read_back);
  if (n > 0 && read_back[n - 1] == '\\') read_back[n - 1] = 0;
  return std::strcmp(read_back, probe_text) != 0;
}
