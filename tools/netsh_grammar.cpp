#include "tools/netsh_grammar.h"

#include <cstdint>
#include <vector>

namespace vantoric::netsh_syntax {

namespace {

// ---- The grammar ----

enum class Kind {
  Name,              // <string>: an interface name or index, a host name
  Address,           // <IPv6 address>, without a zone
  HostAddress,       // the address of the address commands, which may have a zone (IsHostAddress)
  HostOrLength,      // add address's <IPv6 address>[/<integer>]
  Prefix,            // <IPv6 address>/<integer>
  AddressOrAll,      // <IPv6 address>|all
  Ipv4OrDefault,     // <IPv4 address>|default
  Integer,           // <integer>; `form` may bound it, as "0-255"
  IntegerOrDefault,  // <integer>|default
  Lifetime,          // <integer>|infinite, or days, hours, minutes and seconds as 1d2h3m4s
  Choice,            // one of `form`'s words, as "unicast|anycast"
};

struct CParameter {
  const char* tag;
  Kind kind;
  const char* form = "";
  bool required = false;
};

struct CCommand {
  const char* words;
  std::vector<CParameter> parameters;  // in the documented order, which is also the positional order
};

// The words of each level as the reference lists them, so that a prefix is
// judged against all of them and not only against the commands below.
struct CLevel {
  const char* path;
  const char* words;
};

constexpr Kind NAME = Kind::Name, ADDRESS = Kind::Address, PREFIX = Kind::Prefix, INTEGER = Kind::Integer,
               LIFETIME = Kind::Lifetime, CHOICE = Kind::Choice;
constexpr const char* SWITCH = "enabled|disabled";
constexpr const char* STORE = "active|persistent";
constexpr bool REQUIRED = true;

// netsh's own level: "Netsh Command Syntax, Contexts, and Formatting",
// https://learn.microsoft.com/windows-server/networking/technologies/netsh/netsh-contexts
// (the commands and sub-contexts that "netsh /?" lists). Every other level:
// "netsh interface",
// https://learn.microsoft.com/windows-server/administration/windows-commands/netsh-interface
// (its Syntax blocks).
const CLevel kLevels[] = {
    {"",
     ".. ? abort add advfirewall alias branchcache bridge bye commit delete dhcpclient dnsclient dump exec exit "
     "firewall help http interface ipsec ipsecdosprotection lan namespace netio offline online popd pushd quit ras "
     "rpc set show trace unalias wfp winhttp winsock"},
    {"interface", "6to4 clat dump fl48 fl68 help httpstunnel ipv4 ipv6 isatap portproxy set show tcp teredo udp ?"},
    {"interface ipv6", "6to4 add delete dump isatap reset set show"},
    {"interface ipv6 add",
     "address dnsservers excludedportrange neighbors potentialrouter prefixpolicy route v6v4tunnel"},
    {"interface ipv6 delete",
     "address destinationcache dnsservers excludedportrange interface neighbors "
     "potentialrouter prefixpolicy route"},
    {"interface ipv6 set",
     "address compartment dnsservers dynamicportrange global interface neighbors prefixpolicy "
     "privacy route slaacsecretkey subinterface teredo"},
    {"interface ipv6 show",
     "addresses compartments destinationcache dnsservers dynamicportrange excludedportrange "
     "global interfaces ipstats joins neighbors offload potentialrouters prefixpolicies privacy "
     "route siteprefixes slaacsecretkey subinterfaces tcpstats teredo tfofallback udpstats"},
    {"interface ipv6 isatap", "dump set show"},
    {"interface ipv6 isatap set", "router state"},
    {"interface ipv6 6to4", "dump set show"},
    {"interface ipv6 6to4 set", "interface relay routing state"},
    {"interface teredo", "dump set show"},
    {"interface teredo set", "state"},
    {"interface isatap", "dump set show"},
    {"interface isatap set", "router state"},
    {"interface 6to4", "dump set show"},
    {"interface 6to4 set", "interface relay routing state"},
};

// The tables keep several parameters to a line.
// clang-format off
constexpr CParameter kInterface{"interface", NAME, "", REQUIRED}, kHost{"address", Kind::HostAddress, "", REQUIRED},
    kType{"type", CHOICE, "unicast|anycast"}, kValid{"validlifetime", LIFETIME},
    kPreferred{"preferredlifetime", LIFETIME}, kStore{"store", CHOICE, STORE};
const std::vector<CParameter> kRoute = {
    {"prefix", PREFIX, "", REQUIRED}, kInterface, {"nexthop", ADDRESS}, {"siteprefixlength", INTEGER},
    {"metric", INTEGER}, {"publish", CHOICE, "no|age|yes"}, kValid, kPreferred, kStore};
const std::vector<CParameter> kPolicy = {
    {"prefix", PREFIX, "", REQUIRED}, {"precedence", INTEGER, "", REQUIRED}, {"label", INTEGER, "", REQUIRED}, kStore};
const std::vector<CParameter> kTeredo = {
    {"type", CHOICE, "disabled|client|enterpriseclient|natawareclient|server|default"}, {"servername", NAME},
    {"refreshinterval", Kind::IntegerOrDefault}, {"clientport", Kind::IntegerOrDefault},
    {"servervirtualip", Kind::Ipv4OrDefault}};
// As the Syntax lines give them (the table adds automatic for 6to4).
const std::vector<CParameter> kIsatap = {{"state", CHOICE, "enabled|disabled|default"}};
const std::vector<CParameter> kSixToFour = {
    {"state", CHOICE, "enabled|disabled|default"}, {"undoonstop", CHOICE, "enabled|disabled|default"}};

// "netsh interface" (address above): each command's Syntax line gives the
// tags, their order and the value forms, and its Parameters table ("interface
// ipv6", ...) describes them. The Syntax lines do not mark which parameters
// may be left out; required here are those the command means nothing
// without (the interface, the address, the route's prefix, a policy's
// prefix, precedence and label), as netsh's own usage text for set
// prefixpolicy shows them. Tags are compared whole, without case: the page
// gives every tag in full and shows no shortened one.
const CCommand kCommands[] = {
    // A lifetime is seconds or "infinite"; "Time values can be expressed in
    // days, hours, minutes, and seconds (1d2h3m4s)", as the page says under
    // set privacy and set route.
    {"interface ipv6 add address",
     {kInterface, {"address", Kind::HostOrLength, "", REQUIRED}, kType, kValid, kPreferred, kStore,
      {"skipassource", CHOICE, "true|false"}}},
    {"interface ipv6 set address", {kInterface, kHost, kType, kValid, kPreferred, kStore}},
    {"interface ipv6 delete address", {kInterface, kHost, kStore}},
    // "If an index is provided, the server is inserted at that position": a
    // position in the list, counted from 1.
    {"interface ipv6 add dnsservers",
     {{"name", NAME, "", REQUIRED}, {"address", ADDRESS, "", REQUIRED}, {"index", INTEGER, "1-4294967295"},
      {"validate", CHOICE, "yes|no"}}},
    {"interface ipv6 delete dnsservers",
     {{"name", NAME, "", REQUIRED}, {"address", Kind::AddressOrAll, "", REQUIRED}, {"validate", CHOICE, "yes|no"}}},
    {"interface ipv6 add route", kRoute},
    {"interface ipv6 set route", kRoute},
    {"interface ipv6 delete route", {kRoute[0], kRoute[1], kRoute[2], kRoute[8]}},
    // The page lists no metric for set interface, neither in the Syntax line
    // nor in the Parameters table.
    {"interface ipv6 set interface",
     {kInterface, {"forwarding", CHOICE, SWITCH}, {"advertise", CHOICE, SWITCH}, {"mtu", INTEGER},
      {"siteprefixlength", INTEGER}, {"nud", CHOICE, SWITCH}, {"basereachabletime", INTEGER},
      {"retransmittime", INTEGER}, {"dadtransmits", INTEGER}, {"routerdiscovery", CHOICE, "enabled|disabled|dhcp"},
      {"managedaddress", CHOICE, SWITCH}, {"otherstateful", CHOICE, SWITCH}, {"weakhostsend", CHOICE, SWITCH},
      {"weakhostreceive", CHOICE, SWITCH}, {"ignoredefaultroutes", CHOICE, SWITCH},
      {"advertisedrouterlifetime", INTEGER, "0-65535"}, {"advertisedefaultroute", CHOICE, SWITCH},
      {"currenthoplimit", INTEGER, "0-255"}, kStore, {"forcearpndwolpattern", CHOICE, SWITCH},
      {"enabledirectedmacwolpattern", CHOICE, SWITCH}, {"ecncapability", CHOICE, "ecndisabled|ect1|ect0|application"},
      {"rabaseddnsconfig", CHOICE, SWITCH}, {"dhcpstaticipcoexistence", CHOICE, SWITCH}}},
    {"interface ipv6 delete neighbors", {{"interface", NAME}, {"address", ADDRESS}, {"subinterface", NAME}, kStore}},
    // As the Syntax line gives them (its loopbackworkercount takes
    // enabled|disabled there, a count in the table).
    {"interface ipv6 set global",
     {{"defaultcurhoplimit", INTEGER}, {"neighborcachelimit", INTEGER}, {"routecachelimit", INTEGER},
      {"reassemblylimit", INTEGER}, {"icmpredirects", CHOICE, SWITCH},
      {"sourceroutingbehavior", CHOICE, "drop|forward|dontforward"}, {"taskoffload", CHOICE, SWITCH},
      {"dhcpmediasense", CHOICE, SWITCH}, {"mediasenseeventlog", CHOICE, SWITCH},
      {"mldlevel", CHOICE, "none|sendonly|all"}, {"mldversion", CHOICE, "version1|version2|version3"},
      {"multicastforwarding", CHOICE, SWITCH}, {"groupforwardedfragments", CHOICE, SWITCH},
      {"randomizeidentifiers", CHOICE, SWITCH}, kStore, {"addressmaskreply", CHOICE, SWITCH}, {"minmtu", INTEGER},
      {"flowlabel", CHOICE, SWITCH}, {"loopbacklargemtu", CHOICE, SWITCH}, {"loopbackworkercount", CHOICE, SWITCH},
      {"loopbackexecutionmode", CHOICE, "inline|adaptive|worker"}, {"sourcebasedecmp", CHOICE, SWITCH},
      {"reassemblyoutoforderlimit", INTEGER}, {"slaacprivacylevel", INTEGER, "0-2"},
      {"slaacmaxdadattempts", INTEGER}, {"routepolicies", CHOICE, SWITCH}, {"recursivereassembly", CHOICE, SWITCH},
      {"icmpjumbograms", CHOICE, SWITCH}}},
    // The page's Syntax line for set privacy repeats set prefixpolicy's; its
    // Parameters table gives these, in this order.
    {"interface ipv6 set privacy",
     {{"state", CHOICE, SWITCH}, {"maxdadattempts", INTEGER}, {"maxvalidlifetime", LIFETIME},
      {"maxpreferredlifetime", LIFETIME}, {"regeneratetime", LIFETIME}, {"maxrandomtime", LIFETIME}, kStore}},
    {"interface ipv6 add prefixpolicy", kPolicy},
    {"interface ipv6 set prefixpolicy", kPolicy},
    {"interface ipv6 delete prefixpolicy", {kPolicy[0], kPolicy[3]}},
    {"interface ipv6 show addresses", {{"interface", NAME}, {"level", CHOICE, "normal|verbose"}, kStore}},
    {"interface ipv6 show dnsservers", {{"name", NAME}}},
    {"interface ipv6 set teredo", kTeredo},
    {"interface teredo set state", kTeredo},
    {"interface ipv6 isatap set state", kIsatap},
    {"interface isatap set state", kIsatap},
    {"interface ipv6 6to4 set state", kSixToFour},
    {"interface 6to4 set state", kSixToFour},
};
// clang-format on

// ---- Text ----

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool StartsWord(std::string_view word, std::string_view typed) {
  return typed.size() <= word.size() && SameWord(word.substr(0, typed.size()), typed);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

// netsh's arguments: blanks separate them; double quotes group blanks into
// one and are dropped.
std::vector<std::string> Tokens(std::string_view line) {
  std::vector<std::string> tokens;
  std::string token;
  bool inToken = false, quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inToken = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inToken) tokens.push_back(std::move(token));
      token.clear();
      inToken = false;
    } else {
      token.push_back(c);
      inToken = true;
    }
  }
  if (inToken) tokens.push_back(std::move(token));
  return tokens;
}

