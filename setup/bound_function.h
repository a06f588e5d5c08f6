// Functions looked up by name at run time, for what not every system the setup runs on
// provides, or what is loaded only once DLL loading is restricted.
#pragma once

#include <windows.h>

// GetProcAddress hands out one generic type; going through void(*)() is the cast that
// function-type warnings accept. Null when the module lacks the function.
template <class Fn>
Fn bound_function(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
