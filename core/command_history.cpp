#include "core/command_history.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "core/address_guards.h"
#include "core/interface_history.h"
#include "core/lifetime_text.h"
#include "core/route_records.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

constexpr std::string_view CRLF = "\r\n";
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

std::string RefusalWords(NetshRefusal refusal) {
  switch (refusal) {
    case NetshRefusal::LineTooLong:
      return "the line is too long";
    case NetshRefusal::QuoteInValue:
      return "a value holds a double quote or ends in a backslash";
    case NetshRefusal::ControlCharacter:
      return "a value holds a line break or another control character";
    case NetshRefusal::InvalidText:
      return "the text is not valid Unicode";
    case NetshRefusal::Busy:
      return "another netsh command is still running";
    case NetshRefusal::NoSystemFolder:
      return "the system folder, where netsh is, is not known";
    case NetshRefusal::OtherContext:
      return "not a command of the netsh contexts this program uses";
    case NetshRefusal::ShellCharacter:
      return "a value holds a character that a command prompt acts on";
    case NetshRefusal::ExtraArgument:
      return "a value would be split into other netsh arguments";
    case NetshRefusal::None:
      break;
  }
  return {};
}

// The length of the single quote that text starts with, or 0. PowerShell
// reads U+2018 to U+201B as single quotes too; in UTF-8 they are E2 80 98 to
// E2 80 9B.
std::size_t PowerShellQuoteLength(std::string_view text) {
  if (text.starts_with('\'')) return 1;
  if (!text.starts_with("\xE2\x80") || text.size() < 3) return 0;
  const auto third = static_cast<unsigned char>(text[2]);
  return third >= 0x98 && third <= 0x9B ? 3 : 0;
}

// Whether a cmdlet's -InterfaceAlias takes a wildcard pattern, as the
// cmdlet's page (learn.microsoft.com/powershell/module/nettcpip/<cmdlet>,
// under -InterfaceAlias) says in "Accept wildcard characters". Every line
// takes its quoting from here (QuotePowerShellAlias): a pattern has * ? [ ]
// escaped, a plain name is only single-quoted, since a cmdlet that takes no
// pattern would look for the backticks as part of the name.
struct CAliasRule {
  std::string_view m_cmdlet;
  bool m_bPattern;
};
constexpr CAliasRule kAliasRules[] = {
    {"New-NetIPAddress", false},
    {"Set-NetIPAddress", false},
    {"Remove-NetIPAddress", false},
    {"New-NetRoute", false},
    {"Set-NetRoute", false},
    {"Remove-NetRoute", false},
    {"Set-NetIPInterface", false},
    {"Remove-NetNeighbor", false},
};

// The cmdlets' -Type value; netsh's types are unicast and anycast.
std::string_view CmdletTypeWord(std::string_view type) {
  return LowerAscii(type) == "anycast" ? "Anycast" : "Unicast";
}

// A lifetime parameter, or nothing for an infinite lifetime. Left out, a
// lifetime of New-NetIPAddress is infinite, but one of Set-NetIPAddress
// stays as it was, so a set writes the infinite value out.
std::string LifetimeParameter(std::string_view name, std::string_view lifetime, bool bWriteInfinite) {
  std::string value = FormatPowerShellLifetime(lifetime);
  if (value.empty() && bWriteInfinite) value = "([TimeSpan]::MaxValue)";
  if (value.empty()) return {};
  return " -" + std::string(name) + " " + value;
}

std::string LifetimeParameters(const CChange& change, bool bWriteInfinite) {
  return LifetimeParameter("ValidLifetime", change.m_strValidLifetime, bWriteInfinite) +
         LifetimeParameter("PreferredLifetime", change.m_strPreferredLifetime, bWriteInfinite);
}

std::string AddressParameters(std::string_view cmdlet, const CChange& change) {
  return std::string(cmdlet) + " -InterfaceAlias " + QuotePowerShellAlias(cmdlet, change.m_strInterface) +
         " -IPAddress " + change.m_strAddress;
}

