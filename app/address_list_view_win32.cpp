#include "app/address_list_view_win32.h"

#include <windowsx.h>

#include "app/address_command_rules.h"
#include "controls/sortable_list_win32.h"
#include "dialogs/address_dialog_parts_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/clipboard.h"
#include "framework/message_box.h"
#include "framework/utf8.h"
#include "framework/window_dpi.h"

namespace vantoric {

namespace {

// The local time of a moment given in seconds since 1970.
CLocalTime LocalTimeOf(std::int64_t time) {
  const ULONGLONG ticks = static_cast<ULONGLONG>(time + 11644473600LL) * 10000000ULL;
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  FILETIME local{};
  SYSTEMTIME st{};
  CLocalTime out;
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) return out;
  out.m_nYear = st.wYear;
  out.m_nMonth = st.wMonth;
  out.m_nDay = st.wDay;
  out.m_nDayOfWeek = st.wDayOfWeek;
  out.m_nHour = st.wHour;
  out.m_nMinute = st.wMinute;
  out.m_nSecond = st.wSecond;
  return out;
}

// The context menu's commands.
constexpr UINT IDM_COPY_ADDRESS = 1;
constexpr UINT IDM_COPY_ROW = 2;
constexpr UINT IDM_COPY_ALL = 3;
constexpr UINT IDM_MENU_EDIT = 4;
constexpr UINT IDM_MENU_REMOVE = 5;

constexpr char SORT_COLUMN_ENTRY[] = "SortColumn";
constexpr char SORT_ASCENDING_ENTRY[] = "SortAscending";

struct CColumn {
  const char* heading;
  int width;
};
constexpr CColumn kColumns[] = {
    {"IPv6 Address", 280}, {"Type", 50}, {"DAD", 75}, {"Valid Life", 80}, {"Pref. Life", 80},
};

}  // namespace

void CAddressListView::Setup(HWND hList, IAddressListOwner* pOwner, const CProfile* pProfile,
                             const std::string& section) {
  // Set up before the subclass is attached: its messages then go straight
  // to the list (see Fill).
  Attach(hList);
  m_pOwner = pOwner;
  m_pProfile = pProfile;
  m_strSection = section;
  m_pListFont = std::make_unique<CFont>(CreateVerdanaFont(::GetParent(hList), 90));
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_pListFont->get()), TRUE);
  if (m_pProfile != nullptr) {
    m_sort.m_nColumn = m_pProfile->GetProfileInt(m_strSection, SORT_COLUMN_ENTRY, -1);
    if (m_sort.m_nColumn < -1 || m_sort.m_nColumn >= ADDRESS_COLUMN_COUNT) m_sort.m_nColumn = -1;
    m_sort.m_bAscending = m_pProfile->GetProfileInt(m_strSection, SORT_ASCENDING_ENTRY, 1) != 0;
  }
  InitAddressColumns();
  ShowSortArrow();
  Subclass(hList);
}

void CAddressListView::InitAddressColumns() {
  ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | LVS_REPORT);
  const CListView list = List();
  list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  int col = 0;
  for (const CColumn& column : kColumns)
    list.InsertColumn(col++, column.heading, LVCFMT_LEFT, ScaleToWindow(m_hWnd, column.width));
}

std::vector<std::vector<std::string>> CAddressListView::RowsOf(const CAdapterRecord* pRecord) const {
  std::vector<std::vector<std::string>> rows;
  if (pRecord == nullptr) return rows;
  const std::vector<CAddressRecord>& addresses = pRecord->m_addresses;
  rows.reserve(addresses.size());
  for (size_t index : SortAddressRows(addresses, m_sort)) rows.push_back(AddressRowTexts(addresses[index]));
  return rows;
}

void CAddressListView::Fill(const CAdapterRecord* pRecord) {
  const CListView list = List();
  m_pRecord = pRecord;
  m_bFilling = true;
  // The rows' messages go straight to the list: where each message through
  // a subclass costs a round trip to the window server (Wine), a fill of
  // many rows took ten times as long with it. Its notifications meanwhile
  // are none of the user's.
  Unsubclass();
  list.DeleteAllItems();
  // Rows in the chosen order. Appending keeps the list from shifting every
  // row already inserted, and the list paints once when it is complete.
  m_shownRows = RowsOf(pRecord);
  SendMessage(WM_SETREDRAW, FALSE);
  for (size_t row = 0; row < m_shownRows.size(); ++row) {
    const std::vector<std::string>& cells = m_shownRows[row];
    list.InsertItem(static_cast<int>(row), cells[0]);
    for (int col = 1; col < ADDRESS_COLUMN_COUNT; ++col)
      list.SetItemText(static_cast<int>(row), col, cells[static_cast<size_t>(col)]);
  }
  SendMessage(WM_SETREDRAW, TRUE);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  Subclass(m_hWnd);
  m_bFilling = false;
}

