// The diagnosis's rules: each check's verdict over readings and probe
// outcomes, the conclusion line and the exit code, the probes it plans
// (only to the router, the DNS servers and the target), the runner with a
// stand-in probe set (bounds, the lookup before the target, cancel), the
// /diagnose command line, the adapter it chooses and the report.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/diagnosis.h"
#include "core/diagnosis_probes.h"
#include "core/diagnosis_report.h"
#include "tests/native/diagnosis_probe_stand_in.h"

namespace vantoric {
namespace {

constexpr std::uint64_t ETH = 7;
const std::string kTarget = "2001:db8:ffff::80";

CAddressRecord Address(std::string text, std::string kind, std::string state) {
  CAddressRecord address;
  address.m_strAddress = std::move(text);
  address.m_strKind = std::move(kind);
  address.m_strState = std::move(state);
  return address;
}

CProbeOutcome Outcome(ProbeResult result, std::uint32_t ms = 3, std::uint32_t error = 0) {
  CProbeOutcome outcome;
  outcome.m_result = result;
  outcome.m_nMs = ms;
  outcome.m_nError = error;
  return outcome;
}

CRouteData DefaultRoute(std::string nextHop, std::uint32_t metric = 256,
                        int origin = ROUTE_ORIGIN_ROUTER_ADVERTISEMENT) {
  return {ETH, "::", 0, std::move(nextHop), metric, 1800, 1800, origin};
}

// A healthy adapter on a native IPv6 network, as Windows' documented
// defaults have it: the prefix-policy table of RFC 6724 / Windows
// (::/0 precedence 40, ::ffff:0:0/96 precedence 35).
CDiagnosisReadings Healthy() {
  CDiagnosisReadings r;
  r.m_adapter.m_strFriendlyName = "Ethernet";
  r.m_adapter.m_nIfType = 6;
  r.m_adapter.m_nLuid = ETH;
  r.m_adapter.m_link = {1, true, 4, 1};
  r.m_adapter.m_addresses = {Address("2001:db8:1::5", "Public", "Preferred"),
                             Address("2001:db8:1::abcd", "Temporary", "Preferred"),
                             Address("fe80::20c:29ff:feab:cdef%4", "Link-Local", "Preferred")};
  r.m_adapter.m_dnsServers = {"2001:db8:1::53"};
  r.m_bRoutesRead = true;
  r.m_routes = {DefaultRoute("fe80::1"),
                {ETH, "2001:db8:1::", 64, "::", 256, 86400, 14400, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT}};
  r.m_bNeighborsRead = true;
  r.m_neighbors = {{ETH, "fe80::1", {0, 0x0c, 0x29, 1, 2, 3}, NEIGHBOR_STATE_STALE, true}};
  r.m_bSettingsRead = true;
  r.m_settings.m_nMtu = 1500;
  r.m_system.m_bPoliciesKnown = true;
  r.m_system.m_policies = {{"::1/128", 50, 0}, {"::/0", 40, 1}, {"::ffff:0:0/96", 35, 4}, {"2002::/16", 30, 2}};
  r.m_system.m_states[static_cast<int>(SystemSetting::TemporaryAddresses)] = SettingState::Enabled;
  return r;
}

// Every probe answered.
CProbeOutcomes Answered() {
  CProbeOutcomes o;
  o.m_router = Outcome(ProbeResult::Answered, 1);
  o.m_dnsServers = {Outcome(ProbeResult::Answered, 2)};
  o.m_resolve = Outcome(ProbeResult::Answered, 12);
  o.m_resolve.m_addresses = {kTarget};
  o.m_connect = Outcome(ProbeResult::Answered, 20);
  o.m_smallEcho = Outcome(ProbeResult::Answered, 19);
  o.m_largeEcho = Outcome(ProbeResult::Answered, 21);
  o.m_strTargetAddress = kTarget;
  return o;
}

// One row of a check's table: what differs from the healthy machine, and
// what the check must say.
struct CheckRow {
  const char* reason;
  std::function<void(CDiagnosisReadings&, CProbeOutcomes&, CDiagnosisTarget&)> change;
  Verdict verdict;
  const char* evidence;  // a part the evidence holds
  FixPage fix = FixPage::None;
};

void ExpectCheck(DiagnosisCheck check, const std::vector<CheckRow>& rows) {
  for (const CheckRow& row : rows) {
    CDiagnosisReadings readings = Healthy();
    CProbeOutcomes outcomes = Answered();
    CDiagnosisTarget target{"ipv6.example.net"};
    if (row.change) row.change(readings, outcomes, target);
    const CCheckResult result = Diagnose(readings, target, outcomes).Check(check);
    EXPECT_EQ(result.m_check, check) << row.reason;
    EXPECT_EQ(VerdictText(result.m_verdict), VerdictText(row.verdict)) << row.reason << ": " << result.m_strEvidence;
    EXPECT_NE(result.m_strEvidence.find(row.evidence), std::string::npos)
        << row.reason << ": the evidence \"" << result.m_strEvidence << "\" lacks \"" << row.evidence << "\"";
    EXPECT_EQ(FixPageTitle(result.m_fix), FixPageTitle(row.fix)) << row.reason;
    EXPECT_EQ(result.m_strAction.empty(), row.verdict == Verdict::Passed || row.verdict == Verdict::NotChecked)
        << row.reason << ": a problem or warning says what to do, a pass or a skip does not";
  }
}

using R = CDiagnosisReadings;
using O = CProbeOutcomes;
using T = CDiagnosisTarget;

TEST(DiagnosisCheck, AdapterIsUpAndIPv6IsBound) {
  ExpectCheck(
      DiagnosisCheck::Adapter,
      {{"up and bound", nullptr, Verdict::Passed, "Ethernet is up and IPv6 is bound to it."},
       {"the cable is out", [](R& r, O&, T&) { r.m_adapter.m_link.m_nOperStatus = 7; }, Verdict::Problem,
        "Ethernet is not connected"},
       {"disabled", [](R& r, O&, T&) { r.m_adapter.m_link.m_nOperStatus = 2; }, Verdict::Problem, "Ethernet is down."},
       {"a state beyond the documented ones", [](R& r, O&, T&) { r.m_adapter.m_link.m_nOperStatus = 9; },
        Verdict::Problem, "in state 9"},
       {"IPv6 unbound", [](R& r, O&, T&) { r.m_adapter.m_link.m_bIpv6Enabled = false; }, Verdict::Problem,
        "IPv6 is not bound to Ethernet"},
       {"down and unbound: the link comes first",
        [](R& r, O&, T&) {
          r.m_adapter.m_link = {2, false, 4, 0};
        },
        Verdict::Problem, "is down"},
       {"the state not told", [](R& r, O&, T&) { r.m_adapter.m_link.m_nOperStatus = 0; }, Verdict::NotChecked,
        "did not tell whether Ethernet is up"}});
}

TEST(DiagnosisCheck, LinkLocalAddressIsPreferred) {
  const auto state = [](const char* s) { return [s](R& r, O&, T&) { r.m_adapter.m_addresses[2].m_strState = s; }; };
  ExpectCheck(DiagnosisCheck::LinkLocal,
              {{"preferred", nullptr, Verdict::Passed, "fe80::20c:29ff:feab:cdef%4 is Preferred."},
               {"duplicate", state("Duplicate"), Verdict::Problem, "is Duplicate: another device"},
               {"still tentative", state("Tentative"), Verdict::Problem, "still Tentative"},
               {"deprecated", state("Deprecated"), Verdict::Problem, "is Deprecated, not Preferred"},
               {"none", [](R& r, O&, T&) { r.m_adapter.m_addresses.pop_back(); }, Verdict::Problem,
                "Ethernet has no link-local address"},
               {"a duplicate one beside a preferred one: the preferred one counts",
                [](R& r, O&, T&) {
                  r.m_adapter.m_addresses.insert(r.m_adapter.m_addresses.begin(),
                                                 Address("fe80::99%4", "Link-Local", "Duplicate"));
                },
                Verdict::Passed, "fe80::20c:29ff:feab:cdef%4 is Preferred"},
               {"the loopback adapter", [](R& r, O&, T&) { r.m_adapter.m_nIfType = 24; }, Verdict::NotChecked,
                "loopback adapter has no link"}});
}

TEST(DiagnosisCheck, RouterIsKnownAndAnswers) {
  const auto router = [](ProbeResult result, std::uint32_t error = 0) {
    return [result, error](R&, O& o, T&) { o.m_router = Outcome(result, 1, error); };
  };
  const auto cache = [](int state, ProbeResult result) {
    return [state, result](R& r, O& o, T&) {
      r.m_neighbors[0].m_nState = state;
      o.m_router = Outcome(result);
    };
  };
  ExpectCheck(DiagnosisCheck::Router,
              {{"answers an echo", nullptr, Verdict::Passed,
                "::/0 via fe80::1 (router advertisement, metric 256); it answered an echo in 1 ms."},
               {"reachable in the cache: no echo needed", cache(NEIGHBOR_STATE_REACHABLE, ProbeResult::NotRun),
                Verdict::Passed, "the neighbor cache holds it as Reachable."},
               {"a manual route", [](R& r, O&, T&) { r.m_routes[0].m_nOrigin = ROUTE_ORIGIN_MANUAL; }, Verdict::Passed,
                "(manual, metric 256)"},
               {"the lowest metric counts", [](R& r, O&, T&) { r.m_routes.push_back(DefaultRoute("fe80::2", 16)); },
                Verdict::Passed, "via fe80::2"},
               {"echo lost", router(ProbeResult::TimedOut), Verdict::Problem,
                "did not answer an echo within 2 s, and the neighbor cache holds it as Stale."},
               {"echo unreachable", router(ProbeResult::Unreachable, 11003), Verdict::Problem,
                "cannot be reached (error 11003)"},
               {"no echo here, stale in the cache", router(ProbeResult::NotSupported), Verdict::Passed,
                "holds it as Stale (answered before; ICMPv6 echo is not available"},
               {"no echo here, incomplete in the cache", cache(NEIGHBOR_STATE_INCOMPLETE, ProbeResult::NotSupported),
                Verdict::Problem, "does not answer on the link"},
               {"no echo here, not in the cache",
                [](R& r, O& o, T&) {
                  r.m_neighbors.clear();
                  o.m_router = Outcome(ProbeResult::Failed, 1, 1231);
                },
                Verdict::NotChecked, "the echo failed with error 1231, and the neighbor cache does not hold it"},
               {"no default route", [](R& r, O&, T&) { r.m_routes.erase(r.m_routes.begin()); }, Verdict::Problem,
                "Ethernet has no default route (::/0)", FixPage::Routes},
               {"a default route on-link (a tunnel)", [](R& r, O&, T&) { r.m_routes[0].m_strNextHop = "::"; },
                Verdict::Passed, "::/0 on-link"},
               {"the route table unread", [](R& r, O&, T&) { r.m_bRoutesRead = false; }, Verdict::NotChecked,
                "route table could not be read"},
               {"cancelled", router(ProbeResult::Cancelled), Verdict::NotChecked, "cancelled"},
               {"the loopback adapter", [](R& r, O&, T&) { r.m_adapter.m_nIfType = 24; }, Verdict::NotChecked,
                "it has no router"}});
}

TEST(DiagnosisCheck, GlobalAddressIsPreferred) {
  const auto only = [](std::vector<CAddressRecord> addresses) {
    return [addresses](R& r, O&, T&) { r.m_adapter.m_addresses = addresses; };
  };
  const CAddressRecord ll = Address("fe80::1%4", "Link-Local", "Preferred");
  ExpectCheck(
      DiagnosisCheck::GlobalAddress,
      {{"preferred, with a temporary one", nullptr, Verdict::Passed,
        "2001:db8:1::5 is Preferred. It has 1 temporary address."},
       {"deprecated", only({Address("2001:db8:1::5", "Public", "Deprecated"), ll}), Verdict::Problem,
        "2001:db8:1::5 is Deprecated: its preferred lifetime has run out."},
       {"duplicate", only({Address("2001:db8:1::5", "Manual", "Duplicate"), ll}), Verdict::Problem,
        "is Duplicate, not Preferred"},
       {"a deprecated one beside a preferred one",
        only({Address("2001:db8:1::6", "Public", "Deprecated"), Address("2001:db8:1::5", "Public", "Preferred"), ll}),
        Verdict::Passed, "2001:db8:1::5 is Preferred"},
       {"only Teredo", only({Address("2001:0:4136:e378:8000:63bf:3fff:fdd2", "Public", "Preferred"), ll}),
        Verdict::Warning, "is a Teredo address", FixPage::System},
       {"only 6to4", only({Address("2002:c000:204::1", "Public", "Preferred"), ll}), Verdict::Warning,
        "is a 6to4 address", FixPage::System},
       {"only a unique local address", only({Address("fd12:3456::5", "Public", "Preferred"), ll}), Verdict::Warning,
        "unique local address (fc00::/7)"},
       {"the lowest unique local prefix", only({Address("fc00::5", "Manual", "Preferred"), ll}), Verdict::Warning,
        "unique local address"},
       {"a site-local address is no global one", only({Address("fec0::5", "Site-Local", "Preferred"), ll}),
        Verdict::Problem, "Ethernet has no usable global IPv6 address."},
       {"a global address whose second byte a link-local one could have (fe80::/10 needs fe first)",
        only({Address("2a80:db8::5", "Public", "Preferred"), ll}), Verdict::Passed, "2a80:db8::5 is Preferred"},
       {"none, temporary addresses disabled",
        [](R& r, O&, T&) {
          r.m_adapter.m_addresses = {Address("fe80::1%4", "Link-Local", "Preferred")};
          r.m_system.m_states[static_cast<int>(SystemSetting::TemporaryAddresses)] = SettingState::Disabled;
        },
        Verdict::Problem, "no usable global IPv6 address. Temporary addresses are disabled."},
       {"no temporary one while they are enabled", only({Address("2001:db8:1::5", "Public", "Preferred"), ll}),
        Verdict::Passed, "Temporary addresses are enabled, but it has none yet."},
       {"the loopback adapter", [](R& r, O&, T&) { r.m_adapter.m_nIfType = 24; }, Verdict::NotChecked, "only ::1"}});
}

TEST(DiagnosisCheck, NameResolution) {
  const auto resolve = [](ProbeResult result, std::uint32_t error = 0) {
    return [result, error](R&, O& o, T&) { o.m_resolve = Outcome(result, 5, error); };
  };
  ExpectCheck(
      DiagnosisCheck::NameResolution,
      {{"resolved, the server answers", nullptr, Verdict::Passed,
        "ipv6.example.net has the IPv6 address 2001:db8:ffff::80. 2001:db8:1::53 answered an echo in 2 ms."},
       {"several addresses", [](R&, O& o, T&) { o.m_resolve.m_addresses.push_back("2001:db8:ffff::81"); },
        Verdict::Passed, "2001:db8:ffff::80 and 1 more"},
       {"no IPv6 server, resolved through the IPv4 ones",
        [](R& r, O& o, T&) {
          r.m_adapter.m_dnsServers.clear();
          o.m_dnsServers.clear();
        },
        Verdict::Passed, "resolved through the IPv4 DNS servers."},
       {"resolved, a server silent", [](R&, O& o, T&) { o.m_dnsServers[0] = Outcome(ProbeResult::TimedOut); },
        Verdict::Warning, "2001:db8:1::53 did not answer an echo within 2 s.", FixPage::Dns},
       {"no AAAA record", resolve(ProbeResult::NoRecord, DNS_NO_RECORDS), Verdict::Problem,
        "DNS gives no IPv6 address (AAAA record) for ipv6.example.net.", FixPage::Dns},
       {"the name does not exist", resolve(ProbeResult::NoRecord, DNS_NAME_DOES_NOT_EXIST), Verdict::Problem,
        "ipv6.example.net does not exist in DNS."},
       {"no server answered", resolve(ProbeResult::TimedOut), Verdict::Problem,
        "No DNS server answered for ipv6.example.net within 2 s.", FixPage::Dns},
       {"a lookup error", resolve(ProbeResult::Failed, 1460), Verdict::Problem, "could not be resolved: error 1460",
        FixPage::Dns},
       {"no lookup function", resolve(ProbeResult::NotSupported), Verdict::NotChecked, "lacks the lookup function"},
       {"the target is an address, the server answers",
        [](R&, O& o, T& t) {
          t.m_strHost = kTarget;
          o.m_resolve = {};
        },
        Verdict::Passed, "The target is an address, so nothing was resolved. 2001:db8:1::53 answered"},
       {"the target is an address, the server silent",
        [](R&, O& o, T& t) {
          t.m_strHost = kTarget;
          o.m_dnsServers[0] = Outcome(ProbeResult::TimedOut);
        },
        Verdict::Warning, "did not answer", FixPage::Dns},
       {"the target is an address and there is no server",
        [](R& r, O& o, T& t) {
          t.m_strHost = kTarget;
          r.m_adapter.m_dnsServers.clear();
          o.m_dnsServers.clear();
        },
        Verdict::NotChecked, "has no IPv6 DNS server to try"},
       {"cancelled during the lookup", resolve(ProbeResult::Cancelled), Verdict::NotChecked, "cancelled"}});
}

TEST(DiagnosisCheck, TargetIsReachableOnPort80) {
  const auto connect = [](ProbeResult result, std::uint32_t error = 0) {
    return [result, error](R&, O& o, T&) { o.m_connect = Outcome(result, 20, error); };
  };
  ExpectCheck(
      DiagnosisCheck::Reachability,
      {{"connected", nullptr, Verdict::Passed, "Connected to [2001:db8:ffff::80]:80 in 20 ms."},
       {"refused: the target answered", connect(ProbeResult::Refused), Verdict::Passed,
        "refused the connection: the target answered"},
       {"lost", connect(ProbeResult::TimedOut), Verdict::Problem, "No answer from [2001:db8:ffff::80]:80 within 2 s."},
       {"no route", connect(ProbeResult::Unreachable, 10051), Verdict::Problem, "reports error 10051"},
       {"a local failure", connect(ProbeResult::Failed, 10047), Verdict::Problem, "could not be tried: error 10047"},
       {"the address not known",
        [](R&, O& o, T&) {
          o.m_strTargetAddress.clear();
          o.m_connect = {};
        },
        Verdict::NotChecked, "The IPv6 address of ipv6.example.net is not known"},
       {"cancelled", connect(ProbeResult::Cancelled), Verdict::NotChecked, "cancelled"}});
}

TEST(DiagnosisCheck, PathMtuFromASmallAndAFullEcho) {
  const auto echoes = [](ProbeResult small, ProbeResult large, std::uint32_t error = 0) {
    return [small, large, error](R&, O& o, T&) {
      o.m_smallEcho = Outcome(small);
      o.m_largeEcho = Outcome(large, 3, error);
    };
  };
  ExpectCheck(
      DiagnosisCheck::PathMtu,
      {{"both answered", nullptr, Verdict::Passed,
        "answered a small echo and one that fills a 1,500-byte packet. The adapter's link MTU is 1500 bytes."},
       {"the large one lost", echoes(ProbeResult::Answered, ProbeResult::TimedOut), Verdict::Problem,
        "possibly an MTU problem", FixPage::Interface},
       {"the large one told Packet Too Big", echoes(ProbeResult::Answered, ProbeResult::Unreachable, 11009),
        Verdict::Passed, "path MTU discovery works"},
       {"the large one failed otherwise", echoes(ProbeResult::Answered, ProbeResult::Unreachable, 11003),
        Verdict::Warning, "failed (error 11003)", FixPage::Interface},
       {"neither answered", echoes(ProbeResult::TimedOut, ProbeResult::TimedOut), Verdict::NotChecked,
        "does not answer a small echo"},
       {"no echo on this system", echoes(ProbeResult::NotSupported, ProbeResult::NotSupported), Verdict::NotChecked,
        "ICMPv6 echo is not available"},
       {"the settings unread", [](R& r, O&, T&) { r.m_bSettingsRead = false; }, Verdict::Passed, "1,500-byte packet."},
       {"the address not known", [](R&, O& o, T&) { o.m_strTargetAddress.clear(); }, Verdict::NotChecked,
        "is not known"}});
}

TEST(DiagnosisCheck, PreferenceAndTunnels) {
  ExpectCheck(DiagnosisCheck::Preference,
              {{"the default table, native", nullptr, Verdict::Passed,
                "The prefix policies prefer IPv6. No traffic leaves through Teredo or 6to4."},
               {"IPv4 preferred", [](R& r, O&, T&) { r.m_system.m_policies[2].m_nPrecedence = 45; }, Verdict::Warning,
                "::ffff:0:0/96 has precedence 45, above ::/0 with 40", FixPage::System},
               {"the mapped prefix written otherwise",
                [](R& r, O&, T&) {
                  r.m_system.m_policies[2] = {"::FFFF:0.0.0.0/96", 45, 4};
                },
                Verdict::Warning, "precedence 45", FixPage::System},
               {"equal precedence is no preference", [](R& r, O&, T&) { r.m_system.m_policies[2].m_nPrecedence = 40; },
                Verdict::Passed, "prefer IPv6"},
               {"traffic through another adapter's Teredo",
                [](R& r, O&, T&) {
                  r.m_routes.erase(r.m_routes.begin());
                  r.m_otherDefaults = {{"Teredo Tunneling Pseudo-Interface", TunnelKind::Teredo}};
                },
                Verdict::Warning, "would leave through Teredo on Teredo Tunneling Pseudo-Interface", FixPage::System},
               {"another adapter's tunnel while this one has its own route",
                [](R& r, O&, T&) {
                  r.m_otherDefaults = {{"6TO4 Adapter", TunnelKind::SixToFour}};
                },
                Verdict::Passed, "No traffic leaves"},
               {"this adapter is 6to4",
                [](R& r, O&, T&) { r.m_adapter.m_addresses = {Address("2002:c000:204::1", "Public", "Preferred")}; },
                Verdict::Warning, "through 6to4 on Ethernet", FixPage::System},
               {"the table unread", [](R& r, O&, T&) { r.m_system.m_bPoliciesKnown = false; }, Verdict::NotChecked,
                "The prefix policy table could not be read. No traffic leaves"}});
}

TEST(DiagnosisConclusion, OneLineAndTheExitCode) {
  const struct {
    const char* reason;
    std::function<void(R&, O&, T&)> change;
    const char* line;
    int exitCode;
  } cases[] = {
      {"everything answers", nullptr, "IPv6 works (native).", 0},
      {"the target refuses port 80 but answers", [](R&, O& o, T&) { o.m_connect = Outcome(ProbeResult::Refused); },
       "IPv6 works (native).", 0},
      {"through Teredo",
       [](R& r, O&, T&) {
         r.m_adapter.m_addresses = {Address("2001:0:4136:e378:8000:63bf:3fff:fdd2", "Public", "Preferred"),
                                    Address("fe80::1%4", "Link-Local", "Preferred")};
       },
       "IPv6 works, through Teredo.", 0},
      {"through another adapter's 6to4",
       [](R& r, O&, T&) {
         r.m_routes.clear();
         r.m_otherDefaults = {{"6TO4 Adapter", TunnelKind::SixToFour}};
       },
       "IPv6 works, through 6to4.", 0},
      {"the full echo lost", [](R&, O& o, T&) { o.m_largeEcho = Outcome(ProbeResult::TimedOut); },
       "Possible MTU problem.", 1},
      {"IPv4 preferred is a warning, not a problem", [](R& r, O&, T&) { r.m_system.m_policies[2].m_nPrecedence = 45; },
       "IPv6 works (native).", 0},
      {"no router and no global address",
       [](R& r, O& o, T&) {
         r.m_routes.clear();
         r.m_adapter.m_addresses = {Address("fe80::1%4", "Link-Local", "Preferred")};
         o.m_connect = Outcome(ProbeResult::Unreachable, 1, 10051);
       },
       "IPv4 only: no router advertises an IPv6 prefix on Ethernet.", 1},
      {"no link-local address comes before no router",
       [](R& r, O& o, T&) {
         r.m_routes.clear();
         r.m_adapter.m_addresses = {Address("fd00::5", "Public", "Preferred")};
         o.m_connect = Outcome(ProbeResult::Unreachable, 1, 10051);
       },
       "IPv6 is broken: Ethernet has no usable link-local address.", 1},
      {"no router, a unique local and a link-local address",
       [](R& r, O& o, T&) {
         r.m_routes.clear();
         r.m_adapter.m_addresses = {Address("fd00::5", "Public", "Preferred"),
                                    Address("fe80::1%4", "Link-Local", "Preferred")};
         o.m_connect = Outcome(ProbeResult::Unreachable, 1, 10051);
       },
       "IPv6 reaches the local network only: no router on Ethernet.", 1},
      {"the router silent",
       [](R&, O& o, T&) {
         o.m_router = Outcome(ProbeResult::TimedOut);
         o.m_connect = Outcome(ProbeResult::TimedOut);
       },
       "IPv6 is broken: the router does not answer.", 1},
      {"the router answers, the target not", [](R&, O& o, T&) { o.m_connect = Outcome(ProbeResult::TimedOut); },
       "IPv6 is broken: the router answers but the target cannot be reached.", 1},
      {"the router not known to answer, the target not",
       [](R& r, O& o, T&) {
         r.m_neighbors.clear();
         o.m_router = Outcome(ProbeResult::NotSupported);
         o.m_connect = Outcome(ProbeResult::TimedOut);
       },
       "IPv6 is broken: the target cannot be reached.", 1},
      {"a router but no global address",
       [](R& r, O& o, T&) {
         r.m_adapter.m_addresses = {Address("fe80::1%4", "Link-Local", "Preferred")};
         o.m_connect = Outcome(ProbeResult::Unreachable, 1, 10065);
       },
       "IPv6 is broken: the router gives Ethernet no global address.", 1},
      {"no AAAA record",
       [](R&, O& o, T&) {
         o.m_resolve = Outcome(ProbeResult::NoRecord, 5, DNS_NO_RECORDS);
         o.m_strTargetAddress.clear();
       },
       "DNS gives no IPv6 address for the target.", 1},
      {"the name does not exist",
       [](R&, O& o, T&) {
         o.m_resolve = Outcome(ProbeResult::NoRecord, 5, DNS_NAME_DOES_NOT_EXIST);
         o.m_strTargetAddress.clear();
       },
       "The target's name does not exist in DNS.", 1},
      {"DNS silent",
       [](R&, O& o, T&) {
         o.m_resolve = Outcome(ProbeResult::TimedOut);
         o.m_strTargetAddress.clear();
       },
       "DNS does not answer: the target's name could not be resolved.", 1},
      {"a duplicate link-local address", [](R& r, O&, T&) { r.m_adapter.m_addresses[2].m_strState = "Duplicate"; },
       "IPv6 is broken: Ethernet has no usable link-local address.", 1},
      {"disconnected", [](R& r, O&, T&) { r.m_adapter.m_link.m_nOperStatus = 7; },
       "No IPv6: Ethernet is not connected.", 1},
      {"unbound", [](R& r, O&, T&) { r.m_adapter.m_link.m_bIpv6Enabled = false; },
       "No IPv6: IPv6 is not bound to Ethernet.", 1},
      {"the loopback adapter, the target answers", [](R& r, O&, T&) { r.m_adapter.m_nIfType = 24; },
       "IPv6 works on the loopback adapter (this machine only).", 0},
      {"the loopback adapter, the target silent",
       [](R& r, O& o, T&) {
         r.m_adapter.m_nIfType = 24;
         o.m_connect = Outcome(ProbeResult::TimedOut);
       },
       "IPv6 is broken on the loopback adapter: the target cannot be reached.", 1},
      {"no connection function", [](R&, O& o, T&) { o.m_connect = Outcome(ProbeResult::NotSupported); },
       "Not decided: the target could not be tried.", 1},
      {"cancelled",
       [](R&, O& o, T&) {
         o.m_bCancelled = true;
         o.m_connect = Outcome(ProbeResult::Cancelled);
       },
       "The diagnosis was cancelled.", 1},
  };
  for (const auto& c : cases) {
    CDiagnosisReadings readings = Healthy();
    CProbeOutcomes outcomes = Answered();
    CDiagnosisTarget target{"ipv6.example.net"};
    if (c.change) c.change(readings, outcomes, target);
    const CDiagnosis diagnosis = Diagnose(readings, target, outcomes);
    EXPECT_EQ(diagnosis.m_strConclusion, c.line) << c.reason;
    EXPECT_EQ(DiagnosisExitCode(diagnosis), c.exitCode) << c.reason;
    EXPECT_EQ(diagnosis.m_checks.size(), DIAGNOSIS_CHECK_COUNT) << c.reason << ": every check, always";
  }
}

std::string Describe(const CProbeStep& step) {
  static const char* const kKinds[] = {"echo", "resolve", "connect"};
  static const char* const kPurposes[] = {"router", "dns", "resolve", "connect", "small", "large"};
  std::string text =
      std::string(kPurposes[static_cast<int>(step.m_purpose)]) + " " + kKinds[static_cast<int>(step.m_kind)] + " ";
  text += step.m_kind == ProbeKind::Resolve ? step.m_strName
                                            : step.m_to.m_strAddress + "%" + std::to_string(step.m_to.m_nScopeId);
  if (step.m_kind == ProbeKind::Echo) text += " " + std::to_string(step.m_nPayload);
  if (step.m_bAfterResolve) text += " after";
  return text;
}

TEST(PlanProbes, PacketsGoOnlyToTheRouterTheDnsServersAndTheTarget) {
  const struct {
    const char* reason;
    CProbeNeeds needs;
    const char* target;
    std::vector<std::string> steps;
  } cases[] = {
      {"a router, a server, a name",
       {"fe80::1", 4, {"2001:db8::53"}},
       "ipv6.example.net",
       {"router echo fe80::1%4 32", "dns echo 2001:db8::53%0 32", "resolve resolve ipv6.example.net",
        "connect connect %0 after", "small echo %0 32 after", "large echo %0 1452 after"}},
      {"an address is never resolved",
       {"", 0, {}},
       "2001:db8::80",
       {"connect connect 2001:db8::80%0", "small echo 2001:db8::80%0 32", "large echo 2001:db8::80%0 1452"}},
      {"the loopback address",
       {"", 1, {}},
       "::1",
       {"connect connect ::1%0", "small echo ::1%0 32", "large echo ::1%0 1452"}},
      {"a link-local server goes out through the adapter's zone",
       {"", 9, {"fe80::53", "fd00::53"}},
       "::1",
       {"dns echo fe80::53%9 32", "dns echo fd00::53%0 32", "connect connect ::1%0", "small echo ::1%0 32",
        "large echo ::1%0 1452"}},
      {"a target with its zone",
       {"", 9, {}},
       "fe80::80%12",
       {"connect connect fe80::80%12", "small echo fe80::80%12 32", "large echo fe80::80%12 1452"}},
      {"a global router",
       {"2001:db8::1", 4, {}},
       "::1",
       {"router echo 2001:db8::1%0 32", "connect connect ::1%0", "small echo ::1%0 32", "large echo ::1%0 1452"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> steps;
    for (const CProbeStep& step : PlanProbes(c.needs, CDiagnosisTarget{c.target})) steps.push_back(Describe(step));
    EXPECT_EQ(steps, c.steps) << c.reason;
  }
}

TEST(ProbeNeedsOf, TheRouterIsProbedOnlyWhenTheNeighborCacheHasNotConfirmedIt) {
  const struct {
    const char* reason;
    std::function<void(R&)> change;
    const char* router;
  } cases[] = {
      {"stale in the cache", nullptr, "fe80::1"},
      {"reachable in the cache", [](R& r) { r.m_neighbors[0].m_nState = NEIGHBOR_STATE_REACHABLE; }, ""},
      {"permanent in the cache", [](R& r) { r.m_neighbors[0].m_nState = NEIGHBOR_STATE_PERMANENT; }, ""},
      {"the cache unread",
       [](R& r) {
         r.m_neighbors[0].m_nState = NEIGHBOR_STATE_REACHABLE;
         r.m_bNeighborsRead = false;
       },
       "fe80::1"},
      {"no default route", [](R& r) { r.m_routes.erase(r.m_routes.begin()); }, ""},
      {"an on-link default route", [](R& r) { r.m_routes[0].m_strNextHop = "::"; }, ""},
      {"the routes unread", [](R& r) { r.m_bRoutesRead = false; }, ""},
      {"the lowest metric", [](R& r) { r.m_routes.push_back(DefaultRoute("fe80::2", 10)); }, "fe80::2"},
  };
  for (const auto& c : cases) {
    CDiagnosisReadings readings = Healthy();
    if (c.change) c.change(readings);
    const CProbeNeeds needs = ProbeNeedsOf(readings);
    EXPECT_EQ(needs.m_strRouter, c.router) << c.reason;
    EXPECT_EQ(needs.m_nZone, 4u) << c.reason;
    EXPECT_EQ(needs.m_dnsServers, std::vector<std::string>{"2001:db8:1::53"}) << c.reason;
  }
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
}

TEST(RunProbes, TheLookupFirstThenTheTargetsFirstAddress) {
  auto probes = std::make_shared<test::CStandInProbes>();
  probes->m_script = [](const std::string& what) {
    test::CStandInProbes::CScript script;
    script.outcome.m_result = ProbeResult::Answered;
    if (what == "resolve ipv6.example.net") script.outcome.m_addresses = {"2001:db8::80", "2001:db8::81"};
    if (what.rfind("connect", 0) == 0) script.outcome.m_result = ProbeResult::Refused;
    return script;
  };
  const std::vector<CProbeStep> plan =
      PlanProbes({"fe80::1", 4, {"2001:db8::53"}}, CDiagnosisTarget{"ipv6.example.net"});
  std::vector<std::size_t> progress;
  const CProbeOutcomes o = RunProbes(plan, probes, 500, nullptr, [&](std::size_t done, std::size_t planned) {
    EXPECT_EQ(planned, plan.size());
    progress.push_back(done);
  });
  EXPECT_EQ(Sorted(probes->Sent()),
            Sorted({"echo fe80::1 32", "echo 2001:db8::53 32", "resolve ipv6.example.net", "connect 2001:db8::80 80",
                    "echo 2001:db8::80 32", "echo 2001:db8::80 1452"}))
      << "the target probes went to the first address, and nowhere else";
  EXPECT_EQ(o.m_strTargetAddress, "2001:db8::80");
  EXPECT_EQ(o.m_connect.m_result, ProbeResult::Refused);
  EXPECT_EQ(o.m_largeEcho.m_result, ProbeResult::Answered);
  ASSERT_EQ(o.m_dnsServers.size(), 1u);
  EXPECT_EQ(o.m_dnsServers[0].m_result, ProbeResult::Answered);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), plan.size()) << "the last progress counts every probe";
  EXPECT_FALSE(o.m_bCancelled);
}

TEST(RunProbes, OutcomesOfTheSeam) {
  const struct {
    const char* reason;
    ProbeResult resolve;
    std::uint32_t resolveDelay;  // beyond the bound of 100 ms: never returns in time
    std::uint32_t echoDelay;
    std::vector<std::string> sent;
    ProbeResult connect;
    ProbeResult router;
    std::string targetAddress;
  } cases[] = {
      {"no AAAA record: nothing goes to the target",
       ProbeResult::NoRecord,
       0,
       0,
       {"echo fe80::1 32", "resolve ipv6.example.net"},
       ProbeResult::NotRun,
       ProbeResult::Answered,
       ""},
      {"a lookup that never returns counts as timed out",
       ProbeResult::Answered,
       5000,
       0,
       {"echo fe80::1 32", "resolve ipv6.example.net"},
       ProbeResult::NotRun,
       ProbeResult::Answered,
       ""},
      {"an echo that never returns counts as timed out",
       ProbeResult::Answered,
       0,
       5000,
       {"connect 2001:db8::80 80", "echo 2001:db8::80 1452", "echo 2001:db8::80 32", "echo fe80::1 32",
        "resolve ipv6.example.net"},
       ProbeResult::Answered,
       ProbeResult::TimedOut,
       "2001:db8::80"},
  };
  for (const auto& c : cases) {
    auto probes = std::make_shared<test::CStandInProbes>();
    probes->m_script = [&c](const std::string& what) {
      test::CStandInProbes::CScript script;
      script.outcome.m_result = ProbeResult::Answered;
      if (what.rfind("resolve", 0) == 0) {
        script.outcome.m_result = c.resolve;
        if (c.resolve == ProbeResult::Answered) script.outcome.m_addresses = {"2001:db8::80"};
        script.delayMs = c.resolveDelay;
      }
      if (what.rfind("echo", 0) == 0) script.delayMs = c.echoDelay;
      return script;
    };
    const CProbeOutcomes o =
        RunProbes(PlanProbes({"fe80::1", 4, {}}, CDiagnosisTarget{"ipv6.example.net"}), probes, 100, nullptr, nullptr);
    EXPECT_EQ(Sorted(probes->Sent()), Sorted(c.sent)) << c.reason;
    EXPECT_EQ(o.m_connect.m_result, c.connect) << c.reason;
    EXPECT_EQ(o.m_router.m_result, c.router) << c.reason;
    EXPECT_EQ(o.m_strTargetAddress, c.targetAddress) << c.reason;
  }
}

TEST(RunProbes, CancelEndsTheRunAndTellsTheProbes) {
  auto probes = std::make_shared<test::CStandInProbes>();
  probes->m_script = [](const std::string&) {
    return test::CStandInProbes::CScript{Outcome(ProbeResult::Answered), 60000};
  };
  std::atomic<bool> cancel{false};
  const auto started = std::chrono::steady_clock::now();
  const CProbeOutcomes o = RunProbes(
      PlanProbes({"fe80::1", 4, {}}, CDiagnosisTarget{"::1"}), probes, 60000, [&] { return cancel.load(); },
      [&](std::size_t, std::size_t) { cancel = true; });
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30))
      << "the run did not wait for the probes' bound";
  EXPECT_TRUE(o.m_bCancelled);
  EXPECT_EQ(o.m_router.m_result, ProbeResult::Cancelled);
  EXPECT_EQ(o.m_connect.m_result, ProbeResult::Cancelled);
  EXPECT_EQ(Diagnose(Healthy(), CDiagnosisTarget{"::1"}, o).m_strConclusion, "The diagnosis was cancelled.");
}

