// The main window's Help button against the help file in the HELP folder of
// the Windows directory: this build's Vantoric.chm opens in the HTML Help
// viewer; a missing file, or one the viewer cannot read, is named in a
// message; a path too long for the viewer is an error that names it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/help_win32.h"
#include "app/vantoric_dlg.h"
#include "framework/application.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using test::BoxIcon;
using test::CMessageBoxCatcher;
using test::CSyntheticAdapterSource;
using test::SyntheticAdapter;

constexpr wchar_t kTestKey[] = L"Software\\Vantoric Help Button Tests";

class CTestApp : public CApplication {
 public:
  CTestApp() : CApplication("Help") { SetRegistryKey("Vantoric Help Button Tests"); }
  bool InitInstance() override { return false; }
};

std::wstring WindowsDirectory() {
  wchar_t directory[MAX_PATH] = {};
  ::GetWindowsDirectoryW(directory, MAX_PATH);
  return directory;
}

// Where the program looks for its help.
std::wstring InstalledHelpPath() { return WindowsDirectory() + L"\\HELP\\Vantoric.chm"; }

// This build's compiled help, beside the build tree's tests.
std::wstring BuiltHelpPath() { return test::BuildFile(VANTORIC_HELP_RELATIVE); }

std::string WindowText(HWND hwnd) {
  wchar_t text[256] = {};
  ::GetWindowTextW(hwnd, text, 256);
  return Narrow(text);
}

// Visible top-level windows of this thread other than the main window: the
// help viewer opens its window on the caller's thread.
std::vector<HWND> OtherWindows(HWND main) {
  struct Search {
    HWND main;
    std::vector<HWND> found;
  } search{main, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (hwnd != s->main && ::IsWindowVisible(hwnd)) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// It replaces the help file in the Windows folder: only in the test set-up,
// which the recording netsh stand-in marks.
class HelpButton : public test::CNetshStandinTest {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
    ::InitCommonControlsEx(&icc);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    ::CreateDirectoryW((WindowsDirectory() + L"\\HELP").c_str(), nullptr);
    ::DeleteFileW(InstalledHelpPath().c_str());
  }
  void TearDown() override {
    for (HWND hwnd : OtherWindows(m_hwnd)) ::DestroyWindow(hwnd);
    if (m_dlg.IsWindow()) m_dlg.DestroyWindow();
    ::DeleteFileW(InstalledHelpPath().c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
  }

  void Open() {
    m_hwnd = m_dlg.Create(nullptr);
    ASSERT_NE(m_hwnd, nullptr);
    ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(m_hwnd);
  }
  void ClickHelp() { ::SendMessageW(m_dlg.GetDlgItem(IDC_BUTTON_HELP), BM_CLICK, 0, 0); }

  // The one message box that Help showed, with the installed path named in
  // it; whether it says that the file is missing.
  void ExpectMessageNamingTheFile(const CMessageBoxCatcher& catcher, bool bSaysNotFound) {
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    const test::CaughtBox& box = catcher.Boxes()[0];
    EXPECT_EQ(box.caption, "Vantoric");
    EXPECT_EQ(box.icon, BoxIcon::Warning);
    EXPECT_EQ(box.owner, m_hwnd);
    EXPECT_NE(box.text.find(Narrow(InstalledHelpPath())), std::string::npos) << box.text;
    EXPECT_EQ(box.text.find("not found") != std::string::npos, bSaysNotFound) << box.text;
    EXPECT_TRUE(OtherWindows(m_hwnd).empty()) << "no help window";
  }

  CTestApp m_app;
  CVantoricDlg m_dlg;
  HWND m_hwnd = nullptr;
  CSyntheticAdapterSource m_source{std::vector<SyntheticAdapter>{{"Ethernet", "Ethernet device"}}};
};

TEST(HelpFilePath, APathLongerThanTheViewerTakesIsAnErrorNamingIt) {
  const std::wstring deep = L"D:\\" + std::wstring(238, L'w');  // 241 characters: the path has 259
  const std::string tooLong = "Help cannot be shown: the path of the help file is longer than 259 characters:\n";
  const struct {
    const char* reason;
    std::wstring folder;
    std::string path;
    std::string error;
  } cases[] = {
      {"the usual folder", L"C:\\Windows", "C:\\Windows\\HELP\\Vantoric.chm", ""},
      {"a folder with a non-ASCII name", L"C:\\Wind\u00f6ws", "C:\\Wind\xC3\xB6ws\\HELP\\Vantoric.chm", ""},
      {"a path of 259 characters", deep, Narrow(deep) + "\\HELP\\Vantoric.chm", ""},
      {"a path of 260 characters", deep + L"w", "", tooLong + Narrow(deep) + "w\\HELP\\Vantoric.chm"},
      {"a much longer one", deep + deep, "", tooLong + Narrow(deep + deep) + "\\HELP\\Vantoric.chm"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(HelpFileInFolder(c.folder, error), c.path) << c.reason;
    EXPECT_EQ(error, c.error) << c.reason;
  }
}

TEST_F(HelpButton, OpensTheInstalledHelpInTheViewer) {
  ASSERT_TRUE(::CopyFileW(BuiltHelpPath().c_str(), InstalledHelpPath().c_str(), FALSE))
      << Narrow(BuiltHelpPath()) << ": error " << ::GetLastError();
  Open();
  CMessageBoxCatcher catcher;
  ClickHelp();
  ASSERT_TRUE(test::PumpUntil([&] { return !OtherWindows(m_hwnd).empty() || !catcher.Boxes().empty(); }, 10000));
  EXPECT_TRUE(catcher.Boxes().empty()) << catcher.Boxes()[0].text;
  const std::vector<HWND> windows = OtherWindows(m_hwnd);
  ASSERT_EQ(windows.size(), 1u);
  test::SaveScreenshot(windows[0], "help_window.png");
  EXPECT_EQ(WindowText(windows[0]), "Vantoric Help") << "the title of this build's help project";
  EXPECT_EQ(::GetWindow(windows[0], GW_OWNER), m_hwnd);
}

TEST_F(HelpButton, NamesTheMissingHelpFile) {
  Open();
  CMessageBoxCatcher catcher;
  ClickHelp();
  ExpectMessageNamingTheFile(catcher, true);
}

TEST_F(HelpButton, NamesAHelpFileTheViewerCannotRead) {
  HANDLE file = ::CreateFileW(InstalledHelpPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const char text[] = "not a compiled help file";
  DWORD written = 0;
  ::WriteFile(file, text, sizeof text - 1, &written, nullptr);
  ::CloseHandle(file);
  Open();
  CMessageBoxCatcher catcher;
  ClickHelp();
  ExpectMessageNamingTheFile(catcher, false);
}

}  // namespace
}  // namespace vantoric
