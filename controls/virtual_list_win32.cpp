#include "controls/virtual_list_win32.h"

#include <algorithm>
#include <string>
#include <utility>

#include "framework/controls.h"
#include "framework/utf8.h"

namespace vantoric {

void CVirtualListCtrl::SetRows(std::vector<CVirtualRow> rows) {
  m_rows = std::move(rows);
  ShowRows({});
}

void CVirtualListCtrl::AppendRows(std::vector<CVirtualRow> rows) {
  const std::vector<std::uint32_t> selected = GetSelectedData();
  m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  ShowRows(selected);
}

std::vector<std::uint32_t> CVirtualListCtrl::GetSelectedData() const {
  std::vector<std::uint32_t> data;
  const CListView list(m_hWnd);
  for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0 && static_cast<size_t>(row) < m_rows.size();
       row = list.GetNextItem(row, LVNI_SELECTED))
    data.push_back(m_rows[static_cast<size_t>(row)].m_nData);
  return data;
}

void CVirtualListCtrl::ShowRows(const std::vector<std::uint32_t>& selected) {
  std::vector<CVirtualRow> sorted;
  sorted.reserve(m_rows.size());
  for (size_t i : SortRowOrder(m_rows, GetSortColumn(), IsSortAscending(), &ReadDateText))
    sorted.push_back(std::move(m_rows[i]));
  m_rows = std::move(sorted);
  // An owner-data list keeps the highlight by row number: it is taken off
  // and put on the rows that now hold the highlighted data.
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  SendMessage(LVM_SETITEMCOUNT, m_rows.size(), LVSICF_NOSCROLL);
  int first = -1;
  for (size_t row = 0; row < m_rows.size() && !selected.empty(); ++row) {
    if (std::find(selected.begin(), selected.end(), m_rows[row].m_nData) == selected.end()) continue;
    // The first of them has the focus and is scrolled into view, where the
    // keys go on from.
    state.state = first < 0 ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
    SendMessage(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    if (first < 0) first = static_cast<int>(row);
  }
  if (first >= 0) SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(first), FALSE);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CVirtualListCtrl::AnswerDisplayInfo(LVITEMW& item) const {
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.size() || item.iSubItem < 0) return;
  const std::vector<std::string>& texts = m_rows[static_cast<size_t>(item.iItem)].m_arrTexts;
  if (static_cast<size_t>(item.iSubItem) >= texts.size()) return;
  // Into the list view's own buffer, cut to its size.
  const std::wstring text = Widen(texts[static_cast<size_t>(item.iSubItem)]);
  const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
  std::copy_n(text.begin(), length, item.pszText);
  item.pszText[length] = L'\0';
}

bool CVirtualListCtrl::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_NOTIFY) return CBrekListCtrl::OnReflectedMessage(msg, wp, lp, result);
  const auto* pHdr = reinterpret_cast<const NMHDR*>(lp);
  switch (pHdr->code) {
    case LVN_GETDISPINFOW:
      // The list view reads the answer from the item, not from the result:
      // left untaken, the parent answers nothing, where a taken message's
      // answer costs each painted cell a round trip to Wine's server.
      AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(lp)->item);
      return false;
    case LVN_ODFINDITEMW: {
      const auto* pFind = reinterpret_cast<const NMLVFINDITEMW*>(lp);
      const LVFINDINFOW& find = pFind->lvfi;
      result = -1;
      if ((find.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.psz != nullptr)
        result = FindRowByText(m_rows, pFind->iStart, Narrow(find.psz), (find.flags & LVFI_PARTIAL) != 0,
                               (find.flags & LVFI_WRAP) != 0);
      return true;
    }
    case LVN_COLUMNCLICK: {
      // The header's arrow as the sortable list sets it; the rows are sorted
      // here, as the list view does not sort owner data.
      const std::vector<std::uint32_t> selected = GetSelectedData();
      OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(lp)->iSubItem);
      ShowRows(selected);
      result = 0;
      return true;
    }
    default:
      return CBrekListCtrl::OnReflectedMessage(msg, wp, lp, result);
  }
}

}  // namespace vantoric
