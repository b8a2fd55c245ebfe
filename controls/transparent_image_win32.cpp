#include "controls/transparent_image_win32.h"

#include <algorithm>

#include "framework/handles.h"

namespace vantoric {

namespace {

// Leaves the destination unchanged (the "D" raster operation).
constexpr DWORD kKeepDestination = 0x00AA0029;

}  // namespace

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
  if (w <= 0 || h <= 0) return;

  // The image: magenta wherever the bitmap does not reach.
  CMemoryDC imageDc(::CreateCompatibleDC(screen));
  CBitmap image(::CreateCompatibleBitmap(screen, w, h));
  CSelectObject selImage(imageDc.get(), image.get());
  CBrush magenta(::CreateSolidBrush(TRANSPARENT_COLOUR));
  ::FillRect(imageDc.get(), &client, magenta.get());
  BITMAP info{};
  ::GetObjectW(bitmap, sizeof info, &info);
  {
    CMemoryDC sourceDc(::CreateCompatibleDC(screen));
    CSelectObject selSource(sourceDc.get(), bitmap);
    ::BitBlt(imageDc.get(), 0, 0, std::min(w, static_cast<int>(info.bmWidth)),
             std::min(h, static_cast<int>(info.bmHeight)), sourceDc.get(), 0, 0, SRCCOPY);
  }

  // The mask: 1 where the image is magenta.
  CMemoryDC maskDc(::CreateCompatibleDC(screen));
  CBitmap mask(::CreateBitmap(w, h, 1, 1, nullptr));
  CSelectObject selMask(maskDc.get(), mask.get());
  ::SetBkColor(imageDc.get(), TRANSPARENT_COLOUR);
  ::BitBlt(maskDc.get(), 0, 0, w, h, imageDc.get(), 0, 0, SRCCOPY);

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
