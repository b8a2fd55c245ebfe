// Helpers for tests that drive real windows in their own process.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/application.h"

namespace vantoric::test {

enum class BoxIcon { None, Error, Warning, Question, Information };

struct CaughtBox {
  std::string caption;
  std::string text;
  BoxIcon icon = BoxIcon::None;
  HWND owner = nullptr;
  std::vector<int> buttons;  // IDOK, IDCANCEL, IDYES, IDNO, ... present in the box
  int answer = 0;            // the button the catcher pressed
};

// Catches every message box that this thread opens (a thread-local CBT hook),
// records it and answers it like a user: with the next queued answer, or
// with OK / Yes / the first button when nothing is queued. Other dialogs
// that this thread activates are handed to onOtherDialog, if set.
class CMessageBoxCatcher {
 public:
  CMessageBoxCatcher();
  ~CMessageBoxCatcher();
  CMessageBoxCatcher(const CMessageBoxCatcher&) = delete;
  CMessageBoxCatcher& operator=(const CMessageBoxCatcher&) = delete;

  void QueueAnswer(int button) { m_answers.push_back(button); }
  // Strict: a box that no queued answer was waiting for fails the test
  // (it is still answered, so that the test goes on).
  void SetStrict(bool bStrict) { m_bStrict = bStrict; }
  const std::vector<CaughtBox>& Boxes() const { return m_boxes; }
  void Clear() { m_boxes.clear(); }

  std::function<void(HWND)> onOtherDialog;

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp);
  void OnActivate(HWND hwnd);

  HHOOK m_hHook = nullptr;
  std::deque<int> m_answers;
  std::vector<CaughtBox> m_boxes;
  std::vector<HWND> m_seen;
  bool m_bStrict = false;
};

// What every test that shows windows needs: the common controls, an
// application object whose profile lives under HKCU\Software\<key> (removed
// before and after), and the screenshot folder.
class CGuiTestScope {
 public:
  explicit CGuiTestScope(std::string_view key);
  ~CGuiTestScope();
  CGuiTestScope(const CGuiTestScope&) = delete;
  CGuiTestScope& operator=(const CGuiTestScope&) = delete;

  CApplication& App() { return m_app; }

 private:
  class CTestApplication : public CApplication {
   public:
    explicit CTestApplication(std::string_view key);
    bool InitInstance() override { return false; }
  };
  std::wstring m_strKey;
  CTestApplication m_app;
};

// Where a test saves a picture for a person to look at.
std::string ScreenshotPath(std::string_view fileName);

// Dispatches this thread's messages for the given time.
void PumpMessages(DWORD ms);
// Dispatches messages until pred() holds or the time runs out; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs);

// Runs `script` inside the message loop of `dialog` (a modal dialog being
// activated, as CMessageBoxCatcher::onOtherDialog sees it) once the dialog
// is shown, then cancels the dialog if the script left it open.
void RunInDialog(HWND dialog, std::function<void()> script);

// Reads a message box's (or any dialog's) parts.
std::string DialogItemText(HWND dialog, int id);

// Saves a picture of the whole screen as a PNG through the X server (for
// looking at windows; needs the display the test runs on). Returns success.
bool SaveScreenshot(const std::string& pngPath);

}  // namespace vantoric::test
