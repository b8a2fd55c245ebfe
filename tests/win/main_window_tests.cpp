// The main window on synthetic snapshots read through the adapter-data seam:
// chooser, address list, description and MAC, the click state, Refresh,
// the no-adapter exit, resizing, the About box and Exit's question.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/vantoric_dlg.h"
#include "controls/property_list_win32.h"
#include "dialogs/edit_ip6_dlg.h"
#include "framework/application.h"
#include "framework/message_box.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "resources/resource_address_dialogs.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using namespace test;

TEST_F(MainWindow, ChooserFollowsTheSnapshotAndEntryZeroIsShown) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);

  EXPECT_EQ(ChooserEntries(), (std::vector<std::string>{"Ethernet 2", "Wi-Fi", "Tunnel"}))
      << "record order, the first Ethernet adapter first, although the chooser sorts";
  EXPECT_EQ(Chooser().GetCurSel(), 0);
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_DESCRIPTION), "Ethernet 2 device");
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_MAC), "00-0C-29-AB-CD-EF");

  const std::vector<Row> expected = {
      {"2001:db8::5", "Manual", "Preferred", "infinite", "infinite"},
      {"2001:db8::abcd", "Temporary", "Deprecated", "1d0h0m0s", "1h0m0s"},
      {"fe80::20c:29ff:feab:cdef", "Link-Local", "Preferred", "infinite", "infinite"},
  };
  EXPECT_EQ(Rows(), expected) << "stored order, IPv4 left out";
  EXPECT_EQ(Highlighted(), -1) << "no row selected after start-up";
  ExpectNoSelection("after start-up");
}

TEST_F(MainWindow, ListHasItsColumnsStylesAndFont) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  HWND list = List().GetSafeHwnd();
  struct Column {
    const char* heading;
    int width;
  };
  const Column columns[] = {{"IPv6 Address", 280}, {"Type", 50}, {"DAD", 75}, {"Valid Life", 80}, {"Pref. Life", 80}};
  for (int i = 0; i < 5; ++i) {
    wchar_t text[64] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = text;
    col.cchTextMax = 64;
    ASSERT_TRUE(::SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&col))) << "column " << i;
    EXPECT_EQ(Narrow(text), columns[i].heading) << "column " << i;
    EXPECT_EQ(col.cx, columns[i].width) << "column " << i;
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << "column " << i;
  }
  LVCOLUMNW sixth{LVCF_WIDTH};
  EXPECT_FALSE(::SendMessageW(list, LVM_GETCOLUMNW, 5, reinterpret_cast<LPARAM>(&sixth))) << "five columns";

  EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(::GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL);
  EXPECT_TRUE(::GetWindowLongW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);

  LOGFONTW lf{};
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  ::GetObjectW(font, sizeof lf, &lf);
  EXPECT_EQ(Narrow(lf.lfFaceName), "Verdana");
  HDC screen = ::GetDC(nullptr);
  EXPECT_EQ(lf.lfHeight, -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72)) << "9 points";
  ::ReleaseDC(nullptr, screen);
}

TEST_F(MainWindow, ChangingTheAdapterShowsItsRecordAndClearsTheSelection) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  ClickRow(0);
  ASSERT_EQ(Highlighted(), 0);

  Choose(1);
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_DESCRIPTION), "Wi-Fi device");
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_MAC), "00-1B-2C-3D-4E-5F");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"2001:db8:1::10", "Public", "Preferred", "infinite", "infinite"}}));
  EXPECT_EQ(Highlighted(), -1);
  ExpectNoSelection("the selected address is not this adapter's");
}

TEST_F(MainWindow, AdapterWithoutIPv6OrPhysicalAddress) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  Choose(2);
  EXPECT_TRUE(Rows().empty()) << "only an IPv4 address";
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_DESCRIPTION), "Tunnel device");
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_MAC), "N/A");
}

