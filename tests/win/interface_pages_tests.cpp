// The Interface and Neighbors pages of Advanced Settings on injected
// interface facts: the settings read, a refused MTU, two settings changed
// behind the router question, neighbors listed, removed, flushed and read
// again; the lines that the recording netsh received and the History's
// entries with their PowerShell lines; and a Windows without the functions.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/property_list_win32.h"
#include "dialogs/advanced_settings_dlg.h"
#include "dialogs/history_dlg.h"
#include "framework/controls.h"
#include "resources/resource.h"
#include "tests/win/support/advanced_settings_fixture.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/interface_source.h"

namespace vantoric {
namespace {

using Strings = std::vector<std::string>;
constexpr std::uint64_t ETHERNET = 7;
constexpr std::uint64_t WIFI = 9;

CInterfaceSettings EthernetSettings() {
  CInterfaceSettings s;
  s.m_nMtu = 1500;
  s.m_nLargestMtu = 1500;
  s.m_bAutomaticMetric = true;
  s.m_nMetric = 25;
  s.m_nDadTransmits = 1;
  s.m_nBaseReachableMs = 30000;
  s.m_nReachableMs = 27500;
  return s;
}

const std::vector<std::uint8_t> kRouterMac{0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef};

class InterfacePages : public test::AdvancedSettingsTest {
 protected:
  void SetUp() override {
    m_guardFacts.SetInterfaceId("Ethernet 2", ETHERNET);
    m_guardFacts.SetInterfaceId("Wi-Fi", WIFI);
    m_facts.SetSettings(ETHERNET, EthernetSettings());
    m_facts.SetNeighbors({{ETHERNET, "fe80::1", kRouterMac, NEIGHBOR_STATE_REACHABLE, true},
                          {WIFI, "fe80::9", kRouterMac, NEIGHBOR_STATE_STALE, true},
                          {ETHERNET, "2001:db8::5", {}, NEIGHBOR_STATE_INCOMPLETE, false}});
    m_adapters = {test::Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD), test::Adapter("Wi-Fi", IF_TYPE_IEEE80211)};
    Open();
  }

  // Chooses the tab and returns its page, the one with control `id`.
  HWND OpenTab(const char* title, int id) {
    HWND page = ShowPage(title, id);
    EXPECT_NE(page, nullptr) << title;
    return page;
  }

