// Editing rules of the address edit, driven the way the window side drives
// them: results carried out, slots and preview refreshed on each sync.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ipv6_edit_state.h"
#include "controls/ipv6_text_model.h"

namespace vantoric {
namespace {

int First(int nGroup) { return GroupStart(nGroup - 1); }

class CEditDriver {
 public:
  CEditDriver() { Carry(m_state.OnSetFocus()); }

  CIpv6EditResult Carry(const CIpv6EditResult& result) {
    if (result.bSync) {
      m_model.SyncGroupsFromText(m_state.GetText());
      m_strPreview = m_model.FormatCompressed();
    }
    return result;
  }
  void Type(const std::string& keys) {
    for (char c : keys) Carry(m_state.OnChar(static_cast<unsigned char>(c)));
  }
  CIpv6EditResult Key(unsigned nKey) { return Carry(m_state.OnKeyDown(nKey)); }
  void ShiftKey(unsigned nKey) {
    Key(IPV6_KEY_SHIFT);
    Key(nKey);
    Carry(m_state.OnKeyUp(IPV6_KEY_SHIFT));
  }
  // The edit control's own handling of a press puts the caret at the
  // column clicked; the rules then snap it.
  void Click(int nColumn) {
    m_state.Load(m_state.GetText(), nColumn, nColumn);
    Carry(m_state.OnLButtonDown());
    Carry(m_state.OnLButtonUp());
  }
  void SetCaret(int nColumn) { m_state.Load(m_state.GetText(), nColumn, nColumn); }

  std::string Group(int nGroup) const { return m_state.GetText().substr(static_cast<size_t>(First(nGroup)), 4); }
  int Caret() const { return m_state.GetSelStart(); }
  std::pair<int, int> Selection() const {
    return {std::min(m_state.GetSelStart(), m_state.GetSelEnd()), std::max(m_state.GetSelStart(), m_state.GetSelEnd())};
  }
  std::string Slots() const {
    std::string text;
    for (const std::string& g : m_model.GetGroups()) text += (text.empty() ? "" : ",") + g;
    return text;
  }

