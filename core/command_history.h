// The command history: every command the program ran or refused, with what
// taking it back needs, and the same change as a line a person types, as a
// PowerShell line, or as a script. Portable; the window that shows it is
// dialogs/history_dlg.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/interface_settings.h"
#include "core/netsh_commands.h"

namespace vantoric {

enum class ChangeKind {
  AddAddress,
  SetAddress,
  DeleteAddress,
  AddDns,
  DeleteDns,
  AddRoute,
  DeleteRoute,
  SetInterface,     // interface_history.h
  DeleteNeighbors,  // interface_history.h; m_strAddress empty: every entry
};

// One command's change, in the terms that its line, its translations and its
// undoing need. Texts are as sent to netsh.
struct CChange {
  ChangeKind m_kind = ChangeKind::AddAddress;
  std::string m_strInterface;  // the adapter's friendly name
  std::string m_strAddress;    // the address, DNS server or route's destination prefix
  // Add and set address, add route.
  std::string m_strType;  // "unicast" or "anycast" (addresses only)
  std::string m_strValidLifetime;
  std::string m_strPreferredLifetime;
  std::string m_strStore;  // add address or route: "active" or "persistent"
  // Routes: the next hop ("" for on-link). Add route: the metric sent ("" for
  // the system's choice); delete route: the metric the route had.
  std::string m_strNextHop;
  std::string m_strMetric;
  // Add DNS: the position text sent. Delete DNS: the 1-based position the
  // server had.
  std::string m_strPosition;
  // DNS changes: the adapter's whole server list once the change is made.
  std::vector<std::string> m_dnsServersAfter;

  // Set and delete address, delete route: what the address or route was at
  // the last reading, for taking the change back. m_bHadBefore is false when
  // it was not there (a set then creates the address).
  bool m_bHadBefore = false;
  std::string m_strTypeBefore;
  std::uint32_t m_nValidSecondsBefore = 0xFFFFFFFFu;
  std::uint32_t m_nPreferredSecondsBefore = 0xFFFFFFFFu;
  std::string m_strStoreBefore;  // empty when the store is not known
  std::int64_t m_nReadingTime = 0;  // seconds since 1970 (UTC) of that reading

  // Set interface: the settings read before and the ones sent, and the store.
  CInterfaceChange m_interface;
};

// The netsh line that makes the change (the catalogue's layouts).
std::string FormatChangeCommand(const CChange& change);

// One command the program ran or refused.
struct CHistoryEntry {
  int m_nId = 0;              // given by CCommandHistory::Record, from 1
  std::int64_t m_nTime = 0;   // seconds since 1970 (UTC)
  std::string m_strTime;      // local time as shown
  CChange m_change;
  std::string m_strLine;      // the line, exactly as run or refused
  bool m_bElevated = false;   // the path: elevated through the shell, or the console
  CNetshResult m_result;
  int m_nGroup = 0;           // entries of one group (not 0) are undone together
  int m_nUndoes = 0;          // an undo's entry: the id of the entry it takes back
  bool m_bUndone = false;     // taken back by a later successful undo

  bool Succeeded() const { return m_result.Succeeded(); }
};

// The entries of one program run, oldest first.
class CCommandHistory {
 public:
  // Appends the entry with the next id and returns that id. A change that
  // carries no reading time of its own (0) gets the history's.
  int Record(CHistoryEntry entry);
  const std::vector<CHistoryEntry>& GetEntries() const { return m_entries; }
  // nullptr for an id that is not recorded.
  const CHistoryEntry* Find(int id) const;
  // Marks the entries taken back by a successful undo.
  void MarkUndone(const std::vector<int>& ids);
  // A new group number for commands that belong together (an address
  // replaced in Address Properties: the set of the new one and the delete
  // of the old one).
  int NewGroup() { return ++m_nLastGroup; }
  // The time of the reading that the windows' records come from; a change
  // recorded later takes its "before" lifetimes from it.
  void SetReadingTime(std::int64_t time) { m_nReadingTime = time; }
  std::int64_t GetReadingTime() const { return m_nReadingTime; }

