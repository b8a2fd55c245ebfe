// UTF-8 <-> UTF-16 at the Windows API boundary. Inside the program every
// text is a std::string holding UTF-8; the W functions take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace vantoric {

// Invalid input sequences become U+FFFD; nothing is dropped silently.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// For zero-terminated API results (nullptr gives "").
std::string Narrow(const wchar_t* utf16);

// A text as zero-terminated UTF-16 for one call: short ASCII text (most of
// a list's cells) in a buffer of its own, without taking memory from the
// heap; any other text as Widen gives it.
class CWideText {
 public:
  explicit CWideText(std::string_view utf8);
  CWideText(const CWideText&) = delete;
  CWideText& operator=(const CWideText&) = delete;
  wchar_t* get() { return m_pText; }

 private:
  static constexpr size_t INLINE_LENGTH = 64;
  wchar_t m_inline[INLINE_LENGTH];
  std::wstring m_heap;
  wchar_t* m_pText = m_inline;
};

}  // namespace vantoric
