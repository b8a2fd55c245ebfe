// The diagnosis of one adapter: why IPv6 does or does not work there. The
// readings that the program already takes (the adapter's record, its
// routes and neighbors, its interface settings, the system-wide settings)
// and the outcomes of the probes (diagnosis_probes.h) go in; a verdict per
// check, in the order a helpdesk works through them, and one conclusion
// come out. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/adapter_records.h"
#include "core/diagnosis_probes.h"
#include "core/interface_settings.h"
#include "core/neighbors.h"
#include "core/route_records.h"
#include "core/system_settings.h"

namespace vantoric {

// The adapter type of the loopback adapter (IANA ifType softwareLoopback).
constexpr std::uint32_t ADAPTER_TYPE_LOOPBACK = 24;
// IF_OPER_STATUS values that the rules name.
constexpr int OPER_STATUS_UP = 1;

enum class TunnelKind { None, Teredo, SixToFour };

// An adapter other than the diagnosed one that holds a default route.
struct CDefaultRouteAdapter {
  std::string m_strAdapter;
  TunnelKind m_tunnel = TunnelKind::None;  // from its global addresses
};

// What the diagnosis reads of the machine before it probes anything.
struct CDiagnosisReadings {
  CAdapterRecord m_adapter;
  bool m_bRoutesRead = false;
  std::vector<CRouteData> m_routes;  // the adapter's own
  bool m_bNeighborsRead = false;
  std::vector<CNeighborData> m_neighbors;  // the adapter's own
  bool m_bSettingsRead = false;
  CInterfaceSettings m_settings;
  CSystemState m_system;
  std::vector<CDefaultRouteAdapter> m_otherDefaults;
  // The adapter as `vantoric /list` writes it (JSON), for the report.
  std::string m_strListing;
};

// The checks, in the order a helpdesk follows them.
enum class DiagnosisCheck {
  Adapter,
  LinkLocal,
  Router,
  GlobalAddress,
  NameResolution,
  Reachability,
  PathMtu,
  Preference
};
constexpr std::size_t DIAGNOSIS_CHECK_COUNT = 8;

enum class Verdict { Passed, Problem, Warning, NotChecked };

// The page of Advanced Settings that does what a check advises.
enum class FixPage { None, Dns, Routes, System, Interface };

struct CCheckResult {
  DiagnosisCheck m_check = DiagnosisCheck::Adapter;
  Verdict m_verdict = Verdict::NotChecked;
  std::string m_strEvidence;  // what was read or seen; for Not checked, why
  std::string m_strAction;    // what to do; empty when nothing is to be done
  FixPage m_fix = FixPage::None;
};

enum class ConclusionKind {
  Cancelled,
  NotConnected,
  NotBound,
  LoopbackWorks,
  LoopbackBroken,
  NoLinkLocal,
  Works,
  WorksThroughTeredo,
  WorksThroughSixToFour,
  MtuProblem,
  Ipv4Only,
  LocalOnly,
  NoGlobalAddress,
  DnsNoAddress,
  DnsNoName,
  DnsNoAnswer,
  RouterSilent,
  RouterAnswersTargetNot,
  TargetUnreachable,
  Undecided,
};

struct CDiagnosis {
  std::vector<CCheckResult> m_checks;  // DIAGNOSIS_CHECK_COUNT, in check order
  ConclusionKind m_conclusion = ConclusionKind::Undecided;
  std::string m_strConclusion;  // the conclusion line
  // Whether IPv6 works (the exit code 0 of /diagnose).
  bool Works() const;
  const CCheckResult& Check(DiagnosisCheck check) const { return m_checks[static_cast<std::size_t>(check)]; }
};

// "a. Adapter and IPv6", ...: the check's letter and name.
std::string DiagnosisCheckName(DiagnosisCheck check);
// "Passed", "Problem", "Warning", "Not checked".
std::string VerdictText(Verdict verdict);
// "DNS", "Routes", "System", "Interface": the tab the page opens; empty for None.
std::string FixPageTitle(FixPage page);

// Teredo (2001::/32) or 6to4 (2002::/16) for such an address text.
TunnelKind TunnelOfAddress(const std::string& address);

// What the probes need of the reading: the next hop of the adapter's
// default route with the lowest metric when the neighbor cache does not
// already hold it as Reachable or Permanent (an on-link route has none),
// the zone, and the IPv6 DNS servers.
CProbeNeeds ProbeNeedsOf(const CDiagnosisReadings& readings);

// The verdicts and the conclusion.
CDiagnosis Diagnose(const CDiagnosisReadings& readings, const CDiagnosisTarget& target, const CProbeOutcomes& outcomes);

// The adapter /diagnose looks at when none is named: among `records`, the
// first that holds a default route (their routes in `routes`, by record)
// and is not the loopback adapter, else the first that is up and not the
// loopback adapter, else the first. -1 for none.
int ChooseDiagnosedAdapter(const std::vector<const CAdapterRecord*>& records,
                           const std::vector<std::vector<CRouteData>>& routes);

// The adapters besides `self` that hold a default route, with their tunnel
// kind; `routes` holds each record's routes.
std::vector<CDefaultRouteAdapter> OtherDefaultRouteAdapters(const std::vector<const CAdapterRecord*>& records,
                                                            const std::vector<std::vector<CRouteData>>& routes,
                                                            std::size_t self);

}  // namespace vantoric
