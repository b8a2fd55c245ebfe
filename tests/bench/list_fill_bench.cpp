// List benchmark (a program, not a test): the main window filling its
// address list with 4096 rows of one synthetic adapter, beside a bare fill
// of the same rows into a list view of the same template with the same
// columns, font and size (texts ready as UTF-16, rows appended). Both lists
// are emptied before each fill. Measured twice: with both windows hidden
// (the cost of the fill itself, many rounds) and shown (what a user waits
// for, the fill and the painting of the rows in view; few rounds, without
// the bare fill that paints every row, which takes minutes there).
// Targets: the main window's fill at most 1.3 times the bare fill without
// painting, hidden and shown.
//   list_fill_bench [hidden rounds] [shown rounds]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/vantoric_dlg.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/support/synthetic_adapters.h"

#include "tests/bench/bench_clock.h"
#include "tests/bench/bench_report.h"

namespace vantoric {
namespace {

constexpr int ROWS = 4096;

using bench::MedianOf;
using bench::Now;
using bench::Pump;

// Seconds of one run of fn, after prepare (not timed).
double Time(const std::function<void()>& prepare, const std::function<void()>& fn) {
  prepare();
  Pump();
  const double start = Now();
  fn();
  const double seconds = Now() - start;
  Pump();
  return seconds;
}

class CBenchDlg : public CVantoricDlg {
 public:
  using CVantoricDlg::FillAddressList;
};

test::SyntheticAdapter BigAdapter() {
  test::SyntheticAdapter a;
  a.friendlyName = "Ethernet";
  a.description = "Benchmark adapter";
  a.ifType = IF_TYPE_ETHERNET_CSMACD;
  a.mac = {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF};
  for (int i = 0; i < ROWS; ++i) {
    test::SyntheticAddress addr;
    char text[64];
    std::snprintf(text, sizeof text, "2001:db8:%x::%x:%x", i / 256, i, i * 7);
    addr.text = text;
    addr.prefixOrigin = (i % 2) ? IpPrefixOriginManual : IpPrefixOriginRouterAdvertisement;
    addr.suffixOrigin = (i % 2) ? IpSuffixOriginManual : IpSuffixOriginRandom;
    addr.validLifetime = 86400 + static_cast<ULONG>(i);
    addr.preferredLifetime = 3600 + static_cast<ULONG>(i);
    a.unicast.push_back(addr);
  }
  return a;
}

}  // namespace
}  // namespace vantoric

