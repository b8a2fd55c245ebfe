// What a window does with a guard's verdict before a change: a refusal is
// told and stops the change, a warning asks Yes or No (No the default), and
// anything else lets the change go on to its own confirmation or command.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/address_guards.h"

namespace vantoric {

// True when the change may go on. Refusals show the error icon under
// `caption`, warnings the exclamation icon under the program's name.
bool PassGuard(HWND owner, const CGuardVerdict& verdict, std::string_view caption);

}  // namespace vantoric
