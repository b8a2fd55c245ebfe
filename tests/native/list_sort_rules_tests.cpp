// The sortable list's rules without a window: column specifications, the
// row comparison of the column sort, and the header item's text and arrow.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "controls/list_sort_rules.h"

namespace vantoric {
namespace {

// One row of a table whose rule reads a single text.
template <typename T>
struct TextCase {
  const char* text;
  T expected;
  const char* reason;
};

template <typename T, typename Rule>
void ExpectTable(std::initializer_list<TextCase<T>> cases, Rule rule) {
  for (const TextCase<T>& c : cases) EXPECT_EQ(rule(c.text), c.expected) << c.reason << ": \"" << c.text << '"';
}

TEST(ListSortRules, ColumnSpecification) {
  using A = ColumnAlign;
  ExpectTable<std::vector<CListColumnSpec>>(
      {
          {"DNS Server Addresses, 298", {{"DNS Server Addresses", A::Left, 298}}, "title and width"},
          {"A,1,50;B,2,60;C,7,70", {{"A", A::Center, 50}, {"B", A::Right, 60}, {"C", A::Left, 70}}, "formats"},
          {"A,,20", {{"A", A::Left, 20}}, "empty format is left"},
          {" B , 2 , 30", {{" B ", A::Right, 30}}, "title as written, blanks before numbers"},
          {"A, 0", {{"A", A::Left, 1}}, "width 0 gives 1"},
          {"A,-5", {{"A", A::Left, 1}}, "negative width gives 1"},
          {"A,wide", {{"A", A::Left, 1}}, "no digits gives 1"},
          {"A, 10px", {{"A", A::Left, 10}}, "reading stops at a non-digit"},
          {"A,99999999999", {{"A", A::Left, 2147483647}}, "huge width saturates"},
          {"A,10;B", {{"A", A::Left, 10}}, "entry without comma ends"},
          {"A,10;;B,20", {{"A", A::Left, 10}}, "empty entry ends"},
          {"A,10;", {{"A", A::Left, 10}}, "trailing separator"},
          {",5", {{"", A::Left, 5}}, "empty title"},
          {"", {}, "empty text"},
          {"Name", {}, "no comma at all"},
      },
      ParseColumnSpec);
}

TEST(ListSortRules, IntegerText) {
  ExpectTable<bool>(
      {
          {"10", true, "digits"},
          {"-5", true, "leading minus"},
          {"-", false, "minus alone"},
          {"5-", false, "trailing minus"},
          {"--5", false, "second minus"},
          {"+", true, "plus alone"},
          {"1+2", true, "plus anywhere"},
          {"", false, "empty"},
          {"1.5", false, "decimal point"},
          {" 5", false, "blank"},
          {"1e3", false, "exponent"},
      },
      IsIntegerText);
}

TEST(ListSortRules, LeadingNumber) {
  ExpectTable<double>(
      {
          {"12abc", 12, "stops at a letter"},
          {"abc", 0, "no number"},
          {"-2.5", -2.5, "sign and fraction"},
          {".5", 0.5, "fraction only"},
          {"1e3", 1000, "exponent"},
          {"1e", 1, "exponent without digits"},
          {"0x10", 0, "no hex"},
          {"inf", 0, "no infinity"},
          {"nan", 0, "no NaN"},
          {"+", 0, "sign alone"},
          {"-+5", 0, "two signs"},
          {"1+2", 1, "plus ends the number"},
      },
      ReadLeadingNumber);
}

// Stands in for the OS date conversion: "day N" is the point in time N.
bool ReadDay(std::string_view text, double& when) {
  if (text.substr(0, 4) != "day ") return false;
  when = ReadLeadingNumber(text.substr(4));
  return true;
}

TEST(ListSortRules, Comparison) {
  struct Case {
    const char* a;
    const char* b;
    bool bAscending;
    int expected;  // sign
    const char* reason;
  };
  const Case cases[] = {
      {"9", "10", true, -1, "numbers, not text"},
      {"100", "10", true, 1, "numbers, longer"},
      {"10", "9", false, -1, "descending reverses"},
      {"-5", "3", true, -1, "negative number"},
      {"5-", "10", true, 1, "trailing minus is text"},
      {"-", "-1", true, -1, "minus alone is text"},
      {"5", "abc", true, 1, "a number decides; b reads as 0"},
      {" 9 ", "\t10", true, -1, "trimmed before the number test"},
      {"7", "7.0", true, 0, "equal numbers"},
      {"", "5", true, -1, "empty before a number"},
      {"5", "", true, 1, "a number after empty"},
      {"-5", "", true, 1, "a negative number after empty"},
      {"   ", "a", true, -1, "blank trims to empty"},
      {"", "5", false, 1, "empty after everything descending"},
      {"", "", true, 0, "both empty"},
      {"B", "a", true, -1, "case-sensitive bytes"},
      {"\xc3\xa9", "z", true, 1, "bytes compare unsigned"},
      {"day 10", "day 9", true, 1, "both dates"},
      {"day 10", "x", true, -1, "b not a date: text"},
      {"x", "day 9", true, 1, "a not a date: text"},
      {"10", "day 9", true, 1, "integer test comes first"},
  };
  for (const Case& c : cases) {
    const int cmp = CompareSortTexts(c.a, c.b, c.bAscending, &ReadDay);
    EXPECT_EQ((cmp > 0) - (cmp < 0), c.expected) << c.reason << ": \"" << c.a << "\" vs \"" << c.b << '"';
  }
  EXPECT_LT(CompareSortTexts("day 10", "day 9", true, nullptr), 0) << "without a date reader: text";
}

TEST(ListSortRules, NumbersSortAsNumbers) {
  std::vector<std::string> rows{"10", "9", "100"};
  std::sort(rows.begin(), rows.end(),
            [](const std::string& a, const std::string& b) { return CompareSortTexts(a, b, true, nullptr) < 0; });
  EXPECT_EQ(rows, (std::vector<std::string>{"9", "10", "100"}));
}

// Properties of the header item's layout, for item rectangles of several
// heights: the arrow stays inside the item and points the sort's way, the
// text makes room for it, and a pressed item's text moves right and down.
TEST(ListSortRules, HeaderItemLayout) {
  struct Case {
    CLayoutRect rcItem;
    const char* reason;
  };
  const Case cases[] = {{{0, 0, 120, 20}, "usual header"}, {{200, 0, 300, 17}, "second item"},
                        {{0, 0, 90, 40}, "tall header"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    for (bool bAscending : {true, false}) {
      const CHeaderItemLayout sorted = LayoutHeaderItem(c.rcItem, false, true, bAscending);
      const CHeaderItemLayout plain = LayoutHeaderItem(c.rcItem, false, false, bAscending);
      EXPECT_TRUE(plain.arrHighlight.empty() && plain.arrShadow.empty()) << "no arrow outside the sort column";
      EXPECT_LT(sorted.rcText.right, plain.rcText.right) << "text makes room for the arrow";
      std::vector<CHeaderPoint> points = sorted.arrHighlight;
      points.insert(points.end(), sorted.arrShadow.begin(), sorted.arrShadow.end());
      ASSERT_FALSE(points.empty());
      int top = c.rcItem.bottom, bottom = c.rcItem.top;
      for (const CHeaderPoint& p : points) {
        EXPECT_TRUE(p.x > sorted.rcText.right && p.x < c.rcItem.right) << "x " << p.x;
        EXPECT_TRUE(p.y >= c.rcItem.top && p.y <= c.rcItem.bottom) << "y " << p.y;
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
      }
      // The arrow's base row holds more line ends than its tip's row.
      const auto onRow = [&](int y) {
        return std::count_if(points.begin(), points.end(), [&](const CHeaderPoint& p) { return p.y == y; });
      };
      if (bAscending)
        EXPECT_GT(onRow(bottom), onRow(top)) << "ascending points up";
      else
        EXPECT_GT(onRow(top), onRow(bottom)) << "descending points down";
      const CHeaderItemLayout pressed = LayoutHeaderItem(c.rcItem, true, true, bAscending);
      EXPECT_EQ(pressed.rcText.left, sorted.rcText.left + 1) << "pressed moves right";
      EXPECT_GT(pressed.rcText.top, sorted.rcText.top) << "pressed moves down";
    }
  }
  EXPECT_FALSE(LayoutHeaderItem({0, 0, 20, 20}, false, true, true).bDrawText) << "no room for text";
  EXPECT_TRUE(LayoutHeaderItem({0, 0, 20, 20}, false, false, true).bDrawText) << "room without the arrow";
}

}  // namespace
}  // namespace vantoric
