#include "framework/system_library.h"

namespace vantoric {

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Present from Windows 8, and on Windows 6.0 to 6.1 with its update; the
// same versions accept the LOAD_LIBRARY_SEARCH flags of LoadLibraryEx.
SetDefaultDllDirectoriesFn FindSetDefaultDllDirectories() {
  // kernel32 is loaded in every process; this neither loads nor searches.
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
}

// A folder that one of the Get...DirectoryW functions reports: asked again
// with the size it names until the whole path fits.
std::wstring ReadFolder(UINT(WINAPI* read)(LPWSTR, UINT)) {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = read(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) return {};
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    // Too small: length is the size needed, terminator included.
    folder.resize(length);
  }
}

}  // namespace

void RestrictLibrarySearch() {
  // The empty string takes the current folder out of the search.
  ::SetDllDirectoryW(L"");
  if (const SetDefaultDllDirectoriesFn setDefault = FindSetDefaultDllDirectories())
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::wstring GetSystemFolder() { return ReadFolder(&::GetSystemDirectoryW); }

std::wstring GetWindowsFolder() { return ReadFolder(&::GetWindowsDirectoryW); }

HMODULE LoadSystemLibrary(const wchar_t* library) {
  const std::wstring folder = GetSystemFolder();
  if (folder.empty()) return nullptr;
  const std::wstring path = folder + L"\\" + library;
  // Loaded once: a second load would only count the same module again.
  if (const HMODULE loaded = ::GetModuleHandleW(path.c_str())) return loaded;
  // The libraries it needs come from its own folder, the system folder,
  // never from the program's folder or the current one.
  static const bool bSearchFlags = FindSetDefaultDllDirectories() != nullptr;
  const DWORD flags = bSearchFlags ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                   : LOAD_WITH_ALTERED_SEARCH_PATH;
  return ::LoadLibraryExW(path.c_str(), nullptr, flags);
}

FARPROC GetSystemProcAddress(const wchar_t* library, const char* name) {
  const HMODULE module = LoadSystemLibrary(library);
  if (module == nullptr) return nullptr;
  return ::GetProcAddress(module, name);
}

}  // namespace vantoric
