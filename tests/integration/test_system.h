// The system a Wine run was asked to be ("6.1 936 64" on the command line), and the
// installer state prepared as startup and the window prepare it.
#pragma once

#include <string>

struct test_system {
  std::string version;  // "6.1", "5.2"
  unsigned code_page = 936;
  bool sixty_four_bit = true;  // the system has a WOW64 folder
};

const test_system& expected_system();

// Fresh installer state: the OEM code page, the Windows version (through
// is_64bit_windows) and a zero-filled work buffer followed by a guard area.
void reset_installer_state();

// True while the bytes after the work buffer are as reset_installer_state left them.
bool work_buffer_guard_intact();
