// The System page's rules: the management classes' values as rows, the
// command lines of each setting and store, the prefix-policy table's
// difference, and taking a command back.
#include "core/system_settings.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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

TEST(SystemState, ManagementValuesBecomeRows) {
  CSystemFacts all;
  all.m_bProtocolRead = true;
  all.m_nUseTemporaryAddresses = 1;
  all.m_nRandomizeIdentifiers = 0;
  all.m_strMaxTemporaryValidLifetime = "00000007000000.000000:000";
  all.m_strMaxTemporaryPreferredLifetime = "00000001000000.000000:000";
  all.m_bPoliciesRead = true;
  all.m_policies = PreferIPv4PrefixPolicies();
  all.m_bTeredoRead = true;
  all.m_nTeredoType = 5;
  all.m_bIsatapRead = true;
  all.m_nIsatapState = 3;
  all.m_bSixToFourRead = true;
  all.m_nSixToFourState = 0;
  CSystemFacts odd = all;
  odd.m_nUseTemporaryAddresses = 2;
  odd.m_nRandomizeIdentifiers = 7;
  odd.m_strMaxTemporaryValidLifetime = "7 days";
  odd.m_strMaxTemporaryPreferredLifetime = "00000000013000.000000:000";
  odd.m_nTeredoType = 3;
  odd.m_nIsatapState = 1;
  odd.m_nSixToFourState = 2;
  odd.m_policies.pop_back();
  const struct {
    const char* what;
    CSystemFacts facts;
    std::vector<S> states;
    const char* valid;
    const char* preferred;
  } cases[] = {
      {"every class read", all, {S::Enabled, S::Disabled, S::PreferIPv4, S::Disabled, S::Disabled, S::Default}, "7d0h0m0s",
       "1d0h0m0s"},
      {"other values: named, or not known past the documented ones",
       odd,
       {S::Always, S::NotKnown, S::Custom, S::Client, S::Automatic, S::Enabled},
       "",
       "1h30m0s"},
      {"nothing read (older Windows, Wine)", CSystemFacts{},
       {S::NotKnown, S::NotKnown, S::NotKnown, S::NotKnown, S::NotKnown, S::NotKnown}, "", ""},
  };
  for (const auto& c : cases) {
    const CSystemState state = ReadSystemState(c.facts);
    for (int i = 0; i < SYSTEM_SETTING_COUNT; ++i)
      EXPECT_EQ(SettingStateText(state.m_states[i]), SettingStateText(c.states[static_cast<size_t>(i)]))
          << c.what << ": " << SystemSettingName(static_cast<SystemSetting>(i));
    EXPECT_EQ(state.m_strTemporaryValidLifetime, c.valid) << c.what;
    EXPECT_EQ(state.m_strTemporaryPreferredLifetime, c.preferred) << c.what;
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
       "Set-NetIPv6Protocol -UseTemporaryAddresses Enabled -PolicyStore ActiveStore"},
      {make(SystemSetting::RandomIdentifiers, S::Disabled, "persistent"),
       "interface ipv6 set global randomizeidentifiers=disabled store=persistent",
       "Set-NetIPv6Protocol -RandomizeIdentifiers Disabled"},
      {make(SystemSetting::RandomIdentifiers, S::Enabled, "active"),
       "interface ipv6 set global randomizeidentifiers=enabled store=active",
       "Set-NetIPv6Protocol -RandomizeIdentifiers Enabled -PolicyStore ActiveStore"},
      {policySet, "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=active",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 "
       "label=4 store=active"},
      {policyAdd, "interface ipv6 add prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 add prefixpolicy prefix=::ffff:0:0/96 precedence=45 "
       "label=4 store=persistent"},
      {policyDelete, "interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent",
       "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent"},
      {make(SystemSetting::Teredo, S::Disabled, ""), "interface teredo set state type=disabled",
       "Set-NetTeredoConfiguration -Type Disabled"},
      {make(SystemSetting::Teredo, S::Default, ""), "interface teredo set state type=default",
       "Set-NetTeredoConfiguration -Type Default"},
      {make(SystemSetting::Teredo, S::EnterpriseClient, ""), "interface teredo set state type=enterpriseclient",
       "Set-NetTeredoConfiguration -Type Enterpriseclient"},
      {make(SystemSetting::Isatap, S::Enabled, ""), "interface isatap set state state=enabled",
       "Set-NetIsatapConfiguration -State Enabled"},
      {make(SystemSetting::SixToFour, S::Disabled, ""), "interface 6to4 set state state=disabled",
       "Set-Net6to4Configuration -State Disabled"},
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
  facts.m_strMaxTemporaryValidLifetime = "00000007000000.000000:000";
  facts.m_bTeredoRead = true;
  facts.m_nTeredoType = 2;
  const CSystemState state = ReadSystemState(facts);
  const nlohmann::ordered_json listing = nlohmann::ordered_json::parse(FormatAdapterListing(nullptr, 0, "t", nullptr, &state));
  EXPECT_EQ(listing["system"].dump(),
            R"({"temporary_addresses":"disabled","temporary_valid_lifetime":"7d0h0m0s",)"
            R"("temporary_preferred_lifetime":null,"random_identifiers":"enabled","address_preference":null,)"
            R"("prefix_policies":null,"teredo":"enterprise_client","isatap":null,"6to4":null})");
  facts.m_bPoliciesRead = true;
  facts.m_policies = {{"::1/128", 50, 0}};
  const CSystemState custom = ReadSystemState(facts);
  const nlohmann::ordered_json withTable = nlohmann::ordered_json::parse(FormatAdapterListing(nullptr, 0, "t", nullptr, &custom));
  EXPECT_EQ(withTable["system"]["address_preference"], "custom");
  EXPECT_EQ(withTable["system"]["prefix_policies"].dump(), R"([{"prefix":"::1/128","precedence":50,"label":0}])");
  EXPECT_FALSE(nlohmann::json::parse(FormatAdapterListing(nullptr, 0, "t")).contains("system"))
      << "without a reading, no system object";
}

}  // namespace
}  // namespace vantoric
