// The History window end to end: commands run from the main window are
// listed with their outcome and netsh's words, copied as typed and as
// PowerShell, saved as a script through the system's save dialog, and the
// newest change undone through netsh.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/ipv6_control_win32.h"
#include "core/history_log_win32.h"
#include "core/netsh_run_win32.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "resources/resource_address_dialogs.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/netsh_standin_support.h"

namespace vantoric {
namespace {

using namespace test;

constexpr char kEthernet[] = "Ethernet 2";
const std::string kDelete = "interface ipv6 delete address \"Ethernet 2\" 2001:db8::5";
const std::string kDeleteOther = "interface ipv6 delete address \"Ethernet 2\" 2001:db8::6";
const std::string kAddBack = "interface ipv6 add address \"Ethernet 2\" 2001:db8::5 unicast infinite infinite persistent";

std::string ReadFileText(const std::wstring& path) {
  CHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (file && ::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

class History : public MainWindow {
 private:
  CNetshStandinGuard m_netshGuard;

 protected:
  void SetUp() override { SetWindowsMajorVersionForTests(5); }  // the console path: netsh's words are read
  void TearDown() override {
    SetWindowsMajorVersionForTests(0);
    MainWindow::TearDown();
  }

  // Removes the address shown as `address`: the confirmation and the
  // outcome's box are answered OK.
  void RemoveAddress(const std::string& address) {
    const std::vector<std::string> shown = Addresses();
    const auto it = std::find(shown.begin(), shown.end(), address);
    ASSERT_NE(it, shown.end()) << address;
    Remove(static_cast<int>(it - shown.begin()));
  }

  void Remove(int row) {
    ClickRow(row);
    m_catcher.QueueAnswer(IDOK);
    m_catcher.QueueAnswer(IDOK);
    Press(IDC_BUTTON_REMOVE);
  }

  // The History window's rows, each as its four cells joined by " | ".
  static std::vector<std::string> HistoryRows(HWND history) {
    const CListView list(::GetDlgItem(history, IDC_LIST_HISTORY));
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetItemCount(); ++i)
      rows.push_back(list.GetItemText(i, 1) + " | " + list.GetItemText(i, 2) + " | " + list.GetItemText(i, 3));
    return rows;
  }
  static void SelectOnly(HWND history, int row) {
    HWND list = ::GetDlgItem(history, IDC_LIST_HISTORY);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row < 0) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
};

TEST_F(History, ListsCopiesSavesAndUndoesTheChanges) {
  CNetshStandin standin("history");
  CSyntheticAdapterSource source(
      {Adapter(kEthernet, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
               {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual),
                Address("2001:db8::6", IpPrefixOriginManual, IpSuffixOriginManual)})});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);

  // A removal that netsh refuses, then one that it carries out.
  standin.SetExitCode(1);
  standin.SetAnswer("Element not found.");
  Remove(1);
  standin.SetExitCode(0);
  standin.SetAnswer("");
  Remove(0);
  ASSERT_EQ(standin.ReadLog(), CNetshStandin::RunLog(kDeleteOther, 1) + CNetshStandin::RunLog(kDelete));
  standin.ClearLog();
  m_catcher.Clear();
  const int readings = source.QueryCount();

