#include "controls/hyperlink_win32.h"

#include <commctrl.h>

#include "framework/handles.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "framework/window_dpi.h"

namespace vantoric {

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// The property that marks a static as a link; its atom lives as long as
// the program.
class CLinkAtom {
 public:
  CLinkAtom() : m_atom(::GlobalAddAtomW(L"_Hyperlink_Object_Pointer_\\{AFEED740-CC6D-47c5-831D-9848FD916EEF}")) {}
  ~CLinkAtom() {
    if (m_atom != 0) ::GlobalDeleteAtom(m_atom);
  }
  CLinkAtom(const CLinkAtom&) = delete;
  CLinkAtom& operator=(const CLinkAtom&) = delete;
  LPCWSTR Name() const { return MAKEINTATOM(m_atom); }

 private:
  ATOM m_atom;
};

// What every link of the process shares: the property's atom, and the
// hover font and cursor, held while any link is attached.
struct CLinkShared {
  CLinkAtom atom;
  int nLinks = 0;
  CFont underlineFont;
  HCURSOR hCursor = nullptr;
};

// Created at the first link, not when the program starts.
CLinkShared& Shared() {
  static CLinkShared shared;
  return shared;
}

}  // namespace

CHyperLink::~CHyperLink() {
  if (m_bAttached && IsWindow()) Release();
}

HFONT CHyperLink::GetUnderlineFont() { return Shared().underlineFont.get(); }
HCURSOR CHyperLink::GetLinkCursor() { return Shared().hCursor; }

int CHyperLink::Attach(HWND hStatic) {
  if (hStatic == nullptr || m_bAttached) return 1;

  // Statics ignore the mouse unless they notify.
  ::SetWindowLongPtrW(hStatic, GWL_STYLE, ::GetWindowLongPtrW(hStatic, GWL_STYLE) | SS_NOTIFY);
  m_hOriginalFont = reinterpret_cast<HFONT>(::SendMessageW(hStatic, WM_GETFONT, 0, 0));

  CLinkShared& shared = Shared();
  if (shared.nLinks++ == 0) {
    LOGFONTW lf{};
    HGDIOBJ base = m_hOriginalFont != nullptr ? static_cast<HGDIOBJ>(m_hOriginalFont) : ::GetStockObject(SYSTEM_FONT);
    ::GetObjectW(base, sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    shared.underlineFont.reset(::CreateFontIndirectW(&lf));
    shared.hCursor = ::LoadCursorW(nullptr, IDC_HAND);
    if (shared.hCursor == nullptr) shared.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  }

  ::SetPropW(hStatic, shared.atom.Name(), reinterpret_cast<HANDLE>(this));
  Subclass(hStatic);
  m_bAttached = true;
  return 1;
}

void CHyperLink::Release() {
  ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hOriginalFont), FALSE);
  CLinkShared& shared = Shared();
  if (--shared.nLinks == 0) {
    shared.underlineFont.reset();
    shared.hCursor = nullptr;
  }
  ::RemovePropW(m_hWnd, shared.atom.Name());
  m_bAttached = false;
}

void CHyperLink::OnRescale() {
  const auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  CLinkShared& shared = Shared();
  LOGFONTW lf{};
  if (font == nullptr || font == shared.underlineFont.get() || ::GetObjectW(font, sizeof lf, &lf) == 0) return;
  m_hOriginalFont = font;
  lf.lfUnderline = TRUE;
  shared.underlineFont.reset(::CreateFontIndirectW(&lf));
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == MSG_DPICHANGED_AFTERPARENT) {
    OnRescale();
    return 0;
  }
  switch (msg) {
    case WM_DESTROY: {
      const LRESULT result = Default(msg, wp, lp);
      Release();
      return result;
    }
    case WM_SETFOCUS:
      OnHoverEnter();
      DrawFocusRect();
      return 0;
    case WM_KILLFOCUS:
      OnHoverLeave();
      DrawFocusRect();  // the focus rectangle is drawn inverted: this removes it
      return 0;
    case WM_SETCURSOR:
      ::SetCursor(Shared().hCursor);
      return TRUE;
    case WM_KEYUP:
      if (wp != VK_SPACE) break;
      OpenTarget();
      return 0;
    case WM_LBUTTONUP:
      OpenTarget();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(lp);
      return 0;
    case WM_CAPTURECHANGED:
      m_bHover = 0;
      OnHoverLeave();
      ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hOriginalFont), FALSE);
      ::InvalidateRect(m_hWnd, nullptr, FALSE);
      return 0;
    default:
      break;
  }
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

bool CHyperLink::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_CTLCOLORSTATIC) return false;
  // The parent's usual background, with the link's own text colour.
  result = ::DefWindowProcW(::GetParent(m_hWnd), msg, wp, lp);
  ::SetTextColor(reinterpret_cast<HDC>(wp), kLinkColour);
  return true;
}

void CHyperLink::OnMouseMove(LPARAM lp) {
  if (m_bHover == 0) {
    m_bHover = 1;
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(Shared().underlineFont.get()), FALSE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    OnHoverEnter();
    ::SetCapture(m_hWnd);
    return;
  }
  const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  const RECT client = GetClientRect();
  if (!::PtInRect(&client, pt)) ::ReleaseCapture();  // ends the hover through WM_CAPTURECHANGED
}

void CHyperLink::DrawFocusRect() const {
  HWND parent = ::GetParent(m_hWnd);
  if (parent == nullptr) return;
  RECT rc = GetWindowRect();
  ::InflateRect(&rc, 1, 1);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
  CClientDC dc(parent);
  ::DrawFocusRect(dc.get(), &rc);
}

void CHyperLink::OpenTarget() {
  // shell32 is loaded at the first click, not with the window.
  using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static const auto pfnShellExecute = GetSystemFunction<ShellExecuteFn>(L"shell32.dll", "ShellExecuteW");
  if (pfnShellExecute != nullptr)
    pfnShellExecute(nullptr, L"open", Widen(m_strTarget).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  m_bVisited = 1;
}

HWND CDemoLink::MainWindow() const { return ::GetAncestor(m_hWnd, GA_ROOT); }

void CDemoLink::OnHoverEnter() {
  const std::wstring text = Widen(GetTarget());
  ::SendMessageW(MainWindow(), WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CDemoLink::OnHoverLeave() { ::SendMessageW(MainWindow(), WM_SETMESSAGESTRING, IDS_IDLEMESSAGE, 0); }

}  // namespace vantoric
