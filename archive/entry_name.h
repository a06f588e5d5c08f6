// What may stand as the name of an archive entry, and where a path's name part begins.
// Names are GBK: a lead byte 0x81..0xFE takes the next byte (0x40..0xFE, not 0x7F) as its
// trail, and a trail byte may be 0x5C, the byte of "\", so names are walked character by
// character and never searched byte by byte.
#pragma once

#include <cstddef>

// A plain file name: not empty, valid GBK, no control bytes, no "\", "/" or ":" (on any
// system), not "." and without "..", and no Windows device name (CON, NUL, COM1 ... with
// any extension). Such a name joined to a directory names a file inside it.
bool is_plain_file_name(const char* name);

// The part of path after its last separator (file_io::is_separator; the whole path when
// it holds none).
const char* file_name_part(const char* path);

// Whether text ends in a path separator character (a trail byte 0x5C does not count).
bool ends_with_separator(const char* text);

// dir + name into out (capacity bytes). A separator is put between them when dir is not
// empty and does not already end with one. False when the result would not fit.
bool join_path(const char* dir, const char* name, char* out, size_t capacity);
