#include <gtest/gtest.h>

#include "archive/contains_text.h"

namespace {

struct contains_case {
  const char* text;
  const char* needle;
  bool expected;
};

TEST(ContainsText, Cases) {
  const char* const exclusions =
      "ying320.ime ying321.ime ying640.ime ying641.ime yzszsj43.yzh setupw64.exe "
      "yingcyzk.bak vivadidu.exe yinglum6.exe ";
  const contains_case cases[] = {
      {"kdczxumd27", "kdczxumd27", true},
      {"/S KDCZXUMD27 /x", "kdczxumd27", true},  // capitals of the text match small needles
      {"regyz32=C:\\yz\\", "regyz32", true},
      {"kdczxumd27", "KDCZXUMD27", false},  // but not the other way round
      {"abc", "bcd", false},                // the end of the text ends the match
      {"ab", "abc", false},
      {"", "", false},  // an empty text contains nothing
      {"x", "", true},  // an empty needle is in every other text
      {"", "a", false},
      {exclusions, "vivadidu.exe", true},
      {exclusions, "yingzu4.ime", false},
      {exclusions, "ying32", true},  // a plain substring search
      {"NOTES.TXT", ".txt", true},
      {"a.txt.old", ".txt", true},
      {"中文.TXT", "中文.txt", true},  // GBK bytes match themselves
      {"[\\]^", "{|}~", false},        // only A..Z fold, not the bytes after Z
      {"AAAB", "aab", true},
      {nullptr, "a", false},
      {"a", nullptr, false},
  };
  for (const contains_case& test : cases) {
    EXPECT_EQ(test.expected, contains_text(test.text, test.needle))
        << (test.text ? test.text : "(null)") << " / " << (test.needle ? test.needle : "(null)");
  }
}

}  // namespace
