// What the running instance accepts from a later start. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantoric {

// Whether `text` (UTF-8) is a file name that a later start of the program
// hands over: a full path, "X:\..." or "\\server\share\...", without the
// characters that Windows allows in no file name. The activation message
// carries the number of a global atom, and anyone may send it: only an atom
// of this shape is taken as the later start's and deleted, never an atom
// that some other program holds.
bool IsHandedOverFileName(std::string_view text);

// The switch of an instance started by "Restart as administrator": it takes
// the single-instance role over from the one that started it, which ends
// once its window is up, instead of handing itself over to it.
inline constexpr std::string_view TAKE_OVER_SWITCH = "/takeover";
// Whether the arguments (without the program's name) hold that switch, in
// any letter case, with "/" or "-".
bool IsTakeOverStart(const std::vector<std::string>& args);

}  // namespace vantoric
