#include "core/netsh_commands.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "core/address_guards.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

// netsh's words are shown in a message box; a runaway answer is cut here.
constexpr std::size_t MAX_WORDS_BYTES = 2000;

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out.append(part);
  return out;
}

std::string Quoted(std::string_view name) { return Join({"\"", name, "\""}); }

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when it is
// not a valid, shortest-form encoding of a scalar value.
std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& cp) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  // Sequence length, payload bits of the lead byte, smallest value allowed.
  std::size_t len = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    len = 2;
    cp = lead & 0x1F;
    min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    len = 3;
    cp = lead & 0x0F;
    min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    len = 4;
    cp = lead & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (pos + len > text.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F); }

// The characters that cmd acts on outside double quotes (% even inside
// them, but the interface name, between the quotes, is the adapter's own).
bool IsShellCharacter(char32_t cp) {
  return cp < 0x80 && std::string_view("&|<>^%").find(static_cast<char>(cp)) != std::string_view::npos;
}

// Blanks besides U+0020 (Unicode's White_Space outside the control
// characters): a value holding one may be split, or look like two.
bool IsOtherBlank(char32_t cp) {
  return cp == 0xA0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 ||
         cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

// The commands that the program hands to netsh, and how many values each
// takes around the interface name, as the program's own lines give them.
// The commands and their parameters are those of "Netsh commands for
// Interface Internet Protocol version 6 (IPv6)" (learn.microsoft.com,
// previous-versions/windows/it-pro/windows-server-2008-r2-and-2008/cc753156)
// and of its Teredo, ISATAP and 6to4 contexts.
struct CNetshCommand {
  std::string_view m_verb;   // lower case
  bool m_bNamed;             // a quoted interface name follows m_nBefore values
  int m_nBefore;             // values between the verb and the name
  int m_nMinAfter;           // values after the name (after the verb when not named)
  int m_nMaxAfter;
  bool m_bTrailingBlank;     // the catalogue's layout may end with a blank
};

constexpr CNetshCommand NETSH_COMMANDS[] = {
    // address type validlifetime preferredlifetime store
    {"interface ipv6 add address", true, 0, 5, 5, false},
    {"interface ipv6 set address", true, 0, 4, 4, true},
    {"interface ipv6 delete address", true, 0, 1, 1, false},
    // address index
    {"interface ipv6 add dns", true, 0, 2, 2, false},
    {"interface ipv6 delete dns", true, 0, 1, 1, false},
    // prefix "name" [nexthop] [metric=] validlifetime= preferredlifetime= store=
    {"interface ipv6 add route", true, 1, 3, 5, false},
    {"interface ipv6 set route", true, 1, 3, 5, false},
    {"interface ipv6 delete route", true, 1, 0, 1, false},
    // one to nine settings, then store=
    {"interface ipv6 set interface", true, 0, 1, 10, false},
    {"interface ipv6 delete neighbors", true, 0, 0, 1, false},
    {"interface ipv6 set privacy", false, 0, 1, 2, false},
    {"interface ipv6 set global", false, 0, 1, 2, false},
    // prefix= precedence= label= [store=]
    {"interface ipv6 add prefixpolicy", false, 0, 3, 4, false},
    {"interface ipv6 set prefixpolicy", false, 0, 3, 4, false},
    {"interface ipv6 delete prefixpolicy", false, 0, 1, 2, false},
    {"interface teredo set state", false, 0, 1, 1, false},
    {"interface isatap set state", false, 0, 1, 1, false},
    {"interface 6to4 set state", false, 0, 1, 1, false},
};

// The catalogue's command that the line gives; nullptr for any other.
const CNetshCommand* FindCommand(std::string_view line) {
  const std::string lower = LowerAscii(line.substr(0, 40));
  for (const CNetshCommand& command : NETSH_COMMANDS) {
    const std::string_view verb = command.m_verb;
    if (std::string_view(lower).starts_with(verb) && (line.size() == verb.size() || line[verb.size()] == ' '))
      return &command;
  }
  return nullptr;
}

// The values after the verb, split at single blanks; the quoted name is one
// value with its quotes. ExtraArgument for a blank out of place.
NetshRefusal SplitValues(std::string_view rest, bool bTrailingBlank, std::vector<std::string_view>& values,
                         int& nameAt) {
  std::size_t i = 0;
  while (i < rest.size()) {
    ++i;  // the blank before each value
    if (i == rest.size()) return bTrailingBlank ? NetshRefusal::None : NetshRefusal::ExtraArgument;
    std::size_t end = rest.find(' ', i);
    if (rest[i] == '"') {
      const std::size_t close = rest.find('"', i + 1);
      if (close == std::string_view::npos) return NetshRefusal::QuoteInValue;
      end = close + 1;
      if (end < rest.size() && rest[end] != ' ') return NetshRefusal::ExtraArgument;
      nameAt = static_cast<int>(values.size());
    }
    if (end == std::string_view::npos) end = rest.size();
    if (end == i) return NetshRefusal::ExtraArgument;
    values.push_back(rest.substr(i, end - i));
    i = end;
  }
  return NetshRefusal::None;
}

// Whether the values stand where the command takes them, as many as it
// takes.
NetshRefusal CheckValues(std::string_view line, const CNetshCommand& command) {
  std::vector<std::string_view> values;
  int nameAt = -1;
  const NetshRefusal split = SplitValues(line.substr(command.m_verb.size()), command.m_bTrailingBlank, values, nameAt);
  if (split != NetshRefusal::None) return split;
  if (!command.m_bNamed && nameAt >= 0) return NetshRefusal::QuoteInValue;
  const int after = static_cast<int>(values.size()) - (command.m_bNamed ? nameAt + 1 : 0);
  // A name that is not quoted counts as values of its own.
  if ((command.m_bNamed && nameAt != command.m_nBefore) || after < command.m_nMinAfter ||
      after > command.m_nMaxAfter)
    return NetshRefusal::ExtraArgument;
  return NetshRefusal::None;
}

// The words trimmed, with CR LF as LF, cut at a character boundary.
std::string TidyWords(std::string_view words) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == '\r' && i + 1 < words.size() && words[i + 1] == '\n') continue;
    out.push_back(words[i]);
  }
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t begin = 0;
  while (begin < out.size() && blank(out[begin])) ++begin;
  std::size_t end = out.size();
  while (end > begin && blank(out[end - 1])) --end;
  out = out.substr(begin, end - begin);
  if (out.size() > MAX_WORDS_BYTES) {
    std::size_t cut = MAX_WORDS_BYTES;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
    out += "\n...";
  }
  return out;
}

