// The "Add Address" dialog: the user types a new address for the adapter
// chosen in the main window, or composes it from the router-advertised
// prefix and an EUI-64 or random interface identifier, sets type, store and
// lifetimes, and OK runs "interface ipv6 add address". On success the
// address is appended to the adapter's record.
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
#include "core/netsh_run_win32.h"
#include "dialogs/address_dialog_rules.h"
#include "framework/dialog.h"
#include "framework/handles.h"

namespace vantoric {

// The property rows, in the order they are added.
constexpr int ADD_ROW_TYPE = 0;
constexpr int ADD_ROW_STORE = 1;
constexpr int ADD_ROW_VALID_LIFETIME = 2;
constexpr int ADD_ROW_PREFERRED_LIFETIME = 3;

class CAddIP6Dlg : public CDialog {
 public:
  // pAdapters is the main window's record array (not owned); names are its
  // adapters' names in the same order; nAdapter the one chosen there.
  CAddIP6Dlg(CAdapterRecord* pAdapters, const std::vector<std::string>& names, int nAdapter);
  ~CAddIP6Dlg() override;

  // Set by the caller before DoModal: where the add command is recorded.
  CCommandHistory* m_pHistory = nullptr;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnOK() override;
  void OnCancel() override;

  // Runs the add command with this dialog as owner.
  virtual CNetshResult RunCommand(std::string_view line);
  // Runs the change's line through RunCommand and records it.
  CNetshResult RunChange(const CChange& change);

  void OnPrefixModeChanged();
  void OnIdentifierModeChanged();
  void OnRaEui64Clicked();
  void OnPropertyListNotify(int nRow);

  // Why a composition left the address field alone.
  enum class ComposeResult { Done, NoRouterPrefix, NoEui64Identifier };
  // Carries out a plan on the address field; on failure the user has been
  // told and the field is unchanged.
  ComposeResult Compose(const CCompositionPlan& plan);
  // The record of the adapter shown in the (disabled) adapter combo.
  CAdapterRecord& WorkingAdapter();
  void ResetModes();

  CFont m_pStatusFont;
  CFont m_pListFont;
  std::string m_strRandomIdentifier;
  std::string m_strAdapterName;
  std::string m_strType;
  std::string m_strStore;
  std::string m_strValidLifetime = "infinite";
  std::string m_strPreferredLifetime = "infinite";
  std::vector<std::string> m_adapterNames;
  CAdapterRecord* m_pAdapters;
  CNetshRunner m_runner;
  MFCIPv6Control m_addressEdit;
  std::unique_ptr<CPropertyListCtrl> m_pPropertyList;
  int m_nAdapter;
  CWindow m_checkRaEui64;
};

}  // namespace vantoric
