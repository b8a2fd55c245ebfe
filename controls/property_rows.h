// The rows of the property list and their editing rules, without windows:
// adding a row (its checks, the choices split at "!", the name column),
// placing the editor of the selected row, committing typed text, taking a
// choice, and reading the values back. The window side measures, draws and
// moves the editors, and carries out the results these calls return.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dpi_scale.h"

namespace vantoric {

// Kind codes of a row.
constexpr int PROPERTY_KIND_TEXT = 1;    // one text, edited in place, checked as lifetime text
constexpr int PROPERTY_KIND_CHOICE = 8;  // a list of choices, picked from a drop-down list

// The name column is this much wider than the widest name in the bold font.
constexpr int PROPERTY_NAME_PADDING = 10;
// The drop-down list shows at most this many choices and scrolls the rest.
constexpr int PROPERTY_DROP_ROWS_MAX = 5;

// A string array that sorts and finds without regard to letter case.
class CSortStringArray {
 public:
  int GetSize() const { return static_cast<int>(m_strings.size()); }
  const std::string& GetAt(int nIndex) const { return m_strings[static_cast<size_t>(nIndex)]; }
  const std::string& operator[](int nIndex) const { return GetAt(nIndex); }
  void Add(std::string_view text) { m_strings.emplace_back(text); }
  void RemoveAll() { m_strings.clear(); }
  auto begin() const { return m_strings.begin(); }
  auto end() const { return m_strings.end(); }

  // Ascending, ignoring case: bubble passes over adjacent pairs until a
  // pass swaps nothing, so equal entries keep their order.
  void Sort();
  // Index of the first entry equal to text ignoring case, or -1.
  int Find(std::string_view text) const;

 private:
  std::vector<std::string> m_strings;
};

// Three-way comparison of two texts ignoring ASCII letter case.
int CompareNoCase(std::string_view a, std::string_view b);

// One list item.
struct PropertyRow {
  std::int32_t nKind = 0;
  std::int32_t nNameWidth = 0;   // the name in the bold font, in pixels
  std::int32_t nNameFormat = 0;  // name alignment: 0 left, 1 centred, 2 right
  std::int32_t nSelected = 0;    // the selected choice
  std::int32_t bSorted = 0;      // choices kept in sorted order
  CSortStringArray values;       // text row: the value; choice row: the choices

  const std::string& GetValueText() const;  // a text row's value, a choice row's selected choice
};

// What a screen reader is told about a row: "name: value".
std::string PropertyRowReading(std::string_view name, const PropertyRow& row);

// The pieces of value between the "!" separators; empty pieces are skipped.
CSortStringArray SplitChoices(std::string_view value);

// The name column's width after a name nTextWidth pixels wide was added.
int NameColumnWidth(int nCurrentWidth, int nTextWidth);

// Rows a drop-down list with nChoices choices is high.
int DropListRows(int nChoices);

// Which editor the selected row gets.
enum class PropertyEditor { None, Edit, Choice };

struct CPropertyPlacement {
  PropertyEditor editor = PropertyEditor::None;
  std::string strEditText;  // Edit: the text the edit field shows
  int nDropRows = 0;        // Choice: rows of the drop-down list
};

enum class PropertyCommit {
  Unchanged,  // no text row is being edited
  Stored,     // the typed text is the row's value now: tell the parent
  Refused,    // the check refused the text and told the user; the value is kept
};

// The check that typed text goes through, unless it is the keyword; the
// window side's check shows the refusal to the user itself.
using PropertyTextCheck = std::function<bool(std::string_view)>;

class CPropertyRows {
 public:
  // AddProperty's rules. nNameWidth is the name measured in the bold font.
  // False, and nothing added, for a kind that is neither text nor choice,
  // and for a choice row whose initial choice (an index into the choices
  // after sorting) names no choice.
  bool AddProperty(int nKind, std::string_view value, int nInitialChoice, int nNameFormat, bool bSorted,
                   int nNameWidth);

  int GetCount() const { return static_cast<int>(m_rows.size()); }
  // The row of list item nRow, or nullptr.
  const PropertyRow* GetRow(int nRow) const;
  int GetNameWidth() const { return m_nNameWidth; }
  // The list moved to another resolution: the name column follows.
  void ScaleNameWidth(int toDpi, int fromDpi) { m_nNameWidth = ScaleMetric(m_nNameWidth, toDpi, fromDpi); }

  // The row that was last drawn selected; -1 before any.
  void SetCurRow(int nRow);
  int GetCurRow() const { return m_nCurRow; }
  const PropertyRow* GetCurRowPtr() const { return GetRow(m_nCurRow); }

  // The list's selection changed to the current row.
  CPropertyPlacement OnSelectionChanged();
  void OnTextChanged() { m_bEditPending = 1; }
  // The edit field's text editText goes into the current row when it is a
  // text row that is being edited: "infinite" in any case is kept as typed,
  // other text only when check accepts it.
  PropertyCommit CommitText(std::string_view editText, const PropertyTextCheck& check);
  // A choice taken from the drop-down list; false for no choice of the current row.
  bool TakeChoice(int nIndex);

  // Whether the edit field holds the input for text row nRow.
  bool IsBeingEdited(int nRow) const;
  // Set by every selection change, text change and choice taken; nothing clears it.
  bool IsEditPending() const { return m_bEditPending != 0; }

  // The stored value of a text row.
  bool GetPropertyText(int nRow, std::string& strOut) const;
  // Appends a choice row's choices in their order.
  bool GetPropertyChoices(int nRow, CSortStringArray& outArray) const;
  // The selected index, and for a choice row its text when pstrText is given.
  bool GetPropertySelection(int nRow, std::string* pstrText, int& nIndex) const;

 private:
  PropertyRow* CurRow() { return const_cast<PropertyRow*>(GetCurRowPtr()); }

  std::vector<std::unique_ptr<PropertyRow>> m_rows;
  int m_nNameWidth = 0;
  int m_nCurRow = -1;
  int m_bEditPending = 0;
};

}  // namespace vantoric

