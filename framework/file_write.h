// Writing a whole file so that it is either the new text or, after any
// failure, the old file as it was.
#pragma once

#include <windows.h>

#include <string>

namespace vantoric {

// Writes `text` to a file beside `path`, then moves it over `path`: a
// reader never sees half a file, and a failed write leaves the old file
// whole. Returns 0, or the system error of the step that failed (the
// temporary file is then removed).
DWORD WriteFileReplacing(const std::wstring& path, const std::string& text);

}  // namespace vantoric
