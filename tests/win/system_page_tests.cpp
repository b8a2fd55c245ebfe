// The System page of Advanced Settings on injected settings: the rows as
// the management classes give them, temporary addresses off and Prefer IPv4
// applied after one confirmation, the lines that the recording netsh
// received, the History's lines and Undo, and a failure that stops the rest.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/property_list_win32.h"
#include "core/netsh_run_win32.h"
#include "dialogs/advanced_settings_dlg.h"
#include "dialogs/history_dlg.h"
#include "framework/controls.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/synthetic_adapters.h"
#include "tests/win/support/system_source.h"

namespace vantoric {
namespace {

using Strings = std::vector<std::string>;

std::string ListBoxText(HWND list, int row) {
  wchar_t text[128] = {};
  ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
  return Narrow(text);
}

class SystemPage : public test::CNetshStandinTest {
 protected:
  void SetUp() override {
    SetWindowsMajorVersionForTests(5);
    m_catcher.SetStrict(true);
    CSystemFacts facts;
    facts.m_bProtocolRead = true;
    facts.m_nUseTemporaryAddresses = 1;
    facts.m_nRandomizeIdentifiers = 1;
    facts.m_strMaxTemporaryValidLifetime = "00000007000000.000000:000";
    facts.m_strMaxTemporaryPreferredLifetime = "00000001000000.000000:000";
    facts.m_bPoliciesRead = true;
    facts.m_policies = DefaultPrefixPolicies();
    facts.m_bTeredoRead = true;
    facts.m_nTeredoType = 0;
    facts.m_bSixToFourRead = true;
    facts.m_nSixToFourState = 3;
    m_facts.SetFacts(facts);
    m_adapters = {test::Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD)};
    m_snapshot = test::TakeSyntheticSnapshot(m_adapters);
    m_dlg = std::make_unique<CAdvancedSettingsDlg>(m_snapshot.records.data(),
                                                   static_cast<int>(m_snapshot.records.size()), m_snapshot.names);
    m_dlg->m_pHistory = &m_history;
    m_hDlg = m_dlg->Create(nullptr);
    ASSERT_NE(m_hDlg, nullptr);
    ::ShowWindow(m_hDlg, SW_SHOW);
    m_hPage = test::ShowTabPage(::GetDlgItem(m_hDlg, IDC_TAB_ADVANCED), 2, IDC_LIST_PREFIX_POLICIES);
    ASSERT_NE(m_hPage, nullptr);
  }
  void TearDown() override {
    if (m_dlg && m_dlg->IsWindow()) m_dlg->DestroyWindow();
    SetWindowsMajorVersionForTests(0);
  }

