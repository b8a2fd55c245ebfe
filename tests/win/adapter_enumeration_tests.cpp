// The snapshot on Windows: the two-call protocol over synthetic lists read
// through the adapter-data seam, and the real enumeration under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/adapter_enumeration_win32.h"
#include "framework/utf8.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using test::Adapter;
using test::Address;
using test::CSyntheticAdapterSource;
using test::SyntheticAdapter;
using test::SyntheticAddress;
using test::SyntheticDnsServer;

// The snapshot as the main window takes it: learn the count, allocate, fill.
struct Snapshot {
  DWORD firstResult = 0;
  DWORD secondResult = 0;
  size_t needed = 0;
  std::vector<CAdapterRecord> records;
  std::vector<std::string> names;
};

Snapshot TakeSnapshot() {
  CAdapterReading reading;
  Snapshot s;
  s.firstResult = reading.EnumerateAdapters(nullptr, 0, s.needed, s.names);
  if (s.firstResult != ERROR_INSUFFICIENT_BUFFER) return s;
  s.records.resize(s.needed);
  s.secondResult = reading.EnumerateAdapters(s.records.data(), s.records.size(), s.needed, s.names);
  return s;
}

std::vector<std::string> FriendlyNames(const std::vector<CAdapterRecord>& records) {
  std::vector<std::string> names;
  for (const CAdapterRecord& r : records) names.push_back(r.m_strFriendlyName);
  return names;
}

using Names = std::vector<std::string>;

TEST(EnumerateAdapters, TwoCallProtocolCountsThenFills) {
  CAdapterReading reading;
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD), Adapter("wlan0", IF_TYPE_IEEE80211)});
  size_t needed = 99;
  Names names;
  EXPECT_EQ(reading.EnumerateAdapters(nullptr, 0, needed, names), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 2u);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(source.QueryCount(), 2) << "size query and fill";
  EXPECT_EQ(source.LastFamily(), static_cast<ULONG>(AF_UNSPEC));
  EXPECT_EQ(source.LastFlags(), static_cast<ULONG>(GAA_FLAG_INCLUDE_PREFIX));

  std::vector<CAdapterRecord> records(1);
  EXPECT_EQ(reading.EnumerateAdapters(records.data(), 1, needed, names), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER))
      << "one record for two adapters";
  EXPECT_TRUE(records[0].m_strFriendlyName.empty());
  EXPECT_TRUE(names.empty());

  records.resize(2);
  EXPECT_EQ(reading.EnumerateAdapters(records.data(), 2, needed, names), 0u);
  EXPECT_EQ(FriendlyNames(records), (Names{"eth0", "wlan0"}));
  EXPECT_EQ(names, (Names{"eth0", "wlan0"}));
  EXPECT_EQ(records[1].GetDescription(), "wlan0 device");
}

