// What the executables carry: manifest, icon, version label and the payload.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "setup/installer_state.h"
#include "setup/payload_resource.h"
#include "tests/setup/setup_test_support.h"

namespace {

std::wstring bin_file(const wchar_t* name) { return test_bin_dir() + name; }

std::string narrow(const std::wstring& wide) { return std::string(wide.begin(), wide.end()); }

// A module loaded as data, for its resources.
struct data_module {
  explicit data_module(const std::wstring& path)
      : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~data_module() {
    if (module) FreeLibrary(module);
  }
  HMODULE module;
};

std::string resource_text(HMODULE module, const char* name, const char* type) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return std::string();
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
  return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

BOOL CALLBACK count_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::wstring*>(param)->push_back(static_cast<wchar_t>(language));
  return TRUE;
}

std::wstring languages_of(HMODULE module, const char* type, const char* name) {
  std::wstring languages;
  EnumResourceLanguagesA(module, type, name, count_language,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

BOOL CALLBACK count_name(HMODULE, LPCSTR, LPSTR, LONG_PTR param) {
  ++*reinterpret_cast<int*>(param);
  return TRUE;
}

// The version labels as the install's relabelling looks for them: the UTF-16LE product
// name, a blank, one more character, then major digit, point, minor digit. The program
// carries one in its version resource and the layout text it installs the IME under.
std::vector<std::string> label_versions(const std::string& bytes) {
  const std::wstring name = L"智能映舟输入平台";
  const std::string pattern(reinterpret_cast<const char*>(name.data()), name.size() * 2);
  std::vector<std::string> versions;
  for (size_t p = bytes.find(pattern); p != std::string::npos && p + 26 <= bytes.size();
       p = bytes.find(pattern, p + 1)) {
    // The bare name (the relabelling's own search text) is no label.
    const size_t q = p + 16;
    if (bytes[q] == 0x20 && bytes[q + 1] == 0)
      versions.push_back(std::string{bytes[q + 4], bytes[q + 6], bytes[q + 8]});
  }
  return versions;
}

std::wstring file_description(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::string info(size, 0);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, &info[0])) return std::wstring();
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(&info[0], L"\\StringFileInfo\\080404b0\\FileDescription", &value, &length))
    return std::wstring();
  return std::wstring(static_cast<const wchar_t*>(value));
}

// The DLL names in the import table of a PE file, read from its bytes.
std::vector<std::string> imported_dlls(const std::string& file) {
  std::vector<std::string> names;
  if (file.size() < sizeof(IMAGE_DOS_HEADER)) return names;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
  const size_t nt_at = static_cast<size_t>(dos->e_lfanew);
  if (nt_at + sizeof(IMAGE_NT_HEADERS64) > file.size()) return names;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + nt_at);
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  const auto offset_of = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
      if (rva >= sections[i].VirtualAddress &&
          rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
        return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
    return 0;
  };
  const DWORD imports_rva =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t at = offset_of(imports_rva);
       at && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= file.size();
       at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(file.data() + at);
    if (descriptor->Name == 0) break;
    const size_t name_at = offset_of(descriptor->Name);
    if (name_at == 0 || name_at >= file.size()) break;
    std::string name = file.c_str() + name_at;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    names.push_back(name);
  }
  return names;
}

}  // namespace

TEST(Resources, ProgramsNeedOnlyWhatEveryWindowsCarries) {
  // A setup is started on a bare system: zlib and the C++ runtime are linked in.
  const std::set<std::string> system_dlls = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                             "advapi32.dll", "imm32.dll",  "shell32.dll",
                                             "msvcrt.dll"};
  for (const wchar_t* program : {L"setup.exe", L"setupw64.exe"}) {
    const std::vector<std::string> dlls = imported_dlls(read_file(narrow(bin_file(program))));
    EXPECT_FALSE(dlls.empty()) << narrow(program);
    for (const std::string& dll : dlls)
      EXPECT_EQ(1u, system_dlls.count(dll)) << narrow(program) << " imports " << dll;
  }
}

