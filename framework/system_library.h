// Functions of system libraries that only some paths of the program need
// (the shell's launch, the GUID generators), loaded at their first use
// rather than when the program starts: start-up then does not pay for
// libraries that the first window does not need.
#pragma once

#include <windows.h>

namespace vantoric {

// The address of `name` in `library`, loaded by its full path in the system
// directory (never from the program's folder) and kept loaded for the life
// of the process. nullptr, with the reason in GetLastError, when the library
// or the function cannot be found.
FARPROC GetSystemProcAddress(const wchar_t* library, const char* name);

// GetSystemProcAddress as a pointer of the function's own type.
template <typename Fn>
Fn GetSystemFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetSystemProcAddress(library, name)));
}

}  // namespace vantoric
