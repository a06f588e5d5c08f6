// The fallback registration: the product's Keyboard Layouts entry and the user's
// preload entry, written by hand when ImmInstallIMEW has refused the IME.
#pragma once

#include "integration/windows_family.h"

// Registers the product's layout as the running system's family lays it out.
void register_keyboard_layout();

// The same for a given family. Reuses the entry whose "layout text" begins with the
// product's name for state.oem_code_page (renamed to the code page's language suffix),
// or makes the next free E0 id; writes "IME file", "layout file" and "layout text";
// then adds the id to the current user's preload list. A failure is shown in a box and
// ends the operation, keeping what was written before.
void register_keyboard_layout_for(windows_family family);

// Adds a layout id to the current user's preload list (the last part of the above):
// nothing when listed already in any letter case, the place of the same id with another
// language suffix overwritten, else the first free place, else place 49.
void add_to_preload_list(windows_family family, const char* id);
