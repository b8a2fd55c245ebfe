#include "dialogs/properties_tab_win32.h"

#include <commctrl.h>

#include "framework/utf8.h"

namespace vantoric {

namespace {

// The page step that the key hook hands to the tab; wParam is the step.
constexpr UINT WM_APP_STEP_PAGE = WM_APP + 0x20;

// The tab whose dialog takes Ctrl+Tab (the latest opened; the dialogs are
// the user interface thread's).
CIPV6PropertiesTab* g_pKeyTab = nullptr;

}  // namespace

CIPV6PropertiesTab::~CIPV6PropertiesTab() { StopPageKeys(); }

void CIPV6PropertiesTab::StopPageKeys() {
  if (m_hPageKeyHook == nullptr) return;
  ::UnhookWindowsHookEx(m_hPageKeyHook);
  m_hPageKeyHook = nullptr;
  if (g_pKeyTab == this) g_pKeyTab = m_pPreviousKeyTab;
}

LRESULT CALLBACK CIPV6PropertiesTab::PageKeyHook(int code, WPARAM wp, LPARAM lp) {
  CIPV6PropertiesTab* self = g_pKeyTab;
  MSG* msg = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && self != nullptr && msg->message == WM_KEYDOWN &&
      msg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0 && self->GetSafeHwnd() != nullptr) {
    HWND dialog = ::GetParent(self->GetSafeHwnd());
    if (msg->hwnd == dialog || ::IsChild(dialog, msg->hwnd)) {
      msg->hwnd = self->GetSafeHwnd();
      msg->message = WM_APP_STEP_PAGE;
      msg->wParam = ::GetKeyState(VK_SHIFT) < 0 ? static_cast<WPARAM>(-1) : 1;
      msg->lParam = 0;
    }
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

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

  if (m_hPageKeyHook == nullptr) {
    m_hPageKeyHook = ::SetWindowsHookExW(WH_GETMESSAGE, &CIPV6PropertiesTab::PageKeyHook, nullptr,
                                         ::GetCurrentThreadId());
    if (m_hPageKeyHook != nullptr) {
      m_pPreviousKeyTab = g_pKeyTab;
      g_pKeyTab = this;
    }
  }
}

std::string CIPV6PropertiesTab::GetPageTitle(int nPage) const {
  wchar_t title[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = title;
  item.cchTextMax = 64;
  SendMessage(TCM_GETITEMW, static_cast<WPARAM>(nPage), reinterpret_cast<LPARAM>(&item));
  return Narrow(title);
}

void CIPV6PropertiesTab::ShowPage(int nPage) {
  SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nPage));
  ShowSelectedPage(false);
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
    // The press selects the tab (the page follows at its notification);
    // a page that came by the mouse takes the focus.
    const int nBefore = m_nCurPage;
    const LRESULT result = CSubclassWindow::WindowProc(msg, wp, lp);
    OnLButtonDown();
    if (m_nCurPage != nBefore) ShowSelectedPage(true);
    return result;
  }
  if (msg == WM_APP_STEP_PAGE) {
    StepPage(static_cast<int>(static_cast<INT_PTR>(wp)));
    return 0;
  }
  if (msg == WM_DESTROY) StopPageKeys();
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

bool CIPV6PropertiesTab::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  // The selection changed by the mouse or by the arrow keys on the tabs:
  // the focus stays on the tabs while the user browses them.
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == TCN_SELCHANGE) {
    ShowSelectedPage(false);
    result = 0;
    return true;
  }
  return CSubclassWindow::OnReflectedMessage(msg, wp, lp, result);
}

void CIPV6PropertiesTab::OnLButtonDown() {
  const int nTab = static_cast<int>(SendMessage(TCM_GETCURFOCUS));
  if (nTab == m_nCurPage || nTab < 0 || nTab >= static_cast<int>(m_pages.size())) return;
  SendMessage(TCM_SETCURSEL, nTab);
  ShowSelectedPage(false);
}

void CIPV6PropertiesTab::StepPage(int nStep) {
  const int nCount = static_cast<int>(m_pages.size());
  if (nCount == 0) return;
  SendMessage(TCM_SETCURSEL, ((m_nCurPage + nStep) % nCount + nCount) % nCount);
  ShowSelectedPage(true);
}

void CIPV6PropertiesTab::ShowSelectedPage(bool bFocus) {
  const int nTab = static_cast<int>(SendMessage(TCM_GETCURSEL));
  if (nTab < 0 || nTab >= static_cast<int>(m_pages.size())) return;
  HWND page = m_pages[static_cast<size_t>(nTab)]->GetSafeHwnd();
  if (nTab != m_nCurPage) {
    ::ShowWindow(m_pages[static_cast<size_t>(m_nCurPage)]->GetSafeHwnd(), SW_HIDE);
    m_nCurPage = nTab;
    ::ShowWindow(page, SW_SHOW);
  }
  if (!bFocus) return;
  // The page's first control that takes the focus, as Tab would give it.
  HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
  HWND dialog = ::GetParent(m_hWnd);
  ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first != nullptr ? first : page), TRUE);
}

}  // namespace vantoric
