#include "controls/sortable_list_win32.h"

#include <oleauto.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "controls/list_sort_rules.h"
#include "framework/controls.h"
#include "framework/handles.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "framework/window_dpi.h"

namespace vantoric {

// The OS's variant date conversion with the user's locale. An OLE date
// counts days before 1899-12-30 downwards but their time of day upwards;
// the sort wants one straight time line.
bool ReadDateText(std::string_view text, double& when) {
  // oleaut32 is loaded at the first date sorted, not with the program.
  using VarDateFromStrFn = HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, DATE*);
  static const auto pfnVarDateFromStr = GetSystemFunction<VarDateFromStrFn>(L"oleaut32.dll", "VarDateFromStr");
  std::wstring wide = Widen(text);
  DATE date = 0;
  if (pfnVarDateFromStr == nullptr) return false;
  if (FAILED(pfnVarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &date))) return false;
  const double day = std::trunc(date);
  when = day + std::fabs(date - day);
  return true;
}

namespace {

int ListColumnFormat(ColumnAlign align) {
  if (align == ColumnAlign::Center) return LVCFMT_CENTER;
  if (align == ColumnAlign::Right) return LVCFMT_RIGHT;
  return LVCFMT_LEFT;
}

UINT HeaderTextAlignment(int fmt) {
  switch (fmt & HDF_JUSTIFYMASK) {
    case HDF_CENTER:
      return DT_CENTER;
    case HDF_RIGHT:
      return DT_RIGHT;
    default:
      return DT_LEFT;
  }
}

void DrawLines(HDC hdc, int nSysColor, const std::vector<CHeaderPoint>& points) {
  if (points.empty()) return;
  const CPen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(nSysColor)));
  const CSelectObject select(hdc, pen.get());
  ::MoveToEx(hdc, points.front().x, points.front().y, nullptr);
  for (size_t i = 1; i < points.size(); ++i) ::LineTo(hdc, points[i].x, points[i].y);
}

}  // namespace

int CBrekListCtrl::CBrekListHeaderCtrl::GetItemCount() const {
  return m_hWnd != nullptr ? Header_GetItemCount(m_hWnd) : 0;
}

bool CBrekListCtrl::CBrekListHeaderCtrl::OnReflectedMessage(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result) {
  if (msg != WM_DRAWITEM) return false;
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  if (dis->CtlType != ODT_HEADER) return false;
  DrawItem(*dis);
  result = TRUE;
  return true;
}

void CBrekListCtrl::CBrekListHeaderCtrl::DrawItem(const DRAWITEMSTRUCT& dis) const {
  HDC hdc = dis.hDC;
  const int nSaved = ::SaveDC(hdc);
  const RECT& rc = dis.rcItem;
  ::IntersectClipRect(hdc, rc.left, rc.top, rc.right, rc.bottom);
  ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));

  wchar_t text[256] = {};  // at most 255 characters
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_FORMAT;
  item.pszText = text;
  item.cchTextMax = 256;
  Header_GetItem(m_hWnd, dis.itemID, &item);

  const bool bSortColumn = static_cast<int>(dis.itemID) == m_nSortColumn;
  const CHeaderItemLayout layout = LayoutHeaderItem({rc.left, rc.top, rc.right, rc.bottom},
                                                    (dis.itemState & ODS_SELECTED) != 0, bSortColumn,
                                                    m_bSortAscending != 0);
  if (layout.bDrawText) {
    RECT rcText{layout.rcText.left, layout.rcText.top, layout.rcText.right, layout.rcText.bottom};
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(hdc, text, -1, &rcText,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS | HeaderTextAlignment(item.fmt));
  }
  DrawLines(hdc, COLOR_BTNHIGHLIGHT, layout.arrHighlight);
  DrawLines(hdc, COLOR_BTNSHADOW, layout.arrShadow);
  ::RestoreDC(hdc, nSaved);
}

CBrekListCtrl::~CBrekListCtrl() {
  // Rows of a window that outlives this object must not point at freed data.
  if (IsWindow()) {
    for (int row = 0; row < GetItemCount(); ++row)
      if (FindItemData(row) != nullptr) SetRowParam(row, 0);
  }
}

bool CBrekListCtrl::Subclass(HWND hwnd) {
  if (!CSubclassWindow::Subclass(hwnd)) return false;
  m_header.Subclass(ListView_GetHeader(hwnd));
  SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  return true;
}

int CBrekListCtrl::SetColumns(std::string_view formatText) {
  const CListView list(m_hWnd);
  for (const CListColumnFormat& column : ParseColumnFormats(formatText)) {
    if (list.InsertColumn(GetColumnCount(), column.strTitle, ListColumnFormat(column.align),
                          ScaleToWindow(m_hWnd, column.nWidth)) < 0)
      return 0;
    for (int row = 0; row < GetItemCount(); ++row) UpdateItemData(row);
  }
  return 1;
}

