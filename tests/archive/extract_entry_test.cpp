// extract_entry (one entry of the payload into the work buffer) and extract_archive_file
// (an archive file read into the work buffer's first 131,072 bytes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "tests/archive/test_support.h"

namespace {

std::string data_at_100(const std::vector<unsigned char>& buffer, size_t n) {
  return std::string(reinterpret_cast<const char*>(buffer.data()) + 100, n);
}

class ExtractEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    buffer.assign(work_buffer_size, 0);
    buffer[100] = 'B';
    buffer[101] = 'M';
  }
  mutable_byte_span work() { return mutable_byte_span{buffer.data(), buffer.size()}; }
  std::vector<unsigned char> buffer;
};

TEST_F(ExtractEntry, UnpacksTheNamedEntryAt100) {
  const std::string bitmap = "BM" + std::string(5000, '\x11');
  const std::string payload = current_archive({{"a.txt", "alpha"}, {"lumo1.bmp", bitmap}});
  EXPECT_EQ(bitmap.size(), extract_entry_length(span_of(payload), "lumo1.bmp", work()));
  EXPECT_EQ(bitmap, data_at_100(buffer, bitmap.size()));
}

TEST_F(ExtractEntry, MissingNameLeavesZeroAt100) {
  const std::string payload = current_archive({{"a.txt", "alpha"}, {"LUMO1.BMP", "BMxx"}});
  extract_entry(span_of(payload), "lumo1.bmp", work());
  EXPECT_EQ(0, buffer[100]);
  EXPECT_EQ(0, buffer[101]);
}

TEST_F(ExtractEntry, NoPayloadTouchesNothing) {
  extract_entry(byte_span{nullptr, 0}, "lumo1.bmp", work());
  EXPECT_EQ('B', buffer[100]);
  EXPECT_EQ('M', buffer[101]);
}

TEST_F(ExtractEntry, SkipsAnEmptyEntryOfTheSameName) {
  entry_fixture empty{"lumo1.bmp", ""};
  empty.stream = "";
  const std::string payload = current_archive({empty, {"lumo1.bmp", "BMsecond"}});
  EXPECT_EQ(8u, extract_entry_length(span_of(payload), "lumo1.bmp", work()));
  EXPECT_EQ("BMsecond", data_at_100(buffer, 8));
}

TEST_F(ExtractEntry, LegacyLayoutToo) {
  const std::string payload = legacy_archive({{"x.bmp", "BMlegacy"}});
  EXPECT_EQ(8u, extract_entry_length(span_of(payload), "x.bmp", work()));
  EXPECT_EQ("BMlegacy", data_at_100(buffer, 8));
}

TEST_F(ExtractEntry, LimitIsTheBufferLess100) {
  std::vector<unsigned char> small(1100 + 32, 0xCC);
  const std::string exact = "BM" + std::string(998, 'e');
  const std::string payload = current_archive({{"e.bmp", exact}, {"o.bmp", exact + "o"}});
  EXPECT_EQ(1000u,
            extract_entry_length(span_of(payload), "e.bmp", mutable_byte_span{small.data(), 1100}));
  // One byte more does not unpack whole: no signature is left for the caller.
  EXPECT_EQ(0u,
            extract_entry_length(span_of(payload), "o.bmp", mutable_byte_span{small.data(), 1100}));
  EXPECT_EQ(0, small[100]);
  EXPECT_EQ(0, small[101]);
  for (size_t i = 1100; i < small.size(); ++i) ASSERT_EQ(0xCC, small[i]) << i;
}

TEST_F(ExtractEntry, DamagedOrTruncatedEntryLeavesNoSignature) {
  entry_fixture damaged{"lumo1.bmp", "BM..."};
  damaged.stream = "BMnot a zlib stream";
  EXPECT_EQ(0u, extract_entry_length(span_of(current_archive({damaged})), "lumo1.bmp", work()));
  EXPECT_EQ(0, buffer[100]);

  buffer[100] = 'B';
  const std::string whole = current_archive({{"lumo1.bmp", "BM" + std::string(100, 'x')}});
  const std::string cut = whole.substr(0, whole.size() - 3);
  EXPECT_EQ(0u, extract_entry_length(span_of(cut), "lumo1.bmp", work()));
  EXPECT_EQ(0, buffer[100]);
}

TEST(ExtractArchiveFile, UnpacksAnArchiveFile) {
  temp_dir dir;
  write_file(dir / "skin.yzz", legacy_archive({{"yzbmp8.yzh", "eight"}, {"yzbmpsx1.bmp", "BM1"}}));
  std::vector<unsigned char> buffer(work_buffer_size);
  recorded_failures().clear();
  extract_archive_file((dir / "skin.yzz").c_str(), mutable_byte_span{buffer.data(), buffer.size()},
                       dir.path().c_str(), record_failure);
  EXPECT_TRUE(recorded_failures().empty());
  EXPECT_EQ("eight", read_file(dir / "yzbmp8.yzh").value_or(""));
  EXPECT_EQ("BM1", read_file(dir / "yzbmpsx1.bmp").value_or(""));
}

TEST(ExtractArchiveFile, MissingFileDoesNothing) {
  temp_dir dir;
  std::vector<unsigned char> buffer(work_buffer_size);
  recorded_failures().clear();
  extract_archive_file((dir / "none.yzz").c_str(), mutable_byte_span{buffer.data(), buffer.size()},
                       dir.path().c_str(), record_failure);
  EXPECT_TRUE(recorded_failures().empty());
  EXPECT_TRUE(list_tree(dir.path()).empty());
}

// Only the first 131,072 bytes are read: the entry that the limit cuts fails, with its
// report, and nothing is read past what was read.
TEST(ExtractArchiveFile, ArchiveLongerThanTheRegionUnpacksWhatFits) {
  temp_dir dir;
  std::string noise;
  uint32_t state = 12345;
  for (int i = 0; i < 100000; ++i) {
    state = state * 1103515245u + 12345u;
    noise += static_cast<char>(state >> 24);
  }
  const std::string archive =
      legacy_archive({{"first.bin", "first"}, {"noise1.bin", noise}, {"noise2.bin", noise}});
  ASSERT_GT(archive.size(), archive_file_region);
  write_file(dir / "big.yzz", archive);
  std::vector<unsigned char> buffer(work_buffer_size);
  recorded_failures().clear();
  extract_archive_file((dir / "big.yzz").c_str(), mutable_byte_span{buffer.data(), buffer.size()},
                       dir.path().c_str(), record_failure);
  EXPECT_EQ(std::vector<std::string>{"noise2.bin"}, recorded_failures());
  EXPECT_EQ("first", read_file(dir / "first.bin").value_or(""));
  EXPECT_EQ(noise, read_file(dir / "noise1.bin").value_or(""));
  EXPECT_FALSE(file_exists(dir / "noise2.bin"));
}

TEST(ExtractArchiveFile, WorkBufferTooSmallForTheRegionDoesNothing) {
  temp_dir dir;
  write_file(dir / "skin.yzz", legacy_archive({{"a.txt", "alpha"}}));
  std::vector<unsigned char> buffer(archive_file_region + 143);
  extract_archive_file((dir / "skin.yzz").c_str(), mutable_byte_span{buffer.data(), buffer.size()},
                       dir.path().c_str(), nullptr);
  EXPECT_FALSE(file_exists(dir / "a.txt"));
}

}  // namespace
