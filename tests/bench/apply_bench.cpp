// Benchmark of `vantoric /apply /whatif` beside `vantoric /list` (a program,
// not a test): a synthetic machine of 64 adapters with 64 addresses each
// (manual, router-advertised, temporary and link-local ones), two DNS
// servers and a default and a manual route each, read through the
// snapshot's and the guards' seams. /list writes its listing to a file;
// /apply /whatif checks that same file against the machine, which plans
// nothing: the compliance check a fleet runs. Target: the check takes at
// most 1.2 times the listing.
//   apply_bench [rounds]   (default 9)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/apply_command_win32.h"
#include "app/list_command_win32.h"
#include "core/apply_report.h"
#include "framework/utf8.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/synthetic_adapters.h"

#include "tests/bench/bench_clock.h"
#include "tests/bench/bench_report.h"

namespace vantoric {
namespace {

constexpr int ADAPTERS = 64;
constexpr int ADDRESSES_EACH = 64;

std::vector<test::SyntheticAdapter> Machine() {
  std::vector<test::SyntheticAdapter> list;
  for (int a = 0; a < ADAPTERS; ++a) {
    test::SyntheticAdapter adapter;
    adapter.friendlyName = "Ethernet " + std::to_string(a);
    adapter.description = "Synthetic network adapter #" + std::to_string(a);
    adapter.mac = {0x00, 0x0C, 0x29, static_cast<BYTE>(a), 0xCD, 0xEF};
    for (int i = 0; i < ADDRESSES_EACH; ++i) {
      char text[64];
      test::SyntheticAddress address;
      if (i % 4 == 0) {
        std::snprintf(text, sizeof text, "fe80::20c:29ff:fe%02x:%x", a, i);
        address.scopeId = 1000 + static_cast<ULONG>(a);
        address.prefixOrigin = IpPrefixOriginWellKnown;
        address.suffixOrigin = IpSuffixOriginLinkLayerAddress;
      } else if (i % 4 == 1) {
        std::snprintf(text, sizeof text, "2001:db8:%x::%x:%x", a, i * 977, i);
        address.prefixOrigin = IpPrefixOriginRouterAdvertisement;
        address.suffixOrigin = IpSuffixOriginRandom;
        address.validLifetime = 86400;
        address.preferredLifetime = 3600;
      } else {
        std::snprintf(text, sizeof text, "2001:db8:%x::%x", a, i);
      }
      address.text = text;
      adapter.unicast.push_back(address);
    }
    adapter.dnsServers = {{.text = "2001:db8::53"}, {.text = "2001:db8::54"}};
    list.push_back(adapter);
  }
  return list;
}

CRouteTableReading Routes() {
  CRouteTableReading table{RouteTableState::Read, 0, {}};
  for (int a = 0; a < ADAPTERS; ++a) {
    const auto id = static_cast<std::uint64_t>(a + 1);
    table.m_routes.push_back({id, "::", 0, "fe80::1", 16, 1800, 1800, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT});
    table.m_routes.push_back({id, "2001:db8:ff::", 48, "fe80::99", 256, 0xFFFFFFFFu, 0xFFFFFFFFu, ROUTE_ORIGIN_MANUAL});
  }
  return table;
}

// Median seconds of one call over `rounds` rounds, after one warm-up.
double Median(int rounds, const std::function<void()>& fn) {
  fn();
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = bench::Now();
    fn();
    times.push_back(bench::Now() - start);
  }
  return bench::MedianOf(times);
}

}  // namespace
}  // namespace vantoric

int wmain(int argc, wchar_t** argv) {
  using namespace vantoric;
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 9;
  test::CSyntheticAdapterSource source(Machine());
  test::CInjectedGuardFacts facts;
  facts.SetRouteTable(Routes());
  for (int a = 0; a < ADAPTERS; ++a) facts.SetInterfaceId("Ethernet " + std::to_string(a), a + 1);

  CProgramCommand list;
  list.m_command = ProgramCommand::List;
  list.m_strFile = Narrow(test::TempFolder()) + "vantoric-apply-bench.json";
  CProgramCommand apply = list;
  apply.m_command = ProgramCommand::Apply;
  apply.m_bWhatIf = true;
  std::string out, err;
  const CApplyOutput sink{[&](const std::string& text) { out += text; }, [&](const std::string& text) { err += text; }};

  int listed = 0, checked = 0;
  std::printf("/apply /whatif beside /list, %d adapters x %d addresses, median of %d\n", ADAPTERS, ADDRESSES_EACH,
              rounds);
  const double listing = Median(rounds, [&] { listed = RunProgramCommand(list); });
  const double check = Median(rounds, [&] {
    out.clear();
    err.clear();
    checked = RunApplyCommand(apply, sink);
  });
  ::DeleteFileW(Widen(list.m_strFile).c_str());
  if (listed != 0 || checked != APPLY_EXIT_DONE) {
    std::printf("  /list exited %d, /apply /whatif %d: %s%s\n", listed, checked, out.c_str(), err.c_str());
    return 1;
  }
  bench::Figure("/list to a file", listing * 1000, "ms");
  bench::Figure("/apply /whatif of that file (nothing to do)", check * 1000, "ms");
  bench::TargetAtMost("/apply /whatif over /list", check / listing, 1.2, "x");
  return 0;
}
