// The sample product as the setup meets it: the generator is run into a fresh folder
// and its files are checked for the properties that unpacking, relabelling, compaction,
// the splash page and the skin choice depend on.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/gbk_text.h"
#include "archive/md5_hex.h"
#include "archive/word_list.h"

namespace fs = std::filesystem;
using bytes = std::vector<unsigned char>;

namespace {

bytes read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path make_temp_dir() {
  std::string pattern = (fs::temp_directory_path() / "yz_sample_test_XXXXXX").string();
  EXPECT_NE(mkdtemp(&pattern[0]), nullptr);
  return pattern;
}

// Exit status of the generator, -1 when it did not exit normally.
int run_generator(const fs::path& out_dir, const std::string& options = "") {
  std::string command = std::string("'") + YZ_SAMPLE_GENERATOR + "' '" + out_dir.string() + "' " +
                        options + " > /dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> payload_list() {
  std::ifstream in(YZ_PAYLOAD_LIST);
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

uint32_t u32_at(const bytes& data, size_t at) {
  return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | uint32_t(data[at + 3]) << 24;
}

unsigned u16_at(const bytes& data, size_t at) { return data[at] | data[at + 1] << 8; }

bytes utf16le(const char16_t* text) {
  bytes out;
  for (; *text; ++text) {
    out.push_back(static_cast<unsigned char>(*text & 0xFF));
    out.push_back(static_cast<unsigned char>(*text >> 8));
  }
  return out;
}

// Offsets of every occurrence, tried at every byte as the relabelling searches.
std::vector<size_t> find_all(const bytes& data, const bytes& needle) {
  std::vector<size_t> at;
  for (size_t p = 0; p + needle.size() <= data.size(); ++p)
    if (std::memcmp(&data[p], needle.data(), needle.size()) == 0) at.push_back(p);
  return at;
}

bool starts_with(const bytes& data, const char* prefix, size_t n) {
  return data.size() >= n && std::memcmp(data.data(), prefix, n) == 0;
}

bool inflate_all(const unsigned char* data, size_t size, bytes& out) {
  out.assign(4 * 1024 * 1024, 0);
  uLongf length = out.size();
  if (uncompress(out.data(), &length, data, size) != Z_OK) return false;
  out.resize(length);
  return true;
}

struct walked_entry {
  std::string name;
  std::string digest;  // empty in the legacy layout
  bytes data;          // unpacked
};

// Walks an archive by its headers alone; false at the first entry that does not fit
// or does not unpack. end is where the last entry stops.
bool walk_archive(const bytes& archive, std::vector<walked_entry>& entries, size_t& end) {
  if (archive.size() < 10 || archive[0] != 'Y') return false;
  const bool current = archive[1] == '0';
  const size_t header = current ? 56 : 20;
  const size_t csize_at = current ? 52 : 16;
  size_t at = 10;
  for (uint32_t i = 0, count = u32_at(archive, 6); i < count; ++i) {
    if (at + header > archive.size() || archive[at] != 'Y' || archive[at + 1] != 'F') return false;
    walked_entry entry;
    entry.name = reinterpret_cast<const char*>(&archive[at + 2]);
    if (current) entry.digest.assign(reinterpret_cast<const char*>(&archive[at + 18]), 32);
    uint32_t csize = u32_at(archive, at + csize_at);
    if (csize > archive.size() - at - header) return false;
    if (!inflate_all(&archive[at + header], csize, entry.data)) return false;
    entries.push_back(entry);
    at += header + csize;
  }
  end = at;
  return true;
}

bool is_gb2312_hanzi(unsigned char lead, unsigned char trail) {
  return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

const char* const skin_pieces[] = {"yzbmp8.yzh",   "yzbmpsx1.bmp", "yzbmpsx2.bmp", "yzbmpsx3.bmp",
                                   "yzbmpsx4.bmp", "yzbmpsx5.bmp", "yzbmpsx6.bmp", "yzbmpsx7.bmp"};

class SampleProduct : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new fs::path(make_temp_dir());
    status_ = run_generator(*dir_);
  }
  static void TearDownTestSuite() {
    fs::remove_all(*dir_);
    delete dir_;
  }
  void SetUp() override { ASSERT_EQ(status_, 0) << "generator failed"; }

  static bytes file(const std::string& name) { return read_bytes(*dir_ / name); }
  static const fs::path& dir() { return *dir_; }

 private:
  static fs::path* dir_;
  static int status_;
};

fs::path* SampleProduct::dir_ = nullptr;
int SampleProduct::status_ = -1;

TEST_F(SampleProduct, WritesExactlyThePayloadEntries) {
  std::vector<std::string> expected = payload_list();
  ASSERT_EQ(expected.size(), 91u);
  std::set<std::string> written;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir())) {
    EXPECT_TRUE(entry.is_regular_file()) << entry.path();
    written.insert(entry.path().filename().string());
  }
  EXPECT_EQ(written, std::set<std::string>(expected.begin(), expected.end()));
}

