#include "core/address_guards.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "core/address_names.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

constexpr int GROUP_COUNT = 8;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A dotted IPv4 address: four decimal parts of 0 to 255, without leading
// zeros (which some readers take for octal).
bool ParseDottedQuad(std::string_view text, std::uint8_t (&parts)[4]) {
  int nPart = 0;
  size_t i = 0;
  for (;;) {
    size_t end = i;
    int value = 0;
    while (end < text.size() && end - i < 3 && text[end] >= '0' && text[end] <= '9')
      value = value * 10 + (text[end++] - '0');
    if (end == i || value > 255 || (end - i > 1 && text[i] == '0')) return false;
    parts[nPart++] = static_cast<std::uint8_t>(value);
    if (nPart == 4) return end == text.size();
    if (end == text.size() || text[end] != '.') return false;
    i = end + 1;
  }
}

bool IsUnspecified(const CIpv6Bytes& b) {
  return std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0; });
}

bool IsLoopback(const CIpv6Bytes& b) {
  return std::all_of(b.begin(), b.end() - 1, [](std::uint8_t x) { return x == 0; }) && b[15] == 1;
}

// ff00::/8
bool IsMulticast(const CIpv6Bytes& b) { return b[0] == 0xff; }

// ::ffff:0:0/96
bool IsIpv4Mapped(const CIpv6Bytes& b) {
  return std::all_of(b.begin(), b.begin() + 10, [](std::uint8_t x) { return x == 0; }) && b[10] == 0xff &&
         b[11] == 0xff;
}

// fec0::/10
bool IsSiteLocal(const CIpv6Bytes& b) { return b[0] == 0xfe && (b[1] & 0xc0) == 0xc0; }

// A prefix length of up to three digits.
int PrefixLength(std::string_view digits) { return static_cast<int>(ReadLeadingNumber(digits, 999).m_nMagnitude); }

CGuardVerdict Refuse(GuardReason reason, std::string text) { return {GuardOutcome::Refuse, reason, std::move(text)}; }

std::string_view Question(AddressChange change) {
  switch (change) {
    case AddressChange::Add: return GUARD_ADD_QUESTION;
    case AddressChange::Replace: return GUARD_APPLY_QUESTION;
    case AddressChange::Remove: return GUARD_REMOVE_QUESTION;
  }
  return GUARD_REMOVE_QUESTION;
}

CGuardVerdict Warn(GuardReason reason, const std::string& text, AddressChange change) {
  return {GuardOutcome::Warn, reason, text + " " + std::string(Question(change))};
}

// The connections on the best-known local ports, by what they are.
struct CServiceWords {
  std::uint16_t m_nPort;
  std::uint16_t m_nSecondPort;
  std::string_view m_strOne;
  std::string_view m_strMany;
  bool m_bControlsMachine;  // losing it can lock the user out
};

constexpr CServiceWords SERVICES[] = {
    {PORT_REMOTE_DESKTOP, PORT_REMOTE_DESKTOP, GUARD_REMOTE_DESKTOP_ONE, GUARD_REMOTE_DESKTOP_MANY, true},
    {PORT_SSH, PORT_SSH, GUARD_SSH_ONE, GUARD_SSH_MANY, true},
    {PORT_REMOTE_MANAGEMENT_HTTP, PORT_REMOTE_MANAGEMENT_HTTPS, GUARD_REMOTE_MANAGEMENT_ONE,
     GUARD_REMOTE_MANAGEMENT_MANY, true},
    {PORT_FILE_SHARING, PORT_FILE_SHARING, GUARD_FILE_SHARING_ONE, GUARD_FILE_SHARING_MANY, false},
};

// "a", "a and b", "a, b and c".
std::string JoinList(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  return text;
}

}  // namespace

std::string FillGuardText(std::string_view pattern, std::initializer_list<std::string_view> inserts) {
  std::string text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const size_t n = static_cast<size_t>(pattern[i + 1] - '1');
      if (n < inserts.size()) text += *(inserts.begin() + n);
      ++i;
      continue;
    }
    text += pattern[i];
  }
  return text;
}

