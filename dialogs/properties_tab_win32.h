// The tab control of the Advanced Settings dialog: holds its page dialogs,
// places them in its display area and shows the page of the selected tab,
// however the tab was selected (mouse, arrow keys, Ctrl+Tab and
// Ctrl+Shift+Tab from anywhere in the dialog).
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
  // The pages in tab order, with their titles; ShowPage shows page nPage
  // as a click on its tab does.
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CSettingsPage& GetPage(int nPage) const { return *m_pages[static_cast<size_t>(nPage)]; }
  std::string GetPageTitle(int nPage) const;
  void ShowPage(int nPage);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void PlacePages() const;
  void OnLButtonDown();
  // Shows the page of the selected tab in place of the one shown; bFocus
  // gives it the focus.
  void ShowSelectedPage(bool bFocus);
  // Selects the next tab (step 1) or the one before (-1), round the ends.
  void StepPage(int nStep);
  // Ctrl+Tab in the dialog: a key on its way to any of the dialog's windows
  // is turned into a page step for this tab, before the dialog manager
  // takes Tab as a move of the focus.
  static LRESULT CALLBACK PageKeyHook(int code, WPARAM wp, LPARAM lp);
  void StopPageKeys();

  HHOOK m_hPageKeyHook = nullptr;
  CIPV6PropertiesTab* m_pPreviousKeyTab = nullptr;

  std::vector<std::unique_ptr<CSettingsPage>> m_pages;
  int m_nCurPage = 0;
};

}  // namespace vantoric
