#include "core/history_log.h"

#include <nlohmann/json.hpp>

#include <array>
#include <initializer_list>
#include <limits>
#include <utility>

#include "core/address_guards.h"
#include "core/lifetime_text.h"
#include "core/route_records.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

using Json = nlohmann::ordered_json;

// The log's words for the kinds and outcomes, by their enum's value.
constexpr std::array<std::string_view, 11> KIND_WORDS = {
    "add address", "set address", "delete address", "add dns",      "delete dns",
    "add route",   "delete route", "system",        "set interface", "delete neighbors", "set route"};
static_assert(KIND_WORDS.size() == static_cast<std::size_t>(ChangeKind::SetRoute) + 1,
              "a word for every change kind, in the kinds' order");
constexpr std::array<std::string_view, 6> OUTCOME_WORDS = {"succeeded",     "refused",   "elevation declined",
                                                           "not started",   "timed out", "failed"};
constexpr std::array<std::string_view, 10> REFUSAL_WORDS = {
    "",     "line too long",    "quote in value", "control character", "invalid text", "busy", "no system folder",
    "other context", "shell character", "extra argument"};
static_assert(REFUSAL_WORDS.size() == static_cast<std::size_t>(NetshRefusal::ExtraArgument) + 1,
              "a word for every refusal, in the refusals' order");
constexpr std::array<std::string_view, 6> SETTING_WORDS = {"temporary addresses", "random identifiers",
                                                           "address preference",  "teredo",
                                                           "isatap",              "6to4"};
static_assert(SETTING_WORDS.size() == SYSTEM_SETTING_COUNT, "a word for every system setting");
constexpr std::array<std::string_view, 13> STATE_WORDS = {
    "not known", "enabled", "disabled",    "default",     "automatic",   "client", "enterprise client",
    "server",    "always",  "counter",     "prefer ipv6", "prefer ipv4", "custom"};
static_assert(STATE_WORDS.size() == static_cast<std::size_t>(SettingState::Custom) + 1,
              "a word for every setting state");
constexpr std::array<std::string_view, 3> VERB_WORDS = {"add", "set", "delete"};

template <typename TEnum, std::size_t N>
bool FromWord(const std::array<std::string_view, N>& words, const std::string& word, TEnum& value) {
  for (std::size_t i = 0; i < N; ++i) {
    if (words[i] == word) {
      value = static_cast<TEnum>(i);
      return true;
    }
  }
  return false;
}

template <std::size_t N, typename TEnum>
std::string Word(const std::array<std::string_view, N>& words, TEnum value) {
  const auto index = static_cast<std::size_t>(value);
  return index < N ? std::string(words[index]) : std::string();
}

// A field that the line does not read as it should: the line is skipped.
struct CBadField {};

// A whole number within T's range; a fraction, a number too large or too
// small for T, or any other value is a bad field (a floating-point value is
// never converted). A field left out keeps `fallback`.
template <typename T>
T Number(const Json& json, const char* key, T fallback = T{}) {
  const auto it = json.find(key);
  if (it == json.end()) return fallback;
  if (it->is_number_unsigned()) {
    const std::uint64_t value = it->template get<std::uint64_t>();
    if (value > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) throw CBadField{};
    return static_cast<T>(value);
  }
  if (it->is_number_integer()) {
    const std::int64_t value = it->template get<std::int64_t>();
    if constexpr (std::numeric_limits<T>::is_signed) {
      if (value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max())
        return static_cast<T>(value);
    }
  }
  throw CBadField{};
}

template <typename TEnum, std::size_t N>
void ReadWord(const std::array<std::string_view, N>& words, const Json& json, const char* key, TEnum& value) {
  if (!FromWord(words, json.at(key).get<std::string>(), value)) throw CBadField{};
}

Json SettingsJson(const CInterfaceSettings& s) {
  return {{"mtu", s.m_nMtu},
          {"largest_mtu", s.m_nLargestMtu},
          {"automatic_metric", s.m_bAutomaticMetric},
          {"metric", s.m_nMetric},
          {"forwarding", s.m_bForwarding},
          {"advertising", s.m_bAdvertising},
          {"router_discovery", s.m_nRouterDiscovery},
          {"managed", s.m_bManaged},
          {"other_stateful", s.m_bOtherStateful},
          {"dad_transmits", s.m_nDadTransmits},
          {"base_reachable_ms", s.m_nBaseReachableMs},
          {"reachable_ms", s.m_nReachableMs}};
}

