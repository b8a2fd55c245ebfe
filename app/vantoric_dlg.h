// The main window.
#pragma once

#include "framework/dialog.h"

namespace vantoric {

class CVantoricDlg : public CDialog {
 public:
  CVantoricDlg();

 protected:
  BOOL OnInitDialog() override;
};

}  // namespace vantoric