TEST(EnumerateAdapters, NoListMeansNoAdapters) {
  CAdapterReading reading;
  struct Case {
    const char* name;
    std::vector<ULONG> failures;
    DWORD error;  // what the reading says went wrong
  };
  const Case cases[] = {
      {"no adapters", {}, 0},
      {"size query fails", {ERROR_NOT_SUPPORTED}, ERROR_NOT_SUPPORTED},
      {"fill query fails", {ERROR_BUFFER_OVERFLOW, ERROR_NOT_ENOUGH_MEMORY}, ERROR_NOT_ENOUGH_MEMORY},
      {"list grows at every attempt",
       {ERROR_BUFFER_OVERFLOW, ERROR_BUFFER_OVERFLOW, ERROR_BUFFER_OVERFLOW, ERROR_BUFFER_OVERFLOW,
        ERROR_BUFFER_OVERFLOW},
       ERROR_BUFFER_OVERFLOW},
  };
  for (const Case& c : cases) {
    CSyntheticAdapterSource source;
    if (!c.failures.empty()) source.SetAdapters({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
    for (ULONG code : c.failures) source.QueueFailure(code);
    size_t needed = 99;
    Names names;
    EXPECT_EQ(reading.EnumerateAdapters(nullptr, 0, needed, names), 0u) << c.name;
    EXPECT_EQ(needed, 0u) << c.name;
    EXPECT_TRUE(names.empty()) << c.name;
    EXPECT_EQ(reading.GetError(), c.error) << c.name;
  }
}

TEST(EnumerateAdapters, CountAndFillAreServedByOneQuery) {
  CAdapterReading reading;
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
  size_t needed = 0;
  Names names;
  ASSERT_EQ(reading.EnumerateAdapters(nullptr, 0, needed, names), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<CAdapterRecord> records(needed);
  source.SetAdapters({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD), Adapter("eth1", IF_TYPE_ETHERNET_CSMACD)});
  EXPECT_EQ(reading.EnumerateAdapters(records.data(), records.size(), needed, names), 0u);
  EXPECT_EQ(source.QueryCount(), 2) << "one size query and one fill for both calls";
  EXPECT_EQ(needed, 1u);
  EXPECT_EQ(names, (Names{"eth0"})) << "the fill holds the adapters that were counted";
}

TEST(EnumerateAdapters, CountWithoutFillKeepsNothingForTheNextSnapshot) {
  CAdapterReading reading;
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
  size_t needed = 0;
  Names names;
  ASSERT_EQ(reading.EnumerateAdapters(nullptr, 0, needed, names), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  source.SetAdapters({Adapter("wlan0", IF_TYPE_IEEE80211), Adapter("eth1", IF_TYPE_ETHERNET_CSMACD)});
  const Snapshot s = TakeSnapshot();
  EXPECT_EQ(s.names, (Names{"eth1", "wlan0"})) << "the changed list, not the one counted before";
}

TEST(EnumerateAdapters, FailedQueryAfterAKeptCountCountsNoAdapter) {
  CAdapterReading reading;
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
  size_t needed = 0;
  Names names;
  ASSERT_EQ(reading.EnumerateAdapters(nullptr, 0, needed, names), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  source.QueueFailure(ERROR_NOT_SUPPORTED);
  EXPECT_EQ(reading.EnumerateAdapters(nullptr, 0, needed, names), 0u);
  EXPECT_EQ(needed, 0u);
  source.SetAdapters({Adapter("wlan0", IF_TYPE_IEEE80211)});
  std::vector<CAdapterRecord> records(1);
  EXPECT_EQ(reading.EnumerateAdapters(records.data(), records.size(), needed, names), 0u);
  EXPECT_EQ(names, (Names{"wlan0"})) << "a fresh query, not the list counted before the failure";
}

TEST(EnumerateAdapters, ListGrowingBetweenSizeQueryAndFillIsAskedAgain) {
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
  source.beforeQuery = [&](int query) {
    if (query == 1) source.SetAdapters({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD), Adapter("eth1", IF_TYPE_ETHERNET_CSMACD)});
  };
  const Snapshot s = TakeSnapshot();
  EXPECT_EQ(s.secondResult, 0u);
  EXPECT_EQ(s.names, (Names{"eth0", "eth1"}));
}

TEST(EnumerateAdapters, FirstEthernetAdapterComesFirst) {
  struct Case {
    const char* name;
    std::vector<SyntheticAdapter> list;
    Names expected;
  };
  const Case cases[] = {
      {"no Ethernet adapter",
       {Adapter("wlan0", IF_TYPE_IEEE80211), Adapter("lo", IF_TYPE_SOFTWARE_LOOPBACK), Adapter("teredo", IF_TYPE_TUNNEL)},
       {"wlan0", "lo", "teredo"}},
      {"Ethernet last",
       {Adapter("lo", IF_TYPE_SOFTWARE_LOOPBACK), Adapter("wlan0", IF_TYPE_IEEE80211), Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)},
       {"eth0", "lo", "wlan0"}},
      {"two Ethernet adapters apart",
       {Adapter("lo", IF_TYPE_SOFTWARE_LOOPBACK), Adapter("eth0", IF_TYPE_ETHERNET_CSMACD), Adapter("wlan0", IF_TYPE_IEEE80211),
        Adapter("eth1", IF_TYPE_ETHERNET_CSMACD)},
       {"eth0", "lo", "wlan0", "eth1"}},
      {"one adapter", {Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)}, {"eth0"}},
  };
  for (const Case& c : cases) {
    CSyntheticAdapterSource source(c.list);
    const Snapshot s = TakeSnapshot();
    EXPECT_EQ(s.firstResult, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << c.name;
    EXPECT_EQ(s.secondResult, 0u) << c.name;
    EXPECT_EQ(s.needed, c.list.size()) << c.name;
    EXPECT_EQ(FriendlyNames(s.records), c.expected) << c.name;
    EXPECT_EQ(s.names, c.expected) << c.name;
  }
}

TEST(EnumerateAdapters, AddressesFilteredAndDescribed) {
  SyntheticAdapter lo = Adapter("lo", IF_TYPE_SOFTWARE_LOOPBACK);
  lo.unicast = {{.text = "127.0.0.1"}, {.text = "::1", .prefixOrigin = IpPrefixOriginWellKnown,
                                        .suffixOrigin = IpSuffixOriginWellKnown}};
  SyntheticAdapter v4only = Adapter("v4only", IF_TYPE_IEEE80211);
  v4only.unicast = {{.text = "192.0.2.7"}, {.text = "10.0.0.1"}};
  SyntheticAdapter eth = Adapter("eth0", IF_TYPE_ETHERNET_CSMACD);
  eth.unicast = {
      {.text = "192.0.2.1"},
      {.text = "2001:db8::20c:29ff:feab:cdef", .prefixOrigin = IpPrefixOriginRouterAdvertisement,
       .suffixOrigin = IpSuffixOriginLinkLayerAddress, .dadState = IpDadStatePreferred, .validLifetime = 2592000,
       .preferredLifetime = 604800},
      {.text = "2001:db8::1234:5678", .prefixOrigin = IpPrefixOriginRouterAdvertisement,
       .suffixOrigin = IpSuffixOriginRandom, .dadState = IpDadStateDeprecated, .validLifetime = 86400,
       .preferredLifetime = 0},
      // Under Wine the host's C library names the zone when an interface has
      // that index; zone 71 has none, so it stays a number as on Windows.
      {.text = "fe80::20c:29ff:feab:cdef", .scopeId = 71, .prefixOrigin = IpPrefixOriginWellKnown,
       .suffixOrigin = IpSuffixOriginLinkLayerAddress},
      {.text = "FD00:0:0:0::2", .prefixOrigin = IpPrefixOriginDhcp, .suffixOrigin = IpSuffixOriginDhcp,
       .dadState = IpDadStateTentative, .validLifetime = 3600, .preferredLifetime = 59},
  };
  CSyntheticAdapterSource source({lo, v4only, eth});
  const Snapshot s = TakeSnapshot();
  ASSERT_EQ(s.records.size(), 3u);

  const CAdapterRecord& e = s.records[0];
  ASSERT_EQ(e.m_strFriendlyName, "eth0");
  const std::vector<CAddressRecord> a = e.GetAddresses();
  ASSERT_EQ(a.size(), 4u) << "the IPv4 address is dropped";
  struct Row {
    const char* address;
    const char* kind;
    const char* state;
    const char* valid;
    const char* preferred;
  };
  const Row expected[] = {
      {"2001:db8::20c:29ff:feab:cdef", "Public", "Preferred", "30d0h0m0s", "7d0h0m0s"},
      {"2001:db8::1234:5678", "Temporary", "Deprecated", "1d0h0m0s", "0s"},
      {"fe80::20c:29ff:feab:cdef%71", "Link-Local", "Preferred", "infinite", "infinite"},
      {"fd00::2", "", "Tentative", "1h0m0s", "59s"},
  };
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].m_strAddress, expected[i].address) << "row " << i;
    EXPECT_EQ(a[i].m_strKind, expected[i].kind) << "row " << i;
    EXPECT_EQ(a[i].m_strState, expected[i].state) << "row " << i;
    EXPECT_EQ(a[i].m_strValidLifetime, expected[i].valid) << "row " << i;
    EXPECT_EQ(a[i].m_strPreferredLifetime, expected[i].preferred) << "row " << i;
  }
  EXPECT_TRUE(s.records[1].GetAddresses().empty()) << "::1 is not listed on loopback";
  EXPECT_EQ(s.records[1].m_strFriendlyName, "lo");
  EXPECT_TRUE(s.records[2].GetAddresses().empty()) << "an IPv4-only adapter has no addresses";
  EXPECT_EQ(s.records[2].m_strFriendlyName, "v4only");
}

