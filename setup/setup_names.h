// The names the setup core uses on disk and in its own executable, in one place.
#pragma once

// The path file, in the Windows directory and in the product folder of a fixed drive.
constexpr char path_file_name[] = "yingpath.yzh";
// The product's folder, below Program Files or at the root of a drive.
constexpr char product_folder[] = "yingzu\\";
// Where the default installation goes when the shell names no usable Program Files.
constexpr char fallback_program_files[] = "c:\\Program Files";
// Appended to the Windows directory; its existence marks 64-bit Windows.
constexpr char wow64_folder[] = "\\syswow64";
// The subdirectory of the installation directory that the product fills itself.
constexpr char filer_folder_format[] = "%sfiler\\";
// The payload resource of setup.exe.
constexpr char payload_type[] = "YZZ";
constexpr char payload_name[] = "RUZAVAR";