std::string RefusalText(NetshRefusal refusal) {
  switch (refusal) {
    case NetshRefusal::LineTooLong:
      return "The command was not run: its netsh command line would be longer than 255 characters.";
    case NetshRefusal::QuoteInValue:
      return "The command was not run: the interface name or a value contains a double quote (\") or ends "
             "in a backslash (\\), which cannot be passed to netsh safely.";
    case NetshRefusal::ControlCharacter:
      return "The command was not run: the interface name or a value contains a line break or another "
             "control character, which cannot be passed to netsh safely.";
    case NetshRefusal::InvalidText:
      return "The command was not run: its text is not valid Unicode.";
    case NetshRefusal::Busy:
      return "The command was not run: another netsh command is still running.";
    case NetshRefusal::NoSystemFolder:
      return "The command was not run: Windows did not tell where its system folder is, so the system's "
             "netsh could not be found.";
    case NetshRefusal::OtherContext:
      return "The command was not run: it is not a command of netsh's interface ipv6, teredo, isatap or 6to4 "
             "context, the only ones this program uses.";
    case NetshRefusal::ShellCharacter:
      return "The command was not run: a value besides the interface name contains one of & | < > ^ %, which "
             "a command prompt would act on.";
    case NetshRefusal::ExtraArgument:
      return "The command was not run: a value contains a blank, or the line holds more or fewer values than "
             "its netsh command takes, so netsh would not read the values meant.";
    case NetshRefusal::None:
      break;
  }
  return "The command was not run.";
}

}  // namespace

std::string GetNetshVerb(int index) {
  switch (index) {
    case NETSH_PROGRAM:
      return "netsh";
    case NETSH_ADD_ADDRESS:
      return "interface ipv6 add address";
    case NETSH_SET_ADDRESS:
      return "interface ipv6 set address";
    case NETSH_DELETE_ADDRESS:
      return "interface ipv6 delete address";
    case NETSH_ADD_DNS:
      return "interface ipv6 add dns";
    case NETSH_DELETE_DNS:
      return "interface ipv6 delete dns";
    default:
      return {};
  }
}

std::string FormatAddAddressCommand(std::string_view interfaceName, std::string_view address,
                                    std::string_view type, std::string_view validLifetime,
                                    std::string_view preferredLifetime, std::string_view store) {
  return Join({GetNetshVerb(NETSH_ADD_ADDRESS), " ", Quoted(interfaceName), " ", NetshAddressValue(address), " ",
               type, " ", validLifetime, " ", preferredLifetime, " ", store});
}

std::string FormatSetAddressCommand(std::string_view interfaceName, std::string_view address,
                                    std::string_view type, std::string_view validLifetime,
                                    std::string_view preferredLifetime) {
  return Join({GetNetshVerb(NETSH_SET_ADDRESS), " ", Quoted(interfaceName), " ", NetshAddressValue(address), " ",
               type, " ", validLifetime, " ", preferredLifetime, " "});
}

std::string FormatDeleteAddressCommand(std::string_view interfaceName, std::string_view address) {
  return Join({GetNetshVerb(NETSH_DELETE_ADDRESS), " ", Quoted(interfaceName), " ", NetshAddressValue(address)});
}

