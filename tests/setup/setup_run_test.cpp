// setup.exe and setupw64.exe started as a user starts them, in a fresh prefix of each
// system the setup meets.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "archive/archive_reader.h"
#include "tests/setup/install_check.h"
#include "tests/setup/setup_test_support.h"

namespace {

const char install_dir[] = "C:\\Program Files\\yingzu\\";
const char drive_copy[] = "c:\\yingzu\\yingpath.yzh";
const wchar_t administrator_text[] =
    L"本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。"
    L"（运行方式为：用鼠标右键点击安装程序，在弹出菜单中点击“以管理员身份运行”）";
const wchar_t registered_text[] = L"智能映舟已安装成功，如不能使用，请重新启动计算机！";

// The Keyboard Layouts entry whose layout text is the product's, as "ime file|id".
std::wstring product_layout_entry() {
  HKEY layouts = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Keyboard Layouts", 0,
                    KEY_READ, &layouts) != ERROR_SUCCESS)
    return std::wstring();
  std::wstring found;
  wchar_t id[64];
  for (DWORD i = 0; found.empty(); ++i) {
    DWORD id_length = 64;
    if (RegEnumKeyExW(layouts, i, id, &id_length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    wchar_t text[128] = {}, ime_file[MAX_PATH] = {};
    DWORD text_size = sizeof text - sizeof(wchar_t), file_size = sizeof ime_file - sizeof(wchar_t);
    HKEY layout = nullptr;
    if (RegOpenKeyExW(layouts, id, 0, KEY_READ, &layout) != ERROR_SUCCESS) continue;
    if (RegQueryValueExW(layout, L"Layout Text", nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                         &text_size) == ERROR_SUCCESS &&
        std::wstring(text) == L"智能映舟输入平台  7.9") {
      RegQueryValueExW(layout, L"Ime File", nullptr, nullptr, reinterpret_cast<BYTE*>(ime_file),
                       &file_size);
      found = std::wstring(ime_file) + L"|" + id;
    }
    RegCloseKey(layout);
  }
  RegCloseKey(layouts);
  return found;
}

bool windows_6() { return expected_system.major >= 6; }

std::wstring window_title() {
  if (GetOEMCP() == 950) return L"智能映舟系統安裝";
  return windows_6() && expected_system.is_64bit ? L"智能映舟系统安装3264" : L"智能映舟系统安装32";
}

uint32_t entry_count(const std::string& archive) {
  if (archive.size() < 10) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(archive.data()) + 6;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int verify(const std::string& payload, const char* exclusions, std::string* report = nullptr) {
  char text[4096] = {};
  const int passed = verify_archive(
      byte_span{reinterpret_cast<const unsigned char*>(payload.data()), payload.size()},
      install_dir, text, sizeof text, exclusions);
  if (report) *report = text;
  return passed;
}

void start_clean() {
  // A silent run on 64-bit Windows leaves its companion running from the directory.
  wait_for_companion();
  remove_tree("C:\\Program Files\\yingzu");
  RemoveDirectoryA(windows_path_file().c_str());
  DeleteFileA(windows_path_file().c_str());
  DeleteFileA(drive_copy);
}

void expect_path_files(const std::string& dir) {
  EXPECT_EQ(dir, read_file(windows_path_file()));
  if (windows_6())
    EXPECT_EQ(dir, read_file(drive_copy));
  else
    EXPECT_FALSE(file_exists(drive_copy));
}

}  // namespace

TEST(SetupRun, SilentModeUnpacksEveryFileOfThePayload) {
  start_clean();
  const std::string payload = payload_of(test_bin_dir() + L"setup.exe");
  ASSERT_GT(entry_count(payload), 0u);

  const setup_run run = run_setup_program(L"setup.exe", L"kdczxumd27");
  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(0u, run.exit_code);
  EXPECT_TRUE(run.boxes.empty()) << "first box: " << (run.boxes.empty() ? "" : "shown");
  EXPECT_TRUE(run.installer_windows.empty());

  // What the installation changes after unpacking: relabelled and removed variants, the
  // compacted word library, the manager program replaced on Windows 6, the companion.
  const char changed[] =
      "ying320.ime ying321.ime ying640.ime ying641.ime yzszsj43.yzh setupw64.exe "
      "yingcyzk.bak vivadidu.exe yinglum6.exe ";
  EXPECT_EQ(static_cast<int>(entry_count(payload)), verify(payload, changed));
  std::string report;
  verify(payload, nullptr, &report);
  EXPECT_NE(std::string::npos, report.find("yingcyzk.bak...."));
  EXPECT_EQ(std::string::npos, report.find("yingzu64.ime....")) << report;
  EXPECT_FALSE(file_exists(std::string(install_dir) + "ying320.ime"));
  const std::string library = read_file(std::string(install_dir) + "yingcyzk.bak");
  ASSERT_GE(library.size(), 12u);
  EXPECT_EQ("YING", library.substr(library.size() - 12, 4));

  EXPECT_TRUE(directory_exists(std::string(install_dir) + "filer"));
  expect_path_files(install_dir);
}

TEST(SetupRun, SilentKeyInCapitalsWithASlash) {
  start_clean();
  const setup_run run = run_setup_program(L"setup.exe", L"/KDCZXUMD27");
  EXPECT_EQ(0u, run.exit_code);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(run.installer_windows.empty());
  EXPECT_TRUE(file_exists(std::string(install_dir) + "yingzu4.ime"));
  expect_path_files(install_dir);
}

TEST(SetupRun, CompanionRecordsItsDirectoryOn64BitWindows6) {
  struct companion_case {
    const wchar_t* command_line;
    std::string recorded;
  } cases[] = {
      {L"regyz32=D:\\My Files", "D:\\My Files\\"},
      // The key test folds case, the parse does not: the default directory is recorded.
      {L"REGYZ32=D:\\x\\", install_dir},
      {L"dir=1 regyz32=D:\\x\\", install_dir},
      {L"regyz32=", "\\"},
  };
  for (const companion_case& c : cases) {
    start_clean();
    const std::wstring context = L"command line: " + std::wstring(c.command_line);
    // Earlier silent runs in this prefix have registered the product already.
    const size_t layouts_before = product_layout_entries().size();
    const setup_run run = run_setup_program(L"setupw64.exe", c.command_line);
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timed_out) << context;
    EXPECT_EQ(0u, run.exit_code) << context;
    if (windows_6() && expected_system.is_64bit) {
      ASSERT_EQ(1u, run.boxes.size()) << context;
      EXPECT_EQ(registered_text, run.boxes[0].text);
      EXPECT_EQ(L"智能映舟", run.boxes[0].caption);
      EXPECT_TRUE(run.boxes[0].has_ok);
      EXPECT_TRUE(run.installer_windows.empty()) << context;
      expect_path_files(c.recorded);
      // install_ime asked the input method manager, which entered the system directory's module.
      wchar_t system_dir[MAX_PATH] = {};
      GetSystemDirectoryW(system_dir, MAX_PATH);
      const std::wstring entry = product_layout_entry();
      ASSERT_NE(std::wstring::npos, entry.find(L'|')) << entry;
      EXPECT_EQ(0, lstrcmpiW((std::wstring(system_dir) + L"\\yingzu4.ime").c_str(),
                             entry.substr(0, entry.find(L'|')).c_str()))
          << entry;
    } else {
      // Elsewhere the key starts the window, and nothing is registered.
      EXPECT_TRUE(run.boxes.empty()) << context;
      EXPECT_EQ(layouts_before, product_layout_entries().size());
      ASSERT_EQ(1u, run.installer_windows.size()) << context;
      EXPECT_EQ(window_title(), run.installer_windows[0]);
      if (windows_6())
        expect_path_files(install_dir);
      else
        EXPECT_FALSE(file_exists(windows_path_file())) << "5.x: the probe writes nothing";
      break;  // one case shows it
    }
  }
}

