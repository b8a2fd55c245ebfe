// The Routes page's rules: origin words, the rows of an adapter's routes,
// the Add Route check, the two route lines and the default-route guard.
#include "core/route_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantoric {
namespace {

constexpr std::uint32_t INF = 0xFFFFFFFFu;
constexpr std::uint64_t ETH = 0x6000001000000ull;
constexpr std::uint64_t WIFI = 0x47000002000000ull;

TEST(DescribeRouteOrigin, EachOriginAndAnUnknownOne) {
  const struct {
    const char* reason;
    int origin;
    const char* text;
  } cases[] = {
      {"set by hand", ROUTE_ORIGIN_MANUAL, "Manual"},
      {"the system's own", ROUTE_ORIGIN_WELL_KNOWN, "Well-known"},
      {"from DHCP", ROUTE_ORIGIN_DHCP, "DHCP"},
      {"from a router advertisement", ROUTE_ORIGIN_ROUTER_ADVERTISEMENT, "Router Advertisement"},
      {"a value this program does not know", 4, "Origin 4"},
      {"a negative value", -1, "Origin -1"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeRouteOrigin(c.origin), c.text) << c.reason;
}

CRouteData Route(std::uint64_t nInterface, std::string prefix, int length, std::string nextHop,
                 std::uint32_t metric = 256, std::uint32_t valid = INF, std::uint32_t preferred = INF,
                 int origin = ROUTE_ORIGIN_MANUAL) {
  return {nInterface, std::move(prefix), length, std::move(nextHop), metric, valid, preferred, origin};
}

// A row as one line: every field the page and /list read.
std::string Row(const CRouteRecord& r) {
  return r.m_strDestination + " | " + r.m_strNextHop + " | " + r.m_strNextHopAddress + " | " +
         std::to_string(r.m_nMetric) + " | " + r.m_strValidLifetime + " " + r.m_strPreferredLifetime + " | " +
         std::to_string(r.m_nValidSeconds) + " " + std::to_string(r.m_nPreferredSeconds) + " | " + r.m_strOrigin +
         " | " + r.m_strStore + " | " + (r.m_bDefault ? "default" : "-");
}

TEST(MakeRouteRecords, TheAdaptersRoutesDefaultsFirst) {
  const struct {
    const char* reason;
    std::vector<CRouteData> routes;
    std::vector<std::string> rows;
  } cases[] = {
      {"no routes", {}, {}},
      {"a gateway route with every field",
       {Route(ETH, "2001:db8::", 32, "fe80::1", 16, 7200, 3600, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT)},
       {"2001:db8::/32 | fe80::1 | fe80::1 | 16 | 2h0m0s 1h0m0s | 7200 3600 | Router Advertisement |  | -"}},
      {"another interface's routes are left out",
       {Route(WIFI, "2001:db8:1::", 48, "::"), Route(ETH, "2001:db8:2::", 48, "::")},
       {"2001:db8:2::/48 | On-link |  | 256 | infinite infinite | " + std::to_string(INF) + " " +
        std::to_string(INF) + " | Manual |  | -"}},
      {"the prefix in the address edit's compressed lower-case form",
       {Route(ETH, "2001:0DB8:0000:0000:0000:0000:0000:0000", 32, "::")},
       {"2001:db8::/32 | On-link |  | 256 | infinite infinite | " + std::to_string(INF) + " " +
        std::to_string(INF) + " | Manual |  | -"}},
      {"the longest zero run compressed, the first of two equal ones",
       {Route(ETH, "2001:db8:0:0:1:0:0:1", 128, "0:0::0")},
       {"2001:db8::1:0:0:1/128 | On-link |  | 256 | infinite infinite | " + std::to_string(INF) + " " +
        std::to_string(INF) + " | Manual |  | -"}},
      {"a prefix that does not parse is shown as it came",
       {Route(ETH, "2001:db8::x", 64, "")},
       {"2001:db8::x/64 | On-link |  | 256 | infinite infinite | " + std::to_string(INF) + " " +
        std::to_string(INF) + " | Manual |  | -"}},
      {"365 days or more shows infinite, the seconds stay exact; a zone in the next hop stays",
       {Route(ETH, "::", 0, "fe80::1%4", 0, 400u * 86400, 364u * 86400, ROUTE_ORIGIN_DHCP)},
       {"::/0 | fe80::1%4 | fe80::1%4 | 0 | infinite 364d0h0m0s | 34560000 31449600 | DHCP |  | default"}},
      {"default routes first, each group in the table's order",
       {Route(ETH, "2001:db8:1::", 48, "::"), Route(ETH, "::", 0, "fe80::2"), Route(ETH, "2001:db8:2::", 48, "::"),
        Route(ETH, "::", 0, "fe80::1")},
       {"::/0 | fe80::2 | fe80::2 | 256 | infinite infinite | " + std::to_string(INF) + " " + std::to_string(INF) +
            " | Manual |  | default",
        "::/0 | fe80::1 | fe80::1 | 256 | infinite infinite | " + std::to_string(INF) + " " + std::to_string(INF) +
            " | Manual |  | default",
        "2001:db8:1::/48 | On-link |  | 256 | infinite infinite | " + std::to_string(INF) + " " +
            std::to_string(INF) + " | Manual |  | -",
        "2001:db8:2::/48 | On-link |  | 256 | infinite infinite | " + std::to_string(INF) + " " +
            std::to_string(INF) + " | Manual |  | -"}},
      {"a host route of length 128 is no default route",
       {Route(ETH, "2001:db8::5", 128, "::", 1, 0, 0)},
       {"2001:db8::5/128 | On-link |  | 1 | 0s 0s | 0 0 | Manual |  | -"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> rows;
    for (const CRouteRecord& record : MakeRouteRecords(c.routes, ETH)) rows.push_back(Row(record));
    EXPECT_EQ(rows, c.rows) << c.reason;
  }
}

CRouteInput Input(std::string prefix, std::string nextHop = "", std::string metric = "",
                  std::string valid = "infinite", std::string preferred = "infinite",
                  std::string store = "persistent") {
  return {std::move(prefix), std::move(nextHop), std::move(metric), std::move(valid), std::move(preferred),
          std::move(store)};
}

TEST(CheckRouteInput, EachFieldRefusedWithWhy) {
  const std::string notPrefix =
      "The destination prefix must be an IPv6 address, \"/\" and a prefix length, for example 2001:db8::/48.";
  const std::string badLength = "The prefix length must be a number from 0 to 128.";
  const std::string badNextHop = "The next hop is not an IPv6 address.";
  const std::string badMetric = "The metric must be a number from 0 to 9999, or empty for the system's choice.";
  const std::string badValid =
      "The valid lifetime must be \"infinite\" or a time such as 2d, 1h30m or 45s (days, hours, minutes and seconds "
      "in that order, at most 49710d6h28m14s).";
  const std::string badPreferred =
      "The preferred lifetime must be \"infinite\" or a time such as 2d, 1h30m or 45s (days, hours, minutes and "
      "seconds in that order, at most 49710d6h28m14s).";
  const std::string order = "The preferred lifetime cannot be longer than the valid lifetime.";
  const std::string badStore = "The store must be \"active\" or \"persistent\".";
  const struct {
    const char* reason;
    CRouteInput input;
    RouteField field;
    std::string text;
  } cases[] = {
      {"the defaults with a prefix pass", Input("2001:db8::/48"), RouteField::None, ""},
      {"every field given", Input("2001:db8:1::/48", "fe80::1", "9999", "1d", "12h", "active"), RouteField::None, ""},
      {"the default route ::/0", Input("::/0", "fe80::1"), RouteField::None, ""},
      {"a host route /128 with every bit used", Input("2001:db8::1/128"), RouteField::None, ""},
      {"a multicast destination is netsh's to judge", Input("ff02::/16"), RouteField::None, ""},
      {"upper-case digits and a length with a leading zero", Input("2001:DB8::/064"), RouteField::None, ""},
      {"a prefix with a dotted IPv4 tail", Input("::ffff:10.0.0.0/104"), RouteField::None, ""},
      // The prefix.
      {"empty prefix", Input(""), RouteField::Prefix, notPrefix},
      {"no length", Input("2001:db8::"), RouteField::Prefix, notPrefix},
      {"no address", Input("/48"), RouteField::Prefix, notPrefix},
      {"not an address before the slash", Input("2001:db8:::/48"), RouteField::Prefix, notPrefix},
      {"a zone is no part of a prefix", Input("fe80::%4/64"), RouteField::Prefix, notPrefix},
      {"length empty", Input("2001:db8::/"), RouteField::Prefix, badLength},
      {"length 129", Input("2001:db8::/129"), RouteField::Prefix, badLength},
      {"length with four digits", Input("2001:db8::/0048"), RouteField::Prefix, badLength},
      {"length negative", Input("2001:db8::/-1"), RouteField::Prefix, badLength},
      {"length with a sign", Input("2001:db8::/+48"), RouteField::Prefix, badLength},
      {"a second slash", Input("2001:db8::/48/1"), RouteField::Prefix, badLength},
      {"length not a number", Input("2001:db8::/ff"), RouteField::Prefix, badLength},
      {"host bits after the length, the zeroed prefix suggested", Input("2001:db8::1/64"), RouteField::Prefix,
       "The destination prefix 2001:db8::1/64 has bits set after its length 64. Enter the prefix with those bits "
       "zero (2001:db8::/64)."},
      {"a bit just after a length inside a byte", Input("2001:db8:1000::/35"), RouteField::Prefix,
       "The destination prefix 2001:db8:1000::/35 has bits set after its length 35. Enter the prefix with those "
       "bits zero (2001:db8::/35)."},
      {"the last bit of a length 127", Input("2001:db8::1/127"), RouteField::Prefix,
       "The destination prefix 2001:db8::1/127 has bits set after its length 127. Enter the prefix with those bits "
       "zero (2001:db8::/127)."},
      {"anything at all after length 0", Input("2001:db8::/0"), RouteField::Prefix,
       "The destination prefix 2001:db8::/0 has bits set after its length 0. Enter the prefix with those bits zero "
       "(::/0)."},
      {"the suggestion is lower case and names the length as a number", Input("2001:DB8::FF/064"), RouteField::Prefix,
       "The destination prefix 2001:DB8::FF/064 has bits set after its length 64. Enter the prefix with those bits "
       "zero (2001:db8::/64)."},
      {"the bit of the length itself is kept", Input("2001:db8:8000::/33"), RouteField::None, ""},
      // The next hop.
      {"a global next hop", Input("::/0", "2001:db8::1"), RouteField::None, ""},
      {"a link-local next hop with a numeric zone", Input("::/0", "fe80::1%12"), RouteField::None, ""},
      {"a next hop that is no address", Input("::/0", "gateway"), RouteField::NextHop, badNextHop},
      {"a next hop with a length", Input("::/0", "fe80::1/64"), RouteField::NextHop, badNextHop},
      {"a zone that is not a number", Input("::/0", "fe80::1%eth0"), RouteField::NextHop, badNextHop},
      {"an empty zone", Input("::/0", "fe80::1%"), RouteField::NextHop, badNextHop},
      // The metric.
      {"metric 0", Input("::/0", "", "0"), RouteField::None, ""},
      {"metric 10000", Input("::/0", "", "10000"), RouteField::Metric, badMetric},
      {"metric negative", Input("::/0", "", "-1"), RouteField::Metric, badMetric},
      {"metric not a number", Input("::/0", "", "low"), RouteField::Metric, badMetric},
      {"metric with a digit and a letter", Input("::/0", "", "1a"), RouteField::Metric, badMetric},
      // The lifetimes (their text and order rules have their own tables).
      {"the keyword in any case", Input("::/0", "", "", "INFINITE", "Infinite"), RouteField::None, ""},
      {"valid lifetime without a unit", Input("::/0", "", "", "60", "1m"), RouteField::ValidLifetime, badValid},
      {"preferred lifetime with units out of order", Input("::/0", "", "", "1d", "5m1h"),
       RouteField::PreferredLifetime, badPreferred},
      {"preferred longer than valid", Input("::/0", "", "", "1h", "61m"), RouteField::PreferredLifetime, order},
      // The store.
      {"store in capitals", Input("::/0", "", "", "infinite", "infinite", "ACTIVE"), RouteField::None, ""},
      {"store unknown", Input("::/0", "", "", "infinite", "infinite", "boot"), RouteField::Store, badStore},
      {"store empty", Input("::/0", "", "", "infinite", "infinite", ""), RouteField::Store, badStore},
      // Blanks around a field.
      {"a blank before the prefix", Input(" 2001:db8::/48"), RouteField::Prefix,
       "The destination prefix must not begin or end with a blank."},
      {"a tab after the prefix", Input("2001:db8::/48\t"), RouteField::Prefix,
       "The destination prefix must not begin or end with a blank."},
      {"a blank after the next hop", Input("::/0", "fe80::1 "), RouteField::NextHop,
       "The next hop must not begin or end with a blank."},
      {"a line break before the metric", Input("::/0", "", "\n5"), RouteField::Metric,
       "The metric must not begin or end with a blank."},
      {"a blank after the valid lifetime", Input("::/0", "", "", "1h ", "1h"), RouteField::ValidLifetime,
       "The valid lifetime must not begin or end with a blank."},
      {"a blank before the preferred lifetime", Input("::/0", "", "", "1h", " 1h"), RouteField::PreferredLifetime,
       "The preferred lifetime must not begin or end with a blank."},
      {"a carriage return after the store", Input("::/0", "", "", "1h", "1h", "active\r"), RouteField::Store,
       "The store must not begin or end with a blank."},
      {"a blank inside the prefix", Input("2001:db8:: /48"), RouteField::Prefix, notPrefix},
      {"the first field at fault is named", Input("2001:db8::1/64", "x", "x", "x", "x", "x"), RouteField::Prefix,
       "The destination prefix 2001:db8::1/64 has bits set after its length 64. Enter the prefix with those bits "
       "zero (2001:db8::/64)."},
  };
  for (const auto& c : cases) {
    const CRouteInputCheck check = CheckRouteInput(c.input);
    EXPECT_EQ(check.m_field, c.field) << c.reason;
    EXPECT_EQ(check.m_strText, c.text) << c.reason;
    EXPECT_EQ(check.Passed(), c.field == RouteField::None) << c.reason;
  }
}

TEST(RouteCommands, EveryArgumentCombination) {
  const std::string name = "Local Area Connection";
  const struct {
    const char* reason;
    std::string line;
    const char* expected;
  } cases[] = {
      {"on-link, system metric, infinite, persistent", FormatAddRouteCommand(name, Input("2001:db8::/48")),
       "interface ipv6 add route 2001:db8::/48 \"Local Area Connection\" validlifetime=infinite "
       "preferredlifetime=infinite store=persistent"},
      {"next hop without a metric", FormatAddRouteCommand(name, Input("::/0", "fe80::1")),
       "interface ipv6 add route ::/0 \"Local Area Connection\" fe80::1 validlifetime=infinite "
       "preferredlifetime=infinite store=persistent"},
      {"metric without a next hop", FormatAddRouteCommand(name, Input("2001:db8::/48", "", "10")),
       "interface ipv6 add route 2001:db8::/48 \"Local Area Connection\" metric=10 validlifetime=infinite "
       "preferredlifetime=infinite store=persistent"},
      {"next hop and metric, finite lifetimes, active store; the next hop's zone left out (the name says it)",
       FormatAddRouteCommand(name, Input("::/0", "fe80::1%4", "0", "1d2h", "30m", "active")),
       "interface ipv6 add route ::/0 \"Local Area Connection\" fe80::1 metric=0 validlifetime=1d2h "
       "preferredlifetime=30m store=active"},
      {"values go as typed, a name outside ASCII in quotes",
       FormatAddRouteCommand("R\xC3\xA9seau", Input("2001:DB8::/48", "", "", "INFINITE", "1H", "Persistent")),
       "interface ipv6 add route 2001:DB8::/48 \"R\xC3\xA9seau\" validlifetime=INFINITE preferredlifetime=1H "
       "store=Persistent"},
      {"delete an on-link route", FormatDeleteRouteCommand("2001:db8::/48", name, ""),
       "interface ipv6 delete route 2001:db8::/48 \"Local Area Connection\""},
      {"delete a route through a gateway", FormatDeleteRouteCommand("::/0", name, "fe80::1"),
       "interface ipv6 delete route ::/0 \"Local Area Connection\" fe80::1"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.line, c.expected) << c.reason;
}

CRouteRecord Record(std::string destination, std::string nextHop) {
  CRouteRecord r;
  r.m_strDestination = std::move(destination);
  r.m_strNextHop = nextHop.empty() ? "On-link" : nextHop;
  r.m_strNextHopAddress = std::move(nextHop);
  r.m_bDefault = r.m_strDestination == "::/0";
  return r;
}

CConnectionReading Connections(std::vector<std::string> remotes, bool bRead = true) {
  CConnectionReading reading;
  reading.m_bRead = bRead;
  for (std::string& remote : remotes)
    reading.m_connections.push_back({"2001:db8:1::5", 3389, std::move(remote), 50000});
  return reading;
}

TEST(CountConnectionsBeyondLink, PeersOutsideTheLinkAndItsOnLinkPrefixes) {
  const std::vector<CRouteRecord> routes = {Record("::/0", "fe80::1"), Record("2001:db8:1::/64", ""),
                                            Record("2001:db8:2::/48", "fe80::2"), Record("2001:db8:3::/127", "")};
  const struct {
    const char* reason;
    CConnectionReading reading;
    std::vector<CRouteRecord> routes;
    std::size_t count;
  } cases[] = {
      {"no connections", Connections({}), routes, 0},
      {"a peer on the internet", Connections({"2001:4860::8888"}), routes, 1},
      {"a peer inside an on-link prefix", Connections({"2001:db8:1::99"}), routes, 0},
      {"the last address of an on-link prefix", Connections({"2001:db8:1:0:ffff:ffff:ffff:ffff"}), routes, 0},
      {"just past an on-link prefix", Connections({"2001:db8:1:1::"}), routes, 1},
      {"inside a /127 on-link prefix", Connections({"2001:db8:3::1"}), routes, 0},
      {"just past a /127 on-link prefix", Connections({"2001:db8:3::2"}), routes, 1},
      {"a prefix reached through a gateway is beyond the link", Connections({"2001:db8:2::7"}), routes, 1},
      {"::/0 is no on-link prefix even without a next hop", Connections({"2001:4860::1"}),
       {Record("::/0", "")}, 1},
      {"link-local peers stay on the link", Connections({"fe80::99%4", "febf::1"}), routes, 0},
      {"just past fe80::/10", Connections({"fec0::1"}), routes, 1},
      {"the loopback peer", Connections({"::1"}), routes, 0},
      {"the address next to loopback", Connections({"::2"}), routes, 1},
      {"a remote address that does not parse", Connections({"not an address"}), routes, 0},
      {"several, counted one by one", Connections({"2001:4860::1", "2001:db8:1::1", "2001:4860::2"}), routes, 2},
      {"no routes: every global peer is beyond", Connections({"2001:db8:1::99"}), {}, 1},
      {"the table could not be read", Connections({"2001:4860::1"}, false), routes, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CountConnectionsBeyondLink(c.reading, c.routes), c.count) << c.reason;
}

TEST(CheckDefaultRouteRemoval, WarnsForTheOnlyGatewayWhileConnectionsNeedIt) {
  const CRouteRecord gateway = Record("::/0", "fe80::1");
  const CRouteRecord other = Record("::/0", "fe80::2");
  const CRouteRecord onLinkDefault = Record("::/0", "");
  const CRouteRecord prefix = Record("2001:db8::/48", "fe80::1");
  const std::string one =
      "The default route ::/0 through fe80::1 is the only default route of Ethernet 2. Without it the machine will "
      "lose IPv6 connectivity on Ethernet 2 beyond the local link, and the open connection that reaches beyond the "
      "link will be dropped. Remove it anyway?";
  const std::string three =
      "The default route ::/0 through fe80::1 is the only default route of Ethernet 2. Without it the machine will "
      "lose IPv6 connectivity on Ethernet 2 beyond the local link, and the 3 open connections that reach beyond the "
      "link will be dropped. Remove it anyway?";
  const struct {
    const char* reason;
    std::vector<CRouteRecord> routes;
    CRouteRecord removed;
    std::size_t beyondLink;
    GuardOutcome outcome;
    std::string text;
  } cases[] = {
      {"the only gateway, one connection", {gateway, prefix}, gateway, 1, GuardOutcome::Warn, one},
      {"the only gateway, three connections", {gateway}, gateway, 3, GuardOutcome::Warn, three},
      {"the only gateway, nothing depends on it", {gateway}, gateway, 0, GuardOutcome::Proceed, ""},
      {"another gateway remains", {gateway, other}, gateway, 3, GuardOutcome::Proceed, ""},
      {"the same gateway written another way is no other", {gateway, Record("::/0", "FE80:0::1")}, gateway, 1,
       GuardOutcome::Warn, one},
      {"an on-link ::/0 is no gateway that remains", {gateway, onLinkDefault}, gateway, 1, GuardOutcome::Warn, one},
      {"removing an on-link ::/0", {gateway, onLinkDefault}, onLinkDefault, 5, GuardOutcome::Proceed, ""},
      {"removing a route that is not ::/0", {gateway, prefix}, prefix, 5, GuardOutcome::Proceed, ""},
      {"a list that no longer holds it: still the only one", {}, gateway, 1, GuardOutcome::Warn, one},
  };
  for (const auto& c : cases) {
    const CGuardVerdict verdict = CheckDefaultRouteRemoval(c.routes, c.removed, "Ethernet 2", c.beyondLink);
    EXPECT_EQ(verdict.m_outcome, c.outcome) << c.reason;
    EXPECT_EQ(verdict.m_reason, c.outcome == GuardOutcome::Warn ? GuardReason::OnlyDefaultRoute : GuardReason::None)
        << c.reason;
    EXPECT_EQ(verdict.m_strText, c.text) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
