#include "core/interface_settings.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "framework/ascii_text.h"

namespace vantoric {

namespace {

// What kind of value a field holds. The metric is shown as read only:
// netsh's reference documents no metric= for "interface ipv6 set
// interface" (learn.microsoft.com/windows-server/administration/
// windows-commands/netsh-interface), so no line of this page sets it.
enum class FieldKind { Number, Shown, Switch, Discovery };

// One field: its row name, netsh's keyword (the reference's, above) and
// the cmdlet's parameter (Set-NetIPInterface's page); none for the metric.
struct CFieldInfo {
  InterfaceField field;
  FieldKind kind;
  const char* name;
  const char* keyword;
  const char* parameter;
};

constexpr CFieldInfo kFields[INTERFACE_FIELD_COUNT] = {
    {InterfaceField::Mtu, FieldKind::Number, "Link MTU (bytes)", "mtu", "NlMtuBytes"},
    {InterfaceField::Metric, FieldKind::Shown, "Interface metric", nullptr, nullptr},
    {InterfaceField::Forwarding, FieldKind::Switch, "Forwarding", "forwarding", "Forwarding"},
    {InterfaceField::Advertising, FieldKind::Switch, "Advertising", "advertise", "Advertising"},
    {InterfaceField::RouterDiscovery, FieldKind::Discovery, "Router discovery", "routerdiscovery",
     "RouterDiscovery"},
    {InterfaceField::Managed, FieldKind::Switch, "Managed address configuration", "managedaddress",
     "ManagedAddressConfiguration"},
    {InterfaceField::OtherStateful, FieldKind::Switch, "Other stateful configuration", "otherstateful",
     "OtherStatefulConfiguration"},
    {InterfaceField::DadTransmits, FieldKind::Number, "DAD transmissions", "dadtransmits", "DadTransmits"},
    {InterfaceField::BaseReachable, FieldKind::Number, "Base reachable time (ms)", "basereachabletime",
     "BaseReachableTimeMs"},
};

constexpr const char* kSwitchChoices = "enabled!disabled";
constexpr const char* kDiscoveryChoices = "enabled!disabled!dhcp";
constexpr const char* kAutomatic = "Automatic";

bool& SwitchOf(CInterfaceSettings& s, InterfaceField field) {
  switch (field) {
    case InterfaceField::Forwarding:
      return s.m_bForwarding;
    case InterfaceField::Advertising:
      return s.m_bAdvertising;
    case InterfaceField::Managed:
      return s.m_bManaged;
    default:
      return s.m_bOtherStateful;
  }
}

bool SwitchOf(const CInterfaceSettings& s, InterfaceField field) {
  return SwitchOf(const_cast<CInterfaceSettings&>(s), field);
}

std::uint32_t& NumberOf(CInterfaceSettings& s, InterfaceField field) {
  switch (field) {
    case InterfaceField::Mtu:
      return s.m_nMtu;
    case InterfaceField::DadTransmits:
      return s.m_nDadTransmits;
    default:
      return s.m_nBaseReachableMs;
  }
}

std::uint32_t NumberOf(const CInterfaceSettings& s, InterfaceField field) {
  return NumberOf(const_cast<CInterfaceSettings&>(s), field);
}

std::string_view DiscoveryWord(int behavior) {
  switch (behavior) {
    case ROUTER_DISCOVERY_DISABLED:
      return "disabled";
    case ROUTER_DISCOVERY_DHCP:
      return "dhcp";
    default:
      return "enabled";
  }
}

std::string_view DiscoveryCmdletWord(int behavior) {
  switch (behavior) {
    case ROUTER_DISCOVERY_DISABLED:
      return "Disabled";
    case ROUTER_DISCOVERY_DHCP:
      return "ControlledByDHCP";
    default:
      return "Enabled";
  }
}

// Decimal digits with blanks around them, within 32 bits; nothing else.
std::optional<std::uint32_t> ReadNumber(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return std::nullopt;
  const std::size_t end = text.find_last_not_of(" \t");
  const std::string_view digits = text.substr(begin, end - begin + 1);
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  const std::uint64_t value = ReadLeadingNumber(digits, kMax + 1).m_nMagnitude;
  if (value > kMax) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::string Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(" \t") - begin + 1));
}

std::string NotANumber(const CFieldInfo& info, std::string_view text) {
  return std::string(info.name) + ": \"" + Trimmed(text) + "\" is not a number. Type digits only.";
}

