// The address edit's text model: the mask, the display texts the dialogs
// parse, and the slots <-> display steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/ipv6_text_model.h"
#include "tests/native/ipv6_text_test_support.h"

namespace vantoric {
namespace {

// The masked display for typed group digits ("" = group left empty).
std::string Masked(const std::vector<std::string>& typed) {
  std::string text(IPV6_EMPTY_MASK);
  for (size_t g = 0; g < typed.size(); ++g) text.replace(GroupStart(static_cast<int>(g)), typed[g].size(), typed[g]);
  return text;
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

}  // namespace
}  // namespace vantoric
