// The shell and security entries in Wine's real registry and file system, with icacls
// itself started through WinExec.
#include "integration/shell_entries.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "integration/directory_security.h"
#include "integration/registry_names.h"
#include "integration/windows_family.h"
#include "setup/installer_state.h"
#include "tests/harness/message_boxes.h"
#include "tests/integration/registry_fixture.h"
#include "tests/integration/test_system.h"

namespace {

const std::string current_version = "Software\\Microsoft\\Windows\\CurrentVersion";
const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring uninstall_entry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\duzezuz";
const std::string user_agent = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent";
const std::string post_platform =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";

// Each test starts from the keys a Windows installation has, without the setup's entries.
class ShellEntries : public testing::Test {
 protected:
  void SetUp() override {
    reset_installer_state();
    reg::remove_tree(HKEY_LOCAL_MACHINE, run);
    reg::make_key(HKEY_LOCAL_MACHINE, run);
    reg::remove_tree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\duzezuz");
    reg::make_key(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    reg::remove_tree(HKEY_LOCAL_MACHINE, user_agent);
  }
};

TEST(RegistryNames, WholeStrings) {
  EXPECT_STREQ("System\\CurrentControlSet\\Control\\Keyboard Layouts", keyboard_layouts_key);
  EXPECT_STREQ("IME file", layout_ime_file_value);
  EXPECT_STREQ("layout file", layout_file_value);
  EXPECT_STREQ("layout text", layout_text_value);
  EXPECT_STREQ("keyboard layout", user_keyboard_layout_key);
  EXPECT_STREQ("preload", preload_subkey);
  EXPECT_STREQ("keyboard layout\\preload", user_preload_9x_key);
  EXPECT_STREQ(".DEFAULT\\keyboard layout", default_profile_keyboard_layout_key);
  EXPECT_STREQ("Software\\Microsoft\\Windows\\CurrentVersion", current_version_key);
  EXPECT_STREQ("Run", run_subkey);
  EXPECT_STREQ("yzyzsjgl", autostart_value);
  EXPECT_STREQ(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", uninstall_key);
  EXPECT_STREQ(L"duzezuz", uninstall_subkey);
  EXPECT_STREQ(L"DisplayName", display_name_value);
  EXPECT_STREQ(L"UninstallString", uninstall_string_value);
  EXPECT_STREQ("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent", user_agent_key);
  EXPECT_STREQ("Post Platform", post_platform_subkey);
  EXPECT_STREQ("lumo6300", first_version_token);
  EXPECT_STREQ("lumo7900", version_token);
}

TEST(WindowsFamily, HighBitOfGetVersionMeansWindows9x) {
  EXPECT_EQ(windows_family::win9x, family_of_version(0xC0000A04u));  // Windows 98
  EXPECT_EQ(windows_family::nt, family_of_version(0x1DB10106u));     // Windows 7
  EXPECT_EQ(windows_family::nt, family_of_version(0x0A280105u));     // Windows XP
  EXPECT_EQ(windows_family::nt, current_windows_family());
}

struct command_case {
  const char* install_dir;
  const char* command;
};

class AutostartCommand : public testing::TestWithParam<command_case> {};

TEST_P(AutostartCommand, QuotesTheProgramPath) {
  char command[command_capacity];
  ASSERT_TRUE(compose_autostart_command(GetParam().install_dir, command, sizeof command));
  EXPECT_STREQ(GetParam().command, command);
}

INSTANTIATE_TEST_SUITE_P(Directories, AutostartCommand,
                         testing::Values(command_case{"C:\\Program Files\\yingzu\\",
                                                      "\"C:\\Program Files\\yingzu\\vivadidu.exe\" yz"},
                                         command_case{"D:\\yz\\", "\"D:\\yz\\vivadidu.exe\" yz"},
                                         command_case{"D:\\智能映舟\\", "\"D:\\智能映舟\\vivadidu.exe\" yz"}));

TEST(AutostartCommandRoom, LongestDirectoryFitsAndASmallBufferIsRefused) {
  const std::string longest = "C:\\" + std::string(195, 'd') + "\\";
  ASSERT_EQ(199u, longest.size());
  char command[command_capacity];
  ASSERT_TRUE(compose_autostart_command(longest.c_str(), command, sizeof command));
  EXPECT_EQ("\"" + longest + "vivadidu.exe\" yz", std::string(command));
  char small[20];
  EXPECT_FALSE(compose_autostart_command("C:\\Program Files\\yingzu\\", small, sizeof small));
}

TEST_F(ShellEntries, AutostartValueReplacesTheEarlierOne) {
  reg::put(HKEY_LOCAL_MACHINE, run, "yzyzsjgl", "C:\\Program Files\\yingzu\\yinglumo.exe yz");
  reg::put(HKEY_LOCAL_MACHINE, run, "other program", "C:\\other.exe");
  const size_t values_before = reg::value_names(HKEY_LOCAL_MACHINE, run).size();
  char command[command_capacity];
  ASSERT_TRUE(compose_autostart_command("C:\\Program Files\\yingzu\\", command, sizeof command));

  write_autostart_value(command);

  EXPECT_EQ("\"C:\\Program Files\\yingzu\\vivadidu.exe\" yz", reg::get(HKEY_LOCAL_MACHINE, run, "yzyzsjgl"));
  const auto stored = reg::type_and_size(HKEY_LOCAL_MACHINE, run, "yzyzsjgl");
  ASSERT_TRUE(stored);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored->first);
  EXPECT_EQ("C:\\other.exe", reg::get(HKEY_LOCAL_MACHINE, run, "other program"));
  EXPECT_EQ(values_before, reg::value_names(HKEY_LOCAL_MACHINE, run).size());
}

TEST_F(ShellEntries, AutostartValueWrittenAsGivenIntoANewRunKey) {
  reg::remove_tree(HKEY_LOCAL_MACHINE, run);
  write_autostart_value("C:\\yz\\vivadidu.exe yz");
  EXPECT_EQ("C:\\yz\\vivadidu.exe yz", reg::get(HKEY_LOCAL_MACHINE, run, "yzyzsjgl"));
  EXPECT_EQ((std::vector<std::string>{"yzyzsjgl"}), reg::value_names(HKEY_LOCAL_MACHINE, run));
}

struct edition_case {
  int edition;
  const wchar_t* display_name;
};

class UninstallEntry : public ShellEntries, public testing::WithParamInterface<edition_case> {};

TEST_P(UninstallEntry, DisplayNameByEditionAndTheSystemUninstaller) {
  state.edition = GetParam().edition;
  write_uninstall_entry();
  EXPECT_EQ(GetParam().display_name, reg::get_wide(HKEY_LOCAL_MACHINE, uninstall_entry, L"DisplayName"));
  EXPECT_EQ(L"C:\\windows\\system32\\yingdel.exe",
            reg::get_wide(HKEY_LOCAL_MACHINE, uninstall_entry, L"UninstallString"));
  const std::string narrow_entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\duzezuz";
  for (const char* value : {"DisplayName", "UninstallString"}) {
    const auto stored = reg::type_and_size(HKEY_LOCAL_MACHINE, narrow_entry, value);
    ASSERT_TRUE(stored) << value;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored->first) << value;
  }
}

INSTANTIATE_TEST_SUITE_P(Editions, UninstallEntry,
                         testing::Values(edition_case{1, L"映舟拼音"}, edition_case{0, L"映舟五笔"},
                                         edition_case{2, L"映舟五笔"}));

TEST_F(ShellEntries, UninstallEntryRewrittenOnTheNextRun) {
  state.edition = 1;
  write_uninstall_entry();
  state.edition = 2;
  write_uninstall_entry();
  EXPECT_EQ(L"映舟五笔", reg::get_wide(HKEY_LOCAL_MACHINE, uninstall_entry, L"DisplayName"));
}

TEST_F(ShellEntries, NoUninstallKeyNoEntry) {
  reg::remove_tree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  write_uninstall_entry();
  EXPECT_FALSE(reg::exists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(ShellEntries, UserAgentTokenReplacesTheEarlierVersions) {
  reg::make_key(HKEY_LOCAL_MACHINE, user_agent);
  for (const char* token : {"lumo6300", "lumo6500", "lumo6800", "lumo7000", "lumo7800", "lumo7900"})
    reg::put(HKEY_LOCAL_MACHINE, post_platform, token, "");
  // Outside the two ranges that are removed, and another program's token.
  for (const char* token : {"lumo6200", "lumo6900", "SLCC2"}) reg::put(HKEY_LOCAL_MACHINE, post_platform, token, "");
  reg::put(HKEY_LOCAL_MACHINE, post_platform, "lumo7900", "old data");

  write_user_agent_token();

  std::vector<std::string> names = reg::value_names(HKEY_LOCAL_MACHINE, post_platform);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"SLCC2", "lumo6200", "lumo6900", "lumo7900"}), names);
  const auto token = reg::type_and_size(HKEY_LOCAL_MACHINE, post_platform, "lumo7900");
  ASSERT_TRUE(token);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), token->first);
  EXPECT_EQ(0u, token->second);
}

