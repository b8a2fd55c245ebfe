#include "core/netsh_run_win32.h"

#include <atomic>
#include <climits>
#include <utility>

#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/modal_wait.h"
#include "framework/system_library.h"
#include "framework/utf8.h"

namespace vantoric {

namespace {

// After the child has ended, the reader thread hands over its last output
// within one poll; this much time is allowed for it even when the run's own
// bound has passed meanwhile.
constexpr DWORD READER_GRACE_MS = 2000;
// Collected output beyond this is dropped: netsh answers in a few lines.
constexpr size_t MAX_OUTPUT_BYTES = 64 * 1024;
// How long a netsh that was ended after its time-out is given to go.
constexpr DWORD NETSH_END_WAIT_MS = 5000;

std::atomic<DWORD> g_testMajorVersion{0};
std::atomic<int> g_testElevated{-1};
thread_local bool t_bRunning = false;

CNetshResult Outcome(NetshOutcome outcome) {
  CNetshResult result;
  result.m_outcome = outcome;
  return result;
}

CNetshResult Refusal(NetshRefusal refusal) {
  CNetshResult result = Outcome(NetshOutcome::Refused);
  result.m_refusal = refusal;
  return result;
}

CNetshResult LaunchFailure(DWORD err) {
  CNetshResult result =
      Outcome(err == ERROR_CANCELLED ? NetshOutcome::ElevationRefused : NetshOutcome::LaunchFailed);
  result.m_nSystemError = err;
  // The system's words for the error, for the texts that give its number;
  // none when Windows has no text for it (the number alone then stands).
  const std::string words = GetSystemMessage(err);
  if (result.m_outcome == NetshOutcome::LaunchFailed && words != "Error " + std::to_string(err) + ".")
    result.m_strSystemText = words;
  return result;
}

// A netsh that was ended after its time-out but has not gone yet: no second
// command starts while it may still be changing the configuration. One per
// process, as the commands of every window share the one machine.
CHandle& UnfinishedNetsh() {
  static CHandle unfinished;
  return unfinished;
}

bool IsNetshStillRunning() {
  CHandle& unfinished = UnfinishedNetsh();
  if (unfinished && ::WaitForSingleObject(unfinished.get(), 0) == WAIT_TIMEOUT) return true;
  unfinished.reset();
  return false;
}

// A run past its time limit: netsh is ended, since a command that the user
// was told had failed must not go on to change the machine later.
CNetshResult TimedOut(HANDLE process, const CNetshRunOptions& options) {
  CNetshResult result = Outcome(NetshOutcome::TimedOut);
  result.m_nTimeoutMs = options.m_nTimeoutMs;
  // Ended only when the end was asked for and the process is gone: a
  // process that outlives the request may still change the machine.
  const bool bAsked = ::TerminateProcess(process, ERROR_TIMEOUT) != 0;
  result.m_bEnded = bAsked && ::WaitForSingleObject(process, NETSH_END_WAIT_MS) == WAIT_OBJECT_0;
  if (!result.m_bEnded && ::WaitForSingleObject(process, 0) != WAIT_OBJECT_0) {
    HANDLE copy = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), process, ::GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
      UnfinishedNetsh().reset(copy);
  }
  return result;
}

CNetshResult Ended(DWORD exitCode) {
  CNetshResult result = Outcome(exitCode == 0 ? NetshOutcome::Succeeded : NetshOutcome::NetshFailed);
  result.m_nExitCode = exitCode;
  return result;
}

// netsh's output, written in its console's (OEM) code page, as UTF-8.
std::string DecodeConsoleOutput(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const UINT cp = ::GetOEMCP();
  const int len = static_cast<int>(bytes.size());
  const int need = ::MultiByteToWideChar(cp, 0, bytes.data(), len, nullptr, 0);
  if (need <= 0) return {};
  std::wstring wide(static_cast<size_t>(need), L'\0');
  ::MultiByteToWideChar(cp, 0, bytes.data(), len, wide.data(), need);
  return Narrow(wide);
}

// The shell's ShellExecuteExW; shell32 is loaded at the first elevated run.
BOOL WINAPI ShellExecuteExLoaded(SHELLEXECUTEINFOW* sei) {
  using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  static const auto pfnShellExecuteEx = GetSystemFunction<ShellExecuteExFn>(L"shell32.dll", "ShellExecuteExW");
  if (pfnShellExecuteEx == nullptr) {
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  return pfnShellExecuteEx(sei);
}

CNetshResult RunElevated(std::string_view line, const CNetshRunOptions& options) {
  const std::wstring file = GetNetshPath();
  const std::wstring params = Widen(line);
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  sei.hwnd = options.m_hOwner;
  sei.lpVerb = L"runas";
  sei.lpFile = file.c_str();
  sei.lpParameters = params.c_str();
  sei.nShow = SW_HIDE;
  const auto launch = options.m_pfnShellExecuteEx ? options.m_pfnShellExecuteEx : &ShellExecuteExLoaded;
  if (!launch(&sei)) return LaunchFailure(::GetLastError());
  // Always set for a program started with SEE_MASK_NOCLOSEPROCESS; without
  // it the outcome could not be learned.
  if (sei.hProcess == nullptr) return LaunchFailure(ERROR_INVALID_HANDLE);
  const CHandle process(sei.hProcess);

  const CBusyWindow busy(options.m_hOwner);
  if (!WaitPumpingMessages(process.get(), options.m_nTimeoutMs)) return TimedOut(process.get(), options);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.get(), &exitCode)) return LaunchFailure(::GetLastError());
  return Ended(exitCode);
}

