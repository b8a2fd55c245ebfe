#include "controls/ipv6_control_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/accessible_object.h"
#include "framework/utf8.h"
#include "framework/window_dpi.h"

namespace vantoric {

static_assert(IPV6_KEY_BACK == VK_BACK && IPV6_KEY_TAB == VK_TAB && IPV6_KEY_SHIFT == VK_SHIFT &&
              IPV6_KEY_END == VK_END && IPV6_KEY_HOME == VK_HOME && IPV6_KEY_LEFT == VK_LEFT &&
              IPV6_KEY_UP == VK_UP && IPV6_KEY_RIGHT == VK_RIGHT && IPV6_KEY_DOWN == VK_DOWN &&
              IPV6_KEY_INSERT == VK_INSERT && IPV6_KEY_DELETE == VK_DELETE && IPV6_KEY_OEM_1 == VK_OEM_1 &&
              IPV6_KEY_OEM_PERIOD == VK_OEM_PERIOD);

MFCIPv6Control::~MFCIPv6Control() {
  // The edit must not draw with the font after it is gone.
  if (IsWindow()) SendMessage(WM_SETFONT, 0, FALSE);
}

bool MFCIPv6Control::CreateFromPlaceholder(HWND hParent, int nPlaceholderId, int nPreviewId) {
  HWND placeholder = ::GetDlgItem(hParent, nPlaceholderId);
  if (placeholder == nullptr) return false;
  RECT rc = CWindow(hParent).GetChildRect(placeholder);
  HWND previous = ::GetWindow(placeholder, GW_HWNDPREV);
  ::SetFocus(placeholder);
  ::DestroyWindow(placeholder);
  if (!Create(hParent, rc, IDC_IPV6_ADDRESS)) return false;
  ::SetWindowPos(m_hWnd, previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  m_nOptions = IPV6_OPTION_PREVIEW;
  m_nPreviewId = nPreviewId;
  Initialize();
  return true;
}

bool MFCIPv6Control::Create(HWND hParent, const RECT& rc, int nId) {
  // Without ES_AUTOHSCROLL a single-line edit refuses text wider than
  // itself, and a narrow control (or a wide font) would cut the mask.
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
  return CreateControl(L"EDIT", style, rc, hParent, nId);
}

int MFCIPv6Control::Initialize() {
  m_bPreview = IsPreviewOption(m_nOptions);
  SetWindowText(IPV6_EMPTY_MASK);
  SendMessage(WM_SETFONT, ::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0), TRUE);
  SendMessage(EM_LIMITTEXT, IPV6_TEXT_LENGTH);
  // A cell 6 by 18 pixels at 96 dots per inch for every character of the
  // mask, in proportion at the window's resolution.
  m_font.reset(::CreateFontW(ScaleToWindow(m_hWnd, 18), ScaleToWindow(m_hWnd, 6), 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, L"Courier New"));
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
  return 1;
}

void MFCIPv6Control::ResetGroups() {
  m_bPreview = IsPreviewOption(m_nOptions);
  m_model.ResetGroups();
}

void MFCIPv6Control::ApplyGroupsToText() {
  ReplaceText(m_model.ApplyGroupsToText(ReadText()));
  if (m_bPreview) WritePreview();
  SyncGroupsFromText();
}

void MFCIPv6Control::SyncGroupsFromText() {
  m_model.SyncGroupsFromText(ReadText());
  if (m_bPreview) WritePreview();
}

bool MFCIPv6Control::SetAddressText(std::string_view text) { return m_model.SetAddressText(text, StandardOutput()); }
bool MFCIPv6Control::SetPrefixText(std::string_view text) { return m_model.SetPrefixText(text, StandardOutput()); }
bool MFCIPv6Control::SetInterfaceIdText(std::string_view text) {
  return m_model.SetInterfaceIdText(text, StandardOutput());
}

std::string MFCIPv6Control::ReadText() const {
  const int len = ::GetWindowTextLengthW(m_hWnd);
  std::wstring wide(static_cast<size_t>(std::max(len, 0)) + 1, L'\0');
  wide.resize(static_cast<size_t>(std::max(::GetWindowTextW(m_hWnd, wide.data(), len + 1), 0)));
  // Columns are UTF-16 units; anything beyond ASCII is no digit anyway.
  std::string text(wide.size(), '?');
  std::transform(wide.begin(), wide.end(), text.begin(),
                 [](wchar_t c) { return c < 0x80 ? static_cast<char>(c) : '?'; });
  return text;
}

void MFCIPv6Control::LoadEditState() {
  DWORD start = 0, end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  m_edit.Load(ReadText(), static_cast<int>(start), static_cast<int>(end));
}

void MFCIPv6Control::ReplaceText(const std::string& text) {
  SendMessage(EM_SETSEL, 0, -1);
  SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void MFCIPv6Control::WritePreview() {
  ::SetDlgItemTextW(::GetParent(m_hWnd), m_nPreviewId, Widen(FormatCompressed()).c_str());
}

int MFCIPv6Control::ColumnAt(int x) const {
  // The column under x on the first text line.
  const LRESULT origin = SendMessage(EM_POSFROMCHAR, 0);
  const int y = static_cast<short>(HIWORD(origin)) + 1;
  const LRESULT hit = SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM(std::max(x, 0), std::max(y, 0)));
  return static_cast<int>(LOWORD(hit));
}

LRESULT MFCIPv6Control::Carry(const CIpv6EditResult& result, UINT msg, WPARAM wp, LPARAM lp) {
  if (result.bTextChanged) ReplaceText(m_edit.GetText());
  if (result.bTextChanged || result.bSelectionChanged) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(m_edit.GetSelStart()), m_edit.GetSelEnd());
    SendMessage(EM_SCROLLCARET);
  }
  if (result.bSync) SyncGroupsFromText();
  const LRESULT answer = result.bDefault ? Default(msg, wp, lp) : 0;
  if (result.bRepaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
  if (result.nLeaveField != 0)
    ::SendMessageW(::GetParent(m_hWnd), WM_NEXTDLGCTL, result.nLeaveField < 0 ? TRUE : FALSE, FALSE);
  return answer;
}

