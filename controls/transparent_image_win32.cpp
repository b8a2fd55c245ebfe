#include "controls/transparent_image_win32.h"

#include <cstdint>
#include <vector>

#include "controls/transparent_image.h"
#include "framework/handles.h"
#include "framework/window_dpi.h"

namespace vantoric {

namespace {

// Leaves the destination unchanged (the "D" raster operation).
constexpr DWORD kKeepDestination = 0x00AA0029;

// Magenta reads the same as a COLORREF (0x00BBGGRR) and as a pixel of a
// 32-bit device-independent bitmap (0x00RRGGBB).
static_assert(TRANSPARENT_COLOUR == TRANSPARENT_KEY_RGB);

// The bitmap keyed out at its own size: the picture with the dialog's face
// where the key is, so that smoothing blends its edges with what lies
// behind it, and the mask, 1 where the key is.
struct CKeyedBitmap {
  CBitmap image;
  CBitmap mask;
};

bool KeyOut(HDC screen, HBITMAP bitmap, int bw, int bh, CKeyedBitmap& keyedBitmap) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = bw;
  bi.bmiHeader.biHeight = -bh;  // rows from the top
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bw) * static_cast<std::size_t>(bh));
  if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bh), pixels.data(), &bi, DIB_RGB_COLORS) != bh) return false;
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  CKeyedPicture keyed = KeyOutTransparentColour(pixels, bw, bh);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const std::uint32_t faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  // A monochrome bitmap's rows are whole 16-bit words, the leftmost pixel
  // in the highest bit ("BITMAP structure (wingdi.h)", learn.microsoft.com).
  const int stride = (bw + 15) / 16 * 2;
  std::vector<BYTE> maskBits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(bh), 0);
  for (int y = 0; y < bh; ++y) {
    for (int x = 0; x < bw; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * bw + x);
      if (!keyed.transparent[i]) continue;
      keyed.pixels[i] = faceRgb;
      maskBits[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  keyedBitmap.mask.reset(::CreateBitmap(bw, bh, 1, 1, maskBits.data()));
  keyedBitmap.image.reset(::CreateCompatibleBitmap(screen, bw, bh));
  return keyedBitmap.mask && keyedBitmap.image &&
         ::SetDIBits(screen, keyedBitmap.image.get(), 0, static_cast<UINT>(bh), keyed.pixels.data(), &bi,
                     DIB_RGB_COLORS) == bh;
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

  // The key goes before any scaling: scaled first, its edges would blend
  // with the picture.
  CKeyedBitmap keyed;
  if (!KeyOut(screen, bitmap, bw, bh, keyed)) return;
  CMemoryDC sourceDc(::CreateCompatibleDC(screen));
  CSelectObject selSource(sourceDc.get(), keyed.image.get());
  CMemoryDC sourceMaskDc(::CreateCompatibleDC(screen));
  CSelectObject selSourceMask(sourceMaskDc.get(), keyed.mask.get());

  // The mask at the control's size: 1 (the screen shows) also wherever
  // the bitmap does not reach. Its edges stay sharp.
  CMemoryDC maskDc(::CreateCompatibleDC(screen));
  CBitmap mask(::CreateBitmap(w, h, 1, 1, nullptr));
  CSelectObject selMask(maskDc.get(), mask.get());
  ::PatBlt(maskDc.get(), 0, 0, w, h, WHITENESS);
  ::SetStretchBltMode(maskDc.get(), COLORONCOLOR);
  ::StretchBlt(maskDc.get(), 0, 0, sw, sh, sourceMaskDc.get(), 0, 0, bw, bh, SRCCOPY);

  // The image, scaled smoothly: its edges blend with the dialog's face.
  CMemoryDC imageDc(::CreateCompatibleDC(screen));
  CBitmap image(::CreateCompatibleBitmap(screen, w, h));
  CSelectObject selImage(imageDc.get(), image.get());
  ::FillRect(imageDc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  if (sw == bw && sh == bh) {
    ::BitBlt(imageDc.get(), 0, 0, bw, bh, sourceDc.get(), 0, 0, SRCCOPY);
  } else {
    ::SetStretchBltMode(imageDc.get(), HALFTONE);
    ::SetBrushOrgEx(imageDc.get(), 0, 0, nullptr);
    ::StretchBlt(imageDc.get(), 0, 0, sw, sh, sourceDc.get(), 0, 0, bw, bh, SRCCOPY);
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
