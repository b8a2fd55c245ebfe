#include "dialogs/advanced_settings_dlg.h"

#include <memory>

#include "dialogs/advanced_dns_dlg.h"
#include "dialogs/diagnose_page_dlg.h"
#include "dialogs/interface_page_dlg.h"
#include "dialogs/neighbors_page_dlg.h"
#include "dialogs/routes_page_dlg.h"
#include "dialogs/system_page_dlg.h"
#include "framework/message_box.h"
#include "resources/resource.h"

namespace vantoric {

CAdvancedSettingsDlg::CAdvancedSettingsDlg(CAdapterRecord* pAdapters, int nAdapterCount,
                                           const std::vector<std::string>& adapterNames)
    : CDialog(IDD_ADVANCED_SETTINGS),
      m_pAdapters(pAdapters),
      m_nAdapterCount(nAdapterCount),
      m_adapterNames(adapterNames) {}

BOOL CAdvancedSettingsDlg::OnInitDialog() {
  m_tabProperties.SubclassDlgItem(IDC_TAB_ADVANCED, m_hWnd);
  m_tabProperties.AddPage("DNS", std::make_unique<CAdvancedDNSDlg>(m_pAdapters, m_nAdapterCount, m_adapterNames),
                          m_pHistory);
  m_tabProperties.AddPage("Routes", std::make_unique<CRoutesPage>(m_adapterNames), m_pHistory);
  m_tabProperties.AddPage("System", std::make_unique<CSystemPage>(), m_pHistory);
  m_tabProperties.AddPage("Interface", std::make_unique<CInterfacePage>(m_adapterNames), m_pHistory);
  m_tabProperties.AddPage("Neighbors", std::make_unique<CNeighborsPage>(m_adapterNames), m_pHistory);
  m_tabProperties.AddPage("Diagnose", std::make_unique<CDiagnosePage>(m_adapterNames), m_pHistory);
  m_tabProperties.ShowFirstPage();
  return TRUE;
}

void CAdvancedSettingsDlg::OnOK() {
  for (int nPage = 0; nPage < m_tabProperties.GetPageCount(); ++nPage) {
    CSettingsPage& page = m_tabProperties.GetPage(nPage);
    if (!page.HasPendingChange()) continue;
    // The question is asked over the page it is about.
    m_tabProperties.ShowPage(nPage);
    const int answer = ShowMessage(m_hWnd,
                                   "The changes on the " + m_tabProperties.GetPageTitle(nPage) +
                                       " page are not applied yet.\n\nApply them before closing?",
                                   MB_YESNOCANCEL | MB_ICONQUESTION, "Advanced Settings");
    if (answer == IDCANCEL || (answer == IDYES && !page.ApplyPendingChange())) return;
  }
  EndDialog(IDOK);
}

}  // namespace vantoric
