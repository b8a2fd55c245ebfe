// Command lines from arbitrary bytes used as an interface name: an accepted
// line holds no control byte, exactly the two quotes around the name and at
// most 255 characters, and netsh's words, however cut, stay valid text.
// Every line that Copy, Copy as PowerShell or a saved script hands out for
// a change on that adapter is a comment, a fixed line of the script's own,
// or a command whose netsh line passes the check (cmd's escapes undone) or
// whose PowerShell text keeps the name inside its quotes. The same holds
// for entries of an earlier run read back from the log: log lines that
// carry the bytes in a field of a kind of change (with a line that agrees,
// as a forger would write it), and the bytes read as a log.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_history.h"
#include "core/history_log.h"
#include "core/netsh_commands.h"
#include "dialogs/history_dialog_rules.h"

namespace {

using namespace vantoric;

constexpr std::string_view CMD_NETSH = "\"%SystemRoot%\\System32\\netsh.exe\" ";
constexpr std::string_view PS_NETSH = "& \"$env:SystemRoot\\System32\\netsh.exe\" ";
constexpr std::string_view FIXED_LINES[] = {"@echo off", "setlocal DisableDelayedExpansion", "chcp 65001 >nul",
                                            "$ErrorActionPreference = 'Stop'",
                                            "if ($LASTEXITCODE -ne 0) { exit $LASTEXITCODE }"};

// cmd's reading of a script line: %% is %, ^ outside quotes takes the next
// character as it is; anything else that cmd acts on is a failure.
std::string UndoCmdEscapes(std::string_view line) {
  std::string out;
  bool bQuoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') bQuoted = !bQuoted;
    if (c == '%') {
      if (i + 1 >= line.size() || line[i + 1] != '%') std::abort();
      ++i;
    } else if (!bQuoted && c == '^') {
      if (++i >= line.size()) std::abort();
    } else if (!bQuoted && std::string_view("&|<>").find(c) != std::string_view::npos) {
      std::abort();
    }
    out += line[i];
  }
  return out;
}

// A PowerShell line: outside the single quotes only the characters that
// the line's own words use.
void CheckPowerShellLine(std::string_view line) {
  if (line.starts_with(PS_NETSH)) line.remove_prefix(PS_NETSH.size());
  bool bQuoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    const bool bQuote = c == '\'' || (c == 0xE2 && line.substr(i + 1, 1) == "\x80" && i + 2 < line.size() &&
                                       static_cast<unsigned char>(line[i + 2]) >= 0x98 &&
                                       static_cast<unsigned char>(line[i + 2]) <= 0x9B);
    if (bQuote) {
      bQuoted = !bQuoted;
      if (c != '\'') i += 2;
      continue;
    }
    if (bQuoted) continue;
    if (c >= 0x80 || std::string_view(";&|`\"{}<>@#\r\n").find(static_cast<char>(c)) != std::string_view::npos)
      std::abort();
    // A variable or a parenthesized expression is evaluated in an argument:
    // only the lines' own $false and ([TimeSpan]...) stand outside quotes.
    if (c == '$' && line.substr(i, 6) != "$false") std::abort();
    if (c == '(' && line.substr(i, 11) != "([TimeSpan]") std::abort();
  }
  if (bQuoted) std::abort();
}

void CheckHandedOut(std::string_view text, bool bPowerShell) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    if (line.find_first_of("\r\n") != std::string_view::npos) std::abort();
    bool bFixed = line.starts_with("rem ") || line.starts_with("# ");
    for (std::string_view fixed : FIXED_LINES) bFixed = bFixed || line == fixed;
    if (bFixed) continue;
    if (bPowerShell) {
      CheckPowerShellLine(line);
    } else if (line.starts_with("netsh ")) {
      if (CheckNetshLine(line.substr(6)) != NetshRefusal::None) std::abort();
    } else if (line.starts_with(CMD_NETSH) && line.ends_with(" || exit /b")) {
      const std::string_view command = line.substr(CMD_NETSH.size(), line.size() - CMD_NETSH.size() - 11);
      if (CheckNetshLine(UndoCmdEscapes(command)) != NetshRefusal::None) std::abort();
    } else {
      std::abort();
    }
  }
}

// A change of every kind on the adapter `name`, each with its line, as the
// history records them, handed out in every form.
void CheckEveryHandedOutLine(const std::string& name) {
  std::vector<CHistoryEntry> entries;
  for (ChangeKind kind : {ChangeKind::AddAddress, ChangeKind::SetAddress, ChangeKind::DeleteAddress,
                          ChangeKind::AddDns, ChangeKind::DeleteDns, ChangeKind::AddRoute, ChangeKind::DeleteRoute}) {
    CHistoryEntry entry;
    entry.m_nId = static_cast<int>(entries.size()) + 1;
    entry.m_change.m_kind = kind;
    entry.m_change.m_strInterface = name;
    entry.m_change.m_strAddress = kind == ChangeKind::AddRoute || kind == ChangeKind::DeleteRoute ? "::/0" : "2001:db8::1";
    entry.m_change.m_strNextHop = "fe80::1";
    entry.m_change.m_strType = "unicast";
    entry.m_change.m_strValidLifetime = "1d";
    entry.m_change.m_strPreferredLifetime = "infinite";
    entry.m_change.m_strStore = "active";
    entry.m_change.m_strPosition = "1";
    entry.m_strLine = FormatChangeCommand(entry.m_change);
    entries.push_back(entry);
  }
  std::vector<const CHistoryEntry*> all;
  for (const CHistoryEntry& entry : entries) all.push_back(&entry);
  CheckHandedOut(FormatCopiedLines(all, false), false);
  CheckHandedOut(FormatCopiedLines(all, true), true);
  CheckHandedOut(FormatHistoryScript(all, ScriptKind::Cmd, "2026-12-07", "PC"), false);
  CheckHandedOut(FormatHistoryScript(all, ScriptKind::PowerShell, "2026-12-07", "PC"), true);
}

