// IPv6 address text: parser results and refusals with their diagnostic
// lines, and the compressed form.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/ipv6_address_text.h"
#include "tests/native/ipv6_text_test_support.h"

namespace vantoric {
namespace {

std::string Trace(int nColons, int nZero) {
  return "num_colons: [" + std::to_string(nColons) + "]\nnum_zero_nibbles: [" + std::to_string(nZero) + "]\n";
}

TEST(Ipv6Parser, AcceptedTexts) {
  struct Case {
    const char* text;
    const char* groups;
    int nColons, nZero;
  };
  const Case cases[] = {
      {"2001:db8::1", "2001,0db8,0000,0000,0000,0000,0000,0001", 2, 5},
      {"::", "0000,0000,0000,0000,0000,0000,0000,0000", 1, 6},
      {"::1:2", "0000,0000,0000,0000,0000,0000,0001,0002", 2, 5},
      {"1::", "0001,0000,0000,0000,0000,0000,0000,0000", 1, 6},
      {"1:2:3:4:5:6:7::", "0001,0002,0003,0004,0005,0006,0007,0000", 7, 0},
      {"1::2:3:4:5:6:7:8", "0001,0002,0003,0004,0005,0006,0007,0008", 7, 0},
      {"::2:3:4:5:6:7:8", "0000,0002,0003,0004,0005,0006,0007,0008", 7, 0},
      {"1:2:3:4:5:6:7:8", "0001,0002,0003,0004,0005,0006,0007,0008", 7, 0},
      {"fe80::1", "fe80,0000,0000,0000,0000,0000,0000,0001", 1, 6},
      {"ABCD:eF01::a", "ABCD,eF01,0000,0000,0000,0000,0000,000a", 2, 5},
      {"1:0:3::", "0001,0000,0003,0000,0000,0000,0000,0000", 3, 4},
      // A single leading colon is an empty first group read as zero.
      {":2:3:4:5:6:7:8", "0000,0002,0003,0004,0005,0006,0007,0008", 7, 0},
      {":2::4:5:6:7:8", "0000,0002,0000,0004,0005,0006,0007,0008", 6, 1},
      {":1::", "0000,0001,0000,0000,0000,0000,0000,0000", 2, 5},
  };
  for (const Case& c : cases) {
    const ParseOutcome outcome = Parse(c.text);
    EXPECT_TRUE(outcome.bAccepted) << c.text << ": " << outcome.lines;
    EXPECT_EQ(outcome.groups, c.groups) << c.text;
    EXPECT_EQ(outcome.lines, Trace(c.nColons, c.nZero)) << c.text;
  }
}

TEST(Ipv6Parser, RefusalsWriteTheirLine) {
  struct Case {
    const char* text;
    std::string lines;
  };
  const Case cases[] = {
      {"", "unexpected number of colons: [0]\n"},
      {"1:2:3:4:5:6:7:8:9", "unexpected number of colons: [8]\n"},
      {"1:2:3", "unexpected number of colons: [2]\n"},
      {"1.2.3.4", "unexpected number of colons: [0]\n"},
      {"::1:2:3:4:5:6:7:8", "unexpected number of colons: [8]\n"},
      {"12345::", Trace(1, 6) + "too long nibble: [4]\n"},
      {"1:2:3:4:5:6:7:", Trace(7, 0) + "unexpected :!\n"},
      {"::ffff:1.2.3.4", Trace(2, 5) + "invalid character in the address: [.]\n"},
      {"1::g", Trace(1, 6) + "invalid character in the address: [g]\n"},
      {"1::2::3", Trace(2, 5) + "[b] nibbles found exceeded: [8]\n"},
      {"1:2::4::6:7:8", Trace(5, 2) + "[a] nibbles found exceeded: [8]\n"},
      {"1::2::3:4:5:6:7", Trace(6, 1) + "[c] nibbles found exceeded: [8]\n"},
      {":::", Trace(2, 5) + "nibble already expanded!\n"},
      {"1:::2", Trace(2, 5) + "nibble already expanded!\n"},
  };
  for (const Case& c : cases) {
    const ParseOutcome outcome = Parse(c.text);
    EXPECT_FALSE(outcome.bAccepted) << c.text;
    EXPECT_EQ(outcome.lines, c.lines) << c.text;
  }
}

TEST(Ipv6Parser, RefusedTextLeavesGroupsAlone) {
  CIpv6Groups groups;
  groups.fill("keep");
  CDiagnosticLines out;
  EXPECT_FALSE(ParseAddressText("1::2::3", groups, false, out));
  EXPECT_EQ(Joined(groups), "keep,keep,keep,keep,keep,keep,keep,keep");
}

TEST(Ipv6Parser, LinesGoToStandardOutput) {
  CDiagnosticLines captured;
  CDiagnosticLines* saved = StandardOutput().Redirect(&captured);
  CIpv6Groups groups;
  const bool bAccepted = ParseAddressText("1:2:3", groups, false);
  StandardOutput().Redirect(saved);
  EXPECT_FALSE(bAccepted);
  EXPECT_EQ(captured.str(), "unexpected number of colons: [2]\n");
}

TEST(Ipv6Parser, PrefixMode) {
  const std::string blanks = "    ,    ,    ,    ";
  struct Case {
    const char* text;
    std::string groups;
  };
  const Case cases[] = {
      {"2001:db8:1:2:0:0:0:0", "2001,0db8,0001,0002," + blanks},
      {"2001:db8:1:2:zz:y:x:w", "2001,0db8,0001,0002," + blanks},
      {"2001:db8:1:2::5", "2001,0db8,0001,0002," + blanks},
      // The double colon has carried the scan past the fourth group: the
      // prefix is still only the first four.
      {"2001:db8::1:2:3:4", "2001,0db8,0000,0000," + blanks},
      {"1::2:3:4:5:6", "0001,0000,0000,0002," + blanks},
      // Fewer than four colons: the text ends before the scan would stop.
      {"2001:db8::1", "2001,0db8,0000,0000," + blanks},
      {"::", "0000,0000,0000,0000," + blanks},
  };
  for (const Case& c : cases) {
    const ParseOutcome outcome = Parse(c.text, true);
    EXPECT_TRUE(outcome.bAccepted) << c.text << ": " << outcome.lines;
    EXPECT_EQ(outcome.groups, c.groups) << c.text;
  }
  const ParseOutcome shortPrefix = Parse("2001:db8:1:2", true);
  EXPECT_FALSE(shortPrefix.bAccepted) << "a prefix text must pass the colon count of the whole form";
  EXPECT_EQ(shortPrefix.lines, "unexpected number of colons: [3]\n");
}

TEST(Ipv6Compressed, Forms) {
  struct Case {
    CIpv6Groups groups;
    const char* text;
  };
  const Case cases[] = {
      {{"2001", "0db8", "0000", "0000", "0000", "0000", "0000", "0001"}, "2001:db8::1"},
      {{"0000", "0000", "0000", "0000", "0000", "0000", "0000", "0000"}, "::"},
      {{"0001", "0000", "0003", "0004", "0005", "0006", "0007", "0008"}, "1::3:4:5:6:7:8"},
      {{"0001", "0000", "0000", "0004", "0000", "0000", "0007", "0008"}, "1::4:0:0:7:8"},
      {{"2001", "0db8", "0001", "0002", "0003", "0004", "0005", "0006"}, "2001:db8:1:2:3:4:5:6"},
      {{"0000", "0001", "0000", "0000", "0000", "0000", "0000", "0000"}, "0:1::"},
      {{"0000", "0000", "0003", "0004", "0005", "0006", "0000", "0000"}, "::3:4:5:6:0:0"},
      {{"fe80", "0000", "0000", "0000", "0a0B", "0000", "0000", "0001"}, "fe80::a0B:0:0:1"},
      {{"2001", "0db8", "0001", "0002", "    ", "    ", "    ", "    "}, "2001:db8:1:2::"},
      {{"-001", "0-0-", "0000", "0000", "0000", "0000", "0000", "0000"}, "1::"},
      {{"1000", "0100", "0010", "0001", "abcd", "ABCD", "0a00", "00a0"}, "1000:100:10:1:abcd:ABCD:a00:a0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCompressed(c.groups), c.text) << Joined(c.groups);
}

TEST(Ipv6Compressed, ParsesBackToTheSameAddress) {
  std::mt19937 rng(7);
  for (int round = 0; round < 5000; ++round) {
    CIpv6Groups groups;
    for (std::string& g : groups) {
      // Plenty of zero groups so that runs of every length and place occur.
      const unsigned value = rng() % 3 == 0 ? 0 : rng() % 0x10000;
      char buf[5];
      std::snprintf(buf, sizeof buf, "%04x", value);
      g = buf;
    }
    const std::string text = FormatCompressed(groups);
    CIpv6Groups parsed;
    CDiagnosticLines out;
    ASSERT_TRUE(ParseAddressText(text, parsed, false, out)) << text << ": " << out.str();
    EXPECT_EQ(Joined(parsed), Joined(groups)) << text;
  }
}

TEST(Ipv6Text, StripWhitespace) {
  std::string text = " \t2001 :\n db8\r\v\f::1 ";
  EXPECT_EQ(StripWhitespace(text), "2001:db8::1");
  EXPECT_EQ(text, "2001:db8::1") << "stripped in place";
  std::string empty;
  EXPECT_EQ(StripWhitespace(empty), "");
}

}  // namespace
}  // namespace vantoric