  const std::wstring script = TempFolder() + L"vantoric-history-test.cmd";
  ::DeleteFileW(script.c_str());
  m_catcher.ScriptNextDialog(
      {[&](HWND history) {
         // This run's entries come first; earlier runs' (other tests') follow.
         std::vector<std::string> rows = HistoryRows(history);
         rows.resize(std::min<size_t>(rows.size(), 2));
         EXPECT_EQ(rows, (std::vector<std::string>{"Ethernet 2 | netsh " + kDelete + " | Succeeded",
                                                   "Ethernet 2 | netsh " + kDeleteOther + " | Failed (exit code 1)"}))
             << "newest first";
         EXPECT_EQ(CListView(::GetDlgItem(history, IDC_LIST_HISTORY)).GetItemText(0, 0).size(), 19u)
             << "local time as 2026-12-07 19:04:12";
         EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(history, IDC_BUTTON_HISTORY_COPY))) << "nothing selected";

         SelectOnly(history, 1);
         const std::string failed = DialogItemText(history, IDC_EDIT_HISTORY_OUTPUT);
         EXPECT_EQ(failed.rfind("Path: Console\r\n", 0), 0u) << failed;
         EXPECT_NE(failed.find("Element not found."), std::string::npos) << "netsh's own words: " << failed;

         SelectOnly(history, 0);
         ClearClipboard();
         test::ClickButton(history, IDC_BUTTON_HISTORY_COPY);
         EXPECT_EQ(ClipboardText(), "netsh " + kDelete);
         test::ClickButton(history, IDC_BUTTON_HISTORY_COPY_PS);
         EXPECT_EQ(ClipboardText(), "Remove-NetIPAddress -InterfaceAlias 'Ethernet 2' -IPAddress 2001:db8::5 -Confirm:$false");
         // Ctrl+C in the list copies the netsh line.
         ClearClipboard();
         PressWithControl(::GetDlgItem(history, IDC_LIST_HISTORY), 'C');
         EXPECT_EQ(ClipboardText(), "netsh " + kDelete);
         EXPECT_TRUE(SaveScreenshot(history, "history.png"));

         // Undo weighs what the add it runs would weigh, on a new reading:
         // another adapter holds the address now, and No runs nothing.
         const std::vector<SyntheticAdapter> before = source.Adapters();
         std::vector<SyntheticAdapter> held = before;
         held.push_back(Adapter("Wi-Fi", IF_TYPE_IEEE80211, {0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F},
                                {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual)}));
         source.SetAdapters(held);
         m_catcher.QueueAnswer(IDNO);
         test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
         EXPECT_FALSE(standin.LogExists()) << "the guard's No ran nothing";
         source.SetAdapters(before);

         // Undo asks with the line it will run, runs it, and is listed.
         m_catcher.QueueAnswer(IDOK);
         m_catcher.QueueAnswer(IDOK);
         test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
         EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(kAddBack));
         EXPECT_EQ(HistoryRows(history).front(), "Ethernet 2 | netsh " + kAddBack + " | Succeeded");
         // Nothing is left to take back: the failure changed nothing and an
         // undo is not undone.
         m_catcher.QueueAnswer(IDOK);
         test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
         EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(kAddBack)) << "no second command";

         // Nothing selected: the script holds every successful change.
         SelectOnly(history, -1);
         m_catcher.ScriptNextDialog({[&](HWND save) {
           // The file name field of the system's save dialog.
           HWND name = ::GetDlgItem(save, cmb13);
           if (name == nullptr) name = ::GetDlgItem(save, edt1);
           ASSERT_NE(name, nullptr);
           ::SetWindowTextW(name, script.c_str());
           ::PostMessageW(save, WM_COMMAND, IDOK, 0);
         }});
         test::ClickButton(history, IDC_BUTTON_HISTORY_SAVE);
       },
       [&](HWND history) { test::ClickButton(history, IDCANCEL); }});
  Press(IDC_BUTTON_HISTORY);

  ASSERT_EQ(m_catcher.Boxes().size(), 4u);
  EXPECT_EQ(m_catcher.Boxes()[0].text.rfind("2001:db8::5 is already an address of Wi-Fi.", 0), 0u)
      << m_catcher.Boxes()[0].text;
  EXPECT_EQ(m_catcher.Boxes()[0].icon, BoxIcon::Warning);
  CheckBox(1,
           "Undo will run:\n\nnetsh " + kAddBack +
               "\n\nThe store that 2001:db8::5 was in is not known: Undo puts it in the persistent store.\n\nDo you "
               "want to go on?",
           "Undo", BoxIcon::Question);
  CheckBox(2, "The change was undone.", "Undo", BoxIcon::Information);
  CheckBox(3, "There is no change left to undo.", "Undo", BoxIcon::Warning);

  const std::string saved = ReadFileText(script);
  EXPECT_NE(saved.find("chcp 65001"), std::string::npos) << saved;
  const size_t del = saved.find("\"%SystemRoot%\\System32\\netsh.exe\" " + kDelete + " || exit /b\r\n");
  const size_t add = saved.find("\"%SystemRoot%\\System32\\netsh.exe\" " + kAddBack + " || exit /b\r\n");
  EXPECT_TRUE(del != std::string::npos && add != std::string::npos && del < add) << "in time order:\n" << saved;
  EXPECT_EQ(saved.find(kDeleteOther), std::string::npos) << "the failure is not saved";
  ::DeleteFileW(script.c_str());

  EXPECT_GT(source.QueryCount(), readings) << "after an undo the main window reads the machine again";
}

