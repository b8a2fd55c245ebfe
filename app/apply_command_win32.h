// `vantoric /apply FILE`: the machine read, the plan of core/apply_plan
// printed or run, no window. The text goes where the caller says, so that
// /list's console handling serves both commands.
#pragma once

#include <functional>
#include <string>

#include "core/adapter_listing.h"

namespace vantoric {

// Where the text of a run goes: standard output and standard error.
struct CApplyOutput {
  std::function<void(const std::string& text)> m_out;
  std::function<void(const std::string& text)> m_err;
};

// Carries out an Apply or BadApply command; the process's exit code
// (APPLY_EXIT_*, core/apply_report.h). Every command goes through the
// windows' record path (RunChangeInConsole, core/change_run_win32.h), in a
// history of this run; new addresses are waited for before removals.
int RunApplyCommand(const CProgramCommand& command, const CApplyOutput& output);

// Whether this process runs with administrator rights (its token is
// elevated). On a Windows without elevation (version 5.2) every process
// that is allowed to change the configuration can; true there.
bool IsProcessElevated();

}  // namespace vantoric
