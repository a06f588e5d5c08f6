// Started by the Wine harness with the system it was asked for: version, OEM code page
// and bitness (a WOW64 folder or none), and checks that the prefix really is that system.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string expected_version, expected_code_page, expected_bits;

TEST(Harness, ReportsTheRequestedSystem) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  char version[16];
  std::snprintf(version, sizeof version, "%lu.%lu", info.dwMajorVersion, info.dwMinorVersion);
  EXPECT_EQ(expected_version, version);
  EXPECT_EQ(expected_code_page, std::to_string(GetOEMCP()));

  char windows_dir[MAX_PATH];
  GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  const std::string wow64 = std::string(windows_dir) + "\\syswow64";
  const bool has_wow64 = GetFileAttributesA(wow64.c_str()) != INVALID_FILE_ATTRIBUTES;
  EXPECT_EQ(expected_bits == "64", has_wow64);
}

TEST(Harness, StartsInAFreshPrefix) {
  char windows_dir[MAX_PATH];
  GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  const std::string marker = std::string(windows_dir) + "\\harness_marker.txt";
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(marker.c_str()))
      << "a previous run left its files behind";
  HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
}

TEST(Harness, HasADisplayForMessageBoxes) {
  HWND window = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, window);
  DestroyWindow(window);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: harness_check VERSION CODEPAGE BITS\n");
    return 2;
  }
  expected_version = argv[1];
  expected_code_page = argv[2];
  expected_bits = argv[3];
  return RUN_ALL_TESTS();
}
