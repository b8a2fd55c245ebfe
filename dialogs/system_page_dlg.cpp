#include "dialogs/system_page_dlg.h"

#include <string>

#include "core/system_settings_win32.h"
#include "dialogs/netsh_outcome_win32.h"
#include "framework/message_box.h"
#include "resources/resource_system_dialogs.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "System Settings";

SystemSetting SettingOfRow(int row) { return static_cast<SystemSetting>(row); }

// A row's choices: its value first when it is not one of them (not known,
// custom, a state that is shown but not offered), then the offered states.
std::vector<SettingState> RowChoices(SystemSetting setting, SettingState value) {
  std::vector<SettingState> choices = SettingChoices(setting);
  bool bOffered = false;
  for (SettingState choice : choices) bOffered = bOffered || choice == value;
  if (!bOffered) choices.insert(choices.begin(), value);
  return choices;
}

std::string LifetimesText(const CSystemState& state) {
  const auto text = [](const std::string& lifetime) { return lifetime.empty() ? std::string("Not known") : lifetime; };
  return "Temporary addresses live at most: valid " + text(state.m_strTemporaryValidLifetime) + ", preferred " +
         text(state.m_strTemporaryPreferredLifetime) + ".";
}

}  // namespace

CSystemPage::CSystemPage() : CSettingsPage(IDD_SYSTEM) {}

void CSystemPage::OnInitPage() {
  m_listPolicies.SubclassDlgItem(IDC_LIST_PREFIX_POLICIES, m_hWnd);
  m_listPolicies.SetColumns("Prefix, 170;Precedence, 2, 80;Label, 2, 60");
}

void CSystemPage::ReadAgain() {
  m_state = ReadSystemState(ReadSystemFacts());
  // The rows are made anew: the list keeps the rows it was given.
  RECT rc{};
  HWND place = GetDlgItem(IDC_STATIC_SYSTEM_LIST_PLACE);
  ::GetWindowRect(place, &rc);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
  const bool bHadFocus = m_pList && ::GetFocus() == m_pList->GetSafeHwnd();
  if (m_pList) ::DestroyWindow(m_pList->GetSafeHwnd());
  m_pList = std::make_unique<CPropertyListCtrl>();
  if (!m_pList->Create(PROPERTY_LIST_STYLE | WS_TABSTOP, rc, m_hWnd, IDC_SYSTEM_PROPERTY_LIST)) return;
  m_pList->SetHost(PropertyListHost::Page);
  // In the Tab order after its label, which names it for screen readers.
  ::SetWindowPos(m_pList->GetSafeHwnd(), GetDlgItem(IDC_STATIC_SYSTEM_SETTINGS), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int row = 0; row < SYSTEM_SETTING_COUNT; ++row) {
    std::string choices;
    int shown = 0;
    const std::vector<SettingState> states = RowChoices(SettingOfRow(row), m_state.m_states[row]);
    for (size_t i = 0; i < states.size(); ++i) {
      choices += (choices.empty() ? "" : "!") + SettingStateText(states[i]);
      if (states[i] == m_state.m_states[row]) shown = static_cast<int>(i);
    }
    m_pList->AddProperty(PROPERTY_KIND_CHOICE, SystemSettingName(SettingOfRow(row)), choices, shown);
  }
  if (bHadFocus) ::SetFocus(m_pList->GetSafeHwnd());

  SetDlgItemText(IDC_STATIC_TEMPORARY_LIFETIMES, LifetimesText(m_state));
  SetDlgItemText(IDC_STATIC_PREFIX_POLICIES, m_state.m_bPoliciesKnown ? "Prefix policies:" : "Prefix policies: Not known");
  m_listPolicies.DeleteAllItems();
  for (size_t i = 0; i < m_state.m_policies.size(); ++i) {
    const CPrefixPolicy& policy = m_state.m_policies[i];
    const std::string precedence = std::to_string(policy.m_nPrecedence);
    const std::string label = std::to_string(policy.m_nLabel);
    m_listPolicies.AddItem(static_cast<int>(i), policy.m_strPrefix, {precedence.c_str(), label.c_str()},
                           static_cast<DWORD>(i));
  }
  UpdateApply();
}

void CSystemPage::GetChosen(SettingState (&chosen)[SYSTEM_SETTING_COUNT]) const {
  for (int row = 0; row < SYSTEM_SETTING_COUNT; ++row) {
    chosen[row] = SettingState::NotKnown;
    std::string text;
    int index = -1;
    if (!m_pList || !m_pList->GetPropertySelection(row, &text, index)) continue;
    for (SettingState choice : SettingChoices(SettingOfRow(row)))
      if (SettingStateText(choice) == text && choice != m_state.m_states[row]) chosen[row] = choice;
  }
}

bool CSystemPage::HasPendingChange() const {
  SettingState chosen[SYSTEM_SETTING_COUNT];
  GetChosen(chosen);
  bool bDiffers = false;
  for (SettingState state : chosen) bDiffers = bDiffers || state != SettingState::NotKnown;
  return bDiffers;
}

void CSystemPage::UpdateApply() {
  const bool bDiffers = HasPendingChange();
  // The focus never stays on a button that is being disabled.
  HWND apply = GetDlgItem(IDC_BUTTON_SYSTEM_APPLY);
  if (!bDiffers && ::GetFocus() == apply && m_pList) ::SetFocus(m_pList->GetSafeHwnd());
  EnableItem(IDC_BUTTON_SYSTEM_APPLY, bDiffers);
}

bool CSystemPage::Apply(bool bAsk) {
  SettingState chosen[SYSTEM_SETTING_COUNT];
  GetChosen(chosen);
  const bool bActiveOnly = ::IsDlgButtonChecked(m_hWnd, IDC_CHECK_UNTIL_RESTART) == BST_CHECKED;
  const std::vector<CSystemChange> changes = PlanSystemChanges(m_state, chosen, bActiveOnly);
  if (changes.empty()) return true;
  if (bAsk) {
    std::string text = "Apply runs these commands, one after another:\n\n";
    for (const CSystemChange& change : changes) text += "netsh " + FormatSystemCommand(change) + "\n";
    text += "\nRun them?";
    if (ShowMessage(Host(), text, MB_OKCANCEL | MB_ICONQUESTION, kCaption) != IDOK) return false;
  }
  const int group = m_pHistory != nullptr ? m_pHistory->NewGroup() : 0;
  bool bAll = true;
  for (const CSystemChange& system : changes) {
    CChange change;
    change.m_kind = ChangeKind::System;
    change.m_system = system;
    const CNetshResult result = RunChange(change, group);
    if (!result.Succeeded()) {
      ReportNetshFailure(Host(), result, kCaption, "Applying the settings is cancelled.", kCaption);
      bAll = false;
      break;
    }
  }
  if (bAll && bAsk) ShowMessage(Host(), "The settings were changed.", MB_OK | MB_ICONINFORMATION, kCaption);
  ReadAgain();
  return bAll;
}

bool CSystemPage::OnCommand(UINT nId, UINT nCode, HWND hCtl) {
  switch (nId) {
    case IDC_BUTTON_SYSTEM_APPLY:
      if (nCode == BN_CLICKED) OnApply();
      return true;
  }
  return CSettingsPage::OnCommand(nId, nCode, hCtl);
}

bool CSystemPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_PROPLIST_NOTIFY) return CSettingsPage::OnMessage(msg, wp, lp, result);
  UpdateApply();
  result = 0;
  return true;
}

}  // namespace vantoric