TEST(SetupRun, NoCommandLineShowsTheWindow) {
  start_clean();
  const setup_run run = run_setup_program(L"setup.exe", L"");
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(0u, run.exit_code);
  EXPECT_TRUE(run.boxes.empty());
  ASSERT_EQ(1u, run.installer_windows.size());
  EXPECT_EQ(window_title(), run.installer_windows[0]);
}

TEST(SetupRun, MissingRightsStopEveryModeOnWindows6) {
  const wchar_t* command_lines[] = {L"kdczxumd27", L"", L"regyz32=D:\\x",
                                    L"kdczxumd27 regyz32=D:\\x"};
  for (const wchar_t* command_line : command_lines) {
    start_clean();
    // A directory in the path file's place: it can be neither written nor read.
    ASSERT_TRUE(CreateDirectoryA(windows_path_file().c_str(), nullptr));
    const setup_run run = run_setup_program(L"setup.exe", command_line);
    const std::wstring context = L"command line: " + std::wstring(command_line);
    EXPECT_FALSE(run.timed_out) << context;
    EXPECT_EQ(0u, run.exit_code);
    if (windows_6()) {
      ASSERT_EQ(1u, run.boxes.size()) << context;
      EXPECT_EQ(administrator_text, run.boxes[0].text);
      EXPECT_EQ(L"智能映舟", run.boxes[0].caption);
      EXPECT_TRUE(run.boxes[0].has_ok);
      EXPECT_FALSE(run.boxes[0].has_cancel);
      EXPECT_TRUE(run.installer_windows.empty());
      EXPECT_FALSE(directory_exists("C:\\Program Files\\yingzu"));
    } else {
      // 5.x has no such test: the command line decides as usual.
      EXPECT_TRUE(run.boxes.empty());
      const bool silent = std::wstring(command_line) == L"kdczxumd27";
      EXPECT_EQ(silent, file_exists(std::string(install_dir) + "yingzu4.ime"));
      EXPECT_EQ(silent ? 0u : 1u, run.installer_windows.size());
    }
  }
  start_clean();
}

TEST(SetupRun, AnAdvapi32BesideTheSetupIsNotLoaded) {
  start_clean();
  remove_tree("C:\\yzplant");
  ASSERT_TRUE(CreateDirectoryA("C:\\yzplant", nullptr));
  const std::wstring bin_wide = test_bin_dir();
  const std::string bin(bin_wide.begin(), bin_wide.end());
  ASSERT_TRUE(CopyFileA((bin + "setup.exe").c_str(), "C:\\yzplant\\setup.exe", FALSE));
  ASSERT_TRUE(CopyFileA((bin + "yzplant.dll").c_str(), "C:\\yzplant\\advapi32.dll", FALSE));
  DeleteFileA("C:\\yzplant_loaded.txt");
  const setup_run run = run_setup_program(L"C:\\yzplant\\setup.exe", L"kdczxumd27");
  EXPECT_EQ(0u, run.exit_code);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_FALSE(file_exists("C:\\yzplant_loaded.txt"));
  EXPECT_TRUE(file_exists(std::string(install_dir) + "yingzu4.ime"));
}
