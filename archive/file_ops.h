// The two operations every writer of installed files goes through before it creates a
// file: make room by deleting, and when the file is in use, move it out of the way.
#pragma once

// Clears the file's read-only, hidden and system attributes and deletes it. Returns 0
// when no file is left at path (there was none, or it was deleted), -1 when a file is
// still there (typically because it is in use), or a directory stands at path.
int remove_file(const char* path);

// Moves a file that cannot be deleted to an alternative name: the fifth character from
// the end replaced by "2" (yingzu4.ime -> yingzu2.ime), else by "1"; a double-byte
// character there is replaced whole. Whatever stood under the alternative name is removed
// first. Returns 0 when the file was moved, -1 when both moves failed, no file stands at
// path, or the path is too short to have an alternative name.
int rename_aside(const char* path);
