// md5_hex against RFC 1321's test suite, file_md5_hex, and the two file helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/file_ops.h"
#include "archive/md5_hex.h"
#include "tests/archive/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

TEST(Md5Hex, Rfc1321TestSuite) {
  const std::pair<std::string, const char*> suite[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& [data, digest] : suite) {
    char out[34];
    std::memset(out, 'X', sizeof out);
    md5_hex(data.data(), data.size(), out);
    EXPECT_EQ(std::string(digest), std::string(out, 32)) << data;
    EXPECT_EQ(0, out[32]);
    EXPECT_EQ(0, out[33]);
  }
}

TEST(FileMd5Hex, DigestAndLengthOfAFile) {
  temp_dir dir;
  const std::string content(100000, 'm');
  write_file(dir / "f.bin", content);
  char out[34];
  EXPECT_EQ(content.size(), file_md5_hex((dir / "f.bin").c_str(), out));
  EXPECT_EQ(md5_text(content), std::string(out));

  std::memset(out, 'X', sizeof out);
  EXPECT_EQ(0u, file_md5_hex((dir / "none.bin").c_str(), out));
  EXPECT_EQ(std::string(34, '\0'), std::string(out, 34));

  write_file(dir / "empty.bin", "");
  EXPECT_EQ(0u, file_md5_hex((dir / "empty.bin").c_str(), out));
  EXPECT_STREQ("D41D8CD98F00B204E9800998ECF8427E", out);
}

TEST(RemoveFile, MissingFileIsNothingToDelete) {
  temp_dir dir;
  EXPECT_EQ(0, remove_file((dir / "none.txt").c_str()));
}

TEST(RemoveFile, DeletesAFile) {
  temp_dir dir;
  write_file(dir / "f.txt", "x");
  EXPECT_EQ(0, remove_file((dir / "f.txt").c_str()));
  EXPECT_FALSE(file_exists(dir / "f.txt"));
}

#ifndef _WIN32
TEST(RemoveFile, DeletesAReadOnlyFile) {
  temp_dir dir;
  write_file(dir / "ro.txt", "x");
  ASSERT_EQ(0, chmod((dir / "ro.txt").c_str(), 0444));
  EXPECT_EQ(0, remove_file((dir / "ro.txt").c_str()));
  EXPECT_FALSE(file_exists(dir / "ro.txt"));
}
#endif

TEST(RemoveFile, DirectoryIsNotRemoved) {
  temp_dir dir;
  ASSERT_TRUE(make_dir(dir / "sub"));
  EXPECT_EQ(-1, remove_file((dir / "sub").c_str()));
  EXPECT_TRUE(file_exists(dir / "sub"));
}

TEST(RenameAside, MovesToTheNameEndingIn2) {
  temp_dir dir;
  write_file(dir / "yingzu4.ime", "module");
  write_file(dir / "yingzu2.ime", "older leftover");
  EXPECT_EQ(0, rename_aside((dir / "yingzu4.ime").c_str()));
  EXPECT_FALSE(file_exists(dir / "yingzu4.ime"));
  EXPECT_EQ("module", read_file(dir / "yingzu2.ime").value_or(""));
}

// A path whose own fifth character from the end is "2" has no "2" alternative; removing
// "it" there would lose the file.
TEST(RenameAside, NameAlreadyEndingIn2GoesTo1) {
  temp_dir dir;
  write_file(dir / "yingzu2.ime", "module");
  EXPECT_EQ(0, rename_aside((dir / "yingzu2.ime").c_str()));
  EXPECT_EQ("module", read_file(dir / "yingzu1.ime").value_or(""));
  EXPECT_FALSE(file_exists(dir / "yingzu2.ime"));
}

TEST(RenameAside, DoubleByteCharacterIsReplacedWhole) {
  temp_dir dir;
  write_file(dir / "冷色瓷面.yzz", "skin");
  EXPECT_EQ(0, rename_aside((dir / "冷色瓷面.yzz").c_str()));
  EXPECT_EQ("skin", read_file(dir / "冷色瓷2.yzz").value_or(""));
}

TEST(RenameAside, NothingToMoveOrNoAlternativeName) {
  temp_dir dir;
  EXPECT_EQ(-1, rename_aside((dir / "none.ime").c_str()));
  EXPECT_EQ(-1, rename_aside("a.b"));
  EXPECT_EQ(-1, rename_aside(""));
}

}  // namespace