// The route's destination, alias and next hop, the next hop without its
// zone; empty when the prefix or the next hop is not text a command line
// takes. Remove-NetRoute's parameters are filters, so it always names the
// next hop (:: on-link): left out, every route to the prefix through a
// gateway would be removed too.
std::string RouteParameters(std::string_view cmdlet, const CChange& change, bool bAlwaysNextHop) {
  std::string nextHop = "::";
  if (!IsPrefixText(change.m_strAddress) ||
      (!change.m_strNextHop.empty() && !MakeCommandNextHop(change.m_strNextHop, nextHop)))
    return {};
  const bool bNextHop = bAlwaysNextHop || !change.m_strNextHop.empty();
  return std::string(cmdlet) + " -DestinationPrefix " + change.m_strAddress + " -InterfaceAlias " +
         QuotePowerShellAlias(cmdlet, change.m_strInterface) + (bNextHop ? " -NextHop " + nextHop : "");
}

std::string StoreParameter(std::string_view store) {
  return LowerAscii(store) == "active" ? " -PolicyStore ActiveStore" : "";
}

// A new or changed route's metric (when sent), lifetimes and store.
std::string RouteValues(const CChange& change, bool bWriteInfinite) {
  return (change.m_strMetric.empty() ? "" : " -RouteMetric " + change.m_strMetric) +
         LifetimeParameters(change, bWriteInfinite) + StoreParameter(change.m_strStore);
}

// cmd expands %...% in a batch file even between double quotes, and outside
// them & | < > ^ would start another command; a netsh line is quoted only
// around the interface name.
std::string EscapeForBatch(std::string_view line) {
  std::string out;
  bool bQuoted = false;
  for (char c : line) {
    if (c == '"') bQuoted = !bQuoted;
    if (c == '%') out += '%';
    if (!bQuoted && std::string_view("&|<>^").find(c) != std::string_view::npos) out += '^';
    out += c;
  }
  return out;
}

// The system's netsh as PowerShell and cmd name it: never found by a search
// that could meet a netsh.exe beside the script first.
constexpr std::string_view POWERSHELL_NETSH = "& \"$env:SystemRoot\\System32\\netsh.exe\"";
constexpr std::string_view CMD_NETSH = "\"%SystemRoot%\\System32\\netsh.exe\" ";

