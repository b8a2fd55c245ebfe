// The probes of the diagnosis and how they run: one seam (CDiagnosisProbes)
// behind which the system's echo, name lookup and connection sit, the plan
// of what is sent where, and the runner that sends it, every probe bounded
// and the independent ones at the same time. Portable; the system's probes
// are in diagnosis_probes_win32.h.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantoric {

// The longest any one probe may take. A probe is asked to end its own
// waiting this much before the bound, so that its answer is in when the
// runner stops waiting for it at the bound.
constexpr std::uint32_t PROBE_BOUND_MS = 2000;
constexpr std::uint32_t PROBE_GRACE_MS = 100;
// The echoes of the path check: a small one, and one that fills a
// 1,500-byte packet (40 bytes of IPv6 header and 8 of ICMPv6 header).
constexpr std::size_t SMALL_ECHO_BYTES = 32;
constexpr std::size_t FULL_PACKET_ECHO_BYTES = 1500 - 40 - 8;
// The port of the reachability check.
constexpr std::uint16_t REACHABILITY_PORT = 80;
// The host Windows itself tries to decide that a network has IPv6 Internet
// access; the target when none is given.
inline constexpr char DEFAULT_DIAGNOSIS_TARGET[] = "ipv6.msftconnecttest.com";

// The system's error codes that the rules tell apart, as the system defines
// them (System Error Codes 9000-11999; IP_STATUS of ICMPV6_ECHO_REPLY).
constexpr std::uint32_t DNS_NAME_DOES_NOT_EXIST = 9003;  // DNS_ERROR_RCODE_NAME_ERROR
constexpr std::uint32_t DNS_NO_RECORDS = 9501;           // DNS_INFO_NO_RECORDS
constexpr std::uint32_t ECHO_PACKET_TOO_BIG = 11009;     // IP_PACKET_TOO_BIG

// What a probe saw.
enum class ProbeResult {
  NotRun,        // not needed, or the diagnosis ended before it began
  Answered,      // an echo reply came; the connection was made; the name has AAAA records
  Refused,       // the target answered a connection with a reset
  TimedOut,      // nothing came back within the bound
  Unreachable,   // the stack or an ICMPv6 error said the destination cannot be reached (m_nError)
  NoRecord,      // the name has no AAAA record, or does not exist (m_nError tells which)
  NotSupported,  // this system lacks the function
  Failed,        // a local error (m_nError)
  Cancelled,
};

struct CProbeOutcome {
  ProbeResult m_result = ProbeResult::NotRun;
  std::uint32_t m_nError = 0;            // the system's code, where it gave one
  std::uint32_t m_nMs = 0;               // how long the probe took
  std::vector<std::string> m_addresses;  // a name lookup's IPv6 addresses, in the answer's order

  bool operator==(const CProbeOutcome&) const = default;
};

// Where a probe goes: a numeric IPv6 address and, for a scoped one, its
// zone (scope id).
struct CProbeAddress {
  std::string m_strAddress;
  std::uint32_t m_nScopeId = 0;

  bool operator==(const CProbeAddress&) const = default;
};

// How long a probe may take, and whether the diagnosis was ended; a probe
// that can stop early looks at Cancelled() while it waits.
struct CProbeBudget {
  std::uint32_t m_nBoundMs = PROBE_BOUND_MS;
  const std::atomic<bool>* m_pCancel = nullptr;
  bool Cancelled() const { return m_pCancel != nullptr && m_pCancel->load(); }
};

// The seam: the system's probes, or a test's stand-in. Each call sends
// only what it names and returns within the budget's bound (the runner
// stops waiting for one that does not). Called from several threads at once.
class CDiagnosisProbes {
 public:
  virtual ~CDiagnosisProbes() = default;
  // An ICMPv6 echo request with `payloadBytes` of data.
  virtual CProbeOutcome Echo(const CProbeAddress& to, std::size_t payloadBytes, const CProbeBudget& budget) = 0;
  // The AAAA records of a name.
  virtual CProbeOutcome ResolveAaaa(const std::string& name, const CProbeBudget& budget) = 0;
  // A TCP connection to the port, closed at once.
  virtual CProbeOutcome Connect(const CProbeAddress& to, std::uint16_t port, const CProbeBudget& budget) = 0;
};

enum class ProbeKind { Echo, Resolve, Connect };
// What a probe is for; each outcome goes to its place in CProbeOutcomes.
enum class ProbePurpose { Router, DnsServer, Resolve, Connect, SmallEcho, LargeEcho };

// One probe to send. A target probe of a target given by name has no
// address until the name is resolved (m_bAfterResolve).
struct CProbeStep {
  ProbeKind m_kind = ProbeKind::Echo;
  ProbePurpose m_purpose = ProbePurpose::Router;
  CProbeAddress m_to;
  std::string m_strName;       // Resolve: the name
  std::size_t m_nPayload = 0;  // Echo: the data's bytes
  std::size_t m_nServer = 0;   // DnsServer: the server's index
  bool m_bAfterResolve = false;

  bool operator==(const CProbeStep&) const = default;
};

// The target as given: a host name, or an IPv6 address (with an optional
// numeric zone), which is never resolved.
struct CDiagnosisTarget {
  std::string m_strHost = DEFAULT_DIAGNOSIS_TARGET;
  bool IsAddress() const;
  // The address of a target given as one; empty otherwise.
  CProbeAddress Address() const;
};

// What the plan needs of the reading: the router to try (empty when none
// or when the neighbor cache already holds it as reachable), its zone, and
// the adapter's IPv6 DNS servers with the zone for link-local ones.
struct CProbeNeeds {
  std::string m_strRouter;
  std::uint32_t m_nZone = 0;
  std::vector<std::string> m_dnsServers;
};

// The probes of one diagnosis, and nothing else: packets go to the router,
// the DNS servers and the target only. The router and each server get one
// small echo; a target given by name is resolved, and the target gets the
// connection and the two echoes (after the lookup, to its first address).
std::vector<CProbeStep> PlanProbes(const CProbeNeeds& needs, const CDiagnosisTarget& target);

// The outcomes, by purpose. m_strTargetAddress is the address the target
// probes went to (empty when there was none).
struct CProbeOutcomes {
  CProbeOutcome m_router;
  std::vector<CProbeOutcome> m_dnsServers;
  CProbeOutcome m_resolve;
  CProbeOutcome m_connect;
  CProbeOutcome m_smallEcho;
  CProbeOutcome m_largeEcho;
  std::string m_strTargetAddress;
  bool m_bCancelled = false;
};

// Progress of a run: probes done, probes planned so far.
using ProbeProgress = std::function<void(std::size_t done, std::size_t planned)>;

// Runs the plan: every probe on a thread of its own, all at once except
// the target probes of a name, which start when the lookup has answered.
// Each probe's budget is the bound less PROBE_GRACE_MS (less a quarter of
// a short bound); one that has not returned by the bound counts as timed
// out and is left to end by itself. isCancelled is asked at least
// every 25 ms; once it says so the run returns at once, the probes not
// finished counting as cancelled. The probes object is kept alive by the
// threads that use it.
CProbeOutcomes RunProbes(const std::vector<CProbeStep>& plan, std::shared_ptr<CDiagnosisProbes> probes,
                         std::uint32_t boundMs, const std::function<bool()>& isCancelled,
                         const ProbeProgress& progress);

}  // namespace vantoric
