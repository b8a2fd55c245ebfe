// Lifetime text: formatting, the format check, conversion to seconds and the
// order of a valid and a preferred lifetime.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/lifetime_text.h"

namespace vantoric {
namespace {

TEST(FormatLifetime, BoundariesOfEachUnit) {
  struct Case {
    std::uint32_t seconds;
    const char* text;
  };
  const Case cases[] = {
      {0, "0s"},
      {1, "1s"},
      {59, "59s"},
      {60, "1m0s"},
      {61, "1m1s"},
      {3599, "59m59s"},
      {3600, "1h0m0s"},
      {3661, "1h1m1s"},
      {86399, "23h59m59s"},
      {86400, "1d0h0m0s"},
      {86400 + 300, "1d0h5m0s"},
      {93784, "1d2h3m4s"},
      {60000, "16h40m0s"},
      {365u * 86400 - 1, "364d23h59m59s"},
      {365u * 86400, "infinite"},
      {0xFFFFFFFEu, "infinite"},
      {0xFFFFFFFFu, "infinite"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatLifetime(c.seconds), c.text) << c.seconds << " s";
}

TEST(FormatExactLifetime, OnlyTheOsInfiniteValueIsInfinite) {
  struct Case {
    std::uint32_t seconds;
    const char* text;
    const char* why;
  };
  const Case cases[] = {
      {0, "0s", "zero is finite"},
      {93784, "1d2h3m4s", "below a year: as the list shows it"},
      {365u * 86400, "365d0h0m0s", "a year: the list's \"infinite\", but finite"},
      {400u * 86400, "400d0h0m0s", "the lifetime that used to become infinite on edit"},
      {0xFFFFFFFEu, "49710d6h28m14s", "the longest finite lifetime"},
      {0xFFFFFFFFu, "infinite", "the OS's infinite"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatExactLifetime(c.seconds), c.text) << c.why;
}

TEST(IsLifetimeTextAcceptable, AcceptsWellFormedText) {
  const char* accepted[] = {
      "1d2h3m4s", "10d", "30m", "100s", "1h30m", "1D2H", "0s", "0d", "1d30s", "2h5s", "007m",
      "364d23h59m59s",
      "49710d6h28m14s",  // 4294967294 s, the longest finite lifetime
      "4294967294s",
  };
  for (const char* text : accepted) EXPECT_TRUE(IsLifetimeTextAcceptable(text)) << "\"" << text << "\"";
}

TEST(IsLifetimeTextAcceptable, RefusesMalformedText) {
  struct Case {
    const char* text;
    const char* why;
  };
  const Case refused[] = {
      {"", "no unit letter"},
      {"12", "no unit letter"},
      {"infinite", "the keyword is the caller's"},
      {"d1", "unit first"},
      {"h", "unit without a number"},
      {"1x", "not a unit"},
      {"1d2d", "unit twice"},
      {"1d2D", "unit twice in other case"},
      {"1H2h", "unit twice in other case"},
      {"1s2S", "unit twice in other case"},
      {"1h2d", "days after hours"},
      {"1s2m", "minutes after seconds"},
      {"1m2h", "hours after minutes"},
      {"1s2d", "days after seconds"},
      {"1d 2h", "blank"},
      {" 1d", "leading blank"},
      {"+1d", "sign"},
      {"-1d", "sign"},
      {"2h1", "number without unit"},
      {"1dh", "unit after unit"},
      {"5m30", "trailing number would read as 300 s"},
      {"1d0", "trailing number without unit"},
      {"49710d6h28m15s", "4294967295 s is the infinite value"},
      {"4294967295s", "4294967295 s is the infinite value"},
      {"50000d", "longer than the OS can hold"},
      {"99999999999999999999999d", "beyond 64 bits"},
  };
  for (const Case& c : refused) EXPECT_FALSE(IsLifetimeTextAcceptable(c.text)) << "\"" << c.text << "\": " << c.why;
}

TEST(LifetimeToSeconds, WorkedResults) {
  struct Case {
    const char* text;
    std::uint64_t seconds;
  };
  const Case cases[] = {
      {"1d2h3m4s", 93784},
      {"1D2H3M4S", 93784},
      {"5m", 300},
      {"3h", 10800},
      {"1d30s", 86430},
      {"2h5s", 7205},
      {"1d5m", 86700},
      {"0s", 0},
      {"", 0},
      {"infinite", 0},
      {"1d2D", 0},  // five numbers after filling in the missing units
      {"4294967294s", 4294967294u},
      {"49710d6h28m14s", 4294967294u},
      {"50000d", 50000ull * 86400},  // no wrap at 2^32
      {"99999999999999999999d", LIFETIME_OVERFLOW},
      {"213503982334602d", LIFETIME_OVERFLOW},  // the first day count past 2^64 seconds
      {"213503982334601d", 213503982334601ull * 86400},
      {"307445734561825860m", 307445734561825860ull * 60},  // the last minute count that fits: not saturated
      {"1d 2h", 93600},         // blanks before a number are skipped, as the C library does
      {"1d\t2h", 93600},        // the first of the control blanks
      {"1d\r2h", 93600},        // the last of them
      {"1d\x08" "2h", 86400},  // the character before them: the number reads as 0
      {"1d\x0e" "2h", 86400},  // the character after them
      {"-5m", LIFETIME_OVERFLOW},  // a negative number is no lifetime, not a wrapped one
      {"-0m", 0},                  // minus zero is zero
  };
  for (const Case& c : cases) EXPECT_EQ(LifetimeToSeconds(c.text), c.seconds) << "\"" << c.text << "\"";
}

TEST(LifetimeText, FormattedTextIsAcceptedAndConvertsBack) {
  // Every unit boundary and a spread of values below 365 days.
  for (std::uint64_t s = 0; s < 365ull * 86400; s = s < 200000 ? s + 1 : s * 3 / 2 + 7) {
    const std::uint32_t seconds = static_cast<std::uint32_t>(s);
    const std::string text = FormatLifetime(seconds);
    ASSERT_TRUE(IsLifetimeTextAcceptable(text)) << text;
    ASSERT_EQ(LifetimeToSeconds(text), seconds) << text;
  }
  // The exact text gives netsh back every finite lifetime, however long.
  for (std::uint64_t s = 0; s < INFINITE_LIFETIME; s = s * 3 / 2 + 7919) {
    const std::string text = FormatExactLifetime(static_cast<std::uint32_t>(s));
    ASSERT_TRUE(IsLifetimeTextAcceptable(text)) << text;
    ASSERT_EQ(LifetimeToSeconds(text), s) << text;
  }
}

TEST(LifetimeText, AcceptedTextNeverConvertsToAWrongNumber) {
  // Every arrangement of up to four numbers with units in order, in mixed
  // case: the accepted text converts to the sum of its parts.
  const char units[] = {'d', 'h', 'm', 's'};
  const std::uint64_t factor[] = {86400, 3600, 60, 1};
  const unsigned values[] = {0, 7, 59, 100};
  for (unsigned mask = 1; mask < 16; ++mask) {
    for (unsigned v : values) {
      std::string text;
      std::uint64_t expected = 0;
      for (int u = 0; u < 4; ++u) {
        if ((mask & (1u << u)) == 0) continue;
        text += std::to_string(v + static_cast<unsigned>(u));
        text += (u % 2) ? static_cast<char>(units[u] - 'a' + 'A') : units[u];
        expected += (v + static_cast<unsigned>(u)) * factor[u];
      }
      ASSERT_TRUE(IsLifetimeTextAcceptable(text)) << text;
      EXPECT_EQ(LifetimeToSeconds(text), expected) << text;
    }
  }
}

TEST(LifetimeOrder, ValidAtLeastPreferredWithTheKeywordInAnyCase) {
  const struct {
    const char *valid, *preferred;
    bool bValid;
    const char* why;
  } cases[] = {
      {"infinite", "infinite", true, "both infinite"},
      {"infinite", "1h", true, "infinite valid passes"},
      {"1h", "infinite", false, "finite valid under infinite preferred"},
      {"2h", "2h", true, "equal"},
      {"1h", "2h", false, "valid shorter"},
      {"60m", "1h", true, "seconds compared, not texts"},
      {"Infinite", "infinite", true, "capital keyword is infinite, not 0 s"},
      {"1h", "INFINITE", false, "capital keyword preferred is infinite"},
      {"infinit", "1s", false, "no keyword: counts 0 s"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsLifetimeOrderValid(c.valid, c.preferred), c.bValid) << c.valid << " / " << c.preferred << ": " << c.why;
}

}  // namespace
}  // namespace vantoric
