// verify_archive: installed files against an archive, with the exclusion text and the
// legacy size rule, and a report that never overflows its buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "tests/archive/test_support.h"

namespace {

const std::string shortfall = "有文件没有成功解压，请重新下载安装！\r\n";

struct verify_case {
  const char* title;
  std::string archive;
  std::vector<std::pair<std::string, std::string>> installed;
  const char* exclusions;
  int passed;
  std::string report;
};

std::vector<verify_case> verify_cases() {
  const entry_fixture a{"a.txt", "alpha"}, b{"b.txt", "beta"};
  const entry_fixture viva{"vivadidu.exe", "MZ manager"};
  static const char payload_exclusions[] =
      "ying320.ime ying321.ime ying640.ime ying641.ime yzszsj43.yzh setupw64.exe "
      "yingcyzk.bak vivadidu.exe yinglum6.exe ";
  entry_fixture bad_tag = b;
  bad_tag.tag = "YG";
  entry_fixture legacy_big{"big.bin", std::string(3000, 'q')};
  const uint32_t big_csize = static_cast<uint32_t>(zlib_stream(legacy_big.content).size());
  entry_fixture c_long{"c.txt", "gamma"};
  c_long.csize = 1000;
  return {
      {"count 0", current_archive({}), {}, "", 0, ""},
      {"all intact", current_archive({a, b}), {{"a.txt", "alpha"}, {"b.txt", "beta"}}, "", 2, ""},
      {"one differs",
       current_archive({a, b}),
       {{"a.txt", "alpha"}, {"b.txt", "BETA"}},
       "",
       1,
       "b.txt...." + shortfall},
      {"missing files", current_archive({a, b}), {}, "", 0, "a.txt....b.txt...." + shortfall},
      {"excluded entry passes though missing",
       current_archive({a, viva}),
       {{"a.txt", "alpha"}},
       payload_exclusions,
       2,
       ""},
      {"excluded entry passes though different",
       current_archive({viva}),
       {{"vivadidu.exe", "another build"}},
       payload_exclusions,
       1,
       ""},
      {"null exclusions exclude nothing",
       current_archive({viva}),
       {},
       nullptr,
       0,
       "vivadidu.exe...." + shortfall},
      {"legacy: at least csize bytes pass",
       legacy_archive({legacy_big}),
       {{"big.bin", std::string(big_csize, 'x')}},
       "",
       1,
       ""},
      {"legacy: fewer than csize bytes fail",
       legacy_archive({legacy_big}),
       {{"big.bin", std::string(big_csize - 1, 'x')}},
       "",
       0,
       "big.bin...." + shortfall},
      {"legacy ignores exclusions",
       legacy_archive({legacy_big}),
       {},
       "big.bin",
       0,
       "big.bin...." + shortfall},
      {"bad tag: shortfall line without names",
       archive_bytes('0', 2, current_entry(a) + current_entry(bad_tag)),
       {{"a.txt", "alpha"}},
       "",
       1,
       shortfall},
      {"entry past the end fails and stops",
       archive_bytes('0', 3, current_entry(a) + current_entry(c_long) + current_entry(b)),
       {{"a.txt", "alpha"}, {"c.txt", "gamma"}, {"b.txt", "beta"}},
       "",
       1,
       "c.txt...." + shortfall},
      {"hostile name never passes",
       current_archive({{"../a.txt", "alpha"}}),
       {},
       "../a.txt",
       0,
       "../a.txt...." + shortfall},
      {"header too short", "Y0\x05", {}, "", 0, shortfall},
  };
}

TEST(VerifyArchive, Cases) {
  for (const verify_case& test : verify_cases()) {
    SCOPED_TRACE(test.title);
    temp_dir root;
    const std::string dir = root / "install" + test_separator;
    ASSERT_TRUE(make_dir(root / "install"));
    // What a hostile name would point at, were it joined.
    write_file(root / "a.txt", "alpha");
    for (const auto& [name, content] : test.installed) write_file(dir + name, content);
    char report[4096];
    std::memset(report, 'X', sizeof report);
    EXPECT_EQ(test.passed, verify_archive(span_of(test.archive), dir.c_str(), report, sizeof report,
                                          test.exclusions));
    EXPECT_EQ(test.report, std::string(report));
  }
}

// Failing names that do not fit are left out, the closing line always fits when the
// buffer can hold it, and nothing is written past the buffer.
TEST(VerifyArchive, ReportStaysInsideItsBuffer) {
  std::vector<entry_fixture> entries;
  for (int i = 0; i < 50; ++i) entries.push_back({"file" + std::to_string(i) + ".txt", "x"});
  const std::string archive = current_archive(entries);
  temp_dir dir;
  for (const size_t capacity : {size_t(0), size_t(1), size_t(20), shortfall.size(),
                                shortfall.size() + 1, shortfall.size() + 13, size_t(100)}) {
    SCOPED_TRACE(capacity);
    std::vector<char> report(capacity + 16, 'X');
    EXPECT_EQ(0, verify_archive(span_of(archive), dir.path().c_str(), report.data(), capacity, ""));
    for (size_t i = capacity; i < report.size(); ++i) ASSERT_EQ('X', report[i]) << i;
    if (capacity == 0) continue;
    const std::string text(report.data());
    EXPECT_LT(text.size(), capacity);
    if (capacity > shortfall.size()) {
      ASSERT_GE(text.size(), shortfall.size());
      EXPECT_EQ(shortfall, text.substr(text.size() - shortfall.size()));
    }
  }
  // Room for exactly one "fileN.txt...." (13 bytes) besides the line and the terminator.
  std::vector<char> report(shortfall.size() + 14);
  verify_archive(span_of(archive), dir.path().c_str(), report.data(), report.size(), "");
  EXPECT_EQ("file0.txt...." + shortfall, std::string(report.data()));
}

TEST(VerifyArchive, NullReportIsAllowed) {
  const std::string archive = current_archive({{"a.txt", "alpha"}});
  temp_dir dir;
  EXPECT_EQ(0, verify_archive(span_of(archive), dir.path().c_str(), nullptr, 0, ""));
}

}  // namespace
