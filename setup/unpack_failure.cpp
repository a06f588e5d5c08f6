#include "setup/unpack_failure.h"

#include <cstdio>

#include "setup/message_box.h"

namespace {

constexpr char unpack_failure_format[] = "没有成功解压复制%s文件！请重新下载安装。";
constexpr char unpack_failure_caption[] = "智能映舟安装";

}  // namespace

void show_unpack_failure(const char* entry_name) {
  // An entry name is at most 16 bytes; the buffer holds any name a damaged archive yields.
  char text[sizeof unpack_failure_format + 64];
  std::snprintf(text, sizeof text, unpack_failure_format, entry_name ? entry_name : "");
  show_message(text, unpack_failure_caption, MB_OK);
}
