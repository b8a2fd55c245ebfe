#include "controls/virtual_list_rules.h"

#include <algorithm>
#include <numeric>

#include "framework/ascii_text.h"

namespace vantoric {

namespace {

std::string_view TextOf(const CVirtualRow& row, std::size_t column) {
  return column < row.m_arrTexts.size() ? std::string_view(row.m_arrTexts[column]) : std::string_view();
}

bool Matches(std::string_view cell, std::string_view text, bool bPartial) {
  if (cell.size() < text.size() || (!bPartial && cell.size() != text.size())) return false;
  return LowerAscii(cell.substr(0, text.size())) == LowerAscii(text);
}

}  // namespace

std::vector<std::size_t> SortRowOrder(const std::vector<CVirtualRow>& rows, int column, bool bAscending,
                                      DateTextReader readDate) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (column < 0) return order;
  const auto col = static_cast<std::size_t>(column);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return CompareSortTexts(TextOf(rows[a], col), TextOf(rows[b], col), bAscending, readDate) < 0;
  });
  return order;
}

int FindRowByText(const std::vector<CVirtualRow>& rows, int start, std::string_view text, bool bPartial, bool bWrap) {
  const int count = static_cast<int>(rows.size());
  if (text.empty() || count == 0) return -1;
  const int first = std::clamp(start, 0, count);
  const int steps = bWrap ? count : count - first;
  for (int i = 0; i < steps; ++i) {
    const int row = (first + i) % count;
    if (Matches(TextOf(rows[static_cast<std::size_t>(row)], 0), text, bPartial)) return row;
  }
  return -1;
}

}  // namespace vantoric
