// The /apply planner: the file read into wanted state, the adapters it
// names, the changes that make each section match and their order, the
// guards, a second plan after the first is carried out, and the /list
// round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/adapter_listing.h"
#include "core/apply_plan.h"
#include "core/apply_report.h"
#include "core/lifetime_text.h"

namespace vantoric {
namespace {

constexpr std::uint32_t INF = INFINITE_LIFETIME;

CAddressRecord Address(std::string text, std::string kind, std::uint32_t valid = INF, std::uint32_t preferred = INF) {
  return {std::move(text), std::move(kind), "Preferred", FormatLifetime(valid), FormatLifetime(preferred), valid,
          preferred};
}

CRouteRecord Route(std::string destination, std::string nextHop, std::uint32_t metric, std::string origin) {
  CRouteRecord r;
  r.m_strDestination = std::move(destination);
  r.m_strNextHop = nextHop.empty() ? "On-link" : nextHop;
  r.m_strNextHopAddress = std::move(nextHop);
  r.m_nMetric = metric;
  r.m_strValidLifetime = r.m_strPreferredLifetime = "infinite";
  r.m_strOrigin = std::move(origin);
  r.m_bDefault = r.m_strDestination == "::/0";
  return r;
}

// A machine of two adapters: Ethernet with two manual addresses, system
// ones, two DNS servers, a router's default route and a manual route;
// Wi-Fi with a manual address that counts down and one shown as infinite.
struct CMachine {
  std::vector<CAdapterRecord> m_records;
  std::vector<std::vector<CRouteRecord>> m_routes;
  bool m_bRoutesRead = true;
  CConnectionReading m_connections{true, {}};

