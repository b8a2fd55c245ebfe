// The "Routes" page of Advanced Settings: the chosen adapter's IPv6 routes,
// the default routes first and in bold, with Add Route, Remove and Set
// Gateway. The route table is read when the page opens, when another
// adapter is chosen, after every command and when the system's addresses
// change (a router advertisement brings routes with its prefixes).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/sortable_list_win32.h"
#include "core/address_change_win32.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"
#include "core/route_records.h"
#include "framework/dialog_page.h"
#include "framework/handles.h"

namespace vantoric {

class CRoutesPage : public CDialogPage {
 public:
  // Chooser entry i is adapterNames[i].
  explicit CRoutesPage(std::vector<std::string> adapterNames);

  // Where the page's commands are recorded; none when nullptr.
  CCommandHistory* m_pHistory = nullptr;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnDestroy() override { m_watch.Stop(); }

  // Reads the route table and lists the chosen adapter's routes.
  void ReadRoutes();
  void OnAddRoute(bool bGateway);
  void OnRemove();
  // The chosen adapter's friendly name; empty when none is chosen.
  std::string ChosenName() const;
  HWND Host() const { return ::GetAncestor(m_hWnd, GA_ROOT); }

  std::vector<std::string> m_adapterNames;
  std::vector<CRouteRecord> m_routes;  // the listed rows; each row's caller value is its index here
  CBrekListCtrl m_listRoutes;
  CFont m_boldFont;
  CNetshRunner m_runner;
  CAddressChangeWatch m_watch;
};

}  // namespace vantoric
