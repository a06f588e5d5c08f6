// The install procedure as far as it goes today: directory, path files, unpacking.
#include "setup/install_procedure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/installer_state.h"
#include "setup/windows_version.h"
#include "tests/harness/message_boxes.h"
#include "tests/setup/setup_test_support.h"
#include "tests/setup/test_archive.h"

namespace {

std::wstring as_shown(const char* ansi) {
  wchar_t wide[512] = {};
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 512);
  return wide;
}

}  // namespace

TEST(InstallProcedure, UnpacksThePayloadAndNamesEachFileThatFailed) {
  ASSERT_TRUE(CreateDirectoryA("C:\\yzsrc", nullptr));
  ASSERT_TRUE(write_file("C:\\yzsrc\\alpha.txt", "alpha"));
  ASSERT_TRUE(write_file("C:\\yzsrc\\bravo.txt", "bravo bravo"));
  ASSERT_TRUE(write_file("C:\\yzsrc\\charlie.txt", "charlie"));
  std::string archive =
      make_test_archive("C:\\yzsrc\\test.yzz",
                        {"C:\\yzsrc\\alpha.txt", "C:\\yzsrc\\bravo.txt", "C:\\yzsrc\\charlie.txt"});
  ASSERT_FALSE(archive.empty());
  ASSERT_TRUE(spoil_entry_digest(archive, 1));

  state = installer_state{};
  is_64bit_windows();
  std::strcpy(state.install_dir, "C:\\yztest\\");
  state.payload = reinterpret_cast<const unsigned char*>(archive.data());
  state.payload_size = archive.size();
  std::vector<unsigned char> work(work_buffer_size);
  state.work_buffer = work.data();

  box_recorder recorder;
  install_procedure();

  ASSERT_EQ(1u, recorder.boxes().size());
  const seen_box& box = recorder.boxes()[0];
  // The ANSI box shows the GBK bytes as the system's code page reads them.
  EXPECT_EQ(as_shown("没有成功解压复制bravo.txt文件！请重新下载安装。"), box.text);
  EXPECT_EQ(as_shown("智能映舟安装"), box.caption);
  if (GetACP() == 936) {
    EXPECT_EQ(L"没有成功解压复制bravo.txt文件！请重新下载安装。", box.text);
    EXPECT_EQ(L"智能映舟安装", box.caption);
  }
  EXPECT_TRUE(box.has_ok);
  EXPECT_FALSE(box.has_cancel);

  EXPECT_EQ("alpha", read_file("C:\\yztest\\alpha.txt"));
  EXPECT_FALSE(file_exists("C:\\yztest\\bravo.txt"));
  EXPECT_EQ("charlie", read_file("C:\\yztest\\charlie.txt"));
  EXPECT_TRUE(directory_exists("C:\\yztest\\filer"));
  EXPECT_EQ("C:\\yztest\\", read_file(windows_path_file()));
  state.payload = nullptr;
  state.work_buffer = nullptr;
}

TEST(InstallProcedure, WithoutPayloadItPreparesTheDirectoryAndShowsNothing) {
  state = installer_state{};
  is_64bit_windows();
  std::strcpy(state.install_dir, "C:\\yzempty\\");
  box_recorder recorder;
  install_procedure();
  EXPECT_TRUE(recorder.boxes().empty());
  EXPECT_TRUE(directory_exists("C:\\yzempty\\filer"));
  EXPECT_EQ("C:\\yzempty\\", read_file(windows_path_file()));
}
