// The sortable list in a small dialog. Header clicks take the real path
// (header window -> list view -> dialog -> list object); the rows are read
// back from the list view.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/sortable_list_win32.h"
#include "framework/dialog.h"
#include "framework/utf8.h"
#include "tests/win/sortable_list_tests_ids.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

class CListTestDialog : public CDialog {
 public:
  CListTestDialog() : CDialog(IDD_SORTLIST_TEST) {}
  CBrekListCtrl m_list;

 protected:
  BOOL OnInitDialog() override {
    m_list.SubclassDlgItem(IDC_TEST_SORTLIST, m_hWnd);
    m_list.SetColumns("Name, 110;Count, 2, 60;Date, 1, 120");
    return TRUE;
  }
};

// A short date in the user's format, which the list's date reading accepts.
std::string ShortDate(WORD year, WORD month, WORD day) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  wchar_t text[64] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 64);
  return Narrow(text);
}

class SortableListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(m_dlg.Create(nullptr), nullptr);
    ::ShowWindow(m_dlg.GetSafeHwnd(), SW_SHOW);
  }
  void TearDown() override { m_dlg.DestroyWindow(); }

  std::vector<std::string> Column(int col) const {
    std::vector<std::string> texts;
    for (int row = 0; row < m_dlg.m_list.GetItemCount(); ++row) texts.push_back(m_dlg.m_list.GetItemText(row, col));
    return texts;
  }
  HWND Header() const { return ListView_GetHeader(m_dlg.m_list.GetSafeHwnd()); }
  // A mouse click in the middle of a column's header item.
  void ClickHeader(int col) const {
    RECT rc{};
    ASSERT_TRUE(Header_GetItemRect(Header(), col, &rc));
    const LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::SendMessageW(Header(), WM_LBUTTONDOWN, MK_LBUTTON, pt);
    ::SendMessageW(Header(), WM_LBUTTONUP, 0, pt);
  }
  bool IsOwnerDrawn(int col) const {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    return Header_GetItem(Header(), col, &item) && (item.fmt & HDF_OWNERDRAW) != 0;
  }

  test::CGuiTestScope m_scope{"Vantoric Sortable List Tests"};
  CListTestDialog m_dlg;
};

TEST_F(SortableListTest, HeaderClicksSortAndReverse) {
  CBrekListCtrl& list = m_dlg.m_list;
  const std::string christmas = ShortDate(2019, 12, 25), newYear = ShortDate(2020, 1, 2), spring = ShortDate(2020, 3, 1);
  list.AddItem(0, "delta", {"7", newYear.c_str()});
  list.AddItem(1, "alpha", {"30", spring.c_str()});
  list.AddItem(2, "charlie", {"5", christmas.c_str()});
  EXPECT_EQ(list.GetSortColumn(), -1) << "unsorted before the first click";

  ClickHeader(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"alpha", "charlie", "delta"})) << "first click: ascending";
  ClickHeader(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"delta", "charlie", "alpha"})) << "second click: descending";
  ClickHeader(2);
  EXPECT_EQ(Column(2), (std::vector<std::string>{christmas, newYear, spring})) << "another column: ascending dates";
  EXPECT_EQ(Column(0), (std::vector<std::string>{"charlie", "delta", "alpha"})) << "whole rows move";
  EXPECT_EQ(list.GetSortColumn(), 2);
  EXPECT_TRUE(list.IsSortAscending());

  for (int row = 0; row < list.GetItemCount(); ++row) {
    const CListItemData* data = list.GetItemData(row);
    ASSERT_NE(data, nullptr) << "row " << row;
    EXPECT_EQ(data->m_arrTexts, (std::vector<std::string>{Column(0)[row], Column(1)[row], Column(2)[row]}))
        << "row " << row << " keeps its own texts after the sort";
  }
  for (int col : {0, 2}) EXPECT_TRUE(IsOwnerDrawn(col)) << "column " << col << " was sorted: the list draws it";
  EXPECT_FALSE(IsOwnerDrawn(1)) << "a column never sorted is drawn by the header";
  EXPECT_TRUE(test::SaveScreenshot(m_dlg.GetSafeHwnd(), "sortable_list.png"));
}

// The DNS page's use: empty rows wrapped and named, removal with the
// selection moving on, and clearing.
TEST_F(SortableListTest, RowsAddedWrappedAndDeleted) {
  CBrekListCtrl& list = m_dlg.m_list;
  for (const char* server : {"2001:db8::3", "2001:db8::2", "2001:db8::1"}) {
    ASSERT_EQ(list.InsertItem(0, ""), 0);
    list.WrapItemData(0);
    EXPECT_EQ(list.SetFirstItemText(server), 1);
  }
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2001:db8::1", "2001:db8::2", "2001:db8::3"}));
  ASSERT_NE(list.GetItemData(0), nullptr);
  EXPECT_EQ(list.GetItemData(0)->m_arrTexts[0], "2001:db8::1") << "the first text is in the row's data";

  LVITEMW item{LVIF_PARAM, 3};
  item.lParam = 42;
  ASSERT_EQ(ListView_InsertItem(list.GetSafeHwnd(), &item), 3);
  list.WrapItemData(3);
  const ListItemPredicate sameValue = [](LPARAM lArg, DWORD dwData) { return static_cast<int>(lArg == dwData); };
  EXPECT_EQ(list.DeleteItem(3, true, sameValue, 41), 0) << "the predicate refuses another caller value";
  EXPECT_EQ(list.DeleteItem(3, true, sameValue, 42), 1) << "the previous item data became the caller value";
  EXPECT_EQ(list.GetFirstSelectedItem(), 2) << "deleting the last row selects the new last row";
  EXPECT_EQ(list.DeleteItem(0, true), 1);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2001:db8::2", "2001:db8::3"}));
  EXPECT_EQ(list.DeleteAllItems(), 2);
  EXPECT_EQ(list.GetFirstSelectedItem(), -1);
}

}  // namespace
}  // namespace vantoric
