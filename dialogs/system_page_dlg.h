// The "System" page of Advanced Settings: the system-wide IPv6 settings
// (temporary addresses, random interface identifiers, the address
// preference and the Teredo, ISATAP and 6to4 tunnels) as rows of the
// property list, the prefix-policy table below them, and Apply, which runs
// the commands of every row changed after one confirmation and reads the
// values again.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "controls/property_list_win32.h"
#include "controls/sortable_list_win32.h"
#include "core/system_settings.h"
#include "dialogs/settings_page_win32.h"

namespace vantoric {

// No adapter chooser: the settings are the machine's.
class CSystemPage : public CSettingsPage {
 public:
  CSystemPage();

  bool HasPendingChange() const override;
  bool ApplyPendingChange() override { return Apply(false); }

 protected:
  void OnInitPage() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // Reads the settings and shows them, with every row at its value.
  void ReadAgain() override;
  void OnApply() { Apply(true); }
  // Runs the commands of every changed row, first asking and last telling
  // of success when bAsk; true when every one succeeded.
  bool Apply(bool bAsk);
  // The state chosen in each row; NotKnown where the row shows its value.
  void GetChosen(SettingState (&chosen)[SYSTEM_SETTING_COUNT]) const;
  // Apply is enabled once a row differs from its value.
  void UpdateApply();

  CSystemState m_state;  // as last read
  std::unique_ptr<CPropertyListCtrl> m_pList;
  CBrekListCtrl m_listPolicies;
};

}  // namespace vantoric
