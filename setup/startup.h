// The setup from its first instruction to its exit code.
#pragma once

#include <windows.h>

// Restricts DLL loading, initialises the installer state, refuses to go on without
// administrator rights (a message, then 0), chooses the run mode from the command line
// (without the executable's name) and runs it. Returns the process's exit code: 0, or in
// the interactive mode the wParam of the message that ends the message loop.
int run_setup(HINSTANCE instance, const char* command_line, int show_command);
