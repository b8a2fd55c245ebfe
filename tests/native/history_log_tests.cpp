// The history's log: one JSON object a line, read back into entries of
// earlier runs, damaged lines skipped, moved aside at its size limit.
#include "core/history_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

CHistoryEntry Entry(std::string run, std::string name, NetshOutcome outcome) {
  CHistoryEntry entry;
  entry.m_strRun = std::move(run);
  entry.m_nId = 4;
  entry.m_nTime = 1800000000;
  entry.m_strTime = "2026-12-07 19:04:12";
  entry.m_change.m_kind = ChangeKind::AddRoute;
  entry.m_change.m_strInterface = std::move(name);
  entry.m_change.m_nInterfaceId = 0x0006000001000000ULL;
  entry.m_change.m_strAddress = "::/0";
  entry.m_change.m_strNextHop = "fe80::1";
  entry.m_change.m_strMetric = "10";
  entry.m_change.m_strStore = "active";
  entry.m_strLine = FormatChangeCommand(entry.m_change);
  entry.m_result.m_outcome = outcome;
  entry.m_result.m_nExitCode = outcome == NetshOutcome::NetshFailed ? 1 : 0;
  entry.m_result.m_strOutput = "Element not found.\r\n";
  entry.m_nUndoes = 2;
  return entry;
}

// What the History window shows of an entry, and what Copy needs.
std::string Shown(const CHistoryEntry& e) {
  return e.m_strRun + " | " + std::to_string(e.m_nId) + " | " + e.m_strTime + " | " + e.m_change.m_strInterface +
         " | " + e.m_strLine + " | " + DescribeHistoryOutcome(e.m_result) + " | " + e.m_result.m_strOutput + " | " +
         FormatPowerShellCommand(e.m_change) + (e.m_bFromLog ? " | from the log" : "");
}

