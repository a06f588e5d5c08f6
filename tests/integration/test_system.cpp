#include "tests/integration/test_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "setup/installer_state.h"
#include "setup/windows_version.h"

namespace {

test_system expected;
constexpr size_t guard_bytes = 65536;
constexpr unsigned char guard_byte = 0xA5;
std::vector<unsigned char> buffer(work_buffer_size + guard_bytes);

// Wine writes its own default layout into the user's preload list when the thread's
// first window appears; that happens here, before any test prepares a list.
void settle_wine_keyboard() {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  GetKeyboardLayout(0);
  if (window) DestroyWindow(window);
}

}  // namespace

const test_system& expected_system() { return expected; }

void reset_installer_state() {
  state = installer_state{};
  state.oem_code_page = GetOEMCP();
  is_64bit_windows();
  std::memset(buffer.data(), 0, work_buffer_size);
  std::memset(buffer.data() + work_buffer_size, guard_byte, guard_bytes);
  state.work_buffer = buffer.data();
}

bool work_buffer_guard_intact() {
  for (size_t i = work_buffer_size; i < buffer.size(); ++i)
    if (buffer[i] != guard_byte) return false;
  return true;
}

// The harness must have made the system the arguments name, or every expectation
// derived from them would be wrong.
TEST(System, IsTheOneTheArgumentsName) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  char version[16];
  std::snprintf(version, sizeof version, "%lu.%lu", info.dwMajorVersion, info.dwMinorVersion);
  EXPECT_EQ(expected.version, version);
  EXPECT_EQ(expected.code_page, GetOEMCP());
  EXPECT_EQ(expected.code_page, GetACP());
  char windows_dir[MAX_PATH];
  GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  const std::string wow64 = std::string(windows_dir) + "\\syswow64";
  EXPECT_EQ(expected.sixty_four_bit, GetFileAttributesA(wow64.c_str()) != INVALID_FILE_ATTRIBUTES);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s VERSION CODEPAGE BITS (6.1 936 64)\n", argv[0]);
    return 2;
  }
  expected.version = argv[1];
  expected.code_page = static_cast<unsigned>(std::atoi(argv[2]));
  expected.sixty_four_bit = std::string(argv[3]) == "64";
  settle_wine_keyboard();
  return RUN_ALL_TESTS();
}