TEST_F(ShellEntries, UserAgentTokenCreatesPostPlatform) {
  reg::make_key(HKEY_LOCAL_MACHINE, user_agent);
  write_user_agent_token();
  EXPECT_EQ((std::vector<std::string>{"lumo7900"}), reg::value_names(HKEY_LOCAL_MACHINE, post_platform));
}

TEST_F(ShellEntries, NoUserAgentKeyNoToken) {
  write_user_agent_token();
  EXPECT_FALSE(reg::exists(HKEY_LOCAL_MACHINE, user_agent));
}

TEST_F(ShellEntries, NoMessageFromAnyEntry) {
  box_recorder recorder;
  write_autostart_value("x");
  write_uninstall_entry();
  write_user_agent_token();
  EXPECT_FALSE(grant_user_full_access("C:\\no such directory"));
  EXPECT_TRUE(recorder.boxes().empty());
}

struct integrity_case {
  const char* install_dir;
  const char* command;
};

class IntegrityCommand : public testing::TestWithParam<integrity_case> {};

TEST_P(IntegrityCommand, FullProgramPathAndTheDirectoryInQuotes) {
  char command[command_capacity];
  ASSERT_TRUE(compose_integrity_command(GetParam().install_dir, "C:\\windows\\system32", command, sizeof command));
  EXPECT_STREQ(GetParam().command, command);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, IntegrityCommand,
    testing::Values(
        integrity_case{"C:\\Program Files\\yingzu\\",
                       "\"C:\\windows\\system32\\icacls.exe\" \"C:\\Program Files\\yingzu\" /SetIntegrityLevel Level: L"},
        integrity_case{"C:\\Program Files\\yingzu",
                       "\"C:\\windows\\system32\\icacls.exe\" \"C:\\Program Files\\yingzu\" /SetIntegrityLevel Level: L"},
        integrity_case{"D:\\yz\\\\", "\"C:\\windows\\system32\\icacls.exe\" \"D:\\yz\\\" /SetIntegrityLevel Level: L"}));

