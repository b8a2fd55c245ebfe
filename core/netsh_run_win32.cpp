#include "core/netsh_run_win32.h"

#include <atomic>
#include <climits>
#include <utility>

#include "framework/handles.h"
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

std::atomic<DWORD> g_testMajorVersion{0};
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
  return result;
}

CNetshResult Ended(DWORD exitCode) {
  CNetshResult result = Outcome(exitCode == 0 ? NetshOutcome::Succeeded : NetshOutcome::NetshFailed);
  result.m_nExitCode = exitCode;
  return result;
}

// The bytes an interactive netsh reads for `utf8`: it reads its input in
// its console's input code page, which for the new console it gets is the
// OEM code page. False when a character has no exact counterpart there: a
// best-fit or default substitute would name another interface.
bool EncodeForConsole(std::string_view utf8, std::string& out) {
  const UINT cp = ::GetOEMCP();
  if (cp == CP_UTF8 || utf8.empty()) {
    out.assign(utf8);
    return true;
  }
  const std::wstring wide = Widen(utf8);
  if (wide.size() > INT_MAX / 4) return false;
  const int wlen = static_cast<int>(wide.size());
  BOOL bUsedDefault = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int need = ::WideCharToMultiByte(cp, flags, wide.data(), wlen, nullptr, 0, nullptr, &bUsedDefault);
  if (need == 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
    // Code pages that take no flags; the round trip below still catches
    // every substitute.
    flags = 0;
    need = ::WideCharToMultiByte(cp, flags, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
  }
  if (need <= 0 || bUsedDefault) return false;
  out.assign(static_cast<size_t>(need), '\0');
  if (::WideCharToMultiByte(cp, flags, wide.data(), wlen, out.data(), need, nullptr,
                            flags != 0 ? &bUsedDefault : nullptr) != need ||
      bUsedDefault) {
    return false;
  }
  const int back = ::MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, out.data(), need, nullptr, 0);
  std::wstring check(static_cast<size_t>(back > 0 ? back : 0), L'\0');
  if (back > 0) ::MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, out.data(), need, check.data(), back);
  return check == wide;
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
  if (!WaitPumpingMessages(process.get(), options.m_nTimeoutMs)) {
    CNetshResult result = Outcome(NetshOutcome::TimedOut);
    result.m_nTimeoutMs = options.m_nTimeoutMs;
    return result;
  }
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.get(), &exitCode)) return LaunchFailure(::GetLastError());
  return Ended(exitCode);
}

CNetshResult RunInConsole(std::string_view line, CNetshRunner& runner, const CNetshRunOptions& options) {
  std::string bytes;
  if (!EncodeForConsole(line, bytes)) return Refusal(NetshRefusal::NotRepresentable);

  runner.TakeOutput();
  if (!runner.Start("\"" + Narrow(GetNetshPath()) + "\"")) return LaunchFailure(::GetLastError());
  if (!runner.SendInput("%s\r\n", bytes.c_str())) {
    const DWORD err = ::GetLastError();
    runner.Stop();
    return LaunchFailure(err);
  }
  // With its input at an end, netsh runs the one line and exits.
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
    // netsh is left to finish on its own: killing it halfway through a
    // change could leave a worse state than letting it end.
    result = Outcome(NetshOutcome::TimedOut);
    result.m_nTimeoutMs = options.m_nTimeoutMs;
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
  wchar_t dir[MAX_PATH] = {};
  const UINT len = ::GetSystemDirectoryW(dir, MAX_PATH);
  std::wstring path = (len > 0 && len < MAX_PATH) ? std::wstring(dir, len) : std::wstring(L"C:\\Windows\\System32");
  return path + L"\\" + Widen(GetNetshVerb(NETSH_PROGRAM)) + L".exe";
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

CNetshResult RunNetshCommand(std::string_view commandLine, CNetshRunner* pRunner, bool bElevate,
                             const CNetshRunOptions& options) {
  // A message dispatched while waiting could start a second command; the
  // first one's runner and window state would be pulled from under it.
  if (t_bRunning) return Refusal(NetshRefusal::Busy);
  if (pRunner != nullptr) pRunner->Stop();
  const NetshRefusal refusal = CheckNetshLine(commandLine);
  if (refusal != NetshRefusal::None) return Refusal(refusal);

  struct CRunningFlag {
    CRunningFlag() { t_bRunning = true; }
    ~CRunningFlag() { t_bRunning = false; }
  } running;
  CNetshResult result;
  if (bElevate) {
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
