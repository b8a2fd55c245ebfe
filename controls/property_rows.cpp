#include "controls/property_rows.h"

#include <algorithm>
#include <utility>

#include "core/lifetime_text.h"
#include "framework/ascii_text.h"

namespace vantoric {

namespace {

constexpr char kChoiceSeparator = '!';

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(LowerAscii(a[i]));
    const auto cb = static_cast<unsigned char>(LowerAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void CSortStringArray::Sort() {
  bool bSwapped = true;
  while (bSwapped) {
    bSwapped = false;
    for (size_t i = 0; i + 1 < m_strings.size(); ++i) {
      if (CompareNoCase(m_strings[i], m_strings[i + 1]) > 0) {
        std::swap(m_strings[i], m_strings[i + 1]);
        bSwapped = true;
      }
    }
  }
}

int CSortStringArray::Find(std::string_view text) const {
  for (int i = 0; i < GetSize(); ++i) {
    if (CompareNoCase(GetAt(i), text) == 0) return i;
  }
  return -1;
}

const std::string& PropertyRow::GetValueText() const {
  static const std::string empty;
  const int index = nKind == PROPERTY_KIND_CHOICE ? nSelected : 0;
  return index >= 0 && index < values.GetSize() ? values[index] : empty;
}

std::string PropertyRowReading(std::string_view name, const PropertyRow& row) {
  std::string text(name);
  text += ": ";
  text += row.GetValueText();
  return text;
}

CSortStringArray SplitChoices(std::string_view value) {
  CSortStringArray choices;
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(kChoiceSeparator, start);
    if (end == std::string_view::npos) end = value.size();
    if (end > start) choices.Add(value.substr(start, end - start));
    start = end + 1;
  }
  return choices;
}

int NameColumnWidth(int nCurrentWidth, int nTextWidth) {
  return std::max(nCurrentWidth, nTextWidth + PROPERTY_NAME_PADDING);
}

int DropListRows(int nChoices) { return std::min(nChoices, PROPERTY_DROP_ROWS_MAX); }

bool CPropertyRows::AddProperty(int nKind, std::string_view value, int nInitialChoice, int nNameFormat,
                                bool bSorted, int nNameWidth) {
  // Codes 2 to 7 name no kind: a row of such a code would have no editor.
  if (nKind != PROPERTY_KIND_TEXT && nKind != PROPERTY_KIND_CHOICE) return false;
  auto row = std::make_unique<PropertyRow>();
  row->nKind = nKind;
  row->nNameWidth = nNameWidth;
  row->nNameFormat = nNameFormat;
  row->nSelected = nInitialChoice;
  row->bSorted = bSorted ? 1 : 0;
  if (nKind == PROPERTY_KIND_TEXT) {
    row->values.Add(value);
  } else {
    row->values = SplitChoices(value);
    if (bSorted) row->values.Sort();
    if (nInitialChoice < 0 || nInitialChoice >= row->values.GetSize()) return false;
  }
  // Only rows that are shown widen the name column.
  m_nNameWidth = NameColumnWidth(m_nNameWidth, nNameWidth);
  m_rows.push_back(std::move(row));
  return true;
}

const PropertyRow* CPropertyRows::GetRow(int nRow) const {
  return nRow >= 0 && nRow < GetCount() ? m_rows[static_cast<size_t>(nRow)].get() : nullptr;
}

void CPropertyRows::SetCurRow(int nRow) {
  if (GetRow(nRow) != nullptr) m_nCurRow = nRow;
}

CPropertyPlacement CPropertyRows::OnSelectionChanged() {
  CPropertyPlacement placement;
  m_bEditPending = 1;
  const PropertyRow* row = GetCurRowPtr();
  if (row == nullptr) return placement;
  if (row->nKind == PROPERTY_KIND_TEXT) {
    placement.editor = PropertyEditor::Edit;
    placement.strEditText = row->GetValueText();
  } else {
    placement.editor = PropertyEditor::Choice;
    placement.nDropRows = DropListRows(row->values.GetSize());
  }
  return placement;
}

bool CPropertyRows::IsBeingEdited(int nRow) const {
  const PropertyRow* row = GetRow(nRow);
  return nRow == m_nCurRow && row != nullptr && row->nKind == PROPERTY_KIND_TEXT && m_bEditPending != 0;
}

PropertyCommit CPropertyRows::CommitText(std::string_view editText, const PropertyTextCheck& check) {
  if (!IsBeingEdited(m_nCurRow)) return PropertyCommit::Unchanged;
  // Typed in any letter case, the keyword needs no lifetime check and is
  // kept as typed.
  const bool bKeyword = IsInfiniteLifetime(editText);
  if (!bKeyword && !check(editText)) return PropertyCommit::Refused;
  PropertyRow* row = CurRow();
  row->values.RemoveAll();
  row->values.Add(editText);
  return PropertyCommit::Stored;
}

bool CPropertyRows::TakeChoice(int nIndex) {
  PropertyRow* row = CurRow();
  if (row == nullptr || row->nKind != PROPERTY_KIND_CHOICE || nIndex < 0 || nIndex >= row->values.GetSize())
    return false;
  row->nSelected = nIndex;
  m_bEditPending = 1;
  return true;
}

bool CPropertyRows::GetPropertyText(int nRow, std::string& strOut) const {
  const PropertyRow* row = GetRow(nRow);
  if (row == nullptr || row->nKind != PROPERTY_KIND_TEXT) return false;
  strOut = row->GetValueText();
  return true;
}

bool CPropertyRows::GetPropertyChoices(int nRow, CSortStringArray& outArray) const {
  const PropertyRow* row = GetRow(nRow);
  if (row == nullptr || row->nKind != PROPERTY_KIND_CHOICE) return false;
  for (const std::string& choice : row->values) outArray.Add(choice);
  return true;
}

bool CPropertyRows::GetPropertySelection(int nRow, std::string* pstrText, int& nIndex) const {
  const PropertyRow* row = GetRow(nRow);
  if (row == nullptr) return false;
  nIndex = row->nSelected;
  if (pstrText != nullptr && row->nKind == PROPERTY_KIND_CHOICE) *pstrText = row->GetValueText();
  return true;
}

}  // namespace vantoric
