// show_progress on a real window under Xvfb: the bar's pixels read back from the window.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "setup/handles.h"
#include "setup/installer_state.h"
#include "ui/progress.h"

namespace {

constexpr COLORREF background = RGB(0, 128, 0);
constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF painted = RGB(0, 0, 255);

int paint_count = 0;

// Stands in for the installer window's painter: counts its paints and fills the page.
LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    unique_gdi_object brush(CreateSolidBrush(painted));
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(brush.get()));
    EndPaint(window, &paint);
    ++paint_count;
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

class Progress : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = on_message;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "progress_test";
    RegisterClassA(&window_class);
    RECT frame = {0, 0, 400, 310};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    window_ = CreateWindowExA(WS_EX_TOPMOST, "progress_test", "progress", WS_POPUP | WS_VISIBLE, 0, 0,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window_);
    UpdateWindow(window_);
    state.main_window = window_;
    state.run_mode = run_interactive;
  }
  void TearDown() override {
    state.main_window = nullptr;
    if (window_) DestroyWindow(window_);
  }
  void clear() {
    window_dc dc(window_);
    unique_gdi_object brush(CreateSolidBrush(background));
    RECT all = {0, 0, 400, 310};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get()));
    GdiFlush();
  }
  COLORREF pixel(int x, int y) {
    GdiFlush();
    window_dc dc(window_);
    return GetPixel(dc.get(), x, y);
  }
  HWND window_ = nullptr;
};

struct probe {
  int x, y;
  COLORREF colour;
};

struct progress_case {
  const char* name;
  int done, total;
  std::vector<probe> probes;
};

TEST_F(Progress, DrawsTheBarItsValuesAskFor) {
  const progress_case cases[] = {
      {"nothing done: the empty white bar", 0, 64,
       {{30, 191, black}, {369, 217, black}, {200, 205, white}, {368, 216, white}, {200, 190, background},
        {200, 218, background}, {371, 205, background}}},
      {"a quarter: red up to x 115", 16, 64,
       {{30, 191, black}, {31, 205, red}, {113, 205, red}, {114, 205, black}, {116, 205, background}}},
      {"all done", 64, 64, {{31, 192, red}, {368, 216, red}, {369, 205, black}, {370, 205, background}}},
      {"more than all: the full bar", 65, 64, {{368, 205, red}, {369, 205, black}, {370, 205, background}}},
      {"a negative count: the empty bar", -3, 64, {{200, 205, white}, {369, 205, black}}},
  };
  for (const progress_case& c : cases) {
    SCOPED_TRACE(c.name);
    clear();
    ASSERT_EQ(background, pixel(200, 205)) << "the window must show what is drawn on it";
    show_progress(c.done, c.total);
    for (const probe& p : c.probes)
      EXPECT_EQ(p.colour, pixel(p.x, p.y)) << "at " << p.x << "," << p.y;
  }
}

TEST_F(Progress, DrawsNothingInTheSilentMode) {
  clear();
  state.run_mode = run_silent;
  show_progress(64, 64);
  show_progress(0, 64);
  EXPECT_EQ(background, pixel(200, 205));
  EXPECT_EQ(background, pixel(30, 191));
}

TEST_F(Progress, DrawsNothingWithoutAWindow) {
  clear();
  state.main_window = nullptr;
  const int paints_before = paint_count;
  show_progress(64, 64);
  repaint_path_page();
  EXPECT_EQ(background, pixel(200, 205));
  EXPECT_EQ(paints_before, paint_count);
}

// The window's own painting runs at once, inside the call, not when messages are next read.
TEST_F(Progress, RepaintsTheWindowAtOnce) {
  clear();
  ASSERT_EQ(background, pixel(10, 10));
  const int paints_before = paint_count;
  repaint_path_page();
  EXPECT_EQ(paints_before + 1, paint_count);
  EXPECT_EQ(painted, pixel(10, 10));
  EXPECT_EQ(painted, pixel(399, 309));
}

}  // namespace
