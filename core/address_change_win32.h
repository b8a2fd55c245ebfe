// Tells a window when the system's IPv6 unicast addresses change, by a
// message posted from whatever thread the system tells it on. Where the
// system has NotifyUnicastIpAddressChange (version 6 on) it is used; on
// version 5.2 a thread waits on NotifyAddrChange, which tells IPv4 changes
// only: there the message also comes every ADDRESS_POLL_MS with wParam
// ADDRESS_POLL (after a change it has wParam 0), so that IPv6 changes are
// seen too. Both are looked up in the IP helper library, never imported.
#pragma once

#include <windows.h>

#include <atomic>

#include "framework/handles.h"

namespace vantoric {

constexpr DWORD ADDRESS_POLL_MS = 10000;
constexpr WPARAM ADDRESS_POLL = 1;

class CAddressChangeWatch {
 public:
  CAddressChangeWatch() = default;
  ~CAddressChangeWatch() { Stop(); }
  CAddressChangeWatch(const CAddressChangeWatch&) = delete;
  CAddressChangeWatch& operator=(const CAddressChangeWatch&) = delete;

  // Posts `message` to `hwnd` after each change; false when the system
  // offers no way to be told.
  bool Start(HWND hwnd, UINT message);
  void Stop();

  // What the system calls: posts the message. Tests call it as the system
  // would (Wine tells no address change) through NotifyWatchesForTests.
  void OnSystemChange(WPARAM wp = 0) const;

 private:
  static DWORD WINAPI WaitThread(LPVOID pThis);

  HWND m_hWnd = nullptr;
  UINT m_nMessage = 0;
  HANDLE m_hNotification = nullptr;  // NotifyUnicastIpAddressChange's handle
  CHandle m_hThread;                 // the NotifyAddrChange thread
  CHandle m_hStop;
};

// Every started watch posts its message, as after a change.
void NotifyWatchesForTests();
// Watches started from now on use the version 5.2 way, with this interval
// (0: the system's own way again).
void UseAddressPollingForTests(DWORD intervalMs);

}  // namespace vantoric
