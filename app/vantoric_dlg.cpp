#include "app/vantoric_dlg.h"

#include <commctrl.h>

#include <algorithm>

#include "app/about_dlg.h"
#include "app/address_command_rules.h"
#include "app/elevated_restart_win32.h"
#include "app/help_win32.h"
#include "core/adapter_enumeration_win32.h"
#include "core/connection_guard_win32.h"
#include "core/netsh_commands.h"
#include "dialogs/add_ip6_dlg.h"
#include "dialogs/address_dialog_parts_win32.h"
#include "dialogs/advanced_settings_dlg.h"
#include "dialogs/edit_ip6_dlg.h"
#include "dialogs/guard_prompt_win32.h"
#include "dialogs/history_dlg.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/message_box.h"
#include "framework/utf8.h"
#include "resources/resource.h"

namespace vantoric {

namespace {

constexpr char READ_FAILED_MESSAGE[] = "The network adapters could not be read: ";
constexpr char LAST_READING_KEPT_MESSAGE[] = "\n\nThe list shows the last reading. Press Refresh to try again.";

// The watch's message, the timer that gathers a burst of changes into one
// reading, and the shortest time between two live readings.
constexpr UINT WM_APP_ADDRESSES_CHANGED = WM_APP + 1;
constexpr UINT_PTR LIVE_TIMER_ID = 1;
constexpr DWORD LIVE_READING_MS = 500;
// While a dialog of the window is open the reading waits; asked again
// after this long.
constexpr UINT LIVE_RETRY_MS = 250;

// How each control follows the window's edges, in the order applied.
struct CAnchor {
  unsigned flags;
  unsigned controlId;
};
constexpr unsigned R = ANCHOR_RIGHT, B = ANCHOR_BOTTOM, W = ANCHOR_WIDTH, H = ANCHOR_HEIGHT;
constexpr CAnchor kAnchors[] = {
    {R | B, IDOK},
    {R | B, IDC_BUTTON_HELP},
    {R | B, IDC_BUTTON_ADVANCED},
    {R | B, IDC_BUTTON_HISTORY},
    {W | H, IDC_FRAME_INFORMATION},
    {B | W, IDC_FRAME_DESCRIPTION},
    {B, IDC_STATIC_DESCRIPTION},
    {W | H, IDC_LIST_ADDRESSES},
    {R | B, IDC_BUTTON_ADD},
    {R | B, IDC_BUTTON_EDIT},
    {R | B, IDC_BUTTON_REMOVE},
    {R | B, IDC_BUTTON_REFRESH},
    {W, IDC_FRAME_ADAPTER},
    {W, IDC_COMBO_ADAPTER},
    {B, IDC_LOGO},
    {B, IDC_WEBLINK},
};

}  // namespace

CVantoricDlg::CVantoricDlg(const CProfile* pProfile) : CResizeDialog(IDD_VANTORIC_DIALOG, pProfile) {
  for (const CAnchor& anchor : kAnchors) AddAnchor(anchor.flags, anchor.controlId);
  m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CVantoricDlg::~CVantoricDlg() { ReleaseAdapters(); }

void CVantoricDlg::OnDestroy() {
  m_watch.Stop();
  if (m_bLiveTimer) ::KillTimer(m_hWnd, LIVE_TIMER_ID);
  m_bLiveTimer = false;
  CResizeDialog::OnDestroy();
}

CComboBox CVantoricDlg::Chooser() const { return CComboBox(GetDlgItem(IDC_COMBO_ADAPTER)); }

BOOL CVantoricDlg::OnInitDialog() {
  // The controls that the window drives through objects, and the initial
  // description text.
  m_logo.SubclassDlgItem(IDC_LOGO, m_hWnd);
  m_logo.FitToBitmap();
  SetDlgItemText(IDC_STATIC_DESCRIPTION, m_strDescription);
  CResizeDialog::OnInitDialog();

  HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE);
  const std::string about = LoadResourceString(IDS_ABOUTBOX);
  // The History comes before the About entry, which stays last.
  if (sysMenu != nullptr) {
    ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(sysMenu, MF_STRING, IDM_HISTORY, L"&History...");
    if (IsRestartAsAdministratorOffered())
      ::AppendMenuW(sysMenu, MF_STRING, IDM_RESTART_ELEVATED, L"Restart as &administrator");
  }
  if (sysMenu != nullptr && !about.empty()) {
    ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, Widen(about).c_str());
  }

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  m_listAddresses.Setup(GetDlgItem(IDC_LIST_ADDRESSES), this, GetProfile(), GetProfileSection());
  LoadAdapters();
  FillAddressList();
  m_watch.Start(m_hWnd, WM_APP_ADDRESSES_CHANGED);

