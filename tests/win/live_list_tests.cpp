// The main window's list between the user's commands: new readings when
// the system's addresses change, Copy and the list's context menu, the
// expiry tips of the lifetime cells and sorting by a heading.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/address_change_win32.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/main_window_fixture.h"

namespace vantoric {
namespace {

using namespace test;
using Strings = std::vector<std::string>;

constexpr char kEthernet[] = "Ethernet 2";

SyntheticAdapter Ethernet(std::vector<SyntheticAddress> addresses) {
  return Adapter(kEthernet, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}, std::move(addresses));
}

std::vector<SyntheticAddress> ThreeAddresses() {
  return {Address("2001:db8::20", IpPrefixOriginManual, IpSuffixOriginManual, 7200, 3600),
          Address("2001:db8::3", IpPrefixOriginRouterAdvertisement, IpSuffixOriginRandom, 0, 0, IpDadStateDeprecated),
          Address("fe80::20c:29ff:feab:cdef", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress)};
}

class LiveList : public MainWindow {
 protected:
  void PressWithControl(UINT key) { test::PressWithControl(List().GetSafeHwnd(), key); }
  // A click on a heading, as the mouse gives it, the list scrolled so that
  // the heading is in view.
  void ClickHeading(int column) {
    HWND header = reinterpret_cast<HWND>(List().SendMessage(LVM_GETHEADER));
    RECT item{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    const int scrolled = ::GetScrollPos(List().GetSafeHwnd(), SB_HORZ);
    List().SendMessage(LVM_SCROLL, item.left - scrolled, 0);
    RECT rc{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(header, WM_LBUTTONUP, 0, at);
  }
  int SortFormat(int column) const {
    HWND header = reinterpret_cast<HWND>(List().SendMessage(LVM_GETHEADER));
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  // The tip of a cell, with the mouse over it.
  std::string TipOf(int row, int column) {
    RECT rc{};
    rc.top = column;
    rc.left = LVIR_LABEL;
    List().SendMessage(LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(List().GetSafeHwnd(), &pt);
    ::SetCursorPos(pt.x, pt.y);
    wchar_t text[256] = L"";
    NMLVGETINFOTIPW tip{};
    tip.hdr = {List().GetSafeHwnd(), IDC_LIST_ADDRESSES, LVN_GETINFOTIPW};
    tip.pszText = text;
    tip.cchTextMax = 256;
    tip.iItem = row;
    ::SendMessageW(m_hwnd, WM_NOTIFY, IDC_LIST_ADDRESSES, reinterpret_cast<LPARAM>(&tip));
    return Narrow(text);
  }
};

TEST_F(LiveList, ANewReadingFollowsAChangeKeepingHighlightAndFocusButNotUnderADialog) {
  CSyntheticAdapterSource source({Ethernet(ThreeAddresses())});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  ClickRow(2);
  ::SetFocus(List().GetSafeHwnd());
  const Strings before = Addresses();

  // The state of one address changes and an address comes: both show, the
  // highlight stays on its address, the focus on the list.
  std::vector<SyntheticAddress> changed = ThreeAddresses();
  changed[0].dadState = IpDadStateTentative;
  changed.insert(changed.begin(), Address("2001:db8::1", IpPrefixOriginManual, IpSuffixOriginManual));
  source.SetAdapters({Ethernet(changed)});
  NotifyWatchesForTests();
  ASSERT_TRUE(PumpUntil([&] { return Addresses().size() == 4; }, 3000)) << "a reading within a second or so";
  EXPECT_EQ(Addresses(), (Strings{"2001:db8::1", "2001:db8::20", "2001:db8::3", "fe80::20c:29ff:feab:cdef"}));
  EXPECT_EQ(Rows()[1].state, "Tentative");
  ASSERT_GE(Highlighted(), 0);
  EXPECT_EQ(List().GetItemText(Highlighted(), 0), "fe80::20c:29ff:feab:cdef") << "the highlight follows its address";
  EXPECT_EQ(::GetFocus(), List().GetSafeHwnd());

  // A burst of changes gives few readings.
  const int queries = source.QueryCount();
  for (int i = 0; i < 10; ++i) NotifyWatchesForTests();
  PumpUntil([&] { return source.QueryCount() > queries; }, 3000);
  PumpMessages(700);
  EXPECT_LE(source.QueryCount() - queries, 4) << "one reading (two queries) for the burst, perhaps one more";

  // While a dialog of the window is open the list stays; it follows once
  // the dialog has closed.
  m_catcher.ScriptNextDialog({[&](HWND about) {
    source.SetAdapters({Ethernet(ThreeAddresses())});
    NotifyWatchesForTests();
    EXPECT_FALSE(PumpUntil([&] { return Addresses().size() == 3; }, 1200)) << "nothing changes under the dialog";
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
  }});
  ::SendMessageW(m_hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  EXPECT_TRUE(PumpUntil([&] { return Addresses() == before; }, 3000)) << "the reading once the dialog closed";

  // A reading that fails keeps the last list without a word.
  source.QueueFailure(ERROR_NOT_ENOUGH_MEMORY);
  const int failing = source.QueryCount();
  NotifyWatchesForTests();
  EXPECT_TRUE(PumpUntil([&] { return source.QueryCount() > failing; }, 3000));
  EXPECT_EQ(Addresses(), before);
  EXPECT_TRUE(m_catcher.Boxes().empty());
}

TEST_F(LiveList, WhereOnlyIPv4ChangesAreToldTheWindowOnShowReadsNowAndThen) {
  // The version 5.2 way, at a short interval; nothing is told of the change.
  UseAddressPollingForTests(200);
  CSyntheticAdapterSource source({Ethernet(ThreeAddresses())});
  const bool bOpened = Open() != nullptr;
  UseAddressPollingForTests(0);
  ASSERT_TRUE(bOpened);
  std::vector<SyntheticAddress> more = ThreeAddresses();
  more.push_back(Address("2001:db8::1", IpPrefixOriginManual, IpSuffixOriginManual));
  source.SetAdapters({Ethernet(more)});
  EXPECT_TRUE(PumpUntil([&] { return Addresses().size() == 4; }, 5000)) << "read again within a few intervals";

  // Minimised, the window leaves the system alone.
  ::ShowWindow(m_hwnd, SW_MINIMIZE);
  PumpMessages(300);
  const int queries = source.QueryCount();
  PumpMessages(1000);
  EXPECT_EQ(source.QueryCount(), queries) << "no reading while minimised";
}

TEST_F(LiveList, CopyAndTheContextMenu) {
  CSyntheticAdapterSource source({Ethernet(ThreeAddresses())});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  ClickRow(1);
  PressWithControl('C');
  EXPECT_EQ(ClipboardText(), "2001:db8::3") << "Ctrl+C: the highlighted address";

  // Right click on a row: it becomes the highlighted one, and its row is
  // copied with tabs between the cells.
  RECT rc{};
  rc.left = LVIR_LABEL;
  List().SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
  POINT pt{rc.left + 10, (rc.top + rc.bottom) / 2};
  ::ClientToScreen(List().GetSafeHwnd(), &pt);
  ChooseFromNextMenu(L'r');
  List().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().GetSafeHwnd()), MAKELPARAM(pt.x, pt.y));
  EXPECT_EQ(Highlighted(), 0);
  EXPECT_EQ(ClipboardText(), "2001:db8::20\tManual\tPreferred\t2h0m0s\t1h0m0s\r\n");

  // Shift+F10 (no mouse position): the whole list with its headings.
  ChooseFromNextMenu(L'a');
  List().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().GetSafeHwnd()), -1);
  EXPECT_EQ(ClipboardText(),
            "IPv6 Address\tType\tDAD\tValid Life\tPref. Life\r\n"
            "2001:db8::20\tManual\tPreferred\t2h0m0s\t1h0m0s\r\n"
            "2001:db8::3\tTemporary\tDeprecated\t0s\t0s\r\n"
            "fe80::20c:29ff:feab:cdef\tLink-Local\tPreferred\tinfinite\tinfinite\r\n");

  // Remove from the menu is the Remove button's: it asks first.
  m_catcher.QueueAnswer(IDCANCEL);
  ChooseFromNextMenu(L'm');
  List().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().GetSafeHwnd()), -1);
  ASSERT_EQ(m_catcher.Boxes().size(), 1u);
  CheckBox(0, "Are you sure you want to remove ip address?", "Vantoric", BoxIcon::Question);
}