// ---- Values ----

bool IsDecimal(std::string_view text, std::uint64_t max, std::uint64_t* value = nullptr) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value != nullptr) *value = n;
  return n <= max;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'f'); }

bool IsIpv4(std::string_view text) {
  const auto parts = Split(text, '.');
  if (parts.size() != 4) return false;
  for (std::string_view part : parts)
    if (part.size() > 3 || !IsDecimal(part, 255)) return false;
  return true;
}

// The groups of one side of "::"; the last may be an IPv4 address, which
// counts for two (RFC 4291, section 2.2).
bool CountGroups(std::string_view side, bool ipv4Last, int& count) {
  count = 0;
  if (side.empty()) return true;
  const auto groups = Split(side, ':');
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (ipv4Last && i + 1 == groups.size() && groups[i].find('.') != std::string_view::npos) {
      count += 2;
      return IsIpv4(groups[i]);
    }
    if (groups[i].empty() || groups[i].size() > 4) return false;
    for (const char c : groups[i])
      if (!IsHex(c)) return false;
    ++count;
  }
  return true;
}

bool IsIpv6(std::string_view text) {
  const std::size_t gap = text.find("::");
  int before = 0, after = 0;
  if (gap == std::string_view::npos) return CountGroups(text, true, before) && before == 8;
  if (text.find("::", gap + 1) != std::string_view::npos) return false;
  return CountGroups(text.substr(0, gap), false, before) && CountGroups(text.substr(gap + 2), true, after) &&
         before + after <= 7;
}

