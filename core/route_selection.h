// Which route a list keeps highlighted across a new reading of the route
// table. Portable.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/route_records.h"

namespace vantoric {

// The index in `routes` of the route to `destination` through `nextHop`
// (the address netsh takes, "" for on-link); -1 when no route is both. The
// destination alone does not tell two default routes through two routers
// apart.
int FindRoute(const std::vector<CRouteRecord>& routes, std::string_view destination, std::string_view nextHop);

}  // namespace vantoric
