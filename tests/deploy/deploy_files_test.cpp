// deploy_files against the real payload in a fresh prefix of the system kind the harness
// was asked for: what lands in install_dir and in the prefix's own system directories,
// with which label, and which messages a user sees on the way.
//   deploy_files_test PAYLOAD PRODUCT_DIR KIND CODEPAGE
// KIND is 64 (64-bit Windows), 32-6 (32-bit Windows 6 or later) or 32-5 (before 6).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "deploy/deploy_files.h"
#include "deploy/system_dirs.h"
#include "setup/handles.h"
#include "setup/installer_state.h"
#include "tests/deploy/test_files.h"
#include "tests/harness/message_boxes.h"

namespace {

std::string payload_path, product_dir, system_kind_arg;
unsigned expected_code_page = 0;
bytes payload;
std::vector<unsigned char> work_buffer(work_buffer_size, 0);

const std::u16string current_label = u"智能映舟输入平台  7.9";
const std::u16string variant_label = u"智能映舟输入平台  6.3";
const std::u16string companion_label = u"智能映舟输入平台  6.7";

// The copy-failure message: GBK through the ANSI box, so it reads as the system's ANSI
// code page makes of it; on the simplified-Chinese system that is the product's text.
void expect_copy_failed_box(const seen_box& box, const std::string& path) {
  const std::string text = "没有成功复制" + path + "文件，请退出安装程序并手动删除该文件后重新安装！";
  EXPECT_EQ(as_ansi_box_text(text), box.text);
  EXPECT_EQ(as_ansi_box_text("智能映舟(映舟五笔)安装"), box.caption);
  if (GetACP() == 936) {
    EXPECT_EQ(L"没有成功复制" + std::wstring(path.begin(), path.end()) +
                  L"文件，请退出安装程序并手动删除该文件后重新安装！",
              box.text);
    EXPECT_EQ(L"智能映舟(映舟五笔)安装", box.caption);
  }
  EXPECT_TRUE(box.has_ok);
  EXPECT_FALSE(box.has_cancel || box.has_yes || box.has_no);
}

// What each system kind places, pass by pass; variants named for code page 936.
struct kind_expectations {
  const char* kind;
  const char* native_variant;  // pass 1, as yingzu4.ime in the native system directory
  const char* wow64_variant;   // pass 1, as yingzu4.ime in SysWOW64, or none
  const char* uninstaller;     // pass 1, as yingdel.exe in the native system directory
  bool manager_replaced;       // vivadidu.exe is the former yinglum6.exe
  const char* native_module;   // pass 2
  const char* wow64_module;    // pass 2, or none
};

const kind_expectations kinds[] = {
    {"64", "ying640.ime", "ying320.ime", "yzqdel64.exe", true, "yingzu64.ime", "yingzu4.ime"},
    {"32-6", "ying320.ime", nullptr, "yingdel.exe", true, "yingzu4.ime", nullptr},
    {"32-5", "ying320.ime", nullptr, "yingdel.exe", false, "yingzu4.ime", nullptr},
};

const kind_expectations& expected_kind() {
  for (const kind_expectations& k : kinds)
    if (system_kind_arg == k.kind) return k;
  return kinds[0];
}

// ying320.ime -> ying321.ime on the traditional-Chinese system.
std::string for_code_page(const char* variant) {
  std::string name = variant;
  if (expected_code_page == 950) name[6] = '1';
  return name;
}

std::string system_dir() {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, sizeof dir);
  return dir;
}

std::string wow64_dir() {
  char dir[MAX_PATH];
  GetWindowsDirectoryA(dir, sizeof dir);
  return std::string(dir) + "\\syswow64";
}

std::string product_file(const std::string& name) { return product_dir + name; }

