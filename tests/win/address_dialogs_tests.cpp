// The Add Address and Address Properties dialogs run modally on synthetic
// adapter records, driven from inside their own message loop through real
// messages; the texts, message boxes, the recording netsh's log and the
// records are read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controls/ipv6_text_model.h"
#include "dialogs/add_ip6_dlg.h"
#include "dialogs/edit_ip6_dlg.h"
#include "framework/controls.h"
#include "framework/utf8.h"
#include "resources/resource_address_dialogs.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_path_scope.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using test::Address;
using test::Adapter;
using test::CNetshStandin;

const std::string kName = "Local Area Connection 2";

// Either dialog, whose elevated launch is declined like a refused prompt
// while bDecline is set.
template <typename Dlg>
class CTestDialog : public Dlg {
 public:
  using Dlg::Dlg;
  bool bDecline = false;

 protected:
  CNetshResult RunCommand(std::string_view line) override {
    if (!bDecline) return Dlg::RunCommand(line);
    CNetshRunOptions options;
    options.m_hOwner = this->m_hWnd;
    options.m_pfnShellExecuteEx = [](SHELLEXECUTEINFOW*) -> BOOL {
      ::SetLastError(ERROR_CANCELLED);
      return FALSE;
    };
    return RunNetshCommand(line, &this->m_runner, true, options);
  }
};

const char* IconName(test::BoxIcon icon) {
  const char* names[] = {"plain", "error", "exclamation", "question", "information"};
  return names[static_cast<int>(icon)];
}

class AddressDialogsTest : public test::CNetshStandinTest {
 protected:
  void SetUp() override { m_catcher.SetStrict(true); }

  // Runs the dialog with `script` inside its message loop.
  INT_PTR Run(CDialog& dlg, const std::function<void()>& script) {
    m_catcher.ScriptNextDialog({[&](HWND hwnd) {
      m_hDlg = hwnd;
      script();
    }});
    return dlg.DoModal(nullptr);
  }

