// Where the setup lets Windows look for DLLs. A setup runs from a download folder, where
// anyone may have left a DLL under a system DLL's name.
#pragma once

enum class dll_search { system_directory, no_current_directory, unchanged };

// Restricts later DLL loads to the system directory (SetDefaultDllDirectories) or, where
// that function is missing, takes the current directory out of the search (SetDllDirectoryA
// with ""). Both are looked up at run time: Windows NT 4 and 2000 lack them, and then
// nothing changes. Returns what was done.
dll_search restrict_dll_search();