// Edit tells why it refuses the selected address: by its kind, looked up
// in the record by the row's text, or by its class.
TEST_F(MainWindow, ClickOnARowSelectsItsAddressAndBelowTheRowsClears) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  ClickRow(1);
  EXPECT_EQ(Highlighted(), 1);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  CheckBox(0, "You have selected a TEMPORARY ADDRESS. Address cannot be edited.", "Vantoric", BoxIcon::Warning);

  ClickRow(2);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  CheckBox(1, "You have selected a LINK-LOCAL ADDRESS. Address cannot be edited.", "Vantoric", BoxIcon::Warning);

  ClickRow(0);
  ClickBelowLastRow();
  EXPECT_EQ(Highlighted(), -1);
  ExpectNoSelection("after a click below the rows");
}

TEST_F(MainWindow, TwoRowsWithTheSameTextSelectTheFirst) {
  CSyntheticAdapterSource source({Adapter(
      "eth0", IF_TYPE_ETHERNET_CSMACD, {1, 2, 3, 4, 5, 6},
      {Address("2001:db8::7", IpPrefixOriginManual, IpSuffixOriginManual, 7200, 3600),
       Address("2001:db8::7", IpPrefixOriginRouterAdvertisement, IpSuffixOriginLinkLayerAddress, 600, 60,
               IpDadStateTentative)})});
  ASSERT_NE(Open(), nullptr);
  ASSERT_EQ(List().GetItemCount(), 2);
  ClickRow(1);
  // Edit opens on the first address with that text, a manual one (the
  // second, a public one, would be refused), and shows its lifetimes.
  std::string shown, valid, preferred;
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    shown = DialogItemText(dlg, IDC_PROP_PREVIEW);
    ::SendMessageW(::GetDlgItem(dlg, IDC_PROP_BUTTON_EDIT), BM_CLICK, 0, 0);
    HWND list = ::GetDlgItem(dlg, IDC_ADDRESS_PROPERTY_LIST);
    ClickListBoxItem(list, EDIT_ROW_VALID_LIFETIME);
    valid = DialogItemText(list, IDC_PROPLIST_EDIT);
    ClickListBoxItem(list, EDIT_ROW_PREFERRED_LIFETIME);
    preferred = DialogItemText(list, IDC_PROPLIST_EDIT);
    ::SendMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
  }});
  Press(IDC_BUTTON_EDIT);
  EXPECT_TRUE(m_catcher.Boxes().empty()) << "not refused";
  EXPECT_EQ(shown, "2001:db8::7");
  EXPECT_EQ(valid, "2h0m0s") << "the first row's valid lifetime";
  EXPECT_EQ(preferred, "1h0m0s") << "the first row's preferred lifetime";
}

TEST_F(MainWindow, RefreshTakesANewSnapshotAndSurvivesFewerAdapters) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);

  // Same adapters, one address more: shown after Refresh, chosen adapter kept.
  std::vector<SyntheticAdapter> more = ThreeAdapters();
  more[0].unicast.push_back(Address("2001:db8:1::20", IpPrefixOriginManual, IpSuffixOriginManual));
  Choose(1);
  ClickRow(0);
  source.SetAdapters(more);
  Press(IDC_BUTTON_REFRESH);
  EXPECT_EQ(Chooser().GetCurSel(), 1);
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(Highlighted(), 0) << "Refresh keeps the selection on its address";

  // One adapter only: the chooser is rebuilt and shows it.
  source.SetAdapters({ThreeAdapters()[2]});
  Press(IDC_BUTTON_REFRESH);
  EXPECT_EQ(ChooserEntries(), (std::vector<std::string>{"Tunnel"}));
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_DESCRIPTION), "Tunnel device");
  EXPECT_EQ(m_dlg.GetDlgItemText(IDC_STATIC_MAC), "N/A");
  ExpectNoSelection("another adapter: the selection is gone");
  EXPECT_TRUE(::IsWindow(m_hwnd));

  // The adapters come back: the one shown is kept by its name.
  source.SetAdapters(ThreeAdapters());
  Press(IDC_BUTTON_REFRESH);
  EXPECT_EQ(Chooser().GetLBText(Chooser().GetCurSel()), "Tunnel");
}

