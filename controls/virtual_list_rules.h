// The rules of a list whose rows the caller holds and the list view asks
// for one at a time (owner data), without a window: the rows' order after a
// header click, and the row that typed letters find.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "controls/list_sort_rules.h"

namespace vantoric {

// One row: a text per column, then the caller's value.
struct CVirtualRow {
  std::vector<std::string> m_arrTexts;
  std::uint32_t m_nData = 0;
};

// The rows' order sorted by `column` with the sortable list's comparison
// (CompareSortTexts): the indexes of `rows`, first row first. Rows with
// equal texts keep their order; a row without that column sorts as empty.
std::vector<std::size_t> SortRowOrder(const std::vector<CVirtualRow>& rows, int column, bool bAscending,
                                      DateTextReader readDate);

// The row that a search for `text` in the first column finds, from row
// `start` on, going round past the last row to the first when bWrap: the
// first whose text begins with it (bPartial) or is it, letters compared
// without case. -1 for none, and for an empty text.
int FindRowByText(const std::vector<CVirtualRow>& rows, int start, std::string_view text, bool bPartial, bool bWrap);

}  // namespace vantoric
