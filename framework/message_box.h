// The one way the program tells the user something: a message box with UTF-8
// text, owned by the caller's window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vantoric {

// The caption of every message box that names no operation of its own.
constexpr char PROGRAM_NAME[] = "Vantoric";

// Shows `text` with `style` (buttons and icon) over `owner`; the caption is
// PROGRAM_NAME unless an operation's title is given. Returns the button
// chosen (IDOK, IDCANCEL, IDYES, ...), 0 when no box could be shown.
int ShowMessage(HWND owner, std::string_view text, UINT style, std::string_view caption = {});

// The system's own text for an error code, without its closing line break;
// "Error <code>." when the system has none.
std::string GetSystemMessage(DWORD code);

}  // namespace vantoric
