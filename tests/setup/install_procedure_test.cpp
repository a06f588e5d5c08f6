// The install procedure in-process, on the real payload: a first installation, upgrades
// over an earlier module that running programs hold, the in-use refusal, the preload
// promotion of Windows 5.x, and the companion's command line.
#include "setup/install_procedure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "setup/installer_state.h"
#include "setup/windows_version.h"
#include "tests/harness/message_boxes.h"
#include "tests/setup/install_check.h"
#include "tests/setup/setup_test_support.h"

namespace {

const char earlier_id[] = "E0200804";
const char us_layout[] = "00000409";
const wchar_t in_use_text[] =
    L"\u3000\u3000你以前安装的映舟五笔正在使用，请关闭使用映舟五笔的所有窗口，或者重新启动机器后，"
    L"才能安装新版本的映舟五笔！";

// A module as a running program holds it: mapped as an image from a handle that shares
// reading and deleting, so that it can be renamed but neither deleted nor overwritten.
// Share mode 0 and no mapping stand for one that cannot even be renamed.
enum class hold { loaded, exclusive };
class held_file {
 public:
  held_file(const std::string& path, hold how)
      : file_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_EXECUTE,
                          how == hold::loaded ? FILE_SHARE_READ | FILE_SHARE_DELETE : 0, nullptr,
                          OPEN_EXISTING, 0, nullptr)) {
    if (how != hold::loaded || file_ == INVALID_HANDLE_VALUE) return;
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
    if (mapping_) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
  }
  ~held_file() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  held_file(const held_file&) = delete;
  held_file& operator=(const held_file&) = delete;
  bool valid(hold how) const {
    return file_ != INVALID_HANDLE_VALUE && (how != hold::loaded || view_ != nullptr);
  }

 private:
  HANDLE file_;
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
};

std::vector<std::string> module_dirs() {
  std::vector<std::string> dirs{system_dir_path()};
  if (wow64_expected()) dirs.push_back(wow64_dir_path());
  return dirs;
}