  CIpv6EditState m_state;
  CIpv6TextModel m_model;
  std::string m_strPreview;
};

// Every column outside the digit columns keeps the mask's character.
void ExpectMaskShape(const std::string& text) {
  ASSERT_EQ(text.size(), 71u);
  for (int column = 0; column < 71; ++column) {
    const int group = GroupOfColumn(column);
    const bool bDigit = column >= First(group) && column < First(group) + 4;
    if (!bDigit) {
      EXPECT_EQ(text[static_cast<size_t>(column)], IPV6_EMPTY_MASK[static_cast<size_t>(column)]) << column;
    }
  }
}

TEST(Ipv6Typing, DigitsFillGroupsAndMoveOn) {
  CEditDriver edit;
  EXPECT_EQ(edit.Caret(), 1) << "focus puts the caret at column 1";
  edit.Type("2001db8");
  EXPECT_EQ(edit.m_state.GetText().substr(1, 4), "2001");
  EXPECT_EQ(edit.m_state.GetText().substr(11, 4), "db8 ");
  EXPECT_EQ(edit.Caret(), 14);
  EXPECT_EQ(edit.m_state.GetCurGroup(), 2);
  EXPECT_EQ(edit.m_strPreview, "2001:db8::");
  EXPECT_EQ(edit.Slots(), "2001,0db8,0000,0000,0000,0000,0000,0000");
  ExpectMaskShape(edit.m_state.GetText());
}

TEST(Ipv6Typing, OnlyLowerCaseHexDigitsAreTyped) {
  CEditDriver edit;
  for (unsigned c : {unsigned('A'), unsigned('F'), unsigned(':'), unsigned('g'), unsigned(' '), 0x08u, 0x16u,
                     0x03u, 0x18u, 0u, 0x1F600u}) {
    const CIpv6EditResult result = edit.m_state.OnChar(c);
    EXPECT_FALSE(result.bTextChanged) << "character " << c;
    EXPECT_FALSE(result.bDefault) << "character " << c << " never reaches the edit control";
    EXPECT_TRUE(result.bRepaint) << "character " << c;
  }
  EXPECT_EQ(edit.m_state.GetText(), std::string(IPV6_EMPTY_MASK));
  const CIpv6EditResult typed = CEditDriver().m_state.OnChar('5');
  EXPECT_TRUE(typed.bTextChanged && typed.bRepaint) << "a typed digit changes the text and repaints";
  edit.Type("a");
  EXPECT_EQ(edit.Group(1), "a   ");
}

TEST(Ipv6Typing, LastGroupKeepsTheCaretAndReplacesItsLastDigit) {
  CEditDriver edit;
  edit.Click(First(8));
  edit.Type("12345");
  EXPECT_EQ(edit.Group(8), "1235");
  EXPECT_EQ(edit.Caret(), 69);
  EXPECT_EQ(edit.m_state.GetCurGroup(), 8);
  EXPECT_EQ(edit.m_strPreview, "::1235");
}

TEST(Ipv6Typing, IntoGroupTwoOnly) {
  CEditDriver edit;
  edit.Click(First(2));
  edit.Type("1");
  EXPECT_EQ(edit.Slots(), "0000,0001,0000,0000,0000,0000,0000,0000");
  EXPECT_EQ(edit.m_strPreview, "0:1::");
}

TEST(Ipv6Typing, DigitReplacesSelection) {
  struct Case {
    const char* typed;
    int selStart, selEnd;
    const char* group;
    int caret;
  };
  const Case cases[] = {
      {"2001", 1, 5, "f   ", 2},   // the whole group
      {"2001", 2, 4, "2f1 ", 3},   // the middle
      {"2001", 4, 5, "200f", 11},  // the last digit: the group is full again
      {"db8", 1, 4, "f   ", 2},
  };
  for (const Case& c : cases) {
    CEditDriver edit;
    edit.Type(c.typed);
    edit.m_state.Load(edit.m_state.GetText(), c.selStart, c.selEnd);
    edit.Type("f");
    EXPECT_EQ(edit.Group(1), c.group) << c.typed << " [" << c.selStart << "," << c.selEnd << ")";
    EXPECT_EQ(edit.Caret(), c.caret) << c.typed << " [" << c.selStart << "," << c.selEnd << ")";
  }
}

TEST(Ipv6Typing, ForeignSelectionSettlesIntoItsGroup) {
  // The edit control's own select-all spans every group.
  CEditDriver edit;
  edit.Type("2001db8");
  edit.m_state.Load(edit.m_state.GetText(), 0, 71);
  edit.Type("9");
  EXPECT_EQ(edit.Group(1), "9   ");
  EXPECT_EQ(edit.Group(2), "db8 ");
  ExpectMaskShape(edit.m_state.GetText());
  // A caret parked in the blank columns between groups.
  edit.SetCaret(7);
  edit.Type("8");
  EXPECT_EQ(edit.Group(1), "98  ");
  ExpectMaskShape(edit.m_state.GetText());
}

TEST(Ipv6Deleting, BackspaceCases) {
  struct Case {
    const char* name;
    std::vector<std::string> typed;  // per group
    int caret;
    int group;  // group to look at
    const char* after;
    int caretAfter;
  };
  const Case cases[] = {
      {"at column 1 nothing happens", {"2001"}, 1, 1, "2001", 1},
      {"after the last digit", {"2001", "db8"}, 14, 2, "db  ", 13},
      {"in the middle pulls the rest left", {"2001", "db8"}, 12, 2, "b8  ", 11},
      {"after a full group", {"2001"}, 5, 1, "200 ", 4},
      {"at the first digit of group 3 deletes the last digit of group 2", {"2001", "db8", "1"}, 20, 2, "db  ", 13},
      {"at the first digit of group 2 after a full group 1", {"2001", "", ""}, 11, 1, "200 ", 4},
      {"into an empty previous group", {"1", "", "3"}, 20, 2, "    ", 11},
  };
  for (const Case& c : cases) {
    CEditDriver edit;
    for (size_t g = 0; g < c.typed.size(); ++g) {
      edit.Click(First(static_cast<int>(g) + 1));
      edit.Type(c.typed[g]);
    }
    edit.SetCaret(c.caret);
    edit.Key(IPV6_KEY_BACK);
    EXPECT_EQ(edit.Group(c.group), c.after) << c.name;
    EXPECT_EQ(edit.Caret(), c.caretAfter) << c.name;
    EXPECT_EQ(edit.m_state.GetCurGroup(), GroupOfColumn(c.caretAfter)) << c.name;
    ExpectMaskShape(edit.m_state.GetText());
  }
}

TEST(Ipv6Deleting, BackspaceAndDeleteRemoveTheSelection) {
  for (unsigned key : {IPV6_KEY_BACK, IPV6_KEY_DELETE}) {
    CEditDriver edit;
    edit.Type("abcd");
    edit.m_state.Load(edit.m_state.GetText(), 2, 4);
    edit.Key(key);
    EXPECT_EQ(edit.Group(1), "ad  ") << "key " << key;
    EXPECT_EQ(edit.Caret(), 2) << "key " << key;
  }
}

TEST(Ipv6Deleting, DeletePullsDigitsLeftAndEmptiesToZero) {
  CEditDriver edit;
  edit.Type("2001db8");
  edit.SetCaret(11);
  const CIpv6EditResult result = edit.Key(IPV6_KEY_DELETE);
  EXPECT_TRUE(result.bTextChanged && result.bSync && result.bRepaint && !result.bDefault);
  EXPECT_EQ(edit.Group(2), "b8  ");
  EXPECT_EQ(edit.Caret(), 11);
  edit.Key(IPV6_KEY_DELETE);
  edit.Key(IPV6_KEY_DELETE);
  EXPECT_EQ(edit.Group(2), "    ");
  EXPECT_EQ(edit.Slots(), "2001,0000,0000,0000,0000,0000,0000,0000");
  // At the end of a full group Delete has nothing of its group to remove.
  edit.SetCaret(5);
  edit.Key(IPV6_KEY_DELETE);
  EXPECT_EQ(edit.Group(1), "2001");
  EXPECT_EQ(edit.m_state.GetText()[8], ':');
}

TEST(Ipv6Moving, ArrowsHomeAndEnd) {
  CEditDriver edit;
  edit.Type("2001db8");  // caret 14
  struct Step {
    unsigned key;
    int caret;
  };
  const Step steps[] = {
      {IPV6_KEY_LEFT, 13},  {IPV6_KEY_LEFT, 12},  {IPV6_KEY_UP, 11},    {IPV6_KEY_LEFT, 5},
      {IPV6_KEY_LEFT, 4},   {IPV6_KEY_RIGHT, 5},  {IPV6_KEY_RIGHT, 11}, {IPV6_KEY_DOWN, 12},
      {IPV6_KEY_RIGHT, 13}, {IPV6_KEY_RIGHT, 14}, {IPV6_KEY_RIGHT, 20}, {IPV6_KEY_RIGHT, 29},
      {IPV6_KEY_LEFT, 20},  {IPV6_KEY_LEFT, 14},  {IPV6_KEY_HOME, 1},   {IPV6_KEY_LEFT, 1},
      {IPV6_KEY_END, 65},
  };
  int n = 0;
  for (const Step& s : steps) {
    const CIpv6EditResult result = edit.Key(s.key);
    EXPECT_EQ(edit.Caret(), s.caret) << "step " << n;
    EXPECT_EQ(edit.m_state.GetCurGroup(), GroupOfColumn(s.caret)) << "step " << n;
    EXPECT_FALSE(result.bDefault) << "step " << n;
    EXPECT_FALSE(result.bTextChanged) << "step " << n;
    ++n;
  }
  edit.Type("ab");
  EXPECT_EQ(edit.Key(IPV6_KEY_RIGHT).bSelectionChanged, true);
  EXPECT_EQ(edit.Caret(), 67) << "Right stops after the last digit of group 8";
  edit.Key(IPV6_KEY_HOME);
  edit.Key(IPV6_KEY_END);
  EXPECT_EQ(edit.Caret(), 67);
}

TEST(Ipv6Moving, TabFamilyMovesBetweenGroups) {
  CEditDriver edit;
  edit.Type("2001db8");
  edit.Key(IPV6_KEY_HOME);
  CIpv6EditResult result = edit.Key(IPV6_KEY_TAB);
  EXPECT_EQ(edit.Selection(), std::make_pair(11, 14)) << "Tab selects the typed digits of the next group";
  EXPECT_TRUE(result.bDefault && result.bSync);
  edit.Key(IPV6_KEY_OEM_PERIOD);
  EXPECT_EQ(edit.Selection(), std::make_pair(20, 20)) << "an empty group gets an empty selection";
  EXPECT_EQ(edit.m_state.GetCurGroup(), 3);
  edit.ShiftKey(IPV6_KEY_OEM_1);  // a colon typed on a US layout
  EXPECT_EQ(edit.Selection(), std::make_pair(11, 14));
  edit.ShiftKey(IPV6_KEY_TAB);
  EXPECT_EQ(edit.Selection(), std::make_pair(1, 5));
  EXPECT_EQ(edit.m_state.GetCurGroup(), 1);

  edit.Key(IPV6_KEY_SHIFT);
  result = edit.Key(IPV6_KEY_TAB);
  EXPECT_FALSE(result.bDefault) << "Shift+Tab in group 1 does nothing";
  EXPECT_FALSE(result.bSelectionChanged);
  edit.Carry(edit.m_state.OnKeyUp(IPV6_KEY_SHIFT));
  EXPECT_FALSE(edit.m_state.IsShiftDown());

  edit.Click(First(7));
  result = edit.Key(IPV6_KEY_TAB);
  EXPECT_TRUE(result.bDefault) << "Tab in group 7 moves on to the last group";
  EXPECT_EQ(edit.m_state.GetCurGroup(), 8);
  edit.Key(IPV6_KEY_END);
  result = edit.Key(IPV6_KEY_TAB);
  EXPECT_FALSE(result.bDefault) << "Tab in group 8 does nothing";
  EXPECT_EQ(edit.Caret(), 65);
}

TEST(Ipv6Moving, OnlyTabLeavesTheFieldPastItsGroups) {
  struct Case {
    int nGroup;
    unsigned nKey;
    bool bShift;
    int nLeave;
    const char* reason;
  } cases[] = {
      {8, IPV6_KEY_TAB, false, 1, "Tab in the last group goes on to the next control"},
      {1, IPV6_KEY_TAB, true, -1, "Shift+Tab in the first group goes back to the previous control"},
      {7, IPV6_KEY_TAB, false, 0, "Tab before the last group moves a group"},
      {2, IPV6_KEY_TAB, true, 0, "Shift+Tab after the first group moves a group"},
      {8, IPV6_KEY_OEM_PERIOD, false, 0, "the full stop stays in the field"},
      {8, IPV6_KEY_OEM_1, false, 0, "the semicolon key stays in the field"},
      {1, IPV6_KEY_OEM_1, true, 0, "a colon typed in the first group stays in the field"},
  };
  for (const Case& c : cases) {
    CEditDriver edit;
    edit.Type("2001");
    edit.Click(First(c.nGroup));
    const std::string before = edit.m_state.GetText();
    if (c.bShift) edit.Key(IPV6_KEY_SHIFT);
    const CIpv6EditResult result = edit.Key(c.nKey);
    EXPECT_EQ(result.nLeaveField, c.nLeave) << c.reason;
    if (c.nLeave != 0) {
      EXPECT_FALSE(result.bDefault || result.bSelectionChanged || result.bTextChanged) << c.reason;
      EXPECT_EQ(edit.m_state.GetText(), before) << c.reason;
    }
  }
}

TEST(Ipv6Moving, ShiftArrowsSelectInsideTheAnchorGroup) {
  CEditDriver edit;
  edit.Type("2001db8");
  edit.SetCaret(1);
  edit.Key(IPV6_KEY_SHIFT);
  EXPECT_EQ(edit.m_state.GetAnchor(), 1);
  const std::pair<int, int> grown[] = {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 5}};
  for (const auto& expected : grown) {
    edit.Key(IPV6_KEY_RIGHT);
    EXPECT_EQ(edit.Selection(), expected);
  }
  edit.Key(IPV6_KEY_LEFT);
  EXPECT_EQ(edit.Selection(), std::make_pair(1, 5)) << "with the anchor at the first digit Left does nothing";
  edit.Carry(edit.m_state.OnKeyUp(IPV6_KEY_SHIFT));

