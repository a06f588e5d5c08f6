#include "integration/preload_list.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "integration/product_layout.h"
#include "integration/registry_access.h"
#include "integration/registry_names.h"
#include "setup/installer_state.h"

namespace {

constexpr size_t id_slot = sizeof state.preload_ids[0];
constexpr size_t text_slot = sizeof state.preload_texts[0];

struct place_name {
  explicit place_name(int place) { std::snprintf(text, sizeof text, "%d", place); }
  char text[12];
};

int read_nt_places() {
  unique_key layout = open_key(HKEY_CURRENT_USER, user_keyboard_layout_key, KEY_READ);
  if (!layout) return -1;
  unique_key preload = open_key(layout.get(), preload_subkey, KEY_ALL_ACCESS);
  if (!preload) return 0;
  for (int place = 1; place <= preload_places; ++place)
    if (!read_text(preload.get(), place_name(place).text, state.preload_ids[place], id_slot))
      return place - 1;
  return preload_places;
}

int read_9x_places() {
  unique_key preload = open_key(HKEY_CURRENT_USER, user_preload_9x_key, KEY_READ);
  if (!preload) return -1;
  for (int place = 1; place <= preload_places; ++place) {
    unique_key entry = open_key(preload.get(), place_name(place).text, KEY_ALL_ACCESS);
    if (!entry) return place - 1;
    // An unreadable id leaves its slot empty rather than holding an earlier list's id.
    read_text(entry.get(), nullptr, state.preload_ids[place], id_slot);
  }
  return preload_places;
}

// Places 2 to preload_count of one profile's NT list; false when its keyboard layout key
// cannot be opened, which ends the whole write.
bool write_nt_places(HKEY root, const char* layout_path, int first, int last) {
  unique_key layout = open_key(root, layout_path, KEY_READ);
  if (!layout) return false;
  unique_key preload = open_key(layout.get(), preload_subkey, KEY_ALL_ACCESS);
  if (!preload) return true;
  for (int place = first; place <= last; ++place)
    write_text(preload.get(), place_name(place).text, state.preload_ids[place]);
  return true;
}

void write_9x_place(HKEY preload, int place, const char* id) {
  unique_key entry = open_key(preload, place_name(place).text, KEY_ALL_ACCESS);
  if (entry) write_text(entry.get(), nullptr, id);
}

// Places 1 and 2 of one profile's NT list exchanged; false as above.
bool swap_nt_places(HKEY root, const char* layout_path) {
  unique_key layout = open_key(root, layout_path, KEY_READ);
  if (!layout) return false;
  unique_key preload = open_key(layout.get(), preload_subkey, KEY_ALL_ACCESS);
  if (!preload) return true;
  write_text(preload.get(), place_name(1).text, state.preload_ids[2]);
  write_text(preload.get(), place_name(2).text, state.preload_ids[1]);
  return true;
}

}  // namespace

int read_preload_list() { return read_preload_list_for(current_windows_family()); }

int read_preload_list_for(windows_family family) {
  const int places = family == windows_family::win9x ? read_9x_places() : read_nt_places();
  if (places < 0) return 0;
  state.preload_count = places;

  unique_key layouts = open_key(HKEY_LOCAL_MACHINE, keyboard_layouts_key, KEY_READ);
  if (!layouts) return 0;
  for (int place = 1; place <= state.preload_count; ++place) {
    // A text is the text of this list's id or nothing, never one left by an earlier read.
    state.preload_texts[place][0] = 0;
    if (!state.preload_ids[place][0]) continue;
    unique_key entry = open_key(layouts.get(), state.preload_ids[place], KEY_ALL_ACCESS);
    if (entry) read_text(entry.get(), layout_text_value, state.preload_texts[place], text_slot);
  }
  return state.preload_count;
}

bool find_installed_layout() { return find_installed_layout_for(current_windows_family()); }

bool find_installed_layout_for(windows_family family) {
  state.product_found = 0;
  state.product_position = 0;
  state.preload_count = 0;
  if (read_preload_list_for(family) == 0) return false;
  for (int place = 1; place <= state.preload_count; ++place) {
    if (std::memcmp(state.preload_texts[place], preload_match_gbk, preload_match_bytes) == 0) {
      state.product_position = place;
      state.product_found = product_found_marker;
      return true;
    }
  }
  return false;
}

void promote_installed_layout() { promote_installed_layout_for(current_windows_family()); }

void promote_installed_layout_for(windows_family family) {
  const int position = state.product_position;
  if (state.product_found != product_found_marker || state.preload_count < 3 || position < 3 ||
      position > state.preload_count || state.os_major > 5)
    return;
  char kept[id_slot];
  std::memcpy(kept, state.preload_ids[position], id_slot);
  for (int place = position; place > 2; --place)
    std::memcpy(state.preload_ids[place], state.preload_ids[place - 1], id_slot);
  std::memcpy(state.preload_ids[2], kept, id_slot);

  if (family == windows_family::win9x) {
    unique_key preload = open_key(HKEY_CURRENT_USER, user_preload_9x_key, KEY_READ);
    if (!preload) return;
    for (int place = 2; place <= state.preload_count; ++place)
      write_9x_place(preload.get(), place, state.preload_ids[place]);
    return;
  }
  if (!write_nt_places(HKEY_CURRENT_USER, user_keyboard_layout_key, 2, state.preload_count)) return;
  write_nt_places(HKEY_USERS, default_profile_keyboard_layout_key, 2, state.preload_count);
}

void swap_default_layout() { swap_default_layout_for(current_windows_family()); }

void swap_default_layout_for(windows_family family) {
  if (family == windows_family::win9x) {
    unique_key preload = open_key(HKEY_CURRENT_USER, user_preload_9x_key, KEY_READ);
    if (!preload) return;
    write_9x_place(preload.get(), 2, state.preload_ids[1]);
    write_9x_place(preload.get(), 1, state.preload_ids[2]);
    return;
  }
  if (!swap_nt_places(HKEY_CURRENT_USER, user_keyboard_layout_key)) return;
  swap_nt_places(HKEY_USERS, default_profile_keyboard_layout_key);
}