void CBrekListCtrl::FitColumnsToList() const {
  std::vector<int> widths;
  for (int col = 0; col < GetColumnCount(); ++col)
    widths.push_back(static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, col)));
  const RECT client = GetClientRect();
  // The scroll bar's width whether it shows now or comes with more rows.
  const bool bScrollBar = (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VSCROLL) != 0;
  const int available = client.right - (bScrollBar ? 0 : ::GetSystemMetrics(SM_CXVSCROLL));
  const std::vector<int> fitted = FitColumnWidths(widths, available);
  for (size_t col = 0; col < fitted.size(); ++col)
    if (fitted[col] != widths[col]) SendMessage(LVM_SETCOLUMNWIDTH, col, MAKELPARAM(fitted[col], 0));
}

int CBrekListCtrl::AddItem(int nItem, std::string_view text, std::initializer_list<const char*> further,
                           DWORD dwData) {
  const CListView list(m_hWnd);
  const int row = list.InsertItem(nItem, text);
  if (row < 0) return row;
  auto data = std::make_unique<CListItemData>();
  data->m_dwData = dwData;
  data->m_arrTexts.resize(static_cast<size_t>(std::max(1, GetColumnCount())));
  data->m_arrTexts[0] = std::string(text);
  const char* const* next = further.begin();
  for (size_t col = 1; col < data->m_arrTexts.size(); ++col) {
    const char* further_text = next != further.end() ? *next++ : nullptr;
    data->m_arrTexts[col] = further_text != nullptr ? further_text : "";
    list.SetItemText(row, static_cast<int>(col), data->m_arrTexts[col]);
  }
  AttachItemData(row, std::move(data));
  return row;
}

int CBrekListCtrl::DeleteItem(int nItem, bool bSelectNext, ListItemPredicate pred, LPARAM lArg) {
  if (nItem < 0 || nItem >= GetItemCount()) return 0;
  if (pred != nullptr) {
    const CListItemData* data = FindItemData(nItem);
    const DWORD dwData = data != nullptr ? data->m_dwData : static_cast<DWORD>(GetRowParam(nItem));
    if (pred(lArg, dwData) == 0) return 0;
  }
  // WindowProc frees the row's data with the row.
  if (SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nItem)) == 0) return 0;
  if (bSelectNext) SelectItem(nItem);
  return 1;
}

int CBrekListCtrl::DeleteAllItems() {
  int nDeleted = 0;
  while (GetItemCount() > 0 && SendMessage(LVM_DELETEITEM, 0) != 0) ++nDeleted;
  return nDeleted;
}

int CBrekListCtrl::SetFirstItemText(std::string_view text) {
  if (!CListView(m_hWnd).SetItemText(0, 0, text)) return 0;
  if (CListItemData* data = FindItemData(0)) {
    if (data->m_arrTexts.empty()) data->m_arrTexts.resize(1);
    data->m_arrTexts[0] = std::string(text);
  }
  return 1;
}

void CBrekListCtrl::WrapItemData(int nItem) {
  if (nItem < 0 || nItem >= GetItemCount()) return;
  const CListItemData* previous = FindItemData(nItem);
  auto data = std::make_unique<CListItemData>();
  data->m_arrTexts.resize(static_cast<size_t>(std::max(1, GetColumnCount())));
  // The caller value is 32 bits wide: a wider item data keeps its low half.
  data->m_dwData = previous != nullptr ? previous->m_dwData : static_cast<DWORD>(GetRowParam(nItem));
  AttachItemData(nItem, std::move(data));
}

int CBrekListCtrl::UpdateItemData(int nItem) {
  if (nItem < 0 || nItem >= GetItemCount()) return 0;
  CListItemData* data = FindItemData(nItem);
  if (data == nullptr) return 0;
  data->m_arrTexts.resize(static_cast<size_t>(std::max(1, GetColumnCount())));
  for (size_t col = 0; col < data->m_arrTexts.size(); ++col)
    data->m_arrTexts[col] = GetItemText(nItem, static_cast<int>(col));
  return 1;
}

int CBrekListCtrl::GetFirstSelectedItem() const { return CListView(m_hWnd).GetNextItem(-1, LVNI_SELECTED); }

void CBrekListCtrl::SelectItem(int nItem) {
  const int nCount = GetItemCount();
  // Row -1 would select every row.
  if (nCount == 0) return;
  const int row = std::clamp(nItem, 0, nCount - 1);
  ListView_SetItemState(m_hWnd, row, LVIS_SELECTED, LVIS_SELECTED);
}

int CBrekListCtrl::InsertItem(int nItem, std::string_view text) { return CListView(m_hWnd).InsertItem(nItem, text); }

