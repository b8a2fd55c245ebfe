#include "controls/property_list_win32.h"

#include <cstdlib>

#include "core/lifetime_text_win32.h"
#include "framework/accessible_object.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

constexpr int kComboButtonWidth = 17;

static_assert(PROPERTY_KEY_TAB == VK_TAB && PROPERTY_KEY_RETURN == VK_RETURN && PROPERTY_KEY_ESCAPE == VK_ESCAPE &&
              PROPERTY_KEY_UP == VK_UP && PROPERTY_KEY_DOWN == VK_DOWN && PROPERTY_KEY_F2 == VK_F2 &&
              PROPERTY_KEY_F4 == VK_F4);

HFONT MakeListFont(HWND list, int nWeight) {
  return ::CreateFontW(ScaleToWindow(list, 14), 0, 0, 0, nWeight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"ARIAL");
}

UINT NameAlignment(int nNameFormat) {
  switch (nNameFormat) {
    case 1:
      return DT_CENTER;
    case 2:
      return DT_RIGHT;
    default:
      return DT_LEFT;
  }
}

std::wstring ItemText(HWND list, int nIndex) {
  const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
  if (len == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  const LRESULT got =
      ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

void Show(const std::unique_ptr<CKeyedWindow>& window, int nCmd) {
  if (window) ::ShowWindow(window->GetSafeHwnd(), nCmd);
}

}  // namespace

CPropertyListCtrl::CPropertyListCtrl()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crSelText(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      m_crEditorText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crGrid(RGB(192, 192, 192)),
      m_crBk(::GetSysColor(COLOR_WINDOW)),
      m_crSel(::GetSysColor(COLOR_HIGHLIGHT)),
      m_crEditorBk(::GetSysColor(COLOR_WINDOW)) {}

CPropertyListCtrl::~CPropertyListCtrl() {
  // The windows must not draw with the fonts after they are gone.
  for (CWindow* child : {static_cast<CWindow*>(m_pEdit.get()), static_cast<CWindow*>(m_pDropList.get()),
                         static_cast<CWindow*>(m_pComboButton.get())}) {
    if (child != nullptr && child->IsWindow()) ::DestroyWindow(child->GetSafeHwnd());
  }
  if (IsWindow()) SendMessage(WM_SETFONT, 0, FALSE);
}

bool CPropertyListCtrl::Create(DWORD dwStyle, const RECT& rc, HWND hParent, UINT nId) {
  if (!CreateControl(L"LISTBOX", dwStyle, rc, hParent, static_cast<int>(nId))) return false;
  OnCreate();
  return true;
}

void CPropertyListCtrl::OnCreate() {
  m_nDpi = static_cast<int>(GetWindowDpi(m_hWnd));
  m_ownedFont.reset(MakeListFont(m_hWnd, FW_NORMAL));
  m_pFont = m_ownedFont.get();
  m_pBoldFont.reset(MakeListFont(m_hWnd, FW_BOLD));
  m_pGridPen.reset(::CreatePen(PS_SOLID, 1, m_crGrid));
  m_pSelBrush.reset(::CreateSolidBrush(m_crSel));
  m_pBkBrush.reset(::CreateSolidBrush(m_crBk));
  SetItemHeight(ScaleMetric(16, m_nDpi));
}

void CPropertyListCtrl::SetItemHeight(int nHeight) {
  m_nItemHeight = nHeight;
  if (IsWindow()) SendMessage(LB_SETITEMHEIGHT, 0, MAKELPARAM(nHeight, 0));
}

void CPropertyListCtrl::SetListFont(HFONT font) {
  LOGFONTW lf{};
  if (font == nullptr || ::GetObjectW(font, sizeof lf, &lf) == 0) return;
  m_pFont = font;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  // Editors made earlier would otherwise keep a font that is deleted next.
  for (CWindow* editor : {static_cast<CWindow*>(m_pEdit.get()), static_cast<CWindow*>(m_pDropList.get())}) {
    if (editor != nullptr) editor->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  m_ownedFont.reset();
  lf.lfWeight = FW_BOLD;
  m_pBoldFont.reset(::CreateFontIndirectW(&lf));
  SetItemHeight(std::abs(lf.lfHeight) + 2);
}

void CPropertyListCtrl::SetBkColor(COLORREF cr) {
  m_crBk = cr;
  m_pBkBrush.reset(::CreateSolidBrush(cr));
}

void CPropertyListCtrl::SetHighlightColor(COLORREF cr) {
  m_crSel = cr;
  m_pSelBrush.reset(::CreateSolidBrush(cr));
}

void CPropertyListCtrl::SetEditorBkColor(COLORREF cr) {
  m_crEditorBk = cr;
  m_pEditorBrush.reset(::CreateSolidBrush(cr));
}

void CPropertyListCtrl::SetLineColor(COLORREF cr) {
  m_crGrid = cr;
  m_pGridPen.reset(::CreatePen(PS_SOLID, 1, cr));
}

bool CPropertyListCtrl::AddProperty(int nKind, std::string_view name, std::string_view value, int nInitialChoice,
                                    int nNameFormat, bool bSorted) {
  const std::wstring wideName = Widen(name);
  SIZE size{};
  {
    CClientDC dc(m_hWnd);
    CSelectObject bold(dc.get(), m_pBoldFont.get());
    ::GetTextExtentPoint32W(dc.get(), wideName.c_str(), static_cast<int>(wideName.size()), &size);
  }
  // The rows add their padding in pixels at 96 dots per inch; the rest of
  // it at this resolution comes with the measured width.
  const int padding = ScaleMetric(PROPERTY_NAME_PADDING, m_nDpi) - PROPERTY_NAME_PADDING;
  if (!m_rows.AddProperty(nKind, value, nInitialChoice, nNameFormat, bSorted, size.cx + padding)) return false;
  SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideName.c_str()));
  CreateEditors(nKind);
  return true;
}

HWND CPropertyListCtrl::CreateChild(const wchar_t* cls, DWORD dwStyle, int nId) {
  HWND hwnd = ::CreateWindowExW(0, cls, L"", WS_CHILD | dwStyle, 0, 0, 100, 100, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), ::GetModuleHandleW(nullptr),
                                nullptr);
  ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_pFont), FALSE);
  return hwnd;
}

