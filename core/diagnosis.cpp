#include "core/diagnosis.h"

#include "core/diagnosis_checks.h"

namespace vantoric {

namespace {

ConclusionKind Conclude(const CDiagnosisReadings& r, const CDiagnosis& d, const CProbeOutcomes& o) {
  const auto verdict = [&](DiagnosisCheck check) { return d.Check(check).m_verdict; };
  if (o.m_bCancelled) return ConclusionKind::Cancelled;
  if (verdict(DiagnosisCheck::Adapter) == Verdict::Problem)
    return r.m_adapter.m_link.m_nOperStatus != OPER_STATUS_UP ? ConclusionKind::NotConnected : ConclusionKind::NotBound;
  const bool bReached = verdict(DiagnosisCheck::Reachability) == Verdict::Passed;
  if (IsLoopbackAdapter(r)) return bReached ? ConclusionKind::LoopbackWorks : ConclusionKind::LoopbackBroken;
  if (verdict(DiagnosisCheck::LinkLocal) == Verdict::Problem) return ConclusionKind::NoLinkLocal;
  if (bReached) {
    if (verdict(DiagnosisCheck::PathMtu) == Verdict::Problem) return ConclusionKind::MtuProblem;
    switch (TrafficTunnel(r).m_kind) {
      case TunnelKind::Teredo:
        return ConclusionKind::WorksThroughTeredo;
      case TunnelKind::SixToFour:
        return ConclusionKind::WorksThroughSixToFour;
      case TunnelKind::None:
        return ConclusionKind::Works;
    }
  }
  const bool bDefaultRoute = r.m_bRoutesRead && BestDefaultRoute(r.m_routes) != nullptr;
  if (verdict(DiagnosisCheck::Router) == Verdict::Problem && !bDefaultRoute) {
    const bool bAnyGlobal =
        PickAddress(r.m_adapter.m_addresses, {AddressClass::Global, AddressClass::UniqueLocal, AddressClass::Teredo,
                                              AddressClass::SixToFour}) != nullptr;
    return bAnyGlobal ? ConclusionKind::LocalOnly : ConclusionKind::Ipv4Only;
  }
  if (verdict(DiagnosisCheck::Router) == Verdict::Problem) return ConclusionKind::RouterSilent;
  if (verdict(DiagnosisCheck::GlobalAddress) == Verdict::Problem) return ConclusionKind::NoGlobalAddress;
  if (verdict(DiagnosisCheck::NameResolution) == Verdict::Problem) {
    if (o.m_resolve.m_result != ProbeResult::NoRecord) return ConclusionKind::DnsNoAnswer;
    return o.m_resolve.m_nError == DNS_NAME_DOES_NOT_EXIST ? ConclusionKind::DnsNoName : ConclusionKind::DnsNoAddress;
  }
  if (verdict(DiagnosisCheck::Reachability) == Verdict::Problem)
    return verdict(DiagnosisCheck::Router) == Verdict::Passed ? ConclusionKind::RouterAnswersTargetNot
                                                              : ConclusionKind::TargetUnreachable;
  return ConclusionKind::Undecided;
}

std::string ConclusionText(ConclusionKind kind, const std::string& adapter) {
  switch (kind) {
    case ConclusionKind::Cancelled:
      return "The diagnosis was cancelled.";
    case ConclusionKind::NotConnected:
      return "No IPv6: " + adapter + " is not connected.";
    case ConclusionKind::NotBound:
      return "No IPv6: IPv6 is not bound to " + adapter + ".";
    case ConclusionKind::LoopbackWorks:
      return "IPv6 works on the loopback adapter (this machine only).";
    case ConclusionKind::LoopbackBroken:
      return "IPv6 is broken on the loopback adapter: the target cannot be reached.";
    case ConclusionKind::NoLinkLocal:
      return "IPv6 is broken: " + adapter + " has no usable link-local address.";
    case ConclusionKind::Works:
      return "IPv6 works (native).";
    case ConclusionKind::WorksThroughTeredo:
      return "IPv6 works, through Teredo.";
    case ConclusionKind::WorksThroughSixToFour:
      return "IPv6 works, through 6to4.";
    case ConclusionKind::MtuProblem:
      return "Possible MTU problem.";
    case ConclusionKind::Ipv4Only:
      return "IPv4 only: no router advertises an IPv6 prefix on " + adapter + ".";
    case ConclusionKind::LocalOnly:
      return "IPv6 reaches the local network only: no router on " + adapter + ".";
    case ConclusionKind::NoGlobalAddress:
      return "IPv6 is broken: the router gives " + adapter + " no global address.";
    case ConclusionKind::DnsNoAddress:
      return "DNS gives no IPv6 address for the target.";
    case ConclusionKind::DnsNoName:
      return "The target's name does not exist in DNS.";
    case ConclusionKind::DnsNoAnswer:
      return "DNS does not answer: the target's name could not be resolved.";
    case ConclusionKind::RouterSilent:
      return "IPv6 is broken: the router does not answer.";
    case ConclusionKind::RouterAnswersTargetNot:
      return "IPv6 is broken: the router answers but the target cannot be reached.";
    case ConclusionKind::TargetUnreachable:
      return "IPv6 is broken: the target cannot be reached.";
    case ConclusionKind::Undecided:
      return "Not decided: the target could not be tried.";
  }
  return {};
}

}  // namespace

bool CDiagnosis::Works() const {
  return m_conclusion == ConclusionKind::Works || m_conclusion == ConclusionKind::WorksThroughTeredo ||
         m_conclusion == ConclusionKind::WorksThroughSixToFour || m_conclusion == ConclusionKind::LoopbackWorks;
}

std::string DiagnosisCheckName(DiagnosisCheck check) {
  static const char* const kNames[DIAGNOSIS_CHECK_COUNT] = {
      "a. Adapter and IPv6", "b. Link-local address", "c. Router",   "d. Global address",
      "e. Name resolution",  "f. Reachability",       "g. Path MTU", "h. Preference and tunnels"};
  return kNames[static_cast<std::size_t>(check)];
}

std::string VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Passed:
      return "Passed";
    case Verdict::Problem:
      return "Problem";
    case Verdict::Warning:
      return "Warning";
    case Verdict::NotChecked:
      return "Not checked";
  }
  return {};
}

