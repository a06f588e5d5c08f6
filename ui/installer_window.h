// The installer's one window. For now it is an empty window of its class; its pages,
// painting and input come with the window work.
#pragma once

#include <windows.h>

// Registers the class "installWClass"; the class atom, 0 on failure.
ATOM register_installer_class(HINSTANCE instance);

// Creates and shows state.main_window; 1, or 0 when it cannot be created.
int create_installer_window(HINSTANCE instance, int show_command);