// The refusal of a number outside its range, or "" when it is inside.
std::string CheckRange(InterfaceField field, std::uint32_t value, const CInterfaceSettings& read) {
  switch (field) {
    case InterfaceField::Mtu:
      if (value < IPV6_MIN_MTU)
        return "The link MTU must be at least 1280 bytes, the smallest that IPv6 allows.";
      if (read.m_nLargestMtu != 0 && value > read.m_nLargestMtu)
        return "The link MTU cannot be more than " + std::to_string(read.m_nLargestMtu) +
               " bytes, the largest that this adapter takes.";
      if (read.m_nLargestMtu == 0 && value > MAX_UNKNOWN_LINK_MTU)
        return "The link MTU cannot be more than 65535 bytes while the largest that this adapter takes is not "
               "known.";
      return {};
    case InterfaceField::DadTransmits:
      if (value > MAX_DAD_TRANSMITS) return "DAD transmissions must be a number from 0 to 10.";
      return {};
    default:
      if (value < MIN_BASE_REACHABLE_MS || value > MAX_BASE_REACHABLE_MS)
        return "The base reachable time must be a number of milliseconds from 1 to 3600000.";
      return {};
  }
}

// The refusal of one field's text, or "" with the value put into wanted.
std::string CheckField(const CFieldInfo& info, std::string_view text, const CInterfaceSettings& read,
                       CInterfaceSettings& wanted) {
  const std::string word = LowerAscii(Trimmed(text));
  switch (info.kind) {
    case FieldKind::Number: {
      const std::optional<std::uint32_t> value = ReadNumber(text);
      if (!value) return NotANumber(info, text);
      NumberOf(wanted, info.field) = *value;
      return CheckRange(info.field, *value, read);
    }
    case FieldKind::Shown:
      return {};
    case FieldKind::Switch:
      if (word != "enabled" && word != "disabled")
        return std::string(info.name) + " must be enabled or disabled.";
      SwitchOf(wanted, info.field) = word == "enabled";
      return {};
    case FieldKind::Discovery:
      if (word == "enabled") wanted.m_nRouterDiscovery = ROUTER_DISCOVERY_ENABLED;
      else if (word == "disabled") wanted.m_nRouterDiscovery = ROUTER_DISCOVERY_DISABLED;
      else if (word == "dhcp") wanted.m_nRouterDiscovery = ROUTER_DISCOVERY_DHCP;
      else return "Router discovery must be enabled, disabled or dhcp.";
      return {};
  }
  return {};
}

bool FieldDiffers(InterfaceField field, const CInterfaceSettings& a, const CInterfaceSettings& b) {
  switch (field) {
    case InterfaceField::Mtu:
    case InterfaceField::DadTransmits:
    case InterfaceField::BaseReachable:
      return NumberOf(a, field) != NumberOf(b, field);
    case InterfaceField::Metric:
      return false;
    case InterfaceField::RouterDiscovery:
      return a.m_nRouterDiscovery != b.m_nRouterDiscovery;
    default:
      return SwitchOf(a, field) != SwitchOf(b, field);
  }
}

// The value as netsh takes it.
std::string NetshValue(InterfaceField field, const CInterfaceSettings& s) {
  switch (field) {
    case InterfaceField::Mtu:
    case InterfaceField::DadTransmits:
    case InterfaceField::BaseReachable:
      return std::to_string(NumberOf(s, field));
    case InterfaceField::RouterDiscovery:
      return std::string(DiscoveryWord(s.m_nRouterDiscovery));
    default:
      return SwitchOf(s, field) ? "enabled" : "disabled";
  }
}

}  // namespace

