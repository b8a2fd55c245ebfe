#include "dialogs/add_ip6_dlg.h"

#include "core/lifetime_text.h"
#include "core/netsh_commands.h"
#include "dialogs/address_dialog_parts_win32.h"
#include "dialogs/guard_prompt_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "resources/resource_address_dialogs.h"

namespace vantoric {

namespace {

constexpr char ADD_CAPTION[] = "Add New IPv6 Address";
constexpr RECT PROPERTY_LIST_RECT{41, 242, 437, 332};

constexpr char HELP_TEXT_PREFERRED_LIFETIME[] =
    "Preferred lifetime - Lifetime of which the address is preferred.\r\n"
    "                               The default value is infinite.\r\n"
    "Time values can be expressed in days, hours, minutes, seconds;\r\n"
    "e.g. 1d2h3m4s";

}  // namespace

CAddIP6Dlg::CAddIP6Dlg(CAdapterRecord* pAdapters, const std::vector<std::string>& names, int nAdapter)
    : CDialog(IDD_ADD_ADDRESS), m_adapterNames(names), m_pAdapters(pAdapters), m_nAdapter(nAdapter) {}

CAddIP6Dlg::~CAddIP6Dlg() = default;

BOOL CAddIP6Dlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_addressEdit.CreateFromPlaceholder(m_hWnd, IDC_ADD_ADDRESS_PLACEHOLDER, IDC_ADD_STATUS);

  m_pStatusFont = CreateVerdanaFont(m_hWnd, 85);
  SendDlgItemMessage(IDC_ADD_STATUS, WM_SETFONT, reinterpret_cast<WPARAM>(m_pStatusFont.get()), TRUE);

  // Inserted by position, so that index i stays record i whatever the
  // combo's sort style.
  const CComboBox adapters(GetDlgItem(IDC_ADD_COMBO_ADAPTER));
  for (size_t i = 0; i < m_adapterNames.size(); ++i) adapters.InsertString(static_cast<int>(i), m_adapterNames[i]);
  adapters.SetCurSel(m_nAdapter);
  ::EnableWindow(adapters.GetSafeHwnd(), FALSE);

  const CComboBox prefix(GetDlgItem(IDC_ADD_COMBO_PREFIX));
  prefix.InsertString(PREFIX_MODE_MANUAL, "Manual");
  prefix.InsertString(PREFIX_MODE_ROUTER, "64 bit from Router Advertisement (RA)");
  prefix.SetCurSel(PREFIX_MODE_MANUAL);
  const CComboBox identifier(GetDlgItem(IDC_ADD_COMBO_IDENTIFIER));
  identifier.InsertString(IDENTIFIER_MODE_MANUAL, "Manual");
  identifier.InsertString(IDENTIFIER_MODE_EUI64, "EUI-64 bit derived from MAC address");
  identifier.InsertString(IDENTIFIER_MODE_RANDOM, "Randomly generated address");
  identifier.SetCurSel(IDENTIFIER_MODE_MANUAL);

  m_pListFont = CreatePropertyListFont(m_hWnd);
  m_pPropertyList = std::make_unique<CPropertyListCtrl>();
  if (CreateAddressPropertyList(*m_pPropertyList, m_hWnd, PROPERTY_LIST_RECT, m_pListFont.get())) {
    // Sorted choices: index 1 is "unicast" and "persistent", the defaults.
    m_pPropertyList->AddProperty(PROPERTY_KIND_CHOICE, "Type", "unicast!anycast", 1, 2, true);
    m_pPropertyList->AddProperty(PROPERTY_KIND_CHOICE, "Store", "persistent!active", 1, 2, true);
    m_pPropertyList->AddProperty(PROPERTY_KIND_TEXT, "Valid lifetime", "infinite", 0, 2, false);
    m_pPropertyList->AddProperty(PROPERTY_KIND_TEXT, "Pref lifetime", "infinite", 0, 2, false);
  }

  SetDlgItemText(IDC_ADD_HELP, HELP_TEXT_NONE);
  ::EnableWindow(GetDlgItem(IDC_ADD_BUTTON_DEFAULTS), FALSE);
  m_checkRaEui64.Attach(GetDlgItem(IDC_ADD_CHECK_RA_EUI64));
  return TRUE;
}

bool CAddIP6Dlg::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_ADD_BUTTON_DEFAULTS:
      return true;  // has no action
    case IDC_ADD_COMBO_PREFIX:
      if (nCode == CBN_SELCHANGE) OnPrefixModeChanged();
      return true;
    case IDC_ADD_COMBO_IDENTIFIER:
      if (nCode == CBN_SELCHANGE) OnIdentifierModeChanged();
      return true;
    case IDC_ADD_CHECK_RA_EUI64:
      if (nCode == BN_CLICKED) OnRaEui64Clicked();
      return true;
  }
  return CDialog::OnCommand(nId, nCode, hCtl);
}

