#include "framework/utf8.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace vantoric {

namespace {

// ASCII, most of the program's text, reads the same in both encodings: it is
// copied unit by unit, without a conversion function's two calls.
template <typename Char>
bool IsAscii(std::basic_string_view<Char> text) {
  for (const Char c : text)
    if (static_cast<unsigned>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX) return {};
  if (IsAscii(utf8)) return std::wstring(utf8.begin(), utf8.end());
  const int len = static_cast<int>(utf8.size());
  const int need = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, nullptr, 0);
  std::wstring out(static_cast<size_t>(need), L'\0');
  if (need > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, out.data(), need);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty() || utf16.size() > INT_MAX) return {};
  if (IsAscii(utf16)) {
    std::string out(utf16.size(), '\0');
    for (size_t i = 0; i < utf16.size(); ++i) out[i] = static_cast<char>(utf16[i]);
    return out;
  }
  const int len = static_cast<int>(utf16.size());
  const int need = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), len, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(need), '\0');
  if (need > 0) WideCharToMultiByte(CP_UTF8, 0, utf16.data(), len, out.data(), need, nullptr, nullptr);
  return out;
}

CWideText::CWideText(std::string_view utf8) {
  if (utf8.size() < INLINE_LENGTH && IsAscii(utf8)) {
    std::copy(utf8.begin(), utf8.end(), m_inline);
    m_inline[utf8.size()] = L'\0';
    return;
  }
  m_heap = Widen(utf8);
  m_pText = m_heap.data();
}

std::string Narrow(const wchar_t* utf16) {
  return utf16 ? Narrow(std::wstring_view(utf16)) : std::string();
}

}  // namespace vantoric
