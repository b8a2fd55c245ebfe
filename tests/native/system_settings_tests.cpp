// The System page's rules: the management classes' values as rows, the
// command lines of each setting and store, the prefix-policy table's
// difference, and taking a command back.
#include "core/system_settings.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "core/adapter_listing.h"
#include "core/command_history.h"

namespace vantoric {
namespace {

using S = SettingState;

std::string Lines(const std::vector<CSystemChange>& changes) {
  std::string text;
  for (const CSystemChange& change : changes) text += FormatSystemCommand(change) + "\n";
  return text;
}

std::vector<CPrefixPolicy> With(std::vector<CPrefixPolicy> policies, const CPrefixPolicy& row) {
  for (CPrefixPolicy& policy : policies)
    if (policy.m_strPrefix == row.m_strPrefix) {
      policy = row;
      return policies;
    }
  policies.push_back(row);
  return policies;
}

// Every class read, with `number` in the property that `setting` is read
// from.
CSystemFacts FactsWith(SystemSetting setting, std::uint32_t number) {
  CSystemFacts facts;
  facts.m_bProtocolRead = facts.m_bTeredoRead = facts.m_bIsatapRead = facts.m_bSixToFourRead = true;
  switch (setting) {
    case SystemSetting::TemporaryAddresses:
      facts.m_nUseTemporaryAddresses = number;
      break;
    case SystemSetting::RandomIdentifiers:
      facts.m_nRandomizeIdentifiers = number;
      break;
    case SystemSetting::Teredo:
      facts.m_nTeredoType = number;
      break;
    case SystemSetting::Isatap:
      facts.m_nIsatapState = number;
      break;
    case SystemSetting::SixToFour:
      facts.m_nSixToFourState = number;
      break;
    case SystemSetting::AddressPreference:
      break;
  }
  return facts;
}

std::string Shown(SystemSetting setting, std::uint32_t number) {
  return SettingStateText(ReadSystemState(FactsWith(setting, number)).Get(setting));
}

// The rows are the class pages' value lists (learn.microsoft.com/windows/
// win32/fwp/wmi: nettcpipprov/msft-netipv6protocol, msft-netprefixpolicy;
// netttcimprov/msft-netteredoconfiguration, msft-netisatapconfiguration,
// msft-net6to4configuration), and one number past each list.
TEST(SystemState, ManagementValuesBecomeRows) {
  using Read = std::string (*)(std::uint32_t);
  const Read temporary = [](std::uint32_t n) { return Shown(SystemSetting::TemporaryAddresses, n); };
  const Read random = [](std::uint32_t n) { return Shown(SystemSetting::RandomIdentifiers, n); };
  const Read teredo = [](std::uint32_t n) { return Shown(SystemSetting::Teredo, n); };
  const Read isatap = [](std::uint32_t n) { return Shown(SystemSetting::Isatap, n); };
  const Read sixToFour = [](std::uint32_t n) { return Shown(SystemSetting::SixToFour, n); };
  const Read teredoUnread = [](std::uint32_t n) {
    CSystemFacts facts = FactsWith(SystemSetting::Teredo, n);
    facts.m_bTeredoRead = false;
    return SettingStateText(ReadSystemState(facts).Get(SystemSetting::Teredo));
  };
  const Read store = [](std::uint32_t n) { return PrefixPolicyStoreName(n); };
  const struct {
    const char* what;
    Read read;
    std::uint32_t number;
    const char* shown;
  } cases[] = {
      {"UseTemporaryAddresses 0 No", temporary, 0, "Disabled"},
      {"UseTemporaryAddresses 1 Yes", temporary, 1, "Enabled"},
      {"UseTemporaryAddresses 2 Always", temporary, 2, "Always"},
      {"UseTemporaryAddresses 3 Counter", temporary, 3, "Counter"},
      {"UseTemporaryAddresses 4 is not on the page", temporary, 4, "Not known"},
      {"RandomizeIdentifiers 0 Disabled", random, 0, "Disabled"},
      {"RandomizeIdentifiers 1 Enabled", random, 1, "Enabled"},
      {"RandomizeIdentifiers 2 is not on the page", random, 2, "Not known"},
      {"Teredo Type 0 default", teredo, 0, "Default"},
      {"Teredo Type 1 relay", teredo, 1, "Relay"},
      {"Teredo Type 2 client", teredo, 2, "Client"},
      {"Teredo Type 3 server", teredo, 3, "Server"},
      {"Teredo Type 4 disabled", teredo, 4, "Disabled"},
      {"Teredo Type 5 automatic", teredo, 5, "Automatic"},
      {"Teredo Type 6 enterpriseclient", teredo, 6, "Enterprise client"},
      {"Teredo Type 7: natawareclient has no number on the page", teredo, 7, "Not known"},
      {"Teredo class not read", teredoUnread, 4, "Not known"},
      {"ISATAP State 0 default", isatap, 0, "Default"},
      {"ISATAP State 1 automatic", isatap, 1, "Automatic"},
      {"ISATAP State 2 enabled", isatap, 2, "Enabled"},
      {"ISATAP State 3 disabled", isatap, 3, "Disabled"},
      {"ISATAP State 4 is not on the page", isatap, 4, "Not known"},
      {"6to4 State 0 default", sixToFour, 0, "Default"},
      {"6to4 State 1 automatic", sixToFour, 1, "Automatic"},
      {"6to4 State 2 enabled", sixToFour, 2, "Enabled"},
      {"6to4 State 3 disabled", sixToFour, 3, "Disabled"},
      {"6to4 State 4 is not on the page", sixToFour, 4, "Not known"},
      {"prefix policy Store 0 Persistent", store, 0, "persistent"},
      {"prefix policy Store 1 Active", store, 1, "active"},
      {"prefix policy Store 2 is not on the page", store, 2, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.read(c.number), c.shown) << c.what;
}

// The rows follow "Interval Format" (learn.microsoft.com/windows/win32/
// wmisdk/interval-format) and the class page's defaults for
// MaxValidLifetime (7 days) and MaxPreferredLifetime (1 day).
TEST(SystemState, LifetimesAreReadAsCimIntervals) {
  const struct {
    const char* what;
    const char* text;
    const char* shown;  // the lifetime text, "" when not an interval
  } cases[] = {
      {"the format page's example: 1 day, 12 hours, 0 minutes, 32 seconds", "00000001120032.000000:000",
       "1d12h0m32s"},
      {"MaxValidLifetime's default", "00000007000000.000000:000", "7d0h0m0s"},
      {"MaxPreferredLifetime's default", "00000001000000.000000:000", "1d0h0m0s"},
      {"microseconds are below a second", "00000000000001.999999:000", "1s"},
      {"the most days an interval holds: lifetime text calls a year or more infinite", "99999999235959.000000:000",
       "infinite"},
      {"hour 24", "00000000240000.000000:000", ""},
      {"minute 60", "00000000006000.000000:000", ""},
      {"second 60", "00000000000060.000000:000", ""},
      {"a date's UTC offset, not an interval", "00000001120032.000000+000", ""},
      {"asterisks are not allowed in an interval", "00000001120032.******:000", ""},
      {"a digit short", "0000000112003.000000:000", ""},
      {"the cmdlet's TimeSpan text", "7.00:00:00", ""},
      {"nothing", "", ""},
  };
  for (const auto& c : cases) {
    CSystemFacts facts;
    facts.m_bProtocolRead = true;
    facts.m_strMaxValidLifetime = c.text;
    facts.m_strMaxPreferredLifetime = c.text;
    const CSystemState state = ReadSystemState(facts);
    EXPECT_EQ(state.m_strTemporaryValidLifetime, c.shown) << c.what;
    EXPECT_EQ(state.m_strTemporaryPreferredLifetime, c.shown) << c.what;
  }
}

TEST(SystemState, PolicyTableIsClassifiedAsAWhole) {
  std::vector<CPrefixPolicy> reordered = DefaultPrefixPolicies();
  std::swap(reordered.front(), reordered.back());
  std::vector<CPrefixPolicy> upper = PreferIPv4PrefixPolicies();
  upper[2].m_strPrefix = "::FFFF:0:0/96";
  const struct {
    const char* what;
    std::vector<CPrefixPolicy> policies;
    S expected;
  } cases[] = {
      {"Windows default", DefaultPrefixPolicies(), S::PreferIPv6},
      {"default in another order", reordered, S::PreferIPv6},
      {"prefer IPv4 (45)", PreferIPv4PrefixPolicies(), S::PreferIPv4},
      {"upper-case prefix", upper, S::PreferIPv4},
      {"any precedence between ::/0 and ::1", With(DefaultPrefixPolicies(), {"::ffff:0:0/96", 49, 4}), S::PreferIPv4},
      {"equal to ::/0 is not above it", With(DefaultPrefixPolicies(), {"::ffff:0:0/96", 40, 4}), S::Custom},
      {"above ::1", With(DefaultPrefixPolicies(), {"::ffff:0:0/96", 100, 4}), S::Custom},
      {"mapped row with another label", With(DefaultPrefixPolicies(), {"::ffff:0:0/96", 45, 9}), S::Custom},
      {"another row changed", With(DefaultPrefixPolicies(), {"2002::/16", 7, 2}), S::Custom},
      {"a row more", With(DefaultPrefixPolicies(), {"fd00::/8", 3, 13}), S::Custom},
      {"empty table", {}, S::Custom},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SettingStateText(ClassifyPrefixPolicies(c.policies)), SettingStateText(c.expected)) << c.what;
}

TEST(SystemCommands, EachSettingAndStoreHasItsLines) {
  const auto make = [](SystemSetting setting, S state, const char* store) {
    CSystemChange change;
    change.m_setting = setting;
    change.m_state = state;
    change.m_strStore = store;
    return change;
  };
  CSystemChange policySet = make(SystemSetting::AddressPreference, S::PreferIPv4, "active");
  policySet.m_policy = {"::ffff:0:0/96", 45, 4};
  CSystemChange policyAdd = policySet;
  policyAdd.m_verb = PolicyVerb::Add;
  policyAdd.m_strStore = "persistent";
  CSystemChange policyDelete = policyAdd;
  policyDelete.m_verb = PolicyVerb::Delete;
  policyDelete.m_policy = {"fd00::/8", 3, 13};
  const struct {
    CSystemChange change;
    const char* netsh;
    const char* powershell;
  } cases[] = {
      {make(SystemSetting::TemporaryAddresses, S::Disabled, "persistent"),
       "interface ipv6 set privacy state=disabled store=persistent", "Set-NetIPv6Protocol -UseTemporaryAddresses Disabled"},
      {make(SystemSetting::TemporaryAddresses, S::Enabled, "active"), "interface ipv6 set privacy state=enabled store=active",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 set privacy state=enabled store=active"},
      {make(SystemSetting::RandomIdentifiers, S::Disabled, "persistent"),
       "interface ipv6 set global randomizeidentifiers=disabled store=persistent",
       "Set-NetIPv6Protocol -RandomizeIdentifiers Disabled"},
      {make(SystemSetting::RandomIdentifiers, S::Enabled, "active"),
       "interface ipv6 set global randomizeidentifiers=enabled store=active",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 set global randomizeidentifiers=enabled "
       "store=active"},
      {policySet, "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=active",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 "
       "label=4 store=active"},
      {policyAdd, "interface ipv6 add prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 add prefixpolicy prefix=::ffff:0:0/96 precedence=45 "
       "label=4 store=persistent"},
      {policyDelete, "interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent"},
      {make(SystemSetting::Teredo, S::Disabled, ""), "interface teredo set state type=disabled",
       "Set-NetTeredoConfiguration -Type Disabled -PolicyStore PersistentStore"},
      {make(SystemSetting::Teredo, S::Default, ""), "interface teredo set state type=default",
       "Set-NetTeredoConfiguration -Type Default -PolicyStore PersistentStore"},
      {make(SystemSetting::Teredo, S::Client, ""), "interface teredo set state type=client",
       "Set-NetTeredoConfiguration -Type Client -PolicyStore PersistentStore"},
      {make(SystemSetting::Teredo, S::Server, ""), "interface teredo set state type=server",
       "Set-NetTeredoConfiguration -Type Server -PolicyStore PersistentStore"},
      {make(SystemSetting::Teredo, S::EnterpriseClient, ""), "interface teredo set state type=enterpriseclient",
       "Set-NetTeredoConfiguration -Type Enterpriseclient -PolicyStore PersistentStore"},
      {make(SystemSetting::Isatap, S::Enabled, ""), "interface isatap set state state=enabled",
       "Set-NetIsatapConfiguration -State Enabled -PolicyStore PersistentStore"},
      {make(SystemSetting::Isatap, S::Default, ""), "interface isatap set state state=default",
       "Set-NetIsatapConfiguration -State Default -PolicyStore PersistentStore"},
      {make(SystemSetting::SixToFour, S::Disabled, ""), "interface 6to4 set state state=disabled",
       "Set-Net6to4Configuration -State Disabled -PolicyStore PersistentStore"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSystemCommand(c.change), c.netsh);
    EXPECT_EQ(FormatSystemPowerShell(c.change), c.powershell) << c.netsh;
    EXPECT_EQ(CheckNetshLine(FormatSystemCommand(c.change)), NetshRefusal::None) << c.netsh;
  }
}

TEST(SystemCommands, PolicyTableChangesOnlyTheRowsThatDiffer) {
  std::vector<CPrefixPolicy> custom = With(DefaultPrefixPolicies(), {"fd00::/8", 3, 13});
  custom = With(custom, {"::1/128", 60, 0});
  const std::vector<CPrefixPolicy> partial = {{"::1/128", 50, 0}, {"::/0", 40, 1}};
  std::vector<CPrefixPolicy> written = With(DefaultPrefixPolicies(), {"::ffff:0.0.0.0/96", 35, 4});
  written = With(written, {"0::1/128", 50, 0});
  written.erase(written.begin() + 2);  // the ::ffff:0:0/96 row, now written as ::ffff:0.0.0.0/96
  written.erase(written.begin());      // the ::1/128 row, now written as 0::1/128
  std::vector<CPrefixPolicy> odd = DefaultPrefixPolicies();
  for (const char* prefix : {"fd00::/8 & calc", "fe80::%1/64", "::/129", "FD00::/8 ", "fd00::/8"})
    odd.push_back({prefix, 3, 13});
  const struct {
    const char* what;
    bool bKnown;
    std::vector<CPrefixPolicy> current;
    std::vector<CPrefixPolicy> target;
    const char* expected;
  } cases[] = {
      {"default to prefer IPv4", true, DefaultPrefixPolicies(), PreferIPv4PrefixPolicies(),
       "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent\n"},
      {"prefer IPv4 back to default", true, PreferIPv4PrefixPolicies(), DefaultPrefixPolicies(),
       "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=35 label=4 store=persistent\n"},
      {"the same table: nothing", true, DefaultPrefixPolicies(), DefaultPrefixPolicies(), ""},
      {"custom: a changed row set, an extra row deleted", true, custom, DefaultPrefixPolicies(),
       "interface ipv6 set prefixpolicy prefix=::1/128 precedence=50 label=0 store=persistent\n"
       "interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent\n"},
      {"custom: missing rows added", true, partial, {{"::1/128", 50, 0}, {"::ffff:0:0/96", 45, 4}, {"::/0", 40, 1}},
       "interface ipv6 add prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent\n"},
      {"prefixes written another way are the same rows", true, written, DefaultPrefixPolicies(), ""},
      {"rows whose prefix is not a prefix are left alone", true, odd, DefaultPrefixPolicies(),
       "interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent\n"},
      {"unknown table: every row of the target set", false, {}, PreferIPv4PrefixPolicies(),
       "interface ipv6 set prefixpolicy prefix=::1/128 precedence=50 label=0 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=::/0 precedence=40 label=1 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=2002::/16 precedence=30 label=2 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=2001::/32 precedence=5 label=5 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=fc00::/7 precedence=3 label=13 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=fec0::/10 precedence=1 label=11 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=3ffe::/16 precedence=1 label=12 store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=::/96 precedence=1 label=3 store=persistent\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Lines(PlanPolicyChanges(c.bKnown, c.current, c.target, "persistent")), c.expected) << c.what;
}

TEST(SystemCommands, OnlyChosenStatesThatDifferAreSet) {
  CSystemFacts facts;
  facts.m_bProtocolRead = true;
  facts.m_nUseTemporaryAddresses = 1;
  facts.m_nRandomizeIdentifiers = 1;
  facts.m_bPoliciesRead = true;
  facts.m_policies = DefaultPrefixPolicies();
  const CSystemState read = ReadSystemState(facts);
  const struct {
    const char* what;
    CSystemState current;
    std::vector<S> chosen;
    bool bActive;
    const char* expected;
  } cases[] = {
      {"temporary addresses off and prefer IPv4, persistent", read,
       {S::Disabled, S::Enabled, S::PreferIPv4, S::NotKnown, S::NotKnown, S::NotKnown}, false,
       "interface ipv6 set privacy state=disabled store=persistent\n"
       "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent\n"},
      {"until the next restart; the tunnels have no store", read,
       {S::NotKnown, S::Disabled, S::NotKnown, S::Disabled, S::Default, S::Enabled}, true,
       "interface ipv6 set global randomizeidentifiers=disabled store=active\n"
       "interface teredo set state type=disabled\ninterface isatap set state state=default\n"
       "interface 6to4 set state state=enabled\n"},
      {"chosen as read: nothing", read, {S::Enabled, S::Enabled, S::PreferIPv6, S::NotKnown, S::NotKnown, S::NotKnown},
       false, ""},
      {"not known: a chosen state is still set", ReadSystemState(CSystemFacts{}),
       {S::Disabled, S::NotKnown, S::NotKnown, S::Disabled, S::NotKnown, S::NotKnown}, false,
       "interface ipv6 set privacy state=disabled store=persistent\ninterface teredo set state type=disabled\n"},
  };
  for (const auto& c : cases) {
    SettingState chosen[SYSTEM_SETTING_COUNT];
    for (int i = 0; i < SYSTEM_SETTING_COUNT; ++i) chosen[i] = c.chosen[static_cast<size_t>(i)];
    EXPECT_EQ(Lines(PlanSystemChanges(c.current, chosen, c.bActive)), c.expected) << c.what;
  }
}

TEST(SystemUndo, BackToWhatWasReadOrWhyNot) {
  const auto make = [](SystemSetting setting, S state, S before) {
    CSystemChange change;
    change.m_setting = setting;
    change.m_state = state;
    change.m_stateBefore = before;
    change.m_strStore = HasStore(setting) ? "active" : "";
    return change;
  };
  const std::vector<CSystemChange> fromDefault =
      PlanPolicyChanges(true, DefaultPrefixPolicies(), PreferIPv4PrefixPolicies(), "persistent");
  const std::vector<CSystemChange> fromUnknown =
      PlanPolicyChanges(false, {}, PreferIPv4PrefixPolicies(), "persistent");
  const std::vector<CSystemChange> fromCustom = PlanPolicyChanges(
      true, {{"::1/128", 50, 0}, {"fd00::/8", 3, 13}}, {{"::1/128", 50, 0}, {"::/0", 40, 1}}, "persistent");
  // Teredo set to Default from the type number the system reported.
  const auto fromTeredo = [](std::uint32_t number) {
    SettingState chosen[SYSTEM_SETTING_COUNT] = {S::NotKnown, S::NotKnown, S::NotKnown, S::Default};
    return PlanSystemChanges(ReadSystemState(FactsWith(SystemSetting::Teredo, number)), chosen, false).at(0);
  };
  CSystemChange oddDelete = fromCustom.at(1);
  oddDelete.m_policy = oddDelete.m_policyBefore = {"fd00::/8 & calc", 3, 13};
  const struct {
    const char* what;
    CSystemChange change;
    const char* line;     // the inverse's line, when there is one
    const char* refusal;  // else why not
  } cases[] = {
      {"temporary addresses back on, same store", make(SystemSetting::TemporaryAddresses, S::Disabled, S::Enabled),
       "interface ipv6 set privacy state=enabled store=active", ""},
      {"teredo back to a client type", make(SystemSetting::Teredo, S::Disabled, S::Client),
       "interface teredo set state type=client", ""},
      {"not known before", make(SystemSetting::Isatap, S::Disabled, S::NotKnown), "",
       "ISATAP cannot be put back: what it was before is not known."},
      {"a state netsh cannot set", make(SystemSetting::SixToFour, S::Disabled, S::Automatic), "",
       "6to4 cannot be put back: netsh cannot set it to Automatic."},
      {"a policy set back", fromDefault.at(0),
       "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=35 label=4 store=persistent", ""},
      {"a policy set on an unknown table", fromUnknown.at(0), "",
       "The prefix policy ::1/128 cannot be put back: what it was before is not known."},
      {"an added policy deleted", fromCustom.at(0), "interface ipv6 delete prefixpolicy prefix=::/0 store=persistent",
       ""},
      {"a deleted policy added back", fromCustom.at(1),
       "interface ipv6 add prefixpolicy prefix=fd00::/8 precedence=3 label=13 store=persistent", ""},
      {"teredo read as 4 goes back to disabled", fromTeredo(4), "interface teredo set state type=disabled", ""},
      {"teredo read as 2 goes back to client", fromTeredo(2), "interface teredo set state type=client", ""},
      {"teredo read as 1: netsh has no relay type", fromTeredo(1), "",
       "Teredo cannot be put back: netsh cannot set it to Relay."},
      {"teredo read as 5: netsh has no automatic type", fromTeredo(5), "",
       "Teredo cannot be put back: netsh cannot set it to Automatic."},
      {"teredo read as 7, a number the class page does not list", fromTeredo(7), "",
       "Teredo cannot be put back: what it was before is not known."},
      {"a deleted row whose prefix is not a prefix", oddDelete, "",
       "The prefix policy fd00::/8 & calc cannot be put back: it is not an IPv6 prefix."},
  };
  for (const auto& c : cases) {
    CSystemChange inverse;
    const std::string refusal = PlanSystemInverse(c.change, inverse);
    EXPECT_EQ(refusal, c.refusal) << c.what;
    if (refusal.empty()) {
      EXPECT_EQ(FormatSystemCommand(inverse), c.line) << c.what;
    }
  }
}

TEST(SystemUndo, HistoryTakesAnApplyBackTogetherWithoutAnAdapter) {
  CCommandHistory history;
  const int group = history.NewGroup();
  SettingState chosen[SYSTEM_SETTING_COUNT] = {S::Disabled, S::NotKnown, S::NotKnown, S::Disabled};
  CSystemFacts facts;
  facts.m_bProtocolRead = true;
  facts.m_nUseTemporaryAddresses = 1;
  facts.m_bTeredoRead = true;
  for (const CSystemChange& system : PlanSystemChanges(ReadSystemState(facts), chosen, false)) {
    CHistoryEntry entry;
    entry.m_change.m_kind = ChangeKind::System;
    entry.m_change.m_system = system;
    entry.m_strLine = FormatChangeCommand(entry.m_change);
    entry.m_result.m_outcome = NetshOutcome::Succeeded;
    entry.m_nGroup = group;
    history.Record(entry);
  }
  const CUndoPlan plan = PlanUndo(history, 0, {});
  ASSERT_EQ(plan.m_strRefusal, "");
  ASSERT_EQ(plan.m_changes.size(), 2u);
  EXPECT_EQ(FormatChangeCommand(plan.m_changes[0]), "interface teredo set state type=default");
  EXPECT_EQ(FormatPowerShellCommand(plan.m_changes[1]), "Set-NetIPv6Protocol -UseTemporaryAddresses Enabled");
}

TEST(SystemListing, ValuesOrNullWhereNotKnown) {
  CSystemFacts facts;
  facts.m_bProtocolRead = true;
  facts.m_nUseTemporaryAddresses = 0;
  facts.m_nRandomizeIdentifiers = 1;
  facts.m_strMaxValidLifetime = "00000007000000.000000:000";
  facts.m_bTeredoRead = true;
  facts.m_nTeredoType = 2;
  const CSystemState state = ReadSystemState(facts);
  const nlohmann::ordered_json listing = nlohmann::ordered_json::parse(FormatAdapterListing(nullptr, 0, "t", nullptr, &state));
  EXPECT_EQ(listing["system"].dump(),
            R"({"temporary_addresses":"disabled","temporary_valid_lifetime":"7d0h0m0s",)"
            R"("temporary_preferred_lifetime":null,"random_identifiers":"enabled","address_preference":null,)"
            R"("prefix_policies":null,"teredo":"client","isatap":null,"6to4":null})");
  facts.m_bPoliciesRead = true;
  facts.m_policies = {{"::1/128", 50, 0}};
  const CSystemState custom = ReadSystemState(facts);
  const nlohmann::ordered_json withTable = nlohmann::ordered_json::parse(FormatAdapterListing(nullptr, 0, "t", nullptr, &custom));
  EXPECT_EQ(withTable["system"]["address_preference"], "custom");
  EXPECT_EQ(withTable["system"]["prefix_policies"].dump(), R"([{"prefix":"::1/128","precedence":50,"label":0}])");
  EXPECT_FALSE(nlohmann::json::parse(FormatAdapterListing(nullptr, 0, "t")).contains("system"))
      << "without a reading, no system object";
  const struct {
    const char* what;
    std::uint32_t type;
    const char* teredo;  // the value's JSON text
  } types[] = {
      {"relay, which netsh cannot set, is still written", 1, R"("relay")"},
      {"enterpriseclient", 6, R"("enterprise_client")"},
      {"a number the class page does not list", 7, "null"},
  };
  for (const auto& t : types) {
    facts.m_nTeredoType = t.type;
    const CSystemState read = ReadSystemState(facts);
    EXPECT_EQ(nlohmann::ordered_json::parse(FormatAdapterListing(nullptr, 0, "t", nullptr, &read))["system"]["teredo"]
                  .dump(),
              t.teredo)
        << t.what;
  }
}

}  // namespace
}  // namespace vantoric
