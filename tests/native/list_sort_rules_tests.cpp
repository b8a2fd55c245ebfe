// The sortable list's rules without a window: column format texts and the
// row comparison of the column sort.
#include <gtest/gtest.h>

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

TEST(ListSortRules, ColumnFormatText) {
  using A = ColumnAlign;
  ExpectTable<std::vector<CListColumnFormat>>(
      {
          {"DNS Server Addresses, 298", {{"DNS Server Addresses", A::Left, 298}}, "title and width"},
          {"A,1,50;B,2,60;C,7,70", {{"A", A::Center, 50}, {"B", A::Right, 60}, {"C", A::Left, 70}}, "formats"},
          {" B , 2 , 30", {{" B ", A::Right, 30}}, "title as written, blanks before numbers"},
          {"A, 0", {{"A", A::Left, 1}}, "width 0 gives 1"},
          {"A,-5", {{"A", A::Left, 1}}, "negative width gives 1"},
          {"A, 10px", {{"A", A::Left, 10}}, "reading stops at a non-digit"},
          {"A,99999999999", {{"A", A::Left, 2147483647}}, "huge width saturates"},
          {"A,10;B", {{"A", A::Left, 10}}, "entry without comma ends"},
          {"A,10;;B,20", {{"A", A::Left, 10}}, "empty entry ends"},
          {",5", {{"", A::Left, 5}}, "empty title"},
          {"", {}, "empty text"},
          {"Name", {}, "no comma at all"},
      },
      ParseColumnFormats);
}

TEST(ListSortRules, ColumnsNarrowedInProportionToFitTheList) {
  const struct {
    std::vector<int> widths;
    int available;
    std::vector<int> fitted;
    const char* why;
  } cases[] = {
      {{110, 100, 45}, 400, {110, 100, 45}, "room enough: unchanged"},
      {{100, 100, 50}, 250, {100, 100, 50}, "exactly the room"},
      {{200, 100, 100}, 200, {100, 50, 50}, "half the room: each half as wide"},
      {{100, 100, 100}, 100, {33, 33, 34}, "rounding: the parts still fill the room exactly"},
      {{100, 100}, 1, {1, 1}, "no room: each column keeps a pixel"},
  };
  for (const auto& c : cases) EXPECT_EQ(FitColumnWidths(c.widths, c.available), c.fitted) << c.why;
}

TEST(ListSortRules, IntegerText) {
  ExpectTable<bool>(
      {
          {"10", true, "digits"},
          {"-5", true, "leading minus"},
          {"-", false, "minus alone"},
          {"5-", false, "trailing minus"},
          {"+", true, "plus alone"},
          {"1+2", true, "plus anywhere"},
          {"", false, "empty"},
          {"1.5", false, "decimal point"},
          {" 5", false, "blank"},
      },
      IsIntegerText);
}

// Stands in for the OS date conversion: "day N" is the point in time N.
// Like the OS with some bare numbers, it reads plain digits as well.
bool ReadDay(std::string_view text, double& when) {
  if (text.substr(0, 4) == "day ") text.remove_prefix(4);
  if (text.empty()) return false;
  when = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    when = when * 10 + (c - '0');
  }
  return true;
}

int Sign(int value) { return (value > 0) - (value < 0); }

