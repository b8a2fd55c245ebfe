// "Restart as administrator": this program started again through the
// shell's "runas" verb, so that a session of changes needs one elevation
// prompt instead of one per command. The new instance takes over the
// single-instance role; this one ends only once the new one's window is up.
#pragma once

#include <windows.h>

namespace vantoric {

// Whether the window menu offers the restart: elevation is needed on this
// Windows and this program does not have it.
bool IsRestartAsAdministratorOffered();

// Starts the new instance (with TAKE_OVER_SWITCH) and waits, keeping the
// window responsive, until a window of it is visible. True when it is: the
// caller then ends. False when the prompt was declined (nothing is said) or
// the new instance did not come up (the user is told why).
bool RestartAsAdministrator(HWND owner);

// In the instance that a restart started: lets `message`, a later start's
// signal, through to `window` alone, although it comes from a program
// without this one's rights, which the system would otherwise drop
// (ChangeWindowMessageFilterEx, Windows 6.1 on). No other window and no
// other message of this elevated process is opened to such programs. On
// Windows 6.0, which filters by process only, that one message is let
// through to the process.
void LetLaterStartsReach(HWND window, UINT message);

}  // namespace vantoric
