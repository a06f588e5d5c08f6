// Files as the tests see them: whole byte vectors read from and written to real paths of
// the Wine prefix, and the UTF-16LE texts the modules carry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using bytes = std::vector<unsigned char>;

// False when the file cannot be opened or read whole.
bool read_bytes(const std::string& path, bytes* out);
bytes read_bytes_or_empty(const std::string& path);
bool write_bytes(const std::string& path, const bytes& data);
bool is_file(const std::string& path);
bool is_directory(const std::string& path);

// The UTF-16LE bytes of a text, no terminator.
bytes utf16(const std::u16string& text);
void append(bytes* to, const bytes& what);
// Occurrences of the UTF-16LE form of text at any byte offset, aligned or not.
size_t count_utf16(const bytes& data, const std::u16string& text);

// What an ANSI box shows for GBK bytes: the bytes as the system's ANSI code page reads them.
std::wstring as_ansi_box_text(const std::string& gbk);
