// append_to_archive and append_to_legacy_archive: the bytes they write, the failure table,
// and round trips through the reader.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "tests/archive/test_support.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace {

std::string pseudo_random(size_t n, uint32_t seed) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    out += static_cast<char>(seed >> 24);
  }
  return out;
}

// Binary, but compressible, as program files are.
std::string every_byte_value(size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += static_cast<char>((i % 256) ^ (i / 1024));
  return out;
}

std::string unpacked(const std::string& stream, size_t limit) {
  std::string out(limit, '\0');
  uLongf size = limit;
  if (uncompress(reinterpret_cast<Bytef*>(&out[0]), &size,
                 reinterpret_cast<const Bytef*>(stream.data()), stream.size()) != Z_OK)
    return "<bad stream>";
  out.resize(size);
  return out;
}

TEST(AppendToArchive, CreatesAnArchiveWithOneEntry) {
  temp_dir dir;
  const std::string content = "the user's own phrases, several times: " + std::string(200, 'p');
  write_file(dir / "yzsyzk.yzh", content);
  ASSERT_TRUE(append_to_archive((dir / "back.yzz").c_str(), (dir / "yzsyzk.yzh").c_str()));

  const std::string archive = read_file(dir / "back.yzz").value();
  const uint32_t m = u32_at(archive, 10 + 52);
  ASSERT_EQ(10u + 56u + m, archive.size());
  EXPECT_EQ("Y0", archive.substr(0, 2));
  EXPECT_EQ(archive.size(), u32_at(archive, 2));
  EXPECT_EQ(1u, u32_at(archive, 6));
  EXPECT_EQ("YF", archive.substr(10, 2));
  EXPECT_EQ(std::string("yzsyzk.yzh\0\0\0\0\0\0", 16), archive.substr(12, 16));
  EXPECT_EQ(md5_text(content) + std::string(2, '\0'), archive.substr(28, 34));
  EXPECT_EQ(content, unpacked(archive.substr(66), 4096));
}

TEST(AppendToArchive, SecondFileFollowsTheFirst) {
  temp_dir dir;
  write_file(dir / "one.txt", "first file");
  write_file(dir / "two.txt", "second file, a little longer");
  const std::string path = dir / "back.yzz";
  ASSERT_TRUE(append_to_archive(path.c_str(), (dir / "one.txt").c_str()));
  const std::string before = read_file(path).value();
  ASSERT_TRUE(append_to_archive(path.c_str(), (dir / "two.txt").c_str()));
  const std::string after = read_file(path).value();

  EXPECT_EQ(before.substr(10), after.substr(10, before.size() - 10));
  EXPECT_EQ(2u, u32_at(after, 6));
  EXPECT_EQ(after.size(), u32_at(after, 2));
  const std::string second = after.substr(before.size());
  EXPECT_EQ("two.txt", std::string(second.c_str() + 2));
  EXPECT_EQ(second.size(), 56u + u32_at(second, 52));
  EXPECT_EQ("second file, a little longer", unpacked(second.substr(56), 4096));
}

TEST(AppendToArchive, EmptyFileIsStoredAsTheStreamOfNoData) {
  temp_dir dir;
  write_file(dir / "empty.txt", "");
  ASSERT_TRUE(append_to_archive((dir / "a.yzz").c_str(), (dir / "empty.txt").c_str()));
  const std::string archive = read_file(dir / "a.yzz").value();
  EXPECT_EQ("D41D8CD98F00B204E9800998ECF8427E", archive.substr(28, 32));
  EXPECT_EQ(zlib_stream(""), archive.substr(66));
}

TEST(AppendToArchive, SmallFileMayGrowButALargeOneMayNot) {
  temp_dir dir;
  const std::string small = pseudo_random(100, 1), large = pseudo_random(8192, 2);
  write_file(dir / "small.bin", small);
  write_file(dir / "large.bin", large);
  const std::string path = dir / "a.yzz";
  ASSERT_TRUE(append_to_archive(path.c_str(), (dir / "small.bin").c_str()));
  const std::string before = read_file(path).value();
  EXPECT_GT(u32_at(before, 10 + 52), small.size());
  EXPECT_FALSE(append_to_archive(path.c_str(), (dir / "large.bin").c_str()));
  EXPECT_EQ(before, read_file(path).value());
}