void CPropertyListCtrl::CreateEditors(int nKind) {
  if (!m_pEdit) {
    m_pEdit = std::make_unique<CKeyedWindow>();
    m_pEdit->Subclass(CreateChild(L"EDIT", ES_AUTOHSCROLL, IDC_PROPLIST_EDIT));
    m_pEdit->SetKeyHandler(KeysAt(PropertyFocus::Edit));
  }
  if (nKind != PROPERTY_KIND_CHOICE) return;
  if (!m_pDropList) {
    m_pDropList = std::make_unique<CKeyedWindow>();
    m_pDropList->Subclass(
        CreateChild(L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS, IDC_PROPLIST_DROP_LIST));
    m_pDropList->SetKeyHandler(KeysAt(PropertyFocus::DropList));
  }
  if (!m_pComboButton) {
    m_pComboButton = std::make_unique<CComboButton>();
    m_pComboButton->Create(m_hWnd, IDC_PROPLIST_COMBO_BUTTON);
    m_pComboButton->SetKeyHandler(KeysAt(PropertyFocus::ComboButton));
  }
}

CKeyedWindow::KeyHandler CPropertyListCtrl::KeysAt(PropertyFocus focus) {
  return [this, focus](UINT msg, WPARAM wp, LPARAM lp, bool bCarryOut) { return OnKey(focus, msg, wp, lp, bCarryOut); };
}

bool CPropertyListCtrl::OnKey(PropertyFocus focus, UINT msg, WPARAM wp, LPARAM lp, bool bCarryOut) {
  if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN) return false;
  const int sel = static_cast<int>(SendMessage(LB_GETCURSEL));
  const PropertyRow* row = m_rows.GetRow(sel);
  // Bit 29 of a key message: Alt was held.
  const bool bAlt = (static_cast<DWORD>(lp) & (1u << 29)) != 0;
  const PropertyKeyAction action = PropertyKeyRule(focus, row != nullptr ? row->nKind : 0, static_cast<unsigned>(wp),
                                                   bAlt, ::GetKeyState(VK_SHIFT) < 0, m_host);
  if (action == PropertyKeyAction::Default) return false;
  if (bCarryOut) CarryKey(action, static_cast<UINT>(wp));
  return true;
}

