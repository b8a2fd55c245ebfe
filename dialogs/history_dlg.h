// The History window: every command of this run, newest first, with netsh's
// output, copied as typed or as PowerShell, saved as a script, and the
// newest change taken back.
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
  // Writes the script; false with the user told why.
  bool WriteScript(const std::wstring& path, const std::string& text);

  CCommandHistory& m_history;
  CBrekListCtrl m_list;
  CNetshRunner m_runner;
};

}  // namespace vantoric
