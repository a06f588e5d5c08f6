// Detection of programs that still use an earlier copy of the product's IME: its UI
// windows (class "VIVORI") and its shared memory ("vedirerozu").
#pragma once

#include <windows.h>

// Sets state.ime_window_count to the number of top-level "VIVORI" windows and, when it is
// above 0, leaves at the start of state.work_buffer the UTF-16 message that names the
// programs, one line per window that has an owner, numbered by the running count. The
// message keeps to its 262,144 bytes: lines that would not fit are left out whole.
void list_windows_using_ime();

// EnumWindows callback: counts a "VIVORI" window (exact letter case) and lists it.
// Always TRUE, so that every top-level window is seen.
BOOL CALLBACK on_enum_window(HWND window, LPARAM parameter);

// Adds the line of one counted window to the window list: the title of the window where
// the climb through GetParent ends. A window without a parent adds nothing.
void append_owner_title(HWND window);

// Sets state.ime_window_count to 1 when the file mapping "vedirerozu" exists, else to 0.
void ime_data_in_memory();
