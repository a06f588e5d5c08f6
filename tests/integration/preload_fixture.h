// A clean registry for the preload tests: no Keyboard Layouts, no preload list of the
// user or of the default profile, until a test writes them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integration/windows_family.h"
#include "tests/integration/registry_fixture.h"
#include "tests/integration/test_system.h"

inline const std::string layouts = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
inline const std::string user_layout = "keyboard layout";
inline const std::string user_preload = "keyboard layout\\preload";
inline const std::string default_profile_layout = ".DEFAULT\\keyboard layout";
inline const std::string default_profile = ".DEFAULT\\keyboard layout\\preload";
inline constexpr char product_id[] = "e0010804";

inline bool big5() { return expected_system().code_page == 950; }

// Text in the system's code page, as the ANSI registry functions give it.
inline std::wstring as_wide(const char* bytes) {
  wchar_t text[512] = {};
  MultiByteToWideChar(CP_ACP, 0, bytes, -1, text, 512);
  return text;
}

// The product's layout text as this code page's registration writes it.
inline std::wstring product_text() { return big5() ? L"智能映舟輸入平台  7.9" : L"智能映舟输入平台  7.9"; }

// A layout text whose ANSI bytes are GBK on this system, as the checks look for them.
inline std::wstring gbk_product_text() { return as_wide("智能映舟输入平台  7.9"); }

inline void put_layout(const std::string& id, const std::wstring& text) {
  const std::string path = layouts + "\\" + id;
  reg::make_key(HKEY_LOCAL_MACHINE, path);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key));
  RegSetValueExW(key, L"layout text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * 2));
  RegCloseKey(key);
}

inline void put_list(windows_family family, const std::vector<std::string>& ids) {
  if (family == windows_family::win9x)
    reg::put_9x_list(HKEY_CURRENT_USER, user_preload, ids);
  else
    reg::put_nt_list(HKEY_CURRENT_USER, user_preload, ids);
}

inline std::vector<std::string> get_list(windows_family family) {
  return family == windows_family::win9x ? reg::get_9x_list(HKEY_CURRENT_USER, user_preload)
                                         : reg::get_nt_list(HKEY_CURRENT_USER, user_preload);
}

class preload_fixture : public testing::Test {
 protected:
  void SetUp() override {
    reset_installer_state();
    reg::remove_tree(HKEY_LOCAL_MACHINE, layouts);
    reg::remove_tree(HKEY_CURRENT_USER, user_layout);
    reg::remove_tree(HKEY_USERS, default_profile_layout);
  }
};