TEST(HistoryLog, EarlierRunsReadBackAndDamagedLinesSkipped) {
  const CHistoryEntry failed = Entry("run-1", "R\xC3\xA9seau", NetshOutcome::NetshFailed);
  const CHistoryEntry refused = Entry("run-1", "bad\xFF", NetshOutcome::Refused);
  const std::string line = FormatHistoryLogLine(failed);
  CHistoryEntry expected = failed;
  expected.m_nId = -1;
  expected.m_bFromLog = true;
  const struct {
    std::string text;
    std::string run;
    std::vector<std::string> shown;
    const char* reason;
  } cases[] = {
      {line, "run-2", {Shown(expected)}, "one line, read back as the window shows it"},
      {line, "run-1", {}, "the current run's entries are shown from memory"},
      {"{\"run\":\"run-1\"\n" + line, "run-2", {Shown(expected)}, "a line cut short by a crash is skipped"},
      {"[1,2]\nnot json\n\n" + line, "run-2", {Shown(expected)}, "a line that is no object, and an empty one"},
      {"{\"run\":\"r\",\"time\":\"noon\",\"local\":\"\",\"kind\":\"add dns\",\"outcome\":\"succeeded\","
       "\"line\":\"\",\"interface\":\"x\"}\n",
       "run-2", {}, "a field of another type"},
      {"{\"run\":\"r\",\"time\":1,\"local\":\"\",\"kind\":\"rename\",\"outcome\":\"succeeded\",\"line\":\"\","
       "\"interface\":\"x\"}\n",
       "run-2", {}, "a kind this version does not know"},
      {line.substr(0, line.size() - 1) + "\r\n", "run-2", {Shown(expected)}, "CRLF line ends"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> shown;
    for (const CHistoryEntry& entry : ParseHistoryLog(c.text, c.run)) shown.push_back(Shown(entry));
    EXPECT_EQ(shown, c.shown) << c.reason;
  }
  const std::vector<CHistoryEntry> replaced = ParseHistoryLog(FormatHistoryLogLine(refused), "");
  ASSERT_EQ(replaced.size(), 1u) << "text that is not UTF-8 is written with its bytes spelt out";
  EXPECT_EQ(replaced[0].m_change.m_strInterface, "bad\\xFF");
}

// An entry of a run, with the line its fields give; what the log holds
// when a window recorded it.
CHistoryEntry Recorded(CChange change, NetshOutcome outcome = NetshOutcome::Succeeded,
                       NetshRefusal refusal = NetshRefusal::None) {
  CHistoryEntry entry;
  entry.m_strRun = "run-1";
  entry.m_nId = 1;
  entry.m_nTime = 1800000000;
  entry.m_strLine = FormatChangeCommand(change);
  entry.m_change = std::move(change);
  entry.m_result.m_outcome = outcome;
  entry.m_result.m_refusal = refusal;
  return entry;
}

CChange Address(ChangeKind kind, std::string address, std::string type = "unicast", std::string valid = "infinite",
                std::string store = "persistent") {
  CChange c;
  c.m_kind = kind;
  c.m_strInterface = "Ethernet";
  c.m_strAddress = std::move(address);
  c.m_strType = std::move(type);
  c.m_strValidLifetime = std::move(valid);
  c.m_strPreferredLifetime = "infinite";
  c.m_strStore = std::move(store);
  return c;
}

CChange Dns(std::string server, std::string position) {
  CChange c = Address(ChangeKind::AddDns, std::move(server));
  c.m_strPosition = std::move(position);
  return c;
}

CChange Route(std::string prefix, std::string nextHop, std::string metric) {
  CChange c = Address(ChangeKind::AddRoute, std::move(prefix), "");
  c.m_strNextHop = std::move(nextHop);
  c.m_strMetric = std::move(metric);
  return c;
}

CChange Teredo(SettingState state) {
  CChange c;
  c.m_kind = ChangeKind::System;
  c.m_system.m_setting = SystemSetting::Teredo;
  c.m_system.m_state = state;
  c.m_system.m_stateBefore = SettingState::Default;
  return c;
}

CChange Mtu(std::uint32_t mtu) {
  CChange c;
  c.m_kind = ChangeKind::SetInterface;
  c.m_strInterface = "Ethernet";
  c.m_interface.m_after.m_nMtu = mtu;
  return c;
}

// What Copy, Copy as PowerShell and a saved .ps1 give for the entry once
// it has been logged and read back in a later run.
std::string HandedOutLater(const CHistoryEntry& entry) {
  const std::vector<CHistoryEntry> read = ParseHistoryLog(FormatHistoryLogLine(entry), "run-2");
  if (read.size() != 1) return "(not read)";
  return FormatHistoryLine(read[0], LineForm::Typed) + " | " + FormatHistoryLine(read[0], LineForm::PowerShell) +
         " | " + FormatHistoryLine(read[0], LineForm::PowerShellScript);
}

constexpr char LEFT_OUT[] =
    "rem Entry -1 is left out: its line cannot be run safely. | # Entry -1 is left out: its line cannot be run "
    "safely. | # Entry -1 is left out: its line cannot be run safely.";

TEST(HistoryLog, AnEarlierRunsEntryIsHandedOutOnlyWhenItsFieldsCheckOutAndGiveItsLine) {
  // A log line is written by whatever writes the file: its fields and its
  // line are made to agree here, as a forger would make them.
  CHistoryEntry forgedLine = Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5"));
  forgedLine.m_change.m_strAddress = "2001:db8::6";
  CHistoryEntry cleanButRefused = Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5"), NetshOutcome::Refused,
                                           NetshRefusal::QuoteInValue);
  CHistoryEntry oldSystemEntry = Recorded(Teredo(SettingState::Disabled));
  oldSystemEntry.m_change.m_system = CSystemChange{};  // what a log without the settings gives back
  CChange removedRoute = Route("2001:db8:5::/48", "fe80::99", "4294967295");
  removedRoute.m_kind = ChangeKind::DeleteRoute;
  const struct {
    const char* reason;
    CHistoryEntry entry;
    std::string expected;
  } cases[] = {
      {"a sound address change copies as netsh and PowerShell",
       Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5")),
       "netsh interface ipv6 delete address \"Ethernet\" 2001:db8::5 | Remove-NetIPAddress -InterfaceAlias "
       "'Ethernet' -IPAddress 2001:db8::5 -Confirm:$false | Remove-NetIPAddress -InterfaceAlias 'Ethernet' -IPAddress "
       "2001:db8::5 -Confirm:$false"},
      {"an address that is PowerShell code, in the fields and the line alike",
       Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5 -WhatIf:$false; Start-Process calc #")), LEFT_OUT},
      {"an address that netsh's check lets through but PowerShell would run: $(...)",
       Recorded(Address(ChangeKind::DeleteAddress, "$(calc)")), LEFT_OUT},
      {"fields that do not give the logged line", forgedLine, LEFT_OUT},
      {"an entry refused for broken text when it was made",
       Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5\xFF"), NetshOutcome::Refused,
                NetshRefusal::InvalidText),
       LEFT_OUT},
      {"an entry refused when it was made, whose logged line looks clean", cleanButRefused, LEFT_OUT},
      {"a type that is neither unicast nor anycast",
       Recorded(Address(ChangeKind::AddAddress, "2001:db8::5", "multicast")), LEFT_OUT},
      {"a lifetime that is no lifetime text",
       Recorded(Address(ChangeKind::AddAddress, "2001:db8::5", "unicast", "1x")), LEFT_OUT},
      {"a store that is neither active nor persistent",
       Recorded(Address(ChangeKind::AddAddress, "2001:db8::5", "unicast", "infinite", "$env:x")), LEFT_OUT},
      {"a DNS position that is no number", Recorded(Dns("2001:db8::53", "$(calc)")), LEFT_OUT},
      {"a DNS server with a zone", Recorded(Dns("2001:db8::53%4", "1")), LEFT_OUT},
      {"a route's metric that is no number", Recorded(Route("::/0", "fe80::1", "(calc)")), LEFT_OUT},
      {"a route's next hop that is no address", Recorded(Route("::/0", "$(calc)", "")), LEFT_OUT},
      {"a removed route's metric of ten digits, as large as 32 bits hold", Recorded(removedRoute),
       "netsh interface ipv6 delete route 2001:db8:5::/48 \"Ethernet\" fe80::99 | Remove-NetRoute -DestinationPrefix "
       "2001:db8:5::/48 -InterfaceAlias 'Ethernet' -NextHop fe80::99 -Confirm:$false | Remove-NetRoute "
       "-DestinationPrefix 2001:db8:5::/48 -InterfaceAlias 'Ethernet' -NextHop fe80::99 -Confirm:$false"},
      {"Teredo disabled copies to the cmdlet that disables it", Recorded(Teredo(SettingState::Disabled)),
       "netsh interface teredo set state type=disabled | Set-NetTeredoConfiguration -Type Disabled -PolicyStore "
       "PersistentStore | Set-NetTeredoConfiguration -Type Disabled -PolicyStore PersistentStore"},
      {"a system entry of a log that kept no settings", oldSystemEntry, LEFT_OUT},
      {"a state that netsh cannot set", Recorded(Teredo(SettingState::Automatic)), LEFT_OUT},
      {"an MTU of 1400 copies to the cmdlet that sets it", Recorded(Mtu(1400)),
       "netsh interface ipv6 set interface \"Ethernet\" mtu=1400 store=persistent | Set-NetIPInterface "
       "-InterfaceAlias 'Ethernet' -AddressFamily IPv6 -NlMtuBytes 1400 | Set-NetIPInterface -InterfaceAlias "
       "'Ethernet' -AddressFamily IPv6 -NlMtuBytes 1400"},
      {"an MTU below the least that IPv6 allows", Recorded(Mtu(1000)), LEFT_OUT},
      {"one neighbor removed", Recorded(Address(ChangeKind::DeleteNeighbors, "fe80::1")),
       "netsh interface ipv6 delete neighbors \"Ethernet\" fe80::1 | Remove-NetNeighbor -InterfaceAlias 'Ethernet' "
       "-IPAddress fe80::1 -AddressFamily IPv6 -Confirm:$false | Remove-NetNeighbor -InterfaceAlias 'Ethernet' "
       "-IPAddress fe80::1 -AddressFamily IPv6 -Confirm:$false"},
  };
  for (const auto& c : cases) EXPECT_EQ(HandedOutLater(c.entry), c.expected) << c.reason;
}