void CAddressListView::Update(const CAdapterRecord* pRecord) {
  if (pRecord == nullptr) {
    Fill(pRecord);
    return;
  }
  const CListView list = List();
  m_pRecord = pRecord;
  const std::vector<CAddressRecord>& addresses = pRecord->m_addresses;
  const std::vector<size_t> order = SortAddressRows(addresses, m_sort);
  const CRowUpdate update = PlanRowUpdate(m_shownRows, addresses, order);
  m_bFilling = true;
  Unsubclass();  // as in Fill
  // The highlight is given back by address by the window, not left on a
  // row that now shows another one.
  const size_t highlighted = static_cast<size_t>(list.GetNextItem(-1, LVNI_SELECTED));
  if (highlighted < m_shownRows.size() &&
      (highlighted >= order.size() || addresses[order[highlighted]].m_strAddress != m_shownRows[highlighted][0]))
    list.SetItemState(static_cast<int>(highlighted), 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (int row = list.GetItemCount(); row > static_cast<int>(order.size()); --row) list.DeleteItem(row - 1);
  const size_t shownBefore = m_shownRows.size();
  m_shownRows.resize(order.size());
  for (size_t row : update.m_changedRows) {
    std::vector<std::string> cells = AddressRowTexts(addresses[order[row]]);
    const bool bNew = row >= shownBefore;
    if (bNew) list.InsertItem(static_cast<int>(row), cells[0]);
    for (int col = 0; col < ADDRESS_COLUMN_COUNT; ++col) {
      const size_t c = static_cast<size_t>(col);
      if (bNew ? col > 0 : m_shownRows[row][c] != cells[c]) list.SetItemText(static_cast<int>(row), col, cells[c]);
    }
    m_shownRows[row] = std::move(cells);
  }
  Subclass(m_hWnd);
  m_bFilling = false;
}

int CAddressListView::RowOfAddress(const std::string& address) const {
  for (size_t row = 0; row < m_shownRows.size(); ++row)
    if (m_shownRows[row][0] == address) return static_cast<int>(row);
  return -1;
}

bool CAddressListView::Highlight(const std::string& address, bool bEnsureVisible) {
  const int row = address.empty() ? -1 : RowOfAddress(address);
  if (row < 0) {
    ClearHighlight();
    return false;
  }
  m_bFilling = true;
  List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_bFilling = false;
  if (bEnsureVisible) List().EnsureVisible(row);
  return true;
}

void CAddressListView::ClearHighlight() {
  if (HighlightedRow() < 0) return;
  m_bFilling = true;
  List().SetItemState(-1, 0, LVIS_SELECTED);
  m_bFilling = false;
}

int CAddressListView::ColumnsWidth() const {
  int width = 0;
  for (int col = 0; col < ADDRESS_COLUMN_COUNT; ++col) width += static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, col));
  return width;
}

std::string CAddressListView::HighlightedAddress() const {
  const size_t row = static_cast<size_t>(HighlightedRow());
  return row < m_shownRows.size() ? m_shownRows[row][0] : std::string();
}

void CAddressListView::EnsureVisible(const std::string& address) const {
  const int row = RowOfAddress(address);
  if (row >= 0) List().EnsureVisible(row);
}

void CAddressListView::RestoreTopRow(int top) const {
  // Scrolled by the rows between: the list repaints only when it moved.
  const int now = GetTopRow();
  if (now == top || List().GetItemCount() == 0) return;
  RECT rc{};
  rc.left = LVIR_BOUNDS;
  if (SendMessage(LVM_GETITEMRECT, now, reinterpret_cast<LPARAM>(&rc)) == 0) return;
  SendMessage(LVM_SCROLL, 0, (top - now) * (rc.bottom - rc.top));
}

void CAddressListView::OnColumnClick(int column) {
  m_sort = ClickHeading(m_sort, column);
  if (m_pProfile != nullptr) {
    m_pProfile->WriteProfileInt(m_strSection, SORT_COLUMN_ENTRY, m_sort.m_nColumn);
    m_pProfile->WriteProfileInt(m_strSection, SORT_ASCENDING_ENTRY, m_sort.m_bAscending ? 1 : 0);
  }
  ShowSortArrow();
  // The highlighted address keeps its highlight on its new row.
  const std::string highlighted = HighlightedAddress();
  Update(m_pRecord);
  if (!highlighted.empty()) Highlight(highlighted, true);
}

void CAddressListView::ShowSortArrow() const {
  HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
  if (header == nullptr) return;
  for (int col = 0; col < ADDRESS_COLUMN_COUNT; ++col) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!::SendMessageW(header, HDM_GETITEMW, col, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (col == m_sort.m_nColumn) item.fmt |= m_sort.m_bAscending ? HDF_SORTUP : HDF_SORTDOWN;
    ::SendMessageW(header, HDM_SETITEMW, col, reinterpret_cast<LPARAM>(&item));
  }
}