TEST(EnumerateAdapters, OnlyUnscopedIpv6DnsServersAreListed) {
  SyntheticAdapter eth = Adapter("eth0", IF_TYPE_ETHERNET_CSMACD);
  eth.dnsServers = {{.text = "192.0.2.53"},
                    {.text = "2001:4860:4860::8888"},
                    {.text = "fec0:0:0:ffff::1", .scopeId = 1},
                    {.text = "2001:db8::53"}};
  CSyntheticAdapterSource source({eth});
  const Snapshot s = TakeSnapshot();
  ASSERT_EQ(s.records.size(), 1u);
  EXPECT_EQ(s.records[0].m_dnsServers, (Names{"2001:4860:4860::8888", "2001:db8::53"}));
}

TEST(EnumerateAdapters, PhysicalAddressText) {
  SyntheticAdapter none = Adapter("tunnel", IF_TYPE_TUNNEL);
  SyntheticAdapter six = Adapter("eth0", IF_TYPE_ETHERNET_CSMACD);
  six.mac = {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF};
  SyntheticAdapter eight = Adapter("fw0", IF_TYPE_IEEE1394);
  eight.mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
  CSyntheticAdapterSource source({none, six, eight});
  const Snapshot s = TakeSnapshot();
  ASSERT_EQ(s.records.size(), 3u);
  EXPECT_EQ(s.records[0].GetMacTextOrNA(), "00-0C-29-AB-CD-EF");
  EXPECT_EQ(s.records[0].MakeEui64Identifier(), "0000:0000:0000:0000:020c:29ff:feab:cdef");
  EXPECT_EQ(s.records[1].GetMacText(), "");
  EXPECT_EQ(s.records[1].GetMacTextOrNA(), "N/A");
  EXPECT_EQ(s.records[2].m_macLength, 8u);
  EXPECT_EQ(s.records[2].GetMacTextOrNA(), "00-11-22-33-44-55-66-77");
}

