// The silent mode: the install procedure with no window.
#pragma once

#include <windows.h>

// Provides what the window would otherwise set up, the locked payload of the executable
// and the zero-filled work buffer, runs install_procedure, and releases both again.
void run_silent_install(HMODULE executable);