std::string WithoutTrailingBlanks(std::string_view line) {
  const std::size_t end = line.find_last_not_of(" \t");
  return std::string(line.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

// A command as the system's netsh run from PowerShell: the command's words,
// then its values, each single-quoted.
std::string PowerShellNetshCall(std::string_view words, std::initializer_list<std::string_view> values) {
  std::string line = std::string(POWERSHELL_NETSH) + " " + std::string(words);
  for (std::string_view value : values) line += " " + QuotePowerShell(value);
  return line;
}

// A DNS change as netsh run from PowerShell: it adds or removes that one
// server on whatever list the machine has.
std::string PowerShellDnsLine(const CChange& change) {
  if (change.m_kind == ChangeKind::DeleteDns)
    return PowerShellNetshCall("interface ipv6 delete dns", {change.m_strInterface, change.m_strAddress});
  if (change.m_strPosition.empty())
    return PowerShellNetshCall("interface ipv6 add dns", {change.m_strInterface, change.m_strAddress});
  return PowerShellNetshCall("interface ipv6 add dns",
                             {change.m_strInterface, change.m_strAddress, change.m_strPosition});
}

// Set-NetIPAddress takes -Type as a filter only: its page lists it with the
// address and the alias in the Query set, and its InputObject set, which
// names what it sets, has the prefix length, lifetimes and SkipAsSource. A
// set that keeps the type therefore leaves -Type out. One that changes the
// type, or whose type before was not read, runs the system's netsh with
// the same command: removing the address and adding it anew would cut it
// off meanwhile and lose the store it is in, which is not known here.
std::string PowerShellSetAddressLine(const CChange& change) {
  const bool bSameType = change.m_bHadBefore && !change.m_strTypeBefore.empty() &&
                         LowerAscii(change.m_strTypeBefore) == LowerAscii(change.m_strType);
  if (bSameType) return AddressParameters("Set-NetIPAddress", change) + LifetimeParameters(change, true);
  return PowerShellNetshCall("interface ipv6 set address",
                             {change.m_strInterface, change.m_strAddress, change.m_strType,
                              change.m_strValidLifetime, change.m_strPreferredLifetime});
}

std::uint32_t SecondsLeft(std::uint32_t seconds, std::int64_t since, std::int64_t now) {
  if (seconds == INFINITE_LIFETIME) return seconds;
  const std::int64_t elapsed = std::max<std::int64_t>(0, now - since);
  return static_cast<std::uint32_t>(std::max<std::int64_t>(0, std::int64_t{seconds} - elapsed));
}

std::uint32_t LifetimeTextSeconds(std::string_view text) {
  if (IsInfiniteLifetime(text)) return INFINITE_LIFETIME;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(LifetimeToSeconds(text), MAX_FINITE_LIFETIME));
}

// The address as `change` left it, at `now`, as the "before" of the change
// that takes it back, so that this one could be taken back in turn.
void SetBeforeFromChange(CChange& inverse, const CChange& change, std::int64_t changeTime, std::int64_t now) {
  inverse.m_bHadBefore = true;
  inverse.m_strTypeBefore = change.m_strType;
  inverse.m_nValidSecondsBefore = SecondsLeft(LifetimeTextSeconds(change.m_strValidLifetime), changeTime, now);
  inverse.m_nPreferredSecondsBefore =
      SecondsLeft(LifetimeTextSeconds(change.m_strPreferredLifetime), changeTime, now);
  const bool bAdd = change.m_kind == ChangeKind::AddAddress || change.m_kind == ChangeKind::AddRoute;
  inverse.m_strStoreBefore = bAdd ? change.m_strStore : change.m_strStoreBefore;
  // What this program added or created, a person configured.
  inverse.m_strOriginBefore = bAdd || !change.m_bHadBefore ? std::string(ORIGIN_MANUAL) : change.m_strOriginBefore;
  inverse.m_strMetric = change.m_strMetric;
  inverse.m_nReadingTime = now;
}

// The 1-based position of server in servers, as text; "" when not listed.
std::string PositionIn(const std::vector<std::string>& servers, std::string_view server) {
  for (std::size_t i = 0; i < servers.size(); ++i)
    if (IsSameAddress(servers[i], server)) return std::to_string(i + 1);
  return {};
}

// The address back as it was before `change`, with its lifetimes less the
// time since that reading; a refusal when it would have expired by now.
std::string InverseWithBefore(const CChange& change, std::int64_t now, const char* since, CChange& inverse) {
  const bool bRoute = change.m_kind == ChangeKind::DeleteRoute || change.m_kind == ChangeKind::SetRoute;
  const std::string what = bRoute ? "The route " + change.m_strAddress +
                                        (change.m_strNextHop.empty() ? "" : " through " + change.m_strNextHop)
                                  : "The address " + change.m_strAddress;
  if (!change.m_bHadBefore) return what + " cannot be put back: what it was before is not known.";
  const bool bRemoval = change.m_kind == ChangeKind::DeleteRoute || change.m_kind == ChangeKind::DeleteAddress;
  if (bRemoval && change.m_strOriginBefore.empty())
    return what + " cannot be put back: whether a person or the system configured it is not known.";
  if (bRemoval && change.m_strOriginBefore != ORIGIN_MANUAL)
    return what + " cannot be put back: the system configured it (" + change.m_strOriginBefore +
           "), not a person. It comes back from the router or DHCP server by itself.";
  const std::uint32_t valid = SecondsLeft(change.m_nValidSecondsBefore, change.m_nReadingTime, now);
  if (valid == 0)
    return what + " would have expired by now: its valid lifetime has run out since " + since + ".";
  if (!bRoute) inverse.m_strType = change.m_strTypeBefore.empty() ? "unicast" : change.m_strTypeBefore;
  inverse.m_strValidLifetime = FormatExactLifetime(valid);
  inverse.m_strPreferredLifetime =
      FormatExactLifetime(SecondsLeft(change.m_nPreferredSecondsBefore, change.m_nReadingTime, now));
  return {};
}

// An add that puts back what was removed from a store that was not read
// uses the persistent store, and the confirmation says so.
void NoteChosenStore(CChange& inverse, std::vector<std::string>& notes) {
  if (!inverse.m_strStore.empty()) return;
  inverse.m_strStore = "persistent";
  notes.push_back("The store that " + inverse.m_strAddress +
                  " was in is not known: Undo puts it in the persistent store.");
}

// Why the adapter that `change` was made on cannot be told apart from
// another one now; empty when it is there under its name.
std::string CheckIdentity(const CChange& change, const std::vector<CAdapterIdentity>& adapters) {
  const std::string& name = change.m_strInterface;
  const auto byName = std::find_if(adapters.begin(), adapters.end(),
                                   [&](const CAdapterIdentity& a) { return a.m_strName == name; });
  const auto byId = std::find_if(adapters.begin(), adapters.end(), [&](const CAdapterIdentity& a) {
    return change.m_nInterfaceId != 0 && a.m_nInterfaceId == change.m_nInterfaceId;
  });
  const bool bSame = byName != adapters.end() &&
                     (change.m_nInterfaceId == 0 || byName->m_nInterfaceId == 0 ||
                      byName->m_nInterfaceId == change.m_nInterfaceId);
  if (bSame) return {};
  if (byName == adapters.end() && byId == adapters.end())
    return "The adapter \"" + name + "\" is no longer there.";
  const std::string then = byId == adapters.end() ? "The adapter the change was made on, then named \"" + name +
                                                        "\", is no longer there"
                                                  : "The adapter the change was made on, then named \"" + name +
                                                        "\", is now named \"" + byId->m_strName + "\"";
  const std::string now = byName == adapters.end() ? "no adapter is named \"" + name + "\" now"
                                                   : "\"" + name + "\" now names another adapter";
  return then + ", and " + now + ". Undo would act on the wrong adapter; it is not run.";
}

// The store of the address that `entry` deletes, as the newest earlier
// successful add of it in this history put it there; empty when none did.
std::string KnownStore(const std::vector<CHistoryEntry>& entries, const CHistoryEntry& entry) {
  const CChange& change = entry.m_change;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->m_nId < entry.m_nId && it->Succeeded() && it->m_change.m_kind == ChangeKind::AddAddress &&
        it->m_change.m_strInterface == change.m_strInterface &&
        IsSameAddress(it->m_change.m_strAddress, change.m_strAddress))
      return it->m_change.m_strStore;
  }
  return {};
}