CNetshResult RunInConsole(std::string_view line, CNetshRunner& runner, const CNetshRunOptions& options) {
  runner.TakeOutput();
  // The line goes as netsh's arguments, as on the elevated path: netsh then
  // runs that one command and its exit code is the command's own (an
  // interactive netsh that was typed a failing line may still end with 0).
  // The arguments travel as UTF-16, so any interface name arrives unchanged.
  if (!runner.Start("\"" + Narrow(GetNetshPath()) + "\" " + std::string(line)))
    return LaunchFailure(::GetLastError());
  // netsh reads nothing for a command given as arguments; should it ask
  // anything, it meets the end of its input instead of waiting for a user.
  runner.CloseInput();

  const CBusyWindow busy(options.m_hOwner);
  const DWORD start = ::GetTickCount();
  CNetshResult result;
  if (WaitPumpingMessages(runner.GetChildProcess(), options.m_nTimeoutMs)) {
    const DWORD elapsed = ::GetTickCount() - start;
    const DWORD left = elapsed < options.m_nTimeoutMs ? options.m_nTimeoutMs - elapsed : 0;
    WaitPumpingMessages(runner.GetReaderThread(), left > READER_GRACE_MS ? left : READER_GRACE_MS);
    DWORD exitCode = 0;
    result = ::GetExitCodeProcess(runner.GetChildProcess(), &exitCode) ? Ended(exitCode)
                                                                        : LaunchFailure(::GetLastError());
  } else {
    result = TimedOut(runner.GetChildProcess(), options);
  }
  runner.Stop();
  result.m_strOutput = DecodeConsoleOutput(runner.TakeOutput());
  return result;
}

}  // namespace

CNetshRunner::~CNetshRunner() { Stop(); }

std::string CNetshRunner::TakeOutput() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return std::exchange(m_strOutput, std::string());
}

void CNetshRunner::OnOutputText(const char* text) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  if (m_strOutput.size() < MAX_OUTPUT_BYTES) m_strOutput.append(text);
}

std::wstring GetNetshPath() {
  const std::wstring folder = GetSystemFolder();
  if (folder.empty()) return {};
  return folder + L"\\" + Widen(GetNetshVerb(NETSH_PROGRAM)) + L".exe";
}

bool IsElevationNeeded() {
  DWORD major = g_testMajorVersion.load();
  if (major == 0) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // the major version is what is asked for
#endif
    if (!::GetVersionExW(&info)) return true;
    major = info.dwMajorVersion;
  }
  return major > 5;
}

void SetWindowsMajorVersionForTests(DWORD major) { g_testMajorVersion.store(major); }

bool IsRunningElevated() {
  const int state = g_testElevated.load();
  if (state >= 0) return state != 0;
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const CHandle owned(token);
  // TOKEN_ELEVATION of the TokenElevation class (20); Windows 5.2 refuses
  // the class.
  constexpr int TOKEN_ELEVATION_CLASS = 20;
  DWORD elevated = 0;
  DWORD size = 0;
  return ::GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(TOKEN_ELEVATION_CLASS), &elevated,
                               sizeof elevated, &size) &&
         elevated != 0;
}

void SetRunningElevatedForTests(int state) { g_testElevated.store(state); }

bool IsShellElevationNeeded() { return IsElevationNeeded() && !IsRunningElevated(); }

CNetshResult RunNetshCommand(std::string_view commandLine, CNetshRunner* pRunner, bool bElevate,
                             const CNetshRunOptions& options) {
  // A message dispatched while waiting could start a second command; the
  // first one's runner and window state would be pulled from under it.
  if (t_bRunning || IsNetshStillRunning()) return Refusal(NetshRefusal::Busy);
  if (pRunner != nullptr) pRunner->Stop();
  const NetshRefusal refusal = CheckNetshLine(commandLine);
  if (refusal != NetshRefusal::None) return Refusal(refusal);
  // No guess at where Windows lives: a netsh elsewhere could be anyone's.
  if (GetNetshPath().empty()) return Refusal(NetshRefusal::NoSystemFolder);

  struct CRunningFlag {
    CRunningFlag() { t_bRunning = true; }
    ~CRunningFlag() { t_bRunning = false; }
  } running;
  CNetshResult result;
  if (bElevate && !IsRunningElevated()) {
    result = RunElevated(commandLine, options);
  } else if (pRunner != nullptr) {
    result = RunInConsole(commandLine, *pRunner, options);
  } else {
    CNetshRunner runner;
    result = RunInConsole(commandLine, runner, options);
  }
  return result;
}

}  // namespace vantoric
