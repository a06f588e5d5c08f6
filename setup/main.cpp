// setup.exe and setupw64.exe: the same program, with and without the payload.
#include <windows.h>

#include "setup/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
  return run_setup(instance, command_line, show_command);
}
