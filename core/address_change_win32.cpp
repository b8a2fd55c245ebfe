// NotifyUnicastIpAddressChange and its types come with Windows 6; they are
// looked up at run time, so this file sees the Windows 6 declarations.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600

#include "core/address_change_win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/system_library.h"

namespace vantoric {
namespace {

using NotifyUnicastFn = decltype(&::NotifyUnicastIpAddressChange);
using CancelNotifyFn = decltype(&::CancelMibChangeNotify2);
using NotifyAddrChangeFn = decltype(&::NotifyAddrChange);
using CancelIPChangeNotifyFn = decltype(&::CancelIPChangeNotify);

// The started watches, for NotifyWatchesForTests only.
std::mutex g_watchesMutex;
std::vector<const CAddressChangeWatch*> g_watches;
std::atomic<DWORD> g_testPollMs{0};
// How long the wait thread waits for its cancelled request to complete.
constexpr DWORD CANCEL_WAIT_MS = 5000;

VOID NETIOAPI_API_ OnUnicastChange(PVOID context, PMIB_UNICASTIPADDRESS_ROW /*row*/, MIB_NOTIFICATION_TYPE /*type*/) {
  static_cast<const CAddressChangeWatch*>(context)->OnSystemChange();
}

}  // namespace

bool CAddressChangeWatch::Start(HWND hwnd, UINT message) {
  Stop();
  m_hWnd = hwnd;
  m_nMessage = message;
  static const auto pfnNotify =
      GetSystemFunction<NotifyUnicastFn>(L"iphlpapi.dll", "NotifyUnicastIpAddressChange");
  bool bStarted = false;
  if (pfnNotify != nullptr && g_testPollMs.load() == 0) {
    bStarted = pfnNotify(AF_INET6, &OnUnicastChange, this, FALSE, &m_hNotification) == NO_ERROR;
  } else if (GetSystemFunction<NotifyAddrChangeFn>(L"iphlpapi.dll", "NotifyAddrChange") != nullptr) {
    m_hStop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (m_hStop) m_hThread.reset(::CreateThread(nullptr, 0, &WaitThread, this, 0, nullptr));
    bStarted = static_cast<bool>(m_hThread);
  }
  if (bStarted) {
    const std::lock_guard<std::mutex> lock(g_watchesMutex);
    g_watches.push_back(this);
  }
  return bStarted;
}

void CAddressChangeWatch::Stop() {
  {
    const std::lock_guard<std::mutex> lock(g_watchesMutex);
    g_watches.erase(std::remove(g_watches.begin(), g_watches.end(), this), g_watches.end());
  }
  if (m_hNotification != nullptr) {
    // Returns once no callback runs any more.
    static const auto pfnCancel = GetSystemFunction<CancelNotifyFn>(L"iphlpapi.dll", "CancelMibChangeNotify2");
    if (pfnCancel != nullptr) pfnCancel(m_hNotification);
    m_hNotification = nullptr;
  }
  if (m_hThread) {
    ::SetEvent(m_hStop.get());
    ::WaitForSingleObject(m_hThread.get(), INFINITE);
    m_hThread.reset();
  }
  m_hStop.reset();
}

void CAddressChangeWatch::OnSystemChange(WPARAM wp) const {
  if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, m_nMessage, wp, 0);
}

DWORD WINAPI CAddressChangeWatch::WaitThread(LPVOID pThis) {
  auto* self = static_cast<CAddressChangeWatch*>(pThis);
  static const auto pfnNotify = GetSystemFunction<NotifyAddrChangeFn>(L"iphlpapi.dll", "NotifyAddrChange");
  static const auto pfnCancel = GetSystemFunction<CancelIPChangeNotifyFn>(L"iphlpapi.dll", "CancelIPChangeNotify");
  const DWORD pollMs = g_testPollMs.load() != 0 ? g_testPollMs.load() : ADDRESS_POLL_MS;
  CHandle changed(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!changed || pfnNotify == nullptr) return 1;
  // The request is the thread's own: it is asked again after each change
  // and cancelled here before the thread ends.
  for (;;) {
    // On the heap: a request whose cancellation is not confirmed in time
    // keeps its block, which the system may still write.
    auto overlapped = std::make_unique<OVERLAPPED>();
    overlapped->hEvent = changed.get();
    HANDLE handle = nullptr;
    const DWORD rc = pfnNotify(&handle, overlapped.get());
    if (rc != ERROR_IO_PENDING && rc != NO_ERROR) return 1;
    const HANDLE waits[] = {self->m_hStop.get(), changed.get()};
    DWORD waited = WAIT_TIMEOUT;
    // IPv6 changes are not told on this path: between IPv4 changes the
    // window is asked to read again now and then.
    while ((waited = ::WaitForMultipleObjects(2, waits, FALSE, pollMs)) == WAIT_TIMEOUT)
      self->OnSystemChange(ADDRESS_POLL);
    if (waited != WAIT_OBJECT_0 + 1) {
      // The system writes into `overlapped` when the cancelled request
      // completes: the thread ends after that.
      if (pfnCancel == nullptr || !pfnCancel(overlapped.get()) ||
          ::WaitForSingleObject(changed.get(), CANCEL_WAIT_MS) != WAIT_OBJECT_0)
        static_cast<void>(overlapped.release());  // left to the system, see above
      return 0;
    }
    self->OnSystemChange();
  }
}

void UseAddressPollingForTests(DWORD intervalMs) { g_testPollMs.store(intervalMs); }

void NotifyWatchesForTests() {
  const std::lock_guard<std::mutex> lock(g_watchesMutex);
  for (const CAddressChangeWatch* watch : g_watches) watch->OnSystemChange();
}

}  // namespace vantoric
