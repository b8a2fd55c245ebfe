// What `vantoric /apply` prints and returns: its command line, the plan as
// netsh lines, PowerShell lines or JSON, each command's outcome with
// netsh's words, and the exit code. Portable.
#pragma once

#include <string>
#include <vector>

#include "core/adapter_listing.h"
#include "core/apply_plan.h"
#include "core/netsh_commands.h"

namespace vantoric {

// The exit codes of /apply.
constexpr int APPLY_EXIT_DONE = 0;     // nothing to do, or every command succeeded
constexpr int APPLY_EXIT_FAILED = 1;   // a command failed, rights are missing, or a warning without /force
constexpr int APPLY_EXIT_BAD = 2;      // a bad command line or file, or a refusal
constexpr int APPLY_EXIT_CHANGES = 3;  // /whatif: there are changes to make

// The switches after /apply; args[from] is the first argument after it.
// Apply with the file, or BadApply with the reason.
CProgramCommand ParseApplyCommand(const std::vector<std::string>& args, std::size_t from);

// The plan, one line per change: what a person types ("netsh interface ipv6
// ..."), or the PowerShell line of the same change.
std::string FormatPlanLines(const CApplyPlan& plan, bool bPowerShell);

// The refusals, warnings and notes, a line each ("refused: <adapter>:
// <text>"), for standard error.
std::string FormatPlanFindings(const CApplyPlan& plan);

// How far a run got: the results of the commands run, in plan order; the
// commands after them were not run.
struct CApplyRun {
  std::vector<CNetshResult> m_results;
  // Why the run stopped although every command it ran succeeded (an added
  // address turned out a duplicate); empty otherwise.
  std::string m_strStopped;
};

// The plan as JSON: {"changes": [{"adapter", "change" ("add address", ...),
// "target", "netsh", "powershell"}], "findings": [{"adapter", "finding"
// ("refusal", "warning", "note"), "text"}]}; with a run, each change also
// has "outcome" (the History's words, or "Not run") and "answer" (netsh's
// words, null when it said nothing), and the JSON has "stopped" (why a run
// stopped with every command it ran succeeded, or null).
std::string FormatPlanJson(const CApplyPlan& plan, const CApplyRun* pRun);

// One command as run: its line, then its outcome and netsh's words,
// indented.
std::string FormatRunStep(const CChange& change, const CNetshResult& result);
// A command after a failure: "Not run: <line>".
std::string FormatNotRun(const CChange& change);
// The last line of a run: "Done: N commands succeeded.", "Stopped: command
// K of N failed; M not run." or "Stopped after command K of N: <why>
// Nothing was removed; M not run."
std::string FormatRunSummary(const CApplyRun& run, std::size_t planned);

// The exit code of a run: failed when a command failed or the run stopped.
int ApplyRunExitCode(const CApplyRun& run);

}  // namespace vantoric
