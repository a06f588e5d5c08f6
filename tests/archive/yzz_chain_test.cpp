// The real yzz binary, as a release engineer runs it: pack, list, verify, unpack, and its
// error lines. YZZ_PATH is the tool built alongside.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/archive/test_support.h"

namespace {

struct run_result {
  int status;
  std::string out, err;
};

// Paths here are ASCII or UTF-8 (the shell's); file contents are whatever the test writes.
run_result run_yzz(const temp_dir& dir, const std::string& arguments) {
  const std::string out = dir / "stdout.txt", err = dir / "stderr.txt";
  const std::string command =
      std::string("'") + YZZ_PATH + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(out).value_or(""),
          read_file(err).value_or("")};
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class YzzChain : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(make_dir(work / "src"));
    write_file(src("a.txt"), "alpha\n");
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) >> 3);
    write_file(src("binary.bin"), binary);
    // A GBK literal: the name is converted to UTF-8 on the way to the disk.
    write_file(src("冷色瓷面.yzz"), "skin archive bytes");
    write_file(src("yingcyzk.bak"), "中国; 人; abc; 北京; ");
  }
  std::string src(const std::string& name) const { return work / "src" + "/" + name; }
  std::string sources() const {
    return "'" + src("a.txt") + "' '" + src("binary.bin") + "' '" + work / "src/" +
           u8"冷色瓷面.yzz" + "' '" + src("yingcyzk.bak") + "'";
  }
  temp_dir work;
};

TEST_F(YzzChain, PackListVerifyUnpack) {
  const std::string archive = work / "payload.yzz";
  run_result r = run_yzz(work, "pack '" + archive + "' " + sources());
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.err);

  r = run_yzz(work, "list '" + archive + "'");
  ASSERT_EQ(0, r.status) << r.err;
  const std::string bytes = read_file(archive).value();
  const std::vector<std::string> lines = lines_of(r.out);
  const char* names[] = {"a.txt", "binary.bin", "冷色瓷面.yzz", "yingcyzk.bak"};
  const char* shown[] = {"a.txt", "binary.bin", u8"冷色瓷面.yzz", "yingcyzk.bak"};
  ASSERT_EQ(4u, lines.size()) << r.out;
  size_t at = 10;
  for (size_t i = 0; i < 4; ++i) {
    const std::string csize = std::to_string(u32_at(bytes, at + 52));
    EXPECT_EQ(
        std::string(shown[i]) + "\t" + csize + "\t" + md5_text(read_file(src(names[i])).value()),
        lines[i]);
    at += 56 + u32_at(bytes, at + 52);
  }

  const std::string out = work / "out";
  r = run_yzz(work, "unpack '" + archive + "' '" + out + "'");
  ASSERT_EQ(0, r.status) << r.err;
  for (const char* name : {"a.txt", "binary.bin", "冷色瓷面.yzz"})
    EXPECT_EQ(read_file(src(name)).value(), read_file(out + "/" + name).value_or("<missing>"))
        << name;
  // The word library is compacted on the way, as the setup does.
  EXPECT_EQ(28u, read_file(out + "/yingcyzk.bak").value_or("").size());

  r = run_yzz(work, "verify '" + archive + "' '" + out + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(std::string("yingcyzk.bak....") + u8"有文件没有成功解压，请重新下载安装！" + "\n" +
                "3 of 4 entries passed\n",
            r.out);
  r = run_yzz(work, "verify --exclude 'yingcyzk.bak ' '" + archive + "' '" + out + "'");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("4 of 4 entries passed\n", r.out);
}

TEST_F(YzzChain, LegacyPackListsNoDigests) {
  const std::string skin = work / "skin.yzz";
  ASSERT_EQ(0, run_yzz(work, "pack --legacy '" + skin + "' '" + src("a.txt") + "'").status);
  EXPECT_EQ("YZ", read_file(skin).value().substr(0, 2));
  const run_result r = run_yzz(work, "list '" + skin + "'");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("a.txt\t" + std::to_string(u32_at(read_file(skin).value(), 26)) + "\t-\n", r.out);
  EXPECT_EQ(0, run_yzz(work, "unpack '" + skin + "' '" + work / "skin_out" + "'").status);
  EXPECT_EQ("alpha\n", read_file(work / "skin_out/a.txt").value_or(""));
  // Appending to it as the current layout is refused.
  EXPECT_EQ(1, run_yzz(work, "pack '" + skin + "' '" + src("binary.bin") + "'").status);
}

TEST_F(YzzChain, ErrorsAreOneLineAndExitNonZero) {
  run_result r = run_yzz(work, "list '" + work / "missing.yzz" + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("yzz: cannot read " + work / "missing.yzz\n", r.err);

  // A damaged archive: the second entry reaches past the end.
  const std::string damaged = work / "damaged.yzz";
  write_file(damaged, archive_bytes('0', 2,
                                    current_entry({"a.txt", "alpha"}) +
                                        current_entry({"b.txt", "beta"}).substr(0, 40)));
  r = run_yzz(work, "unpack '" + damaged + "' '" + work / "d_out" + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("yzz: cannot unpack entry \"b.txt\"\n", r.err);
  EXPECT_EQ("alpha", read_file(work / "d_out/a.txt").value_or(""));
  r = run_yzz(work, "list '" + damaged + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(1u, lines_of(r.out).size());
  EXPECT_EQ(1u, lines_of(r.err).size());

  // A hostile name is listed escaped and refused.
  const std::string hostile = work / "hostile.yzz";
  write_file(hostile, current_archive({{"..\\evil", "x"}}));
  r = run_yzz(work, "unpack '" + hostile + "' '" + work / "h_out" + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("yzz: cannot unpack entry \"..\\evil\"\n", r.err);
  EXPECT_FALSE(file_exists(work / "evil"));

  write_file(work / "thirteen_.txt", "x");
  r = run_yzz(work, "pack '" + work / "p.yzz" + "' '" + work / "thirteen_.txt" + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(1u, lines_of(r.err).size());
  EXPECT_FALSE(file_exists(work / "p.yzz"));

  EXPECT_EQ(2, run_yzz(work, "frobnicate").status);
}

}  // namespace
