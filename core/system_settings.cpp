#include "core/system_settings.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <tuple>

#include "core/lifetime_text.h"
#include "core/route_records.h"

namespace vantoric {

namespace {

constexpr std::string_view MAPPED_IPV4_PREFIX = "::ffff:0:0/96";
constexpr std::uint32_t PREFER_IPV4_PRECEDENCE = 45;

// Windows' own table, highest precedence first.
const CPrefixPolicy DEFAULT_POLICIES[] = {
    {"::1/128", 50, 0},   {"::/0", 40, 1},      {"::ffff:0:0/96", 35, 4}, {"2002::/16", 30, 2}, {"2001::/32", 5, 5},
    {"fc00::/7", 3, 13},  {"fec0::/10", 1, 11}, {"3ffe::/16", 1, 12},     {"::/96", 1, 3},
};

// Prefixes are compared as prefixes: the table's text may differ from the
// program's in case or form.
const CPrefixPolicy* FindPolicy(const std::vector<CPrefixPolicy>& policies, std::string_view prefix) {
  const auto found = std::find_if(policies.begin(), policies.end(),
                                  [&](const CPrefixPolicy& p) { return IsSamePrefix(p.m_strPrefix, prefix); });
  return found != policies.end() ? &*found : nullptr;
}

bool SameValues(const CPrefixPolicy& a, const CPrefixPolicy& b) {
  return a.m_nPrecedence == b.m_nPrecedence && a.m_nLabel == b.m_nLabel;
}

// A documented number of a management-class property, the state it means,
// and that state's word in the setting's netsh command and in its cmdlet
// ("" where that one cannot set it).
struct CDocumentedValue {
  std::uint32_t m_nNumber;
  SettingState m_state;
  std::string_view m_netsh;
  std::string_view m_cmdlet;
};

using S = SettingState;

// MSFT_NetIPv6Protocol.UseTemporaryAddresses: 0 No, 1 Yes, 2 Always,
// 3 Counter ("MSFT_NetIPv6Protocol class",
// learn.microsoft.com/windows/win32/fwp/wmi/nettcpipprov/msft-netipv6protocol).
// netsh: "interface ipv6 set privacy state=enabled|disabled". Cmdlet:
// Set-NetIPv6Protocol -UseTemporaryAddresses, accepted values Disabled,
// Enabled, Always (learn.microsoft.com/powershell/module/nettcpip/set-netipv6protocol).
constexpr CDocumentedValue USE_TEMPORARY_ADDRESSES[] = {
    {0, S::Disabled, "disabled", "Disabled"},
    {1, S::Enabled, "enabled", "Enabled"},
    {2, S::Always, "", "Always"},
    {3, S::Counter, "", ""},
};

// MSFT_NetIPv6Protocol.RandomizeIdentifiers: 0 Disabled, 1 Enabled (the
// class page above). netsh: "interface ipv6 set global
// randomizeidentifiers=enabled|disabled"; Set-NetIPv6Protocol
// -RandomizeIdentifiers Disabled, Enabled.
constexpr CDocumentedValue RANDOMIZE_IDENTIFIERS[] = {
    {0, S::Disabled, "disabled", "Disabled"},
    {1, S::Enabled, "enabled", "Enabled"},
};

// MSFT_NetTeredoConfiguration.Type: 0 default, 1 relay, 2 client, 3 server,
// 4 disabled, 5 automatic, 6 enterpriseclient ("MSFT_NetTeredoConfiguration
// class", learn.microsoft.com/windows/win32/fwp/wmi/netttcimprov/msft-netteredoconfiguration).
// netsh: "interface teredo set state type=disabled|client|enterpriseclient|
// natawareclient|server|default", server on Windows Server only ("netsh
// interface", learn.microsoft.com/windows-server/administration/windows-commands/netsh-interface);
// it has no relay or automatic type. Set-NetTeredoConfiguration -Type:
// Default, Relay, Client, Server, Disabled, Automatic, Enterpriseclient,
// Natawareclient (learn.microsoft.com/powershell/module/networktransition/set-netteredoconfiguration).
// The class page gives natawareclient no number, so it has no row: whatever
// number a system reports for it is shown as not known, not guessed.
constexpr CDocumentedValue TEREDO_TYPES[] = {
    {0, S::Default, "default", "Default"},
    {1, S::Relay, "", "Relay"},
    {2, S::Client, "client", "Client"},
    {3, S::Server, "server", "Server"},
    {4, S::Disabled, "disabled", "Disabled"},
    {5, S::Automatic, "", "Automatic"},
    {6, S::EnterpriseClient, "enterpriseclient", "Enterpriseclient"},
};

// MSFT_NetISATAPConfiguration.State and MSFT_Net6to4Configuration.State, which
// their pages list alike: 0 default, 1 automatic, 2 enabled, 3 disabled
// ("MSFT_NetISATAPConfiguration class" and "MSFT_Net6to4Configuration class",
// learn.microsoft.com/windows/win32/fwp/wmi/netttcimprov/msft-netisatapconfiguration
// and .../msft-net6to4configuration). netsh: "interface isatap set state
// state=enabled|disabled|default" and "interface 6to4 set state
// state=enabled|disabled|default" (the netsh interface page);
// Set-NetIsatapConfiguration -State and Set-Net6to4Configuration -State:
// Default, Automatic, Enabled, Disabled.
constexpr CDocumentedValue TUNNEL_STATES[] = {
    {0, S::Default, "default", "Default"},
    {1, S::Automatic, "", "Automatic"},
    {2, S::Enabled, "enabled", "Enabled"},
    {3, S::Disabled, "disabled", "Disabled"},
};

// MSFT_NetPrefixPolicy.Store: 0 Persistent, 1 Active ("MSFT_NetPrefixPolicy
// class", learn.microsoft.com/windows/win32/fwp/wmi/nettcpipprov/msft-netprefixpolicy).
constexpr std::string_view PREFIX_POLICY_STORES[] = {"persistent", "active"};

// The documented values of a setting's property; none for the address
// preference, which is read as a table.
std::span<const CDocumentedValue> DocumentedValues(SystemSetting setting) {
  switch (setting) {
    case SystemSetting::TemporaryAddresses:
      return USE_TEMPORARY_ADDRESSES;
    case SystemSetting::RandomIdentifiers:
      return RANDOMIZE_IDENTIFIERS;
    case SystemSetting::Teredo:
      return TEREDO_TYPES;
    case SystemSetting::Isatap:
    case SystemSetting::SixToFour:
      return TUNNEL_STATES;
    case SystemSetting::AddressPreference:
      break;
  }
  return {};
}

// The state a read number means; NotKnown when unread or undocumented.
SettingState StateOf(SystemSetting setting, bool bRead, std::uint32_t number) {
  for (const CDocumentedValue& value : DocumentedValues(setting))
    if (bRead && value.m_nNumber == number) return value.m_state;
  return SettingState::NotKnown;
}

const CDocumentedValue* ValueOf(SystemSetting setting, SettingState state) {
  for (const CDocumentedValue& value : DocumentedValues(setting))
    if (value.m_state == state) return &value;
  return nullptr;
}

// netsh's word for a state of a setting; "" where netsh cannot set it.
std::string_view NetshWord(SystemSetting setting, SettingState state) {
  const CDocumentedValue* pValue = ValueOf(setting, state);
  return pValue != nullptr ? pValue->m_netsh : std::string_view();
}

std::string CmdletWord(SystemSetting setting, SettingState state) {
  const CDocumentedValue* pValue = ValueOf(setting, state);
  return std::string(pValue != nullptr ? pValue->m_cmdlet : std::string_view());
}

// The system's netsh called from PowerShell: "&" runs the quoted path.
std::string NetshFromPowerShell(const CSystemChange& change) {
  return "& \"$env:SystemRoot\\System32\\netsh.exe\" " + FormatSystemCommand(change);
}

std::string StoreText(const CSystemChange& change) {
  return change.m_strStore.empty() ? std::string() : " store=" + change.m_strStore;
}

std::string PolicyValues(const CPrefixPolicy& policy) {
  return " precedence=" + std::to_string(policy.m_nPrecedence) + " label=" + std::to_string(policy.m_nLabel);
}

CSystemChange PolicyChange(PolicyVerb verb, const CPrefixPolicy& policy, const CPrefixPolicy* pBefore,
                           std::string_view store) {
  CSystemChange change;
  change.m_setting = SystemSetting::AddressPreference;
  change.m_verb = verb;
  change.m_policy = policy;
  change.m_bPolicyBefore = pBefore != nullptr;
  if (pBefore != nullptr) change.m_policyBefore = *pBefore;
  change.m_strStore = store;
  return change;
}

}  // namespace

bool ParseCimInterval(std::string_view text, std::uint32_t& seconds) {
  // ddddddddHHMMSS.mmmmmm:000: days, hours 00-23, minutes 00-59, seconds
  // 00-59, microseconds, and ":000" always ("Interval Format",
  // learn.microsoft.com/windows/win32/wmisdk/interval-format).
  if (text.size() != 25 || text[14] != '.' || text.substr(21) != ":000") return false;
  const auto number = [&](std::size_t pos, std::size_t len, std::uint64_t limit, std::uint64_t& out) {
    out = 0;
    for (std::size_t i = pos; i < pos + len; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      out = out * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    return out <= limit;
  };
  std::uint64_t days = 0, hours = 0, minutes = 0, secs = 0, micro = 0;
  if (!number(0, 8, 99999999, days) || !number(8, 2, 23, hours) || !number(10, 2, 59, minutes) ||
      !number(12, 2, 59, secs) || !number(15, 6, 999999, micro))
    return false;
  const std::uint64_t total = days * 86400 + hours * 3600 + minutes * 60 + secs;
  seconds = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, MAX_FINITE_LIFETIME));
  return true;
}