  FillChooser({});

  AttachWebLink();
  return TRUE;
}

int CVantoricDlg::LoadAdapters(bool bQuiet) {
  // The new reading goes into records of its own: the window's records are
  // replaced only when it succeeded, so that a failed reading leaves the
  // last one on show.
  std::unique_ptr<CAdapterRecord[]> records;
  size_t count = 0;
  std::vector<std::string> names;
  // A live reading asks for the list into the size the last one needed;
  // Refresh and the first reading into the usual size, without a size
  // question first: one query of the list on most machines.
  if (!bQuiet) m_reading.SetListSize(USUAL_LIST_SIZE);
  const DWORD error = TakeAdapterSnapshot(m_reading, records, count, names);
  if (error == 0 && count > 0) {
    ReleaseAdapters();
    m_pAdapters = std::move(records);
    m_nAdapterCount = static_cast<int>(count);
    m_adapterNames = std::move(names);
    NoteReadingTime();
    return 1;
  }
  // A reading that nobody asked for keeps the last one without a word.
  if (bQuiet && m_pAdapters) return 0;
  if (error == 0) {
    ShowNoAdapter();
  } else if (!m_pAdapters) {
    ShowMessage(m_hWnd, READ_FAILED_MESSAGE + GetSystemMessage(error), MB_OK | MB_ICONERROR);
    PostMessage(WM_CLOSE);
  } else {
    ShowMessage(m_hWnd, READ_FAILED_MESSAGE + GetSystemMessage(error) + LAST_READING_KEPT_MESSAGE,
                MB_OK | MB_ICONERROR);
  }
  return 0;
}

void CVantoricDlg::NoteReadingTime() {
  m_nReadingTime = CurrentUnixTime();
  m_history.SetReadingTime(m_nReadingTime);
  m_listAddresses.SetReadingTime(m_nReadingTime);
}

void CVantoricDlg::ShowNoAdapter() {
  ShowMessage(m_hWnd, "No Network Adapters Found on System.", MB_OK | MB_ICONERROR);
  // Ends the dialog as a cancel, without Exit's question.
  PostMessage(WM_CLOSE);
}

void CVantoricDlg::ReleaseAdapters() {
  m_pAdapters.reset();
  m_nAdapterCount = 0;
  m_pCurAdapter = nullptr;
  m_adapterNames.clear();
}

void CVantoricDlg::FillAddressList() {
  if (!m_pAdapters) return;
  // After a reload with fewer adapters the chosen index (kept, like the
  // chooser's entries) may name no record: then nothing is shown.
  if (m_nSelAdapter < 0 || m_nSelAdapter >= m_nAdapterCount) {
    m_pCurAdapter = nullptr;
    m_strDescription.clear();
    m_strInterfaceName.clear();
    SetDlgItemText(IDC_STATIC_DESCRIPTION, m_strDescription);
    SetDlgItemText(IDC_STATIC_MAC, "N/A");
    m_listAddresses.Fill(nullptr);
    ClearSelection();
    return;
  }
  m_pCurAdapter = &m_pAdapters[static_cast<size_t>(m_nSelAdapter)];
  m_strDescription = m_pCurAdapter->m_strDescription;
  m_strInterfaceName = m_pCurAdapter->m_strFriendlyName;
  SetDlgItemText(IDC_STATIC_DESCRIPTION, m_strDescription);
  SetDlgItemText(IDC_STATIC_MAC, m_pCurAdapter->GetMacTextOrNA());
  m_listAddresses.Fill(m_pCurAdapter);
  HighlightSelectedAddress();
}

