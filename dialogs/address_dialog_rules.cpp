#include "dialogs/address_dialog_rules.h"

#include "controls/ipv6_text_model.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

// The identifier half that an identifier mode stands for when only the
// prefix changes.
IdentifierSource KeptIdentifier(int nIdentifierMode) {
  switch (nIdentifierMode) {
    case IDENTIFIER_MODE_EUI64: return IdentifierSource::Eui64;
    case IDENTIFIER_MODE_RANDOM: return IdentifierSource::StoredRandom;
    default: return IdentifierSource::None;
  }
}

}  // namespace

CCompositionPlan PlanPrefixModeChange(int nPrefixMode, int nIdentifierMode) {
  CCompositionPlan plan;
  plan.m_bRouterPrefix = nPrefixMode == PREFIX_MODE_ROUTER;
  plan.m_bClear = !plan.m_bRouterPrefix;
  plan.m_identifier = KeptIdentifier(nIdentifierMode);
  return plan;
}

CCompositionPlan PlanIdentifierModeChange(int nIdentifierMode, int nPrefixMode) {
  CCompositionPlan plan;
  const bool bRouter = nPrefixMode == PREFIX_MODE_ROUTER;
  switch (nIdentifierMode) {
    case IDENTIFIER_MODE_EUI64: plan.m_identifier = IdentifierSource::Eui64; break;
    case IDENTIFIER_MODE_RANDOM: plan.m_identifier = IdentifierSource::NewRandom; break;
    default:
      // Loading the prefix blanks the identifier half.
      plan.m_bRouterPrefix = bRouter;
      break;
  }
  plan.m_bClear = !bRouter;
  return plan;
}

CCompositionPlan PlanRouterEui64Check(bool bChecked) {
  CCompositionPlan plan;
  plan.m_bRouterPrefix = bChecked;
  plan.m_bClear = !bChecked;
  plan.m_identifier = bChecked ? IdentifierSource::Eui64 : IdentifierSource::None;
  return plan;
}

bool CanMakeEui64Identifier(unsigned nMacLength) { return nMacLength == 6; }

std::string AddressComparisonKey(std::string_view fieldText) {
  std::string text(fieldText);
  StripWhitespace(text);
  CIpv6Groups groups;
  CDiagnosticLines unused;
  if (!ParseAddressText(text, groups, false, unused)) return text;
  return LowerAscii(FormatCompressed(groups));
}

void CAppliedSettings::Load(const CAddressSettings& loaded) {
  m_loaded = loaded;
  m_last = loaded;
  m_strLastRecordText.clear();
  m_bLastWasThere = false;
  m_superseded.clear();
  m_bApplied = false;
}

void CAppliedSettings::OnApplied(const CAddressSettings& sent, const std::string& recordText, bool bWasThere) {
  if (m_bApplied && !m_bLastWasThere && m_last.m_strAddressKey != m_loaded.m_strAddressKey &&
      m_last.m_strAddressKey != sent.m_strAddressKey)
    m_superseded.push_back(m_strLastRecordText);
  m_last = sent;
  m_strLastRecordText = recordText;
  m_bLastWasThere = bWasThere;
  m_bApplied = true;
}

}  // namespace vantoric