TEST(HistoryLog, AnEntryRefusedForBrokenTextIsLoggedWithItsRefusalNotARepairedLine) {
  const CHistoryEntry refused = Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5"), NetshOutcome::Refused,
                                         NetshRefusal::InvalidText);
  CHistoryEntry broken = refused;
  broken.m_strLine = "interface ipv6 delete address \"Eth\xC0\" 2001:db8::5";
  const std::string line = FormatHistoryLogLine(broken);
  EXPECT_EQ(line.find("\xEF\xBF\xBD"), std::string::npos) << "no replacement character: " << line;
  EXPECT_NE(line.find("\"refusal\":\"invalid text\""), std::string::npos) << line;
  const std::vector<CHistoryEntry> read = ParseHistoryLog(line, "run-2");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].m_strLine, "interface ipv6 delete address \"Eth\\xC0\" 2001:db8::5") << "the bytes spelt out";
  EXPECT_EQ(DescribeHistoryOutcome(read[0].m_result), "Refused: the text is not valid Unicode");
}

// The log line of `entry` with `field` (as the log writes it, "key":value)
// given another value.
std::string WithValue(const CHistoryEntry& entry, const std::string& field, const std::string& value) {
  std::string line = FormatHistoryLogLine(entry);
  const std::size_t at = line.find(field);
  if (at == std::string::npos) return "(no field " + field + ")";
  return line.replace(at, field.size(), field.substr(0, field.find(':') + 1) + value);
}

