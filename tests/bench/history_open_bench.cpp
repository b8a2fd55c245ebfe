// History benchmark (a program, not a test), with the log as a year of
// changes leaves it: history.jsonl just under its 1 MB limit and a full
// history.1.jsonl beside it, entries of every kind and outcome.
// 1. The History window opening until it shows every entry of both files,
//    beside reading the two files bare and parsing them (target: the median
//    opening at most 1.3 times that). The first opening of a run, which
//    reads the log, is shown apart.
// 2. The main window's answer to messages sent from another thread while
//    the History opens and closes again and again for 10 s (target: the
//    99th percentile within 100 ms); the same with no log beside it, the
//    cost of the window itself.
// The log files that were there are put back at the end.
//   history_open_bench [rounds]
#include "tests/win/support/synthetic_adapters.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/vantoric_dlg.h"
#include "core/history_log.h"
#include "core/history_log_win32.h"
#include "dialogs/history_dlg.h"
#include "framework/handles.h"
#include "resources/resource.h"

#include "tests/bench/bench_clock.h"
#include "tests/bench/bench_report.h"

namespace vantoric {
namespace {

using bench::MedianOf;
using bench::Now;
using bench::Pump;

constexpr wchar_t kSaved[] = L".bench-saved";  // the log files that were there, meanwhile

// One entry of the given number: the kinds in turn, most succeeded, some
// failed, refused or declined, as a year of use leaves them.
CHistoryEntry LogEntry(int n) {
  static const struct {
    ChangeKind kind;
    const char* line;
  } kLines[] = {
      {ChangeKind::AddAddress, "interface ipv6 add address \"Ethernet 2\" 2001:db8:%x::%x unicast infinite 1d persistent"},
      {ChangeKind::SetAddress, "interface ipv6 set address \"Ethernet 2\" 2001:db8:%x::%x unicast 2d 1d"},
      {ChangeKind::DeleteAddress, "interface ipv6 delete address \"Ethernet 2\" 2001:db8:%x::%x"},
      {ChangeKind::AddDns, "interface ipv6 add dns \"Ethernet 2\" 2001:db8:%x::%x 1"},
      {ChangeKind::DeleteDns, "interface ipv6 delete dns \"Ethernet 2\" 2001:db8:%x::%x"},
      {ChangeKind::AddRoute, "interface ipv6 add route 2001:db8:%x::/48 \"Ethernet 2\" fe80::%x metric=10 persistent"},
      {ChangeKind::DeleteRoute, "interface ipv6 delete route 2001:db8:%x::/48 \"Ethernet 2\" fe80::%x"},
      {ChangeKind::System, "interface ipv6 set privacy state=disabled store=persistent"},
      {ChangeKind::SetInterface, "interface ipv6 set interface \"Ethernet 2\" metric=%u store=persistent"},
      {ChangeKind::DeleteNeighbors, "interface ipv6 delete neighbors \"Ethernet 2\" fe80::%x"},
  };
  const auto& shape = kLines[n % 10];
  char line[160];
  std::snprintf(line, sizeof line, shape.line, static_cast<unsigned>(n / 10 % 0x10000), static_cast<unsigned>(n % 0x10000));
  CHistoryEntry entry;
  entry.m_nId = n % 40 + 1;
  entry.m_nTime = 1767225600 + n * 6000;
  char local[32];
  std::snprintf(local, sizeof local, "2026-%02d-%02d %02d:%02d:%02d", n / 400 % 12 + 1, n / 20 % 28 + 1, n % 24,
                n % 60, n * 7 % 60);
  entry.m_strTime = local;
  entry.m_strRun = std::to_string(1767225600 + n / 40 * 240000) + "-4711-1";
  entry.m_strLine = line;
  entry.m_change.m_kind = shape.kind;
  entry.m_change.m_strInterface = "Ethernet 2";
  entry.m_change.m_nInterfaceId = 0x0006000001000000;
  entry.m_change.m_strAddress = "2001:db8::" + std::to_string(n % 1000);
  entry.m_change.m_strType = "unicast";
  entry.m_change.m_strValidLifetime = "infinite";
  entry.m_change.m_strPreferredLifetime = "1d";
  entry.m_change.m_strStore = "persistent";
  entry.m_bElevated = n % 3 == 0;
  entry.m_nUndoes = n % 17 == 0 ? entry.m_nId - 1 : 0;
  CNetshResult& result = entry.m_result;
  switch (n % 20) {
    case 5:
      result.m_outcome = NetshOutcome::NetshFailed;
      result.m_nExitCode = 1;
      result.m_strOutput = "The object already exists.\r\n\r\n";
      break;
    case 11:
      result.m_outcome = NetshOutcome::ElevationRefused;
      result.m_nSystemError = 1223;
      break;
    case 17:
      result.m_outcome = NetshOutcome::Refused;
      result.m_refusal = NetshRefusal::QuoteInValue;
      break;
    default:
      result.m_outcome = NetshOutcome::Succeeded;
      result.m_strOutput = entry.m_bElevated ? "" : "Ok.\r\n\r\n";
      break;
  }
  return entry;
}

// A log file as the rotation leaves it: lines until one more would pass the
// limit. Returns the number of entries; entries are numbered on from `n`.
int WriteFullLog(const std::wstring& path, int n) {
  std::string text;
  int count = 0;
  for (;; ++count) {
    const std::string line = FormatHistoryLogLine(LogEntry(n + count));
    if (IsHistoryLogFull(text.size(), line.size())) break;
    text += line;
  }
  CHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size())
    return -1;
  std::printf("%ls: %zu bytes, %d entries\n", path.c_str(), text.size(), count);
  return count;
}

std::string ReadBare(const std::wstring& path) {
  CHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  const DWORD size = file ? ::GetFileSize(file.get(), nullptr) : 0;
  std::string text(size, '\0');
  DWORD got = 0;
  if (size > 0 && ::ReadFile(file.get(), text.data(), size, &got, nullptr)) text.resize(got);
  return text;
}

// The History window's list, or nullptr while none is open.
HWND FindHistoryList(HWND owner) {
  for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h != nullptr;
       h = ::FindWindowExW(nullptr, h, L"#32770", nullptr)) {
    if (::GetWindow(h, GW_OWNER) != owner || !::IsWindowVisible(h)) continue;
    if (HWND list = ::GetDlgItem(h, IDC_LIST_HISTORY)) return list;
  }
  return nullptr;
}

int ItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

struct CAnswers {
  std::vector<double> waits;  // seconds
  int opened = 0;
};

// For 10 s the main window's History button is pressed, and each History
// closed once it lists `rows` entries, while another thread sends the main
// window a message every 20 ms and times its answer.
CAnswers AnswersWhileHistoryOpens(HWND mainHwnd, int rows) {
  CAnswers answers;
  std::atomic<bool> bDone{false};
  std::atomic<bool> bAskerDone{false};
  std::atomic<int> opened{0};
  std::thread asker([&] {
    while (!bDone) {
      const double start = Now();
      DWORD_PTR answer = 0;
      ::SendMessageTimeoutW(mainHwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
      answers.waits.push_back(Now() - start);
      ::Sleep(20);
    }
    bAskerDone = true;
  });
  // Closes each History once it lists every entry, as a user who looked.
  std::thread closer([&] {
    while (!bDone) {
      HWND list = FindHistoryList(mainHwnd);
      if (list != nullptr && ItemCount(list) == rows) {
        ::PostMessageW(::GetParent(list), WM_COMMAND, IDCANCEL, 0);
        ++opened;
        while (!bDone && ::IsWindow(list)) ::Sleep(1);
      }
      ::Sleep(1);
    }
  });
  const double end = Now() + 10.0;
  while (Now() < end) {
    // The History button; its window's modal loop runs until the closer
    // closes it.
    ::SendMessageW(mainHwnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_HISTORY, BN_CLICKED), 0);
    Pump();
  }
  bDone = true;
  closer.join();
  // The asker may be waiting for this thread's answer: answered until it ends.
  while (!bAskerDone) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    Pump();
  }
  asker.join();
  answers.opened = opened;
  return answers;
}

}  // namespace
}  // namespace vantoric

