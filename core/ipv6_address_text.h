// IPv6 address text: the eight groups of an address, the parser for
// address texts (with its diagnostic lines) and the compressed form. The
// program's own notion of an address's text; the address edit builds on it.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace vantoric {

constexpr int IPV6_GROUP_COUNT = 8;
constexpr int IPV6_GROUP_DIGITS = 4;

// Whether the standard classification calls c white space.
bool IsSpace(char c);
// A group slot's character as it is shown: the zero of a slot never
// written reads as a blank.
char Shown(char c);
// Digits zero-padded on the left to a group's four.
std::string LeftPadded(std::string_view digits);

// Removes every white-space character (standard classification) in place.
std::string& StripWhitespace(std::string& text);

// Eight group texts of four characters each.
using CIpv6Groups = std::array<std::string, IPV6_GROUP_COUNT>;

// Where the parser's lines go: standard output, or a text kept for the
// caller. Not a std::ostream: the stream's locale machinery alone would be a
// third of the program's size.
class CDiagnosticLines {
 public:
  CDiagnosticLines() = default;  // keeps the lines in str()
  explicit CDiagnosticLines(std::FILE* pFile) : m_pFile(pFile) {}
  CDiagnosticLines(const CDiagnosticLines&) = delete;
  CDiagnosticLines& operator=(const CDiagnosticLines&) = delete;

  CDiagnosticLines& operator<<(std::string_view text);
  CDiagnosticLines& operator<<(const char* pText) { return *this << std::string_view(pText); }
  CDiagnosticLines& operator<<(char c) { return *this << std::string_view(&c, 1); }
  CDiagnosticLines& operator<<(int n);

  const std::string& str() const { return m_text; }
  // Sends the lines to `pTo` until it is called again with nullptr, and
  // returns where they went before (nullptr: to this one's own place).
  CDiagnosticLines* Redirect(CDiagnosticLines* pTo);

 private:
  std::FILE* m_pFile = nullptr;
  CDiagnosticLines* m_pRedirect = nullptr;
  std::string m_text;
};

// Parses an address text without white space into eight groups of four
// characters (digits keep their case, zero-padded on the left). In prefix
// mode the text is read up to its fourth colon and groups 5 to 8 are four
// blanks. Returns false on refusal; `groups` is written only on
// success. Every refusal writes one diagnostic line, and every text that
// passes the colon count two trace lines, to `diagnostics`.
bool ParseAddressText(std::string_view text, CIpv6Groups& groups, bool bPrefixMode, CDiagnosticLines& diagnostics);
// The same, writing its lines to standard output.
bool ParseAddressText(std::string_view text, CIpv6Groups& groups, bool bPrefixMode);

// Standard output for the parser's lines.
CDiagnosticLines& StandardOutput();

// The compressed text of eight slots: leading zeros dropped, the longest
// run of zero groups (the first of equal runs, a single group too) written
// as "::". Slots of blanks count as zero groups.
std::string FormatCompressed(const CIpv6Groups& groups);

}  // namespace vantoric
