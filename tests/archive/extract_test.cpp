// extract_archive over crafted archives: what it returns, which entries it reports, and
// that it writes only into the target directory and leaves old files alone when an entry
// fails before writing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "tests/archive/test_support.h"

namespace {

const entry_fixture a_txt{"a.txt", "alpha"};
const entry_fixture c_txt{"c.txt", "gamma gamma gamma"};
const entry_fixture d_txt{"d.txt", "delta"};

entry_fixture with_name(entry_fixture fixture, const std::string& name) {
  fixture.name = name;
  return fixture;
}

struct extract_case {
  const char* title;
  std::string archive;
  bool result;
  std::vector<std::string> failures;
  std::vector<std::pair<std::string, std::string>> written;
};

std::vector<extract_case> extract_cases() {
  entry_fixture bad_digest{"b.txt", "beta"};
  bad_digest.digest = md5_text("not beta");
  entry_fixture c_long = c_txt;
  c_long.csize = static_cast<uint32_t>(zlib_stream(c_txt.content).size() + 1);
  entry_fixture c_huge = c_txt;
  c_huge.csize = 0xFFFFFFFFu;
  entry_fixture c_damaged = c_txt;
  c_damaged.stream = std::string("\x78\x9c garbage that is no deflate stream", 36);
  entry_fixture e_txt{"e.txt", ""};
  entry_fixture b_wrong_tag = with_name(c_txt, "b.txt");
  b_wrong_tag.tag = "XF";
  entry_fixture missing_digest{"b.txt", "beta"};
  missing_digest.digest = std::string(34, '\0');
  entry_fixture lower_digest{"b.txt", "beta"};
  lower_digest.digest = md5_text("beta");
  std::transform(lower_digest.digest->begin(), lower_digest.digest->end(),
                 lower_digest.digest->begin(),
                 [](char c) { return c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c; });

  const std::string a = current_entry(a_txt), c = current_entry(c_txt), d = current_entry(d_txt);
  const std::string unterminated(16, 'u');
  const std::vector<std::string> hostile = {
      "..\\x", "a/b",    "c:x",  "",       unterminated, "../up.txt", "..\\up.txt", "..",
      ".",     "x\x01y", "\xC0", "ok\xC0", "CON",        "nul.txt",   "Com1.bin"};
  std::string hostile_entries;
  std::vector<std::string> hostile_failures;
  for (const std::string& name : hostile) {
    hostile_entries += current_entry(with_name(a_txt, name));
    hostile_failures.push_back(name.substr(0, 16));
  }

  const std::string word_text = "中国; 人; abc; 北京; ";
  const std::string compacted =
      std::string("中国; ; ; 北京; ") + "YING" + std::string("\xB5\x07\0\0\x02\0\0\0", 8);

  return {
      {"count 0", current_archive({}), true, {}, {}},
      {"all good",
       current_archive({a_txt, c_txt}),
       true,
       {},
       {{"a.txt", "alpha"}, {"c.txt", c_txt.content}}},
      {"digest mismatch keeps the old file and goes on",
       current_archive({a_txt, bad_digest, c_txt}),
       false,
       {"b.txt"},
       {{"a.txt", "alpha"}, {"c.txt", c_txt.content}}},
      {"empty digest field", current_archive({missing_digest}), false, {"b.txt"}, {}},
      {"digest in small letters", current_archive({lower_digest}), false, {"b.txt"}, {}},
      {"legacy layout: no digest",
       legacy_archive({a_txt, with_name(c_txt, "b.txt")}),
       true,
       {},
       {{"a.txt", "alpha"}, {"b.txt", c_txt.content}}},
      {"any second byte but 0 is legacy",
       archive_bytes('7', 1, legacy_entry(a_txt)),
       true,
       {},
       {{"a.txt", "alpha"}}},
      {"bad tag stops the walk silently",
       archive_bytes('0', 3, a + current_entry(b_wrong_tag) + c),
       false,
       {},
       {{"a.txt", "alpha"}}},
      {"archive ends where count promises more",
       archive_bytes('0', 2, a),
       false,
       {},
       {{"a.txt", "alpha"}}},
      {"header cut short",
       archive_bytes('0', 2, a + c.substr(0, 30)),
       false,
       {"c.txt"},
       {{"a.txt", "alpha"}}},
      {"name cut short",
       archive_bytes('0', 2, a + c.substr(0, 5)),
       false,
       {"c.t"},
       {{"a.txt", "alpha"}}},
      {"data cut short",
       archive_bytes('0', 2, a + c.substr(0, c.size() - 1)),
       false,
       {"c.txt"},
       {{"a.txt", "alpha"}}},
      {"csize one past the end stops the walk",
       archive_bytes('0', 3, a + current_entry(c_long)),
       false,
       {"c.txt"},
       {{"a.txt", "alpha"}}},
      {"csize 0xFFFFFFFF",
       archive_bytes('0', 3, a + current_entry(c_huge) + d),
       false,
       {"c.txt"},
       {{"a.txt", "alpha"}}},
      {"legacy csize past the end",
       archive_bytes('Z', 2, legacy_entry(a_txt) + legacy_entry(c_long)),
       false,
       {"c.txt"},
       {{"a.txt", "alpha"}}},
      {"damaged stream fails alone",
       current_archive({a_txt, c_damaged, d_txt}),
       false,
       {"c.txt"},
       {{"a.txt", "alpha"}, {"d.txt", "delta"}}},
      {"empty content fails",
       current_archive({e_txt, d_txt}),
       false,
       {"e.txt"},
       {{"d.txt", "delta"}}},
      {"hostile names write nothing",
       archive_bytes('0', static_cast<uint32_t>(hostile.size() + 1), hostile_entries + c),
       false,
       hostile_failures,
       {{"c.txt", c_txt.content}}},
      {"unterminated legacy name",
       archive_bytes('Z', 2,
                     legacy_entry(with_name(a_txt, std::string(14, 'n'))) + legacy_entry(c_txt)),
       false,
       {std::string(14, 'n')},
       {{"c.txt", c_txt.content}}},
      {"word library is compacted",
       current_archive({{"yingcyzk.bak", word_text}}),
       true,
       {},
       {{"yingcyzk.bak", compacted}}},
      {"compacted word library stays as it is",
       current_archive({{"yingcyzk.bak", compacted}}),
       true,
       {},
       {{"yingcyzk.bak", compacted}}},
      // A trail byte 0x5C is part of its character, not a "\\".
      {"GBK names, trail byte 0x5C included",
       current_archive({{"冷色瓷面.yzz", "skin"}, {"\x95\x5C\xD5\x5C.txt", "five c"}}),
       true,
       {},
       {{"冷色瓷面.yzz", "skin"}, {"\x95\x5C\xD5\x5C.txt", "five c"}}},
      {"only that exact name is compacted",
       current_archive({{"YINGCYZK.BAK", word_text}}),
       true,
       {},
       {{"YINGCYZK.BAK", word_text}}},
  };
}

TEST(ExtractArchive, CraftedArchives) {
  for (const extract_case& test : extract_cases()) {
    SCOPED_TRACE(test.title);
    temp_dir root;
    const std::string target = root / "target" + test_separator;
    ASSERT_TRUE(make_dir(root / "target"));
    write_file(root / "outside.txt", "outside");
    write_file(target + "old.txt", "old");
    write_file(target + "b.txt", "old b");
    std::vector<unsigned char> scratch(work_buffer_size);
    recorded_failures().clear();

    EXPECT_EQ(test.result, extract_archive(span_of(test.archive),
                                           mutable_byte_span{scratch.data(), scratch.size()},
                                           target.c_str(), record_failure));
    EXPECT_EQ(test.failures, recorded_failures());

    std::vector<std::string> expected_tree = {"outside.txt", "target", "target/b.txt",
                                              "target/old.txt"};
    for (const auto& [name, content] : test.written) {
      expected_tree.push_back("target/" + name);
      EXPECT_EQ(content, read_file(target + name).value_or("<missing>")) << name;
    }
    std::sort(expected_tree.begin(), expected_tree.end());
    expected_tree.erase(std::unique(expected_tree.begin(), expected_tree.end()),
                        expected_tree.end());
    EXPECT_EQ(expected_tree, list_tree(root.path()));
    EXPECT_EQ("outside", read_file(root / "outside.txt").value_or(""));
    EXPECT_EQ("old", read_file(target + "old.txt").value_or(""));
    const bool b_written = std::any_of(test.written.begin(), test.written.end(),
                                       [](const auto& w) { return w.first == "b.txt"; });
    if (!b_written) {
      EXPECT_EQ("old b", read_file(target + "b.txt").value_or(""));
    }
  }
}

TEST(ExtractArchive, ArchiveShorterThanItsHeaderFailsWithoutReports) {
  const std::string whole = current_archive({a_txt});
  temp_dir target;
  std::vector<unsigned char> scratch(4096);
  for (size_t size = 0; size < 10; ++size) {
    recorded_failures().clear();
    const std::string cut = whole.substr(0, size);
    EXPECT_FALSE(extract_archive(span_of(cut), mutable_byte_span{scratch.data(), scratch.size()},
                                 target.path().c_str(), record_failure))
        << size;
    EXPECT_TRUE(recorded_failures().empty());
  }
  EXPECT_TRUE(list_tree(target.path()).empty());
}

// The scratch holds the name at 0, the data at 100 and its digest text at 110 + n; an
// entry may take the scratch size less 144, and nothing is written past the scratch.
TEST(ExtractArchive, ScratchLayoutAndLimit) {
  constexpr size_t scratch_size = 1000;
  const std::string fits(scratch_size - 144, 'f');
  const std::string too_big(scratch_size - 143, 't');
  const std::string archive = current_archive({{"fits.bin", fits}, {"toobig.bin", too_big}});
  temp_dir target;
  std::vector<unsigned char> scratch(scratch_size + 64, 0xCC);
  recorded_failures().clear();
  EXPECT_FALSE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch_size},
                               target.path().c_str(), record_failure));
  EXPECT_EQ(std::vector<std::string>{"toobig.bin"}, recorded_failures());
  EXPECT_EQ(fits, read_file(target / "fits.bin").value_or(""));
  EXPECT_FALSE(file_exists(target / "toobig.bin"));
  for (size_t i = scratch_size; i < scratch.size(); ++i) ASSERT_EQ(0xCC, scratch[i]) << i;

  // After the one good entry alone the layout is there to see.
  const std::string single = current_archive({{"fits.bin", fits}});
  ASSERT_TRUE(extract_archive(span_of(single), mutable_byte_span{scratch.data(), scratch_size},
                              target.path().c_str(), nullptr));
  EXPECT_STREQ("fits.bin", reinterpret_cast<const char*>(scratch.data()));
  EXPECT_EQ(fits, std::string(reinterpret_cast<const char*>(scratch.data()) + 100, fits.size()));
  EXPECT_EQ(md5_text(fits),
            std::string(reinterpret_cast<const char*>(scratch.data()) + 110 + fits.size()));
}

