#include "core/route_records.h"

#include <algorithm>
#include <cstdio>

#include "core/ipv6_address_text.h"
#include "core/lifetime_text.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

constexpr int MAX_PREFIX_LENGTH = 128;
constexpr std::size_t MAX_METRIC_DIGITS = 4;  // 0 to 9999

// A destination prefix: the address's bytes and the length in bits.
struct CPrefix {
  CIpv6Bytes m_bytes{};
  int m_nLength = 0;
};

enum class PrefixFault { None, NotPrefix, Length };

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What StripWhitespace removes, in ASCII.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// "address/length": an IPv6 address without a zone, "/" and 0 to 128.
PrefixFault ParsePrefix(std::string_view text, CPrefix& prefix) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return PrefixFault::NotPrefix;
  const std::string_view address = text.substr(0, slash);
  if (address.find('%') != std::string_view::npos || !ParseIpv6Bytes(address, prefix.m_bytes))
    return PrefixFault::NotPrefix;
  const std::string_view length = text.substr(slash + 1);
  if (!IsDigits(length) || length.size() > 3) return PrefixFault::Length;
  prefix.m_nLength = static_cast<int>(ReadLeadingNumber(length, MAX_PREFIX_LENGTH + 1).m_nMagnitude);
  return prefix.m_nLength > MAX_PREFIX_LENGTH ? PrefixFault::Length : PrefixFault::None;
}

// The first `length` bits of `bytes`, the rest zero.
CIpv6Bytes Masked(CIpv6Bytes bytes, int length) {
  for (std::uint8_t& byte : bytes) {
    byte = static_cast<std::uint8_t>(byte & (0xFF00 >> std::clamp(length, 0, 8)));
    length -= 8;
  }
  return bytes;
}

// The compressed lower-case text that the address edit's preview writes.
std::string AddressText(const CIpv6Bytes& bytes) {
  CIpv6Groups groups;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    char group[8];
    std::snprintf(group, sizeof group, "%02x%02x", bytes[2 * g], bytes[2 * g + 1]);
    groups[g] = group;
  }
  return FormatCompressed(groups);
}

bool IsLifetime(std::string_view text) { return IsInfiniteLifetime(text) || IsLifetimeTextAcceptable(text); }

std::string LifetimeRefusal(std::string_view which) {
  return "The " + std::string(which) +
         " lifetime must be \"infinite\" or a time such as 2d, 1h30m or 45s (days, hours, minutes and seconds in "
         "that order, at most 49710d6h28m14s).";
}

CRouteInputCheck Refusal(RouteField field, std::string text) { return {field, std::move(text)}; }

// The first field whose text begins or ends with a blank.
CRouteInputCheck CheckBlanks(const CRouteInput& input) {
  const struct {
    RouteField m_field;
    const std::string& m_strText;
    const char* m_name;
  } fields[] = {
      {RouteField::Prefix, input.m_strPrefix, "destination prefix"},
      {RouteField::NextHop, input.m_strNextHop, "next hop"},
      {RouteField::Metric, input.m_strMetric, "metric"},
      {RouteField::ValidLifetime, input.m_strValidLifetime, "valid lifetime"},
      {RouteField::PreferredLifetime, input.m_strPreferredLifetime, "preferred lifetime"},
      {RouteField::Store, input.m_strStore, "store"},
  };
  for (const auto& f : fields) {
    if (!f.m_strText.empty() && (IsBlank(f.m_strText.front()) || IsBlank(f.m_strText.back())))
      return Refusal(f.m_field, "The " + std::string(f.m_name) + " must not begin or end with a blank.");
  }
  return {};
}

CRouteInputCheck CheckPrefix(std::string_view text) {
  CPrefix prefix;
  switch (ParsePrefix(text, prefix)) {
    case PrefixFault::NotPrefix:
      return Refusal(RouteField::Prefix,
                     "The destination prefix must be an IPv6 address, \"/\" and a prefix length, for example "
                     "2001:db8::/48.");
    case PrefixFault::Length:
      return Refusal(RouteField::Prefix, "The prefix length must be a number from 0 to 128.");
    case PrefixFault::None:
      break;
  }
  const CIpv6Bytes masked = Masked(prefix.m_bytes, prefix.m_nLength);
  if (masked == prefix.m_bytes) return {};
  const std::string length = std::to_string(prefix.m_nLength);
  return Refusal(RouteField::Prefix, "The destination prefix " + std::string(text) + " has bits set after its length " +
                                         length + ". Enter the prefix with those bits zero (" + AddressText(masked) +
                                         "/" + length + ").");
}