  // The property list's row: selected as a click does; its typed value or
  // the text its edit field shows.
  HWND List(HWND page) const { return ::GetDlgItem(page, IDC_IFSET_PROPERTY_LIST); }
  std::string RowText(HWND page, InterfaceField field) const {
    test::ClickListBoxItem(List(page), static_cast<int>(field));
    return test::DialogItemText(List(page), IDC_PROPLIST_EDIT);
  }
  void TypeRow(HWND page, InterfaceField field, const std::string& text) const {
    test::ClickListBoxItem(List(page), static_cast<int>(field));
    HWND edit = ::GetDlgItem(List(page), IDC_PROPLIST_EDIT);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    for (char c : text) ::SendMessageW(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  void ChooseRow(HWND page, InterfaceField field, const wchar_t* choice) const {
    test::ClickListBoxItem(List(page), static_cast<int>(field));
    ::SendMessageW(::GetDlgItem(List(page), IDC_PROPLIST_COMBO_BUTTON), BM_CLICK, 0, 0);
    HWND drop = ::GetDlgItem(List(page), IDC_PROPLIST_DROP_LIST);
    test::ClickListBoxItem(drop, static_cast<int>(::SendMessageW(drop, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                  reinterpret_cast<LPARAM>(choice))));
  }
  static Strings Rows(HWND list) {
    const CListView view(list);
    Strings rows;
    for (int i = 0; i < view.GetItemCount(); ++i)
      rows.push_back(view.GetItemText(i, 0) + " | " + view.GetItemText(i, 1) + " | " + view.GetItemText(i, 2) +
                     " | " + view.GetItemText(i, 3));
    return rows;
  }
  test::CInjectedGuardFacts m_guardFacts;
  test::CInjectedInterfaceFacts m_facts;
};

TEST_F(InterfacePages, InterfaceSettingsReadRefusedChangedAndAskedAbout) {
  HWND page = OpenTab("Interface", IDC_BUTTON_IFSET_APPLY);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(RowText(page, InterfaceField::Mtu), "1500");
  EXPECT_EQ(RowText(page, InterfaceField::BaseReachable), "30000");
  EXPECT_EQ(test::DialogItemText(page, IDC_STATIC_IFSET_REACHABLE), "Current reachable time: 27500 ms");
  // The metric is shown as read, and its list offers nothing else: no netsh
  // command of the page sets it.
  test::ClickListBoxItem(List(page), static_cast<int>(InterfaceField::Metric));
  ::SendMessageW(::GetDlgItem(List(page), IDC_PROPLIST_COMBO_BUTTON), BM_CLICK, 0, 0);
  HWND metric = ::GetDlgItem(List(page), IDC_PROPLIST_DROP_LIST);
  EXPECT_EQ(::SendMessageW(metric, LB_GETCOUNT, 0, 0), 1) << "one choice";
  EXPECT_EQ(::SendMessageW(metric, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Automatic")),
            0)
      << "the system chooses the metric";
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "interface_page_metric.png"));
  test::ClickListBoxItem(metric, 0);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_BUTTON_IFSET_APPLY))) << "nothing differs yet";
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "interface_page.png"));

  // An MTU below the IPv6 minimum: refused before netsh, the field focused.
  TypeRow(page, InterfaceField::Mtu, "1200");
  ASSERT_TRUE(test::PumpUntil([&] { return ::IsWindowEnabled(::GetDlgItem(page, IDC_BUTTON_IFSET_APPLY)) != 0; },
                              3000))
      << "a value differs: Apply is enabled";
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(page, IDC_BUTTON_IFSET_APPLY);
  EXPECT_EQ(m_catcher.Summaries(),
            (Strings{"Interface Settings | The link MTU must be at least 1280 bytes, the smallest that IPv6 allows. | "
                     "W"}));
  EXPECT_FALSE(m_standin.LogExists()) << "netsh was not started";
  EXPECT_EQ(::SendMessageW(List(page), LB_GETCURSEL, 0, 0), static_cast<LRESULT>(InterfaceField::Mtu));
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(List(page), IDC_PROPLIST_EDIT)) << "the MTU's field has the focus";

  // Two settings, the one a router's: asked first; No sends nothing, Yes
  // sends only those two, until the next restart.
  TypeRow(page, InterfaceField::Mtu, "1400");
  ChooseRow(page, InterfaceField::Forwarding, L"enabled");
  ::SendDlgItemMessageW(page, IDC_CHECK_IFSET_ACTIVE, BM_SETCHECK, BST_CHECKED, 0);
  m_catcher.Clear();
  m_catcher.QueueAnswer(IDNO);
  test::ClickButton(page, IDC_BUTTON_IFSET_APPLY);
  ASSERT_EQ(m_catcher.Boxes().size(), 1u);
  EXPECT_EQ(m_catcher.Boxes()[0].text,
            "Turning on forwarding makes this machine a router for the link of Ethernet 2: it will pass on packets "
            "between this adapter and the others.\n\nTurn it on?");
  EXPECT_EQ(m_catcher.Boxes()[0].icon, test::BoxIcon::Warning);
  EXPECT_FALSE(m_standin.LogExists()) << "No sends nothing";
  m_catcher.Clear();
  m_catcher.QueueAnswer(IDYES);
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(page, IDC_BUTTON_IFSET_APPLY);
  ASSERT_EQ(m_catcher.Boxes().size(), 2u);
  EXPECT_EQ(m_catcher.Summaries()[1], "Interface Settings | The interface settings were changed. | I");
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog(
                                     "interface ipv6 set interface \"Ethernet 2\" mtu=1400 forwarding=enabled "
                                     "store=active"));
  EXPECT_EQ(HistoryLines(),
            (Strings{"netsh interface ipv6 set interface \"Ethernet 2\" mtu=1400 forwarding=enabled store=active | "
                     "Set-NetIPInterface -InterfaceAlias 'Ethernet 2' -AddressFamily IPv6 -NlMtuBytes 1400 "
                     "-Forwarding Enabled -PolicyStore ActiveStore | Succeeded"}));
  // Read again: the stand-in changed nothing, so the values read are back.
  EXPECT_EQ(RowText(page, InterfaceField::Mtu), "1500");
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, IDC_BUTTON_IFSET_APPLY)));
}

