// Benchmark of the diagnosis (a program, not a test). `vantoric /diagnose lo
// /target ::1` as a script starts it, on the loopback adapter with a target
// on the loopback address: target, it ends within 5 s. And a diagnosis of
// an injected reading whose probes all time out, through the seam (each
// stand-in probe takes its whole bound): target, it takes at most 1.2 times
// the longest probe's bound, once for a target given by name (the lookup
// times out, nothing follows it) and once for an address (every probe at
// once). Nothing is sent beyond the loopback address.
//   diagnose_bench [rounds]   (default 5)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/diagnosis_probes_win32.h"
#include "core/diagnosis_reading_win32.h"
#include "tests/bench/bench_clock.h"
#include "tests/bench/bench_report.h"
#include "tests/native/diagnosis_probe_stand_in.h"
#include "tests/win/support/program_run.h"

namespace vantoric {
namespace {

std::wstring Beside(const wchar_t* relative) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\') + 1) + relative;
}

// An adapter with a router to try, two DNS servers and a global address.
CDiagnosisReadings Reading() {
  CDiagnosisReadings r;
  r.m_adapter.m_strFriendlyName = "Ethernet";
  r.m_adapter.m_nIfType = 6;
  r.m_adapter.m_link = {1, true, 4, 0};
  CAddressRecord global;
  global.m_strAddress = "2001:db8:1::5";
  global.m_strKind = "Public";
  global.m_strState = "Preferred";
  CAddressRecord link = global;
  link.m_strAddress = "fe80::1:5%4";
  link.m_strKind = "Link-Local";
  r.m_adapter.m_addresses = {global, link};
  r.m_adapter.m_dnsServers = {"2001:db8:1::53", "2001:db8:1::54"};
  r.m_bRoutesRead = true;
  r.m_routes = {{7, "::", 0, "fe80::1", 256, 1800, 1800, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT}};
  return r;
}

}  // namespace
}  // namespace vantoric

int wmain(int argc, wchar_t** argv) {
  using namespace vantoric;
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;

  std::printf("vantoric /diagnose lo /target ::1, %d runs\n", rounds);
  const std::wstring exe = Beside(L"..\\..\\app\\vantoric.exe");
  std::vector<double> runs;
  for (int i = 0; i < rounds; ++i) {
    const double start = bench::Now();
    const test::CProgramRun run = test::RunProgram(exe, L"/diagnose lo /target ::1");
    runs.push_back(bench::Now() - start);
    if (run.exitCode > 1) {
      std::printf("  /diagnose exited %lu: %s%s\n", run.exitCode, run.out.c_str(), run.err.c_str());
      return 1;
    }
  }
  bench::Figure("/diagnose lo /target ::1, median", bench::MedianOf(runs) * 1000, "ms");
  bench::TargetAtMost("/diagnose lo /target ::1, slowest", *std::max_element(runs.begin(), runs.end()), 5.0, "s");

  // Every probe of the seam waits out its bound and answers nothing.
  const auto probes = std::make_shared<test::CStandInProbes>();
  probes->m_script = [](const std::string&) {
    test::CStandInProbes::CScript script;
    script.outcome.m_result = ProbeResult::TimedOut;
    script.delayMs = PROBE_BOUND_MS;
    return script;
  };
  SetDiagnosisProbesSource([probes] { return probes; });
  const CDiagnosisReadings reading = Reading();
  for (const char* target : {"ipv6.example.net", "2001:db8:ffff::80"}) {
    std::vector<double> times;
    std::string conclusion;
    for (int i = 0; i < rounds; ++i) {
      const double start = bench::Now();
      conclusion = DiagnoseReadings(reading, target, nullptr, nullptr).m_diagnosis.m_strConclusion;
      times.push_back(bench::Now() - start);
    }
    const double slowest = *std::max_element(times.begin(), times.end());
    std::printf("  every probe times out, target %s: %s\n", target, conclusion.c_str());
    const std::string what =
        std::string("all probes time out, target ") + (target[0] == 'i' ? "by name" : "an address");
    bench::Figure((what + ", median").c_str(), bench::MedianOf(times) * 1000, "ms");
    bench::TargetAtMost((what + ", slowest over the bound").c_str(), slowest * 1000 / PROBE_BOUND_MS, 1.2, "x");
  }
  SetDiagnosisProbesSource(nullptr);
  return 0;
}