TEST(ExtractArchive, ScratchTooSmallForAnyEntryFailsEach) {
  const std::string archive = current_archive({a_txt, c_txt});
  temp_dir target;
  std::vector<unsigned char> scratch(143);
  recorded_failures().clear();
  EXPECT_FALSE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                               target.path().c_str(), record_failure));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "c.txt"}), recorded_failures());
  EXPECT_TRUE(list_tree(target.path()).empty());
}

// A composed path that would not fit its buffer fails the entry instead of being cut.
TEST(ExtractArchive, TargetPathThatDoesNotFitFails) {
  temp_dir root;
  std::string deep = root.path();
  // Windows makes no directory whose path is longer than 248 characters.
  while (deep.size() < 248) {
    deep += std::string(std::max<size_t>(1, std::min<size_t>(60, 247 - deep.size())), 'd');
    ASSERT_TRUE(make_dir(deep));
    deep += test_separator;
  }
  // deep + "a" fits in 259 bytes and a terminator, deep + "abcdefgh.txt" does not.
  ASSERT_LE(deep.size() + 1, max_path_bytes - 1);
  ASSERT_GT(deep.size() + 12, max_path_bytes - 1);
  const std::string archive = current_archive({{"abcdefgh.txt", "long"}, {"a", "short"}});
  std::vector<unsigned char> scratch(4096);
  recorded_failures().clear();
  EXPECT_FALSE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                               deep.c_str(), record_failure));
  EXPECT_EQ(std::vector<std::string>{"abcdefgh.txt"}, recorded_failures());
  EXPECT_EQ("short", read_file(deep + "a").value_or(""));
  EXPECT_FALSE(file_exists(deep + "abcdefgh.txt"));
}

