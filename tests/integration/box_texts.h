// What a user reads in a box whose text the setup passes as GBK bytes to MessageBoxA:
// the text itself under code page 936, the GBK bytes read as the system's code page
// elsewhere.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring as_ansi_box_shows(const std::wstring& text, const std::string& gbk_bytes) {
  if (GetACP() == 936) return text;
  wchar_t shown[1024] = {};
  MultiByteToWideChar(CP_ACP, 0, gbk_bytes.c_str(), -1, shown, 1024);
  return shown;
}
