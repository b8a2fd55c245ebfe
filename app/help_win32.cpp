#include "app/help_win32.h"

#include <htmlhelp.h>

#include <string>

#include "framework/message_box.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "help/help_context.h"

namespace vantoric {

namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The viewer comes from the system folder, with the libraries it needs in
// turn, never from the program's own folder. It stays loaded for the life of
// the process: its windows run on its code. A failed load is tried again at
// the next request, which then reports its own error.
HtmlHelpProc LoadHtmlHelp(DWORD& error) {
  static HtmlHelpProc htmlHelp = nullptr;
  if (htmlHelp == nullptr) htmlHelp = GetSystemFunction<HtmlHelpProc>(L"hhctrl.ocx", "HtmlHelpW");
  error = htmlHelp != nullptr ? ERROR_SUCCESS : ::GetLastError();
  return htmlHelp;
}

}  // namespace

std::string HelpFileInFolder(const std::wstring& windowsFolder, std::string& error) {
  const std::wstring path = windowsFolder + L"\\HELP\\Vantoric.chm";
  if (path.size() < MAX_PATH) return Narrow(path);
  error = "Help cannot be shown: the path of the help file is longer than " + std::to_string(MAX_PATH - 1) +
          " characters:\n" + Narrow(path);
  return {};
}

std::string GetHelpFilePath(std::string& error) {
  const std::wstring folder = GetWindowsFolder();
  if (folder.empty()) {
    error = "Help cannot be shown: the Windows folder could not be read (system error " +
            std::to_string(::GetLastError()) + ").";
    return {};
  }
  return HelpFileInFolder(folder, error);
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
  std::string error;
  const std::string path = GetHelpFilePath(error);
  if (path.empty()) {
    ShowMessage(owner, error, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  ShowHelpContext(owner, path, IDH_MAIN_WINDOW);
}

}  // namespace vantoric
