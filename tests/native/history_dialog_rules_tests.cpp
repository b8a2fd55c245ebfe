// The History window's rules: the details shown under the list, the entries
// that Copy and Save take, and the script's kind and file name.
#include "dialogs/history_dialog_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

CHistoryEntry Entry(NetshOutcome outcome, bool bElevated, std::string output) {
  CHistoryEntry entry;
  entry.m_result.m_outcome = outcome;
  entry.m_bElevated = bElevated;
  entry.m_result.m_strOutput = std::move(output);
  return entry;
}

TEST(HistoryDialogRules, DetailsSayThePathAndWhatNetshPrinted) {
  const struct { CHistoryEntry entry; const char* expected; const char* reason; } cases[] = {
      {Entry(NetshOutcome::Succeeded, false, "Ok.\n\n"), "Path: Console\r\n\r\nOk.\r\n\r\n",
       "bare line feeds become CRLF for the edit control"},
      {Entry(NetshOutcome::NetshFailed, false, "Element not found.\r\n"),
       "Path: Console\r\n\r\nElement not found.\r\n", "CRLF stays as it is"},
      {Entry(NetshOutcome::Succeeded, false, ""), "Path: Console\r\nnetsh printed nothing.", "no words"},
      {Entry(NetshOutcome::Succeeded, true, ""), "Path: Elevated\r\nnetsh's words cannot be read on the elevated path.",
       "the elevated path shows no output"},
      {Entry(NetshOutcome::Refused, false, ""), "Path: Console\r\nnetsh was not started.",
       "a refused line never reached netsh"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatHistoryDetails(c.entry), c.expected) << c.reason;
}

TEST(HistoryDialogRules, CopyAndSaveTakeTheSelectionOrEverySuccessInTimeOrder) {
  CCommandHistory history;
  for (NetshOutcome outcome : {NetshOutcome::Succeeded, NetshOutcome::NetshFailed, NetshOutcome::Succeeded}) {
    CHistoryEntry entry;
    entry.m_result.m_outcome = outcome;
    history.Record(entry);
  }
  const struct { std::vector<int> selected; std::vector<int> expected; const char* reason; } cases[] = {
      {{}, {1, 3}, "nothing selected: every successful entry"},
      {{3, 1}, {1, 3}, "selected newest first (as listed): saved oldest first"},
      {{2}, {2}, "a selected failure is taken as selected"},
      {{9}, {}, "an id that is not recorded"},
  };
  for (const auto& c : cases) {
    std::vector<int> ids;
    for (const CHistoryEntry* pEntry : ChooseHistoryEntries(history, c.selected)) ids.push_back(pEntry->m_nId);
    EXPECT_EQ(ids, c.expected) << c.reason;
  }
}

TEST(HistoryDialogRules, TheNameOrElseTheFileTypeDecidesTheScript) {
  const struct { const char* path; int filter; ScriptKind kind; const char* saved; const char* reason; } cases[] = {
      {"C:\\x\\changes", SCRIPT_FILTER_CMD, ScriptKind::Cmd, "C:\\x\\changes.cmd", "no extension: the file type's"},
      {"C:\\x\\changes", SCRIPT_FILTER_PS1, ScriptKind::PowerShell, "C:\\x\\changes.ps1", "PowerShell chosen"},
      {"C:\\x\\changes.PS1", SCRIPT_FILTER_CMD, ScriptKind::PowerShell, "C:\\x\\changes.PS1",
       "a typed extension wins, in any case"},
      {"C:\\x\\changes.cmd", SCRIPT_FILTER_PS1, ScriptKind::Cmd, "C:\\x\\changes.cmd", "the other way round"},
      {"C:\\x\\changes.txt", SCRIPT_FILTER_CMD, ScriptKind::Cmd, "C:\\x\\changes.txt.cmd",
       "another extension is kept and the script's added"},
      {"C:\\x\\cmd", SCRIPT_FILTER_PS1, ScriptKind::PowerShell, "C:\\x\\cmd.ps1", "a name ending in cmd without the dot"},
      {".ps1", SCRIPT_FILTER_CMD, ScriptKind::PowerShell, ".ps1", "a name that is only the extension"},
  };
  for (const auto& c : cases) {
    const ScriptKind kind = ChooseScriptKind(c.path, c.filter);
    EXPECT_EQ(kind, c.kind) << c.reason;
    EXPECT_EQ(WithScriptExtension(c.path, kind), c.saved) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
