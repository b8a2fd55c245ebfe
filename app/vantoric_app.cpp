#include "app/vantoric_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/vantoric_dlg.h"

namespace vantoric {

CVantoricApp::CVantoricApp() : CWinAppEx("Vantoric") {}

bool CVantoricApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  if (!CWinAppEx::InitInstance(VANTORIC_UNIQUE_NAME)) return false;
  SetRegistryKey(VANTORIC_REGISTRY_KEY);
  CVantoricDlg dlg(&GetProfile());
  SetMainWindow(&dlg);
  dlg.DoModal(nullptr);
  SetMainWindow(nullptr);
  return false;
}

}  // namespace vantoric
