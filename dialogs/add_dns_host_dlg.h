// The "Add DNS" dialog: one IPv6 address typed into the address control is
// added to an adapter's DNS servers at the position that the DNS page chose.
#pragma once

#include <windows.h>

#include <string>

#include "controls/ipv6_control_win32.h"
#include "core/adapter_records.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"
#include "framework/dialog.h"
#include "framework/handles.h"

namespace vantoric {

class CAddDnsHostDlg : public CDialog {
 public:
  // pAdapter receives the new server once netsh has accepted it; nIndex is
  // the 1-based position shown (0 appends); hParent owns the dialog.
  CAddDnsHostDlg(CAdapterRecord* pAdapter, std::string interfaceName, int nIndex, HWND hParent);

  // Runs the dialog over the parent given at construction.
  INT_PTR DoModal() { return CDialog::DoModal(m_hParent); }

  // Where the add command is recorded; none when nullptr.
  CCommandHistory* m_pHistory = nullptr;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

  CFont m_statusFont;
  std::string m_strInterfaceName;
  std::string m_strIndex;
  MFCIPv6Control m_addressEdit;
  CNetshRunner m_runner;
  CAdapterRecord* m_pAdapter;

 private:
  HWND m_hParent;
};

}  // namespace vantoric