// An address replaced in Address Properties is one change of two commands.
// Its Undo runs the first of them and stops at the second, which netsh
// refuses: the box names each command with what became of it, the History
// lists the one that ran and the one that failed, and what is left is the
// next Undo's.
TEST_F(History, UndoStopsAtAFailingCommandAndSaysWhatRan) {
  CNetshStandin standin("history-partial");
  CSyntheticAdapterSource source({Adapter(kEthernet, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
                                          {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual)})});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  // The set and the removal of the edit, the undo's first command; its
  // second fails.
  standin.SetExitCodes({0, 0, 0, 1});

  // 2001:db8::5 becomes 2001:db8::7: its last group retyped.
  m_catcher.ScriptNextDialog({[&](HWND edit) {
    test::ClickButton(edit, IDC_PROP_BUTTON_EDIT);
    HWND field = ::GetDlgItem(edit, IDC_IPV6_ADDRESS);
    ::SendMessageW(field, WM_KEYDOWN, VK_END, 1);
    for (int i = 0; i < 4; ++i) ::SendMessageW(field, WM_KEYDOWN, VK_BACK, 1);
    ::SendMessageW(field, WM_CHAR, '7', 1);
    m_catcher.QueueAnswer(IDOK);
    test::ClickButton(edit, IDOK);
  }});
  ClickRow(0);
  Press(IDC_BUTTON_EDIT);
  // The address goes as the field shows it; the store, not asked for, stays
  // empty (the History shows the line without its trailing blank).
  const std::string setNew =
      "interface ipv6 set address \"Ethernet 2\" 2001:0db8:0000:0000:0000:0000:0000:7 unicast infinite infinite ";
  const std::string deleteOld = kDelete;
  ASSERT_EQ(standin.ReadLog(), CNetshStandin::RunLog(setNew) + CNetshStandin::RunLog(deleteOld));

  // Undo takes the address away as it was sent.
  const std::string deleteNew = "interface ipv6 delete address \"Ethernet 2\" 2001:0db8:0000:0000:0000:0000:0000:7";
  m_catcher.ScriptNextDialog(
      {[&](HWND history) {
         m_catcher.QueueAnswer(IDOK);
         m_catcher.QueueAnswer(IDOK);
         test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
         std::vector<std::string> rows = HistoryRows(history);
         rows.resize(std::min<size_t>(rows.size(), 4));
         EXPECT_EQ(rows, (std::vector<std::string>{"Ethernet 2 | netsh " + deleteNew + " | Failed (exit code 1)",
                                                   "Ethernet 2 | netsh " + kAddBack + " | Succeeded",
                                                   "Ethernet 2 | netsh " + deleteOld + " | Succeeded",
                                                   "Ethernet 2 | netsh " + setNew + "| Succeeded"}))
             << "newest first: the undo's two commands above the edit's";
         EXPECT_TRUE(SaveScreenshot(history, "history-partial-undo.png"));
         // The address put back stays put back; the new one is still the
         // next Undo's to take away.
         m_catcher.QueueAnswer(IDCANCEL);
         test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
         test::ClickButton(history, IDCANCEL);
       }});
  Press(IDC_BUTTON_HISTORY);

  EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(setNew) + CNetshStandin::RunLog(deleteOld) +
                                   CNetshStandin::RunLog(kAddBack) + CNetshStandin::RunLog(deleteNew, 1));
  ASSERT_EQ(m_catcher.Boxes().size(), 4u);
  CheckBox(0, "IPv6 properties changes successfully saved.", "Edit IPv6 Address", BoxIcon::Information);
  EXPECT_EQ(m_catcher.Boxes()[1].text.rfind("Undo will run:\n\nnetsh " + kAddBack + "\nnetsh " + deleteNew, 0), 0u)
      << m_catcher.Boxes()[1].text;
  CheckBox(2,
           "Undo was carried out only in part.\n\nRan: netsh " + kAddBack + "\nFailed: netsh " + deleteNew +
               "\n\nnetsh reported a failure (exit code 1). The change was not confirmed; refresh to see the current "
               "configuration.",
           "Undo", BoxIcon::Error);
  CheckBox(3, "Undo will run:\n\nnetsh " + deleteNew + "\n\nDo you want to go on?", "Undo", BoxIcon::Question);
}

