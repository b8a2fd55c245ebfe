// The address edit's text model: parser results and refusals with their
// diagnostic lines, the compressed form, and the slots <-> display steps.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "controls/ipv6_text_model.h"

namespace vantoric {
namespace {

std::string Joined(const CIpv6Groups& groups) {
  std::string text;
  for (const std::string& g : groups) text += (text.empty() ? "" : ",") + g;
  return text;
}

struct ParseOutcome {
  bool bAccepted = false;
  std::string groups;  // joined, when accepted
  std::string lines;   // everything written to the diagnostics stream
};

ParseOutcome Parse(const std::string& text, bool bPrefix = false) {
  CIpv6Groups groups;
  CDiagnosticLines out;
  ParseOutcome outcome;
  outcome.bAccepted = ParseAddressText(text, groups, bPrefix, out);
  if (outcome.bAccepted) outcome.groups = Joined(groups);
  outcome.lines = out.str();
  return outcome;
}

// The masked display for typed group digits ("" = group left empty).
std::string Masked(const std::vector<std::string>& typed) {
  std::string text(IPV6_EMPTY_MASK);
  for (size_t g = 0; g < typed.size(); ++g) text.replace(GroupStart(static_cast<int>(g)), typed[g].size(), typed[g]);
  return text;
}

std::string Trace(int nColons, int nZero) {
  return "num_colons: [" + std::to_string(nColons) + "]\nnum_zero_nibbles: [" + std::to_string(nZero) + "]\n";
}

TEST(Ipv6Options, PreviewNeedsBothOfItsBits) {
  const struct { int options; bool preview; const char* reason; } cases[] = {
      {IPV6_OPTION_PREVIEW, true, "the option alone"},
      {IPV6_OPTION_PREVIEW | 2, true, "with another bit"},
      {1, false, "only its first bit"},
      {4, false, "only its second bit"},
      {0, false, "no option"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPreviewOption(c.options), c.preview) << c.reason;
}

TEST(Ipv6Mask, LayoutColumns) {
  EXPECT_EQ(IPV6_EMPTY_MASK.size(), 71u);
  const int starts[] = {1, 11, 20, 29, 38, 47, 56, 65};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(GroupStart(i), starts[i]) << "group index " << i;
  EXPECT_EQ(GroupStart(-1), 1);
  EXPECT_EQ(GroupStart(8), 1);
  for (int column = 0; column < 71; ++column) {
    const bool bSeparator = column == 8 || column == 17 || column == 26 || column == 35 || column == 44 ||
                            column == 53 || column == 62;
    EXPECT_EQ(IsSeparatorColumn(column), bSeparator) << "column " << column;
    EXPECT_EQ(IPV6_EMPTY_MASK[static_cast<size_t>(column)], bSeparator ? ':' : ' ') << "column " << column;
  }
  const std::pair<int, int> groupOf[] = {{0, 1},  {8, 1},  {9, 2},  {17, 2}, {18, 3}, {26, 3}, {27, 4}, {35, 4},
                                         {36, 5}, {44, 5}, {45, 6}, {53, 6}, {54, 7}, {62, 7}, {63, 8}, {71, 8}};
  for (auto [column, group] : groupOf) EXPECT_EQ(GroupOfColumn(column), group) << "column " << column;
}

TEST(Ipv6Mask, NormalizeKeepsShapeOfAnyText) {
  EXPECT_EQ(NormalizeMask(""), std::string(IPV6_EMPTY_MASK));
  EXPECT_EQ(NormalizeMask(Masked({"2001", "db8"})), Masked({"2001", "db8"}));
  EXPECT_EQ(NormalizeMask(std::string(100, 'x')), Masked({"xxxx", "xxxx", "xxxx", "xxxx", "xxxx", "xxxx", "xxxx", "xxxx"}));
  EXPECT_EQ(NormalizeMask("0123456789abcdef"), Masked({"1234", "bcde"}));
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

// What the dialogs parse: the display with white space removed.
TEST(Ipv6Parser, MaskedDisplayTexts) {
  struct Case {
    std::vector<std::string> typed;
    const char* groups;  // nullptr: refused
    const char* lastLine;
  };
  const Case cases[] = {
      {{"2001", "db8", "1", "2", "3", "4", "5", "6"}, "2001,0db8,0001,0002,0003,0004,0005,0006", nullptr},
      {{"2001", "db8", "", "2", "3", "4", "5", "6"}, "2001,0db8,0000,0002,0003,0004,0005,0006", nullptr},
      {{"", "", "3", "4", "5", "6", "7", "8"}, "0000,0000,0003,0004,0005,0006,0007,0008", nullptr},
      {{"1", "2", "3", "4", "5", "6", "", ""}, "0001,0002,0003,0004,0005,0006,0000,0000", nullptr},
      {{"", "2", "3", "4", "5", "6", "7", "8"}, "0000,0002,0003,0004,0005,0006,0007,0008", nullptr},
      {{"", "2", "", "4", "5", "6", "7", "8"}, "0000,0002,0000,0004,0005,0006,0007,0008", nullptr},
      {{"1", "2", "", "", "5", "6", "7", "8"}, nullptr, "nibble already expanded!\n"},
      {{"1", "", "", "", "5", "6", "7", "8"}, nullptr, "nibble already expanded!\n"},
      {{"", "", "", "4", "5", "6", "7", "8"}, nullptr, "nibble already expanded!\n"},
      {{"1", "2", "3", "4", "5", "6", "7", ""}, nullptr, "unexpected :!\n"},
      {{}, nullptr, "nibble already expanded!\n"},
  };
  for (const Case& c : cases) {
    std::string text = Masked(c.typed);
    StripWhitespace(text);
    const ParseOutcome outcome = Parse(text);
    if (c.groups != nullptr) {
      EXPECT_TRUE(outcome.bAccepted) << text << ": " << outcome.lines;
      EXPECT_EQ(outcome.groups, c.groups) << text;
    } else {
      EXPECT_FALSE(outcome.bAccepted) << text;
      EXPECT_TRUE(outcome.lines.ends_with(c.lastLine)) << text << ": " << outcome.lines;
    }
  }
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

TEST(Ipv6Slots, SyncFromDisplay) {
  CIpv6TextModel model;
  model.SyncGroupsFromText(IPV6_EMPTY_MASK);
  EXPECT_EQ(Joined(model.GetGroups()), "0000,0000,0000,0000,0000,0000,0000,0000");
  EXPECT_EQ(model.FormatCompressed(), "::");

  model.SyncGroupsFromText(Masked({"", "1"}));
  EXPECT_EQ(Joined(model.GetGroups()), "0000,0001,0000,0000,0000,0000,0000,0000");
  EXPECT_EQ(model.FormatCompressed(), "0:1::");

  model.SyncGroupsFromText(Masked({"2001", "db8", "", "ABc", "12"}));
  EXPECT_EQ(Joined(model.GetGroups()), "2001,0db8,0000,0ABc,0012,0000,0000,0000");
  EXPECT_EQ(model.FormatCompressed(), "2001:db8:0:ABc:12::");

  // A text shorter than the mask reads as blanks where it ends.
  model.SyncGroupsFromText(" 12");
  EXPECT_EQ(Joined(model.GetGroups()), "0012,0000,0000,0000,0000,0000,0000,0000");
}

TEST(Ipv6Slots, SettersAndApply) {
  CDiagnosticLines out;
  CIpv6TextModel model;
  EXPECT_EQ(model.ApplyGroupsToText(IPV6_EMPTY_MASK), std::string(IPV6_EMPTY_MASK))
      << "slots never written show as blanks";

  ASSERT_TRUE(model.SetAddressText("2001:db8::1", out));
  EXPECT_EQ(model.ApplyGroupsToText(IPV6_EMPTY_MASK),
            Masked({"2001", "0db8", "0000", "0000", "0000", "0000", "0000", "0001"}));
  EXPECT_FALSE(model.SetAddressText("1::2::3", out));
  EXPECT_EQ(model.FormatCompressed(), "2001:db8::1") << "a refused text leaves the slots unchanged";

  ASSERT_TRUE(model.SetInterfaceIdText("0000:0000:0000:0000:020c:29ff:feab:cdef", out));
  EXPECT_EQ(Joined(model.GetGroups()), "2001,0db8,0000,0000,020c,29ff,feab,cdef");
  EXPECT_FALSE(model.SetInterfaceIdText("0000:0000:0000:0000:020c:29ff:feab", out));
  EXPECT_EQ(Joined(model.GetGroups()), "2001,0db8,0000,0000,020c,29ff,feab,cdef");

  ASSERT_TRUE(model.SetPrefixText("fd00:1:2:3::9", out));
  EXPECT_EQ(Joined(model.GetGroups()), "fd00,0001,0002,0003,    ,    ,    ,    ");
  const std::string shown = model.ApplyGroupsToText(Masked({"9", "9", "9", "9", "9", "9", "9", "9"}));
  EXPECT_EQ(shown, Masked({"fd00", "0001", "0002", "0003"}));

  model.ResetGroups();
  EXPECT_EQ(Joined(model.GetGroups()), "    ,    ,    ,    ,    ,    ,    ,    ");
  EXPECT_EQ(model.FormatCompressed(), "::");
  EXPECT_EQ(model.ApplyGroupsToText(shown), std::string(IPV6_EMPTY_MASK));
}

TEST(Ipv6Slots, StripWhitespace) {
  std::string text = " \t2001 :\n db8\r\v\f::1 ";
  EXPECT_EQ(StripWhitespace(text), "2001:db8::1");
  EXPECT_EQ(text, "2001:db8::1") << "stripped in place";
  std::string empty;
  EXPECT_EQ(StripWhitespace(empty), "");
}

}  // namespace
}  // namespace vantoric
