#include "core/system_listing.h"

#include "framework/ascii_text.h"

namespace vantoric {

namespace {

using Json = nlohmann::ordered_json;

// The state's text in lower case with underscores: "prefer_ipv4".
Json StateWord(SettingState state) {
  switch (state) {
    case SettingState::NotKnown:
      return nullptr;
    case SettingState::PreferIPv6:
      return "prefer_ipv6";
    default:
      break;
  }
  std::string word = LowerAscii(SettingStateText(state));
  for (char& c : word)
    if (c == ' ') c = '_';
  return word;
}

Json TextOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

}  // namespace

Json FormatSystemListing(const CSystemState& state) {
  Json policies = nullptr;
  if (state.m_bPoliciesKnown) {
    policies = Json::array();
    for (const CPrefixPolicy& policy : state.m_policies)
      policies.push_back(
          Json{{"prefix", policy.m_strPrefix}, {"precedence", policy.m_nPrecedence}, {"label", policy.m_nLabel}});
  }
  return Json{{"temporary_addresses", StateWord(state.Get(SystemSetting::TemporaryAddresses))},
              {"temporary_valid_lifetime", TextOrNull(state.m_strTemporaryValidLifetime)},
              {"temporary_preferred_lifetime", TextOrNull(state.m_strTemporaryPreferredLifetime)},
              {"random_identifiers", StateWord(state.Get(SystemSetting::RandomIdentifiers))},
              {"address_preference", StateWord(state.Get(SystemSetting::AddressPreference))},
              {"prefix_policies", std::move(policies)},
              {"teredo", StateWord(state.Get(SystemSetting::Teredo))},
              {"isatap", StateWord(state.Get(SystemSetting::Isatap))},
              {"6to4", StateWord(state.Get(SystemSetting::SixToFour))}};
}

}  // namespace vantoric
