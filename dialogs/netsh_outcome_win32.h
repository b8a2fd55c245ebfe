// What every window that changes the configuration does around one netsh
// command line: run it with the window as owner, and tell the user when it
// did not succeed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/adapter_records.h"
#include "core/change_run_win32.h"
#include "core/command_history.h"
#include "core/netsh_commands.h"
#include "core/netsh_run_win32.h"

namespace vantoric {

// Runs `line` with `owner` disabled meanwhile: elevated through the shell
// when bElevate, otherwise typed into an interactive netsh through runner.
CNetshResult RunCommandForWindow(std::string_view line, CNetshRunner& runner, HWND owner, bool bElevate);

// An add or set address change with the values as sent.
CChange MakeAddressChange(ChangeKind kind, std::string_view interfaceName, std::string_view address,
                          std::string_view type, std::string_view validLifetime, std::string_view preferredLifetime);

// The change's facts about the address before it: its record at the last
// reading (the history's reading time), its kind as its origin. The reading
// lists unicast addresses only and does not tell the store.
void NoteAddressBefore(CChange& change, const CAddressRecord& address, const CCommandHistory* pHistory);

// For a result that did not succeed: a declined elevation shows cancelText
// under cancelCaption in a plain box with OK; anything else says what
// happened, with netsh's own words, under `caption` with the error icon.
// Shows nothing for success.
void ReportNetshFailure(HWND owner, const CNetshResult& result, std::string_view caption,
                        std::string_view cancelText, std::string_view cancelCaption);

}  // namespace vantoric
