#include <windows.h>
#include <aclapi.h>

#include <cstdio>
#include <cstring>

#include "integration/directory_security.h"
#include "integration/shell_entries.h"
#include "setup/installer_state.h"

namespace {

constexpr char integrity_format[] = "\"%s\\icacls.exe\" \"%s\" /SetIntegrityLevel Level: L";
constexpr DWORD user_name_size = 198;

}  // namespace

unique_local_memory merge_full_access(PACL old_dacl, const char* user) {
  char trustee[text_capacity];
  std::snprintf(trustee, sizeof trustee, "%s", user);
  EXPLICIT_ACCESSA access = {};
  BuildExplicitAccessWithNameA(&access, trustee, GENERIC_ALL, GRANT_ACCESS, SUB_CONTAINERS_AND_OBJECTS_INHERIT);
  PACL merged = nullptr;
  if (SetEntriesInAclA(1, &access, old_dacl, &merged) != ERROR_SUCCESS) return unique_local_memory();
  return unique_local_memory(merged);
}

bool grant_user_full_access(const char* path) {
  char user[text_capacity] = {};
  DWORD size = user_name_size;
  if (!GetUserNameA(user, &size)) return false;

  PACL old_dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &old_dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  // The old DACL lives inside the descriptor.
  unique_local_memory descriptor_owner(descriptor);

  unique_local_memory new_dacl = merge_full_access(old_dacl, user);
  if (!new_dacl) return false;

  char object[MAX_PATH];
  const int length = std::snprintf(object, sizeof object, "%s", path);
  if (length < 0 || static_cast<size_t>(length) >= sizeof object) return false;
  return SetNamedSecurityInfoA(object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                               static_cast<PACL>(new_dacl.get()), nullptr) == ERROR_SUCCESS;
}

bool compose_integrity_command(const char* install_dir, const char* system_dir, char* out,
                               size_t size) {
  char directory[text_capacity];
  const int copied = std::snprintf(directory, sizeof directory, "%s", install_dir);
  if (copied < 0 || static_cast<size_t>(copied) >= sizeof directory) return false;
  // A backslash before the closing quote would make the quote part of the argument.
  const size_t end = std::strlen(directory);
  if (end > 0 && directory[end - 1] == '\\') directory[end - 1] = 0;
  const int length = std::snprintf(out, size, integrity_format, system_dir, directory);
  return length >= 0 && static_cast<size_t>(length) < size;
}

bool lower_integrity_level() {
  // For a 32-bit setup on 64-bit Windows this names the redirected System32, whose
  // 32-bit icacls sets the same label.
  char system_dir[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system_dir, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  char command[command_capacity];
  if (!compose_integrity_command(state.install_dir, system_dir, command, sizeof command)) return false;
  return WinExec(command, SW_SHOW) > 31;
}