void CVantoricDlg::HighlightSelectedAddress(bool bEnsureVisible) {
  // The selection stays with its address while the address is listed, so
  // that what the commands act on is always the row the user sees.
  if (m_bAddressSelected == 0 || m_pCurAdapter == nullptr ||
      !m_listAddresses.Highlight(m_strSelAddress, bEnsureVisible))
    ClearSelection();
}

void CVantoricDlg::UpdateAddressList() {
  if (m_pCurAdapter == nullptr) {
    FillAddressList();
    return;
  }
  m_listAddresses.Update(m_pCurAdapter);
  HighlightSelectedAddress(false);
}

void CVantoricDlg::AttachWebLink() {
  m_link.SetTarget(LoadResourceString(IDS_WEBLINK_TARGET));
  m_link.Attach(GetDlgItem(IDC_WEBLINK));
}

void CVantoricDlg::OnSelchangeAdapter() {
  if (!m_pAdapters) return;
  m_nSelAdapter = Chooser().GetCurSel();
  FillAddressList();
}

void CVantoricDlg::OnAddressSelectionChanged() {
  // However the highlight moved (click, arrow keys, Home, End, type-ahead),
  // the selection state is the highlighted row's.
  m_nClickedItem = m_listAddresses.HighlightedRow();
  const std::string highlighted = m_listAddresses.HighlightedAddress();
  if (highlighted.empty() || m_pCurAdapter == nullptr) {
    ClearSelection();
    return;
  }
  m_strSelAddress = highlighted;
  m_pCurAdapter->SelectAddress(m_strSelAddress);
  m_strSelKind = m_pCurAdapter->m_strSelKind;
  m_bAddressSelected = 1;
}

void CVantoricDlg::FillChooser(const std::string& selectName) {
  // Inserted at their index, so that a sorting chooser keeps the record
  // order: chooser entry i is record i.
  const CComboBox chooser = Chooser();
  chooser.ResetContent();
  for (size_t i = 0; i < m_adapterNames.size(); ++i) chooser.InsertString(static_cast<int>(i), m_adapterNames[i]);
  chooser.SetCurSel(FindAdapterEntry(m_adapterNames, selectName));
}

void CVantoricDlg::ClearSelection() {
  m_bAddressSelected = 0;
  m_strSelAddress.clear();
  m_strSelKind.clear();
  m_listAddresses.ClearHighlight();
}

void CVantoricDlg::FocusAddressList() {
  SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_listAddresses.GetSafeHwnd()), TRUE);
}

int CVantoricDlg::LookUpSelectedAddress() {
  const int index = m_pCurAdapter != nullptr ? FindAddressIndex(*m_pCurAdapter, m_strSelAddress) : -1;
  if (index < 0) {
    ShowMessage(m_hWnd, NOT_SELECTED_MESSAGE, MB_OK | MB_ICONEXCLAMATION);
    ClearSelection();
    return -1;
  }
  m_strSelKind = m_pCurAdapter->m_addresses[static_cast<size_t>(index)].m_strKind;
  return index;
}

CNetshResult CVantoricDlg::RunAddressChange(const CChange& change) {
  return RunChangeForWindow(change, m_redirect, m_hWnd, &m_history, m_nEditGroup);
}

CChange CVantoricDlg::MakeDeleteChange(const std::string& address, int index) const {
  CChange change;
  change.m_kind = ChangeKind::DeleteAddress;
  change.m_strInterface = m_strInterfaceName;
  change.m_strAddress = address;
  NoteAddressBefore(change, m_pCurAdapter->m_addresses[static_cast<size_t>(index)], &m_history);
  return change;
}

