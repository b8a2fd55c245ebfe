#include "controls/ipv6_edit_state.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "controls/ipv6_text_model.h"

namespace vantoric {

namespace {

int Clamp(int n, int lo, int hi) { return std::max(lo, std::min(n, hi)); }

// The column at which typing into group 8 stops moving the caret.
constexpr int kLastGroupAfter = 69;

}  // namespace

CIpv6EditState::CIpv6EditState() : m_strText(IPV6_EMPTY_MASK) {}

int CIpv6EditState::FirstDigit(int nGroup) { return GroupStart(nGroup - 1); }

bool CIpv6EditState::IsBlank(int nColumn) const {
  if (nColumn < 0 || nColumn >= IPV6_TEXT_LENGTH) return true;
  return std::isspace(static_cast<unsigned char>(m_strText[static_cast<size_t>(nColumn)])) != 0;
}

int CIpv6EditState::TypedEnd(int nGroup) const {
  const int first = FirstDigit(nGroup);
  for (int column = AfterDigits(nGroup); column > first; --column) {
    if (!IsBlank(column - 1)) return column;
  }
  return first;
}

void CIpv6EditState::Load(std::string_view text, int nSelMin, int nSelMax) {
  m_strText = NormalizeMask(text);
  const int lo = Clamp(std::min(nSelMin, nSelMax), 0, IPV6_TEXT_LENGTH);
  const int hi = Clamp(std::max(nSelMin, nSelMax), 0, IPV6_TEXT_LENGTH);
  if (lo != std::min(m_nSelStart, m_nSelEnd) || hi != std::max(m_nSelStart, m_nSelEnd)) {
    m_nSelStart = lo;
    m_nSelEnd = hi;
  }
}

void CIpv6EditState::UpdateCurrentGroup(int nPos) {
  if (nPos >= 0) m_nCurGroup = GroupOfColumn(nPos);
}

void CIpv6EditState::SetCaret(int nPos) { SetSelection(nPos, nPos); }

void CIpv6EditState::SetSelection(int nStart, int nEnd) {
  m_nSelStart = nStart;
  m_nSelEnd = nEnd;
  m_bSelectionChanged = true;
}

void CIpv6EditState::SelectGroupDigits(int nGroup) {
  const int first = FirstDigit(nGroup);
  int end = first;
  while (end < AfterDigits(nGroup) && !IsBlank(end)) ++end;
  SetSelection(first, end);
}

void CIpv6EditState::SnapCaret(int nPos) {
  UpdateCurrentGroup(m_nSelStart);
  const int first = FirstDigit(m_nCurGroup);
  int pos = Clamp(nPos, first, first + IPV6_GROUP_DIGITS);
  while (pos > first && IsBlank(pos - 1)) --pos;
  SetCaret(pos);
}

void CIpv6EditState::RemoveRange(int nStart, int nEnd) {
  const int group = GroupOfColumn(nStart);
  const int first = FirstDigit(group);
  const int after = AfterDigits(group);
  const int start = Clamp(nStart, first, after);
  const int shift = Clamp(nEnd, start, after) - start;
  for (int column = start; column < after; ++column) {
    const int source = column + shift;
    m_strText[static_cast<size_t>(column)] = source < after ? m_strText[static_cast<size_t>(source)] : ' ';
  }
}

void CIpv6EditState::SettleSelection() {
  const int group = GroupOfColumn(Clamp(m_nSelStart, 0, IPV6_TEXT_LENGTH));
  const int first = FirstDigit(group);
  const int end = TypedEnd(group);
  const int start = Clamp(m_nSelStart, first, end);
  const int other = Clamp(m_nSelEnd, first, end);
  if (start != m_nSelStart || other != m_nSelEnd) SetSelection(start, other);
  m_nCurGroup = group;
}

CIpv6EditResult CIpv6EditState::TextEdited() {
  CIpv6EditResult result;
  result.bTextChanged = true;
  result.bSelectionChanged = true;
  result.bSync = true;
  return result;
}

CIpv6EditResult CIpv6EditState::CaretMoved() {
  CIpv6EditResult result;
  result.bSelectionChanged = m_bSelectionChanged;
  return result;
}

CIpv6EditResult CIpv6EditState::OnChar(unsigned nChar) {
  m_bSelectionChanged = false;
  CIpv6EditResult result;
  if (nChar == 0 || nChar > 0x7F || std::strchr(m_pszHexDigits, static_cast<int>(nChar)) == nullptr) {
    result.bRepaint = true;
    return result;
  }
  return TypeDigit(static_cast<char>(nChar));
}

CIpv6EditResult CIpv6EditState::TypeDigit(char cDigit) {
  SettleSelection();
  const int lo = std::min(m_nSelStart, m_nSelEnd);
  const int hi = std::max(m_nSelStart, m_nSelEnd);
  if (lo < hi) {
    // The last selected character moves to the start, where the digit
    // overwrites it: the whole selection becomes the digit.
    RemoveRange(lo, hi - 1);
    SetCaret(lo);
  }
  int caret = m_nSelStart;
  if (m_nCurGroup < IPV6_GROUP_COUNT && caret == AfterDigits(m_nCurGroup)) caret = FirstDigit(++m_nCurGroup);
  const int group = m_nCurGroup;
  if (group < IPV6_GROUP_COUNT) {
    if (caret < AfterDigits(group)) {
      m_strText[static_cast<size_t>(caret++)] = cDigit;
      if (caret == AfterDigits(group)) caret = FirstDigit(++m_nCurGroup);
    }
  } else if (caret >= kLastGroupAfter) {
    m_strText[kLastGroupAfter - 1] = cDigit;
  } else {
    m_strText[static_cast<size_t>(caret++)] = cDigit;
  }
  SetCaret(caret);
  CIpv6EditResult result = TextEdited();
  result.bRepaint = true;
  return result;
}

CIpv6EditResult CIpv6EditState::OnKeyDown(unsigned nKey) {
  m_bSelectionChanged = false;
  SettleSelection();
  CIpv6EditResult result;
  switch (nKey) {
    case IPV6_KEY_BACK:
      return DeleteBackward();
    case IPV6_KEY_DELETE:
      result = DeleteForward();
      result.bRepaint = true;
      return result;
    case IPV6_KEY_LEFT:
    case IPV6_KEY_UP:
      return m_bShiftDown ? ExtendLeft() : MoveLeft();
    case IPV6_KEY_RIGHT:
    case IPV6_KEY_DOWN:
      return m_bShiftDown ? ExtendRight() : MoveRight();
    case IPV6_KEY_HOME:
      SetCaret(1);
      UpdateCurrentGroup(1);
      return CaretMoved();
    case IPV6_KEY_END: {
      const int caret = TypedEnd(IPV6_GROUP_COUNT);
      SetCaret(caret);
      UpdateCurrentGroup(caret);
      return CaretMoved();
    }
    case IPV6_KEY_TAB:
    case IPV6_KEY_OEM_1:
    case IPV6_KEY_OEM_PERIOD:
      return NextGroup(nKey == IPV6_KEY_TAB);
    case IPV6_KEY_SHIFT:
      m_bShiftDown = 1;
      m_nAnchor = m_nSelStart;
      break;
    case IPV6_KEY_INSERT:
      // Shift+Insert would paste through the edit control's own handling.
      result = CaretMoved();
      result.bSync = true;
      return result;
    default:
      break;
  }
  result = CaretMoved();
  result.bSync = true;
  result.bDefault = true;
  return result;
}

CIpv6EditResult CIpv6EditState::OnKeyUp(unsigned nKey) {
  m_bSelectionChanged = false;
  if (nKey == IPV6_KEY_SHIFT) m_bShiftDown = 0;
  CIpv6EditResult result;
  result.bDefault = true;
  return result;
}

CIpv6EditResult CIpv6EditState::DeleteBackward() {
  int lo = std::min(m_nSelStart, m_nSelEnd);
  int hi = std::max(m_nSelStart, m_nSelEnd);
  if (lo == hi) {
    if (lo == FirstDigit(1)) return CaretMoved();
    if (lo == FirstDigit(m_nCurGroup)) {
      // Into the previous group, after its last digit, which goes next.
      --m_nCurGroup;
      lo = hi = std::max(TypedEnd(m_nCurGroup), FirstDigit(m_nCurGroup) + 1);
    }
  }
  if (lo < hi) {
    RemoveRange(lo, hi);
  } else {
    const int offset = OffsetInGroup(lo);
    const int after = AfterDigits(m_nCurGroup);
    if (offset >= 1 && offset <= IPV6_GROUP_DIGITS) {
      for (int column = lo - 1; column < after - 1; ++column)
        m_strText[static_cast<size_t>(column)] = m_strText[static_cast<size_t>(column + 1)];
      m_strText[static_cast<size_t>(after - 1)] = ' ';
      --lo;
    }
  }
  SetCaret(lo);
  return TextEdited();
}

CIpv6EditResult CIpv6EditState::DeleteForward() {
  const int lo = std::min(m_nSelStart, m_nSelEnd);
  const int hi = std::max(m_nSelStart, m_nSelEnd);
  RemoveRange(lo, lo == hi ? lo + 1 : hi);
  SetCaret(lo);
  return TextEdited();
}

CIpv6EditResult CIpv6EditState::MoveLeft() {
  int caret = m_nSelStart;
  UpdateCurrentGroup(caret);
  if (caret <= 1)
    caret = 1;
  else if (caret == FirstDigit(m_nCurGroup))
    caret = TypedEnd(m_nCurGroup - 1);
  else
    --caret;
  SetCaret(caret);
  UpdateCurrentGroup(caret);
  return CaretMoved();
}

CIpv6EditResult CIpv6EditState::MoveRight() {
  int caret = m_nSelStart;
  UpdateCurrentGroup(caret);
  const int group = m_nCurGroup;
  if (caret == AfterDigits(group) || IsBlank(caret)) {
    if (group < IPV6_GROUP_COUNT) caret = FirstDigit(group + 1);
  } else {
    ++caret;
  }
  SetCaret(caret);
  UpdateCurrentGroup(caret);
  return CaretMoved();
}

// With Shift held the selection stays inside the anchor's group and runs
// from the moved start to the anchor.
CIpv6EditResult CIpv6EditState::ExtendLeft() {
  UpdateCurrentGroup(m_nAnchor);
  const int first = FirstDigit(m_nCurGroup);
  if (first == m_nAnchor) return CaretMoved();
  int start = m_nSelStart;
  if (start < first || start > AfterDigits(m_nCurGroup)) start = m_nAnchor;
  if (start > first) SetSelection(start - 1, m_nAnchor);
  return CaretMoved();
}

CIpv6EditResult CIpv6EditState::ExtendRight() {
  UpdateCurrentGroup(m_nAnchor);
  const int after = AfterDigits(m_nCurGroup);
  int start = m_nSelStart;
  if (start < FirstDigit(m_nCurGroup) || start > after) start = m_nAnchor;
  if (m_nAnchor != after && start != after && !IsBlank(start)) SetSelection(start + 1, m_nAnchor);
  return CaretMoved();
}

CIpv6EditResult CIpv6EditState::NextGroup(bool bTab) {
  const int target = m_bShiftDown ? m_nCurGroup - 1 : m_nCurGroup + 1;
  if (target < 1 || target > IPV6_GROUP_COUNT) {
    // The field holds Tab for its groups; past them a keyboard user leaves
    // it with Tab. The colon and full-stop keys only ever move between groups.
    CIpv6EditResult result = CaretMoved();
    if (bTab) result.nLeaveField = target < 1 ? -1 : 1;
    return result;
  }
  SelectGroupDigits(target);
  UpdateCurrentGroup(m_nSelStart);
  CIpv6EditResult result = CaretMoved();
  result.bSync = true;
  result.bDefault = true;
  return result;
}

CIpv6EditResult CIpv6EditState::OnLButtonDown() {
  m_bSelectionChanged = false;
  m_bMouseDown = 1;
  UpdateCurrentGroup(m_nSelStart);
  SnapCaret(m_nSelStart);
  CIpv6EditResult result = CaretMoved();
  result.bRepaint = true;
  return result;
}

CIpv6EditResult CIpv6EditState::OnMouseMove(int nColumn, bool bLeftButton) {
  m_bSelectionChanged = false;
  if (!m_bMouseDown || !bLeftButton) return CaretMoved();
  const int first = FirstDigit(m_nCurGroup);
  if (nColumn < first) return CaretMoved();
  if (nColumn > m_nSelStart &&
      (nColumn > AfterDigits(m_nCurGroup) || nColumn > IPV6_TEXT_LENGTH || IsBlank(nColumn - 1)))
    return CaretMoved();
  SetSelection(m_nSelStart, nColumn);
  return CaretMoved();
}

CIpv6EditResult CIpv6EditState::OnLButtonUp() {
  m_bSelectionChanged = false;
  m_bMouseDown = 0;
  CIpv6EditResult result;
  result.bDefault = true;
  return result;
}

CIpv6EditResult CIpv6EditState::OnLButtonDblClk() {
  m_bSelectionChanged = false;
  SettleSelection();
  SelectGroupDigits(m_nCurGroup);
  return CaretMoved();
}

CIpv6EditResult CIpv6EditState::OnSetFocus() {
  m_bSelectionChanged = false;
  SetCaret(1);
  UpdateCurrentGroup(1);
  CIpv6EditResult result = CaretMoved();
  result.bRepaint = true;
  return result;
}

}  // namespace vantoric