TEST_F(SampleProduct, FilesAreNonEmptyAndAllDifferent) {
  std::map<bytes, std::string> seen;
  for (const std::string& name : payload_list()) {
    bytes data = file(name);
    EXPECT_FALSE(data.empty()) << name;
    auto inserted = seen.emplace(data, name);
    EXPECT_TRUE(inserted.second) << name << " has the bytes of " << inserted.first->second;
  }
}

// The UTF-16LE product name occurs only inside full labels, in the numbers given.
TEST_F(SampleProduct, ModulesCarryTheirVersionLabels) {
  struct row {
    const char* name;
    const char16_t* label;
    size_t copies;
    bool relabelled;  // read at most 131,072 bytes by the relabelling, 40,960 to 53,248 here
  };
  const row rows[] = {
      {"ying320.ime", u"智能映舟输入平台  6.3", 2, true},
      {"ying321.ime", u"智能映舟输入平台  6.3", 2, true},
      {"ying640.ime", u"智能映舟输入平台  6.3", 2, true},
      {"ying641.ime", u"智能映舟输入平台  6.3", 2, true},
      {"setupw64.exe", u"智能映舟输入平台  6.7", 1, true},
      {"yingzu4.ime", u"智能映舟输入平台  7.9", 2, false},
      {"yingzu64.ime", u"智能映舟输入平台  7.9", 2, false},
  };
  const bytes product = utf16le(u"智能映舟输入平台");
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    bytes data = file(r.name);
    EXPECT_TRUE(starts_with(data, "MZ", 2));
    std::vector<size_t> labels = find_all(data, utf16le(r.label));
    EXPECT_EQ(labels.size(), r.copies);
    EXPECT_EQ(find_all(data, product).size(), r.copies);
    if (r.copies == 2) {
      EXPECT_EQ(labels[0] % 2, 0u);
      EXPECT_EQ(labels[1] % 2, 1u);
    }
    if (r.relabelled) {
      EXPECT_GE(data.size(), 40960u);
      EXPECT_LE(data.size(), 53248u);
    }
  }
}

// Signatures, and the length fields that a reader of the kind trusts.
TEST_F(SampleProduct, FilesAreShapedAsTheirKind) {
  struct row {
    const char* extension;
    const char* signature;
    int length_at;       // offset of a 32-bit length field, -1 for none
    size_t length_less;  // what the field leaves out of the file size
    const char* ending;
  };
  const row rows[] = {{".ime", "MZ", -1, 0, ""},
                      {".exe", "MZ", -1, 0, ""},
                      {".bmp", "BM", 2, 0, ""},
                      {".BMP", "BM", 2, 0, ""},
                      {".wav", "RIFFxxxxWAVE", 4, 8, ""},
                      {".swf", "FWS", 4, 0, ""},
                      {".jpg", "\xFF\xD8", -1, 0, "\xFF\xD9"},
                      {".yzz", "Y", -1, 0, ""}};
  for (const row& r : rows) {
    int matched = 0;
    for (const std::string& name : payload_list()) {
      if (fs::path(name).extension() != r.extension) continue;
      SCOPED_TRACE(name);
      ++matched;
      bytes data = file(name);
      const size_t n = std::strlen(r.signature);
      ASSERT_GE(data.size(), 16u);
      for (size_t i = 0; i < n; ++i) {
        if (r.signature[i] != 'x') {
          EXPECT_EQ(data[i], static_cast<unsigned char>(r.signature[i])) << i;
        }
      }
      if (r.length_at >= 0) {
        EXPECT_EQ(u32_at(data, r.length_at), data.size() - r.length_less);
      }
      const size_t e = std::strlen(r.ending);
      EXPECT_EQ(std::memcmp(&data[data.size() - e], r.ending, e), 0);
    }
    EXPECT_GT(matched, 0) << r.extension;
  }
}

TEST_F(SampleProduct, TextsAreGbk) {
  for (const std::string& name : payload_list()) {
    if (fs::path(name).extension() != ".txt") continue;
    SCOPED_TRACE(name);
    bytes data = file(name);
    for (size_t i = 0; i < data.size(); ++i) {
      if (data[i] < 0x80) continue;
      ASSERT_TRUE(data[i] >= 0x81 && data[i] <= 0xFE && i + 1 < data.size() &&
                  data[i + 1] >= 0x40 && data[i + 1] <= 0xFE && data[i + 1] != 0x7F)
          << "at " << i;
      ++i;
    }
  }
}

