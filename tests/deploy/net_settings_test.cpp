// write_net_settings: the edition flag and the article settings, byte for byte, in the
// installation directory (the default one when none has been chosen).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "deploy/net_settings.h"
#include "setup/install_dir.h"
#include "setup/installer_state.h"
#include "tests/deploy/test_files.h"

namespace {

std::string expected_settings(const std::string& address) {
  return "YZNETURL1=\r\n"
         "YZNETURL2=" + address + "\r\n"
         "YZNETTIME=1\r\n"
         "YZBJTIME=7\r\n"
         "YZWYTIME=3\r\n"
         "YZSJOFF=0\r\n"
         "YZNETTIME0=0\r\n"
         "YZBJTIME0=0\r\n"
         "YZNEONE=1\r\n";
}

class NetSettings : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = "C:\\net_settings\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    ASSERT_TRUE(is_directory(dir_));
    std::strcpy(state.install_dir, dir_.c_str());
  }
  std::string dir_;
};

struct net_case {
  const char* name;
  int edition;
  std::string address;
  const char* flag;
};

TEST_F(NetSettings, WritesFlagAndSettingsForEachEdition) {
  const net_case cases[] = {
      {"Pinyin edition, three-character address", 1, "abc", "YZWBPYBZ=1"},
      {"silent mode: no edition, no address", 0, "", "YZWBPYBZ=0"},
      {"any other edition is Wubi", 2, "http://www.gov.cn/", "YZWBPYBZ=0"},
      {"the longest address the field gives", 1, std::string(99, 'w'), "YZWBPYBZ=1"},
      {"an address as long as its buffer allows", 1, std::string(250, 'u'), "YZWBPYBZ=1"},
  };
  for (const net_case& c : cases) {
    SCOPED_TRACE(c.name);
    state.edition = c.edition;
    std::memset(state.website_address, 0, sizeof state.website_address);
    std::memcpy(state.website_address, c.address.data(), c.address.size());
    write_net_settings();

    const bytes flag = read_bytes_or_empty(dir_ + "wbpybz.yzh");
    bytes expected_flag(c.flag, c.flag + std::strlen(c.flag));
    expected_flag.push_back(0);
    EXPECT_EQ(11u, flag.size());
    EXPECT_EQ(expected_flag, flag);

    const bytes settings = read_bytes_or_empty(dir_ + "yznetsj.dat");
    EXPECT_EQ(110 + c.address.size(), settings.size());
    EXPECT_EQ(expected_settings(c.address), std::string(settings.begin(), settings.end()));
  }
}

TEST_F(NetSettings, ThreeCharacterAddressGives113Bytes) {
  state.edition = 1;
  std::strcpy(state.website_address, "abc");
  write_net_settings();
  const bytes settings = read_bytes_or_empty(dir_ + "yznetsj.dat");
  EXPECT_EQ(113u, settings.size());
  const std::string text(settings.begin(), settings.end());
  const size_t second_line = text.find("\r\n") + 2;
  EXPECT_EQ("YZNETURL2=abc\r\n", text.substr(second_line, 15));
}

TEST_F(NetSettings, ReplacesLongerFilesEntirely) {
  ASSERT_TRUE(write_bytes(dir_ + "wbpybz.yzh", bytes(500, 'z')));
  ASSERT_TRUE(write_bytes(dir_ + "yznetsj.dat", bytes(2000, 'z')));
  state.edition = 0;
  std::strcpy(state.website_address, "gov");
  write_net_settings();
  EXPECT_EQ(11u, read_bytes_or_empty(dir_ + "wbpybz.yzh").size());
  const bytes settings = read_bytes_or_empty(dir_ + "yznetsj.dat");
  EXPECT_EQ(expected_settings("gov"), std::string(settings.begin(), settings.end()));
}

TEST_F(NetSettings, GoesToTheDefaultDirectoryWhenNoneWasChosen) {
  state.install_dir[0] = 0;
  const std::string expected_dir = default_install_dir();
  ASSERT_FALSE(expected_dir.empty());
  ASSERT_NE(dir_, expected_dir);
  CreateDirectoryA(expected_dir.c_str(), nullptr);
  state.install_dir[0] = 0;
  state.edition = 1;
  std::strcpy(state.website_address, "xyz");
  write_net_settings();
  EXPECT_EQ(expected_dir, state.install_dir);
  EXPECT_EQ(11u, read_bytes_or_empty(expected_dir + "wbpybz.yzh").size());
  EXPECT_EQ(expected_settings("xyz"), [&] {
    const bytes b = read_bytes_or_empty(expected_dir + "yznetsj.dat");
    return std::string(b.begin(), b.end());
  }());
}

// A website_address left without a terminator is cut at its buffer, never read past it.
TEST_F(NetSettings, BoundsAnUnterminatedAddress) {
  state.edition = 1;
  std::memset(state.website_address, 'q', sizeof state.website_address);
  write_net_settings();
  const bytes settings = read_bytes_or_empty(dir_ + "yznetsj.dat");
  EXPECT_EQ(expected_settings(std::string(sizeof state.website_address, 'q')),
            std::string(settings.begin(), settings.end()));
}

}  // namespace