void CVantoricDlg::OnRemove() {
  if (m_bAddressSelected == 0) {
    ShowMessage(m_hWnd, NOT_SELECTED_MESSAGE, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (!PassRemoveGuards()) return;
  if (ShowMessage(m_hWnd, "Are you sure you want to remove ip address?", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    m_bAddressSelected = 0;
    return;
  }
  const int index = LookUpSelectedAddress();
  if (index < 0) return;
  if (!IsRemovableKind(m_strSelKind)) {
    ShowMessage(m_hWnd, CANNOT_DELETE_MESSAGE, MB_OK | MB_ICONEXCLAMATION);
    m_bAddressSelected = 0;
    FocusAddressList();
    return;
  }
  const CNetshResult result = RunAddressChange(MakeDeleteChange(m_strSelAddress, index));
  if (result.Succeeded()) {
    m_pCurAdapter->RemoveAddress(index);
    UpdateAddressList();
    ShowMessage(m_hWnd, "Successfully removed IPv6 Address.", MB_OK | MB_ICONINFORMATION,
                "Remove IPv6 Address");
  } else {
    ReportNetshFailure(m_hWnd, result, "Remove IPv6 Address", "Remove IPv6 Address cancelled.", "Add IP address");
  }
  m_bAddressSelected = 0;
}

bool CVantoricDlg::PassRemoveGuards() {
  // Only an address that can be removed is worth a warning; the others are
  // refused after the confirmation, as always.
  const int index = m_pCurAdapter != nullptr ? FindAddressIndex(*m_pCurAdapter, m_strSelAddress) : -1;
  if (index < 0 || !IsRemovableKind(m_pCurAdapter->m_addresses[static_cast<size_t>(index)].m_strKind)) return true;
  if (!PassGuard(m_hWnd, CheckOpenConnections(m_strSelAddress, ReadEstablishedConnections(), AddressChange::Remove),
                 {}))
    return false;
  const CGuardVerdict last = CheckLastGlobalAddress(m_strSelAddress, m_strInterfaceName, m_pCurAdapter->m_addresses,
                                                    ReadDefaultRoute(m_strInterfaceName));
  return PassGuard(m_hWnd, last, {});
}

void CVantoricDlg::OnEdit() {
  const int index = m_pCurAdapter != nullptr ? FindAddressIndex(*m_pCurAdapter, m_strSelAddress) : -1;
  const std::string kind = index >= 0 ? m_pCurAdapter->m_addresses[static_cast<size_t>(index)].m_strKind : "";
  const CEditGate gate = CheckEditGate(kind, m_strSelAddress, index >= 0, m_bAddressSelected != 0);
  if (!gate.m_bOpen) {
    ShowMessage(m_hWnd, gate.m_strMessage, MB_OK | MB_ICONEXCLAMATION);
    if (gate.m_bClearSelection) {
      ClearSelection();
      FocusAddressList();
    }
    return;
  }
  m_strSelKind = kind;
  const std::string oldAddress = m_strSelAddress;
  CEditIP6Dlg dlg(oldAddress, m_pCurAdapter);
  dlg.m_otherAdapterAddresses = AddressesOfOtherAdapters(m_pAdapters.get(), static_cast<size_t>(m_nAdapterCount),
                                                         static_cast<size_t>(m_nSelAdapter));
  // The dialog's sets and the deletes of the addresses they replace are
  // one change to the history: undone together.
  m_nEditGroup = m_history.NewGroup();
  dlg.m_pHistory = &m_history;
  dlg.m_nHistoryGroup = m_nEditGroup;
  const INT_PTR nResult = dlg.DoModal(m_hWnd);
  // An apply that succeeded has changed the machine, whichever button
  // closed the dialog: the replaced address goes. OK always shows the list
  // anew, also after "No changes made.".
  if (dlg.m_bApplied) {
    for (const std::string& superseded : dlg.m_supersededAddresses) DeleteEditedAddress(superseded);
    if (dlg.m_bAddressChanged) DeleteEditedAddress(oldAddress);
  }
  m_nEditGroup = 0;
  if (dlg.m_bApplied || nResult == IDOK) OnRefresh();
  FillAddressList();
  m_bAddressSelected = 0;
}

int CVantoricDlg::DeleteEditedAddress(const std::string& address) {
  const int index = m_pCurAdapter != nullptr ? FindAddressIndex(*m_pCurAdapter, address) : -1;
  const std::string kind = index >= 0 ? m_pCurAdapter->m_addresses[static_cast<size_t>(index)].m_strKind : "";
  if (!IsRemovableKind(kind)) {
    // The new address is in place; the old one stays beside it, and the
    // user is told so rather than left to find two addresses.
    ShowMessage(m_hWnd, CANNOT_DELETE_MESSAGE, MB_OK | MB_ICONEXCLAMATION);
    m_bAddressSelected = 0;
    FocusAddressList();
    return 0;
  }
  const CNetshResult result = RunAddressChange(MakeDeleteChange(address, index));
  if (!result.Succeeded()) {
    ReportNetshFailure(m_hWnd, result, "Edit IPv6 Address", "Remove IPv6 Address cancelled.", "Edit IP address");
    return 0;
  }
  m_pCurAdapter->RemoveAddress(index);
  UpdateAddressList();
  m_bAddressSelected = 0;
  return 1;
}

void CVantoricDlg::OnAdd() {
  if (!m_pAdapters) return;
  const int entry = Chooser().GetCurSel();
  CAddIP6Dlg dlg(m_pAdapters.get(), m_adapterNames, entry < 0 ? 0 : entry);
  dlg.m_pHistory = &m_history;
  dlg.DoModal(m_hWnd);
  FillAddressList();
  m_bAddressSelected = 0;
}

void CVantoricDlg::OnAdvanced() {
  if (!m_pAdapters) return;
  CAdvancedSettingsDlg dlg(m_pAdapters.get(), m_nAdapterCount, m_adapterNames);
  dlg.m_pHistory = &m_history;
  dlg.DoModal(m_hWnd);
}

void CVantoricDlg::OnHistory() {
  CHistoryDlg dlg(m_history, GetProfile());
  dlg.DoModal(m_hWnd);
  // An undo changed the machine: the list shows what it is now.
  if (dlg.m_bRanCommand) OnRefresh();
}

void CVantoricDlg::OnRefresh() {
  // Adapters come and go (tunnels, VPNs) and change their order: the
  // chooser is rebuilt from the new snapshot and keeps the adapter by name.
  const std::string shown = m_strInterfaceName;
  if (LoadAdapters() == 0) return;  // the last reading stays on show
  FillChooser(shown);
  m_nSelAdapter = Chooser().GetCurSel();
  if (m_nSelAdapter < 0) m_nSelAdapter = 0;
  if (m_nSelAdapter >= m_nAdapterCount || m_adapterNames[static_cast<size_t>(m_nSelAdapter)] != shown)
    ClearSelection();
  FillAddressList();
}

void CVantoricDlg::OnHelpButton() { ShowProgramHelp(m_hWnd); }

void CVantoricDlg::OnAddressesChanged() {
  if (m_bLiveTimer) return;  // a reading is coming already
  // The 32-bit count's difference is right across its wrap.
  const DWORD since = ::GetTickCount() - m_nLastLiveTick;
  const DWORD wait = since >= LIVE_READING_MS ? 0 : LIVE_READING_MS - since;
  m_bLiveTimer = ::SetTimer(m_hWnd, LIVE_TIMER_ID, std::max<DWORD>(wait, 1), nullptr) != 0;
}

void CVantoricDlg::OnTimer(UINT_PTR nId) {
  if (nId != LIVE_TIMER_ID) return CResizeDialog::OnTimer(nId);
  // A modal dialog of this window disables it: nothing changes under the
  // user until it closes.
  if (!::IsWindowEnabled(m_hWnd)) {
    ::SetTimer(m_hWnd, LIVE_TIMER_ID, LIVE_RETRY_MS, nullptr);
    return;
  }
  ::KillTimer(m_hWnd, LIVE_TIMER_ID);
  m_bLiveTimer = false;
  m_nLastLiveTick = ::GetTickCount();
  TakeLiveReading();
}

void CVantoricDlg::TakeLiveReading() {
  // As Refresh, without a word on failure, and keeping the scroll position
  // and the keyboard focus.
  const std::string shown = m_strInterfaceName;
  const std::vector<std::string> namesBefore = m_adapterNames;
  HWND focus = ::GetFocus();
  const int top = m_listAddresses.GetTopRow();
  // Mostly only states and lifetimes change: the records take them in place
  // and the rows that show them are rewritten.
  if (m_pAdapters && m_reading.UpdateRecords(m_pAdapters.get(), static_cast<size_t>(m_nAdapterCount))) {
    NoteReadingTime();
    // The record's copy of the selected address's facts follows them.
    if (m_pCurAdapter != nullptr && m_bAddressSelected != 0) m_pCurAdapter->SelectAddress(m_strSelAddress);
    UpdateAddressList();
    m_listAddresses.RestoreTopRow(top);
    return;
  }
  if (LoadAdapters(true) == 0) return;
  if (m_adapterNames != namesBefore) FillChooser(shown);
  m_nSelAdapter = FindAdapterEntry(m_adapterNames, shown);
  if (m_adapterNames.empty() || m_adapterNames[static_cast<size_t>(m_nSelAdapter)] != shown) {
    ClearSelection();
    Chooser().SetCurSel(m_nSelAdapter);
    FillAddressList();
  } else {
    m_pCurAdapter = &m_pAdapters[static_cast<size_t>(m_nSelAdapter)];
    UpdateAddressList();
  }
  m_listAddresses.RestoreTopRow(top);
  if (focus == nullptr || !::IsWindow(focus) || !::IsWindowVisible(focus) || !::IsWindowEnabled(focus))
    focus = m_listAddresses.GetSafeHwnd();
  if (::GetFocus() != focus) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

void CVantoricDlg::OnExit() {
  if (ShowMessage(m_hWnd, "Are you sure you want to close the application?  ", MB_OKCANCEL | MB_ICONQUESTION) ==
      IDOK)
    ::ExitProcess(0);  // at once: the window's size is deliberately not remembered
}

bool CVantoricDlg::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_COMBO_ADAPTER:
      if (nCode == CBN_SELCHANGE) OnSelchangeAdapter();
      return true;
    case IDC_BUTTON_REMOVE:
      OnRemove();
      return true;
    case IDC_BUTTON_EDIT:
      OnEdit();
      return true;
    case IDC_BUTTON_ADD:
      OnAdd();
      return true;
    case IDC_BUTTON_ADVANCED:
      OnAdvanced();
      return true;
    case IDC_BUTTON_REFRESH:
      OnRefresh();
      return true;
    case IDC_BUTTON_HELP:
      OnHelpButton();
      return true;
    case IDC_BUTTON_HISTORY:
      OnHistory();
      return true;
    default:
      return CResizeDialog::OnCommand(nId, nCode, hCtl);
  }
}

bool CVantoricDlg::OnPaint() {
  if (!::IsIconic(m_hWnd)) return false;  // a plain dialog's painting
  CPaintDC dc(m_hWnd);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  const RECT rc = GetClientRect();
  const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc.get(), x, y, m_hIcon);
  return true;
}

bool CVantoricDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == IDM_HISTORY) {
        OnHistory();
      } else if ((wp & 0xFFF0) == IDM_RESTART_ELEVATED) {
        if (RestartAsAdministrator(m_hWnd)) PostMessage(WM_CLOSE);  // the new instance is up
      } else if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal(m_hWnd);
      } else {
        return false;
      }
      result = 0;
      return true;
    case WM_APP_ADDRESSES_CHANGED:
      OnAddressesChanged();
      result = 0;
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    default:
      return CResizeDialog::OnMessage(msg, wp, lp, result);
  }
}

}  // namespace vantoric
