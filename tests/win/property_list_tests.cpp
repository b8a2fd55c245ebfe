// The property list in a small dialog, driven by clicks, typing and focus
// changes; the editors, their texts, the notifications the dialog receives
// and the message boxes are read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/property_list_win32.h"
#include "framework/dialog.h"
#include "framework/utf8.h"
#include "tests/win/property_list_tests_ids.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

constexpr UINT kSentinel = WM_APP + 7;

class CPropertyTestDialog : public CDialog {
 public:
  CPropertyTestDialog() : CDialog(IDD_PROPLIST_TEST) {}
  CPropertyListCtrl m_list;
  std::vector<std::pair<WPARAM, LPARAM>> m_notes;
  bool m_bSentinel = false;

 protected:
  BOOL OnInitDialog() override {
    m_list.Create(PROPERTY_LIST_STYLE, RECT{10, 10, 320, 150}, m_hWnd, 90);
    m_list.m_bBoldSelection = 1;
    m_list.AddProperty(PROPERTY_KIND_TEXT, "Valid lifetime", "infinite", 0, 2);
    m_list.AddProperty(PROPERTY_KIND_CHOICE, "Type", "unicast!anycast", 1, 2, true);
    m_list.AddProperty(PROPERTY_KIND_TEXT, "Preferred lifetime", "1d", 0, 2);
    m_list.AddProperty(PROPERTY_KIND_CHOICE, "Store", "active!persistent!c!d!e!f!g", 0, 2);
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) override {
    if (msg == WM_PROPLIST_NOTIFY) m_notes.emplace_back(wp, lp);
    m_bSentinel = m_bSentinel || msg == kSentinel;
    return msg == WM_PROPLIST_NOTIFY || msg == kSentinel;
  }
};

class PropertyListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_catcher.SetStrict(true);
    ASSERT_NE(m_dlg.Create(nullptr), nullptr);
    ::ShowWindow(m_dlg.GetSafeHwnd(), SW_SHOW);
  }
  void TearDown() override { m_dlg.DestroyWindow(); }

  HWND List() const { return m_dlg.m_list.GetSafeHwnd(); }
  HWND Child(int id) const { return ::GetDlgItem(List(), id); }
  bool Visible(int id) const { return ::IsWindowVisible(Child(id)) != FALSE; }
  static std::string ItemText(HWND list, int row) {
    wchar_t text[64] = {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    return Narrow(text);
  }
  RECT ItemRect(int row) const {
    RECT rc{};
    ::SendMessageW(List(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    return rc;
  }
  static void Click(HWND hwnd, int x, int y) {
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  // A click on the row's name, then every notification it caused.
  void Select(int row) {
    m_dlg.m_notes.clear();
    Click(List(), 20, ItemRect(row).top + 4);
    m_dlg.m_bSentinel = false;
    m_dlg.PostMessage(kSentinel);
    ASSERT_TRUE(test::PumpUntil([this] { return m_dlg.m_bSentinel; }, 5000));
  }
  void TypeIntoEdit(const std::string& text) const {
    ::SetFocus(Child(IDC_PROPLIST_EDIT));
    ::SendMessageW(Child(IDC_PROPLIST_EDIT), EM_SETSEL, 0, -1);
    for (char c : text) ::SendMessageW(Child(IDC_PROPLIST_EDIT), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  std::string Text(int row) {
    std::string text = "(refused)";
    m_dlg.m_list.GetPropertyText(row, text);
    return text;
  }
  // Rows of the drop-down list shown without scrolling.
  int DropRowsShown() const {
    const RECT rc = CWindow(Child(IDC_PROPLIST_DROP_LIST)).GetClientRect();
    return (rc.bottom - rc.top) /
           static_cast<int>(::SendMessageW(Child(IDC_PROPLIST_DROP_LIST), LB_GETITEMHEIGHT, 0, 0));
  }

  test::CGuiTestScope m_scope{"Vantoric Property List Tests"};
  test::CMessageBoxCatcher m_catcher;
  CPropertyTestDialog m_dlg;
};

TEST_F(PropertyListTest, TextRowShowsTheEditUntilAClickBelowOrAScroll) {
  ASSERT_EQ(::SendMessageW(List(), LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(ItemText(List(), 0), "Valid lifetime") << "rows in the order added";
  EXPECT_EQ(ItemText(List(), 3), "Store") << "rows in the order added";
  Select(2);
  ASSERT_TRUE(Visible(IDC_PROPLIST_EDIT));
  EXPECT_EQ(CWindow::GetText(Child(IDC_PROPLIST_EDIT)), "1d");
  const RECT item = ItemRect(2), edit = CWindow(List()).GetChildRect(Child(IDC_PROPLIST_EDIT));
  EXPECT_GT(edit.left, item.left + 40) << "right of the name";
  EXPECT_GE(edit.top, item.top) << "within the row";
  EXPECT_LE(edit.bottom, item.bottom) << "within the row";
  EXPECT_EQ(m_dlg.m_notes, (std::vector<std::pair<WPARAM, LPARAM>>{{2, PROPERTY_KIND_TEXT}}));

  Click(List(), 20, ItemRect(3).bottom + 10);
  EXPECT_FALSE(Visible(IDC_PROPLIST_EDIT)) << "a click below the rows hides the editors";
  Select(1);
  ASSERT_TRUE(Visible(IDC_PROPLIST_COMBO_BUTTON));
  ::SendMessageW(List(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_FALSE(Visible(IDC_PROPLIST_COMBO_BUTTON)) << "so does scrolling";
}

TEST_F(PropertyListTest, ChoiceRowNotifiesOnlyWhenAChoiceIsTaken) {
  Select(1);
  EXPECT_TRUE(m_dlg.m_notes.empty()) << "selecting a choice row posts nothing";
  ASSERT_TRUE(Visible(IDC_PROPLIST_COMBO_BUTTON));
  ::SendMessageW(Child(IDC_PROPLIST_COMBO_BUTTON), BM_CLICK, 0, 0);
  HWND drop = Child(IDC_PROPLIST_DROP_LIST);
  ASSERT_TRUE(Visible(IDC_PROPLIST_DROP_LIST));
  EXPECT_EQ(ItemText(drop, 0), "anycast") << "sorted choices";
  EXPECT_EQ(ItemText(drop, 1), "unicast") << "sorted choices";
  EXPECT_EQ(::SendMessageW(drop, LB_GETCURSEL, 0, 0), 1) << "initial index 1 is unicast";
  EXPECT_EQ(DropRowsShown(), 2);

  Click(drop, 5, 3);
  ASSERT_TRUE(test::PumpUntil([this] { return !m_dlg.m_notes.empty(); }, 5000));
  EXPECT_EQ(m_dlg.m_notes.front(), (std::pair<WPARAM, LPARAM>{1, PROPERTY_KIND_CHOICE}));
  EXPECT_FALSE(Visible(IDC_PROPLIST_DROP_LIST));
  std::string text;
  int index = -1;
  EXPECT_TRUE(m_dlg.m_list.GetPropertySelection(1, &text, index));
  EXPECT_EQ(text, "anycast");
  EXPECT_EQ(index, 0);

  Select(3);
  ::SendMessageW(Child(IDC_PROPLIST_COMBO_BUTTON), BM_CLICK, 0, 0);
  EXPECT_EQ(DropRowsShown(), 5) << "seven choices";
  EXPECT_TRUE(test::SaveScreenshot(m_dlg.GetSafeHwnd(), "property_list_choices.png"));
}

TEST_F(PropertyListTest, LeavingTheFieldCommitsOrRefuses) {
  Select(0);
  TypeIntoEdit("INFINITE");
  ::SetFocus(::GetDlgItem(m_dlg.GetSafeHwnd(), IDOK));
  EXPECT_EQ(Text(0), "INFINITE") << "stored as typed";

  Select(2);
  TypeIntoEdit("1h30");
  m_catcher.QueueAnswer(IDOK);
  ::SetFocus(::GetDlgItem(m_dlg.GetSafeHwnd(), IDOK));
  ASSERT_EQ(m_catcher.Boxes().size(), 1u);
  const test::CaughtBox& box = m_catcher.Boxes()[0];
  EXPECT_EQ(box.text, "Invalid lifetime format.");
  EXPECT_EQ(box.caption, "Vantoric");
  EXPECT_EQ(box.icon, test::BoxIcon::Error);
  EXPECT_EQ(box.owner, m_dlg.GetSafeHwnd()) << "over the dialog";
  Select(0);
  EXPECT_EQ(Text(2), "1d") << "the refused text left the value as it was";
}

// OK pressed with the focus still in the field reads what was typed there.
TEST_F(PropertyListTest, ReadingARowCommitsTheTextBeingTyped) {
  Select(0);
  TypeIntoEdit("2h");
  EXPECT_EQ(Text(0), "2h");
  TypeIntoEdit("1h30");
  m_catcher.QueueAnswer(IDOK);
  EXPECT_EQ(Text(0), "(refused)");
  EXPECT_EQ(m_catcher.Boxes().size(), 1u) << "the refusal is shown";
  TypeIntoEdit("1h");
  EXPECT_TRUE(test::SaveScreenshot(m_dlg.GetSafeHwnd(), "property_list_editing.png"));
}

}  // namespace
}  // namespace vantoric
