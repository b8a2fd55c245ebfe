#include "framework/dialog_page.h"

namespace vantoric {

CDialogPage::CDialogPage(UINT nTemplateId)
    : CDialog(nTemplateId),
      m_hEscapeFilter(::SetWindowsHookExW(WH_MSGFILTER, &CDialogPage::EscapeFilter, nullptr, ::GetCurrentThreadId())) {}

CDialogPage::~CDialogPage() {
  if (m_hEscapeFilter != nullptr) ::UnhookWindowsHookEx(m_hEscapeFilter);
}

void CDialogPage::ForwardToHost(UINT nId) {
  HWND host = ::GetAncestor(m_hWnd, GA_ROOT);
  if (host != nullptr && host != m_hWnd)
    ::SendMessageW(host, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(host, nId)));
}

bool CDialogPage::IsInsidePage(HWND hwnd) {
  // Up through the child windows; the host, a top-level window, ends the walk.
  for (HWND h = hwnd; h != nullptr && (::GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) != 0; h = ::GetParent(h)) {
    if (dynamic_cast<CDialogPage*>(FromHandle(h)) != nullptr) return true;
  }
  return false;
}

LRESULT CALLBACK CDialogPage::EscapeFilter(int nCode, WPARAM wp, LPARAM lp) {
  auto* msg = reinterpret_cast<MSG*>(lp);
  if (nCode == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE &&
      IsInsidePage(msg->hwnd)) {
    ::TranslateMessage(msg);
    ::DispatchMessageW(msg);
    return TRUE;
  }
  // Each page has its own filter; the first one that finds a page acts.
  return ::CallNextHookEx(nullptr, nCode, wp, lp);
}

}  // namespace vantoric
