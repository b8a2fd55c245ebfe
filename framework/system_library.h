// Libraries of the system, loaded by their full path in the system folder at
// their first use rather than when the program starts. Windows takes only a
// few libraries (kernel32, user32, gdi32, advapi32, msvcrt, ws2_32, and
// comctl32 through the manifest) from the system folder whatever the
// search order says; every other one, imported by name, would be looked for
// in the program's folder first, where anyone who can write there could put
// a library of that name. Start-up also does not pay for libraries that the
// first window does not need.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric {

// Leaves the program's folder and the current folder out of every later
// search for a library by name: the current folder always, the program's
// folder where Windows offers the system folder alone as the search path.
// The program calls it first thing, before anything loads a library.
void RestrictLibrarySearch();

// The system folder ("C:\Windows\System32") and the Windows folder, read at
// their full length. Empty, with the reason in GetLastError, when Windows
// cannot tell them: there is no folder to fall back on.
std::wstring GetSystemFolder();
std::wstring GetWindowsFolder();

// `library` loaded from the system folder by its full path, the libraries
// that it needs in turn also taken from there, and kept loaded for the life
// of the process. nullptr, with the reason in GetLastError, when the system
// folder cannot be read or the library cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* library);

// The address of `name` in LoadSystemLibrary(library). nullptr, with the
// reason in GetLastError, when the library or the function cannot be found.
FARPROC GetSystemProcAddress(const wchar_t* library, const char* name);

// GetSystemProcAddress as a pointer of the function's own type.
template <typename Fn>
Fn GetSystemFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetSystemProcAddress(library, name)));
}

}  // namespace vantoric
