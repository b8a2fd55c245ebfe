#include "dialogs/undo_rules.h"

#include <algorithm>

namespace vantoric {

const CRouteRecord* FindRemovedRoute(const std::vector<CRouteRecord>& routes, const CChange& change) {
  const auto removed = std::find_if(routes.begin(), routes.end(), [&](const CRouteRecord& route) {
    return IsSamePrefix(route.m_strDestination, change.m_strAddress) &&
           IsSameHop(route.m_strNextHopAddress, change.m_strNextHop);
  });
  return removed == routes.end() ? nullptr : &*removed;
}

CGuardVerdict CheckUndoRouteRemoval(const CChange& change, const std::vector<CRouteRecord>& routes,
                                    std::size_t beyondLink) {
  const CRouteRecord* pRemoved = FindRemovedRoute(routes, change);
  if (pRemoved == nullptr) return {};
  return CheckDefaultRouteRemoval(routes, *pRemoved, change.m_strInterface, beyondLink);
}

std::string FormatUndoRouterQuestion(const CChange& change) {
  if (change.m_kind != ChangeKind::SetInterface || !TurnsOnRouting(change.m_interface)) return {};
  return FormatRouterQuestion(change.m_strInterface, change.m_interface);
}

}  // namespace vantoric