// What a user meets across two runs: a Temporary address removed and its
// Undo refused, an adapter renamed between a change and its Undo, a command
// on a hostile adapter name refused and then copied, and a second run of the
// main window (a history of its own) listing the first one's entries from
// the log.
TEST_F(History, UndoRefusesWhatItCannotPutBackAndTheLogOutlivesTheRun) {
  const std::wstring log = GetHistoryLogPath();
  ASSERT_FALSE(log.empty()) << "the local application-data folder";
  ::DeleteFileW(log.c_str());
  ::DeleteFileW(GetOlderHistoryLogPath().c_str());
  // Names of this test's own, so that its entries are told apart from those
  // that other tests, running meanwhile, append to the same log.
  const std::string lan = "History Trust LAN";
  const std::string renamed = "History Trust Renamed";
  const std::string hostile = "x\" & calc & \"y (History Trust)";
  CNetshStandin standin("history-trust");
  CInjectedGuardFacts facts;
  facts.SetInterfaceId(lan, 7);
  CSyntheticAdapterSource source(
      {Adapter(lan, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
               {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual),
                Address("2001:db8::abcd", IpPrefixOriginRouterAdvertisement, IpSuffixOriginRandom, 86400, 3600)}),
       Adapter(hostile, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0x01, 0x02, 0x03},
               {Address("2001:db8::1", IpPrefixOriginManual, IpSuffixOriginManual)})});
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);
  const auto undoOnce = [&](const char* shot) {
    m_catcher.ScriptNextDialog({[&, shot](HWND history) {
      m_catcher.QueueAnswer(IDOK);
      test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
      if (shot != nullptr) {
        EXPECT_TRUE(SaveScreenshot(history, shot));
      }
      test::ClickButton(history, IDCANCEL);
    }});
    Press(IDC_BUTTON_HISTORY);
  };

  // A Temporary (privacy) address: the router gives it back, Undo does not
  // make a manual one of it.
  RemoveAddress("2001:db8::abcd");
  undoOnce(nullptr);
  // A manual address removed, then its adapter renamed and the name taken by
  // another interface before Undo.
  RemoveAddress("2001:db8::5");
  source.SetAdapters({Adapter(renamed, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}, {}),
                      Adapter(lan, IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0x0A, 0x0B, 0x0C}, {})});
  facts.SetInterfaceId(renamed, 7);
  facts.SetInterfaceId(lan, 9);
  undoOnce("history-undo-refused.png");
  EXPECT_EQ(standin.ReadLog(),
            CNetshStandin::RunLog("interface ipv6 delete address \"" + lan + "\" 2001:db8::abcd") +
                CNetshStandin::RunLog("interface ipv6 delete address \"" + lan + "\" 2001:db8::5"))
      << "the two removals ran; neither undo did";

  // A command on the hostile name is refused, and Copy hands out no command.
  Choose(1);
  RemoveAddress("2001:db8::1");
  m_catcher.ScriptNextDialog({[&](HWND history) {
    SelectOnly(history, 0);
    ClearClipboard();
    test::ClickButton(history, IDC_BUTTON_HISTORY_COPY);
    EXPECT_EQ(ClipboardText(), "rem Entry 3 is left out: its line cannot be run safely.");
    test::ClickButton(history, IDC_BUTTON_HISTORY_COPY_PS);
    EXPECT_EQ(ClipboardText(), "# Entry 3 is left out: its line cannot be run safely.");
    test::ClickButton(history, IDCANCEL);
  }});
  Press(IDC_BUTTON_HISTORY);
  m_dlg.DestroyWindow();

  // Another program writes a line into the log whose address is PowerShell
  // code, with a line that agrees with it.
  CHistoryEntry forged;
  forged.m_strRun = "written by another program";
  forged.m_strTime = "2026-12-07 19:04:12";
  forged.m_change.m_kind = ChangeKind::DeleteAddress;
  forged.m_change.m_strInterface = lan;
  forged.m_change.m_strAddress = "2001:db8::5 -WhatIf:$false; Start-Process calc #";
  forged.m_strLine = FormatChangeCommand(forged.m_change);
  forged.m_result.m_outcome = NetshOutcome::Succeeded;
  AppendToHistoryLog(forged);

  // The next run lists the first one's entries below its own (none yet),
  // read-only.
  CVantoricDlg next{&m_scope.App().GetProfile()};
  ASSERT_NE(next.Create(nullptr), nullptr);
  m_catcher.ScriptNextDialog({[&](HWND history) {
    // This test's entries among every earlier run's, and where they are,
    // once the log is read.
    std::vector<std::string> ours;
    std::vector<int> rows;
    const auto countOurs = [&] {
      const std::vector<std::string> shown = HistoryRows(history);
      return std::count_if(shown.begin(), shown.end(),
                           [](const std::string& row) { return row.find("History Trust") != std::string::npos; });
    };
    EXPECT_TRUE(PumpUntil([&] { return countOurs() >= 3; }, 10000)) << "the earlier run's entries are listed";
    const std::vector<std::string> all = HistoryRows(history);
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i].find("History Trust") == std::string::npos) continue;
      ours.push_back(all[i]);
      rows.push_back(static_cast<int>(i));
    }
    EXPECT_EQ(ours, (std::vector<std::string>{
                        lan + " | netsh " + forged.m_strLine + " | Succeeded",
                        hostile + " | netsh interface ipv6 delete address \"" + hostile +
                            "\" 2001:db8::1 | Refused: a value holds a double quote or ends in a backslash",
                        lan + " | netsh interface ipv6 delete address \"" + lan + "\" 2001:db8::5 | Succeeded",
                        lan + " | netsh interface ipv6 delete address \"" + lan + "\" 2001:db8::abcd | Succeeded"}));
    ASSERT_EQ(rows.size(), 4u);
    // The forged entry comes out as comments; a sound one as its commands.
    SelectOnly(history, rows[0]);
    ClearClipboard();
    test::ClickButton(history, IDC_BUTTON_HISTORY_COPY);
    const std::string copied = ClipboardText();
    EXPECT_TRUE(copied.starts_with("rem Entry -") && copied.ends_with(" is left out: its line cannot be run safely."))
        << copied;
    test::ClickButton(history, IDC_BUTTON_HISTORY_COPY_PS);
    const std::string powerShell = ClipboardText();
    EXPECT_TRUE(powerShell.starts_with("# Entry -") &&
                powerShell.ends_with(" is left out: its line cannot be run safely."))
        << powerShell;
    SelectOnly(history, rows[2]);
    test::ClickButton(history, IDC_BUTTON_HISTORY_COPY_PS);
    EXPECT_EQ(ClipboardText(), "Remove-NetIPAddress -InterfaceAlias '" + lan + "' -IPAddress 2001:db8::5 -Confirm:$false");
    EXPECT_EQ(DialogItemText(history, IDC_EDIT_HISTORY_OUTPUT).rfind("From an earlier run", 0), 0u);
    EXPECT_TRUE(SaveScreenshot(history, "history-earlier-run.png"));
    m_catcher.QueueAnswer(IDOK);
    test::ClickButton(history, IDC_BUTTON_HISTORY_UNDO);
    test::ClickButton(history, IDCANCEL);
  }});
  ::SendMessageW(next.GetDlgItem(IDC_BUTTON_HISTORY), BM_CLICK, 0, 0);
  next.DestroyWindow();

  ASSERT_EQ(m_catcher.Boxes().size(), 9u);
  CheckBox(2,
           "The address 2001:db8::abcd cannot be put back: the system configured it (Temporary), not a person. It "
           "comes back from the router or DHCP server by itself.",
           "Undo", BoxIcon::Warning);
  CheckBox(5,
           "The adapter the change was made on, then named \"" + lan + "\", is now named \"" + renamed + "\", and \"" +
               lan + "\" now names another adapter. Undo would act on the wrong adapter; it is not run.",
           "Undo", BoxIcon::Warning);
  EXPECT_EQ(m_catcher.Boxes()[7].text.rfind("The command was not run: the interface name", 0), 0u)
      << m_catcher.Boxes()[7].text;
  CheckBox(8, "There is no change left to undo.", "Undo", BoxIcon::Warning);
}