void remove_modules() {
  for (const std::string& dir : module_dirs())
    for (const char* name : {"yingzu4.ime", "yingzu2.ime", "yingzu1.ime", "yingdel.exe"}) {
      SetFileAttributesA((dir + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((dir + "\\" + name).c_str());
    }
}

class InstallProcedure : public testing::Test {
 protected:
  void SetUp() override { start_over(); }
  void start_over() {
    // Wine gives a thread's first window its own preload "1"; let that happen before
    // the list is laid out, so that it stays as the test writes it.
    static HWND first_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr,
                                               nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, first_window);
    wait_for_companion();
    remove_tree("C:\\Program Files\\yingzu");
    remove_modules();
    remove_product_layout_entries();
    const std::vector<std::string> before = read_preload();
    default_layout_ = before.empty() ? std::string("00000804") : before[0];

    payload_ = test_payload();
    ASSERT_GT(archive_entry_count(payload_), 0u);
    work_.assign(work_buffer_size, 0);
    // An earlier module: any real image of this process's kind will do, so that it can
    // be mapped as a loaded module is; this test program is one.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    old_module = read_file(self);
    ASSERT_FALSE(old_module.empty());
    state = installer_state{};
    state.oem_code_page = GetOEMCP();
    state.run_mode = run_silent;
    is_64bit_windows();
    state.payload = reinterpret_cast<const unsigned char*>(payload_.data());
    state.payload_size = payload_.size();
    state.work_buffer = work_.data();
  }
  void TearDown() override {
    companion_boxes_ = wait_for_companion();
    state.payload = nullptr;
    state.work_buffer = nullptr;
  }

  // An earlier installation: its layout in the preload list and its module in each
  // system directory.
  void prepare_upgrade(std::vector<std::string> preload) {
    ASSERT_TRUE(add_earlier_layout(earlier_id));
    ASSERT_TRUE(write_preload(preload));
    for (const std::string& dir : module_dirs())
      ASSERT_TRUE(write_file(dir + "\\yingzu4.ime", old_module));
  }

  // The procedure as the silent mode runs it, the boxes of this thread recorded; the
  // companion's success box on 64-bit Windows is answered by the watcher afterwards.
  std::vector<seen_box> install() {
    box_recorder recorder;
    install_procedure();
    boxes_ = recorder.boxes();
    companion_boxes_ = wait_for_companion();
    return boxes_;
  }

  void expect_companion_ran() {
    if (!wow64_expected()) {
      EXPECT_TRUE(companion_boxes_.empty());
      return;
    }
    ASSERT_EQ(1u, companion_boxes_.size());
    EXPECT_EQ(companion_success_text, companion_boxes_[0].text);
  }

  void expect_deployed() {
    const std::string dir = installed_dir;
    EXPECT_EQ(static_cast<int>(archive_entry_count(payload_)),
              verify_installed(payload_,
                               "ying320.ime ying321.ime ying640.ime ying641.ime yzszsj43.yzh "
                               "setupw64.exe yingcyzk.bak vivadidu.exe yinglum6.exe "));
    const std::string main32 = md5_of_file(dir + "yingzu4.ime");
    ASSERT_FALSE(main32.empty());
    if (wow64_expected()) {
      EXPECT_EQ(md5_of_file(dir + "yingzu64.ime"), md5_of_file(system_dir_path() + "\\yingzu4.ime"));
      EXPECT_EQ(main32, md5_of_file(wow64_dir_path() + "\\yingzu4.ime"));
    } else {
      EXPECT_EQ(main32, md5_of_file(system_dir_path() + "\\yingzu4.ime"));
    }
    for (const char* variant : {"ying320.ime", "ying321.ime", "ying640.ime", "ying641.ime"})
      EXPECT_FALSE(file_exists(dir + variant)) << variant;
  }

  std::string payload_, old_module;
  std::vector<unsigned char> work_;
  std::string default_layout_;
  std::vector<seen_box> boxes_, companion_boxes_;
};

}  // namespace

TEST_F(InstallProcedure, FirstInstallationSkipsTheOldModuleStep) {
  ASSERT_TRUE(write_preload({default_layout_, us_layout}));
  // A module that cannot be deleted in the directory the old-module step looks at first:
  // had the step run, restart_required would be 1. The deployment moves it aside itself.
  const std::string watched = (wow64_expected() ? wow64_dir_path() : system_dir_path()) + "\\yingzu4.ime";
  ASSERT_TRUE(write_file(watched, old_module));
  {
    held_file held(watched, hold::loaded);
    ASSERT_TRUE(held.valid(hold::loaded));
    EXPECT_TRUE(install().empty()) << "first box: " << (boxes_.empty() ? "" : "shown");
  }
  EXPECT_EQ(0, state.restart_required);
  expect_deployed();
  expect_companion_ran();
  EXPECT_EQ(old_module, read_file(watched.substr(0, watched.size() - 5) + "2.ime"));
  EXPECT_TRUE(directory_exists(std::string(installed_dir) + "filer"));
  EXPECT_EQ(installed_dir, read_file(windows_path_file()));
}

