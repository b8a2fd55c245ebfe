#include "app/help_win32.h"

#include <htmlhelp.h>

#include <string>

#include "framework/message_box.h"
#include "framework/utf8.h"
#include "help/help_context.h"

namespace vantoric {

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The viewer is taken from the system directory by its full path, never from
// the program's own folder. It stays loaded for the life of the process: its
// windows run on its code.
HtmlHelpProc LoadHtmlHelp(DWORD& error) {
  static HtmlHelpProc htmlHelp = nullptr;
  error = ERROR_SUCCESS;
  if (htmlHelp != nullptr) return htmlHelp;
  wchar_t system[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) {
    error = ::GetLastError();
    return nullptr;
  }
  HMODULE viewer = ::LoadLibraryW((std::wstring(system) + L"\\hhctrl.ocx").c_str());
  if (viewer == nullptr) {
    error = ::GetLastError();
    return nullptr;
  }
  const FARPROC proc = ::GetProcAddress(viewer, "HtmlHelpW");
  if (proc == nullptr) {
    error = ::GetLastError();
    ::FreeLibrary(viewer);
    return nullptr;
  }
  htmlHelp = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void (*)()>(proc));
  return htmlHelp;
}

}  // namespace

std::string GetHelpFilePath() {
  wchar_t directory[MAX_PATH + 1] = {};
  const UINT length = ::GetWindowsDirectoryW(directory, MAX_PATH + 1);
  if (length == 0 || length >= MAX_PATH) return {};
  std::wstring path = std::wstring(directory, length) + L"\\HELP\\Vantoric.chm";
  if (path.size() > MAX_PATH) path.resize(MAX_PATH);
  return Narrow(path);
}

CHelpOutcome ShowHelpContext(HWND owner, const std::string& helpFile, unsigned contextId) {
  const std::wstring widePath = Widen(helpFile);
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ShowMessage(owner, "The help file was not found:\n" + helpFile, MB_OK | MB_ICONEXCLAMATION);
    return CHelpOutcome::FileMissing;
  }
  DWORD error = ERROR_SUCCESS;
  const HtmlHelpProc htmlHelp = LoadHtmlHelp(error);
  if (htmlHelp == nullptr) {
    ShowMessage(owner,
                "Help cannot be shown: the HTML Help viewer (hhctrl.ocx) could not be loaded (error " +
                    std::to_string(error) + ").\nThe help file is " + helpFile,
                MB_OK | MB_ICONEXCLAMATION);
    return CHelpOutcome::NoViewer;
  }
  if (htmlHelp(owner, widePath.c_str(), HH_HELP_CONTEXT, contextId) == nullptr) {
    ShowMessage(owner, "The HTML Help viewer could not show the help file:\n" + helpFile,
                MB_OK | MB_ICONEXCLAMATION);
    return CHelpOutcome::ViewerFailed;
  }
  return CHelpOutcome::Shown;
}

void ShowProgramHelp(HWND owner) {
  const std::string path = GetHelpFilePath();
  if (!path.empty()) ShowHelpContext(owner, path, IDH_MAIN_WINDOW);
}

}  // namespace vantoric
