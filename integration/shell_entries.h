// The entries that tie the installed product into Windows beyond the IME: autostart,
// the list of installed programs, the browser's user-agent token, and the installation
// directory's access for the user and its integrity level. None reports a failure to
// the user; an entry that cannot be written is left out.
#pragma once

#include <cstddef>

// Room for a command line: a directory of up to 199 characters with what surrounds it.
constexpr size_t command_capacity = 512;

// The autostart command for the manager program in install_dir (which ends with a
// backslash): the program path in double quotes, since Program Files holds a blank,
// then the argument yz. False when it does not fit into out.
bool compose_autostart_command(const char* install_dir, char* out, size_t size);

// HKLM ...\CurrentVersion\Run "yzyzsjgl" = command, replacing an earlier value.
void write_autostart_value(const char* command);

// HKLM ...\Uninstall\duzezuz: "DisplayName" by state.edition and "UninstallString" the
// system directory's yingdel.exe.
void write_uninstall_entry();

// HKLM ...\Internet Settings\User Agent\Post Platform: the earlier tokens lumo6300 to
// lumo6800 and lumo7000 to lumo7900 removed, then "lumo7900" as an empty text.
void write_user_agent_token();

// Adds full access for the current user, inherited by files and subdirectories, to the
// DACL of path. False when the DACL cannot be read, merged or set.
bool grant_user_full_access(const char* path);

// The icacls command that lowers the integrity level of install_dir: icacls.exe named by
// its full path in system_dir (a bare name would be searched for beside the setup
// first), the directory without its final backslash, both in double quotes. False when
// it does not fit into out.
bool compose_integrity_command(const char* install_dir, const char* system_dir, char* out,
                               size_t size);

// Starts that command for state.install_dir and does not wait for it. True when Windows
// started it.
bool lower_integrity_level();
