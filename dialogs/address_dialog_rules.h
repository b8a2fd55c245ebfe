// The rules of the Add Address and Address Properties dialogs that need no
// window: which halves make the address when a mode changes and what counts
// as a change worth applying (the lifetime order check is IsLifetimeOrderValid
// in core/lifetime_text.h). Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantoric {

// Selections of the Add Address dialog's prefix and identifier combos.
constexpr int PREFIX_MODE_MANUAL = 0;
constexpr int PREFIX_MODE_ROUTER = 1;
constexpr int IDENTIFIER_MODE_MANUAL = 0;
constexpr int IDENTIFIER_MODE_EUI64 = 1;
constexpr int IDENTIFIER_MODE_RANDOM = 2;

// Where the identifier half comes from.
enum class IdentifierSource {
  None,          // groups 5 to 8 stay as the other steps leave them
  Eui64,         // made from the adapter's MAC address
  StoredRandom,  // the identifier made when "random" was last chosen
  NewRandom,     // a new random identifier, kept for later prefix changes
};

// What the address field gets when a mode changes, carried out in this
// order: look up the router-advertised address (its failure stops
// everything), clear all groups, load the prefix half, load the identifier
// half, redisplay.
struct CCompositionPlan {
  bool m_bRouterPrefix = false;
  bool m_bClear = false;
  IdentifierSource m_identifier = IdentifierSource::None;

  bool operator==(const CCompositionPlan&) const = default;
};

// The prefix combo changed: the identifier half is made again only from the
// MAC; a random one is reused.
CCompositionPlan PlanPrefixModeChange(int nPrefixMode, int nIdentifierMode);
// The identifier combo changed: choosing "random" always makes a new one,
// and a manual identifier with a router prefix blanks the identifier half.
CCompositionPlan PlanIdentifierModeChange(int nIdentifierMode, int nPrefixMode);
// The "router prefix with EUI-64" check box changed.
CCompositionPlan PlanRouterEui64Check(bool bChecked);

// A modified EUI-64 identifier needs a 48-bit MAC address; other lengths
// give texts that are no four-group identifier.
bool CanMakeEui64Identifier(unsigned nMacLength);

// How an address field's text is compared: the compressed form of the
// address it parses to, so that 2001:0db8::1 and 2001:db8::1 are the same;
// text that does not parse is compared as it stands without white space.
std::string AddressComparisonKey(std::string_view fieldText);

// The values that the Address Properties dialog applies.
struct CAddressSettings {
  std::string m_strAddressKey;  // AddressComparisonKey of the field
  std::string m_strType;
  std::string m_strValidLifetime;  // as typed: netsh gets them so
  std::string m_strPreferredLifetime;

  bool operator==(const CAddressSettings&) const = default;
};

// What the Address Properties dialog has applied so far. The baseline is
// what it loaded; each successful apply moves it, so that the next apply
// is measured against what the machine was last given.
class CAppliedSettings {
 public:
  void Load(const CAddressSettings& loaded);
  // Nothing differs from the last successful apply (or the load).
  bool IsUnchanged(const CAddressSettings& now) const { return now == m_last; }
  // `recordText` is the address as the record holds it after the apply;
  // bWasThere: the adapter held that address before the dialog opened, so
  // that this dialog did not put it on the machine.
  void OnApplied(const CAddressSettings& sent, const std::string& recordText = {}, bool bWasThere = false);

  // Whether any apply succeeded.
  bool HasApplied() const { return m_bApplied; }
  // Whether the address last applied is another than the loaded one, so
  // that the loaded one is to be deleted.
  bool HasAddressChanged() const { return m_last.m_strAddressKey != m_loaded.m_strAddressKey; }
  // The address the machine was last given (or the loaded one): the one a
  // changed address replaces.
  const std::string& GetLastAddressKey() const { return m_last.m_strAddressKey; }
  // Addresses that an apply put on the machine and a later apply replaced
  // (A to B, then B to C leaves B): the caller deletes them too. An address
  // the adapter held before is never among them.
  const std::vector<std::string>& GetSuperseded() const { return m_superseded; }

 private:
  CAddressSettings m_loaded;
  CAddressSettings m_last;
  std::string m_strLastRecordText;
  bool m_bLastWasThere = false;
  std::vector<std::string> m_superseded;
  bool m_bApplied = false;
};

}  // namespace vantoric