  edit.SetCaret(14);  // after db8
  edit.Key(IPV6_KEY_SHIFT);
  edit.Key(IPV6_KEY_RIGHT);
  EXPECT_EQ(edit.Selection(), std::make_pair(14, 14)) << "nothing typed right of the anchor";
  const std::pair<int, int> leftwards[] = {{13, 14}, {12, 14}, {11, 14}, {11, 14}};
  for (const auto& expected : leftwards) {
    edit.Key(IPV6_KEY_UP);
    EXPECT_EQ(edit.Selection(), expected);
  }
  edit.Key(IPV6_KEY_DOWN);
  EXPECT_EQ(edit.Selection(), std::make_pair(12, 14)) << "Right takes back the moved end";
  edit.Carry(edit.m_state.OnKeyUp(IPV6_KEY_SHIFT));
  edit.Type("7");
  EXPECT_EQ(edit.Group(2), "d7  ");
}

TEST(Ipv6Moving, ShiftAndInsertNeverPastes) {
  CEditDriver edit;
  CIpv6EditResult result = edit.Key(IPV6_KEY_SHIFT);
  EXPECT_TRUE(result.bDefault && result.bSync);
  EXPECT_TRUE(edit.m_state.IsShiftDown());
  result = edit.Key(IPV6_KEY_INSERT);
  EXPECT_FALSE(result.bDefault) << "Shift+Insert would paste through the edit control";
  result = edit.Key('A');
  EXPECT_TRUE(result.bDefault && result.bSync) << "other keys get the edit control's handling";
  result = edit.Carry(edit.m_state.OnKeyUp(IPV6_KEY_SHIFT));
  EXPECT_TRUE(result.bDefault);
  EXPECT_FALSE(edit.m_state.IsShiftDown());
}

TEST(Ipv6Mouse, ClicksSnapToTheTypedDigits) {
  CEditDriver edit;
  edit.Type("2001db8");
  struct Case {
    int click, caret;
  };
  const Case cases[] = {
      {0, 1},   {3, 3},   {5, 5},   {7, 5},   {8, 5},   {9, 11},  {10, 11}, {13, 13},
      {15, 14}, {16, 14}, {17, 14}, {18, 20}, {24, 20}, {66, 65}, {70, 65}, {71, 65},
  };
  for (const Case& c : cases) {
    edit.Click(c.click);
    EXPECT_EQ(edit.Selection(), std::make_pair(c.caret, c.caret)) << "click at " << c.click;
    EXPECT_EQ(edit.m_state.GetCurGroup(), GroupOfColumn(c.caret)) << "click at " << c.click;
    EXPECT_FALSE(edit.m_state.IsMouseDown());
  }
}

TEST(Ipv6Mouse, DragSelectsInsideOneGroup) {
  CEditDriver edit;
  edit.Type("2001db8");
  edit.m_state.Load(edit.m_state.GetText(), 12, 12);
  EXPECT_TRUE(edit.Carry(edit.m_state.OnLButtonDown()).bRepaint) << "a press repaints the snapped caret";
  EXPECT_TRUE(edit.m_state.IsMouseDown());
  struct Move {
    int column;
    std::pair<int, int> selection;
  };
  const Move moves[] = {
      {13, {12, 13}}, {14, {12, 14}}, {15, {12, 14}}, {20, {12, 14}},  // not past the last typed digit
      {18, {12, 14}},                                                  // nor past the colon after the group
      {11, {11, 12}}, {10, {11, 12}}, {3, {11, 12}},                   // not before the first digit
      {12, {12, 12}},
  };
  for (const Move& m : moves) {
    edit.m_state.OnMouseMove(m.column, true);
    EXPECT_EQ(edit.Selection(), m.selection) << "pointer at column " << m.column;
  }
  edit.m_state.OnMouseMove(14, false);
  EXPECT_EQ(edit.Selection(), std::make_pair(12, 12)) << "no selection without the button";
  edit.Carry(edit.m_state.OnLButtonUp());
  edit.m_state.OnMouseMove(14, true);
  EXPECT_EQ(edit.Selection(), std::make_pair(12, 12)) << "no selection after the release";
}

TEST(Ipv6Focus, FocusPutsTheCaretBeforeTheFirstDigitAndRepaints) {
  CEditDriver edit;
  edit.Type("2001db8");
  const CIpv6EditResult result = edit.Carry(edit.m_state.OnSetFocus());
  EXPECT_EQ(edit.Selection(), std::make_pair(1, 1));
  EXPECT_EQ(edit.m_state.GetCurGroup(), GroupOfColumn(1));
  EXPECT_TRUE(result.bRepaint);
}

TEST(Ipv6Mouse, DoubleClickSelectsTheGroupDigits) {
  CEditDriver edit;
  edit.Type("2001db8");
  edit.Click(12);
  edit.m_state.OnLButtonDblClk();
  EXPECT_EQ(edit.Selection(), std::make_pair(11, 14));
  edit.Click(30);
  edit.m_state.OnLButtonDblClk();
  EXPECT_EQ(edit.Selection(), std::make_pair(29, 29));
}

TEST(Ipv6State, LoadKeepsTheDirectionOfItsOwnSelection) {
  CEditDriver edit;
  edit.Type("2001");
  edit.SetCaret(1);
  edit.Key(IPV6_KEY_SHIFT);
  edit.Key(IPV6_KEY_RIGHT);
  edit.Key(IPV6_KEY_RIGHT);
  EXPECT_EQ(edit.m_state.GetSelStart(), 3);
  EXPECT_EQ(edit.m_state.GetSelEnd(), 1);
  // The edit control reports its selection low end first.
  edit.m_state.Load(edit.m_state.GetText(), 1, 3);
  EXPECT_EQ(edit.m_state.GetSelStart(), 3) << "the same selection keeps its moving end";
  edit.m_state.Load(edit.m_state.GetText(), 2, 2);
  EXPECT_EQ(edit.m_state.GetSelStart(), 2) << "a different selection is taken as it is";
  edit.m_state.Load("short", 90, -4);
  EXPECT_EQ(edit.Selection(), std::make_pair(0, 71));
  ExpectMaskShape(edit.m_state.GetText());
}

}  // namespace
}  // namespace vantoric
