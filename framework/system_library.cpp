#include "framework/system_library.h"

#include <string>

namespace vantoric {

FARPROC GetSystemProcAddress(const wchar_t* library, const char* name) {
  wchar_t directory[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(directory, length) + L"\\" + library;
  // Loaded once: a second load would only count the same module again.
  HMODULE module = ::GetModuleHandleW(path.c_str());
  if (module == nullptr) module = ::LoadLibraryW(path.c_str());
  if (module == nullptr) return nullptr;
  return ::GetProcAddress(module, name);
}

}  // namespace vantoric
