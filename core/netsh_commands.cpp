#include "core/netsh_commands.h"

#include <initializer_list>
#include <string>

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

// Whether the line is a command of one of the contexts that the program uses.
bool IsKnownContext(std::string_view line) {
  const std::string lower = LowerAscii(line.substr(0, 20));
  for (std::string_view context : {"interface ipv6 ", "interface teredo ", "interface isatap ", "interface 6to4 "})
    if (std::string_view(lower).starts_with(context)) return true;
  return false;
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
  return Join({GetNetshVerb(NETSH_ADD_ADDRESS), " ", Quoted(interfaceName), " ", address, " ", type, " ",
               validLifetime, " ", preferredLifetime, " ", store});
}

std::string FormatSetAddressCommand(std::string_view interfaceName, std::string_view address,
                                    std::string_view type, std::string_view validLifetime,
                                    std::string_view preferredLifetime) {
  return Join({GetNetshVerb(NETSH_SET_ADDRESS), " ", Quoted(interfaceName), " ", address, " ", type, " ",
               validLifetime, " ", preferredLifetime, " "});
}

std::string FormatDeleteAddressCommand(std::string_view interfaceName, std::string_view address) {
  return Join({GetNetshVerb(NETSH_DELETE_ADDRESS), " ", Quoted(interfaceName), " ", address});
}

std::string FormatAddDnsCommand(std::string_view interfaceName, std::string_view server,
                                std::string_view index) {
  return Join({GetNetshVerb(NETSH_ADD_DNS), " ", Quoted(interfaceName), " ", server, " ", index});
}

std::string FormatDeleteDnsCommand(std::string_view interfaceName, std::string_view server) {
  return Join({GetNetshVerb(NETSH_DELETE_DNS), " ", Quoted(interfaceName), " ", server});
}

NetshRefusal CheckNetshLine(std::string_view line) {
  std::size_t chars = 0;
  int quotes = 0;
  bool control = false;
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
    previous = cp;
  }
  // Injection first: a line that is both too long and unsafe is refused for
  // the graver reason.
  if (control) return NetshRefusal::ControlCharacter;
  if (quotes > 2 || escapedQuote) return NetshRefusal::QuoteInValue;
  if (!IsKnownContext(line)) return NetshRefusal::OtherContext;
  if (chars > NETSH_MAX_LINE_CHARS) return NetshRefusal::LineTooLong;
  return NetshRefusal::None;
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
      text = "netsh could not be started (system error " + std::to_string(result.m_nSystemError) +
             ").\nNothing was changed.";
      break;
    case NetshOutcome::TimedOut: {
      const std::uint32_t seconds = result.m_nTimeoutMs / 1000 + (result.m_nTimeoutMs % 1000 != 0 ? 1 : 0);
      text = "netsh did not finish within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
             " and was ended. The change may or may not have been made: press Refresh to see the current "
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
