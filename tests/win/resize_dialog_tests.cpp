// The resizable dialog base on a real window built from the main window's
// template: grip, minimum size, anchored controls, minimise and restore,
// and the size remembered in the profile.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "controls/resize_dialog_win32.h"
#include "framework/application.h"
#include "resources/resource.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\Vantoric Resize Tests";
constexpr int kUnknownControl = 4242;

class CAnchoredDlg : public CResizeDialog {
 public:
  explicit CAnchoredDlg(const CProfile& profile) : CResizeDialog(IDD_VANTORIC_DIALOG, &profile) {
    AddAnchor(ANCHOR_RIGHT | ANCHOR_BOTTOM, IDOK);
    AddAnchor(ANCHOR_WIDTH | ANCHOR_HEIGHT, IDC_LIST_ADDRESSES);
    AddAnchor(ANCHOR_WIDTH | ANCHOR_RIGHT, IDC_COMBO_ADAPTER);
    AddAnchor(ANCHOR_BOTTOM, IDC_LOGO);
    AddAnchor(0, IDC_BUTTON_HELP);
    AddAnchor(ANCHOR_RIGHT, kUnknownControl);
  }
};

// The template's own size, from a dialog that does not resize itself.
SIZE TemplateWindowSize() {
  CDialog plain(IDD_VANTORIC_DIALOG);
  HWND hwnd = plain.Create(nullptr);
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  plain.DestroyWindow();
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

SIZE WindowSize(HWND hwnd) {
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

int ReadProfile(const wchar_t* entry, int missing = -1) {
  DWORD value = 0;
  DWORD size = sizeof value;
  const std::wstring path = std::wstring(kTestKey) + L"\\Tests\\66";
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), entry, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return missing;
  return static_cast<int>(value);
}

void Resize(HWND hwnd, int cx, int cy) {
  ::SetWindowPos(hwnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class ResizeDialog : public ::testing::Test {
 protected:
  const CProfile& Profile() { return m_scope.App().GetProfile(); }

  test::CGuiTestScope m_scope{"Vantoric Resize Tests"};
};

TEST_F(ResizeDialog, OpensAtTemplateSizeWithGripAndThatSizeAsMinimum) {
  const SIZE templ = TemplateWindowSize();
  CAnchoredDlg dlg(Profile());
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  EXPECT_EQ(WindowSize(hwnd).cx, templ.cx);
  EXPECT_EQ(WindowSize(hwnd).cy, templ.cy);

  HWND grip = dlg.GetDlgItem(IDC_SIZE_GRIP);
  ASSERT_NE(grip, nullptr) << "size grip with id 59936";
  EXPECT_TRUE(::GetWindowLongW(grip, GWL_STYLE) & SBS_SIZEGRIP);
  RECT client = dlg.GetClientRect();
  RECT rcGrip = dlg.GetChildRect(grip);
  EXPECT_EQ(rcGrip.right, client.right);
  EXPECT_EQ(rcGrip.bottom, client.bottom);

  MINMAXINFO info{};
  ::SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, templ.cx);
  EXPECT_EQ(info.ptMinTrackSize.y, templ.cy);
  Resize(hwnd, 100, 80);
  EXPECT_EQ(WindowSize(hwnd).cx, templ.cx) << "cannot be made smaller than created";
  EXPECT_EQ(WindowSize(hwnd).cy, templ.cy);

  Resize(hwnd, templ.cx + 70, templ.cy + 40);
  client = dlg.GetClientRect();
  rcGrip = dlg.GetChildRect(grip);
  EXPECT_EQ(rcGrip.right, client.right) << "the grip follows the corner";
  EXPECT_EQ(rcGrip.bottom, client.bottom);

  // The corner of the client area answers as the sizing border.
  POINT corner{client.right - 2, client.bottom - 2};
  ::ClientToScreen(hwnd, &corner);
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
  POINT middle{client.right / 2, client.bottom / 2};
  ::ClientToScreen(hwnd, &middle);
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y)), HTCLIENT);
  dlg.DestroyWindow();
}

