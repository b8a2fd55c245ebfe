#include "app/vantoric_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/vantoric_dlg.h"

namespace vantoric {

CVantoricApp::CVantoricApp() : CApplication("Vantoric") {}

bool CVantoricApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  SetRegistryKey("Local AppWizard-Generated Applications");
  CVantoricDlg dlg;
  dlg.DoModal(nullptr);
  SetMainWnd(nullptr);
  return false;
}

}  // namespace vantoric
