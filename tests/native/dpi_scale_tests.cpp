// Scaling a metric from one resolution to another: the nearest pixel, halves
// away from zero as MulDiv rounds them.
#include <gtest/gtest.h>

#include "framework/dpi_scale.h"

namespace vantoric {
namespace {

TEST(DpiScale, ScaleMetricRoundsToTheNearestPixel) {
  struct Case {
    int value, toDpi, fromDpi, expected;
    const char* reason;
  };
  const Case cases[] = {
      {16, 96, 96, 16, "at 96 a metric stays as designed"},
      {16, 120, 96, 20, "125 %: exact"},
      {17, 120, 96, 21, "125 %: 21.25 rounds down"},
      {18, 120, 96, 23, "125 %: 22.5, a half, rounds up"},
      {17, 144, 96, 26, "150 %: 25.5 rounds up"},
      {15, 144, 96, 23, "150 %: 22.5 rounds up"},
      {14, 144, 96, 21, "150 %: exact"},
      {17, 192, 96, 34, "200 %: doubled"},
      {1, 120, 96, 1, "one pixel at 125 % stays one (1.25)"},
      {1, 144, 96, 2, "one pixel at 150 % is two (1.5, a half)"},
      {6, 110, 96, 7, "an odd resolution: 6.875"},
      {48, 168, 96, 84, "175 %"},
      {280, 288, 96, 840, "300 %"},
      {0, 192, 96, 0, "zero stays zero"},
      {-11, 120, 96, -14, "a font's negative height: -13.75 rounds to -14"},
      {-2, 120, 96, -3, "negative halves round away from zero: -2.5"},
      {-13, 96, 120, -10, "negative back to 96: -10.4"},
      {600, 96, 192, 300, "a size kept in the profile at 96"},
      {601, 96, 192, 301, "back to 96: 300.5 rounds up"},
      {511, 96, 144, 341, "back to 96 from 150 %: 340.67"},
      {40, 144, 120, 48, "from one monitor's scaling to another's"},
      {100, 0, 96, 100, "no resolution to scale to: kept"},
      {100, 192, 0, 100, "no resolution scaled from: kept"},
      {100, -96, 96, 100, "a negative resolution is none: kept"},
      {1000000000, 192, 96, 2000000000, "the product leaves int's range on the way and the result is still right"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleMetric(c.value, c.toDpi, c.fromDpi), c.expected)
        << c.reason << ": " << c.value << " from " << c.fromDpi << " to " << c.toDpi;
  }
}

}  // namespace
}  // namespace vantoric
