// A static bitmap control that draws its bitmap with magenta as the
// transparent colour: the dialog's background shows through magenta areas
// and through any part of the control the bitmap does not cover. Magenta
// is keyed out first, with the edge pixels that the bitmap's drawing blended
// with it (see transparent_image.h); what is left is drawn at the window's
// resolution, scaled smoothly.
#pragma once

#include <windows.h>

#include "framework/dialog.h"

namespace vantoric {

constexpr COLORREF TRANSPARENT_COLOUR = RGB(255, 0, 255);

class CTransparentImage : public CSubclassWindow {
 public:
  // Sizes the control to its bitmap at the window's resolution: a bitmap
  // static takes the bitmap's size in pixels.
  void FitToBitmap();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint(HBITMAP bitmap);
};

}  // namespace vantoric
