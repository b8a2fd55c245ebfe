// Running netsh command lines against the recording stand-in installed as the
// prefix's system netsh.exe: both paths, every layout, names outside ASCII,
// failures, a hanging netsh, a refused elevation and unsafe lines.
#include "core/netsh_run_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/message_box.h"
#include "framework/utf8.h"
#include "tests/native/netsh_test_printers.h"
#include "tests/win/framework_tests_ids.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_standin_support.h"

namespace vantoric {
namespace {

// Wine's own token is elevated: the elevated path goes through the shell
// here unless a test says otherwise, as for a user who is not elevated.
class CNotElevated : public ::testing::Environment {
 public:
  void SetUp() override { SetRunningElevatedForTests(0); }
  void TearDown() override { SetRunningElevatedForTests(-1); }
};
const ::testing::Environment* const g_pNotElevated = ::testing::AddGlobalTestEnvironment(new CNotElevated);

using test::CNetshStandin;
// Every test here starts netsh, or this program with a changed setting.
using NetshRun = test::CNetshStandinTest;

// Started by ElevationFollowsTheSystemsVersion as its probe: answers through
// the exit code before any test runs.
const bool g_bVersionProbe = [] {
  if (::GetEnvironmentVariableW(L"VANTORIC_TEST_VERSION_PROBE", nullptr, 0) != 0) {
    ::ExitProcess(IsElevationNeeded() ? 11 : 10);
  }
  return false;
}();

const std::string kName = "Local Area Connection 2";

TEST_F(NetshRun, EveryLayoutReachesNetshOnBothPaths) {
  CNetshStandin standin("every-layout");
  const struct {
    const char* command;
    std::string line;
  } cases[] = {
      {"add address", FormatAddAddressCommand(kName, "2001:db8::1", "unicast", "1d2h3m4s", "infinite", "persistent")},
      {"set address", FormatSetAddressCommand(kName, "2001:db8::1", "anycast", "infinite", "10m")},
      {"delete address", FormatDeleteAddressCommand(kName, "2001:db8::1")},
      {"add dns", FormatAddDnsCommand(kName, "2001:db8::53", "2")},
      {"delete dns", FormatDeleteDnsCommand(kName, "2001:db8::53")},
  };
  CNetshRunner runner;
  for (const auto& c : cases) {
    for (const bool elevate : {true, false}) {
      SCOPED_TRACE(std::string(c.command) + (elevate ? ", elevated" : ", console"));
      standin.ClearLog();
      const CNetshResult result = RunNetshCommand(c.line, &runner, elevate);
      EXPECT_EQ(result.m_outcome, NetshOutcome::Succeeded);
      EXPECT_EQ(result.m_nExitCode, 0u);
      EXPECT_EQ(standin.ReadLog(), elevate ? CNetshStandin::RunLog(c.line) : CNetshStandin::RunLog(c.line));
      EXPECT_EQ(runner.GetChildProcess(), nullptr) << "the run is closed";
    }
  }
  // Without a runner of its own the console path uses a temporary one.
  standin.ClearLog();
  const std::string line = FormatDeleteDnsCommand(kName, "2001:db8::53");
  EXPECT_TRUE(RunNetshCommand(line, nullptr, false).Succeeded());
  EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(line));
}

// A name outside ASCII that the console's code page (the OEM one) holds.
const char* NameForConsoleCodePage() {
  switch (::GetOEMCP()) {
    case 437: case 850: case 858: case 863: return "R\xC3\xA9seau \xC3\xA9t\xC3\xA9 2";
    case 866: case 855: return "\xD0\x9F\xD0\xBE\xD0\xB4\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 2";
    case 932: case 936: case 950: return "\xE6\x9C\xAC\xE5\x9C\xB0 2";
    case 65001: return "\xE2\x82\xAC \xF0\x9F\x96\xA7";
    default: return nullptr;
  }
}

TEST_F(NetshRun, NamesOutsideAsciiReachNetshUnchanged) {
  CNetshStandin standin("non-ascii");
  // The arguments travel as UTF-16 on both paths, so any name goes, also
  // one that no console code page holds.
  const std::string wide = FormatDeleteAddressCommand(
      "\xD0\x9F\xD0\xBE\xD0\xB4\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 \xF0\x9F\x96\xA7 "
      "\xE6\x9C\xAC\xE5\x9C\xB0 \xC5\x81\xC3\xB3\xC4\x91\xC5\xBA",
      "2001:db8::1");
  for (const bool elevate : {true, false}) {
    standin.ClearLog();
    const CNetshResult result = RunNetshCommand(wide, nullptr, elevate);
    EXPECT_TRUE(result.Succeeded()) << DescribeNetshResult(result);
    EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(wide)) << (elevate ? "elevated" : "console");
  }
}

