// Tests see the setup's message boxes as a user does: the real box, its caption and text
// read from the window, then answered with a button.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <atomic>

struct seen_box {
  std::wstring caption;
  std::wstring text;
  // MB_OK, MB_YESNO ...: which buttons the box offered.
  bool has_ok = false, has_yes = false, has_no = false, has_cancel = false;
};

// Boxes shown by the calling thread (WH_CBT hook): each is recorded and answered with the
// next answer of the queue (IDOK, IDYES, IDNO ...), or with its first button when the
// queue is empty. Only one recorder may live at a time.
class box_recorder {
 public:
  explicit box_recorder(std::vector<int> answers = {});
  ~box_recorder();
  box_recorder(const box_recorder&) = delete;
  box_recorder& operator=(const box_recorder&) = delete;

  const std::vector<seen_box>& boxes() const { return boxes_; }

 private:
  static LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam);
  HHOOK hook_;
  std::vector<int> answers_;
  std::vector<seen_box> boxes_;
};

// Boxes of another process (setup.exe started by the test): a thread watches for them,
// records them and answers them as above.
class process_box_watcher {
 public:
  process_box_watcher(DWORD process_id, std::vector<int> answers = {});
  ~process_box_watcher();
  process_box_watcher(const process_box_watcher&) = delete;
  process_box_watcher& operator=(const process_box_watcher&) = delete;

  // Stops watching; afterwards boxes() is stable.
  void stop();
  std::vector<seen_box> boxes();

 private:
  void watch();
  DWORD process_id_;
  std::vector<int> answers_;
  std::vector<seen_box> boxes_;
  std::mutex mutex_;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// Reads a box window (class "#32770") into a seen_box.
seen_box read_box(HWND box);
// Presses the button with the given id (IDOK, IDYES ...) on a box.
void answer_box(HWND box, int button);

// A result of running a program as a user starts it.
struct program_run {
  bool started = false;
  DWORD exit_code = 0;
  std::vector<seen_box> boxes;
  bool timed_out = false;
};

// Starts a program (a sibling of the test executable when program has no directory) with
// its path quoted and the arguments after it, as a user's shell would.
bool start_program(const std::wstring& program, const std::wstring& arguments,
                   PROCESS_INFORMATION* process);

// Starts a program as start_program does, watches and answers its boxes, and waits for
// it to end.
program_run run_program(const std::wstring& program, const std::wstring& arguments,
                        std::vector<int> answers = {}, DWORD timeout_ms = 120000);
// The folder of the running test executable, with a final backslash.
std::wstring test_bin_dir();
