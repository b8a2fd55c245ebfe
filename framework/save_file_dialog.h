// The system's Save As dialog (comdlg32, loaded from the system folder at
// first use) and the question before a file is replaced.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric {

// What the dialog offers: the filter pairs ("Text (*.txt)\0*.txt\0...\0"),
// the pair chosen first (from 1), the extension added to a name typed
// without one, and the name proposed.
struct CSaveFileRequest {
  const wchar_t* m_pFilter = nullptr;
  int m_nFilterIndex = 1;
  const wchar_t* m_pDefaultExtension = nullptr;
  std::wstring m_strProposed;
};

// What the user chose: the file, and the filter pair chosen.
struct CSaveFileChoice {
  std::string m_strPath;  // empty when the user cancelled
  int m_nFilterIndex = 1;
};

// Runs the dialog over `owner`. Returns 0 (with an empty path when the user
// cancelled), or the system error when the dialog could not be opened.
DWORD AskFileToSave(HWND owner, const CSaveFileRequest& request, CSaveFileChoice& choice);

// When `path` exists, asks whether to replace it (No the default); true
// when the file may be written.
bool ConfirmReplace(HWND owner, const std::string& path, const char* caption);

}  // namespace vantoric
