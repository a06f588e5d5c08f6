// The payload archive carried as the executable's resource "RUZAVAR" of type "YZZ".
#pragma once

#include <windows.h>

// Finds, loads and locks the resource in module; sets state.payload and
// state.payload_size. False, leaving both null and 0, when the module carries none
// (setupw64.exe has no payload).
bool lock_payload_resource(HMODULE module);

// Forgets the payload; a loaded resource lives as long as its module.
void release_payload_resource();
