// A sortable list (CBrekListCtrl: its columns, its header with the sort
// arrow) whose rows the caller hands over as data, for a list view of owner
// data (LVS_OWNERDATA in its template): the list view asks for the texts of
// the rows it shows only, so that thousands of rows cost no more to show
// than a screenful. A header click sorts the rows (virtual_list_rules.h)
// and leaves the same rows highlighted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "controls/sortable_list_win32.h"
#include "controls/virtual_list_rules.h"

namespace vantoric {

class CVirtualListCtrl : public CBrekListCtrl {
 public:
  // Replaces the rows, in the order the header shows; none is highlighted.
  void SetRows(std::vector<CVirtualRow> rows);
  // Adds rows after the others (sorted in, when the header shows a sort),
  // keeping the highlighted rows highlighted.
  void AppendRows(std::vector<CVirtualRow> rows);
  // The caller values of the highlighted rows, from the top.
  std::vector<std::uint32_t> GetSelectedData() const;

 protected:
  // The list view's questions for texts and typed letters, and header
  // clicks.
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  // Puts the rows in the header's order, the same rows highlighted, and
  // tells the list view their number.
  void ShowRows(const std::vector<std::uint32_t>& selected);
  void AnswerDisplayInfo(LVITEMW& item) const;

  std::vector<CVirtualRow> m_rows;  // in the order shown
};

}  // namespace vantoric
