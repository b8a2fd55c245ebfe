// The main window's commands end to end on synthetic snapshots: the click,
// the button, the dialog it opens, the lines the recording netsh received,
// the message boxes and the list and record afterwards.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/ipv6_control_win32.h"
#include "core/netsh_run_win32.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/netsh_standin_support.h"

namespace vantoric {
namespace {

using namespace test;

constexpr char kEthernet[] = "Ethernet 2";

// One adapter with an address of each kind the snapshot gives.
std::vector<SyntheticAdapter> EveryKind() {
  return {Adapter(kEthernet, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
                  {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual),
                   Address("2001:db8::abcd", IpPrefixOriginRouterAdvertisement, IpSuffixOriginRandom),
                   Address("2001:db8:2::1", IpPrefixOriginRouterAdvertisement, IpSuffixOriginLinkLayerAddress),
                   Address("fe80::20c:29ff:feab:cdef", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress)})};
}

std::string Ran(const std::string& line) { return CNetshStandin::RunLog(line); }
std::string Delete(const std::string& address) {
  return "interface ipv6 delete address \"" + std::string(kEthernet) + "\" " + address;
}

class MainWindowCommands : public MainWindow {
 private:
  CNetshStandinGuard m_netshGuard;

 protected:
  void SetUp() override {
    SetWindowsMajorVersionForTests(6);
    SetRunningElevatedForTests(0);  // Wine's own token is elevated
  }
  void TearDown() override {
    SetWindowsMajorVersionForTests(0);
    SetRunningElevatedForTests(-1);
    MainWindow::TearDown();
  }

  // A key pressed in the address list, as the keyboard delivers it.
  void PressKey(UINT key) {
    HWND list = List().GetSafeHwnd();
    ::SetFocus(list);
    ::SendMessageW(list, WM_KEYDOWN, key, 0);
    ::SendMessageW(list, WM_KEYUP, key, 0);
  }
};

TEST_F(MainWindowCommands, RemoveRefusesByKindThenRemovesOnBothPathsWithoutANewSnapshot) {
  CNetshStandin standin("main-remove");
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  const int queries = source.QueryCount();

  ClickRow(2);  // Public
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(0, "Are you sure you want to remove ip address?", "Vantoric", BoxIcon::Question);
  CheckBox(1, "Cannot delete address!", "Vantoric", BoxIcon::Warning);
  EXPECT_EQ(::GetFocus(), List().GetSafeHwnd());
  EXPECT_FALSE(standin.LogExists());
  ExpectNoSelection("after the refusal");

  ClickRow(0);  // Manual, elevated
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(4, "Successfully removed IPv6 Address.", "Remove IPv6 Address", BoxIcon::Information);
  EXPECT_EQ(standin.ReadLog(), Ran(Delete("2001:db8::5")));

  standin.ClearLog();
  SetWindowsMajorVersionForTests(5);
  ClickRow(0);  // Temporary, typed into a console netsh
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(6, "Successfully removed IPv6 Address.", "Remove IPv6 Address", BoxIcon::Information);
  EXPECT_EQ(standin.ReadLog(), Ran(Delete("2001:db8::abcd")));

  const std::vector<std::string> left = {"2001:db8:2::1", "fe80::20c:29ff:feab:cdef"};
  EXPECT_EQ(Addresses(), left);
  Choose(0);  // the list filled again from the adapter's record
  EXPECT_EQ(Addresses(), left) << "the record lost them too";
  EXPECT_EQ(source.QueryCount(), queries) << "no new snapshot";
  EXPECT_TRUE(SaveScreenshot(m_hwnd, "main_window_after_remove.png"));
}

TEST_F(MainWindowCommands, RemoveActsOnTheHighlightedAddressAndOnlyWhenNetshSucceeded) {
  CNetshStandin standin("main-remove-failing");
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  const std::vector<std::string> before = Addresses();

  // netsh refuses: its words are shown and nothing changes.
  standin.SetExitCode(1);
  standin.SetAnswer("The object already exists.");
  SetWindowsMajorVersionForTests(5);
  ClickRow(0);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  ASSERT_EQ(m_catcher.Boxes().size(), 2u);
  EXPECT_EQ(m_catcher.Boxes()[1].caption, "Remove IPv6 Address");
  EXPECT_EQ(m_catcher.Boxes()[1].icon, BoxIcon::Error);
  EXPECT_NE(m_catcher.Boxes()[1].text.find("The object already exists."), std::string::npos)
      << m_catcher.Boxes()[1].text;
  EXPECT_EQ(Addresses(), before);
  Choose(0);  // the list filled again from the adapter's record
  EXPECT_EQ(Addresses(), before) << "the record is unchanged too";

  // The highlight moved with the keyboard after the click: the address
  // highlighted is the one removed, and its row goes.
  standin.SetExitCode(0);
  standin.SetAnswer("");
  standin.ClearLog();
  ClickRow(0);
  PressKey(VK_DOWN);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(3, "Successfully removed IPv6 Address.", "Remove IPv6 Address", BoxIcon::Information);
  EXPECT_EQ(standin.ReadLog(), Ran(Delete("2001:db8::abcd")));
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"2001:db8::5", "2001:db8:2::1", "fe80::20c:29ff:feab:cdef"}));

  // Home from below: the first address is the one acted on.
  standin.ClearLog();
  ClickRow(2);
  PressKey(VK_HOME);
  m_catcher.QueueAnswer(IDCANCEL);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(4, "Are you sure you want to remove ip address?", "Vantoric", BoxIcon::Question);
  EXPECT_FALSE(standin.LogExists()) << "cancelled";

  // Nothing highlighted: told so before any confirmation.
  ClickRow(0);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  List().SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(5, "You have not selected and item. Select one first.", "Vantoric", BoxIcon::Warning);
  EXPECT_EQ(m_catcher.Boxes().size(), 6u) << "no confirmation after it";
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  CheckBox(6, "You have not selected and item. Select one first.", "Vantoric", BoxIcon::Warning);
  EXPECT_FALSE(standin.LogExists());
}

