// What only Windows shows: attributes, files in use, GBK names on disk under code page
// 936, and MD5 from advapi32.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/file_ops.h"
#include "archive/md5_hex.h"
#include "tests/archive/test_support.h"

namespace {

std::wstring wide(const std::string& ansi) {
  std::wstring out(ansi.size() + 1, L'\0');
  const int n =
      MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &out[0], static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return out;
}

bool unpack(const std::string& archive, const std::string& dir) {
  std::vector<unsigned char> scratch(work_buffer_size);
  recorded_failures().clear();
  return extract_archive(span_of(archive), mutable_byte_span{scratch.data(), scratch.size()},
                         dir.c_str(), record_failure);
}

TEST(ArchiveWin32, RunsUnderCodePage936) { EXPECT_EQ(936u, GetACP()); }

TEST(ArchiveWin32, RemoveFileClearsReadOnlyHiddenAndSystem) {
  temp_dir dir;
  const std::string path = dir / "yingszsj.yzh";
  write_file(path, "settings");
  ASSERT_TRUE(SetFileAttributesA(
      path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_FALSE(DeleteFileA(path.c_str())) << "a read-only file resists a plain delete";
  EXPECT_EQ(0, remove_file(path.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

TEST(ArchiveWin32, ReadOnlyInstalledFileIsReplaced) {
  temp_dir dir;
  write_file(dir / "a.txt", "old");
  SetFileAttributesA((dir / "a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(unpack(current_archive({{"a.txt", "new"}}), dir.path()));
  EXPECT_EQ("new", read_file(dir / "a.txt").value_or(""));
  EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA((dir / "a.txt").c_str()) &
                                        (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
}

// A loaded IME module: its image is mapped, so it cannot be deleted but can be renamed.
TEST(ArchiveWin32, ModuleInUseIsMovedAsideAndTheFreshFileWritten) {
  temp_dir dir;
  char self[MAX_PATH];
  ASSERT_NE(0u, GetModuleFileNameA(nullptr, self, sizeof self));
  const std::string module = dir / "yingzu4.ime";
  ASSERT_TRUE(CopyFileA(self, module.c_str(), FALSE));
  const std::string module_bytes = read_file(module).value();
  HANDLE file = CreateFileA(module.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  HANDLE image = CreateFileMappingA(file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
  CloseHandle(file);
  ASSERT_NE(nullptr, image);
  void* view = MapViewOfFile(image, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(nullptr, view);

  EXPECT_EQ(-1, remove_file(module.c_str()));
  EXPECT_TRUE(unpack(current_archive({{"yingzu4.ime", "fresh module"}}), dir.path()));
  EXPECT_TRUE(recorded_failures().empty());
  EXPECT_EQ("fresh module", read_file(module).value_or(""));
  EXPECT_EQ(module_bytes, read_file(dir / "yingzu2.ime").value_or(""));

  UnmapViewOfFile(view);
  CloseHandle(image);
}

// Windows moves no file that another handle holds without sharing: the entry fails and
// reports, and the old file stays as it was.
TEST(ArchiveWin32, FileHeldWithoutSharingFailsItsEntryAndStays) {
  temp_dir dir;
  const std::string path = dir / "yingzu4.ime";
  write_file(path, "old module");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);

  EXPECT_EQ(-1, remove_file(path.c_str()));
  EXPECT_EQ(-1, rename_aside(path.c_str()));
  EXPECT_FALSE(
      unpack(current_archive({{"yingzu4.ime", "fresh module"}, {"a.txt", "alpha"}}), dir.path()));
  EXPECT_EQ(std::vector<std::string>{"yingzu4.ime"}, recorded_failures());
  CloseHandle(held);

  EXPECT_EQ("old module", read_file(path).value_or(""));
  EXPECT_EQ("alpha", read_file(dir / "a.txt").value_or(""));
  EXPECT_FALSE(file_exists(dir / "yingzu2.ime"));
  EXPECT_FALSE(file_exists(dir / "yingzu1.ime"));
}

TEST(ArchiveWin32, GbkNameLandsUnderItsName) {
  temp_dir dir;
  const std::string name = "冷色瓷面.yzz";
  ASSERT_EQ(12u, name.size());
  EXPECT_TRUE(unpack(current_archive({{name, "skin"}}), dir.path()));

  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((wide(dir.path()) + L"*.yzz").c_str(), &found);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  EXPECT_EQ(std::wstring(L"冷色瓷面.yzz"), std::wstring(found.cFileName));
  EXPECT_FALSE(FindNextFileW(find, &found));
  FindClose(find);
  EXPECT_EQ("skin", read_file(dir / name).value_or(""));
}

TEST(ArchiveWin32, Md5ComesFromAdvapi32) {
  HMODULE advapi = LoadLibraryA("advapi32.dll");
  ASSERT_NE(nullptr, advapi);
  for (const char* name : {"MD5Init", "MD5Update", "MD5Final"})
    EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(advapi, name))) << name;
  FreeLibrary(advapi);
  char out[34];
  md5_hex("abc", 3, out);
  EXPECT_STREQ("900150983CD24FB0D6963F7D28E17F72", out);
}

}  // namespace