bool ParseIpv6Bytes(std::string_view text, CIpv6Bytes& bytes) {
  text = text.substr(0, text.find('%'));
  std::uint16_t groups[GROUP_COUNT] = {};
  int nGroups = 0;
  int nGap = -1;  // the group index where "::" stands
  size_t i = 0;
  if (text.substr(0, 2) == "::") {
    nGap = 0;
    i = 2;
  }
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && HexValue(text[end]) >= 0) ++end;
    if (end < text.size() && text[end] == '.') {
      // The dotted IPv4 tail ends the text and fills two groups.
      std::uint8_t parts[4];
      if (nGroups > GROUP_COUNT - 2 || !ParseDottedQuad(text.substr(i), parts)) return false;
      groups[nGroups++] = static_cast<std::uint16_t>(parts[0] << 8 | parts[1]);
      groups[nGroups++] = static_cast<std::uint16_t>(parts[2] << 8 | parts[3]);
      i = text.size();
      break;
    }
    if (end == i || end - i > 4 || nGroups == GROUP_COUNT) return false;
    int value = 0;
    for (size_t k = i; k < end; ++k) value = value * 16 + HexValue(text[k]);
    groups[nGroups++] = static_cast<std::uint16_t>(value);
    i = end;
    if (i == text.size()) break;
    if (text[i] != ':' || i + 1 == text.size()) return false;
    ++i;
    if (text[i] == ':') {
      if (nGap >= 0) return false;
      nGap = nGroups;
      ++i;
    }
  }
  // "::" stands for at least one group.
  if (nGap < 0 ? nGroups != GROUP_COUNT : nGroups >= GROUP_COUNT) return false;
  std::uint16_t full[GROUP_COUNT] = {};
  const int nTail = nGap < 0 ? 0 : nGroups - nGap;
  for (int g = 0; g < nGroups; ++g) {
    const bool bTail = nGap >= 0 && g >= nGap;
    full[bTail ? GROUP_COUNT - nTail + (g - nGap) : g] = groups[g];
  }
  for (int g = 0; g < GROUP_COUNT; ++g) {
    bytes[static_cast<size_t>(2 * g)] = static_cast<std::uint8_t>(full[g] >> 8);
    bytes[static_cast<size_t>(2 * g + 1)] = static_cast<std::uint8_t>(full[g] & 0xff);
  }
  return true;
}

bool IsSameAddress(std::string_view first, std::string_view second) {
  CIpv6Bytes a;
  CIpv6Bytes b;
  return ParseIpv6Bytes(first, a) && ParseIpv6Bytes(second, b) && a == b;
}

bool IsSamePrefix(std::string_view first, std::string_view second) {
  if (!IsPrefixText(first) || !IsPrefixText(second)) return first == second;
  const std::size_t slashA = first.find('/'), slashB = second.find('/');
  return PrefixLength(first.substr(slashA + 1)) == PrefixLength(second.substr(slashB + 1)) &&
         IsSameAddress(first.substr(0, slashA), second.substr(0, slashB));
}

bool IsSameHop(std::string_view first, std::string_view second) {
  return first.empty() || second.empty() ? first.empty() && second.empty() : IsSameAddress(first, second);
}