// A module relabelled by the setup: same length, only the version digits of older labels
// changed, every label now the current one.
void expect_relabelled(const bytes& original, const bytes& now) {
  ASSERT_EQ(original.size(), now.size());
  const size_t older = count_utf16(original, variant_label) + count_utf16(original, companion_label);
  EXPECT_GT(older, 0u) << "the payload's module must carry an older label";
  EXPECT_EQ(older + count_utf16(original, current_label), count_utf16(now, current_label));
  EXPECT_EQ(0u, count_utf16(now, variant_label));
  EXPECT_EQ(0u, count_utf16(now, companion_label));
  size_t changed = 0;
  for (size_t i = 0; i < now.size(); ++i) {
    if (now[i] == original[i]) continue;
    ++changed;
    const bool major = original[i] == '6' && now[i] == '7';
    const bool minor = (original[i] == '3' || original[i] == '7') && now[i] == '9';
    EXPECT_TRUE(major || minor) << "byte " << i << " changed from " << int(original[i]) << " to "
                                << int(now[i]);
  }
  EXPECT_EQ(2 * older, changed);
}

void remove_tree_entry(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (is_directory(path)) {
    DeleteFileA((path + "\\inside").c_str());
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

constexpr wchar_t uninstall_entry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\duzezuz";

std::wstring uninstall_command() {
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value - sizeof value[0];
  unique_key key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstall_entry, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
    key.release();
    return L"";
  }
  if (RegQueryValueExW(key.get(), L"UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                       &size) != ERROR_SUCCESS)
    return L"";
  return value;
}

const char* const system_names[] = {"yingzu4.ime", "yingzu2.ime", "yingzu1.ime",
                                    "yingdel.exe", "yingde2.exe", "yingde1.exe"};

class DeployFiles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(payload.empty());
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    install_dir_ = "C:\\dep_" + test + "\\";
    std::memset(&state, 0, sizeof state);
    std::snprintf(state.install_dir, sizeof state.install_dir, "%s", install_dir_.c_str());
    state.run_mode = run_interactive;
    state.edition = 1;
    state.oem_code_page = GetOEMCP();
    state.os_major = LOBYTE(LOWORD(GetVersion()));
    state.payload = payload.data();
    state.payload_size = payload.size();
    state.work_buffer = work_buffer.data();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, uninstall_entry);
    for (const std::string& dir : {system_dir(), wow64_dir()})
      for (const char* name : system_names) remove_tree_entry(dir + "\\" + name);
  }

  std::string installed(const std::string& name) const { return install_dir_ + name; }

  // The companion carries an older label unless it is a build of its own beyond the
  // relabelling limit, which then stays as unpacked.
  void expect_companion_relabelled() const {
    const bytes before = read_bytes_or_empty(product_file("setupw64.exe"));
    const bytes now = read_bytes_or_empty(installed("setupw64.exe"));
    ASSERT_FALSE(before.empty());
    const bool older = count_utf16(before, variant_label) + count_utf16(before, companion_label) > 0;
    if (before.size() <= 131072 && older) {
      expect_relabelled(before, now);
    } else {
      EXPECT_EQ(before, now);
    }
  }
  std::string native(const char* name) const { return system_dir() + "\\" + name; }
  std::string wow64(const char* name) const { return wow64_dir() + "\\" + name; }

  std::vector<seen_box> run_pass(int pass, std::vector<int> answers = {}) {
    box_recorder recorder(answers);
    deploy_files(pass);
    return recorder.boxes();
  }

  std::string install_dir_;
};

TEST_F(DeployFiles, RunsOnTheSystemTheHarnessWasAskedFor) {
  const bool has_wow64 = is_directory(wow64_dir());
  const unsigned major = LOBYTE(LOWORD(GetVersion()));
  const std::string kind = has_wow64 && major > 5 ? "64" : major > 5 ? "32-6" : "32-5";
  EXPECT_EQ(system_kind_arg, kind);
  EXPECT_EQ(expected_code_page, GetOEMCP());
}

TEST_F(DeployFiles, NativeSystemDirIsWhereThisBuildReachesSystem32) {
  char dir[MAX_PATH];
  ASSERT_TRUE(native_system_dir(dir, sizeof dir));
  EXPECT_EQ(system_dir(), dir);
  char tiny[4];
  EXPECT_FALSE(native_system_dir(tiny, sizeof tiny));
  EXPECT_STREQ("", tiny);
}