TEST(Resources, ManifestRequiresAdministratorOnce) {
  for (const wchar_t* program : {L"setup.exe", L"setupw64.exe"}) {
    data_module exe(bin_file(program));
    ASSERT_NE(nullptr, exe.module);
    const std::string manifest =
        resource_text(exe.module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""))
        << narrow(program);
    EXPECT_NE(std::string::npos, manifest.find("uiAccess=\"false\"")) << narrow(program);
    // One manifest only: no toolchain default beside ours.
    int manifests = 0;
    EnumResourceNamesA(exe.module, MAKEINTRESOURCEA(24), count_name,
                       reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(1, manifests) << narrow(program);
    EXPECT_EQ(1u, languages_of(exe.module, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1)).size());
  }
}

TEST(Resources, IconYingzu) {
  data_module exe(bin_file(L"setup.exe"));
  ASSERT_NE(nullptr, exe.module);
  EXPECT_FALSE(resource_text(exe.module, "yingzu", MAKEINTRESOURCEA(14)).empty());
  HICON icon = static_cast<HICON>(LoadImageA(exe.module, "yingzu", IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(nullptr, icon);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap = {};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  EXPECT_EQ(32, bitmap.bmWidth);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

TEST(Resources, SetupCarriesThisBuildsPayloadInChineseSimplified) {
  const std::string built = read_file(narrow(test_bin_dir()) + "ruzavar.yzz");
  ASSERT_GT(built.size(), 10u);
  data_module exe(bin_file(L"setup.exe"));
  ASSERT_NE(nullptr, exe.module);
  EXPECT_EQ(std::wstring(1, wchar_t(2052)), languages_of(exe.module, "YZZ", "RUZAVAR"));

  state = installer_state{};
  ASSERT_TRUE(lock_payload_resource(exe.module));
  ASSERT_NE(nullptr, state.payload);
  EXPECT_EQ(built.size(), state.payload_size);
  EXPECT_EQ(built, std::string(reinterpret_cast<const char*>(state.payload), state.payload_size));
  release_payload_resource();
  EXPECT_EQ(nullptr, state.payload);
  EXPECT_EQ(0u, state.payload_size);
}

TEST(Resources, CompanionCarriesNoPayload) {
  data_module exe(bin_file(L"setupw64.exe"));
  ASSERT_NE(nullptr, exe.module);
  state = installer_state{};
  EXPECT_FALSE(lock_payload_resource(exe.module));
  EXPECT_EQ(nullptr, state.payload);
  EXPECT_EQ(0u, state.payload_size);
}

TEST(Resources, VersionLabels) {
  struct label_case {
    const wchar_t* program;
    std::vector<std::string> versions;
    const wchar_t* description;
  } cases[] = {
      // The companion's own label waits for the install to relabel it; the IME's layout
      // text is the current version already.
      {L"setupw64.exe", {"7.9", "6.7"}, L"智能映舟输入平台  6.7"},
      {L"setup.exe", {"7.9", "7.9"}, L"智能映舟输入平台  7.9"},
  };
  for (const label_case& c : cases) {
    const std::string bytes = read_file(narrow(bin_file(c.program)));
    std::vector<std::string> versions = label_versions(bytes);
    std::sort(versions.begin(), versions.end(), std::greater<std::string>());
    EXPECT_EQ(c.versions, versions) << narrow(c.program);
    EXPECT_EQ(c.description, file_description(bin_file(c.program))) << narrow(c.program);
    // The install relabels only files it can read whole into 131072 bytes.
    if (std::wstring(c.program) == L"setupw64.exe") {
      EXPECT_LE(bytes.size(), 131072u) << "the companion has outgrown its relabelling";
    }
  }
}

TEST(Resources, PayloadCarriesThisCompanion) {
  const std::string companion = read_file(narrow(bin_file(L"setupw64.exe")));
  ASSERT_FALSE(companion.empty());
  const std::string payload = read_file(narrow(test_bin_dir()) + "ruzavar.yzz");
  std::string work(work_buffer_size, 0);
  const size_t n = extract_entry_length(
      byte_span{reinterpret_cast<const unsigned char*>(payload.data()), payload.size()},
      "setupw64.exe", mutable_byte_span{reinterpret_cast<unsigned char*>(&work[0]), work.size()});
  EXPECT_EQ(companion.size(), n);
  EXPECT_TRUE(work.compare(100, n, companion) == 0) << "the payload's setupw64.exe is this build's";
}