// The server a DNS change's undo sends, as any DNS server that enters is
// checked; why there is none when the recorded text is more than an address.
std::string CheckUndoneDnsServer(const CChange& change, CChange& inverse) {
  CDnsServerCheck server = CheckDnsServerText(change.m_strAddress);
  inverse.m_strAddress = std::move(server.m_strServer);
  return server.m_strRefusal;
}

// The change that takes `entry` back at `now`, or why there is none;
// knownStore is the store an earlier add gave a deleted address.
std::string PlanInverse(const CHistoryEntry& entry, std::int64_t now, std::string_view knownStore,
                        CChange& inverse, std::vector<std::string>& notes) {
  const CChange& change = entry.m_change;
  inverse.m_strInterface = change.m_strInterface;
  inverse.m_strAddress = change.m_strAddress;
  inverse.m_nReadingTime = now;
  switch (change.m_kind) {
    case ChangeKind::AddAddress:
      inverse.m_kind = ChangeKind::DeleteAddress;
      SetBeforeFromChange(inverse, change, entry.m_nTime, now);
      return {};
    case ChangeKind::SetAddress:
      if (!change.m_bHadBefore) {
        inverse.m_kind = ChangeKind::DeleteAddress;
        SetBeforeFromChange(inverse, change, entry.m_nTime, now);
        return {};
      }
      inverse.m_kind = ChangeKind::SetAddress;
      SetBeforeFromChange(inverse, change, entry.m_nTime, now);
      return InverseWithBefore(change, now, "it was changed", inverse);
    case ChangeKind::DeleteAddress:
      inverse.m_kind = ChangeKind::AddAddress;
      inverse.m_strStore = !change.m_strStoreBefore.empty() ? change.m_strStoreBefore : std::string(knownStore);
      NoteChosenStore(inverse, notes);
      return InverseWithBefore(change, now, "it was removed", inverse);
    case ChangeKind::AddDns: {
      if (std::string refusal = CheckUndoneDnsServer(change, inverse); !refusal.empty()) return refusal;
      inverse.m_kind = ChangeKind::DeleteDns;
      inverse.m_strPosition = PositionIn(change.m_dnsServersAfter, change.m_strAddress);
      if (inverse.m_strPosition.empty()) inverse.m_strPosition = change.m_strPosition;
      inverse.m_dnsServersAfter = change.m_dnsServersAfter;
      auto& servers = inverse.m_dnsServersAfter;
      const auto found = std::find_if(servers.begin(), servers.end(),
                                      [&](const std::string& s) { return IsSameAddress(s, change.m_strAddress); });
      if (found != servers.end()) servers.erase(found);
      return {};
    }
    case ChangeKind::DeleteDns: {
      if (std::string refusal = CheckUndoneDnsServer(change, inverse); !refusal.empty()) return refusal;
      inverse.m_kind = ChangeKind::AddDns;
      inverse.m_strPosition = change.m_strPosition;
      // Where netsh puts it: at that 1-based position, or last when the
      // position is 0 or beyond the end.
      const CLeadingNumber number = ReadLeadingNumber(change.m_strPosition, INT_MAX);
      const std::size_t position = number.m_bNegative ? 0 : static_cast<std::size_t>(number.m_nMagnitude);
      inverse.m_dnsServersAfter = change.m_dnsServersAfter;
      auto& servers = inverse.m_dnsServersAfter;
      const std::size_t at = position == 0 || position > servers.size() ? servers.size() : position - 1;
      servers.insert(servers.begin() + static_cast<std::ptrdiff_t>(at), inverse.m_strAddress);
      return {};
    }
    case ChangeKind::AddRoute:
      inverse.m_kind = ChangeKind::DeleteRoute;
      inverse.m_strNextHop = change.m_strNextHop;
      SetBeforeFromChange(inverse, change, entry.m_nTime, now);
      return {};
    case ChangeKind::DeleteRoute:
      inverse.m_kind = ChangeKind::AddRoute;
      inverse.m_strNextHop = change.m_strNextHop;
      inverse.m_strMetric = change.m_strMetric;
      inverse.m_strStore = change.m_strStoreBefore;
      NoteChosenStore(inverse, notes);
      return InverseWithBefore(change, now, "it was removed", inverse);
    case ChangeKind::SetRoute:
      inverse.m_kind = ChangeKind::SetRoute;
      inverse.m_strNextHop = change.m_strNextHop;
      inverse.m_strStore = change.m_strStore;
      SetBeforeFromChange(inverse, change, entry.m_nTime, now);
      inverse.m_strMetric = change.m_strMetricBefore;
      inverse.m_strMetricBefore = change.m_strMetric;
      return InverseWithBefore(change, now, "it was changed", inverse);
    case ChangeKind::System:
      inverse.m_kind = ChangeKind::System;
      return PlanSystemInverse(change.m_system, inverse.m_system);
    case ChangeKind::SetInterface:
    case ChangeKind::DeleteNeighbors:
      return PlanInterfaceChangeInverse(change, inverse);
  }
  return {};
}

