// Drawing on the installer window from inside the install sequence, which runs within one
// click handler: these paint at once instead of waiting for the message loop.
#pragma once

// Draws the progress bar over the path line of main_window: red from x 30 to
// 30 + 340 * done / total (the full 340 when done exceeds total, none when total is 0)
// for done >= 1, the empty white bar over the full width for done <= 0; rows 191 to 217.
// Draws nothing in the silent mode or while there is no window.
void show_progress(int done, int total);

// Paints main_window's current page now. Nothing while there is no window.
void repaint_path_page();
