// Running one netsh command line: elevated through the shell, or typed into
// an interactive netsh through a CNetshRunner. Either way the caller learns
// what really happened (CNetshResult, netsh_commands.h).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <mutex>
#include <string>
#include <string_view>

#include "core/netsh_commands.h"
#include "core/redirect_io_win32.h"

namespace vantoric {

// How long a run waits for netsh to end.
constexpr DWORD NETSH_TIMEOUT_MS = 60000;

// The console runner that each window changing the configuration owns: it
// keeps what the child prints, as the bytes arrived.
class CNetshRunner : public CRedirectIO {
 public:
  ~CNetshRunner() override;
  // Returns and forgets the output collected so far.
  std::string TakeOutput();

 protected:
  void OnOutputText(const char* text) override;

 private:
  std::mutex m_mutex;
  std::string m_strOutput;
};

struct CNetshRunOptions {
  // How long to wait for netsh to end, while this thread keeps dispatching
  // its messages.
  DWORD m_nTimeoutMs = NETSH_TIMEOUT_MS;
  // Disabled while waiting, so that the user cannot start a second command
  // from it; also the owner of the elevation prompt.
  HWND m_hOwner = nullptr;
  // The shell launch of the elevated path; tests replace it to make the
  // launch fail as a declined elevation prompt does. nullptr: the shell's
  // ShellExecuteExW, loaded at the first elevated run.
  BOOL(WINAPI* m_pfnShellExecuteEx)(SHELLEXECUTEINFOW*) = nullptr;
};

// The system's netsh: "<system directory>\netsh.exe". Never started by bare
// name, which would find a netsh.exe planted beside this program first.
// Empty when the system directory cannot be read.
std::wstring GetNetshPath();

// True when the address commands must run elevated: Windows major version
// greater than 5.
bool IsElevationNeeded();
// Makes IsElevationNeeded answer as the given major version would; 0 returns
// to asking the system. For tests of the callers.
void SetWindowsMajorVersionForTests(DWORD major);

// True when this program already runs with an administrator's (elevated)
// token, as after "Restart as administrator". False where Windows does not
// tell (version 5.2, where there is no elevation).
bool IsRunningElevated();
// Makes IsRunningElevated answer `state` (0 no, 1 yes); -1 returns to asking
// the system. For tests of the callers.
void SetRunningElevatedForTests(int state);

// Whether a command that wants elevation goes through the shell's "runas"
// verb: elevation is needed (IsElevationNeeded) and this program does not
// have it already.
bool IsShellElevationNeeded();

// Runs one command line (UTF-8) after stopping pRunner's open run, if any:
// netsh is started with the line as its arguments and waited for, at most
// options.m_nTimeoutMs; past that it is ended and the outcome is TimedOut.
// bElevate, while this program is not elevated already: started through the
// shell's "runas" verb, hidden; its words are not visible on this path.
// Otherwise (also for bElevate in an elevated program, which starts netsh
// with the same rights and no prompt) started through pRunner (a temporary
// one when nullptr) with its standard handles redirected; what it prints is
// kept. The line is refused when CheckNetshLine does, while another run of
// this thread is waiting, or while a netsh ended after its time-out has not
// gone yet.
CNetshResult RunNetshCommand(std::string_view commandLine, CNetshRunner* pRunner, bool bElevate,
                             const CNetshRunOptions& options = {});

}  // namespace vantoric
