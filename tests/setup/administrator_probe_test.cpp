// The administrator probe against the real path files of the prefix.
#include "setup/administrator_probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/installer_state.h"
#include "tests/setup/setup_test_support.h"

namespace {

const char drive_copy[] = "c:\\yingzu\\yingpath.yzh";
const char default_dir[] = "C:\\Program Files\\yingzu\\";

class AdministratorProbe : public testing::Test {
 protected:
  void SetUp() override {
    state = installer_state{};
    std::strcpy(state.install_dir, default_dir);
    DeleteFileA(windows_path_file().c_str());
    DeleteFileA(drive_copy);
  }
  void TearDown() override { RemoveDirectoryA(windows_path_file().c_str()); }
};

}  // namespace

TEST_F(AdministratorProbe, RightsPresentKeepOnlyThePreviousDirectory) {
  ASSERT_TRUE(write_file(windows_path_file(), "E:\\old\\yingzu\\"));
  EXPECT_FALSE(administrator_probe());
  EXPECT_STREQ("E:\\old\\yingzu\\", state.previous_dir);
  EXPECT_STREQ(default_dir, state.install_dir);
  EXPECT_EQ(expected_system.major, state.os_major);
  if (expected_system.major >= 6) {
    EXPECT_EQ(default_dir, read_file(windows_path_file()));
    EXPECT_EQ(default_dir, read_file(drive_copy));
  } else {
    EXPECT_EQ("E:\\old\\yingzu\\", read_file(windows_path_file())) << "5.x: nothing is written";
    EXPECT_FALSE(file_exists(drive_copy));
  }
}

TEST_F(AdministratorProbe, NoEarlierPathFile) {
  EXPECT_FALSE(administrator_probe());
  EXPECT_STREQ("", state.previous_dir);
  EXPECT_EQ(expected_system.major >= 6, file_exists(windows_path_file()));
}

TEST_F(AdministratorProbe, AnUnwritablePathFileMeansMissingRightsOnWindows6) {
  ASSERT_TRUE(CreateDirectoryA(windows_path_file().c_str(), nullptr));
  EXPECT_EQ(expected_system.major >= 6, administrator_probe());
  EXPECT_STREQ("", state.previous_dir);
  EXPECT_STREQ(default_dir, state.install_dir) << "the probe puts the directory back";
}