std::string PrefixPolicyStoreName(std::uint32_t store) {
  return store < std::size(PREFIX_POLICY_STORES) ? std::string(PREFIX_POLICY_STORES[store]) : std::string();
}

std::vector<CPrefixPolicy> DefaultPrefixPolicies() { return {std::begin(DEFAULT_POLICIES), std::end(DEFAULT_POLICIES)}; }

std::vector<CPrefixPolicy> PreferIPv4PrefixPolicies() {
  std::vector<CPrefixPolicy> policies = DefaultPrefixPolicies();
  for (CPrefixPolicy& policy : policies)
    if (policy.m_strPrefix == MAPPED_IPV4_PREFIX) policy.m_nPrecedence = PREFER_IPV4_PRECEDENCE;
  return policies;
}

SettingState ClassifyPrefixPolicies(const std::vector<CPrefixPolicy>& policies) {
  const std::vector<CPrefixPolicy> defaults = DefaultPrefixPolicies();
  if (policies.size() != defaults.size()) return SettingState::Custom;
  bool bMappedDiffers = false;
  for (const CPrefixPolicy& expected : defaults) {
    const CPrefixPolicy* pFound = FindPolicy(policies, expected.m_strPrefix);
    if (pFound == nullptr) return SettingState::Custom;
    if (SameValues(*pFound, expected)) continue;
    if (expected.m_strPrefix != MAPPED_IPV4_PREFIX) return SettingState::Custom;
    bMappedDiffers = true;
    // Above ::/0 and below ::1, with its own label.
    const CPrefixPolicy* pAny = FindPolicy(policies, "::/0");
    const CPrefixPolicy* pLoopback = FindPolicy(policies, "::1/128");
    if (pAny == nullptr || pLoopback == nullptr || pFound->m_nLabel != expected.m_nLabel ||
        pFound->m_nPrecedence <= pAny->m_nPrecedence ||
        pFound->m_nPrecedence >= pLoopback->m_nPrecedence)
      return SettingState::Custom;
  }
  return bMappedDiffers ? SettingState::PreferIPv4 : SettingState::PreferIPv6;
}