TEST_F(NetshRun, AFailingNetshIsReportedWithItsExitCodeAndWords) {
  CNetshStandin standin("failing");
  const std::string line = FormatAddDnsCommand(kName, "2001:db8::53", "1");
  const char* name = NameForConsoleCodePage();
  ASSERT_NE(name, nullptr) << "no sample name for OEM code page " << ::GetOEMCP();
  const std::string words = std::string("The object already exists: ") + name;
  // The exit code is the command's own: an interactive netsh that was typed
  // this line might have ended with 0.
  standin.SetAnswer(words + "\\r\\n");
  standin.SetExitCode(1);

  const CNetshResult console = RunNetshCommand(line, nullptr, false);
  EXPECT_EQ(console.m_outcome, NetshOutcome::NetshFailed);
  EXPECT_EQ(console.m_nExitCode, 1u);
  EXPECT_EQ(console.m_strOutput, words + "\r\n") << "decoded from the console's code page";
  EXPECT_NE(DescribeNetshResult(console).find("exit code 1"), std::string::npos);
  EXPECT_NE(DescribeNetshResult(console).find(words), std::string::npos);
  EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(line, 1));

  standin.ClearLog();
  standin.SetExitCode(0x80004005);
  const CNetshResult elevated = RunNetshCommand(line, nullptr, true);
  EXPECT_EQ(elevated.m_outcome, NetshOutcome::NetshFailed);
  EXPECT_EQ(elevated.m_nExitCode, 0x80004005u);
  EXPECT_EQ(elevated.m_strOutput, "") << "an elevated netsh's words cannot be read";
  EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(line, 0x80004005));

}

// A window that stands for the calling dialog while netsh is awaited.
class CWaitProbe {
 public:
  CWaitProbe() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CWaitProbe::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantoricNetshWaitProbe";
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetTimer(m_hwnd, 1, 25, nullptr);
    ::PostMessageW(m_hwnd, WM_APP, 0, 0);
  }
  ~CWaitProbe() { ::DestroyWindow(m_hwnd); }
  HWND hwnd() const { return m_hwnd; }

  int ticks = 0;
  int ticksWhileEnabled = 0;
  bool postedSeen = false;
  std::vector<CNetshResult> nested;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CWaitProbe*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg == WM_APP) self->postedSeen = true;
    if (self != nullptr && msg == WM_TIMER) {
      ++self->ticks;
      if (::IsWindowEnabled(hwnd)) ++self->ticksWhileEnabled;
      // A second command started from a message handled during the wait.
      if (self->ticks == 2) self->nested.push_back(RunNetshCommand("interface ipv6 show dns", nullptr, false));
      return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }

  HWND m_hwnd = nullptr;
};