bool IsPrefix(std::string_view text) {
  const std::size_t slash = text.find('/');
  return slash != std::string_view::npos && IsIpv6(text.substr(0, slash)) && IsDecimal(text.substr(slash + 1), 128) &&
         text.size() - slash <= 4;
}

// The address commands receive an address as Windows prints it, with a
// zone number after a scoped one (RFC 4007, section 11). Elsewhere the
// reference documents no zone: the command already names the interface.
bool IsHostAddress(std::string_view text) {
  const std::size_t zone = text.find('%');
  if (zone != std::string_view::npos)
    return IsIpv6(text.substr(0, zone)) && IsDecimal(text.substr(zone + 1), 0xFFFFFFFFu);
  return IsIpv6(text);
}

// Seconds, "infinite", or 1d2h3m4s: each unit at most once, in that order.
bool IsLifetime(std::string_view text) {
  if (SameWord(text, "infinite") || IsDecimal(text, 0xFFFFFFFFu)) return true;
  constexpr std::string_view units = "dhms";
  std::size_t unit = 0, digits = 0;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      if (++digits > 10) return false;
      continue;
    }
    const std::size_t at = units.find(Lower(c), unit);
    if (at == std::string_view::npos || digits == 0) return false;
    unit = at + 1;
    digits = 0;
  }
  return !text.empty() && digits == 0;
}

