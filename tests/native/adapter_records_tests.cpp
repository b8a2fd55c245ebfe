// Adapter and address records and filling them from plain adapter data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/adapter_records.h"

namespace vantoric {
namespace {

using Texts = std::vector<std::string>;

// Replaces the GUID services for one test and puts the old ones back.
class CGuidServicesScope {
 public:
  explicit CGuidServicesScope(const CGuidServices& services) : m_previous(SetGuidServices(services)) {}
  ~CGuidServicesScope() { SetGuidServices(m_previous); }

 private:
  CGuidServices m_previous;
};

std::vector<std::string> g_messages;
void RecordMessage(const std::string& text) { g_messages.push_back(text); }
void NullGuid(CGuid& guid) { guid = CGuid(); }

CAddressRecord Address(const std::string& text, const std::string& kind, const std::string& state) {
  CAddressRecord a;
  a.m_strAddress = text;
  a.m_strKind = kind;
  a.m_strState = state;
  a.m_strValidLifetime = "1d0h0m0s";
  a.m_strPreferredLifetime = "2h0m0s";
  return a;
}

TEST(CAddressRecord, DefaultIsFiveEmptyTexts) {
  const CAddressRecord a;
  EXPECT_EQ(a.m_strAddress + a.m_strKind + a.m_strState + a.m_strValidLifetime + a.m_strPreferredLifetime, "");
}

TEST(CAdapterRecord, ConstructionGivesAFreshGuidAndEmptyFields) {
  g_messages.clear();
  CGuidServices services;
  services.m_pfnShowMessage = RecordMessage;
  const CGuidServicesScope scope(services);
  const CAdapterRecord first;
  const CAdapterRecord second;
  EXPECT_FALSE(first.m_guid.IsNull());
  EXPECT_FALSE(first.m_guid == second.m_guid);
  EXPECT_TRUE(g_messages.empty());
  EXPECT_TRUE(first.m_addresses.empty());
  EXPECT_TRUE(first.m_dnsServers.empty());
  EXPECT_EQ(first.m_macLength, 0u);
  EXPECT_EQ(first.m_strFriendlyName + first.m_strDescription + first.m_strSelAddress + first.m_strSelKind, "");
}

TEST(CAdapterRecord, NullGuidIsReportedAndConstructionContinues) {
  g_messages.clear();
  CGuidServices services;
  services.m_pfnCreateGuid = NullGuid;
  services.m_pfnShowMessage = RecordMessage;
  const CGuidServicesScope scope(services);
  CAdapterRecord record;
  EXPECT_EQ(g_messages, (Texts{"Unable to create new GUID!"}));
  EXPECT_TRUE(record.m_guid.IsNull());
  record.AddAddress("2001:db8::1", "infinite", "infinite");
  EXPECT_EQ(record.GetAddresses().size(), 1u);
}

CGuid g_nextGuid;
void NextGuid(CGuid& guid) { guid = g_nextGuid; }

TEST(CAdapterRecord, AGuidWithAnyPartSetIsNoFailure) {
  struct Case {
    const char* name;
    std::uint32_t data1;
    std::uint16_t data2, data3;
    std::uint8_t data4Last;
    bool reported;
  };
  const Case cases[] = {{"all zero", 0, 0, 0, 0, true},   {"first part", 1, 0, 0, 0, false},
                        {"second part", 0, 1, 0, 0, false}, {"third part", 0, 0, 1, 0, false},
                        {"last byte", 0, 0, 0, 1, false}};
  CGuidServices services;
  services.m_pfnCreateGuid = NextGuid;
  services.m_pfnShowMessage = RecordMessage;
  const CGuidServicesScope scope(services);
  for (const Case& c : cases) {
    g_messages.clear();
    g_nextGuid = CGuid();
    g_nextGuid.m_nData1 = c.data1;
    g_nextGuid.m_nData2 = c.data2;
    g_nextGuid.m_nData3 = c.data3;
    g_nextGuid.m_data4[7] = c.data4Last;
    const CAdapterRecord record;
    EXPECT_EQ(g_messages.size(), c.reported ? 1u : 0u) << c.name;
  }
}

TEST(CAdapterRecord, AddAddressTakesItsKindFromTheText) {
  struct Case {
    const char* address;
    const char* kind;
  };
  const Case cases[] = {{"2001:db8::1", "Manual"}, {"FE80::1", "Manual"},   {"fe80::1", "Link-Local"},
                        {"fec0::1", "Site-Local"}, {"::1", "Loopback"}};
  CAdapterRecord record;
  for (const Case& c : cases) record.AddAddress(c.address, "1d0h0m0s", "infinite");
  const std::vector<CAddressRecord> a = record.GetAddresses();
  ASSERT_EQ(a.size(), std::size(cases));
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].m_strAddress, cases[i].address);
    EXPECT_EQ(a[i].m_strKind, cases[i].kind) << cases[i].address;
    EXPECT_EQ(a[i].m_strValidLifetime, "1d0h0m0s");
    EXPECT_EQ(a[i].m_strPreferredLifetime, "infinite");
    EXPECT_EQ(a[i].m_strState, "") << "a fresh record has no state to carry";
  }
}