int wmain(int argc, wchar_t** argv) {
  using namespace vantoric;
  const int rounds = argc > 1 ? _wtoi(argv[1]) : 9;
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);

  const std::wstring current = GetHistoryLogPath();
  const std::wstring older = GetOlderHistoryLogPath();
  if (current.empty()) {
    std::printf("the history log's folder is not known\n");
    return 1;
  }
  ::CreateDirectoryW(current.substr(0, current.rfind(L'\\')).c_str(), nullptr);
  for (const std::wstring& path : {current, older})
    ::MoveFileExW(path.c_str(), (path + kSaved).c_str(), MOVEFILE_REPLACE_EXISTING);
  const int olderCount = WriteFullLog(older, 0);
  const int currentCount = WriteFullLog(current, olderCount);
  int status = olderCount > 0 && currentCount > 0 ? 0 : 1;
  const int rows = olderCount + currentCount;

  // 1. The window opening until its list shows both files' entries, beside
  //    the two files read and parsed bare.
  CCommandHistory history("bench-run");
  std::vector<double> open, bare;
  for (int i = 0; i < rounds && status == 0; ++i) {
    Pump();
    double start = Now();
    const std::vector<CHistoryEntry> parsed = ParseHistoryLog(ReadBare(older) + "\n" + ReadBare(current), "bench-run");
    bare.push_back(Now() - start);
    if (static_cast<int>(parsed.size()) != rows) {
      std::printf("the bare parse found %zu entries, expected %d\n", parsed.size(), rows);
      status = 1;
    }
    Pump();
    start = Now();
    CHistoryDlg dlg(history, nullptr);
    HWND hwnd = dlg.Create(nullptr);
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    HWND list = dlg.GetDlgItem(IDC_LIST_HISTORY);
    // Pumped until every entry is listed (bounded), then painted.
    while (ItemCount(list) < rows && Now() - start < 30) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      Pump();
    }
    ::UpdateWindow(hwnd);
    open.push_back(Now() - start);
    if (ItemCount(list) != rows) {
      std::printf("the History lists %d entries, expected %d\n", ItemCount(list), rows);
      status = 1;
    }
    dlg.DestroyWindow();
  }
  if (status == 0) {
    bench::Figure("first History opening of the run (the log read meanwhile)", open.front() * 1000, "ms");
    bench::Figure("History opening with a full log (entries listed)", MedianOf(open) * 1000, "ms");
    bench::Figure("the two log files read and parsed bare", MedianOf(bare) * 1000, "ms");
    bench::TargetAtMost("History opening / (bare read and parse)", MedianOf(open) / MedianOf(bare), 1.3, "x");
  }

  // 2. The main window's answers while the History opens and closes.
  test::CSyntheticAdapterSource source(
      {test::Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
                     {test::Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual)})});
  CVantoricDlg main;
  HWND mainHwnd = status == 0 ? main.Create(nullptr) : nullptr;
  if (mainHwnd != nullptr) {
    ::ShowWindow(mainHwnd, SW_SHOWNORMAL);
    Pump();
    const CAnswers full = AnswersWhileHistoryOpens(mainHwnd, rows);
    bench::Figure("History windows opened with every entry listed", full.opened, "");
    bench::Figure("messages answered meanwhile", static_cast<double>(full.waits.size()), "");
    bench::TargetAtMost("main window's answer while the History opens, 99th percentile",
                        bench::Percentile(full.waits, 0.99) * 1000, 100, "ms");
    for (const std::wstring& path : {current, older}) ::DeleteFileW(path.c_str());
    const CAnswers none = AnswersWhileHistoryOpens(mainHwnd, 0);
    bench::Figure("the same with no log: History windows opened", none.opened, "");
    bench::Figure("the same with no log: answer, 99th percentile", bench::Percentile(none.waits, 0.99) * 1000, "ms");
    main.DestroyWindow();
  }

  for (const std::wstring& path : {current, older}) {
    ::DeleteFileW(path.c_str());
    ::MoveFileExW((path + kSaved).c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return status;
}
