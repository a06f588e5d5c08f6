#include "setup/install_procedure.h"

#include <windows.h>

#include <cstdio>

#include "archive/file_ops.h"
#include "deploy/deploy_files.h"
#include "deploy/net_settings.h"
#include "deploy/system_dirs.h"
#include "integration/install_ime.h"
#include "integration/keyboard_layout.h"
#include "integration/preload_list.h"
#include "integration/shell_entries.h"
#include "setup/install_dir.h"
#include "setup/installer_state.h"
#include "setup/message_box.h"
#include "setup/path_file.h"
#include "setup/setup_names.h"
#include "setup/windows_version.h"

namespace {

constexpr wchar_t module_in_use_text[] =
    L"　　你以前安装的映舟五笔正在使用，请关闭使用映舟五笔的所有窗口，或者重新启动机器后，"
    L"才能安装新版本的映舟五笔！";
constexpr wchar_t module_in_use_caption[] = L"智能映舟安装";
constexpr char system_module_format[] = "%s\\yingzu4.ime";
constexpr char companion_format[] = "\"%ssetupw64.exe\" regyz32=%s";

// Deleting or, when it is loaded, moving aside the module in one system directory.
enum class module_outcome { gone, moved_aside, in_use };

module_outcome clear_old_module(const char* dir) {
  char path[MAX_PATH];
  const int n = std::snprintf(path, sizeof path, system_module_format, dir);
  if (dir[0] == 0 || n < 0 || static_cast<size_t>(n) >= sizeof path) return module_outcome::gone;
  if (remove_file(path) == 0) return module_outcome::gone;
  return rename_aside(path) == 0 ? module_outcome::moved_aside : module_outcome::in_use;
}

// An earlier product module loaded by running programs cannot be deleted; it can be
// renamed, and Windows then releases it at the next restart. False when it can be
// neither, after telling the user.
bool take_old_modules_aside() {
  if (GetSystemDirectoryA(state.system_dir, sizeof state.system_dir) >= sizeof state.system_dir)
    state.system_dir[0] = 0;
  if (is_64bit_windows()) {
    lower_integrity_level();
    wow64_system_dir(state.wow64_dir);
    const module_outcome wow64 = clear_old_module(state.wow64_dir);
    if (wow64 != module_outcome::gone) state.restart_required = 1;
    if (wow64 == module_outcome::in_use) {
      show_message(module_in_use_text, module_in_use_caption, MB_OK);
      return false;
    }
  }
  // A 32-bit build on 64-bit Windows would be redirected to SysWOW64 by the plain name.
  char native_dir[MAX_PATH];
  native_system_dir(native_dir, sizeof native_dir);
  if (clear_old_module(native_dir) == module_outcome::in_use) {
    state.restart_required = 1;
    show_message(module_in_use_text, module_in_use_caption, MB_OK);
    return false;
  }
  return true;
}

void register_with_windows() {
  if (!install_ime()) register_keyboard_layout();
  if (state.os_major <= 5) {
    find_installed_layout();
    promote_installed_layout();
  }
}

void start_companion() {
  char command[command_capacity];
  if (compose_companion_command(state.install_dir, command, sizeof command))
    WinExec(command, SW_SHOW);
}

}  // namespace

bool compose_companion_command(const char* install_dir, char* out, size_t size) {
  const int n = std::snprintf(out, size, companion_format, install_dir, install_dir);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    if (size) out[0] = 0;
    return false;
  }
  return true;
}

void install_procedure() {
  default_install_dir();
  write_path_files();
  // One level only; an existing directory is what we want, and a failure shows up as the
  // files that cannot be unpacked.
  CreateDirectoryA(state.install_dir, nullptr);
  grant_user_full_access(state.install_dir);
  char filer[text_capacity + sizeof filer_folder_format];
  std::snprintf(filer, sizeof filer, filer_folder_format, state.install_dir);
  CreateDirectoryA(filer, nullptr);
  write_net_settings();

  find_installed_layout();
  state.restart_required = 0;
  if (state.product_found == product_found_marker && !take_old_modules_aside()) return;

  deploy_files(first_pass);
  register_with_windows();
  deploy_files(second_pass);

  write_user_agent_token();
  char autostart[command_capacity];
  if (compose_autostart_command(state.install_dir, autostart, sizeof autostart))
    write_autostart_value(autostart);
  if (is_64bit_windows()) start_companion();
}
