// What every window that changes the configuration does around one netsh
// command line: run it with the window as owner, and tell the user when it
// did not succeed.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/netsh_commands.h"
#include "core/netsh_run_win32.h"

namespace vantoric {

// Runs `line` with `owner` disabled meanwhile: elevated through the shell
// when bElevate, otherwise typed into an interactive netsh through runner.
CNetshResult RunCommandForWindow(std::string_view line, CNetshRunner& runner, HWND owner, bool bElevate);

// For a result that did not succeed: a declined elevation shows cancelText
// under cancelCaption in a plain box with OK; anything else says what
// happened, with netsh's own words, under `caption` with the error icon.
// Shows nothing for success.
void ReportNetshFailure(HWND owner, const CNetshResult& result, std::string_view caption,
                        std::string_view cancelText, std::string_view cancelCaption);

}  // namespace vantoric
