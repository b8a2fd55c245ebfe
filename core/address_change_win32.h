// Tells a window when the system's IPv6 unicast addresses change, by a
// message posted from whatever thread the system tells it on. Where the
// system has NotifyUnicastIpAddressChange (version 6 on) it is used; on
// version 5.2 a thread waits on NotifyAddrChange. Both are looked up in the
// IP helper library, never imported.
#pragma once

#include <windows.h>

#include <atomic>

#include "framework/handles.h"

namespace vantoric {

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
  void OnSystemChange() const;

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

}  // namespace vantoric
