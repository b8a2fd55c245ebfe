// Benchmark of the adapter snapshot (a program, not a test).
//
// 1. A synthetic list of 64 adapters with 64 addresses each, read through the
//    adapter-data seam: time per address of the whole snapshot (both calls of
//    the protocol) and of its parts (reading the list into plain data, which
//    converts every address to text, and the rules that fill the records).
// 2. The real machine: the raw GetAdaptersAddresses calls of one query (size
//    query and fill) beside a whole snapshot, whose two calls share one such
//    query. Target: a snapshot costs at most 1.15 times one query.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/adapter_enumeration_win32.h"
#include "tests/win/support/synthetic_adapters.h"

#include "tests/bench/bench_clock.h"
#include "tests/bench/bench_report.h"

namespace vantoric {
namespace {

using bench::Now;

// Median seconds of one run of fn over rounds rounds (after one warm-up).
double Median(int rounds, const std::function<void()>& fn) {
  fn();
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    fn();
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

size_t TakeSnapshot() {
  size_t needed = 0;
  std::vector<std::string> names;
  CAdapterReading reading;
  if (reading.EnumerateAdapters(nullptr, 0, needed, names) != ERROR_INSUFFICIENT_BUFFER) return 0;
  std::vector<CAdapterRecord> records(needed);
  reading.EnumerateAdapters(records.data(), records.size(), needed, names);
  size_t addresses = 0;
  for (const CAdapterRecord& r : records) addresses += r.m_addresses.size();
  return addresses;
}

// One query as the snapshot makes it: the size, then the list.
void RawQuery() {
  ULONG size = 0;
  if (::GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW)
    return;
  void* buffer = ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size);
  ::GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, static_cast<IP_ADAPTER_ADDRESSES*>(buffer),
                         &size);
  ::HeapFree(::GetProcessHeap(), 0, buffer);
}

std::vector<test::SyntheticAdapter> SyntheticList(int adapters, int addressesEach) {
  std::vector<test::SyntheticAdapter> list;
  for (int a = 0; a < adapters; ++a) {
    test::SyntheticAdapter adapter;
    adapter.friendlyName = "Ethernet " + std::to_string(a);
    adapter.description = "Synthetic network adapter #" + std::to_string(a);
    adapter.ifType = a % 3 == 1 ? IF_TYPE_ETHERNET_CSMACD : IF_TYPE_IEEE80211;
    adapter.mac = {0x00, 0x0C, 0x29, static_cast<BYTE>(a), 0xCD, 0xEF};
    for (int i = 0; i < addressesEach; ++i) {
      char text[64];
      test::SyntheticAddress address;
      switch (i % 4) {
        case 0:
          std::snprintf(text, sizeof text, "fe80::20c:29ff:fe%02x:%x", a, i);
          address.scopeId = 1000 + static_cast<ULONG>(a);  // no host interface: stays a number
          address.prefixOrigin = IpPrefixOriginWellKnown;
          address.suffixOrigin = IpSuffixOriginLinkLayerAddress;
          break;
        case 1:
          std::snprintf(text, sizeof text, "2001:db8:%x::20c:29ff:fe%02x:%x", a, a, i);
          address.prefixOrigin = IpPrefixOriginRouterAdvertisement;
          address.suffixOrigin = IpSuffixOriginLinkLayerAddress;
          address.validLifetime = 2592000;
          address.preferredLifetime = 604800;
          break;
        case 2:
          std::snprintf(text, sizeof text, "2001:db8:%x::%x:%x", a, i * 977, i);
          address.prefixOrigin = IpPrefixOriginRouterAdvertisement;
          address.suffixOrigin = IpSuffixOriginRandom;
          address.validLifetime = 86400 + static_cast<ULONG>(i);
          address.preferredLifetime = 3600;
          break;
        default:
          std::snprintf(text, sizeof text, "10.%d.%d.1", a, i);
          break;
      }
      address.text = text;
      adapter.unicast.push_back(address);
    }
    adapter.dnsServers = {{.text = "2001:4860:4860::8888"}, {.text = "192.0.2.53"}, {.text = "fec0:0:0:ffff::1", .scopeId = 1}};
    list.push_back(adapter);
  }
  return list;
}

// One query of the installed source as the snapshot makes it.
void SourceQuery(const std::vector<test::SyntheticAdapter>& adapters) {
  const ULONG size = test::SyntheticListSize(adapters);
  std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
  test::WriteSyntheticList(adapters, buffer.data(), size);
}

void SyntheticBenchmark() {
  const int adapters = 64;
  const int addressesEach = 64;
  const double total = adapters * addressesEach;
  test::CSyntheticAdapterSource source(SyntheticList(adapters, addressesEach));

  size_t listed = 0;
  const double snapshot = Median(21, [&] { listed = TakeSnapshot(); });
  const double query = Median(21, [&] { SourceQuery(source.Adapters()); });

  const ULONG size = test::SyntheticListSize(source.Adapters());
  std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
  auto* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  test::WriteSyntheticList(source.Adapters(), list, size);
  std::vector<CAdapterData> data;
  const double read = Median(21, [&] { data = ReadAdapterList(list); });
  std::vector<double> fills;
  for (int round = 0; round < 21; ++round) {
    std::vector<CAdapterData> copy = data;  // FillSnapshot consumes what it reads
    const double start = Now();
    std::vector<CAdapterRecord> records(copy.size());
    std::vector<std::string> names;
    size_t needed = 0;
    FillSnapshot(copy.size(), [&] { return std::move(copy); }, records.data(), records.size(), needed, names);
    fills.push_back(Now() - start);
  }
  std::sort(fills.begin(), fills.end());
  const double fill = fills[fills.size() / 2];

  std::printf("synthetic list: %d adapters x %d addresses (%zu IPv6 addresses listed; median of 21 rounds)\n",
              adapters, addressesEach, listed);
  bench::Figure("synthetic: whole snapshot (both calls), per address", snapshot * 1e6 / total, "us");
  bench::Figure("synthetic: one query of the source, per address", query * 1e6 / total, "us");
  bench::Figure("synthetic: reading the list into plain data, per address", read * 1e6 / total, "us");
  bench::Figure("synthetic: records allocated and filled, per address", fill * 1e6 / total, "us");
}

void RealMachineBenchmark() {
  // Rounds alternate the two measurements so that load on the machine
  // touches both alike.
  const int rounds = 201;
  std::vector<double> raws;
  std::vector<double> snapshots;
  std::vector<double> ratios;
  size_t listed = 0;
  RawQuery();
  TakeSnapshot();
  for (int i = 0; i < rounds; ++i) {
    double start = Now();
    RawQuery();
    const double raw = Now() - start;
    start = Now();
    listed = TakeSnapshot();
    const double snapshot = Now() - start;
    raws.push_back(raw);
    snapshots.push_back(snapshot);
    ratios.push_back(snapshot / raw);
  }
  for (auto* v : {&raws, &snapshots, &ratios}) std::sort(v->begin(), v->end());
  const size_t mid = rounds / 2;
  size_t needed = 0;
  std::vector<std::string> names;
  CAdapterReading().EnumerateAdapters(nullptr, 0, needed, names);
  std::printf("real machine: %zu adapters, %zu IPv6 addresses listed (median of %d alternating rounds)\n", needed,
              listed, rounds);
  bench::Figure("raw query (size + fill: 2 GetAdaptersAddresses calls)", raws[mid] * 1e3, "ms");
  bench::Figure("whole snapshot (both calls and the records)", snapshots[mid] * 1e3, "ms");
  bench::Figure("snapshot / raw query, lower quartile", ratios[rounds / 4], "x");
  bench::Figure("snapshot / raw query, upper quartile", ratios[rounds * 3 / 4], "x");
  bench::TargetAtMost("snapshot / raw query", ratios[mid], 1.15, "x");
}

}  // namespace
}  // namespace vantoric

int main() {
  vantoric::SyntheticBenchmark();
  vantoric::RealMachineBenchmark();
  return 0;
}
