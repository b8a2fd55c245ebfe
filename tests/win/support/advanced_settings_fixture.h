// What the tests of the Advanced Settings pages share: the recording netsh
// and the message-box catcher (strict), the console path of Windows 5.2, a
// history of the pages' commands, and the dialog opened on the records of
// synthetic adapters, modeless (the window stays for the test to read) or
// modal (driven by a script inside its own loop, as keys reach it).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_history.h"
#include "dialogs/advanced_settings_dlg.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_path_scope.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric::test {

class AdvancedSettingsTest : public CNetshStandinTest {
 protected:
  AdvancedSettingsTest();
  void TearDown() override;

  // Opens the dialog modeless on the snapshot of m_adapters; the pages'
  // commands are recorded in m_history. A dialog opened before is closed.
  void Open();
  // Runs the dialog modally on the snapshot that Open took (without Open,
  // on one of m_adapters), with the steps inside its loop; its result.
  INT_PTR RunModal(std::vector<DialogStep> steps);

  HWND Tab() const;
  // A click on the tab titled `title` of the dialog `settings` (the one
  // Open made when nullptr); the page that holds control idOnPage, nullptr
  // when none is shown.
  HWND ShowPage(std::string_view title, int idOnPage, HWND settings = nullptr) const;
  // Each entry of the history as "line | PowerShell line | outcome".
  std::vector<std::string> HistoryLines() const;

  CNetshPathScope m_path{5};
  CNetshStandin m_standin;
  CGuiTestScope m_scope;
  CMessageBoxCatcher m_catcher;
  CCommandHistory m_history;
  std::vector<SyntheticAdapter> m_adapters;
  SyntheticSnapshot m_snapshot;
  std::unique_ptr<CAdvancedSettingsDlg> m_dlg;
  HWND m_hDlg = nullptr;
  HWND m_hPage = nullptr;
};

}  // namespace vantoric::test
