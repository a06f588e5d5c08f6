#include "ui/installer_window.h"

#include "setup/installer_state.h"
#include "setup/windows_version.h"

namespace {

constexpr char class_name[] = "installWClass";
constexpr wchar_t class_name_wide[] = L"installWClass";
constexpr char icon_name[] = "yingzu";
constexpr wchar_t title_64[] = L"智能映舟系统安装3264";
constexpr wchar_t title_32[] = L"智能映舟系统安装32";
// Traditional characters, which an ANSI window under code page 950 can hold.
constexpr wchar_t title_950[] = L"智能映舟系統安裝";
constexpr int window_width = 400, window_height = 310;

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

ATOM register_installer_class(HINSTANCE instance) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = on_message;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, icon_name);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = class_name;
  return RegisterClassA(&window_class);
}

int create_installer_window(HINSTANCE instance, int show_command) {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - window_width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - 300) / 2;
  const wchar_t* title = is_64bit_windows() ? title_64 : title_32;
  if (state.oem_code_page == 950) title = title_950;
  HWND window = CreateWindowExW(0, class_name_wide, title, WS_SYSMENU, x, y, window_width,
                                window_height, nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  state.main_window = window;
  ShowWindow(window, show_command);
  UpdateWindow(window);
  return 1;
}
