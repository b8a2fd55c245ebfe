#include "framework/dialog.h"

#include <commctrl.h>

#include <atomic>
#include <exception>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/message_box.h"
#include "framework/modal_wait.h"
#include "framework/utf8.h"
#include "framework/window_dpi.h"

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

std::atomic<bool> g_bInternalErrorShown{false};

// An exception stopped a handler halfway: its text goes to the debugger's
// output, and the user learns once per process that the last operation may
// be incomplete (every later one is logged only, so that a fault repeating
// on every message cannot bury the program under boxes).
void ReportInternalError(HWND hwnd, const char* what) {
  ++g_caughtExceptions;
  const std::string line = std::string("Vantoric: exception in a window procedure: ") + what + "\n";
  ::OutputDebugStringW(Widen(line).c_str());
  if (g_bInternalErrorShown.exchange(true)) return;
  HWND owner = hwnd != nullptr && ::IsWindow(hwnd) ? ::GetAncestor(hwnd, GA_ROOT) : nullptr;
  ShowMessage(owner,
              "An internal error occurred. The last operation may not have completed; press Refresh to see the "
              "machine's configuration.",
              MB_OK | MB_ICONERROR);
}

// Runs a handler; an exception that it throws is reported and returns false.
template <typename Handler>
bool RunGuarded(HWND hwnd, Handler&& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    ReportInternalError(hwnd, e.what());
  } catch (...) {
    ReportInternalError(hwnd, "unknown exception");
  }
  return false;
}

// The control that a notification to its parent is about, or nullptr.
HWND NotifyingControl(UINT msg, WPARAM wp, LPARAM lp, HWND parent) {
  switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY:
      return lp != 0 ? reinterpret_cast<const NMHDR*>(lp)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
      // A list view's header has the identifier 0: only the type tells a menu.
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      return item != nullptr && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM:
      return wp != 0 ? ::GetDlgItem(parent, static_cast<int>(wp)) : nullptr;
    default:
      return nullptr;
  }
}

// The framework's objects on this thread's controls. A control's subclass
// is found here rather than by asking comctl32, which keeps it in a window
// property: under Wine each property read is a round trip to the window
// server, and every WM_CTLCOLORSTATIC of a painting dialog asks.
struct CSubclassEntry {
  HWND control;
  CSubclassWindow* object;
};
thread_local std::vector<CSubclassEntry> t_subclasses;

void ForgetSubclass(HWND control) {
  std::erase_if(t_subclasses, [control](const CSubclassEntry& entry) { return entry.control == control; });
}

// The framework's object on a control, nullptr for a control without one.
CSubclassWindow* FindSubclassObject(HWND control) {
  for (const CSubclassEntry& entry : t_subclasses)
    if (entry.control == control) return entry.object;
  return nullptr;
}

// The position a dialog template gives, in dialog units; false when the
// template cannot be read.
bool TemplatePosition(UINT templateId, short& x, short& y, DWORD& style) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  HGLOBAL loaded = res != nullptr ? ::LoadResource(module, res) : nullptr;
  const auto* words = static_cast<const WORD*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
  if (words == nullptr) return false;
  if (words[0] == 1 && words[1] == 0xFFFF) {  // DLGTEMPLATEEX
    const auto* bytes = reinterpret_cast<const BYTE*>(words);
    style = *reinterpret_cast<const DWORD*>(bytes + 12);
    x = *reinterpret_cast<const short*>(bytes + 18);
    y = *reinterpret_cast<const short*>(bytes + 20);
    return true;
  }
  const auto* tmpl = reinterpret_cast<const DLGTEMPLATE*>(words);
  style = tmpl->style;
  x = tmpl->x;
  y = tmpl->y;
  return true;
}

}  // namespace

CDialog::~CDialog() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
    ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    if (!m_bModal) ::DestroyWindow(m_hWnd);
  }
}

long CDialog::GetCaughtExceptionCount() { return g_caughtExceptions.load(); }

CDialog* CDialog::FromHandle(HWND hwnd) {
  // Only a dialog's window has a dialog procedure and user data to read.
  if (::GetClassLongPtrW(hwnd, GCW_ATOM) != reinterpret_cast<ULONG_PTR>(WC_DIALOG)) return nullptr;
  if (::GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&CDialog::DialogProc)) return nullptr;
  return reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
}

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

