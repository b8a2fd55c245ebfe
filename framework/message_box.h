// The one way the program shows a message box: UTF-8 text and caption.
#pragma once

#include <windows.h>

#include <string_view>

namespace vantoric {

// Returns the button chosen (IDOK, IDCANCEL, IDYES, ...), 0 on failure.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

}  // namespace vantoric
