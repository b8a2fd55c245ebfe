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
#include "core/route_records.h"
#include "dialogs/settings_page_win32.h"
#include "framework/handles.h"

namespace vantoric {

class CRoutesPage : public CAdapterSettingsPage {
 public:
  // Chooser entry i is adapterNames[i].
  explicit CRoutesPage(std::vector<std::string> adapterNames);

 protected:
  void OnInitPage() override;
  // Reads the route table and lists the chosen adapter's routes.
  void ReadAgain() override;
  // A change notice reads again and keeps the highlighted route.
  void OnSystemChanged() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override;

  void OnAddRoute(bool bGateway);
  void OnRemove();

  std::vector<CRouteRecord> m_routes;  // the listed rows; each row's caller value is its index here
  CBrekListCtrl m_listRoutes;
  CFont m_boldFont;
};

}  // namespace vantoric
