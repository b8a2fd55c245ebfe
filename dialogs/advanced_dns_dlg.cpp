#include "dialogs/advanced_dns_dlg.h"

#include <algorithm>

#include "core/netsh_commands.h"
#include "dialogs/add_dns_host_dlg.h"
#include "dialogs/dns_dialog_rules.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource.h"

namespace vantoric {

namespace {

constexpr char kNoEntries[] = "No DNS entries found in this adapter.";
constexpr char kRemoveCaption[] = "Remove DNS Address";

int AcceptEveryRow(LPARAM /*lArg*/, DWORD /*dwData*/) { return 1; }

}  // namespace

CAdvancedDNSDlg::CAdvancedDNSDlg(CAdapterRecord* pAdapters, int nAdapterCount,
                                 const std::vector<std::string>& adapterNames)
    : CAdapterSettingsPage(IDD_ADVANCED_DNS, IDC_COMBO_DNS_INTERFACE, adapterNames),
      m_pAdapters(pAdapters),
      m_nAdapterCount(pAdapters != nullptr ? std::max(nAdapterCount, 0) : 0) {}

void CAdvancedDNSDlg::OnInitPage() {
  m_listDns.SubclassDlgItem(IDC_LIST_DNS, m_hWnd);
  m_listDns.SetColumns("DNS Server Addresses, 298");
  // Editing a server is not offered.
  EnableItem(IDC_BUTTON_EDIT_DNS, false);
}

void CAdvancedDNSDlg::ReadAgain() {
  // Without records the placeholder is shown; a typed text that names no
  // adapter leaves the list as it is.
  const int nIndex = ChooserRecord();
  if (nIndex >= 0 || !HasRecords()) FillDnsList(nIndex >= 0 ? nIndex : 0);
}

void CAdvancedDNSDlg::OnAdapterChosen() {
  const int nIndex = ChooserRecord();
  if (nIndex >= 0) FillDnsList(nIndex);
}

bool CAdvancedDNSDlg::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_BUTTON_ADD_HOST:
      if (nCode == BN_CLICKED) OnAddHost();
      return true;
    case IDC_BUTTON_REMOVE_DNS:
      if (nCode == BN_CLICKED) OnRemove();
      return true;
  }
  return CAdapterSettingsPage::OnCommand(nId, nCode, hCtl);
}

int CAdvancedDNSDlg::FillDnsList(int nIndex) {
  m_listDns.DeleteAllItems();
  if (!HasRecords()) {
    EnableItem(IDC_BUTTON_ADD_HOST, false);
    ShowPlaceholder();
    return 0;
  }
  if (RecordOfChoice(nIndex, static_cast<size_t>(m_nAdapterCount)) < 0) return 0;

  const CAdapterRecord& record = m_pAdapters[nIndex];
  m_nListedRecord = nIndex;
  m_strInterfaceName = record.m_strFriendlyName;
  const std::vector<std::string> servers = record.m_dnsServers;
  if (servers.empty()) {
    ShowPlaceholder();
    return 0;
  }
  EnableItem(IDC_BUTTON_ADD_HOST, true);
  EnableItem(IDC_BUTTON_REMOVE_DNS, true);
  EnableItem(IDC_LIST_DNS, true);
  // Each row goes in at the top, so the last server is inserted first.
  for (auto it = servers.rbegin(); it != servers.rend(); ++it) {
    if (m_listDns.InsertItem(0, "") < 0) continue;
    m_listDns.WrapItemData(0);
    m_listDns.SetFirstItemText(*it);
  }
  return 1;
}

void CAdvancedDNSDlg::ShowPlaceholder() {
  // Disabling the control that has the focus would leave the keyboard with
  // nowhere to go (Remove has it after removing the last server).
  HWND focus = ::GetFocus();
  if (focus == GetDlgItem(IDC_BUTTON_REMOVE_DNS) || focus == GetDlgItem(IDC_LIST_DNS)) {
    HWND next = GetDlgItem(IDC_BUTTON_ADD_HOST);
    if (!::IsWindowEnabled(next)) next = GetDlgItem(IDC_COMBO_DNS_INTERFACE);
    ::SendMessageW(Host(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
  }
  EnableItem(IDC_BUTTON_REMOVE_DNS, false);
  EnableItem(IDC_LIST_DNS, false);
  m_listDns.AddItem(0, kNoEntries);
}

int CAdvancedDNSDlg::ChooserRecord() const {
  const int nIndex = ChosenIndex();
  return nIndex < m_nAdapterCount ? nIndex : -1;
}

int CAdvancedDNSDlg::ChosenRecord() {
  const int nIndex = ChooserRecord();
  // A selection made without a change notification (the drop-down list
  // follows what is typed) must not act on the servers of another adapter.
  if (nIndex >= 0 && nIndex != m_nListedRecord) FillDnsList(nIndex);
  return nIndex;
}

void CAdvancedDNSDlg::OnAddHost() {
  const int nIndex = ChosenRecord();
  if (nIndex < 0) return;
  // With the placeholder row an adapter without servers hands 1.
  m_nRowCount = m_listDns.GetItemCount();
  CAddDnsHostDlg dlg(&m_pAdapters[nIndex], m_strInterfaceName, m_nRowCount, Host());
  dlg.m_pHistory = m_pHistory;
  dlg.DoModal();
  FillDnsList(nIndex);
}

void CAdvancedDNSDlg::OnRemove() {
  const int nIndex = ChosenRecord();
  if (nIndex < 0) return;
  const int nRow = m_listDns.GetFirstSelectedItem();
  if (nRow < 0) {
    ShowMessage(Host(), "You have not selected and item. Select one first.", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (ShowMessage(Host(), "Are you sure you want to remove selected DNS Address?", MB_YESNO | MB_ICONQUESTION,
                  kRemoveCaption) != IDYES)
    return;
  const CListItemData* pData = m_listDns.GetItemData(nRow);
  if (pData == nullptr || pData->m_arrTexts.empty()) return;
  const std::string server = pData->m_arrTexts[0];

  // A sorted list's row r is not entry r of the record: the entry is found
  // by the removed server's text.
  CAdapterRecord& record = m_pAdapters[nIndex];
  const int nEntry = FindDnsServer(record.m_dnsServers, server);
  CChange change;
  change.m_kind = ChangeKind::DeleteDns;
  change.m_strInterface = m_strInterfaceName;
  change.m_strAddress = server;
  change.m_strPosition = std::to_string(nEntry + 1);
  change.m_dnsServersAfter = record.m_dnsServers;
  if (nEntry >= 0) change.m_dnsServersAfter.erase(change.m_dnsServersAfter.begin() + nEntry);
  const CNetshResult result = RunChange(change);
  if (!result.Succeeded()) {
    ReportNetshFailure(Host(), result, kRemoveCaption, {}, {});
    return;
  }
  record.RemoveDnsServer(nEntry);
  m_listDns.DeleteItem(nRow, true, &AcceptEveryRow, 0);
  ShowMessage(Host(), "Successfully removed selected DNS address.",
              MB_OK | MB_ICONINFORMATION, kRemoveCaption);
  if (m_listDns.GetItemCount() == 0) ShowPlaceholder();
}

}  // namespace vantoric
