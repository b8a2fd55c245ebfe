// Waiting for another process without freezing the user interface.
#pragma once

#include <windows.h>

namespace vantoric {

// Waits until `h` is signalled or `timeoutMs` has passed, dispatching this
// thread's messages meanwhile so that its windows stay responsive. A WM_QUIT
// met on the way is posted again afterwards. True when `h` was signalled.
bool WaitPumpingMessages(HANDLE h, DWORD timeoutMs);

// Keeps a window disabled for the scope's lifetime, so that the user cannot
// start a second command from it, and gives the focus back afterwards to
// the control that had it (disabling a window takes the focus away). While
// one is alive, the program's dialogs show the wait cursor.
class CBusyWindow {
 public:
  explicit CBusyWindow(HWND hwnd);
  CBusyWindow(const CBusyWindow&) = delete;
  CBusyWindow& operator=(const CBusyWindow&) = delete;
  ~CBusyWindow();

 private:
  HWND m_hwnd;
  HWND m_hFocus = nullptr;
  bool m_bDisabled = false;
};

// True while a CBusyWindow is alive (the user interface thread's).
bool IsThreadBusy();

}  // namespace vantoric