TEST(CAdapterRecord, HandAddedAddressHasNoStateAndKeepsItsTypedLifetimes) {
  CAdapterData data;
  data.m_unicastAddresses.push_back({"2001:db8::1", 4, 4, 4, 100, 100});
  data.m_unicastAddresses.push_back({"2001:db8::2", 4, 5, 3, 400 * 86400, 0xFFFFFFFF});
  CAdapterRecord record;
  Texts names;
  FillAdapterRecord(record, data, names);
  struct Case {
    const char* valid;
    const char* preferred;
    std::uint32_t validSeconds, preferredSeconds;
    const char* why;
  };
  const Case cases[] = {
      {"infinite", "INFINITE", 0xFFFFFFFF, 0xFFFFFFFF, "the keyword in any case"},
      {"400d", "1h30m", 400 * 86400, 5400, "typed units, a long one kept finite"},
  };
  for (const Case& c : cases) {
    record.AddAddress("2001:db8::99", c.valid, c.preferred);
    const CAddressRecord& added = record.m_addresses.back();
    EXPECT_EQ(added.m_strState, "") << c.why << ": unknown until the next snapshot, not the last one assembled";
    EXPECT_EQ(added.m_strKind, "Manual") << c.why;
    EXPECT_EQ(added.m_strValidLifetime, c.valid) << c.why;
    EXPECT_EQ(added.m_nValidSeconds, c.validSeconds) << c.why;
    EXPECT_EQ(added.m_nPreferredSeconds, c.preferredSeconds) << c.why;
  }
  // A snapshot address keeps its exact seconds beside the shown text.
  record.SelectAddress("2001:db8::2");
  EXPECT_EQ(record.m_strSelValidLifetime, "infinite");
  EXPECT_EQ(record.m_nSelValidSeconds, 400u * 86400);
  EXPECT_EQ(record.m_nSelPreferredSeconds, 0xFFFFFFFFu);
}

TEST(CAdapterRecord, InsertDnsServerPositions) {
  struct Case {
    int position;
    Texts expected;
  };
  const Case cases[] = {
      {0, {"a", "b", "c", "x"}}, {1, {"x", "a", "b", "c"}}, {2, {"a", "x", "b", "c"}},
      {3, {"a", "b", "x", "c"}}, {4, {"a", "b", "c", "x"}}, {9, {"a", "b", "c", "x"}},
  };
  for (const Case& c : cases) {
    CAdapterRecord record;
    record.m_dnsServers = {"a", "b", "c"};
    record.InsertDnsServer(c.position, "x");
    EXPECT_EQ(record.m_dnsServers, c.expected) << "position " << c.position;
  }
  CAdapterRecord empty;
  empty.InsertDnsServer(1, "x");
  EXPECT_EQ(empty.m_dnsServers, (Texts{"x"}));
}

TEST(CAdapterRecord, RemoveByIndexAndOutsideChangesNothing) {
  CAdapterRecord record;
  record.m_dnsServers = {"a", "b", "c"};
  record.RemoveDnsServer(1);
  EXPECT_EQ(record.m_dnsServers, (Texts{"a", "c"}));
  record.RemoveDnsServer(2);
  record.RemoveDnsServer(-1);
  EXPECT_EQ(record.m_dnsServers, (Texts{"a", "c"}));
  record.RemoveDnsServer(0);
  EXPECT_EQ(record.m_dnsServers, (Texts{"c"})) << "index 0 is the first server";

  record.m_addresses = {Address("2001:db8::1", "Manual", ""), Address("2001:db8::2", "Public", "Preferred")};
  record.RemoveAddress(0);
  ASSERT_EQ(record.m_addresses.size(), 1u);
  EXPECT_EQ(record.m_addresses[0].m_strAddress, "2001:db8::2");
  record.RemoveAddress(1);
  EXPECT_EQ(record.m_addresses.size(), 1u);
}

