// The address control in a small dialog, driven by the messages a user's
// typing, keys and clicks cause; the window text, the selection and the
// preview line are read back from the windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controls/ipv6_control_win32.h"
#include "framework/dialog.h"
#include "framework/utf8.h"
#include "tests/win/ipv6_control_tests_ids.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

class CAddressTestDialog : public CDialog {
 public:
  CAddressTestDialog() : CDialog(IDD_IPV6_TEST) {}

  MFCIPv6Control m_address;
  bool m_bCreated = false;

 protected:
  BOOL OnInitDialog() override {
    m_bCreated = m_address.CreateFromPlaceholder(m_hWnd, IDC_TEST_PLACEHOLDER, IDC_TEST_PREVIEW);
    return TRUE;
  }
};

// The mask with typed digits per group ("" for an empty group).
std::string Masked(std::initializer_list<const char*> typed) {
  std::string text(IPV6_EMPTY_MASK);
  int g = 0;
  for (const char* digits : typed) {
    const std::string d = digits;
    text.replace(static_cast<size_t>(GroupStart(g++)), d.size(), d);
  }
  return text;
}

class Ipv6ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_hDlg = m_dlg.Create(nullptr);
    ASSERT_NE(m_hDlg, nullptr);
    ASSERT_TRUE(m_dlg.m_bCreated);
    m_hCtl = ::GetDlgItem(m_hDlg, IDC_IPV6_ADDRESS);
    ASSERT_NE(m_hCtl, nullptr);
    ::ShowWindow(m_hDlg, SW_SHOW);
    ::SetFocus(m_hCtl);
    ASSERT_TRUE(test::PumpUntil([&] { return ::GetFocus() == m_hCtl; }, 5000));
  }
  void TearDown() override { m_dlg.DestroyWindow(); }

  std::string Text() const { return CWindow::GetText(m_hCtl); }
  std::string Preview() const { return test::DialogItemText(m_hDlg, IDC_TEST_PREVIEW); }
  std::pair<int, int> Sel() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(m_hCtl, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }
  std::pair<int, int> Caret(int column) const { return {column, column}; }

  void Type(const std::string& keys) const {
    for (char c : keys) ::SendMessageW(m_hCtl, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  void Key(UINT vk) const {
    ::SendMessageW(m_hCtl, WM_KEYDOWN, vk, 1);
    ::SendMessageW(m_hCtl, WM_KEYUP, vk, 0xC0000001);
  }
  void ShiftKey(UINT vk) const {
    ::SendMessageW(m_hCtl, WM_KEYDOWN, VK_SHIFT, 1);
    Key(vk);
    ::SendMessageW(m_hCtl, WM_KEYUP, VK_SHIFT, 0xC0000001);
  }
  // A point inside the left half of a column's character, where a click
  // puts the edit control's caret before that character.
  LPARAM PointAt(int column) const {
    const LRESULT pos = ::SendMessageW(m_hCtl, EM_POSFROMCHAR, static_cast<WPARAM>(column), 0);
    return MAKELPARAM(static_cast<short>(LOWORD(pos)) + 1, static_cast<short>(HIWORD(pos)) + 2);
  }
  void Click(int column) const {
    ::SendMessageW(m_hCtl, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(column));
    ::SendMessageW(m_hCtl, WM_LBUTTONUP, 0, PointAt(column));
  }

  CAddressTestDialog m_dlg;
  HWND m_hDlg = nullptr;
  HWND m_hCtl = nullptr;
};

TEST_F(Ipv6ControlTest, ReplacesThePlaceholder) {
  EXPECT_EQ(::GetDlgItem(m_hDlg, IDC_TEST_PLACEHOLDER), nullptr) << "the placeholder is gone";
  wchar_t cls[32] = {};
  ::GetClassNameW(m_hCtl, cls, 32);
  EXPECT_EQ(_wcsicmp(cls, L"Edit"), 0);
  const LONG style = ::GetWindowLongW(m_hCtl, GWL_STYLE);
  for (LONG bit : {WS_CHILD, WS_VISIBLE, WS_TABSTOP}) EXPECT_EQ(style & bit, bit) << "style " << bit;
  // WS_BORDER does not show here: the edit control takes it out of its
  // window style and draws the border itself (the screenshot shows it).

  RECT expected{16, 18, 16 + 292, 18 + 16};
  ::MapDialogRect(m_hDlg, &expected);
  const RECT rc = CWindow(m_hDlg).GetChildRect(m_hCtl);
  EXPECT_EQ(rc.left, expected.left);
  EXPECT_EQ(rc.top, expected.top);
  EXPECT_EQ(rc.right, expected.right);
  EXPECT_EQ(rc.bottom, expected.bottom);
  EXPECT_EQ(::GetWindow(::GetDlgItem(m_hDlg, IDC_TEST_LABEL), GW_HWNDNEXT), m_hCtl) << "the placeholder's tab place";

  EXPECT_EQ(Text(), std::string(IPV6_EMPTY_MASK));
  EXPECT_EQ(::SendMessageW(m_hCtl, EM_GETLIMITTEXT, 0, 0), 71);
  EXPECT_EQ(::SendMessageW(m_hCtl, WM_GETDLGCODE, 0, 0), 5);
  EXPECT_EQ(m_dlg.m_address.m_nOptions, 5);
  EXPECT_EQ(m_dlg.m_address.m_nPreviewId, IDC_TEST_PREVIEW);

  const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hCtl, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  EXPECT_NE(font, reinterpret_cast<HFONT>(::SendMessageW(m_hDlg, WM_GETFONT, 0, 0)));
  LOGFONTW lf{};
  ASSERT_EQ(::GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, 18);
  EXPECT_EQ(lf.lfWidth, 6);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(lf.lfPitchAndFamily & 3, FIXED_PITCH);
  EXPECT_EQ(Narrow(lf.lfFaceName), "Courier New");

  EXPECT_EQ(Sel(), Caret(1)) << "the focus puts the caret at the first digit column";
}

TEST_F(Ipv6ControlTest, TypingFillsTheGroupsAndThePreview) {
  Type("2001db8");
  EXPECT_EQ(Text(), Masked({"2001", "db8"}));
  EXPECT_EQ(Sel(), Caret(14));
  EXPECT_EQ(Preview(), "2001:db8::");
  EXPECT_EQ(m_dlg.m_address.GetGroups()[1], "0db8");

  Type("A:G\r\x1b ");
  EXPECT_EQ(Text(), Masked({"2001", "db8"})) << "only lower-case hexadecimal digits are typed";
  Type("a");
  EXPECT_EQ(Text(), Masked({"2001", "db8a"}));
  EXPECT_EQ(Sel(), Caret(20));

  Key(VK_END);
  Type("12345");
  EXPECT_EQ(Text(), Masked({"2001", "db8a", "", "", "", "", "", "1235"})) << "the fifth digit replaces the last";
  EXPECT_EQ(Sel(), Caret(69));
  EXPECT_EQ(Preview(), "2001:db8a::1235");
}

TEST_F(Ipv6ControlTest, KeysEditAndMoveInsideTheMask) {
  Type("2001db8");
  Click(GroupStart(2));
  Type("1");
  EXPECT_EQ(Sel(), Caret(21));

  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(Sel(), Caret(14)) << "Left from a group's first digit goes after the previous group's digits";
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(Sel(), Caret(12));
  Key(VK_DELETE);
  EXPECT_EQ(Text(), Masked({"2001", "d8", "1"})) << "Delete pulls the following digits left";
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(Sel(), Caret(20)) << "Right after a group's last digit goes to the next group";
  Key(VK_BACK);
  EXPECT_EQ(Text(), Masked({"2001", "d", "1"})) << "Backspace at a group's start deletes the previous group's last digit";
  EXPECT_EQ(Sel(), Caret(12));
  EXPECT_EQ(Preview(), "2001:d:1::");
  Key(VK_BACK);
  Key(VK_BACK);
  EXPECT_EQ(Sel(), Caret(4));
  EXPECT_EQ(Text(), Masked({"200", "", "1"}));
  EXPECT_EQ(Preview(), "200:0:1::");
  Key(VK_HOME);
  EXPECT_EQ(Sel(), Caret(1));
  Key(VK_BACK);
  EXPECT_EQ(Text(), Masked({"200", "", "1"})) << "Backspace at column 1 does nothing";
  Key(VK_END);
  EXPECT_EQ(Sel(), Caret(65));

  Key(VK_HOME);
  Key(VK_TAB);
  EXPECT_EQ(Sel(), Caret(11)) << "Tab into an empty group";
  Key(VK_OEM_PERIOD);
  EXPECT_EQ(Sel(), std::make_pair(20, 21)) << "the full stop selects the next group's digits";
  ShiftKey(VK_OEM_1);
  ShiftKey(VK_OEM_1);
  EXPECT_EQ(Sel(), std::make_pair(1, 4)) << "a colon typed on a US layout goes back one group";
  ShiftKey(VK_TAB);
  EXPECT_EQ(Sel(), std::make_pair(1, 4)) << "Shift+Tab in group 1 does nothing";
  Type("f");
  EXPECT_EQ(Text(), Masked({"f", "", "1"})) << "a typed digit replaces the selection";
}

TEST_F(Ipv6ControlTest, ShiftArrowsSelectInsideOneGroup) {
  Type("2001db8");
  Click(GroupStart(1) + 1);
  EXPECT_EQ(Sel(), Caret(12));
  ::SendMessageW(m_hCtl, WM_KEYDOWN, VK_SHIFT, 1);
  Key(VK_RIGHT);
  EXPECT_EQ(Sel(), std::make_pair(12, 13));
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(Sel(), std::make_pair(12, 14)) << "not past the last typed digit";
  Key(VK_LEFT);
  Key(VK_LEFT);
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(Sel(), std::make_pair(11, 12)) << "not before the group's first digit";
  ::SendMessageW(m_hCtl, WM_KEYUP, VK_SHIFT, 0xC0000001);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), Masked({"2001", "b8"}));
}