TEST(AppendToArchive, FailureTable) {
  const std::string empty_archive("Y0\x0A\0\0\0\0\0\0\0", 10);
  for (int row = 0; row < 6; ++row) {
    temp_dir dir;
    write_file(dir / "present.txt", "present");
    write_file(dir / "thirteen_.txt", "13 bytes of name");
    const std::string path = dir / "back.yzz";
    std::string existing;
    std::string source;
    bool archive_exists = true;
    bool created_empty = false;
    SCOPED_TRACE(row);
    switch (row) {
      case 0:  // empty source path: untouched, not created
        archive_exists = false;
        break;
      case 1:  // a 13-byte name: not created
        source = dir / "thirteen_.txt";
        archive_exists = false;
        break;
      case 2:  // same name already there: unchanged
        source = dir / "present.txt";
        ASSERT_TRUE(append_to_archive(path.c_str(), source.c_str()));
        break;
      case 3:  // missing source: a missing archive is created empty
        source = dir / "missing.txt";
        created_empty = true;
        break;
      case 4:  // missing source, existing archive: unchanged
        source = dir / "missing.txt";
        ASSERT_TRUE(append_to_archive(path.c_str(), (dir / "present.txt").c_str()));
        break;
      case 5:  // archive of the legacy layout: unchanged
        source = dir / "present.txt";
        write_file(path, legacy_archive({{"x.txt", "x"}}));
        break;
    }
    if (file_exists(path)) existing = read_file(path).value();
    EXPECT_FALSE(append_to_archive(path.c_str(), source.c_str()));
    if (created_empty) {
      EXPECT_EQ(empty_archive, read_file(path).value_or("<none>"));
    } else if (archive_exists) {
      EXPECT_EQ(existing, read_file(path).value_or("<none>"));
    } else {
      EXPECT_FALSE(file_exists(path));
    }
  }
}

TEST(AppendToArchive, DamagedArchiveIsLeftAlone) {
  temp_dir dir;
  write_file(dir / "new.txt", "new");
  const std::string path = dir / "back.yzz";
  std::string csize_past_end = current_archive({{"a.txt", "alpha"}});
  csize_past_end[10 + 52] = '\x7F';
  const std::string damaged[] = {
      archive_bytes('0', 2, current_entry({"a.txt", "alpha"})),  // count promises more
      csize_past_end,
      archive_bytes('0', 1, current_entry({"a.txt", "alpha", {}, {}, {}, "XX"})),
      std::string("Y0\x0A\0", 4),
  };
  for (const std::string& bytes : damaged) {
    write_file(path, bytes);
    EXPECT_FALSE(append_to_archive(path.c_str(), (dir / "new.txt").c_str()));
    EXPECT_EQ(bytes, read_file(path).value());
  }
}

// A backup must never be reported as made when it is not.
TEST(AppendToArchive, ArchiveThatCannotBeCreatedFails) {
  temp_dir dir;
  write_file(dir / "a.txt", "alpha");
  const std::string in_missing_dir = dir / "no_such_dir" + test_separator + "back.yzz";
  EXPECT_FALSE(append_to_archive(in_missing_dir.c_str(), (dir / "a.txt").c_str()));
  // A directory where the archive should be is not an archive, and is not replaced.
  ASSERT_TRUE(make_dir(dir / "back.yzz"));
  EXPECT_FALSE(append_to_archive((dir / "back.yzz").c_str(), (dir / "a.txt").c_str()));
}

#ifndef _WIN32
// The file size limit makes the kernel cut writes short, as a full disk would.
TEST(AppendToArchive, ShortWriteFailsAndKeepsTheHeader) {
  temp_dir dir;
  write_file(dir / "first.txt", "first");
  write_file(dir / "noise.bin", pseudo_random(6000, 3));
  const std::string path = dir / "back.yzz";
  ASSERT_TRUE(append_to_archive(path.c_str(), (dir / "first.txt").c_str()));
  const std::string before = read_file(path).value();

  struct rlimit old_limit;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old_limit));
  struct rlimit limit = old_limit;
  limit.rlim_cur = before.size() + 1000;
  void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
  const bool appended = append_to_archive(path.c_str(), (dir / "noise.bin").c_str());
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(appended);
  const std::string after = read_file(path).value();
  EXPECT_EQ(before.substr(0, 10), after.substr(0, 10));
  // The archive still reads as it was.
  temp_dir out;
  std::vector<unsigned char> scratch(4096);
  EXPECT_TRUE(extract_archive(span_of(after), mutable_byte_span{scratch.data(), scratch.size()},
                              out.path().c_str(), nullptr));
  EXPECT_EQ((std::vector<std::string>{"first.txt"}), list_tree(out.path()));
}
#endif

