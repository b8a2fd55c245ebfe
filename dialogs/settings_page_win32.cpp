#include "dialogs/settings_page_win32.h"

#include <utility>

#include "dialogs/dns_dialog_rules.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/controls.h"

namespace vantoric {

namespace {

constexpr UINT WM_APP_ADDRESSES_CHANGED = WM_APP + 1;

}  // namespace

BOOL CSettingsPage::OnInitDialog() {
  OnInitPage();
  ReadAgain();
  return TRUE;
}

void CSettingsPage::FollowSystemChanges() { m_watch.Start(m_hWnd, WM_APP_ADDRESSES_CHANGED); }

bool CSettingsPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_APP_ADDRESSES_CHANGED) return CDialogPage::OnMessage(msg, wp, lp, result);
  // Changes that come while one of this page's own dialogs is open wait:
  // the page reads again when its command ends.
  if (::IsWindowEnabled(Host())) {
    MSG pending;
    while (::PeekMessageW(&pending, m_hWnd, WM_APP_ADDRESSES_CHANGED, WM_APP_ADDRESSES_CHANGED, PM_REMOVE)) {
    }
    OnSystemChanged();
  }
  result = 0;
  return true;
}

CNetshResult CSettingsPage::RunChange(const CChange& change, int nGroup, int nUndoes) {
  return RunChangeForWindow(change, m_runner, Host(), m_pHistory, nGroup, nUndoes);
}

CAdapterSettingsPage::CAdapterSettingsPage(UINT nTemplateId, UINT nChooserId, std::vector<std::string> adapterNames)
    : CSettingsPage(nTemplateId), m_adapterNames(std::move(adapterNames)), m_nChooserId(nChooserId) {}

BOOL CAdapterSettingsPage::OnInitDialog() {
  // Inserted at their index, so that a sorting chooser keeps the names'
  // order: entry i is name i.
  const CComboBox chooser(GetDlgItem(m_nChooserId));
  for (size_t i = 0; i < m_adapterNames.size(); ++i) chooser.InsertString(static_cast<int>(i), m_adapterNames[i]);
  chooser.SetCurSel(0);
  return CSettingsPage::OnInitDialog();
}

bool CAdapterSettingsPage::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  if (nId != m_nChooserId) return CSettingsPage::OnCommand(nId, nCode, hCtl);
  if (nCode == CBN_SELCHANGE && ChosenIndex() >= 0) OnAdapterChosen();
  return true;
}

int CAdapterSettingsPage::ChosenIndex() const {
  return RecordOfChoice(CComboBox(GetDlgItem(m_nChooserId)).GetCurSel(), m_adapterNames.size());
}

std::string CAdapterSettingsPage::ChosenName() const {
  const int nIndex = ChosenIndex();
  return nIndex >= 0 ? m_adapterNames[static_cast<size_t>(nIndex)] : std::string();
}

}  // namespace vantoric