TEST_F(InstallProcedure, UpgradeMovesALoadedModuleAside) {
  struct upgrade_case {
    const char* name;
    bool hold_system, hold_wow64;
    int restart_required;
  } cases[] = {
      {"nothing held: deleted", false, false, 0},
      {"held in the system directory", true, false, 0},
      {"held in SysWOW64", false, true, 1},
      {"held in both", true, true, 1},
  };
  for (const upgrade_case& c : cases) {
    if (c.hold_wow64 && !wow64_expected()) continue;
    SCOPED_TRACE(c.name);
    start_over();
    prepare_upgrade({default_layout_, earlier_id, us_layout});
    {
      std::unique_ptr<held_file> system, wow64;
      if (c.hold_system) system.reset(new held_file(system_dir_path() + "\\yingzu4.ime", hold::loaded));
      if (c.hold_wow64) wow64.reset(new held_file(wow64_dir_path() + "\\yingzu4.ime", hold::loaded));
      ASSERT_TRUE(!system || system->valid(hold::loaded));
      ASSERT_TRUE(!wow64 || wow64->valid(hold::loaded));
      install();
    }
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(c.restart_required, state.restart_required);
    EXPECT_EQ(c.hold_system ? old_module : "", read_file(system_dir_path() + "\\yingzu2.ime"));
    if (wow64_expected()) {
      EXPECT_EQ(c.hold_wow64 ? old_module : "", read_file(wow64_dir_path() + "\\yingzu2.ime"));
    }
    expect_deployed();
    expect_companion_ran();
  }
}

TEST_F(InstallProcedure, AModuleThatCannotBeMovedStopsBeforeAnythingIsDeployed) {
  for (bool in_wow64 : {false, true}) {
    if (in_wow64 && !wow64_expected()) continue;
    SCOPED_TRACE(in_wow64 ? "SysWOW64" : "system directory");
    start_over();
    prepare_upgrade({default_layout_, earlier_id});
    const std::string locked = (in_wow64 ? wow64_dir_path() : system_dir_path()) + "\\yingzu4.ime";
    {
      held_file held(locked, hold::exclusive);
      ASSERT_TRUE(held.valid(hold::exclusive));
      install();
    }
    ASSERT_EQ(1u, boxes_.size());
    EXPECT_EQ(in_use_text, boxes_[0].text);
    EXPECT_EQ(L"智能映舟安装", boxes_[0].caption);
    EXPECT_TRUE(boxes_[0].has_ok);
    EXPECT_FALSE(boxes_[0].has_cancel);
    EXPECT_EQ(1, state.restart_required);
    EXPECT_EQ(old_module, read_file(locked));
    // Only what the preparation makes: the settings files and the "filer" folder.
    const std::vector<std::string> prepared{"filer", "wbpybz.yzh", "yznetsj.dat"};
    EXPECT_EQ(prepared, directory_names("C:\\Program Files\\yingzu"));
    EXPECT_TRUE(companion_boxes_.empty());
    EXPECT_EQ(0, process_count(L"setupw64.exe"));
  }
}

TEST_F(InstallProcedure, Windows5PromotesTheProductAfterRegistration) {
  prepare_upgrade({default_layout_, us_layout, earlier_id});
  install();
  EXPECT_TRUE(boxes_.empty());
  const std::vector<std::string> preload = read_preload();
  ASSERT_GE(preload.size(), 3u);
  if (expected_system.major <= 5) {
    EXPECT_EQ(earlier_id, preload[1]);
    EXPECT_EQ(us_layout, preload[2]);
  } else {
    EXPECT_EQ(us_layout, preload[1]);
    EXPECT_EQ(earlier_id, preload[2]);
  }
  expect_deployed();
}

TEST(CompanionCommand, QuotesTheProgramAndHandsTheDirectoryOn) {
  char command[300];
  ASSERT_TRUE(compose_companion_command("C:\\Program Files\\yingzu\\", command, sizeof command));
  EXPECT_STREQ("\"C:\\Program Files\\yingzu\\setupw64.exe\" regyz32=C:\\Program Files\\yingzu\\",
               command);
  // Exactly fitting, then one byte short.
  const size_t needed = std::strlen(command) + 1;
  EXPECT_TRUE(compose_companion_command("C:\\Program Files\\yingzu\\", command, needed));
  EXPECT_FALSE(compose_companion_command("C:\\Program Files\\yingzu\\", command, needed - 1));
  EXPECT_STREQ("", command);
  const std::string long_dir = "C:\\" + std::string(196, 'd') + "\\";
  EXPECT_FALSE(compose_companion_command(long_dir.c_str(), command, sizeof command));
  EXPECT_STREQ("", command);
}
