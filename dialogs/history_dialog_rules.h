// What the History window shows, copies and saves, apart from the window:
// portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_history.h"

namespace vantoric {

// The columns: Time, Adapter, Command (the line as a person types it) and
// Outcome.
std::vector<std::string> HistoryRowTexts(const CHistoryEntry& entry);

// The text below the list for one entry: that it is an earlier run's, the
// path, then what netsh printed or why nothing can be shown. CRLF line
// ends, for an edit control.
std::string FormatHistoryDetails(const CHistoryEntry& entry);

// The entries of selectedIds, or every successful one of this run when none
// is selected; oldest first, as they ran: the earlier runs' (from the log,
// negative ids) before this run's.
std::vector<const CHistoryEntry*> ChooseHistoryEntries(const CCommandHistory& history,
                                                       const std::vector<CHistoryEntry>& earlier,
                                                       const std::vector<int>& selectedIds);

// Copy's text: one line per entry, the netsh line as typed or the PowerShell
// line, joined by CRLF; an entry whose line is not safe to hand out is a
// comment that cannot run (FormatHistoryLine).
std::string FormatCopiedLines(const std::vector<const CHistoryEntry*>& entries, bool bPowerShell);

// The file types of the save dialog, in its filter's order (1-based index).
constexpr int SCRIPT_FILTER_CMD = 1;
constexpr int SCRIPT_FILTER_PS1 = 2;
// A file name ending in .cmd or .ps1 (any case) decides the kind; any other
// name takes the kind of the file type chosen, and its extension is added.
ScriptKind ChooseScriptKind(std::string_view path, int filterIndex);
std::string WithScriptExtension(std::string path, ScriptKind kind);

// The question before an undo: the lines it will run, then the plan's
// notes.
std::string FormatUndoQuestion(const CUndoPlan& plan);

// An undo whose command number `ran` (0-based) did not succeed after the
// ones before it did: each line with what became of it (Ran, Failed, Not
// run), then what the failure was, with netsh's words.
std::string FormatPartialUndo(const CUndoPlan& plan, std::size_t ran, const CNetshResult& failure);

}  // namespace vantoric