// Enter in the page's field keeps the typed MTU and the dialog; Escape
// takes back only what was typed since; OK asks about the change that is
// not applied yet, naming the page: Cancel stays, and Yes (here after
// Enter on another control) sends it and closes.
TEST_F(InterfacePages, EnterKeepsATypedMtuAndClosingAsksToApplyIt) {
  m_dlg->DestroyWindow();
  const std::string question =
      "Advanced Settings | The changes on the Interface page are not applied yet.\n\nApply them before closing? | Q";
  HWND page = nullptr;
  const auto field = [&] { return ::GetDlgItem(List(page), IDC_PROPLIST_EDIT); };
  const auto digits = [](const char* text) {
    std::vector<UINT> keys;
    for (const char* c = text; *c != '\0'; ++c) keys.push_back(static_cast<UINT>(*c));
    return test::KeySteps(keys);
  };
  std::vector<test::DialogStep> steps = {[&](HWND settings) {
    page = ShowPage("Interface", IDC_BUTTON_IFSET_APPLY, settings);
    ASSERT_NE(page, nullptr);
    test::ClickListBoxItem(List(page), static_cast<int>(InterfaceField::Mtu));
    ::SetFocus(field());
    ::SendMessageW(field(), EM_SETSEL, 0, -1);
  }};
  const auto append = [&](std::vector<test::DialogStep> more) {
    for (test::DialogStep& step : more) steps.push_back(std::move(step));
  };
  append(digits("1400"));
  append(test::KeySteps({VK_RETURN}));
  steps.push_back([&](HWND settings) {
    EXPECT_TRUE(::IsWindowVisible(settings)) << "Enter in the field closes nothing";
    EXPECT_EQ(::GetFocus(), field()) << "the field keeps the focus";
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, IDC_BUTTON_IFSET_APPLY))) << "the MTU differs";
    EXPECT_TRUE(test::SaveScreenshot(settings, "interface_page_enter.png"));
  });
  // Typed over the kept value, then taken back by Escape.
  append(digits("1300"));
  append(test::KeySteps({VK_ESCAPE}));
  steps.push_back([&](HWND settings) {
    EXPECT_TRUE(::IsWindowVisible(settings)) << "Escape in the field closes nothing";
    EXPECT_EQ(test::DialogItemText(List(page), IDC_PROPLIST_EDIT), "1400") << "the value kept by Enter";
    EXPECT_TRUE(m_catcher.Boxes().empty());
    m_catcher.QueueAnswer(IDCANCEL);
    m_catcher.PhotographNextBox("advanced_settings_pending_question.png");
    test::ClickButton(settings, IDOK);
    EXPECT_TRUE(::IsWindowVisible(settings)) << "Cancel keeps the dialog";
    EXPECT_FALSE(m_standin.LogExists());
  });
  steps.push_back([&](HWND settings) {
    m_catcher.QueueAnswer(IDYES);
    ::SetFocus(::GetDlgItem(settings, IDC_TAB_ADVANCED));
    test::PressKey(VK_RETURN);
    EXPECT_TRUE(test::PumpDialogUntil(settings, [&] { return !::IsWindowVisible(settings); }, 20000))
        << "Yes closes the dialog once the change is sent";
  });
  EXPECT_EQ(RunModal(std::move(steps)), IDOK);
  EXPECT_EQ(m_catcher.Summaries(), (Strings{question, question}));
  const std::string line = "interface ipv6 set interface \"Ethernet 2\" mtu=1400 store=persistent";
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog(line));
  EXPECT_EQ(HistoryLines(),
            (Strings{"netsh " + line +
                     " | Set-NetIPInterface -InterfaceAlias 'Ethernet 2' -AddressFamily IPv6 -NlMtuBytes 1400 | "
                     "Succeeded"}));
}