CInterfaceSettings ReadSettings(const Json& json) {
  CInterfaceSettings s;
  s.m_nMtu = Number<std::uint32_t>(json, "mtu", s.m_nMtu);
  s.m_nLargestMtu = Number<std::uint32_t>(json, "largest_mtu");
  s.m_bAutomaticMetric = json.value("automatic_metric", s.m_bAutomaticMetric);
  s.m_nMetric = Number<std::uint32_t>(json, "metric");
  s.m_bForwarding = json.value("forwarding", false);
  s.m_bAdvertising = json.value("advertising", false);
  s.m_nRouterDiscovery = Number<int>(json, "router_discovery", s.m_nRouterDiscovery);
  if (s.m_nRouterDiscovery < ROUTER_DISCOVERY_DISABLED || s.m_nRouterDiscovery > ROUTER_DISCOVERY_DHCP)
    throw CBadField{};
  s.m_bManaged = json.value("managed", false);
  s.m_bOtherStateful = json.value("other_stateful", false);
  s.m_nDadTransmits = Number<std::uint32_t>(json, "dad_transmits", s.m_nDadTransmits);
  s.m_nBaseReachableMs = Number<std::uint32_t>(json, "base_reachable_ms", s.m_nBaseReachableMs);
  s.m_nReachableMs = Number<std::uint32_t>(json, "reachable_ms");
  return s;
}

Json SystemJson(const CSystemChange& c) {
  return {{"setting", Word(SETTING_WORDS, c.m_setting)},
          {"state", Word(STATE_WORDS, c.m_state)},
          {"state_before", Word(STATE_WORDS, c.m_stateBefore)},
          {"store", c.m_strStore},
          {"verb", Word(VERB_WORDS, c.m_verb)},
          {"prefix", c.m_policy.m_strPrefix},
          {"precedence", c.m_policy.m_nPrecedence},
          {"label", c.m_policy.m_nLabel},
          {"policy_before", c.m_bPolicyBefore},
          {"prefix_before", c.m_policyBefore.m_strPrefix},
          {"precedence_before", c.m_policyBefore.m_nPrecedence},
          {"label_before", c.m_policyBefore.m_nLabel}};
}

CSystemChange ReadSystem(const Json& json) {
  CSystemChange c;
  ReadWord(SETTING_WORDS, json, "setting", c.m_setting);
  ReadWord(STATE_WORDS, json, "state", c.m_state);
  ReadWord(STATE_WORDS, json, "state_before", c.m_stateBefore);
  ReadWord(VERB_WORDS, json, "verb", c.m_verb);
  c.m_strStore = json.value("store", std::string());
  c.m_policy.m_strPrefix = json.value("prefix", std::string());
  c.m_policy.m_nPrecedence = Number<std::uint32_t>(json, "precedence");
  c.m_policy.m_nLabel = Number<std::uint32_t>(json, "label");
  c.m_bPolicyBefore = json.value("policy_before", false);
  c.m_policyBefore.m_strPrefix = json.value("prefix_before", std::string());
  c.m_policyBefore.m_nPrecedence = Number<std::uint32_t>(json, "precedence_before");
  c.m_policyBefore.m_nLabel = Number<std::uint32_t>(json, "label_before");
  return c;
}

bool IsWordOf(std::string_view text, std::initializer_list<std::string_view> words) {
  const std::string lower = LowerAscii(text);
  for (std::string_view word : words)
    if (lower == word) return true;
  return false;
}

bool IsLifetimeField(std::string_view text) { return IsInfiniteLifetime(text) || IsLifetimeTextAcceptable(text); }

