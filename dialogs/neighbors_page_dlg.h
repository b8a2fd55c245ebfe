// The "Neighbors" page of Advanced Settings: the chosen adapter's IPv6
// neighbor cache, sortable by its headings, read when the page is shown,
// when another adapter is chosen, after each command and on Refresh.
// Remove deletes the highlighted entry, Flush (after a question) every
// entry; Ctrl+C and the context menu copy as the main window's list does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/sortable_list_win32.h"
#include "core/neighbors.h"
#include "dialogs/settings_page_win32.h"

namespace vantoric {

class CNeighborsPage : public CAdapterSettingsPage {
 public:
  // Chooser entry i is adapterNames[i].
  explicit CNeighborsPage(std::vector<std::string> adapterNames);

 protected:
  void OnInitPage() override;
  void ReadAgain() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // Deletes the highlighted entry, or every entry when address is empty.
  void RunDelete(const std::string& address);
  void OnRemove();
  void OnFlush();
  void OnContextMenu(LPARAM lp);
  // The cells of the listed rows in the list's order (after any sort).
  std::vector<std::vector<std::string>> ShownRows() const;
  void CopyText(const std::string& text);

  CBrekListCtrl m_listNeighbors;
};

}  // namespace vantoric