TEST_F(InterfacePages, NeighborsListedRemovedFlushedAndReadAgain) {
  HWND page = OpenTab("Neighbors", IDC_LIST_NEIGHBORS);
  ASSERT_NE(page, nullptr);
  HWND list = ::GetDlgItem(page, IDC_LIST_NEIGHBORS);
  EXPECT_EQ(Rows(list), (Strings{"fe80::1 | 00-0C-29-AB-CD-EF | Reachable | Yes",
                                 "2001:db8::5 | N/A | Incomplete | No"}))
      << "this adapter's entries only";
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "neighbors_page.png"));
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(page, IDC_BUTTON_NEIGHBOR_REMOVE);
  EXPECT_EQ(m_catcher.Summaries(), (Strings{"Vantoric | You have not selected an item. Select one first. | W"}))
      << "Remove with no entry highlighted";
  m_catcher.Clear();

  // Ctrl+C and the context menu copy as the main window's list does.
  LVITEMW second{};
  second.stateMask = second.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&second));
  test::PressWithControl(list, 'C');
  EXPECT_EQ(test::ClipboardText(), "2001:db8::5");
  test::ChooseFromNextMenu(L'a');
  ::SendMessageW(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
  EXPECT_EQ(test::ClipboardText(), "Address\tLink-layer address\tState\tRouter\r\n"
                                   "fe80::1\t00-0C-29-AB-CD-EF\tReachable\tYes\r\n"
                                   "2001:db8::5\tN/A\tIncomplete\tNo\r\n");

  // Remove: the highlighted entry.
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(page, IDC_BUTTON_NEIGHBOR_REMOVE);
  EXPECT_EQ(m_catcher.Summaries(), (Strings{"Neighbors | The neighbor entry was removed. | I"}));
  EXPECT_EQ(m_standin.ReadLog(),
            test::CNetshStandin::RunLog("interface ipv6 delete neighbors \"Ethernet 2\" fe80::1"));

  // Flush: the question says what it does; Yes empties the whole cache.
  m_standin.ClearLog();
  m_catcher.Clear();
  m_catcher.QueueAnswer(IDYES);
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(page, IDC_BUTTON_NEIGHBOR_FLUSH);
  ASSERT_EQ(m_catcher.Boxes().size(), 2u);
  EXPECT_EQ(m_catcher.Boxes()[0].text,
            "Flush removes every entry of the IPv6 neighbor cache of Ethernet 2. Nothing is lost: the system learns "
            "the entries again from the link as it needs them, which may delay the first packets to each neighbor "
            "a little.\n\nFlush the neighbor cache?");
  EXPECT_EQ(m_catcher.Summaries()[1], "Neighbors | The neighbor cache was flushed. | I");
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog("interface ipv6 delete neighbors \"Ethernet 2\""));

  EXPECT_EQ(HistoryLines(),
            (Strings{"netsh interface ipv6 delete neighbors \"Ethernet 2\" fe80::1 | Remove-NetNeighbor "
                     "-InterfaceAlias 'Ethernet 2' -IPAddress fe80::1 -AddressFamily IPv6 -Confirm:$false | "
                     "Succeeded",
                     "netsh interface ipv6 delete neighbors \"Ethernet 2\" | Remove-NetNeighbor -InterfaceAlias "
                     "'Ethernet 2' -AddressFamily IPv6 -Confirm:$false | Succeeded"}));

  // Refresh reads the cache again.
  m_facts.SetNeighbors({{ETHERNET, "fe80::1", kRouterMac, NEIGHBOR_STATE_STALE, true}});
  test::ClickButton(page, IDC_BUTTON_NEIGHBOR_REFRESH);
  EXPECT_EQ(Rows(list), (Strings{"fe80::1 | 00-0C-29-AB-CD-EF | Stale | Yes"}));
}

TEST_F(InterfacePages, WithoutTheFunctionsEachPageSaysWhatItCannotShow) {
  m_facts.SetNotSupported(true);
  HWND interfacePage = OpenTab("Interface", IDC_BUTTON_IFSET_APPLY);
  ASSERT_NE(interfacePage, nullptr);
  // Another adapter chosen reads again.
  ::SendDlgItemMessageW(interfacePage, IDC_COMBO_IFSET_INTERFACE, CB_SETCURSEL, 1, 0);
  ::SendMessageW(interfacePage, WM_COMMAND, MAKEWPARAM(IDC_COMBO_IFSET_INTERFACE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(::GetDlgItem(interfacePage, IDC_COMBO_IFSET_INTERFACE)));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(interfacePage, IDC_STATIC_IFSET_NOTE)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(interfacePage, IDC_BUTTON_IFSET_APPLY)));
  EXPECT_EQ(test::DialogItemText(interfacePage, IDC_STATIC_IFSET_NOTE),
            "The IPv6 interface settings cannot be shown on this version of Windows: it lacks the function that "
            "reads them. Addresses, DNS servers and routes still work in the other pages.");
  HWND neighborsPage = OpenTab("Neighbors", IDC_LIST_NEIGHBORS);
  ASSERT_NE(neighborsPage, nullptr);
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(neighborsPage, IDC_LIST_NEIGHBORS)));
  EXPECT_EQ(test::DialogItemText(neighborsPage, IDC_STATIC_NEIGHBORS_NOTE),
            "The neighbor cache cannot be shown on this version of Windows: it lacks the function that reads it. "
            "Flush still empties it.");
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(neighborsPage, IDC_BUTTON_NEIGHBOR_FLUSH)));
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(neighborsPage, IDC_BUTTON_NEIGHBOR_REMOVE)));
}