TEST(AppendToArchive, NamePartFollowsTheLastSeparator) {
  temp_dir dir;
  ASSERT_TRUE(make_dir(dir / "sub"));
  write_file(dir / "sub" + test_separator + "inner.txt", "inner");
  ASSERT_TRUE(append_to_archive((dir / "a.yzz").c_str(),
                                (dir / "sub" + test_separator + "inner.txt").c_str()));
  const std::string archive = read_file(dir / "a.yzz").value();
  EXPECT_EQ("inner.txt", std::string(archive.c_str() + 12));
}

// pack -> unpack -> compare bytes, each layout; the stored digests are the MD5 of the data.
TEST(AppendToArchive, RoundTrip) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"text.txt", "plain text\r\nwith two lines\r\n"},
      {"binary.bin", every_byte_value(50000)},
      {"zeros.dat", std::string(300000, '\0')},
      {"冷色瓷面.yzz", "GBK name, 12 bytes"},
      {"one.b", "1"},
  };
  for (const bool legacy : {false, true}) {
    SCOPED_TRACE(legacy ? "legacy" : "current");
    temp_dir src, out;
    const std::string path = src / "all.yzz";
    for (const auto& [name, content] : files) {
      write_file(src / name, content);
      ASSERT_TRUE(legacy ? append_to_legacy_archive(path.c_str(), (src / name).c_str())
                         : append_to_archive(path.c_str(), (src / name).c_str()))
          << name;
    }
    const std::string archive = read_file(path).value();
    EXPECT_EQ(legacy ? "YZ" : "Y0", archive.substr(0, 2));
    EXPECT_EQ(files.size(), u32_at(archive, 6));
    EXPECT_EQ(archive.size(), u32_at(archive, 2));

    size_t at = 10;
    std::string expected_report;
    for (const auto& [name, content] : files) {
      EXPECT_EQ(name, std::string(archive.c_str() + at + 2));
      const uint32_t csize = u32_at(archive, at + (legacy ? 16 : 52));
      if (!legacy) {
        EXPECT_EQ(md5_text(content), archive.substr(at + 18, 32));
      } else if (content.size() < csize) {
        // The legacy check is by size alone: a file smaller than its stream fails it.
        expected_report += name + "....";
      }
      at += (legacy ? 20 : 56) + csize;
    }
    if (!expected_report.empty()) expected_report += "有文件没有成功解压，请重新下载安装！\r\n";
    EXPECT_EQ(archive.size(), at);

    std::vector<unsigned char> scratch(work_buffer_size);
    recorded_failures().clear();
    EXPECT_TRUE(extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                                out.path().c_str(), record_failure));
    EXPECT_TRUE(recorded_failures().empty());
    for (const auto& [name, content] : files)
      EXPECT_EQ(content, read_file(out / name).value_or("<missing>")) << name;
    char report[256];
    verify_archive(span_of(archive), out.path().c_str(), report, sizeof report, "");
    EXPECT_EQ(expected_report, report);
    EXPECT_EQ(legacy, !expected_report.empty());
  }
}

TEST(AppendToLegacyArchive, WritesTwentyByteHeadersAndRefusesTheCurrentLayout) {
  temp_dir dir;
  write_file(dir / "yzbmp8.yzh", "skin settings");
  const std::string path = dir / "skin.yzz";
  ASSERT_TRUE(append_to_legacy_archive(path.c_str(), (dir / "yzbmp8.yzh").c_str()));
  const std::string archive = read_file(path).value();
  EXPECT_EQ("YZ", archive.substr(0, 2));
  EXPECT_EQ(std::string("yzbmp8.yzh\0\0\0\0", 14), archive.substr(12, 14));
  EXPECT_EQ(archive.size(), 10u + 20u + u32_at(archive, 26));
  EXPECT_EQ("skin settings", unpacked(archive.substr(30), 4096));

  write_file(dir / "current.yzz", current_archive({{"a.txt", "alpha"}}));
  EXPECT_FALSE(
      append_to_legacy_archive((dir / "current.yzz").c_str(), (dir / "yzbmp8.yzh").c_str()));
}

}  // namespace
