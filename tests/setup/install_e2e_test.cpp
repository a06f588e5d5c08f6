// setup.exe in silent mode as a user starts it, in a fresh prefix: the whole installed
// result, then a second run over it that must leave the same state.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "tests/setup/install_check.h"
#include "tests/setup/setup_test_support.h"

namespace {

const char drive_copy[] = "c:\\yingzu\\yingpath.yzh";
const char exclusions[] =
    "ying320.ime ying321.ime ying640.ime ying641.ime yzszsj43.yzh setupw64.exe yingcyzk.bak "
    "vivadidu.exe yinglum6.exe ";
const char net_settings[] =
    "YZNETURL1=\r\nYZNETURL2=\r\nYZNETTIME=1\r\nYZBJTIME=7\r\nYZWYTIME=3\r\nYZSJOFF=0\r\n"
    "YZNETTIME0=0\r\nYZBJTIME0=0\r\nYZNEONE=1\r\n";
const wchar_t run_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t uninstall_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\duzezuz";
const wchar_t platform_key[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";

bool windows_6() { return expected_system.major >= 6; }

struct installation {
  std::map<std::string, std::string> digests;  // install dir and system files by path
  std::vector<std::string> preload;
  std::vector<std::wstring> values;
};

installation snapshot() {
  installation seen;
  for (const std::string& name : directory_names("C:\\Program Files\\yingzu"))
    if (file_exists(installed_dir + name)) seen.digests[name] = md5_of_file(installed_dir + name);
  std::vector<std::string> system_files{system_dir_path() + "\\yingzu4.ime",
                                        system_dir_path() + "\\yingdel.exe"};
  if (wow64_expected()) system_files.push_back(wow64_dir_path() + "\\yingzu4.ime");
  for (const std::string& path : system_files) seen.digests[path] = md5_of_file(path);
  seen.digests["path file"] = read_file(windows_path_file());
  seen.digests["drive path file"] = read_file(drive_copy);
  seen.preload = read_preload();
  seen.values = {read_hklm_string(run_key, L"yzyzsjgl"),
                 read_hklm_string(uninstall_key, L"DisplayName"),
                 read_hklm_string(uninstall_key, L"UninstallString")};
  return seen;
}

struct silent_run {
  program_run setup;
  std::vector<seen_box> companion;
};

silent_run run_silently() {
  silent_run run;
  run.setup = run_program(L"setup.exe", L"kdczxumd27", {}, 180000);
  // setup.exe does not wait for the companion; its box may come after setup.exe ended.
  run.companion = wait_for_companion();
  return run;
}

void expect_run_ended_well(const silent_run& run) {
  ASSERT_TRUE(run.setup.started);
  EXPECT_FALSE(run.setup.timed_out);
  EXPECT_EQ(0u, run.setup.exit_code);
  std::vector<seen_box> boxes = run.setup.boxes;
  boxes.insert(boxes.end(), run.companion.begin(), run.companion.end());
  // The companion's success box is the only box: setup.exe itself shows none.
  if (wow64_expected()) {
    ASSERT_EQ(1u, boxes.size()) << "first: " << (boxes.empty() ? "" : "seen");
    EXPECT_EQ(companion_success_text, boxes[0].text);
    EXPECT_EQ(L"智能映舟", boxes[0].caption);
    EXPECT_TRUE(boxes[0].has_ok);
  } else {
    EXPECT_TRUE(boxes.empty());
  }
  EXPECT_EQ(0, process_count(L"setupw64.exe"));
}

void expect_installed(const std::string& payload) {
  const std::string dir = installed_dir;
  std::string report;
  EXPECT_EQ(static_cast<int>(archive_entry_count(payload)),
            verify_installed(payload, exclusions, &report))
      << report;
  for (const char* variant : {"ying320.ime", "ying321.ime", "ying640.ime", "ying641.ime"})
    EXPECT_FALSE(file_exists(dir + variant)) << variant;

  // The word library is compacted on the way out and carries the trailer.
  std::vector<unsigned char> work(2097152);
  const size_t unpacked = extract_entry_length(
      byte_span{reinterpret_cast<const unsigned char*>(payload.data()), payload.size()},
      "yingcyzk.bak", mutable_byte_span{work.data(), work.size()});
  ASSERT_GT(unpacked, 0u);
  const std::string library = read_file(dir + "yingcyzk.bak");
  ASSERT_EQ(unpacked + 12, library.size());
  EXPECT_EQ("YING", library.substr(unpacked, 4));
  EXPECT_EQ(library, read_file(dir + "yingcyzk.dat"));
  EXPECT_EQ(read_file(dir + "yingpyck.bak"), read_file(dir + "yingpyck.dat"));
  EXPECT_FALSE(read_file(dir + "yingpyck.dat").empty());
  EXPECT_EQ(read_file(dir + "yingzu4.ime"), read_file(dir + "yingzu32.ime"));
  // On Windows 6 the manager program is the variant made for it.
  EXPECT_EQ(!windows_6(), file_exists(dir + "yinglum6.exe"));
  EXPECT_TRUE(file_exists(dir + "vivadidu.exe"));

  // The modules and the uninstaller in the system directories.
  const std::string main32 = md5_of_file(dir + "yingzu4.ime");
  ASSERT_FALSE(main32.empty());
  if (wow64_expected()) {
    EXPECT_EQ(md5_of_file(dir + "yingzu64.ime"), md5_of_file(system_dir_path() + "\\yingzu4.ime"));
    EXPECT_EQ(main32, md5_of_file(wow64_dir_path() + "\\yingzu4.ime"));
    EXPECT_EQ(md5_of_file(dir + "yzqdel64.exe"), md5_of_file(system_dir_path() + "\\yingdel.exe"));
  } else {
    EXPECT_EQ(main32, md5_of_file(system_dir_path() + "\\yingzu4.ime"));
    EXPECT_EQ(md5_of_file(dir + "yingdel.exe"), md5_of_file(system_dir_path() + "\\yingdel.exe"));
  }

  // Shell entries.
  bool found = false;
  EXPECT_EQ(L"\"C:\\Program Files\\yingzu\\vivadidu.exe\" yz",
            read_hklm_string(run_key, L"yzyzsjgl"));
  EXPECT_EQ(L"映舟五笔", read_hklm_string(uninstall_key, L"DisplayName"));
  wchar_t system_dir[MAX_PATH] = {};
  GetSystemDirectoryW(system_dir, MAX_PATH);
  EXPECT_EQ(std::wstring(system_dir) + L"\\yingdel.exe",
            read_hklm_string(uninstall_key, L"UninstallString"));
  EXPECT_EQ(L"", read_hklm_string(platform_key, L"lumo7900", 0, &found));
  EXPECT_TRUE(found);
  read_hklm_string(platform_key, L"lumo7800", 0, &found);
  EXPECT_FALSE(found);

  // Path files and settings files.
  EXPECT_EQ(dir, read_file(windows_path_file()));
  if (windows_6())
    EXPECT_EQ(dir, read_file(drive_copy));
  else
    EXPECT_FALSE(file_exists(drive_copy));
  EXPECT_EQ(std::string("YZWBPYBZ=0", 11), read_file(dir + "wbpybz.yzh"));
  EXPECT_EQ(110u, read_file(dir + "yznetsj.dat").size());
  EXPECT_EQ(net_settings, read_file(dir + "yznetsj.dat"));
  EXPECT_TRUE(directory_exists(dir + "filer"));

  // The companion is relabelled with the current version.
  const std::vector<std::string> labels = label_versions(read_file(dir + "setupw64.exe"));
  ASSERT_FALSE(labels.empty());
  for (const std::string& label : labels) EXPECT_EQ("7.9", label);
}

void expect_registered(size_t installs) {
  // ImmInstallIMEW accepted the system directory's module; what Wine writes for it is a
  // Keyboard Layouts entry with "Ime File" and "Layout Text".
  const std::vector<layout_entry> entries = product_layout_entries();
  ASSERT_FALSE(entries.empty());
  wchar_t system_dir[MAX_PATH] = {};
  GetSystemDirectoryW(system_dir, MAX_PATH);
  for (const layout_entry& entry : entries) {
    EXPECT_EQ(L"智能映舟输入平台  7.9", entry.text) << entry.id;
    EXPECT_EQ(0, lstrcmpiW((std::wstring(system_dir) + L"\\yingzu4.ime").c_str(),
                           entry.ime_file.c_str()))
        << entry.id;
  }
  // Wine's ImmInstallIMEW makes a new entry on every call and leaves the preload list
  // alone: setup.exe installs once and, on 64-bit Windows, the companion once more.
  EXPECT_EQ(installs * (wow64_expected() ? 2u : 1u), entries.size());
  for (const std::string& id : read_preload())
    for (const layout_entry& entry : entries) EXPECT_NE(0, lstrcmpiA(id.c_str(), entry.id.c_str()));
}

}  // namespace

TEST(InstallEndToEnd, SilentInstallThenASecondRunOverIt) {
  remove_tree("C:\\Program Files\\yingzu");
  // A Windows of these versions has the browser's user-agent key, which a fresh Wine
  // prefix lacks; the setup only adds its token below it. An earlier version's token is
  // there to be replaced.
  HKEY platform = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform_key, 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &platform, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(platform, L"lumo7800", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(L""), 0));
  RegCloseKey(platform);
  const std::string payload = payload_of(test_bin_dir() + L"setup.exe");
  ASSERT_GT(archive_entry_count(payload), 0u);
  EXPECT_EQ(test_payload(), payload);

  const silent_run first = run_silently();
  expect_run_ended_well(first);
  expect_installed(payload);
  expect_registered(1);
  const installation after_first = snapshot();

  const silent_run second = run_silently();
  expect_run_ended_well(second);
  expect_installed(payload);
  expect_registered(2);
  const installation after_second = snapshot();
  EXPECT_EQ(after_first.digests, after_second.digests);
  EXPECT_EQ(after_first.values, after_second.values);
  EXPECT_EQ(after_first.preload, after_second.preload);
  std::vector<std::string> sorted = after_second.preload;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted.end(), std::adjacent_find(sorted.begin(), sorted.end())) << "duplicate preload";
}
