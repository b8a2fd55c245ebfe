// Start-up and the single instance: the command line, the instance check
// (also against an instance with other rights), the first instance's answer
// (which deletes only a later start's atom), and the real program started
// twice in one prefix (a second start ends at once and brings the first
// window forward; the window's size is remembered by closing, not by Exit)
// and from a folder where a library of a system library's name was planted.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/vantoric_app.h"
#include "app/win_app_ex.h"
#include "controls/ipv6_control_win32.h"
#include "framework/command_line.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_standin_support.h"

namespace vantoric {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ShellCommandsAndFileName) {
  struct Case {
    const char* name;
    Args args;
    CCommandLineInfo::EShellCommand command;
    std::string file;
  };
  const Case cases[] = {
      {"nothing", {}, CCommandLineInfo::FileNew, ""},
      {"one file", {"C:\\data\\a b.txt"}, CCommandLineInfo::FileOpen, "C:\\data\\a b.txt"},
      {"two files: the first", {"a.txt", "b.txt"}, CCommandLineInfo::FileOpen, "a.txt"},
      {"print", {"/p", "a.txt"}, CCommandLineInfo::FilePrint, "a.txt"},
      {"print, dash and upper case", {"-P", "a.txt"}, CCommandLineInfo::FilePrint, "a.txt"},
      {"print to", {"/pt", "a.txt", "printer", "driver", "port"}, CCommandLineInfo::FilePrintTo, "a.txt"},
      {"dde", {"/dde"}, CCommandLineInfo::FileDDE, ""},
      {"embedding", {"/Embedding"}, CCommandLineInfo::FileNothing, ""},
      {"automation", {"-Automation"}, CCommandLineInfo::FileNothing, ""},
      {"register", {"/regserver"}, CCommandLineInfo::AppRegister, ""},
      {"unregister", {"/Unregister"}, CCommandLineInfo::AppUnregister, ""},
      {"unknown flag", {"/verbose"}, CCommandLineInfo::FileNew, ""},
      {"unknown flag and file", {"/verbose", "a.txt"}, CCommandLineInfo::FileOpen, "a.txt"},
  };
  for (const Case& c : cases) {
    const CCommandLineInfo info = ParseCommandLine(c.args);
    EXPECT_EQ(info.m_nShellCommand, c.command) << c.name;
    EXPECT_EQ(info.m_strFileName, c.file) << c.name;
  }
  const CCommandLineInfo printTo = ParseCommandLine({"/pt", "a.txt", "printer", "driver", "port"});
  EXPECT_EQ(printTo.m_strPrinterName, "printer");
  EXPECT_EQ(printTo.m_strDriverName, "driver");
  EXPECT_EQ(printTo.m_strPortName, "port");
}

// A later start's arguments and whether that start goes on by itself.
struct StartCase {
  const char* name;
  Args args;
  bool starts;
};

class CTestInstanceApp : public CWinAppEx {
 public:
  explicit CTestInstanceApp(const char* name = "Instance") : CWinAppEx(name) {}
  bool InitInstance() override { return false; }
  using CWinAppEx::InitInstance;
};

// A name of this test run only, so that no other program takes part.
std::string UniqueTestName() {
  return "Vantoric.InstanceTest." + std::to_string(::GetCurrentProcessId());
}

