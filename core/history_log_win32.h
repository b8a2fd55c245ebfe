// The history's log on disk: history.jsonl in the Vantoric folder of the
// user's local application data, with history.1.jsonl as the one older file
// kept. Writing never stops a command: a log that cannot be written is left
// as it is. Any process of the user may write into that folder while this
// one runs elevated, so neither the folder nor a log file is used when it is
// a reparse point (a junction or a link that would lead elsewhere) or a file
// of more than one name, and every process appends and rotates under one
// named mutex.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_history.h"

namespace vantoric {

// "<local application data>\Vantoric\history.jsonl"; empty when Windows does
// not tell the folder.
std::wstring GetHistoryLogPath();
// The older file that a full log is moved to.
std::wstring GetOlderHistoryLogPath();

// What became of an entry handed to the log.
enum class HistoryLogWrite {
  Written,
  NotWritten,  // no folder, a reparse point, the mutex or the file not to be had
  Full,        // the log is full and could not be moved aside: it grows no further
};

// Appends the entry's line (FormatHistoryLogLine), first moving a full log
// aside and creating the folder when it is not there. When the move fails,
// the entry is not written, and the first time in this process the notice
// (SetHistoryLogNotice) is told HISTORY_LOG_FULL_TEXT with the system's
// reason.
HistoryLogWrite AppendToHistoryLog(const CHistoryEntry& entry);

// The entries of earlier runs, from the older file then the current one,
// oldest first (ParseHistoryLog).
std::vector<CHistoryEntry> ReadEarlierHistory(const std::string& currentRun);

// What a full log that could not be moved aside tells, with %1 the log's
// path and %2 the system's reason.
inline constexpr std::string_view HISTORY_LOG_FULL_TEXT =
    "The history's log %1 is full and could not be moved aside to make room: %2 Changes are no longer added to "
    "the log; the History still lists those of this run.";

// Where this process tells of a full log, once: a window's message box, or
// the console's standard error. Unset, nobody is told.
void SetHistoryLogNotice(std::function<void(const std::string& text)> tell);

// Puts the log in `folder` instead of the Vantoric folder of the local
// application data; empty returns to that. For tests.
void SetHistoryLogFolderForTests(const std::wstring& folder);

}  // namespace vantoric
