// The installer state: process-wide values, one of each, in one place. Every subsystem
// reads and writes them here, on the one thread of the process.
#pragma once

#include <windows.h>

#include <cstddef>

// work_buffer_size: the shared scratch of every operation that unpacks an archive or
// composes a long message.
#include "archive/archive_format.h"
// Paths and texts are zero-terminated ANSI (GBK) in buffers of this size.
constexpr size_t text_capacity = 200;
constexpr int preload_places = 49;

enum run_modes { run_interactive = 2, run_silent = 3 };
enum data_states { no_backup = 0, backup_made = 1, keep_old_data = 2 };
constexpr int product_found_marker = 4;

struct installer_state {
  char install_dir[text_capacity];   // ends with a backslash once computed
  char previous_dir[text_capacity];  // the Windows-directory path file as found at startup
  char system_dir[text_capacity];
  char wow64_dir[text_capacity];     // Windows directory + "\syswow64"
  int edition;                       // 1 Pinyin, anything else Wubi; 0 until the window exists
  unsigned oem_code_page;
  int run_mode;
  unsigned os_major;
  int page;                          // 0 splash, 1 website, 6 path, 7 installing, 8 and 9 done
  const unsigned char* payload;      // the locked "RUZAVAR" resource
  size_t payload_size;
  unsigned char* work_buffer;        // work_buffer_size bytes, zero-filled
  int data_state;
  int status_window_mode;            // 1 to 4
  int skin_choice;                   // 1 to 3
  char website_address[251];         // room for the longest value a key lookup yields
  int restart_required;
  HKL installed_hkl;
  char preload_ids[preload_places + 1][10];  // slot k holds place k; slot 0 unused
  char preload_texts[preload_places + 1][200];
  int preload_count;
  int product_position;
  int product_found;                 // product_found_marker when the last search found it
  int ime_window_count;
  HWND main_window;
  HINSTANCE instance;                // the executable, for its resources
};

extern installer_state state;
