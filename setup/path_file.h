// The path file "yingpath.yzh": how the product's own programs learn where the product is.
// It holds the installation directory as ANSI text ending with a backslash, with no
// terminator and no line end, in the Windows directory and, on Windows 6 and later, also
// in the folder yingzu at the root of the first fixed drive.
#pragma once

#include "setup/installer_state.h"

// Fills target (previous_dir or install_dir) from the Windows-directory path file, cut to
// text_capacity - 1 bytes; leaves it unchanged when there is no readable file.
void read_path_file(char (&target)[text_capacity]);

// Makes state.install_dir end with a backslash, then writes it into the path file or
// files. Failures are not reported: the product then finds an older or no path file.
void write_path_files();