std::string FixPageTitle(FixPage page) {
  switch (page) {
    case FixPage::Dns:
      return "DNS";
    case FixPage::Routes:
      return "Routes";
    case FixPage::System:
      return "System";
    case FixPage::Interface:
      return "Interface";
    case FixPage::None:
      break;
  }
  return {};
}

CProbeNeeds ProbeNeedsOf(const CDiagnosisReadings& readings) {
  CProbeNeeds needs;
  needs.m_nZone = readings.m_adapter.m_link.m_nZone;
  needs.m_dnsServers = readings.m_adapter.m_dnsServers;
  const CRouteData* pRoute = readings.m_bRoutesRead ? BestDefaultRoute(readings.m_routes) : nullptr;
  if (pRoute == nullptr || IsUnspecifiedText(pRoute->m_strNextHop)) return needs;
  if (readings.m_bNeighborsRead && IsConfirmed(FindNeighbor(readings.m_neighbors, pRoute->m_strNextHop))) return needs;
  needs.m_strRouter = pRoute->m_strNextHop;
  return needs;
}

CDiagnosis Diagnose(const CDiagnosisReadings& readings, const CDiagnosisTarget& target,
                    const CProbeOutcomes& outcomes) {
  const std::uint32_t bound = PROBE_BOUND_MS;
  CDiagnosis diagnosis;
  diagnosis.m_checks = {CheckAdapter(readings),
                        CheckLinkLocal(readings),
                        CheckRouter(readings, outcomes, bound),
                        CheckGlobalAddress(readings),
                        CheckNameResolution(readings, target, outcomes, bound),
                        CheckReachability(target, outcomes, bound),
                        CheckPathMtu(readings, target, outcomes),
                        CheckPreference(readings)};
  diagnosis.m_conclusion = Conclude(readings, diagnosis, outcomes);
  diagnosis.m_strConclusion = ConclusionText(diagnosis.m_conclusion, readings.m_adapter.m_strFriendlyName);
  return diagnosis;
}

int ChooseDiagnosedAdapter(const std::vector<const CAdapterRecord*>& records,
                           const std::vector<std::vector<CRouteData>>& routes) {
  const auto usable = [&](std::size_t i) { return records[i]->m_nIfType != ADAPTER_TYPE_LOOPBACK; };
  for (std::size_t i = 0; i < records.size() && i < routes.size(); ++i)
    if (usable(i) && BestDefaultRoute(routes[i]) != nullptr) return static_cast<int>(i);
  for (std::size_t i = 0; i < records.size(); ++i)
    if (usable(i) && records[i]->m_link.m_nOperStatus == OPER_STATUS_UP) return static_cast<int>(i);
  return records.empty() ? -1 : 0;
}

std::vector<CDefaultRouteAdapter> OtherDefaultRouteAdapters(const std::vector<const CAdapterRecord*>& records,
                                                            const std::vector<std::vector<CRouteData>>& routes,
                                                            std::size_t self) {
  std::vector<CDefaultRouteAdapter> others;
  for (std::size_t i = 0; i < records.size() && i < routes.size(); ++i)
    if (i != self && BestDefaultRoute(routes[i]) != nullptr)
      others.push_back({records[i]->m_strFriendlyName, TunnelOfAdapter(*records[i])});
  return others;
}

}  // namespace vantoric