TEST_F(Ipv6ControlTest, ClicksDragsAndDoubleClicks) {
  Type("2001db8");
  struct Case {
    int column, caret;
  };
  const Case clicks[] = {{3, 3}, {6, 5}, {9, 11}, {12, 12}, {16, 14}, {22, 20}, {40, 38}, {68, 65}};
  for (const Case& c : clicks) {
    Click(c.column);
    EXPECT_EQ(Sel(), Caret(c.caret)) << "click at column " << c.column;
  }

  ::SendMessageW(m_hCtl, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(11));
  ::SendMessageW(m_hCtl, WM_MOUSEMOVE, MK_LBUTTON, PointAt(13));
  EXPECT_EQ(Sel(), std::make_pair(11, 13));
  ::SendMessageW(m_hCtl, WM_MOUSEMOVE, MK_LBUTTON, PointAt(30));
  EXPECT_EQ(Sel(), std::make_pair(11, 13)) << "the drag stays inside the group";
  ::SendMessageW(m_hCtl, WM_LBUTTONUP, 0, PointAt(30));
  ::SendMessageW(m_hCtl, WM_MOUSEMOVE, MK_LBUTTON, PointAt(14));
  EXPECT_EQ(Sel(), std::make_pair(11, 13)) << "no drag after the release";

  Click(3);
  ::SendMessageW(m_hCtl, WM_LBUTTONDOWN, MK_LBUTTON, PointAt(3));
  ::SendMessageW(m_hCtl, WM_LBUTTONUP, 0, PointAt(3));
  ::SendMessageW(m_hCtl, WM_LBUTTONDBLCLK, MK_LBUTTON, PointAt(3));
  ::SendMessageW(m_hCtl, WM_LBUTTONUP, 0, PointAt(3));
  EXPECT_EQ(Sel(), std::make_pair(1, 5)) << "a double click selects the group's digits";
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
  if (!::OpenClipboard(owner)) return false;
  ::EmptyClipboard();
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(::GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  ::GlobalUnlock(mem);
  const bool bSet = ::SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
  ::CloseClipboard();
  return bSet;
}

TEST_F(Ipv6ControlTest, PastingChangesNothing) {
  Type("2001db8");
  ASSERT_TRUE(PutOnClipboard(m_hDlg, L"1234:5678"));
  // An ordinary edit takes the clipboard's text: the clipboard works.
  HWND plain = ::GetDlgItem(m_hDlg, IDC_TEST_PLAIN_EDIT);
  ::SendMessageW(plain, WM_PASTE, 0, 0);
  EXPECT_EQ(CWindow::GetText(plain), "1234:5678");

  const std::string before = Text();
  ::SendMessageW(m_hCtl, EM_SETSEL, 11, 14);
  EXPECT_EQ(::SendMessageW(m_hCtl, WM_PASTE, 0, 0), 1);
  EXPECT_EQ(Text(), before) << "the paste message";
  Type("\x16");
  EXPECT_EQ(Text(), before) << "Ctrl+V";
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageW(m_hCtl, WM_KEYDOWN, VK_INSERT, 1);
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(Text(), before) << "Shift+Insert";
  ::SendMessageW(m_hCtl, EM_SETSEL, 11, 14);
  ::SendMessageW(m_hCtl, WM_CUT, 0, 0);
  ::SendMessageW(m_hCtl, WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(), before) << "the edit's own cut and delete";
  EXPECT_EQ(Preview(), "2001:db8::");

  // Undo brings back the text before the last change; the preview follows.
  Type("f");
  EXPECT_EQ(Preview(), "2001:f::");
  ::SendMessageW(m_hCtl, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(), before);
  EXPECT_EQ(Preview(), "2001:db8::");
}

TEST_F(Ipv6ControlTest, SettersShowTheirAddress) {
  MFCIPv6Control& address = m_dlg.m_address;
  CDiagnosticLines captured;
  CDiagnosticLines* saved = StandardOutput().Redirect(&captured);
  const bool bRefused = !address.SetAddressText("1::2::3");
  const bool bAccepted = address.SetAddressText("2001:db8::42");
  StandardOutput().Redirect(saved);
  EXPECT_TRUE(bRefused);
  EXPECT_TRUE(bAccepted);
  EXPECT_EQ(captured.str(),
            "num_colons: [2]\nnum_zero_nibbles: [5]\n[b] nibbles found exceeded: [8]\n"
            "num_colons: [2]\nnum_zero_nibbles: [5]\n");
  EXPECT_EQ(Text(), std::string(IPV6_EMPTY_MASK)) << "the setters alone do not change the display";

  address.ApplyGroupsToText();
  EXPECT_EQ(Text(), Masked({"2001", "0db8", "0000", "0000", "0000", "0000", "0000", "0042"}));
  EXPECT_EQ(Preview(), "2001:db8::42");

  ASSERT_TRUE(address.SetInterfaceIdText("0000:0000:0000:0000:020c:29ff:feab:cdef"));
  ASSERT_TRUE(address.SetPrefixText("fd00:1:2:3:4:5:6:7"));
  address.ApplyGroupsToText();
  EXPECT_EQ(Text(), Masked({"fd00", "0001", "0002", "0003"}));
  EXPECT_EQ(Preview(), "fd00:1:2:3::");

  address.ResetGroups();
  address.ApplyGroupsToText();
  EXPECT_EQ(Text(), std::string(IPV6_EMPTY_MASK));
  EXPECT_EQ(Preview(), "::");
}

TEST_F(Ipv6ControlTest, PreviewOnlyWithBothOptionBits) {
  MFCIPv6Control other;
  RECT rc{16, 60, 200, 74};
  ::MapDialogRect(m_hDlg, &rc);
  ASSERT_TRUE(other.Create(m_hDlg, rc, 2000));
  other.m_nPreviewId = IDC_TEST_PREVIEW;
  EXPECT_EQ(other.Initialize(), 1);
  EXPECT_EQ(CWindow::GetText(other.GetSafeHwnd()), std::string(IPV6_EMPTY_MASK))
      << "a control narrower than the mask still holds all of it";
  ::SetDlgItemTextW(m_hDlg, IDC_TEST_PREVIEW, L"unchanged");
  ::SetFocus(other.GetSafeHwnd());
  ::SendMessageW(other.GetSafeHwnd(), WM_CHAR, '7', 1);
  EXPECT_EQ(CWindow::GetText(other.GetSafeHwnd()), Masked({"7"}));
  EXPECT_EQ(other.GetGroups()[0], "0007");
  EXPECT_EQ(Preview(), "unchanged") << "options 1 write no preview";
  ::DestroyWindow(other.GetSafeHwnd());
}

TEST_F(Ipv6ControlTest, Screenshot) {
  Type("2001db80001");
  Click(GroupStart(6));
  Type("abcd42");
  EXPECT_EQ(Preview(), "2001:db80:1::abcd:42");
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "ipv6_address_control.png"));
}

