// Which names may stand as entries, and how paths are split and joined, GBK-aware.
#include <gtest/gtest.h>

#include <string>

#include "archive/entry_name.h"
#include "tests/archive/test_support.h"

namespace {

TEST(EntryName, PlainFileNames) {
  const struct {
    const char* name;
    bool plain;
  } cases[] = {
      {"yingzu4.ime", true}, {"冷色瓷面.yzz", true}, {"\x95\x5C.txt", true}, {"a b.txt", true},
      {"", false},           {".", false},           {"..", false},          {"a..b", false},
      {"..\\x", false},      {"a/b", false},         {"a\\b", false},        {"c:x", false},
      {"tab\there", false},  {"\x80.txt", false},    {"\xFF", false},        {"\xC0", false},
      {"\xC0\x3F", false},   {"\xC0\x7F", false},    {"CON", false},         {"con.txt", false},
      {"Nul", false},        {"aux .log", false},    {"COM1", false},        {"lpt9.bin", false},
      {"COM0", true},        {"console", true},      {"com10", true},
  };
  for (const auto& test : cases) EXPECT_EQ(test.plain, is_plain_file_name(test.name)) << test.name;
}

TEST(EntryName, NamePartAndSeparators) {
  const std::string sep(1, test_separator);
  EXPECT_STREQ("b.txt", file_name_part(("a" + sep + "b.txt").c_str()));
  EXPECT_STREQ("b.txt", file_name_part("b.txt"));
  EXPECT_STREQ("", file_name_part(("dir" + sep).c_str()));
  // "\x95\x5C" is one character: its trail byte separates nothing.
  EXPECT_STREQ("\x95\x5C.txt", file_name_part("\x95\x5C.txt"));
  EXPECT_FALSE(ends_with_separator("\x95\x5C"));
  EXPECT_TRUE(ends_with_separator(("dir" + sep).c_str()));
  EXPECT_FALSE(ends_with_separator(""));
}

TEST(EntryName, JoinPath) {
  const std::string sep(1, test_separator);
  char out[16];
  ASSERT_TRUE(join_path("dir", "a.txt", out, sizeof out));
  EXPECT_EQ("dir" + sep + "a.txt", out);
  ASSERT_TRUE(join_path(("dir" + sep).c_str(), "a.txt", out, sizeof out));
  EXPECT_EQ("dir" + sep + "a.txt", out);
  ASSERT_TRUE(join_path("", "a.txt", out, sizeof out));
  EXPECT_STREQ("a.txt", out);
  // "\x95\x5C" ends with a character, not with a separator.
  ASSERT_TRUE(join_path("\x95\x5C", "a", out, sizeof out));
  EXPECT_EQ("\x95\x5C" + sep + "a", out);
  EXPECT_TRUE(join_path("0123456789", "abcd", out, sizeof out));    // 15 bytes and the NUL
  EXPECT_FALSE(join_path("0123456789", "abcde", out, sizeof out));  // 16 would not fit
}

}  // namespace
