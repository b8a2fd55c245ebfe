// The command history: every command the program ran or refused, with what
// taking it back needs, and the same change as a line a person types, as a
// PowerShell line, or as a script. Portable; the window that shows it is
// dialogs/history_dlg.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/interface_settings.h"
#include "core/netsh_commands.h"
#include "core/system_settings.h"

namespace vantoric {

enum class ChangeKind {
  AddAddress,
  SetAddress,
  DeleteAddress,
  AddDns,
  DeleteDns,
  AddRoute,
  DeleteRoute,
  System,
  SetInterface,     // interface_history.h
  DeleteNeighbors,  // interface_history.h; m_strAddress empty: every entry
  SetRoute,         // a route's metric, lifetimes and store (the /apply plan)
};

// One command's change, in the terms that its line, its translations and its
// undoing need. Texts are as sent to netsh.
struct CChange {
  ChangeKind m_kind = ChangeKind::AddAddress;
  std::string m_strInterface;  // the adapter's friendly name
  // The interface's identity (its LUID) when the change was made; 0 when it
  // could not be read.
  std::uint64_t m_nInterfaceId = 0;
  std::string m_strAddress;    // the address, DNS server or route's destination prefix
  // Add and set address, add route.
  std::string m_strType;  // "unicast" or "anycast" (addresses only)
  std::string m_strValidLifetime;
  std::string m_strPreferredLifetime;
  std::string m_strStore;  // add address or route: "active" or "persistent"
  // Routes: the next hop ("" for on-link). Add and set route: the metric sent
  // ("" for the system's choice, or to keep it); delete route: the metric the
  // route had.
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
  std::string m_strMetricBefore;  // set route: the metric the route had
  // Who configured it: ORIGIN_MANUAL for a person, otherwise the kind or
  // origin as the windows name it ("Temporary", "Router Advertisement");
  // empty when not known.
  std::string m_strOriginBefore;
  std::int64_t m_nReadingTime = 0;  // seconds since 1970 (UTC) of that reading

  // System: the system-wide setting's command, with what it was before.
  CSystemChange m_system;
  // Set interface: the settings read before and the ones sent, and the store.
  CInterfaceChange m_interface;
};

// The origin word of an address or route that a person configured.
inline constexpr char ORIGIN_MANUAL[] = "Manual";

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
  std::string m_strRun;       // the run that recorded it (CCommandHistory::GetRun)
  bool m_bFromLog = false;    // an earlier run's, read from the log: shown, never undone
  // From the log: its fields passed the checks that a new entry's pass, and
  // the line rebuilt from them is the logged line (ParseHistoryLog). Only
  // then is it handed out as a command.
  bool m_bLogChecked = false;

  bool Succeeded() const { return m_result.Succeeded(); }
};

// The entries of one program run, oldest first.
class CCommandHistory {
 public:
  // run names this run in the log that outlives it; entries recorded here
  // carry it.
  explicit CCommandHistory(std::string run = {}) : m_strRun(std::move(run)) {}
  const std::string& GetRun() const { return m_strRun; }
  void SetRun(std::string run) { m_strRun = std::move(run); }
  // Appends the entry with the next id and this run's name and returns that
  // id. A change that carries no reading time of its own (0) gets the
  // history's.
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
  std::string m_strRun;
  int m_nLastGroup = 0;
  std::int64_t m_nReadingTime = 0;
};

// The Outcome column: "Succeeded", "Failed (exit code N)", "Elevation
// declined", "Refused: <reason>", "Timed out", "Not started (error N)", the
// last followed by ": " and the system's words for the error when known.
std::string DescribeHistoryOutcome(const CNetshResult& result);
// "Elevated" or "Console".
std::string DescribeHistoryPath(bool bElevated);

// The line as a person types it: "netsh " and the line without trailing
// blanks.
std::string FormatTypedNetshLine(std::string_view line);

