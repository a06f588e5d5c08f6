#include "deploy/system_copy.h"

#include <windows.h>

#include <cstdio>

#include "archive/file_ops.h"
#include "setup/message_box.h"

namespace {

constexpr char copy_failed_format[] =
    "没有成功复制%s文件，请退出安装程序并手动删除该文件后重新安装！";
constexpr char copy_failed_caption[] = "智能映舟(映舟五笔)安装";

// A directory whose name could not be read is no directory: never the drive's root.
bool system_path(char* out, size_t capacity, const char* dir, const char* name) {
  if (dir[0] == 0) return false;
  const int written = std::snprintf(out, capacity, "%s\\%s", dir, name);
  return written >= 0 && static_cast<size_t>(written) < capacity;
}

bool copy_over(const char* source, const char* target) {
  SetFileAttributesA(target, FILE_ATTRIBUTE_ARCHIVE);
  return CopyFileA(source, target, FALSE) != 0;
}

void show_copy_failed(const system_target& target, const char* name) {
  char shown[MAX_PATH];
  if (!system_path(shown, sizeof shown, target.shown_dir, name)) shown[0] = 0;
  char text[sizeof copy_failed_format + MAX_PATH];
  std::snprintf(text, sizeof text, copy_failed_format, shown);
  show_message(text, copy_failed_caption, MB_OK);
}

}  // namespace

void system_copy(const char* source, const system_target& target, const char* name) {
  char path[MAX_PATH];
  if (system_path(path, sizeof path, target.copy_dir, name)) {
    if (copy_over(source, path)) return;
    rename_aside(path);
    if (CopyFileA(source, path, FALSE)) return;
  }
  show_copy_failed(target, name);
}

void uninstaller_copy(const char* source, const system_target& target, const char* name) {
  char path[MAX_PATH];
  if (system_path(path, sizeof path, target.copy_dir, name) && copy_over(source, path)) return;
  show_copy_failed(target, name);
}
