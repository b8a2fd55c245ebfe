// Undo's guards: the route a removal takes away, found as addresses
// compare, and the router question before forwarding or advertising comes
// back on.
#include "dialogs/undo_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

CRouteRecord Route(std::string destination, std::string nextHop) {
  CRouteRecord route;
  route.m_bDefault = destination == "::/0";
  route.m_strDestination = std::move(destination);
  route.m_strNextHop = nextHop.empty() ? "On-link" : nextHop;
  route.m_strNextHopAddress = std::move(nextHop);
  return route;
}

CChange DeleteRoute(std::string prefix, std::string nextHop) {
  CChange change;
  change.m_kind = ChangeKind::DeleteRoute;
  change.m_strInterface = "Ethernet 2";
  change.m_strAddress = std::move(prefix);
  change.m_strNextHop = std::move(nextHop);
  return change;
}

TEST(CheckUndoRouteRemoval, TheRouteIsFoundAsTheChecksCompareAddresses) {
  const std::string onlyDefault =
      "The default route ::/0 through fe80::1 is the only default route of Ethernet 2. Without it the machine will "
      "lose IPv6 connectivity on Ethernet 2 beyond the local link, and the open connection that reaches beyond the "
      "link will be dropped. Remove it anyway?";
  const std::vector<CRouteRecord> one = {Route("::/0", "fe80::1"), Route("2001:db8::/64", "")};
  const std::vector<CRouteRecord> two = {Route("::/0", "fe80::1"), Route("::/0", "fe80::2")};
  const struct {
    const char* why;
    CChange change;
    std::vector<CRouteRecord> routes;
    std::size_t beyondLink;
    std::string text;  // empty: proceeds
  } cases[] = {
      {"a gateway typed FE80::1%12 is the table's fe80::1", DeleteRoute("::/0", "FE80::1%12"), one, 1, onlyDefault},
      {"the default route written 0::/0", DeleteRoute("0::/0", "fe80::1"), one, 1, onlyDefault},
      {"the same text", DeleteRoute("::/0", "fe80::1"), one, 1, onlyDefault},
      {"another gateway stays", DeleteRoute("::/0", "FE80::1%12"), two, 1, ""},
      {"no connection reaches beyond the link", DeleteRoute("::/0", "FE80::1%12"), one, 0, ""},
      {"a gateway the table does not have", DeleteRoute("::/0", "fe80::3"), one, 1, ""},
      {"an on-link route is no gateway", DeleteRoute("2001:DB8::/64", ""), one, 1, ""},
  };
  for (const auto& c : cases) {
    const CGuardVerdict verdict = CheckUndoRouteRemoval(c.change, c.routes, c.beyondLink);
    EXPECT_EQ(verdict.m_outcome, c.text.empty() ? GuardOutcome::Proceed : GuardOutcome::Warn) << c.why;
    EXPECT_EQ(verdict.m_strText, c.text) << c.why;
  }
}

// The entry of an Interface page change, and the plan that takes it back.
CUndoPlan UndoOf(void (*before)(CInterfaceSettings&), void (*after)(CInterfaceSettings&)) {
  CHistoryEntry entry;
  entry.m_change.m_kind = ChangeKind::SetInterface;
  entry.m_change.m_strInterface = "Ethernet 2";
  before(entry.m_change.m_interface.m_before);
  after(entry.m_change.m_interface.m_after);
  entry.m_strLine = FormatChangeCommand(entry.m_change);
  entry.m_result.m_outcome = NetshOutcome::Succeeded;
  CCommandHistory history("run");
  history.Record(entry);
  return PlanUndo(history, 0, {{"Ethernet 2", 0}});
}

TEST(FormatUndoRouterQuestion, AskedWhenUndoTurnsForwardingOrAdvertisingBackOn) {
  const auto forwarding = [](CInterfaceSettings& s) { s.m_bForwarding = true; };
  const auto advertising = [](CInterfaceSettings& s) { s.m_bAdvertising = true; };
  const auto neither = [](CInterfaceSettings&) {};
  const auto mtu = [](CInterfaceSettings& s) { s.m_nMtu = 1400; };
  const struct {
    const char* why;
    CUndoPlan plan;
    std::string question;
  } cases[] = {
      {"forwarding was turned off: Undo turns it back on", UndoOf(forwarding, neither),
       "Turning on forwarding makes this machine a router for the link of Ethernet 2: it will pass on packets "
       "between this adapter and the others.\n\nTurn it on?"},
      {"advertising was turned off", UndoOf(advertising, neither),
       "Turning on advertising makes this machine a router for the link of Ethernet 2: it will send router "
       "advertisements, from which the other machines on the link configure themselves.\n\nTurn it on?"},
      {"forwarding was turned on: Undo turns it off", UndoOf(neither, forwarding), ""},
      {"the MTU was changed", UndoOf(neither, mtu), ""},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.plan.m_changes.size(), 1u) << c.why << ": " << c.plan.m_strRefusal;
    EXPECT_EQ(FormatUndoRouterQuestion(c.plan.m_changes[0]), c.question) << c.why;
  }
  CChange route = DeleteRoute("::/0", "fe80::1");
  EXPECT_EQ(FormatUndoRouterQuestion(route), "") << "no other kind of change asks it";
}

}  // namespace
}  // namespace vantoric