bool IsInRange(std::string_view text, std::string_view range) {
  if (range.empty()) return IsDecimal(text, 0xFFFFFFFFu);
  const auto bounds = Split(range, '-');
  std::uint64_t low = 0, high = 0, value = 0;
  IsDecimal(bounds[0], 0xFFFFFFFFu, &low);
  IsDecimal(bounds[1], 0xFFFFFFFFu, &high);
  return IsDecimal(text, high, &value) && value >= low;
}

bool IsChoice(std::string_view text, std::string_view choices) {
  for (std::string_view choice : Split(choices, '|'))
    if (SameWord(text, choice)) return true;
  return false;
}

bool IsValue(const CParameter& parameter, std::string_view value) {
  switch (parameter.kind) {
    case Kind::Name:
      return !value.empty();
    case Kind::Address:
      return IsIpv6(value);
    case Kind::HostAddress:
      return IsHostAddress(value);
    case Kind::HostOrLength:
      return IsHostAddress(value) || IsPrefix(value);
    case Kind::Prefix:
      return IsPrefix(value);
    case Kind::AddressOrAll:
      return SameWord(value, "all") || IsIpv6(value);
    case Kind::Ipv4OrDefault:
      return SameWord(value, "default") || IsIpv4(value);
    case Kind::Integer:
      return IsInRange(value, parameter.form);
    case Kind::IntegerOrDefault:
      return SameWord(value, "default") || IsDecimal(value, 0xFFFFFFFFu);
    case Kind::Lifetime:
      return IsLifetime(value);
    case Kind::Choice:
      return IsChoice(value, parameter.form);
  }
  return false;
}

// ---- Matching ----

CSyntaxCheck Fault(SyntaxFault fault, std::string command, std::string_view item) {
  return {fault, std::move(command), std::string(item)};
}

const CLevel* FindLevel(std::string_view path) {
  for (const CLevel& level : kLevels)
    if (path == level.path) return &level;
  return nullptr;
}

const CCommand* FindCommand(std::string_view path) {
  for (const CCommand& command : kCommands)
    if (path == command.words) return &command;
  return nullptr;
}