std::vector<CInterfaceRow> MakeInterfaceRows(const CInterfaceSettings& settings) {
  std::vector<CInterfaceRow> rows;
  for (const CFieldInfo& info : kFields) {
    CInterfaceRow row;
    row.m_field = info.field;
    row.m_strName = info.name;
    switch (info.kind) {
      case FieldKind::Number:
        row.m_strValue = std::to_string(NumberOf(settings, info.field));
        break;
      case FieldKind::Shown:
        // A choice row whose only choice is the value read: it cannot be
        // changed here.
        row.m_bChoice = true;
        row.m_strValue = settings.m_bAutomaticMetric ? kAutomatic : std::to_string(settings.m_nMetric);
        break;
      case FieldKind::Switch:
        row.m_bChoice = true;
        row.m_strValue = kSwitchChoices;
        row.m_nChoice = SwitchOf(settings, info.field) ? 0 : 1;
        break;
      case FieldKind::Discovery:
        row.m_bChoice = true;
        row.m_strValue = kDiscoveryChoices;
        row.m_nChoice = settings.m_nRouterDiscovery == ROUTER_DISCOVERY_DISABLED ? 1
                        : settings.m_nRouterDiscovery == ROUTER_DISCOVERY_DHCP   ? 2
                                                                                  : 0;
        break;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string FormatReachableTime(const CInterfaceSettings& settings) {
  return "Current reachable time: " + std::to_string(settings.m_nReachableMs) + " ms";
}

CInterfaceInput MakeInterfaceInput(const CInterfaceSettings& settings) {
  CInterfaceInput input;
  const std::vector<CInterfaceRow> rows = MakeInterfaceRows(settings);
  for (std::size_t i = 0; i < INTERFACE_FIELD_COUNT; ++i) {
    const CInterfaceRow& row = rows[i];
    if (!row.m_bChoice) {
      input[i] = row.m_strValue;
      continue;
    }
    // The choice's word, from the choices joined by "!".
    std::string_view choices = row.m_strValue;
    for (int skip = row.m_nChoice; skip > 0; --skip) choices.remove_prefix(choices.find('!') + 1);
    input[i] = std::string(choices.substr(0, choices.find('!')));
  }
  return input;
}

bool IsInterfaceInputChanged(const CInterfaceInput& input, const CInterfaceSettings& read) {
  const CInterfaceInput shown = MakeInterfaceInput(read);
  for (std::size_t i = 0; i < INTERFACE_FIELD_COUNT; ++i)
    if (LowerAscii(Trimmed(input[i])) != LowerAscii(shown[i])) return true;
  return false;
}

CInterfaceCheck CheckInterfaceInput(const CInterfaceInput& input, const CInterfaceSettings& read) {
  CInterfaceCheck check;
  check.m_wanted = read;
  for (std::size_t i = 0; i < INTERFACE_FIELD_COUNT; ++i) {
    std::string refusal = CheckField(kFields[i], input[i], read, check.m_wanted);
    if (!refusal.empty()) {
      check.m_field = kFields[i].field;
      check.m_strText = std::move(refusal);
      return check;
    }
  }
  check.m_bPassed = true;
  return check;
}

std::vector<InterfaceField> ChangedInterfaceFields(const CInterfaceSettings& before, const CInterfaceSettings& after) {
  std::vector<InterfaceField> fields;
  for (const CFieldInfo& info : kFields)
    if (FieldDiffers(info.field, before, after)) fields.push_back(info.field);
  return fields;
}

bool TurnsOnRouting(const CInterfaceChange& change) {
  return (change.m_after.m_bForwarding && !change.m_before.m_bForwarding) ||
         (change.m_after.m_bAdvertising && !change.m_before.m_bAdvertising);
}

std::string FormatRouterQuestion(std::string_view adapterName, const CInterfaceChange& change) {
  const bool bForwarding = change.m_after.m_bForwarding && !change.m_before.m_bForwarding;
  const bool bAdvertising = change.m_after.m_bAdvertising && !change.m_before.m_bAdvertising;
  std::string what = bForwarding && bAdvertising ? "forwarding and advertising"
                     : bForwarding               ? "forwarding"
                                                 : "advertising";
  std::string text = "Turning on " + what + " makes this machine a router for the link of " +
                     std::string(adapterName) + ":";
  if (bForwarding) text += " it will pass on packets between this adapter and the others.";
  if (bAdvertising)
    text += std::string(bForwarding ? " It" : " it") +
            " will send router advertisements, from which the other machines on the link configure themselves.";
  return text + "\n\nTurn it on?";
}

std::string FormatSetInterfaceCommand(std::string_view interfaceName, const CInterfaceChange& change) {
  std::string line = "interface ipv6 set interface \"" + std::string(interfaceName) + "\"";
  for (InterfaceField field : ChangedInterfaceFields(change.m_before, change.m_after))
    line += " " + std::string(kFields[static_cast<std::size_t>(field)].keyword) + "=" +
            NetshValue(field, change.m_after);
  return line + (change.m_bActiveOnly ? " store=active" : " store=persistent");
}

std::string FormatSetInterfacePowerShell(std::string_view quotedName, const CInterfaceChange& change) {
  std::string line = "Set-NetIPInterface -InterfaceAlias " + std::string(quotedName) + " -AddressFamily IPv6";
  const CInterfaceSettings& after = change.m_after;
  for (InterfaceField field : ChangedInterfaceFields(change.m_before, after)) {
    const std::string parameter = " -" + std::string(kFields[static_cast<std::size_t>(field)].parameter) + " ";
    switch (field) {
      case InterfaceField::RouterDiscovery:
        line += parameter + std::string(DiscoveryCmdletWord(after.m_nRouterDiscovery));
        break;
      case InterfaceField::Mtu:
      case InterfaceField::DadTransmits:
      case InterfaceField::BaseReachable:
        line += parameter + std::to_string(NumberOf(after, field));
        break;
      default:
        line += parameter + (SwitchOf(after, field) ? "Enabled" : "Disabled");
        break;
    }
  }
  return line + (change.m_bActiveOnly ? " -PolicyStore ActiveStore" : "");
}

std::string PlanInterfaceUndo(const CInterfaceChange& change, CInterfaceChange& inverse) {
  inverse.m_before = change.m_after;
  inverse.m_after = change.m_before;
  inverse.m_bActiveOnly = change.m_bActiveOnly;
  return {};
}

}  // namespace vantoric