TEST_F(NetshRun, AHangingNetshTimesOutWhileTheWindowStaysResponsive) {
  CNetshStandin standin("hanging");
  standin.SetHangMs(2000);
  const std::string line = FormatDeleteAddressCommand(kName, "2001:db8::1");
  for (const bool elevate : {true, false}) {
    SCOPED_TRACE(elevate ? "elevated" : "console");
    standin.ClearLog();
    CWaitProbe probe;
    ASSERT_NE(probe.hwnd(), nullptr);
    CNetshRunOptions options;
    options.m_nTimeoutMs = 300;
    options.m_hOwner = probe.hwnd();
    CNetshRunner runner;
    const ULONGLONG start = ::GetTickCount64();
    const CNetshResult result = RunNetshCommand(line, &runner, elevate, options);
    const ULONGLONG took = ::GetTickCount64() - start;

    EXPECT_EQ(result.m_outcome, NetshOutcome::TimedOut);
    EXPECT_EQ(result.m_nTimeoutMs, 300u);
    EXPECT_GE(took, 300u);
    EXPECT_LT(took, 1500u) << "the bound held";
    EXPECT_TRUE(probe.postedSeen) << "messages were dispatched during the wait";
    EXPECT_GE(probe.ticks, 3);
    EXPECT_EQ(probe.ticksWhileEnabled, 0) << "the owner was disabled while waiting";
    EXPECT_TRUE(::IsWindowEnabled(probe.hwnd())) << "and enabled again";
    ASSERT_EQ(probe.nested.size(), 1u);
    EXPECT_EQ(probe.nested[0].m_outcome, NetshOutcome::Refused);
    EXPECT_EQ(probe.nested[0].m_refusal, NetshRefusal::Busy);
    EXPECT_EQ(runner.GetChildProcess(), nullptr);

    // netsh was ended before it could answer: the change it was given
    // does not happen later behind the user's back.
    const std::string started = "cmdline: \"" + CNetshStandin::NetshPath() + "\" " + line + "\r\n";
    EXPECT_EQ(standin.ReadLog(), started);
    standin.SetHangMs(0);
    EXPECT_TRUE(RunNetshCommand(line, &runner, elevate).Succeeded()) << "the next command is not held up";
    EXPECT_EQ(standin.ReadLog(), started + CNetshStandin::RunLog(line));
    standin.SetHangMs(2000);
  }
}

// The host's dialog resources come from the test's own template.
class CFocusHost : public CDialog {
 public:
  CFocusHost() : CDialog(IDD_TEST_HOST) {}
};

TEST_F(NetshRun, TheFocusReturnsToItsControlWhenTheWaitEnds) {
  test::CGuiTestScope scope("Vantoric Netsh Run Tests");
  CNetshStandin standin("focus");
  standin.SetHangMs(2000);
  const std::string line = FormatDeleteAddressCommand(kName, "2001:db8::1");
  CFocusHost host;
  ASSERT_NE(host.Create(nullptr), nullptr);
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);
  ::SetForegroundWindow(host.GetSafeHwnd());
  HWND other = host.GetDlgItem(IDC_TEST_BUTTON);
  for (const bool elevate : {true, false}) {
    SCOPED_TRACE(elevate ? "elevated" : "console");
    host.SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(other), TRUE);
    ASSERT_EQ(::GetFocus(), other);
    CNetshRunOptions options;
    options.m_nTimeoutMs = 300;
    options.m_hOwner = host.GetSafeHwnd();
    CNetshRunner runner;
    EXPECT_EQ(RunNetshCommand(line, &runner, elevate, options).m_outcome, NetshOutcome::TimedOut);
    EXPECT_TRUE(::IsWindowEnabled(host.GetSafeHwnd()));
    EXPECT_EQ(::GetFocus(), other) << "the control that had the focus has it again";
    standin.ClearLog();
  }
  host.DestroyWindow();
}

