// Whether the setup has the rights it needs. Windows 6 and later start a program as an
// ordinary user unless it is elevated; the test is whether the path file in the Windows
// directory can be rewritten.
#pragma once

// Reads state.previous_dir from the path file (on every system). On Windows 6 and later it
// then writes "yingisadmin\" into the path files, reads the Windows-directory copy back
// and writes state.install_dir again. True when the rights are missing: what was read
// back is not "yingisadmin" (a file that cannot be written or read counts as missing
// rights). False on Windows 5.x and earlier, where nothing is written.
bool administrator_probe();
