// The pieces of grant_user_full_access (shell_entries.h) that stand on their own.
#pragma once

#include <windows.h>

#include "setup/handles.h"

// Memory that the security functions hand out with LocalAlloc.
struct local_memory_traits {
  using handle_type = HLOCAL;
  static HLOCAL invalid() { return nullptr; }
  static void close(HLOCAL h) { LocalFree(h); }
};
using unique_local_memory = unique_handle<local_memory_traits>;

// old_dacl (0: none) with an entry granting user GENERIC_ALL, inherited by files and
// subdirectories, merged in (SetEntriesInAclA). Empty when the merge fails, for example
// for a name that names no account.
unique_local_memory merge_full_access(PACL old_dacl, const char* user);
