// The Advanced Settings dialog with its DNS page, and the Add DNS dialog that
// the page opens, driven like a user with the recording netsh as the system's.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/ipv6_control_win32.h"
#include "framework/controls.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/support/advanced_settings_fixture.h"

namespace vantoric {
namespace {

using Strings = std::vector<std::string>;

// Types an address group by group, moving on with Tab after a short group.
void TypeGroups(HWND dlg, const Strings& groups) {
  HWND edit = ::GetDlgItem(dlg, IDC_IPV6_ADDRESS);
  ::SetFocus(edit);
  for (const std::string& group : groups) {
    for (char c : group) ::SendMessageW(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    if (group.size() < 4) ::SendMessageW(edit, WM_KEYDOWN, VK_TAB, 1);
  }
}

// A click in the middle of a rectangle of a control's client area.
void ClickAt(HWND control, const RECT& rc) {
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(control, WM_LBUTTONUP, 0, at);
}

LRESULT CALLBACK CountEscape(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR count) {
  if (msg == WM_KEYDOWN && wp == VK_ESCAPE) ++*reinterpret_cast<int*>(count);
  return ::DefSubclassProc(h, msg, wp, lp);
}

const Strings kPlaceholder = {"No DNS entries found in this adapter."};

class DnsDialogs : public test::AdvancedSettingsTest {
 protected:
  void AddAdapter(const std::string& name, IFTYPE type, const Strings& servers) {
    m_adapters.push_back(test::Adapter(name, type));
    for (const std::string& server : servers) m_adapters.back().dnsServers.push_back({server});
  }
  void AddAdapters() {
    AddAdapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD, {"2001:db8::1", "2001:db8::2", "2001:db8::3"});
    AddAdapter("Wi-Fi", IF_TYPE_IEEE80211, {});
    AddAdapter("Local Area Connection 3", IF_TYPE_ETHERNET_CSMACD, {"2001:db8::99"});
  }
  Strings& Servers(size_t i) { return m_snapshot.records[i].m_dnsServers; }

  HWND Item(int id) const { return ::GetDlgItem(m_hPage, id); }
  // Which of list, Add Host, Remove are enabled ("+" or "-" each).
  std::string States() const {
    std::string s;
    for (int id : {IDC_LIST_DNS, IDC_BUTTON_ADD_HOST, IDC_BUTTON_REMOVE_DNS}) s += ::IsWindowEnabled(Item(id)) ? '+' : '-';
    return s;
  }
  void Press(int id) const { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
  void Choose(int index) const {
    ::SendMessageW(Item(IDC_COMBO_DNS_INTERFACE), CB_SETCURSEL, index, 0);
    ::SendMessageW(m_hPage, WM_COMMAND, MAKEWPARAM(IDC_COMBO_DNS_INTERFACE, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Item(IDC_COMBO_DNS_INTERFACE)));
  }
  void SelectRow(int row) const {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(Item(IDC_LIST_DNS), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  Strings Rows() const {
    const CListView list(Item(IDC_LIST_DNS));
    Strings rows;
    for (int i = 0; i < list.GetItemCount(); ++i) rows.push_back(list.GetItemText(i, 0));
    return rows;
  }
  // Caption, text and icon of every box so far.
  Strings Boxes() const { return m_catcher.Summaries(); }
  void RemoveAnswering(int answer) {
    m_catcher.QueueAnswer(answer);
    if (answer == IDYES) m_catcher.QueueAnswer(IDOK);
    Press(IDC_BUTTON_REMOVE_DNS);
  }
};

TEST_F(DnsDialogs, OpensOnTheDnsTabWithTheFirstAdaptersServers) {
  AddAdapters();
  Open();
  std::vector<std::string> titles;
  for (int i = 0; i < ::SendMessageW(Tab(), TCM_GETITEMCOUNT, 0, 0); ++i) {
    wchar_t title[16] = {};
    TCITEMW tab{TCIF_TEXT, 0, 0, title, 16};
    ::SendMessageW(Tab(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&tab));
    titles.push_back(Narrow(title));
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"DNS", "Routes", "System", "Interface", "Neighbors", "Diagnose"}));
  EXPECT_EQ(::SendMessageW(Tab(), TCM_GETCURSEL, 0, 0), 0) << "it opens on DNS";
  RECT area = CWindow(Tab()).GetClientRect();
  ::SendMessageW(Tab(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  const RECT page = CWindow(Tab()).GetChildRect(m_hPage);
  EXPECT_TRUE(::IsWindowVisible(m_hPage));
  // The page covers the tab's display area.
  EXPECT_LE(page.top, area.top);
  EXPECT_GE(page.bottom, area.bottom - 2);
  EXPECT_GE(page.right, area.right - 2);

  const CComboBox chooser(Item(IDC_COMBO_DNS_INTERFACE));
  EXPECT_EQ((Strings{chooser.GetLBText(0), chooser.GetLBText(1), chooser.GetLBText(2)}), m_snapshot.names)
      << "record order";
  EXPECT_EQ(chooser.GetCurSel(), 0);
  EXPECT_EQ(Rows(), Servers(0)) << "S1, S2, S3 from the top";
  EXPECT_EQ(States(), "+++");
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_BUTTON_EDIT_DNS)));
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "advanced_settings.png"));

