#include "tests/harness/message_boxes.h"

#include <algorithm>
#include <chrono>

namespace {

box_recorder* active_recorder = nullptr;

bool is_box(HWND window) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  return lstrcmpW(class_name, L"#32770") == 0;
}

// At activation the box is not yet visible itself, so the buttons' own style decides.
bool has_button(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return button && (GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);
}

int first_button(const seen_box& box) {
  if (box.has_ok) return IDOK;
  if (box.has_yes) return IDYES;
  if (box.has_cancel) return IDCANCEL;
  return IDNO;
}

int next_answer(std::vector<int>& answers, const seen_box& box) {
  if (answers.empty()) return first_button(box);
  const int answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

struct box_search {
  DWORD process_id;  // 0: any process but this one
  std::vector<HWND> found;
};

BOOL CALLBACK collect_box(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<box_search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  const bool wanted = search->process_id ? owner == search->process_id : owner != GetCurrentProcessId();
  if (wanted && is_box(window) && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

}  // namespace

seen_box read_box(HWND box) {
  seen_box seen;
  wchar_t text[4096] = {};
  GetWindowTextW(box, text, 4096);
  seen.caption = text;
  text[0] = 0;
  // The message text is the static control 0xFFFF of the box.
  GetDlgItemTextW(box, 0xFFFF, text, 4096);
  seen.text = text;
  seen.has_ok = has_button(box, IDOK);
  seen.has_yes = has_button(box, IDYES);
  seen.has_no = has_button(box, IDNO);
  seen.has_cancel = has_button(box, IDCANCEL);
  return seen;
}

void answer_box(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

box_recorder::box_recorder(std::vector<int> answers) : answers_(std::move(answers)) {
  active_recorder = this;
  hook_ = SetWindowsHookExW(WH_CBT, on_cbt, nullptr, GetCurrentThreadId());
}

box_recorder::~box_recorder() {
  if (hook_) UnhookWindowsHookEx(hook_);
  active_recorder = nullptr;
}

LRESULT CALLBACK box_recorder::on_cbt(int code, WPARAM wparam, LPARAM lparam) {
  box_recorder* self = active_recorder;
  if (code == HCBT_ACTIVATE && self) {
    HWND window = reinterpret_cast<HWND>(wparam);
    // A box is activated again when another window closes; answer it once.
    if (is_box(window) && !GetPropW(window, L"yz.answered")) {
      SetPropW(window, L"yz.answered", reinterpret_cast<HANDLE>(1));
      seen_box seen = read_box(window);
      answer_box(window, next_answer(self->answers_, seen));
      self->boxes_.push_back(std::move(seen));
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

process_box_watcher::process_box_watcher(DWORD process_id, std::vector<int> answers)
    : process_id_(process_id), answers_(std::move(answers)), thread_([this] { watch(); }) {}

process_box_watcher::~process_box_watcher() { stop(); }

void process_box_watcher::stop() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<seen_box> process_box_watcher::boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

void process_box_watcher::watch() {
  std::vector<HWND> answered;
  while (!stopping_) {
    box_search s{process_id_, {}};
    EnumWindows(collect_box, reinterpret_cast<LPARAM>(&s));
    answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND w) { return !IsWindow(w); }),
                   answered.end());
    for (HWND box : s.found) {
      if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
      answered.push_back(box);
      seen_box seen = read_box(box);
      std::lock_guard<std::mutex> lock(mutex_);
      answer_box(box, next_answer(answers_, seen));
      boxes_.push_back(std::move(seen));
    }
    Sleep(50);
  }
}

std::wstring test_bin_dir() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir = path;
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

bool start_program(const std::wstring& program, const std::wstring& arguments,
                   PROCESS_INFORMATION* process) {
  const std::wstring path = program.find(L'\\') == std::wstring::npos ? test_bin_dir() + program : program;
  std::wstring command = L"\"" + path + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  *process = PROCESS_INFORMATION{};
  return CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, process);
}

program_run run_program(const std::wstring& program, const std::wstring& arguments,
                        std::vector<int> answers, DWORD timeout_ms) {
  program_run run;
  PROCESS_INFORMATION process;
  if (!start_program(program, arguments, &process)) return run;
  run.started = true;
  {
    // Boxes of the program and of what it starts (the 64-bit companion) are all seen.
    process_box_watcher watcher(0, std::move(answers));
    if (WaitForSingleObject(process.hProcess, timeout_ms) != WAIT_OBJECT_0) {
      run.timed_out = true;
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, 5000);
    }
    watcher.stop();
    run.boxes = watcher.boxes();
  }
  GetExitCodeProcess(process.hProcess, &run.exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
