// The user's preload list as the installer sees it: reading it, finding the product in
// it, moving the product up on Windows 5.x and making it non-default.
#pragma once

#include "integration/windows_family.h"

// Reads the current user's preload list into state.preload_ids (slot k = place k, at
// most 9 characters) and each entry's "layout text" into state.preload_texts. Returns
// state.preload_count, or 0 when the user's keyboard layout key, the 9x preload key or
// Keyboard Layouts cannot be opened.
int read_preload_list();
int read_preload_list_for(windows_family family);

// Clears and refills state.product_found, product_position and preload_count; true when
// an entry's layout text begins with the GBK bytes of "智能映舟输入".
bool find_installed_layout();
bool find_installed_layout_for(windows_family family);

// On Windows 5.x (state.os_major), with the product found at place 3 or later, moves it
// to place 2 and the places between one down, for the current user and, on the NT
// family, the default profile (places 2 and up).
void promote_installed_layout();
void promote_installed_layout_for(windows_family family);

// Exchanges places 1 and 2 in the registry, from state.preload_ids, for the current user
// and, on the NT family, the default profile.
void swap_default_layout();
void swap_default_layout_for(windows_family family);
