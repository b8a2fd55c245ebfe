// The "Interface" page of Advanced Settings: the chosen adapter's IPv6
// interface settings in the property list, read when the page opens, when
// another adapter is chosen and after each change. Apply, enabled once a
// value differs from the one read, sends one line with only the changed
// settings; "Until the next restart only" sends it to the active store.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/property_list_win32.h"
#include "core/interface_settings.h"
#include "dialogs/settings_page_win32.h"
#include "framework/handles.h"

namespace vantoric {

class CInterfacePage : public CAdapterSettingsPage {
 public:
  // Chooser entry i is adapterNames[i].
  explicit CInterfacePage(std::vector<std::string> adapterNames);

  bool HasPendingChange() const override;
  bool ApplyPendingChange() override { return Apply(false); }

 protected:
  void OnInitPage() override;
  void ReadAgain() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // The rows of m_read in a new list (the list cannot drop its rows).
  void ShowRows();
  // What the rows hold now, typed text included, nothing committed.
  CInterfaceInput PeekInput() const;
  void OnApply() { Apply(true); }
  // Sends the changed settings, telling of success when bTell; true when
  // they were sent and netsh succeeded.
  bool Apply(bool bTell);
  // Shows the note in place of the rows, or the rows when it is empty.
  void ShowNote(const std::string& note);

  bool m_bRead = false;
  CInterfaceSettings m_read;
  CFont m_listFont;
  std::unique_ptr<CPropertyListCtrl> m_pList;
};

}  // namespace vantoric
