#include "dialogs/properties_tab_win32.h"

#include <commctrl.h>

#include "framework/utf8.h"

namespace vantoric {

CIPV6PropertiesTab::~CIPV6PropertiesTab() = default;

void CIPV6PropertiesTab::AddPage(const std::string& title, std::unique_ptr<CSettingsPage> page,
                                 CCommandHistory* pHistory) {
  std::wstring text = Widen(title);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  const auto nTab = static_cast<WPARAM>(m_pages.size());
  SendMessage(TCM_INSERTITEMW, nTab, reinterpret_cast<LPARAM>(&item));
  page->m_pHistory = pHistory;
  page->Create(m_hWnd);
  m_pages.push_back(std::move(page));
}

void CIPV6PropertiesTab::ShowFirstPage() {
  m_nCurPage = 0;
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
