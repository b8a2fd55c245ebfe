// The eight checks of the diagnosis, and what they and the conclusion read
// alike of addresses, routes and neighbors. Within the diagnosis only:
// diagnosis.h is what others use. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/diagnosis.h"

namespace vantoric {

// The classes of address that the checks tell apart (RFC 4291 section 2.4;
// unique local RFC 4193; Teredo RFC 4380; 6to4 RFC 3056).
enum class AddressClass { Unknown, Loopback, LinkLocal, SiteLocal, UniqueLocal, Teredo, SixToFour, Global, Other };
AddressClass ClassOf(const std::string& text);
bool IsUnspecifiedText(const std::string& text);
// The first address of the classes that is Preferred, else the first of
// them; nullptr for none.
const CAddressRecord* PickAddress(const std::vector<CAddressRecord>& addresses,
                                  const std::vector<AddressClass>& classes);
bool IsLoopbackAdapter(const CDiagnosisReadings& r);
// Teredo or 6to4 for an adapter with such addresses and no native global one.
TunnelKind TunnelOfAdapter(const CAdapterRecord& adapter);
// The ::/0 route with the lowest metric; nullptr for none.
const CRouteData* BestDefaultRoute(const std::vector<CRouteData>& routes);
const CNeighborData* FindNeighbor(const std::vector<CNeighborData>& neighbors, const std::string& address);
// The neighbor cache holds the entry as Reachable or Permanent.
bool IsConfirmed(const CNeighborData* pNeighbor);

// The tunnel that traffic beyond the link takes: the adapter's own when it
// has only tunnel addresses and a default route, else another adapter's
// when this one has no default route.
struct CTrafficTunnel {
  TunnelKind m_kind = TunnelKind::None;
  std::string m_strAdapter;
};
CTrafficTunnel TrafficTunnel(const CDiagnosisReadings& r);

// a. to h., in order; boundMs is the probes' bound, which the evidence names.
CCheckResult CheckAdapter(const CDiagnosisReadings& r);
CCheckResult CheckLinkLocal(const CDiagnosisReadings& r);
CCheckResult CheckRouter(const CDiagnosisReadings& r, const CProbeOutcomes& o, std::uint32_t boundMs);
CCheckResult CheckGlobalAddress(const CDiagnosisReadings& r);
CCheckResult CheckNameResolution(const CDiagnosisReadings& r, const CDiagnosisTarget& target, const CProbeOutcomes& o,
                                 std::uint32_t boundMs);
CCheckResult CheckReachability(const CDiagnosisTarget& target, const CProbeOutcomes& o, std::uint32_t boundMs);
CCheckResult CheckPathMtu(const CDiagnosisReadings& r, const CDiagnosisTarget& target, const CProbeOutcomes& o);
CCheckResult CheckPreference(const CDiagnosisReadings& r);

}  // namespace vantoric