void CPropertyListCtrl::CarryKey(PropertyKeyAction action, UINT nKey) {
  switch (action) {
    case PropertyKeyAction::Default:
      break;
    case PropertyKeyAction::SelectFirst:
      SendMessage(LB_SETCURSEL, 0);
      OnSelChange();
      break;
    case PropertyKeyAction::OpenEditor:
      if (m_pEdit && ::IsWindowVisible(m_pEdit->GetSafeHwnd())) {
        ::SetFocus(m_pEdit->GetSafeHwnd());
        m_pEdit->SendMessage(EM_SETSEL, 0, -1);
      }
      break;
    case PropertyKeyAction::OpenDropList:
      OpenDropList();
      break;
    case PropertyKeyAction::TakeChoice:
      OnDropListSelChange();
      break;
    case PropertyKeyAction::CloseDropList:
      if (m_pComboButton) ::SetFocus(m_pComboButton->GetSafeHwnd());
      Show(m_pDropList, SW_HIDE);
      break;
    case PropertyKeyAction::RowUp:
    case PropertyKeyAction::RowDown:
    case PropertyKeyAction::FocusList:
      // Leaving the field commits it; a refused text keeps the focus there.
      ::SetFocus(m_hWnd);
      if (::GetFocus() != m_hWnd || action == PropertyKeyAction::FocusList) break;
      // The list box's own arrow moves the selection and tells of it.
      SendMessage(WM_KEYDOWN, nKey);
      break;
    case PropertyKeyAction::NextControl: {
      HWND dlg = ::GetParent(m_hWnd);
      ::SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetNextDlgTabItem(dlg, m_hWnd, FALSE)), TRUE);
      break;
    }
    case PropertyKeyAction::CommitEdit:
      CommitFromKey();
      break;
    case PropertyKeyAction::RevertEdit:
      RevertFromKey();
      break;
    case PropertyKeyAction::PressDefault:
    case PropertyKeyAction::PressCancel: {
      // As the dialog manager presses them: the default button only while it is enabled.
      HWND dlg = ::GetParent(m_hWnd);
      const LRESULT defId = ::SendMessageW(dlg, DM_GETDEFID, 0, 0);
      const int id = action == PropertyKeyAction::PressCancel ? IDCANCEL
                     : HIWORD(defId) == DC_HASDEFID           ? LOWORD(defId)
                                                              : IDOK;
      HWND button = ::GetDlgItem(dlg, id);
      if (button == nullptr || ::IsWindowEnabled(button))
        ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      break;
    }
  }
}

void CPropertyListCtrl::CommitFromKey() {
  // A refused text has been reported, and the field keeps it for mending.
  CommitEdit();
  if (m_pEdit && ::GetFocus() == m_pEdit->GetSafeHwnd()) m_pEdit->SendMessage(EM_SETSEL, 0, -1);
}

void CPropertyListCtrl::RevertFromKey() {
  const int nRow = m_rows.GetCurRow();
  if (!m_pEdit || !m_rows.IsBeingEdited(nRow)) return;
  // The change of text tells the parent, which sees the row's value again.
  m_pEdit->SetWindowText(m_rows.GetRow(nRow)->GetValueText());
  m_pEdit->SendMessage(EM_SETSEL, 0, -1);
}

bool CPropertyListCtrl::AccessibleName(long nChild, std::wstring& text) const {
  if (nChild == CHILDID_SELF) {
    // The label just before the list in the Tab order, as for the
    // system's own controls, also where the system leaves list boxes unnamed.
    HWND label = ::GetWindow(m_hWnd, GW_HWNDPREV);
    wchar_t cls[16] = {};
    if (label == nullptr || ::GetClassNameW(label, cls, 16) == 0 || ::lstrcmpiW(cls, L"Static") != 0) return false;
    text = Widen(CWindow::GetText(label));
    return !text.empty();
  }
  const int index = static_cast<int>(nChild) - 1;
  const PropertyRow* row = m_rows.GetRow(index);
  if (row == nullptr) return false;
  text = Widen(PropertyRowReading(Narrow(ItemText(m_hWnd, index)), *row));
  return true;
}

bool CPropertyListCtrl::GetPropertyText(int nRow, std::string& strOut) {
  if (m_rows.IsBeingEdited(nRow) && CommitEdit() == PropertyCommit::Refused) return false;
  return m_rows.GetPropertyText(nRow, strOut);
}

