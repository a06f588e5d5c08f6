// The few registry calls the integration needs, over owned keys and bounded texts.
#pragma once

#include <windows.h>

#include <cstddef>

#include "setup/handles.h"

// parent\path opened with the access asked for; empty when it cannot be opened.
unique_key open_key(HKEY parent, const char* path, REGSAM access);

// parent\name created or opened for writing: no class, options 0, KEY_ALL_ACCESS.
unique_key create_key(HKEY parent, const char* name);

// Reads the text value name (nullptr: the default value) into out, capacity bytes with
// the terminator. A stored text may lack its terminator, so out is always terminated
// here. False, with out empty, when the value is absent or longer than capacity - 1.
bool read_text(HKEY key, const char* name, char* out, size_t capacity);

// Writes name = text as REG_SZ; the data length excludes the terminator.
bool write_text(HKEY key, const char* name, const char* text);
