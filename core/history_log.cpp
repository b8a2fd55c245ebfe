#include "core/history_log.h"

#include <nlohmann/json.hpp>

#include <array>
#include <utility>

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
constexpr std::array<std::string_view, 8> REFUSAL_WORDS = {
    "", "line too long", "quote in value", "control character", "invalid text", "busy", "no system folder",
    "other context"};

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
    entry.m_nTime = json.at("time").get<std::int64_t>();
    entry.m_strTime = json.at("local").get<std::string>();
    entry.m_strLine = json.at("line").get<std::string>();
    change.m_strInterface = json.at("interface").get<std::string>();
    change.m_nInterfaceId = json.value("interface_id", std::uint64_t{0});
    change.m_strAddress = json.value("address", std::string());
    change.m_strType = json.value("type", std::string());
    change.m_strValidLifetime = json.value("valid_lifetime", std::string());
    change.m_strPreferredLifetime = json.value("preferred_lifetime", std::string());
    change.m_strStore = json.value("store", std::string());
    change.m_strNextHop = json.value("next_hop", std::string());
    change.m_strMetric = json.value("metric", std::string());
    change.m_strPosition = json.value("position", std::string());
    entry.m_bElevated = json.value("elevated", false);
    entry.m_result.m_nExitCode = json.value("exit_code", std::uint32_t{0});
    entry.m_result.m_nSystemError = json.value("system_error", std::uint32_t{0});
    entry.m_result.m_nTimeoutMs = json.value("timeout_ms", std::uint32_t{0});
    entry.m_result.m_strOutput = json.value("output", std::string());
    entry.m_nUndoes = json.value("undoes", 0);
  } catch (const Json::exception&) {
    return false;  // a field of another type
  }
  return true;
}

}  // namespace

std::string FormatHistoryLogLine(const CHistoryEntry& entry) {
  const CChange& change = entry.m_change;
  const CNetshResult& result = entry.m_result;
  const Json json = {{"run", entry.m_strRun},
                     {"id", entry.m_nId},
                     {"time", entry.m_nTime},
                     {"local", entry.m_strTime},
                     {"kind", Word(KIND_WORDS, change.m_kind)},
                     {"interface", change.m_strInterface},
                     {"interface_id", change.m_nInterfaceId},
                     {"address", change.m_strAddress},
                     {"type", change.m_strType},
                     {"valid_lifetime", change.m_strValidLifetime},
                     {"preferred_lifetime", change.m_strPreferredLifetime},
                     {"store", change.m_strStore},
                     {"next_hop", change.m_strNextHop},
                     {"metric", change.m_strMetric},
                     {"position", change.m_strPosition},
                     {"line", entry.m_strLine},
                     {"elevated", entry.m_bElevated},
                     {"outcome", Word(OUTCOME_WORDS, result.m_outcome)},
                     {"refusal", Word(REFUSAL_WORDS, result.m_refusal)},
                     {"exit_code", result.m_nExitCode},
                     {"system_error", result.m_nSystemError},
                     {"timeout_ms", result.m_nTimeoutMs},
                     {"output", result.m_strOutput},
                     {"undoes", entry.m_nUndoes}};
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
