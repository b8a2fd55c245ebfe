// ASCII text rules shared by the portable code and the Win32 layer. The
// keywords, switches, hexadecimal digits and numbers the program reads are
// ASCII whatever the user's locale, so they are compared without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantoric {

// 'A' to 'Z' as 'a' to 'z'; every other byte, UTF-8 ones included, as it is.
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// A number as the C library's conversions read one: blanks (space, \t to
// \r), an optional sign, then decimal digits up to the first other
// character. The magnitude saturates at `limit` instead of wrapping.
struct CLeadingNumber {
  bool m_bNegative = false;
  std::uint64_t m_nMagnitude = 0;
};

inline CLeadingNumber ReadLeadingNumber(std::string_view text, std::uint64_t limit) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  CLeadingNumber number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.m_bNegative = text[i++] == '-';
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const auto digit = static_cast<std::uint64_t>(text[i] - '0');
    number.m_nMagnitude =
        number.m_nMagnitude > (limit - digit) / 10 ? limit : number.m_nMagnitude * 10 + digit;
  }
  return number;
}

}  // namespace vantoric
