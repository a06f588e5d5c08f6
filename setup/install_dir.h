// Where the product goes: the default installation directory under Program Files, and the
// small file-system questions the setup asks about directories and drives. Texts are ANSI
// (the system's code page, GBK or Big5) in buffers of text_capacity bytes.
#pragma once

#include "setup/installer_state.h"

// The drive root followed by "yingzu\", or the empty text.
struct fixed_drive_dir {
  char text[16];
};

// Returns state.install_dir, computing the default first unless it already holds a
// drive-rooted directory (a letter, ":" and "\"); anything else, a UNC or a relative path
// included, is replaced by the default: the Program Files folder + "yingzu\".
const char* default_install_dir();

// The default below a Program Files folder as the shell reported it (null when the lookup
// failed): the folder cut at its first "(" and stripped of trailing blanks, so that
// "C:\Program Files (x86)" serves as "C:\Program Files"; "c:\Program Files" when the cut
// folder does not exist or the result would not fit; then a backslash and "yingzu\".
void default_dir_under(const char* program_files, char (&out)[text_capacity]);

// Whether a file or directory of that name can be opened for reading.
bool path_exists(const char* path);

// The Windows directory followed by "\syswow64", whether that exists or not; the empty
// text when the Windows directory cannot be told.
void wow64_system_dir(char (&out)[text_capacity]);

// The first of g:, f:, e:, d:, c: that is a fixed drive, as "d:\yingzu\"; empty when none.
fixed_drive_dir first_fixed_drive_dir();

// Whether the ANSI text ends with a backslash character. The trail byte of a double-byte
// character may be 0x5C (Big5 "許" is B3 5C), so the text is walked character by character.
bool ends_with_backslash(const char* text);

// Appends a backslash unless the text ends with one; when the text already fills the
// buffer, its last character gives way to the backslash.
void append_backslash(char (&text)[text_capacity]);
