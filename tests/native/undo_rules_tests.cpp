// Undo's guards: the route a removal takes away, found as addresses
// compare, and the router question.
#include "dialogs/undo_rules.h"

#include <gtest/gtest.h>

namespace vantoric {
namespace {

TEST(CheckUndoRouteRemoval, Placeholder) {}

}  // namespace
}  // namespace vantoric
