#include "dialogs/neighbors_page_dlg.h"

#include <commctrl.h>

#include <utility>

#include "controls/list_sort_rules.h"
#include "core/connection_guard_win32.h"
#include "core/interface_settings_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/clipboard.h"
#include "framework/message_box.h"
#include "resources/resource_link_dialogs.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "Neighbors";
constexpr char kNotSupported[] =
    "The neighbor cache cannot be shown on this version of Windows: it lacks the function that reads it. Flush "
    "still empties it.";
constexpr char kReadFailed[] = "The neighbor cache could not be read: ";
constexpr char kFlushStillWorks[] = " Flush still empties it.";
constexpr char kColumns[] = "Address, 100;Link-layer address, 115;State, 62;Router, 46";
const char* const kHeadings[] = {"Address", "Link-layer address", "State", "Router"};
// The context menu's commands.
constexpr UINT IDM_COPY_ADDRESS = 1;
constexpr UINT IDM_COPY_ROW = 2;
constexpr UINT IDM_COPY_ALL = 3;
constexpr UINT IDM_MENU_REMOVE = 4;

}  // namespace

CNeighborsPage::CNeighborsPage(std::vector<std::string> adapterNames)
    : CAdapterSettingsPage(IDD_NEIGHBORS, IDC_COMBO_NEIGHBOR_INTERFACE, std::move(adapterNames)) {}

void CNeighborsPage::OnInitPage() {
  m_listNeighbors.SubclassDlgItem(IDC_LIST_NEIGHBORS, m_hWnd);
  m_listNeighbors.SetColumns(kColumns);
}

void CNeighborsPage::ReadAgain() {
  m_listNeighbors.DeleteAllItems();
  const std::string name = ChosenName();
  const CNeighborReading reading = ReadNeighborTable();
  std::uint64_t id = 0;
  std::string note;
  std::vector<CNeighborRecord> records;
  if (reading.m_state == InterfaceReadState::NotSupported)
    note = kNotSupported;
  else if (reading.m_state == InterfaceReadState::Failed)
    note = kReadFailed + GetSystemMessage(reading.m_nError) + kFlushStillWorks;
  else if (!name.empty() && ReadInterfaceId(name, id))
    records = MakeNeighborRecords(reading.m_neighbors, id);
  SetDlgItemText(IDC_STATIC_NEIGHBORS_NOTE, note);
  ::ShowWindow(GetDlgItem(IDC_STATIC_NEIGHBORS_NOTE), note.empty() ? SW_HIDE : SW_SHOW);
  ::ShowWindow(m_listNeighbors.GetSafeHwnd(), note.empty() ? SW_SHOW : SW_HIDE);
  for (size_t i = 0; i < records.size(); ++i) {
    const std::vector<std::string> cells = NeighborRowTexts(records[i]);
    m_listNeighbors.AddItem(static_cast<int>(i), cells[0], {cells[1].c_str(), cells[2].c_str(), cells[3].c_str()},
                            static_cast<DWORD>(i));
  }
  EnableItem(IDC_BUTTON_NEIGHBOR_REMOVE, !records.empty());
  EnableItem(IDC_BUTTON_NEIGHBOR_FLUSH, !name.empty());
}

std::vector<std::vector<std::string>> CNeighborsPage::ShownRows() const {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < m_listNeighbors.GetItemCount(); ++i)
    if (const CListItemData* pData = m_listNeighbors.GetItemData(i)) rows.push_back(pData->m_arrTexts);
  return rows;
}

void CNeighborsPage::CopyText(const std::string& text) {
  if (!CopyTextToClipboard(m_hWnd, text))
    ShowMessage(Host(), "The clipboard could not be opened. Try again.", MB_OK | MB_ICONERROR);
}

void CNeighborsPage::RunDelete(const std::string& address) {
  CChange change;
  change.m_kind = ChangeKind::DeleteNeighbors;
  change.m_strInterface = ChosenName();
  change.m_strAddress = address;
  const CNetshResult result = RunChange(change);
  if (result.Succeeded()) {
    ShowMessage(Host(), address.empty() ? "The neighbor cache was flushed." : "The neighbor entry was removed.",
                MB_OK | MB_ICONINFORMATION, kCaption);
  } else {
    ReportNetshFailure(Host(), result, kCaption,
                       address.empty() ? "Flushing the neighbor cache is cancelled."
                                       : "Removing the neighbor entry is cancelled.",
                       kCaption);
  }
  ReadAgain();
}