// Each row also holds with a and b swapped and the sign reversed: the
// comparison is antisymmetric on every row.
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
      {"01", "1", true, 0, "equal values"},
      {"1+2", "1", true, 0, "a number reads up to a plus after its digits"},
      {"+", "-1", true, 1, "plus alone reads as 0"},
      {"+5", "3", true, 1, "a leading plus is the sign of the number after it"},
      {"5-", "10", true, 1, "trailing minus is text, after numbers"},
      {"5", "abc", true, -1, "a number before a text"},
      {"abc", "5", true, 1, "a text after a number"},
      {"5", "inf", true, -1, "a text the C library reads as infinity stays a text"},
      {"5", "12abc", true, -1, "a text that starts with digits stays a text"},
      {"99", "1.5", true, -1, "a decimal fraction is a text"},
      {"5", "abc", false, 1, "descending: texts before numbers"},
      {" 9 ", "\t10", true, -1, "trimmed before the number test"},
      {" \t\n\v\f\r5 \t\n\v\f\r", "10", true, -1, "every blank the C library skips is trimmed"},
      {"", "5", true, -1, "empty before a number"},
      {"-5", "", true, 1, "a negative number after empty"},
      {"", "day 9", true, -1, "empty before a date"},
      {"", "a", true, -1, "empty before a text"},
      {"   ", "", true, 0, "blank trims to empty"},
      {"", "5", false, 1, "empty after everything descending"},
      {"B", "a", true, -1, "case-sensitive bytes"},
      {"abc", "abc", true, 0, "the same text"},
      {"\xc3\xa9", "z", true, 1, "bytes compare unsigned"},
      {"day 10", "day 9", true, 1, "both dates"},
      {"day 7", " day 7", true, 0, "the same point in time"},
      {"day 10", "x", true, -1, "a date before a text"},
      {"day 9", "a", true, -1, "a date before a text whose bytes come first"},
      {"day 1x", "day 9", true, 1, "not a date: after every date, so dates and texts stay in order"},
      {"10", "day 9", true, -1, "a number before a date"},
      {"20240101", "day 9", true, -1, "digits are a number before they are a date"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareSortTexts(c.a, c.b, c.bAscending, &ReadDay)), c.expected)
        << c.reason << ": \"" << c.a << "\" vs \"" << c.b << '"';
    EXPECT_EQ(Sign(CompareSortTexts(c.b, c.a, c.bAscending, &ReadDay)), -c.expected)
        << c.reason << ", swapped: \"" << c.b << "\" vs \"" << c.a << '"';
  }
  EXPECT_LT(CompareSortTexts("day 10", "day 9", true, nullptr), 0) << "without a date reader: text";
}

// The arrow is drawn LineTo-style from point to point, so its corners are
// listed here as the header draws them (q = a quarter of the height, 5).
TEST(ListSortRules, HeaderItemLayout) {
  using P = std::vector<CHeaderPoint>;
  struct Case {
    const char* reason;
    CLayoutRect rcItem;
    bool bPressed, bSortColumn, bAscending;
    CLayoutRect rcText;
    bool bDrawText;
    P highlight, shadow;
  };
  const Case cases[] = {
      {"plain item: q off each side", {0, 0, 100, 20}, false, false, true, {5, 0, 95, 20}, true, {}, {}},
      {"pressed: one right, two down", {0, 0, 100, 20}, true, false, true, {6, 2, 96, 20}, true, {}, {}},
      {"sort column ascending: arrow up", {0, 0, 100, 20}, false, true, true, {5, 0, 80, 20}, true,
       {{90, 5}, {95, 14}, {83, 14}}, {{84, 14}, {90, 4}}},
      {"sort column descending: arrow down", {0, 0, 100, 20}, false, true, false, {5, 0, 80, 20}, true,
       {{94, 5}, {89, 15}}, {{88, 15}, {84, 5}, {94, 5}}},
      {"one pixel of text left", {0, 0, 11, 20}, false, false, true, {5, 0, 6, 20}, true, {}, {}},
      {"no text width left", {0, 0, 10, 20}, false, false, true, {5, 0, 5, 20}, false, {}, {}},
  };
  for (const Case& c : cases) {
    const CHeaderItemLayout layout = LayoutHeaderItem(c.rcItem, c.bPressed, c.bSortColumn, c.bAscending);
    EXPECT_EQ(layout.rcText, c.rcText) << c.reason;
    EXPECT_EQ(layout.bDrawText, c.bDrawText) << c.reason;
    EXPECT_EQ(layout.arrHighlight, c.highlight) << c.reason;
    EXPECT_EQ(layout.arrShadow, c.shadow) << c.reason;
  }
}

}  // namespace
}  // namespace vantoric