TEST_F(DeployFiles, FirstPassPlacesRelabelledVariantsAndTheUninstaller) {
  const kind_expectations& k = expected_kind();
  // Left over from an earlier installation, read-only: both must be written afresh.
  CreateDirectoryA(install_dir_.c_str(), nullptr);
  for (const char* program : {"vivadidu.exe", "yinglum6.exe"}) {
    ASSERT_TRUE(write_bytes(installed(program), bytes(10, 'o')));
    SetFileAttributesA(installed(program).c_str(), FILE_ATTRIBUTE_READONLY);
  }
  ASSERT_TRUE(write_bytes(native("yingzu4.ime"), bytes(10, 'o')));
  SetFileAttributesA(native("yingzu4.ime").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

  const std::vector<seen_box> boxes = run_pass(first_pass);
  EXPECT_TRUE(boxes.empty()) << boxes.size() << " boxes";

  const std::string native_variant = for_code_page(k.native_variant);
  const bytes native_module = read_bytes_or_empty(native("yingzu4.ime"));
  expect_relabelled(read_bytes_or_empty(product_file(native_variant)), native_module);
  EXPECT_EQ(read_bytes_or_empty(installed(native_variant)), native_module)
      << "the variant is relabelled in place before its copy";
  EXPECT_FALSE(is_file(native("yingzu2.ime"))) << "a read-only module is overwritten, not moved";
  if (k.wow64_variant) {
    const std::string wow64_variant = for_code_page(k.wow64_variant);
    const bytes wow64_module = read_bytes_or_empty(wow64("yingzu4.ime"));
    expect_relabelled(read_bytes_or_empty(product_file(wow64_variant)), wow64_module);
    EXPECT_EQ(read_bytes_or_empty(installed(wow64_variant)), wow64_module);
  } else {
    EXPECT_FALSE(is_file(wow64("yingzu4.ime")));
  }
  // The variants of the other code page stay as unpacked.
  for (const char* variant : {"ying320.ime", "ying640.ime"}) {
    std::string other = variant;
    if (expected_code_page != 950) other[6] = '1';
    EXPECT_EQ(read_bytes_or_empty(product_file(other)), read_bytes_or_empty(installed(other))) << other;
  }

  const bytes uninstaller = read_bytes_or_empty(native("yingdel.exe"));
  ASSERT_FALSE(uninstaller.empty());
  EXPECT_EQ(read_bytes_or_empty(product_file(k.uninstaller)), uninstaller);

  const bytes manager = read_bytes_or_empty(installed("vivadidu.exe"));
  if (k.manager_replaced) {
    EXPECT_EQ(read_bytes_or_empty(product_file("yinglum6.exe")), manager);
    EXPECT_FALSE(is_file(installed("yinglum6.exe")));
  } else {
    EXPECT_EQ(read_bytes_or_empty(product_file("vivadidu.exe")), manager);
    EXPECT_EQ(read_bytes_or_empty(product_file("yinglum6.exe")), read_bytes_or_empty(installed("yinglum6.exe")));
  }

  expect_companion_relabelled();

  EXPECT_EQ(read_bytes_or_empty(product_file("yingzu4.ime")), read_bytes_or_empty(installed("yingzu32.ime")));
  EXPECT_EQ(read_bytes_or_empty(installed("yingcyzk.bak")), read_bytes_or_empty(installed("yingcyzk.dat")));
  EXPECT_FALSE(read_bytes_or_empty(installed("yingcyzk.dat")).empty());
  EXPECT_EQ(read_bytes_or_empty(product_file("yingpyck.bak")), read_bytes_or_empty(installed("yingpyck.dat")));

  // The uninstall entry names the uninstaller just placed.
  const std::string placed = native("yingdel.exe");
  EXPECT_EQ(std::wstring(placed.begin(), placed.end()), uninstall_command());

  EXPECT_EQ(system_dir(), state.system_dir);
  if (k.wow64_variant) {
    EXPECT_EQ(wow64_dir(), state.wow64_dir);
  }
  EXPECT_EQ(no_backup, state.data_state);
}

TEST_F(DeployFiles, UnpacksEveryOtherFileAsItIs) {
  ASSERT_TRUE(run_pass(first_pass).empty());
  const char* const changed[] = {"ying320.ime", "ying321.ime", "ying640.ime", "ying641.ime", "setupw64.exe",
                                 "yingcyzk.bak", "vivadidu.exe", "yinglum6.exe"};
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((product_dir + "*").c_str(), &found);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  int compared = 0;
  do {
    const std::string name = found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY || name[0] == '.') continue;
    // Names outside ASCII are GBK in the archive and read differently on code page 950.
    bool ascii = true;
    for (unsigned char c : name) ascii = ascii && c < 0x80;
    bool skip = !ascii;
    for (const char* c : changed) skip = skip || name == c;
    if (skip) continue;
    EXPECT_EQ(read_bytes_or_empty(product_file(name)), read_bytes_or_empty(installed(name))) << name;
    ++compared;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_GE(compared, 70);
}

TEST_F(DeployFiles, SecondPassPlacesTheMainModulesAndDropsTheVariants) {
  const kind_expectations& k = expected_kind();
  ASSERT_TRUE(run_pass(first_pass).empty());
  EXPECT_TRUE(run_pass(second_pass).empty());

  const bytes native_module = read_bytes_or_empty(native("yingzu4.ime"));
  EXPECT_EQ(read_bytes_or_empty(product_file(k.native_module)), native_module);
  if (k.wow64_module) {
    EXPECT_EQ(read_bytes_or_empty(product_file(k.wow64_module)), read_bytes_or_empty(wow64("yingzu4.ime")));
  } else {
    EXPECT_FALSE(is_file(wow64("yingzu4.ime")));
  }
  EXPECT_FALSE(is_file(native("yingzu2.ime")));

  for (const char* variant : {"ying320.ime", "ying321.ime", "ying640.ime", "ying641.ime"})
    EXPECT_FALSE(is_file(installed(variant))) << variant;
  for (const char* kept : {"yingzu32.ime", "yingcyzk.dat", "yingpyck.dat", "yingzu4.ime", "yingzu64.ime"})
    EXPECT_TRUE(is_file(installed(kept))) << kept;
  EXPECT_EQ(read_bytes_or_empty(product_file(k.uninstaller)), read_bytes_or_empty(native("yingdel.exe")));
}

// How the module being replaced is held, and what stands under its alternative names.
enum class holding { loaded, exclusive };
struct held_module_case {
  const char* name;
  holding hold;
  bool block_both_alternatives;
  bool hold_first_alternative;
  const char* moved_to;  // where the old module ends up, or null when the copy fails
};

void block_name(const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
  write_bytes(path + "\\inside", bytes(1, 'i'));
}

TEST_F(DeployFiles, MovesALoadedModuleAsideAndTellsWhenItCannot) {
  const kind_expectations& k = expected_kind();
  const held_module_case cases[] = {
      // A module Windows has loaded can be renamed but not overwritten.
      {"loaded module", holding::loaded, false, false, "yingzu2.ime"},
      {"loaded module, first alternative in use", holding::loaded, false, true, "yingzu1.ime"},
      {"loaded module, both alternatives blocked", holding::loaded, true, false, nullptr},
      {"held without any sharing", holding::exclusive, false, false, nullptr},
  };
  struct target {
    std::string dir;
    const char* module;
  };
  std::vector<target> targets = {{system_dir(), k.native_module}};
  if (k.wow64_module) targets.push_back({wow64_dir(), k.wow64_module});

  ASSERT_TRUE(run_pass(first_pass).empty());
  const bytes old_module(3000, 'm');
  for (const target& t : targets) {
    for (const held_module_case& c : cases) {
      SCOPED_TRACE(t.dir + ": " + c.name);
      for (const char* name : system_names) remove_tree_entry(t.dir + "\\" + name);
      const std::string module = t.dir + "\\yingzu4.ime";
      ASSERT_TRUE(write_bytes(module, old_module));
      if (c.block_both_alternatives) {
        block_name(t.dir + "\\yingzu2.ime");
        block_name(t.dir + "\\yingzu1.ime");
      }
      unique_file alternative_holder;
      if (c.hold_first_alternative) {
        ASSERT_TRUE(write_bytes(t.dir + "\\yingzu2.ime", bytes(5, 'a')));
        alternative_holder.reset(CreateFileA((t.dir + "\\yingzu2.ime").c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(alternative_holder);
      }
      const DWORD share = c.hold == holding::loaded ? FILE_SHARE_READ | FILE_SHARE_DELETE : 0;
      unique_file holder(CreateFileA(module.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(holder);

      const std::vector<seen_box> boxes = run_pass(second_pass);
      holder.reset();
      alternative_holder.reset();

      if (c.moved_to) {
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(read_bytes_or_empty(product_file(t.module)), read_bytes_or_empty(module));
        EXPECT_EQ(old_module, read_bytes_or_empty(t.dir + "\\" + c.moved_to));
      } else {
        ASSERT_EQ(1u, boxes.size());
        expect_copy_failed_box(boxes[0], module);
        EXPECT_EQ(old_module, read_bytes_or_empty(module));
      }
      if (c.hold == holding::exclusive) {
        EXPECT_FALSE(is_file(t.dir + "\\yingzu2.ime"));
        EXPECT_FALSE(is_file(t.dir + "\\yingzu1.ime"));
      }
    }
  }
  // The other pass-2 work still ran.
  EXPECT_FALSE(is_file(installed("ying320.ime")));
}

TEST_F(DeployFiles, ReportsAnUninstallerInUseWithoutMovingIt) {
  const bytes old_uninstaller(2000, 'u');
  ASSERT_TRUE(write_bytes(native("yingdel.exe"), old_uninstaller));
  // Renaming would succeed; only overwriting fails.
  unique_file holder(CreateFileA(native("yingdel.exe").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  const std::vector<seen_box> boxes = run_pass(first_pass);
  holder.reset();

  ASSERT_EQ(1u, boxes.size());
  expect_copy_failed_box(boxes[0], native("yingdel.exe"));
  EXPECT_EQ(old_uninstaller, read_bytes_or_empty(native("yingdel.exe")));
  EXPECT_FALSE(is_file(native("yingde2.exe")));
  EXPECT_FALSE(is_file(native("yingde1.exe")));
  // The pass went on to its end.
  expect_companion_relabelled();
  EXPECT_TRUE(is_file(native("yingzu4.ime")));
}

// The payload with one entry's stored digest changed, so that entry fails to unpack.
bytes damaged_payload(const char* entry_name) {
  bytes damaged = payload;
  size_t at = 10;
  const unsigned count = damaged[6] | damaged[7] << 8 | damaged[8] << 16 | unsigned(damaged[9]) << 24;
  for (unsigned i = 0; i < count && at + 56 <= damaged.size(); ++i) {
    const unsigned csize =
        damaged[at + 52] | damaged[at + 53] << 8 | damaged[at + 54] << 16 | unsigned(damaged[at + 55]) << 24;
    if (std::strcmp(reinterpret_cast<const char*>(&damaged[at + 2]), entry_name) == 0) {
      damaged[at + 18] = damaged[at + 18] == '0' ? '1' : '0';
      return damaged;
    }
    at += 56 + csize;
  }
  return bytes();
}

TEST_F(DeployFiles, ReportsIncompleteUnpackingAndStillCopies) {
  const kind_expectations& k = expected_kind();
  const bytes damaged = damaged_payload("yzfcz.txt");
  ASSERT_FALSE(damaged.empty());
  state.payload = damaged.data();
  state.payload_size = damaged.size();
  // Old data was backed up, yet no question may follow a failed unpacking.
  state.data_state = backup_made;
  std::strcpy(state.previous_dir, state.install_dir);

  const std::vector<seen_box> boxes = run_pass(first_pass, {IDOK, IDOK, IDYES});
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ(as_ansi_box_text("没有成功解压复制yzfcz.txt文件！请重新下载安装。"), boxes[0].text);
  EXPECT_EQ(as_ansi_box_text("文件解压不完整，请到智能映舟网站http://www.yingzu.com/重新下载安装。"),
            boxes[1].text);
  EXPECT_EQ(as_ansi_box_text("智能映舟(映舟五笔)安装"), boxes[1].caption);
  EXPECT_TRUE(boxes[1].has_ok);
  EXPECT_FALSE(boxes[1].has_yes || boxes[1].has_no || boxes[1].has_cancel);
  if (GetACP() == 936) {
    EXPECT_EQ(L"文件解压不完整，请到智能映舟网站http://www.yingzu.com/重新下载安装。", boxes[1].text);
    EXPECT_EQ(L"智能映舟(映舟五笔)安装", boxes[1].caption);
  }
  EXPECT_EQ(backup_made, state.data_state);

  EXPECT_FALSE(is_file(installed("yzfcz.txt")));
  expect_relabelled(read_bytes_or_empty(product_file(for_code_page(k.native_variant))),
                    read_bytes_or_empty(native("yingzu4.ime")));
  EXPECT_EQ(read_bytes_or_empty(product_file(k.uninstaller)), read_bytes_or_empty(native("yingdel.exe")));
  EXPECT_TRUE(is_file(installed("yingcyzk.dat")));
}

// Without a payload nothing is unpacked: the message comes first, then each copy that
// found no source says so, and no question is asked.
TEST_F(DeployFiles, ReportsAMissingPayloadAsIncompleteUnpacking) {
  const kind_expectations& k = expected_kind();
  state.payload = nullptr;
  state.payload_size = 0;
  state.data_state = backup_made;
  const std::vector<seen_box> boxes = run_pass(first_pass);
  const size_t copies = k.wow64_variant ? 3 : 2;
  ASSERT_EQ(1 + copies, boxes.size());
  EXPECT_EQ(as_ansi_box_text("文件解压不完整，请到智能映舟网站http://www.yingzu.com/重新下载安装。"),
            boxes[0].text);
  expect_copy_failed_box(boxes.back(), native("yingdel.exe"));
  EXPECT_EQ(backup_made, state.data_state);
}

struct keep_data_case {
  const char* name;
  int data_state;
  bool previous_is_install_dir;
  bool previous_differs_in_case;
  int answer;
  const wchar_t* question;  // null: no question
  int data_state_after;
};

TEST_F(DeployFiles, AsksWhetherToKeepOldDataOnlyAfterABackup) {
  const wchar_t* elsewhere = L"检测到有智能映舟以前的词组等数据文件，是否保留？";
  const wchar_t* here = L"检测到安装目录下有智能映舟以前的词组等数据文件，是否保留？";
  const keep_data_case cases[] = {
      {"backup from another directory, kept", backup_made, false, false, IDYES, elsewhere, keep_old_data},
      {"backup from another directory, dropped", backup_made, false, false, IDNO, elsewhere, backup_made},
      {"backup from this directory, kept", backup_made, true, false, IDYES, here, keep_old_data},
      {"backup from this directory, dropped", backup_made, true, false, IDNO, here, backup_made},
      {"the path file's spelling differs in case", backup_made, true, true, IDYES, elsewhere, keep_old_data},
      {"no backup", no_backup, true, false, IDYES, nullptr, no_backup},
      {"already kept", keep_old_data, true, false, IDNO, nullptr, keep_old_data},
  };
  for (const keep_data_case& c : cases) {
    SCOPED_TRACE(c.name);
    state.data_state = c.data_state;
    std::strcpy(state.previous_dir, c.previous_is_install_dir ? state.install_dir : "C:\\Program Files\\yingzu\\");
    if (c.previous_differs_in_case) state.previous_dir[0] = 'c';
    const std::vector<seen_box> boxes = run_pass(first_pass, {c.answer});
    if (c.question) {
      ASSERT_EQ(1u, boxes.size());
      EXPECT_EQ(c.question, boxes[0].text);
      EXPECT_EQ(L"智能映舟安装", boxes[0].caption);
      EXPECT_TRUE(boxes[0].has_yes && boxes[0].has_no);
      EXPECT_FALSE(boxes[0].has_ok || boxes[0].has_cancel);
    } else {
      EXPECT_TRUE(boxes.empty());
    }
    EXPECT_EQ(c.data_state_after, state.data_state);
  }
}

bool read_payload(const std::string& path) { return read_bytes(path, &payload) && payload.size() > 10; }

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 5) {
    std::fprintf(stderr, "usage: deploy_files_test PAYLOAD PRODUCT_DIR KIND CODEPAGE\n");
    return 2;
  }
  payload_path = argv[1];
  product_dir = argv[2];
  if (!product_dir.empty() && product_dir.back() != '\\' && product_dir.back() != '/') product_dir += '\\';
  system_kind_arg = argv[3];
  expected_code_page = static_cast<unsigned>(std::atoi(argv[4]));
  if (!read_payload(payload_path)) {
    std::fprintf(stderr, "cannot read the payload %s\n", payload_path.c_str());
    return 2;
  }
  return RUN_ALL_TESTS();
}