// The cursor that the test host's button asks for when the mouse is over it,
// as the system asks (the dialog is disabled meanwhile), and what each tick
// of a timer during the wait got.
HWND g_hoveredButton = nullptr;
std::vector<HCURSOR> g_cursorsDuringWait;
HCURSOR HoverButton() {
  ::SetCursor(nullptr);
  ::SendMessageW(g_hoveredButton, WM_SETCURSOR, reinterpret_cast<WPARAM>(g_hoveredButton),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor();
}
void CALLBACK HoverTick(HWND, UINT, UINT_PTR, DWORD) { g_cursorsDuringWait.push_back(HoverButton()); }

TEST_F(NetshRun, TheWaitCursorShowsOverTheWindowWhileACommandRuns) {
  test::CGuiTestScope scope("Vantoric Netsh Run Tests");
  CNetshStandin standin("cursor");
  standin.SetHangMs(2000);
  CFocusHost host;
  ASSERT_NE(host.Create(nullptr), nullptr);
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);
  g_hoveredButton = host.GetDlgItem(IDC_TEST_BUTTON);
  const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  ASSERT_EQ(HoverButton(), arrow) << "before the command";
  for (const bool elevate : {true, false}) {
    SCOPED_TRACE(elevate ? "elevated" : "console");
    g_cursorsDuringWait.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 40, &HoverTick);
    CNetshRunOptions options;
    options.m_nTimeoutMs = 300;
    options.m_hOwner = host.GetSafeHwnd();
    CNetshRunner runner;
    EXPECT_EQ(RunNetshCommand(FormatDeleteAddressCommand(kName, "2001:db8::1"), &runner, elevate, options).m_outcome,
              NetshOutcome::TimedOut);
    ::KillTimer(nullptr, timer);
    EXPECT_GE(g_cursorsDuringWait.size(), 2u);
    for (const HCURSOR cursor : g_cursorsDuringWait) EXPECT_EQ(cursor, wait) << "while netsh runs";
    EXPECT_EQ(HoverButton(), arrow) << "after it";
    standin.ClearLog();
  }
  host.DestroyWindow();
}

struct FakeShell {
  static inline DWORD error = 0;
  static inline std::vector<std::wstring> calls;
  static BOOL WINAPI Launch(SHELLEXECUTEINFOW* info) {
    calls.push_back(std::wstring(info->lpVerb) + L"|" + info->lpFile + L"|" + info->lpParameters + L"|" +
                    std::to_wstring(info->nShow) + L"|" +
                    std::to_wstring((info->fMask & SEE_MASK_NOCLOSEPROCESS) != 0));
    info->hProcess = nullptr;
    if (error == 0) return TRUE;
    ::SetLastError(error);
    return FALSE;
  }
};

TEST_F(NetshRun, AFailedElevatedLaunchIsToldApartFromARefusal) {
  CNetshStandin standin("launch-failure");
  const std::string line = FormatDeleteAddressCommand(kName, "2001:db8::1");
  CNetshRunOptions options;
  options.m_pfnShellExecuteEx = &FakeShell::Launch;
  const struct {
    const char* what;
    DWORD error;
    NetshOutcome outcome;
    DWORD reported;
    std::string systemText;  // the system's words for the error, which the messages give
  } cases[] = {
      {"prompt declined", ERROR_CANCELLED, NetshOutcome::ElevationRefused, ERROR_CANCELLED, ""},
      {"program missing", ERROR_FILE_NOT_FOUND, NetshOutcome::LaunchFailed, ERROR_FILE_NOT_FOUND,
       GetSystemMessage(ERROR_FILE_NOT_FOUND)},
      {"no process handle", 0, NetshOutcome::LaunchFailed, ERROR_INVALID_HANDLE,
       GetSystemMessage(ERROR_INVALID_HANDLE)},
  };
  for (const auto& c : cases) {
    FakeShell::error = c.error;
    FakeShell::calls.clear();
    const CNetshResult result = RunNetshCommand(line, nullptr, true, options);
    EXPECT_EQ(result.m_outcome, c.outcome) << c.what;
    EXPECT_EQ(result.m_nSystemError, c.reported) << c.what;
    EXPECT_EQ(result.m_strSystemText, c.systemText) << c.what;
    EXPECT_FALSE(result.Succeeded()) << c.what;
    EXPECT_EQ(FakeShell::calls, std::vector<std::wstring>{L"runas|" + GetNetshPath() + L"|" + Widen(line) + L"|0|1"})
        << c.what;
  }
  EXPECT_FALSE(standin.LogExists());
}