TEST(DiagnosisTarget, AnAddressAndItsZone) {
  const struct {
    const char* text;
    bool bAddress;
    const char* address;
    std::uint32_t zone;
  } cases[] = {
      {"ipv6.msftconnecttest.com", false, "", 0},
      {"::1", true, "::1", 0},
      {"fe80::1%4", true, "fe80::1", 4},
      {"fe80::1%eth0", true, "fe80::1", 0},
      {"2001:DB8::1", true, "2001:DB8::1", 0},
      {"::ffff:192.0.2.1", true, "::ffff:192.0.2.1", 0},
      {"192.0.2.1", false, "", 0},
  };
  for (const auto& c : cases) {
    const CDiagnosisTarget target{c.text};
    EXPECT_EQ(target.IsAddress(), c.bAddress) << c.text;
    EXPECT_EQ(target.Address().m_strAddress, c.address) << c.text;
    EXPECT_EQ(target.Address().m_nScopeId, c.zone) << c.text;
  }
}

TEST(ParseDiagnoseCommand, TheAdapterTheTargetAndJson) {
  // A host name is at most 253 characters written out.
  const std::string longest = std::string(249, 'a') + ".net";
  const std::string tooLong = "a" + longest;
  const std::string tooLongReason = "The target is neither a host name nor an IPv6 address: " + tooLong;
  const struct {
    std::vector<std::string> args;
    ProgramCommand command;
    const char* adapter;
    const char* target;
    bool bJson;
    const char* reason;
  } cases[] = {
      {{"/diagnose"}, ProgramCommand::Diagnose, "", "", false, ""},
      {{"/diagnose", "Ethernet 2"}, ProgramCommand::Diagnose, "Ethernet 2", "", false, ""},
      {{"-DIAGNOSE", "lo", "/Target", "::1", "/JSON"}, ProgramCommand::Diagnose, "lo", "::1", true, ""},
      {{"/diagnose", "/target", "example.net", "Wi-Fi"}, ProgramCommand::Diagnose, "Wi-Fi", "example.net", false, ""},
      {{"/diagnose", "a", "b"},
       ProgramCommand::BadDiagnose,
       "a",
       "",
       false,
       "More than one adapter after /diagnose: b"},
      {{"/diagnose", "/target"}, ProgramCommand::BadDiagnose, "", "", false, "No host after /target."},
      {{"/diagnose", "/target", "/json"}, ProgramCommand::BadDiagnose, "", "", false, "No host after /target."},
      {{"/diagnose", "/target", "a.example", "/target", "b.example"},
       ProgramCommand::BadDiagnose,
       "",
       "a.example",
       false,
       "More than one /target after /diagnose."},
      {{"/diagnose", "/target", "192.0.2.1"},
       ProgramCommand::BadDiagnose,
       "",
       "192.0.2.1",
       false,
       "The target is neither a host name nor an IPv6 address: 192.0.2.1"},
      {{"/diagnose", "/target", "bad host"},
       ProgramCommand::BadDiagnose,
       "",
       "bad host",
       false,
       "The target is neither a host name nor an IPv6 address: bad host"},
      {{"/diagnose", "/whatif"}, ProgramCommand::BadDiagnose, "", "", false, "Unknown switch after /diagnose: /whatif"},
      {{"/diagnose", "/target", "Zone-A.Example.NET"}, ProgramCommand::Diagnose, "", "Zone-A.Example.NET", false, ""},
      {{"/diagnose", "/target", longest}, ProgramCommand::Diagnose, "", longest.c_str(), false, ""},
      {{"/diagnose", "/target", tooLong}, ProgramCommand::BadDiagnose, "", tooLong.c_str(), false, tooLongReason.c_str()},
  };
  for (const auto& c : cases) {
    const CProgramCommand command = ParseProgramCommand(c.args);
    const std::string line = c.args.size() > 1 ? c.args[1] : c.args[0];
    EXPECT_EQ(command.m_command, c.command) << line;
    EXPECT_EQ(command.m_strAdapter, c.adapter) << line;
    EXPECT_EQ(command.m_strTarget, c.target) << line;
    EXPECT_EQ(command.m_bJson, c.bJson) << line;
    EXPECT_EQ(command.m_strReason, c.reason) << line;
  }
}

