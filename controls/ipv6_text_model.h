// Text model of the IPv6 address edit: the 71-column masked display text,
// the eight group slots that hold the address, the parser for address texts
// and the compressed form that the control's preview shows.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace vantoric {

// The display is eight cells of eight columns with ":" between them; each
// group's four digit columns sit at a fixed place inside its cell.
constexpr int IPV6_TEXT_LENGTH = 71;
constexpr int IPV6_GROUP_COUNT = 8;
constexpr int IPV6_GROUP_DIGITS = 4;
// Option bits that must both be set for the preview to be written.
constexpr int IPV6_OPTION_PREVIEW = 5;

inline constexpr std::string_view IPV6_EMPTY_MASK =
    "        :        :        :        :        :        :        :        ";
static_assert(IPV6_EMPTY_MASK.size() == IPV6_TEXT_LENGTH);

// First digit column of the group with index 0..7 (1 for any other index).
int GroupStart(int nIndex);
// The group (1..8) whose cell holds a column; a separator belongs to the
// group on its left, columns past the end to group 8.
int GroupOfColumn(int nColumn);
bool IsSeparatorColumn(int nColumn);
// Whether option bits switch the preview on.
bool IsPreviewOption(int nOptions);

// Brings any text into the mask's shape: the text's digit columns (blanks
// where it is too short) inside the empty mask.
std::string NormalizeMask(std::string_view text);

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

// The eight group slots of the address edit and the conversions between
// them and the displayed text.
class CIpv6TextModel {
 public:
  CIpv6TextModel();

  const CIpv6Groups& GetGroups() const { return m_groups; }

  // All slots four blanks; the display is not touched.
  void ResetGroups();
  // The display text with each slot written into its group's digit columns.
  std::string ApplyGroupsToText(std::string_view text) const;
  // Reads each group's typed digits from the display text, zero-padded on
  // the left; a group without digits becomes "0000".
  void SyncGroupsFromText(std::string_view text);

  // The setters parse a text and, on success, copy the parsed groups into
  // the slots (all eight; for the interface identifier groups 5 to 8 only).
  // A refused text leaves the slots unchanged.
  bool SetAddressText(std::string_view text, CDiagnosticLines& diagnostics);
  bool SetPrefixText(std::string_view text, CDiagnosticLines& diagnostics);
  bool SetInterfaceIdText(std::string_view text, CDiagnosticLines& diagnostics);

  std::string FormatCompressed() const { return vantoric::FormatCompressed(m_groups); }

 private:
  CIpv6Groups m_groups;
};

}  // namespace vantoric
