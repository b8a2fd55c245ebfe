// The DNS server page of the Advanced Settings dialog: the IPv6 DNS servers
// of the adapter chosen in its chooser, with Add Host and Remove. Changes run
// through netsh and are mirrored into the caller's adapter records.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/sortable_list_win32.h"
#include "core/adapter_records.h"
#include "dialogs/settings_page_win32.h"

namespace vantoric {

class CAdvancedDNSDlg : public CAdapterSettingsPage {
 public:
  // Chooser entry i is record i of the nAdapterCount records at pAdapters,
  // which stay the caller's and keep the page's changes; the names are copied.
  CAdvancedDNSDlg(CAdapterRecord* pAdapters, int nAdapterCount, const std::vector<std::string>& adapterNames);

 protected:
  void OnInitPage() override;
  // The servers come from the records, which the main window reads: the
  // page lists the chosen record's servers again.
  void ReadAgain() override;
  void OnAdapterChosen() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;

  // Lists the servers of record nIndex; 1 when there were any.
  int FillDnsList(int nIndex);

  void OnAddHost();
  void OnRemove();

  std::string m_strInterfaceName;
  CAdapterRecord* m_pAdapters;
  int m_nAdapterCount;
  int m_nRowCount = 0;
  CBrekListCtrl m_listDns;

 private:
  bool HasRecords() const { return m_pAdapters != nullptr && m_nAdapterCount > 0; }
  // The record that the chooser's selection names, or -1 (no records, or a
  // typed text that matches no entry).
  int ChooserRecord() const;
  // The same, with the list brought to that record's servers.
  int ChosenRecord();
  void ShowPlaceholder();

  int m_nListedRecord = -1;  // whose servers the list shows
};

}  // namespace vantoric
