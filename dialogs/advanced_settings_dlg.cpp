#include "dialogs/advanced_settings_dlg.h"

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
  m_tabProperties.SetupPages(m_adapterNames, m_pAdapters, m_nAdapterCount, m_pHistory);
  return TRUE;
}

}  // namespace vantoric