  CMachine() : m_records(2) {
    CAdapterRecord& ethernet = m_records[0];
    ethernet.m_strFriendlyName = "Ethernet";
    ethernet.m_macLength = 6;
    const std::uint8_t mac0[] = {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF};
    std::copy(std::begin(mac0), std::end(mac0), ethernet.m_macAddress);
    ethernet.m_addresses = {Address("2001:db8::5", "Manual"), Address("2001:db8::9", "Manual"),
                            Address("fe80::1%4", "Link-Local"), Address("2001:db8:1::abcd", "Public", 86400, 3600)};
    ethernet.m_dnsServers = {"2001:db8::53", "2001:db8::54"};
    CAdapterRecord& wifi = m_records[1];
    wifi.m_strFriendlyName = "Wi-Fi";
    wifi.m_macLength = 6;
    const std::uint8_t mac1[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::copy(std::begin(mac1), std::end(mac1), wifi.m_macAddress);
    wifi.m_addresses = {Address("fe80::2%5", "Link-Local"), Address("2001:db8:2::1", "Manual", 3000, 1000),
                        Address("2001:db8:2::2", "Manual", 400 * 86400, 400 * 86400)};
    m_routes = {{Route("::/0", "fe80::1", 16, "Router Advertisement"),
                 Route("2001:db8:5::/48", "fe80::99", 256, "Manual")},
                {}};
  }

  CApplyReading Reading() const {
    CApplyReading reading;
    reading.m_pRecords = m_records.data();
    reading.m_nCount = m_records.size();
    reading.m_pRoutes = m_bRoutesRead ? &m_routes : nullptr;
    reading.m_readConnections = [this] { return m_connections; };
    return reading;
  }
};

CApplyPlan Plan(const CMachine& machine, const std::string& file) {
  CWantedState wanted;
  const std::string error = ReadWantedState(file, wanted);
  EXPECT_EQ(error, "") << file;
  return PlanApply(wanted, machine.Reading());
}

std::string Adapters(const std::string& entries) { return "{\"adapters\": [" + entries + "]}"; }

std::uint32_t Seconds(const std::string& lifetime) {
  return IsInfiniteLifetime(lifetime) ? INF : static_cast<std::uint32_t>(LifetimeToSeconds(lifetime));
}

// What each change does to the machine, as netsh would do it.
void CarryOut(CMachine& machine, const std::vector<CChange>& changes) {
  for (const CChange& c : changes) {
    const auto at = std::find_if(machine.m_records.begin(), machine.m_records.end(),
                                 [&](const CAdapterRecord& r) { return r.m_strFriendlyName == c.m_strInterface; });
    ASSERT_NE(at, machine.m_records.end()) << c.m_strInterface;
    CAdapterRecord& record = *at;
    auto& routes = machine.m_routes[static_cast<std::size_t>(at - machine.m_records.begin())];
    auto& addresses = record.m_addresses;
    const auto sameAddress = [&](const CAddressRecord& a) { return IsSameAddress(a.m_strAddress, c.m_strAddress); };
    const auto sameRoute = [&](const CRouteRecord& r) {
      return r.m_strDestination == c.m_strAddress && r.m_strNextHopAddress == c.m_strNextHop;
    };
    switch (c.m_kind) {
      case ChangeKind::AddAddress:
        addresses.push_back(
            Address(c.m_strAddress, "Manual", Seconds(c.m_strValidLifetime), Seconds(c.m_strPreferredLifetime)));
        break;
      case ChangeKind::SetAddress:
        *std::find_if(addresses.begin(), addresses.end(), sameAddress) =
            Address(c.m_strAddress, "Manual", Seconds(c.m_strValidLifetime), Seconds(c.m_strPreferredLifetime));
        break;
      case ChangeKind::DeleteAddress:
        std::erase_if(addresses, sameAddress);
        break;
      case ChangeKind::AddDns:
        InsertDnsServerAt(record.m_dnsServers, std::stoi(c.m_strPosition), c.m_strAddress);
        break;
      case ChangeKind::DeleteDns:
        std::erase(record.m_dnsServers, c.m_strAddress);
        break;
      case ChangeKind::AddRoute: {
        CRouteRecord route = Route(c.m_strAddress, c.m_strNextHop,
                                   c.m_strMetric.empty() ? 256 : static_cast<std::uint32_t>(std::stoul(c.m_strMetric)),
                                   "Manual");
        route.m_nValidSeconds = Seconds(c.m_strValidLifetime);
        route.m_nPreferredSeconds = Seconds(c.m_strPreferredLifetime);
        routes.push_back(route);
        break;
      }
      case ChangeKind::DeleteRoute:
        std::erase_if(routes, sameRoute);
        break;
      case ChangeKind::SetRoute: {
        // netsh keeps the metric that the line leaves out.
        CRouteRecord& route = *std::find_if(routes.begin(), routes.end(), sameRoute);
        if (!c.m_strMetric.empty()) route.m_nMetric = static_cast<std::uint32_t>(std::stoul(c.m_strMetric));
        route.m_nValidSeconds = Seconds(c.m_strValidLifetime);
        route.m_nPreferredSeconds = Seconds(c.m_strPreferredLifetime);
        break;
      }
      default:
        ADD_FAILURE() << "a change the planner does not make: " << FormatChangeCommand(c);
        break;
    }
  }
}

const std::string ETHERNET = "\"friendly_name\": \"Ethernet\", ";
const std::string KEEP_ROUTE = R"({"destination": "2001:db8:5::/48", "next_hop": "fe80::99", "metric": 256})";

TEST(ApplyPlan, EachSectionBecomesTheFilesAndASecondPlanFindsNothing) {
  const struct {
    std::string entries;
    std::string lines;
    const char* why;
  } cases[] = {
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"},
          {"address": "2001:db8::7", "valid_lifetime": "1d", "preferred_lifetime": "12h", "store": "active"}]})",
       "netsh interface ipv6 add address \"Ethernet\" 2001:db8::7 unicast 1d 12h active\n", "an address added"},
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:db8::5", "valid_lifetime": "1d",
          "preferred_lifetime": "1d"}, {"address": "2001:db8::9"}]})",
       "netsh interface ipv6 set address \"Ethernet\" 2001:db8::5 unicast 1d 1d\n", "lifetimes set"},
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:db8::5"}]})",
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::9\n", "a manual address not listed is removed"},
      {"{" + ETHERNET + R"("addresses": []})",
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::5\n"
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::9\n",
       "none listed: the system's link-local and router addresses stay"},
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:DB8:0::9"}, {"address": "2001:db8::5"},
          {"address": "fe80::1%4", "kind": "Link-Local"}, {"address": "2001:db8:1::abcd", "kind": "Public",
           "valid_lifetime": "1s"}]})",
       "", "written otherwise and in another order; system entries in the file are skipped"},
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:db8::7"}]})",
       "netsh interface ipv6 add address \"Ethernet\" 2001:db8::7 unicast infinite infinite persistent\n"
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::5\n"
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::9\n",
       "replaced: the new address first"},
      {R"({"friendly_name": "Wi-Fi", "addresses": [{"address": "2001:db8:2::1", "valid_lifetime": "1h",
          "preferred_lifetime": "20m"}, {"address": "2001:db8:2::2"}]})",
       "", "lifetimes counting down from the wanted ones, and one shown as infinite"},
      {R"({"friendly_name": "Wi-Fi", "addresses": [{"address": "2001:db8:2::1", "valid_lifetime": "40m",
          "preferred_lifetime": "10m"}, {"address": "2001:db8:2::2", "valid_lifetime": "infinite"}]})",
       "netsh interface ipv6 set address \"Wi-Fi\" 2001:db8:2::1 unicast 40m 10m\n",
       "a remaining lifetime longer than the wanted one is set"},
      {"{" + ETHERNET + R"("dns_servers": ["2001:db8::53", "2001:db8::54", "2001:db8::55"]})",
       "netsh interface ipv6 add dns \"Ethernet\" 2001:db8::55 3\n", "a DNS server added at its place"},
      {"{" + ETHERNET + R"("dns_servers": ["2001:db8::54", "2001:db8::53"]})",
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::54\n"
       "netsh interface ipv6 add dns \"Ethernet\" 2001:db8::54 1\n",
       "reordered: the one moved up is removed and added in front"},
      {"{" + ETHERNET + R"("dns_servers": ["2001:db8::60"]})",
       "netsh interface ipv6 add dns \"Ethernet\" 2001:db8::60 1\n"
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::54\n"
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::53\n",
       "replaced: the new server first, then the others removed"},
      {"{" + ETHERNET + R"("dns_servers": []})",
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::54\n"
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::53\n",
       "no DNS server"},
      {"{" + ETHERNET + R"("routes": [)" + KEEP_ROUTE + R"(, {"destination": "2001:db8:6::/48"},
          {"destination": "::/0", "next_hop": "fe80::1", "origin": "Router Advertisement"}]})",
       "netsh interface ipv6 add route 2001:db8:6::/48 \"Ethernet\" validlifetime=infinite preferredlifetime=infinite "
       "store=persistent\n",
       "a route added, the router's route skipped"},
      {"{" + ETHERNET + R"("routes": [{"destination": "2001:db8:5::/48", "next_hop": "fe80::99", "metric": 100}]})",
       "netsh interface ipv6 set route 2001:db8:5::/48 \"Ethernet\" fe80::99 metric=100 validlifetime=infinite "
       "preferredlifetime=infinite store=persistent\n",
       "a route with another metric is changed in place"},
      {"{" + ETHERNET + R"("routes": []})", "netsh interface ipv6 delete route 2001:db8:5::/48 \"Ethernet\" fe80::99\n",
       "a manual route not listed is removed; the router's stays"},
      {"{" + ETHERNET + R"("routes": [{"destination": "2001:db8:5::/48", "next_hop": "fe80::99"}]})", "",
       "a metric left out is the system's choice"},
      {"{" + ETHERNET + R"("routes": [)" + KEEP_ROUTE + R"(, {"destination": "2001:db8:5::/48", "next_hop": "fe80::98"}]})",
       "netsh interface ipv6 add route 2001:db8:5::/48 \"Ethernet\" fe80::98 validlifetime=infinite "
       "preferredlifetime=infinite store=persistent\n",
       "the same destination through another gateway is a route of its own, not one listed twice"},
      {R"({"friendly_name": "Ethernet"})", "", "sections left out are left alone"},
      {"{" + ETHERNET + R"("dns_servers": ["2001:db8::60"], "routes": [{"destination": "2001:db8:6::/48"}],
          "addresses": [{"address": "2001:db8::7"}]}, {"friendly_name": "Wi-Fi", "addresses": [
          {"address": "2001:db8:2::1", "valid_lifetime": "1h", "preferred_lifetime": "1h"},
          {"address": "2001:db8:2::2"}, {"address": "2001:db8:2::3"}]})",
       "netsh interface ipv6 add address \"Ethernet\" 2001:db8::7 unicast infinite infinite persistent\n"
       "netsh interface ipv6 add address \"Wi-Fi\" 2001:db8:2::3 unicast infinite infinite persistent\n"
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::5\n"
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::9\n"
       "netsh interface ipv6 add route 2001:db8:6::/48 \"Ethernet\" validlifetime=infinite preferredlifetime=infinite "
       "store=persistent\n"
       "netsh interface ipv6 delete route 2001:db8:5::/48 \"Ethernet\" fe80::99\n"
       "netsh interface ipv6 add dns \"Ethernet\" 2001:db8::60 1\n"
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::54\n"
       "netsh interface ipv6 delete dns \"Ethernet\" 2001:db8::53\n",
       "over two adapters: every address added before any is removed, routes next, DNS last"},
  };
  for (const auto& c : cases) {
    CMachine machine;
    const std::string file = Adapters(c.entries);
    const CApplyPlan plan = Plan(machine, file);
    EXPECT_EQ(plan.m_strError, "") << c.why;
    EXPECT_EQ(FormatPlanLines(plan, false), c.lines) << c.why;
    EXPECT_EQ(FormatPlanFindings(plan), "") << c.why;
    CarryOut(machine, plan.m_changes);
    EXPECT_EQ(FormatPlanLines(Plan(machine, file), false), "") << c.why << ": the second plan";
  }
}

