// The "system" object of the /list reading: the System page's values, null
// where the system did not tell them. Portable.
#pragma once

#include <nlohmann/json.hpp>

#include "core/system_settings.h"

namespace vantoric {

// {"temporary_addresses", "temporary_valid_lifetime",
// "temporary_preferred_lifetime", "random_identifiers",
// "address_preference", "prefix_policies": [{"prefix", "precedence",
// "label"}], "teredo", "isatap", "6to4"}; a state is a lower-case word
// ("enabled", "prefer_ipv4", "enterprise_client", ...).
nlohmann::ordered_json FormatSystemListing(const CSystemState& state);

}  // namespace vantoric
