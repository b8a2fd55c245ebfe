#include "dialogs/add_route_dlg.h"

#include <utility>

#include "dialogs/netsh_outcome_win32.h"
#include "framework/controls.h"
#include "framework/message_box.h"
#include "resources/resource_route_dialogs.h"

namespace vantoric {

namespace {

constexpr char kAddCaption[] = "Add Route";
constexpr char kGatewayCaption[] = "Set Gateway";
constexpr char kDefaultPrefix[] = "::/0";

std::string Trimmed(std::string text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int FieldId(RouteField field) {
  switch (field) {
    case RouteField::Prefix:
      return IDC_EDIT_ROUTE_PREFIX;
    case RouteField::NextHop:
      return IDC_EDIT_ROUTE_NEXTHOP;
    case RouteField::Metric:
      return IDC_EDIT_ROUTE_METRIC;
    case RouteField::ValidLifetime:
      return IDC_EDIT_ROUTE_VALID;
    case RouteField::PreferredLifetime:
      return IDC_EDIT_ROUTE_PREFERRED;
    case RouteField::Store:
      return IDC_COMBO_ROUTE_STORE;
    case RouteField::None:
      break;
  }
  return IDOK;
}

}  // namespace

CAddRouteDlg::CAddRouteDlg(std::string interfaceName, bool bGateway)
    : CDialog(IDD_ADD_ROUTE), m_strInterfaceName(std::move(interfaceName)), m_bGateway(bGateway) {}

const char* CAddRouteDlg::Caption() const { return m_bGateway ? kGatewayCaption : kAddCaption; }

BOOL CAddRouteDlg::OnInitDialog() {
  SetWindowText(Caption());
  const CRouteInput defaults;
  SetDlgItemText(IDC_EDIT_ROUTE_VALID, defaults.m_strValidLifetime);
  SetDlgItemText(IDC_EDIT_ROUTE_PREFERRED, defaults.m_strPreferredLifetime);
  const CComboBox store(GetDlgItem(IDC_COMBO_ROUTE_STORE));
  store.AddString("persistent");
  store.AddString("active");
  store.SetCurSel(0);
  if (m_bGateway) {
    // The gateway is the next hop of the default route.
    SetDlgItemText(IDC_EDIT_ROUTE_PREFIX, kDefaultPrefix);
    ::SendMessageW(GetDlgItem(IDC_EDIT_ROUTE_PREFIX), EM_SETREADONLY, TRUE, 0);
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_EDIT_ROUTE_NEXTHOP)), TRUE);
    return FALSE;
  }
  return TRUE;
}

CRouteInput CAddRouteDlg::ReadInput() const {
  CRouteInput input;
  input.m_strPrefix = Trimmed(GetDlgItemText(IDC_EDIT_ROUTE_PREFIX));
  input.m_strNextHop = Trimmed(GetDlgItemText(IDC_EDIT_ROUTE_NEXTHOP));
  input.m_strMetric = Trimmed(GetDlgItemText(IDC_EDIT_ROUTE_METRIC));
  input.m_strValidLifetime = Trimmed(GetDlgItemText(IDC_EDIT_ROUTE_VALID));
  input.m_strPreferredLifetime = Trimmed(GetDlgItemText(IDC_EDIT_ROUTE_PREFERRED));
  input.m_strStore = GetDlgItemText(IDC_COMBO_ROUTE_STORE);
  return input;
}

void CAddRouteDlg::OnOK() {
  const CRouteInput input = ReadInput();
  CRouteInputCheck check = CheckRouteInput(input);
  if (check.Passed() && m_bGateway && input.m_strNextHop.empty()) {
    check.m_field = RouteField::NextHop;
    check.m_strText = "Enter the gateway's address as the next hop.";
  }
  if (!check.Passed()) {
    ShowMessage(m_hWnd, check.m_strText, MB_OK | MB_ICONERROR, Caption());
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(FieldId(check.m_field))), TRUE);
    return;
  }
  CChange change;
  change.m_kind = ChangeKind::AddRoute;
  change.m_strInterface = m_strInterfaceName;
  change.m_strAddress = input.m_strPrefix;
  change.m_strNextHop = input.m_strNextHop;
  change.m_strMetric = input.m_strMetric;
  change.m_strValidLifetime = input.m_strValidLifetime;
  change.m_strPreferredLifetime = input.m_strPreferredLifetime;
  change.m_strStore = input.m_strStore;
  const CNetshResult result = RunChangeForWindow(change, m_runner, m_hWnd, m_pHistory);
  if (!result.Succeeded()) {
    ReportNetshFailure(m_hWnd, result, Caption(), "Adding the route is cancelled.", Caption());
    if (result.m_outcome == NetshOutcome::ElevationRefused) EndDialog(IDCANCEL);
    return;
  }
  ShowMessage(m_hWnd, m_bGateway ? "The gateway was set." : "The route was added.", MB_OK | MB_ICONINFORMATION,
              Caption());
  EndDialog(IDOK);
}

}  // namespace vantoric
