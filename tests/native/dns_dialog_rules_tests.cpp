// The DNS dialogs' rules: the record a chooser selection names, the record
// entry behind a list row, and the position text of the Add DNS command.
#include "dialogs/dns_dialog_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantoric {
namespace {

TEST(DnsDialogRules, ChooserSelectionNamesARecordOnlyWithinTheRecords) {
  const struct { int selection; std::size_t count; int expected; const char* reason; } cases[] = {
      {0, 3, 0, "first entry"},
      {2, 3, 2, "last entry"},
      {3, 3, -1, "one past the last entry"},
      {-1, 3, -1, "a typed text that matches no entry"},
      {0, 0, -1, "no records at all"},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordOfChoice(c.selection, c.count), c.expected) << c.reason;
}

TEST(DnsDialogRules, ARowFindsItsEntryByText) {
  const std::vector<std::string> servers = {"2001:db8::c", "2001:db8::a", "2001:db8::b", "2001:db8::a"};
  const struct { const char* text; int expected; const char* reason; } cases[] = {
      {"2001:db8::c", 0, "first entry"},
      {"2001:db8::b", 2, "an entry that a sort moved to the end"},
      {"2001:db8::a", 1, "a text held twice gives its first entry"},
      {"2001:DB8::B", -1, "the text must match exactly"},
      {"2001:db8::", -1, "a prefix of an entry is no match"},
  };
  for (const auto& c : cases) EXPECT_EQ(FindDnsServer(servers, c.text), c.expected) << c.reason;
  EXPECT_EQ(FindDnsServer({}, "2001:db8::a"), -1) << "an adapter without servers";
}

TEST(DnsDialogRules, PositionTextReadsLikeTheCLibrary) {
  const struct { const char* text; int expected; const char* reason; } cases[] = {
      {"3", 3, "the index an adapter with three servers shows"},
      {"0", 0, "zero appends"},
      {"  \t12", 12, "leading blanks are skipped"},
      {"\r\n\v\f5", 5, "the control blanks up to a carriage return too"},
      {"\x08" "5", 0, "the character before tab is no blank"},
      {"\x0e" "5", 0, "nor the one after carriage return"},
      {"+4", 4, "a plus sign"},
      {"-2", -2, "a minus sign"},
      {"7x9", 7, "reading stops at the first other character"},
      {"", 0, "no digits"},
      {"- 1", 0, "a sign must be followed by the digits"},
      {"2147483647", 2147483647, "the largest int"},
      {"99999999999999999999", 2147483647, "too large, clamped"},
      {"-99999999999999999999", -2147483647 - 1, "too small, clamped"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDnsPosition(c.text), c.expected) << c.reason << ": \"" << c.text << "\"";
}

}  // namespace
}  // namespace vantoric