TEST_F(MainWindow, NoAdapterOrNoReadingSaysSoAndEndsTheDialog) {
  struct Case {
    const char* name;
    ULONG failure;  // 0: an empty list
    std::string text;
  };
  const Case cases[] = {
      {"no adapter", 0, "No Network Adapters Found on System."},
      {"enumeration failed", ERROR_NOT_ENOUGH_MEMORY,
       "The network adapters could not be read: " + GetSystemMessage(ERROR_NOT_ENOUGH_MEMORY)},
      {"the system refused", ERROR_ACCESS_DENIED,
       "The network adapters could not be read: " + GetSystemMessage(ERROR_ACCESS_DENIED)},
  };
  for (const Case& c : cases) {
    CSyntheticAdapterSource source;
    if (c.failure != 0) {
      source.SetAdapters(ThreeAdapters());
      source.QueueFailure(c.failure);
    }
    m_catcher.Clear();
    CVantoricDlg dlg;
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL) << c.name;
    ASSERT_EQ(m_catcher.Boxes().size(), 1u) << c.name << ": no Exit question";
    EXPECT_EQ(m_catcher.Boxes()[0].text, c.text) << c.name;
    EXPECT_EQ(m_catcher.Boxes()[0].caption, "Vantoric") << c.name;
    EXPECT_EQ(m_catcher.Boxes()[0].icon, test::BoxIcon::Error) << c.name;
  }
}

TEST_F(MainWindow, AFailedRefreshKeepsTheLastReadingOnShow) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  Choose(1);
  ClickRow(0);
  const std::vector<Row> before = Rows();
  const std::vector<std::string> entries = ChooserEntries();
  source.QueueFailure(ERROR_NOT_ENOUGH_MEMORY);
  Press(IDC_BUTTON_REFRESH);
  ASSERT_EQ(m_catcher.Boxes().size(), 1u);
  EXPECT_EQ(m_catcher.Boxes()[0].text, "The network adapters could not be read: " +
                                           GetSystemMessage(ERROR_NOT_ENOUGH_MEMORY) +
                                           "\n\nThe list shows the last reading. Press Refresh to try again.");
  EXPECT_EQ(m_catcher.Boxes()[0].icon, test::BoxIcon::Error);
  test::PumpMessages(0);  // a close the window posted would be handled here
  ASSERT_TRUE(::IsWindow(m_hwnd)) << "the window stays";
  EXPECT_EQ(ChooserEntries(), entries);
  EXPECT_EQ(Chooser().GetCurSel(), 1);
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(Highlighted(), 0) << "the highlight stays too";

  // The next Refresh that reads the list shows it.
  source.SetAdapters({ThreeAdapters()[0]});
  Press(IDC_BUTTON_REFRESH);
  EXPECT_EQ(m_catcher.Boxes().size(), 1u);
  EXPECT_EQ(ChooserEntries(), std::vector<std::string>{"Wi-Fi"});
}

TEST_F(MainWindow, RefreshWithoutAdaptersClosesTheWindow) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  source.SetAdapters({});
  Press(IDC_BUTTON_REFRESH);
  ASSERT_EQ(m_catcher.Boxes().size(), 1u);
  EXPECT_EQ(m_catcher.Boxes()[0].text, "No Network Adapters Found on System.");
  EXPECT_TRUE(test::PumpUntil([&] { return !::IsWindow(m_hwnd); }, 3000)) << "the window closes";
}

