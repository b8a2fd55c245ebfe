// The user-facing check of typed lifetime text.
#pragma once

#include <windows.h>

#include <string_view>

namespace vantoric {

// True when the text is acceptable lifetime text (see
// IsLifetimeTextAcceptable); otherwise shows "Invalid lifetime format." with
// the caption "Vantoric" and the error icon, owned by owner, and returns false.
// The keyword "infinite" is the caller's to accept before this check.
bool ValidateLifetimeText(std::string_view text, HWND owner);

}  // namespace vantoric
