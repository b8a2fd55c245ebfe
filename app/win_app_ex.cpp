#include "app/win_app_ex.h"

#include "framework/command_line.h"
#include "framework/utf8.h"

namespace vantoric {

bool CWinAppEx::InitInstance(std::string_view uniqueName) {
  return InitInstance(uniqueName, GetCommandLineArguments());
}

bool CWinAppEx::InitInstance(std::string_view uniqueName, const std::vector<std::string>& args) {
  if (uniqueName.empty()) return true;
  const std::wstring name = Widen(uniqueName);
  m_uCheckInstanceMsg = ::RegisterWindowMessageW(name.c_str());

  ::SetLastError(0);
  m_hInstanceMutex.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
  const DWORD error = ::GetLastError();
  // Access denied: the instance of another logon holds it; that also counts.
  const bool bRunning = (m_hInstanceMutex && error == ERROR_ALREADY_EXISTS) || error == ERROR_ACCESS_DENIED;
  if (!bRunning) return true;

  const CCommandLineInfo info = ParseCommandLine(args);
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileNothing:
      BroadcastToFirstInstance(0);
      return false;
    case CCommandLineInfo::FileOpen:
      BroadcastToFirstInstance(::GlobalAddAtomW(Widen(info.m_strFileName).c_str()));
      return false;
    default:
      return true;  // printing and the like: this instance does the work itself
  }
}

bool CWinAppEx::BroadcastToFirstInstance(ATOM atom) const {
  DWORD recipients = BSM_APPLICATIONS;
  // A 64-bit program always runs on the NT family, where this privilege
  // decides whether other desktops may be reached.
  if (EnableTcbPrivilege()) recipients |= BSM_ALLDESKTOPS;
  const long result = ::BroadcastSystemMessageW(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE | BSF_FORCEIFHUNG,
                                                &recipients, m_uCheckInstanceMsg, atom, 0);
  return result != -1;
}

bool CWinAppEx::EnableTcbPrivilege() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  const CHandle owned(token);
  TOKEN_PRIVILEGES privileges{};
  if (!::LookupPrivilegeValueW(nullptr, L"SeTcbPrivilege", &privileges.Privileges[0].Luid)) return false;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::SetLastError(0);
  // Succeeds with ERROR_NOT_ALL_ASSIGNED when the privilege is not held.
  const BOOL adjusted = ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  return adjusted && ::GetLastError() == 0;
}

bool CWinAppEx::PreTranslateMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (m_uCheckInstanceMsg != 0 && msg == m_uCheckInstanceMsg) return OnAnotherInstance(msg, wp, lp);
  return CApplication::PreTranslateMessage(hwnd, msg, wp, lp);
}

bool CWinAppEx::OnAnotherInstance(UINT /*msg*/, WPARAM wp, LPARAM /*lp*/) {
  const auto atom = static_cast<ATOM>(wp);
  if (atom != 0) {
    m_szAtomName[0] = L'\0';
    ::GlobalGetAtomNameW(atom, m_szAtomName, 256);
    ::GlobalDeleteAtom(atom);
  }
  HWND main = GetMainWnd();
  if (main == nullptr || !::IsWindow(main)) return true;

  // An open dialog of the main window comes to the front with it.
  HWND popup = ::GetLastActivePopup(main);
  if (popup == nullptr) popup = main;
  ::BringWindowToTop(popup);
  if (!::IsWindowVisible(main))
    ::ShowWindow(main, SW_SHOWNORMAL);
  else if (::IsIconic(main))
    ::ShowWindow(main, SW_RESTORE);
  ::BringWindowToTop(popup);
  ::SetForegroundWindow(popup);
  return true;
}

std::string CWinAppEx::GetLastAnotherInstanceFile() const { return Narrow(m_szAtomName); }

}  // namespace vantoric
