#include "core/system_settings.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "core/lifetime_text.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

constexpr std::string_view MAPPED_IPV4_PREFIX = "::ffff:0:0/96";
constexpr std::uint32_t PREFER_IPV4_PRECEDENCE = 45;

// Windows' own table, highest precedence first.
const CPrefixPolicy DEFAULT_POLICIES[] = {
    {"::1/128", 50, 0},   {"::/0", 40, 1},      {"::ffff:0:0/96", 35, 4}, {"2002::/16", 30, 2}, {"2001::/32", 5, 5},
    {"fc00::/7", 3, 13},  {"fec0::/10", 1, 11}, {"3ffe::/16", 1, 12},     {"::/96", 1, 3},
};

bool SamePrefix(std::string_view a, std::string_view b) { return LowerAscii(a) == LowerAscii(b); }

const CPrefixPolicy* FindPolicy(const std::vector<CPrefixPolicy>& policies, std::string_view prefix) {
  const auto found = std::find_if(policies.begin(), policies.end(),
                                  [&](const CPrefixPolicy& p) { return SamePrefix(p.m_strPrefix, prefix); });
  return found != policies.end() ? &*found : nullptr;
}

bool SameValues(const CPrefixPolicy& a, const CPrefixPolicy& b) {
  return a.m_nPrecedence == b.m_nPrecedence && a.m_nLabel == b.m_nLabel;
}

// The state of a management class's number, in the order of its values.
SettingState StateOf(bool bRead, std::uint32_t value, std::initializer_list<SettingState> values) {
  if (!bRead || value >= values.size()) return SettingState::NotKnown;
  return values.begin()[value];
}

// netsh's word for a state of a setting; "" where netsh cannot set it.
std::string_view NetshWord(SystemSetting setting, SettingState state) {
  const bool bTeredo = setting == SystemSetting::Teredo;
  const bool bTunnel = bTeredo || setting == SystemSetting::Isatap || setting == SystemSetting::SixToFour;
  switch (state) {
    case SettingState::Enabled:
      return bTeredo ? "" : "enabled";
    case SettingState::Disabled:
      return "disabled";
    case SettingState::Default:
      return bTunnel ? "default" : "";
    case SettingState::Client:
      return bTeredo ? "client" : "";
    case SettingState::EnterpriseClient:
      return bTeredo ? "enterpriseclient" : "";
    case SettingState::Server:
      return bTeredo ? "server" : "";
    default:
      return {};
  }
}

// The cmdlets' word: netsh's with a capital, "Enterpriseclient" included.
std::string CmdletWord(SystemSetting setting, SettingState state) {
  std::string word(NetshWord(setting, state));
  if (!word.empty()) word[0] = static_cast<char>(word[0] - 'a' + 'A');
  return word;
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
  // ddddddddhhmmss.mmmmmm:000
  if (text.size() != 25 || text[14] != '.' || text[21] != ':') return false;
  const auto number = [&](std::size_t pos, std::size_t len, std::uint64_t& out) {
    out = 0;
    for (std::size_t i = pos; i < pos + len; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      out = out * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    return true;
  };
  std::uint64_t days = 0, hours = 0, minutes = 0, secs = 0, micro = 0, zero = 0;
  if (!number(0, 8, days) || !number(8, 2, hours) || !number(10, 2, minutes) || !number(12, 2, secs) ||
      !number(15, 6, micro) || !number(22, 3, zero))
    return false;
  const std::uint64_t total = days * 86400 + hours * 3600 + minutes * 60 + secs;
  seconds = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, MAX_FINITE_LIFETIME));
  return true;
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
  using S = SettingState;
  CSystemState state;
  auto& states = state.m_states;
  states[static_cast<int>(SystemSetting::TemporaryAddresses)] =
      StateOf(facts.m_bProtocolRead, facts.m_nUseTemporaryAddresses, {S::Disabled, S::Enabled, S::Always, S::Counter});
  states[static_cast<int>(SystemSetting::RandomIdentifiers)] =
      StateOf(facts.m_bProtocolRead, facts.m_nRandomizeIdentifiers, {S::Disabled, S::Enabled});
  states[static_cast<int>(SystemSetting::AddressPreference)] =
      facts.m_bPoliciesRead ? ClassifyPrefixPolicies(facts.m_policies) : S::NotKnown;
  // Teredo's types are taken in the order that its cmdlet lists them.
  states[static_cast<int>(SystemSetting::Teredo)] =
      StateOf(facts.m_bTeredoRead, facts.m_nTeredoType,
              {S::Default, S::Automatic, S::EnterpriseClient, S::Client, S::Server, S::Disabled});
  states[static_cast<int>(SystemSetting::Isatap)] =
      StateOf(facts.m_bIsatapRead, facts.m_nIsatapState, {S::Default, S::Automatic, S::Enabled, S::Disabled});
  states[static_cast<int>(SystemSetting::SixToFour)] =
      StateOf(facts.m_bSixToFourRead, facts.m_nSixToFourState, {S::Default, S::Automatic, S::Enabled, S::Disabled});
  std::uint32_t seconds = 0;
  if (facts.m_bProtocolRead && ParseCimInterval(facts.m_strMaxTemporaryValidLifetime, seconds))
    state.m_strTemporaryValidLifetime = FormatLifetime(seconds);
  if (facts.m_bProtocolRead && ParseCimInterval(facts.m_strMaxTemporaryPreferredLifetime, seconds))
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
    if (FindPolicy(target, policy.m_strPrefix) == nullptr)
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
  const std::string store = change.m_strStore == "active" ? " -PolicyStore ActiveStore" : "";
  switch (change.m_setting) {
    case SystemSetting::TemporaryAddresses:
      return "Set-NetIPv6Protocol -UseTemporaryAddresses " + word + store;
    case SystemSetting::RandomIdentifiers:
      return "Set-NetIPv6Protocol -RandomizeIdentifiers " + word + store;
    case SystemSetting::AddressPreference:
      return "& \"$env:SystemRoot\\System32\\netsh.exe\" " + FormatSystemCommand(change);
    case SystemSetting::Teredo:
      return "Set-NetTeredoConfiguration -Type " + word;
    case SystemSetting::Isatap:
      return "Set-NetIsatapConfiguration -State " + word;
    case SystemSetting::SixToFour:
      return "Set-Net6to4Configuration -State " + word;
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
      return {};
    }
    if (!change.m_bPolicyBefore)
      return "The prefix policy " + change.m_policy.m_strPrefix +
             " cannot be put back: what it was before is not known.";
    inverse.m_verb = change.m_verb == PolicyVerb::Delete ? PolicyVerb::Add : PolicyVerb::Set;
    inverse.m_policy = change.m_policyBefore;
    return {};
  }
  if (change.m_stateBefore == SettingState::NotKnown)
    return name + " cannot be put back: what it was before is not known.";
  if (NetshWord(change.m_setting, change.m_stateBefore).empty())
    return name + " cannot be put back: netsh cannot set it to " + SettingStateText(change.m_stateBefore) + ".";
  return {};
}

}  // namespace vantoric
