// Start-up benchmark (a program, not a test): the time from starting a
// program to its first idle moment with its main window shown, for
// vantoric.exe, for an empty dialog program built with the same toolchain,
// for the main window's template shown by a trivial program (the cost of the
// window's controls alone) and for the same trivial program that also reads
// the adapters once and fills the rows (the work that no program showing the
// adapters can skip), alternating, in the same run; then each one's working
// set at that moment and the size of each executable.
// Targets: Vantoric's start-up at most 1.15 times that of the trivial
// program that reads the adapters; its working set at most 1.15 times that
// of its template in the trivial program; vantoric.exe under 1.5 MB.
//   startup_bench [rounds]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/bench/bench_clock.h"
#include "resources/resource.h"
#include "tests/bench/bench_report.h"

namespace {

using vantoric::bench::Now;

std::wstring Beside(const wchar_t* relative) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  path.resize(path.find_last_of(L'\\') + 1);
  return path + relative;
}

struct Program {
  const char* name;
  std::wstring path;
  const wchar_t* caption;
  std::vector<double> seconds;
  std::vector<double> workingSetKb;
  int rows = -1;  // the address list's rows at the last start; -1 without a list
};

HWND FindShownWindow(DWORD pid, const wchar_t* caption) {
  HWND h = nullptr;
  while ((h = ::FindWindowExW(nullptr, h, L"#32770", caption)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if (owner == pid && ::IsWindowVisible(h)) return h;
  }
  return nullptr;
}

// One start, recorded in p: seconds to the first idle moment with the window
// shown, and the working set then. False when the window did not show.
bool RunOnce(Program& p) {
  std::wstring cmd = L"\"" + p.path + L"\"";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  const double start = Now();
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  HWND window = nullptr;
  for (;;) {
    ::WaitForInputIdle(pi.hProcess, 30000);
    window = FindShownWindow(pi.dwProcessId, p.caption);
    if (window != nullptr || Now() - start > 30) break;
    ::Sleep(1);
  }
  const double elapsed = Now() - start;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters);
  if (HWND list = window != nullptr ? ::GetDlgItem(window, IDC_LIST_ADDRESSES) : nullptr)
    p.rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (window != nullptr) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  if (window == nullptr) return false;
  p.seconds.push_back(elapsed);
  p.workingSetKb.push_back(static_cast<double>(counters.WorkingSetSize) / 1024.0);
  return true;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? _wtoi(argv[1]) : 15;
  Program programs[] = {
      {"empty dialog", Beside(L"empty_dialog.exe"), L"Empty Dialog", {}, {}},
      {"template only", Beside(L"template_dialog.exe"), L"Vantoric", {}, {}},
      {"template and adapters", Beside(L"adapter_dialog.exe"), L"Vantoric", {}, {}},
      {"vantoric", Beside(L"..\\..\\app\\vantoric.exe"), L"Vantoric", {}, {}},
  };
  // One warm-up start of each, then alternate so that all see the same machine.
  for (Program& p : programs) {
    if (!RunOnce(p)) {
      std::fwprintf(stderr, L"could not start %ls\n", p.path.c_str());
      return 1;
    }
    p.seconds.clear();
    p.workingSetKb.clear();
  }
  // Each round starts with the next program: a start right after another
  // program's exit meets the machine still busy with it.
  const int count = static_cast<int>(std::size(programs));
  for (int i = 0; i < rounds; ++i)
    for (int k = 0; k < count; ++k) RunOnce(programs[(i + k) % count]);

  char what[96];
  for (const Program& p : programs) {
    std::printf("%s: %zu starts, %.1f..%.1f ms, %d address rows shown\n", p.name, p.seconds.size(),
                *std::min_element(p.seconds.begin(), p.seconds.end()) * 1000,
                *std::max_element(p.seconds.begin(), p.seconds.end()) * 1000, p.rows);
    std::snprintf(what, sizeof what, "%s: start-up to the idle shown window", p.name);
    vantoric::bench::Figure(what, Median(p.seconds) * 1000, "ms");
    std::snprintf(what, sizeof what, "%s: working set then", p.name);
    vantoric::bench::Figure(what, Median(p.workingSetKb), "KB");
    std::snprintf(what, sizeof what, "%s: file size", p.name);
    vantoric::bench::Figure(what, static_cast<double>(FileSize(p.path)) / 1024, "KB");
  }
  const Program& empty = programs[0];
  const Program& templateOnly = programs[1];
  const Program& withAdapters = programs[2];
  const Program& vantoric = programs[3];
  vantoric::bench::Figure("start-up vantoric / empty dialog", Median(vantoric.seconds) / Median(empty.seconds), "x");
  vantoric::bench::Figure("start-up vantoric / its template in a trivial program",
                          Median(vantoric.seconds) / Median(templateOnly.seconds), "x");
  vantoric::bench::TargetAtMost("start-up vantoric / template and one adapter reading",
                                Median(vantoric.seconds) / Median(withAdapters.seconds), 1.15, "x");
  vantoric::bench::TargetAtMost("working set vantoric / its template in a trivial program",
                                Median(vantoric.workingSetKb) / Median(templateOnly.workingSetKb), 1.15, "x");
  vantoric::bench::TargetUnder("vantoric.exe file size", static_cast<double>(FileSize(vantoric.path)) / (1024 * 1024),
                               1.5, "MB");
  return 0;
}
