// The PowerShell lines held to the cmdlets' documentation: a table of every
// cmdlet the program writes, with its documented parameters, their types
// and accepted values, whether -InterfaceAlias accepts wildcard characters
// and whether the cmdlet asks before it acts. Each change kind's line is
// built for plain and hostile adapter names, split into tokens as
// PowerShell reads a command, and checked against the table.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_history.h"
#include "core/interface_settings.h"
#include "core/system_settings.h"

namespace vantoric {
namespace {

// ---------------------------------------------------------------------------
// The documentation.

enum class Type {
  Switch,       // SwitchParameter: no value, or :$true / :$false joined to the name
  String,       // String or String[]: one value
  Enum,         // an enumeration: one of the accepted values, in any case
  UInt32,
  UInt16,
  Byte,
  Int32,
  Boolean,      // $true or $false
  TimeSpan,     // ([TimeSpan]'d.hh:mm:ss') or ([TimeSpan]::MaxValue)
  NotWritten,   // CimInstance, CimSession: a line cannot give one
};

struct CParameter {
  const char* m_name;
  Type m_type;
  std::vector<std::string_view> m_values;  // Enum and documented String values; empty: any
  bool m_bRequired = false;                // in the parameter set the lines use
};

struct CCmdlet {
  const char* m_name;
  const char* m_page;
  // The page's "Accept wildcard characters" under -InterfaceAlias.
  bool m_bAliasWildcards;
  // Whether the cmdlet asks before it acts under the default
  // $ConfirmPreference (High). The pages name no ConfirmImpact; the
  // Remove cmdlets ask ("Users Requesting Confirmation",
  // learn.microsoft.com/powershell/scripting/developer/cmdlet/users-requesting-confirmation:
  // a cmdlet without ConfirmImpact is Medium and does not ask).
  bool m_bAsks;
  std::vector<CParameter> m_parameters;
};

const std::vector<std::string_view> kEnabled = {"Disabled", "Enabled"};
const std::vector<std::string_view> kFamilies = {"IPv4", "IPv6"};
const std::vector<std::string_view> kStores = {"ActiveStore", "PersistentStore"};
const std::vector<std::string_view> kAddressStates = {"Invalid", "Tentative", "Duplicate", "Deprecated", "Preferred"};
const std::vector<std::string_view> kPrefixOrigins = {"Other", "Manual", "WellKnown", "Dhcp", "RouterAdvertisement"};
const std::vector<std::string_view> kSuffixOrigins = {"Other", "Manual", "WellKnown", "Dhcp", "Link", "Random"};
const std::vector<std::string_view> kProtocols = {"Other", "Local", "NetMgmt", "Icmp",  "Egp",   "Ggp",  "Hello",
                                                  "Rip",   "IsIs",  "EsIs",    "Igrp",  "Bbn",   "Ospf", "Bgp",
                                                  "Idpr",  "Eigrp", "Dvmrp",   "Rpl",   "Dhcp"};
const std::vector<std::string_view> kPublish = {"No", "Age", "Yes"};
const std::vector<std::string_view> kTunnelStates = {"Default", "Automatic", "Enabled", "Disabled"};

// What every CIM-based cmdlet of these modules takes.
std::vector<CParameter> Common(std::vector<CParameter> own, bool bPassThru = true) {
  own.push_back({"AsJob", Type::Switch, {}});
  own.push_back({"CimSession", Type::NotWritten, {}});
  own.push_back({"Confirm", Type::Switch, {}});
  own.push_back({"ThrottleLimit", Type::Int32, {}});
  own.push_back({"WhatIf", Type::Switch, {}});
  if (bPassThru) own.push_back({"PassThru", Type::Switch, {}});
  return own;
}

// Each page as published for Windows Server 2022 (the NetTCPIP and
// NetworkTransition modules, learn.microsoft.com/powershell/module/...).
const std::vector<CCmdlet>& Cmdlets() {
  static const std::vector<CCmdlet> cmdlets = {
      {"New-NetIPAddress", "nettcpip/new-netipaddress", false, false,
       Common({{"IPAddress", Type::String, {}, true},
               {"InterfaceAlias", Type::String, {}, true},
               {"InterfaceIndex", Type::UInt32, {}},
               {"DefaultGateway", Type::String, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"Type", Type::Enum, {"Unicast", "Anycast"}},
               {"PrefixLength", Type::Byte, {}},
               {"ValidLifetime", Type::TimeSpan, {}},
               {"PreferredLifetime", Type::TimeSpan, {}},
               {"SkipAsSource", Type::Boolean, {}},
               {"PolicyStore", Type::String, kStores}},
              false)},
      {"Set-NetIPAddress", "nettcpip/set-netipaddress", false, false,
       Common({{"IPAddress", Type::String, {}},
               {"InterfaceIndex", Type::UInt32, {}},
               {"InterfaceAlias", Type::String, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"Type", Type::Enum, {"Unicast", "Anycast"}},
               {"PrefixOrigin", Type::Enum, kPrefixOrigins},
               {"SuffixOrigin", Type::Enum, kSuffixOrigins},
               {"AddressState", Type::Enum, kAddressStates},
               {"PolicyStore", Type::String, kStores},
               {"IncludeAllCompartments", Type::Switch, {}},
               {"PrefixLength", Type::Byte, {}},
               {"ValidLifetime", Type::TimeSpan, {}},
               {"PreferredLifetime", Type::TimeSpan, {}},
               {"SkipAsSource", Type::Boolean, {}},
               {"InputObject", Type::NotWritten, {}}})},
      {"Remove-NetIPAddress", "nettcpip/remove-netipaddress", false, true,
       Common({{"IPAddress", Type::String, {}},
               {"InterfaceIndex", Type::UInt32, {}},
               {"InterfaceAlias", Type::String, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"Type", Type::Enum, {"Unicast", "Anycast"}},
               {"PrefixLength", Type::Byte, {}},
               {"PrefixOrigin", Type::Enum, kPrefixOrigins},
               {"SuffixOrigin", Type::Enum, kSuffixOrigins},
               {"AddressState", Type::Enum, kAddressStates},
               {"ValidLifetime", Type::TimeSpan, {}},
               {"PreferredLifetime", Type::TimeSpan, {}},
               {"SkipAsSource", Type::Boolean, {}},
               {"PolicyStore", Type::String, kStores},
               {"DefaultGateway", Type::String, {}},
               {"IncludeAllCompartments", Type::Switch, {}},
               {"InputObject", Type::NotWritten, {}}})},
      {"New-NetRoute", "nettcpip/new-netroute", false, false,
       Common({{"DestinationPrefix", Type::String, {}, true},
               {"InterfaceAlias", Type::String, {}, true},
               {"InterfaceIndex", Type::UInt32, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"NextHop", Type::String, {}},
               {"PolicyStore", Type::String, kStores},
               {"Publish", Type::Enum, kPublish},
               {"RouteMetric", Type::UInt16, {}},
               {"Protocol", Type::Enum, kProtocols},
               {"ValidLifetime", Type::TimeSpan, {}},
               {"PreferredLifetime", Type::TimeSpan, {}}},
              false)},
      {"Set-NetRoute", "nettcpip/set-netroute", false, false,
       Common({{"DestinationPrefix", Type::String, {}},
               {"InterfaceIndex", Type::UInt32, {}},
               {"InterfaceAlias", Type::String, {}},
               {"NextHop", Type::String, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"Protocol", Type::Enum, kProtocols},
               {"PolicyStore", Type::String, kStores},
               {"IncludeAllCompartments", Type::Switch, {}},
               {"Publish", Type::Enum, kPublish},
               {"RouteMetric", Type::UInt16, {}},
               {"ValidLifetime", Type::TimeSpan, {}},
               {"PreferredLifetime", Type::TimeSpan, {}},
               {"InputObject", Type::NotWritten, {}}})},
      {"Remove-NetRoute", "nettcpip/remove-netroute", false, true,
       Common({{"DestinationPrefix", Type::String, {}},
               {"InterfaceIndex", Type::UInt32, {}},
               {"InterfaceAlias", Type::String, {}},
               {"NextHop", Type::String, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"Publish", Type::Enum, kPublish},
               {"RouteMetric", Type::UInt16, {}},
               {"Protocol", Type::Enum, kProtocols},
               {"CompartmentId", Type::UInt32, {}},
               {"ValidLifetime", Type::TimeSpan, {}},
               {"PreferredLifetime", Type::TimeSpan, {}},
               // Its page lists no values.
               {"State", Type::NotWritten, {}},
               {"InterfaceMetric", Type::UInt32, {}},
               {"AssociatedIPInterface", Type::NotWritten, {}},
               {"PolicyStore", Type::String, kStores},
               {"IncludeAllCompartments", Type::Switch, {}},
               {"InputObject", Type::NotWritten, {}}})},
      {"Set-NetIPInterface", "nettcpip/set-netipinterface", false, false,
       Common({{"InterfaceIndex", Type::UInt32, {}},
               {"InterfaceAlias", Type::String, {}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"ReachableTime", Type::UInt32, {}},
               {"NeighborDiscoverySupported", Type::Enum, {"No", "Yes"}},
               {"CompartmentId", Type::UInt32, {}},
               {"PolicyStore", Type::String, kStores},
               {"IncludeAllCompartments", Type::Switch, {}},
               {"Forwarding", Type::Enum, kEnabled},
               {"ClampMss", Type::Enum, kEnabled},
               {"Advertising", Type::Enum, kEnabled},
               {"NlMtuBytes", Type::UInt32, {}},
               {"InterfaceMetric", Type::UInt32, {}},
               {"NeighborUnreachabilityDetection", Type::Enum, kEnabled},
               {"BaseReachableTimeMs", Type::UInt32, {}},
               {"RetransmitTimeMs", Type::UInt32, {}},
               {"DadTransmits", Type::UInt32, {}},
               {"DadRetransmitTimeMs", Type::UInt32, {}},
               {"RouterDiscovery", Type::Enum, {"Disabled", "Enabled", "ControlledByDHCP"}},
               {"ManagedAddressConfiguration", Type::Enum, kEnabled},
               {"OtherStatefulConfiguration", Type::Enum, kEnabled},
               {"WeakHostSend", Type::Enum, kEnabled},
               {"WeakHostReceive", Type::Enum, kEnabled},
               {"IgnoreDefaultRoutes", Type::Enum, kEnabled},
               {"AdvertisedRouterLifetime", Type::TimeSpan, {}},
               {"AdvertiseDefaultRoute", Type::Enum, kEnabled},
               {"CurrentHopLimit", Type::UInt32, {}},
               {"ForceArpNdWolPattern", Type::Enum, kEnabled},
               {"DirectedMacWolPattern", Type::Enum, kEnabled},
               {"EcnMarking", Type::Enum, {"Disabled", "UseEct1", "UseEct0", "AppDecide"}},
               {"Dhcp", Type::Enum, kEnabled},
               {"AutomaticMetric", Type::Enum, kEnabled},
               {"InputObject", Type::NotWritten, {}}})},
      {"Remove-NetNeighbor", "nettcpip/remove-netneighbor", false, true,
       Common({{"IPAddress", Type::String, {}},
               {"InterfaceIndex", Type::UInt32, {}},
               {"InterfaceAlias", Type::String, {}},
               {"LinkLayerAddress", Type::String, {}},
               {"State", Type::Enum,
                {"Unreachable", "Incomplete", "Probe", "Delay", "Stale", "Reachable", "Permanent"}},
               {"AddressFamily", Type::Enum, kFamilies},
               {"AssociatedIPInterface", Type::NotWritten, {}},
               {"PolicyStore", Type::String, kStores},
               {"IncludeAllCompartments", Type::Switch, {}},
               {"InputObject", Type::NotWritten, {}}})},
      // No -PolicyStore: the cmdlet sets the protocol's one configuration.
      {"Set-NetIPv6Protocol", "nettcpip/set-netipv6protocol", false, false,
       Common({{"InputObject", Type::NotWritten, {}},
               {"DefaultHopLimit", Type::UInt32, {}},
               {"NeighborCacheLimitEntries", Type::UInt32, {}},
               {"RouteCacheLimitEntries", Type::UInt32, {}},
               {"ReassemblyLimitBytes", Type::UInt32, {}},
               {"IcmpRedirects", Type::Enum, kEnabled},
               {"SourceRoutingBehavior", Type::Enum, {"Forward", "DontForward", "Drop"}},
               {"DhcpMediaSense", Type::Enum, kEnabled},
               {"MediaSenseEventLog", Type::Enum, kEnabled},
               {"MldLevel", Type::Enum, {"None", "SendOnly", "All"}},
               {"MldVersion", Type::Enum, {"Version1", "Version2"}},
               {"MulticastForwarding", Type::Enum, kEnabled},
               {"GroupForwardedFragments", Type::Enum, kEnabled},
               {"RandomizeIdentifiers", Type::Enum, kEnabled},
               {"AddressMaskReply", Type::Enum, kEnabled},
               // The page lists no accepted values; its text names these.
               {"DeadGatewayDetection", Type::Enum, kEnabled},
               // Counter is described but not among the accepted values.
               {"UseTemporaryAddresses", Type::Enum, {"Disabled", "Enabled", "Always"}},
               {"MaxTemporaryDadAttempts", Type::UInt32, {}},
               {"MaxTemporaryValidLifetime", Type::TimeSpan, {}},
               {"MaxTemporaryPreferredLifetime", Type::TimeSpan, {}},
               {"TemporaryRegenerateTime", Type::TimeSpan, {}},
               {"MaxTemporaryDesyncTime", Type::TimeSpan, {}}})},
      // -PolicyStore: PersistentStore (the default) or a GPO's
      // Domain\GPOName; the page names no ActiveStore.
      {"Set-NetTeredoConfiguration", "networktransition/set-netteredoconfiguration", false, false,
       Common({{"IPInterface", Type::NotWritten, {}},
               {"PolicyStore", Type::String, {"PersistentStore"}},
               {"GPOSession", Type::String, {}},
               {"Type", Type::Enum,
                {"Default", "Relay", "Client", "Server", "Disabled", "Automatic", "Enterpriseclient",
                 "Natawareclient"}},
               {"ServerName", Type::String, {}},
               {"RefreshIntervalSeconds", Type::UInt32, {}},
               {"ClientPort", Type::UInt32, {}},
               {"ServerVirtualIP", Type::String, {}},
               {"DefaultQualified", Type::Boolean, {}},
               {"ServerShunt", Type::Boolean, {}},
               {"InputObject", Type::NotWritten, {}}})},
      {"Set-NetIsatapConfiguration", "networktransition/set-netisatapconfiguration", false, false,
       Common({{"IPInterface", Type::NotWritten, {}},
               {"PolicyStore", Type::String, kStores},
               {"GPOSession", Type::String, {}},
               {"State", Type::Enum, kTunnelStates},
               {"Router", Type::String, {}},
               {"ResolutionState", Type::Enum, kTunnelStates},
               {"ResolutionIntervalSeconds", Type::UInt32, {}},
               {"InputObject", Type::NotWritten, {}}})},
      {"Set-Net6to4Configuration", "networktransition/set-net6to4configuration", false, false,
       Common({{"IPInterface", Type::NotWritten, {}},
               {"PolicyStore", Type::String, kStores},
               {"GPOSession", Type::String, {}},
               {"State", Type::Enum, kTunnelStates},
               {"AutoSharing", Type::Enum, kTunnelStates},
               {"RelayName", Type::String, {}},
               {"RelayState", Type::Enum, kTunnelStates},
               {"ResolutionIntervalSeconds", Type::UInt32, {}},
               {"InputObject", Type::NotWritten, {}}})},
  };
  return cmdlets;
}

// ---------------------------------------------------------------------------
// PowerShell's reading of a command line (about_Parsing, argument mode;
// about_Quoting_Rules): statements split at ";", a command name or the call
// operator "&", parameters "-Name" (a switch may join its value with ":"),
// and values: a bare word, a single-quoted string (U+2018 to U+201B quote
// too, and two quotes in a row stand for one), a double-quoted string or a
// parenthesised expression.

enum class TokenKind { Word, Parameter, SingleQuoted, DoubleQuoted, Expression, Call };

struct CToken {
  TokenKind m_kind = TokenKind::Word;
  std::string m_text;      // the value as PowerShell reads it; a parameter's name
  std::string m_attached;  // a parameter's ":value"
  bool m_bAttached = false;
};

struct CStatement {
  std::vector<CToken> m_tokens;
};

// The length of a single quote at text's start, or 0.
std::size_t QuoteAt(std::string_view text) {
  if (!text.empty() && text[0] == '\'') return 1;
  if (text.size() >= 3 && text.substr(0, 2) == "\xE2\x80") {
    const auto third = static_cast<unsigned char>(text[2]);
    if (third >= 0x98 && third <= 0x9B) return 3;
  }
  return 0;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What ends a bare word or makes it more than text in argument mode; # only
// where a word starts, as a comment.
bool IsSpecialInWord(std::string_view rest, bool bWordStart) {
  const char c = rest[0];
  return QuoteAt(rest) != 0 || std::strchr("\"$`(){}@,|&<>;", c) != nullptr || (bWordStart && c == '#');
}

// The statements of `line`, or why it does not split cleanly.
std::optional<std::vector<CStatement>> Tokenize(std::string_view line, std::string& fault) {
  std::vector<CStatement> statements(1);
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    std::vector<CToken>& tokens = statements.back().m_tokens;
    const std::string_view rest = line.substr(i);
    if (line[i] == ';') {
      statements.emplace_back();
      ++i;
      continue;
    }
    CToken token;
    if (line[i] == '&' && tokens.empty()) {
      token.m_kind = TokenKind::Call;
      ++i;
    } else if (const std::size_t q = QuoteAt(rest); q != 0) {
      token.m_kind = TokenKind::SingleQuoted;
      i += q;
      bool bClosed = false;
      while (i < line.size()) {
        const std::size_t len = QuoteAt(line.substr(i));
        if (len == 0) {
          token.m_text += line[i++];
          continue;
        }
        const std::size_t next = QuoteAt(line.substr(i + len));
        if (next != 0) {
          token.m_text += line.substr(i + len, next);
          i += len + next;
          continue;
        }
        i += len;
        bClosed = true;
        break;
      }
      if (!bClosed) {
        fault = "a single-quoted string is not closed";
        return std::nullopt;
      }
    } else if (line[i] == '"') {
      token.m_kind = TokenKind::DoubleQuoted;
      const std::size_t end = line.find('"', i + 1);
      if (end == std::string_view::npos) {
        fault = "a double-quoted string is not closed";
        return std::nullopt;
      }
      token.m_text = std::string(line.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (line[i] == '(') {
      token.m_kind = TokenKind::Expression;
      int depth = 0;
      const std::size_t start = i;
      for (; i < line.size(); ++i) {
        if (const std::size_t q2 = QuoteAt(line.substr(i)); q2 != 0) {
          const std::size_t close = line.find('\'', i + q2);
          if (close == std::string_view::npos) break;
          i = close;
          continue;
        }
        if (line[i] == '(') ++depth;
        if (line[i] == ')' && --depth == 0) break;
      }
      if (i >= line.size()) {
        fault = "an expression is not closed";
        return std::nullopt;
      }
      token.m_text = std::string(line.substr(start, ++i - start));
    } else if (line[i] == '-' && i + 1 < line.size() && std::isalpha(static_cast<unsigned char>(line[i + 1]))) {
      token.m_kind = TokenKind::Parameter;
      ++i;
      while (i < line.size() && std::isalnum(static_cast<unsigned char>(line[i]))) token.m_text += line[i++];
      if (i < line.size() && line[i] == ':') {
        token.m_bAttached = true;
        ++i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != ';') token.m_attached += line[i++];
      }
    } else {
      token.m_kind = TokenKind::Word;
      while (i < line.size() && !IsBlank(line[i])) {
        if (IsSpecialInWord(line.substr(i), token.m_text.empty())) {
          fault = "the bare word \"" + token.m_text + "\" runs into \"" + line[i] + "\", which PowerShell reads as "
                  "more than text";
          return std::nullopt;
        }
        token.m_text += line[i++];
      }
    }
    tokens.push_back(std::move(token));
  }
  return statements;
}

// ---------------------------------------------------------------------------
// The checks.

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool IsNumberWithin(std::string_view text, std::uint64_t max) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value <= max;
}

// ([TimeSpan]'d.hh:mm:ss'), as the TimeSpan conversion of a string reads it,
// or ([TimeSpan]::MaxValue).
bool IsTimeSpan(std::string_view text) {
  if (text == "([TimeSpan]::MaxValue)") return true;
  constexpr std::string_view head = "([TimeSpan]'";
  constexpr std::string_view tail = "')";
  if (!text.starts_with(head) || !text.ends_with(tail)) return false;
  const std::string_view value = text.substr(head.size(), text.size() - head.size() - tail.size());
  const std::size_t dot = value.find('.');
  if (dot == std::string_view::npos || value.size() != dot + 9 || value[dot + 3] != ':' || value[dot + 6] != ':')
    return false;
  return IsNumberWithin(value.substr(0, dot), 10675199) && IsNumberWithin(value.substr(dot + 1, 2), 23) &&
         IsNumberWithin(value.substr(dot + 4, 2), 59) && IsNumberWithin(value.substr(dot + 7, 2), 59);
}

// The text a value token hands the parameter, when it is plain text.
std::optional<std::string> TextOf(const CToken& token) {
  if (token.m_kind == TokenKind::Word || token.m_kind == TokenKind::SingleQuoted) return token.m_text;
  return std::nullopt;
}

// Why `value` does not fit `parameter`; empty when it does.
std::string CheckValue(const CParameter& parameter, const CToken& value) {
  const std::optional<std::string> text = TextOf(value);
  const auto listed = [&](std::string_view word) {
    for (std::string_view accepted : parameter.m_values)
      if (SameWord(word, accepted)) return true;
    return false;
  };
  switch (parameter.m_type) {
    case Type::Switch:
      return "a switch takes no value of its own";
    case Type::String:
      if (!text) return "not text";
      if (!parameter.m_values.empty() && !listed(*text)) return "\"" + *text + "\" is not a documented value";
      return {};
    case Type::Enum:
      if (!text || !listed(*text)) return "\"" + value.m_text + "\" is not an accepted value";
      return {};
    case Type::UInt32:
      return text && IsNumberWithin(*text, 0xFFFFFFFFull) ? "" : "not a UInt32";
    case Type::UInt16:
      return text && IsNumberWithin(*text, 0xFFFF) ? "" : "not a UInt16";
    case Type::Byte:
      return text && IsNumberWithin(*text, 0xFF) ? "" : "not a Byte";
    case Type::Int32:
      return text && IsNumberWithin(*text, 0x7FFFFFFF) ? "" : "not an Int32";
    case Type::Boolean:
      return value.m_kind == TokenKind::Word && (SameWord(value.m_text, "$true") || SameWord(value.m_text, "$false"))
                 ? ""
                 : "not a Boolean";
    case Type::TimeSpan:
      return value.m_kind == TokenKind::Expression && IsTimeSpan(value.m_text) ? "" : "not a TimeSpan";
    case Type::NotWritten:
      return "a line cannot give this parameter's objects";
  }
  return {};
}

// The name a wildcard pattern matches when it matches one name only: the
// backtick escapes the next character; an unescaped * ? [ ] matches more.
std::optional<std::string> LiteralOfPattern(std::string_view pattern) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '`') {
      if (++i == pattern.size()) return std::nullopt;
      out += pattern[i];
    } else if (std::strchr("*?[]", pattern[i]) != nullptr) {
      return std::nullopt;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

const CCmdlet* FindCmdlet(std::string_view name) {
  for (const CCmdlet& cmdlet : Cmdlets())
    if (SameWord(cmdlet.m_name, name)) return &cmdlet;
  return nullptr;
}

// The faults of one cmdlet statement against the table.
void CheckCmdlet(const CStatement& statement, std::string_view alias, std::vector<std::string>& faults) {
  const std::vector<CToken>& tokens = statement.m_tokens;
  const CCmdlet* cmdlet = FindCmdlet(tokens[0].m_text);
  if (tokens[0].m_kind != TokenKind::Word || cmdlet == nullptr) {
    faults.push_back("\"" + tokens[0].m_text + "\" is no cmdlet of the table");
    return;
  }
  const std::string where = std::string(cmdlet->m_name) + " (" + cmdlet->m_page + ")";
  std::vector<std::string> given;
  bool bConfirmOff = false;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const CToken& token = tokens[i];
    if (token.m_kind != TokenKind::Parameter) {
      faults.push_back(where + ": the value \"" + token.m_text + "\" follows no parameter");
      continue;
    }
    const CParameter* parameter = nullptr;
    for (const CParameter& p : cmdlet->m_parameters)
      if (SameWord(p.m_name, token.m_text)) parameter = &p;
    if (parameter == nullptr) {
      faults.push_back(where + ": -" + token.m_text + " is not a documented parameter");
      // Its value, if it has one, is no second fault.
      if (!token.m_bAttached && i + 1 < tokens.size() && tokens[i + 1].m_kind != TokenKind::Parameter) ++i;
      continue;
    }
    for (const std::string& earlier : given)
      if (SameWord(earlier, parameter->m_name)) faults.push_back(where + ": -" + token.m_text + " is given twice");
    given.push_back(parameter->m_name);
    if (parameter->m_type == Type::Switch) {
      if (token.m_bAttached && token.m_attached != "$false" && token.m_attached != "$true")
        faults.push_back(where + ": -" + token.m_text + ":" + token.m_attached + " is not $true or $false");
      if (SameWord(parameter->m_name, "Confirm") && token.m_bAttached && token.m_attached == "$false")
        bConfirmOff = true;
      continue;
    }
    if (token.m_bAttached || i + 1 == tokens.size()) {
      faults.push_back(where + ": -" + token.m_text + " has no value of its own");
      continue;
    }
    const CToken& value = tokens[++i];
    const std::string fault = CheckValue(*parameter, value);
    if (!fault.empty()) faults.push_back(where + ": -" + parameter->m_name + ": " + fault);
    if (SameWord(parameter->m_name, "InterfaceAlias") && fault.empty()) {
      const std::string text = *TextOf(value);
      if (value.m_kind != TokenKind::SingleQuoted)
        faults.push_back(where + ": the alias is not single-quoted");
      const std::optional<std::string> name = cmdlet->m_bAliasWildcards ? LiteralOfPattern(text) : text;
      if (!name || *name != alias)
        faults.push_back(where + ": -InterfaceAlias reads \"" + text + "\", which is not the name \"" +
                         std::string(alias) + "\"" +
                         (cmdlet->m_bAliasWildcards ? " as a pattern of that name alone" : " taken literally"));
    }
  }
  const auto isGiven = [&](std::string_view name) {
    for (const std::string& g : given)
      if (g == name) return true;
    return false;
  };
  for (const CParameter& p : cmdlet->m_parameters)
    if (p.m_bRequired && !isGiven(p.m_name))
      faults.push_back(where + ": the required -" + std::string(p.m_name) + " is missing");
  // Left out, the filter of a Set or Remove cmdlet is every interface.
  if (!alias.empty() && !isGiven("InterfaceAlias"))
    faults.push_back(where + ": no -InterfaceAlias, so it acts on every interface");
  if (cmdlet->m_bAsks && !bConfirmOff) faults.push_back(where + ": it asks first, and -Confirm:$false is missing");
}

// The faults of a call of the system's netsh: by its full path, and every
// value that holds the adapter's name single-quoted and read back whole.
void CheckNetshCall(const CStatement& statement, std::string_view alias, std::vector<std::string>& faults) {
  const std::vector<CToken>& tokens = statement.m_tokens;
  if (tokens.size() < 2 || tokens[1].m_kind != TokenKind::DoubleQuoted ||
      tokens[1].m_text != "$env:SystemRoot\\System32\\netsh.exe") {
    faults.push_back("the call is not of the system's netsh by its full path");
    return;
  }
  bool bNamed = alias.empty();
  for (std::size_t i = 2; i < tokens.size(); ++i) {
    const CToken& token = tokens[i];
    if (token.m_kind == TokenKind::SingleQuoted) {
      bNamed = bNamed || token.m_text == alias;
    } else if (token.m_kind != TokenKind::Word) {
      faults.push_back("netsh gets \"" + token.m_text + "\", which is neither a word nor a single-quoted value");
    }
  }
  if (!bNamed) faults.push_back("no single-quoted value reads the name \"" + std::string(alias) + "\"");
}

// Every fault of `line`, built for the adapter `alias` ("" when the line
// names none).
std::vector<std::string> CheckLine(std::string_view line, std::string_view alias) {
  std::vector<std::string> faults;
  std::string fault;
  const std::optional<std::vector<CStatement>> statements = Tokenize(line, fault);
  if (!statements) return {fault};
  for (const CStatement& statement : *statements) {
    if (statement.m_tokens.empty()) {
      faults.push_back("an empty statement");
    } else if (statement.m_tokens[0].m_kind == TokenKind::Call) {
      CheckNetshCall(statement, alias, faults);
    } else {
      CheckCmdlet(statement, alias, faults);
    }
  }
  return faults;
}

std::string Joined(const std::vector<std::string>& faults) {
  std::string text;
  for (const std::string& f : faults) text += "\n  " + f;
  return text;
}

TEST(CheckLine, RefusesWhatTheDocumentationDoesNotAllow) {
  const struct {
    const char* reason;
    const char* line;
    const char* fault;  // a part of the first fault; nullptr: none
    const char* alias = "a";
  } cases[] = {
      {"a documented line", "Remove-NetNeighbor -InterfaceAlias 'a' -AddressFamily IPv6 -Confirm:$false", nullptr},
      {"a cmdlet the table does not list", "Remove-NetAdapter -InterfaceAlias 'Wi-Fi'", "is no cmdlet of the table"},
      {"a parameter its page does not name", "Set-NetIPv6Protocol -PolicyStore ActiveStore -RandomizeIdentifiers Enabled",
       "-PolicyStore is not a documented parameter"},
      {"a value outside the accepted ones", "Set-NetIPInterface -InterfaceAlias 'a' -Forwarding On",
       "\"On\" is not an accepted value"},
      {"a number too large for UInt16", "New-NetRoute -DestinationPrefix ::/0 -InterfaceAlias 'a' -RouteMetric 65536",
       "not a UInt16"},
      {"a TimeSpan with 24 hours", "New-NetIPAddress -IPAddress ::1 -InterfaceAlias 'a' -ValidLifetime ([TimeSpan]'1.24:00:00')",
       "not a TimeSpan"},
      {"a required parameter left out", "New-NetIPAddress -IPAddress ::1", "required -InterfaceAlias is missing"},
      {"a Remove cmdlet that would ask", "Remove-NetIPAddress -InterfaceAlias 'a' -IPAddress ::1",
       "-Confirm:$false is missing"},
      {"a parameter twice", "Set-NetIPInterface -InterfaceAlias 'a' -DadTransmits 1 -DadTransmits 2", "given twice"},
      {"a positional value", "Set-NetIPInterface 'a' -DadTransmits 1", "follows no parameter"},
      {"a backtick escape where the alias is taken literally", "Set-NetIPInterface -InterfaceAlias '`*'",
       "taken literally", "*"},
      {"a Set cmdlet without the alias", "Set-NetIPInterface -DadTransmits 1", "acts on every interface"},
      {"an alias that is not quoted", "Set-NetIPInterface -InterfaceAlias a", "not single-quoted"},
      {"a name that leaves its quotes", "Set-NetIPInterface -InterfaceAlias 'a'b'", "runs into"},
      {"a second statement", "Set-NetIPInterface -InterfaceAlias 'a'; calc", "is no cmdlet of the table"},
      {"a variable in a bare word", "Remove-NetNeighbor -IPAddress $x -Confirm:$false", "runs into"},
      {"netsh by its name alone", "& netsh interface ipv6 add dns 'a' '::1'", "full path"},
      {"an unclosed quote", "Set-NetIPInterface -InterfaceAlias 'a", "not closed"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> faults = CheckLine(c.line, c.alias);
    if (c.fault == nullptr) {
      EXPECT_TRUE(faults.empty()) << c.reason << Joined(faults);
    } else {
      ASSERT_FALSE(faults.empty()) << c.reason;
      EXPECT_NE(faults[0].find(c.fault), std::string::npos) << c.reason << Joined(faults);
    }
  }
}

// ---------------------------------------------------------------------------
// Every change kind's line.

const char* const kNames[] = {
    "Ethernet",
    "Local Area Connection 2",
    "Bob's LAN",
    "Bob\xE2\x80\x99s LAN",                       // ’ U+2019
    "\xE2\x80\x98x\xE2\x80\x9A\xE2\x80\x9B",      // ‘ ‚ ‛
    "'",
    "x''",
    "a`b",
    "x`",
    "*",
    "Eth?",
    "[a-z]",
    "a]b",
    "$env:ComputerName",
    "$(calc)",
    "a; calc",
    "a' ; calc ; '",
    "A&B 100%!",
    "R\xC3\xA9seau local",
};

CChange Base(ChangeKind kind, std::string_view name) {
  CChange c;
  c.m_kind = kind;
  c.m_strInterface = name;
  return c;
}

CChange Address(ChangeKind kind, std::string_view name, std::string type, std::string valid, std::string preferred,
                std::string store = "persistent") {
  CChange c = Base(kind, name);
  c.m_strAddress = "2001:db8::5";
  c.m_strType = std::move(type);
  c.m_strValidLifetime = std::move(valid);
  c.m_strPreferredLifetime = std::move(preferred);
  c.m_strStore = std::move(store);
  return c;
}

CChange Before(CChange c, std::string type) {
  c.m_bHadBefore = true;
  c.m_strTypeBefore = std::move(type);
  return c;
}

CChange Route(ChangeKind kind, std::string_view name, std::string prefix, std::string nextHop, std::string metric,
              std::string valid = "infinite", std::string preferred = "infinite", std::string store = "persistent") {
  CChange c = Address(kind, name, "", std::move(valid), std::move(preferred), std::move(store));
  c.m_strAddress = std::move(prefix);
  c.m_strNextHop = std::move(nextHop);
  c.m_strMetric = std::move(metric);
  return c;
}

CChange Dns(ChangeKind kind, std::string_view name, std::string position) {
  CChange c = Base(kind, name);
  c.m_strAddress = "2001:db8::53";
  c.m_strPosition = std::move(position);
  return c;
}

CInterfaceSettings Settings() {
  CInterfaceSettings s;
  s.m_nLargestMtu = 9000;
  return s;
}

CChange Interface(std::string_view name, void (*edit)(CInterfaceSettings&), bool bActiveOnly) {
  CChange c = Base(ChangeKind::SetInterface, name);
  c.m_interface = {Settings(), Settings(), bActiveOnly};
  edit(c.m_interface.m_after);
  return c;
}

CChange Neighbors(std::string_view name, std::string address) {
  CChange c = Base(ChangeKind::DeleteNeighbors, name);
  c.m_strAddress = std::move(address);
  return c;
}

struct CKindCase {
  std::string m_reason;
  CChange m_change;
};

// Every kind of change a named adapter has, with the values that change
// its line's parameters.
std::vector<CKindCase> AdapterKinds(std::string_view name) {
  using K = ChangeKind;
  using S = CInterfaceSettings;
  return {
      {"add address: the defaults", Address(K::AddAddress, name, "unicast", "infinite", "infinite")},
      {"add address: anycast, finite, active", Address(K::AddAddress, name, "anycast", "1d2h3m4s", "90s", "active")},
      {"set address keeping the type", Before(Address(K::SetAddress, name, "anycast", "10m", "5m", ""), "anycast")},
      {"set address keeping the type, infinite",
       Before(Address(K::SetAddress, name, "unicast", "infinite", "infinite", ""), "unicast")},
      {"set address changing the type", Before(Address(K::SetAddress, name, "anycast", "1h", "1h", ""), "unicast")},
      {"set address, the type before not known", Address(K::SetAddress, name, "unicast", "1h", "1h", "")},
      {"delete address", Address(K::DeleteAddress, name, "", "", "")},
      {"add DNS at a position", Dns(K::AddDns, name, "2")},
      {"add DNS last", Dns(K::AddDns, name, "")},
      {"delete DNS", Dns(K::DeleteDns, name, "1")},
      {"add route on-link", Route(K::AddRoute, name, "2001:db8::/48", "", "")},
      {"add route through a gateway with every value",
       Route(K::AddRoute, name, "::/0", "fe80::1%4", "9999", "1d", "12h", "active")},
      {"add route with metric 0", Route(K::AddRoute, name, "2001:db8::/48", "2001:db8::1", "0")},
      {"delete route on-link", Route(K::DeleteRoute, name, "2001:db8::/48", "", "5")},
      {"delete route through a gateway", Route(K::DeleteRoute, name, "::/0", "fe80::1%12", "")},
      {"set interface: MTU, active store", Interface(name, [](S& s) { s.m_nMtu = 1400; }, true)},
      {"set interface: forwarding", Interface(name, [](S& s) { s.m_bForwarding = true; }, false)},
      {"set interface: advertising", Interface(name, [](S& s) { s.m_bAdvertising = true; }, false)},
      {"set interface: discovery off", Interface(name, [](S& s) { s.m_nRouterDiscovery = ROUTER_DISCOVERY_DISABLED; },
                                                 false)},
      {"set interface: discovery through DHCP",
       Interface(name, [](S& s) { s.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP; }, false)},
      {"set interface: discovery back on", [&] {
         CChange c = Interface(name, [](S&) {}, false);
         c.m_interface.m_before.m_nRouterDiscovery = ROUTER_DISCOVERY_DISABLED;
         return c;
       }()},
      {"set interface: managed", Interface(name, [](S& s) { s.m_bManaged = true; }, false)},
      {"set interface: other stateful", Interface(name, [](S& s) { s.m_bOtherStateful = true; }, false)},
      {"set interface: DAD transmissions", Interface(name, [](S& s) { s.m_nDadTransmits = 0; }, false)},
      {"set interface: base reachable time", Interface(name, [](S& s) { s.m_nBaseReachableMs = 3600000; }, true)},
      {"set interface: every setting", Interface(name,
                                                 [](S& s) {
                                                   s.m_nMtu = 4294967295u;
                                                   s.m_bForwarding = s.m_bAdvertising = s.m_bManaged = true;
                                                   s.m_bOtherStateful = true;
                                                   s.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP;
                                                   s.m_nDadTransmits = 10;
                                                   s.m_nBaseReachableMs = 1;
                                                 },
                                                 false)},
      {"remove one neighbor", Neighbors(name, "fe80::1")},
      {"flush the neighbor cache", Neighbors(name, "")},
  };
}

// Get-NetIPAddress's page says that its -InterfaceAlias accepts wildcard
// characters (nettcpip/get-netipaddress). The program writes no such
// cmdlet; a cmdlet its table does not know gets the pattern escaped, so
// that it matches the one name.
TEST(QuotePowerShellAlias, APatternMatchesTheOneNameOnly) {
  for (const char* name : kNames) {
    std::string fault;
    const std::optional<std::vector<CStatement>> statements =
        Tokenize(QuotePowerShellAlias("Get-NetIPAddress", name), fault);
    ASSERT_TRUE(statements) << name << ": " << fault;
    ASSERT_EQ(statements->size(), 1u) << name;
    ASSERT_EQ((*statements)[0].m_tokens.size(), 1u) << name;
    const CToken& token = (*statements)[0].m_tokens[0];
    EXPECT_EQ(token.m_kind, TokenKind::SingleQuoted) << name;
    EXPECT_EQ(LiteralOfPattern(token.m_text), std::optional<std::string>(name)) << name;
  }
}

TEST(CmdletParameters, EveryAdapterChangeKindWithPlainAndHostileNames) {
  for (const char* name : kNames) {
    for (const CKindCase& c : AdapterKinds(name)) {
      const std::string line = FormatPowerShellCommand(c.m_change);
      ASSERT_FALSE(line.empty()) << c.m_reason << " for \"" << name << "\"";
      const std::vector<std::string> faults = CheckLine(line, name);
      EXPECT_TRUE(faults.empty()) << c.m_reason << " for \"" << name << "\":\n  " << line << Joined(faults);
    }
  }
}

// The System page's lines; they name no adapter.
struct CSystemCase {
  std::string m_reason;
  CSystemChange m_change;
};

CSystemChange System(SystemSetting setting, SettingState state, std::string store) {
  CSystemChange c;
  c.m_setting = setting;
  c.m_state = state;
  c.m_strStore = std::move(store);
  return c;
}

CSystemChange Policy(PolicyVerb verb, std::string store) {
  CSystemChange c = System(SystemSetting::AddressPreference, SettingState::PreferIPv4, std::move(store));
  c.m_verb = verb;
  c.m_policy = {"::ffff:0:0/96", 100, 4};
  return c;
}

TEST(CmdletParameters, EverySystemChangeKind) {
  using Set = SystemSetting;
  using St = SettingState;
  const CSystemCase cases[] = {
      {"temporary addresses on", System(Set::TemporaryAddresses, St::Enabled, "persistent")},
      {"temporary addresses off", System(Set::TemporaryAddresses, St::Disabled, "persistent")},
      {"temporary addresses off until the restart: through netsh (Set-NetIPv6Protocol has no -PolicyStore)",
       System(Set::TemporaryAddresses, St::Disabled, "active")},
      {"random identifiers on", System(Set::RandomIdentifiers, St::Enabled, "persistent")},
      {"random identifiers off until the restart: through netsh",
       System(Set::RandomIdentifiers, St::Disabled, "active")},
      {"Teredo default", System(Set::Teredo, St::Default, "")},
      {"Teredo off", System(Set::Teredo, St::Disabled, "")},
      {"Teredo client (an undo)", System(Set::Teredo, St::Client, "")},
      {"Teredo enterprise client (an undo)", System(Set::Teredo, St::EnterpriseClient, "")},
      {"Teredo server (an undo)", System(Set::Teredo, St::Server, "")},
      {"ISATAP default", System(Set::Isatap, St::Default, "")},
      {"ISATAP on", System(Set::Isatap, St::Enabled, "")},
      {"ISATAP off", System(Set::Isatap, St::Disabled, "")},
      {"6to4 default", System(Set::SixToFour, St::Default, "")},
      {"6to4 on", System(Set::SixToFour, St::Enabled, "")},
      {"6to4 off", System(Set::SixToFour, St::Disabled, "")},
      {"a prefix policy added: through netsh", Policy(PolicyVerb::Add, "persistent")},
      {"a prefix policy set until the restart: through netsh", Policy(PolicyVerb::Set, "active")},
      {"a prefix policy deleted: through netsh", Policy(PolicyVerb::Delete, "persistent")},
  };
  for (const auto& c : cases) {
    CChange change;
    change.m_kind = ChangeKind::System;
    change.m_system = c.m_change;
    const std::string line = FormatPowerShellCommand(change);
    const std::vector<std::string> faults = CheckLine(line, "");
    EXPECT_TRUE(faults.empty()) << c.m_reason << ":\n  " << line << Joined(faults);
  }
}

}  // namespace
}  // namespace vantoric
