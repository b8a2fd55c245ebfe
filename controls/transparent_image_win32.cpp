#include "controls/transparent_image_win32.h"

#include <algorithm>

#include "framework/handles.h"
#include "framework/window_dpi.h"

namespace vantoric {

namespace {

// Leaves the destination unchanged (the "D" raster operation).
constexpr DWORD kKeepDestination = 0x00AA0029;

// The bitmap with the dialog's face colour where it is magenta: smoothing
// blends the edges of the picture with what lies behind it, not with
// magenta.
CBitmap OnDialogFace(HDC screen, HDC sourceDc, HDC sourceMaskDc, int w, int h) {
  CMemoryDC faceDc(::CreateCompatibleDC(screen));
  CBitmap face(::CreateCompatibleBitmap(screen, w, h));
  CSelectObject selFace(faceDc.get(), face.get());
  CMemoryDC pictureDc(::CreateCompatibleDC(screen));
  CBitmap picture(::CreateCompatibleBitmap(screen, w, h));
  CSelectObject selPicture(pictureDc.get(), picture.get());
  const RECT all{0, 0, w, h};
  ::FillRect(faceDc.get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
  // Mask 1 (magenta) gives the destination's background colour, mask 0 its text colour.
  ::SetBkColor(faceDc.get(), RGB(255, 255, 255));
  ::SetTextColor(faceDc.get(), RGB(0, 0, 0));
  ::BitBlt(faceDc.get(), 0, 0, w, h, sourceMaskDc, 0, 0, SRCAND);
  ::BitBlt(pictureDc.get(), 0, 0, w, h, sourceDc, 0, 0, SRCCOPY);
  ::SetBkColor(pictureDc.get(), RGB(0, 0, 0));
  ::SetTextColor(pictureDc.get(), RGB(255, 255, 255));
  ::BitBlt(pictureDc.get(), 0, 0, w, h, sourceMaskDc, 0, 0, SRCAND);
  ::BitBlt(faceDc.get(), 0, 0, w, h, pictureDc.get(), 0, 0, SRCPAINT);
  return face;
}

}  // namespace

void CTransparentImage::FitToBitmap() {
  auto bitmap = reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) return;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, ScaleToWindow(m_hWnd, info.bmWidth), ScaleToWindow(m_hWnd, info.bmHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CTransparentImage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    auto bitmap = reinterpret_cast<HBITMAP>(Default(STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (bitmap != nullptr) {
      Paint(bitmap);
      return 0;
    }
  }
  return CSubclassWindow::WindowProc(msg, wp, lp);
}

void CTransparentImage::Paint(HBITMAP bitmap) {
  CPaintDC paint(m_hWnd);
  HDC screen = paint.get();
  const RECT client = GetClientRect();
  const int w = client.right;
  const int h = client.bottom;
  BITMAP info{};
  if (w <= 0 || h <= 0 || ::GetObjectW(bitmap, sizeof info, &info) == 0) return;
  const int bw = info.bmWidth;
  const int bh = info.bmHeight;
  // The bitmap at the window's resolution, cut where the control ends.
  const int dpi = static_cast<int>(GetWindowDpi(m_hWnd));
  const int sw = ScaleMetric(bw, dpi);
  const int sh = ScaleMetric(bh, dpi);

  CMemoryDC sourceDc(::CreateCompatibleDC(screen));
  CSelectObject selSource(sourceDc.get(), bitmap);
  // The bitmap's own mask: 1 where it is magenta.
  CMemoryDC sourceMaskDc(::CreateCompatibleDC(screen));
  CBitmap sourceMask(::CreateBitmap(bw, bh, 1, 1, nullptr));
  CSelectObject selSourceMask(sourceMaskDc.get(), sourceMask.get());
  ::SetBkColor(sourceDc.get(), TRANSPARENT_COLOUR);
  ::BitBlt(sourceMaskDc.get(), 0, 0, bw, bh, sourceDc.get(), 0, 0, SRCCOPY);

  // The mask at the control's size: 1 (the screen shows) also wherever
  // the bitmap does not reach. Its edges stay sharp.
  CMemoryDC maskDc(::CreateCompatibleDC(screen));
  CBitmap mask(::CreateBitmap(w, h, 1, 1, nullptr));
  CSelectObject selMask(maskDc.get(), mask.get());
  ::PatBlt(maskDc.get(), 0, 0, w, h, WHITENESS);
  ::SetStretchBltMode(maskDc.get(), COLORONCOLOR);
  ::StretchBlt(maskDc.get(), 0, 0, sw, sh, sourceMaskDc.get(), 0, 0, bw, bh, SRCCOPY);

  // The image, scaled smoothly.
  CMemoryDC imageDc(::CreateCompatibleDC(screen));
  CBitmap image(::CreateCompatibleBitmap(screen, w, h));
  CSelectObject selImage(imageDc.get(), image.get());
  ::FillRect(imageDc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  if (sw == bw && sh == bh) {
    ::BitBlt(imageDc.get(), 0, 0, bw, bh, sourceDc.get(), 0, 0, SRCCOPY);
  } else {
    CBitmap face = OnDialogFace(screen, sourceDc.get(), sourceMaskDc.get(), bw, bh);
    CMemoryDC faceDc(::CreateCompatibleDC(screen));
    CSelectObject selFace(faceDc.get(), face.get());
    ::SetStretchBltMode(imageDc.get(), HALFTONE);
    ::SetBrushOrgEx(imageDc.get(), 0, 0, nullptr);
    ::StretchBlt(imageDc.get(), 0, 0, sw, sh, faceDc.get(), 0, 0, bw, bh, SRCCOPY);
  }

  // Mask 0 copies the image, mask 1 keeps the screen.
  if (::MaskBlt(screen, 0, 0, w, h, imageDc.get(), 0, 0, mask.get(), 0, 0, MAKEROP4(kKeepDestination, SRCCOPY)))
    return;

  // Without MaskBlt: (screen AND mask) OR (image AND NOT mask).
  CMemoryDC mixDc(::CreateCompatibleDC(screen));
  CBitmap mix(::CreateCompatibleBitmap(screen, w, h));
  CSelectObject selMix(mixDc.get(), mix.get());
  ::BitBlt(mixDc.get(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
  ::SetBkColor(mixDc.get(), RGB(255, 255, 255));
  ::SetTextColor(mixDc.get(), RGB(0, 0, 0));
  ::BitBlt(mixDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
  ::SetBkColor(imageDc.get(), RGB(0, 0, 0));
  ::SetTextColor(imageDc.get(), RGB(255, 255, 255));
  ::BitBlt(imageDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
  ::BitBlt(mixDc.get(), 0, 0, w, h, imageDc.get(), 0, 0, SRCPAINT);
  ::BitBlt(screen, 0, 0, w, h, mixDc.get(), 0, 0, SRCCOPY);
}

}  // namespace vantoric