// The add and set route lines share their arguments: prefix, interface and
// next hop by position, then the named values.
std::string RouteCommand(std::string_view verb, std::string_view interfaceName, const CRouteInput& route) {
  std::string nextHop;
  if (!IsPrefixText(route.m_strPrefix) ||
      (!route.m_strNextHop.empty() && !MakeCommandNextHop(route.m_strNextHop, nextHop)))
    return {};
  std::string line = "interface ipv6 " + std::string(verb) + " route " + route.m_strPrefix + " \"" +
                     std::string(interfaceName) + "\"";
  if (!nextHop.empty()) line += " " + nextHop;
  if (!route.m_strMetric.empty()) line += " metric=" + route.m_strMetric;
  return line + " validlifetime=" + route.m_strValidLifetime + " preferredlifetime=" + route.m_strPreferredLifetime +
         " store=" + route.m_strStore;
}

}  // namespace

std::string DescribeRouteOrigin(int origin) {
  switch (origin) {
    case ROUTE_ORIGIN_MANUAL:
      return "Manual";
    case ROUTE_ORIGIN_WELL_KNOWN:
      return "Well-known";
    case ROUTE_ORIGIN_DHCP:
      return "DHCP";
    case ROUTE_ORIGIN_ROUTER_ADVERTISEMENT:
      return "Router Advertisement";
    default:
      return "Origin " + std::to_string(origin);
  }
}

std::vector<CRouteRecord> MakeRouteRecords(const std::vector<CRouteData>& routes, std::uint64_t interfaceId) {
  std::vector<CRouteRecord> records;
  for (const CRouteData& route : routes) {
    if (route.m_nInterface != interfaceId) continue;
    CRouteRecord record;
    CIpv6Bytes bytes;
    const std::string address = ParseIpv6Bytes(route.m_strPrefix, bytes) ? AddressText(bytes) : route.m_strPrefix;
    record.m_strDestination = address + "/" + std::to_string(route.m_nPrefixLength);
    const bool bOnLink = route.m_strNextHop.empty() || IsSameAddress(route.m_strNextHop, "::");
    record.m_strNextHop = bOnLink ? "On-link" : route.m_strNextHop;
    record.m_strNextHopAddress = bOnLink ? "" : route.m_strNextHop;
    record.m_nMetric = route.m_nMetric;
    record.m_strValidLifetime = FormatLifetime(route.m_nValidLifetime);
    record.m_strPreferredLifetime = FormatLifetime(route.m_nPreferredLifetime);
    record.m_nValidSeconds = route.m_nValidLifetime;
    record.m_nPreferredSeconds = route.m_nPreferredLifetime;
    record.m_strOrigin = DescribeRouteOrigin(route.m_nOrigin);
    record.m_bDefault = route.m_nPrefixLength == 0;
    records.push_back(std::move(record));
  }
  std::stable_partition(records.begin(), records.end(), [](const CRouteRecord& r) { return r.m_bDefault; });
  return records;
}

CRouteInputCheck CheckRouteInput(const CRouteInput& input) {
  if (CRouteInputCheck blanks = CheckBlanks(input); !blanks.Passed()) return blanks;
  if (CRouteInputCheck prefix = CheckPrefix(input.m_strPrefix); !prefix.Passed()) return prefix;
  CIpv6Bytes nextHop;
  std::string withoutZone;
  if (!input.m_strNextHop.empty() && !ParseIpv6Bytes(input.m_strNextHop, nextHop))
    return Refusal(RouteField::NextHop, "The next hop is not an IPv6 address.");
  if (!input.m_strNextHop.empty() && !MakeCommandNextHop(input.m_strNextHop, withoutZone))
    return Refusal(RouteField::NextHop,
                   "Only a link-local next hop (fe80::/10) may carry a zone, and only as a number (fe80::1%4): the "
                   "route's interface is named already.");
  if (!input.m_strMetric.empty() && (!IsDigits(input.m_strMetric) || input.m_strMetric.size() > MAX_METRIC_DIGITS))
    return Refusal(RouteField::Metric, "The metric must be a number from 0 to 9999, or empty for the system's choice.");
  if (!IsLifetime(input.m_strValidLifetime)) return Refusal(RouteField::ValidLifetime, LifetimeRefusal("valid"));
  if (!IsLifetime(input.m_strPreferredLifetime))
    return Refusal(RouteField::PreferredLifetime, LifetimeRefusal("preferred"));
  if (!IsLifetimeOrderValid(input.m_strValidLifetime, input.m_strPreferredLifetime))
    return Refusal(RouteField::PreferredLifetime, "The preferred lifetime cannot be longer than the valid lifetime.");
  const std::string store = LowerAscii(input.m_strStore);
  if (store != "active" && store != "persistent")
    return Refusal(RouteField::Store, "The store must be \"active\" or \"persistent\".");
  return {};
}

