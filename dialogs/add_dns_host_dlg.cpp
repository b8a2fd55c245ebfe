#include "dialogs/add_dns_host_dlg.h"

#include <utility>

#include "core/netsh_commands.h"
#include "dialogs/address_dialog_parts_win32.h"
#include "dialogs/dns_dialog_rules.h"
#include "dialogs/guard_prompt_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/message_box.h"
#include "resources/resource.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "Add DNS Server";

}  // namespace

CAddDnsHostDlg::CAddDnsHostDlg(CAdapterRecord* pAdapter, std::string interfaceName, int nIndex, HWND hParent)
    : CDialog(IDD_ADD_DNS_HOST),
      m_strInterfaceName(std::move(interfaceName)),
      m_strIndex(std::to_string(nIndex)),
      m_pAdapter(pAdapter),
      m_hParent(hParent) {}

BOOL CAddDnsHostDlg::OnInitDialog() {
  m_addressEdit.CreateFromPlaceholder(m_hWnd, IDC_EDIT_DNS_ADDRESS, IDC_STATIC_DNS_STATUS);

  m_statusFont = CreateVerdanaFont(m_hWnd, 85);
  SendDlgItemMessage(IDC_STATIC_DNS_STATUS, WM_SETFONT, reinterpret_cast<WPARAM>(m_statusFont.get()), FALSE);

  // The position is the page's choice: shown, not editable.
  ::EnableWindow(GetDlgItem(IDC_EDIT_DNS_INDEX), FALSE);
  SetDlgItemText(IDC_EDIT_DNS_INDEX, m_strIndex);
  return TRUE;
}

void CAddDnsHostDlg::OnOK() {
  const std::string address = ReadStrippedAddress(m_addressEdit);
  if (!m_addressEdit.SetAddressText(address)) {
    ShowMessage(m_hWnd, "Invalid address parameter.", MB_OK | MB_ICONERROR, kCaption);
    return;
  }
  // The server is an address and nothing more, however it came in.
  const CDnsServerCheck typed = CheckDnsServerText(address);
  if (!typed.m_bPassed) {
    ShowMessage(m_hWnd, typed.m_strRefusal, MB_OK | MB_ICONERROR, kCaption);
    return;
  }
  // The compressed form of the groups just parsed, which are the ones sent:
  // the preview line may lag behind the text (the edit's own Undo).
  const std::string server = m_addressEdit.FormatCompressed();
  if (m_pAdapter != nullptr && !PassGuard(m_hWnd, CheckNewDnsServer(server, m_pAdapter->m_dnsServers), kCaption))
    return;
  m_strIndex = GetDlgItemText(IDC_EDIT_DNS_INDEX);

  CChange change;
  change.m_kind = ChangeKind::AddDns;
  change.m_strInterface = m_strInterfaceName;
  change.m_strAddress = typed.m_strServer;
  change.m_strPosition = m_strIndex;
  if (m_pAdapter != nullptr) {
    change.m_dnsServersAfter = m_pAdapter->m_dnsServers;
    InsertDnsServerAt(change.m_dnsServersAfter, ParseDnsPosition(m_strIndex), server);
  }
  const CNetshResult result = RunChangeForWindow(change, m_runner, m_hWnd, m_pHistory);
  if (!result.Succeeded()) {
    // netsh's own words say why; the record and the dialog stay as they are.
    ReportNetshFailure(m_hWnd, result, kCaption, {}, {});
    return;
  }
  if (m_pAdapter != nullptr) m_pAdapter->InsertDnsServer(ParseDnsPosition(m_strIndex), server);
  ShowMessage(m_hWnd, "Successfully added new DNS host.", MB_OK | MB_ICONINFORMATION,
              kCaption);
  EndDialog(IDOK);
}

}  // namespace vantoric