CSystemState ReadSystemState(const CSystemFacts& facts) {
  CSystemState state;
  auto& states = state.m_states;
  for (const auto& [setting, bRead, number] : {
           std::tuple{SystemSetting::TemporaryAddresses, facts.m_bProtocolRead, facts.m_nUseTemporaryAddresses},
           std::tuple{SystemSetting::RandomIdentifiers, facts.m_bProtocolRead, facts.m_nRandomizeIdentifiers},
           std::tuple{SystemSetting::Teredo, facts.m_bTeredoRead, facts.m_nTeredoType},
           std::tuple{SystemSetting::Isatap, facts.m_bIsatapRead, facts.m_nIsatapState},
           std::tuple{SystemSetting::SixToFour, facts.m_bSixToFourRead, facts.m_nSixToFourState}})
    states[static_cast<int>(setting)] = StateOf(setting, bRead, number);
  states[static_cast<int>(SystemSetting::AddressPreference)] =
      facts.m_bPoliciesRead ? ClassifyPrefixPolicies(facts.m_policies) : S::NotKnown;
  std::uint32_t seconds = 0;
  if (facts.m_bProtocolRead && ParseCimInterval(facts.m_strMaxValidLifetime, seconds))
    state.m_strTemporaryValidLifetime = FormatLifetime(seconds);
  if (facts.m_bProtocolRead && ParseCimInterval(facts.m_strMaxPreferredLifetime, seconds))
    state.m_strTemporaryPreferredLifetime = FormatLifetime(seconds);
  state.m_bPoliciesKnown = facts.m_bPoliciesRead;
  state.m_policies = facts.m_policies;
  return state;
}

