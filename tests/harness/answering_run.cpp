// answering_run.exe PROGRAM [ARGUMENTS...]: starts a program as a user would, presses the
// first button of every box it or what it starts shows, prints each box, and waits until
// those programs have ended. Its exit code is the program's.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "tests/harness/message_boxes.h"

namespace {

// Programs the setup starts and does not wait for.
bool companion_running() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry))
    found = lstrcmpiW(entry.szExeFile, L"setupw64.exe") == 0 || lstrcmpiW(entry.szExeFile, L"icacls.exe") == 0;
  CloseHandle(snapshot);
  return found;
}

void print_box(const seen_box& box) {
  char caption[1024] = {}, text[8192] = {};
  WideCharToMultiByte(CP_UTF8, 0, box.caption.c_str(), -1, caption, sizeof caption, nullptr, nullptr);
  WideCharToMultiByte(CP_UTF8, 0, box.text.c_str(), -1, text, sizeof text, nullptr, nullptr);
  std::printf("   box \"%s\": %s\n", caption, text);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: answering_run PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  std::wstring arguments;
  for (int i = 2; i < argc; ++i) arguments += (i > 2 ? L" " : L"") + std::wstring(argv[i]);
  program_run run = run_program(argv[1], arguments);
  if (!run.started) {
    std::fprintf(stderr, "answering_run: cannot start the program\n");
    return 2;
  }
  {
    process_box_watcher watcher(0);
    for (int waited = 0; waited < 60000 && companion_running(); waited += 200) Sleep(200);
    watcher.stop();
    for (const seen_box& box : watcher.boxes()) run.boxes.push_back(box);
  }
  for (const seen_box& box : run.boxes) print_box(box);
  std::fflush(stdout);
  return run.timed_out ? 3 : static_cast<int>(run.exit_code);
}
