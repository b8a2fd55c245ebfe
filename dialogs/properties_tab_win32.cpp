#include "dialogs/properties_tab_win32.h"

#include <commctrl.h>

#include "dialogs/advanced_dns_dlg.h"
#include "dialogs/routes_page_dlg.h"
#include "dialogs/system_page_dlg.h"
#include "framework/utf8.h"

namespace vantoric {

CIPV6PropertiesTab::~CIPV6PropertiesTab() {
  // The pages go before the names that they were made from.
  m_pages.clear();
}

void CIPV6PropertiesTab::SetupPages(const std::vector<std::string>& adapterNames, CAdapterRecord* pAdapters,
                                    int nAdapterCount, CCommandHistory* pHistory) {
  m_pAdapters = pAdapters;
  m_nAdapterCount = nAdapterCount;
  m_adapterNames = adapterNames;
  auto dnsPage = std::make_unique<CAdvancedDNSDlg>(m_pAdapters, m_nAdapterCount, m_adapterNames);
  dnsPage->m_pHistory = pHistory;
  m_pages.push_back(std::move(dnsPage));
  auto routesPage = std::make_unique<CRoutesPage>(m_adapterNames);
  routesPage->m_pHistory = pHistory;
  m_pages.push_back(std::move(routesPage));
  auto systemPage = std::make_unique<CSystemPage>();
  systemPage->m_pHistory = pHistory;
  m_pages.push_back(std::move(systemPage));

  const char* const titles[] = {"DNS", "Routes", "System"};
  for (int i = 0; i < 3; ++i) {
    std::wstring title = Widen(titles[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessage(TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }

  // The dialog opens on the DNS page; the others wait hidden.
  m_nCurPage = 0;
  for (const auto& page : m_pages) page->Create(m_hWnd);
  PlacePages();
}

void CIPV6PropertiesTab::PlacePages() const {
  const RECT client = GetClientRect();
  RECT tab{};
  SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
  // Placed last, the first page ends on top of the others.
  for (size_t i = m_pages.size(); i-- > 0;) {
    HWND page = m_pages[i]->GetSafeHwnd();
    if (page == nullptr) continue;
    ::SetWindowPos(page, HWND_TOP, tab.left, tab.bottom + 1, client.right - tab.left - 1,
                   client.bottom - tab.bottom - 2, i == 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  }
}

LRESULT CIPV6PropertiesTab::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN) {
    const LRESULT result = CSubclassWindow::WindowProc(msg, wp, lp);
    OnLButtonDown();
    return result;
  }
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

void CIPV6PropertiesTab::OnLButtonDown() {
  const int nTab = static_cast<int>(SendMessage(TCM_GETCURFOCUS));
  if (nTab == m_nCurPage || nTab < 0 || nTab >= static_cast<int>(m_pages.size())) return;
  ::ShowWindow(m_pages[static_cast<size_t>(m_nCurPage)]->GetSafeHwnd(), SW_HIDE);
  m_nCurPage = nTab;
  HWND page = m_pages[static_cast<size_t>(m_nCurPage)]->GetSafeHwnd();
  ::ShowWindow(page, SW_SHOW);
  ::SetFocus(page);
}

}  // namespace vantoric
