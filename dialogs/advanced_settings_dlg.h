// The "Advanced Settings" dialog: a frame around the properties tab and its
// pages (DNS, Routes, ...). The pages apply their changes themselves;
// Cancel only closes the dialog, and so does OK, unless a page holds changes
// not yet applied: then it asks about them first.
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
  // For each page with changes not yet applied, asks whether to apply them:
  // Yes applies them (a failure keeps the dialog open), No leaves them,
  // Cancel keeps the dialog open.
  void OnOK() override;

  CIPV6PropertiesTab m_tabProperties;
  CAdapterRecord* m_pAdapters;
  int m_nAdapterCount;
  std::vector<std::string> m_adapterNames;
};

}  // namespace vantoric
