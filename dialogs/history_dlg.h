// The History window: every command of this run, newest first, and below
// them the earlier runs' from the log, with netsh's output, copied as typed
// or as PowerShell, saved as a script, and this run's newest change taken
// back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/resize_dialog_win32.h"
#include "controls/sortable_list_win32.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"

namespace vantoric {

class CHistoryDlg : public CResizeDialog {
 public:
  // history is the main window's.
  CHistoryDlg(CCommandHistory& history, const CProfile* pProfile);

  // 1 once an undo has run a command: the caller reads the machine again.
  int m_bRanCommand = 0;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override;

  void FillList();
  void ShowDetails();
  void OnCopy(bool bPowerShell);
  void OnSave();
  void OnUndo();
  // The ids of the highlighted rows.
  std::vector<int> SelectedIds() const;
  // This run's entry or an earlier run's; nullptr for an id of neither.
  const CHistoryEntry* FindEntry(int id) const;
  // Writes the script; false with the user told why.
  bool WriteScript(const std::wstring& path, const std::string& text);

  CCommandHistory& m_history;
  // The earlier runs' entries, read from the log when the window opens.
  std::vector<CHistoryEntry> m_earlier;
  CBrekListCtrl m_list;
  CNetshRunner m_runner;
};

}  // namespace vantoric
