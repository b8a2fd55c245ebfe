#include "controls/list_sort_rules.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace vantoric {

namespace {

// A tab or line break inside a cell would split the pasted table; each
// becomes one blank (CRLF counts as one break).
std::string FlattenCell(const std::string& cell) {
  std::string out;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell.compare(i, 2, "\r\n") == 0) continue;
    const char c = cell[i];
    out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// atoi's reading: blanks, an optional sign, digits up to the first other
// character; saturates instead of overflowing.
int ReadLeadingInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool bNegative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) bNegative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
      break;
    }
  }
  return static_cast<int>(bNegative ? -value : value);
}

ColumnAlign AlignFromFormat(int nFormat) {
  if (nFormat == 1) return ColumnAlign::Center;
  if (nFormat == 2) return ColumnAlign::Right;
  return ColumnAlign::Left;
}

// Length of the run of digits at text[i...].
size_t DigitRun(std::string_view text, size_t i) {
  size_t n = 0;
  while (i + n < text.size() && IsDigit(text[i + n])) ++n;
  return n;
}

int CompareAsText(std::string_view a, std::string_view b) {
  // char_traits<char> compares as unsigned char: byte-wise, case-sensitive.
  const int cmp = a.compare(b);
  return cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
}

template <typename T>
int CompareValues(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The groups of the sort in ascending order. Texts of one group compare by
// their own kind of value and a group sorts as a whole before the next, so
// that a column mixing numbers, dates and words still sorts by an order.
enum class SortGroup { Empty, Number, Date, Text };

struct CSortKey {
  SortGroup group = SortGroup::Empty;
  double value = 0;
};

// An integer text's value as the C library's atof reads it: the sign, then
// the digits up to the first "+" after them ("1+2" is 1, "+" is 0).
double IntegerTextValue(std::string_view text) {
  const size_t sign = text.front() == '+' || text.front() == '-' ? 1 : 0;
  const std::string number(text.substr(0, sign + DigitRun(text, sign)));
  return std::strtod(number.c_str(), nullptr);
}

// The integer test comes before the date reading: "2024" is a number.
CSortKey MakeSortKey(std::string_view trimmed, DateTextReader readDate) {
  if (trimmed.empty()) return {SortGroup::Empty, 0};
  if (IsIntegerText(trimmed)) return {SortGroup::Number, IntegerTextValue(trimmed)};
  double when = 0;
  if (readDate != nullptr && readDate(trimmed, when)) return {SortGroup::Date, when};
  return {SortGroup::Text, 0};
}

int CompareTrimmed(std::string_view a, std::string_view b, DateTextReader readDate) {
  const CSortKey keyA = MakeSortKey(a, readDate);
  const CSortKey keyB = MakeSortKey(b, readDate);
  if (keyA.group != keyB.group) return CompareValues(keyA.group, keyB.group);
  if (keyA.group == SortGroup::Text) return CompareAsText(a, b);
  return CompareValues(keyA.value, keyB.value);
}

}  // namespace

std::vector<int> FitColumnWidths(const std::vector<int>& widths, int available) {
  long long total = 0;
  for (int width : widths) total += width;
  if (total <= available || total <= 0) return widths;
  std::vector<int> fitted;
  long long given = 0;
  long long before = 0;
  // Each column ends where its share of the whole ends, so the parts add
  // up to exactly the space there is.
  for (int width : widths) {
    before += width;
    const long long end = std::max<long long>(0, available) * before / total;
    fitted.push_back(static_cast<int>(std::max<long long>(1, end - given)));
    given = std::max(given + 1, end);
  }
  return fitted;
}

std::vector<CListColumnFormat> ParseColumnFormats(std::string_view formatText) {
  std::vector<CListColumnFormat> columns;
  size_t start = 0;
  while (start <= formatText.size()) {
    const size_t end = std::min(formatText.find(';', start), formatText.size());
    const std::string_view entry = formatText.substr(start, end - start);
    const size_t comma = entry.find(',');
    if (comma == std::string_view::npos) break;
    CListColumnFormat column;
    column.strTitle = std::string(entry.substr(0, comma));
    std::string_view rest = entry.substr(comma + 1);
    const size_t second = rest.find(',');
    if (second != std::string_view::npos) {
      column.align = AlignFromFormat(ReadLeadingInt(rest.substr(0, second)));
      rest = rest.substr(second + 1);
    }
    column.nWidth = std::max(1, ReadLeadingInt(rest));
    columns.push_back(std::move(column));
    start = end + 1;
  }
  return columns;
}

bool IsIntegerText(std::string_view text) {
  if (text.empty()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c) || c == '+') continue;
    if (c == '-' && i == 0 && text.size() > 1) continue;
    return false;
  }
  return true;
}

int CompareSortTexts(std::string_view a, std::string_view b, bool bAscending, DateTextReader readDate) {
  const int cmp = CompareTrimmed(Trim(a), Trim(b), readDate);
  return bAscending ? cmp : -cmp;
}

CHeaderItemLayout LayoutHeaderItem(const CLayoutRect& rcItem, bool bPressed, bool bSortColumn, bool bAscending) {
  CHeaderItemLayout layout;
  CLayoutRect rc = rcItem;
  if (bPressed) {
    rc.left += 1;
    rc.top += 2;
    rc.right += 1;
  }
  const int q = (rcItem.bottom - rcItem.top) / 4;
  if (bSortColumn) rc.right -= 3 * q;
  rc.left += q;
  rc.right -= q;
  layout.rcText = rc;
  layout.bDrawText = rc.right - rc.left > 0;
  if (!bSortColumn) return layout;

  const int r = rcItem.right;
  const int b = rcItem.bottom;
  if (bAscending) {
    layout.arrHighlight = {{r - 2 * q, q}, {r - q, b - q - 1}, {r - 3 * q - 2, b - q - 1}};
    layout.arrShadow = {{r - 3 * q - 1, b - q - 1}, {r - 2 * q, q - 1}};
  } else {
    layout.arrHighlight = {{r - q - 1, q}, {r - 2 * q - 1, b - q}};
    layout.arrShadow = {{r - 2 * q - 2, b - q}, {r - 3 * q - 1, q}, {r - q - 1, q}};
  }
  return layout;
}

std::string FormatCopiedRow(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += '\t';
    line += FlattenCell(cells[i]);
  }
  return line + "\r\n";
}

std::string FormatCopiedTable(const std::vector<std::string>& headings,
                              const std::vector<std::vector<std::string>>& rows) {
  std::string table = FormatCopiedRow(headings);
  for (const std::vector<std::string>& row : rows) table += FormatCopiedRow(row);
  return table;
}

}  // namespace vantoric
