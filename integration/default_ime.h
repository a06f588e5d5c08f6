// The checks against installing over a product IME that is in use as the default, and
// the switch of the installer itself to the new layout on the last page.
#pragma once

#include <windows.h>

#include <cstddef>

#include "integration/windows_family.h"

// 1 when the installation may go on; 0 when the earlier product is the user's default
// input method (after telling the user, and on 32-bit systems offering to make it
// non-default) or is the installer's own active layout.
int check_default_ime();

// The same with the system's answers given: its family, whether it is 64-bit Windows,
// and whether the installer's active layout is the product's.
int check_default_ime_for(windows_family family, bool sixty_four_bit, bool product_layout_active);

// On the done pages (state.page 7 and above), unless the product's layout is active
// already, makes state.installed_hkl (found among the loaded layouts when still 0) the
// process's layout. True when it asked Windows to activate one.
bool activate_installed_layout();

// The active layout's name, overwritten by its description where it has one, into a
// buffer of at least 51 bytes: always terminated.
void read_active_layout_description(char* buffer, size_t size);

// A layout's description as the IMM reads it (ImmGetDescriptionA).
using layout_describer = UINT(WINAPI*)(HKL, LPSTR, UINT);

// The first of the layouts whose description begins with the product's name, or 0. A
// layout without a readable description does not match.
HKL find_product_layout(const HKL* layouts, int count, layout_describer describe);
