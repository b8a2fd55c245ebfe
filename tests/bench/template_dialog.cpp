// The main window's dialog template shown by a trivial program (common
// controls registered, no handler of its own), for the start-up benchmark:
// what the window's controls cost before any of the program's work.
#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"

namespace {

INT_PTR CALLBACK TemplateDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL)) {
    ::EndDialog(hwnd, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_VANTORIC_DIALOG), nullptr, &TemplateDialogProc, 0);
  return 0;
}
