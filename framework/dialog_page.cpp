#include "framework/dialog_page.h"

namespace vantoric {

void CDialogPage::ForwardToHost(UINT nId) {
  HWND host = ::GetAncestor(m_hWnd, GA_ROOT);
  if (host != nullptr && host != m_hWnd)
    ::SendMessageW(host, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(host, nId)));
}

}  // namespace vantoric
