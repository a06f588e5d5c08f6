// Relabelling older module builds with the current version, so that every module the
// setup places carries the text the IME is installed under: "智能映舟输入平台  7.9".
#pragma once

// Rewrites, at every occurrence (aligned or not) of the UTF-16LE product name followed by
// a space, any character and "6.3" or "6.7", the version to "7.9"; only the low bytes of
// the version characters are compared and written. The file is read into work_buffer and
// written back at its own length. Silent; the file stays untouched when work_buffer is
// missing, the file cannot be opened for reading and writing, is longer than 131,072
// bytes, or cannot be read whole. A missing file is not created.
void patch_version_label(const char* path);
