#include "app/win_app_ex.h"

#include "app/elevated_restart_win32.h"
#include "app/instance_rules.h"
#include "framework/command_line.h"
#include "framework/message_box.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

// A later start hands over its file as a full path: the running instance
// has a current folder of its own, and takes nothing else.
std::wstring FullPath(const std::string& file) {
  const std::wstring wide = Widen(file);
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return wide;
  full.resize(length);
  return full;
}

}  // namespace

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
  // Started by "Restart as administrator": the instance that started it ends
  // once this one is up, and this one holds the name from now on. Its mutex
  // is the earlier instance's, open to starts without elevation, whose
  // message the system would drop on its way up to this elevated one unless
  // let through to its main window, once that is there (the message is
  // checked when it comes).
  if (IsTakeOverStart(args)) {
    m_bTookOver = true;
    return true;
  }
  // Access denied: an instance with other rights holds it (an elevated one,
  // or another user's); the system drops a message to its windows.
  const bool bUnreachable = error == ERROR_ACCESS_DENIED;
  if (!bUnreachable && !(m_hInstanceMutex && error == ERROR_ALREADY_EXISTS)) return true;

  const CCommandLineInfo info = ParseCommandLine(args);
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileNothing:
    case CCommandLineInfo::FileOpen:
      break;
    default:
      return true;  // printing and the like: this instance does the work itself
  }
  if (bUnreachable) {
    ShowMessage(nullptr,
                GetAppName() + " is already running with other rights. Switch to its window, or close it first.",
                MB_OK | MB_ICONEXCLAMATION, GetAppName());
    return false;
  }
  const bool bFile = info.m_nShellCommand == CCommandLineInfo::FileOpen;
  BroadcastToFirstInstance(bFile ? ::GlobalAddAtomW(FullPath(info.m_strFileName).c_str()) : 0);
  return false;
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
  if (msg == WM_INITDIALOG && m_bTookOver) LetLaterStartsReach(hwnd, m_uCheckInstanceMsg);
  if (m_uCheckInstanceMsg != 0 && msg == m_uCheckInstanceMsg) return OnAnotherInstance(msg, wp, lp);
  return CApplication::PreTranslateMessage(hwnd, msg, wp, lp);
}

bool CWinAppEx::OnAnotherInstance(UINT /*msg*/, WPARAM wp, LPARAM /*lp*/) {
  const auto atom = static_cast<ATOM>(wp);
  wchar_t name[256] = {};
  // Anyone may send this message: only an atom that a later start added is
  // taken and deleted, never one that another program holds.
  if (atom != 0 && ::GlobalGetAtomNameW(atom, name, 256) > 0 && IsHandedOverFileName(Narrow(name))) {
    m_strAnotherInstanceFile = Narrow(name);
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

std::string CWinAppEx::GetLastAnotherInstanceFile() const { return m_strAnotherInstanceFile; }

}  // namespace vantoric
