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

CHistoryEntry FromLog(CHistoryEntry entry) {
  entry.m_bFromLog = true;
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
      {FromLog(Entry(NetshOutcome::Succeeded, false, "Ok.")),
       "From an earlier run (read from the log: Undo does not take it back).\r\nPath: Console\r\n\r\nOk.",
       "an earlier run's entry says so first"},
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
  std::vector<CHistoryEntry> earlier(2);
  earlier[0].m_nId = -1;
  earlier[1].m_nId = -2;
  earlier[1].m_result.m_outcome = NetshOutcome::Succeeded;
  const struct { std::vector<int> selected; std::vector<int> expected; const char* reason; } cases[] = {
      {{}, {1, 3}, "nothing selected: every successful entry of this run"},
      {{3, -2, -1}, {-1, -2, 3}, "earlier runs' entries, in log order, before this run's"},
      {{3, 1}, {1, 3}, "selected newest first (as listed): saved oldest first"},
      {{2}, {2}, "a selected failure is taken as selected"},
      {{9}, {}, "an id that is not recorded"},
  };
  for (const auto& c : cases) {
    std::vector<int> ids;
    for (const CHistoryEntry* pEntry : ChooseHistoryEntries(history, earlier, c.selected)) ids.push_back(pEntry->m_nId);
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

CHistoryEntry Recorded(int id, ChangeKind kind, std::string name, std::string address) {
  CHistoryEntry entry;
  entry.m_nId = id;
  entry.m_change.m_kind = kind;
  entry.m_change.m_strInterface = std::move(name);
  entry.m_change.m_strAddress = std::move(address);
  entry.m_strLine = FormatChangeCommand(entry.m_change);
  entry.m_result.m_outcome = CheckNetshLine(entry.m_strLine) == NetshRefusal::None ? NetshOutcome::NetshFailed
                                                                                  : NetshOutcome::Refused;
  return entry;
}

TEST(HistoryDialogRules, CopyHandsOutOnlyLinesTheCheckPasses) {
  const CHistoryEntry plain = Recorded(1, ChangeKind::DeleteAddress, "Ethernet", "2001:db8::1");
  const CHistoryEntry injection = Recorded(2, ChangeKind::DeleteAddress, "x\" & calc & \"y", "2001:db8::1");
  const CHistoryEntry lineBreak = Recorded(3, ChangeKind::DeleteDns, "a\r\nnetsh firewall", "2001:db8::53");
  const struct {
    std::vector<const CHistoryEntry*> entries;
    bool bPowerShell;
    std::string text;
    const char* reason;
  } cases[] = {
      {{&plain}, false, "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::1", "a safe line as typed"},
      {{&injection}, false, "rem Entry 2 is left out: its line cannot be run safely.",
       "stray quotes would start calc: a comment that cannot run"},
      {{&injection}, true, "# Entry 2 is left out: its line cannot be run safely.",
       "the PowerShell copy follows the same rule"},
      {{&plain, &lineBreak}, false,
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::1\r\nrem Entry 3 is left out: its line cannot be "
       "run safely.",
       "a name with CR LF gives no line of its own; the safe line beside it is kept"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCopiedLines(c.entries, c.bPowerShell), c.text) << c.reason;
}

TEST(HistoryDialogRules, UndoSaysWhatItWillRunAndWhatBecameOfEachCommand) {
  CUndoPlan plan;
  std::vector<std::string> lines;
  for (const char* address : {"2001:db8::7", "2001:db8::9", "2001:db8::b"}) {
    CChange change;
    change.m_kind = ChangeKind::DeleteAddress;
    change.m_strInterface = "Ethernet";
    change.m_strAddress = address;
    plan.m_changes.push_back(change);
    lines.push_back("netsh interface ipv6 delete address \"Ethernet\" " + std::string(address));
  }
  CNetshResult failure;
  failure.m_outcome = NetshOutcome::NetshFailed;
  failure.m_nExitCode = 1;
  failure.m_strOutput = "Element not found.";
  CNetshResult refused;
  refused.m_outcome = NetshOutcome::ElevationRefused;
  const std::string head = "Undo was carried out only in part.\n\n";
  const std::string tail = "\n\n" + DescribeNetshResult(failure);
  const struct {
    std::size_t ran;
    const CNetshResult& failure;
    std::string text;
    const char* reason;
  } cases[] = {
      {1, failure, head + "Ran: " + lines[0] + "\nFailed: " + lines[1] + "\nNot run: " + lines[2] + tail,
       "the second failed: the first named as run, the third as not run"},
      {2, failure, head + "Ran: " + lines[0] + "\nRan: " + lines[1] + "\nFailed: " + lines[2] + tail,
       "the last failed after both before it ran"},
      {1, refused,
       head + "Ran: " + lines[0] + "\nFailed: " + lines[1] + "\nNot run: " + lines[2] +
           "\n\nThe command was cancelled: administrator rights were not granted.\nOnly the commands marked Ran "
           "changed the configuration.",
       "the second never ran: not \"Nothing was changed.\" below a command that ran"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPartialUndo(plan, c.ran, c.failure), c.text) << c.reason;

  plan.m_notes = {"The store that 2001:db8::7 was in is not known: Undo puts it in the persistent store."};
  EXPECT_EQ(FormatUndoQuestion(plan), "Undo will run:\n\n" + lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n\n" +
                                          plan.m_notes[0] + "\n\nDo you want to go on?")
      << "a note follows the lines";
}

}  // namespace
}  // namespace vantoric