TEST(HistoryLog, ALineWhoseNumbersDoNotFitIsSkipped) {
  CHistoryEntry plain = Recorded(Address(ChangeKind::DeleteAddress, "2001:db8::5"));
  plain.m_nUndoes = 0;
  const CHistoryEntry teredo = Recorded(Teredo(SettingState::Disabled));
  const CHistoryEntry mtu = Recorded(Mtu(1400));
  const struct {
    const char* reason;
    std::string line;
    std::size_t read;
  } cases[] = {
      {"the largest exit code", WithValue(plain, "\"exit_code\":0", "4294967295"), 1},
      {"an exit code past 32 bits", WithValue(plain, "\"exit_code\":0", "4294967296"), 0},
      {"a negative exit code", WithValue(plain, "\"exit_code\":0", "-1"), 0},
      {"an exit code as a fraction", WithValue(plain, "\"exit_code\":0", "1.0"), 0},
      {"an exit code beyond every integer", WithValue(plain, "\"exit_code\":0", "1e300"), 0},
      {"the latest time", WithValue(plain, "\"time\":1800000000", "9223372036854775807"), 1},
      {"a time past 64 signed bits", WithValue(plain, "\"time\":1800000000", "9223372036854775808"), 0},
      {"a time as a floating-point number", WithValue(plain, "\"time\":1800000000", "1.8e9"), 0},
      {"the largest interface identity", WithValue(plain, "\"interface_id\":0", "18446744073709551615"), 1},
      {"an interface identity past 64 bits", WithValue(plain, "\"interface_id\":0", "18446744073709551616"), 0},
      {"an undo id past the int range", WithValue(plain, "\"undoes\":0", "2147483648"), 0},
      {"a negative time-out", WithValue(plain, "\"timeout_ms\":0", "-5"), 0},
      {"a precedence past 32 bits", WithValue(teredo, "\"precedence\":0", "4294967296"), 0},
      {"an MTU as a floating-point number", WithValue(mtu, "\"mtu\":1400", "1e10"), 0},
      {"router discovery disabled, the lowest mode", WithValue(mtu, "\"router_discovery\":1", "0"), 1},
      {"a router discovery mode that does not exist", WithValue(mtu, "\"router_discovery\":1", "3"), 0},
      {"a setting word this version does not know", WithValue(teredo, "\"setting\":\"teredo\"", "\"warp\""), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHistoryLog(c.line, "run-2").size(), c.read) << c.reason << ": " << c.line;
}

TEST(HistoryLog, MovedAsideBeforeItPassesOneMegabyte) {
  const struct {
    std::uint64_t size;
    std::size_t adding;
    bool bFull;
    const char* reason;
  } cases[] = {
      {0, 2 * HISTORY_LOG_MAX_BYTES, false, "an empty log takes even a line longer than the limit"},
      {HISTORY_LOG_MAX_BYTES - 10, 10, false, "exactly at the limit"},
      {HISTORY_LOG_MAX_BYTES - 10, 11, true, "one byte past it"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsHistoryLogFull(c.size, c.adding), c.bFull) << c.reason;
}

}  // namespace
}  // namespace vantoric
