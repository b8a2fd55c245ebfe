#include "framework/modal_wait.h"

namespace vantoric {

namespace {

// The windows are the user interface thread's; only that thread waits.
int g_nBusyWindows = 0;

// The window under the mouse shows its cursor now, when it is this
// thread's: the mouse need not move for a wait to show or end.
void UpdateCursorNow() {
  POINT pt{};
  if (!::GetCursorPos(&pt)) return;
  HWND under = ::WindowFromPoint(pt);
  if (under == nullptr || ::GetWindowThreadProcessId(under, nullptr) != ::GetCurrentThreadId()) return;
  const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace

bool IsThreadBusy() { return g_nBusyWindows > 0; }

bool WaitPumpingMessages(HANDLE h, DWORD timeoutMs) {
  // Differences of GetTickCount stay right across its wrap-around, and the
  // call exists on every system the program runs on.
  const DWORD start = ::GetTickCount();
  bool bQuit = false;
  WPARAM quitCode = 0;
  bool bSignalled = false;
  for (;;) {
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) {
      bSignalled = ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
      break;
    }
    const DWORD r = ::MsgWaitForMultipleObjectsEx(1, &h, timeoutMs - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r == WAIT_OBJECT_0) {
      bSignalled = true;
      break;
    }
    if (r == WAIT_FAILED) break;
    if (r != WAIT_OBJECT_0 + 1) continue;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        bQuit = true;
        quitCode = msg.wParam;
        continue;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (bQuit) ::PostQuitMessage(static_cast<int>(quitCode));
  return bSignalled;
}

CBusyWindow::CBusyWindow(HWND hwnd) : m_hwnd(hwnd) {
  if (g_nBusyWindows++ == 0) UpdateCursorNow();
  if (m_hwnd == nullptr || !::IsWindow(m_hwnd) || !::IsWindowEnabled(m_hwnd)) return;
  HWND focus = ::GetFocus();
  if (focus != nullptr && (focus == m_hwnd || ::IsChild(m_hwnd, focus))) m_hFocus = focus;
  ::EnableWindow(m_hwnd, FALSE);
  m_bDisabled = true;
}

CBusyWindow::~CBusyWindow() {
  if (--g_nBusyWindows == 0) UpdateCursorNow();
  if (!m_bDisabled || !::IsWindow(m_hwnd)) return;
  ::EnableWindow(m_hwnd, TRUE);
  if (m_hFocus == nullptr || !::IsWindow(m_hFocus) || !::IsWindowEnabled(m_hFocus)) return;
  // In a dialog WM_NEXTDLGCTL also moves the default-button highlight.
  if (static_cast<ATOM>(::GetClassLongPtrW(m_hwnd, GCW_ATOM)) == 32770 && m_hFocus != m_hwnd)
    ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hFocus), TRUE);
  else
    ::SetFocus(m_hFocus);
}

}  // namespace vantoric
