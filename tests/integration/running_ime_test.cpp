// Detection of a running IME with real windows and a real file mapping. The IME's UI
// windows are top-level popups owned by the application's windows (GetParent gives the
// owner of a popup); EnumWindows sees top-level windows only.
#include "integration/running_ime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "setup/handles.h"
#include "setup/installer_state.h"
#include "tests/integration/test_system.h"

namespace {

const std::wstring heading_start = L"智能映舟安装软件检测到有下列 ";
const std::wstring heading_end = L" 个软件在使用智能映舟输入法:\r\n\r\n";
const std::wstring closing = L"\r\n\r\n请关闭上述软件后再继续安装！\r\n如无法关闭，则请重新启动机器后立即安装！";

std::wstring heading(int count) { return heading_start + std::to_wstring(count) + heading_end; }
std::wstring line(int number, const std::wstring& title) {
  return L"　　" + std::to_wstring(number) + L"：" + title + L"\r\n";
}

std::wstring message() { return reinterpret_cast<const wchar_t*>(state.work_buffer); }

class RunningIme : public testing::Test {
 protected:
  void SetUp() override {
    reset_installer_state();
    register_class(L"VIVORI");
  }
  void TearDown() override {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
    for (const std::wstring& name : classes_) UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
  }

  void register_class(const std::wstring& name) {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = name.c_str();
    ASSERT_NE(0, RegisterClassW(&window_class));
    classes_.push_back(name);
  }
  void unregister_class(const std::wstring& name) {
    ASSERT_TRUE(UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr)));
    classes_.erase(std::find(classes_.begin(), classes_.end(), name));
  }
  HWND make(const wchar_t* class_name, const std::wstring& title, DWORD style, HWND parent) {
    HWND window = CreateWindowExW(0, class_name, title.c_str(), style, 0, 0, 50, 50, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(nullptr, window);
    if (window) windows_.push_back(window);
    return window;
  }
  // An application's main window, unowned.
  HWND application(const std::wstring& title) { return make(L"STATIC", title, WS_OVERLAPPEDWINDOW, nullptr); }
  // A UI window of the IME as Windows creates it: a popup owned by a window of the program.
  HWND ime_window(HWND owner, const wchar_t* class_name = L"VIVORI") {
    return make(class_name, L"", WS_POPUP | WS_DISABLED, owner);
  }
  void bring_to_top(HWND window) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

 private:
  std::vector<HWND> windows_;
  std::vector<std::wstring> classes_;
};

TEST_F(RunningIme, NoImeWindowLeavesTheBufferAlone) {
  application(L"记事本");
  list_windows_using_ime();
  EXPECT_EQ(0, state.ime_window_count);
  EXPECT_EQ(L"", message());
}

TEST_F(RunningIme, TwoProgramsListedAsOneAndTwo) {
  const std::wstring notepad = L"记事本 - 无标题";
  const std::wstring wordpad = L"写字板";
  ime_window(application(notepad));
  // Through the program's default IME window, itself an owned popup.
  HWND wordpad_window = application(wordpad);
  ime_window(make(L"STATIC", L"Default IME", WS_POPUP | WS_DISABLED, wordpad_window));

  list_windows_using_ime();

  EXPECT_EQ(2, state.ime_window_count);
  const std::wstring in_one_order = heading(2) + line(1, notepad) + line(2, wordpad) + closing;
  const std::wstring in_the_other = heading(2) + line(1, wordpad) + line(2, notepad) + closing;
  EXPECT_TRUE(message() == in_one_order || message() == in_the_other) << testing::PrintToString(message());
}

TEST_F(RunningIme, WindowWithoutOwnerIsCountedWithoutALine) {
  const std::wstring program = L"浏览器";
  ime_window(application(program));
  bring_to_top(ime_window(nullptr));

  list_windows_using_ime();

  EXPECT_EQ(2, state.ime_window_count);
  // The ownerless window comes first from the top of the z-order; the line carries the
  // running count.
  EXPECT_EQ(heading(2) + line(2, program) + closing, message());
}

// GetParent gives the owner of a popup only: an owned window of another style is counted
// as having none.
TEST_F(RunningIme, OwnedWindowThatIsNoPopupHasNoLine) {
  make(L"VIVORI", L"", WS_OVERLAPPED, application(L"画图"));
  list_windows_using_ime();
  EXPECT_EQ(1, state.ime_window_count);
  EXPECT_EQ(heading(1) + closing, message());
}

