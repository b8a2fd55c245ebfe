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
bool ReadDay(std::string_view text, double& when) {
  if (text.substr(0, 4) != "day ") return false;
  when = std::stod(std::string(text.substr(4)));
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
      {"5", "abc", true, 1, "a number decides; b reads as 0"},
      {"5", "inf", true, 1, "b reads as a decimal number only"},
      {"5", "12abc", true, -1, "b reads as far as it is a number"},
      {" 9 ", "\t10", true, -1, "trimmed before the number test"},
      {"", "5", true, -1, "empty before a number"},
      {"-5", "", true, 1, "a negative number after empty"},
      {"   ", "a", true, -1, "blank trims to empty"},
      {"", "5", false, 1, "empty after everything descending"},
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

}  // namespace
}  // namespace vantoric