bool MakeCommandNextHop(std::string_view nextHop, std::string& out) {
  out = NetshAddressValue(nextHop);
  CIpv6Bytes bytes;
  return out.find('%') == std::string::npos && ParseIpv6Bytes(out, bytes);
}

std::string FormatAddRouteCommand(std::string_view interfaceName, const CRouteInput& route) {
  return RouteCommand("add", interfaceName, route);
}

std::string FormatSetRouteCommand(std::string_view interfaceName, const CRouteInput& route) {
  return RouteCommand("set", interfaceName, route);
}

std::string FormatDeleteRouteCommand(std::string_view prefix, std::string_view interfaceName,
                                     std::string_view nextHop) {
  std::string hop;
  if (!IsPrefixText(prefix) || (!nextHop.empty() && !MakeCommandNextHop(nextHop, hop))) return {};
  std::string line = "interface ipv6 delete route " + std::string(prefix) + " \"" + std::string(interfaceName) + "\"";
  if (!hop.empty()) line += " " + hop;
  return line;
}

CChange MakeSetRouteChange(std::string_view interfaceName, const CRouteRecord& route, const CRouteInput& wanted) {
  CChange change = MakeDeleteRouteChange(interfaceName, route);
  change.m_kind = ChangeKind::SetRoute;
  change.m_strMetricBefore = change.m_strMetric;
  change.m_strMetric = wanted.m_strMetric;
  change.m_strValidLifetime = wanted.m_strValidLifetime;
  change.m_strPreferredLifetime = wanted.m_strPreferredLifetime;
  change.m_strStore = LowerAscii(wanted.m_strStore);
  change.m_strOriginBefore = route.m_strOrigin;
  return change;
}

CChange MakeDeleteRouteChange(std::string_view interfaceName, const CRouteRecord& route) {
  CChange change;
  change.m_kind = ChangeKind::DeleteRoute;
  change.m_strInterface = interfaceName;
  change.m_strAddress = route.m_strDestination;
  change.m_strNextHop = route.m_strNextHopAddress;
  change.m_strMetric = std::to_string(route.m_nMetric);
  change.m_bHadBefore = true;
  change.m_nValidSecondsBefore = route.m_nValidSeconds;
  change.m_nPreferredSecondsBefore = route.m_nPreferredSeconds;
  change.m_strStoreBefore = route.m_strStore;
  return change;
}

std::size_t CountConnectionsBeyondLink(const CConnectionReading& reading, const std::vector<CRouteRecord>& routes) {
  if (!reading.m_bRead) return 0;
  // Loopback and link-local peers never leave the link; nor do those inside
  // a prefix that the adapter reaches without a gateway.
  std::vector<CPrefix> local(2);
  ParsePrefix("::1/128", local[0]);
  ParsePrefix("fe80::/10", local[1]);
  for (const CRouteRecord& route : routes) {
    CPrefix prefix;
    if (!route.m_bDefault && route.m_strNextHopAddress.empty() &&
        ParsePrefix(route.m_strDestination, prefix) == PrefixFault::None)
      local.push_back(prefix);
  }
  std::size_t count = 0;
  for (const CTcpConnection& connection : reading.m_connections) {
    CIpv6Bytes remote;
    if (!ParseIpv6Bytes(connection.m_strRemoteAddress, remote)) continue;
    const bool bLocal = std::any_of(local.begin(), local.end(), [&](const CPrefix& prefix) {
      return Masked(remote, prefix.m_nLength) == Masked(prefix.m_bytes, prefix.m_nLength);
    });
    if (!bLocal) ++count;
  }
  return count;
}

CGuardVerdict CheckDefaultRouteRemoval(const std::vector<CRouteRecord>& routes, const CRouteRecord& removed,
                                       std::string_view adapterName, std::size_t beyondLink) {
  const auto isGateway = [](const CRouteRecord& r) { return r.m_bDefault && !r.m_strNextHopAddress.empty(); };
  if (!isGateway(removed) || beyondLink == 0) return {};
  const bool bAnother = std::any_of(routes.begin(), routes.end(), [&](const CRouteRecord& r) {
    return isGateway(r) && !IsSameAddress(r.m_strNextHopAddress, removed.m_strNextHopAddress);
  });
  if (bAnother) return {};
  const std::string connections =
      beyondLink == 1 ? std::string(GUARD_ONE_CONNECTION_BEYOND_LINK)
                      : FillGuardText(GUARD_CONNECTIONS_BEYOND_LINK, {std::to_string(beyondLink)});
  return {GuardOutcome::Warn, GuardReason::OnlyDefaultRoute,
          FillGuardText(GUARD_ONLY_DEFAULT_ROUTE, {removed.m_strNextHopAddress, adapterName, connections}) + " " +
              std::string(GUARD_REMOVE_QUESTION)};
}

}  // namespace vantoric