TEST_F(NetshRun, AnElevatedProgramRunsNetshDirectlyAndReadsItsWords) {
  CNetshStandin standin("already-elevated");
  standin.SetAnswer("Ok.");
  const std::string line = FormatDeleteAddressCommand(kName, "2001:db8::1");
  CNetshRunOptions options;
  options.m_pfnShellExecuteEx = &FakeShell::Launch;
  FakeShell::error = ERROR_CANCELLED;
  CNetshRunner runner;
  const struct {
    int elevated;
    std::size_t shellCalls;
    bool bWords;
    const char* what;
  } cases[] = {
      {1, 0, true, "already elevated: the same rights without a prompt, and netsh's words"},
      {0, 1, false, "not elevated: through the shell's prompt, as before"},
  };
  for (const auto& c : cases) {
    SetRunningElevatedForTests(c.elevated);
    FakeShell::calls.clear();
    const CNetshResult result = RunNetshCommand(line, &runner, true, options);
    EXPECT_EQ(FakeShell::calls.size(), c.shellCalls) << c.what;
    EXPECT_EQ(result.m_strOutput.find("Ok.") != std::string::npos, c.bWords) << c.what;
  }
  SetRunningElevatedForTests(0);
  EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(line)) << "netsh ran once, on the direct path";
}

TEST_F(NetshRun, UnsafeLinesAreRefusedBeforeNetshStarts) {
  CNetshStandin standin("unsafe");
  const std::string bare = FormatDeleteAddressCommand("", "2001:db8::1");
  const std::string longest = FormatDeleteAddressCommand(std::string(255 - bare.size(), 'n'), "2001:db8::1");
  const std::string tooLong = FormatDeleteAddressCommand(std::string(256 - bare.size(), 'n'), "2001:db8::1");
  ASSERT_EQ(longest.size(), 255u);
  const struct {
    const char* what;
    std::string line;
    NetshRefusal refusal;
  } cases[] = {
      {"256 characters", tooLong, NetshRefusal::LineTooLong},
      {"quote in the name", FormatDeleteAddressCommand("Eth\" 2001:db8::2 \"x", "2001:db8::1"),
       NetshRefusal::QuoteInValue},
      {"LF in the name", FormatDeleteAddressCommand("eth0\ninterface ipv6 reset", "2001:db8::1"),
       NetshRefusal::ControlCharacter},
      {"CR in the name", FormatDeleteAddressCommand("eth0\rinterface ipv6 reset", "2001:db8::1"),
       NetshRefusal::ControlCharacter},
  };
  CNetshRunner runner;
  for (const auto& c : cases) {
    for (const bool elevate : {true, false}) {
      const CNetshResult result = RunNetshCommand(c.line, &runner, elevate);
      EXPECT_EQ(result.m_outcome, NetshOutcome::Refused) << c.what;
      EXPECT_EQ(result.m_refusal, c.refusal) << c.what;
    }
  }
  EXPECT_FALSE(standin.LogExists()) << "no netsh was started";

  // The longest line that is run goes whole.
  for (const bool elevate : {true, false}) {
    standin.ClearLog();
    EXPECT_TRUE(RunNetshCommand(longest, &runner, elevate).Succeeded());
    EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog(longest));
  }
}

TEST_F(NetshRun, ElevationFollowsTheSystemsVersion) {
  // The test prefix reports Windows 7.
  EXPECT_TRUE(IsElevationNeeded());
  SetWindowsMajorVersionForTests(5);
  EXPECT_FALSE(IsElevationNeeded());
  SetWindowsMajorVersionForTests(6);
  EXPECT_TRUE(IsElevationNeeded());
  SetWindowsMajorVersionForTests(0);
  EXPECT_TRUE(IsElevationNeeded());

  // This program again, told by Wine that it runs on a version-5 system.
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring exe = self;
  exe = exe.substr(exe.find_last_of(L"\\/") + 1);
  const std::wstring key = L"Software\\Wine\\AppDefaults\\" + exe;
  const wchar_t version[] = L"winxp64";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version, sizeof version),
            ERROR_SUCCESS);
  ::SetEnvironmentVariableW(L"VANTORIC_TEST_VERSION_PROBE", L"1");
  std::wstring cmd = L"\"" + std::wstring(self) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  ::SetEnvironmentVariableW(L"VANTORIC_TEST_VERSION_PROBE", nullptr);
  DWORD code = 0;
  if (started) {
    ::WaitForSingleObject(pi.hProcess, 30000);
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  ASSERT_TRUE(started);
  EXPECT_EQ(code, 10u) << "IsElevationNeeded is false on a version-5 system";
}

}  // namespace
}  // namespace vantoric