TEST(SingleInstance, FirstStartsAndLaterOnesAreToldToEnd) {
  const std::string name = UniqueTestName();
  CTestInstanceApp first;
  EXPECT_TRUE(first.InitInstance(name, {})) << "first instance";
  EXPECT_NE(first.GetCheckInstanceMessage(), 0u);
  EXPECT_EQ(first.GetCheckInstanceMessage(), ::RegisterWindowMessageW(Widen(name).c_str()));

  const StartCase cases[] = {
      {"no arguments", {}, false},
      {"a file", {"C:\\later start.txt"}, false},
      {"embedding", {"/Embedding"}, false},
      {"print", {"/p", "C:\\later start.txt"}, true},
      {"dde", {"/dde"}, true},
      {"restarted as administrator: takes the role over", {"/takeover"}, true},
  };
  for (const StartCase& c : cases) {
    CTestInstanceApp later;
    EXPECT_EQ(later.InitInstance(name, c.args), c.starts) << c.name;
    EXPECT_EQ(later.GetCheckInstanceMessage(), first.GetCheckInstanceMessage()) << c.name;
  }
  // The file start left its name as a global atom for the first instance.
  const ATOM atom = ::GlobalFindAtomW(L"C:\\later start.txt");
  EXPECT_NE(atom, 0);
  ::GlobalDeleteAtom(atom);
  // A relative name is handed over as the full path that it names here.
  CTestInstanceApp relative;
  EXPECT_FALSE(relative.InitInstance(name, {"relative start.txt"}));
  wchar_t folder[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, folder);
  std::wstring full = folder;
  if (full.back() != L'\\') full += L'\\';
  const ATOM relativeAtom = ::GlobalFindAtomW((full + L"relative start.txt").c_str());
  EXPECT_NE(relativeAtom, 0) << Narrow(full);
  ::GlobalDeleteAtom(relativeAtom);

  CTestInstanceApp unnamed;
  EXPECT_TRUE(unnamed.InitInstance("", {})) << "without a name there is no check";
  EXPECT_EQ(unnamed.GetCheckInstanceMessage(), 0u);
}

// A stand-in for an instance with other rights: a mutex of the instance
// name whose security descriptor denies everyone, this test too, as the
// mutex of an elevated instance denies a start without elevation.
TEST(SingleInstance, AnInstanceWithOtherRightsIsNamedToTheUser) {
  const std::string name = UniqueTestName() + ".other rights";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(D;;GA;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const CHandle standIn(::CreateMutexW(&attributes, FALSE, Widen(name).c_str()));
  ::LocalFree(descriptor);
  ASSERT_TRUE(standIn);

  const StartCase cases[] = {
      {"no arguments", {}, false},
      {"a file", {"C:\\start with other rights.txt"}, false},
      {"print: this start does the work itself", {"/p", "C:\\start with other rights.txt"}, true},
  };
  for (const StartCase& c : cases) {
    test::CMessageBoxCatcher catcher;
    CTestInstanceApp later("Vantoric");
    EXPECT_EQ(later.InitInstance(name, c.args), c.starts) << c.name;
    if (c.starts) {
      EXPECT_TRUE(catcher.Boxes().empty()) << c.name;
      continue;
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u) << c.name;
    const test::CaughtBox& box = catcher.Boxes()[0];
    EXPECT_EQ(box.caption, "Vantoric") << c.name;
    EXPECT_EQ(box.text, "Vantoric is already running with other rights. Switch to its window, or close it first.")
        << c.name;
    EXPECT_EQ(box.icon, test::BoxIcon::Warning) << c.name;
  }
  EXPECT_EQ(::GlobalFindAtomW(L"C:\\start with other rights.txt"), 0) << "no atom that nobody would delete";
}

bool TokenHasTcbEnabled() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID tcb{};
  ::LookupPrivilegeValueW(nullptr, L"SeTcbPrivilege", &tcb);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  bool enabled = false;
  if (size != 0 && ::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
      if (p.Luid.LowPart == tcb.LowPart && p.Luid.HighPart == tcb.HighPart)
        enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
  }
  ::CloseHandle(token);
  return enabled;
}

TEST(SingleInstance, TcbPrivilegeReportIsTheTokensState) {
  const bool result = CWinAppEx::EnableTcbPrivilege();
  EXPECT_EQ(result, TokenHasTcbEnabled());
  CTestInstanceApp app;
  EXPECT_TRUE(app.BroadcastToFirstInstance(0)) << "the broadcast itself succeeds";
}