CUndoPlan Refused(std::string reason) {
  CUndoPlan plan;
  plan.m_strRefusal = std::move(reason);
  return plan;
}

bool CanBeUndone(const CHistoryEntry& entry) {
  return entry.Succeeded() && !entry.m_bUndone && entry.m_nUndoes == 0 && HasUndo(entry.m_change.m_kind);
}

}  // namespace

std::string FormatChangeCommand(const CChange& change) {
  switch (change.m_kind) {
    case ChangeKind::AddAddress:
      return FormatAddAddressCommand(change.m_strInterface, change.m_strAddress, change.m_strType,
                                     change.m_strValidLifetime, change.m_strPreferredLifetime, change.m_strStore);
    case ChangeKind::SetAddress:
      return FormatSetAddressCommand(change.m_strInterface, change.m_strAddress, change.m_strType,
                                     change.m_strValidLifetime, change.m_strPreferredLifetime);
    case ChangeKind::DeleteAddress:
      return FormatDeleteAddressCommand(change.m_strInterface, change.m_strAddress);
    case ChangeKind::AddDns:
      return FormatAddDnsCommand(change.m_strInterface, change.m_strAddress, change.m_strPosition);
    case ChangeKind::DeleteDns:
      return FormatDeleteDnsCommand(change.m_strInterface, change.m_strAddress);
    case ChangeKind::AddRoute:
      return FormatAddRouteCommand(change.m_strInterface,
                                   {change.m_strAddress, change.m_strNextHop, change.m_strMetric,
                                    change.m_strValidLifetime, change.m_strPreferredLifetime, change.m_strStore});
    case ChangeKind::DeleteRoute:
      return FormatDeleteRouteCommand(change.m_strAddress, change.m_strInterface, change.m_strNextHop);
    case ChangeKind::SetRoute:
      return FormatSetRouteCommand(change.m_strInterface,
                                   {change.m_strAddress, change.m_strNextHop, change.m_strMetric,
                                    change.m_strValidLifetime, change.m_strPreferredLifetime, change.m_strStore});
    case ChangeKind::System:
      return FormatSystemCommand(change.m_system);
    case ChangeKind::SetInterface:
    case ChangeKind::DeleteNeighbors:
      return FormatInterfaceChangeCommand(change);
  }
  return {};
}