// The window menu offers the restart only where it gives something: on a
// Windows that asks for elevation, to a program that does not have it.
TEST_F(MainWindow, RestartAsAdministratorIsOfferedOnlyWithoutTheRights) {
  CSyntheticAdapterSource source(ThreeAdapters());
  const struct {
    DWORD major;
    int elevated;
    bool bOffered;
    const char* reason;
  } cases[] = {
      {6, 0, true, "not elevated: each command would prompt"},
      {6, 1, false, "elevated already"},
      {5, 0, false, "no elevation on Windows 5.2"},
  };
  for (const auto& c : cases) {
    SetWindowsMajorVersionForTests(c.major);
    SetRunningElevatedForTests(c.elevated);
    CVantoricDlg window{&m_scope.App().GetProfile()};
    HWND hwnd = window.Create(nullptr);
    ASSERT_NE(hwnd, nullptr) << c.reason;
    wchar_t item[64] = {};
    const int length = ::GetMenuStringW(::GetSystemMenu(hwnd, FALSE), IDM_RESTART_ELEVATED, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(length > 0 ? Narrow(item) : std::string(), c.bOffered ? "Restart as &administrator" : "") << c.reason;
    window.DestroyWindow();
  }
  SetWindowsMajorVersionForTests(0);
  SetRunningElevatedForTests(-1);
}

}  // namespace
}  // namespace vantoric
