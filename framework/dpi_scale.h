// Metrics designed in pixels at 96 dots per inch, at another resolution.
// No windows.h: built natively and for Windows.
#pragma once

#include <cstdint>

namespace vantoric {

// The resolution that fixed pixel sizes in the program were chosen for
// (100 % scaling).
constexpr int DESIGN_DPI = 96;

// `value` pixels at fromDpi as pixels at toDpi, rounded to the nearest
// pixel with halves away from zero, as MulDiv rounds. Scaling up from 96,
// back down to 96 (a size kept in the profile) and from one resolution to
// another (a window moved to another monitor) are the same rule. A
// resolution that is not positive names no resolution: the value is kept.
constexpr int ScaleMetric(int value, int toDpi, int fromDpi = DESIGN_DPI) {
  if (toDpi <= 0 || fromDpi <= 0 || toDpi == fromDpi) return value;
  const std::int64_t product = static_cast<std::int64_t>(value) * toDpi;
  const std::int64_t magnitude = ((product < 0 ? -product : product) * 2 + fromDpi) / (2 * std::int64_t{fromDpi});
  return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

}  // namespace vantoric
