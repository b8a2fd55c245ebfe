// An adapter's IPv6 routes: the rows the Routes page lists, the checks of
// the Add Route input and the two route command lines. Portable; the route
// table is read in route_reading_win32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/address_guards.h"
#include "core/command_history.h"

namespace vantoric {

// Where a route came from: portable copies of the system's NL_ROUTE_ORIGIN
// values (tied to them where the system's header is seen).
constexpr int ROUTE_ORIGIN_MANUAL = 0;
constexpr int ROUTE_ORIGIN_WELL_KNOWN = 1;
constexpr int ROUTE_ORIGIN_DHCP = 2;
constexpr int ROUTE_ORIGIN_ROUTER_ADVERTISEMENT = 3;

// One IPv6 route as the platform read it.
struct CRouteData {
  std::uint64_t m_nInterface = 0;  // the interface it leads through (its LUID)
  std::string m_strPrefix;         // the destination prefix's address, numeric text
  int m_nPrefixLength = 0;
  std::string m_strNextHop;        // numeric text; "::" for on-link
  std::uint32_t m_nMetric = 0;
  std::uint32_t m_nValidLifetime = 0xFFFFFFFFu;
  std::uint32_t m_nPreferredLifetime = 0xFFFFFFFFu;
  int m_nOrigin = ROUTE_ORIGIN_MANUAL;
};

// One row of the Routes page.
struct CRouteRecord {
  std::string m_strDestination;     // "2001:db8::/32", "::/0"
  std::string m_strNextHop;         // "On-link" for ::, otherwise the address
  std::string m_strNextHopAddress;  // what netsh takes: the address, or "" for on-link
  std::uint32_t m_nMetric = 0;
  std::string m_strValidLifetime;   // lifetime text (FormatLifetime)
  std::string m_strPreferredLifetime;
  std::uint32_t m_nValidSeconds = 0xFFFFFFFFu;
  std::uint32_t m_nPreferredSeconds = 0xFFFFFFFFu;
  std::string m_strOrigin;          // DescribeRouteOrigin
  std::string m_strStore;           // "" where the system does not tell
  bool m_bDefault = false;          // a ::/0 route
};

// "Manual", "Well-known", "DHCP", "Router Advertisement", or "Origin <n>".
std::string DescribeRouteOrigin(int origin);

// The rows of the routes that lead through `interfaceId`: the default
// routes (::/0) first, then the others, each group in the table's order.
std::vector<CRouteRecord> MakeRouteRecords(const std::vector<CRouteData>& routes, std::uint64_t interfaceId);

// What the Add Route dialog sends, as typed.
struct CRouteInput {
  std::string m_strPrefix;    // "2001:db8::/48"
  std::string m_strNextHop;   // an address, or empty for on-link
  std::string m_strMetric;    // 0-9999, or empty for the system's choice
  std::string m_strValidLifetime = "infinite";
  std::string m_strPreferredLifetime = "infinite";
  std::string m_strStore = "persistent";
};

// Which field a refusal is about.
enum class RouteField { None, Prefix, NextHop, Metric, ValidLifetime, PreferredLifetime, Store };

// The check of the Add Route input: a prefix of an IPv6 address, "/" and a
// length 0-128 with every bit after the length zero; a next hop that is an
// IPv6 address (link-local allowed, with a numeric zone on a link-local
// one only) or empty; a metric of 0-9999 digits or empty; lifetime text or
// "infinite" for both lifetimes, the preferred not longer than the valid;
// the store "active" or "persistent". m_strText is the refusal, naming the
// field and why; empty when everything checks out.
struct CRouteInputCheck {
  RouteField m_field = RouteField::None;
  std::string m_strText;
  bool Passed() const { return m_field == RouteField::None; }
};
CRouteInputCheck CheckRouteInput(const CRouteInput& input);

// The next hop as a command line gives it: the address without a zone. The
// line names the route's interface already, and the reference gives
// "[nexthop=]<IPv6 address>" with no zone ("netsh interface ipv6 add
// route", learn.microsoft.com/windows-server/administration/
// windows-commands/netsh-interface), so a numeric zone of a link-local
// address (fe80::1%4) is dropped; any other zone, or text that is no IPv6
// address, gives false.
bool MakeCommandNextHop(std::string_view nextHop, std::string& out);

// interface ipv6 add route <prefix> "<name>" [<nexthop>] [metric=<m>]
// validlifetime=<v> preferredlifetime=<p> store=<s>: the next hop and the
// metric are left out when empty, the next hop without its zone. No line
// (empty) when the prefix or next hop is not text a command line takes
// (IsPrefixText, MakeCommandNextHop): a route read from the system with
// such text cannot be changed through a command.
std::string FormatAddRouteCommand(std::string_view interfaceName, const CRouteInput& route);
// interface ipv6 set route <prefix> "<name>" [<nexthop>] [metric=<m>]
// validlifetime=<v> preferredlifetime=<p> store=<s>: the route that prefix,
// interface and next hop name takes the metric (kept when empty), the
// lifetimes and the store. The arguments and their order are those of
// "netsh interface ipv6 set route" on the "netsh interface" page of
// Windows Commands (learn.microsoft.com).
std::string FormatSetRouteCommand(std::string_view interfaceName, const CRouteInput& route);
// interface ipv6 delete route <prefix> "<name>" [<nexthop>], with the same
// checks.
std::string FormatDeleteRouteCommand(std::string_view prefix, std::string_view interfaceName,
                                     std::string_view nextHop);

// The change that removes `route` from the adapter `interfaceName`, with
// what the route was (metric, lifetimes, store) for taking it back.
CChange MakeDeleteRouteChange(std::string_view interfaceName, const CRouteRecord& route);
// The change that gives `route` the metric, lifetimes and store of `wanted`,
// with what the route was, as MakeDeleteRouteChange keeps it.
CChange MakeSetRouteChange(std::string_view interfaceName, const CRouteRecord& route, const CRouteInput& wanted);

// Removing the only default route through a gateway while connections reach
// beyond the link (the Routes page warns; "Remove it anyway?" follows). %1
// is the next hop, %2 the adapter, %3 the connections: the first text below,
// or the second with their count as %1.
inline constexpr std::string_view GUARD_ONLY_DEFAULT_ROUTE =
    "The default route ::/0 through %1 is the only default route of %2. Without it the machine will lose IPv6 "
    "connectivity on %2 beyond the local link, and %3 will be dropped.";
inline constexpr std::string_view GUARD_ONE_CONNECTION_BEYOND_LINK = "the open connection that reaches beyond the link";
inline constexpr std::string_view GUARD_CONNECTIONS_BEYOND_LINK = "the %1 open connections that reach beyond the link";

// The established connections whose remote peer is beyond the link: not
// loopback, not link-local and not inside an on-link prefix of `routes`
// (next hop empty, ::/0 excepted). A remote address that does not parse is
// not counted; an unread table counts none.
std::size_t CountConnectionsBeyondLink(const CConnectionReading& reading, const std::vector<CRouteRecord>& routes);
// Removing `removed` from an adapter whose routes are `routes`: warns when
// it is a ::/0 route through a gateway, no other ::/0 route of the adapter
// leads through a gateway, and `beyondLink` connections
// (CountConnectionsBeyondLink) are more than none; proceeds otherwise. The
// text names the route, the adapter and the count, and asks "Remove it
// anyway?".
CGuardVerdict CheckDefaultRouteRemoval(const std::vector<CRouteRecord>& routes, const CRouteRecord& removed,
                                       std::string_view adapterName, std::size_t beyondLink);

}  // namespace vantoric
