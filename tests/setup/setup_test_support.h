// What the setup's tests share: the system a run was started as, plain file access in the
// Wine prefix, drives mapped into the prefix, and running setup.exe as a user does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/harness/message_boxes.h"

// The system the harness was asked for, from the test program's arguments
// "MAJOR.MINOR BITS" (e.g. "6.1 64"); the code page is read from the system itself.
struct system_under_test {
  unsigned major = 0;
  bool is_64bit = false;
};
extern system_under_test expected_system;
// Parses the two arguments after InitGoogleTest; false when they are missing or wrong.
bool parse_expected_system(int argc, char** argv);

std::string read_file(const std::string& path);
bool write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
bool directory_exists(const std::string& path);
// Deletes a directory with everything in it; a missing one is fine.
void remove_tree(const std::string& path);
std::string windows_dir();
// The Windows directory + "\yingpath.yzh".
std::string windows_path_file();

// Makes letter: a fixed drive of the prefix (a fresh folder of the prefix behind it), as
// Wine keeps drives: a symbolic link in $WINEPREFIX/dosdevices. Unmapping removes the link.
bool map_drive(char letter);
bool unmap_drive(char letter);

// A run of a setup program as a user starts it, watched until it ends.
struct setup_run {
  bool started = false;
  bool timed_out = false;
  DWORD exit_code = 0;
  std::vector<seen_box> boxes;
  // Every top-level window of class "installWClass" that the program showed, by title;
  // each was closed as a user closes it.
  std::vector<std::wstring> installer_windows;
};
// program: a sibling of the test executable, or a full path.
setup_run run_setup_program(const std::wstring& program, const std::wstring& arguments,
                            DWORD timeout_ms = 120000);

// The payload resource of an executable (empty when it has none).
std::string payload_of(const std::wstring& executable);