void CNeighborsPage::OnRemove() {
  const int row = m_listNeighbors.GetFirstSelectedItem();
  if (row < 0) {
    ShowMessage(Host(), "You have not selected an item. Select one first.", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  RunDelete(m_listNeighbors.GetItemText(row, 0));
}

void CNeighborsPage::OnFlush() {
  const std::string name = ChosenName();
  if (name.empty()) return;
  if (ShowMessage(Host(), FormatFlushQuestion(name), MB_YESNO | MB_ICONQUESTION, kCaption) == IDYES) RunDelete({});
}

void CNeighborsPage::OnContextMenu(LPARAM lp) {
  const CListMenuPlace place = PlaceListContextMenu(m_listNeighbors.GetSafeHwnd(), lp);
  const std::vector<std::vector<std::string>> rows = ShownRows();
  const bool bOnRow = place.nRow >= 0 && static_cast<size_t>(place.nRow) < rows.size();
  const UINT onRow = bOnRow ? MF_STRING : MF_STRING | MF_GRAYED;
  HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) return;
  ::AppendMenuW(menu, onRow, IDM_COPY_ADDRESS, L"&Copy address");
  ::AppendMenuW(menu, onRow, IDM_COPY_ROW, L"Copy &row");
  ::AppendMenuW(menu, rows.empty() ? MF_STRING | MF_GRAYED : MF_STRING, IDM_COPY_ALL, L"Copy &all rows");
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, onRow, IDM_MENU_REMOVE, L"Re&move");
  const UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                          place.at.x, place.at.y, 0, m_hWnd, nullptr));
  ::DestroyMenu(menu);
  if (command == IDM_COPY_ALL)
    CopyText(FormatCopiedTable({std::begin(kHeadings), std::end(kHeadings)}, rows));
  if (!bOnRow) return;
  const std::vector<std::string>& cells = rows[static_cast<size_t>(place.nRow)];
  if (command == IDM_COPY_ADDRESS) CopyText(cells[0]);
  if (command == IDM_COPY_ROW) CopyText(FormatCopiedRow(cells));
  if (command == IDM_MENU_REMOVE) RunDelete(cells[0]);
}

bool CNeighborsPage::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  if (nCode == BN_CLICKED) {
    switch (nId) {
      case IDC_BUTTON_NEIGHBOR_REMOVE:
        OnRemove();
        return true;
      case IDC_BUTTON_NEIGHBOR_FLUSH:
        OnFlush();
        return true;
      case IDC_BUTTON_NEIGHBOR_REFRESH:
        ReadAgain();
        return true;
      default:
        break;
    }
  }
  return CAdapterSettingsPage::OnCommand(nId, nCode, hCtl);
}

bool CNeighborsPage::OnNotify(NMHDR* pHdr, LRESULT& result) {
  if (pHdr->idFrom != IDC_LIST_NEIGHBORS || pHdr->code != LVN_KEYDOWN ||
      reinterpret_cast<const NMLVKEYDOWN*>(pHdr)->wVKey != 'C' || ::GetKeyState(VK_CONTROL) >= 0)
    return CAdapterSettingsPage::OnNotify(pHdr, result);
  // Ctrl+C copies the highlighted address, as in the main window.
  const int row = m_listNeighbors.GetFirstSelectedItem();
  if (row >= 0) CopyText(m_listNeighbors.GetItemText(row, 0));
  result = 0;
  return true;
}

bool CNeighborsPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wp) == m_listNeighbors.GetSafeHwnd()) {
    OnContextMenu(lp);
    result = 0;
    return true;
  }
  // Shown again (its tab chosen): the cache has changed since.
  if (msg == WM_SHOWWINDOW && wp != FALSE && lp == 0) ReadAgain();
  return CAdapterSettingsPage::OnMessage(msg, wp, lp, result);
}

}  // namespace vantoric
