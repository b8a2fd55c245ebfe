#include "dialogs/edit_ip6_dlg.h"

#include <algorithm>

#include "core/lifetime_text.h"
#include "core/netsh_commands.h"
#include "dialogs/address_dialog_parts_win32.h"
#include "core/connection_guard_win32.h"
#include "dialogs/guard_prompt_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/message_box.h"
#include "resources/resource_address_dialogs.h"

namespace vantoric {

namespace {

constexpr char EDIT_CAPTION[] = "Edit IPv6 Address";
constexpr RECT PROPERTY_LIST_RECT{41, 90, 443, 170};

// This dialog's own wording.
constexpr char HELP_TEXT_PREFERRED_LIFETIME[] =
    "Preferred lifetime - Lifetime of which the address is preferred.\r\n"
    "                               The defaule valut is infinite.\r\n"
    "Time values can be expressed in days, hours, minutes, seconds;\r\n"
    "e.g. 1d2h3m4s";

}  // namespace

CEditIP6Dlg::CEditIP6Dlg(const std::string& address, CAdapterRecord* pAdapter)
    : CDialog(IDD_ADDRESS_PROPERTIES), m_pAdapter(pAdapter) {
  m_pAdapter->SelectAddress(address);
  for (const CAddressRecord& record : m_pAdapter->m_addresses)
    m_addressKeysAtStart.push_back(AddressComparisonKey(record.m_strAddress));
}

CEditIP6Dlg::~CEditIP6Dlg() = default;

BOOL CEditIP6Dlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_addressEdit.CreateFromPlaceholder(m_hWnd, IDC_PROP_ADDRESS, IDC_PROP_PREVIEW);
  std::string strAddress = m_pAdapter->m_strSelAddress;
  if (strAddress.size() > static_cast<size_t>(IPV6_TEXT_LENGTH)) strAddress.resize(IPV6_TEXT_LENGTH);
  // A text the parser refuses leaves the field empty.
  if (!m_addressEdit.SetAddressText(strAddress)) m_addressEdit.ResetGroups();
  m_addressEdit.ApplyGroupsToText();

  m_pStatusFont = CreateVerdanaFont(m_hWnd, 90);
  SendDlgItemMessage(IDC_PROP_PREVIEW, WM_SETFONT, reinterpret_cast<WPARAM>(m_pStatusFont.get()), TRUE);
  for (int id : {IDC_PROP_ADDRESS, IDC_PROP_BUTTON_APPLY, IDOK}) ::EnableWindow(GetDlgItem(id), FALSE);

  m_pListFont = CreatePropertyListFont(m_hWnd);
  m_pPropertyList = std::make_unique<CPropertyListCtrl>();
  if (CreateAddressPropertyList(*m_pPropertyList, m_hWnd, PROPERTY_LIST_RECT, m_pListFont.get())) {
    // The type always starts at "unicast" (index 1 once sorted).
    m_pPropertyList->AddProperty(PROPERTY_KIND_CHOICE, "Type", "unicast!anycast", 1, 2, true);
    // The exact lifetimes: the list's text shows a long finite one as
    // "infinite", which, sent back unchanged, would make it never expire.
    m_pPropertyList->AddProperty(PROPERTY_KIND_TEXT, "Valid lifetime", FormatExactLifetime(m_pAdapter->m_nSelValidSeconds),
                                 0, 2, false);
    m_pPropertyList->AddProperty(PROPERTY_KIND_TEXT, "Pref lifetime",
                                 FormatExactLifetime(m_pAdapter->m_nSelPreferredSeconds), 0, 2, false);
    ::EnableWindow(m_pPropertyList->GetSafeHwnd(), FALSE);
  }
  SetDlgItemText(IDC_PROP_HELP, HELP_TEXT_NONE);
  return TRUE;
}

bool CEditIP6Dlg::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_PROP_BUTTON_EDIT:
      if (nCode == BN_CLICKED) OnUnlock();
      return true;
    case IDC_PROP_BUTTON_APPLY:
      if (nCode == BN_CLICKED) OnApplyButton();
      return true;
  }
  return CDialog::OnCommand(nId, nCode, hCtl);
}

bool CEditIP6Dlg::OnMessage(UINT msg, WPARAM wp, LPARAM /*lp*/, LRESULT& result) {
  if (msg != WM_PROPLIST_NOTIFY) return false;
  OnPropertyListNotify(static_cast<int>(wp));
  result = 0;
  return true;
}

void CEditIP6Dlg::DisableKeepingFocus(int nId, int nNextId) {
  HWND hCtl = GetDlgItem(nId);
  if (::GetFocus() == hCtl) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(nNextId)), TRUE);
  ::EnableWindow(hCtl, FALSE);
}

void CEditIP6Dlg::OnUnlock() {
  for (int id : {IDC_PROP_ADDRESS, IDC_PROP_BUTTON_APPLY, IDOK}) ::EnableWindow(GetDlgItem(id), TRUE);
  ::EnableWindow(m_pPropertyList->GetSafeHwnd(), TRUE);
  DisableKeepingFocus(IDC_PROP_BUTTON_EDIT, IDC_PROP_ADDRESS);
  m_strAddressBeforeEdit = m_addressEdit.GetWindowText();
  m_applied.Load(CAddressSettings{AddressComparisonKey(m_strAddressBeforeEdit),
                                  GetSelectedChoice(*m_pPropertyList, EDIT_ROW_TYPE),
                                  FormatExactLifetime(m_pAdapter->m_nSelValidSeconds),
                                  FormatExactLifetime(m_pAdapter->m_nSelPreferredSeconds)});
}

