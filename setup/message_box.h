// The one way the setup shows a message: a box with no owner window. GBK texts go
// through the ANSI box, UTF-16 texts through the wide one, as each message is written.
#pragma once

#include <windows.h>

int show_message(const char* text, const char* caption, UINT style);
int show_message(const wchar_t* text, const wchar_t* caption, UINT style);
