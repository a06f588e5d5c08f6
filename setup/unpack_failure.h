// What the user sees when one file of an archive could not be unpacked.
#pragma once

// Shows "没有成功解压复制<name>文件！请重新下载安装。" in the ANSI box, caption
// "智能映舟安装", OK. Fits entry_failure_fn, for extract_archive.
void show_unpack_failure(const char* entry_name);
