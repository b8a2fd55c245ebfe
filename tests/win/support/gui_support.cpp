#include "tests/win/support/gui_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "framework/utf8.h"

namespace vantoric::test {

namespace {

thread_local CMessageBoxCatcher* t_catcher = nullptr;

// Wine numbers the message box's icon 0x440, Windows 0x14; the text is 0xFFFF.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconIds[] = {0x440, 0x14};

std::string ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return Narrow(name);
}

BoxIcon IconOf(HWND box) {
  for (int id : kBoxIconIds) {
    HWND icon = ::GetDlgItem(box, id);
    // The box itself may not be shown yet: look at the icon's own style.
    if (icon == nullptr || (::GetWindowLongW(icon, GWL_STYLE) & WS_VISIBLE) == 0) continue;
    const HICON h = reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0));
    if (h == nullptr) continue;
    if (h == ::LoadIconW(nullptr, IDI_HAND)) return BoxIcon::Error;
    if (h == ::LoadIconW(nullptr, IDI_EXCLAMATION)) return BoxIcon::Warning;
    if (h == ::LoadIconW(nullptr, IDI_QUESTION)) return BoxIcon::Question;
    if (h == ::LoadIconW(nullptr, IDI_ASTERISK)) return BoxIcon::Information;
  }
  return BoxIcon::None;
}

}  // namespace

CMessageBoxCatcher::CMessageBoxCatcher() {
  t_catcher = this;
  m_hHook = ::SetWindowsHookExW(WH_CBT, &CMessageBoxCatcher::CbtProc, nullptr, ::GetCurrentThreadId());
}

CMessageBoxCatcher::~CMessageBoxCatcher() {
  if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
  if (t_catcher == this) t_catcher = nullptr;
}

LRESULT CALLBACK CMessageBoxCatcher::CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE && t_catcher != nullptr) t_catcher->OnActivate(reinterpret_cast<HWND>(wp));
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

void CMessageBoxCatcher::OnActivate(HWND hwnd) {
  if (ClassOf(hwnd) != "#32770") return;
  if (std::find(m_seen.begin(), m_seen.end(), hwnd) != m_seen.end()) return;
  m_seen.push_back(hwnd);
  if (::GetDlgItem(hwnd, kBoxTextId) == nullptr) {
    if (onOtherDialog) onOtherDialog(hwnd);
    return;
  }
  CaughtBox box;
  wchar_t caption[512] = {};
  ::GetWindowTextW(hwnd, caption, 512);
  box.caption = Narrow(caption);
  box.text = DialogItemText(hwnd, kBoxTextId);
  box.icon = IconOf(hwnd);
  box.owner = ::GetWindow(hwnd, GW_OWNER);
  for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
    if (::GetDlgItem(hwnd, id) != nullptr) box.buttons.push_back(id);
  }
  if (m_bStrict && m_answers.empty())
    ADD_FAILURE() << "unexpected message box \"" << box.text << "\" (caption \"" << box.caption << "\")";
  int answer = 0;
  if (!m_answers.empty()) {
    answer = m_answers.front();
    m_answers.pop_front();
  } else if (std::find(box.buttons.begin(), box.buttons.end(), IDOK) != box.buttons.end()) {
    answer = IDOK;
  } else if (std::find(box.buttons.begin(), box.buttons.end(), IDYES) != box.buttons.end()) {
    answer = IDYES;
  } else if (!box.buttons.empty()) {
    answer = box.buttons.front();
  }
  box.answer = answer;
  m_boxes.push_back(box);
  ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

CGuiTestScope::CTestApplication::CTestApplication(std::string_view key) : CApplication("Tests") {
  SetRegistryKey(key);
}

CGuiTestScope::CGuiTestScope(std::string_view key) : m_strKey(L"Software\\" + Widen(key)), m_app(key) {
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  ::InitCommonControlsEx(&icc);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str());
}

CGuiTestScope::~CGuiTestScope() { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }

std::string ScreenshotPath(std::string_view fileName) {
  return std::string(VANTORIC_SCREENSHOT_DIR) + "/" + std::string(fileName);
}

namespace {

thread_local HWND t_hScriptDialog = nullptr;
thread_local std::function<void()> t_script;

// A modal dialog is activated before the dialog manager shows it; the
// script waits for the first timer tick that finds it visible.
void CALLBACK RunDialogScript(HWND, UINT, UINT_PTR id, DWORD) {
  if (::IsWindow(t_hScriptDialog) && !::IsWindowVisible(t_hScriptDialog)) return;
  ::KillTimer(nullptr, id);
  HWND dialog = t_hScriptDialog;
  std::exchange(t_script, nullptr)();
  if (::IsWindow(dialog)) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

void RunInDialog(HWND dialog, std::function<void()> script) {
  t_hScriptDialog = dialog;
  t_script = std::move(script);
  ::SetTimer(nullptr, 0, 10, &RunDialogScript);
}

void PumpMessages(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (pred()) return true;
    if (::GetTickCount64() >= end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::string DialogItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  if (item == nullptr) return {};
  wchar_t buf[2048] = {};
  ::GetWindowTextW(item, buf, 2048);
  return Narrow(buf);
}

namespace {

// The picture's size as Wine sees it (the Unix root is its Z: drive); -1
// while it does not exist.
long long FileSize(const std::string& unixPath) {
  std::wstring path = L"Z:" + Widen(unixPath);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Takes the picture with ImageMagick's import, which reads the X display
// directly. Wine's start.exe does not wait for a Unix program, so the
// picture is awaited until its size holds still.
bool ImportScreen(const std::string& pngPath) {
  std::wstring target = L"Z:" + Widen(pngPath);
  for (wchar_t& c : target)
    if (c == L'/') c = L'\\';
  ::DeleteFileW(target.c_str());
  std::wstring cmd = L"C:\\windows\\system32\\start.exe /unix /usr/bin/import -window root ";
  cmd += Widen(pngPath);
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi))
    return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  long long last = -1;
  int steady = 0;
  // Keep this thread's windows painted while the picture is taken.
  return PumpUntil(
      [&] {
        const long long size = FileSize(pngPath);
        steady = size > 0 && size == last ? steady + 1 : 0;
        last = size;
        return steady >= 3;
      },
      15000);
}

}  // namespace

bool SaveScreenshot(const std::string& pngPath) {
  // An all-black screen compresses to a few hundred bytes: the X server had
  // not shown the windows yet.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!ImportScreen(pngPath)) return false;
    if (FileSize(pngPath) >= 2048) return true;
  }
  return true;
}

}  // namespace vantoric::test