TEST(SingleInstance, FirstInstanceComesForwardWithItsLastPopup) {
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  const std::string name = UniqueTestName() + ".answer";
  CTestInstanceApp app;
  ASSERT_TRUE(app.InitInstance(name, {}));
  const UINT msg = app.GetCheckInstanceMessage();

  CDialog main(IDD_ABOUTBOX);
  // No main window yet: the message is still consumed.
  EXPECT_TRUE(app.OnAnotherInstance(msg, 0, 0));

  HWND hMain = main.Create(nullptr);
  ASSERT_NE(hMain, nullptr);
  app.SetMainWindow(&main);
  ::ShowWindow(hMain, SW_SHOWNORMAL);

  struct Case {
    const char* name;
    int show;  // the main window's state before the later start
  };
  const Case cases[] = {{"minimised", SW_MINIMIZE}, {"hidden", SW_HIDE}, {"behind", SW_SHOWNOACTIVATE}};
  for (const Case& c : cases) {
    ::ShowWindow(hMain, c.show);
    const ATOM atom = ::GlobalAddAtomW(L"D:\\opened by a later start.txt");
    // The later start's message arrives through the main window's dispatch.
    ::SendMessageW(hMain, msg, atom, 0);
    EXPECT_FALSE(::IsIconic(hMain)) << c.name;
    EXPECT_TRUE(::IsWindowVisible(hMain)) << c.name;
    EXPECT_EQ(::GetForegroundWindow(), hMain) << c.name;
    EXPECT_EQ(::GlobalFindAtomW(L"D:\\opened by a later start.txt"), 0) << c.name << ": the atom is deleted";
    EXPECT_EQ(app.GetLastAnotherInstanceFile(), "D:\\opened by a later start.txt") << c.name;
  }

  // Anyone may send the message: an atom that is no later start's file
  // name brings the window forward but stays where it is.
  const ATOM foreign = ::GlobalAddAtomW(L"Another program's atom");
  ::SendMessageW(hMain, msg, foreign, 0);
  EXPECT_EQ(::GlobalFindAtomW(L"Another program's atom"), foreign);
  EXPECT_EQ(app.GetLastAnotherInstanceFile(), "D:\\opened by a later start.txt");
  ::GlobalDeleteAtom(foreign);

  // An open dialog of the main window comes to the front with it.
  CDialog popup(IDD_ABOUTBOX);
  HWND hPopup = popup.Create(hMain);
  ASSERT_NE(hPopup, nullptr);
  ::ShowWindow(hPopup, SW_SHOWNORMAL);
  ::SetForegroundWindow(hPopup);
  ASSERT_TRUE(test::PumpUntil([&] { return ::GetForegroundWindow() == hPopup; }, 5000));
  ::ShowWindow(hMain, SW_MINIMIZE);
  ::SendMessageW(hMain, msg, 0, 0);
  EXPECT_FALSE(::IsIconic(hMain));
  EXPECT_EQ(::GetForegroundWindow(), hPopup);

  popup.DestroyWindow();
  app.SetMainWindow(nullptr);
  main.DestroyWindow();
}

// ---- The real program, started as a user would start it. ----

constexpr wchar_t kProgramKey[] = L"Software\\Local AppWizard-Generated Applications\\Vantoric";

std::wstring ProgramPath() { return test::BuildFile(VANTORIC_EXE_RELATIVE); }

class CProgram {
 public:
  // Starts `program` (the build's vantoric.exe by default) in `folder` (this
  // test's current folder when empty).
  explicit CProgram(const std::wstring& args = L"", const std::wstring& program = ProgramPath(),
                    const std::wstring& folder = L"") {
    std::wstring cmd = L"\"" + program + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si{sizeof si};
    m_bStarted = ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.empty() ? nullptr : folder.c_str(), &si, &m_pi);
  }
  ~CProgram() {
    if (!m_bStarted) return;
    if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_pi.hProcess, 99);
    ::CloseHandle(m_pi.hThread);
    ::CloseHandle(m_pi.hProcess);
  }
  CProgram(const CProgram&) = delete;
  CProgram& operator=(const CProgram&) = delete;

  bool Started() const { return m_bStarted; }
  DWORD Id() const { return m_pi.dwProcessId; }
  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD ms) const {
    if (::WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION m_pi{};
  bool m_bStarted = false;
};

// The visible main windows of the program (the dialog with the address list).
std::vector<HWND> MainWindows(DWORD processId = 0) {
  std::vector<HWND> found;
  HWND h = nullptr;
  while ((h = ::FindWindowExW(nullptr, h, L"#32770", L"Vantoric")) != nullptr) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (::GetDlgItem(h, IDC_LIST_ADDRESSES) != nullptr && (processId == 0 || pid == processId)) found.push_back(h);
  }
  return found;
}

