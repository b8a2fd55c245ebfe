// The main window: the adapter chooser, the chosen adapter's description and
// MAC address, and the list of its IPv6 addresses, with the command buttons.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/address_list_view_win32.h"
#include "controls/hyperlink_win32.h"
#include "controls/resize_dialog_win32.h"
#include "controls/transparent_image_win32.h"
#include "core/adapter_enumeration_win32.h"
#include "core/adapter_records.h"
#include "core/address_change_win32.h"
#include "core/command_history.h"
#include "core/netsh_run_win32.h"
#include "framework/controls.h"
#include "framework/handles.h"

namespace vantoric {

class CVantoricDlg : public CResizeDialog, private IAddressListOwner {
 public:
  explicit CVantoricDlg(const CProfile* pProfile = nullptr);
  ~CVantoricDlg() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  void OnOK() override { OnExit(); }  // Enter presses Exit, the default button
  bool OnPaint() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnTimer(UINT_PTR nId) override;
  void OnDestroy() override;

  // 1 when a new reading replaced the records. Without adapters it says so
  // and closes the window; a reading that fails says why and keeps the
  // last one (at start-up, when there is none, it closes the window too).
  int LoadAdapters(bool bQuiet = false);
  void ReleaseAdapters();
  void FillAddressList();
  // Brings the rows to the current record in place: only the rows whose
  // texts changed are written, the highlight stays with its address.
  void UpdateAddressList();
  void AttachWebLink();

  void OnSelchangeAdapter();
  // The selection state follows the highlighted row, however it moved.
  void OnAddressSelectionChanged() override;
  void OnRemove() override;
  // The warnings before a removal (open connections, the last global
  // address); true when the removal may go on to its confirmation.
  bool PassRemoveGuards();
  void OnEdit() override;
  // Removes the address that an applied edit replaced; 1 when it was removed.
  int DeleteEditedAddress(const std::string& address);
  void OnAdd();
  void OnAdvanced();
  void OnRefresh();
  void OnHistory();
  // A change of the system's addresses: a reading follows within a second,
  // at most one per LIVE_READING_MS, never while a dialog of the window is
  // open.
  void OnAddressesChanged();
  void TakeLiveReading();
  void NoteReadingTime();
  void OnHelpButton();
  void OnExit();

  // The selected address's position in the current record, or -1 (then
  // the selection is cleared and the user told to select one).
  int LookUpSelectedAddress();
  // No address selected and no row highlighted.
  void ClearSelection();
  // Highlights the selected address again after the rows were refilled, or
  // clears the selection when it is no longer listed.
  void HighlightSelectedAddress(bool bEnsureVisible = true);
  void FocusAddressList();
  void FillChooser(const std::string& selectName);
  CNetshResult RunAddressChange(const CChange& change);
  // A delete of one of the current adapter's addresses, with what it was.
  CChange MakeDeleteChange(const std::string& address, int index) const;

  std::unique_ptr<CAdapterRecord[]> m_pAdapters;
  int m_nAdapterCount = 0;
  int m_nSelAdapter = 0;
  CAdapterRecord* m_pCurAdapter = nullptr;
  std::vector<std::string> m_adapterNames;
  int m_bAddressSelected = 0;
  // The selected address's text and kind; its state and lifetimes stay in
  // the record (SelectAddress).
  std::string m_strSelAddress;
  std::string m_strSelKind;
  std::string m_strInterfaceName;
  std::string m_strDescription;
  int m_nClickedItem = -1;  // the highlighted row, or -1
  HICON m_hIcon = nullptr;
  CAddressListView m_listAddresses;
  CTransparentImage m_logo;
  CNetshRunner m_redirect;  // runs the address commands
  // Every command of this run, from every window.
  CCommandHistory m_history;
  // The group of the Address Properties dialog that is open, which the
  // deletes of the addresses it replaced join.
  int m_nEditGroup = 0;
  CDemoLink m_link;
  CAddressChangeWatch m_watch;
  bool m_bLiveTimer = false;
  DWORD m_nLastLiveTick = 0;
  // When the records were read (seconds since 1970).
  std::int64_t m_nReadingTime = 0;
  // Kept from one reading to the next (list size, host texts).
  CAdapterReading m_reading;

 private:
  CComboBox Chooser() const;
  void ShowNoAdapter();
};

}  // namespace vantoric