std::string CPropertyListCtrl::PeekPropertyText(int nRow) const {
  if (m_rows.IsBeingEdited(nRow) && m_pEdit) return m_pEdit->GetWindowText();
  const PropertyRow* row = m_rows.GetRow(nRow);
  return row != nullptr ? row->GetValueText() : std::string();
}

void CPropertyListCtrl::SelectRow(int nRow) {
  SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nRow));
  OnSelChange();
  const bool bEdit = m_pEdit && ::IsWindowVisible(m_pEdit->GetSafeHwnd());
  ::SetFocus(bEdit ? m_pEdit->GetSafeHwnd() : m_hWnd);
  if (bEdit) m_pEdit->SendMessage(EM_SETSEL, 0, -1);
}

bool CPropertyListCtrl::GetPropertyChoices(int nRow, CSortStringArray& outArray) const {
  return m_rows.GetPropertyChoices(nRow, outArray);
}

bool CPropertyListCtrl::GetPropertySelection(int nRow, std::string* pstrText, int& nIndex) const {
  return m_rows.GetPropertySelection(nRow, pstrText, nIndex);
}

RECT CPropertyListCtrl::ValueCell(const RECT& rcItem) const {
  const int w = m_rows.GetNameWidth();
  return RECT{w - 1, rcItem.top - 1, rcItem.right + 1, rcItem.bottom};
}

void CPropertyListCtrl::DrawItem(const DRAWITEMSTRUCT& dis) {
  if (dis.itemID == static_cast<UINT>(-1)) return;
  const int index = static_cast<int>(dis.itemID);
  const PropertyRow* row = m_rows.GetRow(index);
  if (row == nullptr) return;
  const std::wstring name = ItemText(m_hWnd, index);
  const std::wstring value = Widen(row->GetValueText());
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const int w = m_rows.GetNameWidth();

  CSelectObject brush(dc, m_pBkBrush.get());
  CSelectObject pen(dc, m_pGridPen.get());
  const RECT rcValue = ValueCell(rc);
  ::Rectangle(dc, rcValue.left, rcValue.top, rcValue.right, rcValue.bottom);

  ::SetBkMode(dc, TRANSPARENT);
  CSelectObject font(dc, m_pFont);
  ::SetTextColor(dc, m_crText);
  RECT rcText{w + ScaleMetric(4, m_nDpi), rcValue.top, rcValue.right, rcValue.bottom};
  ::DrawTextW(dc, value.c_str(), static_cast<int>(value.size()), &rcText, DT_SINGLELINE | DT_VCENTER | DT_LEFT);

  const bool bSelected = (dis.itemState & ODS_SELECTED) != 0;
  if (bSelected) ::SelectObject(dc, m_pSelBrush.get());
  ::Rectangle(dc, -1, rc.top, w, rc.bottom);
  if (bSelected) {
    if (m_bBoldSelection) ::SelectObject(dc, m_pBoldFont.get());
    ::SetTextColor(dc, m_crSelText);
    m_rows.SetCurRow(index);
    m_rcCurValue = rcValue;
  }
  const int inset = ScaleMetric(PROPERTY_NAME_PADDING, m_nDpi) / 2;
  RECT rcName{inset, rc.top, w - inset, rc.bottom};
  ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &rcName,
              DT_SINGLELINE | DT_VCENTER | NameAlignment(row->nNameFormat));
}

void CPropertyListCtrl::HideEditors() {
  Show(m_pEdit, SW_HIDE);
  if (m_pComboButton) ::ShowWindow(m_pComboButton->GetSafeHwnd(), SW_HIDE);
  Show(m_pDropList, SW_HIDE);
}

