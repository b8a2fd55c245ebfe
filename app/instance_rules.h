// What the running instance accepts from a later start. Portable.
#pragma once

#include <string_view>

namespace vantoric {

// Whether `text` (UTF-8) is a file name that a later start of the program
// hands over: a full path, "X:\..." or "\\server\share\...", without the
// characters that Windows allows in no file name. The activation message
// carries the number of a global atom, and anyone may send it: only an atom
// of this shape is taken as the later start's and deleted, never an atom
// that some other program holds.
bool IsHandedOverFileName(std::string_view text);

}  // namespace vantoric
