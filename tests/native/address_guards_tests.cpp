// The guards before a change: the address parser they read with, which
// addresses are refused or warned about and why, the connection warning's
// wording, the default gateway among the routes, and the last global address
// of an adapter.
#include "core/address_guards.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <arpa/inet.h>
#include <netinet/in.h>
#endif

namespace vantoric {

void PrintTo(GuardOutcome outcome, std::ostream* os) {
  static const char* const names[] = {"Proceed", "Warn", "Refuse"};
  *os << names[static_cast<int>(outcome)];
}

void PrintTo(DefaultRoute route, std::ostream* os) {
  static const char* const names[] = {"Present", "Absent", "Unknown", "Unreadable"};
  *os << names[static_cast<int>(route)];
}

void PrintTo(GuardReason reason, std::ostream* os) {
  static const char* const names[] = {"None",          "Unspecified",     "Multicast",       "Ipv4Mapped",
                                      "Loopback",      "OnOtherAdapter",  "SiteLocal",       "AlreadyListed",
                                      "LinkLocalServer", "OpenConnections", "LastGlobalAddress", "NotChecked"};
  *os << names[static_cast<int>(reason)];
}

namespace {

// The eight groups of parsed bytes, each as four hexadecimal digits.
std::string Groups(const CIpv6Bytes& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    char group[8];
    std::snprintf(group, sizeof group, "%s%02x%02x", i ? ":" : "", bytes[i], bytes[i + 1]);
    text += group;
  }
  return text;
}

TEST(ParseIpv6Bytes, AcceptedTextsAndTheirBytes) {
  const struct { const char* text; const char* groups; const char* reason; } cases[] = {
      {"::", "0000:0000:0000:0000:0000:0000:0000:0000", "the unspecified address"},
      {"::1", "0000:0000:0000:0000:0000:0000:0000:0001", "loopback"},
      {"1::", "0001:0000:0000:0000:0000:0000:0000:0000", "gap at the end"},
      {"2001:db8::5", "2001:0db8:0000:0000:0000:0000:0000:0005", "gap in the middle"},
      {"2001:DB8:0:0:0:0:0:5", "2001:0db8:0000:0000:0000:0000:0000:0005", "full form, upper case"},
      {"2001:0db8:0000:0000:0000:0000:0000:0005", "2001:0db8:0000:0000:0000:0000:0000:0005",
       "the address field's uncompressed text"},
      {"1:2:3:4:5:6:7:8", "0001:0002:0003:0004:0005:0006:0007:0008", "eight groups"},
      {"1:2:3:4:5:6:7::", "0001:0002:0003:0004:0005:0006:0007:0000", "\"::\" for the last group alone"},
      {"::2:3:4:5:6:7:8", "0000:0002:0003:0004:0005:0006:0007:0008", "\"::\" for the first group alone"},
      {"::ffff:192.0.2.1", "0000:0000:0000:0000:0000:ffff:c000:0201", "IPv4-mapped with a dotted tail"},
      {"64:ff9b::192.0.2.33", "0064:ff9b:0000:0000:0000:0000:c000:0221", "dotted tail after a prefix"},
      {"1:2:3:4:5:6:255.255.255.255", "0001:0002:0003:0004:0005:0006:ffff:ffff", "dotted tail as groups 7 and 8"},
      {"fe80::1%4", "fe80:0000:0000:0000:0000:0000:0000:0001", "numeric zone ignored"},
      {"fe80::1%eth0", "fe80:0000:0000:0000:0000:0000:0000:0001", "named zone ignored"},
  };
  for (const auto& c : cases) {
    CIpv6Bytes bytes{};
    ASSERT_TRUE(ParseIpv6Bytes(c.text, bytes)) << c.reason << ": \"" << c.text << "\"";
    EXPECT_EQ(Groups(bytes), c.groups) << c.reason << ": \"" << c.text << "\"";
  }
}

TEST(ParseIpv6Bytes, RefusedTextsLeaveTheBytesAlone) {
  const struct { const char* text; const char* reason; } cases[] = {
      {"", "empty"},
      {":", "a colon alone"},
      {":::", "three colons"},
      {"1:::2", "three colons inside"},
      {"1::2::3", "two gaps"},
      {":1::", "one leading colon"},
      {"1:", "one trailing colon"},
      {"1:2:3:4:5:6:7", "seven groups without a gap"},
      {"1:2:3:4:5:6:7:8:9", "nine groups"},
      {"1:2:3:4:5:6:7:8::", "a gap beside eight groups"},
      {"::1:2:3:4:5:6:7:8", "a gap before eight groups"},
      {"12345::", "five digits in a group"},
      {"g::1", "not a hexadecimal digit"},
      {" ::1", "leading blank"},
      {"::1 ", "trailing blank"},
      {"::256.0.0.1", "dotted part over 255"},
      {"::1.2.3", "three dotted parts"},
      {"::1.2.3.4.5", "five dotted parts"},
      {"::01.2.3.4", "leading zero in a dotted part"},
      {"::1.2.3.4:5", "a group after the dotted tail"},
      {"::a.2.3.4", "hexadecimal in a dotted part"},
      {"1:2:3:4:5:6:7:1.2.3.4", "dotted tail beyond eight groups"},
      {"192.0.2.1", "an IPv4 address alone"},
      {"%4", "a zone alone"},
  };
  for (const auto& c : cases) {
    CIpv6Bytes bytes{};
    bytes[0] = 0x5a;
    EXPECT_FALSE(ParseIpv6Bytes(c.text, bytes)) << c.reason << ": \"" << c.text << "\"";
    EXPECT_EQ(bytes[0], 0x5a) << c.reason << ": written although refused";
  }
}

#if !defined(_WIN32)
// Address texts made of random groups, gaps, stray colons and dotted tails,
// most of them near the edge between valid and invalid.
std::string RandomAddressText(std::mt19937& random) {
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* const digits = "0123456789abcdefABCDEF";
  std::string text = pick(8) == 0 ? ":" : "";
  const int nGroups = pick(10);
  const int nGap = pick(2) == 0 ? pick(nGroups + 1) : -1;
  for (int g = 0; g < nGroups; ++g) {
    if (g == nGap) text += "::";
    else if (g > 0) text += ":";
    for (int d = pick(6); d > 0; --d) text += digits[pick(22)];
  }
  if (nGap == nGroups || pick(12) == 0) text += "::";
  if (pick(3) == 0) {
    if (!text.empty() && text.back() != ':') text += ":";
    for (int part = 0, nParts = 3 + pick(3); part < nParts; ++part) {
      if (part > 0) text += ".";
      text += (pick(6) == 0 ? "0" : "") + std::to_string(pick(300));
    }
  }
  if (pick(8) == 0) text += ":";
  return text;
}

// The C library's inet_pton as a reference: both accept the same texts
// and read the same bytes.
TEST(ParseIpv6Bytes, AgreesWithTheCLibrary) {
  std::mt19937 random(25);
  int nAccepted = 0;
  for (int i = 0; i < 50000; ++i) {
    const std::string text = RandomAddressText(random);
    in6_addr reference{};
    const bool bReference = inet_pton(AF_INET6, text.c_str(), &reference) == 1;
    CIpv6Bytes bytes{};
    ASSERT_EQ(ParseIpv6Bytes(text, bytes), bReference) << "\"" << text << "\"";
    if (!bReference) continue;
    ++nAccepted;
    CIpv6Bytes expected;
    std::memcpy(expected.data(), reference.s6_addr, expected.size());
    ASSERT_EQ(Groups(bytes), Groups(expected)) << text;
  }
  EXPECT_GT(nAccepted, 2500) << "too few valid texts generated to compare";
}
#endif

TEST(AddressesOfOtherAdapters, EveryRecordButTheAdaptersOwnInOrder) {
  CAdapterRecord records[3];
  records[0].m_strFriendlyName = "Ethernet";
  records[0].m_addresses = {{"2001:db8::1"}, {"fe80::1%4"}};
  records[1].m_strFriendlyName = "Wi-Fi";
  records[1].m_addresses = {{"2001:db8::2"}};
  records[2].m_strFriendlyName = "Loopback";
  records[2].m_addresses = {{"::1"}};
  const std::vector<CHeldAddress> held = AddressesOfOtherAdapters(records, 3, 1);
  ASSERT_EQ(held.size(), 3u);
  EXPECT_EQ(held[0].m_strAdapter + " " + held[0].m_strAddress, "Ethernet 2001:db8::1");
  EXPECT_EQ(held[1].m_strAdapter + " " + held[1].m_strAddress, "Ethernet fe80::1%4");
  EXPECT_EQ(held[2].m_strAdapter + " " + held[2].m_strAddress, "Loopback ::1");
}

const std::vector<CHeldAddress> OTHER_ADAPTERS = {
    {"Ethernet 2", "2001:db8::7"},
    {"Ethernet 2", "fe80::1%5"},
    {"Wi-Fi", "fd00::2"},
    {"Wi-Fi", "fec0::9"},
    {"Loopback Pseudo-Interface 1", "::1"},
};

TEST(CheckNewAddress, PrefixEdgesAndHeldAddresses) {
  using O = GuardOutcome;
  using R = GuardReason;
  const struct { const char* text; O outcome; R reason; const char* why; } cases[] = {
      {"::", O::Refuse, R::Unspecified, "the unspecified address"},
      {"0:0:0:0:0:0:0:0", O::Refuse, R::Unspecified, "the unspecified address in full"},
      {"::1", O::Warn, R::Loopback, "loopback, before its being on the loopback adapter"},
      {"::2", O::Proceed, R::None, "next to loopback"},
      {"ff00::", O::Refuse, R::Multicast, "first multicast address"},
      {"ff02::1", O::Refuse, R::Multicast, "all-nodes multicast"},
      {"FF05::1:3", O::Refuse, R::Multicast, "multicast in upper case"},
      {"ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff", O::Refuse, R::Multicast, "last multicast address"},
      {"feff:ffff:ffff:ffff:ffff:ffff:ffff:ffff", O::Warn, R::SiteLocal, "last site-local, below multicast"},
      {"feff:ffff::", O::Warn, R::SiteLocal, "feff:ffff:: is site-local"},
      {"fec0::", O::Warn, R::SiteLocal, "first site-local address"},
      {"FEC0::1", O::Warn, R::SiteLocal, "site-local in upper case"},
      {"febf:ffff:ffff:ffff:ffff:ffff:ffff:ffff", O::Proceed, R::None, "last link-local, below site-local"},
      {"fe80::", O::Proceed, R::None, "first link-local address"},
      {"fe7f:ffff:ffff:ffff:ffff:ffff:ffff:ffff", O::Proceed, R::None, "below link-local"},
      {"fe80::1", O::Proceed, R::None, "a link-local address that another link has too"},
      {"::ffff:0:0", O::Refuse, R::Ipv4Mapped, "first IPv4-mapped address"},
      {"::ffff:0.0.0.0", O::Refuse, R::Ipv4Mapped, "first IPv4-mapped address, dotted"},
      {"::ffff:192.0.2.1", O::Refuse, R::Ipv4Mapped, "IPv4-mapped, dotted"},
      {"::ffff:ffff:ffff", O::Refuse, R::Ipv4Mapped, "last IPv4-mapped address"},
      {"::fffe:ffff:ffff", O::Proceed, R::None, "just below IPv4-mapped"},
      {"::1:0:0:0", O::Proceed, R::None, "just above IPv4-mapped"},
      {"64:ff9b::192.0.2.1", O::Proceed, R::None, "NAT64 prefix, not mapped"},
      {"2001:db8::", O::Proceed, R::None, "documentation prefix, first"},
      {"2001:db8:ffff:ffff:ffff:ffff:ffff:ffff", O::Proceed, R::None, "documentation prefix, last"},
      {"2001:db8::5", O::Proceed, R::None, "documentation prefix, held by no adapter"},
      {"2001:db8::7", O::Warn, R::OnOtherAdapter, "held by another adapter"},
      {"2001:DB8:0:0:0:0:0:7", O::Warn, R::OnOtherAdapter, "held, written another way"},
      {"fd00::2", O::Warn, R::OnOtherAdapter, "unique local, held by another adapter"},
      {"fd00::3", O::Proceed, R::None, "unique local, held by no adapter"},
      {"fec0::9", O::Warn, R::OnOtherAdapter, "held site-local: the holder is named first"},
      {"1:2:3", O::Proceed, R::None, "text that does not parse is the dialog's to refuse"},
  };
  for (const auto& c : cases) {
    const CGuardVerdict v = CheckNewAddress(c.text, OTHER_ADAPTERS, AddressChange::Add);
    EXPECT_EQ(v.m_outcome, c.outcome) << c.why << ": \"" << c.text << "\"";
    EXPECT_EQ(v.m_reason, c.reason) << c.why << ": \"" << c.text << "\"";
    EXPECT_EQ(v.m_strText.empty(), c.outcome == O::Proceed) << c.why << ": \"" << c.text << "\"";
  }
}

TEST(CheckNewAddress, TextsNameTheAddressTheHolderAndTheChange) {
  const std::vector<CHeldAddress> oddName = {{"Net %1 100%", "2001:db8::7"}};
  const struct {
    const char* text;
    const std::vector<CHeldAddress>* others;
    AddressChange change;
    const char* expected;
    const char* why;
  } cases[] = {
      {"::", &OTHER_ADAPTERS, AddressChange::Add,
       "The unspecified address :: stands for no address at all and cannot be given to an adapter. Enter the "
       "address that the adapter is to have.",
       "unspecified"},
      {"ff02::1", &OTHER_ADAPTERS, AddressChange::Replace,
       "ff02::1 is a multicast address (ff00::/8). A multicast address names a group of listeners and cannot be "
       "given to an adapter. Enter a unicast address.",
       "a refusal asks nothing"},
      {"::ffff:192.0.2.1", &OTHER_ADAPTERS, AddressChange::Add,
       "::ffff:192.0.2.1 is an IPv4-mapped address (::ffff:0:0/96). It stands for an IPv4 address inside programs "
       "and cannot be given to an adapter. Set IPv4 addresses in the adapter's IPv4 settings, or enter an IPv6 "
       "address.",
       "IPv4-mapped"},
      {"::1", &OTHER_ADAPTERS, AddressChange::Add,
       "::1 is the loopback address. Traffic to it never leaves this machine, and the loopback interface already "
       "has it. Enter the address at which other machines are to reach this adapter. Add it anyway?",
       "loopback, Add"},
      {"2001:db8::7", &OTHER_ADAPTERS, AddressChange::Add,
       "2001:db8::7 is already an address of Ethernet 2. With one address on two adapters, the machine can become "
       "unreachable at it on both. Remove it from Ethernet 2 first, or choose another address. Add it anyway?",
       "held by another adapter, Add"},
      {"2001:db8::7", &oddName, AddressChange::Replace,
       "2001:db8::7 is already an address of Net %1 100%. With one address on two adapters, the machine can "
       "become unreachable at it on both. Remove it from Net %1 100% first, or choose another address. Apply the "
       "change anyway?",
       "an adapter name with \"%\" in it, Address Properties"},
      {"fec0::1", &OTHER_ADAPTERS, AddressChange::Replace,
       "fec0::1 is a site-local address (fec0::/10). Site-local addresses are deprecated, and many systems and "
       "routers no longer handle them. Use a unique local address (fd00::/8) instead. Apply the change anyway?",
       "site-local, Address Properties"},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckNewAddress(c.text, *c.others, c.change).m_strText, c.expected) << c.why;
}

TEST(CheckNewDnsServer, RefusalsWarningAndTheirTexts) {
  using O = GuardOutcome;
  using R = GuardReason;
  const std::vector<std::string> servers = {"2001:db8::53", "fe80::53%4", "2001:db8::54"};
  const struct { const char* text; O outcome; R reason; const char* expected; const char* why; } cases[] = {
      {"::", O::Refuse, R::Unspecified,
       "The unspecified address :: names no server. Enter the address of the DNS server.", "unspecified"},
      {"ff02::1", O::Refuse, R::Multicast,
       "ff02::1 is a multicast address (ff00::/8) and names no single server. Enter the unicast address of the DNS "
       "server.",
       "multicast"},
      {"ff00::", O::Refuse, R::Multicast, nullptr, "first multicast address"},
      {"2001:db8::54", O::Refuse, R::AlreadyListed,
       "2001:db8::54 is already DNS server 3 in the list. Enter another server, or cancel to keep the list as it "
       "is.",
       "the last server again"},
      {"2001:DB8:0::53", O::Refuse, R::AlreadyListed,
       "2001:DB8:0::53 is already DNS server 1 in the list. Enter another server, or cancel to keep the list as "
       "it is.",
       "the first server, written another way"},
      {"fe80::53", O::Refuse, R::AlreadyListed, nullptr, "a listed link-local server, zone ignored"},
      {"fe80::1", O::Warn, R::LinkLocalServer,
       "fe80::1 is a link-local address. The server is reached at it only on the link of this adapter, through "
       "this adapter. Enter the server's global or unique local address if it has one. Add it anyway?",
       "link-local"},
      {"febf:ffff:ffff:ffff:ffff:ffff:ffff:ffff", O::Warn, R::LinkLocalServer, nullptr, "last link-local address"},
      {"fec0::1", O::Proceed, R::None, "", "site-local is no link-local"},
      {"fe7f:ffff:ffff:ffff:ffff:ffff:ffff:ffff", O::Proceed, R::None, "", "below link-local"},
      {"::1", O::Proceed, R::None, "", "a resolver on this machine"},
      {"2001:db8::55", O::Proceed, R::None, "", "a new server"},
  };
  for (const auto& c : cases) {
    const CGuardVerdict v = CheckNewDnsServer(c.text, servers);
    EXPECT_EQ(v.m_outcome, c.outcome) << c.why << ": \"" << c.text << "\"";
    EXPECT_EQ(v.m_reason, c.reason) << c.why << ": \"" << c.text << "\"";
    if (c.expected != nullptr) {
      EXPECT_EQ(v.m_strText, c.expected) << c.why << ": \"" << c.text << "\"";
    }
  }
}

// Wherever a DNS server enters, it is an address and nothing more.
TEST(CheckDnsServerText, AnAddressAloneOrALinkLocalOneWithItsInterfaceNumber) {
  const char* const zone = "is not a DNS server address: the text from \"%\" on is a zone, which only a "
                           "link-local address can have. Give the server's address alone.";
  const char* const notNumber = "is not a DNS server address: the zone of a link-local server, after \"%\", can "
                                "only be the number of its interface. Give the server's address alone.";
  const struct {
    const char* why;
    const char* text;
    const char* server;  // nullptr: refused
    std::string refusal;
  } cases[] = {
      {"a global address", "2001:db8::54", "2001:db8::54", ""},
      {"written in capitals, kept as written", "2001:DB8::54", "2001:DB8::54", ""},
      {"a zone with a second command after &, from an /apply file", "2001:db8::54%1&calc.exe", nullptr,
       std::string("\"2001:db8::54%1&calc.exe\" ") + zone},
      {"a zone that carries netsh arguments", "2001:db8::54%x name=Wi-Fi validate=no", nullptr,
       std::string("\"2001:db8::54%x name=Wi-Fi validate=no\" ") + zone},
      {"a numeric zone on a global address", "2001:db8::54%4", nullptr, std::string("\"2001:db8::54%4\" ") + zone},
      {"a link-local server's interface number is left out", "fe80::53%4", "fe80::53", ""},
      {"the last link-local address, upper case", "FEBF::1%12", "FEBF::1", ""},
      {"a link-local server's zone by name", "fe80::53%eth0", nullptr, std::string("\"fe80::53%eth0\" ") + notNumber},
      {"a link-local server's zone with a second command", "fe80::53%4&calc", nullptr,
       std::string("\"fe80::53%4&calc\" ") + notNumber},
      {"an empty zone", "fe80::53%", nullptr, std::string("\"fe80::53%\" ") + notNumber},
      {"site-local is no link-local", "fec0::1%4", nullptr, std::string("\"fec0::1%4\" ") + zone},
      {"a host name", "dns.example", nullptr, "\"dns.example\" is not an IPv6 address"},
      {"a blank after the address", "2001:db8::54 validate=no", nullptr,
       "\"2001:db8::54 validate=no\" is not an IPv6 address"},
  };
  for (const auto& c : cases) {
    const CDnsServerCheck check = CheckDnsServerText(c.text);
    EXPECT_EQ(check.m_bPassed, c.server != nullptr) << c.why;
    EXPECT_EQ(check.m_strServer, c.server != nullptr ? c.server : "") << c.why;
    EXPECT_EQ(check.m_strRefusal, c.refusal) << c.why;
  }
}

// Routes and next hops compare as addresses, as the checks read them.
TEST(IsSamePrefixAndHop, AddressesCompareByValueWithoutCaseOrZone) {
  const struct {
    const char* why;
    const char* first;
    const char* second;
    bool bSamePrefix;
    bool bSameHop;
  } cases[] = {
      {"a gateway typed with capitals and its zone, as the table lists it", "FE80::1%12", "fe80::1", false, true},
      {"zeros written out", "fe80:0:0::1", "fe80::1", false, true},
      {"two gateways", "fe80::1", "fe80::2", false, false},
      {"on-link both", "", "", true, true},
      {"on-link and a gateway", "", "fe80::1", false, false},
      {"the default route written two ways", "::/0", "0::/0", true, false},
      {"a prefix in capitals", "2001:DB8::/48", "2001:db8::/48", true, false},
      {"the same address, another length", "2001:db8::/48", "2001:db8::/64", false, false},
      {"a length written with a leading zero, which the route check reads as 48", "2001:db8::/048", "2001:db8::/48",
       true, false},
      {"a zone on a prefix is no prefix", "fe80::%4/64", "fe80::/64", false, false},
      {"text that is no prefix matches only itself", "default", "default", true, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSamePrefix(c.first, c.second), c.bSamePrefix) << c.why;
    EXPECT_EQ(IsSameHop(c.first, c.second), c.bSameHop) << c.why;
  }
}

TEST(IsPrefixText, AnAddressWithoutZoneAndALengthUpTo128) {
  const struct {
    const char* text;
    bool bPrefix;
  } cases[] = {
      {"::/0", true},          {"::ffff:0:0/96", true}, {"2001:db8::/128", true}, {"2001:db8::/129", false},
      {"2001:db8::", false},   {"2001:db8::/", false},  {"fe80::%4/64", false},   {"2001:db8::/1e2", false},
      {"2001:db8::/0064", false}, {"::/0 store=x", false}, {"x/64", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPrefixText(c.text), c.bPrefix) << c.text;
}

CTcpConnection Connection(const char* local, std::uint16_t localPort, const char* remote,
                          std::uint16_t remotePort = 50123) {
  return {local, localPort, remote, remotePort};
}

TEST(CheckOpenConnections, CountsNamesAndWording) {
  using C = std::vector<CTcpConnection>;
  const char* const A = "2001:db8::5";
  const CTcpConnection rdp = Connection(A, 3389, "2001:db8::99");
  const CTcpConnection browser = Connection(A, 50000, "2001:db8::42", 443);
  const struct {
    C connections;
    AddressChange change;
    GuardReason reason;
    const char* expected;
    const char* why;
  } cases[] = {
      {{rdp, browser}, AddressChange::Remove, GuardReason::OpenConnections,
       "2 open connections use 2001:db8::5, one of them a Remote Desktop session from 2001:db8::99. Removing the "
       "address will drop them, and you may lose your own connection to this machine. Remove it anyway?",
       "one of several named, a session that controls the machine"},
      {{rdp, browser}, AddressChange::Replace, GuardReason::OpenConnections,
       "2 open connections use 2001:db8::5, one of them a Remote Desktop session from 2001:db8::99. Replacing the "
       "address will drop them, and you may lose your own connection to this machine. Apply the change anyway?",
       "an Address Properties apply that replaces the address"},
      {{browser}, AddressChange::Remove, GuardReason::OpenConnections,
       "1 open connection uses 2001:db8::5. Removing the address will drop it. Remove it anyway?",
       "one connection on no known port"},
      {{Connection(A, 22, "2001:db8::42")}, AddressChange::Remove, GuardReason::OpenConnections,
       "1 open connection uses 2001:db8::5: an SSH session from 2001:db8::42. Removing the address will drop it, "
       "and you may lose your own connection to this machine. Remove it anyway?",
       "one connection, named"},
      {{browser, browser, browser}, AddressChange::Remove, GuardReason::OpenConnections,
       "3 open connections use 2001:db8::5. Removing the address will drop them. Remove it anyway?",
       "several, none named"},
      {{rdp, Connection(A, 5985, "2001:db8::8"), Connection(A, 5986, "2001:db8::9"),
        Connection(A, 445, "2001:db8::7")},
       AddressChange::Remove, GuardReason::OpenConnections,
       "4 open connections use 2001:db8::5: a Remote Desktop session from 2001:db8::99, 2 Windows Remote "
       "Management sessions and a file sharing connection from 2001:db8::7. Removing the address will drop them, "
       "and you may lose your own connection to this machine. Remove it anyway?",
       "all named, of three kinds; both management ports are one kind"},
      {{Connection(A, 22, "2001:db8::41"), browser, Connection(A, 22, "2001:db8::42")}, AddressChange::Remove,
       GuardReason::OpenConnections,
       "3 open connections use 2001:db8::5, among them 2 SSH sessions. Removing the address will drop them, and "
       "you may lose your own connection to this machine. Remove it anyway?",
       "several named among others"},
      {{Connection(A, 445, "2001:db8::7"), browser}, AddressChange::Remove, GuardReason::OpenConnections,
       "2 open connections use 2001:db8::5, one of them a file sharing connection from 2001:db8::7. Removing the "
       "address will drop them. Remove it anyway?",
       "file sharing controls nothing: no own-connection clause"},
      {{Connection(A, 50001, "2001:db8::99", 3389)}, AddressChange::Remove, GuardReason::OpenConnections,
       "1 open connection uses 2001:db8::5. Removing the address will drop it. Remove it anyway?",
       "this machine as a Remote Desktop client: the local port decides"},
      {{Connection("2001:0DB8:0:0::5", 3389, "2001:db8::99"), Connection("fe80::5%4", 22, "fe80::9%4")},
       AddressChange::Remove, GuardReason::OpenConnections,
       "1 open connection uses 2001:db8::5: a Remote Desktop session from 2001:db8::99. Removing the address will "
       "drop it, and you may lose your own connection to this machine. Remove it anyway?",
       "local address written another way counts; another address does not"},
      {{Connection("2001:db8::6", 3389, "2001:db8::99")}, AddressChange::Remove, GuardReason::None, "",
       "connections on other addresses only"},
      {{}, AddressChange::Remove, GuardReason::None, "", "no connections at all"},
  };
  for (const auto& c : cases) {
    const CGuardVerdict v = CheckOpenConnections(A, {true, c.connections}, c.change);
    EXPECT_EQ(v.m_outcome, c.reason == GuardReason::None ? GuardOutcome::Proceed : GuardOutcome::Warn) << c.why;
    EXPECT_EQ(v.m_reason, c.reason) << c.why;
    EXPECT_EQ(v.m_strText, c.expected) << c.why;
  }
}

TEST(CheckOpenConnections, AnUnreadTableIsNoteNotWarning) {
  const CGuardVerdict v =
      CheckOpenConnections("2001:db8::5", {false, {Connection("2001:db8::5", 3389, "2001:db8::99")}},
                           AddressChange::Remove);
  EXPECT_EQ(v.m_outcome, GuardOutcome::Proceed);
  EXPECT_EQ(v.m_reason, GuardReason::NotChecked);
  EXPECT_EQ(v.m_strText, "Open connections on 2001:db8::5 could not be checked.");
}

CRouteEntry Route(std::uint64_t interfaceId, int prefixLength, const char* nextHop) {
  CRouteEntry route;
  route.m_nInterface = interfaceId;
  route.m_nPrefixLength = prefixLength;
  EXPECT_TRUE(ParseIpv6Bytes(nextHop, route.m_nextHop)) << nextHop;
  return route;
}

TEST(DefaultRouteOf, ADefaultRouteThroughANextHopOnTheInterface) {
  using V = std::vector<CRouteEntry>;
  const std::uint64_t ETHERNET = 0x6000004000000;
  const std::uint64_t LOOPBACK = 0x18000001000000;
  const struct { V routes; DefaultRoute expected; const char* why; } cases[] = {
      {{Route(ETHERNET, 64, "::"), Route(ETHERNET, 0, "fe80::1")}, DefaultRoute::Present, "through a router"},
      {{Route(ETHERNET, 0, "fd00::1")}, DefaultRoute::Present, "through a global next hop"},
      {{Route(ETHERNET, 0, "::")}, DefaultRoute::Absent, "::/0 without a next hop"},
      {{Route(ETHERNET, 1, "fe80::1")}, DefaultRoute::Absent, "half the space is no default route"},
      {{Route(ETHERNET, 64, "fe80::1")}, DefaultRoute::Absent, "a prefix route through a router"},
      {{Route(LOOPBACK, 0, "fe80::1")}, DefaultRoute::Absent, "another interface's default route"},
      {{}, DefaultRoute::Absent, "an empty table"},
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultRouteOf(ETHERNET, c.routes), c.expected) << c.why;
}

CAddressRecord Address(const char* text, const char* state = "Preferred") {
  CAddressRecord record;
  record.m_strAddress = text;
  record.m_strState = state;
  return record;
}

TEST(CheckLastGlobalAddress, OnlyGlobalAddressWithAGateway) {
  using O = GuardOutcome;
  using R = GuardReason;
  using D = DefaultRoute;
  using L = std::vector<CAddressRecord>;
  const CAddressRecord global = Address("2001:db8::5");
  const CAddressRecord linkLocal = Address("fe80::5%4");
  const struct { const char* removed; L addresses; D route; O outcome; R reason; const char* why; } cases[] = {
      {"2001:db8::5", {linkLocal, global}, D::Present, O::Warn, R::LastGlobalAddress, "the only global one"},
      {"2001:db8::5", {linkLocal, global}, D::Absent, O::Proceed, R::None, "no gateway"},
      {"2001:db8::5", {linkLocal, global}, D::Unknown, O::Proceed, R::NotChecked, "gateway unknown on 5.2"},
      {"2001:db8::5", {linkLocal, global}, D::Unreadable, O::Proceed, R::NotChecked, "route table unread"},
      {"2001:db8::5", {global, Address("2001:db8::6")}, D::Present, O::Proceed, R::None, "another global one"},
      {"2001:db8::5", {global, Address("fd00::6")}, D::Present, O::Proceed, R::None, "a unique local one stays"},
      {"2001:db8::5", {global, Address("fec0::6")}, D::Present, O::Proceed, R::None, "a site-local one stays"},
      {"2001:db8::5", {global, Address("2001:db8::6", "Duplicate")}, D::Present, O::Warn, R::LastGlobalAddress,
       "the other one failed duplicate detection"},
      {"2001:db8::5", {global, Address("2001:db8::6", "Invalid")}, D::Present, O::Warn, R::LastGlobalAddress,
       "the other one is invalid"},
      {"2001:db8::5", {global, Address("2001:db8::6", "Deprecated")}, D::Present, O::Proceed, R::None,
       "a deprecated one still works"},
      {"2001:db8::5", {global, Address("2001:db8::6", "Tentative")}, D::Present, O::Proceed, R::None,
       "a tentative one is about to work"},
      {"2001:DB8:0::5", {linkLocal, global}, D::Present, O::Warn, R::LastGlobalAddress,
       "the removed one written another way"},
      {"2001:db8::5", {linkLocal, global, Address("::1")}, D::Present, O::Warn, R::LastGlobalAddress,
       "loopback reaches nothing"},
      {"fd00::2", {linkLocal, Address("fd00::2")}, D::Present, O::Warn, R::LastGlobalAddress, "unique local"},
      {"fe80::5%4", {linkLocal, global}, D::Present, O::Proceed, R::None, "removing a link-local one"},
      {"::1", {Address("::1")}, D::Present, O::Proceed, R::None, "removing loopback"},
  };
  for (const auto& c : cases) {
    const CGuardVerdict v = CheckLastGlobalAddress(c.removed, "Ethernet 2", c.addresses, c.route);
    EXPECT_EQ(v.m_outcome, c.outcome) << c.why;
    EXPECT_EQ(v.m_reason, c.reason) << c.why;
  }
}

TEST(CheckLastGlobalAddress, TextsNameTheAdapter) {
  const std::vector<CAddressRecord> addresses = {Address("fe80::5%4"), Address("2001:db8::5")};
  EXPECT_EQ(CheckLastGlobalAddress("2001:db8::5", "Ethernet 2", addresses, DefaultRoute::Present).m_strText,
            "2001:db8::5 is the only global address of Ethernet 2, which has a default gateway. Without it the "
            "machine will lose IPv6 connectivity on Ethernet 2 beyond the local link. Add another global address "
            "first if the adapter is to stay reachable. Remove it anyway?");
  EXPECT_EQ(CheckLastGlobalAddress("2001:db8::5", "Ethernet 2", addresses, DefaultRoute::Unreadable).m_strText,
            "Whether Ethernet 2 has a default gateway could not be checked.");
}

}  // namespace
}  // namespace vantoric
