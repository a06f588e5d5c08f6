// The path files as the product's programs find them on disk.
#include "setup/path_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/installer_state.h"
#include "setup/windows_version.h"
#include "tests/setup/setup_test_support.h"

namespace {

const char drive_copy[] = "c:\\yingzu\\yingpath.yzh";

class PathFile : public testing::Test {
 protected:
  void SetUp() override {
    state = installer_state{};
    is_64bit_windows();
    DeleteFileA(windows_path_file().c_str());
    DeleteFileA(drive_copy);
    RemoveDirectoryA("c:\\yingzu");
  }
};

}  // namespace

TEST_F(PathFile, HoldsTheDirectoryAndNothingElse) {
  std::strcpy(state.install_dir, "C:\\Program Files\\yingzu\\");
  write_path_files();
  const std::string expected = "C:\\Program Files\\yingzu\\";
  const std::string written = read_file(windows_path_file());
  EXPECT_EQ(24u, written.size());
  EXPECT_EQ(expected, written);
  if (expected_system.major >= 6) {
    EXPECT_EQ(expected, read_file(drive_copy));
  } else {
    EXPECT_FALSE(file_exists(drive_copy)) << "Windows 5.x has one path file";
    EXPECT_FALSE(directory_exists("c:\\yingzu"));
  }
}

TEST_F(PathFile, AppendsTheBackslashToInstallDirItself) {
  struct append_case {
    std::string install_dir;
    std::string written;
  } cases[] = {
      {"D:\\My Files", "D:\\My Files\\"},
      {"D:\\x\\", "D:\\x\\"},
      {"", "\\"},
      {std::string(199, 'd'), std::string(198, 'd') + "\\"},
  };
  for (const append_case& c : cases) {
    std::memcpy(state.install_dir, c.install_dir.c_str(), c.install_dir.size() + 1);
    write_path_files();
    EXPECT_EQ(c.written, state.install_dir);
    EXPECT_EQ(c.written, read_file(windows_path_file()));
    if (expected_system.major >= 6) {
      EXPECT_EQ(c.written, read_file(drive_copy));
    }
  }
}

TEST_F(PathFile, SecondCopyGoesToTheFirstFixedDriveFromGDown) {
  if (expected_system.major < 6) {
    ASSERT_TRUE(map_drive('d'));
    std::strcpy(state.install_dir, "C:\\Program Files\\yingzu\\");
    write_path_files();
    EXPECT_FALSE(directory_exists("d:\\yingzu"));
    EXPECT_TRUE(unmap_drive('d'));
    return;
  }
  ASSERT_TRUE(map_drive('d'));
  ASSERT_FALSE(directory_exists("d:\\yingzu"));
  std::strcpy(state.install_dir, "E:\\apps\\yingzu\\");
  write_path_files();
  EXPECT_EQ("E:\\apps\\yingzu\\", read_file("d:\\yingzu\\yingpath.yzh"));
  EXPECT_FALSE(file_exists(drive_copy));
  EXPECT_TRUE(unmap_drive('d'));
}

TEST_F(PathFile, ReadFillsTheTargetOrLeavesIt) {
  // No file: unchanged.
  std::strcpy(state.previous_dir, "unchanged");
  read_path_file(state.previous_dir);
  EXPECT_STREQ("unchanged", state.previous_dir);

  ASSERT_TRUE(write_file(windows_path_file(), "E:\\old\\yingzu\\"));
  read_path_file(state.previous_dir);
  EXPECT_STREQ("E:\\old\\yingzu\\", state.previous_dir);

  ASSERT_TRUE(write_file(windows_path_file(), ""));
  read_path_file(state.previous_dir);
  EXPECT_STREQ("", state.previous_dir);
}

TEST_F(PathFile, ALongerFileIsCutAndNeverWritesPastTheTarget) {
  ASSERT_TRUE(write_file(windows_path_file(), std::string(300, 'L')));
  std::memset(state.system_dir, 'S', sizeof state.system_dir);
  read_path_file(state.previous_dir);
  EXPECT_EQ(std::string(text_capacity - 1, 'L'), state.previous_dir);
  EXPECT_EQ(std::string(sizeof state.system_dir, 'S'),
            std::string(state.system_dir, sizeof state.system_dir));
}

TEST_F(PathFile, ADirectoryInItsPlaceCanBeNeitherReadNorWritten) {
  ASSERT_TRUE(CreateDirectoryA(windows_path_file().c_str(), nullptr));
  std::strcpy(state.previous_dir, "unchanged");
  read_path_file(state.previous_dir);
  EXPECT_STREQ("unchanged", state.previous_dir);
  std::strcpy(state.install_dir, "C:\\Program Files\\yingzu\\");
  write_path_files();
  EXPECT_TRUE(directory_exists(windows_path_file()));
  EXPECT_TRUE(RemoveDirectoryA(windows_path_file().c_str()));
}
