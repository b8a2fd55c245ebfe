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

}  // namespace vantoric
