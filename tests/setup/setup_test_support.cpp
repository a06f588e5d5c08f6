#include "tests/setup/setup_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

system_under_test expected_system;

bool parse_expected_system(int argc, char** argv) {
  if (argc != 3) return false;
  unsigned minor = 0;
  if (std::sscanf(argv[1], "%u.%u", &expected_system.major, &minor) != 2) return false;
  expected_system.is_64bit = std::strcmp(argv[2], "64") == 0;
  return expected_system.is_64bit || std::strcmp(argv[2], "32") == 0;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool file_exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool directory_exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void remove_tree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
}

std::string windows_dir() {
  char dir[MAX_PATH] = {};
  GetWindowsDirectoryA(dir, MAX_PATH);
  return dir;
}

std::string windows_path_file() { return windows_dir() + "\\yingpath.yzh"; }

namespace {

// Wine starts a Unix program when given one; the prefix's folders are Unix folders.
bool run_unix(const std::string& tool, const std::string& arguments) {
  std::string command = tool + " " + arguments;
  const std::string program = "Z:" + tool;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::string prefix_dir() {
  const char* prefix = std::getenv("WINEPREFIX");
  return prefix ? prefix : "";
}

std::string drive_link(char letter) { return prefix_dir() + "/dosdevices/" + letter + ":"; }

bool drive_is_fixed(char letter) {
  const char root[] = {letter, ':', '\\', 0};
  return GetDriveTypeA(root) == DRIVE_FIXED;
}

// Wine hands back the Unix program's handle before the program has done its work, so
// the drive is watched until it shows the change (at most about ten seconds).
bool drive_becomes(char letter, bool fixed) {
  for (int i = 0; i < 500; ++i) {
    if (drive_is_fixed(letter) == fixed) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

bool map_drive(char letter) {
  if (prefix_dir().empty()) return false;
  const std::string target = prefix_dir() + "/drive_" + letter;
  run_unix("/bin/sh",
           "-c \"mkdir -p " + target + " && ln -sfn " + target + " " + drive_link(letter) + "\"");
  return drive_becomes(letter, true);
}

bool unmap_drive(char letter) {
  run_unix("/bin/rm", "-f " + drive_link(letter));
  return drive_becomes(letter, false);
}

namespace {

struct window_search {
  DWORD process_id;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_installer_window(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<window_search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[32] = {};
  GetClassNameW(window, class_name, 32);
  if (owner == search->process_id && lstrcmpW(class_name, L"installWClass") == 0)
    search->found.push_back(window);
  return TRUE;
}

}  // namespace

setup_run run_setup_program(const std::wstring& program, const std::wstring& arguments,
                            DWORD timeout_ms) {
  setup_run run;
  PROCESS_INFORMATION process;
  if (!start_program(program, arguments, &process)) return run;
  run.started = true;
  std::vector<HWND> closed;
  {
    process_box_watcher watcher(process.dwProcessId);
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
      if (GetTickCount() - start > timeout_ms) {
        run.timed_out = true;
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        break;
      }
      window_search search{process.dwProcessId, {}};
      EnumWindows(collect_installer_window, reinterpret_cast<LPARAM>(&search));
      for (HWND window : search.found) {
        bool seen = false;
        for (HWND w : closed) seen = seen || w == window;
        if (seen || !IsWindowVisible(window)) continue;
        wchar_t title[128] = {};
        GetWindowTextW(window, title, 128);
        run.installer_windows.push_back(title);
        closed.push_back(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
      }
    }
    watcher.stop();
    run.boxes = watcher.boxes();
  }
  GetExitCodeProcess(process.hProcess, &run.exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

std::string payload_of(const std::wstring& executable) {
  HMODULE module = LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return std::string();
  std::string bytes;
  if (HRSRC found = FindResourceA(module, "RUZAVAR", "YZZ")) {
    const void* data = LockResource(LoadResource(module, found));
    if (data) bytes.assign(static_cast<const char*>(data), SizeofResource(module, found));
  }
  FreeLibrary(module);
  return bytes;
}