bool IsDigitsField(std::string_view text, std::size_t maxDigits) {
  return !text.empty() && text.size() <= maxDigits && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// An address as the windows send one: IPv6 text, with at most the number of
// its interface on a link-local address.
bool IsAddressField(std::string_view text) { return CheckDnsServerText(text).m_bPassed; }

// A state that netsh has no word for leaves a "key=" without its value.
bool HasEmptyValue(std::string_view line) {
  return line.find("= ") != std::string_view::npos || line.ends_with('=');
}

bool IsSystemChangeValid(const CSystemChange& c) {
  const bool bStore = c.m_strStore.empty() ? !HasStore(c.m_setting)
                                           : HasStore(c.m_setting) && IsWordOf(c.m_strStore, {"active", "persistent"});
  if (!bStore || HasEmptyValue(FormatSystemCommand(c))) return false;
  return c.m_setting != SystemSetting::AddressPreference || IsPrefixText(c.m_policy.m_strPrefix);
}

// Whether a change read from the log passes the checks that a new one's
// fields pass before it is sent.
bool AreLoggedFieldsValid(const CChange& c) {
  // Every kind but the system-wide one names its interface.
  if ((c.m_kind == ChangeKind::System) != c.m_strInterface.empty()) return false;
  const bool bLifetimes = IsLifetimeField(c.m_strValidLifetime) && IsLifetimeField(c.m_strPreferredLifetime);
  switch (c.m_kind) {
    case ChangeKind::AddAddress:
    case ChangeKind::SetAddress:
      return IsAddressField(c.m_strAddress) && IsWordOf(c.m_strType, {"unicast", "anycast"}) && bLifetimes &&
             (c.m_kind == ChangeKind::SetAddress || IsWordOf(c.m_strStore, {"active", "persistent"}));
    case ChangeKind::DeleteAddress:
      return IsAddressField(c.m_strAddress);
    case ChangeKind::AddDns:
      return CheckDnsServerText(c.m_strAddress).m_bPassed && IsDigitsField(c.m_strPosition, 10);
    case ChangeKind::DeleteDns:
      return CheckDnsServerText(c.m_strAddress).m_bPassed;
    case ChangeKind::AddRoute:
    case ChangeKind::SetRoute:
      return CheckRouteInput({c.m_strAddress, c.m_strNextHop, c.m_strMetric, c.m_strValidLifetime,
                              c.m_strPreferredLifetime, c.m_strStore})
          .Passed();
    case ChangeKind::DeleteRoute:
      // The metric is what the route had, not one sent.
      return CheckRouteInput({c.m_strAddress, c.m_strNextHop, "", "infinite", "infinite", "persistent"}).Passed() &&
             (c.m_strMetric.empty() || IsDigitsField(c.m_strMetric, 10));
    case ChangeKind::System:
      return IsSystemChangeValid(c.m_system);
    case ChangeKind::SetInterface:
      return CheckInterfaceInput(MakeInterfaceInput(c.m_interface.m_after), c.m_interface.m_before).m_bPassed;
    case ChangeKind::DeleteNeighbors:
      return c.m_strAddress.empty() || IsAddressField(c.m_strAddress);
  }
  return false;
}

// Reads one line; false for anything that is not an entry of the log.
bool ReadEntry(std::string_view line, CHistoryEntry& entry) {
  const Json json = Json::parse(line, nullptr, false);
  if (json.is_discarded() || !json.is_object()) return false;
  try {
    CChange& change = entry.m_change;
    if (!FromWord(KIND_WORDS, json.at("kind").get<std::string>(), change.m_kind) ||
        !FromWord(OUTCOME_WORDS, json.at("outcome").get<std::string>(), entry.m_result.m_outcome) ||
        !FromWord(REFUSAL_WORDS, json.value("refusal", std::string()), entry.m_result.m_refusal))
      return false;
    entry.m_strRun = json.at("run").get<std::string>();
    if (!json.at("time").is_number()) return false;
    entry.m_nTime = Number<std::int64_t>(json, "time");
    entry.m_strTime = json.at("local").get<std::string>();
    entry.m_strLine = json.at("line").get<std::string>();
    change.m_strInterface = json.at("interface").get<std::string>();
    change.m_nInterfaceId = Number<std::uint64_t>(json, "interface_id");
    change.m_strAddress = json.value("address", std::string());
    change.m_strType = json.value("type", std::string());
    change.m_strValidLifetime = json.value("valid_lifetime", std::string());
    change.m_strPreferredLifetime = json.value("preferred_lifetime", std::string());
    change.m_strStore = json.value("store", std::string());
    change.m_strNextHop = json.value("next_hop", std::string());
    change.m_strMetric = json.value("metric", std::string());
    change.m_strPosition = json.value("position", std::string());
    if (const auto system = json.find("system"); system != json.end()) change.m_system = ReadSystem(*system);
    if (const auto settings = json.find("interface_settings"); settings != json.end()) {
      change.m_interface.m_before = ReadSettings(settings->at("before"));
      change.m_interface.m_after = ReadSettings(settings->at("after"));
      change.m_interface.m_bActiveOnly = settings->value("active_only", false);
    }
    entry.m_bElevated = json.value("elevated", false);
    entry.m_result.m_nExitCode = Number<std::uint32_t>(json, "exit_code");
    entry.m_result.m_nSystemError = Number<std::uint32_t>(json, "system_error");
    entry.m_result.m_strSystemText = json.value("system_text", std::string());
    entry.m_result.m_nTimeoutMs = Number<std::uint32_t>(json, "timeout_ms");
    entry.m_result.m_strOutput = json.value("output", std::string());
    entry.m_nUndoes = Number<int>(json, "undoes");
  } catch (const Json::exception&) {
    return false;  // a field of another type
  } catch (const CBadField&) {
    return false;
  }
  // What a later Copy hands out is rebuilt from the fields: only fields that
  // pass a new entry's checks, and that give the logged line again, may be.
  entry.m_bLogChecked = AreLoggedFieldsValid(entry.m_change) && FormatChangeCommand(entry.m_change) == entry.m_strLine;
  return true;
}

}  // namespace