// Text as a PowerShell single-quoted string: 'it''s'.
std::string QuotePowerShell(std::string_view text);
// An adapter name as the -InterfaceAlias argument of `cmdlet`, single-quoted.
// Where the cmdlet's page says the parameter accepts wildcard characters
// (and for a cmdlet the program does not know), * ? [ ] and ` are escaped
// with a backtick first, so that the pattern matches that one name only;
// the cmdlets the program writes take a plain name.
std::string QuotePowerShellAlias(std::string_view cmdlet, std::string_view name);
// A lifetime text as a PowerShell [TimeSpan] argument, ([TimeSpan]'1.02:03:04');
// empty for "infinite" (the parameter is then left out).
std::string FormatPowerShellLifetime(std::string_view lifetimeText);
// The PowerShell line that makes the same change: New-NetIPAddress,
// Set-NetIPAddress without -Type (a filter there) when the type stays, else
// the system's netsh with the same set command, Remove-NetIPAddress
// -Confirm:$false, New-NetRoute (-NextHop only for a route through a
// gateway), Set-NetRoute and Remove-NetRoute -NextHop (:: on-link; their
// prefix, alias and next hop choose the route) with Remove-NetRoute's
// -Confirm:$false; a route's next hop without its zone, and no route line
// when its prefix or next hop is not text a command line takes
// (MakeCommandNextHop). A DNS change runs the system's netsh with the same
// command, every value single-quoted: it adds or removes that one server on
// whatever list the machine has (Set-DnsClientServerAddress would replace the
// whole list, and its reset clears the IPv4 servers too). An infinite
// lifetime is left out of New-NetIPAddress, whose default it is, but written
// as [TimeSpan]::MaxValue for Set-NetIPAddress and Set-NetRoute, which keep a
// lifetime left out.
std::string FormatPowerShellCommand(const CChange& change);

// Whether an entry's line may be handed out as a command (copied or saved):
// only when the command-line check passes it, the entry was not refused by
// that check when it was made, and an earlier run's entry read from the log
// was found sound (m_bLogChecked). A line with a line break, a stray quote,
// broken text or too many characters was never run, and outside the program
// it could break out of its own line or quotes; a log line can be written
// by anyone.
bool IsHistoryLineSafe(const CHistoryEntry& entry);
// How an entry is handed out: the netsh line as typed, a line of a .cmd
// script, the PowerShell line (Copy as PowerShell) or a line of a .ps1
// script.
enum class LineForm { Typed, CmdScript, PowerShell, PowerShellScript };
// The entry in that form; for an entry whose line is not safe, a comment
// ("rem ..." or "# ...") that names its id and cannot run.
std::string FormatHistoryLine(const CHistoryEntry& entry, LineForm form);

enum class ScriptKind { Cmd, PowerShell };
// The entries, in the order given, as a script: a header comment with the
// date and the machine name, then one line per entry (FormatHistoryLine).
// The .cmd turns delayed expansion off, switches the console to UTF-8
// (chcp 65001) so that names outside ASCII survive, runs the system's netsh
// by its full path ("%SystemRoot%\System32\netsh.exe": a netsh.exe beside
// the script is never run), escapes what cmd would expand or split (% in the
// line, & | < > ^ outside the quotes) and ends at the first failure with its
// exit code (|| exit /b). The .ps1 starts with a UTF-8 byte-order mark,
// without which Windows PowerShell 5 reads it in the ANSI code page, and
// stops at the first failure ($ErrorActionPreference = 'Stop'; every line
// that calls netsh exits with netsh's code when it fails). The text is UTF-8 with CRLF line ends.
std::string FormatHistoryScript(const std::vector<const CHistoryEntry*>& entries, ScriptKind kind,
                                std::string_view date, std::string_view machine);

// What Undo does: the changes to run, in order, and the entries they take
// back; or why it cannot (m_strRefusal not empty).
struct CUndoPlan {
  std::vector<CChange> m_changes;
  std::vector<int> m_undoneIds;
  std::string m_strRefusal;
  // What the confirmation must say besides the lines: a store Undo chooses
  // because the old one was not known.
  std::vector<std::string> m_notes;
};

// An adapter as a new reading has it: its name and its interface's identity
// (LUID; 0 when it could not be read).
struct CAdapterIdentity {
  std::string m_strName;
  std::uint64_t m_nInterfaceId = 0;
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
// (else "persistent", with a note); set route -> set the metric and
// lifetimes left it had. Only what a person configured is put
// back: an address or route of another origin (or of none known) is
// refused, since the system configures it again by itself. Each inverse carries the facts that taking it back
// would need in turn (a set back or a delete: the address or route as the
// change left it, as "before"; DNS: the position and the list after).
// Refused when nothing is left to undo, when no adapter of `adapters` has
// the change's adapter name, when that name now belongs to another interface
// than the one changed (both identities known), when what a deleted or
// changed address or a deleted route was is not known, or when its finite
// valid lifetime has run out by `now`.
CUndoPlan PlanUndo(const CCommandHistory& history, std::int64_t now, const std::vector<CAdapterIdentity>& adapters);

}  // namespace vantoric
