// Responsiveness benchmark (a program, not a test): while a command runs
// through a netsh that takes 5 seconds, a second thread posts a message to a
// window of the command's thread every 20 ms; each message's delay from
// posting to handling is recorded. Both command paths: elevated through the
// shell and typed into an interactive netsh by the console runner.
// Target: the 99th percentile of the delay at most 100 ms on each path.
// Needs the recording netsh stand-in as the prefix's system netsh.exe.
//   responsiveness_bench [netsh seconds]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdio>
#include <cwchar>
#include <thread>
#include <vector>

#include "core/netsh_run_win32.h"
#include "tests/win/support/netsh_standin_support.h"

#include "tests/bench/bench_clock.h"
#include "tests/bench/bench_report.h"

namespace vantoric {
namespace {

using bench::Now;

constexpr UINT WM_PROBE = WM_APP + 1;
constexpr DWORD POST_INTERVAL_MS = 20;
constexpr double TARGET_P99_MS = 100;

static_assert(sizeof(double) == sizeof(LPARAM), "the posting time travels in lParam");

std::vector<double> g_delays;

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PROBE) {
    g_delays.push_back(Now() - std::bit_cast<double>(lp));
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateProbeWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &ProbeWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantoricResponsivenessProbe";
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, wc.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// Posts a probe every POST_INTERVAL_MS until stopped; counts what it posted.
class CProber {
 public:
  explicit CProber(HWND hwnd)
      : m_hStop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread([this, hwnd] { Run(hwnd); }) {}
  ~CProber() {
    Stop();
    ::CloseHandle(m_hStop);
  }
  CProber(const CProber&) = delete;
  CProber& operator=(const CProber&) = delete;
  // Ends the posting; returns how many probes were posted.
  int Stop() {
    ::SetEvent(m_hStop);
    if (m_thread.joinable()) m_thread.join();
    return m_nPosted.load();
  }

 private:
  void Run(HWND hwnd) {
    do {
      if (::PostMessageW(hwnd, WM_PROBE, 0, std::bit_cast<LPARAM>(Now()))) ++m_nPosted;
    } while (::WaitForSingleObject(m_hStop, POST_INTERVAL_MS) == WAIT_TIMEOUT);
  }

  HANDLE m_hStop;
  std::atomic<int> m_nPosted{0};
  std::thread m_thread;
};

// One command on one path; false when the command did not run to its end.
bool MeasurePath(HWND hwnd, const char* name, bool bElevate, DWORD netshMs) {
  g_delays.clear();
  CNetshRunOptions options;
  options.m_hOwner = hwnd;
  CNetshResult result;
  const double start = Now();
  CProber prober(hwnd);
  result = RunNetshCommand("interface ipv6 show address", nullptr, bElevate, options);
  const int posted = prober.Stop();
  const double seconds = Now() - start;
  bench::Pump();
  char what[96];
  std::printf("%s: netsh ran %.2f s (%s), %d messages posted, %zu handled\n", name, seconds,
              result.Succeeded() ? "ended with 0" : "did NOT succeed", posted, g_delays.size());
  std::snprintf(what, sizeof what, "%s: median delay of a posted message", name);
  bench::Figure(what, bench::Percentile(g_delays, 0.5) * 1e3, "ms");
  std::snprintf(what, sizeof what, "%s: longest delay", name);
  bench::Figure(what, bench::Percentile(g_delays, 1.0) * 1e3, "ms");
  std::snprintf(what, sizeof what, "%s: 99th percentile delay", name);
  bench::TargetAtMost(what, bench::Percentile(g_delays, 0.99) * 1e3, TARGET_P99_MS, "ms");
  return result.Succeeded() && seconds * 1000 >= netshMs;
}

}  // namespace
}  // namespace vantoric

int wmain(int argc, wchar_t** argv) {
  using namespace vantoric;
  const DWORD netshMs = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10) * 1000) : 5000;
  test::CNetshStandin standin("responsiveness_bench");
  standin.SetHangMs(netshMs);
  const HWND hwnd = CreateProbeWindow();
  if (hwnd == nullptr) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  std::printf("responsiveness while a command runs (netsh takes %lu ms, a message every %lu ms)\n",
              static_cast<unsigned long>(netshMs), static_cast<unsigned long>(POST_INTERVAL_MS));
  const bool elevated = MeasurePath(hwnd, "elevated (shell)", true, netshMs);
  const bool console = MeasurePath(hwnd, "console runner", false, netshMs);
  ::DestroyWindow(hwnd);
  return elevated && console ? 0 : 1;
}
