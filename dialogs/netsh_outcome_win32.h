// What every window that changes the configuration does around one netsh
// command line: run it with the window as owner, and tell the user when it
// did not succeed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/adapter_records.h"
#include "core/command_history.h"
#include "core/netsh_commands.h"
#include "core/netsh_run_win32.h"

namespace vantoric {

// Runs `line` with `owner` disabled meanwhile: elevated through the shell
// when bElevate, otherwise typed into an interactive netsh through runner.
CNetshResult RunCommandForWindow(std::string_view line, CNetshRunner& runner, HWND owner, bool bElevate);

// Whether a change's command takes the elevated path through the shell: the
// address and route commands where IsShellElevationNeeded says so (an
// elevated program runs them directly, with netsh's words); the DNS commands
// never.
bool IsElevatedChange(ChangeKind kind);

// An add or set address change with the values as sent.
CChange MakeAddressChange(ChangeKind kind, std::string_view interfaceName, std::string_view address,
                          std::string_view type, std::string_view validLifetime, std::string_view preferredLifetime);

// The change's facts about the address before it: its record at the last
// reading (the history's reading time), its kind as its origin. The reading
// lists unicast addresses only and does not tell the store.
void NoteAddressBefore(CChange& change, const CAddressRecord& address, const CCommandHistory* pHistory);

// Records in pHistory, when there is one, a change whose line was run or
// refused: now, the interface's identity (when the change has none yet),
// the line, the change's path and the result, with nGroup and nUndoes as
// CHistoryEntry keeps them; and appends it to the log that outlives the run.
void RecordChange(CCommandHistory* pHistory, const CChange& change, std::string_view line,
                  const CNetshResult& result, int nGroup = 0, int nUndoes = 0);
// Runs the change's line as RunCommandForWindow does, on the change's path,
// and records it.
CNetshResult RunChangeForWindow(const CChange& change, CNetshRunner& runner, HWND owner, CCommandHistory* pHistory,
                                int nGroup = 0, int nUndoes = 0);

// Runs the change's line typed into an interactive netsh through runner,
// whatever the change's path, and records it as RunChangeForWindow does:
// for a process that already holds the rights the commands need (the
// command line's /apply), so that netsh's words can be read.
CNetshResult RunChangeInConsole(const CChange& change, CNetshRunner& runner, CCommandHistory* pHistory);

// Now, in seconds since 1970 (UTC), and as local time text
// ("2026-12-07 19:04:12").
std::int64_t CurrentUnixTime();
std::string FormatLocalTimeNow();

// For a result that did not succeed: a declined elevation shows cancelText
// under cancelCaption in a plain box with OK; anything else says what
// happened, with netsh's own words, under `caption` with the error icon.
// Shows nothing for success.
void ReportNetshFailure(HWND owner, const CNetshResult& result, std::string_view caption,
                        std::string_view cancelText, std::string_view cancelCaption);

}  // namespace vantoric
