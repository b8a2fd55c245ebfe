// The About box: the application icon, the version line and OK.
#pragma once

#include "framework/dialog.h"
#include "resources/resource.h"

namespace vantoric {

class CAboutDlg : public CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

}  // namespace vantoric
