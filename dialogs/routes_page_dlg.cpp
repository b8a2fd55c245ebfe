#include "dialogs/routes_page_dlg.h"

#include <commctrl.h>

#include <utility>

#include "core/connection_guard_win32.h"
#include "core/route_selection.h"
#include "dialogs/add_route_dlg.h"
#include "dialogs/guard_prompt_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource_route_dialogs.h"

namespace vantoric {

namespace {

constexpr char kRemoveCaption[] = "Remove Route";
constexpr char kNotSupported[] =
    "Routes cannot be listed on this version of Windows. Add Route and Set Gateway still work.";
constexpr char kReadFailed[] = "The route table could not be read: ";

}  // namespace

CRoutesPage::CRoutesPage(std::vector<std::string> adapterNames)
    : CAdapterSettingsPage(IDD_ROUTES, IDC_COMBO_ROUTE_INTERFACE, std::move(adapterNames)) {}

void CRoutesPage::OnInitPage() {
  m_listRoutes.SubclassDlgItem(IDC_LIST_ROUTES, m_hWnd);
  // The route table does not tell a route's store: no column for it.
  m_listRoutes.SetColumns("Destination, 110;Next hop, 100;Metric, 2, 45;Valid Life, 65;Pref. Life, 65;Origin, 90");
  m_listRoutes.FitColumnsToList();
  // The default routes stand out in the list's own font, made bold.
  LOGFONTW lf{};
  HFONT listFont = reinterpret_cast<HFONT>(m_listRoutes.SendMessage(WM_GETFONT));
  if (listFont == nullptr) listFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (::GetObjectW(listFont, sizeof lf, &lf) != 0) {
    lf.lfWeight = FW_BOLD;
    m_boldFont.reset(::CreateFontIndirectW(&lf));
  }
  // A router advertisement brings routes with its prefixes.
  FollowSystemChanges();
}

void CRoutesPage::OnSystemChanged() {
  // The highlight stays on the same route: destination and next hop.
  const int row = m_listRoutes.GetFirstSelectedItem();
  const CListItemData* pData = row >= 0 ? m_listRoutes.GetItemData(row) : nullptr;
  const bool bSelected = pData != nullptr && pData->m_dwData < m_routes.size();
  const CRouteRecord selected = bSelected ? m_routes[pData->m_dwData] : CRouteRecord();
  ReadAgain();
  const int index = bSelected ? FindRoute(m_routes, selected.m_strDestination, selected.m_strNextHopAddress) : -1;
  for (int i = 0; index >= 0 && i < m_listRoutes.GetItemCount(); ++i) {
    const CListItemData* pShown = m_listRoutes.GetItemData(i);
    if (pShown != nullptr && pShown->m_dwData == static_cast<DWORD>(index)) m_listRoutes.SelectItem(i);
  }
}

void CRoutesPage::ReadAgain() {
  m_listRoutes.DeleteAllItems();
  m_routes.clear();
  const std::string name = ChosenName();
  EnableItem(IDC_BUTTON_ADD_ROUTE, !name.empty());
  EnableItem(IDC_BUTTON_SET_GATEWAY, !name.empty());
  const CRouteTableReading reading = ReadRouteTable();
  std::uint64_t id = 0;
  std::string note;
  if (reading.m_state == RouteTableState::NotSupported) {
    note = kNotSupported;
  } else if (reading.m_state == RouteTableState::Failed) {
    note = kReadFailed + GetSystemMessage(reading.m_nError);
  } else if (!name.empty() && ReadInterfaceId(name, id)) {
    m_routes = MakeRouteRecords(reading.m_routes, id);
  }
  SetDlgItemText(IDC_STATIC_ROUTES_NOTE, note);
  ::ShowWindow(GetDlgItem(IDC_STATIC_ROUTES_NOTE), note.empty() ? SW_HIDE : SW_SHOW);
  ::ShowWindow(m_listRoutes.GetSafeHwnd(), note.empty() ? SW_SHOW : SW_HIDE);
  for (size_t i = 0; i < m_routes.size(); ++i) {
    const CRouteRecord& route = m_routes[i];
    const std::string metric = std::to_string(route.m_nMetric);
    m_listRoutes.AddItem(static_cast<int>(i), route.m_strDestination,
                         {route.m_strNextHop.c_str(), metric.c_str(), route.m_strValidLifetime.c_str(),
                          route.m_strPreferredLifetime.c_str(), route.m_strOrigin.c_str()},
                         static_cast<DWORD>(i));
  }
  EnableItem(IDC_BUTTON_REMOVE_ROUTE, !m_routes.empty());
}

void CRoutesPage::OnAddRoute(bool bGateway) {
  const std::string name = ChosenName();
  if (name.empty()) return;
  CAddRouteDlg dlg(name, bGateway);
  dlg.m_pHistory = m_pHistory;
  if (dlg.DoModal(Host()) == IDOK) ReadAgain();
}

void CRoutesPage::OnRemove() {
  const int row = m_listRoutes.GetFirstSelectedItem();
  const CListItemData* pData = row >= 0 ? m_listRoutes.GetItemData(row) : nullptr;
  if (pData == nullptr || pData->m_dwData >= m_routes.size()) {
    ShowMessage(Host(), "You have not selected an item. Select one first.", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const CRouteRecord route = m_routes[pData->m_dwData];
  const std::string name = ChosenName();
  const CGuardVerdict guard = CheckDefaultRouteRemoval(
      m_routes, route, name, CountConnectionsBeyondLink(ReadEstablishedConnections(), m_routes));
  if (guard.m_outcome != GuardOutcome::Proceed) {
    if (!PassGuard(Host(), guard, kRemoveCaption)) return;
  } else if (ShowMessage(Host(), "Are you sure you want to remove the route to " + route.m_strDestination + " (" +
                                     route.m_strNextHop + ")?",
                         MB_YESNO | MB_ICONQUESTION, kRemoveCaption) != IDYES) {
    return;
  }
  CChange change = MakeDeleteRouteChange(name, route);
  change.m_strOriginBefore = route.m_strOrigin;
  change.m_nReadingTime = CurrentUnixTime();
  const CNetshResult result = RunChange(change);
  if (!result.Succeeded()) {
    ReportNetshFailure(Host(), result, kRemoveCaption, "Removing the route is cancelled.", kRemoveCaption);
    return;
  }
  ShowMessage(Host(), "The route was removed.", MB_OK | MB_ICONINFORMATION, kRemoveCaption);
  ReadAgain();
}

bool CRoutesPage::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_BUTTON_ADD_ROUTE:
      if (nCode == BN_CLICKED) OnAddRoute(false);
      return true;
    case IDC_BUTTON_SET_GATEWAY:
      if (nCode == BN_CLICKED) OnAddRoute(true);
      return true;
    case IDC_BUTTON_REMOVE_ROUTE:
      if (nCode == BN_CLICKED) OnRemove();
      return true;
  }
  return CAdapterSettingsPage::OnCommand(nId, nCode, hCtl);
}

bool CRoutesPage::OnNotify(NMHDR* pHdr, LRESULT& result) {
  if (pHdr->idFrom != IDC_LIST_ROUTES || pHdr->code != NM_CUSTOMDRAW) return CAdapterSettingsPage::OnNotify(pHdr, result);
  auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pHdr);
  if (pDraw->nmcd.dwDrawStage == CDDS_PREPAINT) {
    result = CDRF_NOTIFYITEMDRAW;
    return true;
  }
  result = CDRF_DODEFAULT;
  if (pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && m_boldFont) {
    const CListItemData* pData = m_listRoutes.GetItemData(static_cast<int>(pDraw->nmcd.dwItemSpec));
    if (pData != nullptr && pData->m_dwData < m_routes.size() && m_routes[pData->m_dwData].m_bDefault) {
      ::SelectObject(pDraw->nmcd.hdc, m_boldFont.get());
      result = CDRF_NEWFONT;
    }
  }
  return true;
}

}  // namespace vantoric