TEST_F(MainWindowCommands, EveryPathThatClearsTheSelectionTakesTheHighlightWithIt) {
  CNetshStandin standin("main-highlight");
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  const auto expectNothingHighlighted = [&](const char* when) {
    EXPECT_EQ(Highlighted(), -1) << when;
    ExpectNoSelection(when);
  };
  const auto cancelDialog = [&](HWND dlg) { ::SendMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0); };

  ClickRow(0);  // Manual
  m_catcher.QueueAnswer(IDCANCEL);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(0, "Are you sure you want to remove ip address?", "Vantoric", BoxIcon::Question);
  expectNothingHighlighted("after a cancelled Remove");

  ClickRow(2);  // Public
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(3, "Cannot delete address!", "Vantoric", BoxIcon::Warning);
  expectNothingHighlighted("after Cannot delete address!");

  ClickRow(1);  // Temporary
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  CheckBox(5, "You have selected a TEMPORARY ADDRESS. Address cannot be edited.", "Vantoric", BoxIcon::Warning);
  expectNothingHighlighted("after an edit refusal");

  ClickRow(0);
  m_catcher.ScriptNextDialog({cancelDialog});
  Press(IDC_BUTTON_EDIT);
  expectNothingHighlighted("after Address Properties");

  ClickRow(0);
  m_catcher.ScriptNextDialog({cancelDialog});
  Press(IDC_BUTTON_ADD);
  expectNothingHighlighted("after Add Address");
  EXPECT_FALSE(standin.LogExists());
}

