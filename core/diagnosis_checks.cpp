#include "core/diagnosis_checks.h"

#include <algorithm>

#include "core/address_guards.h"
#include "core/address_names.h"

namespace vantoric {

namespace {

std::string State(int code) { return GetAddressTypeName(code); }

bool IsDefaultRoute(const CRouteData& route) {
  return route.m_nPrefixLength == 0 && IsUnspecifiedText(route.m_strPrefix);
}

bool IsPreferred(const CAddressRecord* pAddress) {
  return pAddress != nullptr && pAddress->m_strState == State(ADDRSTATE_PREFERRED);
}

std::string Ms(const CProbeOutcome& outcome) { return std::to_string(outcome.m_nMs) + " ms"; }

std::string Seconds(std::uint32_t ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

CCheckResult Result(DiagnosisCheck check, Verdict verdict, std::string evidence, std::string action = {},
                    FixPage fix = FixPage::None) {
  return {check, verdict, std::move(evidence), std::move(action), fix};
}

std::string TunnelName(TunnelKind kind) { return kind == TunnelKind::Teredo ? "Teredo" : "6to4"; }

std::string CouldNotSend(const CProbeOutcome& outcome) {
  return outcome.m_result == ProbeResult::NotSupported
             ? "ICMPv6 echo is not available on this system"
             : "the echo failed with error " + std::to_string(outcome.m_nError);
}

constexpr char kCancelled[] = "The diagnosis was cancelled before this check was done.";
constexpr char kRerun[] = "Disable and enable the adapter, or restart the machine, then run the diagnosis again.";

}  // namespace

AddressClass ClassOf(const std::string& text) {
  CIpv6Bytes b{};
  if (!ParseIpv6Bytes(text, b)) return AddressClass::Unknown;
  if (b[0] == 0xfe && (b[1] & 0xc0) == 0x80) return AddressClass::LinkLocal;
  if (b[0] == 0xfe && (b[1] & 0xc0) == 0xc0) return AddressClass::SiteLocal;
  if ((b[0] & 0xfe) == 0xfc) return AddressClass::UniqueLocal;
  if (b[0] == 0x20 && b[1] == 0x01 && b[2] == 0 && b[3] == 0) return AddressClass::Teredo;
  if (b[0] == 0x20 && b[1] == 0x02) return AddressClass::SixToFour;
  if ((b[0] & 0xe0) == 0x20) return AddressClass::Global;
  const CIpv6Bytes loopback{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  return b == loopback ? AddressClass::Loopback : AddressClass::Other;
}

bool IsUnspecifiedText(const std::string& text) {
  CIpv6Bytes b{};
  return ParseIpv6Bytes(text, b) && b == CIpv6Bytes{};
}

const CAddressRecord* PickAddress(const std::vector<CAddressRecord>& addresses,
                                  const std::vector<AddressClass>& classes) {
  const CAddressRecord* pFirst = nullptr;
  for (const CAddressRecord& address : addresses) {
    if (std::find(classes.begin(), classes.end(), ClassOf(address.m_strAddress)) == classes.end()) continue;
    if (address.m_strState == State(ADDRSTATE_PREFERRED)) return &address;
    if (pFirst == nullptr) pFirst = &address;
  }
  return pFirst;
}

bool IsLoopbackAdapter(const CDiagnosisReadings& r) { return r.m_adapter.m_nIfType == ADAPTER_TYPE_LOOPBACK; }

TunnelKind TunnelOfAdapter(const CAdapterRecord& adapter) {
  if (PickAddress(adapter.m_addresses, {AddressClass::Global}) != nullptr) return TunnelKind::None;
  const CAddressRecord* pTunnel = PickAddress(adapter.m_addresses, {AddressClass::Teredo, AddressClass::SixToFour});
  return pTunnel != nullptr ? TunnelOfAddress(pTunnel->m_strAddress) : TunnelKind::None;
}

const CRouteData* BestDefaultRoute(const std::vector<CRouteData>& routes) {
  const CRouteData* pBest = nullptr;
  for (const CRouteData& route : routes)
    if (IsDefaultRoute(route) && (pBest == nullptr || route.m_nMetric < pBest->m_nMetric)) pBest = &route;
  return pBest;
}

const CNeighborData* FindNeighbor(const std::vector<CNeighborData>& neighbors, const std::string& address) {
  for (const CNeighborData& neighbor : neighbors)
    if (IsSameAddress(neighbor.m_strAddress, address)) return &neighbor;
  return nullptr;
}

bool IsConfirmed(const CNeighborData* pNeighbor) {
  return pNeighbor != nullptr &&
         (pNeighbor->m_nState == NEIGHBOR_STATE_REACHABLE || pNeighbor->m_nState == NEIGHBOR_STATE_PERMANENT);
}

CTrafficTunnel TrafficTunnel(const CDiagnosisReadings& r) {
  if (!r.m_bRoutesRead) return {};
  if (BestDefaultRoute(r.m_routes) != nullptr) return {TunnelOfAdapter(r.m_adapter), r.m_adapter.m_strFriendlyName};
  for (const CDefaultRouteAdapter& other : r.m_otherDefaults)
    if (other.m_tunnel != TunnelKind::None) return {other.m_tunnel, other.m_strAdapter};
  return {};
}

CCheckResult CheckAdapter(const CDiagnosisReadings& r) {
  const std::string& name = r.m_adapter.m_strFriendlyName;
  const CAdapterLink& link = r.m_adapter.m_link;
  constexpr DiagnosisCheck A = DiagnosisCheck::Adapter;
  if (link.m_nOperStatus == 0)
    return Result(A, Verdict::NotChecked, "The system did not tell whether " + name + " is up.");
  if (link.m_nOperStatus != OPER_STATUS_UP) {
    static const char* const kStates[] = {"down",
                                          "in a test mode",
                                          "in an unknown state",
                                          "dormant: it waits for an outside event",
                                          "not present: its hardware is missing or turned off",
                                          "not connected: the cable, the wireless network or the device below it "
                                          "is down"};
    const int index = link.m_nOperStatus - 2;
    const std::string state =
        index >= 0 && index < 6 ? kStates[index] : "in state " + std::to_string(link.m_nOperStatus);
    return Result(A, Verdict::Problem, name + " is " + state + ".",
                  "Connect the adapter to its network (cable or wireless network) and make sure it is enabled in "
                  "Network Connections.");
  }
  if (!link.m_bIpv6Enabled)
    return Result(A, Verdict::Problem, "IPv6 is not bound to " + name + ": it has no IPv6 interface.",
                  "Turn on Internet Protocol Version 6 (TCP/IPv6) in the adapter's properties in Network "
                  "Connections.");
  return Result(A, Verdict::Passed, name + " is up and IPv6 is bound to it.");
}

CCheckResult CheckLinkLocal(const CDiagnosisReadings& r) {
  constexpr DiagnosisCheck B = DiagnosisCheck::LinkLocal;
  if (IsLoopbackAdapter(r))
    return Result(B, Verdict::NotChecked, "The loopback adapter has no link, and needs no link-local address.");
  const CAddressRecord* pAddress = PickAddress(r.m_adapter.m_addresses, {AddressClass::LinkLocal});
  if (pAddress == nullptr)
    return Result(B, Verdict::Problem, r.m_adapter.m_strFriendlyName + " has no link-local address (fe80::/10).",
                  std::string("IPv6 cannot work on the link without one. ") + kRerun);
  const std::string& text = pAddress->m_strAddress;
  if (IsPreferred(pAddress)) return Result(B, Verdict::Passed, text + " is Preferred.");
  if (pAddress->m_strState == State(ADDRSTATE_DUPLICATE))
    return Result(B, Verdict::Problem, text + " is Duplicate: another device on the link uses the same address.",
                  "Look for a device with the same link-layer (MAC) address, such as a copied virtual machine, "
                  "and change one of them.");
  if (pAddress->m_strState == State(ADDRSTATE_TENTATIVE))
    return Result(B, Verdict::Problem, text + " is still Tentative: duplicate address detection has not finished.",
                  "Run the diagnosis again in a few seconds. An address that stays Tentative points to a link "
                  "that sends the adapter's own packets back to it.");
  return Result(B, Verdict::Problem, text + " is " + pAddress->m_strState + ", not Preferred.", kRerun);
}

namespace {

std::string RouteText(const CRouteData& route) {
  const std::string origin = route.m_nOrigin == ROUTE_ORIGIN_ROUTER_ADVERTISEMENT ? "router advertisement"
                             : route.m_nOrigin == ROUTE_ORIGIN_MANUAL             ? "manual"
                                                                      : DescribeRouteOrigin(route.m_nOrigin);
  const std::string via = IsUnspecifiedText(route.m_strNextHop) ? "on-link" : "via " + route.m_strNextHop;
  return "::/0 " + via + " (" + origin + ", metric " + std::to_string(route.m_nMetric) + ")";
}

}  // namespace

CCheckResult CheckRouter(const CDiagnosisReadings& r, const CProbeOutcomes& o, std::uint32_t boundMs) {
  constexpr DiagnosisCheck C = DiagnosisCheck::Router;
  if (IsLoopbackAdapter(r))
    return Result(C, Verdict::NotChecked, "Traffic on the loopback adapter stays in this machine: it has no router.");
  if (!r.m_bRoutesRead) return Result(C, Verdict::NotChecked, "The route table could not be read.");
  const CRouteData* pRoute = BestDefaultRoute(r.m_routes);
  if (pRoute == nullptr)
    return Result(
        C, Verdict::Problem,
        r.m_adapter.m_strFriendlyName + " has no default route (::/0): no router advertises itself on its link.",
        "Check that the router sends IPv6 router advertisements and that nothing on the link filters "
        "them. A default route can also be added by hand on the Routes page.",
        FixPage::Routes);
  const std::string route = RouteText(*pRoute);
  if (IsUnspecifiedText(pRoute->m_strNextHop))
    return Result(C, Verdict::Passed, route + ": the link itself leads on, there is no router to reach.");
  const CNeighborData* pNeighbor = r.m_bNeighborsRead ? FindNeighbor(r.m_neighbors, pRoute->m_strNextHop) : nullptr;
  const std::string cache =
      pNeighbor != nullptr ? "the neighbor cache holds it as " + DescribeNeighborState(pNeighbor->m_nState) : "";
  if (IsConfirmed(pNeighbor)) return Result(C, Verdict::Passed, route + "; " + cache + ".");
  const std::string silentAction =
      "The router may be down, or may filter echo requests. Check the router and the cable or wireless link to it.";
  switch (o.m_router.m_result) {
    case ProbeResult::Answered:
      return Result(C, Verdict::Passed, route + "; it answered an echo in " + Ms(o.m_router) + ".");
    case ProbeResult::TimedOut:
      return Result(C, Verdict::Problem,
                    route + "; it did not answer an echo within " + Seconds(boundMs) +
                        (cache.empty() ? "" : ", and " + cache) + ".",
                    silentAction);
    case ProbeResult::Unreachable:
      return Result(C, Verdict::Problem,
                    route + "; it cannot be reached (error " + std::to_string(o.m_router.m_nError) + ").",
                    silentAction);
    case ProbeResult::Cancelled:
      return Result(C, Verdict::NotChecked, route + ". " + kCancelled);
    default:
      break;
  }
  // No echo: the neighbor cache is all there is to judge by.
  const std::string why = CouldNotSend(o.m_router);
  if (pNeighbor == nullptr)
    return Result(C, Verdict::NotChecked,
                  route + "; whether it answers is not known: " + why + ", and the neighbor cache does not hold it.");
  if (pNeighbor->m_nState == NEIGHBOR_STATE_INCOMPLETE || pNeighbor->m_nState == NEIGHBOR_STATE_UNREACHABLE)
    return Result(C, Verdict::Problem, route + "; " + cache + ": it does not answer on the link.", silentAction);
  return Result(C, Verdict::Passed, route + "; " + cache + " (answered before; " + why + ").");
}

namespace {

std::string TemporaryNote(const CDiagnosisReadings& r) {
  std::size_t count = 0;
  for (const CAddressRecord& address : r.m_adapter.m_addresses)
    count += address.m_strKind == GetAddressTypeName(ADDRTYPE_TEMPORARY) ? 1 : 0;
  if (count > 0) return " It has " + std::to_string(count) + " temporary address" + (count > 1 ? "es." : ".");
  switch (r.m_system.Get(SystemSetting::TemporaryAddresses)) {
    case SettingState::Disabled:
      return " Temporary addresses are disabled.";
    case SettingState::NotKnown:
      return " It has no temporary address.";
    default:
      return " Temporary addresses are enabled, but it has none yet.";
  }
}

}  // namespace

CCheckResult CheckGlobalAddress(const CDiagnosisReadings& r) {
  constexpr DiagnosisCheck D = DiagnosisCheck::GlobalAddress;
  if (IsLoopbackAdapter(r))
    return Result(D, Verdict::NotChecked, "The loopback adapter holds only ::1, which never leaves this machine.");
  const std::vector<CAddressRecord>& addresses = r.m_adapter.m_addresses;
  const std::string note = TemporaryNote(r);
  if (const CAddressRecord* pNative = PickAddress(addresses, {AddressClass::Global})) {
    const std::string& text = pNative->m_strAddress;
    if (IsPreferred(pNative)) return Result(D, Verdict::Passed, text + " is Preferred." + note);
    if (pNative->m_strState == State(ADDRSTATE_DEPRECATED))
      return Result(D, Verdict::Problem, text + " is Deprecated: its preferred lifetime has run out." + note,
                    "The router no longer advertises the prefix as preferred: check the prefix lifetimes in the "
                    "router's IPv6 settings.");
    return Result(D, Verdict::Problem, text + " is " + pNative->m_strState + ", not Preferred." + note, kRerun);
  }
  const CAddressRecord* pTunnel = PickAddress(addresses, {AddressClass::Teredo, AddressClass::SixToFour});
  if (IsPreferred(pTunnel))
    return Result(D, Verdict::Warning,
                  pTunnel->m_strAddress + " is a " + TunnelName(TunnelOfAddress(pTunnel->m_strAddress)) +
                      " address: the adapter has no native global address." + note,
                  "IPv6 reaches the Internet only through a tunnel, which is slower and often blocked. Ask the "
                  "network's administrator or the provider for native IPv6.",
                  FixPage::System);
  const CAddressRecord* pLocal = PickAddress(addresses, {AddressClass::UniqueLocal});
  if (IsPreferred(pLocal))
    return Result(D, Verdict::Warning,
                  pLocal->m_strAddress +
                      " is a unique local address (fc00::/7): it reaches the local network only, "
                      "not the Internet." +
                      note,
                  "The router advertises only a local prefix. IPv6 Internet access needs a global prefix from the "
                  "provider.");
  return Result(D, Verdict::Problem, r.m_adapter.m_strFriendlyName + " has no usable global IPv6 address." + note,
                "The router advertises no prefix for addresses, or DHCPv6 gives none. Check the router's IPv6 "
                "settings and its prefix from the provider.");
}

namespace {

// Each IPv6 DNS server with what its echo saw, and how many did not answer.
struct CServerEchoes {
  std::string m_strText;
  std::size_t m_nSilent = 0;
};
CServerEchoes ServerEchoes(const CDiagnosisReadings& r, const CProbeOutcomes& o, std::uint32_t boundMs) {
  CServerEchoes echoes;
  const std::vector<std::string>& servers = r.m_adapter.m_dnsServers;
  for (std::size_t i = 0; i < servers.size(); ++i) {
    const CProbeOutcome outcome = i < o.m_dnsServers.size() ? o.m_dnsServers[i] : CProbeOutcome{};
    std::string seen;
    switch (outcome.m_result) {
      case ProbeResult::Answered:
        seen = "answered an echo in " + Ms(outcome);
        break;
      case ProbeResult::TimedOut:
        seen = "did not answer an echo within " + Seconds(boundMs);
        ++echoes.m_nSilent;
        break;
      case ProbeResult::Unreachable:
        seen = "cannot be reached (error " + std::to_string(outcome.m_nError) + ")";
        ++echoes.m_nSilent;
        break;
      case ProbeResult::Cancelled:
      case ProbeResult::NotRun:
        seen = "was not tried";
        break;
      default:
        seen = "could not be tried: " + CouldNotSend(outcome);
        break;
    }
    echoes.m_strText += (i == 0 ? "" : " ") + servers[i] + " " + seen + ".";
  }
  return echoes;
}

}  // namespace

CCheckResult CheckNameResolution(const CDiagnosisReadings& r, const CDiagnosisTarget& target, const CProbeOutcomes& o,
                                 std::uint32_t boundMs) {
  constexpr DiagnosisCheck E = DiagnosisCheck::NameResolution;
  const std::vector<std::string>& servers = r.m_adapter.m_dnsServers;
  const CServerEchoes echoes = ServerEchoes(r, o, boundMs);
  const std::string serverAction =
      "A DNS server that does not answer slows every name lookup: remove or replace it on the DNS page.";
  const auto withServers = [&](const std::string& text) {
    return echoes.m_strText.empty() ? text : text + " " + echoes.m_strText;
  };
  if (target.IsAddress()) {
    const std::string text = "The target is an address, so nothing was resolved.";
    if (o.m_bCancelled) return Result(E, Verdict::NotChecked, kCancelled);
    if (servers.empty()) return Result(E, Verdict::NotChecked, text + " The adapter has no IPv6 DNS server to try.");
    if (echoes.m_nSilent > 0) return Result(E, Verdict::Warning, withServers(text), serverAction, FixPage::Dns);
    return Result(E, Verdict::Passed, withServers(text));
  }
  const std::string& name = target.m_strHost;
  const CProbeOutcome& resolve = o.m_resolve;
  switch (resolve.m_result) {
    case ProbeResult::Answered: {
      std::string text = name + " has the IPv6 address " + (resolve.m_addresses.empty() ? "" : resolve.m_addresses[0]);
      if (resolve.m_addresses.size() > 1) text += " and " + std::to_string(resolve.m_addresses.size() - 1) + " more";
      if (servers.empty())
        text += r.m_adapter.m_link.m_nIpv4DnsServers > 0 ? ", resolved through the IPv4 DNS servers." : ".";
      else
        text += ".";
      if (echoes.m_nSilent > 0) return Result(E, Verdict::Warning, withServers(text), serverAction, FixPage::Dns);
      return Result(E, Verdict::Passed, withServers(text));
    }
    case ProbeResult::NoRecord:
      if (resolve.m_nError == DNS_NAME_DOES_NOT_EXIST)
        return Result(E, Verdict::Problem, withServers(name + " does not exist in DNS."),
                      "Check the target's spelling, or give another target.");
      return Result(E, Verdict::Problem, withServers("DNS gives no IPv6 address (AAAA record) for " + name + "."),
                    "The name has no AAAA record, or a DNS server on the way drops AAAA answers. Try another "
                    "target; if every target fails, try another DNS server on the DNS page.",
                    FixPage::Dns);
    case ProbeResult::TimedOut: {
      const bool bNoServer = servers.empty() && r.m_adapter.m_link.m_nIpv4DnsServers == 0;
      return Result(E, Verdict::Problem,
                    withServers("No DNS server answered for " + name + " within " + Seconds(boundMs) + "."),
                    bNoServer ? "The adapter has no DNS server at all: add one on the DNS page."
                              : "Check that the DNS servers are reachable, or add another one on the DNS page.",
                    FixPage::Dns);
    }
    case ProbeResult::NotSupported:
      return Result(E, Verdict::NotChecked, "Names cannot be resolved here: the system lacks the lookup function.");
    case ProbeResult::Cancelled:
    case ProbeResult::NotRun:
      return Result(E, Verdict::NotChecked, kCancelled);
    default:
      return Result(E, Verdict::Problem,
                    withServers(name + " could not be resolved: error " + std::to_string(resolve.m_nError) + "."),
                    "Check the DNS servers on the DNS page.", FixPage::Dns);
  }
}

namespace {

std::string NoTargetAddress(const CDiagnosisTarget& target, const CProbeOutcomes& o) {
  if (o.m_bCancelled) return kCancelled;
  return "The IPv6 address of " + target.m_strHost + " is not known, so nothing was sent to it.";
}

}  // namespace

CCheckResult CheckReachability(const CDiagnosisTarget& target, const CProbeOutcomes& o, std::uint32_t boundMs) {
  constexpr DiagnosisCheck F = DiagnosisCheck::Reachability;
  const std::string& address = o.m_strTargetAddress;
  if (address.empty()) return Result(F, Verdict::NotChecked, NoTargetAddress(target, o));
  const std::string at = "[" + address + "]:" + std::to_string(REACHABILITY_PORT);
  const CProbeOutcome& connect = o.m_connect;
  switch (connect.m_result) {
    case ProbeResult::Answered:
      return Result(F, Verdict::Passed, "Connected to " + at + " in " + Ms(connect) + ".");
    case ProbeResult::Refused:
      return Result(F, Verdict::Passed, at + " refused the connection: the target answered, so the path to it works.");
    case ProbeResult::TimedOut:
      return Result(F, Verdict::Problem, "No answer from " + at + " within " + Seconds(boundMs) + ".",
                    "IPv6 packets are lost on the way: a firewall may drop them, or the router does not forward "
                    "IPv6 to the Internet. Check the router's and the firewall's IPv6 settings, or try another "
                    "target.");
    case ProbeResult::Unreachable:
      return Result(F, Verdict::Problem,
                    at + " cannot be reached: the system reports error " + std::to_string(connect.m_nError) + ".",
                    "There is no way to the target: check the default route (check c) and the router's own "
                    "connection to the Internet.");
    case ProbeResult::NotSupported:
      return Result(F, Verdict::NotChecked, "Connections cannot be tried here: the system lacks the function.");
    case ProbeResult::Cancelled:
    case ProbeResult::NotRun:
      return Result(F, Verdict::NotChecked, kCancelled);
    default:
      return Result(F, Verdict::Problem,
                    "A connection to " + at + " could not be tried: error " + std::to_string(connect.m_nError) + ".",
                    "The system refused to open an IPv6 connection. " + std::string(kRerun));
  }
}

CCheckResult CheckPathMtu(const CDiagnosisReadings& r, const CDiagnosisTarget& target, const CProbeOutcomes& o) {
  constexpr DiagnosisCheck G = DiagnosisCheck::PathMtu;
  const std::string& address = o.m_strTargetAddress;
  if (address.empty()) return Result(G, Verdict::NotChecked, NoTargetAddress(target, o));
  const std::string mtu =
      r.m_bSettingsRead ? " The adapter's link MTU is " + std::to_string(r.m_settings.m_nMtu) + " bytes." : "";
  const CProbeOutcome& small = o.m_smallEcho;
  const CProbeOutcome& large = o.m_largeEcho;
  if (o.m_bCancelled) return Result(G, Verdict::NotChecked, kCancelled);
  if (small.m_result == ProbeResult::NotSupported || large.m_result == ProbeResult::NotSupported)
    return Result(G, Verdict::NotChecked, "ICMPv6 echo is not available on this system." + mtu);
  if (small.m_result != ProbeResult::Answered)
    return Result(G, Verdict::NotChecked,
                  address +
                      " does not answer a small echo (many hosts filter them), so the path MTU cannot be "
                      "judged." +
                      mtu);
  if (large.m_result == ProbeResult::Answered)
    return Result(G, Verdict::Passed, address + " answered a small echo and one that fills a 1,500-byte packet." + mtu);
  if (large.m_result == ProbeResult::Unreachable && large.m_nError == ECHO_PACKET_TOO_BIG)
    return Result(G, Verdict::Passed,
                  "A 1,500-byte packet to " + address +
                      " was answered with Packet Too Big: the path carries less and says so, so path MTU discovery "
                      "works." +
                      mtu);
  if (large.m_result == ProbeResult::TimedOut)
    return Result(G, Verdict::Problem,
                  address +
                      " answered a small echo, but the one that fills a 1,500-byte packet was lost: possibly "
                      "an MTU problem." +
                      mtu,
                  "A link on the way carries less than 1,500 bytes and its Packet Too Big messages do not come back "
                  "(a firewall that drops ICMPv6). Web pages then load only in part. To confirm, lower the "
                  "adapter's MTU on the Interface page (1280 always works) and run the diagnosis again.",
                  FixPage::Interface);
  return Result(G, Verdict::Warning,
                address + " answered a small echo, but the one that fills a 1,500-byte packet failed (error " +
                    std::to_string(large.m_nError) + ")." + mtu,
                "Run the diagnosis again. If the full echo keeps failing, lower the adapter's MTU on the Interface "
                "page to see whether large packets are the trouble.",
                FixPage::Interface);
}

CCheckResult CheckPreference(const CDiagnosisReadings& r) {
  constexpr DiagnosisCheck H = DiagnosisCheck::Preference;
  std::string warnings;
  std::string actions;
  FixPage fix = FixPage::None;
  std::string passed;
  if (r.m_system.m_bPoliciesKnown) {
    const CPrefixPolicy* pMapped = nullptr;
    const CPrefixPolicy* pDefault = nullptr;
    for (const CPrefixPolicy& policy : r.m_system.m_policies) {
      const std::size_t slash = policy.m_strPrefix.find('/');
      const std::string address = policy.m_strPrefix.substr(0, slash);
      const std::string length = slash == std::string::npos ? "" : policy.m_strPrefix.substr(slash + 1);
      if (length == "96" && IsSameAddress(address, "::ffff:0:0")) pMapped = &policy;
      if (length == "0" && IsUnspecifiedText(address)) pDefault = &policy;
    }
    const auto precedence = [](const CPrefixPolicy* p) { return p != nullptr ? p->m_nPrecedence : 0u; };
    if (pMapped != nullptr && precedence(pMapped) > precedence(pDefault)) {
      warnings = "The prefix policies prefer IPv4: ::ffff:0:0/96 has precedence " +
                 std::to_string(pMapped->m_nPrecedence) + ", above ::/0 with " + std::to_string(precedence(pDefault)) +
                 ". Programs use IPv4 wherever a name has both.";
      actions = "Give IPv6 its default preference on the System page (Address preference: Prefer IPv6).";
      fix = FixPage::System;
    } else {
      passed = "The prefix policies prefer IPv6.";
    }
  } else {
    passed = "The prefix policy table could not be read.";
  }
  const CTrafficTunnel tunnel = TrafficTunnel(r);
  if (tunnel.m_kind != TunnelKind::None) {
    warnings += std::string(warnings.empty() ? "" : " ") + "Traffic beyond the link would leave through " +
                TunnelName(tunnel.m_kind) + " on " + tunnel.m_strAdapter + ".";
    actions += std::string(actions.empty() ? "" : " ") +
               "Tunnels are slower and less reliable than native IPv6; turn the tunnel off on the System page once "
               "native IPv6 is there.";
    fix = FixPage::System;
  } else if (r.m_bRoutesRead) {
    passed += " No traffic leaves through Teredo or 6to4.";
  }
  if (!warnings.empty()) return Result(H, Verdict::Warning, warnings, actions, fix);
  return Result(H, r.m_system.m_bPoliciesKnown && r.m_bRoutesRead ? Verdict::Passed : Verdict::NotChecked, passed);
}

TunnelKind TunnelOfAddress(const std::string& address) {
  switch (ClassOf(address)) {
    case AddressClass::Teredo:
      return TunnelKind::Teredo;
    case AddressClass::SixToFour:
      return TunnelKind::SixToFour;
    default:
      return TunnelKind::None;
  }
}

}  // namespace vantoric
