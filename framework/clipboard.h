// Text on the clipboard, as Unicode text that every program can paste.
#pragma once

#include <windows.h>

#include <string_view>

namespace vantoric {

// Replaces the clipboard's contents with `text` (UTF-8); false when the
// clipboard could not be opened or the memory not be had.
bool CopyTextToClipboard(HWND owner, std::string_view text);

}  // namespace vantoric
