#include "integration/default_ime.h"

#include <imm.h>

#include <cstring>

#include "integration/preload_list.h"
#include "integration/product_layout.h"
#include "setup/installer_state.h"
#include "setup/message_box.h"
#include "setup/windows_version.h"

namespace {

constexpr wchar_t setup_caption[] = L"智能映舟安装";
constexpr wchar_t only_input_method_text[] =
    L"　　你以前安装的智能映舟为系统默认输入法，并且是系统安装的唯一输入法，请通过微软的输入法"
    L"管理器增加英文输入法，并将智能映舟输入法设置为系统非默认输入法后，重新启动机器才能安装新版本"
    L"的智能映舟！";
constexpr wchar_t default_input_method_text[] =
    L"　　你以前安装的智能映舟为系统默认输入法，请设置为系统非默认输入法后，重新启动机器才能安装"
    L"新版本的智能映舟！";
constexpr wchar_t make_non_default_question[] = L"是否设置智能映舟为系统非默认输入法？";
constexpr wchar_t restart_text[] = L"请重新启动机器后安装智能映舟！";
constexpr wchar_t wubi_default_text[] =
    L"　　你以前安装的映舟五笔为系统默认输入法，请通过微软的输入法管理器将映舟五笔输入法设置为系统"
    L"非默认输入法后，重新启动机器才能安装新版本的映舟五笔！";

constexpr int done_page = 7;
constexpr UINT active_description_limit = 50;
constexpr UINT loaded_description_limit = 80;
constexpr int loaded_layouts_limit = 50;
constexpr UINT set_for_process = 0x100;  // KLF_SETFORPROCESS

bool product_layout_is_active() {
  char description[active_description_limit + 1];
  read_active_layout_description(description, sizeof description);
  return names_product_layout(description);
}

}  // namespace

void read_active_layout_description(char* buffer, size_t size) {
  std::memset(buffer, 0, size);
  if (size <= KL_NAMELENGTH) return;
  const UINT limit = size > active_description_limit ? active_description_limit : static_cast<UINT>(size - 1);
  const HKL active = GetKeyboardLayout(0);
  GetKeyboardLayoutNameA(buffer);
  ImmGetDescriptionA(active, buffer, limit);
  buffer[size - 1] = 0;
}

HKL find_product_layout(const HKL* layouts, int count, layout_describer describe) {
  for (int i = 0; i < count; ++i) {
    char description[loaded_description_limit + 1] = {};
    if (describe(layouts[i], description, loaded_description_limit) == 0) continue;
    if (names_product_layout(description)) return layouts[i];
  }
  return nullptr;
}

int check_default_ime() {
  return check_default_ime_for(current_windows_family(), is_64bit_windows(), product_layout_is_active());
}

int check_default_ime_for(windows_family family, bool sixty_four_bit, bool product_layout_active) {
  find_installed_layout_for(family);
  if (state.product_found == product_found_marker && state.product_position == 1) {
    if (state.preload_count < 2) {
      show_message(only_input_method_text, setup_caption, MB_OK);
      return 0;
    }
    show_message(default_input_method_text, setup_caption, MB_OK);
    if (sixty_four_bit) return 0;
    if (show_message(make_non_default_question, setup_caption, MB_YESNO) != IDYES) return 0;
    swap_default_layout_for(family);
    show_message(restart_text, setup_caption, MB_OK);
    return 0;
  }
  if (product_layout_active) {
    show_message(wubi_default_text, setup_caption, MB_OK);
    return 0;
  }
  return 1;
}

bool activate_installed_layout() {
  if (state.page < done_page) return false;
  if (product_layout_is_active()) return false;
  if (!state.installed_hkl) {
    HKL loaded[loaded_layouts_limit];
    int count = GetKeyboardLayoutList(loaded_layouts_limit, loaded);
    if (count < 0) count = 0;
    if (count > loaded_layouts_limit) count = loaded_layouts_limit;
    state.installed_hkl = find_product_layout(loaded, count, ImmGetDescriptionA);
  }
  if (!state.installed_hkl) return false;
  ActivateKeyboardLayout(state.installed_hkl, set_for_process);
  return true;
}