TEST_F(ResizeDialog, AnchoredControlsFollowTheEdgesInTheirOwnWay) {
  CAnchoredDlg dlg(Profile());
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  const RECT client0 = dlg.GetClientRect();
  auto rectOf = [&](int id) { return dlg.GetChildRect(dlg.GetDlgItem(id)); };
  const RECT ok0 = rectOf(IDOK), list0 = rectOf(IDC_LIST_ADDRESSES), combo0 = rectOf(IDC_COMBO_ADAPTER);
  const RECT logo0 = rectOf(IDC_LOGO), help0 = rectOf(IDC_BUTTON_HELP), edit0 = rectOf(IDC_BUTTON_EDIT);

  const SIZE size0 = WindowSize(hwnd);
  Resize(hwnd, size0.cx + 120, size0.cy + 80);
  const RECT client1 = dlg.GetClientRect();
  const int dx = client1.right - client0.right;
  const int dy = client1.bottom - client0.bottom;
  ASSERT_EQ(dx, 120);
  ASSERT_EQ(dy, 80);

  const RECT ok1 = rectOf(IDOK);
  EXPECT_EQ(client1.right - ok1.right, client0.right - ok0.right) << "Exit keeps its distance to the right edge";
  EXPECT_EQ(client1.bottom - ok1.bottom, client0.bottom - ok0.bottom) << "and to the bottom edge";
  EXPECT_EQ(ok1.right - ok1.left, ok0.right - ok0.left) << "and its size";

  const RECT list1 = rectOf(IDC_LIST_ADDRESSES);
  EXPECT_EQ(list1.left, list0.left);
  EXPECT_EQ(list1.top, list0.top);
  EXPECT_EQ(list1.right, list0.right + dx) << "the list widens";
  EXPECT_EQ(list1.bottom, list0.bottom + dy) << "and grows taller";

  const RECT combo1 = rectOf(IDC_COMBO_ADAPTER);
  EXPECT_EQ(combo1.left, combo0.left) << "flags 4 and 1: widens, does not move";
  EXPECT_EQ(combo1.right, combo0.right + dx);

  const RECT logo1 = rectOf(IDC_LOGO);
  EXPECT_EQ(logo1.left, logo0.left);
  EXPECT_EQ(logo1.top, logo0.top + dy);

  const RECT help1 = rectOf(IDC_BUTTON_HELP);
  EXPECT_EQ(help1.left, help0.left) << "flags 0: skipped";
  EXPECT_EQ(help1.top, help0.top);
  const RECT edit1 = rectOf(IDC_BUTTON_EDIT);
  EXPECT_EQ(edit1.left, edit0.left) << "not registered";

  test::SaveScreenshot(hwnd, "resize_dialog_enlarged.png");

  // Back to the start: everything returns to the template layout.
  Resize(hwnd, size0.cx, size0.cy);
  const RECT ok2 = rectOf(IDOK);
  const RECT list2 = rectOf(IDC_LIST_ADDRESSES);
  EXPECT_EQ(ok2.left, ok0.left);
  EXPECT_EQ(ok2.top, ok0.top);
  EXPECT_EQ(list2.right, list0.right);
  EXPECT_EQ(list2.bottom, list0.bottom);
  dlg.DestroyWindow();
}

TEST_F(ResizeDialog, MinimiseAndRestoreDoNotMoveControlsTwice) {
  CAnchoredDlg dlg(Profile());
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  const SIZE size0 = WindowSize(hwnd);
  Resize(hwnd, size0.cx + 50, size0.cy + 30);
  const RECT ok1 = dlg.GetChildRect(dlg.GetDlgItem(IDOK));
  const RECT list1 = dlg.GetChildRect(dlg.GetDlgItem(IDC_LIST_ADDRESSES));

  for (int round = 0; round < 2; ++round) {
    ::ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(test::PumpUntil([&] { return ::IsIconic(hwnd) != FALSE; }, 5000)) << "round " << round;
    ::ShowWindow(hwnd, SW_RESTORE);
    ASSERT_TRUE(test::PumpUntil([&] { return ::IsIconic(hwnd) == FALSE; }, 5000)) << "round " << round;
    const RECT ok2 = dlg.GetChildRect(dlg.GetDlgItem(IDOK));
    const RECT list2 = dlg.GetChildRect(dlg.GetDlgItem(IDC_LIST_ADDRESSES));
    EXPECT_EQ(ok2.left, ok1.left) << "round " << round;
    EXPECT_EQ(ok2.top, ok1.top) << "round " << round;
    EXPECT_EQ(list2.right, list1.right) << "round " << round;
    EXPECT_EQ(list2.bottom, list1.bottom) << "round " << round;
  }
  dlg.DestroyWindow();
}

