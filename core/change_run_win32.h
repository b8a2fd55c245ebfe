// Running one change and recording it in the History: the one path that a
// window's command and a command of /apply both take, whatever shows the
// outcome afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/command_history.h"
#include "core/netsh_commands.h"
#include "core/netsh_run_win32.h"

namespace vantoric {

// Whether a change's command takes the elevated path through the shell: the
// address and route commands where IsShellElevationNeeded says so (an
// elevated program runs them directly, with netsh's words); the DNS commands
// never.
bool IsElevatedChange(ChangeKind kind);

// Records in pHistory, when there is one, a change whose line was run or
// refused: now, the interface's identity (when the change has none yet),
// the line, the change's path and the result, with nGroup and nUndoes as
// CHistoryEntry keeps them; and appends it to the log that outlives the run.
void RecordChange(CCommandHistory* pHistory, const CChange& change, std::string_view line,
                  const CNetshResult& result, int nGroup = 0, int nUndoes = 0);

// Runs the change's line (FormatChangeCommand) on the change's path, with
// `owner` disabled meanwhile, and records it. The windows' path.
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

}  // namespace vantoric
