// The tab control of the Advanced Settings dialog: holds its page dialogs,
// places them in its display area and shows the page of the selected tab.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/settings_page_win32.h"
#include "framework/dialog.h"

namespace vantoric {

class CIPV6PropertiesTab : public CSubclassWindow {
 public:
  CIPV6PropertiesTab() = default;
  ~CIPV6PropertiesTab() override;

  // After the tab control is attached: a tab titled `title` for the page,
  // which is created hidden. pHistory, when given, records its commands.
  void AddPage(const std::string& title, std::unique_ptr<CSettingsPage> page, CCommandHistory* pHistory);
  // Once the pages are added: places them and shows the first.
  void ShowFirstPage();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void PlacePages() const;
  void OnLButtonDown();

  std::vector<std::unique_ptr<CSettingsPage>> m_pages;
  int m_nCurPage = 0;
};

}  // namespace vantoric
