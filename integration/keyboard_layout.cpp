#include "integration/keyboard_layout.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "integration/product_layout.h"
#include "integration/registry_access.h"
#include "integration/registry_names.h"
#include "setup/installer_state.h"
#include "setup/message_box.h"

namespace {

constexpr char layouts_open_failed_9x[] = "Software open error1003";
constexpr char layout_create_failed_9x[] = "Software open error1004";
constexpr char administrator_needed[] =
    "在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！";
constexpr char product_caption[] = "智能映舟";
constexpr char wubi_caption[] = "智能映舟(映舟五笔)";

constexpr char ime_file_data[] = "YINGZU4.IME";
constexpr char layout_file_9x[] = "kbdus.kbd";
constexpr char layout_file_nt[] = "kbdus.dll";

// The ids of Keyboard Layouts in descending enumeration order. A system with more
// subkeys than places keeps the first 250 collected and ignores the lower indices.
constexpr int id_table_places = 250;
constexpr size_t id_capacity = 200;
char id_table[id_table_places][id_capacity];

constexpr unsigned long id_step = 0x10000UL;
constexpr size_t suffix_chars = 3;

int collect_layout_ids(HKEY layouts) {
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(layouts, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    subkeys = 0;
  int count = 0;
  // From index n down to 0; index n itself finds nothing.
  for (DWORD index = subkeys + 1; index-- > 0 && count < id_table_places;) {
    char name[id_capacity] = {};
    DWORD size = id_capacity;
    const LONG result = RegEnumKeyExA(layouts, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) continue;
    name[id_capacity - 1] = 0;
    std::memcpy(id_table[count++], name, id_capacity);
  }
  return count;
}

bool ends_with_suffix(const char* id, const char* suffix) {
  const size_t length = std::strlen(id);
  return length >= suffix_chars && std::strcmp(id + length - suffix_chars, suffix) == 0;
}

// The last three characters become the suffix; an id shorter than that becomes it whole.
void force_suffix(char* id, const char* suffix) {
  const size_t length = std::strlen(id);
  std::memcpy(id + (length >= suffix_chars ? length - suffix_chars : 0), suffix, suffix_chars + 1);
}

void show_create_failure(windows_family family) {
  show_message(family == windows_family::win9x ? layout_create_failed_9x : administrator_needed,
               wubi_caption, MB_OK);
}

}  // namespace

void register_keyboard_layout() { register_keyboard_layout_for(current_windows_family()); }

void register_keyboard_layout_for(windows_family family) {
  const product_layout product = product_layout_for(state.oem_code_page);
  unique_key layouts = open_key(HKEY_LOCAL_MACHINE, keyboard_layouts_key, KEY_READ);
  if (!layouts) {
    show_message(family == windows_family::win9x ? layouts_open_failed_9x : administrator_needed,
                 product_caption, MB_OK);
    return;
  }

  const int ids = collect_layout_ids(layouts.get());
  unsigned long maximum = 0;
  unique_key entry;
  char id[id_capacity] = {};
  for (int i = 0; i < ids; ++i) {
    unique_key key = open_key(layouts.get(), id_table[i], KEY_ALL_ACCESS);
    if (!key) continue;
    char text[text_capacity] = {};
    if (!read_text(key.get(), layout_text_value, text, sizeof text)) continue;
    if (std::memcmp(text, product.name, layout_name_bytes) == 0) {
      std::memcpy(id, id_table[i], id_capacity);
      entry = std::move(key);
      break;
    }
    const unsigned long value = std::strtoul(id_table[i], nullptr, 16);
    if (value > maximum) maximum = value;
  }

  // A new id above every one in use, or the product's entry moved to this code page's
  // language suffix.
  if (!entry || !ends_with_suffix(id, product.suffix)) {
    if (!entry) {
      if (maximum < product.id_floor) maximum = product.id_floor;
      std::snprintf(id, sizeof id, "%lx", maximum + id_step);
      CharUpperA(id);
    } else {
      entry.reset();
      RegDeleteKeyA(layouts.get(), id);
    }
    force_suffix(id, product.suffix);
    entry = create_key(layouts.get(), id);
    if (!entry) {
      layouts.reset();
      show_create_failure(family);
      return;
    }
  }

  write_text(entry.get(), layout_ime_file_value, ime_file_data);
  write_text(entry.get(), layout_file_value,
             family == windows_family::win9x ? layout_file_9x : layout_file_nt);
  write_text(entry.get(), layout_text_value, product.text);
  entry.reset();
  layouts.reset();

  add_to_preload_list(family, id);
}
