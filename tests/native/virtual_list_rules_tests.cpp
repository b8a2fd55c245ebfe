// The rules of the owner-data list without a window: the rows' order after
// a header click, and the row that typed letters find.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "controls/virtual_list_rules.h"

namespace vantoric {
namespace {

// Rows whose caller values are their places in the list, from 0.
std::vector<CVirtualRow> Rows(const std::vector<std::vector<std::string>>& texts) {
  std::vector<CVirtualRow> rows;
  for (const std::vector<std::string>& t : texts) rows.push_back({t, static_cast<std::uint32_t>(rows.size())});
  return rows;
}

TEST(VirtualListRules, RowOrderAfterAHeaderClick) {
  const std::vector<CVirtualRow> rows = Rows({{"b", "10"}, {"a", "9"}, {"b", ""}, {"A", "9"}, {"c"}});
  const struct {
    int column;
    bool bAscending;
    std::vector<std::size_t> order;
    const char* why;
  } cases[] = {
      {0, true, {3, 1, 0, 2, 4}, "texts byte by byte (capitals first); equal texts keep their order"},
      {0, false, {4, 0, 2, 1, 3}, "descending: reversed, equal texts still in their order"},
      {1, true, {2, 4, 1, 3, 0}, "empty and missing cells first, then numbers by value (9 before 10)"},
      {1, false, {0, 1, 3, 2, 4}, "descending numbers; the empty ones last, in their order"},
      {-1, true, {0, 1, 2, 3, 4}, "no sort column: the order handed over"},
      {7, true, {0, 1, 2, 3, 4}, "a column no row has: all empty, the order kept"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SortRowOrder(rows, c.column, c.bAscending, nullptr), c.order)
        << c.why << " (column " << c.column << (c.bAscending ? ", ascending)" : ", descending)");
  EXPECT_TRUE(SortRowOrder({}, 0, true, nullptr).empty()) << "no rows";
}

TEST(VirtualListRules, RowFoundByTypedText) {
  const std::vector<CVirtualRow> rows =
      Rows({{"2026-11-01 07:00"}, {"2026-12-03 08:00"}, {"Ethernet"}, {"2026-12-04 09:00"}, {}, {"eth"}});
  const struct {
    int start;
    const char* text;
    bool bPartial;
    bool bWrap;
    int found;
    const char* why;
  } cases[] = {
      {0, "2026-12", true, true, 1, "the first row from the start that begins with the text"},
      {2, "2026-12", true, true, 3, "the start row and those after it come first"},
      {4, "2026-12", true, true, 1, "past the last row, round to the first"},
      {4, "2026-12", true, false, -1, "without going round: none after the start"},
      {1, "2026-11", true, false, -1, "without going round: a row before the start is not found"},
      {1, "2026-11", true, true, 0, "round to a row before the start"},
      {0, "ETH", true, true, 2, "letters without case"},
      {0, "eth", false, true, 5, "the whole text: a row that only begins with it does not count"},
      {3, "2026-12-03 08:00", false, true, 1, "the whole text, found going round"},
      {0, "", true, true, -1, "an empty text finds nothing"},
      {0, "Ethernet 2", true, true, -1, "a text longer than every row"},
      {-5, "2026-11", true, false, 0, "a start before the first row: from the first"},
      {99, "eth", true, true, 2, "a start past the end goes round to the first"},
      {99, "eth", true, false, -1, "a start past the end without going round: none"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindRowByText(rows, c.start, c.text, c.bPartial, c.bWrap), c.found)
        << c.why << ": \"" << c.text << "\" from row " << c.start;
  EXPECT_EQ(FindRowByText({}, 0, "a", true, true), -1) << "no rows";
}

}  // namespace
}  // namespace vantoric
