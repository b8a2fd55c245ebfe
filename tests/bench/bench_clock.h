// The benchmarks' clock (seconds from the performance counter), their
// message pump and their statistics.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace vantoric::bench {

inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

// Dispatches every message waiting for this thread.
inline void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// The value at fraction p (0 to 1) of the sorted values; 0 for none.
inline double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

inline double MedianOf(std::vector<double> v) { return Percentile(std::move(v), 0.5); }

}  // namespace vantoric::bench