TEST(CAdapterRecord, KindAndStateByIndex) {
  CAdapterRecord record;
  record.m_addresses = {Address("2001:db8::1", "Public", "Preferred"), Address("fe80::1%4", "Link-Local", "Tentative")};
  EXPECT_EQ(record.GetAddressKind(0), "Public") << "index 0 is the first address";
  EXPECT_EQ(record.GetAddressKind(1), "Link-Local");
  EXPECT_EQ(record.GetAddressState(0), "Preferred");
  EXPECT_EQ(record.GetAddressKind(2), "") << "index equal to the count";
  EXPECT_EQ(record.GetAddressState(2), "");
  EXPECT_EQ(record.GetAddressKind(-1), "");
  // The place of a removed last address still holds its old texts in the
  // list's storage: reading there would show them.
  record.m_addresses.pop_back();
  EXPECT_EQ(record.GetAddressKind(1), "") << "index equal to the count after a removal";
  EXPECT_EQ(record.GetAddressState(1), "");
}

TEST(CAdapterRecord, SelectAddressMatchesWholeTextExactly) {
  CAdapterRecord record;
  record.m_addresses = {Address("2001:db8::a", "Public", "Preferred"), Address("2001:db8::b", "Temporary", "Deprecated"),
                        Address("2001:db8::b", "Manual", "Invalid")};
  record.m_addresses[1].m_strValidLifetime = "3h0m0s";
  record.SelectAddress("2001:db8::b");
  EXPECT_EQ(record.m_strSelAddress, "2001:db8::b");
  EXPECT_EQ(record.GetSelKind(), "Temporary") << "the first match";
  EXPECT_EQ(record.GetSelState(), "Deprecated");
  EXPECT_EQ(record.m_strSelValidLifetime, "3h0m0s");
  EXPECT_EQ(record.m_strSelPreferredLifetime, "2h0m0s");
  for (const char* other : {"2001:DB8::A", "2001:db8::", "2001:db8::a ", ""}) {
    record.SelectAddress(other);
    EXPECT_EQ(record.m_strSelAddress, "2001:db8::b") << "\"" << other << "\" changes nothing";
    EXPECT_EQ(record.GetSelKind(), "Temporary");
  }
}

TEST(CAdapterRecord, MacText) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    const char* text;
    const char* shown;
  };
  const Case cases[] = {
      {{}, "", "N/A"},
      {{0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF}, "00-0C-29-AB-CD-EF", "00-0C-29-AB-CD-EF"},
      {{0xFF}, "FF", "FF"},
      {{0, 1, 2, 3, 4, 5, 6, 0xA7}, "00-01-02-03-04-05-06-A7", "00-01-02-03-04-05-06-A7"},
  };
  for (const Case& c : cases) {
    CAdapterRecord record;
    std::copy(c.bytes.begin(), c.bytes.end(), record.m_macAddress);
    record.m_macLength = static_cast<std::uint32_t>(c.bytes.size());
    EXPECT_EQ(record.GetMacText(), c.text) << c.bytes.size() << " bytes";
    EXPECT_EQ(record.GetMacTextOrNA(), c.shown) << c.bytes.size() << " bytes";
  }
}

CAdapterData Adapter(const std::string& name, std::uint32_t type) {
  CAdapterData a;
  a.m_strFriendlyName = name;
  a.m_strDescription = name + " device";
  a.m_nIfType = type;
  return a;
}

TEST(OrderAdapters, FirstEthernetFirstThenListOrder) {
  struct Case {
    const char* name;
    std::vector<std::uint32_t> types;
    std::vector<size_t> order;
  };
  const Case cases[] = {
      {"empty", {}, {}},
      {"no Ethernet", {71, 24, 131}, {0, 1, 2}},
      {"Ethernet first", {6, 71}, {0, 1}},
      {"Ethernet last", {24, 71, 6}, {2, 0, 1}},
      {"two Ethernet apart", {24, 6, 71, 6}, {1, 0, 2, 3}},
      {"all Ethernet", {6, 6, 6}, {0, 1, 2}},
  };
  for (const Case& c : cases) {
    std::vector<CAdapterData> adapters;
    for (std::uint32_t t : c.types) adapters.push_back(Adapter("x", t));
    EXPECT_EQ(OrderAdapters(adapters), c.order) << c.name;
  }
}