// Undo weighs what the pages weigh: putting forwarding back on asks the
// Interface page's question, and removing a default route whose gateway
// was typed FE80::1%12 meets the warning that the table's fe80::1 calls for
// while a connection depends on it.
TEST_F(InterfacePages, UndoAsksTheRouterQuestionAndGuardsTheOnlyDefaultRoute) {
  test::CSyntheticAdapterSource source(m_adapters);
  CInterfaceSettings forwarding = EthernetSettings();
  forwarding.m_bForwarding = true;
  m_facts.SetSettings(ETHERNET, forwarding);
  CRouteData gateway;
  gateway.m_nInterface = ETHERNET;
  gateway.m_strPrefix = "::";
  gateway.m_strNextHop = "fe80::1";
  gateway.m_nMetric = 256;
  m_guardFacts.SetRouteTable({RouteTableState::Read, 0, {gateway}});
  m_guardFacts.SetConnections({test::EstablishedConnection("2001:db8:1::5", 3389, "2001:db8:99::7")});

  // The gateway set with its zone, then forwarding turned off: no question.
  HWND routes = OpenTab("Routes", IDC_BUTTON_SET_GATEWAY);
  ASSERT_NE(routes, nullptr);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.ScriptNextDialog({[&](HWND add) {
    ::SetWindowTextA(::GetDlgItem(add, IDC_EDIT_ROUTE_NEXTHOP), "FE80::1%12");
    test::ClickButton(add, IDOK);
  }});
  test::ClickButton(routes, IDC_BUTTON_SET_GATEWAY);
  HWND page = OpenTab("Interface", IDC_BUTTON_IFSET_APPLY);
  ASSERT_NE(page, nullptr);
  // The adapter chosen again: the page reads the settings with forwarding on.
  ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_COMBO_IFSET_INTERFACE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(::GetDlgItem(page, IDC_COMBO_IFSET_INTERFACE)));
  ChooseRow(page, InterfaceField::Forwarding, L"disabled");
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(page, IDC_BUTTON_IFSET_APPLY);
  EXPECT_EQ(m_standin.ReadLog(),
            test::CNetshStandin::RunLog("interface ipv6 add route ::/0 \"Ethernet 2\" FE80::1 validlifetime=infinite "
                                        "preferredlifetime=infinite store=persistent") +
                test::CNetshStandin::RunLog(
                    "interface ipv6 set interface \"Ethernet 2\" forwarding=disabled store=persistent"))
      << "the zone is not on the line, which names the interface";
  m_standin.ClearLog();
  m_catcher.Clear();

  // Undo: the router question, No, then Yes; then the route's removal
  // warned about, No.
  const std::string forwardingBack = "interface ipv6 set interface \"Ethernet 2\" forwarding=enabled store=persistent";
  for (int answer : {IDNO, IDYES, IDOK, IDOK, IDNO}) m_catcher.QueueAnswer(answer);
  CHistoryDlg history(m_history, nullptr);
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    test::ClickButton(dlg, IDC_BUTTON_HISTORY_UNDO);
    EXPECT_FALSE(m_standin.LogExists()) << "No to the question runs nothing";
    test::ClickButton(dlg, IDC_BUTTON_HISTORY_UNDO);
    EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog(forwardingBack));
    m_standin.ClearLog();
    test::ClickButton(dlg, IDC_BUTTON_HISTORY_UNDO);
    EXPECT_FALSE(m_standin.LogExists()) << "No to the warning runs nothing";
    EXPECT_TRUE(test::SaveScreenshot(dlg, "history-undo-guards.png"));
    test::ClickButton(dlg, IDCANCEL);
  }});
  history.DoModal(m_hDlg);
  const std::string question =
      "Turning on forwarding makes this machine a router for the link of Ethernet 2: it will pass on packets "
      "between this adapter and the others.\n\nTurn it on?";
  EXPECT_EQ(m_catcher.Summaries(),
            (Strings{"Undo | " + question + " | W", "Undo | " + question + " | W",
                     "Undo | Undo will run:\n\nnetsh " + forwardingBack + "\n\nDo you want to go on? | Q",
                     "Undo | The change was undone. | I",
                     "Vantoric | The default route ::/0 through fe80::1 is the only default route of Ethernet 2. Without it "
                     "the machine will lose IPv6 connectivity on Ethernet 2 beyond the local link, and the open "
                     "connection that reaches beyond the link will be dropped. Remove it anyway? | W"}));
}

}  // namespace
}  // namespace vantoric
