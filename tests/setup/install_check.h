// What the install tests look at after an installation: the payload beside the tests,
// the system directories, the preload list, the product's Keyboard Layouts entries and
// the 64-bit companion that the installation leaves running.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/harness/message_boxes.h"

extern const char installed_dir[];  // C:\Program Files\yingzu\ (default of a fresh prefix)
extern const wchar_t companion_success_text[];

// ruzavar.yzz beside the test executable (empty when missing).
std::string test_payload();
unsigned archive_entry_count(const std::string& archive);
// verify_archive of the payload against installed_dir, with an exclusion list.
int verify_installed(const std::string& payload, const char* exclusions,
                     std::string* report = nullptr);

// The native system directory and the Windows directory + "\syswow64".
std::string system_dir_path();
std::string wow64_dir_path();
// True when the system under test is 64-bit Windows 6 or later (syswow64 exists).
bool wow64_expected();

// HKCU\keyboard layout\preload "1", "2" ... in order, as the ANSI functions read them.
std::vector<std::string> read_preload();
// Replaces the whole list.
bool write_preload(const std::vector<std::string>& ids);

struct layout_entry {
  std::string id;
  std::wstring ime_file;
  std::wstring text;
};
// Keyboard Layouts entries whose layout text names the product, by either encoding.
std::vector<layout_entry> product_layout_entries();
void remove_product_layout_entries();
// A Keyboard Layouts entry as an earlier installation leaves it (GBK layout text).
bool add_earlier_layout(const std::string& id);

// view: 0 for this process's own view, KEY_WOW64_32KEY for what a 32-bit program writes.
std::wstring read_hklm_string(const wchar_t* key, const wchar_t* value, REGSAM view = 0,
                             bool* found = nullptr);

// Number of running processes with this executable name.
int process_count(const wchar_t* exe_name);
// Waits (at most timeout_ms) until no setupw64.exe runs, answering every box of other
// processes meanwhile; returns those boxes.
std::vector<seen_box> wait_for_companion(DWORD timeout_ms = 60000);

// The versions ("7.9") of each label in a file: UTF-16LE "智能映舟输入平台", a blank, any
// character, then "d.d".
std::vector<std::string> label_versions(const std::string& bytes);
std::string md5_of_file(const std::string& path);
// The names (files and folders) directly in a directory, sorted.
std::vector<std::string> directory_names(const std::string& dir);
