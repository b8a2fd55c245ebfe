// The command history: each change's netsh line, the outcome and path
// words, the typed line, the PowerShell translations, the scripts, and the
// plan that takes the newest change back.
#include "core/command_history.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantoric {
namespace {

// The time of the reading the changes' "before" facts come from.
constexpr std::int64_t T0 = 1800000000;
constexpr std::uint32_t INF = 0xFFFFFFFFu;

CChange AddAddress(std::string name, std::string address, std::string type, std::string valid, std::string preferred,
                   std::string store) {
  CChange c;
  c.m_kind = ChangeKind::AddAddress;
  c.m_strInterface = std::move(name);
  c.m_strAddress = std::move(address);
  c.m_strType = std::move(type);
  c.m_strValidLifetime = std::move(valid);
  c.m_strPreferredLifetime = std::move(preferred);
  c.m_strStore = std::move(store);
  return c;
}

CChange SetAddress(std::string name, std::string address, std::string type, std::string valid,
                   std::string preferred) {
  CChange c = AddAddress(std::move(name), std::move(address), std::move(type), std::move(valid),
                         std::move(preferred), "");
  c.m_kind = ChangeKind::SetAddress;
  return c;
}

CChange DeleteAddress(std::string name, std::string address) {
  CChange c;
  c.m_kind = ChangeKind::DeleteAddress;
  c.m_strInterface = std::move(name);
  c.m_strAddress = std::move(address);
  return c;
}

// What the address was at the reading.
CChange WithBefore(CChange c, std::string type, std::uint32_t valid, std::uint32_t preferred, std::string store,
                   std::int64_t readingTime = T0, std::string origin = ORIGIN_MANUAL) {
  c.m_bHadBefore = true;
  c.m_strOriginBefore = std::move(origin);
  c.m_strTypeBefore = std::move(type);
  c.m_nValidSecondsBefore = valid;
  c.m_nPreferredSecondsBefore = preferred;
  c.m_strStoreBefore = std::move(store);
  c.m_nReadingTime = readingTime;
  return c;
}

CChange Dns(ChangeKind kind, std::string name, std::string server, std::string position,
            std::vector<std::string> after) {
  CChange c;
  c.m_kind = kind;
  c.m_strInterface = std::move(name);
  c.m_strAddress = std::move(server);
  c.m_strPosition = std::move(position);
  c.m_dnsServersAfter = std::move(after);
  return c;
}

CChange AddRoute(std::string name, std::string prefix, std::string nextHop, std::string metric, std::string valid,
                 std::string preferred, std::string store) {
  CChange c = AddAddress(std::move(name), std::move(prefix), "", std::move(valid), std::move(preferred),
                         std::move(store));
  c.m_kind = ChangeKind::AddRoute;
  c.m_strNextHop = std::move(nextHop);
  c.m_strMetric = std::move(metric);
  return c;
}

// metric: what the route had.
CChange DeleteRoute(std::string name, std::string prefix, std::string nextHop, std::string metric = "") {
  CChange c = DeleteAddress(std::move(name), std::move(prefix));
  c.m_kind = ChangeKind::DeleteRoute;
  c.m_strNextHop = std::move(nextHop);
  c.m_strMetric = std::move(metric);
  return c;
}

// metricBefore: what the route had.
CChange SetRoute(std::string name, std::string prefix, std::string nextHop, std::string metric, std::string valid,
                 std::string preferred, std::string store, std::string metricBefore = "") {
  CChange c = AddRoute(std::move(name), std::move(prefix), std::move(nextHop), std::move(metric), std::move(valid),
                       std::move(preferred), std::move(store));
  c.m_kind = ChangeKind::SetRoute;
  c.m_strMetricBefore = std::move(metricBefore);
  return c;
}

CHistoryEntry Entry(CChange change, std::int64_t time, NetshOutcome outcome = NetshOutcome::Succeeded,
                    int group = 0, int undoes = 0) {
  CHistoryEntry e;
  e.m_nTime = time;
  e.m_strLine = FormatChangeCommand(change);
  e.m_change = std::move(change);
  e.m_result.m_outcome = outcome;
  e.m_nGroup = group;
  e.m_nUndoes = undoes;
  return e;
}

CHistoryEntry Refused(CChange change, NetshRefusal refusal) {
  CHistoryEntry e = Entry(std::move(change), T0, NetshOutcome::Refused);
  e.m_result.m_refusal = refusal;
  return e;
}

std::string Seconds(std::uint32_t s) { return s == INF ? "inf" : std::to_string(s); }

// A planned change as its line and the facts that its own undo would read.
std::string Facts(const CChange& c) {
  std::string out = FormatChangeCommand(c) + " | ";
  if (c.m_kind == ChangeKind::AddDns || c.m_kind == ChangeKind::DeleteDns) {
    out += "position " + c.m_strPosition + ", after";
    for (const std::string& s : c.m_dnsServersAfter) out += " " + s;
    return out;
  }
  if (!c.m_bHadBefore) return out + "not there before";
  return out + "before " + c.m_strTypeBefore + " " + Seconds(c.m_nValidSecondsBefore) + " " +
         Seconds(c.m_nPreferredSecondsBefore) + " " + (c.m_strStoreBefore.empty() ? "-" : c.m_strStoreBefore) +
         " read " + std::to_string(c.m_nReadingTime - T0) + (c.m_strMetric.empty() ? "" : " metric " + c.m_strMetric);
}

TEST(FormatChangeCommand, EachKindGivesTheCatalogueLine) {
  const std::string name = "Local Area Connection";
  const struct {
    const char* reason;
    CChange change;
    const char* line;
  } cases[] = {
      {"add address: every value in the catalogue's order",
       AddAddress(name, "2001:db8::1", "unicast", "1d", "12h", "active"),
       "interface ipv6 add address \"Local Area Connection\" 2001:db8::1 unicast 1d 12h active"},
      {"set address: keeps the catalogue's trailing blank",
       SetAddress(name, "2001:db8::1", "anycast", "infinite", "10m"),
       "interface ipv6 set address \"Local Area Connection\" 2001:db8::1 anycast infinite 10m "},
      {"delete address: name and address only", DeleteAddress(name, "2001:db8::1"),
       "interface ipv6 delete address \"Local Area Connection\" 2001:db8::1"},
      {"add DNS: the position text is the index",
       Dns(ChangeKind::AddDns, name, "2001:db8::53", "3", {}),
       "interface ipv6 add dns \"Local Area Connection\" 2001:db8::53 3"},
      {"delete DNS: the old position is not part of the line",
       Dns(ChangeKind::DeleteDns, name, "2001:db8::53", "2", {}),
       "interface ipv6 delete dns \"Local Area Connection\" 2001:db8::53"},
      {"add route: the prefix, next hop, metric, lifetimes and store",
       AddRoute(name, "::/0", "fe80::1", "10", "1d", "12h", "active"),
       "interface ipv6 add route ::/0 \"Local Area Connection\" fe80::1 metric=10 validlifetime=1d "
       "preferredlifetime=12h store=active"},
      {"add route on-link with the system's metric",
       AddRoute(name, "2001:db8::/48", "", "", "infinite", "infinite", "persistent"),
       "interface ipv6 add route 2001:db8::/48 \"Local Area Connection\" validlifetime=infinite "
       "preferredlifetime=infinite store=persistent"},
      {"delete route: the metric it had is not part of the line", DeleteRoute(name, "::/0", "fe80::1", "10"),
       "interface ipv6 delete route ::/0 \"Local Area Connection\" fe80::1"},
      {"delete an on-link route", DeleteRoute(name, "2001:db8::/48", ""),
       "interface ipv6 delete route 2001:db8::/48 \"Local Area Connection\""},
      {"set route: the route by prefix, name and next hop, then metric, lifetimes and store",
       SetRoute(name, "::/0", "fe80::1", "10", "1d", "12h", "persistent", "256"),
       "interface ipv6 set route ::/0 \"Local Area Connection\" fe80::1 metric=10 validlifetime=1d "
       "preferredlifetime=12h store=persistent"},
      {"set an on-link route, its metric kept", SetRoute(name, "2001:db8::/48", "", "", "infinite", "1h", "active"),
       "interface ipv6 set route 2001:db8::/48 \"Local Area Connection\" validlifetime=infinite "
       "preferredlifetime=1h store=active"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatChangeCommand(c.change), c.line) << c.reason;
}

CNetshResult Result(NetshOutcome outcome, NetshRefusal refusal = NetshRefusal::None) {
  CNetshResult r;
  r.m_outcome = outcome;
  r.m_refusal = refusal;
  r.m_nExitCode = 1;
  r.m_nSystemError = 2;
  r.m_nTimeoutMs = 30000;
  return r;
}

TEST(DescribeHistoryOutcome, EachOutcomeAndRefusalInPlainWords) {
  CNetshResult bigExit = Result(NetshOutcome::NetshFailed);
  bigExit.m_nExitCode = 0xFFFFFFFFu;
  CNetshResult worded = Result(NetshOutcome::LaunchFailed);
  worded.m_strSystemText = "The system cannot find the file specified.";
  const struct {
    const char* reason;
    CNetshResult result;
    const char* text;
  } cases[] = {
      {"success", Result(NetshOutcome::Succeeded), "Succeeded"},
      {"netsh's exit code is given", Result(NetshOutcome::NetshFailed), "Failed (exit code 1)"},
      {"an exit code beyond the int range is given unsigned", bigExit, "Failed (exit code 4294967295)"},
      {"the administrator prompt was declined", Result(NetshOutcome::ElevationRefused), "Elevation declined"},
      {"the time-out leaves the outcome open", Result(NetshOutcome::TimedOut), "Timed out"},
      {"the system error of the launch is given", Result(NetshOutcome::LaunchFailed), "Not started (error 2)"},
      {"refused without a known reason", Result(NetshOutcome::Refused), "Refused"},
      {"line too long", Result(NetshOutcome::Refused, NetshRefusal::LineTooLong), "Refused: the line is too long"},
      {"stray quote", Result(NetshOutcome::Refused, NetshRefusal::QuoteInValue),
       "Refused: a value holds a double quote or ends in a backslash"},
      {"line break", Result(NetshOutcome::Refused, NetshRefusal::ControlCharacter),
       "Refused: a value holds a line break or another control character"},
      {"broken UTF-8", Result(NetshOutcome::Refused, NetshRefusal::InvalidText),
       "Refused: the text is not valid Unicode"},
      {"another command running", Result(NetshOutcome::Refused, NetshRefusal::Busy),
       "Refused: another netsh command is still running"},
      {"no system folder", Result(NetshOutcome::Refused, NetshRefusal::NoSystemFolder),
       "Refused: the system folder, where netsh is, is not known"},
      {"a character a prompt acts on", Result(NetshOutcome::Refused, NetshRefusal::ShellCharacter),
       "Refused: a value holds a character that a command prompt acts on"},
      {"a value that splits", Result(NetshOutcome::Refused, NetshRefusal::ExtraArgument),
       "Refused: a value would be split into other netsh arguments"},
      {"the system's words for the launch error follow its number", worded,
       "Not started (error 2): The system cannot find the file specified."},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeHistoryOutcome(c.result), c.text) << c.reason;
}

TEST(DescribeHistoryPath, ElevatedOrConsole) {
  const struct {
    const char* reason;
    bool bElevated;
    const char* text;
  } cases[] = {
      {"launched elevated through the shell", true, "Elevated"},
      {"typed into the console's netsh", false, "Console"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeHistoryPath(c.bElevated), c.text) << c.reason;
}

TEST(FormatTypedNetshLine, NetshBeforeTheLineWithoutTrailingBlanks) {
  const struct {
    const char* reason;
    const char* line;
    const char* typed;
  } cases[] = {
      {"a line without trailing blank", "interface ipv6 delete dns \"lo\" ::1",
       "netsh interface ipv6 delete dns \"lo\" ::1"},
      {"the set line's trailing blank goes", "interface ipv6 set address \"lo\" ::1 unicast 1h 1h ",
       "netsh interface ipv6 set address \"lo\" ::1 unicast 1h 1h"},
      {"several trailing blanks go", "interface ipv6 add dns \"lo\" ::1   ", "netsh interface ipv6 add dns \"lo\" ::1"},
      {"a trailing tab goes", "interface ipv6 add dns \"lo\" ::1\t", "netsh interface ipv6 add dns \"lo\" ::1"},
      {"blanks inside and in the name stay", "interface ipv6 delete dns \"Local  Area \" ::1",
       "netsh interface ipv6 delete dns \"Local  Area \" ::1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTypedNetshLine(c.line), c.typed) << c.reason;
}

TEST(QuotePowerShell, SingleQuotedWithEveryQuoteCharacterDoubled) {
  const struct {
    const char* reason;
    const char* text;
    const char* quoted;
  } cases[] = {
      {"plain", "Ethernet", "'Ethernet'"},
      {"empty", "", "''"},
      {"apostrophe doubled", "Bob's LAN", "'Bob''s LAN'"},
      {"two apostrophes in a row", "''", "''''''"},
      {"U+2018 left single quote doubled", "a\xE2\x80\x98" "b", "'a\xE2\x80\x98\xE2\x80\x98" "b'"},
      {"U+2019 right single quote doubled", "Bob\xE2\x80\x99s", "'Bob\xE2\x80\x99\xE2\x80\x99s'"},
      {"U+201A low single quote doubled", "\xE2\x80\x9A" "x", "'\xE2\x80\x9A\xE2\x80\x9A" "x'"},
      {"U+201B reversed single quote doubled", "x\xE2\x80\x9B", "'x\xE2\x80\x9B\xE2\x80\x9B'"},
      {"U+2017 just below the quotes stays single", "x\xE2\x80\x97", "'x\xE2\x80\x97'"},
      {"U+201C, a double quote, stays single", "x\xE2\x80\x9C", "'x\xE2\x80\x9C'"},
      {"U+2058 shares the last byte only", "x\xE2\x81\x98", "'x\xE2\x81\x98'"},
      {"U+3018 shares the last two bytes only", "x\xE3\x80\x98", "'x\xE3\x80\x98'"},
      {"accented letters pass as UTF-8", "R\xC3\xA9seau local", "'R\xC3\xA9seau local'"},
      {"Han passes as UTF-8", "\xE6\x9C\xAC\xE5\x9C\xB0 2", "'\xE6\x9C\xAC\xE5\x9C\xB0 2'"},
      {"a sequence cut at the end is kept as it is", "x\xE2\x80", "'x\xE2\x80'"},
      {"dollar and backtick are plain in single quotes", "$env:x `n", "'$env:x `n'"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuotePowerShell(c.text), c.quoted) << c.reason;
}

TEST(FormatPowerShellLifetime, TimeSpanInDaysHoursMinutesSeconds) {
  const struct {
    const char* reason;
    const char* lifetime;
    const char* argument;
  } cases[] = {
      {"infinite: the parameter is left out", "infinite", ""},
      {"infinite in capitals", "INFINITE", ""},
      {"infinite in mixed case", "Infinite", ""},
      {"every unit", "1d2h3m4s", "([TimeSpan]'1.02:03:04')"},
      {"seconds beyond a minute carry", "90s", "([TimeSpan]'0.00:01:30')"},
      {"zero", "0s", "([TimeSpan]'0.00:00:00')"},
      {"more than a year stays in days", "400d", "([TimeSpan]'400.00:00:00')"},
      {"minutes alone", "5m", "([TimeSpan]'0.00:05:00')"},
      {"the last second of a day", "23h59m59s", "([TimeSpan]'0.23:59:59')"},
      {"hours beyond a day carry", "25h", "([TimeSpan]'1.01:00:00')"},
      {"the longest finite lifetime", "49710d6h28m14s", "([TimeSpan]'49710.06:28:14')"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPowerShellLifetime(c.lifetime), c.argument) << c.reason;
}

// What each line does; the parameters' names and values and the quoting of
// hostile names are held to the cmdlets' documentation in
// cmdlet_parameters_tests.cpp.
TEST(FormatPowerShellCommand, TheCmdletLineOfEachKind) {
  const std::string netsh = "& \"$env:SystemRoot\\System32\\netsh.exe\" ";
  const struct {
    const char* reason;
    CChange change;
    std::string line;
  } cases[] = {
      {"add: infinite lifetimes and the persistent store are the defaults",
       AddAddress("Local Area Connection", "2001:db8::1", "unicast", "infinite", "INFINITE", "persistent"),
       "New-NetIPAddress -InterfaceAlias 'Local Area Connection' -IPAddress 2001:db8::1 -Type Unicast"},
      {"add: anycast, finite lifetimes, active store",
       AddAddress("Ethernet", "2001:db8::2", "anycast", "1d2h3m4s", "90s", "active"),
       "New-NetIPAddress -InterfaceAlias 'Ethernet' -IPAddress 2001:db8::2 -Type Anycast -ValidLifetime "
       "([TimeSpan]'1.02:03:04') -PreferredLifetime ([TimeSpan]'0.00:01:30') -PolicyStore ActiveStore"},
      {"add: type and store in other letter case, only the preferred lifetime finite",
       AddAddress("Ethernet", "2001:db8::3", "ANYCAST", "infinite", "1h", "Active"),
       "New-NetIPAddress -InterfaceAlias 'Ethernet' -IPAddress 2001:db8::3 -Type Anycast -PreferredLifetime "
       "([TimeSpan]'0.01:00:00') -PolicyStore ActiveStore"},
      {"set keeping the type: -Type is Set-NetIPAddress's filter, left out",
       WithBefore(SetAddress("Ethernet", "2001:db8::7", "anycast", "10m", "5m"), "anycast", INF, INF, ""),
       "Set-NetIPAddress -InterfaceAlias 'Ethernet' -IPAddress 2001:db8::7 -ValidLifetime "
       "([TimeSpan]'0.00:10:00') -PreferredLifetime ([TimeSpan]'0.00:05:00')"},
      {"set keeping the type in other letter case; infinite is written out, a left-out lifetime would stay",
       WithBefore(SetAddress("Ethernet", "2001:db8::7", "unicast", "infinite", "Infinite"), "Unicast", 60, 60, ""),
       "Set-NetIPAddress -InterfaceAlias 'Ethernet' -IPAddress 2001:db8::7 -ValidLifetime "
       "([TimeSpan]::MaxValue) -PreferredLifetime ([TimeSpan]::MaxValue)"},
      {"set changing the type: the same command through the system's netsh",
       WithBefore(SetAddress("Ethernet", "2001:db8::7", "anycast", "10m", "5m"), "unicast", INF, INF, ""),
       netsh + "interface ipv6 set address 'Ethernet' '2001:db8::7' 'anycast' '10m' '5m'"},
      {"set whose type before was not read: through netsh too",
       SetAddress("Ethernet", "2001:db8::7", "unicast", "infinite", "infinite"),
       netsh + "interface ipv6 set address 'Ethernet' '2001:db8::7' 'unicast' 'infinite' 'infinite'"},
      {"delete: a name outside ASCII and a zone", DeleteAddress("R\xC3\xA9seau local", "fe80::1%4"),
       "Remove-NetIPAddress -InterfaceAlias 'R\xC3\xA9seau local' -IPAddress fe80::1%4 -Confirm:$false"},
      {"add DNS: netsh adds the one server at its position on whatever list the machine has",
       Dns(ChangeKind::AddDns, "Ethernet", "2001:db8::53", "1", {"2001:db8::53", "2001:db8::35"}),
       netsh + "interface ipv6 add dns 'Ethernet' '2001:db8::53' '1'"},
      {"delete DNS of the last server: that server alone goes, the IPv4 servers stay",
       Dns(ChangeKind::DeleteDns, "Ethernet", "2001:db8::53", "1", {}),
       netsh + "interface ipv6 delete dns 'Ethernet' '2001:db8::53'"},
      {"add route on-link: infinite lifetimes, the system's metric and the persistent store are the defaults",
       AddRoute("Ethernet", "2001:db8::/48", "", "", "infinite", "Infinite", "persistent"),
       "New-NetRoute -DestinationPrefix 2001:db8::/48 -InterfaceAlias 'Ethernet'"},
      {"add route with every parameter, the next hop's zone dropped",
       AddRoute("Ethernet", "::/0", "fe80::1%4", "10", "1d", "12h", "active"),
       "New-NetRoute -DestinationPrefix ::/0 -InterfaceAlias 'Ethernet' -NextHop fe80::1 -RouteMetric 10 "
       "-ValidLifetime ([TimeSpan]'1.00:00:00') -PreferredLifetime ([TimeSpan]'0.12:00:00') -PolicyStore ActiveStore"},
      {"add route: metric 0 is written, the store in capitals",
       AddRoute("Ethernet", "2001:db8::/48", "", "0", "infinite", "1h", "ACTIVE"),
       "New-NetRoute -DestinationPrefix 2001:db8::/48 -InterfaceAlias 'Ethernet' -RouteMetric 0 -PreferredLifetime "
       "([TimeSpan]'0.01:00:00') -PolicyStore ActiveStore"},
      {"remove an on-link route: -NextHop :: filters out the routes through a gateway",
       DeleteRoute("Ethernet", "2001:db8::/48", "", "5"),
       "Remove-NetRoute -DestinationPrefix 2001:db8::/48 -InterfaceAlias 'Ethernet' -NextHop :: -Confirm:$false"},
      {"remove a route through a gateway, the next hop's zone dropped",
       DeleteRoute("R\xC3\xA9seau", "::/0", "fe80::1%4"),
       "Remove-NetRoute -DestinationPrefix ::/0 -InterfaceAlias 'R\xC3\xA9seau' -NextHop fe80::1 -Confirm:$false"},
      {"a next hop with a zone no command takes: no line", DeleteRoute("Ethernet", "::/0", "2001:db8::1%4"), ""},
      {"a prefix that is no prefix: no line", AddRoute("Ethernet", "::/0; calc", "", "", "infinite", "infinite", ""),
       ""},
      {"set route: infinite is written out, a left-out lifetime would stay as it was",
       SetRoute("Ethernet", "::/0", "fe80::1", "10", "infinite", "Infinite", "persistent"),
       "Set-NetRoute -DestinationPrefix ::/0 -InterfaceAlias 'Ethernet' -NextHop fe80::1 -RouteMetric 10 "
       "-ValidLifetime ([TimeSpan]::MaxValue) -PreferredLifetime ([TimeSpan]::MaxValue)"},
      {"set an on-link route (-NextHop :: chooses it) in the active store, its metric kept",
       SetRoute("Ethernet", "2001:db8::/48", "", "", "1h", "30m", "active"),
       "Set-NetRoute -DestinationPrefix 2001:db8::/48 -InterfaceAlias 'Ethernet' -NextHop :: -ValidLifetime "
       "([TimeSpan]'0.01:00:00') -PreferredLifetime ([TimeSpan]'0.00:30:00') -PolicyStore ActiveStore"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPowerShellCommand(c.change), c.line) << c.reason;
}

const std::string CMD_HEADER =
    "@echo off\r\n"
    "rem Made by Vantoric from its command history\r\n"
    "rem Date: 2026-12-07 19:03\r\n"
    "rem Machine: ADMIN-PC\r\n"
    "setlocal DisableDelayedExpansion\r\n"
    "chcp 65001 >nul\r\n";
const std::string PS_HEADER =
    "\xEF\xBB\xBF# Made by Vantoric from its command history\r\n"
    "# Date: 2026-12-07 19:03\r\n"
    "# Machine: ADMIN-PC\r\n"
    "$ErrorActionPreference = 'Stop'\r\n";
const std::string NETSH = "\"%SystemRoot%\\System32\\netsh.exe\" ";
const std::string STOP = " || exit /b\r\n";

CHistoryEntry WithId(CHistoryEntry e, int id) {
  e.m_nId = id;
  return e;
}

TEST(FormatHistoryScript, HeaderThenOneLinePerEntry) {
  const CHistoryEntry add = WithId(
      Entry(AddAddress("Local Area Connection", "2001:db8::1", "unicast", "infinite", "infinite", "persistent"), T0), 1);
  const CHistoryEntry set = WithId(
      Entry(WithBefore(SetAddress("R\xC3\xA9seau", "2001:db8::2", "anycast", "1d", "12h"), "anycast", INF, INF, ""), T0),
      2);
  const CHistoryEntry zone = WithId(Entry(DeleteAddress("Ethernet", "fe80::1%4"), T0), 3);
  const CHistoryEntry signs =
      WithId(Entry(Dns(ChangeKind::AddDns, "A&B 100%!", "2001:db8::53", "2", {"2001:db8::53"}), T0), 4);
  const CHistoryEntry redirect =
      WithId(Entry(Dns(ChangeKind::AddDns, "Ethernet", "2001:db8::53", "2>x", {"2001:db8::53"}), T0), 8);
  const CHistoryEntry lineBreak =
      WithId(Refused(Dns(ChangeKind::DeleteDns, "Eth\r\nernet", "::1", "1", {}), NetshRefusal::ControlCharacter), 5);
  const CHistoryEntry quotes = WithId(
      Refused(Dns(ChangeKind::DeleteDns, "a\" & calc & \"b", "::1", "1", {}), NetshRefusal::QuoteInValue), 6);
  CChange policy;
  policy.m_kind = ChangeKind::System;
  policy.m_system.m_setting = SystemSetting::AddressPreference;
  policy.m_system.m_policy = {"::ffff:0:0/96", 45, 4};
  policy.m_system.m_strStore = "persistent";
  const CHistoryEntry prefixPolicy = WithId(Entry(policy, T0), 9);
  CChange teredo;
  teredo.m_kind = ChangeKind::System;
  teredo.m_system.m_setting = SystemSetting::Teredo;
  teredo.m_system.m_state = SettingState::Disabled;
  const CHistoryEntry tunnel = WithId(Entry(teredo, T0), 10);
  const CHistoryEntry busy = WithId(Refused(DeleteAddress("Ethernet", "2001:db8::5"), NetshRefusal::Busy), 11);
  const CHistoryEntry split =
      WithId(Refused(DeleteAddress("Ethernet", "2001:db8::5"), NetshRefusal::ExtraArgument), 12);
  const std::string longName(250, 'x');
  const CHistoryEntry tooLong =
      WithId(Refused(Dns(ChangeKind::DeleteDns, longName, "::1", "1", {}), NetshRefusal::LineTooLong), 7);
  const struct {
    const char* reason;
    std::vector<const CHistoryEntry*> entries;
    ScriptKind kind;
    std::string text;
  } cases[] = {
      {"cmd without entries: the header alone, delayed expansion off, no byte-order mark", {}, ScriptKind::Cmd,
       CMD_HEADER},
      {"ps1 without entries: byte-order mark, header, stop at the first error", {}, ScriptKind::PowerShell, PS_HEADER},
      {"cmd: the system's netsh by full path, the lines in the order given, each ending the script on failure",
       {&set, &add},
       ScriptKind::Cmd,
       CMD_HEADER + NETSH + "interface ipv6 set address \"R\xC3\xA9seau\" 2001:db8::2 anycast 1d 12h" + STOP +
           NETSH +
           "interface ipv6 add address \"Local Area Connection\" 2001:db8::1 unicast infinite infinite persistent" +
           STOP},
      {"cmd: a link-local address's interface number is not on the line, which names the interface",
       {&zone},
       ScriptKind::Cmd,
       CMD_HEADER + NETSH + "interface ipv6 delete address \"Ethernet\" fe80::1" + STOP},
      {"cmd: % doubled inside the quotes, & and ! kept there",
       {&signs},
       ScriptKind::Cmd,
       CMD_HEADER + NETSH + "interface ipv6 add dns \"A&B 100%%!\" 2001:db8::53 2" + STOP},
      {"cmd: > outside the quotes is refused by the line check, not escaped",
       {&redirect},
       ScriptKind::Cmd,
       CMD_HEADER + "rem Entry 8 is left out: its line cannot be run safely.\r\n"},
      {"cmd: a line with a line break is left out, named by its id",
       {&lineBreak},
       ScriptKind::Cmd,
       CMD_HEADER + "rem Entry 5 is left out: its line cannot be run safely.\r\n"},
      {"cmd: stray quotes would let & start a second command",
       {&quotes},
       ScriptKind::Cmd,
       CMD_HEADER + "rem Entry 6 is left out: its line cannot be run safely.\r\n"},
      {"cmd: a line the check refuses as too long is not run from a script either",
       {&tooLong},
       ScriptKind::Cmd,
       CMD_HEADER + "rem Entry 7 is left out: its line cannot be run safely.\r\n"},
      {"ps1: one line per entry in the order given; netsh's failure ends the script with its code",
       {&set, &add, &zone, &signs},
       ScriptKind::PowerShell,
       PS_HEADER +
           "Set-NetIPAddress -InterfaceAlias 'R\xC3\xA9seau' -IPAddress 2001:db8::2 -ValidLifetime "
           "([TimeSpan]'1.00:00:00') -PreferredLifetime ([TimeSpan]'0.12:00:00')\r\n"
           "New-NetIPAddress -InterfaceAlias 'Local Area Connection' -IPAddress 2001:db8::1 -Type Unicast\r\n"
           "Remove-NetIPAddress -InterfaceAlias 'Ethernet' -IPAddress fe80::1%4 -Confirm:$false\r\n"
           "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 add dns 'A&B 100%!' '2001:db8::53' '2'\r\n"
           "if ($LASTEXITCODE -ne 0) { exit $LASTEXITCODE }\r\n"},
      {"ps1: a prefix policy runs netsh, so its failure ends the script; a cmdlet's stops it by itself",
       {&prefixPolicy, &tunnel},
       ScriptKind::PowerShell,
       PS_HEADER +
           "& \"$env:SystemRoot\\System32\\netsh.exe\" interface ipv6 set prefixpolicy prefix=::ffff:0:0/96 "
           "precedence=45 label=4 store=persistent\r\n"
           "if ($LASTEXITCODE -ne 0) { exit $LASTEXITCODE }\r\n"
           "Set-NetTeredoConfiguration -Type Disabled -PolicyStore PersistentStore\r\n"},
      {"cmd: a command refused only because another was running has a sound line; one the check refused has not",
       {&busy, &split},
       ScriptKind::Cmd,
       CMD_HEADER + NETSH + "interface ipv6 delete address \"Ethernet\" 2001:db8::5" + STOP +
           "rem Entry 12 is left out: its line cannot be run safely.\r\n"},
      {"ps1: a line with a line break is left out, named by its id",
       {&lineBreak},
       ScriptKind::PowerShell,
       PS_HEADER + "# Entry 5 is left out: its line cannot be run safely.\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatHistoryScript(c.entries, c.kind, "2026-12-07 19:03", "ADMIN-PC"), c.text) << c.reason;
}

TEST(CommandHistoryRecord, IdsFromOneAndTheReadingTimeOfChangesWithoutTheirOwn) {
  CCommandHistory history;
  history.SetReadingTime(T0);
  const struct {
    const char* reason;
    std::int64_t ownReadingTime;
    std::int64_t readingTime;
  } cases[] = {
      {"no reading time of its own: the history's", 0, T0},
      {"its own reading time is kept", T0 + 5, T0 + 5},
  };
  int expectedId = 0;
  for (const auto& c : cases) {
    CChange change = DeleteAddress("Ethernet", "2001:db8::1");
    change.m_nReadingTime = c.ownReadingTime;
    const int id = history.Record(Entry(change, T0));
    EXPECT_EQ(id, ++expectedId) << c.reason;
    const CHistoryEntry* entry = history.Find(id);
    ASSERT_NE(entry, nullptr) << c.reason;
    EXPECT_EQ(entry->m_nId, id) << c.reason;
    EXPECT_EQ(entry->m_change.m_nReadingTime, c.readingTime) << c.reason;
  }
  EXPECT_EQ(history.Find(expectedId + 1), nullptr) << "an id not recorded";
}

TEST(PlanUndo, TakesBackTheNewestChangeOrSaysWhyNot) {
  const std::vector<CAdapterIdentity> adapters = {{"Ethernet", 0}, {"Wi-Fi", 0}};
  const std::string none = "There is no change left to undo.";
  const CChange addA = AddAddress("Ethernet", "2001:db8::a", "unicast", "infinite", "infinite", "persistent");
  const CChange addB = AddAddress("Ethernet", "2001:db8::b", "unicast", "infinite", "infinite", "persistent");
  const std::string deleteA = "interface ipv6 delete address \"Ethernet\" 2001:db8::a | before unicast inf inf persistent";
  const CChange deleted5 = DeleteAddress("Ethernet", "2001:db8::5");
  const CChange set7 = SetAddress("Ethernet", "2001:db8::7", "anycast", "1d", "12h");
  const CChange dnsAdd = Dns(ChangeKind::AddDns, "Ethernet", "2001:db8::53", "2",
                             {"2001:db8::35", "2001:db8::53", "2001:db8::99"});
  const struct {
    const char* reason;
    std::vector<CHistoryEntry> entries;
    std::vector<int> undoneBefore;  // marked undone before planning
    std::int64_t now;
    std::vector<std::string> changes;  // Facts of each planned change
    std::vector<int> ids;
    std::string refusal;
  } cases[] = {
      {"nothing recorded", {}, {}, T0, {}, {}, none},
      {"only failed or refused commands",
       {Entry(addA, T0, NetshOutcome::NetshFailed), Entry(addA, T0, NetshOutcome::ElevationRefused),
        Entry(addA, T0, NetshOutcome::TimedOut), Entry(addA, T0, NetshOutcome::LaunchFailed),
        Refused(addA, NetshRefusal::Busy)},
       {}, T0, {}, {}, none},
      {"add address -> delete; the delete keeps the added lifetimes left since the add",
       {Entry(AddAddress("Ethernet", "2001:db8::1", "unicast", "1h", "30m", "active"), T0 + 100)}, {}, T0 + 400,
       {"interface ipv6 delete address \"Ethernet\" 2001:db8::1 | before unicast 3300 1500 active read 400"}, {1}, ""},
      {"delete address -> add with type, store and lifetimes less the time since the reading",
       {Entry(WithBefore(deleted5, "anycast", 7200, 3600, "active"), T0 + 50)}, {}, T0 + 600,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 anycast 1h50m0s 50m0s active | not there before"}, {1},
       ""},
      {"delete address: the store an earlier add of this run gave it, whatever the letter case of the address",
       {Entry(AddAddress("Ethernet", "2001:DB8::5", "unicast", "infinite", "infinite", "active"), T0),
        Entry(AddAddress("Wi-Fi", "2001:db8::5", "unicast", "infinite", "infinite", "persistent"), T0),
        Entry(WithBefore(deleted5, "unicast", INF, INF, ""), T0)},
       {1, 2}, T0,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 unicast infinite infinite active | not there before"},
       {3}, ""},
      {"delete address: store not known -> persistent; infinite stays infinite",
       {Entry(WithBefore(deleted5, "unicast", INF, INF, ""), T0)}, {}, T0 + 999999,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 unicast infinite infinite persistent | not there before"},
       {1}, ""},
      {"delete address: a lifetime of more than a year is written exactly",
       {Entry(WithBefore(deleted5, "unicast", 400u * 86400 + 10, 400u * 86400 + 10, ""), T0)}, {}, T0 + 10,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 unicast 400d0h0m0s 400d0h0m0s persistent | not there "
        "before"},
       {1}, ""},
      {"delete address: the valid lifetime ran out exactly now -> refusal",
       {Entry(WithBefore(deleted5, "unicast", 600, 300, ""), T0)}, {}, T0 + 600, {}, {},
       "The address 2001:db8::5 would have expired by now: its valid lifetime has run out since it was removed."},
      {"delete address: one second of valid lifetime left; the preferred one ran out -> 0s",
       {Entry(WithBefore(deleted5, "unicast", 600, 300, ""), T0)}, {}, T0 + 599,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 unicast 1s 0s persistent | not there before"}, {1}, ""},
      {"delete address: infinite valid, preferred ran out -> 0s",
       {Entry(WithBefore(deleted5, "unicast", INF, 60, "persistent"), T0)}, {}, T0 + 61,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 unicast infinite 0s persistent | not there before"}, {1},
       ""},
      {"delete address: a reading later than now (clock set back) takes nothing off",
       {Entry(WithBefore(deleted5, "unicast", 600, 300, "", T0 + 100), T0 + 100)}, {}, T0,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::5 unicast 10m0s 5m0s persistent | not there before"}, {1},
       ""},
      {"delete address whose earlier state is not known -> refusal", {Entry(deleted5, T0)}, {}, T0, {}, {},
       "The address 2001:db8::5 cannot be put back: what it was before is not known."},
      {"set on an existing address -> set back; the set back keeps the set's values as before",
       {Entry(WithBefore(set7, "unicast", 3600, 1800, "active"), T0 + 100)}, {}, T0 + 160,
       {"interface ipv6 set address \"Ethernet\" 2001:db8::7 unicast 57m20s 27m20s  | before anycast 86340 43140 "
        "active read 160"},
       {1}, ""},
      {"set on an existing address whose old type is not known -> unicast",
       {Entry(WithBefore(set7, "", INF, INF, ""), T0)}, {}, T0,
       {"interface ipv6 set address \"Ethernet\" 2001:db8::7 unicast infinite infinite  | before anycast 86400 43200 "
        "- read 0"},
       {1}, ""},
      {"set whose old valid lifetime ran out -> refusal",
       {Entry(WithBefore(set7, "unicast", 100, 50, ""), T0)}, {}, T0 + 100, {}, {},
       "The address 2001:db8::7 would have expired by now: its valid lifetime has run out since it was changed."},
      {"set that created the address -> delete, keeping the created address as before",
       {Entry(SetAddress("Ethernet", "2001:db8::7", "unicast", "infinite", "1h"), T0 + 10)}, {}, T0 + 70,
       {"interface ipv6 delete address \"Ethernet\" 2001:db8::7 | before unicast inf 3540 - read 70"}, {1}, ""},
      {"a replaced address: the old one added back, then the new one deleted; an earlier group stays",
       {Entry(dnsAdd, T0, NetshOutcome::Succeeded, 2),
        Entry(SetAddress("Ethernet", "2001:db8::9", "unicast", "infinite", "infinite"), T0 + 10,
              NetshOutcome::Succeeded, 1),
        Entry(WithBefore(DeleteAddress("Ethernet", "2001:db8::7"), "unicast", INF, INF, "persistent"), T0 + 11,
              NetshOutcome::Succeeded, 1)},
       {}, T0 + 20,
       {"interface ipv6 add address \"Ethernet\" 2001:db8::7 unicast infinite infinite persistent | not there before",
        "interface ipv6 delete address \"Ethernet\" 2001:db8::9 | before unicast inf inf - read 20"},
       {3, 2}, ""},
      {"a replaced address whose delete failed: only the set is taken back",
       {Entry(SetAddress("Ethernet", "2001:db8::9", "unicast", "infinite", "infinite"), T0, NetshOutcome::Succeeded, 1),
        Entry(WithBefore(DeleteAddress("Ethernet", "2001:db8::7"), "unicast", INF, INF, ""), T0,
              NetshOutcome::NetshFailed, 1)},
       {}, T0,
       {"interface ipv6 delete address \"Ethernet\" 2001:db8::9 | before unicast inf inf - read 0"}, {1}, ""},
      {"two changes outside any group: only the newest",
       {Entry(addA, T0), Entry(addB, T0)}, {}, T0,
       {"interface ipv6 delete address \"Ethernet\" 2001:db8::b | before unicast inf inf persistent read 0"}, {2}, ""},
      {"the newest failed: the success before it", {Entry(addA, T0), Refused(addB, NetshRefusal::Busy)}, {}, T0,
       {deleteA + " read 0"}, {1}, ""},
      {"the newest change is already undone: the one before it",
       {Entry(addA, T0), Entry(addB, T0),
        Entry(DeleteAddress("Ethernet", "2001:db8::b"), T0, NetshOutcome::Succeeded, 0, 2)},
       {2}, T0, {deleteA + " read 0"}, {1}, ""},
      {"an undo is never itself undone",
       {Entry(addA, T0), Entry(DeleteAddress("Ethernet", "2001:db8::a"), T0, NetshOutcome::Succeeded, 0, 1)}, {1},
       T0, {}, {}, none},
      {"add DNS -> delete DNS with the position it took and the list without it", {Entry(dnsAdd, T0)}, {}, T0,
       {"interface ipv6 delete dns \"Ethernet\" 2001:db8::53 | position 2, after 2001:db8::35 2001:db8::99"}, {1}, ""},
      {"add DNS beyond the list's end: the position it really took",
       {Entry(Dns(ChangeKind::AddDns, "Ethernet", "2001:db8::53", "9", {"2001:db8::35", "2001:DB8::53"}), T0)}, {}, T0,
       {"interface ipv6 delete dns \"Ethernet\" 2001:db8::53 | position 2, after 2001:db8::35"}, {1}, ""},
      {"add DNS whose list after is not known: the position sent",
       {Entry(Dns(ChangeKind::AddDns, "Ethernet", "2001:db8::53", "3", {}), T0)}, {}, T0,
       {"interface ipv6 delete dns \"Ethernet\" 2001:db8::53 | position 3, after"}, {1}, ""},
      {"delete DNS -> add DNS at its old position, the server back in the list",
       {Entry(Dns(ChangeKind::DeleteDns, "Ethernet", "2001:db8::53", "2", {"2001:db8::35", "2001:db8::99"}), T0)}, {},
       T0,
       {"interface ipv6 add dns \"Ethernet\" 2001:db8::53 2 | position 2, after 2001:db8::35 2001:db8::53 "
        "2001:db8::99"},
       {1}, ""},
      {"delete DNS of the first server",
       {Entry(Dns(ChangeKind::DeleteDns, "Wi-Fi", "2001:db8::53", "1", {"2001:db8::35"}), T0)}, {}, T0,
       {"interface ipv6 add dns \"Wi-Fi\" 2001:db8::53 1 | position 1, after 2001:db8::53 2001:db8::35"}, {1}, ""},
      {"delete DNS at a position beyond the list after: netsh appends",
       {Entry(Dns(ChangeKind::DeleteDns, "Ethernet", "2001:db8::53", "5", {"2001:db8::35"}), T0)}, {}, T0,
       {"interface ipv6 add dns \"Ethernet\" 2001:db8::53 5 | position 5, after 2001:db8::35 2001:db8::53"}, {1}, ""},
      {"delete DNS at position 0: netsh appends",
       {Entry(Dns(ChangeKind::DeleteDns, "Ethernet", "2001:db8::53", "0", {"2001:db8::35"}), T0)}, {}, T0,
       {"interface ipv6 add dns \"Ethernet\" 2001:db8::53 0 | position 0, after 2001:db8::35 2001:db8::53"}, {1}, ""},
      {"add DNS of a server recorded with more than its address: Undo refuses it, as every way in does",
       {Entry(Dns(ChangeKind::AddDns, "Ethernet", "2001:db8::54%1&calc.exe", "2", {}), T0)}, {}, T0, {}, {},
       "\"2001:db8::54%1&calc.exe\" is not a DNS server address: the text from \"%\" on is a zone, which only a "
       "link-local address can have. Give the server's address alone."},
      {"delete DNS of a link-local server with its interface number: put back without it",
       {Entry(Dns(ChangeKind::DeleteDns, "Ethernet", "fe80::53%4", "1", {"2001:db8::35"}), T0)}, {}, T0,
       {"interface ipv6 add dns \"Ethernet\" fe80::53 1 | position 1, after fe80::53 2001:db8::35"}, {1}, ""},
      {"add route -> delete it with the next hop; the delete keeps metric, lifetimes left and store as before",
       {Entry(AddRoute("Ethernet", "::/0", "fe80::1", "10", "1h", "30m", "active"), T0 + 100)}, {}, T0 + 400,
       {"interface ipv6 delete route ::/0 \"Ethernet\" fe80::1 | before  3300 1500 active read 400 metric 10"}, {1},
       ""},
      {"add on-link route -> delete without a next hop",
       {Entry(AddRoute("Wi-Fi", "2001:db8::/48", "", "", "infinite", "infinite", "persistent"), T0)}, {}, T0,
       {"interface ipv6 delete route 2001:db8::/48 \"Wi-Fi\" | before  inf inf persistent read 0"}, {1}, ""},
      {"delete route -> add with its metric, lifetimes less the time since the reading, and store",
       {Entry(WithBefore(DeleteRoute("Ethernet", "::/0", "fe80::1", "20"), "", 7200, 3600, "active"), T0 + 50)}, {},
       T0 + 600,
       {"interface ipv6 add route ::/0 \"Ethernet\" fe80::1 metric=20 validlifetime=1h50m0s "
        "preferredlifetime=50m0s store=active | not there before"},
       {1}, ""},
      {"delete on-link route, metric and store not known -> the system's metric, persistent",
       {Entry(WithBefore(DeleteRoute("Ethernet", "2001:db8::/48", ""), "", INF, INF, ""), T0)}, {}, T0 + 999999,
       {"interface ipv6 add route 2001:db8::/48 \"Ethernet\" validlifetime=infinite preferredlifetime=infinite "
        "store=persistent | not there before"},
       {1}, ""},
      {"delete route: the valid lifetime ran out -> refusal naming the route and its gateway",
       {Entry(WithBefore(DeleteRoute("Ethernet", "::/0", "fe80::1"), "", 600, 300, ""), T0)}, {}, T0 + 600, {}, {},
       "The route ::/0 through fe80::1 would have expired by now: its valid lifetime has run out since it was "
       "removed."},
      {"set route -> set back the metric it had and its lifetimes less the time since the reading",
       {Entry(WithBefore(SetRoute("Ethernet", "::/0", "fe80::1", "10", "infinite", "infinite", "persistent", "20"), "",
                         7200, 3600, "persistent"),
              T0 + 50)},
       {}, T0 + 600,
       {"interface ipv6 set route ::/0 \"Ethernet\" fe80::1 metric=20 validlifetime=1h50m0s "
        "preferredlifetime=50m0s store=persistent | before  inf inf persistent read 600 metric 20"},
       {1}, ""},
      {"delete on-link route whose earlier state is not known -> refusal",
       {Entry(DeleteRoute("Ethernet", "2001:db8::/48", ""), T0)}, {}, T0, {}, {},
       "The route 2001:db8::/48 cannot be put back: what it was before is not known."},
      {"the adapter is gone -> refusal naming it",
       {Entry(AddAddress("Ethernet 9", "2001:db8::1", "unicast", "infinite", "infinite", "persistent"), T0)}, {}, T0,
       {}, {}, "The adapter \"Ethernet 9\" is no longer there."},
  };
  for (const auto& c : cases) {
    CCommandHistory history;
    for (const CHistoryEntry& entry : c.entries) history.Record(entry);
    history.MarkUndone(c.undoneBefore);
    const CUndoPlan plan = PlanUndo(history, c.now, adapters);
    std::vector<std::string> changes;
    for (const CChange& change : plan.m_changes) changes.push_back(Facts(change));
    EXPECT_EQ(changes, c.changes) << c.reason;
    EXPECT_EQ(plan.m_undoneIds, c.ids) << c.reason;
    EXPECT_EQ(plan.m_strRefusal, c.refusal) << c.reason;
  }
}

CChange OnInterface(CChange c, std::uint64_t id) {
  c.m_nInterfaceId = id;
  return c;
}

TEST(PlanUndo, PutsBackOnlyWhatAPersonConfiguredOnTheSameInterface) {
  const CChange deleted = DeleteAddress("Ethernet", "2001:db8::5");
  const CChange route = DeleteRoute("Ethernet", "::/0", "fe80::1", "256");
  const CChange add = OnInterface(AddAddress("Ethernet", "2001:db8::1", "unicast", "infinite", "infinite", "active"), 7);
  const std::vector<CAdapterIdentity> same = {{"Ethernet", 7}, {"Wi-Fi", 8}};
  const std::string wrong = " Undo would act on the wrong adapter; it is not run.";
  const struct {
    const char* reason;
    CChange change;
    std::vector<CAdapterIdentity> adapters;
    std::string refusal;
    std::vector<std::string> notes;
  } cases[] = {
      {"a Temporary (privacy) address is not put back as a manual one",
       WithBefore(deleted, "unicast", 3600, 1800, "", T0, "Temporary"), same,
       "The address 2001:db8::5 cannot be put back: the system configured it (Temporary), not a person. It comes back "
       "from the router or DHCP server by itself.",
       {}},
      {"a router-learned default route is not put back as a manual one",
       WithBefore(route, "", 1800, 1800, "", T0, "Router Advertisement"), same,
       "The route ::/0 through fe80::1 cannot be put back: the system configured it (Router Advertisement), not a "
       "person. It comes back from the router or DHCP server by itself.",
       {}},
      {"an origin that was not read is not guessed", WithBefore(deleted, "unicast", INF, INF, "", T0, ""), same,
       "The address 2001:db8::5 cannot be put back: whether a person or the system configured it is not known.", {}},
      {"a manual address whose store was read: no note", WithBefore(deleted, "unicast", INF, INF, "active"), same, "",
       {}},
      {"a manual address whose store was not read: the confirmation names the store used",
       WithBefore(deleted, "unicast", INF, INF, ""), same, "",
       {"The store that 2001:db8::5 was in is not known: Undo puts it in the persistent store."}},
      {"a manual route whose store was not read", WithBefore(route, "", INF, INF, ""), same, "",
       {"The store that ::/0 was in is not known: Undo puts it in the persistent store."}},
      {"the same interface under its name", add, same, "", {}},
      {"the name now belongs to another interface, the changed one renamed",
       add, {{"Ethernet", 9}, {"LAN", 7}},
       "The adapter the change was made on, then named \"Ethernet\", is now named \"LAN\", and \"Ethernet\" now names "
       "another adapter." + wrong,
       {}},
      {"the name now belongs to another interface, the changed one gone", add, {{"Ethernet", 9}},
       "The adapter the change was made on, then named \"Ethernet\", is no longer there, and \"Ethernet\" now names "
       "another adapter." + wrong,
       {}},
      {"the changed interface renamed, its old name unused", add, {{"LAN", 7}},
       "The adapter the change was made on, then named \"Ethernet\", is now named \"LAN\", and no adapter is named "
       "\"Ethernet\" now." + wrong,
       {}},
      {"neither the name nor the interface is there", add, {{"Wi-Fi", 8}},
       "The adapter \"Ethernet\" is no longer there.", {}},
      {"the identity was not read when the change was made: the name decides",
       OnInterface(add, 0), {{"Ethernet", 9}}, "", {}},
      {"the identity cannot be read now: the name decides", add, {{"Ethernet", 0}}, "", {}},
  };
  for (const auto& c : cases) {
    CCommandHistory history;
    history.Record(Entry(c.change, T0));
    const CUndoPlan plan = PlanUndo(history, T0, c.adapters);
    EXPECT_EQ(plan.m_strRefusal, c.refusal) << c.reason;
    EXPECT_EQ(plan.m_notes, c.notes) << c.reason;
    EXPECT_EQ(plan.m_changes.size(), c.refusal.empty() ? 1u : 0u) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
