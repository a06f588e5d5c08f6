// Copies into the system directories, where the file being replaced may be a module
// Windows has loaded: such a file can be renamed but not overwritten.
#pragma once

// Where a system copy goes: copy_dir is the name the copy uses, shown_dir the name the
// user knows the directory by (they differ only for a 32-bit build reaching System32
// through "Sysnative"). Neither has a final backslash.
struct system_target {
  const char* copy_dir;
  const char* shown_dir;
};

// Copies source over copy_dir\name after clearing the target's attributes; when that
// fails, moves the target aside (rename_aside) and copies once more. When the second
// copy fails too, shows the copy-failure message naming shown_dir\name.
void system_copy(const char* source, const system_target& target, const char* name);

// As system_copy without moving aside: the message follows the first failure.
void uninstaller_copy(const char* source, const system_target& target, const char* name);
