// The recording netsh stand-in's grammar held to Microsoft's reference
// ("netsh interface", "Netsh Command Syntax, Contexts, and Formatting"):
// every line layout the program's catalogue builds is taken, and what the
// reference does not document is refused, with netsh's words.
#include <gtest/gtest.h>

#include <string>

#include "tools/netsh_grammar.h"

namespace vantoric::netsh_syntax {
namespace {

const char* FaultName(SyntaxFault fault) {
  switch (fault) {
    case SyntaxFault::None:
      return "accepted";
    case SyntaxFault::UnknownCommand:
      return "unknown command";
    case SyntaxFault::AmbiguousCommand:
      return "ambiguous command";
    case SyntaxFault::NotCovered:
      return "not covered";
    case SyntaxFault::UnknownArgument:
      return "unknown argument";
    case SyntaxFault::RepeatedArgument:
      return "repeated argument";
    case SyntaxFault::MissingArgument:
      return "missing argument";
    case SyntaxFault::BadValue:
      return "bad value";
  }
  return "?";
}

constexpr SyntaxFault OK = SyntaxFault::None;

TEST(NetshGrammar, TakesTheDocumentedLinesAndRefusesTheRest) {
  const struct {
    const char* reason;
    const char* line;
    SyntaxFault fault;
    const char* item;  // the word, tag or value at fault
  } cases[] = {
      // The catalogue's layouts, positional, as the program builds them.
      {"add address",
       "interface ipv6 add address \"Local Area Connection 2\" 2001:db8::1 unicast 1d2h3m4s infinite "
       "persistent",
       OK, ""},
      {"add address, anycast, seconds, active",
       "interface ipv6 add address \"Ethernet\" 2001:db8::2 anycast 86400 3600 active", OK, ""},
      {"set address with its trailing blank",
       "interface ipv6 set address \"Ethernet\" 2001:db8::1 anycast infinite 10m ", OK, ""},
      {"delete address", "interface ipv6 delete address \"Ethernet\" 2001:db8::1", OK, ""},
      {"delete address of a link-local address with its zone", "interface ipv6 delete address \"Ethernet\" fe80::1%4",
       OK, ""},
      {"add dns", "interface ipv6 add dns \"Ethernet\" 2001:4860:4860::8888 1", OK, ""},
      {"delete dns", "interface ipv6 delete dns \"Ethernet\" 2001:4860:4860::8888", OK, ""},
      // The reference's other forms.
      {"add address with a prefix length", "interface ipv6 add address \"Ethernet\" 2001:db8::1/64", OK, ""},
      {"every argument tagged",
       "interface ipv6 add address interface=\"Wi-Fi 2\" address=2001:db8::5 type=unicast "
       "validlifetime=infinite",
       OK, ""},
      {"words shortened, any case", "INT IPV6 ADD ADDR \"Ethernet\" 2001:DB8::1 Anycast INFINITE 1H Active", OK, ""},
      {"an IPv4 tail", "interface ipv6 add dnsservers \"Ethernet\" ::ffff:192.0.2.1 index=2", OK, ""},
      {"add route through a gateway",
       "interface ipv6 add route ::/0 \"Ethernet\" fe80::1 metric=10 "
       "validlifetime=infinite preferredlifetime=infinite store=persistent",
       OK, ""},
      {"add route on the link",
       "interface ipv6 add route 2001:db8:1::/48 \"Ethernet\" validlifetime=1d "
       "preferredlifetime=12h store=active",
       OK, ""},
      {"delete route", "interface ipv6 delete route ::/0 \"Ethernet\" fe80::1", OK, ""},
      {"set interface, documented tags",
       "interface ipv6 set interface \"Ethernet\" forwarding=enabled "
       "advertise=disabled mtu=1400 routerdiscovery=dhcp managedaddress=enabled "
       "otherstateful=disabled dadtransmits=2 basereachabletime=30000 "
       "store=persistent",
       OK, ""},
      {"flush the neighbor cache", "interface ipv6 delete neighbors \"Ethernet\"", OK, ""},
      {"delete one neighbor", "interface ipv6 delete neighbors \"Ethernet\" 2001:db8::9", OK, ""},
      {"set global", "interface ipv6 set global randomizeidentifiers=disabled store=active", OK, ""},
      {"set privacy", "interface ipv6 set privacy state=enabled store=persistent", OK, ""},
      {"add prefixpolicy", "interface ipv6 add prefixpolicy prefix=fd00::/8 precedence=45 label=13 store=active", OK,
       ""},
      {"set prefixpolicy by position", "interface ipv6 set prefixpolicy ::1/128 50 0", OK, ""},
      {"delete prefixpolicy", "interface ipv6 delete prefixpolicy prefix=fd00::/8 store=persistent", OK, ""},
      {"teredo set state", "interface teredo set state type=enterpriseclient", OK, ""},
      {"set teredo in the ipv6 context", "interface ipv6 set teredo default", OK, ""},
      {"isatap set state", "interface isatap set state state=disabled", OK, ""},
      {"6to4 set state", "interface 6to4 set state state=default", OK, ""},
      {"show addresses, shortened", "interface ipv6 show address", OK, ""},

      // Lines the reference does not document.
      {"set interface's tag is basereachabletime",
       "interface ipv6 set interface \"Ethernet\" basereachable=30000 "
       "store=persistent",
       SyntaxFault::UnknownArgument, "basereachable"},
      {"set interface documents no metric", "interface ipv6 set interface \"Ethernet\" metric=25 store=active",
       SyntaxFault::UnknownArgument, "metric"},
      {"a zone after a route's next hop", "interface ipv6 add route ::/0 \"Ethernet\" fe80::1%12",
       SyntaxFault::BadValue, "fe80::1%12"},
      {"a zone after the next hop of a deleted route", "interface ipv6 delete route ::/0 \"Ethernet\" fe80::1%12",
       SyntaxFault::BadValue, "fe80::1%12"},
      {"a zone after a DNS server", "interface ipv6 add dns \"Ethernet\" fe80::53%4 1", SyntaxFault::BadValue,
       "fe80::53%4"},
      {"a zone after a deleted DNS server", "interface ipv6 delete dns \"Ethernet\" fe80::53%4", SyntaxFault::BadValue,
       "fe80::53%4"},
      {"a zone after a neighbor", "interface ipv6 delete neighbors \"Ethernet\" fe80::9%4", SyntaxFault::BadValue,
       "fe80::9%4"},
      {"unknown command word", "interface ipv6 add adress \"Ethernet\" 2001:db8::1", SyntaxFault::UnknownCommand,
       "adress"},
      {"unknown context", "interfaces ipv6 add address \"Ethernet\" 2001:db8::1", SyntaxFault::UnknownCommand,
       "interfaces"},
      {"a group without its command", "interface ipv6 add", SyntaxFault::UnknownCommand, ""},
      {"pr: prefixpolicy or privacy", "interface ipv6 set pr state=enabled", SyntaxFault::AmbiguousCommand, "pr"},
      {"d: destinationcache or dnsservers", "interface ipv6 delete d \"Ethernet\" 2001:db8::53",
       SyntaxFault::AmbiguousCommand, "d"},
      {"ip: ipv4 or ipv6", "interface ip add address \"Ethernet\" 2001:db8::1", SyntaxFault::AmbiguousCommand, "ip"},
      {"i: interface, ipsec or ipsecdosprotection", "i ipv6 delete dns \"Ethernet\" all", SyntaxFault::AmbiguousCommand,
       "i"},
      {"documented, but not held", "interface ipv6 add neighbors \"Ethernet\" 2001:db8::1 00-11-22-33-44-55",
       SyntaxFault::NotCovered, ""},
      {"a tag given twice", "interface ipv6 add address \"Ethernet\" 2001:db8::1 type=unicast type=anycast",
       SyntaxFault::RepeatedArgument, "type"},
      {"a tag for a parameter given by position",
       "interface ipv6 add address \"Ethernet\" 2001:db8::1 "
       "interface=\"Wi-Fi\"",
       SyntaxFault::RepeatedArgument, "interface"},
      {"more arguments than parameters", "interface ipv6 delete address \"Ethernet\" 2001:db8::1 persistent extra",
       SyntaxFault::UnknownArgument, "extra"},
      {"no address to add", "interface ipv6 add address \"Ethernet\"", SyntaxFault::MissingArgument, "address"},
      {"no DNS server to add", "interface ipv6 add dns \"Ethernet\"", SyntaxFault::MissingArgument, "address"},
      {"prefixpolicy without its label", "interface ipv6 add prefixpolicy fd00::/8 45", SyntaxFault::MissingArgument,
       "label"},
      {"anycasted is no type", "interface ipv6 add address \"Ethernet\" 2001:db8::1 anycasted", SyntaxFault::BadValue,
       "anycasted"},
      {"5x is no lifetime", "interface ipv6 add address \"Ethernet\" 2001:db8::1 unicast 5x", SyntaxFault::BadValue,
       "5x"},
      {"units out of order", "interface ipv6 set address \"Ethernet\" 2001:db8::1 unicast 2h1d", SyntaxFault::BadValue,
       "2h1d"},
      {"a unit without a number", "interface ipv6 set address \"Ethernet\" 2001:db8::1 unicast d",
       SyntaxFault::BadValue, "d"},
      {"DNS index 0", "interface ipv6 add dns \"Ethernet\" 2001:db8::53 0", SyntaxFault::BadValue, "0"},
      {"a command after the address", "interface ipv6 delete address \"Ethernet\" 2001:db8::1&calc.exe",
       SyntaxFault::BadValue, "2001:db8::1&calc.exe"},
      {"a word after the zone", "interface ipv6 delete address \"Ethernet\" fe80::1%4&calc.exe", SyntaxFault::BadValue,
       "fe80::1%4&calc.exe"},
      {"permanent is no store", "interface ipv6 delete address \"Ethernet\" 2001:db8::1 store=permanent",
       SyntaxFault::BadValue, "permanent"},
      {"a route prefix needs its length", "interface ipv6 add route 2001:db8:: \"Ethernet\"", SyntaxFault::BadValue,
       "2001:db8::"},
      {"prefix length over 128", "interface ipv6 delete route 2001:db8::/129 \"Ethernet\"", SyntaxFault::BadValue,
       "2001:db8::/129"},
      {"three colons", "interface ipv6 delete address \"Ethernet\" 2001:::1", SyntaxFault::BadValue, "2001:::1"},
      {"nine groups", "interface ipv6 delete address \"Ethernet\" 1:2:3:4:5:6:7:8:9", SyntaxFault::BadValue,
       "1:2:3:4:5:6:7:8:9"},
      {"an empty value", "interface ipv6 set interface \"Ethernet\" store=", SyntaxFault::BadValue, ""},
      {"currenthoplimit over 255", "interface ipv6 set interface \"Ethernet\" currenthoplimit=256",
       SyntaxFault::BadValue, "256"},
      {"enabled is no Teredo type", "interface teredo set state type=enabled", SyntaxFault::BadValue, "enabled"},
  };
  for (const auto& c : cases) {
    const CSyntaxCheck check = CheckSyntax(c.line);
    EXPECT_STREQ(FaultName(check.m_fault), FaultName(c.fault)) << c.reason << ": " << c.line;
    EXPECT_EQ(check.m_strItem, c.item) << c.reason << ": " << c.line;
  }
}

TEST(NetshGrammar, RefusalsSayWhatNetshSays) {
  const std::string syntax =
      "The syntax supplied for this command is not valid. Check help for the correct syntax.\r\n";
  const struct {
    const char* reason;
    const char* line;
    std::string text;
  } cases[] = {
      {"unknown command: the line as typed", "  interface ipv6 add adress \"Ethernet\" 2001:db8::1 ",
       "The following command was not found: interface ipv6 add adress \"Ethernet\" 2001:db8::1.\r\n"},
      {"unknown tag", "interface ipv6 set interface \"Ethernet\" basereachable=30000",
       "'basereachable' is not a valid argument for this command.\r\n" + syntax},
      {"required parameter left out", "interface ipv6 add dns \"Ethernet\"",
       "One or more essential parameters were not entered.\r\nVerify the required parameters, and reenter them.\r\n" +
           syntax},
      {"value out of form", "interface ipv6 add dns \"Ethernet\" fe80::53%4 1", syntax},
      {"accepted: nothing to say", "interface ipv6 delete dns \"Ethernet\" all", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RefusalText(CheckSyntax(c.line), c.line), c.text) << c.reason;
}

}  // namespace
}  // namespace vantoric::netsh_syntax
