// The History window: every command of this run, newest first, and below
// them the earlier runs' from the log (listed once it is read, off this
// thread), with netsh's output, copied as typed or as PowerShell, saved as a
// script, and this run's newest change taken back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/resize_dialog_win32.h"
#include "controls/virtual_list_win32.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"
#include "dialogs/earlier_history_win32.h"

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
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnDestroy() override;

  void FillList();
  // Lists the earlier runs' entries below this run's once the log is read
  // (at once when it was read before and has not changed since).
  void TakeEarlier();
  // The earlier runs' entries; none while the log is being read.
  const std::vector<CHistoryEntry>& Earlier() const;
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
  // The earlier runs' entries, from the log; null until they are read.
  CEarlierEntries m_pEarlier;
  // Thousands of rows after a year of changes: the list asks for the texts
  // of the rows it shows only.
  CVirtualListCtrl m_list;
  CNetshRunner m_runner;
};

}  // namespace vantoric
