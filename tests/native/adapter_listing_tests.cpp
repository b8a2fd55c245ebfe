// The /list reading: records to JSON that parses back to the same texts,
// and the command lines that ask for it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "core/adapter_listing.h"
#include "core/lifetime_text.h"

namespace vantoric {
namespace {

using Json = nlohmann::json;

CAdapterRecord Record(const std::string& name, std::vector<std::uint8_t> mac, std::vector<CAddressRecord> addresses,
                      std::vector<std::string> dns = {}) {
  CAdapterRecord record;
  record.m_strFriendlyName = name;
  record.m_strDescription = name + " device";
  record.m_macLength = static_cast<std::uint32_t>(mac.size());
  for (size_t i = 0; i < mac.size(); ++i) record.m_macAddress[i] = mac[i];
  record.m_addresses = std::move(addresses);
  record.m_dnsServers = std::move(dns);
  return record;
}

TEST(AdapterListing, NamesOfAnyKindParseBackUnchanged) {
  const struct {
    const char* name;
    const char* why;
  } cases[] = {
      {"Ethernet \"lab\"", "double quotes"},
      {"C:\\net\\eth", "backslashes"},
      {"line\r\nbreak\ttab", "control characters"},
      {"\xD0\x9F\xD0\xBE\xD0\xB4\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 \xE6\x9C\xAC\xE5\x9C\xB0 \xF0\x9F\x96\xA7",
       "non-Latin scripts and a sign beyond the basic plane"},
      {"", "empty"},
  };
  for (const auto& c : cases) {
    const CAdapterRecord record = Record(c.name, {}, {});
    const Json listing = Json::parse(FormatAdapterListing(&record, 1, "2026-12-07T16:40:00Z"));
    EXPECT_EQ(listing["adapters"][0]["friendly_name"], c.name) << c.why;
    EXPECT_EQ(listing["adapters"][0]["description"], std::string(c.name) + " device") << c.why;
  }
  // Written as UTF-8, not as \u escapes, so that a script reads the names.
  const CAdapterRecord han = Record("\xE6\x9C\xAC\xE5\x9C\xB0", {}, {});
  EXPECT_NE(FormatAdapterListing(&han, 1, "t").find("\"\xE6\x9C\xAC\xE5\x9C\xB0\""), std::string::npos);
  // Bytes that are not UTF-8 still give valid JSON.
  const CAdapterRecord broken = Record("eth\xFF", {}, {});
  EXPECT_EQ(Json::parse(FormatAdapterListing(&broken, 1, "t"))["adapters"][0]["friendly_name"], "eth\xEF\xBF\xBD");
}

TEST(AdapterListing, EveryFieldInTheWindowsOrder) {
  const CAdapterRecord records[] = {
      Record("Ethernet 2", {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
             {{"2001:db8::5", "Manual", "Preferred", "infinite", "1h0m0s", INFINITE_LIFETIME, 3600},
              {"fe80::1%4", "Link-Local", "Deprecated", "infinite", "infinite", 400 * 86400, INFINITE_LIFETIME}},
             {"2001:db8::53", "2001:db8::54"}),
      Record("Tunnel", {}, {}),
  };
  const Json listing = Json::parse(FormatAdapterListing(records, 2, "2026-12-07T16:40:00Z"));
  EXPECT_EQ(listing["format"], 1);
  EXPECT_EQ(listing["read_at"], "2026-12-07T16:40:00Z");
  ASSERT_EQ(listing["adapters"].size(), 2u);
  const Json& ethernet = listing["adapters"][0];
  EXPECT_EQ(ethernet["mac"], "00-0C-29-AB-CD-EF");
  EXPECT_EQ(ethernet["dns_servers"], Json({"2001:db8::53", "2001:db8::54"}));
  ASSERT_EQ(ethernet["addresses"].size(), 2u);
  EXPECT_EQ(ethernet["addresses"][0],
            Json({{"address", "2001:db8::5"}, {"kind", "Manual"}, {"state", "Preferred"},
                  {"valid_lifetime", "infinite"}, {"preferred_lifetime", "1h0m0s"}, {"valid_seconds", nullptr},
                  {"preferred_seconds", 3600}}))
      << "infinite is null; a finite lifetime is its seconds";
  EXPECT_EQ(ethernet["addresses"][1]["valid_seconds"], 400 * 86400) << "shown as infinite, but finite";
  EXPECT_EQ(ethernet["addresses"][1]["address"], "fe80::1%4");
  EXPECT_TRUE(listing["adapters"][1]["mac"].is_null()) << "no physical address";
  EXPECT_EQ(listing["adapters"][1]["addresses"], Json::array());

  EXPECT_EQ(Json::parse(FormatAdapterListing(nullptr, 0, "t"))["adapters"], Json::array()) << "an empty machine";
}

CRouteRecord RouteRow(std::string destination, std::string nextHop, std::uint32_t metric, std::string valid,
                      std::uint32_t validSeconds, std::string origin) {
  CRouteRecord r;
  r.m_strDestination = std::move(destination);
  r.m_strNextHop = nextHop.empty() ? "On-link" : nextHop;
  r.m_strNextHopAddress = std::move(nextHop);
  r.m_nMetric = metric;
  r.m_strValidLifetime = std::move(valid);
  r.m_strPreferredLifetime = "infinite";
  r.m_nValidSeconds = validSeconds;
  r.m_strOrigin = std::move(origin);
  return r;
}

TEST(AdapterListing, RoutesOfEachAdapterOrNullWhereNotRead) {
  const CAdapterRecord records[] = {Record("Ethernet", {}, {}), Record("Tunnel", {}, {})};
  const std::vector<CListedRoutes> both = {
      std::vector<CRouteRecord>{RouteRow("::/0", "fe80::1", 16, "30m0s", 1800, "Router Advertisement"),
                                RouteRow("2001:db8::/64", "", 256, "infinite", INFINITE_LIFETIME, "Manual")},
      std::vector<CRouteRecord>{}};
  const std::vector<CListedRoutes> first = {both[0]};
  const std::vector<CListedRoutes> secondUnknown = {both[0], std::nullopt};
  const Json gateway = {{"destination", "::/0"},      {"next_hop", "fe80::1"},     {"metric", 16},
                        {"valid_lifetime", "30m0s"},  {"preferred_lifetime", "infinite"},
                        {"valid_seconds", 1800},      {"preferred_seconds", nullptr},
                        {"origin", "Router Advertisement"}};
  const Json onLink = {{"destination", "2001:db8::/64"}, {"next_hop", nullptr},      {"metric", 256},
                       {"valid_lifetime", "infinite"},   {"preferred_lifetime", "infinite"},
                       {"valid_seconds", nullptr},       {"preferred_seconds", nullptr},
                       {"origin", "Manual"}};
  const struct {
    const char* reason;
    const std::vector<CListedRoutes>* pRoutes;
    Json ethernet;
    Json tunnel;
  } cases[] = {
      {"the route table could not be read", nullptr, nullptr, nullptr},
      {"a gateway route and an on-link one; an adapter without routes", &both, Json::array({gateway, onLink}),
       Json::array()},
      {"a record beyond the routes' end", &first, Json::array({gateway, onLink}), nullptr},
      {"one adapter's routes unknown: only its own are null", &secondUnknown, Json::array({gateway, onLink}),
       nullptr},
  };
  for (const auto& c : cases) {
    const Json listing = Json::parse(FormatAdapterListing(records, 2, "t", c.pRoutes));
    EXPECT_EQ(listing["adapters"][0]["routes"], c.ethernet) << c.reason;
    EXPECT_EQ(listing["adapters"][1]["routes"], c.tunnel) << c.reason;
  }
}

TEST(AdapterListing, EachAdapterTakesItsRoutesByTheIdentityItsReadingGaveIt) {
  CAdapterRecord records[3] = {Record("Ethernet", {}, {}), Record("Vanished", {}, {}), Record("Wi-Fi", {}, {})};
  records[0].m_nLuid = 7;
  records[2].m_nLuid = 9;
  CRouteData gateway;
  gateway.m_nInterface = 9;
  gateway.m_strPrefix = "::";
  gateway.m_strNextHop = "fe80::1";
  const std::vector<CRouteData> table = {gateway};
  const auto counts = [](const std::vector<CListedRoutes>& routes) {
    std::vector<int> sizes;
    for (const CListedRoutes& r : routes) sizes.push_back(r ? static_cast<int>(r->size()) : -1);
    return sizes;
  };
  EXPECT_EQ(counts(ListRoutesOfRecords(records, 3, nullptr)), (std::vector<int>{-1, -1, -1}))
      << "no route table: every adapter's are unknown";
  EXPECT_EQ(counts(ListRoutesOfRecords(records, 3, &table)), (std::vector<int>{0, -1, 1}))
      << "an adapter without identity is unknown alone; one without routes has none";
  records[1].m_nLuid = 8;
  EXPECT_EQ(counts(ListRoutesOfRecords(records, 3, &table)), (std::vector<int>{0, 0, 1}))
      << "an adapter gone from the route table has none";
}

TEST(AdapterListing, AConsoleTakesTextAsAConsoleAndAnyOtherDeviceAsBytes) {
  const struct {
    StdHandleKind kind;
    bool bConsole;
    TextTarget target;
    const char* why;
  } cases[] = {
      {StdHandleKind::Disk, false, TextTarget::Handle, "a file"},
      {StdHandleKind::Pipe, false, TextTarget::Handle, "a pipe"},
      {StdHandleKind::Character, true, TextTarget::Console, "the console itself"},
      {StdHandleKind::Character, false, TextTarget::Handle, ">nul: a device that is no console"},
      {StdHandleKind::None, false, TextTarget::ParentConsole, "nothing redirected"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseTextTarget(c.kind, c.bConsole), c.target) << c.why;
}

TEST(AdapterListing, TheTextsLayoutWithTheLinkFactsLast) {
  const CAdapterRecord record =
      Record("Ethernet", {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
             {{"2001:db8::5", "Manual", "Preferred", "infinite", "1h0m0s", INFINITE_LIFETIME, 3600}}, {"2001:db8::53"});
  const std::vector<CListedRoutes> routes = {std::vector<CRouteRecord>{RouteRow("::/0", "", 0, "0s", 0, "Manual")}};
  const std::string head =
      "{\n"
      "  \"format\": 1,\n"
      "  \"read_at\": \"2026-12-07T16:40:00Z\",\n"
      "  \"adapters\": [\n"
      "    {\n"
      "      \"friendly_name\": \"Ethernet\",\n"
      "      \"description\": \"Ethernet device\",\n"
      "      \"mac\": \"00-0C-29-AB-CD-EF\",\n"
      "      \"addresses\": [\n"
      "        {\n"
      "          \"address\": \"2001:db8::5\",\n"
      "          \"kind\": \"Manual\",\n"
      "          \"state\": \"Preferred\",\n"
      "          \"valid_lifetime\": \"infinite\",\n"
      "          \"preferred_lifetime\": \"1h0m0s\",\n"
      "          \"valid_seconds\": null,\n"
      "          \"preferred_seconds\": 3600\n"
      "        }\n"
      "      ],\n"
      "      \"dns_servers\": [\n"
      "        \"2001:db8::53\"\n"
      "      ],\n";
  const std::string tail =
      "      \"interface\": null,\n"
      "      \"neighbors\": null\n"
      "    }\n"
      "  ]\n"
      "}\n";
  const struct {
    const char* reason;
    const std::vector<CListedRoutes>* pRoutes;
    std::string text;
  } cases[] = {
      {"routes not read: null after the DNS servers", nullptr, head + "      \"routes\": null,\n" + tail},
      {"an on-link default route with zero lifetimes: 0 is a number, not null", &routes,
       head +
           "      \"routes\": [\n"
           "        {\n"
           "          \"destination\": \"::/0\",\n"
           "          \"next_hop\": null,\n"
           "          \"metric\": 0,\n"
           "          \"valid_lifetime\": \"0s\",\n"
           "          \"preferred_lifetime\": \"infinite\",\n"
           "          \"valid_seconds\": 0,\n"
           "          \"preferred_seconds\": null,\n"
           "          \"origin\": \"Manual\"\n"
           "        }\n"
           "      ],\n" +
           tail},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatAdapterListing(&record, 1, "2026-12-07T16:40:00Z", c.pRoutes), c.text) << c.reason;
}

TEST(AdapterListing, InterfaceSettingsAndNeighborsOrNullWhereNotRead) {
  const CAdapterRecord records[] = {Record("Ethernet", {}, {}), Record("Tunnel", {}, {})};
  CAdapterLinkFacts read;
  read.m_bSettingsRead = true;
  read.m_settings.m_nMtu = 1480;
  read.m_settings.m_nLargestMtu = 1500;
  read.m_settings.m_bAutomaticMetric = false;
  read.m_settings.m_nMetric = 10;
  read.m_settings.m_bForwarding = true;
  read.m_settings.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP;
  read.m_settings.m_bOtherStateful = true;
  read.m_settings.m_nDadTransmits = 0;
  read.m_settings.m_nBaseReachableMs = 30000;
  read.m_settings.m_nReachableMs = 41000;
  read.m_bNeighborsRead = true;
  read.m_neighbors = {{"fe80::1", "00-0C-29-AB-CD-EF", "Reachable", true}, {"fe80::7", "", "Incomplete", false}};
  CAdapterLinkFacts unknownLargest = read;
  unknownLargest.m_settings.m_nLargestMtu = 0;
  unknownLargest.m_bNeighborsRead = false;
  const Json settings = {{"mtu", 1480},
                         {"largest_mtu", 1500},
                         {"automatic_metric", false},
                         {"metric", 10},
                         {"forwarding", true},
                         {"advertising", false},
                         {"router_discovery", "dhcp"},
                         {"managed_address_configuration", false},
                         {"other_stateful_configuration", true},
                         {"dad_transmits", 0},
                         {"base_reachable_time_ms", 30000},
                         {"reachable_time_ms", 41000}};
  Json withoutLargest = settings;
  withoutLargest["largest_mtu"] = nullptr;
  const Json neighbors = Json::array(
      {{{"address", "fe80::1"}, {"link_layer_address", "00-0C-29-AB-CD-EF"}, {"state", "Reachable"}, {"router", true}},
       {{"address", "fe80::7"}, {"link_layer_address", nullptr}, {"state", "Incomplete"}, {"router", false}}});
  const std::vector<CAdapterLinkFacts> both = {read, CAdapterLinkFacts{}};
  const std::vector<CAdapterLinkFacts> partly = {unknownLargest};
  const struct {
    const char* reason;
    const std::vector<CAdapterLinkFacts>* pLinks;
    Json interface0;
    Json neighbors0;
    Json interface1;
    Json neighbors1;
  } cases[] = {
      {"nothing read", nullptr, nullptr, nullptr, nullptr, nullptr},
      {"every value; an adapter whose facts could not be read", &both, settings, neighbors, nullptr, nullptr},
      {"no largest MTU known, no neighbors read; a record beyond the end", &partly, withoutLargest, nullptr,
       nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const Json listing = Json::parse(FormatAdapterListing(records, 2, "t", nullptr, nullptr, c.pLinks));
    EXPECT_EQ(listing["adapters"][0]["interface"], c.interface0) << c.reason;
    EXPECT_EQ(listing["adapters"][0]["neighbors"], c.neighbors0) << c.reason;
    EXPECT_EQ(listing["adapters"][1]["interface"], c.interface1) << c.reason;
    EXPECT_EQ(listing["adapters"][1]["neighbors"], c.neighbors1) << c.reason;
  }
}

TEST(ProgramCommand, ListUsageAndTheWindow) {
  const struct {
    std::vector<std::string> args;
    ProgramCommand command;
    std::string file;
    const char* why;
  } cases[] = {
      {{}, ProgramCommand::Window, "", "no arguments"},
      {{"report.txt"}, ProgramCommand::Window, "", "a file name alone is the window's"},
      {{"/p", "a.txt"}, ProgramCommand::Window, "", "the window's own switches"},
      {{"/list"}, ProgramCommand::List, "", "standard output"},
      {{"-LIST", "C:\\out dir\\a.json"}, ProgramCommand::List, "C:\\out dir\\a.json", "dash, any case, a file"},
      {{"/list", "a.json", "b.json"}, ProgramCommand::BadList, "a.json", "two file names"},
      {{"/list", "/bogus"}, ProgramCommand::BadList, "", "an unknown switch after /list"},
      {{"/list", "a.json", "-x"}, ProgramCommand::BadList, "a.json", "a switch after the file"},
      {{"/?"}, ProgramCommand::Usage, "", "usage"},
      {{"/list", "/?"}, ProgramCommand::BadList, "", "after /list, /? is an unknown switch"},
  };
  for (const auto& c : cases) {
    const CProgramCommand command = ParseProgramCommand(c.args);
    EXPECT_EQ(command.m_command, c.command) << c.why;
    EXPECT_EQ(command.m_strFile, c.file) << c.why;
    EXPECT_EQ(command.m_strReason.empty(), c.command != ProgramCommand::BadList) << c.why;
  }
}

}  // namespace
}  // namespace vantoric