TEST_F(MainWindowCommands, EditRefusesAStaleSelectionAfterRefresh) {
  CNetshStandin standin("main-edit-stale");
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);

  ClickRow(1);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  CheckBox(0, "You have selected a TEMPORARY ADDRESS. Address cannot be edited.", "Vantoric", BoxIcon::Warning);
  ExpectNoSelection("the refusal clears the selection");

  // The clicked address is gone from the machine when Refresh is pressed.
  ClickRow(0);
  std::vector<SyntheticAdapter> fewer = EveryKind();
  fewer[0].unicast.erase(fewer[0].unicast.begin());
  source.SetAdapters(fewer);
  Press(IDC_BUTTON_REFRESH);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(2, "You have not selected and item. Select one first.", "Vantoric", BoxIcon::Warning);
  CheckBox(3, "You have not selected and item. Select one first.", "Vantoric", BoxIcon::Warning);
  EXPECT_EQ(m_catcher.Boxes().size(), 4u) << "no dialog and no question";
  EXPECT_FALSE(standin.LogExists());
}

// Edits the address in the Address Properties dialog: its last group
// becomes `group`.
void ChangeLastGroup(HWND dlg, const char* group) {
  ::SendMessageW(::GetDlgItem(dlg, IDC_PROP_BUTTON_EDIT), BM_CLICK, 0, 0);
  HWND field = ::GetDlgItem(dlg, IDC_IPV6_ADDRESS);
  ::SetFocus(field);
  for (const UINT key : {VK_END, VK_BACK, VK_BACK, VK_BACK, VK_BACK}) {
    ::SendMessageW(field, WM_KEYDOWN, key, 1);
    ::SendMessageW(field, WM_KEYUP, key, 0xC0000001);
  }
  for (const char* c = group; *c != '\0'; ++c) ::SendMessageW(field, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

TEST_F(MainWindowCommands, AnAppliedNewAddressReplacesTheOldOneEvenWhenTheDialogIsCancelled) {
  CNetshStandin standin("main-edit");
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  ClickRow(0);
  const int queries = source.QueryCount();
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    ChangeLastGroup(dlg, "6");
    m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(::GetDlgItem(dlg, IDC_PROP_BUTTON_APPLY), BM_CLICK, 0, 0);
    // The machine now holds the new address; Cancel follows.
    std::vector<SyntheticAdapter> now = EveryKind();
    now[0].unicast.push_back(Address("2001:db8::6", IpPrefixOriginManual, IpSuffixOriginManual));
    source.SetAdapters(now);
    ::SendMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
  }});
  Press(IDC_BUTTON_EDIT);
  CheckBox(0, "IPv6 properties changes successfully saved.", "Edit IPv6 Address", BoxIcon::Information);
  const std::string set = "interface ipv6 set address \"" + std::string(kEthernet) +
                          "\" 2001:0db8:0000:0000:0000:0000:0000:6 unicast infinite infinite ";  // sent as typed
  EXPECT_EQ(standin.ReadLog(), Ran(set) + Ran(Delete("2001:db8::5")));
  EXPECT_GT(source.QueryCount(), queries) << "a new snapshot";
  ExpectNoSelection("after the edit");

  // Only the type changed: no delete, still a new snapshot.
  standin.ClearLog();
  ClickRow(0);
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    ::SendMessageW(::GetDlgItem(dlg, IDC_PROP_BUTTON_EDIT), BM_CLICK, 0, 0);
    HWND list = ::GetDlgItem(dlg, IDC_ADDRESS_PROPERTY_LIST);
    ClickListBoxItem(list, 0);  // the type row, its arrow button, then "anycast"
    ::SendMessageW(::GetDlgItem(list, 7), BM_CLICK, 0, 0);
    HWND drop = ::GetDlgItem(list, 8);
    ClickListBoxItem(drop, static_cast<int>(::SendMessageW(drop, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                           reinterpret_cast<LPARAM>(L"anycast"))));
    m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  }});
  const int before = source.QueryCount();
  Press(IDC_BUTTON_EDIT);
  EXPECT_EQ(standin.ReadLog(), Ran("interface ipv6 set address \"" + std::string(kEthernet) +
                                        "\" 2001:0db8:0000:0000:0000:0000:0000:0005 anycast infinite infinite "))
      << "no delete";
  EXPECT_GT(source.QueryCount(), before);

  // OK with nothing changed: "No changes made.", and the list is read anew.
  standin.ClearLog();
  ClickRow(0);
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    ::SendMessageW(::GetDlgItem(dlg, IDC_PROP_BUTTON_EDIT), BM_CLICK, 0, 0);
    m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  }});
  const int unchanged = source.QueryCount();
  Press(IDC_BUTTON_EDIT);
  EXPECT_EQ(m_catcher.Boxes().back().text, "No changes made.");
  EXPECT_FALSE(standin.LogExists());
  EXPECT_GT(source.QueryCount(), unchanged) << "OK always ends with a new reading";
}

