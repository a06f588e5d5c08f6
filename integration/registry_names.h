// Every registry key and value name the setup reads or writes, spelt once.
#pragma once

// The system's keyboard layouts, one subkey per layout id (HKEY_LOCAL_MACHINE).
constexpr char keyboard_layouts_key[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char layout_ime_file_value[] = "IME file";
constexpr char layout_file_value[] = "layout file";
constexpr char layout_text_value[] = "layout text";

// A user's preload list. NT family: values "1" ... under keyboard layout\preload of
// HKEY_CURRENT_USER, and of the default profile under HKEY_USERS. Windows 9x family:
// subkeys "1" ... of the current user's keyboard layout\preload, each with a default value.
constexpr char user_keyboard_layout_key[] = "keyboard layout";
constexpr char preload_subkey[] = "preload";
constexpr char user_preload_9x_key[] = "keyboard layout\\preload";
constexpr char default_profile_keyboard_layout_key[] = ".DEFAULT\\keyboard layout";

// Autostart of the manager program (HKEY_LOCAL_MACHINE).
constexpr char current_version_key[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char run_subkey[] = "Run";
constexpr char autostart_value[] = "yzyzsjgl";

// The entry in the list of installed programs, written with the wide functions.
constexpr wchar_t uninstall_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t uninstall_subkey[] = L"duzezuz";
constexpr wchar_t display_name_value[] = L"DisplayName";
constexpr wchar_t uninstall_string_value[] = L"UninstallString";

// The browser's user-agent tokens; earlier versions left lumo6300 ... lumo7800.
constexpr char user_agent_key[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent";
constexpr char post_platform_subkey[] = "Post Platform";
constexpr char first_version_token[] = "lumo6300";
constexpr char version_token[] = "lumo7900";
