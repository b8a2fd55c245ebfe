#include "controls/ipv6_text_model.h"

#include <algorithm>

namespace vantoric {

namespace {

constexpr int kGroupStarts[IPV6_GROUP_COUNT] = {1, 11, 20, 29, 38, 47, 56, 65};
const std::string kBlankGroup = "    ";

}  // namespace

int GroupStart(int nIndex) { return nIndex >= 0 && nIndex < IPV6_GROUP_COUNT ? kGroupStarts[nIndex] : 1; }

int GroupOfColumn(int nColumn) {
  // Cells are nine columns wide counted with their separator.
  if (nColumn < 0) return 1;
  return std::min(nColumn / 9 + 1, IPV6_GROUP_COUNT);
}

bool IsSeparatorColumn(int nColumn) { return nColumn > 0 && nColumn < IPV6_TEXT_LENGTH && nColumn % 9 == 8; }

bool IsPreviewOption(int nOptions) { return (nOptions & IPV6_OPTION_PREVIEW) == IPV6_OPTION_PREVIEW; }

std::string NormalizeMask(std::string_view text) {
  std::string mask(IPV6_EMPTY_MASK);
  for (int g = 0; g < IPV6_GROUP_COUNT; ++g) {
    for (size_t column = static_cast<size_t>(GroupStart(g)), end = column + IPV6_GROUP_DIGITS;
         column < end && column < text.size(); ++column)
      mask[column] = text[column];
  }
  return mask;
}

CIpv6TextModel::CIpv6TextModel() { m_groups.fill(std::string(IPV6_GROUP_DIGITS, '\0')); }

void CIpv6TextModel::ResetGroups() { m_groups.fill(kBlankGroup); }

std::string CIpv6TextModel::ApplyGroupsToText(std::string_view text) const {
  std::string display = NormalizeMask(text);
  for (int g = 0; g < IPV6_GROUP_COUNT; ++g) {
    const std::string& slot = m_groups[static_cast<size_t>(g)];
    for (int d = 0; d < IPV6_GROUP_DIGITS; ++d) {
      const char c = static_cast<size_t>(d) < slot.size() ? slot[static_cast<size_t>(d)] : ' ';
      display[static_cast<size_t>(GroupStart(g) + d)] = Shown(c);
    }
  }
  return display;
}

void CIpv6TextModel::SyncGroupsFromText(std::string_view text) {
  for (int g = 0; g < IPV6_GROUP_COUNT; ++g) {
    // The group's typed characters; the editing rules keep them packed at
    // the left of the digit columns, so this is the columns' own order.
    std::string typed;
    for (int d = 0; d < IPV6_GROUP_DIGITS; ++d) {
      const size_t column = static_cast<size_t>(GroupStart(g) + d);
      if (column < text.size() && !IsSpace(text[column])) typed += text[column];
    }
    m_groups[static_cast<size_t>(g)] = LeftPadded(typed);
  }
}

bool CIpv6TextModel::SetAddressText(std::string_view text, CDiagnosticLines& diagnostics) {
  return ParseAddressText(text, m_groups, false, diagnostics);
}

bool CIpv6TextModel::SetPrefixText(std::string_view text, CDiagnosticLines& diagnostics) {
  return ParseAddressText(text, m_groups, true, diagnostics);
}

bool CIpv6TextModel::SetInterfaceIdText(std::string_view text, CDiagnosticLines& diagnostics) {
  CIpv6Groups parsed;
  if (!ParseAddressText(text, parsed, false, diagnostics)) return false;
  std::copy(parsed.begin() + 4, parsed.end(), m_groups.begin() + 4);
  return true;
}

}  // namespace vantoric