void CAddressListView::CopyText(const std::string& text) const {
  HWND owner = ::GetParent(m_hWnd);
  if (!CopyTextToClipboard(owner, text))
    ShowMessage(owner, "The clipboard could not be opened. Try again.", MB_OK | MB_ICONERROR);
}

void CAddressListView::OnContextMenu(LPARAM lp) {
  const CListMenuPlace place = PlaceListContextMenu(m_hWnd, lp);
  const int row = place.nRow;
  const POINT at = place.at;
  const UINT onRow = row >= 0 ? MF_STRING : MF_STRING | MF_GRAYED;
  HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return;
  ::AppendMenuW(menu, onRow, IDM_COPY_ADDRESS, L"&Copy address");
  ::AppendMenuW(menu, onRow, IDM_COPY_ROW, L"Copy &row");
  ::AppendMenuW(menu, m_shownRows.empty() ? MF_STRING | MF_GRAYED : MF_STRING, IDM_COPY_ALL, L"Copy &all rows");
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, onRow, IDM_MENU_EDIT, L"&Edit...");
  ::AppendMenuW(menu, onRow, IDM_MENU_REMOVE, L"Re&move");
  const UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                                          at.y, 0, ::GetParent(m_hWnd), nullptr));
  ::DestroyMenu(menu);
  const size_t r = static_cast<size_t>(row);
  switch (command) {
    case IDM_COPY_ADDRESS:
      if (row >= 0 && r < m_shownRows.size()) CopyText(m_shownRows[r][0]);
      break;
    case IDM_COPY_ROW:
      if (row >= 0 && r < m_shownRows.size()) CopyText(FormatCopiedRow(m_shownRows[r]));
      break;
    case IDM_COPY_ALL: {
      std::vector<std::string> headings;
      for (const CColumn& column : kColumns) headings.push_back(column.heading);
      CopyText(FormatCopiedTable(headings, m_shownRows));
      break;
    }
    case IDM_MENU_EDIT:
      m_pOwner->OnEdit();
      break;
    case IDM_MENU_REMOVE:
      m_pOwner->OnRemove();
      break;
    default:
      break;
  }
}

void CAddressListView::OnGetInfoTip(NMLVGETINFOTIPW& tip) const {
  // The tip is asked for the cell under the mouse.
  LVHITTESTINFO hit{};
  ::GetCursorPos(&hit.pt);
  ::ScreenToClient(m_hWnd, &hit.pt);
  SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const bool bLifetime = hit.iSubItem == ADDRESS_COLUMN_VALID || hit.iSubItem == ADDRESS_COLUMN_PREFERRED;
  if (!bLifetime || hit.iItem < 0 || static_cast<size_t>(hit.iItem) >= m_shownRows.size() || m_pRecord == nullptr ||
      tip.pszText == nullptr || tip.cchTextMax <= 0)
    return;
  const int index = FindAddressIndex(*m_pRecord, m_shownRows[static_cast<size_t>(hit.iItem)][0]);
  if (index < 0) return;
  const CAddressRecord& address = m_pRecord->m_addresses[static_cast<size_t>(index)];
  const bool bValid = hit.iSubItem == ADDRESS_COLUMN_VALID;
  const std::uint32_t seconds = bValid ? address.m_nValidSeconds : address.m_nPreferredSeconds;
  const std::string text = FormatExpiryTip(bValid ? "Valid" : "Preferred", seconds, m_nReadingTime,
                                           CurrentUnixTime(), LocalTimeOf(m_nReadingTime + seconds));
  const std::wstring wide = Widen(text);
  ::lstrcpynW(tip.pszText, wide.c_str(), tip.cchTextMax);
}

LRESULT CAddressListView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONTEXTMENU) {
    OnContextMenu(lp);
    return 0;
  }
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

bool CAddressListView::OnReflectedMessage(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result) {
  if (msg != WM_NOTIFY) return false;
  NMHDR* pHdr = reinterpret_cast<NMHDR*>(lp);
  result = 0;
  switch (pHdr->code) {
    case LVN_COLUMNCLICK:
      OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(pHdr)->iSubItem);
      return true;
    case LVN_GETINFOTIPW:
      OnGetInfoTip(*reinterpret_cast<NMLVGETINFOTIPW*>(pHdr));
      return true;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN*>(pHdr)->wVKey != 'C' || ::GetKeyState(VK_CONTROL) >= 0) return false;
      if (const std::string address = HighlightedAddress(); !address.empty()) CopyText(address);
      return true;
    case NM_CLICK:
      m_pOwner->OnAddressSelectionChanged();
      return true;
    case LVN_ITEMCHANGED: {
      const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pHdr);
      if (!m_bFilling && (pChange->uChanged & LVIF_STATE) != 0 &&
          ((pChange->uNewState ^ pChange->uOldState) & LVIS_SELECTED) != 0)
        m_pOwner->OnAddressSelectionChanged();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vantoric