bool CAddIP6Dlg::OnMessage(UINT msg, WPARAM wp, LPARAM /*lp*/, LRESULT& result) {
  if (msg != WM_PROPLIST_NOTIFY) return false;
  OnPropertyListNotify(static_cast<int>(wp));
  result = 0;
  return true;
}

CAdapterRecord& CAddIP6Dlg::WorkingAdapter() {
  const int sel = CComboBox(GetDlgItem(IDC_ADD_COMBO_ADAPTER)).GetCurSel();
  return m_pAdapters[sel >= 0 ? sel : m_nAdapter];
}

CAddIP6Dlg::ComposeResult CAddIP6Dlg::Compose(const CCompositionPlan& plan) {
  CAdapterRecord& adapter = WorkingAdapter();
  // Everything that can fail is fetched before the field is touched.
  std::string strPrefix;
  if (plan.m_bRouterPrefix && !adapter.FindRouterAdvertisedAddress(strPrefix)) {
    ShowMessage(m_hWnd, "Cannot retrieve RA address prefix!\nPlease contact your system administrator.",
                MB_OK | MB_ICONEXCLAMATION);
    return ComposeResult::NoRouterPrefix;
  }
  std::string strIdentifier;
  switch (plan.m_identifier) {
    case IdentifierSource::Eui64:
      if (!CanMakeEui64Identifier(adapter.m_macLength)) {
        ShowMessage(m_hWnd, "No EUI-64 identifier can be made for this adapter!\nIt has no 6-byte MAC address.",
                    MB_OK | MB_ICONEXCLAMATION);
        return ComposeResult::NoEui64Identifier;
      }
      strIdentifier = adapter.MakeEui64Identifier();
      break;
    case IdentifierSource::NewRandom:
      m_strRandomIdentifier = adapter.MakeRandomIdentifier(LoadResourceString(IDS_IDENTIFIER_FORMAT));
      strIdentifier = m_strRandomIdentifier;
      break;
    case IdentifierSource::StoredRandom:
      strIdentifier = m_strRandomIdentifier;
      break;
    case IdentifierSource::None:
      break;
  }
  if (plan.m_bClear) m_addressEdit.ResetGroups();
  if (plan.m_bRouterPrefix) m_addressEdit.SetPrefixText(strPrefix);
  if (!strIdentifier.empty()) m_addressEdit.SetInterfaceIdText(strIdentifier);
  m_addressEdit.ApplyGroupsToText();
  return ComposeResult::Done;
}

void CAddIP6Dlg::OnPrefixModeChanged() {
  const CComboBox prefix(GetDlgItem(IDC_ADD_COMBO_PREFIX));
  const CComboBox identifier(GetDlgItem(IDC_ADD_COMBO_IDENTIFIER));
  ::EnableWindow(identifier.GetSafeHwnd(), TRUE);
  switch (Compose(PlanPrefixModeChange(prefix.GetCurSel(), identifier.GetCurSel()))) {
    case ComposeResult::NoRouterPrefix: prefix.SetCurSel(PREFIX_MODE_MANUAL); break;
    case ComposeResult::NoEui64Identifier: identifier.SetCurSel(IDENTIFIER_MODE_MANUAL); break;
    case ComposeResult::Done: break;
  }
}

void CAddIP6Dlg::OnIdentifierModeChanged() {
  const CComboBox prefix(GetDlgItem(IDC_ADD_COMBO_PREFIX));
  const CComboBox identifier(GetDlgItem(IDC_ADD_COMBO_IDENTIFIER));
  switch (Compose(PlanIdentifierModeChange(identifier.GetCurSel(), prefix.GetCurSel()))) {
    case ComposeResult::NoRouterPrefix: prefix.SetCurSel(PREFIX_MODE_MANUAL); break;
    case ComposeResult::NoEui64Identifier: identifier.SetCurSel(IDENTIFIER_MODE_MANUAL); break;
    case ComposeResult::Done: break;
  }
}

void CAddIP6Dlg::ResetModes() {
  for (int id : {IDC_ADD_COMBO_PREFIX, IDC_ADD_COMBO_IDENTIFIER}) {
    ::EnableWindow(GetDlgItem(id), TRUE);
    CComboBox(GetDlgItem(id)).SetCurSel(0);
  }
}