TEST_F(MainWindowCommands, AReplacedAddressThatCannotBeDeletedIsToldAndKept) {
  // Origins that name no kind (as Wine reports every address) pass the gate.
  CNetshStandin standin("main-edit-kept");
  CSyntheticAdapterSource source(
      {Adapter(kEthernet, IF_TYPE_ETHERNET_CSMACD, {}, {Address("2001:db8::5", IpPrefixOriginDhcp, IpSuffixOriginDhcp)})});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  ClickRow(0);
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    ChangeLastGroup(dlg, "6");
    m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  }});
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_EDIT);
  CheckBox(0, "IPv6 properties changes successfully saved.", "Edit IPv6 Address", BoxIcon::Information);
  CheckBox(1, "Cannot delete address!", "Vantoric", BoxIcon::Warning);
  EXPECT_EQ(standin.ReadLog().find("delete"), std::string::npos) << standin.ReadLog();
}

TEST_F(MainWindowCommands, AddShowsTheNewAddressWithoutANewSnapshot) {
  CNetshStandin standin("main-add");
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  const int queries = source.QueryCount();
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    HWND field = ::GetDlgItem(dlg, IDC_IPV6_ADDRESS);
    ::SetFocus(field);
    for (const char c : std::string("20010db8000000000000000000000042"))
      ::SendMessageW(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(::GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  }});
  Press(IDC_BUTTON_ADD);
  ASSERT_FALSE(m_catcher.Boxes().empty());
  EXPECT_EQ(m_catcher.Boxes().back().icon, BoxIcon::Information) << m_catcher.Boxes().back().text;
  EXPECT_NE(standin.ReadLog().find("interface ipv6 add address \"Ethernet 2\" 2001:0db8:0000:0000:0000:0000:0000:0042"),
            std::string::npos)
      << standin.ReadLog();
  const std::vector<std::string> addresses = Addresses();
  ASSERT_EQ(addresses.size(), 5u);
  EXPECT_EQ(addresses.back(), "2001:db8::42");
  EXPECT_EQ(source.QueryCount(), queries);
  EXPECT_TRUE(SaveScreenshot(m_hwnd, "main_window_after_add.png"));
}