int CCommandHistory::Record(CHistoryEntry entry) {
  entry.m_nId = static_cast<int>(m_entries.size()) + 1;
  entry.m_strRun = m_strRun;
  if (entry.m_change.m_nReadingTime == 0) entry.m_change.m_nReadingTime = m_nReadingTime;
  m_entries.push_back(std::move(entry));
  return m_entries.back().m_nId;
}

const CHistoryEntry* CCommandHistory::Find(int id) const {
  for (const CHistoryEntry& entry : m_entries)
    if (entry.m_nId == id) return &entry;
  return nullptr;
}

void CCommandHistory::MarkUndone(const std::vector<int>& ids) {
  for (CHistoryEntry& entry : m_entries)
    if (std::find(ids.begin(), ids.end(), entry.m_nId) != ids.end()) entry.m_bUndone = true;
}

std::string DescribeHistoryOutcome(const CNetshResult& result) {
  switch (result.m_outcome) {
    case NetshOutcome::Succeeded:
      return "Succeeded";
    case NetshOutcome::NetshFailed:
      return "Failed (exit code " + std::to_string(result.m_nExitCode) + ")";
    case NetshOutcome::ElevationRefused:
      return "Elevation declined";
    case NetshOutcome::Refused: {
      const std::string words = RefusalWords(result.m_refusal);
      return words.empty() ? "Refused" : "Refused: " + words;
    }
    case NetshOutcome::TimedOut:
      return "Timed out";
    case NetshOutcome::LaunchFailed:
      return "Not started (error " + std::to_string(result.m_nSystemError) + ")" +
             (result.m_strSystemText.empty() ? "" : ": " + result.m_strSystemText);
  }
  return {};
}

