// The tab control of the Advanced Settings dialog: creates its page dialogs
// (the DNS server page), places them in its display area and shows the page
// of the selected tab.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/adapter_records.h"
#include "core/command_history.h"
#include "framework/dialog.h"
#include "framework/dialog_page.h"

namespace vantoric {

class CIPV6PropertiesTab : public CSubclassWindow {
 public:
  CIPV6PropertiesTab() = default;
  ~CIPV6PropertiesTab() override;

  // Once, after the tab control is attached: creates the pages over the
  // records (not owned) and a copy of the names, and shows page 0.
  // pHistory, when given, records the pages' commands.
  void SetupPages(const std::vector<std::string>& adapterNames, CAdapterRecord* pAdapters, int nAdapterCount,
                  CCommandHistory* pHistory = nullptr);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void PlacePages() const;
  void OnLButtonDown();

  std::vector<std::unique_ptr<CDialogPage>> m_pages;
  int m_nCurPage = 0;
  CAdapterRecord* m_pAdapters = nullptr;
  int m_nAdapterCount = 0;
  std::vector<std::string> m_adapterNames;
};

}  // namespace vantoric