  HWND Item(int id) const { return ::GetDlgItem(m_hDlg, id); }
  HWND ListChild(int id) const { return ::GetDlgItem(Item(IDC_ADDRESS_PROPERTY_LIST), id); }
  std::string Text(int id) const { return test::DialogItemText(m_hDlg, id); }
  bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
  int Selection(int id) const { return CComboBox(Item(id)).GetCurSel(); }
  std::string Field() const {  // the address field without the mask's blanks
    std::string text = Text(IDC_IPV6_ADDRESS);
    return StripWhitespace(text);
  }
  // Each box the user has seen: caption, text and icon.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const auto& box : m_catcher.Boxes()) boxes.push_back(box.caption + "|" + box.text + "|" + IconName(box.icon));
    return boxes;
  }
  // Presses a button whose handler shows `boxes` message boxes.
  void Click(int id, int boxes = 0) {
    for (int i = 0; i < boxes; ++i) m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(Item(id), BM_CLICK, 0, 0);
  }
  void Choose(int comboId, int index, int boxes = 0) {
    for (int i = 0; i < boxes; ++i) m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(Item(comboId), CB_SETCURSEL, index, 0);
    ::SendMessageW(m_hDlg, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(comboId)));
  }
  // Enter in a lifetime's field: OK runs with the typed text still there.
  void PressEnter(int boxes) {
    for (int i = 0; i < boxes; ++i) m_catcher.QueueAnswer(IDOK);
    ::SendMessageW(m_hDlg, WM_COMMAND, IDOK, 0);
  }
  static void Type(HWND hwnd, std::string_view chars) {
    for (char c : chars) ::SendMessageW(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  void Key(UINT vk) const {
    ::SendMessageW(Item(IDC_IPV6_ADDRESS), WM_KEYDOWN, vk, 1);
    ::SendMessageW(Item(IDC_IPV6_ADDRESS), WM_KEYUP, vk, 0xC0000001);
  }
  // Types an address group by group; a short group is ended with ":".
  void TypeAddress(std::string_view address) const {
    ::SetFocus(Item(IDC_IPV6_ADDRESS));
    for (size_t start = 0; start <= address.size();) {
      const size_t end = std::min(address.find(':', start), address.size());
      Type(Item(IDC_IPV6_ADDRESS), address.substr(start, end - start));
      if (end - start < 4 && end < address.size()) Key(VK_OEM_1);
      start = end + 1;
    }
  }
  void ClickRow(int row) const { test::ClickListBoxItem(Item(IDC_ADDRESS_PROPERTY_LIST), row); }
  // Clicks a text row, then types into its field, which keeps the focus.
  void TypeLifetime(int row, std::string_view text) const {
    ClickRow(row);
    ::SetFocus(ListChild(1));
    RetypeLifetime(text);
  }
  void RetypeLifetime(std::string_view text) const {
    ::SendMessageW(ListChild(1), EM_SETSEL, 0, -1);
    Type(ListChild(1), text);
  }
  void ChooseInRow(int row, const char* choice) const {
    ClickRow(row);
    ::SendMessageW(ListChild(7), BM_CLICK, 0, 0);
    const std::wstring wide = Widen(choice);
    test::ClickListBoxItem(ListChild(8), static_cast<int>(::SendMessageW(ListChild(8), LB_FINDSTRINGEXACT,
                                                                         static_cast<WPARAM>(-1),
                                                                         reinterpret_cast<LPARAM>(wide.c_str()))));
  }
  // The property list lies below the address field and leaves the help text uncovered.
  void ExpectListBetween(int aboveId, int belowId) const {
    const CWindow dlg(m_hDlg);
    const RECT list = dlg.GetChildRect(Item(IDC_ADDRESS_PROPERTY_LIST));
    EXPECT_GE(list.top, dlg.GetChildRect(Item(aboveId)).bottom);
    EXPECT_LE(list.bottom, dlg.GetChildRect(Item(belowId)).top);
  }
  static std::string Ran(const std::string& line) { return CNetshStandin::RunLog(line); }

  // The adapter the dialogs run on, as the snapshot fills it: a
  // router-advertised address and one added by hand whose valid lifetime is
  // infinite, then `more`.
  static CAdapterRecord Record(const std::vector<test::SyntheticAddress>& more = {}) {
    std::vector<test::SyntheticAddress> addresses = {
        Address("2001:db8:1:2::99", IpPrefixOriginRouterAdvertisement, IpSuffixOriginLinkLayerAddress, 86400, 14400),
        Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual, 0xFFFFFFFF, 3600)};
    addresses.insert(addresses.end(), more.begin(), more.end());
    return test::TakeSyntheticSnapshot(
               {Adapter(kName, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}, addresses)})
        .records[0];
  }

  // The elevated launch of Windows 6, from a program without the rights
  // (Wine's own token has them).
  test::CNetshPathScope m_path{6, 0};
  test::CGuiTestScope m_scope{"Vantoric Address Dialog Tests"};
  test::CMessageBoxCatcher m_catcher;
  CAdapterRecord m_adapter = Record();
  HWND m_hDlg = nullptr;
};

// Line breaks are CR LF; the continuation lines' blanks are counted.
const char kValidHelp[] =
    "Valid lifetime - Lifetime of which the address is valid.\r\n                       The default value is "
    "infinite.\r\nTime values can be expressed in days, hours, minutes, seconds;\r\ne.g. 1d2h3m4s";
std::string PreferredHelp(const char* wording) {
  return std::string("Preferred lifetime - Lifetime of which the address is preferred.\r\n") + std::string(31, ' ') +
         wording + "\r\nTime values can be expressed in days, hours, minutes, seconds;\r\ne.g. 1d2h3m4s";
}