std::string FormatHistoryLogLine(const CHistoryEntry& entry) {
  const CChange& change = entry.m_change;
  const CNetshResult& result = entry.m_result;
  // Text that was refused as broken is written with its bytes spelt out, so
  // that the log shows the line as it was refused and no replacement
  // character turns it into another line.
  Json json = {{"run", EscapeInvalidUtf8(entry.m_strRun)},
               {"id", entry.m_nId},
               {"time", entry.m_nTime},
               {"local", EscapeInvalidUtf8(entry.m_strTime)},
               {"kind", Word(KIND_WORDS, change.m_kind)},
               {"interface", EscapeInvalidUtf8(change.m_strInterface)},
               {"interface_id", change.m_nInterfaceId},
               {"address", EscapeInvalidUtf8(change.m_strAddress)},
               {"type", EscapeInvalidUtf8(change.m_strType)},
               {"valid_lifetime", EscapeInvalidUtf8(change.m_strValidLifetime)},
               {"preferred_lifetime", EscapeInvalidUtf8(change.m_strPreferredLifetime)},
               {"store", EscapeInvalidUtf8(change.m_strStore)},
               {"next_hop", EscapeInvalidUtf8(change.m_strNextHop)},
               {"metric", EscapeInvalidUtf8(change.m_strMetric)},
               {"position", EscapeInvalidUtf8(change.m_strPosition)},
               {"line", EscapeInvalidUtf8(entry.m_strLine)},
               {"elevated", entry.m_bElevated},
               {"outcome", Word(OUTCOME_WORDS, result.m_outcome)},
               {"refusal", Word(REFUSAL_WORDS, result.m_refusal)},
               {"exit_code", result.m_nExitCode},
               {"system_error", result.m_nSystemError},
               {"system_text", EscapeInvalidUtf8(result.m_strSystemText)},
               {"timeout_ms", result.m_nTimeoutMs},
               {"output", EscapeInvalidUtf8(result.m_strOutput)},
               {"undoes", entry.m_nUndoes}};
  // The settings a system or interface change set, so that its PowerShell
  // line comes out the same in a later run.
  if (change.m_kind == ChangeKind::System) json["system"] = SystemJson(change.m_system);
  if (change.m_kind == ChangeKind::SetInterface)
    json["interface_settings"] = {{"before", SettingsJson(change.m_interface.m_before)},
                                  {"after", SettingsJson(change.m_interface.m_after)},
                                  {"active_only", change.m_interface.m_bActiveOnly}};
  return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<CHistoryEntry> ParseHistoryLog(std::string_view text, std::string_view currentRun) {
  std::vector<CHistoryEntry> entries;
  int position = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    CHistoryEntry entry;
    if (line.empty() || !ReadEntry(line, entry) || entry.m_strRun == currentRun) continue;
    entry.m_nId = -(++position);
    entry.m_bFromLog = true;
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool IsHistoryLogFull(std::uint64_t size, std::size_t adding) {
  return size > 0 && size + adding > HISTORY_LOG_MAX_BYTES;
}

}  // namespace vantoric