TEST_F(MainWindowCommands, AdvancedOpensTheSettingsOnTheDnsTab) {
  CSyntheticAdapterSource source(EveryKind());
  ASSERT_NE(Open(), nullptr);
  std::string caption;
  std::string tab;
  m_catcher.ScriptNextDialog({[&](HWND dlg) {
    wchar_t text[128] = {};
    ::GetWindowTextW(dlg, text, 128);
    caption = Narrow(text);
    HWND tabs = ::FindWindowExW(dlg, nullptr, WC_TABCONTROLW, nullptr);
    TCITEMW item{};
    wchar_t label[64] = {};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = 64;
    ::SendMessageW(tabs, TCM_GETITEMW, ::SendMessageW(tabs, TCM_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(&item));
    tab = Narrow(label);
    ::SendMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
  }});
  Press(IDC_BUTTON_ADVANCED);
  EXPECT_EQ(caption, "Advanced Settings");
  EXPECT_EQ(tab, "DNS");
}

TEST_F(MainWindowCommands, RefreshRebuildsTheChooserAndKeepsTheAdapterByName) {
  CNetshStandin standin("main-refresh-name");
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  Choose(1);
  const std::string shown = Chooser().GetLBText(1);
  ClickRow(0);

  // A new adapter comes first and the order changes.
  std::vector<SyntheticAdapter> changed = ThreeAdapters();
  changed.insert(changed.begin(), Adapter("VPN", IF_TYPE_PPP, {}, {}));
  std::swap(changed[2], changed[3]);
  source.SetAdapters(changed);
  Press(IDC_BUTTON_REFRESH);
  EXPECT_EQ(ChooserEntries().size(), 4u);
  EXPECT_EQ(Chooser().GetLBText(Chooser().GetCurSel()), shown);
  EXPECT_EQ(Highlighted(), 0) << "same adapter: the selection stays";

  // The adapter shown is gone: entry 0, selection cleared.
  std::vector<SyntheticAdapter> without;
  for (const SyntheticAdapter& a : changed)
    if (a.friendlyName != shown) without.push_back(a);
  source.SetAdapters(without);
  Press(IDC_BUTTON_REFRESH);
  EXPECT_EQ(Chooser().GetCurSel(), 0);
  EXPECT_EQ(Chooser().GetLBText(0), kEthernet);
  ExpectNoSelection("the adapter shown is gone");

  // The commands now name the adapter of entry 0.
  ClickRow(0);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  EXPECT_EQ(standin.ReadLog(), Ran(Delete("2001:db8::5")));
}

TEST_F(MainWindowCommands, OpenConnectionsOnAnAddressAreToldBeforeItsRemoval) {
  CNetshStandin standin("main-remove-guarded");
  CSyntheticAdapterSource source(EveryKind());
  CInjectedGuardFacts facts;
  facts.SetConnections({EstablishedConnection("2001:db8::5", 3389, "2001:db8::99"),
                        EstablishedConnection("2001:db8::5", 49152, "2001:db8::7"),
                        EstablishedConnection("2001:db8:2::1", 22, "2001:db8::8")});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  const std::string warning =
      "2 open connections use 2001:db8::5, one of them a Remote Desktop session from 2001:db8::99. Removing the "
      "address will drop them, and you may lose your own connection to this machine. Remove it anyway?";

  // No: the address stays and nothing runs.
  ClickRow(0);
  m_catcher.QueueAnswer(IDNO);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(0, warning, "Vantoric", BoxIcon::Warning);
  EXPECT_EQ(m_catcher.Boxes()[0].buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(m_catcher.Boxes().size(), 1u) << "no confirmation after No";
  EXPECT_FALSE(standin.LogExists());
  EXPECT_EQ(Addresses().front(), "2001:db8::5");

  // Yes: the removal's own confirmation and command follow unchanged.
  m_catcher.QueueAnswer(IDYES);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(2, "Are you sure you want to remove ip address?", "Vantoric", BoxIcon::Question);
  CheckBox(3, "Successfully removed IPv6 Address.", "Remove IPv6 Address", BoxIcon::Information);
  EXPECT_EQ(standin.ReadLog(), Ran(Delete("2001:db8::5")));

  // An address that cannot be removed is not warned about: it is refused.
  ClickRow(1);  // 2001:db8:2::1, Public, with an SSH session on it
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  Press(IDC_BUTTON_REMOVE);
  CheckBox(4, "Are you sure you want to remove ip address?", "Vantoric", BoxIcon::Question);
  CheckBox(5, "Cannot delete address!", "Vantoric", BoxIcon::Warning);
}

}  // namespace
}  // namespace vantoric
