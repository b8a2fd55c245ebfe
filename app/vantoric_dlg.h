// The main window: the adapter chooser, the chosen adapter's description and
// MAC address, and the list of its IPv6 addresses, with the command buttons.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/address_list_rules.h"
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

class CVantoricDlg : public CResizeDialog {
 public:
  explicit CVantoricDlg(const CProfile* pProfile = nullptr);
  ~CVantoricDlg() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  void OnOK() override { OnExit(); }  // Enter presses Exit, the default button
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override;
  bool OnPaint() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnTimer(UINT_PTR nId) override;
  void OnDestroy() override;

  // 1 when a new reading replaced the records. Without adapters it says so
  // and closes the window; a reading that fails says why and keeps the
  // last one (at start-up, when there is none, it closes the window too).
  int LoadAdapters(bool bQuiet = false);
  void ReleaseAdapters();
  void InitAddressColumns();
  void FillAddressList();
  // Brings the rows to the current record in place: only the rows whose
  // texts changed are written, the highlight stays with its address.
  void UpdateAddressList();
  // The list's rows of the current record in the chosen order.
  std::vector<std::vector<std::string>> CurrentRows();
  // The row that shows the address, or -1.
  int RowOfAddress(const std::string& address) const;
  void AttachWebLink();

  void OnSelchangeAdapter();
  void OnClickAddressList();
  // The selection state follows the highlighted row, however it moved.
  void OnAddressSelectionChanged();
  void OnRemove();
  // The warnings before a removal (open connections, the last global
  // address); true when the removal may go on to its confirmation.
  bool PassRemoveGuards();
  void OnEdit();
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
  void RestoreTopRow(int top);
  void NoteReadingTime();
  void OnColumnClick(int column);
  void ShowSortArrow() const;
  void OnListContextMenu(LPARAM lp);
  void CopyText(const std::string& text);
  // The tip of a lifetime cell under the mouse.
  void OnGetInfoTip(NMLVGETINFOTIPW& tip) const;
  void OnHelpButton();
  void OnExit();

  // The selected address's position in the current record, or -1 (then
  // the selection is cleared and the user told to select one).
  int LookUpSelectedAddress();
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
  int m_nClickedItem = -1;
  HICON m_hIcon = nullptr;
  std::unique_ptr<CFont> m_pListFont;
  CListView m_listAddresses;
  CTransparentImage m_logo;
  CNetshRunner m_redirect;  // runs the address commands
  // Every command of this run, from every window.
  CCommandHistory m_history;
  // The group of the Address Properties dialog that is open, which the
  // deletes of the addresses it replaced join.
  int m_nEditGroup = 0;
  CDemoLink m_link;
  bool m_bFillingList = false;
  CAddressChangeWatch m_watch;
  bool m_bLiveTimer = false;
  DWORD m_nLastLiveTick = 0;
  CAddressSort m_sort;
  // What the rows show.
  std::vector<std::vector<std::string>> m_shownRows;
  // When the records were read (seconds since 1970).
  std::int64_t m_nReadingTime = 0;
  // Kept from one reading to the next (list size, host texts).
  CAdapterReading m_reading;

 private:
  CComboBox Chooser() const;
  void ShowNoAdapter();
};

}  // namespace vantoric