void CDialog::OnDpiChanged(UINT nDpi, const RECT& rcSuggested) {
  const int fromDpi = static_cast<int>(GetWindowDpi(m_hWnd));
  if (nDpi != 0 && static_cast<int>(nDpi) != fromDpi) {
    SetWindowDpi(m_hWnd, nDpi);
    RescaleDialogContents(m_hWnd, static_cast<int>(nDpi), fromDpi, m_arrScaledFonts);
  }
  ::SetWindowPos(m_hWnd, nullptr, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
                 rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A top-level dialog that its template leaves at 0,0 opens where users
// expect it: over its owner, or the main window in the middle of its
// monitor's work area. Its size (perhaps a remembered one) is kept.
void CDialog::PlaceOnScreen() {
  short x = 0, y = 0;
  DWORD style = 0;
  if (!TemplatePosition(m_nTemplateId, x, y, style)) return;
  if (x != 0 || y != 0 || (style & (WS_CHILD | DS_CENTER)) != 0) return;
  const RECT rc = GetWindowRect();
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST),
                         &monitor))
    return;
  const RECT work = monitor.rcWork;
  RECT around = work;
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  int left = around.left + ((around.right - around.left) - width) / 2;
  int top = around.top + ((around.bottom - around.top) - height) / 2;
  // Kept on the work area, its top-left corner first when it is too large.
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    self->m_hWnd = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    // A top-level dialog records its resolution before its controls are
    // set up, so that they all measure for the same one.
    if ((::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
      SetWindowDpi(hwnd, GetWindowDpi(hwnd));
      TakeOverDialogScaling(hwnd);
    }
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  INT_PTR handled = FALSE;
  RunGuarded(hwnd, [&] {
    handled = self->Dispatch(msg, wp, lp);
    if (msg == WM_INITDIALOG) self->PlaceOnScreen();
  });
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    ForgetWindowDpi(hwnd);
    self->m_arrScaledFonts.clear();
    self->m_hWnd = nullptr;
  }
  return handled;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  bool handled = false;
  CApplication* app = CApplication::Current();
  if (msg == WM_SETCURSOR && IsThreadBusy()) {
    // A command runs: its windows are disabled, and say why by the cursor.
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    result = TRUE;
    handled = true;
  } else if (app != nullptr && app->GetMainWnd() == m_hWnd && app->PreTranslateMessage(m_hWnd, msg, wp, lp)) {
    handled = true;
  } else if (CSubclassWindow::ReflectToControl(m_hWnd, msg, wp, lp, result)) {
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
      case MSG_DPICHANGED:
        OnDpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
        handled = true;
        break;
      default:
        break;
    }
  }
  if (!handled) return FALSE;
  return Answer(msg, result);
}

INT_PTR CDialog::Answer(UINT msg, LRESULT result) {
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
  ForgetSubclass(hwnd);
  t_subclasses.push_back({hwnd, this});
  MeasureFixedItems();
  return true;
}

bool CSubclassWindow::CreateControl(const wchar_t* className, DWORD dwStyle, const RECT& rc, HWND hParent,
                                    int nId) {
  HWND hwnd = ::CreateWindowExW(0, className, L"", dwStyle, rc.left, rc.top, rc.right - rc.left,
                                rc.bottom - rc.top, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                ::GetModuleHandleW(nullptr), nullptr);
  if (hwnd == nullptr) return false;
  if (Subclass(hwnd)) return true;
  ::DestroyWindow(hwnd);
  return false;
}

void CSubclassWindow::MeasureFixedItems() {
  wchar_t className[16] = {};
  ::GetClassNameW(m_hWnd, className, 16);
  const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  MEASUREITEMSTRUCT measure{};
  UINT setHeight = 0;
  if (::lstrcmpiW(className, L"ListBox") == 0 && (style & LBS_OWNERDRAWFIXED) != 0) {
    measure.CtlType = ODT_LISTBOX;
    measure.itemHeight = static_cast<UINT>(SendMessage(LB_GETITEMHEIGHT, 0));
    setHeight = LB_SETITEMHEIGHT;
  } else if (::lstrcmpiW(className, L"ComboBox") == 0 && (style & CBS_OWNERDRAWFIXED) != 0) {
    measure.CtlType = ODT_COMBOBOX;
    measure.itemHeight = static_cast<UINT>(SendMessage(CB_GETITEMHEIGHT, 0));
    setHeight = CB_SETITEMHEIGHT;
  } else {
    return;
  }
  measure.CtlID = static_cast<UINT>(::GetDlgCtrlID(m_hWnd));
  LRESULT result = 0;
  if (OnReflectedMessage(WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure), result))
    SendMessage(setHeight, 0, MAKELPARAM(measure.itemHeight, 0));
}

LRESULT CSubclassWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

bool CSubclassWindow::OnReflectedMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void CSubclassWindow::Unsubclass() {
  if (m_bSubclassed && m_hWnd != nullptr) {
    ::RemoveWindowSubclass(m_hWnd, &CSubclassWindow::SubclassProc, kSubclassId);
    ForgetSubclass(m_hWnd);
  }
  m_bSubclassed = false;
}

LRESULT CSubclassWindow::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return ::DefSubclassProc(m_hWnd, msg, wp, lp);
}

bool CSubclassWindow::ReflectToControl(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND control = NotifyingControl(msg, wp, lp, parent);
  if (control == nullptr || control == parent || ::GetParent(control) != parent) return false;
  CSubclassWindow* object = FindSubclassObject(control);
  if (object == nullptr) return false;
  // A failing control leaves the notification to its parent.
  LRESULT answer = 0;
  bool bTaken = false;
  RunGuarded(control, [&] { bTaken = object->OnReflectedMessage(msg, wp, lp, answer); });
  if (bTaken) result = answer;
  return bTaken;
}

LRESULT CALLBACK CSubclassWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR /*id*/,
                                               DWORD_PTR refData) {
  auto* self = reinterpret_cast<CSubclassWindow*>(refData);
  LRESULT result = 0;
  const bool bDone = RunGuarded(hwnd, [&] {
    if (!ReflectToControl(hwnd, msg, wp, lp, result)) result = self->WindowProc(msg, wp, lp);
  });
  if (!bDone) result = ::DefSubclassProc(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &CSubclassWindow::SubclassProc, kSubclassId);
    ForgetSubclass(hwnd);
    self->m_bSubclassed = false;
    self->m_hWnd = nullptr;
  }
  return result;
}

}  // namespace vantoric