TEST(ApplyPlan, ASetOrRemovalKeepsWhatWasThereSoThatTheHistoryCanTakeItBack) {
  const struct {
    std::string entry;
    ChangeKind kind;
    std::string address;
    bool bHadBefore;
    std::uint32_t validBefore, preferredBefore;
    std::string originBefore;
    const char* why;
  } cases[] = {
      {R"({"friendly_name": "Wi-Fi", "addresses": [{"address": "2001:db8:2::1", "valid_lifetime": "40m",
          "preferred_lifetime": "10m"}, {"address": "2001:db8:2::2", "valid_lifetime": "infinite"}]})",
       ChangeKind::SetAddress, "2001:db8:2::1", true, 3000, 1000, "Manual",
       "lifetimes set: the lifetimes the address had, counting down"},
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:db8::5"}]})", ChangeKind::DeleteAddress, "2001:db8::9", true,
       INF, INF, "Manual", "a removed address: a person's, so that it can be put back"},
      {"{" + ETHERNET + R"("routes": []})", ChangeKind::DeleteRoute, "2001:db8:5::/48", true, INF, INF, "Manual",
       "a removed route: a person's, so that it can be put back"},
      {"{" + ETHERNET + R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"},
          {"address": "2001:db8::7"}]})",
       ChangeKind::AddAddress, "2001:db8::7", false, INF, INF, "", "an added address was not there"},
  };
  for (const auto& c : cases) {
    CMachine machine;
    const CApplyPlan plan = Plan(machine, Adapters(c.entry));
    const auto change = std::find_if(plan.m_changes.begin(), plan.m_changes.end(), [&](const CChange& x) {
      return x.m_kind == c.kind && x.m_strAddress == c.address;
    });
    ASSERT_NE(change, plan.m_changes.end()) << c.why << "\n" << FormatPlanLines(plan, false);
    EXPECT_EQ(change->m_bHadBefore, c.bHadBefore) << c.why;
    EXPECT_EQ(change->m_nValidSecondsBefore, c.validBefore) << c.why;
    EXPECT_EQ(change->m_nPreferredSecondsBefore, c.preferredBefore) << c.why;
    EXPECT_EQ(change->m_strOriginBefore, c.originBefore) << c.why;
  }
}

// A remote session from beyond the link, on Ethernet's 2001:db8::5.
void RemoteSession(CMachine& m) { m.m_connections.m_connections = {{"2001:db8::5", 3389, "2001:db8:ffff::9", 50000}}; }