// Presses `keys` one at a time, as a user types them, in the dialog's own
// loop (the one whose keys the control must hold back from the dialog),
// starting in the control `focusId`; each goes to the window with the focus
// and the loop translates it into its character. `check` runs once the loop
// has handled them and ends the dialog with 77; a dialog that a key ended
// gives that key's result.
INT_PTR RunModal(CAddressTestDialog& dlg, int focusId, const std::vector<UINT>& keys,
                 const std::function<void()>& check) {
  std::vector<test::DialogStep> steps = {[focusId](HWND hDlg) { ::SetFocus(::GetDlgItem(hDlg, focusId)); }};
  for (test::DialogStep& step : test::KeySteps(keys)) steps.push_back(std::move(step));
  steps.push_back([&](HWND) {
    check();
    dlg.EndDialog(77);
  });
  test::CMessageBoxCatcher catcher;
  catcher.ScriptNextDialog(std::move(steps));
  return dlg.DoModal(nullptr);
}

TEST(Ipv6ControlModal, EnterEscapeAndTabStayInTheControl) {
  CAddressTestDialog dlg;
  std::string text;
  bool bFocused = false;
  std::pair<DWORD, DWORD> sel{};
  const INT_PTR result = RunModal(dlg, IDC_IPV6_ADDRESS, {'1', '2', VK_RETURN, VK_ESCAPE, VK_TAB}, [&] {
    HWND ctl = dlg.m_address.GetSafeHwnd();
    text = CWindow::GetText(ctl);
    ::SendMessageW(ctl, EM_GETSEL, reinterpret_cast<WPARAM>(&sel.first), reinterpret_cast<LPARAM>(&sel.second));
    bFocused = ::GetFocus() == ctl;
  });
  EXPECT_EQ(result, 77) << "neither Enter nor Escape ended the dialog";
  EXPECT_EQ(text, Masked({"12"}));
  EXPECT_TRUE(bFocused) << "Tab did not leave the control";
  EXPECT_EQ(sel, std::make_pair(DWORD{11}, DWORD{11})) << "Tab went to the next group";
}

// The same keys in an ordinary edit of the same dialog do act on it: the
// test would see a dialog that took Enter or Tab from the control.
TEST(Ipv6ControlModal, OrdinaryEditLetsTheDialogAct) {
  CAddressTestDialog tabbed;
  bool bLeft = false;
  RunModal(tabbed, IDC_TEST_PLAIN_EDIT, {VK_TAB},
           [&] { bLeft = ::GetFocus() != ::GetDlgItem(tabbed.GetSafeHwnd(), IDC_TEST_PLAIN_EDIT); });
  EXPECT_TRUE(bLeft) << "Tab moved the focus on";

  CAddressTestDialog entered;
  const INT_PTR result = RunModal(entered, IDC_TEST_PLAIN_EDIT, {VK_RETURN}, [] {});
  EXPECT_EQ(result, IDOK) << "Enter pressed the default button";
}

}  // namespace
}  // namespace vantoric
