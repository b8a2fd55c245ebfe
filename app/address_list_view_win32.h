// The main window's address list: the chosen adapter's addresses as rows in
// the order a heading click chooses (kept in the profile), rows brought to a
// new reading in place, the highlight kept with its address, Ctrl+C and a
// context menu that copy, and expiry tips on lifetime cells. The rules are
// app/address_list_rules.h; the window decides what the highlight means.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/address_list_rules.h"
#include "core/adapter_records.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/profile.h"

namespace vantoric {

// What the list asks of its window.
class IAddressListOwner {
 public:
  // The highlight moved (click, keys, a row under the mouse's menu).
  virtual void OnAddressSelectionChanged() = 0;
  // The context menu's Edit and Remove.
  virtual void OnEdit() = 0;
  virtual void OnRemove() = 0;

 protected:
  ~IAddressListOwner() = default;
};

class CAddressListView : public CSubclassWindow {
 public:
  // Attaches to the dialog's list control: report view, full-row
  // highlight, tips, the columns and the list's font; the sort remembered
  // under `section` of pProfile (none when nullptr).
  void Setup(HWND hList, IAddressListOwner* pOwner, const CProfile* pProfile, const std::string& section);

  // The rows of pRecord's addresses (none when nullptr), written anew.
  void Fill(const CAdapterRecord* pRecord);
  // The rows brought to pRecord in place: only the rows whose texts changed
  // are written; a highlight on a row that now shows another address goes.
  void Update(const CAdapterRecord* pRecord);
  // The time of the reading the rows show, for the lifetime tips.
  void SetReadingTime(std::int64_t time) { m_nReadingTime = time; }

  // Highlights the address's row; false (and no highlight) when it is not
  // listed.
  bool Highlight(const std::string& address, bool bEnsureVisible);
  void ClearHighlight();
  // The highlighted row, or -1; its address, empty when none is highlighted.
  int HighlightedRow() const { return List().GetNextItem(-1, LVNI_SELECTED); }
  std::string HighlightedAddress() const;
  void EnsureVisible(const std::string& address) const;

  int GetTopRow() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
  // The row that was on top is on top again, as far as the list scrolls.
  void RestoreTopRow(int top) const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  CListView List() const { return CListView(m_hWnd); }
  // The sunken edge, report view, full-row highlight, tips and the five
  // columns.
  void InitAddressColumns();
  int RowOfAddress(const std::string& address) const;
  std::vector<std::vector<std::string>> RowsOf(const CAdapterRecord* pRecord) const;
  void OnColumnClick(int column);
  void ShowSortArrow() const;
  void OnContextMenu(LPARAM lp);
  void OnGetInfoTip(NMLVGETINFOTIPW& tip) const;
  void CopyText(const std::string& text) const;

  IAddressListOwner* m_pOwner = nullptr;
  const CProfile* m_pProfile = nullptr;
  std::string m_strSection;
  const CAdapterRecord* m_pRecord = nullptr;
  std::unique_ptr<CFont> m_pListFont;
  CAddressSort m_sort;
  // What the rows show.
  std::vector<std::vector<std::string>> m_shownRows;
  // While rows go and come back, highlight changes are not the user's.
  bool m_bFilling = false;
  std::int64_t m_nReadingTime = 0;
};

}  // namespace vantoric