TEST_F(ResizeDialog, SizeIsRememberedInTheTemplateSectionAfterAResize) {
  const SIZE templ = TemplateWindowSize();
  {
    CAnchoredDlg dlg(Profile());
    HWND hwnd = dlg.Create(nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(dlg.GetProfileSection(), "66");
    Resize(hwnd, templ.cx + 90, templ.cy + 45);
    dlg.DestroyWindow();
  }
  EXPECT_EQ(ReadProfile(L"CX"), templ.cx + 90);
  EXPECT_EQ(ReadProfile(L"CY"), templ.cy + 45);

  CAnchoredDlg next(Profile());
  HWND hwnd = next.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(WindowSize(hwnd).cx, templ.cx + 90) << "the next start opens at the remembered size";
  EXPECT_EQ(WindowSize(hwnd).cy, templ.cy + 45);
  // The remembered size moved the anchored controls from the template layout.
  CDialog plain(IDD_VANTORIC_DIALOG);
  HWND plainHwnd = plain.Create(nullptr);
  const RECT okPlain = plain.GetChildRect(plain.GetDlgItem(IDOK));
  plain.DestroyWindow();
  const RECT okNext = next.GetChildRect(next.GetDlgItem(IDOK));
  EXPECT_NE(plainHwnd, nullptr);
  EXPECT_EQ(okNext.left, okPlain.left + 90);
  EXPECT_EQ(okNext.top, okPlain.top + 45);
  next.DestroyWindow();
}

TEST_F(ResizeDialog, NothingIsWrittenWithoutAResize) {
  CAnchoredDlg dlg(Profile());
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::ShowWindow(hwnd, SW_MINIMIZE);
  ::ShowWindow(hwnd, SW_RESTORE);
  dlg.DestroyWindow();
  EXPECT_EQ(ReadProfile(L"CX"), -1);
  EXPECT_EQ(ReadProfile(L"CY"), -1);
}

// The window opens between its template's size and the work area of its
// monitor, whatever the profile holds.
TEST_F(ResizeDialog, RememberedSizeOutOfRangeOpensWithinTemplateAndWorkArea) {
  const SIZE templ = TemplateWindowSize();
  struct Case {
    const char* name;
    int cx, cy;
    bool bWorkArea;  // expected: the work area's size, else the template's
  };
  const Case cases[] = {{"width 0", 0, templ.cy + 100, false},
                        {"height 0", templ.cx + 100, 0, false},
                        {"negative", -300, -200, false},
                        {"huge", 100000, 100000, true}};
  for (const Case& c : cases) {
    Profile().WriteProfileInt("66", "CX", c.cx);
    Profile().WriteProfileInt("66", "CY", c.cy);
    CAnchoredDlg dlg(Profile());
    HWND hwnd = dlg.Create(nullptr);
    ASSERT_NE(hwnd, nullptr) << c.name;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) << c.name;
    const SIZE expected = c.bWorkArea ? SIZE{monitor.rcWork.right - monitor.rcWork.left,
                                             monitor.rcWork.bottom - monitor.rcWork.top}
                                      : templ;
    EXPECT_EQ(WindowSize(hwnd).cx, expected.cx) << c.name;
    EXPECT_EQ(WindowSize(hwnd).cy, expected.cy) << c.name;
    dlg.DestroyWindow();
  }
}

TEST_F(ResizeDialog, ClosedWhileMinimisedRemembersTheRestoredSize) {
  const SIZE templ = TemplateWindowSize();
  CAnchoredDlg dlg(Profile());
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  Resize(hwnd, templ.cx + 60, templ.cy + 20);
  ::ShowWindow(hwnd, SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(hwnd));
  dlg.DestroyWindow();
  EXPECT_EQ(ReadProfile(L"CX"), templ.cx + 60);
  EXPECT_EQ(ReadProfile(L"CY"), templ.cy + 20);
}

}  // namespace
}  // namespace vantoric
