#include <windows.h>

#include <cstdio>
#include <cstring>

#include "integration/keyboard_layout.h"
#include "integration/registry_access.h"
#include "integration/registry_names.h"
#include "setup/installer_state.h"
#include "setup/message_box.h"

namespace {

constexpr char preload_open_failed[] = "Software open error2003";
constexpr char wubi_caption[] = "智能映舟(映舟五笔)";

constexpr int last_place = preload_places;
constexpr size_t id_capacity = 200;

enum class listing { same, other_language, other };

// Compares a listed id, already in the id's letter case, over the id's length.
listing compare_listed(const char* listed, const char* id) {
  const size_t length = std::strlen(id);
  size_t i = 0;
  while (i < length && listed[i] == id[i]) ++i;
  if (i == length) return listing::same;
  return i + 3 >= length ? listing::other_language : listing::other;
}

void fold_case(char* text, char from, char to) {
  for (; *text; ++text)
    if (*text >= from && *text <= static_cast<char>(from + 25)) *text = static_cast<char>(*text - from + to);
}

void place_name(int place, char (&name)[12]) { std::snprintf(name, sizeof name, "%d", place); }

void add_to_nt_list(char* id) {
  fold_case(id, 'A', 'a');
  unique_key layout = open_key(HKEY_CURRENT_USER, user_keyboard_layout_key, KEY_READ);
  if (!layout) {
    show_message(preload_open_failed, wubi_caption, MB_OK);
    return;
  }
  unique_key preload = open_key(layout.get(), preload_subkey, KEY_ALL_ACCESS);
  if (!preload) return;
  for (int place = 1; place <= last_place; ++place) {
    char name[12];
    place_name(place, name);
    char listed[text_capacity];
    if (!read_text(preload.get(), name, listed, sizeof listed)) {
      write_text(preload.get(), name, id);
      return;
    }
    fold_case(listed, 'A', 'a');
    switch (compare_listed(listed, id)) {
      case listing::same:
        return;
      case listing::other_language:
        write_text(preload.get(), name, id);
        return;
      case listing::other:
        break;
    }
  }
  char name[12];
  place_name(last_place, name);
  write_text(preload.get(), name, id);
}

void add_to_9x_list(char* id) {
  fold_case(id, 'a', 'A');
  unique_key preload = open_key(HKEY_CURRENT_USER, user_preload_9x_key, KEY_READ);
  if (!preload) {
    show_message(preload_open_failed, wubi_caption, MB_OK);
    return;
  }
  for (int place = 1; place <= last_place; ++place) {
    char name[12];
    place_name(place, name);
    unique_key entry = open_key(preload.get(), name, KEY_ALL_ACCESS);
    if (!entry) {
      unique_key created = create_key(preload.get(), name);
      if (created) write_text(created.get(), nullptr, id);
      return;
    }
    char listed[text_capacity];
    if (!read_text(entry.get(), nullptr, listed, sizeof listed)) continue;
    fold_case(listed, 'a', 'A');
    switch (compare_listed(listed, id)) {
      case listing::same:
        return;
      case listing::other_language:
        write_text(entry.get(), nullptr, id);
        return;
      case listing::other:
        break;
    }
  }
  char name[12];
  place_name(last_place, name);
  unique_key entry = create_key(preload.get(), name);
  if (entry) write_text(entry.get(), nullptr, id);
}

}  // namespace

void add_to_preload_list(windows_family family, const char* id) {
  char folded[id_capacity];
  std::snprintf(folded, sizeof folded, "%s", id);
  if (family == windows_family::win9x)
    add_to_9x_list(folded);
  else
    add_to_nt_list(folded);
}
