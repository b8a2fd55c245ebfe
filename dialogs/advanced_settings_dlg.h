// The "Advanced Settings" dialog: a frame around the properties tab and its
// pages (DNS, Routes). The pages apply their changes themselves; OK and
// Cancel only close the dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/adapter_records.h"
#include "core/command_history.h"
#include "dialogs/properties_tab_win32.h"
#include "framework/dialog.h"

namespace vantoric {

class CAdvancedSettingsDlg : public CDialog {
 public:
  // The main window's records (not owned; the page amends them in place)
  // and their names, which are copied.
  CAdvancedSettingsDlg(CAdapterRecord* pAdapters, int nAdapterCount, const std::vector<std::string>& adapterNames);

  // Set by the caller before DoModal: where the pages' commands are recorded.
  CCommandHistory* m_pHistory = nullptr;

 protected:
  BOOL OnInitDialog() override;

  CIPV6PropertiesTab m_tabProperties;
  CAdapterRecord* m_pAdapters;
  int m_nAdapterCount;
  std::vector<std::string> m_adapterNames;
};

}  // namespace vantoric
