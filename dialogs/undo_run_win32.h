// What Undo does on the machine: read the adapters again (names, interface
// identities, addresses, DNS servers), weigh each command of the plan with
// the guards that the same command runs when a person gives it, and run
// the plan, telling exactly which of its commands ran.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "core/adapter_records.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"

namespace vantoric {

// The adapters as a new reading has them.
struct CUndoReading {
  std::unique_ptr<CAdapterRecord[]> m_records;
  std::size_t m_nCount = 0;
  std::vector<CAdapterIdentity> m_identities;
};
// False when the adapters could not be read (the user has been told why).
bool ReadAdaptersForUndo(HWND owner, CUndoReading& reading);

// Runs the guards of each command of the plan, in order; false as soon as
// one stops it (the user has been told or has said No).
bool PassUndoGuards(HWND owner, const CUndoPlan& plan, const CUndoReading& reading);

// Runs the plan's commands in order, each recorded in history as an undo of
// its entry; the first that does not succeed ends the run. Returns how many
// succeeded; `failure` is the result of the one that did not.
std::size_t RunUndoPlan(const CUndoPlan& plan, CNetshRunner& runner, HWND owner, CCommandHistory& history,
                        CNetshResult& failure);

}  // namespace vantoric