  // Clicking the one tab changes nothing.
  RECT item{};
  ::SendMessageW(Tab(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  ClickAt(Tab(), item);
  EXPECT_TRUE(::IsWindowVisible(m_hPage));
  EXPECT_EQ(::FindWindowExW(Tab(), nullptr, L"#32770", nullptr), m_hPage);
  EXPECT_EQ(Rows(), Servers(0));
  m_dlg->DestroyWindow();

  m_adapters.clear();
  Open();
  EXPECT_EQ(Rows(), kPlaceholder) << "without adapter records";
  EXPECT_EQ(States(), "---");
}

TEST_F(DnsDialogs, AddHostSendsTheTypedAddressAndRecordsItsCompressedForm) {
  AddAdapters();
  Open();
  Strings seen;  // caption, index, index editable
  m_catcher.QueueAnswer(IDOK);
  m_catcher.ScriptNextDialog({[&](HWND add) {
    seen = {CWindow::GetText(add), test::DialogItemText(add, IDC_EDIT_DNS_INDEX),
            ::IsWindowEnabled(::GetDlgItem(add, IDC_EDIT_DNS_INDEX)) ? "editable" : "fixed"};
    test::ClickButton(add, IDOK);  // nothing typed
    test::ClickButton(add, IDCANCEL);
  }});
  Press(IDC_BUTTON_ADD_HOST);
  EXPECT_EQ(seen, (Strings{"Add DNS", "3", "fixed"})) << "three servers hand 3";
  EXPECT_EQ(Boxes(), Strings{"Add DNS Server | Invalid address parameter. | E"});
  EXPECT_FALSE(m_standin.LogExists()) << "nothing was run";

  Choose(1);
  EXPECT_EQ(Rows(), kPlaceholder);
  EXPECT_EQ(States(), "-+-");
  m_catcher.Clear();
  m_catcher.QueueAnswer(IDOK);
  std::string preview;
  m_catcher.ScriptNextDialog({[&](HWND add) {
    seen = {test::DialogItemText(add, IDC_EDIT_DNS_INDEX)};
    TypeGroups(add, {"2001", "db8", "0", "0", "0", "0", "0", "53"});
    preview = test::DialogItemText(add, IDC_STATIC_DNS_STATUS);
    EXPECT_TRUE(test::SaveScreenshot(add, "add_dns.png"));
    // The record takes what was sent, not whatever the status line shows.
    ::SetDlgItemTextW(add, IDC_STATIC_DNS_STATUS, L"2001:db8::dead");
    test::ClickButton(add, IDOK);
  }});
  Press(IDC_BUTTON_ADD_HOST);
  EXPECT_EQ(seen, Strings{"1"}) << "an adapter without servers hands 1";
  EXPECT_EQ(preview, "2001:db8::53");
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog("interface ipv6 add dns \"Wi-Fi\" 2001:db8:0:0:0:0:0:53 1"))
      << "the newly chosen adapter, the address as typed";
  EXPECT_EQ(Servers(1), Strings{"2001:db8::53"}) << "the compressed form";
  EXPECT_EQ(Boxes(), Strings{"Add DNS Server | Successfully added new DNS host. | I"});
  EXPECT_EQ(Rows(), Servers(1));
  EXPECT_EQ(States(), "+++");
}

TEST_F(DnsDialogs, RemoveAsksAndRemovesTheSelectedServer) {
  AddAdapters();
  Open();
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE_DNS);
  SelectRow(1);
  RemoveAnswering(IDNO);
  EXPECT_EQ(Boxes(), (Strings{"Vantoric | You have not selected and item. Select one first. | W",
                              "Remove DNS Address | Are you sure you want to remove selected DNS Address? | Q"}));
  EXPECT_EQ(m_catcher.Boxes()[1].buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_FALSE(m_standin.LogExists()) << "No runs nothing";

  m_catcher.Clear();
  RemoveAnswering(IDYES);
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog("interface ipv6 delete dns \"Ethernet 2\" 2001:db8::2"));
  EXPECT_EQ(Boxes()[1], "Remove DNS Address | Successfully removed selected DNS address. | I");
  EXPECT_EQ(Servers(0), (Strings{"2001:db8::1", "2001:db8::3"}));
  EXPECT_EQ(Rows(), Servers(0));
  EXPECT_EQ(CListView(Item(IDC_LIST_DNS)).GetNextItem(-1, LVNI_SELECTED), 1) << "the row now in its place";