HWND WaitForMainWindow(DWORD processId) {
  HWND hwnd = nullptr;
  test::PumpUntil(
      [&] {
        const auto windows = MainWindows(processId);
        hwnd = windows.empty() || !::IsWindowVisible(windows[0]) ? nullptr : windows[0];
        return hwnd != nullptr;
      },
      30000);
  return hwnd;
}

// A message box that the window owns, as the user sees it.
HWND WaitForOwnedBox(HWND owner) {
  HWND box = nullptr;
  test::PumpUntil(
      [&] {
        HWND h = nullptr;
        while ((h = ::FindWindowExW(nullptr, h, L"#32770", nullptr)) != nullptr) {
          if (::GetWindow(h, GW_OWNER) == owner && ::IsWindowVisible(h) && ::GetDlgItem(h, 0xFFFF) != nullptr) {
            box = h;
            return true;
          }
        }
        return false;
      },
      10000);
  return box;
}

SIZE WindowSize(HWND hwnd) {
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

int ReadProgramProfile(const wchar_t* entry) {
  DWORD value = 0;
  DWORD size = sizeof value;
  const std::wstring section = std::wstring(kProgramKey) + L"\\66";
  if (::RegGetValueW(HKEY_CURRENT_USER, section.c_str(), entry, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return -1;
  return static_cast<int>(value);
}

// The program as a user starts it: it may run commands, and its set-up
// clears the program's saved settings.
class RealProgram : public test::CNetshStandinTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MainWindows().empty()) << "no copy of the program may run before the test";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey); }

  static void Close(HWND hwnd, const CProgram& program) {
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(15000), 0u) << "closing ends the program with 0";
  }
};

TEST_F(RealProgram, SecondStartEndsAtOnceAndBringsTheFirstForward) {
  CProgram first;
  ASSERT_TRUE(first.Started()) << Narrow(ProgramPath());
  HWND main = WaitForMainWindow(first.Id());
  ASSERT_NE(main, nullptr);

  ::ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(test::PumpUntil([&] { return ::IsIconic(main) != FALSE; }, 5000));

  CProgram second;
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.WaitForExit(15000), 0u) << "the second start ends by itself";
  EXPECT_TRUE(test::PumpUntil([&] { return !::IsIconic(main); }, 5000)) << "the first window is restored";
  EXPECT_EQ(MainWindows().size(), 1u) << "no second window";
  EXPECT_TRUE(test::PumpUntil([&] { return ::GetForegroundWindow() == main; }, 5000)) << "and in front";
  test::SaveScreenshot(main, "second_start.png");

  // A second start with a file name hands it over as an atom, which the
  // first instance deletes.
  ::ShowWindow(main, SW_MINIMIZE);
  ASSERT_EQ(::GlobalFindAtomW(L"C:\\handed over.txt"), 0);
  CProgram withFile(L"\"C:\\handed over.txt\"");
  EXPECT_EQ(withFile.WaitForExit(15000), 0u);
  EXPECT_TRUE(test::PumpUntil([&] { return !::IsIconic(main); }, 5000));
  EXPECT_TRUE(test::PumpUntil([&] { return ::GlobalFindAtomW(L"C:\\handed over.txt") == 0; }, 5000));
  EXPECT_EQ(MainWindows().size(), 1u);

  Close(main, first);
}

// A folder that holds a copy of the program and, beside it, a library named
// like a system library that the program uses, as a Downloads folder might.
class CPlantedFolder {
 public:
  CPlantedFolder() {
    m_strFolder = test::TempFolder() + L"vantoric planted " + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(m_strFolder.c_str(), nullptr);
    m_bReady = ::CopyFileW(ProgramPath().c_str(), Program().c_str(), FALSE) &&
               ::CopyFileW(PlantedLibraryPath().c_str(), Library().c_str(), FALSE);
  }
  ~CPlantedFolder() {
    for (const std::wstring& file : {Program(), Library(), Library() + L".loaded"}) ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(m_strFolder.c_str());
  }
  CPlantedFolder(const CPlantedFolder&) = delete;
  CPlantedFolder& operator=(const CPlantedFolder&) = delete;

