#include "tests/win/support/advanced_settings_fixture.h"

#include <commctrl.h>

#include "resources/resource.h"

namespace vantoric::test {

namespace {

const ::testing::TestInfo& CurrentTest() { return *::testing::UnitTest::GetInstance()->current_test_info(); }

}  // namespace

AdvancedSettingsTest::AdvancedSettingsTest()
    : m_standin(CurrentTest().name()), m_scope(std::string("Vantoric ") + CurrentTest().test_suite_name()) {
  m_catcher.SetStrict(true);
}

void AdvancedSettingsTest::TearDown() {
  if (m_dlg && m_dlg->IsWindow()) m_dlg->DestroyWindow();
}

void AdvancedSettingsTest::Open() {
  if (m_dlg && m_dlg->IsWindow()) m_dlg->DestroyWindow();
  m_snapshot = TakeSyntheticSnapshot(m_adapters);
  m_dlg = std::make_unique<CAdvancedSettingsDlg>(m_snapshot.records.data(),
                                                 static_cast<int>(m_snapshot.records.size()), m_snapshot.names);
  m_dlg->m_pHistory = &m_history;
  m_hDlg = m_dlg->Create(nullptr);
  ASSERT_NE(m_hDlg, nullptr);
  ::ShowWindow(m_hDlg, SW_SHOW);
  // The first tab's page is shown.
  m_hPage = ::FindWindowExW(Tab(), nullptr, L"#32770", nullptr);
  ASSERT_NE(m_hPage, nullptr) << "the pages are children of the tab control";
}

INT_PTR AdvancedSettingsTest::RunModal(std::vector<DialogStep> steps) {
  if (!m_dlg) m_snapshot = TakeSyntheticSnapshot(m_adapters);
  CAdvancedSettingsDlg dlg(m_snapshot.records.data(), static_cast<int>(m_snapshot.records.size()), m_snapshot.names);
  dlg.m_pHistory = &m_history;
  m_catcher.ScriptNextDialog(std::move(steps));
  return dlg.DoModal(nullptr);
}

HWND AdvancedSettingsTest::Tab() const { return ::GetDlgItem(m_hDlg, IDC_TAB_ADVANCED); }

HWND AdvancedSettingsTest::ShowPage(std::string_view title, int idOnPage, HWND settings) const {
  HWND tab = ::GetDlgItem(settings != nullptr ? settings : m_hDlg, IDC_TAB_ADVANCED);
  EXPECT_TRUE(ClickTabTitled(tab, title)) << title;
  for (HWND page = nullptr; (page = ::FindWindowExW(tab, page, L"#32770", nullptr)) != nullptr;)
    if (::GetDlgItem(page, idOnPage) != nullptr) return ::IsWindowVisible(page) ? page : nullptr;
  return nullptr;
}

std::vector<std::string> AdvancedSettingsTest::HistoryLines() const {
  std::vector<std::string> lines;
  for (const CHistoryEntry& entry : m_history.GetEntries())
    lines.push_back(FormatTypedNetshLine(entry.m_strLine) + " | " + FormatPowerShellCommand(entry.m_change) + " | " +
                    DescribeHistoryOutcome(entry.m_result));
  return lines;
}

}  // namespace vantoric::test
