#include "core/route_selection.h"

namespace vantoric {

int FindRoute(const std::vector<CRouteRecord>& routes, std::string_view destination, std::string_view nextHop) {
  for (std::size_t i = 0; i < routes.size(); ++i)
    if (routes[i].m_strDestination == destination && routes[i].m_strNextHopAddress == nextHop)
      return static_cast<int>(i);
  return -1;
}

}  // namespace vantoric