TEST(ExtractArchive, DirectoryWithoutFinalSeparatorIsJoinedWithOne) {
  temp_dir root;
  ASSERT_TRUE(make_dir(root / "dest"));
  const std::string archive = current_archive({a_txt});
  std::vector<unsigned char> scratch(4096);
  ASSERT_TRUE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                              (root / "dest").c_str(), nullptr));
  EXPECT_EQ((std::vector<std::string>{"dest", "dest/a.txt"}), list_tree(root.path()));
}

TEST(ExtractArchive, FailureWithoutCallbackIsStillReportedByTheResult) {
  entry_fixture bad = a_txt;
  bad.digest = md5_text("x");
  const std::string archive = current_archive({bad});
  temp_dir target;
  std::vector<unsigned char> scratch(4096);
  EXPECT_FALSE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                               target.path().c_str(), nullptr));
}

TEST(ExtractArchive, ReplacesAnExistingFile) {
  temp_dir target;
  write_file(target / "a.txt", "an older and longer alpha");
  const std::string archive = current_archive({a_txt});
  std::vector<unsigned char> scratch(4096);
  ASSERT_TRUE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                              target.path().c_str(), nullptr));
  EXPECT_EQ("alpha", read_file(target / "a.txt").value_or(""));
}

}  // namespace
