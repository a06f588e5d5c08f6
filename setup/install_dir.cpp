#include "setup/install_dir.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "setup/bound_function.h"
#include "setup/handles.h"
#include "setup/setup_names.h"

namespace {

constexpr int csidl_program_files = 38;  // CSIDL_PROGRAM_FILES

using sh_get_special_folder_path_fn = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

// shell32 drags a dozen DLLs in when it loads; loaded only now, after startup has
// restricted DLL loading, they all come from the system directory.
bool program_files_folder(char (&out)[MAX_PATH]) {
  out[0] = 0;
  unique_module shell(LoadLibraryA("shell32.dll"));
  if (!shell) return false;
  const auto lookup =
      bound_function<sh_get_special_folder_path_fn>(shell.get(), "SHGetSpecialFolderPathA");
  return lookup && lookup(nullptr, out, csidl_program_files, FALSE);
}

bool is_drive_rooted(const char* dir) { return dir[0] != 0 && dir[1] == ':' && dir[2] == '\\'; }

// Where the text's last character begins, walking double-byte characters whole.
size_t last_character_start(const char* text) {
  size_t last = 0;
  for (size_t i = 0; text[i] != 0; ++i) {
    last = i;
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && text[i + 1] != 0) ++i;
  }
  return last;
}

}  // namespace

bool ends_with_backslash(const char* text) {
  return text[0] != 0 && text[last_character_start(text)] == '\\';
}

void append_backslash(char (&text)[text_capacity]) {
  if (ends_with_backslash(text)) return;
  size_t n = std::strlen(text);
  if (n + 2 > sizeof text) n = last_character_start(text);
  text[n] = '\\';
  text[n + 1] = 0;
}

void default_dir_under(const char* program_files, char (&out)[text_capacity]) {
  char folder[MAX_PATH];
  std::snprintf(folder, sizeof folder, "%s",
                program_files ? program_files : fallback_program_files);
  if (char* bracket = std::strchr(folder, '(')) *bracket = 0;
  for (size_t n = std::strlen(folder); n > 0 && folder[n - 1] == ' '; --n) folder[n - 1] = 0;
  if (!path_exists(folder)) std::snprintf(folder, sizeof folder, "%s", fallback_program_files);

  const char* separator = folder[0] != 0 && !ends_with_backslash(folder) ? "\\" : "";
  const int n = std::snprintf(out, sizeof out, "%s%s%s", folder, separator, product_folder);
  // A Program Files folder too long for the directory buffer is no place to install.
  if (n < 0 || static_cast<size_t>(n) >= sizeof out)
    std::snprintf(out, sizeof out, "%s\\%s", fallback_program_files, product_folder);
}

const char* default_install_dir() {
  // The text decides, not bytes left behind it: an emptied directory is recomputed.
  if (is_drive_rooted(state.install_dir)) return state.install_dir;
  char folder[MAX_PATH];
  const bool found = program_files_folder(folder);
  default_dir_under(found ? folder : nullptr, state.install_dir);
  return state.install_dir;
}

bool path_exists(const char* path) {
  // Backup semantics let a directory be opened like a file.
  unique_file file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return file && file.get() != nullptr;
}

void wow64_system_dir(char (&out)[text_capacity]) {
  char windows_dir[text_capacity];
  const UINT n = GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  if (n == 0 || n >= sizeof windows_dir) {
    out[0] = 0;
    return;
  }
  std::snprintf(out, sizeof out, "%s%s", windows_dir, wow64_folder);
}

fixed_drive_dir first_fixed_drive_dir() {
  fixed_drive_dir result{};
  char root[] = "g:\\";
  for (char letter = 'g'; letter >= 'c'; --letter) {
    root[0] = letter;
    if (GetDriveTypeA(root) == DRIVE_FIXED) {
      std::snprintf(result.text, sizeof result.text, "%s%s", root, product_folder);
      break;
    }
  }
  return result;
}