TEST_F(MainWindow, ExitAsksFirstAndCancelKeepsTheWindow) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  m_catcher.QueueAnswer(IDCANCEL);
  Press(IDOK);
  ASSERT_EQ(m_catcher.Boxes().size(), 1u);
  const test::CaughtBox& box = m_catcher.Boxes()[0];
  EXPECT_EQ(box.text, "Are you sure you want to close the application?  ");
  EXPECT_EQ(box.caption, "Vantoric");
  EXPECT_EQ(box.icon, test::BoxIcon::Question);
  EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(box.owner, m_hwnd);
  test::PumpMessages(0);
  EXPECT_TRUE(::IsWindow(m_hwnd));

  // Escape ends the window without the question.
  ::SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(::IsWindow(m_hwnd));
  EXPECT_EQ(m_catcher.Boxes().size(), 1u);
}

TEST_F(MainWindow, AboutBoxFromTheSystemMenu) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  HMENU menu = ::GetSystemMenu(m_hwnd, FALSE);
  ASSERT_NE(menu, nullptr);
  wchar_t item[64] = {};
  ASSERT_GT(::GetMenuStringW(menu, IDM_ABOUTBOX, item, 64, MF_BYCOMMAND), 0);
  EXPECT_EQ(Narrow(item), "&About Vantoric...");
  const int count = ::GetMenuItemCount(menu);
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX)) << "appended last";
  MENUITEMINFOW separator{sizeof separator, MIIM_FTYPE};
  ::GetMenuItemInfoW(menu, count - 2, TRUE, &separator);
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);

  for (WPARAM command : {static_cast<WPARAM>(IDM_ABOUTBOX), static_cast<WPARAM>(IDM_ABOUTBOX | 0x3)}) {
    std::string caption;
    std::vector<std::string> texts;
    HWND owner = nullptr;
    m_catcher.ScriptNextDialog({[&](HWND about) {
      caption = CWindow(about).GetWindowText();
      for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        texts.push_back(CWindow::GetText(child));
      owner = ::GetWindow(about, GW_OWNER);
      ::SendMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    }});
    ::SendMessageW(m_hwnd, WM_SYSCOMMAND, command, 0);
    EXPECT_EQ(caption, "About Vantoric") << command;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Vantoric Version 1.0"), texts.end()) << command;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "OK"), texts.end()) << command;
    EXPECT_EQ(owner, m_hwnd) << command;
  }
  // Other system commands keep their default handling.
  ::SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(::IsIconic(m_hwnd));
}

