// The property list: an owner-drawn list box whose items are named
// properties, drawn as a name cell and a value cell with grid lines. The
// selected row's value is edited in place: a text row in an edit field laid
// over its value cell, a choice row through an arrow button and a drop-down
// list of its choices. Every change is posted to the parent as
// WM_PROPLIST_NOTIFY (first parameter the list's selection, second the kind
// of the current row).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "controls/combo_button_win32.h"
#include "controls/keyed_window_win32.h"
#include "controls/property_keys.h"
#include "controls/property_rows.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/window_dpi.h"

namespace vantoric {

constexpr UINT WM_PROPLIST_NOTIFY = 11111;

// The list's own children.
constexpr int IDC_PROPLIST_EDIT = 1;
constexpr int IDC_PROPLIST_COMBO_BUTTON = 7;
constexpr int IDC_PROPLIST_DROP_LIST = 8;

// The style the dialogs create the list with. The list keeps the height it
// is given: cut to whole rows of the height of the moment, it would shrink
// at every change of the rows' height (the font, the resolution).
constexpr DWORD PROPERTY_LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                      LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;

class CPropertyListCtrl : public CSubclassWindow {
 public:
  CPropertyListCtrl();
  ~CPropertyListCtrl() override;

  // Creates the list box and its fonts, pen and brushes; rows 16 pixels
  // high at 96 dots per inch, in proportion at the window's resolution.
  bool Create(DWORD dwStyle, const RECT& rc, HWND hParent, UINT nId);

  // Names and values in the caller's font (which the list does not delete)
  // and the bold one made from it; rows the font's height plus 2 pixels.
  void SetListFont(HFONT font);
  void SetBkColor(COLORREF cr);
  void SetHighlightColor(COLORREF cr);
  void SetEditorBkColor(COLORREF cr);
  void SetLineColor(COLORREF cr);

  // Appends a row: nKind PROPERTY_KIND_TEXT with its value, or
  // PROPERTY_KIND_CHOICE with value holding the choices separated by "!" and
  // nInitialChoice an index into them (after sorting when bSorted).
  // nNameFormat aligns the name: 0 left, 1 centred, 2 right. False when the
  // row was refused (see CPropertyRows::AddProperty).
  bool AddProperty(int nKind, std::string_view name, std::string_view value, int nInitialChoice = 0,
                   int nNameFormat = 0, bool bSorted = false);

  // A text row's value. When the row is being edited, the text in the
  // edit field is committed first; false when nRow is no text row, or when
  // that text was refused (the user has been told; strOut is untouched),
  // which stops the caller's OK or Apply.
  bool GetPropertyText(int nRow, std::string& strOut);
  bool GetPropertyChoices(int nRow, CSortStringArray& outArray) const;
  bool GetPropertySelection(int nRow, std::string* pstrText, int& nIndex) const;
  // The text that row nRow shows: what is typed while it is being edited,
  // else its value (a choice row: the selected choice). Nothing is checked
  // or committed.
  std::string PeekPropertyText(int nRow) const;
  // Selects row nRow as a click does and puts the focus on its editor.
  void SelectRow(int nRow);
  // The check of typed text, in place of the lifetime check; the check
  // tells the user itself when it refuses.
  void SetTextCheck(PropertyTextCheck check) { m_textCheck = std::move(check); }
  // From the first selection of a row onward.
  bool IsEditPending() const { return m_rows.IsEditPending(); }
  // The dialog is being cancelled: what is typed is dropped unchecked, and
  // the field's focus loss no longer checks it.
  void DiscardEdit();
  // Where the list sits, which decides what Enter and Escape do in its
  // field (see PropertyKeyRule); a dialog of its own unless told.
  void SetHost(PropertyListHost host) { m_host = host; }

  // Set directly by the dialogs.
  int m_bBoldSelection = 0;
  COLORREF m_crText;
  COLORREF m_crSelText;
  COLORREF m_crEditorText;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void OnCreate();
  // A font that the dialog gives the list when it moves to another
  // resolution becomes the list font; the name column follows the
  // resolution. True when the message is taken.
  bool OnRescale(UINT msg, WPARAM wp, LRESULT& result);
  void SetItemHeight(int nHeight);
  void CreateEditors(int nKind);
  HWND CreateChild(const wchar_t* cls, DWORD dwStyle, int nId);

  void DrawItem(const DRAWITEMSTRUCT& dis);
  RECT ValueCell(const RECT& rcItem) const;
  void OnSelChange();
  void HideEditors();
  void Notify();
  PropertyCommit CommitEdit();
  // The field lost the focus: its text is checked, unless the focus went to
  // the dialog's Cancel button, which never checks anything.
  void OnEditFocusLost();
  void OpenDropList();
  void OnDropListSelChange();
  // A key pressed where `focus` is (see PropertyKeyRule); true when the
  // list takes it, and then carries it out when bCarryOut.
  bool OnKey(PropertyFocus focus, UINT msg, WPARAM wp, LPARAM lp, bool bCarryOut);
  void CarryKey(PropertyKeyAction action, UINT nKey);
  // Enter and Escape of a page: the field keeps the focus, its text selected.
  void CommitFromKey();
  void RevertFromKey();
  CKeyedWindow::KeyHandler KeysAt(PropertyFocus focus);
  // What a screen reader hears as the list's name (nChild 0: its label)
  // and as item nChild's (1 for the first row: "name: value").
  bool AccessibleName(long nChild, std::wstring& text) const;
  LRESULT OnChildColor(UINT msg, WPARAM wp, LPARAM lp);
  bool OnChildCommand(UINT nId, UINT nCode);

  int m_nItemHeight = 16;
  int m_nDpi = DESIGN_DPI;  // the resolution the name column was measured at
  bool m_bCommitting = false;
  bool m_bRefusalShown = false;  // the edit's text was refused while it had no focus
  bool m_bDiscarded = false;     // the dialog is being cancelled
  PropertyListHost m_host = PropertyListHost::Dialog;
  CPen m_pGridPen;
  CFont m_ownedFont;  // m_pFont until SetListFont gives the list another
  HFONT m_pFont = nullptr;
  CFont m_pBoldFont;
  CBrush m_pBkBrush;
  CBrush m_pSelBrush;
  CBrush m_pEditorBrush;
  std::unique_ptr<CComboButton> m_pComboButton;
  std::unique_ptr<CKeyedWindow> m_pDropList;
  std::unique_ptr<CKeyedWindow> m_pEdit;
  COLORREF m_crGrid;
  COLORREF m_crBk;
  COLORREF m_crSel;
  COLORREF m_crEditorBk;
  CPropertyRows m_rows;
  PropertyTextCheck m_textCheck;  // empty: lifetime text
  RECT m_rcCurValue{};
};

}  // namespace vantoric
