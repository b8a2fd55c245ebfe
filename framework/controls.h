// Tiny wrappers of the common controls the dialogs use. They do not own the
// window; texts are UTF-8.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

#include "framework/window.h"

namespace vantoric {

class CComboBox : public CWindow {
 public:
  using CWindow::CWindow;
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
  int AddString(std::string_view text) const;
  int InsertString(int index, std::string_view text) const;
  void ResetContent() const { SendMessage(CB_RESETCONTENT); }
  std::string GetLBText(int index) const;
};

class CListView : public CWindow {
 public:
  using CWindow::CWindow;
  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  int InsertColumn(int col, std::string_view heading, int format, int width) const;
  int InsertItem(int row, std::string_view text) const;
  bool SetItemText(int row, int col, std::string_view text) const;
  std::string GetItemText(int row, int col) const;
  bool DeleteItem(int row) const { return SendMessage(LVM_DELETEITEM, row) != 0; }
  bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
  int GetNextItem(int start, UINT flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
  }
  UINT GetItemState(int row, UINT mask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, row, mask));
  }
  bool SetItemState(int row, UINT state, UINT mask) const {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
  }
  bool EnsureVisible(int row) const { return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE) != 0; }
  DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  void SetExtendedStyle(DWORD style) const { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
};

}  // namespace vantoric