TEST(EnumerateAdapters, NamesInAnyScriptReachTheRecordsUnchanged) {
  const Names scripts = {"Подключение по локальной сети", "本地连接 2", "イーサネット", "Σύνδεση", "Netz 🖧"};
  std::vector<SyntheticAdapter> list;
  for (const std::string& name : scripts) {
    SyntheticAdapter a = Adapter(name, IF_TYPE_IEEE80211);
    a.description = "Адаптер " + name;
    list.push_back(a);
  }
  CSyntheticAdapterSource source(list);
  const Snapshot s = TakeSnapshot();
  EXPECT_EQ(s.names, scripts);
  ASSERT_EQ(s.records.size(), scripts.size());
  for (size_t i = 0; i < scripts.size(); ++i) {
    EXPECT_EQ(s.records[i].GetDescription(), "Адаптер " + scripts[i]) << scripts[i];
    EXPECT_EQ(Widen(s.records[i].m_strFriendlyName), Widen(scripts[i])) << scripts[i];
  }
}

TEST(EnumerateAdapters, RefreshSeesTheNewList) {
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD), Adapter("wlan0", IF_TYPE_IEEE80211)});
  EXPECT_EQ(TakeSnapshot().names, (Names{"eth0", "wlan0"}));
  source.SetAdapters({Adapter("wlan0", IF_TYPE_IEEE80211)});
  EXPECT_EQ(TakeSnapshot().names, (Names{"wlan0"}));
}