// Each argument is `tag=value` or a bare value, which stands for the
// parameter at its own position in the documented order.
CSyntaxCheck CheckArguments(const CCommand& command, const std::vector<std::string>& tokens, std::size_t first) {
  const auto& parameters = command.parameters;
  std::vector<bool> given(parameters.size(), false);
  for (std::size_t i = first; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    const std::size_t equals = token.find('=');
    std::size_t at = i - first;
    std::string_view value = token;
    if (equals != std::string::npos) {
      const std::string_view tag = std::string_view(token).substr(0, equals);
      value = std::string_view(token).substr(equals + 1);
      for (at = 0; at < parameters.size() && !SameWord(parameters[at].tag, tag); ++at) {
      }
      if (at == parameters.size()) return Fault(SyntaxFault::UnknownArgument, command.words, tag);
    } else if (at >= parameters.size()) {
      return Fault(SyntaxFault::UnknownArgument, command.words, token);
    }
    if (given[at]) return Fault(SyntaxFault::RepeatedArgument, command.words, parameters[at].tag);
    given[at] = true;
    if (!IsValue(parameters[at], value)) return Fault(SyntaxFault::BadValue, command.words, value);
  }
  for (std::size_t at = 0; at < parameters.size(); ++at)
    if (parameters[at].required && !given[at])
      return Fault(SyntaxFault::MissingArgument, command.words, parameters[at].tag);
  return {SyntaxFault::None, command.words, ""};
}

}  // namespace

// The command's words as netsh matches them: each word typed may be any
// beginning of the word it stands for that no other word of its level has
// ("NetShell and Command Abbreviation"; MatchToken: "a case-insensitive
// prefix"), a whole word always standing for itself.
CSyntaxCheck CheckSyntax(std::string_view line) {
  const std::vector<std::string> tokens = Tokens(line);
  std::string path;
  std::size_t next = 0;
  for (const CLevel* level = FindLevel(path); level != nullptr; level = FindLevel(path)) {
    if (next == tokens.size()) return Fault(SyntaxFault::UnknownCommand, path, "");
    const std::string& typed = tokens[next++];
    std::string_view found;
    int matches = 0;
    for (std::string_view word : Split(level->words, ' ')) {
      if (SameWord(word, typed)) {
        found = word;
        matches = 1;
        break;
      }
      if (StartsWord(word, typed)) {
        found = word;
        ++matches;
      }
    }
    if (matches != 1)
      return Fault(matches == 0 ? SyntaxFault::UnknownCommand : SyntaxFault::AmbiguousCommand, path, typed);
    path += (path.empty() ? "" : " ") + std::string(found);
  }
  const CCommand* command = FindCommand(path);
  if (command == nullptr) return Fault(SyntaxFault::NotCovered, path, "");
  return CheckArguments(*command, tokens, next);
}

// The words netsh prints: "The following command was not found: dhcp." on
// the contexts page above; the other lines as a real netsh printed them for
// an unknown tag and for a required parameter left out. What it prints
// before the syntax line for a repeated parameter or a value out of form
// could not be confirmed, so only the syntax line is given there; the
// command's usage that netsh prints after it is left out.
std::string RefusalText(const CSyntaxCheck& check, std::string_view line) {
  constexpr std::string_view kSyntax =
      "The syntax supplied for this command is not valid. Check help for the correct syntax.\r\n";
  const std::size_t begin = line.find_first_not_of(" \t");
  const std::string trimmed =
      begin == std::string_view::npos ? "" : std::string(line.substr(begin, line.find_last_not_of(" \t") + 1 - begin));
  switch (check.m_fault) {
    case SyntaxFault::None:
      return {};
    case SyntaxFault::UnknownCommand:
    case SyntaxFault::AmbiguousCommand:
      return "The following command was not found: " + trimmed + ".\r\n";
    case SyntaxFault::NotCovered:
      return "The recording netsh stand-in does not hold the syntax of \"" + check.m_strCommand + "\".\r\n";
    case SyntaxFault::UnknownArgument:
      return "'" + check.m_strItem + "' is not a valid argument for this command.\r\n" + std::string(kSyntax);
    case SyntaxFault::MissingArgument:
      return "One or more essential parameters were not entered.\r\nVerify the required parameters, and reenter "
             "them.\r\n" +
             std::string(kSyntax);
    case SyntaxFault::RepeatedArgument:
    case SyntaxFault::BadValue:
      break;
  }
  return std::string(kSyntax);
}

}  // namespace vantoric::netsh_syntax
