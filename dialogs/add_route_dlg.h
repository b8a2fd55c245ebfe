// The Add Route dialog, and Set Gateway: the same dialog with the default
// route's prefix fixed and a next hop required.
#pragma once

#include <windows.h>

#include <string>

#include "core/command_history.h"
#include "core/netsh_run_win32.h"
#include "core/route_records.h"
#include "framework/dialog.h"

namespace vantoric {

class CAddRouteDlg : public CDialog {
 public:
  // The route goes to the adapter with this friendly name.
  CAddRouteDlg(std::string interfaceName, bool bGateway);

  // Set by the caller before DoModal: where the add command is recorded.
  CCommandHistory* m_pHistory = nullptr;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

  // What the fields hold, blanks at either end taken off.
  CRouteInput ReadInput() const;
  const char* Caption() const;

  std::string m_strInterfaceName;
  bool m_bGateway;
  CNetshRunner m_runner;
};

}  // namespace vantoric
