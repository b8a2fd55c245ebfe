// The History window with a long log, end to end: the earlier runs' entries
// of both log files are listed (once the log is read) newest first, a
// heading click sorts them and leaves the same entry highlighted with its
// details, typed letters find a row, and Enter in the list closes the window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/history_log.h"
#include "core/history_log_win32.h"
#include "framework/handles.h"
#include "tests/win/main_window_fixture.h"

namespace vantoric {
namespace {

using namespace test;

constexpr int kOlder = 150;    // entries in history.1.jsonl
constexpr int kCurrent = 250;  // entries in history.jsonl, after those

// Earlier runs' entry n (0 the oldest): its own address, so that its row is
// known by its command; the outcomes in turn.
CHistoryEntry LogEntry(int n) {
  CHistoryEntry entry;
  entry.m_strRun = "1700000000-77-" + std::to_string(n / 50);
  entry.m_nId = n % 50 + 1;
  entry.m_nTime = 1700000000 + n * 60;
  char local[32];
  // November for the first 300, December after.
  std::snprintf(local, sizeof local, "2026-%02d-%02d %02d:%02d:00", n < 300 ? 11 : 12, n / 24 % 28 + 1, n % 24,
                n % 60);
  entry.m_strTime = local;
  entry.m_change.m_kind = ChangeKind::DeleteAddress;
  entry.m_change.m_strInterface = "Long Log LAN";
  entry.m_change.m_strAddress = "2001:db8::" + std::to_string(n);
  entry.m_strLine = "interface ipv6 delete address \"Long Log LAN\" " + entry.m_change.m_strAddress;
  entry.m_result.m_outcome = n % 3 == 0 ? NetshOutcome::NetshFailed : NetshOutcome::Succeeded;
  entry.m_result.m_nExitCode = n % 3 == 0 ? 1 : 0;
  entry.m_result.m_strOutput = "entry " + std::to_string(n) + " said this\r\n";
  return entry;
}

std::string CommandOf(int n) { return "netsh " + LogEntry(n).m_strLine; }

bool WriteLog(const std::wstring& path, int from, int count) {
  std::string text;
  for (int n = from; n < from + count; ++n) text += FormatHistoryLogLine(LogEntry(n));
  CHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

TEST_F(MainWindow, HistoryListsALongLogSortsItAndKeepsTheHighlight) {
  const std::wstring current = GetHistoryLogPath();
  const std::wstring older = GetOlderHistoryLogPath();
  ASSERT_FALSE(current.empty()) << "the local application-data folder";
  ::CreateDirectoryW(current.substr(0, current.rfind(L'\\')).c_str(), nullptr);
  ASSERT_TRUE(WriteLog(older, 0, kOlder));
  ASSERT_TRUE(WriteLog(current, kOlder, kCurrent));
  CSyntheticAdapterSource source(ThreeAdapters());
  ASSERT_NE(Open(), nullptr);
  m_catcher.SetStrict(true);

  std::vector<DialogStep> steps = {
      [&](HWND history) {
         const CListView list(::GetDlgItem(history, IDC_LIST_HISTORY));
         ASSERT_TRUE(PumpUntil([&] { return list.GetItemCount() == kOlder + kCurrent; }, 10000))
             << "both files' entries are listed; " << list.GetItemCount() << " are";
         EXPECT_EQ(list.GetItemText(0, 2), CommandOf(399)) << "the newest first";
         EXPECT_EQ(list.GetItemText(0, 3), "Failed (exit code 1)");
         EXPECT_EQ(list.GetItemText(1, 2), CommandOf(398));
         EXPECT_EQ(list.GetItemText(1, 3), "Succeeded");
         EXPECT_EQ(list.GetItemText(kOlder + kCurrent - 1, 2), CommandOf(0)) << "the older file's first entry last";

         // Entry 7 highlighted, then the Outcome heading clicked.
         const int row7 = kOlder + kCurrent - 1 - 7;
         ASSERT_EQ(list.GetItemText(row7, 2), CommandOf(7));
         ListView_SetItemState(list.GetSafeHwnd(), row7, LVIS_SELECTED | LVIS_FOCUSED,
                               LVIS_SELECTED | LVIS_FOCUSED);
         EXPECT_NE(DialogItemText(history, IDC_EDIT_HISTORY_OUTPUT).find("entry 7 said this"), std::string::npos);
         HWND header = ListView_GetHeader(list.GetSafeHwnd());
         RECT rc{};
         ASSERT_TRUE(Header_GetItemRect(header, 3, &rc));
         const LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
         ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, pt);
         ::SendMessageW(header, WM_LBUTTONUP, 0, pt);

         // "Failed (exit code 1)" before "Succeeded" (texts compared byte by
         // byte); within each, the order from before: newest first.
         const int failed = (kOlder + kCurrent + 2) / 3;  // n = 0, 3, 6, ... 399
         EXPECT_EQ(list.GetItemText(0, 3), "Failed (exit code 1)");
         EXPECT_EQ(list.GetItemText(0, 2), CommandOf(399)) << "the newest failure first";
         EXPECT_EQ(list.GetItemText(failed - 1, 2), CommandOf(0));
         EXPECT_EQ(list.GetItemText(failed, 3), "Succeeded");
         EXPECT_EQ(list.GetItemText(failed, 2), CommandOf(398));
         HDITEMW item{};
         item.mask = HDI_FORMAT;
         ASSERT_TRUE(Header_GetItem(header, 3, &item));
         EXPECT_NE(item.fmt & HDF_OWNERDRAW, 0) << "the heading draws its sort arrow";

         const int selected = list.GetNextItem(-1, LVNI_SELECTED);
         ASSERT_GE(selected, 0) << "an entry stays highlighted";
         EXPECT_EQ(list.GetItemText(selected, 2), CommandOf(7)) << "the same entry";
         EXPECT_EQ(list.GetNextItem(selected, LVNI_SELECTED), -1) << "and no other";
         const int top = static_cast<int>(::SendMessageW(list.GetSafeHwnd(), LVM_GETTOPINDEX, 0, 0));
         const int page = static_cast<int>(::SendMessageW(list.GetSafeHwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
         EXPECT_TRUE(selected >= top && selected <= top + page) << "in view: row " << selected << ", rows " << top
                                                                << " to " << top + page << " shown";
         EXPECT_NE(DialogItemText(history, IDC_EDIT_HISTORY_OUTPUT).find("entry 7 said this"), std::string::npos);
         EXPECT_TRUE(SaveScreenshot(history, "history-long-log.png"));
         ::SetFocus(list.GetSafeHwnd());
       }};
  // Typed letters: the first row from the highlighted one on whose time
  // begins with them.
  for (const DialogStep& key : KeySteps({'2', '0', '2', '6', VK_OEM_MINUS, '1', '2'})) steps.push_back(key);
  steps.push_back([&](HWND history) {
    const CListView list(::GetDlgItem(history, IDC_LIST_HISTORY));
    const int found = list.GetNextItem(-1, LVNI_SELECTED);
    ASSERT_GE(found, 0);
    EXPECT_EQ(list.GetItemText(found, 0).rfind("2026-12", 0), 0u) << list.GetItemText(found, 0);
    // Enter in the list closes the window, as Close does.
    PressKey(VK_RETURN);
  });
  m_catcher.ScriptNextDialog(std::move(steps));
  Press(IDC_BUTTON_HISTORY);
  EXPECT_EQ(m_catcher.Boxes().size(), 0u) << "no box";

  ::DeleteFileW(current.c_str());
  ::DeleteFileW(older.c_str());
}

}  // namespace
}  // namespace vantoric
