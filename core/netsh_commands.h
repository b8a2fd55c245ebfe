// The netsh command catalogue: verbs, the five command-line layouts, the
// checks a line must pass before it is handed to netsh, and the result of a
// run with the texts that tell the user what happened. Portable; running the
// line is in netsh_run_win32.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantoric {

// Indexes of the verb catalogue (4 and 5 are not used).
constexpr int NETSH_PROGRAM = 0;
constexpr int NETSH_ADD_ADDRESS = 1;
constexpr int NETSH_SET_ADDRESS = 2;
constexpr int NETSH_DELETE_ADDRESS = 3;
constexpr int NETSH_ADD_DNS = 6;
constexpr int NETSH_DELETE_DNS = 7;

// The longest command line that is run, in characters. A longer line is
// refused rather than cut: a cut line would act on something else.
constexpr std::size_t NETSH_MAX_LINE_CHARS = 255;

// The verb text of a catalogue index; "" for an index the catalogue lacks.
std::string GetNetshVerb(int index);

// The command lines. The interface name is the adapter's friendly name and
// is enclosed in double quotes; every other value is inserted as given,
// separated by single blanks, except that an address loses the numeric zone
// of a link-local address (NetshAddressValue). The lines are not checked
// here: the run checks them (CheckNetshLine).
std::string FormatAddAddressCommand(std::string_view interfaceName, std::string_view address,
                                    std::string_view type, std::string_view validLifetime,
                                    std::string_view preferredLifetime, std::string_view store);
// Ends with a blank after the preferred lifetime.
std::string FormatSetAddressCommand(std::string_view interfaceName, std::string_view address,
                                    std::string_view type, std::string_view validLifetime,
                                    std::string_view preferredLifetime);
std::string FormatDeleteAddressCommand(std::string_view interfaceName, std::string_view address);
std::string FormatAddDnsCommand(std::string_view interfaceName, std::string_view server,
                                std::string_view index);
std::string FormatDeleteDnsCommand(std::string_view interfaceName, std::string_view server);

// An address as a value of a line that names its interface: a link-local
// address's numeric zone ("fe80::1%4", as the system lists it) is left out,
// since the interface is named already; any other text is kept as it is,
// for the line check to judge.
std::string NetshAddressValue(std::string_view address);

// Why a command line was not run.
enum class NetshRefusal {
  None,
  LineTooLong,       // more than NETSH_MAX_LINE_CHARS characters
  QuoteInValue,      // a double quote besides the pair around the interface name, or
                     // a backslash before a quote (the name's last character)
  ControlCharacter,  // CR, LF or another control character (a CR or LF would
                     // let a second command into an interactive netsh)
  InvalidText,       // not valid UTF-8
  Busy,              // another netsh command is still running
  NoSystemFolder,    // Windows did not tell its system folder, where netsh is
  OtherContext,      // not a command of a netsh context this program uses
  ShellCharacter,    // & | < > ^ or % outside the quotes around the interface name,
                     // which a command prompt would act on when the line is pasted
  ExtraArgument,     // a value with a blank in it, or a blank out of place: netsh
                     // would read more or fewer values than the command takes
};

// Whether a command line is safe to hand to netsh: valid UTF-8 of at most
// NETSH_MAX_LINE_CHARS characters, no control character, no more than the
// two double quotes around the interface name and no backslash before one,
// none of & | < > ^ % outside those quotes, and one of the commands this
// program gives (in any letter case) of the "interface" contexts ipv6,
// teredo, isatap or 6to4, so that nothing else, such as a netsh option that
// runs a script file, is ever handed over. Outside the quotes, values are
// separated by single blanks, and there are as many as the command takes:
// a blank at the start, two in a row, a blank other than U+0020 (such as
// U+00A0 or U+3000) or a value too many is refused. Only the set address
// line may end with a blank (the catalogue's layout).
NetshRefusal CheckNetshLine(std::string_view line);

// Text with each byte that is not part of valid UTF-8 spelt out as \xNN,
// so that text refused as broken is shown and logged as it was, and no
// replacement character turns it into other text.
std::string EscapeInvalidUtf8(std::string_view text);

// What a run of one command line came to.
enum class NetshOutcome {
  Succeeded,         // netsh ended with exit code 0
  Refused,           // not run, see m_refusal; nothing changed
  ElevationRefused,  // the user declined the administrator prompt; nothing changed
  LaunchFailed,      // netsh could not be started or given its line (m_nSystemError)
  TimedOut,          // netsh did not end within m_nTimeoutMs and was ended; the outcome is unknown
  NetshFailed,       // netsh ended with a non-zero exit code (m_nExitCode)
};

// The result of RunNetshCommand. Callers amend their records and show their
// success message only when Succeeded(); on ElevationRefused they show their
// cancel message; on anything else they show DescribeNetshResult and change
// nothing.
struct CNetshResult {
  NetshOutcome m_outcome = NetshOutcome::LaunchFailed;
  NetshRefusal m_refusal = NetshRefusal::None;  // Refused only
  std::uint32_t m_nExitCode = 0;                // Succeeded, NetshFailed
  std::uint32_t m_nSystemError = 0;             // LaunchFailed, ElevationRefused
  // LaunchFailed: the system's words for m_nSystemError; empty when it gave
  // none (the run fills it, so that the portable texts can show it).
  std::string m_strSystemText;
  std::uint32_t m_nTimeoutMs = 0;               // TimedOut
  bool m_bEnded = true;  // TimedOut: false when netsh could not be ended and may still run
  // What netsh printed, as UTF-8, when it could be read (the console path
  // only). Localized and never interpreted: it is shown to the user.
  std::string m_strOutput;

  bool Succeeded() const { return m_outcome == NetshOutcome::Succeeded; }
};

// The message for an outcome other than success, ending with netsh's own
// words when there are any. A launch failure gives the system error's number
// and, when known, the system's words for it. For Succeeded: "netsh finished successfully." with
// the words. A success box shows its own text alone.
std::string DescribeNetshResult(const CNetshResult& result);

}  // namespace vantoric