TEST(ApplyPlan, NothingCutsTheMachineOffOnTheWay) {
  // Ethernet with one manual global address and one manual default route.
  const auto lone = [](CMachine& m) {
    m.m_records[0].m_addresses.resize(1);
    m.m_routes[0] = {Route("::/0", "fe80::1", 16, "Manual")};
    RemoteSession(m);
  };
  const struct {
    std::function<void(CMachine&)> change;
    std::string entry;
    std::string lines;
    std::vector<std::string> warnings;  // a part of each finding's text, in order
    const char* why;
  } cases[] = {
      {lone, R"("addresses": [{"address": "2001:db8::5", "valid_lifetime": "0s", "preferred_lifetime": "0s"}])",
       "netsh interface ipv6 set address \"Ethernet\" 2001:db8::5 unicast 0s 0s\n",
       {"A valid lifetime of 0s for 2001:db8::5 is shorter than a minute: the address goes, as if it were removed.",
        "1 open connection uses 2001:db8::5: a Remote Desktop session from 2001:db8:ffff::9",
        "2001:db8::5 is the only global address of Ethernet"},
       "valid lifetime 0s on the only global address, which carries a remote session: a removal, guards and all"},
      {nullptr, R"("addresses": [{"address": "2001:db8::5", "valid_lifetime": "59s", "preferred_lifetime": "0s"},
          {"address": "2001:db8::9"}, {"address": "2001:db8::7"}])",
       "netsh interface ipv6 add address \"Ethernet\" 2001:db8::7 unicast infinite infinite persistent\n"
       "netsh interface ipv6 set address \"Ethernet\" 2001:db8::5 unicast 59s 0s\n",
       {"A valid lifetime of 59s for 2001:db8::5 is shorter than a minute"},
       "59 s, the last second short of a minute: after the new address, among the removals, with /force"},
      {nullptr, R"("addresses": [{"address": "2001:db8::5", "valid_lifetime": "1m", "preferred_lifetime": "0s"},
          {"address": "2001:db8::9"}])",
       "netsh interface ipv6 set address \"Ethernet\" 2001:db8::5 unicast 1m 0s\n", {},
       "a minute is a lifetime, not a removal"},
      {lone, R"("routes": [{"destination": "::/0", "next_hop": "fe80::1", "metric": 10}])",
       "netsh interface ipv6 set route ::/0 \"Ethernet\" fe80::1 metric=10 validlifetime=infinite "
       "preferredlifetime=infinite store=persistent\n",
       {}, "a metric change of the only default route: changed in place, never deleted"},
      {lone, R"("routes": [{"destination": "::/0", "next_hop": "fe80::1", "valid_lifetime": "1d",
          "preferred_lifetime": "1d"}])",
       "netsh interface ipv6 set route ::/0 \"Ethernet\" fe80::1 validlifetime=1d preferredlifetime=1d "
       "store=persistent\n",
       {}, "new lifetimes of the only default route, its metric left to the system"},
      {lone, R"("routes": [{"destination": "::/0", "next_hop": "fe80::2"}])",
       "netsh interface ipv6 add route ::/0 \"Ethernet\" fe80::2 validlifetime=infinite preferredlifetime=infinite "
       "store=persistent\n"
       "netsh interface ipv6 delete route ::/0 \"Ethernet\" fe80::1\n",
       {}, "the only default route moved to another gateway: the new one first, so the removal cuts nothing off"},
      {[](CMachine& m) {
         m.m_records[0].m_addresses.resize(1);
         m.m_routes[0] = {Route("2001:db8:5::/48", "fe80::99", 256, "Manual")};
       },
       R"("addresses": [])", "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::5\n", {},
       "the only global address removed, with a gateway for one prefix but no default route: nothing to warn of"},
      {[](CMachine& m) {
         m.m_routes[0].push_back(Route("2001:db8:7::/48", "", 256, "Manual"));
         m.m_routes[0].push_back(Route("2001:db8:8::/48", "fe80::98", 256, "Manual"));
       },
       R"("routes": [{"destination": "2001:db8:9::/48"}, {"destination": "2001:db8:5::/48", "next_hop": "fe80::99",
          "metric": 5}, {"destination": "2001:db8:8::/48", "next_hop": "fe80::98", "valid_lifetime": "2h",
          "preferred_lifetime": "1h"}])",
       "netsh interface ipv6 add route 2001:db8:9::/48 \"Ethernet\" validlifetime=infinite preferredlifetime=infinite "
       "store=persistent\n"
       "netsh interface ipv6 set route 2001:db8:5::/48 \"Ethernet\" fe80::99 metric=5 validlifetime=infinite "
       "preferredlifetime=infinite store=persistent\n"
       "netsh interface ipv6 set route 2001:db8:8::/48 \"Ethernet\" fe80::98 validlifetime=2h preferredlifetime=1h "
       "store=persistent\n"
       "netsh interface ipv6 delete route 2001:db8:7::/48 \"Ethernet\"\n",
       {}, "changed routes and a removal together: adds, then the changes in file order, then the removal"},
  };
  for (const auto& c : cases) {
    CMachine machine;
    if (c.change) c.change(machine);
    const std::string file = Adapters("{" + ETHERNET + c.entry + "}");
    const CApplyPlan plan = Plan(machine, file);
    EXPECT_EQ(FormatPlanLines(plan, false), c.lines) << c.why;
    ASSERT_EQ(plan.m_findings.size(), c.warnings.size()) << c.why << "\n" << FormatPlanFindings(plan);
    for (std::size_t i = 0; i < c.warnings.size(); ++i) {
      EXPECT_EQ(plan.m_findings[i].m_outcome, GuardOutcome::Warn) << c.why << ", finding " << i;
      EXPECT_NE(plan.m_findings[i].m_strText.find(c.warnings[i]), std::string::npos)
          << c.why << ", finding " << i << ": " << plan.m_findings[i].m_strText;
    }
    CarryOut(machine, plan.m_changes);
    EXPECT_EQ(FormatPlanLines(Plan(machine, file), false), "") << c.why << ": the second plan";
  }
}

TEST(ApplyPlan, ARunWaitsForItsNewAddressesBeforeTheFirstRemoval) {
  constexpr std::size_t NONE = CApplyPlan::NO_SETTLE;
  const struct {
    std::string entry;
    std::size_t settleBefore;
    const char* why;
  } cases[] = {
      {R"("addresses": [{"address": "2001:db8::7"}])", 1, "an address replaced: after the add"},
      {R"("addresses": [{"address": "2001:db8::5", "valid_lifetime": "1d", "preferred_lifetime": "1d"},
          {"address": "2001:db8::9", "valid_lifetime": "10s", "preferred_lifetime": "10s"},
          {"address": "2001:db8::7"}])",
       2, "after the add and the set that keeps its address, before the set that ends one"},
      {R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"}, {"address": "2001:db8::7"}],
          "routes": [])",
       1, "before a route removal"},
      {R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"}, {"address": "2001:db8::7"}],
          "dns_servers": ["2001:db8::53"])",
       1, "before a DNS server removal"},
      {R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"}, {"address": "2001:db8::7"}])", NONE,
       "nothing removed: no wait"},
      {R"("addresses": [{"address": "2001:db8::5"}])", NONE, "nothing added: no wait"},
  };
  for (const auto& c : cases) {
    CMachine machine;
    const CApplyPlan plan = Plan(machine, Adapters("{" + ETHERNET + c.entry + "}"));
    EXPECT_EQ(plan.m_nSettleBefore, c.settleBefore) << c.why << "\n" << FormatPlanLines(plan, false);
  }
}