LRESULT MFCIPv6Control::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CHAR:
      LoadEditState();
      return Carry(m_edit.OnChar(static_cast<unsigned>(wp)), msg, wp, lp);
    case WM_KEYDOWN:
      LoadEditState();
      return Carry(m_edit.OnKeyDown(static_cast<unsigned>(wp)), msg, wp, lp);
    case WM_KEYUP:
      LoadEditState();
      return Carry(m_edit.OnKeyUp(static_cast<unsigned>(wp)), msg, wp, lp);
    case WM_LBUTTONDOWN:
      return OnLButtonDown(wp, lp);
    case WM_MOUSEMOVE:
      return OnMouseMove(wp, lp);
    case WM_LBUTTONUP:
      LoadEditState();
      return Carry(m_edit.OnLButtonUp(), msg, wp, lp);
    case WM_LBUTTONDBLCLK:
      LoadEditState();
      return Carry(m_edit.OnLButtonDblClk(), msg, wp, lp);
    case WM_SETFOCUS:
      return OnSetFocus(wp, lp);
    case WM_GETDLGCODE:
      // Tab, Enter and Escape reach the control; the dialog does not act on them.
      return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_GETOBJECT:
      return OnGetObject(wp, lp);
    case WM_PASTE:
      return 1;
    case WM_CUT:
    case WM_CLEAR:
      // The edit's own menu would change the text past the editing rules.
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      return OnUndo(msg, wp, lp);
    default:
      return CSubclassWindow::WindowProc(msg, wp, lp);
  }
}

LRESULT MFCIPv6Control::OnLButtonDown(WPARAM wp, LPARAM lp) {
  const LRESULT answer = Default(WM_LBUTTONDOWN, wp, lp);
  LoadEditState();
  Carry(m_edit.OnLButtonDown(), WM_LBUTTONDOWN, wp, lp);
  return answer;
}

LRESULT MFCIPv6Control::OnMouseMove(WPARAM wp, LPARAM lp) {
  if (!m_edit.IsMouseDown()) return 0;
  LoadEditState();
  return Carry(m_edit.OnMouseMove(ColumnAt(GET_X_LPARAM(lp)), (wp & MK_LBUTTON) != 0), WM_MOUSEMOVE, wp, lp);
}

LRESULT MFCIPv6Control::OnSetFocus(WPARAM wp, LPARAM lp) {
  const LRESULT answer = Default(WM_SETFOCUS, wp, lp);
  LoadEditState();
  Carry(m_edit.OnSetFocus(), WM_SETFOCUS, wp, lp);
  return answer;
}

LRESULT MFCIPv6Control::OnGetObject(WPARAM wp, LPARAM lp) {
  // A screen reader reads the address as it is written, not the mask.
  const CAccessibleTexts texts{{}, [this](long nChild, std::wstring& text) {
                                 if (nChild != CHILDID_SELF) return false;
                                 text = Widen(FormatCompressed());
                                 return true;
                               }};
  LRESULT answer = 0;
  if (AnswerAccessibleObject(m_hWnd, wp, lp, texts, answer)) return answer;
  return Default(WM_GETOBJECT, wp, lp);
}

LRESULT MFCIPv6Control::OnUndo(UINT msg, WPARAM wp, LPARAM lp) {
  // Undo brings back the whole text before the last change, a mask as
  // well; the slots and the preview follow it.
  const LRESULT answer = Default(msg, wp, lp);
  SyncGroupsFromText();
  return answer;
}

}  // namespace vantoric