  Choose(2);
  SelectRow(0);
  RemoveAnswering(IDYES);
  EXPECT_TRUE(Servers(2).empty());
  EXPECT_EQ(Rows(), kPlaceholder) << "removing the only server";
  EXPECT_EQ(States(), "-+-");
  EXPECT_EQ(::GetFocus(), Item(IDC_BUTTON_ADD_HOST)) << "the disabled Remove passed the focus on";
}

TEST_F(DnsDialogs, RemovingFromASortedListRemovesTheServerOfTheRow) {
  AddAdapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD, {"2001:db8::c", "2001:db8::a", "2001:db8::b"});
  Open();
  HWND header = reinterpret_cast<HWND>(::SendMessageW(Item(IDC_LIST_DNS), LVM_GETHEADER, 0, 0));
  RECT rc{};
  ::SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
  ClickAt(header, rc);
  ASSERT_EQ(Rows(), (Strings{"2001:db8::a", "2001:db8::b", "2001:db8::c"}));
  SelectRow(0);
  RemoveAnswering(IDYES);
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog("interface ipv6 delete dns \"Ethernet 2\" 2001:db8::a"));
  EXPECT_EQ(Servers(0), (Strings{"2001:db8::c", "2001:db8::b"}));
  EXPECT_EQ(Rows(), (Strings{"2001:db8::b", "2001:db8::c"}));
}

TEST_F(DnsDialogs, AFailedCommandChangesNothingAndShowsNetshsWords) {
  AddAdapters();
  m_standin.SetAnswer("The object already exists.\\r\\n");
  m_standin.SetExitCode(1);
  Open();
  SelectRow(0);
  RemoveAnswering(IDYES);
  m_catcher.QueueAnswer(IDOK);
  bool bStayedOpen = false;
  m_catcher.ScriptNextDialog({[&](HWND add) {
    TypeGroups(add, {"2001", "db8", "0", "0", "0", "0", "0", "5"});
    test::ClickButton(add, IDOK);
    bStayedOpen = ::IsWindowVisible(add) != FALSE;
    test::ClickButton(add, IDCANCEL);
  }});
  Press(IDC_BUTTON_ADD_HOST);
  const Strings boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  for (const std::string& box : {boxes[1], boxes[2]})
    EXPECT_NE(box.find("netsh answered:\nThe object already exists. | E"), std::string::npos) << box;
  EXPECT_EQ(boxes[1].rfind("Remove DNS Address | ", 0), 0u) << boxes[1];
  EXPECT_EQ(boxes[2].rfind("Add DNS Server | ", 0), 0u) << boxes[2];
  EXPECT_TRUE(bStayedOpen);
  EXPECT_EQ(Servers(0).size(), 3u);
  EXPECT_EQ(Rows(), Servers(0));
}

TEST_F(DnsDialogs, EscapeInsideThePageClosesNothing) {
  AddAdapters();
  int nEscapes = 0;
  const INT_PTR result = RunModal({[&](HWND settings) {
                                     HWND tab = ::GetDlgItem(settings, IDC_TAB_ADVANCED);
                                     HWND page = ::FindWindowExW(tab, nullptr, L"#32770", nullptr);
                                     HWND list = ::FindWindowExW(page, nullptr, L"SysListView32", nullptr);
                                     ::SetWindowSubclass(list, &CountEscape, 1, reinterpret_cast<DWORD_PTR>(&nEscapes));
                                     ::SetFocus(list);
                                     ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1);
                                     ::PostMessageW(list, WM_KEYUP, VK_ESCAPE, 0xC0000001);
                                   },
                                   // Still open once the keys are handled: OK ends it.
                                   [](HWND settings) { test::ClickButton(settings, IDOK); }});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(nEscapes, 1) << "the focused list got the key";
}

TEST_F(DnsDialogs, AddHostRefusesAServerAlreadyListed) {
  AddAdapters();
  Open();
  m_catcher.QueueAnswer(IDOK);
  m_catcher.ScriptNextDialog({[&](HWND add) {
    TypeGroups(add, {"2001", "0db8", "0", "0", "0", "0", "0", "2"});
    test::ClickButton(add, IDOK);
    test::ClickButton(add, IDCANCEL);
  }});
  Press(IDC_BUTTON_ADD_HOST);
  EXPECT_EQ(Boxes(), Strings{"Add DNS Server | 2001:db8::2 is already DNS server 2 in the list. Enter another server, "
                             "or cancel to keep the list as it is. | E"});
  EXPECT_FALSE(m_standin.LogExists()) << "netsh was not started";
  EXPECT_EQ(Servers(0), (Strings{"2001:db8::1", "2001:db8::2", "2001:db8::3"}));
}

}  // namespace
}  // namespace vantoric