TEST(ChooseDiagnosedAdapter, TheAdapterWithTheDefaultRouteElseTheFirstUpOne) {
  const auto record = [](const char* name, std::uint32_t type, int oper) {
    CAdapterRecord r;
    r.m_strFriendlyName = name;
    r.m_nIfType = type;
    r.m_link.m_nOperStatus = oper;
    return r;
  };
  const CAdapterRecord lo = record("lo", 24, 1), down = record("Ethernet", 6, 2), wifi = record("Wi-Fi", 71, 1),
                       tunnel = record("Teredo", 131, 1);
  const std::vector<CRouteData> withDefault{DefaultRoute("fe80::1")}, none{};
  const struct {
    const char* reason;
    std::vector<const CAdapterRecord*> records;
    std::vector<std::vector<CRouteData>> routes;
    int chosen;
  } cases[] = {
      {"the one with the default route", {&down, &wifi, &tunnel}, {none, none, withDefault}, 2},
      {"the loopback adapter's default route does not count", {&lo, &wifi}, {withDefault, none}, 1},
      {"no default route: the first that is up", {&lo, &down, &wifi}, {none, none, none}, 2},
      {"nothing up: the first", {&down}, {none}, 0},
      {"routes not read", {&down, &wifi}, {}, 1},
      {"no adapters", {}, {}, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseDiagnosedAdapter(c.records, c.routes), c.chosen) << c.reason;

  CAdapterRecord teredo = tunnel;
  teredo.m_addresses = {Address("2001:0:4136:e378:8000:63bf:3fff:fdd2", "Public", "Preferred")};
  const std::vector<CDefaultRouteAdapter> others =
      OtherDefaultRouteAdapters({&wifi, &teredo, &down}, {withDefault, withDefault, none}, 0);
  ASSERT_EQ(others.size(), 1u) << "the adapter itself and those without a default route are left out";
  EXPECT_EQ(others[0].m_strAdapter, "Teredo");
  EXPECT_EQ(others[0].m_tunnel, TunnelKind::Teredo);
}

CDiagnosisReport Report() {
  CDiagnosisReadings readings = Healthy();
  CProbeOutcomes outcomes = Answered();
  outcomes.m_largeEcho = Outcome(ProbeResult::TimedOut);
  const CDiagnosisTarget target{"ipv6.example.net"};
  return {"Ethernet",
          target.m_strHost,
          kTarget,
          "2026-12-07T16:40:00Z",
          Diagnose(readings, target, outcomes),
          "{\n  \"format\": 1,\n  \"adapters\": []\n}\n"};
}

TEST(DiagnosisReport, TheTextForATicket) {
  const std::string text = FormatDiagnosisText(Report());
  const std::string expectedStart =
      "Vantoric IPv6 diagnosis\r\n"
      "Adapter: Ethernet\r\n"
      "Target: ipv6.example.net (2001:db8:ffff::80)\r\n"
      "Run at: 2026-12-07T16:40:00Z\r\n"
      "Conclusion: Possible MTU problem.\r\n"
      "\r\n"
      "a. Adapter and IPv6: Passed\r\n"
      "   Ethernet is up and IPv6 is bound to it.\r\n";
  EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
  EXPECT_NE(text.find("\r\ng. Path MTU: Problem\r\n   2001:db8:ffff::80 answered a small echo, but the one that "
                      "fills a 1,500-byte packet was lost"),
            std::string::npos);
  EXPECT_NE(text.find("   What to do: A link on the way carries less than 1,500 bytes"), std::string::npos);
  const std::string expectedEnd =
      "\r\nReading of the adapter (vantoric /list):\r\n{\r\n  \"format\": 1,\r\n  \"adapters\": []\r\n}\r\n";
  ASSERT_GE(text.size(), expectedEnd.size());
  EXPECT_EQ(text.substr(text.size() - expectedEnd.size()), expectedEnd);
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << "every line ends in CR LF";
}

TEST(DiagnosisReport, TheJsonForScripts) {
  const nlohmann::json json = nlohmann::json::parse(FormatDiagnosisJson(Report()));
  EXPECT_EQ(json["format"], 1);
  EXPECT_EQ(json["adapter"], "Ethernet");
  EXPECT_EQ(json["target"], "ipv6.example.net");
  EXPECT_EQ(json["target_address"], "2001:db8:ffff::80");
  EXPECT_EQ(json["run_at"], "2026-12-07T16:40:00Z");
  EXPECT_EQ(json["conclusion"], "Possible MTU problem.");
  EXPECT_EQ(json["works"], false);
  EXPECT_EQ(json["exit_code"], 1);
  ASSERT_EQ(json["checks"].size(), 8u);
  const std::vector<std::string> ids{"adapter",         "link_local",   "router",   "global_address",
                                     "name_resolution", "reachability", "path_mtu", "preference"};
  for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(json["checks"][i]["check"], ids[i]) << i;
  EXPECT_EQ(json["checks"][0]["verdict"], "passed");
  EXPECT_TRUE(json["checks"][0]["action"].is_null());
  EXPECT_TRUE(json["checks"][0]["page"].is_null());
  EXPECT_EQ(json["checks"][6]["verdict"], "problem");
  EXPECT_EQ(json["checks"][6]["name"], "g. Path MTU");
  EXPECT_EQ(json["checks"][6]["page"], "Interface");
  EXPECT_EQ(json["listing"]["format"], 1) << "the /list reading, as an object";

  CDiagnosisReport broken = Report();
  broken.m_strListing = "not json";
  broken.m_strTargetAddress.clear();
  const nlohmann::json partial = nlohmann::json::parse(FormatDiagnosisJson(broken));
  EXPECT_TRUE(partial["listing"].is_null());
  EXPECT_TRUE(partial["target_address"].is_null());
}

TEST(FillAdapterRecord, KeepsTheLinkStateAndCountsTheIpv4DnsServers) {
  const struct {
    const char* reason;
    std::vector<std::string> servers;
    std::vector<std::string> listed;
    std::size_t ipv4;
  } cases[] = {
      {"none", {}, {}, 0},
      {"IPv6 and IPv4 servers", {"2001:db8::53", "192.0.2.53", "10.0.0.1"}, {"2001:db8::53"}, 2},
      {"a scoped IPv6 server is neither listed nor IPv4", {"fec0:0:0:ffff::1%1", "192.0.2.53"}, {}, 1},
      {"a server whose text was not read", {""}, {}, 0},
  };
  for (const auto& c : cases) {
    CAdapterData adapter;
    adapter.m_strFriendlyName = "Ethernet";
    adapter.m_nIfType = 71;
    adapter.m_link = {7, true, 12, 0};
    adapter.m_dnsServers = c.servers;
    CAdapterRecord record;
    std::vector<std::string> names;
    FillAdapterRecord(record, adapter, names);
    EXPECT_EQ(record.m_dnsServers, c.listed) << c.reason;
    EXPECT_EQ(record.m_link.m_nIpv4DnsServers, c.ipv4) << c.reason;
    EXPECT_EQ(record.m_nIfType, 71u) << c.reason;
    EXPECT_EQ(record.m_link.m_nOperStatus, 7) << c.reason;
    EXPECT_TRUE(record.m_link.m_bIpv6Enabled) << c.reason;
    EXPECT_EQ(record.m_link.m_nZone, 12u) << c.reason;
  }
}

TEST(ChooseReportFile, TheKindFromTheExtensionElseFromTheFileType) {
  const struct {
    const char* path;
    int filter;
    const char* file;
    bool bJson;
  } cases[] = {
      {"C:\\Reports\\pc1", REPORT_FILTER_TEXT, "C:\\Reports\\pc1.txt", false},
      {"C:\\Reports\\pc1", REPORT_FILTER_JSON, "C:\\Reports\\pc1.json", true},
      {"C:\\Reports\\pc1.JSON", REPORT_FILTER_TEXT, "C:\\Reports\\pc1.JSON", true},
      {"C:\\Reports\\pc1.txt", REPORT_FILTER_JSON, "C:\\Reports\\pc1.txt", false},
      {"C:\\Reports\\pc1.log", REPORT_FILTER_TEXT, "C:\\Reports\\pc1.log.txt", false},
      {"C:\\Reports.json\\pc1", REPORT_FILTER_TEXT, "C:\\Reports.json\\pc1.txt", false},
  };
  for (const auto& c : cases) {
    const CReportFile file = ChooseReportFile(c.path, c.filter);
    EXPECT_EQ(file.m_strPath, c.file) << c.path << " " << c.filter;
    EXPECT_EQ(file.m_bJson, c.bJson) << c.path << " " << c.filter;
  }
}

TEST(FormatUtcTime, Iso8601InUtc) {
  const struct {
    std::time_t time;
    const char* text;
  } cases[] = {
      {0, "1970-01-01T00:00:00Z"},
      {951782400, "2000-02-29T00:00:00Z"},  // a leap day
      {1796687999, "2026-12-07T23:59:59Z"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatUtcTime(c.time), c.text) << c.time;
}

}  // namespace
}  // namespace vantoric
