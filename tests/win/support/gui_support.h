// Helpers for tests that drive real windows in their own process.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
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

// One step of a script that drives a modal dialog; it gets the dialog.
using DialogStep = std::function<void(HWND)>;

// Catches every message box that this thread opens (a thread-local CBT hook),
// records it and answers it like a user: with the next queued answer, or
// with OK / Yes / the first button when nothing is queued. It also scripts
// the other dialogs that this thread opens (ScriptNextDialog). The latest
// catcher of a thread is the one at work.
class CMessageBoxCatcher {
 public:
  CMessageBoxCatcher();
  ~CMessageBoxCatcher();
  CMessageBoxCatcher(const CMessageBoxCatcher&) = delete;
  CMessageBoxCatcher& operator=(const CMessageBoxCatcher&) = delete;

  void QueueAnswer(int button) { m_answers.push_back(button); }
  // The next box is answered only once a picture of the screen with it is
  // saved as ScreenshotPath(fileName).
  void PhotographNextBox(std::string_view fileName) { m_strBoxPicture = fileName; }
  // Strict: a box that no queued answer was waiting for fails the test
  // (it is still answered, so that the test goes on).
  void SetStrict(bool bStrict) { m_bStrict = bStrict; }
  const std::vector<CaughtBox>& Boxes() const { return m_boxes; }
  // Each box as "caption | text | I", the letter its icon's (- E W Q I).
  std::vector<std::string> Summaries() const;
  void Clear() { m_boxes.clear(); }

  // Scripts the next dialog (not a message box) that this thread activates
  // as a user drives it: the steps run in turn inside the dialog's own
  // message loop, the first once the dialog is shown, each next one once the
  // loop has handled everything the one before posted (so a step may post
  // keys and leave them to the dialog manager). A dialog that the steps
  // leave open fails the test and is cancelled.
  void ScriptNextDialog(std::vector<DialogStep> steps);

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp);
  static void CALLBACK RunScriptStep(HWND dialog, UINT msg, UINT_PTR id, DWORD time);
  static void CALLBACK PhotographBox(HWND box, UINT msg, UINT_PTR id, DWORD time);
  void OnActivate(HWND hwnd);

  CMessageBoxCatcher* m_pPrevious;
  HHOOK m_hHook = nullptr;
  std::deque<int> m_answers;
  std::vector<CaughtBox> m_boxes;
  std::vector<HWND> m_seen;
  bool m_bStrict = false;
  std::string m_strBoxPicture;
  std::map<HWND, std::pair<std::string, int>> m_photographed;  // by box: its picture's name, its answer
  struct CScript {
    std::deque<DialogStep> steps;
    ULONGLONG shownBy = 0;  // tick count by which the dialog must be shown
  };
  std::deque<DialogStep> m_nextScript;
  std::map<HWND, CScript> m_scripts;  // by dialog, until it is destroyed
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
// The same through the dialog manager of `dialog` (none when nullptr), as
// the dialog's own loop dispatches its keys: for a script step that waits
// for what a key starts.
bool PumpDialogUntil(HWND dialog, const std::function<bool()>& pred, DWORD timeoutMs);

// Reads a message box's (or any dialog's) parts.
std::string DialogItemText(HWND dialog, int id);

// A click on a dialog's button, as BM_CLICK gives it.
void ClickButton(HWND dialog, int id);

// One key pressed and released as the keyboard delivers it: posted to the
// window with the focus, so that the dialog manager and the translation into
// characters see it; with bAlt as the Alt key held gives it.
void PressKey(UINT vk, bool bAlt = false);
// A script step per key, each pressing it with PressKey.
std::vector<DialogStep> KeySteps(const std::vector<UINT>& vks);

// A left click in the middle of a list box's item, as the mouse delivers it.
void ClickListBoxItem(HWND list, int index);

// Picks the item with this accelerator from the next popup menu of the
// thread, once the menu is shown.
void ChooseFromNextMenu(wchar_t accelerator);
// A key pressed in `window` with Ctrl held, as the window sees it.
void PressWithControl(HWND window, UINT key);

// A click on the tab titled `title` of a tab control, as the mouse gives
// it; false when no tab has that title.
bool ClickTabTitled(HWND tab, std::string_view title);
// A click on tab `index` of a tab control, as the mouse gives it; returns the
// page (a dialog inside the tab control) that holds the control idOnPage, or
// nullptr when none does.
HWND ShowTabPage(HWND tab, int index, int idOnPage);

// The user's folder for temporary files, ending in a backslash.
std::wstring TempFolder();

// The clipboard's Unicode text as UTF-8, and emptying it.
std::string ClipboardText();
void ClearClipboard();

// A file of the build tree, found relative to this test program; relative
// uses backslashes.
std::wstring BuildFile(const char* relative);

// Saves a picture of the whole screen as ScreenshotPath(fileName), for a
// person to look at, once `window` has painted itself and its face has
// reached the X display (which Wine updates a little after the window has
// painted). Returns success.
bool SaveScreenshot(HWND window, std::string_view fileName);
// The picture alone, as a PNG at pngPath, without waiting for a window.
bool SaveScreenshot(const std::string& pngPath);

}  // namespace vantoric::test