std::string DescribeHistoryPath(bool bElevated) { return bElevated ? "Elevated" : "Console"; }

std::string FormatTypedNetshLine(std::string_view line) { return "netsh " + WithoutTrailingBlanks(line); }

std::string QuotePowerShell(std::string_view text) {
  std::string out = "'";
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t quote = PowerShellQuoteLength(rest);
    const std::size_t len = quote != 0 ? quote : 1;
    // A quote character written twice stands for itself.
    if (quote != 0) out.append(rest.substr(0, len));
    out.append(rest.substr(0, len));
    rest.remove_prefix(len);
  }
  return out + "'";
}

std::string QuotePowerShellAlias(std::string_view cmdlet, std::string_view name) {
  const auto rule = std::find_if(std::begin(kAliasRules), std::end(kAliasRules),
                                 [&](const CAliasRule& r) { return r.m_cmdlet == cmdlet; });
  if (rule != std::end(kAliasRules) && !rule->m_bPattern) return QuotePowerShell(name);
  std::string pattern;
  for (char c : name) {
    if (std::string_view("*?[]`").find(c) != std::string_view::npos) pattern += '`';
    pattern += c;
  }
  return QuotePowerShell(pattern);
}

std::string FormatPowerShellLifetime(std::string_view lifetimeText) {
  if (IsInfiniteLifetime(lifetimeText)) return {};
  const std::uint64_t seconds = LifetimeToSeconds(lifetimeText);
  char text[64];
  std::snprintf(text, sizeof text, "([TimeSpan]'%llu.%02u:%02u:%02u')",
                static_cast<unsigned long long>(seconds / 86400), static_cast<unsigned>(seconds / 3600 % 24),
                static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
  return text;
}

std::string FormatPowerShellCommand(const CChange& change) {
  switch (change.m_kind) {
    case ChangeKind::AddAddress:
      return AddressParameters("New-NetIPAddress", change) + " -Type " +
             std::string(CmdletTypeWord(change.m_strType)) + LifetimeParameters(change, false) +
             StoreParameter(change.m_strStore);
    case ChangeKind::SetAddress:
      return PowerShellSetAddressLine(change);
    case ChangeKind::DeleteAddress:
      return AddressParameters("Remove-NetIPAddress", change) + " -Confirm:$false";
    case ChangeKind::AddDns:
    case ChangeKind::DeleteDns:
      return PowerShellDnsLine(change);
    case ChangeKind::AddRoute: {
      const std::string route = RouteParameters("New-NetRoute", change, false);
      return route.empty() ? route : route + RouteValues(change, false);
    }
    case ChangeKind::DeleteRoute: {
      const std::string route = RouteParameters("Remove-NetRoute", change, true);
      return route.empty() ? route : route + " -Confirm:$false";
    }
    // Set-NetRoute (learn.microsoft.com, NetTCPIP module): its prefix, alias
    // and next hop choose the route, like Remove-NetRoute's; a lifetime left
    // out stays as it was.
    case ChangeKind::SetRoute: {
      const std::string route = RouteParameters("Set-NetRoute", change, true);
      return route.empty() ? route : route + RouteValues(change, true);
    }
    case ChangeKind::SetInterface:
    case ChangeKind::DeleteNeighbors:
      return FormatInterfaceChangePowerShell(change);
    case ChangeKind::System:
      return FormatSystemPowerShell(change.m_system);
  }
  return {};
}

bool IsHistoryLineSafe(const CHistoryEntry& entry) {
  // Busy and a missing system folder say nothing against the line itself.
  const NetshRefusal refusal = entry.m_result.m_refusal;
  const bool bRefusedLine = entry.m_result.m_outcome == NetshOutcome::Refused && refusal != NetshRefusal::Busy &&
                            refusal != NetshRefusal::NoSystemFolder;
  if (bRefusedLine || (entry.m_bFromLog && !entry.m_bLogChecked)) return false;
  return CheckNetshLine(entry.m_strLine) == NetshRefusal::None;
}

std::string FormatHistoryLine(const CHistoryEntry& entry, LineForm form) {
  const bool bPowerShell = form == LineForm::PowerShell || form == LineForm::PowerShellScript;
  if (!IsHistoryLineSafe(entry))
    return (bPowerShell ? "# " : "rem ") + ("Entry " + std::to_string(entry.m_nId)) +
           " is left out: its line cannot be run safely.";
  switch (form) {
    case LineForm::Typed:
      return FormatTypedNetshLine(entry.m_strLine);
    case LineForm::CmdScript:
      return std::string(CMD_NETSH) + EscapeForBatch(WithoutTrailingBlanks(entry.m_strLine)) + " || exit /b";
    case LineForm::PowerShell:
      return FormatPowerShellCommand(entry.m_change);
    case LineForm::PowerShellScript: {
      // A native program's failure does not stop the script by itself: a
      // line that calls one (with PowerShell's call operator) checks its
      // exit code, whatever kind of change it makes.
      const std::string line = FormatPowerShellCommand(entry.m_change);
      const bool bNative = line.starts_with("& ");
      return line + (bNative ? std::string(CRLF) + "if ($LASTEXITCODE -ne 0) { exit $LASTEXITCODE }" : std::string());
    }
  }
  return {};
}

std::string FormatHistoryScript(const std::vector<const CHistoryEntry*>& entries, ScriptKind kind,
                                std::string_view date, std::string_view machine) {
  const bool bCmd = kind == ScriptKind::Cmd;
  const std::string comment = bCmd ? "rem " : "# ";
  std::string out = bCmd ? "@echo off" + std::string(CRLF) : std::string(UTF8_BOM);
  for (const std::string& line : {std::string("Made by Vantoric from its command history"),
                                  "Date: " + std::string(date), "Machine: " + std::string(machine)})
    out += comment + (bCmd ? EscapeForBatch(line) : line) + std::string(CRLF);
  // Without UTF-8 as the console's code page, netsh would get names outside
  // ASCII mangled; with delayed expansion on, ! in a name would be expanded.
  if (bCmd)
    out += "setlocal DisableDelayedExpansion" + std::string(CRLF) + "chcp 65001 >nul" + std::string(CRLF);
  else
    out += "$ErrorActionPreference = 'Stop'" + std::string(CRLF);
  for (const CHistoryEntry* entry : entries)
    out += FormatHistoryLine(*entry, bCmd ? LineForm::CmdScript : LineForm::PowerShellScript) + std::string(CRLF);
  return out;
}

CUndoPlan PlanUndo(const CCommandHistory& history, std::int64_t now, const std::vector<CAdapterIdentity>& adapters) {
  const auto& entries = history.GetEntries();
  const auto newest = std::find_if(entries.rbegin(), entries.rend(), CanBeUndone);
  if (newest == entries.rend()) return Refused("There is no change left to undo.");
  CUndoPlan plan;
  for (auto it = newest; it != entries.rend(); ++it) {
    const bool bInGroup = it == newest || (newest->m_nGroup != 0 && it->m_nGroup == newest->m_nGroup);
    if (!bInGroup || !CanBeUndone(*it)) continue;
    std::string refusal;
    if (it->m_change.m_kind != ChangeKind::System) refusal = CheckIdentity(it->m_change, adapters);
    if (!refusal.empty()) return Refused(std::move(refusal));
    CChange inverse;
    inverse.m_nInterfaceId = it->m_change.m_nInterfaceId;
    refusal = PlanInverse(*it, now, KnownStore(entries, *it), inverse, plan.m_notes);
    if (!refusal.empty()) return Refused(std::move(refusal));
    plan.m_changes.push_back(std::move(inverse));
    plan.m_undoneIds.push_back(it->m_nId);
  }
  return plan;
}

}  // namespace vantoric
