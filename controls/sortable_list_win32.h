// A report-view list that sorts its rows when the user clicks a column
// header and draws the sort direction as an arrow in that header. Every row
// carries a copy of its column texts (CListItemData), which the sort compares.
//
// After a header sort the rows no longer stand in the order they were added:
// callers find the record behind a row by the row's own texts or data
// (GetItemText, GetItemData), never by the row index alone.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dialog.h"

namespace vantoric {

// One row's data: a text per column, then the caller's value. Owned by the
// list, stored as the row's item data.
struct CListItemData {
  std::vector<std::string> m_arrTexts;
  DWORD m_dwData = 0;
};

// Asked by DeleteItem with (its argument, the row's caller value); a row is
// deleted only when it answers nonzero.
using ListItemPredicate = int (*)(LPARAM lArg, DWORD dwData);

class CBrekListCtrl : public CSubclassWindow {
 public:
  // Draws the list's header items: after a sort at least the sort column is
  // owner-drawn, with the arrow of the sort direction.
  class CBrekListHeaderCtrl : public CSubclassWindow {
   public:
    int GetItemCount() const;

    int m_nSortColumn = -1;  // -1: not sorted
    int m_bSortAscending = 1;

   protected:
    // The list's WM_DRAWITEM about one owner-drawn item draws it.
    bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

   private:
    void DrawItem(const DRAWITEMSTRUCT& dis) const;
  };

  CBrekListCtrl() = default;
  ~CBrekListCtrl() override;

  // Takes over the list view, attaches the header and switches on
  // full-row selection.
  bool Subclass(HWND hwnd);
  bool SubclassDlgItem(int nId, HWND hParent) { return Subclass(::GetDlgItem(hParent, nId)); }

  // Appends the columns of a format text such as "Name, 120;Size, 2, 60"
  // (title, [format 1 centred / 2 right,] width). 1, or 0 as soon as a column
  // cannot be inserted.
  int SetColumns(std::string_view formatText);
  // Narrows the columns in proportion where together they are wider than
  // the list beside its vertical scroll bar: no horizontal scrolling.
  void FitColumnsToList() const;
  // Inserts a row with its text in column 0 and the further columns' texts
  // (missing or null ones are empty), and dwData as its caller value; the new
  // row's index, negative on failure.
  int AddItem(int nItem, std::string_view text, std::initializer_list<const char*> further = {}, DWORD dwData = 0);
  // 1 when the row was deleted (see ListItemPredicate); with bSelectNext the
  // row now at nItem (or the last one) is selected.
  int DeleteItem(int nItem, bool bSelectNext = false, ListItemPredicate pred = nullptr, LPARAM lArg = 0);
  // The number of rows deleted.
  int DeleteAllItems();
  // Row 0, column 0, displayed and in its data; 0 when the list refuses it.
  int SetFirstItemText(std::string_view text);
  // Gives a row inserted with InsertItem its CListItemData: empty texts, the
  // row's previous item data as the caller value.
  void WrapItemData(int nItem);
  // Copies every column's displayed text into the row's data; 0 for a row
  // outside the list or without data.
  int UpdateItemData(int nItem);
  // The lowest selected row, or -1.
  int GetFirstSelectedItem() const;
  // Selects a row; the index is clamped to the rows.
  void SelectItem(int nItem);

  // The list view's plain row insertion (no CListItemData); the row's index or -1.
  int InsertItem(int nItem, std::string_view text);
  int GetItemCount() const;
  int GetColumnCount() const { return m_header.GetItemCount(); }
  std::string GetItemText(int nItem, int nColumn) const;
  // The row's data, or nullptr for a row without any.
  const CListItemData* GetItemData(int nItem) const;

  int GetSortColumn() const { return m_header.m_nSortColumn; }
  bool IsSortAscending() const { return m_header.m_bSortAscending != 0; }

  // Column clicks arrive from the parent dialog.
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnColumnClick(int nColumn);

 private:
  LPARAM GetRowParam(int nItem) const;
  bool SetRowParam(int nItem, LPARAM param) const;
  CListItemData* FindItemData(int nItem) const;
  CListItemData* FindParamData(LPARAM param) const;
  // Stores the data as the row's item data, in place of any data of ours.
  void AttachItemData(int nItem, std::unique_ptr<CListItemData> data);
  static int CALLBACK CompareRows(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

  CBrekListHeaderCtrl m_header;
  // Every CListItemData this list made, by the address stored in its row;
  // rows may also hold other item data (before WrapItemData).
  std::map<LPARAM, std::unique_ptr<CListItemData>> m_mapItemData;
};

// Where a report list's context menu opens and about which row: from the
// keyboard (lp -1) at the highlighted row's label, or at the list's corner
// without one; from the mouse at the pointer, about the row under it,
// which becomes the highlighted one. Screen coordinates; nRow -1 for none.
struct CListMenuPlace {
  int nRow = -1;
  POINT at{};
};
CListMenuPlace PlaceListContextMenu(HWND list, LPARAM lp);

// The sort's reading of a text as a point in time (DateTextReader): the
// OS's date conversion with the user's locale.
bool ReadDateText(std::string_view text, double& when);

}  // namespace vantoric