  HWND Item(int id) const { return ::GetDlgItem(m_hPage, id); }
  HWND List() const { return Item(IDC_SYSTEM_PROPERTY_LIST); }
  // A click on the row's name and on its arrow: the open drop-down list.
  HWND OpenRow(int row) const {
    RECT rc{};
    ::SendMessageW(List(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM(20, rc.top + 4);
    ::SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(List(), WM_LBUTTONUP, 0, at);
    ::SendMessageW(::GetDlgItem(List(), IDC_PROPLIST_COMBO_BUTTON), BM_CLICK, 0, 0);
    return ::GetDlgItem(List(), IDC_PROPLIST_DROP_LIST);
  }
  // Each row as "name: value (choice/choice)", read from its drop-down list.
  Strings Rows() const {
    Strings rows;
    const int count = static_cast<int>(::SendMessageW(List(), LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      HWND drop = OpenRow(row);
      const int chosen = static_cast<int>(::SendMessageW(drop, LB_GETCURSEL, 0, 0));
      std::string choices;
      for (int i = 0; i < static_cast<int>(::SendMessageW(drop, LB_GETCOUNT, 0, 0)); ++i)
        choices += (i ? "/" : "") + ListBoxText(drop, i);
      rows.push_back(ListBoxText(List(), row) + ": " + ListBoxText(drop, chosen) + " (" + choices + ")");
      test::ClickListBoxItem(drop, chosen);
    }
    return rows;
  }
  void Choose(int row, const std::string& text) const {
    HWND drop = OpenRow(row);
    for (int i = 0; i < static_cast<int>(::SendMessageW(drop, LB_GETCOUNT, 0, 0)); ++i)
      if (ListBoxText(drop, i) == text) test::ClickListBoxItem(drop, i);
  }
  Strings Policies() const {
    const CListView list(Item(IDC_LIST_PREFIX_POLICIES));
    Strings rows;
    for (int i = 0; i < list.GetItemCount(); ++i)
      rows.push_back(list.GetItemText(i, 0) + " | " + list.GetItemText(i, 1) + " | " + list.GetItemText(i, 2));
    return rows;
  }
  bool ApplyEnabled() const { return ::IsWindowEnabled(Item(IDC_BUTTON_SYSTEM_APPLY)) != FALSE; }
  Strings HistoryLines() const {
    Strings lines;
    for (const CHistoryEntry& entry : m_history.GetEntries())
      lines.push_back(FormatTypedNetshLine(entry.m_strLine) + " | " + FormatPowerShellCommand(entry.m_change) + " | " +
                      DescribeHistoryOutcome(entry.m_result));
    return lines;
  }

  test::CNetshStandin m_standin{::testing::UnitTest::GetInstance()->current_test_info()->name()};
  test::CGuiTestScope m_scope{"Vantoric System Page Tests"};
  test::CMessageBoxCatcher m_catcher;
  test::CInjectedSystemFacts m_facts;
  CCommandHistory m_history;
  std::vector<test::SyntheticAdapter> m_adapters;
  test::SyntheticSnapshot m_snapshot;
  std::unique_ptr<CAdvancedSettingsDlg> m_dlg;
  HWND m_hDlg = nullptr;
  HWND m_hPage = nullptr;
};

TEST_F(SystemPage, ShowsAppliesInOneConfirmationUndoesAndStopsAtAFailure) {
  EXPECT_TRUE(::IsWindowVisible(m_hPage)) << "the third tab shows the System page";
  EXPECT_EQ(Rows(), (Strings{"Temporary addresses: Enabled (Enabled/Disabled)",
                             "Random interface identifiers: Enabled (Enabled/Disabled)",
                             "Address preference: Prefer IPv6 (Windows default) (Prefer IPv6 (Windows default)/Prefer IPv4)",
                             "Teredo: Default (Default/Disabled)",
                             "ISATAP: Not known (Not known/Default/Enabled/Disabled)",
                             "6to4: Disabled (Default/Enabled/Disabled)"}));
  EXPECT_EQ(test::DialogItemText(m_hPage, IDC_STATIC_TEMPORARY_LIFETIMES),
            "Temporary addresses live at most: valid 7d0h0m0s, preferred 1d0h0m0s.");
  const Strings policies = Policies();
  ASSERT_EQ(policies.size(), 9u);
  EXPECT_EQ(policies[0], "::1/128 | 50 | 0");
  EXPECT_EQ(policies[2], "::ffff:0:0/96 | 35 | 4");
  EXPECT_FALSE(ApplyEnabled()) << "nothing differs yet";
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "system_page.png"));

  // Temporary addresses off and Prefer IPv4: one confirmation for both.
  Choose(0, "Disabled");
  Choose(2, "Prefer IPv4");
  EXPECT_TRUE(test::PumpUntil([&] { return ApplyEnabled(); }, 3000)) << "Apply once a row differs";
  const int readsBefore = m_facts.Reads();
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(m_hPage, IDC_BUTTON_SYSTEM_APPLY);
  const std::string privacyOff = "interface ipv6 set privacy state=disabled store=persistent";
  const std::string preferIPv4 =
      "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=45 label=4 store=persistent";
  EXPECT_EQ(m_catcher.Summaries(),
            (Strings{"System Settings | Apply runs these commands, one after another:\n\nnetsh " + privacyOff +
                         "\nnetsh " + preferIPv4 + "\n\nRun them? | Q",
                     "System Settings | The settings were changed. | I"}));
  EXPECT_EQ(m_standin.ReadLog(),
            test::CNetshStandin::RunLog(privacyOff) + test::CNetshStandin::RunLog(preferIPv4));
  EXPECT_GT(m_facts.Reads(), readsBefore) << "read again after Apply";
  EXPECT_FALSE(ApplyEnabled()) << "the rows show what was read";
  EXPECT_EQ(HistoryLines(),
            (Strings{"netsh " + privacyOff + " | Set-NetIPv6Protocol -UseTemporaryAddresses Disabled | Succeeded",
                     "netsh " + preferIPv4 + " | & \"$env:SystemRoot\\System32\\netsh.exe\" " + preferIPv4 +
                         " | Succeeded"}));

  // Undo in the History takes both back, newest first.
  m_standin.ClearLog();
  m_catcher.Clear();
  const std::string policyBack =
      "interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 precedence=35 label=4 store=persistent";
  const std::string privacyOn = "interface ipv6 set privacy state=enabled store=persistent";
  {
    CHistoryDlg history(m_history, nullptr);
    ASSERT_NE(history.Create(nullptr), nullptr);
    m_catcher.QueueAnswer(IDOK);
    m_catcher.QueueAnswer(IDOK);
    test::ClickButton(history.GetSafeHwnd(), IDC_BUTTON_HISTORY_UNDO);
    history.DestroyWindow();
  }
  EXPECT_EQ(m_catcher.Summaries(),
            (Strings{"Undo | Undo will run:\n\nnetsh " + policyBack + "\nnetsh " + privacyOn +
                         "\n\nDo you want to go on? | Q",
                     "Undo | The change was undone. | I"}));
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog(policyBack) + test::CNetshStandin::RunLog(privacyOn));
  ASSERT_EQ(m_history.GetEntries().size(), 4u);
  EXPECT_EQ(FormatPowerShellCommand(m_history.GetEntries()[3].m_change),
            "Set-NetIPv6Protocol -UseTemporaryAddresses Enabled");

