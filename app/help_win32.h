// The program's help: the compiled help file in the HELP folder of the
// Windows directory, shown by the HTML Help viewer at a mapped topic.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric {

// "<Windows directory>\HELP\Vantoric.chm", cut to MAX_PATH characters; empty
// when the Windows directory cannot be read or already fills MAX_PATH.
std::string GetHelpFilePath();

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
// topic. Nothing happens when the path cannot be formed.
void ShowProgramHelp(HWND owner);

}  // namespace vantoric
