// The base of the Advanced Settings pages. A page runs its commands through
// the one place where commands end (its history and its runner), shows its
// message boxes over the dialog that hosts it, and reads what it shows
// again after each of its commands and, where it follows the system, when
// the system's addresses change. CAdapterSettingsPage adds the adapter
// chooser of the per-adapter pages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/address_change_win32.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"
#include "framework/dialog_page.h"

namespace vantoric {

class CSettingsPage : public CDialogPage {
 public:
  // Where the page's commands are recorded; none when nullptr.
  CCommandHistory* m_pHistory = nullptr;

  // Whether the page holds changes that its Apply has not sent yet, which
  // closing the dialog would drop.
  virtual bool HasPendingChange() const { return false; }
  // Sends them as Apply does, without asking again (the dialog has asked)
  // and without telling of success; false when they were not all sent
  // (the user has been told why).
  virtual bool ApplyPendingChange() { return true; }

 protected:
  explicit CSettingsPage(UINT nTemplateId) : CDialogPage(nTemplateId) {}

  // Sets up the page's own controls, then reads what it shows.
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnDestroy() override { m_watch.Stop(); }

  // The page's controls, before the first reading.
  virtual void OnInitPage() {}
  // Reads and shows what the page shows: when it opens, after each of its
  // commands and on a change of the system's addresses.
  virtual void ReadAgain() = 0;
  // A change of the system's addresses while none of the page's dialogs is
  // open (several in a row come as one): reads again.
  virtual void OnSystemChanged() { ReadAgain(); }
  // Starts telling the page of the system's address changes.
  void FollowSystemChanges();

  // Runs the change's line with the host disabled meanwhile and records it.
  CNetshResult RunChange(const CChange& change, int nGroup = 0, int nUndoes = 0);
  // The dialog that hosts the page: owner of its message boxes and dialogs.
  HWND Host() const { return ::GetAncestor(m_hWnd, GA_ROOT); }

  CNetshRunner m_runner;

 private:
  CAddressChangeWatch m_watch;
};

class CAdapterSettingsPage : public CSettingsPage {
 protected:
  // Chooser entry i (the combo box nChooserId) is adapterNames[i].
  CAdapterSettingsPage(UINT nTemplateId, UINT nChooserId, std::vector<std::string> adapterNames);

  // Fills the chooser and chooses the first adapter before the page's own
  // set-up and first reading.
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;

  // Another adapter was chosen: reads again.
  virtual void OnAdapterChosen() { ReadAgain(); }
  // The index of the chosen adapter in the names, or -1 (none, or a typed
  // text that matches no entry).
  int ChosenIndex() const;
  // The chosen adapter's friendly name; empty when none is chosen.
  std::string ChosenName() const;

  std::vector<std::string> m_adapterNames;

 private:
  UINT m_nChooserId;
};

}  // namespace vantoric
