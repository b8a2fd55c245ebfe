// The system-wide IPv6 settings of the System page: temporary addresses,
// random interface identifiers, the address preference (the prefix-policy
// table) and the Teredo, ISATAP and 6to4 tunnels. What the system's
// management classes tell about them, the rows that show it, and the netsh
// and PowerShell lines that set a chosen state and take it back. Portable;
// the reading is in system_settings_win32.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantoric {

enum class SystemSetting { TemporaryAddresses, RandomIdentifiers, AddressPreference, Teredo, Isatap, SixToFour };
constexpr int SYSTEM_SETTING_COUNT = 6;

// What a setting is, or is to become. The tunnels' Automatic and Teredo's
// relay, client and server types are shown but not offered; so are the
// temporary addresses' Always and Counter. NotKnown: the class was not
// read, or gave a number that its documentation does not list.
enum class SettingState {
  NotKnown,
  Enabled,
  Disabled,
  Default,
  Automatic,
  Client,
  EnterpriseClient,
  Server,
  Always,
  Counter,
  PreferIPv6,  // the Windows default prefix-policy table
  PreferIPv4,  // that table with ::ffff:0:0/96 above ::/0 and below ::1
  Custom,      // any other table
  Relay,
};

struct CPrefixPolicy {
  std::string m_strPrefix;
  std::uint32_t m_nPrecedence = 0;
  std::uint32_t m_nLabel = 0;
};

// The values of the management classes as read (root\StandardCimv2). A
// class that could not be read leaves its m_bXxxRead false: not known.
struct CSystemFacts {
  bool m_bProtocolRead = false;  // MSFT_NetIPv6Protocol
  std::uint32_t m_nUseTemporaryAddresses = 0;
  std::uint32_t m_nRandomizeIdentifiers = 0;
  // MaxValidLifetime and MaxPreferredLifetime, the longest lifetimes of a
  // temporary address, as CIM interval texts ("00000007000000.000000:000");
  // empty when not given.
  std::string m_strMaxValidLifetime;
  std::string m_strMaxPreferredLifetime;
  bool m_bPoliciesRead = false;  // MSFT_NetPrefixPolicy
  std::vector<CPrefixPolicy> m_policies;
  bool m_bTeredoRead = false;  // MSFT_NetTeredoConfiguration
  std::uint32_t m_nTeredoType = 0;
  bool m_bIsatapRead = false;  // MSFT_NetISATAPConfiguration
  std::uint32_t m_nIsatapState = 0;
  bool m_bSixToFourRead = false;  // MSFT_Net6to4Configuration
  std::uint32_t m_nSixToFourState = 0;
};

// What the page shows: each setting's state (NotKnown where the system did
// not tell it), the temporary addresses' lifetimes as lifetime text ("" when
// not known) and the policy table.
struct CSystemState {
  SettingState m_states[SYSTEM_SETTING_COUNT] = {};
  std::string m_strTemporaryValidLifetime;
  std::string m_strTemporaryPreferredLifetime;
  bool m_bPoliciesKnown = false;
  std::vector<CPrefixPolicy> m_policies;

  SettingState Get(SystemSetting setting) const { return m_states[static_cast<int>(setting)]; }
};
CSystemState ReadSystemState(const CSystemFacts& facts);

// Seconds of a CIM interval "ddddddddHHMMSS.mmmmmm:000" (hours 00-23,
// minutes and seconds 00-59); false when the text is not one.
bool ParseCimInterval(std::string_view text, std::uint32_t& seconds);

// The store that a number of MSFT_NetPrefixPolicy.Store names: "persistent"
// or "active" (netsh's words), "" for a number the class does not document.
std::string PrefixPolicyStoreName(std::uint32_t store);

// The Windows default prefix-policy table and the Prefer IPv4 one.
std::vector<CPrefixPolicy> DefaultPrefixPolicies();
std::vector<CPrefixPolicy> PreferIPv4PrefixPolicies();
// PreferIPv6, PreferIPv4 or Custom; the order of the rows and the letter
// case of the prefixes do not count.
SettingState ClassifyPrefixPolicies(const std::vector<CPrefixPolicy>& policies);

// The row texts: "Temporary addresses", ...; "Enabled", "Prefer IPv4",
// "Not known", ...
std::string SystemSettingName(SystemSetting setting);
std::string SettingStateText(SettingState state);
// The states a setting can be given, in the order offered.
std::vector<SettingState> SettingChoices(SystemSetting setting);

// One command of the page. Address preference: one line of the policy
// table's difference.
enum class PolicyVerb { Add, Set, Delete };
struct CSystemChange {
  SystemSetting m_setting = SystemSetting::TemporaryAddresses;
  SettingState m_state = SettingState::NotKnown;        // the state set
  SettingState m_stateBefore = SettingState::NotKnown;  // as read before; NotKnown when it was not
  // "active" or "persistent"; empty for the tunnels, whose commands have no
  // store.
  std::string m_strStore;
  PolicyVerb m_verb = PolicyVerb::Set;
  CPrefixPolicy m_policy;  // the row added or set; the prefix deleted
  bool m_bPolicyBefore = false;
  CPrefixPolicy m_policyBefore;  // the row as read, for a set or a delete
};

// Whether a setting's command has a store (the ipv6 context's do).
bool HasStore(SystemSetting setting);

// The policy lines that turn `current` into `target`, rows that differ only:
// a set for a prefix in both with another precedence or label, an add for a
// prefix only in the target, then a delete for one only in the current
// table. Prefixes are compared as prefixes. A current row whose prefix is
// not an IPv6 prefix text is left alone: no line is made from it. Not known
// (bCurrentKnown false): a set for every row of the target, with nothing
// known before.
std::vector<CSystemChange> PlanPolicyChanges(bool bCurrentKnown, const std::vector<CPrefixPolicy>& current,
                                             const std::vector<CPrefixPolicy>& target, std::string_view store);

// The commands that give each setting its chosen state where it differs
// from `current` (chosen NotKnown: left as it is). bActiveOnly: until the
// next restart (store=active), else persistent. In the page's row order.
std::vector<CSystemChange> PlanSystemChanges(const CSystemState& current,
                                             const SettingState (&chosen)[SYSTEM_SETTING_COUNT], bool bActiveOnly);

// The netsh line (without "netsh"), and the PowerShell line: the cmdlet of
// the setting, or the system's netsh called from PowerShell where no cmdlet
// does what the netsh line does (a prefix policy; a temporary-address or
// identifier change to the active store only, since Set-NetIPv6Protocol has
// no store). The tunnels' cmdlets are given -PolicyStore PersistentStore.
std::string FormatSystemCommand(const CSystemChange& change);
std::string FormatSystemPowerShell(const CSystemChange& change);

// The change that takes `change` back, or why there is none: back to the
// state or row read before, which must be known and settable by netsh, and
// a policy row's prefix must be an IPv6 prefix text.
std::string PlanSystemInverse(const CSystemChange& change, CSystemChange& inverse);

}  // namespace vantoric