TEST(IntegrityCommandRoom, SmallBufferIsRefused) {
  char small[40];
  EXPECT_FALSE(compose_integrity_command("C:\\Program Files\\yingzu\\", "C:\\windows\\system32", small, sizeof small));
}

std::wstring system_icacls() {
  wchar_t system_dir[MAX_PATH];
  GetSystemDirectoryW(system_dir, MAX_PATH);
  return std::wstring(system_dir) + L"\\icacls.exe";
}

std::vector<std::wstring> records_in(const std::wstring& folder) {
  std::vector<std::wstring> records;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.txt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return records;
  do {
    HANDLE file = CreateFileW((folder + L"\\" + found.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    std::wstring text(found.nFileSizeLow / 2, L'\0');
    DWORD read = 0;
    ReadFile(file, &text[0], found.nFileSizeLow, &read, nullptr);
    CloseHandle(file);
    records.push_back(text);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return records;
}

// Wine's own icacls accepts the command; what it does with the label is Wine's affair.
TEST_F(ShellEntries, IntegrityCommandStartsTheSystemsIcacls) {
  std::snprintf(state.install_dir, sizeof state.install_dir, "%s", "C:\\Program Files\\yingzu\\");
  CreateDirectoryA(state.install_dir, nullptr);
  EXPECT_TRUE(lower_integrity_level());
}

// Waits for the recorder's next record, however long the started process takes.
std::wstring next_record(const std::wstring& folder, size_t known) {
  for (int attempt = 0; attempt < 600; ++attempt) {
    std::vector<std::wstring> seen = records_in(folder);
    if (seen.size() > known) return seen.back();
    Sleep(100);
  }
  return L"";
}

// The system's icacls.exe replaced by a recorder, and another planted in the current
// directory, which Windows searches before System32 for a bare program name: a bare name
// would run the planted one; the setup's command runs the system's, with the whole text.
TEST_F(ShellEntries, IntegrityCommandNamesIcaclsByItsFullPath) {
  const std::wstring records = L"C:\\yz_records";
  const std::wstring planted = L"C:\\yz_planted";
  CreateDirectoryW(records.c_str(), nullptr);
  CreateDirectoryW(planted.c_str(), nullptr);
  ASSERT_TRUE(SetEnvironmentVariableW(L"YZ_COMMAND_RECORD", records.c_str()));
  // Wine runs its builtin icacls for a file in System32 unless the prefix asks for the
  // file itself.
  reg::put(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "icacls.exe", "native");
  const std::wstring recorder = test_bin_dir() + L"icacls_recorder.exe";
  ASSERT_TRUE(CopyFileW(recorder.c_str(), (planted + L"\\icacls.exe").c_str(), FALSE));
  // The earlier test's icacls may still be running from that file.
  bool replaced = false;
  for (int attempt = 0; attempt < 100 && !replaced; ++attempt) {
    replaced = CopyFileW(recorder.c_str(), system_icacls().c_str(), FALSE);
    if (!replaced) Sleep(100);
  }
  ASSERT_TRUE(replaced);
  wchar_t previous_dir[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous_dir);
  ASSERT_TRUE(SetCurrentDirectoryW(planted.c_str()));
  std::snprintf(state.install_dir, sizeof state.install_dir, "%s", "C:\\Program Files\\yingzu\\");
  CreateDirectoryA(state.install_dir, nullptr);

  const bool bare_started = WinExec("icacls.exe bare", SW_SHOW) > 31;
  const std::wstring bare = bare_started ? next_record(records, 0) : L"";
  const bool started = lower_integrity_level();
  const std::wstring full = started ? next_record(records, 1) : L"";
  SetCurrentDirectoryW(previous_dir);

  ASSERT_TRUE(bare_started);
  EXPECT_EQ(0, lstrcmpiW((planted + L"\\icacls.exe").c_str(), bare.substr(0, bare.find(L'\n')).c_str()))
      << testing::PrintToString(bare);
  ASSERT_TRUE(started);
  ASSERT_NE(std::wstring::npos, full.find(L'\n'));
  EXPECT_EQ(0, lstrcmpiW(system_icacls().c_str(), full.substr(0, full.find(L'\n')).c_str()))
      << testing::PrintToString(full);
  EXPECT_EQ(L"\"" + system_icacls() + L"\" \"C:\\Program Files\\yingzu\" /SetIntegrityLevel Level: L",
            full.substr(full.find(L'\n') + 1));
}

std::string current_user_sid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  unsigned char buffer[256];
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
  CloseHandle(token);
  char* text = nullptr;
  ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text);
  std::string sid = text ? text : "";
  LocalFree(text);
  return sid;
}

struct ace_seen {
  BYTE type;
  BYTE flags;
  DWORD mask;
  std::string sid;
};

std::vector<ace_seen> aces_of(PACL dacl) {
  std::vector<ace_seen> aces;
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    char* sid = nullptr;
    ConvertSidToStringSidA(&ace->SidStart, &sid);
    aces.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, sid ? sid : ""});
    LocalFree(sid);
  }
  return aces;
}

