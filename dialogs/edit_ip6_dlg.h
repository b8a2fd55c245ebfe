// The "Address Properties" dialog: shows one manual address of the current
// adapter with its type and lifetimes, locked until "Edit" is pressed.
// "Apply" or OK then runs "interface ipv6 set address" with what the user
// changed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/ipv6_control_win32.h"
#include "controls/property_list_win32.h"
#include "core/adapter_records.h"
#include "core/command_history.h"
#include "core/address_guards.h"
#include "core/netsh_run_win32.h"
#include "dialogs/address_dialog_rules.h"
#include "framework/dialog.h"
#include "framework/handles.h"

namespace vantoric {

// The property rows, in the order they are added.
constexpr int EDIT_ROW_TYPE = 0;
constexpr int EDIT_ROW_VALID_LIFETIME = 1;
constexpr int EDIT_ROW_PREFERRED_LIFETIME = 2;

class CEditIP6Dlg : public CDialog {
 public:
  // Selects `address` in pAdapter (not owned), whose selected-address
  // fields the dialog then shows.
  CEditIP6Dlg(const std::string& address, CAdapterRecord* pAdapter);
  ~CEditIP6Dlg() override;

  // Read by the caller after DoModal, whichever button closed the dialog:
  // 1 when an apply succeeded, so that the machine has changed, and 1 when
  // the address that was last applied is another than the one shown at
  // start, which the caller then deletes.
  int m_bAddressChanged = 0;
  int m_bApplied = 0;
  // Addresses an earlier apply of this dialog put on the machine and a
  // later one replaced; the caller deletes them as it deletes the old one.
  std::vector<std::string> m_supersededAddresses;
  // Set by the caller before DoModal: the addresses of the machine's other
  // adapters, which a new address should not repeat.
  std::vector<CHeldAddress> m_otherAdapterAddresses;
  // Set by the caller before DoModal: where the set commands are recorded,
  // in this group (the caller's deletes of replaced addresses join it).
  CCommandHistory* m_pHistory = nullptr;
  int m_nHistoryGroup = 0;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

  // Runs the set command with this dialog as owner.
  virtual CNetshResult RunCommand(std::string_view line);
  // Runs the change's line through RunCommand and records it.
  CNetshResult RunChange(const CChange& change);

  void OnUnlock();
  void OnApplyButton() { Apply(); }
  void OnPropertyListNotify(int nRow);
  // Reads what the user set; false when a typed lifetime was refused (the
  // list has told the user).
  bool ReadSettings(CAddressSettings& settings);
  // True when done (applied, or nothing to apply); false to let the user
  // correct the input.
  bool Apply();
  // Moves the focus on before a control that has it is disabled.
  void DisableKeepingFocus(int nId, int nNextId);

  CFont m_pStatusFont;
  CFont m_pListFont;
  std::string m_strInterfaceName;
  std::string m_strType;
  std::string m_strValidLifetime = "infinite";
  std::string m_strPreferredLifetime = "infinite";
  MFCIPv6Control m_addressEdit;
  CNetshRunner m_runner;
  CAdapterRecord* m_pAdapter;
  std::string m_strAddressBeforeEdit;
  std::unique_ptr<CPropertyListCtrl> m_pPropertyList;
  // What was loaded at "Edit", then what each successful apply sent.
  CAppliedSettings m_applied;
  // The adapter's addresses when the dialog opened (comparison keys): an
  // apply that names one of them did not put it on the machine.
  std::vector<std::string> m_addressKeysAtStart;
};

}  // namespace vantoric
