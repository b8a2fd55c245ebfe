// The resolution a window is laid out for, and a dialog's contents carried
// from one resolution to another when Windows moves the window to a monitor
// with other scaling.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/dpi_scale.h"
#include "framework/handles.h"

namespace vantoric {

// The messages of a resolution change. The headers of the oldest Windows
// the program is built for leave them out.
constexpr UINT MSG_DPICHANGED = 0x02E0;
constexpr UINT MSG_DPICHANGED_AFTERPARENT = 0x02E3;

// The dots per inch of the monitor that `hwnd` is laid out for: what the
// window's top-level dialog recorded (SetWindowDpi), else what Windows
// reports for the window where it can (version 10 1607 on), else the
// screen's logical inch.
UINT GetWindowDpi(HWND hwnd);
// `value` pixels at 96 dots per inch, at the window's resolution.
int ScaleToWindow(HWND hwnd, int value);

// A top-level window records the resolution it is laid out for, which its
// children then read through GetWindowDpi; Forget before it is destroyed.
void SetWindowDpi(HWND topLevel, UINT dpi);
void ForgetWindowDpi(HWND topLevel);

// Leaves a dialog's resolution changes to the program: Windows 10 1703 on
// would otherwise resize it and its controls a second time.
void TakeOverDialogScaling(HWND dialog);

// Carries a dialog's contents from fromDpi to toDpi: every control of the
// dialog and of the dialogs inside it moves and grows in proportion, list
// columns widen in proportion, and its font is replaced by one as many
// points high at the new resolution (kept in `fonts`, from which the fonts
// of the resolution before go once no window shows them); the controls pass it on
// to the windows inside them. Every window inside then gets
// MSG_DPICHANGED_AFTERPARENT to adjust what it measures itself.
void RescaleDialogContents(HWND dialog, int toDpi, int fromDpi, std::vector<CFont>& fonts);

}  // namespace vantoric
