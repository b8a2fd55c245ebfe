// The rules of the sortable list that need no window: reading the columns'
// format text, comparing two rows' texts for the sort, and where the
// header draws an item's text and sort arrow. The Win32 list turns these
// into list view columns, LVM_SORTITEMS answers and GDI calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "controls/anchor_layout.h"

namespace vantoric {

enum class ColumnAlign { Left, Center, Right };

struct CListColumnFormat {
  std::string strTitle;
  ColumnAlign align = ColumnAlign::Left;
  int nWidth = 1;
  bool operator==(const CListColumnFormat&) const = default;
};

// Entries separated by ";", each "title,width" or "title,format,width"
// (format 1 centred, 2 right, anything else left; width in pixels, at
// least 1). The title is kept as written; the first entry without a comma
// ends the list.
std::vector<CListColumnFormat> ParseColumnFormats(std::string_view formatText);

// Column widths that fit `available` pixels: when together they are wider,
// each is narrowed in proportion (at least 1 pixel); otherwise unchanged.
std::vector<int> FitColumnWidths(const std::vector<int>& widths, int available);

// Digits only, with "+" allowed anywhere and "-" at the front of a text
// longer than one character.
bool IsIntegerText(std::string_view text);

// Reads a text as a point in time (the OS's date conversion with the
// user's locale); false when the text is none.
using DateTextReader = bool (*)(std::string_view text, double& when);

// The sort's comparison of two rows' texts in the sort column: < 0 when a
// sorts before b. The trimmed texts fall into groups, in this order: the
// empty text; integer texts, compared by value; texts that read as points
// in time, compared by time; every other text, compared byte by byte. A
// group sorts as a whole before the next, which keeps the comparison an
// order (antisymmetric and transitive) on any mix of texts. Descending
// reverses.
int CompareSortTexts(std::string_view a, std::string_view b, bool bAscending, DateTextReader readDate);

struct CHeaderPoint {
  int x = 0;
  int y = 0;
  bool operator==(const CHeaderPoint&) const = default;
};

// Where one owner-drawn header item puts its text and, for the sort
// column, the two lines of its arrow (each a polyline: drawn from point to
// point, the end point excluded as LineTo does).
struct CHeaderItemLayout {
  CLayoutRect rcText;
  bool bDrawText = false;
  std::vector<CHeaderPoint> arrHighlight;
  std::vector<CHeaderPoint> arrShadow;
};

CHeaderItemLayout LayoutHeaderItem(const CLayoutRect& rcItem, bool bPressed, bool bSortColumn, bool bAscending);

// Copy row: the cells joined by tabs. Copy all rows: the headings, then
// every row. Each line ends in CRLF, the last one too, so that it pastes as
// a table; a tab or line break inside a cell becomes a blank.
std::string FormatCopiedRow(const std::vector<std::string>& cells);
std::string FormatCopiedTable(const std::vector<std::string>& headings,
                              const std::vector<std::vector<std::string>>& rows);

}  // namespace vantoric
