// The program's help: the compiled help file in the HELP folder of the
// Windows directory, shown by the HTML Help viewer at a mapped topic.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric {

// "<windowsFolder>\HELP\Vantoric.chm". Empty when that path is longer than
// the file functions and the viewer take (MAX_PATH - 1 characters); `error`
// then says so to the user, naming the path.
std::string HelpFileInFolder(const std::wstring& windowsFolder, std::string& error);

// The help file in the Windows folder. Empty when the folder cannot be read
// or the path does not fit; `error` then says why, in words for the user.
std::string GetHelpFilePath(std::string& error);

// What became of a request for help.
enum class CHelpOutcome {
  Shown,         // the viewer opened its window
  FileMissing,   // no file at the path
  NoViewer,      // the HTML Help viewer could not be loaded
  ViewerFailed,  // the viewer returned no window
};

// Opens `helpFile` at the topic mapped to `contextId`, with `owner` as the
// help window's owner. Every outcome but Shown has been told to the user in a
// message box naming the file.
CHelpOutcome ShowHelpContext(HWND owner, const std::string& helpFile, unsigned contextId);

// The Help button: the help file of GetHelpFilePath at the main window's
// topic, or a message saying why there is no path to open.
void ShowProgramHelp(HWND owner);

}  // namespace vantoric