std::string FormatAddDnsCommand(std::string_view interfaceName, std::string_view server,
                                std::string_view index) {
  return Join({GetNetshVerb(NETSH_ADD_DNS), " ", Quoted(interfaceName), " ", NetshAddressValue(server), " ", index});
}

std::string FormatDeleteDnsCommand(std::string_view interfaceName, std::string_view server) {
  return Join({GetNetshVerb(NETSH_DELETE_DNS), " ", Quoted(interfaceName), " ", NetshAddressValue(server)});
}

std::string NetshAddressValue(std::string_view address) {
  const std::size_t percent = address.find('%');
  if (percent == std::string_view::npos) return std::string(address);
  const std::string_view zone = address.substr(percent + 1);
  const bool bDigits = !zone.empty() && zone.find_first_not_of("0123456789") == std::string_view::npos;
  CIpv6Bytes bytes;
  if (bDigits && ParseIpv6Bytes(address, bytes) && IsLinkLocalAddress(bytes)) return std::string(address.substr(0, percent));
  return std::string(address);
}

NetshRefusal CheckNetshLine(std::string_view line) {
  std::size_t chars = 0;
  int quotes = 0;
  bool control = false;
  bool shell = false;
  bool otherBlank = false;
  // Under the rules that split a Windows command line, backslashes right
  // before a quote escape it or are halved: a name ending in one would run
  // into the rest of the line.
  bool escapedQuote = false;
  char32_t previous = 0;
  for (std::size_t pos = 0; pos < line.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(line, pos, cp);
    if (len == 0) return NetshRefusal::InvalidText;
    pos += len;
    ++chars;
    if (cp == U'"') {
      ++quotes;
      if (previous == U'\\') escapedQuote = true;
    }
    if (IsControl(cp)) control = true;
    // Outside the interface name, between the first two quotes.
    if (quotes % 2 == 0 && cp != U'"') {
      shell = shell || IsShellCharacter(cp);
      otherBlank = otherBlank || IsOtherBlank(cp);
    }
    previous = cp;
  }
  // Injection first: a line that is both too long and unsafe is refused for
  // the graver reason.
  if (control) return NetshRefusal::ControlCharacter;
  if (quotes > 2 || escapedQuote) return NetshRefusal::QuoteInValue;
  if (shell) return NetshRefusal::ShellCharacter;
  const CNetshCommand* command = FindCommand(line);
  if (command == nullptr) return NetshRefusal::OtherContext;
  if (otherBlank) return NetshRefusal::ExtraArgument;
  if (const NetshRefusal values = CheckValues(line, *command); values != NetshRefusal::None) return values;
  if (chars > NETSH_MAX_LINE_CHARS) return NetshRefusal::LineTooLong;
  return NetshRefusal::None;
}

std::string EscapeInvalidUtf8(std::string_view text) {
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text, pos, cp);
    if (len != 0) {
      out.append(text.substr(pos, len));
      pos += len;
      continue;
    }
    constexpr char HEX[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(text[pos++]);
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 0xF];
  }
  return out;
}

std::string DescribeNetshResult(const CNetshResult& result) {
  std::string text;
  switch (result.m_outcome) {
    case NetshOutcome::Succeeded:
      text = "netsh finished successfully.";
      break;
    case NetshOutcome::Refused:
      text = RefusalText(result.m_refusal) + "\nNothing was changed.";
      break;
    case NetshOutcome::ElevationRefused:
      text = "The command was cancelled: administrator rights were not granted.\nNothing was changed.";
      break;
    case NetshOutcome::LaunchFailed:
      text = "netsh could not be started (system error " + std::to_string(result.m_nSystemError) + ")" +
             (result.m_strSystemText.empty() ? "." : ": " + TidyWords(result.m_strSystemText)) +
             "\nNothing was changed.";
      break;
    case NetshOutcome::TimedOut: {
      const std::uint32_t seconds = result.m_nTimeoutMs / 1000 + (result.m_nTimeoutMs % 1000 != 0 ? 1 : 0);
      text = "netsh did not finish within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
      text += result.m_bEnded ? " and was ended. The change may or may not have been made: press Refresh to see the "
                                "current configuration."
                              : " and could not be ended: it may still change the configuration. No other netsh "
                                "command runs until it has gone; press Refresh later to see the current "
                                "configuration.";
      break;
    }
    case NetshOutcome::NetshFailed:
      text = "netsh reported a failure (exit code " + std::to_string(result.m_nExitCode) +
             "). The change was not confirmed; refresh to see the current configuration.";
      break;
  }
  const std::string words = TidyWords(result.m_strOutput);
  if (words.empty()) return text;
  return Join({text, "\n\nnetsh answered:\n", words});
}

}  // namespace vantoric