std::string SystemSettingName(SystemSetting setting) {
  switch (setting) {
    case SystemSetting::TemporaryAddresses:
      return "Temporary addresses";
    case SystemSetting::RandomIdentifiers:
      return "Random interface identifiers";
    case SystemSetting::AddressPreference:
      return "Address preference";
    case SystemSetting::Teredo:
      return "Teredo";
    case SystemSetting::Isatap:
      return "ISATAP";
    case SystemSetting::SixToFour:
      return "6to4";
  }
  return {};
}

std::string SettingStateText(SettingState state) {
  switch (state) {
    case SettingState::NotKnown:
      return "Not known";
    case SettingState::Enabled:
      return "Enabled";
    case SettingState::Disabled:
      return "Disabled";
    case SettingState::Default:
      return "Default";
    case SettingState::Automatic:
      return "Automatic";
    case SettingState::Client:
      return "Client";
    case SettingState::EnterpriseClient:
      return "Enterprise client";
    case SettingState::Server:
      return "Server";
    case SettingState::Always:
      return "Always";
    case SettingState::Counter:
      return "Counter";
    case SettingState::PreferIPv6:
      return "Prefer IPv6 (Windows default)";
    case SettingState::PreferIPv4:
      return "Prefer IPv4";
    case SettingState::Custom:
      return "Custom";
    case SettingState::Relay:
      return "Relay";
  }
  return {};
}

std::vector<SettingState> SettingChoices(SystemSetting setting) {
  switch (setting) {
    case SystemSetting::TemporaryAddresses:
    case SystemSetting::RandomIdentifiers:
      return {SettingState::Enabled, SettingState::Disabled};
    case SystemSetting::AddressPreference:
      return {SettingState::PreferIPv6, SettingState::PreferIPv4};
    case SystemSetting::Teredo:
      return {SettingState::Default, SettingState::Disabled};
    case SystemSetting::Isatap:
    case SystemSetting::SixToFour:
      return {SettingState::Default, SettingState::Enabled, SettingState::Disabled};
  }
  return {};
}

bool HasStore(SystemSetting setting) {
  return setting == SystemSetting::TemporaryAddresses || setting == SystemSetting::RandomIdentifiers ||
         setting == SystemSetting::AddressPreference;
}

std::vector<CSystemChange> PlanPolicyChanges(bool bCurrentKnown, const std::vector<CPrefixPolicy>& current,
                                             const std::vector<CPrefixPolicy>& target, std::string_view store) {
  std::vector<CSystemChange> changes;
  for (const CPrefixPolicy& policy : target) {
    const CPrefixPolicy* pBefore = bCurrentKnown ? FindPolicy(current, policy.m_strPrefix) : nullptr;
    if (!bCurrentKnown || (pBefore != nullptr && !SameValues(*pBefore, policy)))
      changes.push_back(PolicyChange(PolicyVerb::Set, policy, pBefore, store));
    else if (pBefore == nullptr)
      changes.push_back(PolicyChange(PolicyVerb::Add, policy, nullptr, store));
  }
  for (const CPrefixPolicy& policy : bCurrentKnown ? current : std::vector<CPrefixPolicy>{})
    if (IsPrefixText(policy.m_strPrefix) && FindPolicy(target, policy.m_strPrefix) == nullptr)
      changes.push_back(PolicyChange(PolicyVerb::Delete, policy, &policy, store));
  return changes;
}

std::vector<CSystemChange> PlanSystemChanges(const CSystemState& current,
                                             const SettingState (&chosen)[SYSTEM_SETTING_COUNT], bool bActiveOnly) {
  std::vector<CSystemChange> changes;
  for (int i = 0; i < SYSTEM_SETTING_COUNT; ++i) {
    const auto setting = static_cast<SystemSetting>(i);
    const SettingState before = current.Get(setting);
    if (chosen[i] == SettingState::NotKnown || chosen[i] == before) continue;
    const std::string store = HasStore(setting) ? (bActiveOnly ? "active" : "persistent") : "";
    std::vector<CSystemChange> lines;
    if (setting == SystemSetting::AddressPreference) {
      const auto target =
          chosen[i] == SettingState::PreferIPv4 ? PreferIPv4PrefixPolicies() : DefaultPrefixPolicies();
      lines = PlanPolicyChanges(current.m_bPoliciesKnown, current.m_policies, target, store);
    } else {
      lines.emplace_back();
      lines.back().m_setting = setting;
      lines.back().m_strStore = store;
    }
    for (CSystemChange& line : lines) {
      line.m_state = chosen[i];
      line.m_stateBefore = before;
      changes.push_back(std::move(line));
    }
  }
  return changes;
}