TEST(FillAdapterRecord, FiltersKindsStatesAndLifetimes) {
  CAdapterData data = Adapter("eth0", 6);
  data.m_macLength = 6;
  const std::uint8_t mac[] = {0x02, 0xFC, 0, 0, 0, 1};
  std::copy(mac, mac + 6, data.m_macAddress);
  data.m_unicastAddresses = {
      {"192.0.2.1", 1, 1, 4, 100, 100},
      {"::1", 2, 2, 4, 0xFFFFFFFF, 0xFFFFFFFF},
      {"", 1, 1, 4, 0, 0},  // a conversion that failed
      {"2001:db8::1", 4, 4, 4, 2592000, 604800},
      {"fe80::1%4", 2, 4, 1, 0xFFFFFFFF, 0xFFFFFFFF},
      {"fd00::2", 3, 3, 7, 60000, 60000},
  };
  data.m_dnsServers = {"192.0.2.53", "2001:db8::53", "fec0:0:0:ffff::1%1", "", "2001:db8::54"};
  CAdapterRecord record;
  Texts names = {"earlier"};
  FillAdapterRecord(record, data, names);
  EXPECT_EQ(names, (Texts{"earlier", "eth0"}));
  EXPECT_EQ(record.GetDescription(), "eth0 device");
  EXPECT_EQ(record.GetMacText(), "02-FC-00-00-00-01");
  const std::vector<CAddressRecord> a = record.GetAddresses();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0].m_strAddress, "2001:db8::1");
  EXPECT_EQ(a[0].m_strKind, "Public");
  EXPECT_EQ(a[0].m_strState, "Preferred");
  EXPECT_EQ(a[0].m_strValidLifetime, "30d0h0m0s");
  EXPECT_EQ(a[0].m_strPreferredLifetime, "7d0h0m0s");
  EXPECT_EQ(a[1].m_strAddress, "fe80::1%4");
  EXPECT_EQ(a[1].m_strKind, "Link-Local");
  EXPECT_EQ(a[1].m_strState, "Tentative");
  EXPECT_EQ(a[1].m_strValidLifetime, "infinite");
  EXPECT_EQ(a[2].m_strKind, "");
  EXPECT_EQ(a[2].m_strState, "") << "DAD state 7 has no name";
  EXPECT_EQ(a[2].m_strValidLifetime, "16h40m0s");
  EXPECT_EQ(record.m_dnsServers, (Texts{"2001:db8::53", "2001:db8::54"}));
}

TEST(FillAdapterRecord, WithoutSocketsOnlyNamesAndMacRemain) {
  CAdapterData data = Adapter("eth0", 6);
  data.m_macLength = 1;
  data.m_macAddress[0] = 0x5A;
  data.m_unicastAddresses = {{"2001:db8::1", 1, 1, 4, 0, 0}};
  data.m_dnsServers = {"2001:db8::53"};
  data.m_bSocketsStarted = false;
  CAdapterRecord record;
  Texts names;
  FillAdapterRecord(record, data, names);
  EXPECT_EQ(names, (Texts{"eth0"}));
  EXPECT_EQ(record.GetDescription(), "eth0 device");
  EXPECT_EQ(record.GetMacText(), "5A");
  EXPECT_TRUE(record.m_addresses.empty());
  EXPECT_TRUE(record.m_dnsServers.empty());
}

TEST(FillSnapshot, CapacityDecidesBeforeAnythingIsRead) {
  const std::vector<CAdapterData> adapters = {Adapter("wlan0", 71), Adapter("eth0", 6), Adapter("lo", 24)};
  struct Case {
    const char* name;
    size_t count;
    size_t capacity;
    std::uint32_t result;
    bool reads;
  };
  const Case cases[] = {
      {"learning the count", 3, 0, SNAPSHOT_INSUFFICIENT_BUFFER, false},
      {"one record short", 3, 2, SNAPSHOT_INSUFFICIENT_BUFFER, false},
      {"no adapters", 0, 0, SNAPSHOT_OK, false},
      {"exactly enough", 3, 3, SNAPSHOT_OK, true},
      {"an adapter more at the second reading: the counted ones", 2, 2, SNAPSHOT_OK, true},
  };
  for (const Case& c : cases) {
    std::vector<CAdapterRecord> records(c.capacity);
    Texts names;
    size_t needed = 99;
    bool read = false;
    const auto readAdapters = [&] {
      read = true;
      return adapters;
    };
    EXPECT_EQ(FillSnapshot(c.count, readAdapters, records.data(), c.capacity, needed, names), c.result) << c.name;
    EXPECT_EQ(needed, c.count) << c.name;
    EXPECT_EQ(read, c.reads) << c.name;
    EXPECT_EQ(names.size(), c.reads ? c.count : 0u) << c.name;
  }
}

TEST(FillSnapshot, RecordsAndNamesInSnapshotOrder) {
  const std::vector<CAdapterData> adapters = {Adapter("wlan0", 71), Adapter("lo", 24), Adapter("eth0", 6),
                                              Adapter("eth1", 6)};
  std::vector<CAdapterRecord> records(4);
  Texts names;
  size_t needed = 0;
  ASSERT_EQ(FillSnapshot(4, [&] { return adapters; }, records.data(), 4, needed, names), SNAPSHOT_OK);
  EXPECT_EQ(names, (Texts{"eth0", "wlan0", "lo", "eth1"}));
  for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i].m_strFriendlyName, names[i]);
}

}  // namespace
}  // namespace vantoric
