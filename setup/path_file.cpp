#include "setup/path_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "setup/handles.h"
#include "setup/install_dir.h"
#include "setup/setup_names.h"

namespace {

// The Windows directory + "\yingpath.yzh"; false when the directory cannot be told.
bool windows_path_file(char (&out)[text_capacity + sizeof path_file_name]) {
  char windows_dir[text_capacity];
  const UINT n = GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  if (n == 0 || n >= sizeof windows_dir) return false;
  std::snprintf(out, sizeof out, "%s\\%s", windows_dir, path_file_name);
  return true;
}

void write_whole_file(const char* path, const char* text) {
  unique_file file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

}  // namespace

void read_path_file(char (&target)[text_capacity]) {
  char name[text_capacity + sizeof path_file_name];
  if (!windows_path_file(name)) return;
  unique_file file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  // Whatever else wrote a longer file, the target keeps its terminator.
  char text[text_capacity];
  DWORD got = 0;
  if (!ReadFile(file.get(), text, sizeof text - 1, &got, nullptr)) got = 0;
  text[got] = 0;
  std::memcpy(target, text, got + 1);
}

void write_path_files() {
  append_backslash(state.install_dir);
  char name[text_capacity + sizeof path_file_name];
  if (windows_path_file(name)) write_whole_file(name, state.install_dir);
  if (state.os_major < 6) return;

  // With no fixed drive from c: to g:, the copy lands in the current directory.
  const fixed_drive_dir drive = first_fixed_drive_dir();
  if (drive.text[0] != 0) CreateDirectoryA(drive.text, nullptr);
  std::snprintf(name, sizeof name, "%s%s", drive.text, path_file_name);
  write_whole_file(name, state.install_dir);
}