  // Until the next restart, random identifiers off and ISATAP off: netsh
  // refuses the first, and the second is not run.
  m_standin.ClearLog();
  m_catcher.Clear();
  m_standin.SetExitCode(1);
  m_standin.SetAnswer("The requested operation requires elevation.\\r\\n");
  ::SendMessageW(Item(IDC_CHECK_UNTIL_RESTART), BM_CLICK, 0, 0);
  Choose(1, "Disabled");
  Choose(4, "Disabled");
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(m_hPage, IDC_BUTTON_SYSTEM_APPLY);
  const std::string randomOff = "interface ipv6 set global randomizeidentifiers=disabled store=active";
  ASSERT_EQ(m_catcher.Boxes().size(), 2u);
  EXPECT_NE(m_catcher.Boxes()[0].text.find("netsh interface isatap set state state=disabled"), std::string::npos)
      << m_catcher.Boxes()[0].text;
  EXPECT_EQ(m_catcher.Boxes()[1].caption, "System Settings");
  EXPECT_EQ(m_catcher.Boxes()[1].icon, test::BoxIcon::Error);
  EXPECT_NE(m_catcher.Boxes()[1].text.find("The requested operation requires elevation."), std::string::npos)
      << m_catcher.Boxes()[1].text;
  EXPECT_EQ(m_standin.ReadLog(), test::CNetshStandin::RunLog(randomOff, 1)) << "the rest is not run";
  EXPECT_EQ(HistoryLines().back(), "netsh " + randomOff +
                                       " | Set-NetIPv6Protocol -RandomizeIdentifiers Disabled -PolicyStore ActiveStore"
                                       " | Failed (exit code 1)");
}

}  // namespace
}  // namespace vantoric
