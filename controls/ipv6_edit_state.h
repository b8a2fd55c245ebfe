// Editing rules of the IPv6 address edit as a state machine over the
// displayed text, the selection, the current group and the Shift and mouse
// flags. The window side loads the edit control's text and selection before
// each message, calls the handler and carries out the returned result; the
// rules keep the 71-column mask with each group's digits packed at the left.
#pragma once

#include <string>
#include <string_view>

namespace vantoric {

// Keys the rules react to (the Windows virtual-key codes).
constexpr unsigned IPV6_KEY_BACK = 0x08;
constexpr unsigned IPV6_KEY_TAB = 0x09;
constexpr unsigned IPV6_KEY_SHIFT = 0x10;
constexpr unsigned IPV6_KEY_END = 0x23;
constexpr unsigned IPV6_KEY_HOME = 0x24;
constexpr unsigned IPV6_KEY_LEFT = 0x25;
constexpr unsigned IPV6_KEY_UP = 0x26;
constexpr unsigned IPV6_KEY_RIGHT = 0x27;
constexpr unsigned IPV6_KEY_DOWN = 0x28;
constexpr unsigned IPV6_KEY_INSERT = 0x2D;
constexpr unsigned IPV6_KEY_DELETE = 0x2E;
constexpr unsigned IPV6_KEY_OEM_1 = 0xBA;       // ";" on a US layout
constexpr unsigned IPV6_KEY_OEM_PERIOD = 0xBE;  // "."

// What the window side does after a handler, in this order.
struct CIpv6EditResult {
  bool bTextChanged = false;       // replace the whole text with GetText()
  bool bSelectionChanged = false;  // set the selection GetSelStart()..GetSelEnd()
  bool bSync = false;              // SyncGroupsFromText (slots and preview)
  bool bDefault = false;           // the edit control's own handling
  bool bRepaint = false;
  // Tab past the last group (1) or Shift+Tab before the first (-1): the
  // dialog's next or previous control takes the focus, the text and the
  // caret stay as they are.
  int nLeaveField = 0;
};

class CIpv6EditState {
 public:
  CIpv6EditState();

  // The edit control's text and selection as they are now. A selection that
  // differs from the one last written is taken as the new selection; the
  // same one keeps its direction (the end that Shift and the arrows move).
  void Load(std::string_view text, int nSelMin, int nSelMax);

  const std::string& GetText() const { return m_strText; }
  // The selection as last read or written; the start may lie right of the
  // end (a selection grown to the right from the anchor).
  int GetSelStart() const { return m_nSelStart; }
  int GetSelEnd() const { return m_nSelEnd; }
  int GetCurGroup() const { return m_nCurGroup; }
  int GetAnchor() const { return m_nAnchor; }
  bool IsShiftDown() const { return m_bShiftDown != 0; }
  bool IsMouseDown() const { return m_bMouseDown != 0; }

  CIpv6EditResult OnChar(unsigned nChar);
  CIpv6EditResult OnKeyDown(unsigned nKey);
  CIpv6EditResult OnKeyUp(unsigned nKey);
  // After the edit control's own handling of the press (focus, caret at
  // the click) and a Load of its selection.
  CIpv6EditResult OnLButtonDown();
  // nColumn: the text column under the pointer on the first line.
  CIpv6EditResult OnMouseMove(int nColumn, bool bLeftButton);
  CIpv6EditResult OnLButtonUp();
  CIpv6EditResult OnLButtonDblClk();
  // After the edit control's own handling of the focus.
  CIpv6EditResult OnSetFocus();

 private:
  // Group geometry for 1-based group numbers.
  static int FirstDigit(int nGroup);
  static int AfterDigits(int nGroup) { return FirstDigit(nGroup) + 4; }
  bool IsBlank(int nColumn) const;
  // The column after the last typed digit of a group (its first digit
  // column when it is empty).
  int TypedEnd(int nGroup) const;

  void UpdateCurrentGroup(int nPos);
  int OffsetInGroup(int nPos) const { return nPos - FirstDigit(m_nCurGroup); }
  void SetCaret(int nPos);
  void SetSelection(int nStart, int nEnd);
  void SelectGroupDigits(int nGroup);
  void SnapCaret(int nPos);
  void RemoveRange(int nStart, int nEnd);
  // Puts a selection that the rules did not make (a program's, or the edit
  // control's own select-all) back into the typed digits of the group that
  // holds its start; the rules' own selections are left as they are.
  void SettleSelection();

  CIpv6EditResult TypeDigit(char cDigit);
  CIpv6EditResult DeleteBackward();
  CIpv6EditResult DeleteForward();
  CIpv6EditResult MoveLeft();
  CIpv6EditResult MoveRight();
  CIpv6EditResult ExtendLeft();
  CIpv6EditResult ExtendRight();
  CIpv6EditResult NextGroup(bool bTab);
  CIpv6EditResult TextEdited();
  CIpv6EditResult CaretMoved();

  const char* m_pszHexDigits = "1234567890abcdef";
  std::string m_strText;
  bool m_bSelectionChanged = false;
  int m_nSelStart = 0;
  int m_nSelEnd = 0;
  int m_nCurGroup = 1;
  int m_bShiftDown = 0;
  int m_nAnchor = 0;
  int m_bMouseDown = 0;
};

}  // namespace vantoric
