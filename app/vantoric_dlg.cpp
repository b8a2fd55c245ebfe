#include "app/vantoric_dlg.h"

#include "resources/resource.h"

namespace vantoric {

CVantoricDlg::CVantoricDlg() : CDialog(IDD_VANTORIC_DIALOG) {}

BOOL CVantoricDlg::OnInitDialog() {
  return TRUE;
}

}  // namespace vantoric