void CPropertyListCtrl::OnSelChange() {
  HideEditors();
  // The selected row's draw has usually set these already; a list that
  // is not drawn (hidden, or painting switched off) still places its editor.
  const int sel = static_cast<int>(SendMessage(LB_GETCURSEL));
  RECT rcItem{};
  if (sel >= 0 && SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&rcItem)) != LB_ERR) {
    m_rows.SetCurRow(sel);
    m_rcCurValue = ValueCell(rcItem);
  }
  const CPropertyPlacement placement = m_rows.OnSelectionChanged();
  RECT box = m_rcCurValue;
  ::InflateRect(&box, -1, -1);
  const int height = box.bottom - box.top;
  if (placement.editor == PropertyEditor::Edit && m_pEdit) {
    m_pEdit->SetWindowText(placement.strEditText);
    ::MoveWindow(m_pEdit->GetSafeHwnd(), box.left + 1, box.top, box.right - box.left - 1, height, TRUE);
    Show(m_pEdit, SW_SHOW);
  } else if (placement.editor == PropertyEditor::Choice && m_pComboButton && m_pDropList) {
    const int buttonWidth = ScaleMetric(kComboButtonWidth, m_nDpi);
    ::MoveWindow(m_pComboButton->GetSafeHwnd(), box.right - buttonWidth, box.top, buttonWidth, height, TRUE);
    ::ShowWindow(m_pComboButton->GetSafeHwnd(), SW_SHOW);
    const int left = m_rcCurValue.left + 1;
    ::MoveWindow(m_pDropList->GetSafeHwnd(), left, box.bottom, box.right + 1 - left,
                 m_nItemHeight * placement.nDropRows, FALSE);
  }
}

void CPropertyListCtrl::Notify() {
  const PropertyRow* row = m_rows.GetCurRowPtr();
  ::PostMessageW(::GetParent(m_hWnd), WM_PROPLIST_NOTIFY, static_cast<WPARAM>(SendMessage(LB_GETCURSEL)),
                 row != nullptr ? row->nKind : 0);
}

PropertyCommit CPropertyListCtrl::CommitEdit() {
  // The refusal's message box takes the focus from the edit, whose focus
  // loss must not commit (and refuse) the same text once more.
  if (!m_pEdit || m_bCommitting) return PropertyCommit::Unchanged;
  if (m_bRefusalShown) {
    // This very text was refused a moment ago (leaving the field for OK
    // refuses it, then OK reads it): one message is enough; the user is
    // taken back to the field instead, which lets the next refusal speak.
    ::SetFocus(m_pEdit->GetSafeHwnd());
    m_pEdit->SendMessage(EM_SETSEL, 0, -1);
    return PropertyCommit::Refused;
  }
  HWND owner = ::GetParent(m_hWnd);
  m_bCommitting = true;
  const PropertyCommit commit =
      m_rows.CommitText(m_pEdit->GetWindowText(), m_textCheck ? m_textCheck : [owner](std::string_view text) {
        return ValidateLifetimeText(text, owner);
      });
  m_bCommitting = false;
  if (commit == PropertyCommit::Stored) Notify();
  // Set after the box has closed: the focus it gave back to the field
  // belongs to the refusal.
  m_bRefusalShown = commit == PropertyCommit::Refused && ::GetFocus() != m_pEdit->GetSafeHwnd();
  return commit;
}

void CPropertyListCtrl::OnEditFocusLost() {
  // The focus has already moved when the field is told it lost it.
  const HWND hFocus = ::GetFocus();
  if (m_bDiscarded || (hFocus != nullptr && hFocus == ::GetDlgItem(::GetParent(m_hWnd), IDCANCEL))) return;
  CommitEdit();
}

void CPropertyListCtrl::DiscardEdit() {
  m_bDiscarded = true;
  HideEditors();
}

void CPropertyListCtrl::OpenDropList() {
  const PropertyRow* row = m_rows.GetCurRowPtr();
  if (row == nullptr || row->nKind != PROPERTY_KIND_CHOICE || !m_pDropList) return;
  m_pDropList->SendMessage(LB_RESETCONTENT);
  for (const std::string& choice : row->values)
    m_pDropList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(choice).c_str()));
  m_pDropList->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(row->nSelected));
  m_pDropList->SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(row->nSelected));
  Show(m_pDropList, SW_SHOW);
  // The arrow keys pick a choice, and a click elsewhere closes the list.
  ::SetFocus(m_pDropList->GetSafeHwnd());
}

void CPropertyListCtrl::OnDropListSelChange() {
  if (!m_rows.TakeChoice(static_cast<int>(m_pDropList->SendMessage(LB_GETCURSEL)))) return;
  Show(m_pDropList, SW_HIDE);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Notify();
  if (m_pComboButton) ::SetFocus(m_pComboButton->GetSafeHwnd());
}

