#include "framework/dialog.h"

#include <commctrl.h>

#include <atomic>

#include "framework/application.h"

namespace vantoric {

namespace {

std::atomic<long> g_caughtExceptions{0};

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

constexpr UINT_PTR kSubclassId = 0x56544F52;  // 'VTOR'

}  // namespace

CDialog::~CDialog() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
    ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    if (!m_bModal) ::DestroyWindow(m_hWnd);
  }
}

long CDialog::GetCaughtExceptionCount() { return g_caughtExceptions.load(); }

INT_PTR CDialog::DoModal(HWND hParent) {
  m_bModal = true;
  const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId),
                                           hParent, &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return result;
}

HWND CDialog::Create(HWND hParent) {
  m_bModal = false;
  return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), hParent,
                              &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR nResult) {
  if (m_bModal)
    ::EndDialog(m_hWnd, nResult);
  else
    DestroyWindow();
}

void CDialog::DestroyWindow() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CDialog::OnCommand(UINT nId, UINT nCode, HWND /*hCtl*/) {
  if (nCode != BN_CLICKED) return false;
  if (nId == IDOK) {
    OnOK();
    return true;
  }
  if (nId == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

bool CDialog::OnNotify(NMHDR* /*pHdr*/, LRESULT& /*result*/) { return false; }
void CDialog::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) {}
void CDialog::OnTimer(UINT_PTR /*nId*/) {}
bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CDialog::Default(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(m_hWnd, msg, wp, lp); }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    self->m_hWnd = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  try {
    const INT_PTR handled = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
      ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      self->m_hWnd = nullptr;
    }
    return handled;
  } catch (...) {
    ++g_caughtExceptions;
    return FALSE;
  }
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  bool handled = false;
  CApplication* app = CApplication::Current();
  if (app != nullptr && app->GetMainWnd() == m_hWnd && app->PreTranslateMessage(m_hWnd, msg, wp, lp)) {
    handled = true;
  } else if (OnMessage(msg, wp, lp, result)) {
    handled = true;
  } else {
    switch (msg) {
      case WM_INITDIALOG:
        return OnInitDialog();
      case WM_COMMAND:
        handled = OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        break;
      case WM_NOTIFY:
        handled = OnNotify(reinterpret_cast<NMHDR*>(lp), result);
        break;
      case WM_SIZE:
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        handled = true;
        break;
      case WM_PAINT:
        handled = OnPaint();
        break;
      case WM_TIMER:
        OnTimer(wp);
        handled = true;
        break;
      case WM_CLOSE:
        OnClose();
        handled = true;
        break;
      case WM_DESTROY:
        OnDestroy();
        break;
      default:
        break;
    }
  }
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}

CSubclassWindow::~CSubclassWindow() { Unsubclass(); }

bool CSubclassWindow::Subclass(HWND hwnd) {
  if (hwnd == nullptr || m_bSubclassed) return false;
  if (!::SetWindowSubclass(hwnd, &CSubclassWindow::SubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this)))
    return false;
  m_hWnd = hwnd;
  m_bSubclassed = true;
  return true;
}

void CSubclassWindow::Unsubclass() {
  if (m_bSubclassed && m_hWnd != nullptr)
    ::RemoveWindowSubclass(m_hWnd, &CSubclassWindow::SubclassProc, kSubclassId);
  m_bSubclassed = false;
}

LRESULT CSubclassWindow::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return ::DefSubclassProc(m_hWnd, msg, wp, lp);
}

LRESULT CALLBACK CSubclassWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR /*id*/,
                                               DWORD_PTR refData) {
  auto* self = reinterpret_cast<CSubclassWindow*>(refData);
  LRESULT result = 0;
  try {
    result = self->WindowProc(msg, wp, lp);
  } catch (...) {
    ++g_caughtExceptions;
    result = ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &CSubclassWindow::SubclassProc, kSubclassId);
    self->m_bSubclassed = false;
    self->m_hWnd = nullptr;
  }
  return result;
}

}  // namespace vantoric