TEST_F(LiveList, HeadingsSortAndLifetimeCellsTellWhenTheyEnd) {
  CSyntheticAdapterSource source({Ethernet(ThreeAddresses())});
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Addresses(), (Strings{"2001:db8::20", "2001:db8::3", "fe80::20c:29ff:feab:cdef"})) << "the system's order";

  EXPECT_TRUE(TipOf(0, 3).rfind("Valid until ", 0) == 0) << TipOf(0, 3);
  EXPECT_TRUE(TipOf(0, 4).rfind("Preferred until ", 0) == 0) << TipOf(0, 4);
  EXPECT_EQ(TipOf(1, 3), "Expired");
  EXPECT_EQ(TipOf(2, 4), "Never expires");
  EXPECT_EQ(TipOf(2, 0), "") << "no tip outside the lifetime cells";

  ClickHeading(0);
  EXPECT_EQ(Addresses(), (Strings{"2001:db8::3", "2001:db8::20", "fe80::20c:29ff:feab:cdef"})) << "by value, not text";
  EXPECT_EQ(SortFormat(0), HDF_SORTUP);
  ClickHeading(3);
  ClickHeading(3);
  EXPECT_EQ(Addresses(), (Strings{"fe80::20c:29ff:feab:cdef", "2001:db8::20", "2001:db8::3"}))
      << "valid lifetimes descending: infinite first";
  EXPECT_EQ(SortFormat(3), HDF_SORTDOWN);
  EXPECT_EQ(SortFormat(0), 0);
  EXPECT_TRUE(SaveScreenshot(m_hwnd, "main_window_sorted.png"));

  // The choice holds across readings and is remembered for the next window.
  NotifyWatchesForTests();
  const int queries = source.QueryCount();
  EXPECT_TRUE(PumpUntil([&] { return source.QueryCount() > queries; }, 3000));
  EXPECT_EQ(Addresses().front(), "fe80::20c:29ff:feab:cdef");
  m_dlg.DestroyWindow();
  CVantoricDlg next{&m_scope.App().GetProfile()};
  ASSERT_NE(next.Create(nullptr), nullptr);
  const CListView list(next.GetDlgItem(IDC_LIST_ADDRESSES));
  EXPECT_EQ(list.GetItemText(0, 0), "fe80::20c:29ff:feab:cdef");
  next.DestroyWindow();
}

}  // namespace
}  // namespace vantoric