TEST_F(AddressDialogsTest, AddOpensOnTheChosenAdapterWithHelpByRow) {
  CNetshStandin standin("add-open");
  test::SyntheticSnapshot snapshot =
      test::TakeSyntheticSnapshot({Adapter("Wi-Fi", IF_TYPE_IEEE80211), Adapter(kName, IF_TYPE_IEEE80211)});
  CAddIP6Dlg dlg(snapshot.records.data(), snapshot.names, 1);
  Run(dlg, [&] {
    EXPECT_EQ(CComboBox(Item(IDC_ADD_COMBO_ADAPTER)).GetLBText(0), "Wi-Fi");
    EXPECT_EQ(Selection(IDC_ADD_COMBO_ADAPTER), 1);
    EXPECT_FALSE(Enabled(IDC_ADD_COMBO_ADAPTER));
    EXPECT_EQ(CComboBox(Item(IDC_ADD_COMBO_PREFIX)).GetLBText(1), "64 bit from Router Advertisement (RA)");
    EXPECT_EQ(CComboBox(Item(IDC_ADD_COMBO_IDENTIFIER)).GetLBText(2), "Randomly generated address");
    EXPECT_FALSE(Enabled(IDC_ADD_BUTTON_DEFAULTS));
    EXPECT_EQ(Field(), ":::::::") << "the empty mask";
    EXPECT_EQ(Text(IDC_ADD_HELP), "----------");
    ExpectListBetween(IDC_IPV6_ADDRESS, IDC_ADD_HELP);

    ChooseInRow(0, "anycast");
    EXPECT_EQ(Text(IDC_ADD_HELP),
              "Type - unicast: adds a unicast address (default)\r\n           anycast: adds a anycast address");
    ChooseInRow(1, "active");
    EXPECT_EQ(Text(IDC_ADD_HELP), "Store - active: change only lasts until next boot\r\n            persistent: "
                                  "change is persistent (default)");
    ClickRow(2);
    EXPECT_EQ(Text(IDC_ADD_HELP), kValidHelp);
    ClickRow(3);
    EXPECT_EQ(Text(IDC_ADD_HELP), PreferredHelp("The default value is infinite."));
    Choose(IDC_ADD_COMBO_IDENTIFIER, 2);
    EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "add_address_dialog.png"));
    Click(IDCANCEL);
  });
  EXPECT_FALSE(standin.LogExists()) << "Cancel runs nothing";
  EXPECT_TRUE(snapshot.records[1].m_addresses.empty());
}

TEST_F(AddressDialogsTest, AddChecksTheInputThenSendsItAsTyped) {
  CNetshStandin standin("add-ok");
  CAddIP6Dlg dlg(&m_adapter, {kName}, 0);
  const INT_PTR result = Run(dlg, [&] {
    Click(IDOK, 1);
    TypeAddress("2001:db8:0:0:0:0:0:1");
    ChooseInRow(1, "active");
    TypeLifetime(2, "1d2h");
    TypeLifetime(3, "INFINITE");
    PressEnter(1);
    // A refused lifetime is told once, when its field loses the focus to
    // OK; OK then stops without a second message.
    RetypeLifetime("1h30");
    Click(IDOK, 1);
    EXPECT_FALSE(standin.LogExists()) << "nothing ran yet";
    RetypeLifetime("2h");
    PressEnter(1);
  });
  EXPECT_EQ(result, IDOK);
  const std::string lifetime = "Vantoric|Invalid lifetime format.|error";
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "Add New IPv6 Address|Invalid address parameter.|error",
                         "Vantoric|Valid lifetime should be greater than or equal to Preferred lifetime.|error",
                         lifetime, "Add New IPv6 Address|Successfully added New IPv6 Address.|information"}));
  EXPECT_EQ(standin.ReadLog(), Ran("interface ipv6 add address \"" + kName +
                                        "\" 2001:db8:0:0:0:0:0:1 unicast 1d2h 2h active"));
  ASSERT_EQ(m_adapter.m_addresses.size(), 3u);
  EXPECT_EQ(m_adapter.m_addresses[2].m_strAddress, "2001:db8::1") << "the address sent, compressed";
  EXPECT_EQ(m_adapter.m_addresses[2].m_strValidLifetime, "1d2h");
  EXPECT_EQ(m_adapter.m_addresses[2].m_strPreferredLifetime, "2h");
}

TEST_F(AddressDialogsTest, AddComposesTheAddressFromPrefixAndIdentifier) {
  CAddIP6Dlg dlg(&m_adapter, {kName}, 0);
  Run(dlg, [&] {
    Choose(IDC_ADD_COMBO_IDENTIFIER, 1);
    EXPECT_EQ(Text(IDC_ADD_STATUS), "::20c:29ff:feab:cdef");
    Choose(IDC_ADD_COMBO_PREFIX, 1);
    EXPECT_EQ(Text(IDC_ADD_STATUS), "2001:db8:1:2:20c:29ff:feab:cdef");
    Choose(IDC_ADD_COMBO_IDENTIFIER, 0);
    EXPECT_EQ(Field(), "2001:0db8:0001:0002::::") << "router prefix, identifier half empty";
    Choose(IDC_ADD_COMBO_IDENTIFIER, 2);
    const std::string first = Field();
    Choose(IDC_ADD_COMBO_IDENTIFIER, 2);
    const std::string second = Field();
    EXPECT_NE(first, second) << "each choice of random makes an identifier";
    EXPECT_EQ(second.substr(0, 20), "2001:0db8:0001:0002:") << "the prefix stays";
    Choose(IDC_ADD_COMBO_PREFIX, 0);
    EXPECT_EQ(Field(), "::::" + second.substr(20)) << "a prefix change keeps the second identifier";
    Choose(IDC_ADD_COMBO_IDENTIFIER, 0);
    EXPECT_EQ(Field(), ":::::::") << "manual and manual empty the field";

    Click(IDC_ADD_CHECK_RA_EUI64);
    EXPECT_FALSE(Enabled(IDC_ADD_COMBO_PREFIX));
    EXPECT_FALSE(Enabled(IDC_ADD_COMBO_IDENTIFIER));
    EXPECT_EQ(Text(IDC_ADD_STATUS), "2001:db8:1:2:20c:29ff:feab:cdef");
    Click(IDC_ADD_CHECK_RA_EUI64);
    EXPECT_TRUE(Enabled(IDC_ADD_COMBO_PREFIX));
    EXPECT_TRUE(Enabled(IDC_ADD_COMBO_IDENTIFIER));
    EXPECT_EQ(Field(), ":::::::");
    Click(IDCANCEL);
  });
}