void CAddIP6Dlg::OnRaEui64Clicked() {
  const bool bChecked = m_checkRaEui64.SendMessage(BM_GETCHECK) == BST_CHECKED;
  if (!bChecked) {
    ResetModes();
    Compose(PlanRouterEui64Check(false));
    return;
  }
  ::EnableWindow(GetDlgItem(IDC_ADD_COMBO_PREFIX), FALSE);
  ::EnableWindow(GetDlgItem(IDC_ADD_COMBO_IDENTIFIER), FALSE);
  if (Compose(PlanRouterEui64Check(true)) == ComposeResult::Done) return;
  ResetModes();
  m_checkRaEui64.SendMessage(BM_SETCHECK, BST_UNCHECKED);
}

void CAddIP6Dlg::OnPropertyListNotify(int nRow) {
  switch (nRow) {
    case ADD_ROW_TYPE: SetDlgItemText(IDC_ADD_HELP, HELP_TEXT_TYPE); break;
    case ADD_ROW_STORE: SetDlgItemText(IDC_ADD_HELP, HELP_TEXT_STORE); break;
    case ADD_ROW_VALID_LIFETIME: SetDlgItemText(IDC_ADD_HELP, HELP_TEXT_VALID_LIFETIME); break;
    case ADD_ROW_PREFERRED_LIFETIME: SetDlgItemText(IDC_ADD_HELP, HELP_TEXT_PREFERRED_LIFETIME); break;
    default: break;
  }
}

void CAddIP6Dlg::OnOK() {
  const CComboBox adapters(GetDlgItem(IDC_ADD_COMBO_ADAPTER));
  if (adapters.GetCurSel() >= 0) m_strAdapterName = adapters.GetLBText(adapters.GetCurSel());
  m_strType = GetSelectedChoice(*m_pPropertyList, ADD_ROW_TYPE);
  m_strStore = GetSelectedChoice(*m_pPropertyList, ADD_ROW_STORE);
  // A refused lifetime has been reported by the list.
  if (!m_pPropertyList->GetPropertyText(ADD_ROW_VALID_LIFETIME, m_strValidLifetime)) return;
  if (!m_pPropertyList->GetPropertyText(ADD_ROW_PREFERRED_LIFETIME, m_strPreferredLifetime)) return;
  if (!IsLifetimeOrderValid(m_strValidLifetime, m_strPreferredLifetime)) {
    ShowMessage(m_hWnd, LIFETIME_ORDER_MESSAGE, MB_OK | MB_ICONERROR);
    return;
  }
  const std::string strAddress = ReadStrippedAddress(m_addressEdit);
  if (strAddress.empty() || !m_addressEdit.SetAddressText(strAddress)) {
    ShowMessage(m_hWnd, INVALID_ADDRESS_MESSAGE, MB_OK | MB_ICONERROR, ADD_CAPTION);
    return;
  }
  // What netsh gets, in the form the snapshot would list it.
  const std::string strSent = m_addressEdit.FormatCompressed();
  const size_t self = static_cast<size_t>(&WorkingAdapter() - m_pAdapters);
  const CGuardVerdict guard = CheckNewAddress(
      strSent, AddressesOfOtherAdapters(m_pAdapters, m_adapterNames.size(), self), AddressChange::Add);
  if (!PassGuard(m_hWnd, guard, ADD_CAPTION)) return;

  CChange change = MakeAddressChange(ChangeKind::AddAddress, m_strAdapterName, strAddress, m_strType,
                                     m_strValidLifetime, m_strPreferredLifetime);
  change.m_strStore = m_strStore;
  const CNetshResult result = RunChange(change);
  if (!result.Succeeded()) {
    ReportNetshFailure(m_hWnd, result, ADD_CAPTION, "Adding Ipv6 value is cancelled.", "Add IP address");
    // A declined elevation ends the dialog; any other failure keeps the
    // input for another try.
    if (result.m_outcome == NetshOutcome::ElevationRefused) EndDialog(IDOK);
    return;
  }
  WorkingAdapter().AddAddress(strSent, m_strValidLifetime, m_strPreferredLifetime);
  m_runner.Stop();
  ShowMessage(m_hWnd, "Successfully added New IPv6 Address.", MB_OK | MB_ICONINFORMATION,
              ADD_CAPTION);
  EndDialog(IDOK);
}

void CAddIP6Dlg::OnCancel() {
  if (m_pPropertyList) m_pPropertyList->DiscardEdit();
  CDialog::OnCancel();
}

CNetshResult CAddIP6Dlg::RunCommand(std::string_view line) {
  return RunCommandForWindow(line, m_runner, m_hWnd, IsElevationNeeded());
}

CNetshResult CAddIP6Dlg::RunChange(const CChange& change) {
  const std::string line = FormatChangeCommand(change);
  const CNetshResult result = RunCommand(line);
  RecordChange(m_pHistory, change, line, result);
  return result;
}

}  // namespace vantoric