TEST(ApplyPlan, AnAddedAddressIsWaitedForWhileTentativeAndStopsTheRunAsADuplicate) {
  CMachine machine;
  const CApplyPlan plan =
      Plan(machine, Adapters("{" + ETHERNET + R"("addresses": [{"address": "2001:db8::7"}, {"address": "2001:db8::8"}]},
          {"friendly_name": "Wi-Fi", "addresses": [{"address": "2001:db8:2::7"}]})"));
  ASSERT_EQ(plan.m_changes.size(), 7u) << FormatPlanLines(plan, false);
  const struct {
    std::vector<std::string> states;  // of 2001:db8::7, ::8 and 2001:db8:2::7; "" where it is not read
    std::size_t ran;
    AddedAddressState outcome;
    std::string text;
    const char* why;
  } cases[] = {
      {{"Preferred", "Deprecated", "Preferred"}, 3, AddedAddressState::Settled, "", "every one out of Tentative"},
      {{"Preferred", "Tentative", "Preferred"}, 3, AddedAddressState::Pending,
       "2001:db8::8 on Ethernet is still tentative", "one still tentative"},
      {{"Preferred", "Preferred", ""}, 3, AddedAddressState::Pending,
       "2001:db8:2::7 on Wi-Fi is not among the adapter's addresses", "one not read yet"},
      {{"Tentative", "Duplicate", "Preferred"}, 3, AddedAddressState::Duplicate,
       "2001:db8::8 on Ethernet is a duplicate: another node on the link holds that address.",
       "a duplicate decides over a tentative one"},
      {{"Preferred", "Preferred", "Duplicate"}, 2, AddedAddressState::Settled, "",
       "only the addresses the run has added count"},
      {{"Invalid", "Preferred", "Preferred"}, 3, AddedAddressState::Settled, "", "invalid is not tentative"},
  };
  for (const auto& c : cases) {
    CMachine read = machine;
    const char* added[][2] = {{"2001:db8::7", "Ethernet"}, {"2001:db8::8", "Ethernet"}, {"2001:db8:2::7", "Wi-Fi"}};
    for (std::size_t i = 0; i < 3; ++i) {
      if (c.states[i].empty()) continue;
      CAddressRecord a = Address(added[i][0], "Manual");
      a.m_strState = c.states[i];
      read.m_records[std::string(added[i][1]) == "Ethernet" ? 0 : 1].m_addresses.push_back(a);
    }
    const CAddedAddressCheck check = CheckAddedAddresses(plan, c.ran, read.m_records.data(), read.m_records.size());
    EXPECT_EQ(check.m_state, c.outcome) << c.why;
    EXPECT_EQ(check.m_strText, c.text) << c.why;
  }
}

TEST(ApplyPlan, WhatListWritesPlansNothing) {
  CMachine machine;
  const std::vector<CListedRoutes> routes(machine.m_routes.begin(), machine.m_routes.end());
  const std::string listing = FormatAdapterListing(machine.m_records.data(), machine.m_records.size(), "t", &routes);
  EXPECT_EQ(FormatPlanLines(Plan(machine, listing), false), "");
  // Read again a while later: the finite lifetimes have counted down.
  for (CAddressRecord& a : machine.m_records[1].m_addresses)
    if (a.m_nValidSeconds != INF) a.m_nValidSeconds -= 600, a.m_nPreferredSeconds -= 600;
  const CApplyPlan later = Plan(machine, listing);
  EXPECT_EQ(FormatPlanLines(later, false), "");
  EXPECT_EQ(FormatPlanFindings(later), "");
}

TEST(ApplyPlan, EntriesNameOneAdapterEach) {
  const struct {
    std::string entries;
    std::function<void(CMachine&)> change;
    std::string result;  // the plan's first line's adapter, or the error
    const char* why;
  } cases[] = {
      {R"({"friendly_name": "Wi-Fi")", nullptr, "Wi-Fi", "by name"},
      {R"({"mac": "00:11:22:33:44:55")", nullptr, "Wi-Fi", "by MAC, written with colons"},
      {R"({"mac": "00-0c-29-ab-cd-ef")", nullptr, "Ethernet", "by MAC, in lower case"},
      {R"({"default_route": true)", nullptr, "Ethernet", "the adapter with a default gateway"},
      {R"({"friendly_name": "Ethernet", "mac": "00-0C-29-AB-CD-EF", "description": "any")", nullptr, "Ethernet",
       "name and MAC as /list writes them"},
      {R"({"friendly_name": "Nope")", nullptr, "adapters[0]: no adapter has friendly_name \"Nope\".", "no such name"},
      {R"({"friendly_name": "Ethernet", "mac": "00-11-22-33-44-55")", nullptr,
       "adapters[0]: no adapter has friendly_name \"Ethernet\" and mac 00-11-22-33-44-55.", "name and MAC disagree"},
      {R"({"default_route": true)", [](CMachine& m) { m.m_routes[1] = m.m_routes[0]; },
       "adapters[0]: 2 adapters have a default route (Ethernet, Wi-Fi).", "two adapters with a gateway"},
      {R"({"default_route": true)",
       [](CMachine& m) {
         m.m_routes[1] = {Route("2001:db8:7::/48", "fe80::7", 256, "Manual"), Route("::/0", "", 256, "Manual")};
       },
       "Ethernet", "a gateway for one prefix, or a default route on the link, is no default gateway"},
      {R"({"default_route": true)", [](CMachine& m) { m.m_bRoutesRead = false; },
       "adapters[0]: no adapter can be chosen by its default route: the route table could not be read.",
       "no route table"},
      {R"({"friendly_name": "Ethernet"}, {"mac": "00-0C-29-AB-CD-EF")", nullptr,
       "adapters[1]: Ethernet is named by an earlier entry too.", "one adapter named twice"},
  };
  for (const auto& c : cases) {
    CMachine machine;
    if (c.change) c.change(machine);
    const CApplyPlan plan = Plan(machine, Adapters(c.entries + R"(, "addresses": [{"address": "2001:db8:9::1"}]})"));
    const std::string result = plan.m_changes.empty() ? plan.m_strError : plan.m_changes[0].m_strInterface;
    EXPECT_EQ(result, c.result) << c.why;
  }
}

TEST(ApplyPlan, TheWindowsGuardsRefuseOrWarnBeforeAnythingRuns) {
  const struct {
    std::string entry;
    std::function<void(CMachine&)> change;
    GuardOutcome outcome;  // Proceed with an empty text: no finding
    std::string text;
    const char* why;
  } cases[] = {
      {R"("addresses": [{"address": "::"}])", nullptr, GuardOutcome::Refuse, "The unspecified address ::", "::"},
      {R"("addresses": [{"address": "ff02::1"}])", nullptr, GuardOutcome::Refuse, "ff02::1 is a multicast address",
       "multicast"},
      {R"("addresses": [{"address": "::ffff:192.0.2.1"}])", nullptr, GuardOutcome::Refuse, "IPv4-mapped", "mapped"},
      {R"("addresses": [{"address": "2001:db8::7", "type": "anycast"}])", nullptr, GuardOutcome::Refuse,
       "only unicast addresses", "an anycast address"},
      {R"("addresses": [{"address": "2001:db8::7", "type": "uni\u0007cast"}])", nullptr, GuardOutcome::Refuse,
       "the type \"uni\\u0007cast\"", "a control character in a value a refusal quotes is shown escaped"},
      {R"("addresses": [{"address": "2001:db8::7", "valid_lifetime": "soon"}])", nullptr, GuardOutcome::Refuse,
       "2001:db8::7: a lifetime is neither", "a lifetime that is not lifetime text"},
      {R"("addresses": [{"address": "2001:db8::7", "valid_lifetime": "1h", "preferred_lifetime": "2h"}])", nullptr,
       GuardOutcome::Refuse, "the preferred lifetime is longer", "preferred beyond valid"},
      {R"("addresses": [{"address": "2001:db8::7", "store": "forever"}])", nullptr, GuardOutcome::Refuse,
       "the store \"forever\"", "an unknown store"},
      {R"("addresses": [{"address": "2001:db8::7"}, {"address": "2001:DB8::7"}])", nullptr, GuardOutcome::Refuse,
       "2001:DB8::7 is listed twice.", "an address twice"},
      {R"("dns_servers": ["2001:db8::53", "2001:db8::53"])", nullptr, GuardOutcome::Refuse,
       "2001:db8::53 is already DNS server 1", "a DNS server twice"},
      {R"("dns_servers": ["::"])", nullptr, GuardOutcome::Refuse, "names no server", "the unspecified DNS server"},
      {R"("routes": [{"destination": "2001:db8::1/48"}])", nullptr, GuardOutcome::Refuse, "The route 2001:db8::1/48: ",
       "a prefix with bits after its length"},
      {R"("routes": [{"destination": "2001:db8:6::/48"}, {"destination": "2001:db8:6::/48"}])", nullptr,
       GuardOutcome::Refuse, "The route 2001:db8:6::/48 is listed twice.", "a route twice"},
      {R"("routes": [])", [](CMachine& m) { m.m_bRoutesRead = false; }, GuardOutcome::Refuse,
       "the route table could not be read", "routes without a route table"},
      {R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"}])",
       [](CMachine& m) { m.m_records[0].m_strFriendlyName = "Lab \"A\""; }, GuardOutcome::Proceed, "",
       "a name netsh cannot take, but nothing to run"},
      {R"("addresses": [])", [](CMachine& m) { m.m_records[0].m_strFriendlyName = "Lab \"A\""; },
       GuardOutcome::Refuse, "contains a double quote", "a line netsh's check refuses"},
      {R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"}, {"address": "2001:db8:2::1"}])",
       nullptr, GuardOutcome::Warn, "2001:db8:2::1 is already an address of Wi-Fi", "an address another adapter holds"},
      {R"("addresses": [{"address": "2001:db8::5"}, {"address": "2001:db8::9"}, {"address": "fec0::1"}])", nullptr,
       GuardOutcome::Warn, "fec0::1 is a site-local address", "site-local"},
      {R"("addresses": [{"address": "2001:db8::5"}])",
       [](CMachine& m) { m.m_connections.m_connections = {{"2001:db8::9", 3389, "2001:db8::99", 50000}}; },
       GuardOutcome::Warn, "1 open connection uses 2001:db8::9: a Remote Desktop session from 2001:db8::99",
       "a connection on a removed address"},
      {R"("addresses": [{"address": "2001:db8::5"}])", [](CMachine& m) { m.m_connections.m_bRead = false; },
       GuardOutcome::Proceed, "Open connections on 2001:db8::9 could not be checked.",
       "unread connections: a note, not a stop"},
      {R"("addresses": [])",
       [](CMachine& m) { m.m_records[0].m_addresses.resize(1); },
       GuardOutcome::Warn, "2001:db8::5 is the only global address of Ethernet", "the last global address"},
      {R"("addresses": [{"address": "2001:db8::7"}])",
       [](CMachine& m) { m.m_records[0].m_addresses.resize(1); },
       GuardOutcome::Proceed, "", "the last global address replaced: the new one comes first"},
      {R"("routes": [])",
       [](CMachine& m) {
         m.m_routes[0] = {Route("::/0", "fe80::1", 16, "Manual")};
         m.m_connections.m_connections = {{"2001:db8::5", 50000, "2001:db8:ffff::1", 443}};
       },
       GuardOutcome::Warn, "The default route ::/0 through fe80::1 is the only default route of Ethernet",
       "the only default route while a connection reaches beyond the link"},
      {R"("dns_servers": ["fe80::53", "2001:db8::53", "2001:db8::54"])", nullptr, GuardOutcome::Warn,
       "fe80::53 is a link-local address", "a link-local DNS server"},
  };
  for (const auto& c : cases) {
    CMachine machine;
    if (c.change) c.change(machine);
    const std::string name = machine.m_records[0].m_strFriendlyName == "Ethernet" ? ETHERNET
                                                                                  : R"("mac": "00-0C-29-AB-CD-EF", )";
    const CApplyPlan plan = Plan(machine, Adapters("{" + name + c.entry + "}"));
    if (c.text.empty()) {
      EXPECT_EQ(FormatPlanFindings(plan), "") << c.why;
      continue;
    }
    ASSERT_EQ(plan.m_findings.size(), 1u) << c.why << "\n" << FormatPlanFindings(plan);
    EXPECT_EQ(plan.m_findings[0].m_outcome, c.outcome) << c.why;
    EXPECT_NE(plan.m_findings[0].m_strText.find(c.text), std::string::npos)
        << c.why << ": " << plan.m_findings[0].m_strText;
    EXPECT_EQ(plan.IsRefused(), c.outcome == GuardOutcome::Refuse) << c.why;
    EXPECT_EQ(plan.HasWarnings(), c.outcome == GuardOutcome::Warn) << c.why;
  }
}

// The run's texts in the cases the windows' flow under Wine leaves out.
TEST(ApplyReport, TextsOfARunAndAPreview) {
  CMachine machine;
  CApplyPlan plan = Plan(machine, Adapters("{" + ETHERNET + R"("addresses": [{"address": "2001:db8::5"}]})"));
  ASSERT_EQ(plan.m_changes.size(), 1u) << FormatPlanLines(plan, false);
  const CChange& removal = plan.m_changes[0];
  const std::string line = "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::9";
  const auto succeeded = [](std::string output) {
    CNetshResult result;
    result.m_outcome = NetshOutcome::Succeeded;
    result.m_strOutput = std::move(output);
    return result;
  };
  CApplyPlan findings;
  findings.m_findings = {{GuardOutcome::Refuse, "Ethernet", "a"},
                         {GuardOutcome::Warn, "Ethernet", "b\nc"},
                         {GuardOutcome::Proceed, "Wi-Fi", "d"}};
  const struct {
    std::function<std::string()> text;
    std::string expected;
    const char* why;
  } cases[] = {
      {[&] { return FormatRunStep(removal, succeeded("\r\n  \r\n")); }, line + "\n  Succeeded\n",
       "netsh answered blank lines only: nothing under the outcome"},
      {[&] { return FormatRunStep(removal, succeeded("\r\nOk.\r\nSecond line\r\n\r\n")); },
       line + "\n  Succeeded\n    Ok.\n    Second line\n",
       "each line of the answer under the outcome, without the blank lines around them"},
      {[&] { return FormatRunSummary({{succeeded("Ok.")}, ""}, 1); }, "Done: 1 command succeeded.\n",
       "one command: the singular"},
      {[&] { return FormatPlanFindings(findings); }, "refused: Ethernet: a\nwarning: Ethernet: b c\nnote: Wi-Fi: d\n",
       "each finding's label; a line break in a text becomes a space, one finding a line"},
      {[&] { return FormatPlanJson(plan, nullptr); },
       "{\n  \"changes\": [\n    {\n      \"adapter\": \"Ethernet\",\n      \"change\": \"delete address\",\n"
       "      \"target\": \"2001:db8::9\",\n      \"netsh\": \"netsh interface ipv6 delete address \\\"Ethernet\\\" "
       "2001:db8::9\",\n      \"powershell\": \"" +
           FormatPowerShellCommand(removal) + "\"\n    }\n  ],\n  \"findings\": []\n}\n",
       "a preview: no outcome, answer or stopped"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text(), c.expected) << c.why;
}

TEST(ApplyFile, BadFilesAreNamedByPlace) {
  const struct {
    std::string file;
    std::string error;
    const char* why;
  } cases[] = {
      {"{\n  \"adapters\": [\n    {\"friendly_name\": \"Ethernet\",}\n  ]\n}",
       "line 3, column 34: syntax error while parsing object key - unexpected '}'; expected string literal",
       "a comma before a brace"},
      {"", "line 1, column 1: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal",
       "an empty file"},
      {R"({"adapters": [], "format": 1e999})", "number overflow parsing '1e999'", "a number beyond a double"},
      {R"([])", "the file: is array, not an object", "not an object"},
      {R"({"adapters": {}})", "adapters: is object, not an array", "adapters not a list"},
      {R"({})", "adapters: is missing", "no adapters"},
      {R"({"format": 2, "adapters": []})", "format: is 2; this version of Vantoric reads format 1", "a later format"},
      {R"({"adapters": [], "comment": "x"})", "comment: is not a field this version of Vantoric reads",
       "an unknown key at the top"},
      {Adapters(R"({"friendly_name": "E", "interface_settings": {}})"),
       "adapters[0].interface_settings: is not a field this version of Vantoric reads",
       "a section this version does not apply"},
      {Adapters(R"({"description": "E"})"),
       "adapters[0]: names no adapter: give \"friendly_name\", \"mac\" or \"default_route\": true", "no name"},
      {Adapters(R"({"default_route": "yes"})"), "adapters[0].default_route: is string, not true or false",
       "default_route not a boolean"},
      {Adapters(R"({"mac": "x", "addresses": [{"address": 5}]})"),
       "adapters[0].addresses[0].address: is number, not a string", "a number as address"},
      {Adapters(R"({"mac": "x", "addresses": [{"valid_lifetime": "1d"}]})"),
       "adapters[0].addresses[0].address: is missing", "an address entry without its address"},
      {Adapters(R"({"mac": "x", "addresses": [{"address": "2001:db8::zz"}]})"),
       "adapters[0].addresses[0].address: \"2001:db8::zz\" is not an IPv6 address", "not an address"},
      {Adapters(R"({"mac": "x", "dns_servers": "2001:db8::53"})"), "adapters[0].dns_servers: is string, not an array",
       "one server, not a list"},
      {Adapters(R"({"mac": "x", "dns_servers": ["dns.example"]})"),
       "adapters[0].dns_servers[0]: \"dns.example\" is not an IPv6 address", "a host name as server"},
      {Adapters(R"({"mac": "x", "dns_servers": ["2001:db8::54%1&calc.exe"]})"),
       "adapters[0].dns_servers[0]: \"2001:db8::54%1&calc.exe\" is not a DNS server address: the text from \"%\" "
       "on is a zone, which only a link-local address can have. Give the server's address alone.",
       "a server with a zone and a command after it"},
      {Adapters(R"({"mac": "x", "routes": [{"destination": "::/0", "metric": -1}]})"),
       "adapters[0].routes[0].metric: is number, not a number from 0", "a negative metric"},
      {Adapters(R"({"friendly_name": "E", "addresses": [],
  "addresses": [{"address": "2001:db8::5"}]})"),
       "line 2, column 3: the key \"addresses\" is given twice in one object",
       "a second addresses key: which one would count is the reader's guess"},
      {R"({"adapters": [], "adapters": []})", "line 1, column 18: the key \"adapters\" is given twice in one object",
       "a key twice at the top"},
      {R"({"adapters": [{"mac": "x"}, {"mac": "x"}]})", "", "the same key in two objects"},
      {R"({"adapters": [], "a\"b": 1, "a\"b": 2})", "line 1, column 29: the key \"a\"b\" is given twice in one object",
       "a key with an escaped quote, placed at its opening quote"},
      {R"({"adapters": []} {"adapters": []})",
       "line 1, column 18: syntax error while parsing value - unexpected '{'; expected end of input",
       "a second document"},
      {std::string(R"({"adapters": []})") + '\0' + "{\"adapters\": [{\"mac\": \"x\"}]}",
       "line 1, column 17: bytes follow the end of the document; a file holds one JSON object only",
       "bytes hidden behind a NUL, where the JSON library stops reading"},
      {std::string(R"({"adapters": []})") + '\0', "line 1, column 17: bytes follow the end of the document; a file holds "
                                                  "one JSON object only", "a NUL at the end"},
      {std::string("\xFF\xFE{\0}\0!", 7),
       "the file ends in half a UTF-16 character: a byte follows the last character", "UTF-16 with an odd byte"},
      {R"({"adapters": [], "format": )" + std::string(30000, '[') + std::string(30000, ']') + "}",
       "line 1, column 91: values are nested more than 64 deep", "30,000 nested arrays in format"},
      {R"({"adapters": [], "format": [[1], {"a": 2}]})", "format: is array; this version of Vantoric reads format 1",
       "a structure as format is named by its type, not written out"},
      {R"({"adapters": [], "format": "1.0"})", "format: is \"1.0\"; this version of Vantoric reads format 1",
       "a text as format"},
      {R"({"adapters": [], "co\u001b[2Jmment": 1})",
       "co\\u001B[2Jmment: is not a field this version of Vantoric reads", "a terminal escape in a key"},
      {Adapters(R"({"mac": "x", "addresses": [{"address": "2001:db8::1\t\r\u0085"}]})"),
       "adapters[0].addresses[0].address: \"2001:db8::1\\t\\r\\u0085\" is not an IPv6 address",
       "a tab, a carriage return and a C1 control in a value"},
      {Adapters(R"({"mac": "x", "addresses": [{"address": "2001:db8::1\u0080\u009f\u00a0\u00a9x"}]})"),
       "adapters[0].addresses[0].address: \"2001:db8::1\\u0080\\u009F\xC2\xA0\xC2\xA9x\" is not an IPv6 address",
       "the first and last C1 controls escaped; a no-break space and a copyright sign, just past them, as they are"},
  };
  for (const auto& c : cases) {
    CWantedState state;
    EXPECT_EQ(ReadWantedState(c.file, state), c.error) << c.why;
  }
}

