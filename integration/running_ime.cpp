#include "integration/running_ime.h"

#include <cstring>
#include <cwchar>

#include "setup/handles.h"
#include "setup/installer_state.h"

namespace {

constexpr char ime_window_class[] = "VIVORI";
constexpr char ime_data_mapping[] = "vedirerozu";
constexpr int class_name_bytes = 100;
constexpr int title_chars = 200;

constexpr wchar_t heading_format[] = L"智能映舟安装软件检测到有下列 %d 个软件在使用智能映舟输入法:\r\n\r\n";
constexpr wchar_t line_format[] = L"　　%d：";
constexpr wchar_t line_end[] = L"\r\n";
constexpr wchar_t closing_text[] =
    L"\r\n\r\n请关闭上述软件后再继续安装！\r\n如无法关闭，则请重新启动机器后立即安装！";

// Regions of the work buffer, in bytes: the message, one line's scratch, the list.
constexpr size_t message_offset = 0;
constexpr size_t scratch_offset = 0x40000;
constexpr size_t list_offset = 0x44200;
constexpr size_t message_chars = (scratch_offset - message_offset) / sizeof(wchar_t);
constexpr size_t scratch_chars = (list_offset - scratch_offset) / sizeof(wchar_t);
constexpr size_t list_chars = (work_buffer_size - list_offset) / sizeof(wchar_t);

// Owner chains cannot loop as Windows builds them, but an owner set through
// SetWindowLongPtr can; the climb gives up long before any real chain ends.
constexpr int climb_limit = 1000;

wchar_t* region(size_t offset) {
  return state.work_buffer ? reinterpret_cast<wchar_t*>(state.work_buffer + offset) : nullptr;
}

// A UTF-16 text in a region of fixed room (terminator included).
struct wide_area {
  wchar_t* text;
  size_t room;
  size_t length;

  void clear() {
    length = 0;
    if (text && room) text[0] = 0;
  }
  // Appends the whole of what is given, or nothing when it would not fit.
  bool append(const wchar_t* more, size_t count) {
    if (!text || count >= room - length) return false;
    std::wmemcpy(text + length, more, count);
    length += count;
    text[length] = 0;
    return true;
  }
  bool append(const wchar_t* more) { return append(more, std::wcslen(more)); }
};

wide_area window_list{nullptr, list_chars, 0};

// The end of the last whole line of the list that fits into room characters.
size_t whole_lines_within(const wide_area& list, size_t room) {
  if (list.length <= room) return list.length;
  for (size_t end = room; end >= 2; --end)
    if (list.text[end - 2] == L'\r' && list.text[end - 1] == L'\n') return end;
  return 0;
}

void compose_message() {
  wide_area message{region(message_offset), message_chars, 0};
  if (!message.text) return;
  std::swprintf(message.text, message.room, heading_format, state.ime_window_count);
  message.length = std::wcslen(message.text);
  const size_t closing = std::wcslen(closing_text);
  const size_t room_for_list = message.room - 1 - message.length - closing;
  message.append(window_list.text, whole_lines_within(window_list, room_for_list));
  message.append(closing_text, closing);
}

}  // namespace

void list_windows_using_ime() {
  window_list.text = region(list_offset);
  window_list.clear();
  state.ime_window_count = 0;
  EnumWindows(on_enum_window, 0);
  if (state.ime_window_count == 0) return;
  compose_message();
}

BOOL CALLBACK on_enum_window(HWND window, LPARAM) {
  char class_name[class_name_bytes] = {};
  GetClassNameA(window, class_name, class_name_bytes);
  if (lstrcmpA(class_name, ime_window_class) == 0) {
    ++state.ime_window_count;
    append_owner_title(window);
  }
  return TRUE;
}

void append_owner_title(HWND window) {
  HWND top = GetParent(window);
  if (!top) return;
  for (int step = 0; step < climb_limit; ++step) {
    HWND up = GetParent(top);
    if (!up) break;
    top = up;
  }
  wide_area line{region(scratch_offset), scratch_chars, 0};
  if (!line.text) return;
  std::swprintf(line.text, line.room, line_format, state.ime_window_count);
  line.length = std::wcslen(line.text);
  wchar_t title[title_chars] = {};
  GetWindowTextW(top, title, title_chars);
  line.append(title);
  line.append(line_end);
  // A line that does not fit is left out whole, not cut.
  window_list.text = region(list_offset);
  window_list.append(line.text, line.length);
}

void ime_data_in_memory() {
  state.ime_window_count = 0;
  unique_kernel_handle mapping(OpenFileMappingA(FILE_MAP_WRITE, TRUE, ime_data_mapping));
  if (mapping) state.ime_window_count = 1;
}
