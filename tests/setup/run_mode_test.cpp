// The run mode as the command line and the system choose it.
#include "setup/run_mode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/installer_state.h"
#include "setup/windows_version.h"
#include "tests/setup/setup_test_support.h"

namespace {

enum class key { none, silent, register_companion };

struct run_mode_case {
  const char* command_line;
  key effective;  // which key counts on a system where both modes exist
};

const run_mode_case run_mode_cases[] = {
    {"", key::none},
    {"kdczxumd27", key::silent},
    {"/kdczxumd27", key::silent},
    {"KDCZXUMD27", key::silent},
    {"-x KdCzXuMd27 -y", key::silent},
    {"setupkdczxumd27now", key::silent},
    {"kdczxumd2", key::none},
    {"kdczxumd 27", key::none},
    {"regyz32=D:\\x\\", key::register_companion},
    {"REGYZ32=D:\\x\\", key::register_companion},
    {"dir=1 regyz32=D:\\x\\", key::register_companion},
    {"regyz32", key::register_companion},
    {"kdczxumd27 regyz32=D:\\x\\", key::register_companion},
    {"regyz32=D:\\x\\ KDCZXUMD27", key::register_companion},
};

startup_path expected_path(key effective) {
  if (effective == key::silent) return startup_path::silent;
  // The registration mode exists only on 64-bit Windows 6 and later; elsewhere its key
  // leads to the window.
  if (effective == key::register_companion && expected_system.major >= 6 &&
      expected_system.is_64bit)
    return startup_path::register_companion;
  return startup_path::interactive;
}

}  // namespace

TEST(RunMode, CommandLinesOnThisSystem) {
  for (const run_mode_case& c : run_mode_cases) {
    state = installer_state{};
    state.run_mode = run_interactive;
    const startup_path path = choose_run_mode(c.command_line);
    EXPECT_EQ(expected_path(c.effective), path) << "command line: " << c.command_line;
    // Only the silent key alone makes run_mode 3; both keys leave the interactive value.
    EXPECT_EQ(c.effective == key::silent ? run_silent : run_interactive, state.run_mode)
        << "command line: " << c.command_line;
    EXPECT_EQ(expected_system.major, state.os_major) << "command line: " << c.command_line;
  }
}

TEST(RunMode, Is64BitWindowsTellsTheSystem) {
  state = installer_state{};
  EXPECT_EQ(expected_system.major >= 6 && expected_system.is_64bit, is_64bit_windows());
  EXPECT_EQ(expected_system.major, state.os_major);
  if (expected_system.major >= 6)
    EXPECT_EQ(windows_dir() + "\\syswow64", state.wow64_dir);
  else
    EXPECT_STREQ("", state.wow64_dir) << "Windows 5.x is never asked for its WOW64 folder";
}

TEST(Regyz32Argument, ParseCases) {
  const std::string long_dir(250, 'a');
  struct parse_case {
    std::string command_line;
    std::string install_dir;  // afterwards; "=" means unchanged
  } cases[] = {
      {"regyz32=D:\\x\\", "D:\\x\\"},
      {"regyz32=D:\\My Files", "D:\\My Files"},
      {"regyz32=D:\\My Files  ", "D:\\My Files  "},
      {"REGYZ32=D:\\x\\", "="},
      {"dir=1 regyz32=D:\\x\\", "="},
      {"regyz32=", ""},
      {"regyz32", "="},
      {"regyz3", "="},
      {"kdczxumd27 regyz32=E:\\y\\", "E:\\y\\"},
      {"", "="},
      {"regyz32=" + long_dir, long_dir.substr(0, text_capacity - 1)},
  };
  const char default_dir[] = "C:\\Program Files\\yingzu\\";
  for (const parse_case& c : cases) {
    state = installer_state{};
    std::strcpy(state.install_dir, default_dir);
    std::memset(state.previous_dir, 'P', sizeof state.previous_dir);
    parse_regyz32_argument(c.command_line.c_str());
    EXPECT_EQ(c.install_dir == "=" ? std::string(default_dir) : c.install_dir, state.install_dir)
        << "command line: " << c.command_line;
    // The member after install_dir is never written, however long the argument.
    EXPECT_EQ(std::string(sizeof state.previous_dir, 'P'),
              std::string(state.previous_dir, sizeof state.previous_dir))
        << "command line: " << c.command_line;
  }
}