TEST_F(AddressDialogsTest, AddToldWhenAHalfCannotBeMade) {
  // No MAC, no router-advertised address.
  CAdapterRecord bare = test::TakeSyntheticSnapshot({Adapter("Tunnel", IF_TYPE_TUNNEL)}).records[0];
  CAddIP6Dlg dlg(&bare, {"Tunnel"}, 0);
  Run(dlg, [&] {
    TypeAddress("fd00");
    Choose(IDC_ADD_COMBO_PREFIX, 1, 1);
    EXPECT_EQ(Selection(IDC_ADD_COMBO_PREFIX), 0);
    Choose(IDC_ADD_COMBO_IDENTIFIER, 1, 1);
    EXPECT_EQ(Selection(IDC_ADD_COMBO_IDENTIFIER), 0);
    Click(IDC_ADD_CHECK_RA_EUI64, 1);
    EXPECT_EQ(::SendMessageW(Item(IDC_ADD_CHECK_RA_EUI64), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(Enabled(IDC_ADD_COMBO_PREFIX));
    EXPECT_TRUE(Enabled(IDC_ADD_COMBO_IDENTIFIER));
    EXPECT_EQ(Field(), "fd00:::::::") << "the field is left as it was";
    Click(IDCANCEL);
  });
  const std::string ra =
      "Vantoric|Cannot retrieve RA address prefix!\nPlease contact your system administrator.|exclamation";
  const std::string eui =
      "Vantoric|No EUI-64 identifier can be made for this adapter!\nIt has no 6-byte MAC address.|exclamation";
  EXPECT_EQ(Boxes(), (std::vector<std::string>{ra, eui, ra}));
}

TEST_F(AddressDialogsTest, AddAfterAFailingNetshKeepsTheInput) {
  CNetshStandin standin("add-fail");
  SetWindowsMajorVersionForTests(5);  // the console path, where netsh's words are read
  standin.SetAnswer("The object already exists.\\r\\n");
  standin.SetExitCode(1);
  CTestDialog<CAddIP6Dlg> dlg(&m_adapter, {kName}, 0);
  const INT_PTR result = Run(dlg, [&] {
    TypeAddress("2001:db8:0:0:0:0:0:7");
    Click(IDOK, 1);
    ASSERT_EQ(m_catcher.Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("The object already exists."), std::string::npos) << Boxes()[0];
    EXPECT_EQ(m_catcher.Boxes()[0].caption, "Add New IPv6 Address");
    EXPECT_EQ(m_catcher.Boxes()[0].icon, test::BoxIcon::Error);
    EXPECT_EQ(Text(IDC_ADD_STATUS), "2001:db8::7") << "the input is kept";
    EXPECT_EQ(m_adapter.m_addresses.size(), 2u) << "the record is unchanged";

    SetWindowsMajorVersionForTests(6);
    dlg.bDecline = true;
    Click(IDOK, 1);
    EXPECT_EQ(Boxes().back(), "Add IP address|Adding Ipv6 value is cancelled.|plain");
  });
  EXPECT_EQ(result, IDOK) << "a declined elevation closes the dialog";
  EXPECT_EQ(m_adapter.m_addresses.size(), 2u) << "without a new address";
}

TEST_F(AddressDialogsTest, PropertiesLockedUntilEditAndNothingChanged) {
  CNetshStandin standin("edit-nothing");
  CEditIP6Dlg dlg("2001:db8::5", &m_adapter);
  const INT_PTR result = Run(dlg, [&] {
    EXPECT_EQ(Field(), "2001:0db8:0000:0000:0000:0000:0000:0005");
    EXPECT_EQ(Text(IDC_PROP_PREVIEW), "2001:db8::5");
    const int editable[] = {IDC_IPV6_ADDRESS, IDC_ADDRESS_PROPERTY_LIST, IDC_PROP_BUTTON_APPLY, IDOK};
    for (int id : editable) EXPECT_FALSE(Enabled(id)) << "locked: " << id;
    EXPECT_EQ(Text(IDC_PROP_HELP), "----------");
    ExpectListBetween(IDC_IPV6_ADDRESS, IDC_PROP_HELP);

    Click(IDC_PROP_BUTTON_EDIT);
    for (int id : editable) EXPECT_TRUE(Enabled(id)) << "editing: " << id;
    EXPECT_FALSE(Enabled(IDC_PROP_BUTTON_EDIT));
    ClickRow(1);
    EXPECT_EQ(Text(IDC_PROP_HELP), kValidHelp);
    ClickRow(2);
    EXPECT_EQ(Text(IDC_PROP_HELP), PreferredHelp("The defaule valut is infinite."));
    EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "address_properties_dialog.png"));
    Click(IDOK, 1);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Edit IPv6 Address|No changes made.|information"});
  EXPECT_EQ(dlg.m_bApplied, 0);
  EXPECT_EQ(dlg.m_bAddressChanged, 0);
  EXPECT_FALSE(standin.LogExists());
}

TEST_F(AddressDialogsTest, PropertiesApplyCountsChangesSinceTheLastApply) {
  CNetshStandin standin("edit-apply");
  CEditIP6Dlg dlg("2001:db8::5", &m_adapter);
  const std::string set = "interface ipv6 set address \"" + kName + "\" 2001:0db8:0000:0000:0000:0000:0000:0005 ";
  const INT_PTR result = Run(dlg, [&] {
    Click(IDC_PROP_BUTTON_EDIT);
    Click(IDC_PROP_BUTTON_APPLY, 1);
    ChooseInRow(0, "anycast");
    Click(IDC_PROP_BUTTON_APPLY, 1);
    EXPECT_FALSE(Enabled(IDC_PROP_BUTTON_APPLY));
    EXPECT_EQ(dlg.m_bApplied, 1);
    TypeLifetime(2, "Infinite");
    Click(IDOK, 1);
  });
  EXPECT_EQ(result, IDOK);
  const std::string saved = "Edit IPv6 Address|IPv6 properties changes successfully saved.|information";
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Edit IPv6 Address|No changes made.|information", saved, saved}));
  EXPECT_EQ(standin.ReadLog(),
            Ran(set + "anycast infinite 1h0m0s ") + Ran(set + "anycast infinite Infinite "));
  EXPECT_EQ(dlg.m_bAddressChanged, 0);
  ASSERT_EQ(m_adapter.m_addresses.size(), 4u);
  EXPECT_EQ(m_adapter.m_addresses[3].m_strAddress, "2001:db8::5");
}

TEST_F(AddressDialogsTest, PropertiesChangedAddressSurvivesFailuresAndCancel) {
  CNetshStandin standin("edit-address");
  standin.SetExitCode(1);
  CTestDialog<CEditIP6Dlg> dlg("2001:db8::5", &m_adapter);
  const INT_PTR result = Run(dlg, [&] {
    Click(IDC_PROP_BUTTON_EDIT);
    Key(VK_END);
    for (int i = 0; i < 4; ++i) Key(VK_BACK);
    Click(IDC_PROP_BUTTON_APPLY, 1);
    Type(Item(IDC_IPV6_ADDRESS), "6");
    Click(IDC_PROP_BUTTON_APPLY, 1);
    EXPECT_EQ(dlg.m_bApplied, 0) << "netsh failed";
    dlg.bDecline = true;
    Click(IDC_PROP_BUTTON_APPLY, 1);
    dlg.bDecline = false;
    standin.SetExitCode(0);
    Click(IDC_PROP_BUTTON_APPLY, 1);
    Click(IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(m_catcher.Boxes().size(), 4u);
  EXPECT_EQ(Boxes()[0], "Edit IPv6 Address|Invalid address parameter.|error");
  EXPECT_EQ(m_catcher.Boxes()[1].caption, "Edit IPv6 Address") << "netsh's failure: " << Boxes()[1];
  EXPECT_EQ(m_catcher.Boxes()[1].icon, test::BoxIcon::Error) << "netsh's failure: " << Boxes()[1];
  EXPECT_EQ(Boxes()[2], "Add IP address|Error adding ip|plain");
  EXPECT_EQ(Boxes()[3], "Edit IPv6 Address|IPv6 properties changes successfully saved.|information");
  EXPECT_EQ(dlg.m_bApplied, 1) << "Cancel after a successful apply";
  EXPECT_EQ(dlg.m_bAddressChanged, 1);
  ASSERT_EQ(m_adapter.m_addresses.size(), 3u) << "one entry, for the apply that succeeded";
  EXPECT_EQ(m_adapter.m_addresses[2].m_strAddress, "2001:db8::6");
}

TEST_F(AddressDialogsTest, PropertiesChangeOnlyWhatTheUserChanged) {
  CNetshStandin standin("edit-keeps");
  // A long finite lifetime, shown as "infinite" in the list.
  m_adapter = Record({Address("2001:db8::c", IpPrefixOriginManual, IpSuffixOriginManual, 400 * 86400, 3600)});
  CTestDialog<CEditIP6Dlg> dlg("2001:db8::c", &m_adapter);
  const std::string set = "interface ipv6 set address \"" + kName + "\" 2001:0db8:0000:0000:0000:0000:0000:000";
  const INT_PTR result = Run(dlg, [&] {
    Click(IDC_PROP_BUTTON_EDIT);
    TypeLifetime(2, "2h");
    Click(IDC_PROP_BUTTON_APPLY, 1);
    // To 2001:db8::5, which the adapter held before, then on to ::d.
    Key(VK_END);
    Key(VK_BACK);
    Type(Item(IDC_IPV6_ADDRESS), "5");
    Click(IDC_PROP_BUTTON_APPLY, 1);
    Key(VK_BACK);
    Type(Item(IDC_IPV6_ADDRESS), "d");
    Click(IDC_PROP_BUTTON_APPLY, 1);
    Click(IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(standin.ReadLog(), Ran(set + "c unicast 400d0h0m0s 2h ") + Ran(set + "5 unicast 400d0h0m0s 2h ") +
                                   Ran(set + "d unicast 400d0h0m0s 2h "))
      << "the valid lifetime the user left alone stays finite";
  EXPECT_EQ(dlg.m_bAddressChanged, 1) << "the edited address is replaced";
  EXPECT_EQ(dlg.m_supersededAddresses, std::vector<std::string>{})
      << "2001:db8::5 was on the adapter before: not this dialog's to delete";
}

TEST_F(AddressDialogsTest, CancelAfterARefusedLifetimeSaysNothing) {
  const struct {
    const char* how;
    std::function<void(HWND)> cancel;
  } ways[] = {
      {"Cancel button", [](HWND dlg) { ::SendMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0); }},
      {"Escape", [](HWND dlg) { ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }},
      {"close box", [](HWND dlg) { ::SendMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& way : ways) {
    m_catcher.Clear();
    CEditIP6Dlg dlg("2001:db8::5", &m_adapter);
    const INT_PTR result = Run(dlg, [&] {
      Click(IDC_PROP_BUTTON_EDIT);
      TypeLifetime(2, "1h30");
      Click(IDOK, 1);
      way.cancel(m_hDlg);
    });
    EXPECT_EQ(result, IDCANCEL) << way.how;
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Vantoric|Invalid lifetime format.|error"})
        << way.how << ": only OK's refusal";
  }
}

TEST_F(AddressDialogsTest, AddRefusesAnAddressThatCannotWorkBeforeNetsh) {
  CNetshStandin standin("add-guarded");
  CAddIP6Dlg dlg(&m_adapter, {kName}, 0);
  const INT_PTR result = Run(dlg, [&] {
    TypeAddress("ff02:0:0:0:0:0:0:1");
    Click(IDOK, 1);
    Click(IDCANCEL);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(Boxes(), std::vector<std::string>{
                         "Add New IPv6 Address|ff02::1 is a multicast address (ff00::/8). A multicast address names a "
                         "group of listeners and cannot be given to an adapter. Enter a unicast address.|error"});
  EXPECT_FALSE(standin.LogExists()) << "netsh was not started";
  EXPECT_EQ(m_adapter.m_addresses.size(), 2u);
}

}  // namespace
}  // namespace vantoric
