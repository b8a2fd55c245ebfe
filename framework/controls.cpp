#include "framework/controls.h"

#include "framework/utf8.h"

namespace vantoric {

int CComboBox::AddString(std::string_view text) const {
  const std::wstring w = Widen(text);
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
}

int CComboBox::InsertString(int index, std::string_view text) const {
  const std::wstring w = Widen(text);
  return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(w.c_str())));
}

std::string CComboBox::GetLBText(int index) const {
  const LRESULT len = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (len == CB_ERR || len <= 0) return {};
  std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(len));
  return Narrow(buf);
}

int CListView::InsertColumn(int col, std::string_view heading, int format, int width) const {
  std::wstring w = Widen(heading);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = w.data();
  column.iSubItem = col;
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(col),
                                      reinterpret_cast<LPARAM>(&column)));
}

int CListView::InsertItem(int row, std::string_view text) const {
  CWideText w(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = w.get();
  return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListView::SetItemText(int row, int col, std::string_view text) const {
  CWideText w(text);
  LVITEMW item{};
  item.iSubItem = col;
  item.pszText = w.get();
  return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListView::GetItemText(int row, int col) const {
  // The list answers with as much as fits: a text that fills the buffer
  // may be longer, so it is asked again with more room.
  for (size_t size = 256;; size *= 2) {
    std::wstring buf(size, L'\0');
    LVITEMW item{};
    item.iSubItem = col;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(buf.size());
    const LRESULT len = SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (len < 0 || static_cast<size_t>(len) + 1 < size || size >= (1u << 20)) {
      buf.resize(len > 0 ? static_cast<size_t>(len) : 0);
      return Narrow(buf);
    }
  }
}

}  // namespace vantoric