std::string FormatSystemCommand(const CSystemChange& change) {
  const std::string word(NetshWord(change.m_setting, change.m_state));
  switch (change.m_setting) {
    case SystemSetting::TemporaryAddresses:
      return "interface ipv6 set privacy state=" + word + StoreText(change);
    case SystemSetting::RandomIdentifiers:
      return "interface ipv6 set global randomizeidentifiers=" + word + StoreText(change);
    case SystemSetting::AddressPreference: {
      const std::string prefix = " prefixpolicy prefix=" + change.m_policy.m_strPrefix;
      if (change.m_verb == PolicyVerb::Delete) return "interface ipv6 delete" + prefix + StoreText(change);
      return std::string(change.m_verb == PolicyVerb::Add ? "interface ipv6 add" : "interface ipv6 set") + prefix +
             PolicyValues(change.m_policy) + StoreText(change);
    }
    case SystemSetting::Teredo:
      return "interface teredo set state type=" + word;
    case SystemSetting::Isatap:
      return "interface isatap set state state=" + word;
    case SystemSetting::SixToFour:
      return "interface 6to4 set state state=" + word;
  }
  return {};
}

std::string FormatSystemPowerShell(const CSystemChange& change) {
  const std::string word = CmdletWord(change.m_setting, change.m_state);
  // The tunnels' netsh lines have no store, and the netsh reference does not
  // say which one they change; the cmdlet's line names its store.
  constexpr std::string_view TUNNEL_STORE = " -PolicyStore PersistentStore";
  switch (change.m_setting) {
    case SystemSetting::TemporaryAddresses:
      if (change.m_strStore == "active") return NetshFromPowerShell(change);
      return "Set-NetIPv6Protocol -UseTemporaryAddresses " + word;
    case SystemSetting::RandomIdentifiers:
      if (change.m_strStore == "active") return NetshFromPowerShell(change);
      return "Set-NetIPv6Protocol -RandomizeIdentifiers " + word;
    case SystemSetting::AddressPreference:
      return NetshFromPowerShell(change);
    case SystemSetting::Teredo:
      return "Set-NetTeredoConfiguration -Type " + word + std::string(TUNNEL_STORE);
    case SystemSetting::Isatap:
      return "Set-NetIsatapConfiguration -State " + word + std::string(TUNNEL_STORE);
    case SystemSetting::SixToFour:
      return "Set-Net6to4Configuration -State " + word + std::string(TUNNEL_STORE);
  }
  return {};
}

std::string PlanSystemInverse(const CSystemChange& change, CSystemChange& inverse) {
  inverse = change;
  inverse.m_state = change.m_stateBefore;
  inverse.m_stateBefore = change.m_state;
  const std::string name = SystemSettingName(change.m_setting);
  if (change.m_setting == SystemSetting::AddressPreference) {
    inverse.m_policyBefore = change.m_policy;
    inverse.m_bPolicyBefore = change.m_verb != PolicyVerb::Delete;
    if (change.m_verb == PolicyVerb::Add) {
      inverse.m_verb = PolicyVerb::Delete;
    } else if (!change.m_bPolicyBefore) {
      return "The prefix policy " + change.m_policy.m_strPrefix +
             " cannot be put back: what it was before is not known.";
    } else {
      inverse.m_verb = change.m_verb == PolicyVerb::Delete ? PolicyVerb::Add : PolicyVerb::Set;
      inverse.m_policy = change.m_policyBefore;
    }
    // No command line is made from a text that is not a prefix.
    if (!IsPrefixText(inverse.m_policy.m_strPrefix))
      return "The prefix policy " + inverse.m_policy.m_strPrefix + " cannot be put back: it is not an IPv6 prefix.";
    return {};
  }
  if (change.m_stateBefore == SettingState::NotKnown)
    return name + " cannot be put back: what it was before is not known.";
  if (NetshWord(change.m_setting, change.m_stateBefore).empty())
    return name + " cannot be put back: netsh cannot set it to " + SettingStateText(change.m_stateBefore) + ".";
  return {};
}

}  // namespace vantoric
