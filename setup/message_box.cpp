#include "setup/message_box.h"

int show_message(const char* text, const char* caption, UINT style) {
  return MessageBoxA(nullptr, text, caption, style);
}

int show_message(const wchar_t* text, const wchar_t* caption, UINT style) {
  return MessageBoxW(nullptr, text, caption, style);
}