// What a record shows of its addresses and servers, to compare readings.
std::vector<std::string> Shown(const std::vector<CAdapterRecord>& records) {
  std::vector<std::string> shown;
  for (const CAdapterRecord& r : records) {
    for (const CAddressRecord& a : r.m_addresses)
      shown.push_back(r.m_strFriendlyName + " " + a.m_strAddress + " " + a.m_strKind + " " + a.m_strState + " " +
                      a.m_strValidLifetime + "/" + std::to_string(a.m_nValidSeconds) + " " +
                      a.m_strPreferredLifetime + "/" + std::to_string(a.m_nPreferredSeconds));
    for (const std::string& d : r.m_dnsServers) shown.push_back(r.m_strFriendlyName + " dns " + d);
  }
  return shown;
}

TEST(EnumerateAdapters, ReadingAgainUpdatesTheRecordsInPlaceOnlyWhenOnlyFactsChanged) {
  // Wireless first in the list: the Ethernet adapter's record comes first.
  SyntheticAdapter eth = Adapter("eth0", IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0x01, 0x02, 0x03},
                                 {Address("2001:db8::1", IpPrefixOriginManual, IpSuffixOriginManual, 86400, 3600),
                                  Address("192.0.2.1", IpPrefixOriginManual, IpSuffixOriginManual),
                                  Address("fe80::1", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress)});
  eth.unicast[2].scopeId = 4;
  eth.dnsServers = {{"2001:db8::53"}};
  const std::vector<SyntheticAdapter> before = {
      Adapter("wlan0", IF_TYPE_IEEE80211, {},
              {Address("2001:db8:1::7", IpPrefixOriginRouterAdvertisement, IpSuffixOriginRandom, 600, 300)}),
      eth};
  using Change = std::function<void(std::vector<SyntheticAdapter>&)>;
  const struct {
    const char* reason;
    Change change;
    std::function<void(CAdapterRecord* records)> command;  // what a window did to the records meanwhile
    bool bInPlace;
  } cases[] = {
      {"a state changed", [](auto& l) { l[1].unicast[0].dadState = IpDadStateDeprecated; }, nullptr, true},
      {"lifetimes changed", [](auto& l) { l[0].unicast[0].validLifetime = 599; l[1].unicast[0].preferredLifetime = 0; },
       nullptr, true},
      {"the origins changed", [](auto& l) { l[0].unicast[0].suffixOrigin = IpSuffixOriginLinkLayerAddress; }, nullptr,
       true},
      {"only an unlisted IPv4 address changed", [](auto& l) { l[1].unicast[1].validLifetime = 5; }, nullptr, true},
      {"nothing changed", [](auto&) {}, nullptr, true},
      {"an address added", [](auto& l) { l[1].unicast.push_back(Address("2001:db8::2", IpPrefixOriginManual,
                                                                         IpSuffixOriginManual)); },
       nullptr, false},
      {"an address replaced", [](auto& l) { l[1].unicast[0].text = "2001:db8::9"; }, nullptr, false},
      {"a zone changed", [](auto& l) { l[1].unicast[2].scopeId = 5; }, nullptr, false},
      {"an address removed", [](auto& l) { l[1].unicast.pop_back(); }, nullptr, false},
      {"an adapter renamed", [](auto& l) { l[0].friendlyName = "wlan1"; }, nullptr, false},
      {"a MAC changed", [](auto& l) { l[1].mac[5] = 4; }, nullptr, false},
      {"an adapter gone", [](auto& l) { l.pop_back(); }, nullptr, false},
      {"an adapter come", [](auto& l) { l.push_back(Adapter("eth1", IF_TYPE_ETHERNET_CSMACD)); }, nullptr, false},
      {"a DNS server added", [](auto& l) { l[1].dnsServers.push_back({"2001:db8::54"}); }, nullptr, false},
      {"a command added an address to the record", [](auto&) {},
       [](CAdapterRecord* r) { r[0].AddAddress("2001:db8::2", "infinite", "infinite"); }, false},
      {"a command removed a server from the record", [](auto&) {},
       [](CAdapterRecord* r) { r[0].RemoveDnsServer(0); }, false},
  };
  for (const auto& c : cases) {
    CSyntheticAdapterSource source(before);
    CAdapterReading reading;
    std::unique_ptr<CAdapterRecord[]> records;
    size_t count = 0;
    Names names;
    ASSERT_EQ(TakeAdapterSnapshot(reading, records, count, names), 0u) << c.reason;
    if (c.command) c.command(records.get());
    std::vector<CAdapterRecord> kept(records.get(), records.get() + count);
    std::vector<SyntheticAdapter> after = before;
    c.change(after);
    source.SetAdapters(after);
    const int queries = source.QueryCount();
    EXPECT_EQ(reading.UpdateRecords(records.get(), count), c.bInPlace) << c.reason;
    if (c.bInPlace) {
      EXPECT_EQ(source.QueryCount(), queries + 1) << c.reason << ": one query";
      EXPECT_EQ(Shown({records.get(), records.get() + count}), Shown(test::TakeSyntheticSnapshot(after).records))
          << c.reason << ": what a whole snapshot would show";
    } else {
      EXPECT_EQ(Shown({records.get(), records.get() + count}), Shown(kept)) << c.reason << ": records untouched";
    }
  }
}