int wmain(int argc, wchar_t** argv) {
  using namespace vantoric;
  const int hiddenRounds = argc > 1 ? _wtoi(argv[1]) : 9;
  const int shownRounds = argc > 2 ? _wtoi(argv[2]) : 1;
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  test::CSyntheticAdapterSource source({BigAdapter()});

  CBenchDlg dlg;
  HWND hwnd = dlg.Create(nullptr);
  if (hwnd == nullptr) return 1;
  CListView list(dlg.GetDlgItem(IDC_LIST_ADDRESSES));
  if (list.GetItemCount() != ROWS) {
    std::printf("the main window shows %d rows, expected %d\n", list.GetItemCount(), ROWS);
    return 1;
  }
  // The bare fill's rows: the texts the window shows, ready as UTF-16.
  std::vector<std::wstring> texts;
  for (int row = 0; row < ROWS; ++row)
    for (int col = 0; col < 5; ++col) texts.push_back(Widen(list.GetItemText(row, col)));

  // A list view of the same template, columns and font, filled directly.
  CDialog bare(IDD_VANTORIC_DIALOG);
  HWND bareHwnd = bare.Create(nullptr);
  HWND bareList = bare.GetDlgItem(IDC_LIST_ADDRESSES);
  // The bare window and its list take the main window's sizes: shown, each
  // paints the rows that its list has in view.
  RECT windowRect{};
  ::GetWindowRect(hwnd, &windowRect);
  ::SetWindowPos(bareHwnd, nullptr, 0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT listRect{};
  ::GetWindowRect(list.GetSafeHwnd(), &listRect);
  ::SetWindowPos(bareList, nullptr, 0, 0, listRect.right - listRect.left, listRect.bottom - listRect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowLongPtrW(bareList, GWL_EXSTYLE, ::GetWindowLongPtrW(bareList, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  ::SendMessageW(bareList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  ::SendMessageW(bareList, WM_SETFONT, list.SendMessage(WM_GETFONT), TRUE);
  const int widths[] = {280, 50, 75, 80, 80};
  for (int col = 0; col < 5; ++col) {
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = widths[col];
    column.pszText = const_cast<wchar_t*>(L"Column");
    ::SendMessageW(bareList, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&column));
  }
  auto bareFill = [&] {
    ::SendMessageW(bareList, LVM_DELETEALLITEMS, 0, 0);
    for (int row = 0; row < ROWS; ++row) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = texts[static_cast<size_t>(row) * 5].data();
      ::SendMessageW(bareList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      for (int col = 1; col < 5; ++col) {
        LVITEMW sub{};
        sub.iSubItem = col;
        sub.pszText = texts[static_cast<size_t>(row) * 5 + col].data();
        ::SendMessageW(bareList, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
      }
    }
    ::UpdateWindow(bareList);
  };
  // The same, with the list's painting switched off while it fills: the
  // fastest a fill of these rows can be.
  auto quietBareFill = [&] {
    ::SendMessageW(bareList, WM_SETREDRAW, FALSE, 0);
    bareFill();
    ::SendMessageW(bareList, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(bareList, nullptr, TRUE);
    ::UpdateWindow(bareList);
  };
  auto emptyWindowList = [&] { list.DeleteAllItems(); };
  auto emptyBareList = [&] { ::SendMessageW(bareList, LVM_DELETEALLITEMS, 0, 0); };
  auto windowFill = [&] {
    dlg.FillAddressList();
    ::UpdateWindow(list.GetSafeHwnd());
  };

  // The fills alternate, so that all of them see the same machine. Returns
  // the ratio of the main window's fill to the bare fill without painting.
  auto measure = [&](int rounds, int plainRounds, const char* state) {
    std::vector<double> window, quiet, plain;
    // Every other round the bare fill goes first: neither always meets the
    // machine as the other one's work left it.
    for (int i = 0; i < rounds; ++i) {
      if (i % 2 == 1) quiet.push_back(Time(emptyBareList, quietBareFill));
      window.push_back(Time(emptyWindowList, windowFill));
      if (i % 2 == 0) quiet.push_back(Time(emptyBareList, quietBareFill));
      if (i < plainRounds) plain.push_back(Time(emptyBareList, bareFill));
    }
    const int bareRows = static_cast<int>(::SendMessageW(bareList, LVM_GETITEMCOUNT, 0, 0));
    RECT mainClient{};
    RECT bareClient{};
    ::GetClientRect(list.GetSafeHwnd(), &mainClient);
    ::GetClientRect(bareList, &bareClient);
    std::printf("%s, %d rounds: %d rows in the main window's %ldx%ld list, %d in the bare %ldx%ld list\n", state,
                rounds, list.GetItemCount(), mainClient.right, mainClient.bottom, bareRows, bareClient.right,
                bareClient.bottom);
    char what[96];
    std::snprintf(what, sizeof what, "%s: main window fill", state);
    bench::Figure(what, MedianOf(window) * 1000, "ms");
    std::snprintf(what, sizeof what, "%s: bare fill without painting", state);
    bench::Figure(what, MedianOf(quiet) * 1000, "ms");
    if (!plain.empty()) {
      std::snprintf(what, sizeof what, "%s: bare fill with painting on", state);
      bench::Figure(what, MedianOf(plain) * 1000, "ms");
    }
    return MedianOf(window) / MedianOf(quiet);
  };
  const double hidden = measure(hiddenRounds, 3, "hidden");
  bench::TargetAtMost("hidden: main window fill / bare fill without painting", hidden, 1.3, "x");
  if (shownRounds > 0) {
    // Side by side on the screen, so that both lists are wholly in view.
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(bareHwnd, nullptr, windowRect.right - windowRect.left, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::ShowWindow(bareHwnd, SW_SHOWNORMAL);
    Pump();
    // A shown list that paints every row takes minutes: that fill is left out.
    bench::TargetAtMost("shown: main window fill / bare fill without painting", measure(shownRounds, 0, "shown"),
                        1.3, "x");
  }
  bare.DestroyWindow();
  dlg.DestroyWindow();
  return 0;
}
