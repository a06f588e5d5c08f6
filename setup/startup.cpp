#include "setup/startup.h"

#include "integration/install_ime.h"
#include "setup/administrator_probe.h"
#include "setup/dll_search.h"
#include "setup/install_dir.h"
#include "setup/installer_state.h"
#include "setup/message_box.h"
#include "setup/path_file.h"
#include "setup/run_mode.h"
#include "setup/silent_mode.h"
#include "ui/installer_window.h"

namespace {

constexpr wchar_t administrator_text[] =
    L"本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。"
    L"（运行方式为：用鼠标右键点击安装程序，在弹出菜单中点击“以管理员身份运行”）";
constexpr wchar_t registered_text[] = L"智能映舟已安装成功，如不能使用，请重新启动计算机！";
constexpr wchar_t setup_caption[] = L"智能映舟";

int register_companion(const char* command_line) {
  parse_regyz32_argument(command_line);
  write_path_files();
  // A refused module goes unreported here, as a directory that did not parse does.
  install_ime();
  show_message(registered_text, setup_caption, MB_OK);
  return 0;
}

int run_window(HINSTANCE instance, int show_command) {
  state.instance = instance;
  if (!register_installer_class(instance) || !create_installer_window(instance, show_command))
    return 0;
  MSG message = {};
  BOOL got;
  // -1 is an error, not a message: the loop ends there too instead of spinning.
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 0;
}

}  // namespace

int run_setup(HINSTANCE instance, const char* command_line, int show_command) {
  // Before any DLL is loaded by name.
  restrict_dll_search();
  if (!command_line) command_line = "";

  state.page = 0;
  state.oem_code_page = GetOEMCP();
  state.run_mode = run_interactive;
  default_install_dir();
  if (administrator_probe()) {
    show_message(administrator_text, setup_caption, MB_OK);
    return 0;
  }

  switch (choose_run_mode(command_line)) {
    case startup_path::register_companion:
      return register_companion(command_line);
    case startup_path::silent:
      run_silent_install(instance);
      return 0;
    case startup_path::interactive:
      break;
  }
  return run_window(instance, show_command);
}