// Compaction on unpacking must keep the library whole: m == n and every word counted.
TEST_F(SampleProduct, WordLibraryCompactsToItself) {
  bytes text = file("yingcyzk.bak");
  ASSERT_GT(text.size(), 300000u);
  size_t words = 0;
  uint32_t sum = 0;
  for (size_t i = 0; i < text.size();) {
    size_t characters = 0;
    while (i + 1 < text.size() && is_gb2312_hanzi(text[i], text[i + 1])) {
      sum += text[i] + text[i + 1];
      i += 2;
      ++characters;
    }
    ASSERT_GE(characters, 2u) << "word ending at " << i;
    ASSERT_TRUE(i + 1 < text.size() && text[i] == ';' && text[i + 1] == ' ') << "at " << i;
    i += 2;
    ++words;
  }
  ASSERT_GT(words, 50000u);

  const size_t n = text.size();
  text.resize(n + 12);
  size_t m = compact_word_list(text.data(), n);
  EXPECT_EQ(m, n);
  EXPECT_EQ(std::memcmp(&text[m], "YING", 4), 0);
  EXPECT_EQ(u32_at(text, m + 4), sum);
  EXPECT_EQ(u32_at(text, m + 8), words);
  EXPECT_EQ(bytes(text.begin(), text.begin() + n), file("yingcyzk.bak"));
}

TEST_F(SampleProduct, PinyinLibraryIsTheLargestAndFitsTheScratch) {
  const size_t size = fs::file_size(dir() / "yingpyck.bak");
  EXPECT_GT(size, 1600000u);
  EXPECT_LE(size, 2097008u);
  for (const fs::directory_entry& entry : fs::directory_iterator(dir())) {
    if (entry.path().filename() != "yingpyck.bak") {
      EXPECT_LT(entry.file_size(), size) << entry.path();
    }
  }
}

TEST_F(SampleProduct, SplashBitmapLeavesTheOverlayRowsPlain) {
  bytes bmp = file("lumo1.bmp");
  ASSERT_EQ(bmp.size(), 373296u);
  EXPECT_TRUE(starts_with(bmp, "BM", 2));
  EXPECT_EQ(u32_at(bmp, 2), 373296u);
  EXPECT_EQ(u32_at(bmp, 10), 54u);
  EXPECT_EQ(u32_at(bmp, 14), 40u);
  EXPECT_EQ(u32_at(bmp, 18), 401u);
  EXPECT_EQ(u32_at(bmp, 22), 310u);  // positive: bottom-up
  EXPECT_EQ(u16_at(bmp, 26), 1u);
  EXPECT_EQ(u16_at(bmp, 28), 24u);
  EXPECT_EQ(u32_at(bmp, 30), 0u);
  EXPECT_GE(u32_at(bmp, 34), 1204u * 310u);
  EXPECT_EQ(54 + u32_at(bmp, 34), bmp.size());

  auto pixel = [&](int x, int top_y) {
    size_t at = 54 + size_t(309 - top_y) * 1204 + size_t(x) * 3;
    return uint32_t(bmp[at]) | bmp[at + 1] << 8 | bmp[at + 2] << 16;
  };
  const uint32_t background = pixel(73, 90);
  for (int y = 90; y <= 91; ++y)
    for (int x = 73; x <= 200; ++x) ASSERT_EQ(pixel(x, y), background) << x << "," << y;
  int ink = 0;
  for (int y = 92; y < 125; ++y)
    for (int x = 73; x <= 200; ++x) ink += pixel(x, y) != background;
  EXPECT_GT(ink, 200) << "the edition name lies inside the 128 x 35 strip at (73, 90)";
}

TEST_F(SampleProduct, OfferedSkinsAreLegacyArchivesOfEightPieces) {
  std::set<bytes> distinct;
  for (const char* name : {u8"冷色瓷面.yzz", u8"粉色瓷面.yzz", u8"小天使.yzz"}) {
    SCOPED_TRACE(name);
    bytes archive = file(name);
    distinct.insert(archive);
    EXPECT_LT(archive.size(), 131072u);
    ASSERT_TRUE(starts_with(archive, "YZ", 2));
    EXPECT_EQ(u32_at(archive, 2), archive.size());
    EXPECT_EQ(u32_at(archive, 6), 8u);
    std::vector<walked_entry> entries;
    size_t end = 0;
    ASSERT_TRUE(walk_archive(archive, entries, end));
    EXPECT_EQ(end, archive.size());
    ASSERT_EQ(entries.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
      EXPECT_EQ(entries[i].name, skin_pieces[i]);
      if (i > 0) {
        EXPECT_TRUE(starts_with(entries[i].data, "BM", 2));
        EXPECT_EQ(u32_at(entries[i].data, 2), entries[i].data.size());
      }
    }
  }
  EXPECT_EQ(distinct.size(), 3u);
}

