// A library that the program must never load: built under the name of a
// system library that the program uses (iphlpapi.dll) and put beside a copy
// of the program by the tests, as someone could put one into a Downloads
// folder. Once loaded, it leaves "<its own file name>.loaded" beside itself.
// It answers the one function the program asks that library for, so that a
// program importing it would start and show the load.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  ::lstrcatW(path, L".loaded");
  const HANDLE marker =
      ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  return TRUE;
}

// No adapters: the program then shows an empty list.
__declspec(dllexport) ULONG WINAPI GetAdaptersAddresses(ULONG, ULONG, void*, void*, ULONG*) { return ERROR_NO_DATA; }

}  // extern "C"
