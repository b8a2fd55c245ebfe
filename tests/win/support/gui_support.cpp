#include "tests/win/support/gui_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <utility>

#include "framework/utf8.h"

namespace vantoric::test {

namespace {

thread_local CMessageBoxCatcher* t_catcher = nullptr;

// Wine numbers the message box's icon 0x440, Windows 0x14; the text is 0xFFFF.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconIds[] = {0x440, 0x14};

// A scripted dialog's timer: it dies with the dialog. Timer messages come
// after every posted and input message, so a tick means the loop is idle.
constexpr UINT_PTR kScriptTimer = 0x5C1;
constexpr UINT kScriptTickMs = 10;
constexpr ULONGLONG kShowTimeoutMs = 10000;

std::string ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return Narrow(name);
}

std::string CaptionOf(HWND hwnd) {
  wchar_t caption[512] = {};
  ::GetWindowTextW(hwnd, caption, 512);
  return Narrow(caption);
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

CMessageBoxCatcher::CMessageBoxCatcher() : m_pPrevious(t_catcher) {
  t_catcher = this;
  m_hHook = ::SetWindowsHookExW(WH_CBT, &CMessageBoxCatcher::CbtProc, nullptr, ::GetCurrentThreadId());
}

CMessageBoxCatcher::~CMessageBoxCatcher() {
  for (const auto& [dialog, script] : m_scripts) ::KillTimer(dialog, kScriptTimer);
  if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
  if (t_catcher == this) t_catcher = m_pPrevious;
}

LRESULT CALLBACK CMessageBoxCatcher::CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (t_catcher != nullptr && code == HCBT_ACTIVATE) t_catcher->OnActivate(reinterpret_cast<HWND>(wp));
  if (t_catcher != nullptr && code == HCBT_DESTROYWND) t_catcher->m_scripts.erase(reinterpret_cast<HWND>(wp));
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

void CMessageBoxCatcher::ScriptNextDialog(std::vector<DialogStep> steps) {
  m_nextScript.assign(std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
}

void CALLBACK CMessageBoxCatcher::RunScriptStep(HWND dialog, UINT, UINT_PTR, DWORD) {
  CMessageBoxCatcher* self = t_catcher;
  if (self == nullptr || self->m_scripts.count(dialog) == 0) {
    ::KillTimer(dialog, kScriptTimer);
    return;
  }
  CScript& script = self->m_scripts[dialog];
  // A modal dialog is activated before the dialog manager shows it.
  const bool bShown = ::IsWindowVisible(dialog) != FALSE;
  if (!bShown && ::GetTickCount64() < script.shownBy) return;
  ::KillTimer(dialog, kScriptTimer);
  if (!bShown || script.steps.empty()) {
    ADD_FAILURE() << "the dialog \"" << CaptionOf(dialog) << (bShown ? "\" was left open by its script" : "\" was never shown");
    self->m_scripts.erase(dialog);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  const DialogStep step = std::move(script.steps.front());
  script.steps.pop_front();
  step(dialog);
  if (self->m_scripts.count(dialog) != 0) ::SetTimer(dialog, kScriptTimer, kScriptTickMs, &RunScriptStep);
}

void CMessageBoxCatcher::OnActivate(HWND hwnd) {
  if (ClassOf(hwnd) != "#32770") return;
  if (std::find(m_seen.begin(), m_seen.end(), hwnd) != m_seen.end()) return;
  m_seen.push_back(hwnd);
  if (::GetDlgItem(hwnd, kBoxTextId) == nullptr) {
    if (m_nextScript.empty()) return;
    m_scripts[hwnd] = CScript{std::exchange(m_nextScript, {}), ::GetTickCount64() + kShowTimeoutMs};
    ::SetTimer(hwnd, kScriptTimer, kScriptTickMs, &RunScriptStep);
    return;
  }
  CaughtBox box;
  box.caption = CaptionOf(hwnd);
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
  if (!m_strBoxPicture.empty()) {
    // Answered from the box's own loop, once it is on the screen.
    m_photographed[hwnd] = {std::exchange(m_strBoxPicture, {}), answer};
    ::SetTimer(hwnd, kScriptTimer, kScriptTickMs, &PhotographBox);
    return;
  }
  ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

void CALLBACK CMessageBoxCatcher::PhotographBox(HWND box, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(box, id);
  CMessageBoxCatcher* self = t_catcher;
  if (self == nullptr || self->m_photographed.count(box) == 0) return;
  const auto [picture, answer] = std::move(self->m_photographed[box]);
  self->m_photographed.erase(box);
  EXPECT_TRUE(SaveScreenshot(box, picture)) << picture;
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
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

void PumpMessages(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
  return PumpDialogUntil(nullptr, pred, timeoutMs);
}

bool PumpDialogUntil(HWND dialog, const std::function<bool()>& pred, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (dialog != nullptr && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &msg)) continue;
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

void ClickListBoxItem(HWND list, int index) {
  RECT rc{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM(rc.left + 5, (rc.top + rc.bottom) / 2);
  ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(list, WM_LBUTTONUP, 0, at);
  PumpMessages(0);  // the list's notification is posted
}

void ChooseFromNextMenu(wchar_t accelerator) {
  static wchar_t s_accelerator;
  s_accelerator = accelerator;
  ::SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !::IsWindowVisible(menu)) return;
    ::KillTimer(nullptr, id);
    ::PostMessageW(menu, WM_CHAR, s_accelerator, 0);
  });
}

void PressWithControl(HWND window, UINT key) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  ::SendMessageW(window, WM_KEYDOWN, key, 0);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
}

bool ClickTabTitled(HWND tab, std::string_view title) {
  const int count = static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    if (!::SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) || Narrow(text) != title) continue;
    RECT rc{};
    ::SendMessageW(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(tab, WM_LBUTTONUP, 0, at);
    return true;
  }
  return false;
}

HWND ShowTabPage(HWND tab, int index, int idOnPage) {
  RECT rc{};
  ::SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(tab, WM_LBUTTONUP, 0, at);
  for (HWND page = nullptr; (page = ::FindWindowExW(tab, page, L"#32770", nullptr)) != nullptr;)
    if (::GetDlgItem(page, idOnPage) != nullptr) return page;
  return nullptr;
}

namespace {

// A Unix path as Wine sees it (the Unix root is its Z: drive).
std::wstring WinePath(const std::string& unixPath) {
  std::wstring path = L"Z:" + Widen(unixPath);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::string ReadWholeFile(const std::string& unixPath) {
  std::ifstream file(WinePath(unixPath).c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Runs ImageMagick's import, which reads the X display directly. Wine's
// start.exe does not wait for a Unix program: the caller waits for the file.
bool StartImport(const std::string& arguments, const std::string& outputPath) {
  ::DeleteFileW(WinePath(outputPath).c_str());
  std::wstring cmd = L"C:\\windows\\system32\\start.exe /unix /usr/bin/import " + Widen(arguments + " " + outputPath);
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi))
    return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

// Waits until the X display shows the window's own colour at its client
// point (4, 4). import writes the pixel as text, its channels in 16 bits,
// beside the picture to come.
bool WaitUntilOnDisplay(HWND window, std::string_view fileName) {
  POINT pt{4, 4};
  HDC dc = ::GetDC(window);
  const COLORREF colour = ::GetPixel(dc, pt.x, pt.y);
  ::ReleaseDC(window, dc);
  if (colour == CLR_INVALID || !::ClientToScreen(window, &pt)) return false;
  char want[64];
  std::snprintf(want, sizeof want, "0,0: (%d,%d,%d)", GetRValue(colour) * 257, GetGValue(colour) * 257,
                GetBValue(colour) * 257);
  const std::string pixelPath = ScreenshotPath(std::string(fileName) + ".pixel.txt");
  const std::string crop = "-window root -crop 1x1+" + std::to_string(pt.x) + "+" + std::to_string(pt.y);
  const bool bShown = PumpUntil(
      [&] {
        if (!StartImport(crop, pixelPath)) return false;
        std::string text;
        PumpUntil(
            [&] {
              text = ReadWholeFile(pixelPath);
              const size_t line = text.find("0,0:");
              return line != std::string::npos && text.find('\n', line) != std::string::npos;
            },
            5000);
        return text.find(want) != std::string::npos;
      },
      15000);
  ::DeleteFileW(WinePath(pixelPath).c_str());
  return bShown;
}

// A PNG is complete once it ends with its IEND chunk.
bool IsCompletePng(const std::string& pngPath) {
  const std::string png = ReadWholeFile(pngPath);
  return png.size() >= 8 && png.compare(png.size() - 8, 8, "IEND\xAE\x42\x60\x82") == 0;
}

}  // namespace

bool SaveScreenshot(const std::string& pngPath) {
  // An all-black screen compresses to a few hundred bytes: the X server had
  // not shown the windows yet.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!StartImport("-window root", pngPath)) return false;
    // Keep this thread's windows painted while the picture is taken.
    if (!PumpUntil([&] { return IsCompletePng(pngPath); }, 15000)) return false;
    if (ReadWholeFile(pngPath).size() >= 2048) return true;
  }
  return true;
}

std::vector<std::string> CMessageBoxCatcher::Summaries() const {
  std::vector<std::string> summaries;
  for (const CaughtBox& b : m_boxes)
    summaries.push_back(b.caption + " | " + b.text + " | " + "-EWQI"[static_cast<int>(b.icon)]);
  return summaries;
}

std::string ClipboardText() {
  std::string text;
  if (!::OpenClipboard(nullptr)) return "(clipboard not opened)";
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* pText = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = Narrow(pText);
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void ClearClipboard() {
  if (!::OpenClipboard(nullptr)) return;
  ::EmptyClipboard();
  ::CloseClipboard();
}

void ClickButton(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(UINT vk, bool bAlt) {
  // Bit 29: Alt held; bits 30 and 31 of a release: the key was down, goes up.
  const LPARAM alt = bAlt ? (1 << 29) : 0;
  ::PostMessageW(::GetFocus(), bAlt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1 | alt);
  ::PostMessageW(::GetFocus(), bAlt ? WM_SYSKEYUP : WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u) | alt);
}

std::vector<DialogStep> KeySteps(const std::vector<UINT>& vks) {
  std::vector<DialogStep> steps;
  for (const UINT vk : vks) steps.push_back([vk](HWND) { PressKey(vk); });
  return steps;
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  return temp;
}

std::wstring BuildFile(const char* relative) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  path.resize(path.find_last_of(L'\\') + 1);
  return path + Widen(relative);
}

bool SaveScreenshot(HWND window, std::string_view fileName) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return WaitUntilOnDisplay(window, fileName) && SaveScreenshot(ScreenshotPath(fileName));
}

}  // namespace vantoric::test