std::string user_name() {
  char name[200];
  DWORD size = sizeof name;
  GetUserNameA(name, &size);
  return name;
}

constexpr BYTE inherited_by_all = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

TEST(FullAccess, MergeAddsTheUsersInheritedEntryAndKeepsTheOthers) {
  // An old DACL that grants SYSTEM alone.
  EXPLICIT_ACCESSA system_only = {};
  char system_name[] = "SYSTEM";
  BuildExplicitAccessWithNameA(&system_only, system_name, GENERIC_READ, SET_ACCESS, NO_INHERITANCE);
  PACL old_dacl = nullptr;
  ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), SetEntriesInAclA(1, &system_only, nullptr, &old_dacl));
  unique_local_memory old_owner(old_dacl);

  unique_local_memory merged = merge_full_access(old_dacl, user_name().c_str());
  ASSERT_TRUE(merged);

  const std::vector<ace_seen> aces = aces_of(static_cast<PACL>(merged.get()));
  ASSERT_EQ(2u, aces.size());
  EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, aces[0].type);
  EXPECT_EQ(current_user_sid(), aces[0].sid);
  EXPECT_EQ(static_cast<DWORD>(GENERIC_ALL), aces[0].mask);
  EXPECT_EQ(inherited_by_all, aces[0].flags & inherited_by_all);
  EXPECT_EQ("S-1-5-18", aces[1].sid);
}

TEST(FullAccess, MergeRefusesANameThatIsNoAccount) {
  EXPECT_FALSE(merge_full_access(nullptr, "no such account here"));
}

// Wine keeps no DACL of its own on files: it reports one made from the file's Unix mode,
// in which the user already has full access. What can be seen is that every call
// succeeds and the user's entry is there, full and inherited.
TEST(FullAccess, RealDirectory) {
  const char* directory = "C:\\yz_full_access";
  CreateDirectoryA(directory, nullptr);

  EXPECT_TRUE(grant_user_full_access(directory));

  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
            GetNamedSecurityInfoA(directory, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                  nullptr, &descriptor));
  unique_local_memory descriptor_owner(descriptor);
  const std::vector<ace_seen> aces = aces_of(dacl);
  const std::string user = current_user_sid();
  EXPECT_TRUE(std::any_of(aces.begin(), aces.end(), [&](const ace_seen& ace) {
    return ace.type == ACCESS_ALLOWED_ACE_TYPE && ace.sid == user &&
           (ace.mask == GENERIC_ALL || (ace.mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS) &&
           (ace.flags & inherited_by_all) == inherited_by_all;
  }));
}

TEST(FullAccess, MissingPathFails) { EXPECT_FALSE(grant_user_full_access("C:\\yz_no_such_directory")); }

}  // namespace
