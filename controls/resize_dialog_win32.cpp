#include "controls/resize_dialog_win32.h"

#include "framework/handles.h"
#include "framework/window_dpi.h"

namespace vantoric {

namespace {

constexpr char kProfileWidth[] = "CX";
constexpr char kProfileHeight[] = "CY";

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

// The work area (the screen without the task bar) of the monitor that
// holds most of the window. Unread, it stays empty, and a remembered size
// then gives way to the template's.
RECT WorkArea(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}
CLayoutSize WorkAreaSize(HWND hwnd) {
  const RECT work = WorkArea(hwnd);
  return {Width(work), Height(work)};
}

}  // namespace

RECT CResizeDialog::GripRect() const {
  const RECT client = GetClientRect();
  const int cx = ::GetSystemMetrics(SM_CXHSCROLL);
  const int cy = ::GetSystemMetrics(SM_CYVSCROLL);
  return RECT{client.right - cx, client.bottom - cy, client.right, client.bottom};
}

BOOL CResizeDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  // The window exists at its template size now. That size is the smallest
  // the user may drag it to, and its client size is the reference from
  // which the anchored controls are moved (the first size change).
  const RECT window = GetWindowRect();
  m_layout.SetMinTrackSize({Width(window), Height(window)});
  const RECT client = GetClientRect();
  int dx = 0;
  int dy = 0;
  m_layout.OnClientSize(false, {Width(client), Height(client)}, dx, dy);

  const RECT grip = GripRect();
  m_hGrip = ::CreateWindowExW(0, L"SCROLLBAR", nullptr,
                              WS_CHILD | WS_VISIBLE | SBS_SIZEBOX | SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEGRIP,
                              grip.left, grip.top, Width(grip), Height(grip), m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SIZE_GRIP)),
                              ::GetModuleHandleW(nullptr), nullptr);

  if (m_bRememberSize && m_pProfile != nullptr) {
    const std::string section = GetProfileSection();
    const int dpi = static_cast<int>(GetWindowDpi(m_hWnd));
    const CLayoutSize remembered{ScaleMetric(m_pProfile->GetProfileInt(section, kProfileWidth, 0), dpi),
                                 ScaleMetric(m_pProfile->GetProfileInt(section, kProfileHeight, 0), dpi)};
    const CLayoutSize size = FitRememberedSize(remembered, m_layout.GetMinTrackSize(), WorkAreaSize(m_hWnd));
    m_bSizeRestored = remembered.cx != 0 && remembered.cy != 0;
    if (size != m_layout.GetMinTrackSize())
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

void CResizeDialog::WidenAtFirstStart(int shortBy) {
  if (m_bSizeRestored) return;
  const RECT window = GetWindowRect();
  const RECT work = WorkArea(m_hWnd);
  const int width = FitFirstStartWidth(Width(window), shortBy, Width(work));
  if (width == Width(window)) return;
  // About the centre, then back inside the work area where it can be.
  int left = window.left - (width - Width(window)) / 2;
  if (left + width > work.right) left = work.right - width;
  if (left < work.left) left = work.left;
  ::SetWindowPos(m_hWnd, nullptr, left, window.top, width, Height(window), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CResizeDialog::OnSize(UINT nType, int cx, int cy) {
  if (m_hGrip != nullptr) {
    RECT rc{};
    ::GetWindowRect(m_hGrip, &rc);
    ::SetWindowPos(m_hGrip, nullptr, cx - Width(rc), cy - Height(rc), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int dx = 0;
  int dy = 0;
  if (m_layout.OnClientSize(nType == SIZE_MINIMIZED, {cx, cy}, dx, dy)) MoveAnchoredControls(dx, dy);
  if (nType != SIZE_MINIMIZED && m_bShowGrip) ::InvalidateRect(m_hWnd, &m_rcGrip, TRUE);
}

void CResizeDialog::MoveAnchoredControls(int dx, int dy) const {
  for (AnchorEntry entry : m_layout.GetAnchors()) {
    const unsigned flags = AnchorFlags(entry);
    HWND control = GetDlgItem(static_cast<int>(AnchorControlId(entry)));
    if (flags == 0 || control == nullptr) continue;
    const RECT rc = GetChildRect(control);
    const CLayoutRect moved = ApplyAnchor({rc.left, rc.top, rc.right, rc.bottom}, flags, dx, dy);
    ::MoveWindow(control, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top, TRUE);
  }
  // Moved group boxes and labels leave their old outlines on a dialog that
  // does not clip its children: repaint the whole client area once.
  if (dx != 0 || dy != 0)
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CResizeDialog::OnDpiChanged(UINT nDpi, const RECT& rcSuggested) {
  if (nDpi != 0) m_layout.Rescale(static_cast<int>(nDpi), static_cast<int>(GetWindowDpi(m_hWnd)));
  CDialog::OnDpiChanged(nDpi, rcSuggested);
}

bool CResizeDialog::OnPaint() {
  if (!m_bShowGrip) return false;
  { CPaintDC paint(m_hWnd); }
  m_rcGrip = GripRect();
  CClientDC dc(m_hWnd);
  ::DrawFrameControl(dc.get(), &m_rcGrip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  return true;
}

void CResizeDialog::OnDestroy() {
  if (m_bRememberSize && m_layout.ShouldRememberSize() && m_pProfile != nullptr) {
    // A window closed while minimised would report its icon's size;
    // remember the size it is restored to instead.
    RECT rc = GetWindowRect();
    WINDOWPLACEMENT placement{sizeof placement};
    if (::IsIconic(m_hWnd) && ::GetWindowPlacement(m_hWnd, &placement)) rc = placement.rcNormalPosition;
    const std::string section = GetProfileSection();
    const int dpi = static_cast<int>(GetWindowDpi(m_hWnd));
    m_pProfile->WriteProfileInt(section, kProfileWidth, ScaleMetric(Width(rc), DESIGN_DPI, dpi));
    m_pProfile->WriteProfileInt(section, kProfileHeight, ScaleMetric(Height(rc), DESIGN_DPI, dpi));
  }
  m_layout.Reset();
  m_hGrip = nullptr;
}

bool CResizeDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_GETMINMAXINFO: {
      if (!m_layout.HasMinTrackSize()) return false;
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMinTrackSize.x = m_layout.GetMinTrackSize().cx;
      info->ptMinTrackSize.y = m_layout.GetMinTrackSize().cy;
      result = 0;
      return true;
    }
    case WM_NCHITTEST: {
      const LRESULT hit = CallDefWindowProc(msg, wp, lp);
      if (hit != HTCLIENT || !m_bShowGrip) return false;
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      ::ScreenToClient(m_hWnd, &pt);
      const RECT grip = GripRect();
      if (!::PtInRect(&grip, pt)) return false;
      result = HTBOTTOMRIGHT;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vantoric
