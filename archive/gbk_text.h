// GBK <-> UTF-8, for the POSIX side of the archive code and the host tool: archive names
// and the paths handed to file_io are GBK, Linux file names and terminals are UTF-8.
// Not built for Windows, where the ANSI functions take GBK as it is.
#pragma once

#include <cstddef>

// Both convert a zero-terminated text into out (capacity bytes, zero-terminated). False
// when the text is not valid in its encoding, has no form in the other, or does not fit.
bool gbk_to_utf8(const char* gbk, char* out, size_t capacity);
bool utf8_to_gbk(const char* utf8, char* out, size_t capacity);
