// The Interface page's rules: the rows read, what enables Apply, every
// refusal edge of the check, the netsh and PowerShell lines of only the
// changed settings, the router question and taking a change back.
#include "core/interface_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/command_history.h"

namespace vantoric {
namespace {

CInterfaceSettings Read() {
  CInterfaceSettings s;
  s.m_nMtu = 1500;
  s.m_nLargestMtu = 9000;
  s.m_bAutomaticMetric = true;
  s.m_nMetric = 25;
  s.m_nRouterDiscovery = ROUTER_DISCOVERY_ENABLED;
  s.m_nDadTransmits = 1;
  s.m_nBaseReachableMs = 30000;
  s.m_nReachableMs = 27500;
  return s;
}

std::string RowsText(const CInterfaceSettings& s) {
  std::string text;
  for (const CInterfaceRow& row : MakeInterfaceRows(s))
    text += row.m_strName + "=" + row.m_strValue + (row.m_bChoice ? "#" + std::to_string(row.m_nChoice) : "") + ";";
  return text;
}

TEST(MakeInterfaceRows, ValuesAsReadInPageOrder) {
  CInterfaceSettings manual = Read();
  manual.m_bAutomaticMetric = false;
  manual.m_nMetric = 10;
  manual.m_bForwarding = true;
  manual.m_bAdvertising = true;
  manual.m_bManaged = true;
  manual.m_bOtherStateful = true;
  manual.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP;
  CInterfaceSettings noDiscovery = Read();
  noDiscovery.m_nRouterDiscovery = ROUTER_DISCOVERY_DISABLED;
  const struct {
    const char* reason;
    CInterfaceSettings settings;
    std::string rows;
  } cases[] = {
      {"a host's defaults: the metric chosen by the system reads Automatic, its only choice", Read(),
       "Link MTU (bytes)=1500;Interface metric=Automatic#0;Forwarding=enabled!disabled#1;"
       "Advertising=enabled!disabled#1;Router discovery=enabled!disabled!dhcp#0;"
       "Managed address configuration=enabled!disabled#1;Other stateful configuration=enabled!disabled#1;"
       "DAD transmissions=1;Base reachable time (ms)=30000;"},
      {"a router with a metric set by hand and discovery through DHCP", manual,
       "Link MTU (bytes)=1500;Interface metric=10#0;Forwarding=enabled!disabled#0;"
       "Advertising=enabled!disabled#0;Router discovery=enabled!disabled!dhcp#2;"
       "Managed address configuration=enabled!disabled#0;Other stateful configuration=enabled!disabled#0;"
       "DAD transmissions=1;Base reachable time (ms)=30000;"},
      {"router discovery off", noDiscovery,
       "Link MTU (bytes)=1500;Interface metric=Automatic#0;Forwarding=enabled!disabled#1;"
       "Advertising=enabled!disabled#1;Router discovery=enabled!disabled!dhcp#1;"
       "Managed address configuration=enabled!disabled#1;Other stateful configuration=enabled!disabled#1;"
       "DAD transmissions=1;Base reachable time (ms)=30000;"},
  };
  for (const auto& c : cases) EXPECT_EQ(RowsText(c.settings), c.rows) << c.reason;
  EXPECT_EQ(FormatReachableTime(Read()), "Current reachable time: 27500 ms");
}

CInterfaceInput With(InterfaceField field, std::string text, CInterfaceInput input = MakeInterfaceInput(Read())) {
  input[static_cast<std::size_t>(field)] = std::move(text);
  return input;
}

TEST(IsInterfaceInputChanged, AnyRowDifferentFromTheOneRead) {
  const struct {
    const char* reason;
    CInterfaceInput input;
    bool changed;
  } cases[] = {
      {"the rows as read", MakeInterfaceInput(Read()), false},
      {"blanks and letter case are no change", With(InterfaceField::Metric, " automatic "), false},
      {"a number typed", With(InterfaceField::Mtu, "1400"), true},
      {"text that is no number still differs (Apply then says why)", With(InterfaceField::DadTransmits, "x"), true},
      {"a choice taken", With(InterfaceField::RouterDiscovery, "dhcp"), true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInterfaceInputChanged(c.input, Read()), c.changed) << c.reason;
}

TEST(CheckInterfaceInput, EveryLimitAndEveryKindOfText) {
  CInterfaceSettings unknownLargest = Read();
  unknownLargest.m_nLargestMtu = 0;
  CInterfaceSettings jumbo = Read();
  jumbo.m_nLargestMtu = 65536;
  using F = InterfaceField;
  const struct {
    const char* reason;
    CInterfaceInput input;
    CInterfaceSettings read;
    bool passed;
    F field;
    const char* text;
  } cases[] = {
      {"the smallest MTU IPv6 allows", With(F::Mtu, "1280"), Read(), true, F::Mtu, ""},
      {"one byte below it", With(F::Mtu, "1279"), Read(), false, F::Mtu,
       "The link MTU must be at least 1280 bytes, the smallest that IPv6 allows."},
      {"the adapter's largest", With(F::Mtu, "9000"), Read(), true, F::Mtu, ""},
      {"one byte above the adapter's largest", With(F::Mtu, "9001"), Read(), false, F::Mtu,
       "The link MTU cannot be more than 9000 bytes, the largest that this adapter takes."},
      {"no largest known: the largest a 16-bit length allows", With(F::Mtu, "65535"), unknownLargest, true, F::Mtu,
       ""},
      {"no largest known: one byte more", With(F::Mtu, "65536"), unknownLargest, false, F::Mtu,
       "The link MTU cannot be more than 65535 bytes while the largest that this adapter takes is not known."},
      {"no largest known: the most 32 bits hold", With(F::Mtu, "4294967295"), unknownLargest, false, F::Mtu,
       "The link MTU cannot be more than 65535 bytes while the largest that this adapter takes is not known."},
      {"a largest known above 65535 is the limit", With(F::Mtu, "65536"), jumbo, true, F::Mtu, ""},
      {"letters after digits", With(F::Mtu, " 15x0 "), Read(), false, F::Mtu,
       "Link MTU (bytes): \"15x0\" is not a number. Type digits only."},
      {"an empty field", With(F::Mtu, ""), Read(), false, F::Mtu,
       "Link MTU (bytes): \"\" is not a number. Type digits only."},
      {"a sign", With(F::DadTransmits, "-1"), Read(), false, F::DadTransmits,
       "DAD transmissions: \"-1\" is not a number. Type digits only."},
      {"beyond 32 bits", With(F::BaseReachable, "4294967296"), Read(), false, F::BaseReachable,
       "Base reachable time (ms): \"4294967296\" is not a number. Type digits only."},
      {"the metric row is not read: no netsh command of the page sets the metric", With(F::Metric, "0"), Read(),
       true, F::Mtu, ""},
      {"no DAD transmissions", With(F::DadTransmits, "0"), Read(), true, F::Mtu, ""},
      {"ten DAD transmissions", With(F::DadTransmits, "10"), Read(), true, F::Mtu, ""},
      {"eleven DAD transmissions", With(F::DadTransmits, "11"), Read(), false, F::DadTransmits,
       "DAD transmissions must be a number from 0 to 10."},
      {"base reachable time 0", With(F::BaseReachable, "0"), Read(), false, F::BaseReachable,
       "The base reachable time must be a number of milliseconds from 1 to 3600000."},
      {"base reachable time one hour", With(F::BaseReachable, "3600000"), Read(), true, F::Mtu, ""},
      {"base reachable time beyond an hour", With(F::BaseReachable, "3600001"), Read(), false, F::BaseReachable,
       "The base reachable time must be a number of milliseconds from 1 to 3600000."},
      {"a switch word in capitals", With(F::Forwarding, "ENABLED"), Read(), true, F::Mtu, ""},
      {"a switch word it does not know", With(F::Managed, "on"), Read(), false, F::Managed,
       "Managed address configuration must be enabled or disabled."},
      {"a discovery word it does not know", With(F::RouterDiscovery, "auto"), Read(), false, F::RouterDiscovery,
       "Router discovery must be enabled, disabled or dhcp."},
      {"the first field refused is the one named",
       With(F::DadTransmits, "99", With(F::Mtu, "100")), Read(), false, F::Mtu,
       "The link MTU must be at least 1280 bytes, the smallest that IPv6 allows."},
  };
  for (const auto& c : cases) {
    const CInterfaceCheck check = CheckInterfaceInput(c.input, c.read);
    EXPECT_EQ(check.m_bPassed, c.passed) << c.reason;
    EXPECT_EQ(check.m_strText, c.text) << c.reason;
    if (!c.passed) {
      EXPECT_EQ(check.m_field, c.field) << c.reason;
    }
  }
}

CInterfaceChange Change(void (*edit)(CInterfaceSettings&), bool bActiveOnly = false) {
  CInterfaceChange change{Read(), Read(), bActiveOnly};
  edit(change.m_after);
  return change;
}

TEST(FormatSetInterfaceCommand, OnlyTheChangedSettingsAndTheStore) {
  const struct {
    const char* reason;
    CInterfaceChange change;
    const char* netsh;
    const char* powershell;
  } cases[] = {
      {"the MTU, until the next restart", Change([](CInterfaceSettings& s) { s.m_nMtu = 1400; }, true),
       "mtu=1400 store=active", "-NlMtuBytes 1400 -PolicyStore ActiveStore"},
      {"the metric is no setting of the page's lines", Change([](CInterfaceSettings& s) {
         s.m_bAutomaticMetric = false;
         s.m_nMetric = 10;
       }),
       "store=persistent", ""},
      {"forwarding", Change([](CInterfaceSettings& s) { s.m_bForwarding = true; }),
       "forwarding=enabled store=persistent", "-Forwarding Enabled"},
      {"advertising", Change([](CInterfaceSettings& s) { s.m_bAdvertising = true; }),
       "advertise=enabled store=persistent", "-Advertising Enabled"},
      {"router discovery through DHCP", Change([](CInterfaceSettings& s) { s.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP; }),
       "routerdiscovery=dhcp store=persistent", "-RouterDiscovery ControlledByDHCP"},
      {"router discovery off", Change([](CInterfaceSettings& s) { s.m_nRouterDiscovery = ROUTER_DISCOVERY_DISABLED; }),
       "routerdiscovery=disabled store=persistent", "-RouterDiscovery Disabled"},
      {"the managed flag", Change([](CInterfaceSettings& s) { s.m_bManaged = true; }),
       "managedaddress=enabled store=persistent", "-ManagedAddressConfiguration Enabled"},
      {"the other-stateful flag", Change([](CInterfaceSettings& s) { s.m_bOtherStateful = true; }),
       "otherstateful=enabled store=persistent", "-OtherStatefulConfiguration Enabled"},
      {"DAD transmissions", Change([](CInterfaceSettings& s) { s.m_nDadTransmits = 0; }),
       "dadtransmits=0 store=persistent", "-DadTransmits 0"},
      {"the base reachable time", Change([](CInterfaceSettings& s) { s.m_nBaseReachableMs = 45000; }),
       "basereachabletime=45000 store=persistent", "-BaseReachableTimeMs 45000"},
      {"the current reachable time and the largest MTU are no settings",
       Change([](CInterfaceSettings& s) { s.m_nReachableMs = 1; s.m_nLargestMtu = 1; }), "store=persistent", ""},
      {"two at once, in page order", Change([](CInterfaceSettings& s) {
         s.m_nBaseReachableMs = 20000;
         s.m_nMtu = 1450;
       }),
       "mtu=1450 basereachabletime=20000 store=persistent", "-NlMtuBytes 1450 -BaseReachableTimeMs 20000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSetInterfaceCommand("Ethernet 2", c.change),
              std::string("interface ipv6 set interface \"Ethernet 2\" ") + c.netsh)
        << c.reason;
    EXPECT_EQ(FormatSetInterfacePowerShell("'Ethernet 2'", c.change),
              std::string("Set-NetIPInterface -InterfaceAlias 'Ethernet 2' -AddressFamily IPv6") +
                  (*c.powershell ? " " : "") + c.powershell)
        << c.reason;
  }
}

TEST(FormatRouterQuestion, AskedOnlyWhenForwardingOrAdvertisingIsTurnedOn) {
  CInterfaceChange off = Change([](CInterfaceSettings& s) { s.m_bForwarding = false; });
  off.m_before.m_bForwarding = true;
  const struct {
    const char* reason;
    CInterfaceChange change;
    const char* question;
  } cases[] = {
      {"forwarding turned on", Change([](CInterfaceSettings& s) { s.m_bForwarding = true; }),
       "Turning on forwarding makes this machine a router for the link of Wi-Fi: it will pass on packets between "
       "this adapter and the others.\n\nTurn it on?"},
      {"advertising turned on", Change([](CInterfaceSettings& s) { s.m_bAdvertising = true; }),
       "Turning on advertising makes this machine a router for the link of Wi-Fi: it will send router "
       "advertisements, from which the other machines on the link configure themselves.\n\nTurn it on?"},
      {"both", Change([](CInterfaceSettings& s) { s.m_bAdvertising = s.m_bForwarding = true; }),
       "Turning on forwarding and advertising makes this machine a router for the link of Wi-Fi: it will pass on "
       "packets between this adapter and the others. It will send router advertisements, from which the other "
       "machines on the link configure themselves.\n\nTurn it on?"},
      {"turned off: no question", off, nullptr},
      {"another setting: no question", Change([](CInterfaceSettings& s) { s.m_nMtu = 1400; }), nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TurnsOnRouting(c.change), c.question != nullptr) << c.reason;
    if (c.question != nullptr) {
      EXPECT_EQ(FormatRouterQuestion("Wi-Fi", c.change), c.question) << c.reason;
    }
  }
}

CHistoryEntry Entry(ChangeKind kind, CInterfaceChange settings, std::string address = {}) {
  CHistoryEntry entry;
  entry.m_change.m_kind = kind;
  entry.m_change.m_strInterface = "Ethernet 2";
  entry.m_change.m_strAddress = std::move(address);
  entry.m_change.m_interface = settings;
  entry.m_result.m_outcome = NetshOutcome::Succeeded;
  return entry;
}

TEST(PlanUndo, AnInterfaceChangeGoesBackToTheValuesReadAndNeighborRemovalsAreSkipped) {
  const CInterfaceChange mtu = Change([](CInterfaceSettings& s) { s.m_nMtu = 1400; s.m_nDadTransmits = 3; }, true);
  const struct {
    const char* reason;
    std::vector<CHistoryEntry> entries;
    const char* line;  // the undo's netsh line, or its refusal
  } cases[] = {
      {"the values read before, in the same store", {Entry(ChangeKind::SetInterface, mtu)},
       "interface ipv6 set interface \"Ethernet 2\" mtu=1500 dadtransmits=1 store=active"},
      {"a neighbor removal after it is skipped",
       {Entry(ChangeKind::SetInterface, mtu), Entry(ChangeKind::DeleteNeighbors, {}, "fe80::1")},
       "interface ipv6 set interface \"Ethernet 2\" mtu=1500 dadtransmits=1 store=active"},
      {"only neighbor removals: nothing to undo", {Entry(ChangeKind::DeleteNeighbors, {})},
       "There is no change left to undo."},
  };
  for (const auto& c : cases) {
    CCommandHistory history;
    for (const CHistoryEntry& entry : c.entries) history.Record(entry);
    const CUndoPlan plan = PlanUndo(history, 0, {{"Ethernet 2", 0}});
    const std::string got = plan.m_strRefusal.empty() && plan.m_changes.size() == 1
                                ? FormatChangeCommand(plan.m_changes[0])
                                : plan.m_strRefusal;
    EXPECT_EQ(got, c.line) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
