#include "app/elevated_restart_win32.h"

#include <shellapi.h>

#include <string>

#include "app/instance_rules.h"
#include "core/netsh_run_win32.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/modal_wait.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

constexpr char kCaption[] = "Restart as administrator";
// How long the new instance is given to show its window.
constexpr DWORD RESTART_WAIT_MS = 120000;
constexpr DWORD POLL_MS = 100;

struct CWindowSearch {
  DWORD m_nProcessId = 0;
  bool m_bFound = false;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lp) {
  auto* pSearch = reinterpret_cast<CWindowSearch*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == pSearch->m_nProcessId && ::IsWindowVisible(hwnd)) {
    pSearch->m_bFound = true;
    return FALSE;
  }
  return TRUE;
}

bool HasVisibleWindow(DWORD processId) {
  CWindowSearch search;
  search.m_nProcessId = processId;
  ::EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.m_bFound;
}

}  // namespace

bool IsRestartAsAdministratorOffered() { return IsShellElevationNeeded(); }

void LetLaterStartsReach(HWND window, UINT message) {
  // ChangeWindowMessageFilterEx (learn.microsoft.com, winuser.h): MSGFLT_ALLOW
  // lets the message through to that window whatever sends it.
  using ChangeFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  constexpr DWORD MESSAGE_FILTER_ALLOW = 1;
  static const auto pfnChangeFilterEx =
      GetSystemFunction<ChangeFilterExFn>(L"user32.dll", "ChangeWindowMessageFilterEx");
  if (window == nullptr || message == 0) return;
  if (pfnChangeFilterEx != nullptr) {
    pfnChangeFilterEx(window, message, MESSAGE_FILTER_ALLOW, nullptr);
    return;
  }
  // Windows Vista has only the process's filter (ChangeWindowMessageFilter,
  // MSGFLT_ADD): it is opened for this one message, without which a later
  // start could not bring this window to the front there.
  using ChangeFilterFn = BOOL(WINAPI*)(UINT, DWORD);
  constexpr DWORD MESSAGE_FILTER_ADD = 1;
  static const auto pfnChangeFilter = GetSystemFunction<ChangeFilterFn>(L"user32.dll", "ChangeWindowMessageFilter");
  if (pfnChangeFilter != nullptr) pfnChangeFilter(message, MESSAGE_FILTER_ADD);
}

bool RestartAsAdministrator(HWND owner) {
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0) {
      ShowMessage(owner, "Vantoric could not be started again: " + GetSystemMessage(::GetLastError()),
                  MB_OK | MB_ICONERROR, kCaption);
      return false;
    }
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }
  using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  const auto pfnShellExecuteEx = GetSystemFunction<ShellExecuteExFn>(L"shell32.dll", "ShellExecuteExW");
  const std::wstring params = Widen(TAKE_OVER_SWITCH);
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  sei.hwnd = owner;
  sei.lpVerb = L"runas";
  sei.lpFile = self.c_str();
  sei.lpParameters = params.c_str();
  sei.nShow = SW_SHOWNORMAL;
  if (pfnShellExecuteEx == nullptr || !pfnShellExecuteEx(&sei)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_CANCELLED)
      ShowMessage(owner, "Vantoric could not be started again: " + GetSystemMessage(error), MB_OK | MB_ICONERROR,
                  kCaption);
    return false;
  }
  if (sei.hProcess == nullptr) return false;
  const CHandle process(sei.hProcess);
  const DWORD processId = ::GetProcessId(process.get());
  const CBusyWindow busy(owner);
  for (DWORD waited = 0; waited < RESTART_WAIT_MS; waited += POLL_MS) {
    if (processId != 0 && HasVisibleWindow(processId)) return true;
    if (WaitPumpingMessages(process.get(), POLL_MS)) {
      ShowMessage(owner, "The new instance ended before its window opened. Vantoric goes on as before.",
                  MB_OK | MB_ICONEXCLAMATION, kCaption);
      return false;
    }
  }
  ShowMessage(owner, "The new instance did not open its window in time. Vantoric goes on as before.",
              MB_OK | MB_ICONEXCLAMATION, kCaption);
  return false;
}

}  // namespace vantoric