bool IsPrefixText(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return false;
  const std::string_view address = text.substr(0, slash), length = text.substr(slash + 1);
  CIpv6Bytes bytes;
  if (address.find('%') != std::string_view::npos || !ParseIpv6Bytes(address, bytes)) return false;
  if (length.empty() || length.size() > 3 || length.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  return PrefixLength(length) <= 128;
}

bool IsLinkLocalAddress(const CIpv6Bytes& bytes) { return bytes[0] == 0xfe && (bytes[1] & 0xc0) == 0x80; }

CDnsServerCheck CheckDnsServerText(std::string_view text) {
  CDnsServerCheck check;
  CIpv6Bytes bytes;
  if (!ParseIpv6Bytes(text, bytes)) {
    check.m_strRefusal = FillGuardText(GUARD_DNS_NOT_ADDRESS, {text});
    return check;
  }
  const std::size_t percent = text.find('%');
  if (percent != std::string_view::npos) {
    const std::string_view zone = text.substr(percent + 1);
    if (!IsLinkLocalAddress(bytes)) {
      check.m_strRefusal = FillGuardText(GUARD_DNS_ZONE, {text});
      return check;
    }
    if (zone.empty() || zone.find_first_not_of("0123456789") != std::string_view::npos) {
      check.m_strRefusal = FillGuardText(GUARD_DNS_ZONE_NOT_NUMBER, {text});
      return check;
    }
  }
  check.m_bPassed = true;
  check.m_strServer = std::string(text.substr(0, percent));
  return check;
}

std::vector<CHeldAddress> AddressesOfOtherAdapters(const CAdapterRecord* records, std::size_t count,
                                                   std::size_t self) {
  std::vector<CHeldAddress> held;
  for (std::size_t r = 0; records != nullptr && r < count; ++r) {
    if (r == self) continue;
    for (const CAddressRecord& address : records[r].m_addresses)
      held.push_back({records[r].m_strFriendlyName, address.m_strAddress});
  }
  return held;
}

CGuardVerdict CheckNewAddress(std::string_view address, const std::vector<CHeldAddress>& otherAdapters,
                              AddressChange change) {
  CIpv6Bytes bytes;
  if (!ParseIpv6Bytes(address, bytes)) return {};
  if (IsUnspecified(bytes)) return Refuse(GuardReason::Unspecified, std::string(GUARD_UNSPECIFIED_ADDRESS));
  if (IsMulticast(bytes)) return Refuse(GuardReason::Multicast, FillGuardText(GUARD_MULTICAST_ADDRESS, {address}));
  if (IsIpv4Mapped(bytes))
    return Refuse(GuardReason::Ipv4Mapped, FillGuardText(GUARD_IPV4_MAPPED_ADDRESS, {address}));
  if (IsLoopback(bytes)) return Warn(GuardReason::Loopback, std::string(GUARD_LOOPBACK_ADDRESS), change);
  if (!IsLinkLocalAddress(bytes)) {
    for (const CHeldAddress& held : otherAdapters) {
      CIpv6Bytes other;
      if (ParseIpv6Bytes(held.m_strAddress, other) && other == bytes)
        return Warn(GuardReason::OnOtherAdapter,
                    FillGuardText(GUARD_ADDRESS_ON_OTHER_ADAPTER, {address, held.m_strAdapter}), change);
    }
  }
  if (IsSiteLocal(bytes))
    return Warn(GuardReason::SiteLocal, FillGuardText(GUARD_SITE_LOCAL_ADDRESS, {address}), change);
  return {};
}

CGuardVerdict CheckNewDnsServer(std::string_view server, const std::vector<std::string>& servers) {
  CIpv6Bytes bytes;
  if (!ParseIpv6Bytes(server, bytes)) return {};
  if (IsUnspecified(bytes)) return Refuse(GuardReason::Unspecified, std::string(GUARD_DNS_UNSPECIFIED));
  if (IsMulticast(bytes)) return Refuse(GuardReason::Multicast, FillGuardText(GUARD_DNS_MULTICAST, {server}));
  for (size_t i = 0; i < servers.size(); ++i) {
    if (IsSameAddress(servers[i], server))
      return Refuse(GuardReason::AlreadyListed,
                    FillGuardText(GUARD_DNS_ALREADY_LISTED, {server, std::to_string(i + 1)}));
  }
  if (IsLinkLocalAddress(bytes))
    return Warn(GuardReason::LinkLocalServer, FillGuardText(GUARD_DNS_LINK_LOCAL, {server}), AddressChange::Add);
  return {};
}

CGuardVerdict CheckOpenConnections(std::string_view address, const CConnectionReading& reading,
                                   AddressChange change) {
  if (!reading.m_bRead)
    return {GuardOutcome::Proceed, GuardReason::NotChecked, FillGuardText(GUARD_CONNECTIONS_UNCHECKED, {address})};
  CIpv6Bytes bytes;
  if (!ParseIpv6Bytes(address, bytes)) return {};

  int nCount = 0;
  int nNamed = 0;
  bool bControlled = false;
  int serviceCounts[std::size(SERVICES)] = {};
  std::string remotes[std::size(SERVICES)];  // named only where a kind has one connection
  for (const CTcpConnection& c : reading.m_connections) {
    CIpv6Bytes local;
    if (!ParseIpv6Bytes(c.m_strLocalAddress, local) || local != bytes) continue;
    ++nCount;
    for (size_t s = 0; s < std::size(SERVICES); ++s) {
      if (c.m_nLocalPort != SERVICES[s].m_nPort && c.m_nLocalPort != SERVICES[s].m_nSecondPort) continue;
      ++serviceCounts[s];
      remotes[s] = c.m_strRemoteAddress;
      ++nNamed;
      bControlled = bControlled || SERVICES[s].m_bControlsMachine;
    }
  }
  if (nCount == 0) return {};

  std::vector<std::string> named;
  for (size_t s = 0; s < std::size(SERVICES); ++s) {
    if (serviceCounts[s] == 1) named.push_back(FillGuardText(SERVICES[s].m_strOne, {remotes[s]}));
    if (serviceCounts[s] > 1) named.push_back(FillGuardText(SERVICES[s].m_strMany, {std::to_string(serviceCounts[s])}));
  }
  std::string text = nCount == 1 ? FillGuardText(GUARD_ONE_CONNECTION, {address})
                                 : FillGuardText(GUARD_CONNECTIONS, {std::to_string(nCount), address});
  if (nNamed == 0)
    text += GUARD_CONNECTIONS_NONE_NAMED;
  else if (nNamed == nCount)
    text += FillGuardText(GUARD_CONNECTIONS_ALL_NAMED, {JoinList(named)});
  else
    text += FillGuardText(nNamed == 1 ? GUARD_CONNECTIONS_ONE_OF_THEM : GUARD_CONNECTIONS_AMONG_THEM,
                          {JoinList(named)});
  text += FillGuardText(change == AddressChange::Replace ? GUARD_REPLACING_DROPS : GUARD_REMOVING_DROPS,
               {nCount == 1 ? "it" : "them"});
  if (bControlled) text += GUARD_OWN_CONNECTION_AT_RISK;
  text += ".";
  return Warn(GuardReason::OpenConnections, text, change);
}

DefaultRoute DefaultRouteOf(std::uint64_t interfaceId, const std::vector<CRouteEntry>& routes) {
  for (const CRouteEntry& route : routes) {
    if (route.m_nInterface == interfaceId && route.m_nPrefixLength == 0 && !IsUnspecified(route.m_nextHop))
      return DefaultRoute::Present;
  }
  return DefaultRoute::Absent;
}

CGuardVerdict CheckLastGlobalAddress(std::string_view address, std::string_view adapterName,
                                     const std::vector<CAddressRecord>& addresses, DefaultRoute route) {
  const auto isGlobal = [](const CIpv6Bytes& b) {
    return !IsUnspecified(b) && !IsLoopback(b) && !IsLinkLocalAddress(b) && !IsMulticast(b);
  };
  CIpv6Bytes bytes;
  if (!ParseIpv6Bytes(address, bytes) || !isGlobal(bytes)) return {};
  const std::string duplicate = GetAddressTypeName(ADDRSTATE_DUPLICATE);
  const std::string invalid = GetAddressTypeName(ADDRSTATE_INVALID);
  for (const CAddressRecord& other : addresses) {
    CIpv6Bytes b;
    if (!ParseIpv6Bytes(other.m_strAddress, b) || b == bytes || !isGlobal(b)) continue;
    if (other.m_strState != duplicate && other.m_strState != invalid) return {};
  }
  switch (route) {
    case DefaultRoute::Present:
      return Warn(GuardReason::LastGlobalAddress, FillGuardText(GUARD_LAST_GLOBAL_ADDRESS, {address, adapterName}),
                  AddressChange::Remove);
    case DefaultRoute::Absent:
      return {};
    case DefaultRoute::Unknown:
    case DefaultRoute::Unreadable:
      break;
  }
  return {GuardOutcome::Proceed, GuardReason::NotChecked, FillGuardText(GUARD_GATEWAY_UNCHECKED, {adapterName})};
}

}  // namespace vantoric
