// Lifetime text from arbitrary bytes: the check and the conversion never
// fault, accepted text always converts to a finite lifetime the OS can hold,
// and that lifetime formatted again converts back to the same seconds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/lifetime_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::uint64_t seconds = vantoric::LifetimeToSeconds(text);
  if (!vantoric::IsLifetimeTextAcceptable(text)) return 0;
  if (seconds > vantoric::MAX_FINITE_LIFETIME) std::abort();
  const std::string formatted = vantoric::FormatLifetime(static_cast<std::uint32_t>(seconds));
  if (formatted == "infinite") return 0;  // 365 days or more
  if (!vantoric::IsLifetimeTextAcceptable(formatted) || vantoric::LifetimeToSeconds(formatted) != seconds)
    std::abort();
  return 0;
}