bool CPropertyListCtrl::OnChildCommand(UINT nId, UINT nCode) {
  switch (nId) {
    case IDC_PROPLIST_EDIT:
      if (nCode == EN_KILLFOCUS) OnEditFocusLost();
      if (nCode == EN_SETFOCUS) m_bRefusalShown = false;
      if (nCode == EN_CHANGE) {
        m_bRefusalShown = false;
        m_rows.OnTextChanged();
        Notify();
      }
      return nCode == EN_KILLFOCUS || nCode == EN_CHANGE || nCode == EN_SETFOCUS;
    case IDC_PROPLIST_COMBO_BUTTON:
      if (nCode == BN_CLICKED) OpenDropList();
      return nCode == BN_CLICKED;
    case IDC_PROPLIST_DROP_LIST:
      if (nCode == LBN_SELCHANGE) OnDropListSelChange();
      if (nCode == LBN_KILLFOCUS) Show(m_pDropList, SW_HIDE);
      return nCode == LBN_SELCHANGE || nCode == LBN_KILLFOCUS;
    default:
      return false;
  }
}

LRESULT CPropertyListCtrl::OnChildColor(UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT answer = Default(msg, wp, lp);
  if (msg == WM_CTLCOLOREDIT) {
    HDC dc = reinterpret_cast<HDC>(wp);
    ::SetBkColor(dc, m_crEditorBk);
    ::SetTextColor(dc, m_crEditorText);
  }
  return m_pEditorBrush ? reinterpret_cast<LRESULT>(m_pEditorBrush.get()) : answer;
}

bool CPropertyListCtrl::OnRescale(UINT msg, WPARAM wp, LRESULT& result) {
  if (msg == WM_SETFONT && wp != 0 && reinterpret_cast<HFONT>(wp) != m_pFont) {
    SetListFont(reinterpret_cast<HFONT>(wp));
    result = 0;
    return true;
  }
  if (msg == MSG_DPICHANGED_AFTERPARENT) {
    const int dpi = static_cast<int>(GetWindowDpi(m_hWnd));
    m_rows.ScaleNameWidth(dpi, m_nDpi);
    // An open editor keeps its row's place.
    for (CWindow* editor : {static_cast<CWindow*>(m_pEdit.get()), static_cast<CWindow*>(m_pDropList.get()),
                            static_cast<CWindow*>(m_pComboButton.get())}) {
      if (editor == nullptr || !::IsWindowVisible(editor->GetSafeHwnd())) continue;
      const RECT rc = GetChildRect(editor->GetSafeHwnd());
      const int left = ScaleMetric(rc.left, dpi, m_nDpi);
      const int top = ScaleMetric(rc.top, dpi, m_nDpi);
      ::MoveWindow(editor->GetSafeHwnd(), left, top, ScaleMetric(rc.right, dpi, m_nDpi) - left,
                   ScaleMetric(rc.bottom, dpi, m_nDpi) - top, TRUE);
    }
    m_nDpi = dpi;
    result = 0;
    return true;
  }
  return false;
}

LRESULT CPropertyListCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT result = 0; OnRescale(msg, wp, result)) return result;
  switch (msg) {
    case WM_COMMAND:
      if (lp != 0 && OnChildCommand(LOWORD(wp), HIWORD(wp))) return 0;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return OnChildColor(msg, wp, lp);
    case WM_LBUTTONDOWN:
      // HIWORD set: the point lies below the last row.
      if (HIWORD(SendMessage(LB_ITEMFROMPOINT, 0, lp)) != 0) HideEditors();
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnKey(PropertyFocus::List, msg, wp, lp, true)) return 0;
      break;
    case WM_GETOBJECT: {
      LRESULT answer = 0;
      const CAccessibleTexts texts{[this](long nChild, std::wstring& text) { return AccessibleName(nChild, text); }, {}};
      if (AnswerAccessibleObject(m_hWnd, wp, lp, texts, answer)) return answer;
      break;
    }
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
      // The rows move under the editors.
      HideEditors();
      break;
    default:
      break;
  }
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

bool CPropertyListCtrl::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = static_cast<UINT>(m_nItemHeight);
      result = TRUE;
      return true;
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (HIWORD(wp) != LBN_SELCHANGE) return false;
      OnSelChange();
      return true;
    case WM_CTLCOLORLISTBOX:
      result = reinterpret_cast<LRESULT>(m_pBkBrush.get());
      return true;
    default:
      return false;
  }
}

}  // namespace vantoric
