// Text model of the IPv6 address edit: the 71-column masked display text
// and the eight group slots that hold the address. The address text itself
// (parser, compressed form) is core/ipv6_address_text.h.
#pragma once

#include <string>
#include <string_view>

#include "core/ipv6_address_text.h"

namespace vantoric {

// The display is eight cells of eight columns with ":" between them; each
// group's four digit columns sit at a fixed place inside its cell.
constexpr int IPV6_TEXT_LENGTH = 71;
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
