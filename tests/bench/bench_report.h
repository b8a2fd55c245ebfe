// The benchmarks' report lines: a figure, and for a figure with a target the
// target and whether it is met, on one line that scripts/bench collects.
#pragma once

#include <cstdio>

namespace vantoric::bench {

// "<what>: <value><unit>".
inline void Figure(const char* what, double value, const char* unit) {
  std::printf("  %-58s %10.2f %s\n", what, value, unit);
}

// "<what>: <value><unit> (target at most <limit>): met" or "NOT met".
inline bool TargetAtMost(const char* what, double value, double limit, const char* unit) {
  const bool met = value <= limit;
  std::printf("  %-58s %10.2f %s (target at most %.2f): %s\n", what, value, unit, limit, met ? "met" : "NOT met");
  return met;
}

// The same for a target that must stay below its limit.
inline bool TargetUnder(const char* what, double value, double limit, const char* unit) {
  const bool met = value < limit;
  std::printf("  %-58s %10.2f %s (target under %.2f): %s\n", what, value, unit, limit, met ? "met" : "NOT met");
  return met;
}

}  // namespace vantoric::bench