 private:
  std::vector<CHistoryEntry> m_entries;
  int m_nLastGroup = 0;
  std::int64_t m_nReadingTime = 0;
};

// The Outcome column: "Succeeded", "Failed (exit code N)", "Elevation
// declined", "Refused: <reason>", "Timed out", "Not started (error N)".
std::string DescribeHistoryOutcome(const CNetshResult& result);
// "Elevated" or "Console".
std::string DescribeHistoryPath(bool bElevated);

// The line as a person types it: "netsh " and the line without trailing
// blanks.
std::string FormatTypedNetshLine(std::string_view line);

// Text as a PowerShell single-quoted string: 'it''s'.
std::string QuotePowerShell(std::string_view text);
// A lifetime text as a PowerShell [TimeSpan] argument, ([TimeSpan]'1.02:03:04');
// empty for "infinite" (the parameter is then left out).
std::string FormatPowerShellLifetime(std::string_view lifetimeText);
// The NetTCPIP or DnsClient cmdlet line that makes the same change:
// New-NetIPAddress, Set-NetIPAddress, Remove-NetIPAddress -Confirm:$false,
// Set-DnsClientServerAddress with the whole resulting list
// (-ResetServerAddresses when none is left), New-NetRoute, Remove-NetRoute
// -Confirm:$false (-NextHop only for a route through a gateway). An infinite lifetime is left
// out of New-NetIPAddress, whose default it is, but written as
// [TimeSpan]::MaxValue for Set-NetIPAddress, which keeps a lifetime left out.
std::string FormatPowerShellCommand(const CChange& change);

enum class ScriptKind { Cmd, PowerShell };
// The entries, in the order given, as a script: a header comment with the
// date and the machine name, then one line per entry. The .cmd switches the
// console to UTF-8 (chcp 65001) so that names outside ASCII survive and
// escapes what cmd would expand or split (% everywhere, & | < > ^ outside the
// quotes); the .ps1 starts with a UTF-8 byte-order mark, without which
// Windows PowerShell 5 reads it in the ANSI code page. The text is UTF-8 with
// CRLF line ends. An entry whose line holds a line break, a stray quote or
// broken text (never run: netsh's own check refuses it) is written only as a
// comment that names its id, so that it cannot break out of its line.
std::string FormatHistoryScript(const std::vector<const CHistoryEntry*>& entries, ScriptKind kind,
                                std::string_view date, std::string_view machine);

// What Undo does: the changes to run, in order, and the entries they take
// back; or why it cannot (m_strRefusal not empty).
struct CUndoPlan {
  std::vector<CChange> m_changes;
  std::vector<int> m_undoneIds;
  std::string m_strRefusal;
};
// Takes back the newest successful change that is not undone and is not
// itself an undo, with the rest of its group: each entry's inverse, newest
// first. Add address -> delete; delete address -> add with the type,
// lifetimes left (the reading's seconds less the time since) and store it
// had (else the store of an earlier add of it in this history, else
// "persistent"); set address -> set the type and lifetimes left, or delete
// when the set created the address; add DNS -> delete; delete DNS -> add at
// its old position; add route -> delete (same prefix, name and next hop);
// delete route -> add with the metric, lifetimes left and store it had
// (else "persistent"). Each inverse carries the facts that taking it back
// would need in turn (a set back or a delete: the address or route as the
// change left it, as "before"; DNS: the position and the list after).
// Refused when nothing is left to undo, when an adapter is not among
// adapterNames, when what a deleted or changed address or a deleted route
// was is not known, or when its finite valid lifetime has run out by `now`.
CUndoPlan PlanUndo(const CCommandHistory& history, std::int64_t now, const std::vector<std::string>& adapterNames);

}  // namespace vantoric