TEST(ApplyFile, TheEncodingsThatScriptsWrite) {
  const std::string name = "\xD0\x9B\xD0\xB0\xD0\xB1";  // Cyrillic, three letters
  const std::string utf8 = Adapters(R"({"friendly_name": ")" + name + R"("})");
  // The file as UTF-16 LE with its mark, the adapter's name given as UTF-16 units.
  const auto utf16 = [](const std::u16string& units) {
    std::string bytes = "\xFF\xFE";
    for (char c : Adapters(R"({"friendly_name": "@"})")) {
      if (c != '@') {
        bytes += std::string{c, '\0'};
        continue;
      }
      for (char16_t u : units) bytes += std::string{static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    }
    return bytes;
  };
  const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    std::string bytes;
    std::string name;
    const char* why;
  } cases[] = {
      {utf8, name, "UTF-8"},
      {"\xEF\xBB\xBF" + utf8, name, "UTF-8 with a byte-order mark (Out-File -Encoding utf8)"},
      {utf16(u"\u041B\u0430\u0431"), name, "UTF-16 LE with its mark (PowerShell 5's redirection)"},
      {utf16({0xD83D, 0xDDA7}), "\xF0\x9F\x96\xA7", "UTF-16: a sign beyond the basic plane, a surrogate pair"},
      {utf16({0xD800, 0xDC00, 0xDBFF, 0xDFFF}), "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
       "UTF-16: the first and the last surrogate pair, U+10000 and U+10FFFF"},
      {utf16({0xD800, u'A', 0xDFFF, 0xDBFF, 0xD83D, 0xDDA7}),
       replacement + "A" + replacement + replacement + "\xF0\x9F\x96\xA7",
       "UTF-16: a high surrogate without a low one after it, and a low one alone, are each U+FFFD"},
  };
  for (const auto& c : cases) {
    CWantedState state;
    EXPECT_EQ(ReadWantedState(c.bytes, state), "") << c.why;
    ASSERT_EQ(state.m_adapters.size(), 1u) << c.why;
    EXPECT_EQ(state.m_adapters[0].m_selector.m_strName, c.name) << c.why;
  }
}

