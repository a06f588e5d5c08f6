// The default installation directory and the file-system questions behind it, on the real
// file system of the prefix.
#include "setup/install_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/installer_state.h"
#include "tests/setup/setup_test_support.h"

namespace {

const char fallback_dir[] = "c:\\Program Files\\yingzu\\";

std::string under(const char* program_files) {
  char out[text_capacity];
  std::memset(out, 'X', sizeof out);
  default_dir_under(program_files, out);
  return out;
}

}  // namespace

TEST(DefaultInstallDir, TrimsTheProgramFilesFolder) {
  ASSERT_TRUE(CreateDirectoryA("C:\\yz apps", nullptr));
  ASSERT_TRUE(CreateDirectoryA("C:\\yz apps\\tools", nullptr));
  const std::string long_folder = "C:\\" + std::string(190, 'a');
  ASSERT_TRUE(CreateDirectoryA(long_folder.c_str(), nullptr));
  struct trim_case {
    const char* program_files;  // null: the shell lookup failed
    std::string install_dir;
  } cases[] = {
      {"C:\\Program Files (x86)", "C:\\Program Files\\yingzu\\"},
      {"C:\\Program Files", "C:\\Program Files\\yingzu\\"},
      {"C:\\Program Files\\", "C:\\Program Files\\yingzu\\"},
      {"C:\\yz apps (local)\\x", "C:\\yz apps\\yingzu\\"},
      {"C:\\yz apps   ", "C:\\yz apps\\yingzu\\"},
      {"C:\\yz apps\\tools", "C:\\yz apps\\tools\\yingzu\\"},
      {"C:\\", "C:\\yingzu\\"},
      {"C:\\yz(missing", fallback_dir},
      {"C:\\no such folder", fallback_dir},
      {"(x86)", fallback_dir},
      {"", fallback_dir},
      {nullptr, fallback_dir},
      {long_folder.c_str(), fallback_dir},
  };
  for (const trim_case& c : cases)
    EXPECT_EQ(c.install_dir, under(c.program_files))
        << "Program Files folder: " << (c.program_files ? c.program_files : "(lookup failed)");
}

TEST(DefaultInstallDir, KeepsADriveRootedDirectoryAndReplacesOthers) {
  // This test program is a 64-bit process: the shell names the 64-bit Program Files.
  const std::string computed = "C:\\Program Files\\yingzu\\";
  struct keep_case {
    const char* install_dir;
    std::string afterwards;
  } cases[] = {
      {"D:\\anything at all", "D:\\anything at all"},
      {"q:\\", "q:\\"},
      {"", computed},
      {"\\\\server\\share\\yingzu\\", computed},
      {"relative\\yingzu\\", computed},
      {"D:relative\\", computed},
      {"C:/Program Files/yingzu/", computed},
  };
  for (const keep_case& c : cases) {
    state = installer_state{};
    std::strcpy(state.install_dir, c.install_dir);
    EXPECT_EQ(state.install_dir, default_install_dir());
    EXPECT_EQ(c.afterwards, state.install_dir) << "install_dir before: " << c.install_dir;
  }
}

TEST(DefaultInstallDir, AnEmptiedDirectoryIsRecomputedWhateverLiesBehindIt) {
  state = installer_state{};
  std::strcpy(state.install_dir, "E:\\old\\");
  state.install_dir[0] = 0;
  default_install_dir();
  EXPECT_STREQ("C:\\Program Files\\yingzu\\", state.install_dir);
}

TEST(PathExists, FilesAndDirectoriesButNothingElse) {
  ASSERT_TRUE(write_file("C:\\yz_exists.txt", "x"));
  EXPECT_TRUE(path_exists("C:\\yz_exists.txt"));
  EXPECT_TRUE(path_exists("C:\\windows"));
  EXPECT_TRUE(path_exists("C:\\"));
  EXPECT_FALSE(path_exists("C:\\yz_missing.txt"));
  EXPECT_FALSE(path_exists("C:\\yz_missing\\x"));
  EXPECT_FALSE(path_exists(""));
}

TEST(Wow64SystemDir, IsTheWindowsDirectoryWithSyswow64) {
  char out[text_capacity];
  wow64_system_dir(out);
  EXPECT_EQ(windows_dir() + "\\syswow64", out);
  EXPECT_EQ(expected_system.is_64bit, directory_exists(out));
}

TEST(FirstFixedDriveDir, SearchesFromGDownToC) {
  // c: is the prefix's system drive; z: lies outside the search.
  EXPECT_STREQ("c:\\yingzu\\", first_fixed_drive_dir().text);
  struct drive_case {
    const char* mapped;
    const char* chosen;
  } cases[] = {
      {"d", "d:\\yingzu\\"},
      {"df", "f:\\yingzu\\"},
      {"eg", "g:\\yingzu\\"},
      {"h", "c:\\yingzu\\"},
  };
  for (const drive_case& c : cases) {
    for (const char* letter = c.mapped; *letter; ++letter)
      ASSERT_TRUE(map_drive(*letter)) << *letter;
    EXPECT_STREQ(c.chosen, first_fixed_drive_dir().text) << "mapped: " << c.mapped;
    for (const char* letter = c.mapped; *letter; ++letter)
      ASSERT_TRUE(unmap_drive(*letter)) << *letter;
  }
}

TEST(EndsWithBackslash, WalksDoubleByteCharacters) {
  // A double-byte character whose trail byte is 0x5C ends no directory; its lead byte
  // 0x81/0xB3 is a lead byte in both code pages 936 and 950.
  struct ending_case {
    const char* text;
    bool ends;
  } cases[] = {
      {"D:\\x\\", true},
      {"D:\\x", false},
      {"\\", true},
      {"", false},
      {"D:\\\xB3\x5C", false},
      {"D:\\\xB3\x5C\\", true},
      {"D:\\\x81\x5C", false},
      {"D:\\\xB3", false},
      {"\xB3\x5C\x5C", true},
  };
  for (const ending_case& c : cases) EXPECT_EQ(c.ends, ends_with_backslash(c.text)) << c.text;
}

TEST(AppendBackslash, KeepsTheBufferBounded) {
  struct append_case {
    std::string before;
    std::string after;
  } cases[] = {
      {"D:\\x", "D:\\x\\"},
      {"D:\\x\\", "D:\\x\\"},
      {"", "\\"},
      {"D:\\\xB3\x5C", "D:\\\xB3\x5C\\"},
      {std::string(198, 'a'), std::string(198, 'a') + "\\"},
      {std::string(199, 'a'), std::string(198, 'a') + "\\"},
      {std::string(197, 'a') + "\xB3\x5C", std::string(197, 'a') + "\\"},
  };
  for (const append_case& c : cases) {
    state = installer_state{};
    std::memcpy(state.install_dir, c.before.c_str(), c.before.size() + 1);
    std::memset(state.previous_dir, 'P', sizeof state.previous_dir);
    append_backslash(state.install_dir);
    EXPECT_EQ(c.after, state.install_dir) << c.before;
    EXPECT_EQ('P', state.previous_dir[0]);
  }
}
