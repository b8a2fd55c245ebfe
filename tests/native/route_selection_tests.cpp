// The route a list keeps highlighted across a new reading.
#include "core/route_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

CRouteRecord Route(std::string destination, std::string nextHop) {
  CRouteRecord route;
  route.m_strDestination = std::move(destination);
  route.m_strNextHopAddress = std::move(nextHop);
  return route;
}

TEST(FindRoute, TheSameDestinationThroughTheSameNextHop) {
  const std::vector<CRouteRecord> routes = {Route("::/0", "fe80::2"), Route("::/0", "fe80::1"),
                                            Route("2001:db8::/64", "")};
  const struct {
    const char* destination;
    const char* nextHop;
    int index;
    const char* reason;
  } cases[] = {
      {"::/0", "fe80::1", 1, "two default routes: the one through the same router, not the first ::/0"},
      {"::/0", "fe80::2", 0, "the other router's"},
      {"2001:db8::/64", "", 2, "an on-link route"},
      {"::/0", "fe80::3", -1, "the router is gone: nothing is highlighted rather than another route"},
      {"2001:db8::/64", "fe80::1", -1, "the destination through another next hop"},
  };
  for (const auto& c : cases) EXPECT_EQ(FindRoute(routes, c.destination, c.nextHop), c.index) << c.reason;
}

}  // namespace
}  // namespace vantoric
