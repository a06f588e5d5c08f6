#include "ui/progress.h"

#include <windows.h>

#include "setup/handles.h"
#include "setup/installer_state.h"

namespace {

// progress_box: x 30, y 188, width 340, height 30; the bar leaves its top 3 rows free.
constexpr int bar_left = 30;
constexpr int bar_top = 188 + 3;
constexpr int bar_width = 340;
constexpr int bar_bottom = 188 + 30;
constexpr COLORREF progress_colour = RGB(255, 0, 0);

int bar_fill(int done, int total) {
  if (total == 0) return 0;
  if (total < done) return bar_width;
  // 64-bit, so that a large done cannot overflow on the way.
  return static_cast<int>(static_cast<long long>(bar_width) * done / total);
}

}  // namespace

void show_progress(int done, int total) {
  if (state.run_mode == run_silent || !state.main_window) return;
  window_dc dc(state.main_window);
  if (!dc) return;
  if (done >= 1) {
    unique_gdi_object brush(CreateSolidBrush(progress_colour));
    if (!brush) return;
    selected_object selected(dc.get(), brush.get());
    Rectangle(dc.get(), bar_left, bar_top, bar_left + bar_fill(done, total), bar_bottom);
  } else {
    selected_object selected(dc.get(), GetStockObject(WHITE_BRUSH));
    Rectangle(dc.get(), bar_left, bar_top, bar_left + bar_width, bar_bottom);
  }
}

void repaint_path_page() {
  if (!state.main_window) return;
  InvalidateRect(state.main_window, nullptr, TRUE);
  UpdateWindow(state.main_window);
}
