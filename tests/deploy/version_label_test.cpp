// patch_version_label on real files: which labels become 7.9, and that nothing it cannot
// handle whole is ever cut or created.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "deploy/version_label.h"
#include "setup/handles.h"
#include "setup/installer_state.h"
#include "tests/deploy/test_files.h"

namespace {

const std::string test_dir = "C:\\label_test\\";
constexpr size_t label_file_limit = 131072;

std::vector<unsigned char> work_buffer(work_buffer_size, 0);

bytes label(const std::u16string& version) { return utf16(u"智能映舟输入平台" + version); }
bytes filler(size_t n) { return bytes(n, 'x'); }
bytes concat(std::initializer_list<bytes> parts) {
  bytes out;
  for (const bytes& part : parts) append(&out, part);
  return out;
}
bytes cut(bytes data, size_t drop) {
  data.resize(data.size() - drop);
  return data;
}

class VersionLabel : public testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA(test_dir.c_str(), nullptr);
    state.work_buffer = work_buffer.data();
  }
  std::string path(const char* name) { return test_dir + name; }
};

struct label_case {
  const char* name;
  bytes before;
  bytes after;
};

std::vector<label_case> label_cases() {
  const bytes old_label = label(u"  6.3"), new_label = label(u"  7.9");
  const std::string gbk_label = "智能映舟输入平台  6.3";
  return {
      {"6.3 at an even and an odd offset",
       concat({filler(32), old_label, filler(2), filler(17), old_label, filler(40)}),
       concat({filler(32), new_label, filler(2), filler(17), new_label, filler(40)})},
      {"6.7 as the companion carries it", concat({filler(8), label(u"  6.7"), filler(8)}),
       concat({filler(8), new_label, filler(8)})},
      {"7.9 already", concat({filler(5), new_label, filler(5)}), concat({filler(5), new_label, filler(5)})},
      {"6.5 is no older build", concat({filler(6), label(u"  6.5")}), concat({filler(6), label(u"  6.5")})},
      {"the GBK form is not the label", bytes(gbk_label.begin(), gbk_label.end()),
       bytes(gbk_label.begin(), gbk_label.end())},
      {"any character after the space", label(u" V6.3"), label(u" V7.9")},
      {"no space after the name", label(u"V 6.3"), label(u"V 6.3")},
      {"only the low bytes are compared and written",
       concat({utf16(u"智能映舟输入平台"), utf16(std::u16string{0x0020, 0x4E00, 0x0136, 0x012E, 0x0133})}),
       concat({utf16(u"智能映舟输入平台"), utf16(std::u16string{0x0020, 0x4E00, 0x0137, 0x012E, 0x0139})})},
      {"labels back to back", concat({old_label, old_label, old_label}),
       concat({new_label, new_label, new_label})},
      {"a label that ends the file", concat({filler(3), old_label}), concat({filler(3), new_label})},
      {"the minor digit's high byte is not needed", concat({filler(3), cut(old_label, 1)}),
       concat({filler(3), cut(new_label, 1)})},
      {"an empty file", bytes(), bytes()},
  };
}

TEST_F(VersionLabel, RelabelsOnlyOlderBuilds) {
  int index = 0;
  for (const label_case& c : label_cases()) {
    SCOPED_TRACE(c.name);
    const std::string file = path(("case" + std::to_string(index++) + ".ime").c_str());
    ASSERT_TRUE(write_bytes(file, c.before));
    patch_version_label(file.c_str());
    bytes now;
    ASSERT_TRUE(read_bytes(file, &now)) << "the file must still be there";
    EXPECT_EQ(c.after, now);
  }
}

// The work buffer holds whatever the previous file left there: a label cut off before its
// minor digit must not be completed by stale bytes past the end of the file.
TEST_F(VersionLabel, LeavesALabelCutBeforeItsMinorDigit) {
  const bytes whole = concat({filler(7), label(u"  6.3")});
  const bytes cut_short = cut(whole, 2);
  std::memcpy(state.work_buffer, whole.data(), whole.size());
  const std::string file = path("cut.ime");
  ASSERT_TRUE(write_bytes(file, cut_short));
  patch_version_label(file.c_str());
  EXPECT_EQ(cut_short, read_bytes_or_empty(file));
}

TEST_F(VersionLabel, CreatesNoMissingFile) {
  const std::string file = path("missing.ime");
  DeleteFileA(file.c_str());
  patch_version_label(file.c_str());
  EXPECT_FALSE(is_file(file));
}

TEST_F(VersionLabel, TreatsAFileOfTheLimitWhole) {
  const bytes old_label = label(u"  6.3");
  const bytes before = concat({old_label, filler(label_file_limit - 2 * old_label.size()), old_label});
  ASSERT_EQ(label_file_limit, before.size());
  const std::string file = path("limit.ime");
  ASSERT_TRUE(write_bytes(file, before));
  patch_version_label(file.c_str());
  const bytes new_label = label(u"  7.9");
  EXPECT_EQ(concat({new_label, filler(label_file_limit - 2 * new_label.size()), new_label}),
            read_bytes_or_empty(file));
}

TEST_F(VersionLabel, LeavesALongerFileAsItIs) {
  const bytes before = concat({label(u"  6.3"), filler(label_file_limit + 1 - label(u"  6.3").size())});
  ASSERT_EQ(label_file_limit + 1, before.size());
  const std::string file = path("long.ime");
  ASSERT_TRUE(write_bytes(file, before));
  patch_version_label(file.c_str());
  EXPECT_EQ(before, read_bytes_or_empty(file));
}

// A file held by a program that lets others read it but not write it is never cut.
TEST_F(VersionLabel, LeavesAFileItCannotWriteBackUntouched) {
  const bytes before = concat({filler(100), label(u"  6.3"), filler(100)});
  const std::string held = path("held.ime");
  ASSERT_TRUE(write_bytes(held, before));
  {
    unique_file holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    patch_version_label(held.c_str());
  }
  EXPECT_EQ(before, read_bytes_or_empty(held));
}

TEST_F(VersionLabel, DoesNothingWithoutAWorkBuffer) {
  const bytes before = label(u"  6.3");
  const std::string file = path("nobuffer.ime");
  ASSERT_TRUE(write_bytes(file, before));
  state.work_buffer = nullptr;
  patch_version_label(file.c_str());
  EXPECT_EQ(before, read_bytes_or_empty(file));
}

}  // namespace
