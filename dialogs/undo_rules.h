// Rules of the guards that Undo weighs before it runs a command, as the
// windows weigh them before the same command: the route a removal takes
// away, found as the checks compare routes, and the router question.
// Portable; undo_run_win32.h reads the facts and asks.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/command_history.h"
#include "core/route_records.h"

namespace vantoric {

// The route of `routes` (the adapter's, as read now) that a route removal
// takes away: the same prefix and next hop compared as addresses (letter
// case, zeros and a zone aside: FE80::1%12 is fe80::1); nullptr when the
// table has none.
const CRouteRecord* FindRemovedRoute(const std::vector<CRouteRecord>& routes, const CChange& change);

// The default-route guard of a route removal that Undo runs
// (CheckDefaultRouteRemoval on the route found); proceeds when the table
// does not have the route.
CGuardVerdict CheckUndoRouteRemoval(const CChange& change, const std::vector<CRouteRecord>& routes,
                                    std::size_t beyondLink);

// The question that the Interface page asks before a change that turns
// forwarding or advertising on, for an Undo that does (FormatRouterQuestion
// with the adapter's name); empty when the change does not.
std::string FormatUndoRouterQuestion(const CChange& change);

}  // namespace vantoric