TEST(ApplyCommandLine, SwitchesAfterApply) {
  const struct {
    std::vector<std::string> args;
    ProgramCommand command;
    std::string fileOrReason;
    bool whatIf, powerShell, json, force;
    const char* why;
  } cases[] = {
      {{"/apply", "ipv6.json"}, ProgramCommand::Apply, "ipv6.json", false, false, false, false, "the file alone"},
      {{"-APPLY", "/WhatIf", "\\\\server\\share\\ipv6.json", "/PowerShell", "/json", "-Force"}, ProgramCommand::Apply,
       "\\\\server\\share\\ipv6.json", true, true, true, true, "every switch, in any case and place"},
      {{"/apply"}, ProgramCommand::BadApply, "No file name after /apply.", false, false, false, false, "no file"},
      {{"/apply", "a.json", "b.json"}, ProgramCommand::BadApply, "More than one file name after /apply: b.json", false,
       false, false, false, "two files"},
      {{"/apply", "a.json", "/confirm"}, ProgramCommand::BadApply, "Unknown switch after /apply: /confirm", false,
       false, false, false, "an unknown switch"},
  };
  for (const auto& c : cases) {
    const CProgramCommand command = ParseProgramCommand(c.args);
    EXPECT_EQ(command.m_command, c.command) << c.why;
    EXPECT_EQ(c.command == ProgramCommand::Apply ? command.m_strFile : command.m_strReason, c.fileOrReason) << c.why;
    EXPECT_EQ(command.m_bWhatIf, c.whatIf) << c.why;
    EXPECT_EQ(command.m_bPowerShell, c.powerShell) << c.why;
    EXPECT_EQ(command.m_bJson, c.json) << c.why;
    EXPECT_EQ(command.m_bForce, c.force) << c.why;
  }
}

}  // namespace
}  // namespace vantoric
