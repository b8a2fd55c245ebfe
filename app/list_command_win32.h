// `vantoric /list` and `vantoric /?`: the reading for scripts, written to
// the console or pipe the program was started from, or to a file, with no
// window, nothing changed and no running instance disturbed.
#pragma once

#include "core/adapter_listing.h"

namespace vantoric {

// Carries out a List, Usage or BadList command; the process's exit code:
// 0 done, 1 the adapters could not be read, 2 a wrong /list command line or
// a file that could not be written. The reason goes to standard error.
int RunProgramCommand(const CProgramCommand& command);

}  // namespace vantoric
