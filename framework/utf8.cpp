#include "framework/utf8.h"

#include <windows.h>

#include <climits>

namespace vantoric {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX) return {};
  const int len = static_cast<int>(utf8.size());
  const int need = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, nullptr, 0);
  std::wstring out(static_cast<size_t>(need), L'\0');
  if (need > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, out.data(), need);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty() || utf16.size() > INT_MAX) return {};
  const int len = static_cast<int>(utf16.size());
  const int need = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), len, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(need), '\0');
  if (need > 0) WideCharToMultiByte(CP_UTF8, 0, utf16.data(), len, out.data(), need, nullptr, nullptr);
  return out;
}

std::string Narrow(const wchar_t* utf16) {
  return utf16 ? Narrow(std::wstring_view(utf16)) : std::string();
}

}  // namespace vantoric