TEST_F(SampleProduct, CurrentLayoutArchivesEndWithFourZeroBytes) {
  for (const char* name : {u8"简短白.yzz", "qxfc.yzz"}) {
    SCOPED_TRACE(name);
    bytes archive = file(name);
    ASSERT_TRUE(starts_with(archive, "Y0", 2));
    ASSERT_GE(archive.size(), 14u);
    EXPECT_EQ(u32_at(archive, 2), archive.size() - 4);
    EXPECT_EQ(u32_at(archive, archive.size() - 4), 0u);
    std::vector<walked_entry> entries;
    size_t end = 0;
    ASSERT_TRUE(walk_archive(archive, entries, end));
    EXPECT_EQ(end, archive.size() - 4);
    EXPECT_FALSE(entries.empty());
    for (const walked_entry& entry : entries) {
      char digest[34];
      md5_hex(entry.data.data(), entry.data.size(), digest);
      EXPECT_EQ(entry.digest, std::string(digest, 32)) << entry.name;
    }
  }
}

// The build packs the files with the archive writer in the list's order; every file
// must be accepted (an incompressible file above 8,192 bytes would not be) and come
// back whole, within what the setup's scratch can unpack.
TEST_F(SampleProduct, PacksIntoAPayloadThatUnpacksToItsFiles) {
  fs::path work = make_temp_dir();
  const std::string payload = (work / "payload.yzz").string();
  const std::vector<std::string> names = payload_list();
  std::vector<std::string> gbk_names;
  for (const std::string& name : names) {
    char gbk_name[64], gbk_path[1024];
    ASSERT_TRUE(utf8_to_gbk(name.c_str(), gbk_name, sizeof gbk_name)) << name;
    ASSERT_TRUE(utf8_to_gbk((dir() / name).string().c_str(), gbk_path, sizeof gbk_path)) << name;
    ASSERT_TRUE(append_to_archive(payload.c_str(), gbk_path)) << name;
    gbk_names.push_back(gbk_name);
  }
  const bytes archive = read_bytes(payload);
  EXPECT_EQ(u32_at(archive, 2), archive.size());
  std::vector<walked_entry> entries;
  size_t end = 0;
  ASSERT_TRUE(walk_archive(archive, entries, end));
  EXPECT_EQ(end, archive.size());
  ASSERT_EQ(entries.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(entries[i].name, gbk_names[i]);
    EXPECT_LE(entries[i].data.size(), 2097008u) << names[i];
    EXPECT_TRUE(entries[i].data == file(names[i])) << names[i];
  }
  RecordProperty("payload_bytes", static_cast<int>(archive.size()));
  fs::remove_all(work);
}

TEST_F(SampleProduct, SettingsRecordIs200Bytes) { EXPECT_EQ(file("yzszsj43.yzh").size(), 200u); }

TEST_F(SampleProduct, SecondRunWritesTheSameBytes) {
  fs::path again = make_temp_dir();
  ASSERT_EQ(run_generator(again), 0);
  for (const std::string& name : payload_list())
    EXPECT_TRUE(read_bytes(again / name) == file(name)) << name;
  fs::remove_all(again);
}

TEST_F(SampleProduct, CopiesTheGivenCompanionBuild) {
  fs::path work = make_temp_dir();
  const bytes companion = {'M', 'Z', 0x90, 0, 'r', 'e', 'a', 'l', 0, 0xFF};
  std::ofstream(work / "built.exe", std::ios::binary)
      .write(reinterpret_cast<const char*>(companion.data()), companion.size());
  EXPECT_EQ(run_generator(work / "out", "--setupw64 '" + (work / "built.exe").string() + "'"), 0);
  EXPECT_EQ(read_bytes(work / "out" / "setupw64.exe"), companion);
  EXPECT_EQ(read_bytes(work / "out" / "vivadidu.exe"), file("vivadidu.exe"));

  EXPECT_NE(run_generator(work / "missing", "--setupw64 '" + (work / "none.exe").string() + "'"),
            0);
  fs::remove_all(work);
}

}  // namespace
