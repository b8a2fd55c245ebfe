#include "dialogs/history_dialog_rules.h"

#include <algorithm>

#include "core/interface_history.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && LowerAscii(text.substr(text.size() - end.size())) == end;
}

}  // namespace

std::vector<std::string> HistoryRowTexts(const CHistoryEntry& entry) {
  return {entry.m_strTime, entry.m_change.m_strInterface, FormatTypedNetshLine(entry.m_strLine),
          DescribeHistoryOutcome(entry.m_result)};
}

std::string FormatHistoryDetails(const CHistoryEntry& entry) {
  std::string text = entry.m_bFromLog ? "From an earlier run (read from the log: Undo does not take it back).\r\n" : "";
  text += "Path: " + DescribeHistoryPath(entry.m_bElevated) + "\r\n";
  if (const std::string noUndo = DescribeNoUndo(entry.m_change); !noUndo.empty()) text += noUndo + "\r\n";
  if (entry.m_result.m_outcome == NetshOutcome::Refused) return text + "netsh was not started.";
  if (entry.m_bElevated) return text + "netsh's words cannot be read on the elevated path.";
  if (entry.m_result.m_strOutput.empty()) return text + "netsh printed nothing.";
  // An edit control breaks lines at CRLF only.
  text += "\r\n";
  const std::string& output = entry.m_result.m_strOutput;
  for (size_t i = 0; i < output.size(); ++i) {
    if (output[i] == '\n' && (i == 0 || output[i - 1] != '\r')) text += '\r';
    text += output[i];
  }
  return text;
}

std::vector<const CHistoryEntry*> ChooseHistoryEntries(const CCommandHistory& history,
                                                       const std::vector<CHistoryEntry>& earlier,
                                                       const std::vector<int>& selectedIds) {
  std::vector<const CHistoryEntry*> chosen;
  for (const CHistoryEntry& entry : earlier)
    if (std::find(selectedIds.begin(), selectedIds.end(), entry.m_nId) != selectedIds.end()) chosen.push_back(&entry);
  for (const CHistoryEntry& entry : history.GetEntries()) {
    const bool bSelected = std::find(selectedIds.begin(), selectedIds.end(), entry.m_nId) != selectedIds.end();
    if (selectedIds.empty() ? entry.Succeeded() : bSelected) chosen.push_back(&entry);
  }
  return chosen;
}

std::string FormatCopiedLines(const std::vector<const CHistoryEntry*>& entries, bool bPowerShell) {
  std::string text;
  for (const CHistoryEntry* pEntry : entries) {
    if (!text.empty()) text += "\r\n";
    text += FormatHistoryLine(*pEntry, bPowerShell ? LineForm::PowerShell : LineForm::Typed);
  }
  return text;
}

ScriptKind ChooseScriptKind(std::string_view path, int filterIndex) {
  if (EndsWithNoCase(path, ".cmd")) return ScriptKind::Cmd;
  if (EndsWithNoCase(path, ".ps1")) return ScriptKind::PowerShell;
  return filterIndex == SCRIPT_FILTER_PS1 ? ScriptKind::PowerShell : ScriptKind::Cmd;
}

std::string WithScriptExtension(std::string path, ScriptKind kind) {
  const std::string_view extension = kind == ScriptKind::PowerShell ? ".ps1" : ".cmd";
  if (!EndsWithNoCase(path, extension)) path += extension;
  return path;
}

std::string FormatUndoQuestion(const CUndoPlan& plan) {
  std::string text = "Undo will run:\n";
  for (const CChange& change : plan.m_changes) text += "\n" + FormatTypedNetshLine(FormatChangeCommand(change));
  if (!plan.m_notes.empty()) text += "\n";
  for (const std::string& note : plan.m_notes) text += "\n" + note;
  return text + "\n\nDo you want to go on?";
}

std::string FormatPartialUndo(const CUndoPlan& plan, std::size_t ran, const CNetshResult& failure) {
  std::string text = "Undo was carried out only in part.\n";
  for (std::size_t i = 0; i < plan.m_changes.size(); ++i) {
    const std::string line = FormatTypedNetshLine(FormatChangeCommand(plan.m_changes[i]));
    text += i < ran ? "\nRan: " : i == ran ? "\nFailed: " : "\nNot run: ";
    text += line;
  }
  // Where the failed command never ran, its own text says that nothing was
  // changed; below the commands that did run, that would not be true.
  std::string outcome = DescribeNetshResult(failure);
  constexpr std::string_view kNothing = "Nothing was changed.";
  if (const size_t at = outcome.find(kNothing); at != std::string::npos)
    outcome.replace(at, kNothing.size(), "Only the commands marked Ran changed the configuration.");
  return text + "\n\n" + outcome;
}

}  // namespace vantoric