TEST_F(MainWindow, MinimisedWindowPaintsItsIcon) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  // The program's icon (a shared icon: loading it again gives the same handle).
  const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(m_hwnd, WM_QUERYDRAGICON, 0, 0)), icon);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(m_hwnd, WM_GETICON, ICON_BIG, 0)), icon);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(m_hwnd, WM_GETICON, ICON_SMALL, 0)), icon);

  const RECT list0 = m_dlg.GetChildRect(List().GetSafeHwnd());
  ::ShowWindow(m_hwnd, SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(m_hwnd));
  ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ::ShowWindow(m_hwnd, SW_RESTORE);
  test::PumpMessages(0);
  const RECT list1 = m_dlg.GetChildRect(List().GetSafeHwnd());
  EXPECT_EQ(list1.right, list0.right);
  EXPECT_EQ(list1.bottom, list0.bottom);
  EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(MainWindow, ResizingGrowsTheListAndKeepsTheButtonsAtTheEdges) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(test::SaveScreenshot(m_hwnd, "main_window_template_size.png"));

  const int ids[] = {IDOK, IDC_BUTTON_HELP, IDC_BUTTON_ADVANCED, IDC_FRAME_INFORMATION, IDC_FRAME_DESCRIPTION,
                     IDC_STATIC_DESCRIPTION, IDC_LIST_ADDRESSES, IDC_BUTTON_ADD, IDC_BUTTON_EDIT,
                     IDC_BUTTON_REMOVE, IDC_BUTTON_REFRESH, IDC_FRAME_ADAPTER, IDC_COMBO_ADAPTER, IDC_LOGO,
                     IDC_WEBLINK, IDC_STATIC_MAC};
  std::vector<RECT> before;
  for (int id : ids) before.push_back(m_dlg.GetChildRect(m_dlg.GetDlgItem(id)));
  const RECT client0 = m_dlg.GetClientRect();
  RECT window{};
  ::GetWindowRect(m_hwnd, &window);
  ::SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left + 200, window.bottom - window.top + 120,
                 SWP_NOMOVE | SWP_NOZORDER);
  const RECT client1 = m_dlg.GetClientRect();
  const int dx = client1.right - client0.right;
  const int dy = client1.bottom - client0.bottom;
  ASSERT_EQ(dx, 200);
  ASSERT_EQ(dy, 120);

  // Expected change of left, top, right, bottom for each control.
  struct Change {
    int left, top, right, bottom;
  };
  const Change moves = {dx, dy, dx, dy}, grows = {0, 0, dx, dy}, widens = {0, 0, dx, 0},
               down = {0, dy, 0, dy}, downWide = {0, dy, dx, dy}, stays = {0, 0, 0, 0};
  const Change expected[] = {moves, moves, moves, grows, downWide, down, grows, moves,
                             moves, moves, moves, widens, widens, down, down, stays};
  for (size_t i = 0; i < std::size(ids); ++i) {
    const RECT after = m_dlg.GetChildRect(m_dlg.GetDlgItem(ids[i]));
    EXPECT_EQ(after.left - before[i].left, expected[i].left) << "control " << ids[i];
    EXPECT_EQ(after.top - before[i].top, expected[i].top) << "control " << ids[i];
    if (ids[i] == IDC_COMBO_ADAPTER) continue;  // a combo box's height includes its drop-down
    EXPECT_EQ(after.right - before[i].right, expected[i].right) << "control " << ids[i];
    EXPECT_EQ(after.bottom - before[i].bottom, expected[i].bottom) << "control " << ids[i];
  }
  EXPECT_TRUE(test::SaveScreenshot(m_hwnd, "main_window_enlarged.png"));

  m_dlg.DestroyWindow();
  DWORD cx = 0, size = sizeof cx;
  EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vantoric Main Window Tests\\Tests\\66", L"CX",
                           RRF_RT_REG_DWORD, nullptr, &cx, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(static_cast<LONG>(cx), window.right - window.left + 200) << "closing remembers the size";
}

TEST_F(MainWindow, TheFirstStartShowsEveryColumnAndARememberedSizeStays) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  HWND list = List().GetSafeHwnd();
  int columns = ::GetSystemMetrics(SM_CXVSCROLL);
  for (int col = 0; col < 5; ++col) columns += static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, col, 0));
  RECT client{};
  ::GetClientRect(list, &client);
  EXPECT_GE(client.right, columns) << "the five columns and the scroll bar fit";
  RECT window{};
  ::GetWindowRect(m_hwnd, &window);
  MONITORINFO monitor{sizeof monitor};
  ::GetMonitorInfoW(::MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_GE(window.left, monitor.rcWork.left);
  EXPECT_LE(window.right, monitor.rcWork.right);
  EXPECT_TRUE(test::SaveScreenshot(m_hwnd, "main_window_first_start.png"));

  // A remembered size opens as it was, narrower than the columns or not.
  const int narrow = m_dlg.GetLayout().GetMinTrackSize().cx + 10;
  m_dlg.DestroyWindow();
  m_scope.App().GetProfile().WriteProfileInt("66", "CX", narrow);
  ASSERT_NE(Open(), nullptr);
  ::GetWindowRect(m_hwnd, &window);
  EXPECT_EQ(window.right - window.left, narrow);
}

TEST_F(MainWindow, TheLinkOpensTheMakersAddress) {
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  HWND link = m_dlg.GetDlgItem(IDC_WEBLINK);
  EXPECT_NE(CHyperLink::GetUnderlineFont(), nullptr) << "the link is attached";
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SendMessageW(m_hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
  ::DeleteDC(dc);
  ::SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(::GetCapture(), link);
  ::ReleaseCapture();
}

}  // namespace
}  // namespace vantoric
