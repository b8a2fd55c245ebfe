// The benchmarks' clock: seconds from the performance counter.
#pragma once

#include <windows.h>

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

}  // namespace vantoric::bench
