// The history's part for the interface and neighbor commands: their netsh
// and PowerShell lines and what taking them back means. The history's own
// switches hand these kinds over here. Portable.
#pragma once

#include <string>

#include "core/command_history.h"

namespace vantoric {

// FormatChangeCommand for SetInterface and DeleteNeighbors.
std::string FormatInterfaceChangeCommand(const CChange& change);
// FormatPowerShellCommand for SetInterface and DeleteNeighbors.
std::string FormatInterfaceChangePowerShell(const CChange& change);
// The inverse of a SetInterface change: the values read before, in the
// same store; or why there is none.
std::string PlanInterfaceChangeInverse(const CChange& change, CChange& inverse);
// Whether Undo can take a change of this kind back: not a neighbor
// removal, which the system undoes itself (NEIGHBOR_NO_UNDO).
bool HasUndo(ChangeKind kind);
// The line the History's details add about Undo; empty for the kinds that
// have one.
std::string DescribeNoUndo(const CChange& change);

}  // namespace vantoric
