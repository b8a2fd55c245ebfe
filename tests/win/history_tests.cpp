// The History window end to end: commands run from the main window are
// listed with their outcome and netsh's words, copied as typed and as
// PowerShell, saved as a script through the system's save dialog, and the
// newest change undone through netsh.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/netsh_run_win32.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/main_window_fixture.h"
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
 protected:
  void SetUp() override { SetWindowsMajorVersionForTests(5); }  // the console path: netsh's words are read
  void TearDown() override {
    SetWindowsMajorVersionForTests(0);
    MainWindow::TearDown();
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
         EXPECT_EQ(HistoryRows(history),
                   (std::vector<std::string>{"Ethernet 2 | netsh " + kDelete + " | Succeeded",
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

  ASSERT_EQ(m_catcher.Boxes().size(), 3u);
  CheckBox(0, "Undo will run:\n\nnetsh " + kAddBack + "\n\nDo you want to go on?", "Undo", BoxIcon::Question);
  CheckBox(1, "The change was undone.", "Undo", BoxIcon::Information);
  CheckBox(2, "There is no change left to undo.", "Undo", BoxIcon::Warning);

  const std::string saved = ReadFileText(script);
  EXPECT_NE(saved.find("chcp 65001"), std::string::npos) << saved;
  const size_t del = saved.find("netsh " + kDelete + "\r\n");
  const size_t add = saved.find("netsh " + kAddBack + "\r\n");
  EXPECT_TRUE(del != std::string::npos && add != std::string::npos && del < add) << "in time order:\n" << saved;
  EXPECT_EQ(saved.find(kDeleteOther), std::string::npos) << "the failure is not saved";
  ::DeleteFileW(script.c_str());

  EXPECT_GT(source.QueryCount(), readings) << "after an undo the main window reads the machine again";
}

}  // namespace
}  // namespace vantoric
