// `vantoric /diagnose [ADAPTER] [/target HOST] [/json]`: the diagnosis of
// one adapter for scripts, printed as text or JSON, with no window and
// nothing changed.
#pragma once

#include "app/apply_command_win32.h"
#include "core/adapter_listing.h"

namespace vantoric {

// Carries out a Diagnose or BadDiagnose command; the process's exit code
// (DIAGNOSE_EXIT_*, core/diagnosis_report.h). The report goes to standard
// output, a wrong command line or an unknown adapter to standard error.
int RunDiagnoseCommand(const CProgramCommand& command, const CApplyOutput& output);

}  // namespace vantoric