void CEditIP6Dlg::OnPropertyListNotify(int nRow) {
  switch (nRow) {
    case EDIT_ROW_TYPE: SetDlgItemText(IDC_PROP_HELP, HELP_TEXT_TYPE); break;
    case EDIT_ROW_VALID_LIFETIME: SetDlgItemText(IDC_PROP_HELP, HELP_TEXT_VALID_LIFETIME); break;
    case EDIT_ROW_PREFERRED_LIFETIME: SetDlgItemText(IDC_PROP_HELP, HELP_TEXT_PREFERRED_LIFETIME); break;
    default: break;
  }
}

void CEditIP6Dlg::OnOK() {
  // Enter reaches here in the locked state too, where OK is disabled.
  if (!::IsWindowEnabled(GetDlgItem(IDOK))) return;
  CAddressSettings now;
  if (m_applied.HasApplied()) {
    if (!ReadSettings(now)) return;
    if (m_applied.IsUnchanged(now)) {
      EndDialog(IDOK);
      return;
    }
  }
  if (Apply()) EndDialog(IDOK);
}

bool CEditIP6Dlg::ReadSettings(CAddressSettings& settings) {
  settings.m_strAddressKey = AddressComparisonKey(m_addressEdit.GetWindowText());
  settings.m_strType = GetSelectedChoice(*m_pPropertyList, EDIT_ROW_TYPE);
  return m_pPropertyList->GetPropertyText(EDIT_ROW_VALID_LIFETIME, settings.m_strValidLifetime) &&
         m_pPropertyList->GetPropertyText(EDIT_ROW_PREFERRED_LIFETIME, settings.m_strPreferredLifetime);
}

bool CEditIP6Dlg::Apply() {
  CAddressSettings now;
  if (!ReadSettings(now)) return false;
  if (m_applied.IsUnchanged(now)) {
    ShowMessage(m_hWnd, "No changes made.", MB_OK | MB_ICONINFORMATION, EDIT_CAPTION);
    return true;
  }
  m_strInterfaceName = m_pAdapter->m_strFriendlyName;
  m_strType = now.m_strType;
  m_strValidLifetime = now.m_strValidLifetime;
  m_strPreferredLifetime = now.m_strPreferredLifetime;
  if (!IsLifetimeOrderValid(m_strValidLifetime, m_strPreferredLifetime)) {
    ShowMessage(m_hWnd, LIFETIME_ORDER_MESSAGE, MB_OK | MB_ICONERROR);
    return false;
  }
  const std::string strAddress = ReadStrippedAddress(m_addressEdit);
  if (strAddress.empty() || !m_addressEdit.SetAddressText(strAddress)) {
    ShowMessage(m_hWnd, INVALID_ADDRESS_MESSAGE, MB_OK | MB_ICONERROR, EDIT_CAPTION);
    return false;
  }
  const std::string strSent = m_addressEdit.FormatCompressed();
  if (now.m_strAddressKey != m_applied.GetLastAddressKey()) {
    // The address itself changes: what it may not be, and what runs on
    // the one it replaces.
    if (!PassGuard(m_hWnd, CheckNewAddress(strSent, m_otherAdapterAddresses, AddressChange::Replace), EDIT_CAPTION))
      return false;
    const CGuardVerdict connections = CheckOpenConnections(m_applied.GetLastAddressKey(), ReadEstablishedConnections(),
                                                           AddressChange::Replace);
    if (!PassGuard(m_hWnd, connections, EDIT_CAPTION)) return false;
  }

  CChange change = MakeAddressChange(ChangeKind::SetAddress, m_strInterfaceName, strAddress, m_strType,
                                     m_strValidLifetime, m_strPreferredLifetime);
  // What the address was, for taking the set back: a set on an address
  // that is not there creates it.
  const auto before = std::find_if(m_pAdapter->m_addresses.begin(), m_pAdapter->m_addresses.end(),
                                   [&](const CAddressRecord& a) { return a.m_strAddress == strSent; });
  if (before != m_pAdapter->m_addresses.end()) NoteAddressBefore(change, *before, m_pHistory);
  const CNetshResult result = RunChange(change);
  if (!result.Succeeded()) {
    ReportNetshFailure(m_hWnd, result, EDIT_CAPTION, "Error adding ip", "Add IP address");
    return false;
  }
  m_pAdapter->AddAddress(strSent, m_strValidLifetime, m_strPreferredLifetime);
  m_runner.Stop();
  DisableKeepingFocus(IDC_PROP_BUTTON_APPLY, IDOK);
  const bool bWasThere = std::find(m_addressKeysAtStart.begin(), m_addressKeysAtStart.end(),
                                   now.m_strAddressKey) != m_addressKeysAtStart.end();
  m_applied.OnApplied(now, strSent, bWasThere);
  m_bApplied = 1;
  m_bAddressChanged = m_applied.HasAddressChanged() ? 1 : 0;
  m_supersededAddresses = m_applied.GetSuperseded();
  ShowMessage(m_hWnd, "IPv6 properties changes successfully saved.",
              MB_OK | MB_ICONINFORMATION, EDIT_CAPTION);
  return true;
}

void CEditIP6Dlg::OnCancel() {
  if (m_pPropertyList) m_pPropertyList->DiscardEdit();
  CDialog::OnCancel();
}

CNetshResult CEditIP6Dlg::RunCommand(std::string_view line) {
  return RunCommandForWindow(line, m_runner, m_hWnd, IsElevationNeeded());
}

CNetshResult CEditIP6Dlg::RunChange(const CChange& change) {
  const std::string line = FormatChangeCommand(change);
  const CNetshResult result = RunCommand(line);
  RecordChange(m_pHistory, change, line, result, m_nHistoryGroup);
  return result;
}

}  // namespace vantoric