int CBrekListCtrl::GetItemCount() const { return CListView(m_hWnd).GetItemCount(); }

std::string CBrekListCtrl::GetItemText(int nItem, int nColumn) const {
  return CListView(m_hWnd).GetItemText(nItem, nColumn);
}

const CListItemData* CBrekListCtrl::GetItemData(int nItem) const { return FindItemData(nItem); }

bool CBrekListCtrl::OnReflectedMessage(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result) {
  if (msg != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lp)->code != LVN_COLUMNCLICK) return false;
  OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(lp)->iSubItem);
  result = 0;
  return true;
}

LRESULT CBrekListCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case LVM_DELETEITEM: {
      const LPARAM param = GetRowParam(static_cast<int>(wp));
      const LRESULT deleted = CSubclassWindow::WindowProc(msg, wp, lp);
      if (deleted != 0) m_mapItemData.erase(param);
      return deleted;
    }
    case LVM_DELETEALLITEMS: {
      const LRESULT deleted = CSubclassWindow::WindowProc(msg, wp, lp);
      if (deleted != 0) m_mapItemData.clear();
      return deleted;
    }
    case WM_NCDESTROY: {
      const LRESULT answer = CSubclassWindow::WindowProc(msg, wp, lp);
      m_mapItemData.clear();
      return answer;
    }
    default:
      break;
  }
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

void CBrekListCtrl::OnColumnClick(int nColumn) {
  const bool bAscending = nColumn == m_header.m_nSortColumn ? m_header.m_bSortAscending == 0 : true;
  if (nColumn < 0 || nColumn >= GetColumnCount()) return;
  m_header.m_nSortColumn = nColumn;
  m_header.m_bSortAscending = bAscending ? 1 : 0;

  HWND hHeader = m_header.GetSafeHwnd();
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (Header_GetItem(hHeader, nColumn, &item)) {
    item.fmt |= HDF_OWNERDRAW;
    Header_SetItem(hHeader, nColumn, &item);
  }
  ::InvalidateRect(hHeader, nullptr, TRUE);
  SendMessage(LVM_SORTITEMS, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&CBrekListCtrl::CompareRows));
}

LPARAM CBrekListCtrl::GetRowParam(int nItem) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0 ? item.lParam : 0;
}

bool CBrekListCtrl::SetRowParam(int nItem, LPARAM param) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  item.lParam = param;
  return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

CListItemData* CBrekListCtrl::FindItemData(int nItem) const { return FindParamData(GetRowParam(nItem)); }

CListItemData* CBrekListCtrl::FindParamData(LPARAM param) const {
  const auto found = m_mapItemData.find(param);
  return found != m_mapItemData.end() ? found->second.get() : nullptr;
}

void CBrekListCtrl::AttachItemData(int nItem, std::unique_ptr<CListItemData> data) {
  const LPARAM previous = GetRowParam(nItem);
  const LPARAM param = reinterpret_cast<LPARAM>(data.get());
  if (!SetRowParam(nItem, param)) return;
  m_mapItemData.erase(previous);
  m_mapItemData.emplace(param, std::move(data));
}

int CALLBACK CBrekListCtrl::CompareRows(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
  const auto* self = reinterpret_cast<const CBrekListCtrl*>(lParamSort);
  const int nColumn = self->m_header.m_nSortColumn;
  const auto textOf = [&](LPARAM param) -> std::string_view {
    const CListItemData* data = self->FindParamData(param);
    if (data == nullptr || nColumn < 0 || static_cast<size_t>(nColumn) >= data->m_arrTexts.size()) return {};
    return data->m_arrTexts[static_cast<size_t>(nColumn)];
  };
  try {
    return CompareSortTexts(textOf(lParam1), textOf(lParam2), self->m_header.m_bSortAscending != 0, &ReadDateText);
  } catch (...) {
    // Nothing may unwind through the list view's sort.
    return 0;
  }
}

CListMenuPlace PlaceListContextMenu(HWND list, LPARAM lp) {
  CListMenuPlace place;
  place.at = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (lp == -1) {
    place.nRow = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    RECT rc{};
    rc.left = LVIR_LABEL;
    if (place.nRow >= 0 && ::SendMessageW(list, LVM_GETITEMRECT, place.nRow, reinterpret_cast<LPARAM>(&rc)) != 0)
      place.at = {rc.left + 8, rc.bottom};
    else
      place.at = {8, 8};
    ::ClientToScreen(list, &place.at);
    return place;
  }
  LVHITTESTINFO hit{};
  hit.pt = place.at;
  ::ScreenToClient(list, &hit.pt);
  place.nRow = static_cast<int>(::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (place.nRow >= 0) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, place.nRow, reinterpret_cast<LPARAM>(&item));
  }
  return place;
}

}  // namespace vantoric
