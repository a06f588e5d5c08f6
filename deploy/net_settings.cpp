#include "deploy/net_settings.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "setup/handles.h"
#include "setup/install_dir.h"
#include "setup/installer_state.h"

namespace {

constexpr char edition_flag_file[] = "wbpybz.yzh";
constexpr char net_settings_file[] = "yznetsj.dat";

// The terminator is part of the flag file.
constexpr char pinyin_flag[] = "YZWBPYBZ=1";
constexpr char wubi_flag[] = "YZWBPYBZ=0";
static_assert(sizeof pinyin_flag == 11 && sizeof wubi_flag == 11, "the flag file is 11 bytes");

// The first address has no value of the installer's; the second is the user's site.
constexpr char net_settings_format[] =
    "YZNETURL1=%s\r\nYZNETURL2=%s\r\nYZNETTIME=1\r\nYZBJTIME=7\r\nYZWYTIME=3\r\nYZSJOFF=0"
    "\r\nYZNETTIME0=0\r\nYZBJTIME0=0\r\nYZNEONE=1\r\n";
constexpr char first_address[] = "";
constexpr size_t net_settings_fixed_bytes = sizeof net_settings_format - 1 - 4;
static_assert(net_settings_fixed_bytes == 110, "the settings text is 110 bytes without addresses");

void write_whole_file(const char* path, const void* data, size_t size) {
  unique_file file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD put = 0;
  WriteFile(file.get(), data, static_cast<DWORD>(size), &put, nullptr);
}

bool join_path(char* out, size_t capacity, const char* dir, const char* name) {
  const int written = std::snprintf(out, capacity, "%s%s", dir, name);
  return written >= 0 && static_cast<size_t>(written) < capacity;
}

}  // namespace

void write_net_settings() {
  default_install_dir();
  char path[MAX_PATH];

  if (join_path(path, sizeof path, state.install_dir, edition_flag_file)) {
    const char* flag = state.edition == 1 ? pinyin_flag : wubi_flag;
    write_whole_file(path, flag, sizeof pinyin_flag);
  }

  if (join_path(path, sizeof path, state.install_dir, net_settings_file)) {
    // The address is bounded by its buffer even if it was left unterminated.
    char address[sizeof state.website_address + 1];
    const size_t length = strnlen(state.website_address, sizeof state.website_address);
    std::memcpy(address, state.website_address, length);
    address[length] = 0;
    char text[net_settings_fixed_bytes + sizeof address];
    const int written =
        std::snprintf(text, sizeof text, net_settings_format, first_address, address);
    if (written > 0 && static_cast<size_t>(written) < sizeof text)
      write_whole_file(path, text, static_cast<size_t>(written));
  }
}
