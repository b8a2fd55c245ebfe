#include "core/interface_history.h"

#include "core/neighbors.h"

namespace vantoric {

std::string FormatInterfaceChangeCommand(const CChange& change) {
  if (change.m_kind == ChangeKind::DeleteNeighbors)
    return FormatDeleteNeighborsCommand(change.m_strInterface, change.m_strAddress);
  return FormatSetInterfaceCommand(change.m_strInterface, change.m_interface);
}

std::string FormatInterfaceChangePowerShell(const CChange& change) {
  if (change.m_kind == ChangeKind::DeleteNeighbors)
    return FormatRemoveNeighborPowerShell(QuotePowerShellAlias("Remove-NetNeighbor", change.m_strInterface),
                                          change.m_strAddress);
  return FormatSetInterfacePowerShell(QuotePowerShellAlias("Set-NetIPInterface", change.m_strInterface),
                                      change.m_interface);
}

std::string PlanInterfaceChangeInverse(const CChange& change, CChange& inverse) {
  if (!HasUndo(change.m_kind)) return std::string(NEIGHBOR_NO_UNDO);
  inverse.m_kind = ChangeKind::SetInterface;
  return PlanInterfaceUndo(change.m_interface, inverse.m_interface);
}

bool HasUndo(ChangeKind kind) { return kind != ChangeKind::DeleteNeighbors; }

std::string DescribeNoUndo(const CChange& change) {
  return HasUndo(change.m_kind) ? std::string() : "Undo: " + std::string(NEIGHBOR_NO_UNDO);
}

}  // namespace vantoric
