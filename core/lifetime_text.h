// Lifetime text: up to four numbers each followed by a unit letter, days
// first (1d2h3m4s), or the keyword "infinite", which callers test for before
// checking or converting. The same text is handed to netsh unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantoric {

// What the OS reports for a lifetime that never ends.
constexpr std::uint32_t INFINITE_LIFETIME = 0xFFFFFFFFu;
// The longest finite lifetime the OS's 32-bit field can hold.
constexpr std::uint32_t MAX_FINITE_LIFETIME = 0xFFFFFFFEu;
// LifetimeToSeconds's result for text too long to count.
constexpr std::uint64_t LIFETIME_OVERFLOW = UINT64_MAX;

// The lifetime keyword "infinite", in any letter case.
bool IsInfiniteLifetime(std::string_view text);

// Seconds as lifetime text: 1d0h5m0s, 23h59m59s, 1m0s, 59s, 0s; leading zero
// units dropped, inner ones written. 365 days or more is "infinite".
std::string FormatLifetime(std::uint32_t seconds);
// Seconds as lifetime text that gives netsh the same lifetime back: only
// INFINITE_LIFETIME is "infinite", every other value is written out in days
// (400d0h0m0s).
std::string FormatExactLifetime(std::uint32_t seconds);

// The format rule of typed lifetime text (without the keyword): digits and
// the unit letters d, h, m, s in either case, each letter once, after a
// number, in the order d, h, m, s, the text ending in a unit letter, and at
// most MAX_FINITE_LIFETIME seconds in all.
bool IsLifetimeTextAcceptable(std::string_view text);

// Seconds of lifetime text, in 64 bits so that a long lifetime cannot wrap
// into a short one; saturates at LIFETIME_OVERFLOW. The numbers count by
// position after the missing units are filled in (5m is 0d0h5m0s); text with
// more than four numbers, the empty text and "infinite" give 0.
std::uint64_t LifetimeToSeconds(std::string_view text);

// Whether a valid lifetime is at least the preferred one: an infinite valid
// lifetime always is; a finite one never reaches an infinite preferred one;
// otherwise the seconds decide.
bool IsLifetimeOrderValid(std::string_view validLifetime, std::string_view preferredLifetime);

}  // namespace vantoric
