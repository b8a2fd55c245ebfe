// The smallest dialog program, for comparison in the start-up benchmark: one
// empty dialog of the main window's size, run modally, nothing else.
#include <windows.h>

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_CLOSE || (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL)) {
    ::EndDialog(hwnd, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ::DialogBoxParamW(instance, MAKEINTRESOURCEW(1), nullptr, &EmptyDialogProc, 0);
  return 0;
}