// A child window is no top-level window, so EnumWindows never shows it.
TEST_F(RunningIme, ChildWindowIsNotSeen) {
  make(L"VIVORI", L"", WS_CHILD, application(L"画图"));
  list_windows_using_ime();
  EXPECT_EQ(0, state.ime_window_count);
}

TEST_F(RunningIme, LongTitleCutTo199Characters) {
  const std::wstring title(250, L'题');
  ime_window(application(title));

  list_windows_using_ime();

  EXPECT_EQ(heading(1) + line(1, title.substr(0, 199)) + closing, message());
}

TEST_F(RunningIme, ClassNameInOtherLetterCaseDoesNotCount) {
  // Class names are one atom whatever their case: the upper-case class must go first.
  unregister_class(L"VIVORI");
  register_class(L"vivori");
  ime_window(application(L"记事本"), L"vivori");

  list_windows_using_ime();

  EXPECT_EQ(0, state.ime_window_count);
  EXPECT_EQ(L"", message());
}

TEST_F(RunningIme, CountResetOnEveryCall) {
  ime_window(application(L"记事本"));
  list_windows_using_ime();
  list_windows_using_ime();
  EXPECT_EQ(1, state.ime_window_count);
  EXPECT_EQ(heading(1) + line(1, L"记事本") + closing, message());
}

// More windows than the message and the list have room for: the message keeps its
// 262,144 bytes and whole lines, the list its part of the work buffer.
TEST_F(RunningIme, MessageAndListKeepToTheirRoom) {
  const std::wstring title(250, L'窗');
  HWND program = application(title);
  constexpr int windows = 4500;
  for (int i = 0; i < windows; ++i) ASSERT_NE(nullptr, ime_window(program));

  list_windows_using_ime();

  EXPECT_EQ(windows, state.ime_window_count);
  const std::wstring text = message();
  EXPECT_LT(text.size(), 131072u);
  ASSERT_EQ(0, text.compare(0, heading(windows).size(), heading(windows)));
  ASSERT_GE(text.size(), closing.size());
  EXPECT_EQ(closing, text.substr(text.size() - closing.size()));
  std::wstring expected_lines;
  int lines = 0;
  while (heading(windows).size() + expected_lines.size() + line(lines + 1, title.substr(0, 199)).size() +
             closing.size() < 131072u)
    expected_lines += line(++lines, title.substr(0, 199));
  EXPECT_EQ(heading(windows) + expected_lines + closing, text);
  EXPECT_GT(lines, 500);

  // The list itself ends with the last whole line that fits its part of the buffer.
  const wchar_t* list = reinterpret_cast<const wchar_t*>(state.work_buffer + 0x44200);
  const size_t list_length = std::wcslen(list);
  EXPECT_LT(list_length, (work_buffer_size - 0x44200) / 2);
  EXPECT_EQ(L"\r\n", std::wstring(list + list_length - 2));
  EXPECT_GT(list_length, (work_buffer_size - 0x44200) / 2 - 250);
  EXPECT_TRUE(work_buffer_guard_intact());
}

TEST_F(RunningIme, NoWorkBufferCountsWithoutWriting) {
  ime_window(application(L"记事本"));
  state.work_buffer = nullptr;
  list_windows_using_ime();
  EXPECT_EQ(1, state.ime_window_count);
}

TEST(ImeDataInMemory, FileMappingPresentAndAbsent) {
  reset_installer_state();
  ime_data_in_memory();
  EXPECT_EQ(0, state.ime_window_count);
  {
    unique_kernel_handle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "vedirerozu"));
    ASSERT_TRUE(mapping);
    ime_data_in_memory();
    EXPECT_EQ(1, state.ime_window_count);
  }
  ime_data_in_memory();
  EXPECT_EQ(0, state.ime_window_count);
}

TEST(ImeDataInMemory, MappingWithoutWindowsGivesOnlyTheWarningCount) {
  reset_installer_state();
  unique_kernel_handle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "vedirerozu"));
  ASSERT_TRUE(mapping);
  list_windows_using_ime();
  EXPECT_EQ(0, state.ime_window_count);
  ime_data_in_memory();
  EXPECT_EQ(1, state.ime_window_count);
  EXPECT_EQ(L"", message());
}

TEST(ImeDataInMemory, OtherNameIsNotTheIme) {
  reset_installer_state();
  unique_kernel_handle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "vedirerozu2"));
  ASSERT_TRUE(mapping);
  ime_data_in_memory();
  EXPECT_EQ(0, state.ime_window_count);
}

}  // namespace
