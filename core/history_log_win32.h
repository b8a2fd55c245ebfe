// The history's log on disk: history.jsonl in the Vantoric folder of the
// user's local application data, with history.1.jsonl as the one older file
// kept. Writing never stops a command: a log that cannot be written is left
// as it is.
#pragma once

#include <string>
#include <vector>

#include "core/command_history.h"

namespace vantoric {

// "<local application data>\Vantoric\history.jsonl"; empty when Windows does
// not tell the folder.
std::wstring GetHistoryLogPath();
// The older file that a full log is moved to.
std::wstring GetOlderHistoryLogPath();

// Appends the entry's line (FormatHistoryLogLine), first moving a full log
// aside and creating the folder when it is not there.
void AppendToHistoryLog(const CHistoryEntry& entry);

// The entries of earlier runs, from the older file then the current one,
// oldest first (ParseHistoryLog).
std::vector<CHistoryEntry> ReadEarlierHistory(const std::string& currentRun);

}  // namespace vantoric