TEST(EnumerateAdapters, ReadingAgainNeedsRecordsOfItsOwnLastSnapshot) {
  CSyntheticAdapterSource source({Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
  CAdapterReading reading;
  CAdapterRecord other[1];
  EXPECT_FALSE(reading.UpdateRecords(other, 1)) << "before any snapshot";
  std::unique_ptr<CAdapterRecord[]> records;
  size_t count = 0;
  Names names;
  ASSERT_EQ(TakeAdapterSnapshot(reading, records, count, names), 0u);
  EXPECT_FALSE(reading.UpdateRecords(other, 1)) << "records another snapshot filled";
  source.QueueFailure(ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(reading.UpdateRecords(records.get(), count)) << "the list could not be read";
  EXPECT_TRUE(reading.UpdateRecords(records.get(), count)) << "read again";
}

// The OS's own list, read here without the snapshot's code.
struct OsAdapter {
  std::wstring name;
  IFTYPE type;
};

std::vector<OsAdapter> OsAdapters() {
  ULONG size = 0;
  std::vector<OsAdapter> adapters;
  if (::GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW)
    return adapters;
  std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
  auto* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
  if (::GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, list, &size) != NO_ERROR) return adapters;
  for (auto* a = list; a; a = a->Next) adapters.push_back({a->FriendlyName, a->IfType});
  return adapters;
}

TEST(EnumerateAdapters, RealEnumerationReturnsTheAdaptersTheSystemReports) {
  const std::vector<OsAdapter> os = OsAdapters();
  ASSERT_FALSE(os.empty()) << "Wine reports at least its loopback adapter";
  const Snapshot s = TakeSnapshot();
  EXPECT_EQ(s.firstResult, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(s.secondResult, 0u);
  ASSERT_EQ(s.needed, os.size());
  ASSERT_EQ(s.names.size(), os.size());
  std::multiset<std::wstring> expected;
  for (const OsAdapter& a : os) expected.insert(a.name);
  std::multiset<std::wstring> got;
  for (const std::string& n : s.names) got.insert(Widen(n));
  EXPECT_EQ(got, expected);
  const auto ethernet =
      std::find_if(os.begin(), os.end(), [](const OsAdapter& a) { return a.type == IF_TYPE_ETHERNET_CSMACD; });
  EXPECT_EQ(Widen(s.names[0]), ethernet != os.end() ? ethernet->name : os[0].name);

  for (const CAdapterRecord& r : s.records) {
    for (const CAddressRecord& a : r.GetAddresses()) {
      EXPECT_NE(a.m_strAddress.find(':'), std::string::npos) << a.m_strAddress;
      EXPECT_NE(a.m_strAddress.front(), ':') << a.m_strAddress;
      EXPECT_FALSE(a.m_strState.empty()) << a.m_strAddress;
      EXPECT_FALSE(a.m_strValidLifetime.empty()) << a.m_strAddress;
    }
    if (r.m_strFriendlyName == "lo") {
      EXPECT_TRUE(r.GetAddresses().empty()) << "::1 is not listed";
    }
  }
}

}  // namespace
}  // namespace vantoric