  bool IsReady() const { return m_bReady; }
  const std::wstring& Folder() const { return m_strFolder; }
  // Named apart from the build's program, so that Wine's setting for it
  // touches no other test.
  static constexpr wchar_t PROGRAM_NAME[] = L"vantoric-planted.exe";
  std::wstring Program() const { return m_strFolder + L"\\" + PROGRAM_NAME; }
  // What the planted library leaves once it is loaded.
  bool WasLoaded() const { return ::GetFileAttributesW((Library() + L".loaded").c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  static std::wstring PlantedLibraryPath() { return test::BuildFile(VANTORIC_PLANTED_RELATIVE); }
  std::wstring Library() const { return m_strFolder + L"\\iphlpapi.dll"; }

  std::wstring m_strFolder;
  bool m_bReady = false;
};

// Windows looks for a library that is not one of its known ones in the
// program's folder first; Wine prefers its own built-in copy unless told
// otherwise (the child does not take WINEDLLOVERRIDES from this process's
// environment, so Wine's per-program setting is used). The planted copy of
// the program is told to prefer a library file, as Windows does.
class CNativeLibraryFirst {
 public:
  explicit CNativeLibraryFirst(const std::wstring& programName)
      : m_strKey(L"Software\\Wine\\AppDefaults\\" + programName) {
    const wchar_t order[] = L"native,builtin";
    m_bSet = ::RegSetKeyValueW(HKEY_CURRENT_USER, (m_strKey + L"\\DllOverrides").c_str(), L"iphlpapi", REG_SZ, order,
                               sizeof order) == ERROR_SUCCESS;
  }
  ~CNativeLibraryFirst() { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }
  CNativeLibraryFirst(const CNativeLibraryFirst&) = delete;
  CNativeLibraryFirst& operator=(const CNativeLibraryFirst&) = delete;

  bool IsSet() const { return m_bSet; }

 private:
  std::wstring m_strKey;
  bool m_bSet = false;
};

TEST_F(RealProgram, ALibraryPlantedBesideTheProgramIsNotLoaded) {
  const CPlantedFolder planted;
  ASSERT_TRUE(planted.IsReady()) << Narrow(planted.Folder());
  const CNativeLibraryFirst nativeFirst(CPlantedFolder::PROGRAM_NAME);
  ASSERT_TRUE(nativeFirst.IsSet());
  // Started from that folder, which is then also the current folder.
  CProgram program(L"", planted.Program(), planted.Folder());
  ASSERT_TRUE(program.Started());
  HWND main = WaitForMainWindow(program.Id());
  EXPECT_NE(main, nullptr) << "the window did not open (the planted library lists no adapter)";
  if (main != nullptr) {
    // The system's library answered: it lists the machine's adapters.
    EXPECT_GT(::SendMessageW(::GetDlgItem(main, IDC_COMBO_ADAPTER), CB_GETCOUNT, 0, 0), 0);
  }
  EXPECT_FALSE(planted.WasLoaded()) << "the planted iphlpapi.dll was loaded";
  if (main != nullptr) Close(main, program);
}

TEST_F(RealProgram, SizeIsRememberedByClosingAndNotByExit) {
  SIZE templ{};
  SIZE enlarged{};
  {
    CProgram run1;
    ASSERT_TRUE(run1.Started());
    HWND main = WaitForMainWindow(run1.Id());
    ASSERT_NE(main, nullptr);
    templ = WindowSize(main);
    enlarged = SIZE{templ.cx + 130, templ.cy + 70};
    ::SetWindowPos(main, nullptr, 0, 0, enlarged.cx, enlarged.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(test::PumpUntil([&] { return WindowSize(main).cx == enlarged.cx; }, 5000));
    Close(main, run1);
  }
  EXPECT_EQ(ReadProgramProfile(L"CX"), enlarged.cx);
  EXPECT_EQ(ReadProgramProfile(L"CY"), enlarged.cy);

  CProgram run2;
  ASSERT_TRUE(run2.Started());
  HWND main = WaitForMainWindow(run2.Id());
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowSize(main).cx, enlarged.cx) << "the second run opens at the remembered size";
  EXPECT_EQ(WindowSize(main).cy, enlarged.cy);

  ::SetWindowPos(main, nullptr, 0, 0, enlarged.cx + 40, enlarged.cy + 40, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(test::PumpUntil([&] { return WindowSize(main).cx == enlarged.cx + 40; }, 5000));

  // Exit asks first; Cancel keeps the program running.
  ::PostMessageW(::GetDlgItem(main, IDOK), BM_CLICK, 0, 0);
  HWND box = WaitForOwnedBox(main);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(test::DialogItemText(box, 0xFFFF), "Are you sure you want to close the application?  ");
  EXPECT_EQ(CWindow(box).GetWindowText(), "Vantoric");
  ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(test::PumpUntil([&] { return !::IsWindow(box); }, 5000));
  EXPECT_EQ(run2.WaitForExit(300), static_cast<DWORD>(STILL_ACTIVE));

  // OK ends the process at once, without remembering the new size.
  ::PostMessageW(::GetDlgItem(main, IDOK), BM_CLICK, 0, 0);
  box = WaitForOwnedBox(main);
  ASSERT_NE(box, nullptr);
  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(run2.WaitForExit(15000), 0u);
  EXPECT_EQ(ReadProgramProfile(L"CX"), enlarged.cx) << "Exit did not write the size";
  EXPECT_EQ(ReadProgramProfile(L"CY"), enlarged.cy);
}

// The name that a screen reader in this process hears for another process's
// window, through oleacc loaded from the system folder.
std::string TextHeardFor(HWND hwnd, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
  using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  using FreeFn = void(WINAPI*)(BSTR);
  const auto pfnInit = GetSystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
  const auto pfnFromWindow = GetSystemFunction<FromWindowFn>(L"oleacc.dll", "AccessibleObjectFromWindow");
  const auto pfnFree = GetSystemFunction<FreeFn>(L"oleaut32.dll", "SysFreeString");
  if (pfnInit == nullptr || pfnFromWindow == nullptr || pfnFree == nullptr) return "(no oleacc)";
  pfnInit(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* object = nullptr;
  if (FAILED(pfnFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                           reinterpret_cast<void**>(&object))) ||
      object == nullptr)
    return "(no object)";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  const HRESULT hr = (object->*get)(self, &text);
  object->Release();
  if (hr != S_OK || text == nullptr) return "(no text)";
  std::string name = Narrow(text);
  pfnFree(text);
  return name;
}

TEST_F(RealProgram, AScreenReaderInAnotherProcessHearsTheProgramsOwnNames) {
  CProgram program;
  ASSERT_TRUE(program.Started());
  HWND main = WaitForMainWindow(program.Id());
  ASSERT_NE(main, nullptr);
  ::PostMessageW(::GetDlgItem(main, IDC_BUTTON_ADD), BM_CLICK, 0, 0);
  HWND add = nullptr;
  ASSERT_TRUE(test::PumpUntil(
      [&] {
        for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, L"#32770", nullptr)) != nullptr;)
          if (::GetWindow(h, GW_OWNER) == main && ::IsWindowVisible(h) && ::GetDlgItem(h, IDC_IPV6_ADDRESS) != nullptr)
            add = h;
        return add != nullptr;
      },
      10000))
      << "Add Address opens";
  // The program's own answers, given across from its window thread: the
  // address as written (not the field's mask) and the list's hidden label.
  HWND field = ::GetDlgItem(add, IDC_IPV6_ADDRESS);
  for (const char c : std::string("20010db8")) ::PostMessageW(field, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_TRUE(test::PumpUntil([&] { return TextHeardFor(field, &IAccessible::get_accValue) == "2001:db8::"; }, 5000))
      << TextHeardFor(field, &IAccessible::get_accValue);
  EXPECT_EQ(TextHeardFor(field, &IAccessible::get_accName), "Address:");
  EXPECT_EQ(TextHeardFor(::GetDlgItem(add, IDC_ADDRESS_PROPERTY_LIST), &IAccessible::get_accName), "Properties");
  ::PostMessageW(add, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(test::PumpUntil([&] { return !::IsWindow(add); }, 5000));
  Close(main, program);
}

}  // namespace
}  // namespace vantoric