// A sound entry of `kind` on the adapter "Ethernet", as the windows record
// one.
CHistoryEntry SoundEntry(ChangeKind kind) {
  CHistoryEntry entry;
  entry.m_strRun = "run-1";
  entry.m_nId = 1;
  CChange& c = entry.m_change;
  c.m_kind = kind;
  c.m_strInterface = kind == ChangeKind::System ? "" : "Ethernet";
  const bool bRoute = kind == ChangeKind::AddRoute || kind == ChangeKind::DeleteRoute;
  c.m_strAddress = bRoute ? "::/0" : kind == ChangeKind::DeleteNeighbors ? "fe80::2" : "2001:db8::1";
  c.m_strNextHop = bRoute ? "fe80::1" : "";
  c.m_strType = "unicast";
  c.m_strValidLifetime = "1d";
  c.m_strPreferredLifetime = "infinite";
  c.m_strStore = "active";
  c.m_strPosition = "1";
  c.m_strMetric = bRoute ? "10" : "";
  c.m_system.m_setting = SystemSetting::AddressPreference;
  c.m_system.m_state = SettingState::PreferIPv4;
  c.m_system.m_strStore = "persistent";
  c.m_system.m_policy = {"::ffff:0:0/96", 45, 4};
  c.m_interface.m_after.m_nMtu = 1400;
  return entry;
}

// A log line of an entry of the kind and with the field that the first
// byte chooses holding the other bytes, written with the line its fields
// give, read back in a later run and handed out; then the bytes themselves
// read as a log.
void CheckLoggedEntries(std::string_view input) {
  std::vector<CHistoryEntry> read = ParseHistoryLog(input, "run-2");
  if (!input.empty()) {
    constexpr int KINDS = static_cast<int>(ChangeKind::DeleteNeighbors) + 1;
    constexpr std::string CChange::*FIELDS[] = {
        &CChange::m_strInterface,        &CChange::m_strAddress, &CChange::m_strType,
        &CChange::m_strValidLifetime,    &CChange::m_strPreferredLifetime, &CChange::m_strStore,
        &CChange::m_strNextHop,          &CChange::m_strMetric,  &CChange::m_strPosition};
    const auto choice = static_cast<unsigned char>(input[0]);
    CHistoryEntry entry = SoundEntry(static_cast<ChangeKind>(choice % KINDS));
    const std::size_t field = choice / KINDS % (std::size(FIELDS) + 1);
    std::string& value = field < std::size(FIELDS) ? entry.m_change.*FIELDS[field]
                                                   : entry.m_change.m_system.m_policy.m_strPrefix;
    value = std::string(input.substr(1));
    entry.m_strLine = FormatChangeCommand(entry.m_change);
    for (CHistoryEntry& later : ParseHistoryLog(FormatHistoryLogLine(entry), "run-2")) read.push_back(later);
  }
  std::vector<const CHistoryEntry*> all;
  for (const CHistoryEntry& entry : read) all.push_back(&entry);
  CheckHandedOut(FormatCopiedLines(all, false), false);
  CheckHandedOut(FormatCopiedLines(all, true), true);
  CheckHandedOut(FormatHistoryScript(all, ScriptKind::Cmd, "2026-12-07", "PC"), false);
  CheckHandedOut(FormatHistoryScript(all, ScriptKind::PowerShell, "2026-12-07", "PC"), true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantoric;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Repeated, so that short inputs reach the length limit too.
  const std::string name = std::string(input) + std::string(input) + std::string(input);
  CheckEveryHandedOutLine(std::string(input));
  CheckLoggedEntries(input);
  const std::string line = FormatAddDnsCommand(name, "2001:db8::53", "1");
  const NetshRefusal refusal = CheckNetshLine(line);
  // netsh's words, tidied and maybe cut, must stay valid UTF-8 when they were.
  CNetshResult result;
  while (!input.empty() && result.m_strOutput.size() <= 2100) result.m_strOutput += input;
  if (refusal == NetshRefusal::InvalidText) return 0;

  std::size_t chars = 0;
  int quotes = 0;
  for (unsigned char c : line) {
    if ((c & 0xC0) != 0x80) ++chars;
    if (c == '"') ++quotes;
    if (refusal == NetshRefusal::None && (c < 0x20 || c == 0x7F)) std::abort();
  }
  if (refusal == NetshRefusal::None && (quotes != 2 || chars > NETSH_MAX_LINE_CHARS)) std::abort();
  if (refusal == NetshRefusal::LineTooLong && chars <= NETSH_MAX_LINE_CHARS) std::abort();

  // Invalid text is reported before any other refusal, whatever the length.
  result.m_outcome = NetshOutcome::NetshFailed;
  if (CheckNetshLine(DescribeNetshResult(result)) == NetshRefusal::InvalidText) std::abort();
  return 0;
}
