// The main window's dialog template shown by a trivial program (common
// controls registered, no handler of its own), for the start-up benchmark:
// what the window's controls cost before any of the program's work. Built
// a second time with VANTORIC_READ_ADAPTERS, it also reads the adapters and
// fills the rows as the window opens (tests/bench/adapter_rows.h).
#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"
#ifdef VANTORIC_READ_ADAPTERS
#include "framework/system_library.h"
#include "tests/bench/adapter_rows.h"
#endif

namespace {

INT_PTR CALLBACK TemplateDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) {
#ifdef VANTORIC_READ_ADAPTERS
    vantoric::bench::FillFromAdapters(hwnd);
#endif
    return TRUE;
  }
  if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL)) {
    ::EndDialog(hwnd, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
#ifdef VANTORIC_READ_ADAPTERS
  // As Vantoric does first thing.
  vantoric::RestrictLibrarySearch();
#endif
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_VANTORIC_DIALOG), nullptr, &TemplateDialogProc, 0);
  return 0;
}
