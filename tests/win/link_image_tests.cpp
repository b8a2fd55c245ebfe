// The web link and the transparent image on real windows: hover, cursor,
// colour, Space and click opening the target, and magenta drawn as the
// background.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "controls/hyperlink_win32.h"
#include "controls/transparent_image_win32.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

// The main window's template, recording the status texts its link asks for.
class CStatusDlg : public CDialog {
 public:
  CStatusDlg() : CDialog(IDD_VANTORIC_DIALOG) {}
  std::vector<std::string> statusTexts;  // the text, or "#<id>" for a string resource

 protected:
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg != WM_SETMESSAGESTRING) return false;
    if (lp != 0)
      statusTexts.push_back(Narrow(reinterpret_cast<const wchar_t*>(lp)));
    else
      statusTexts.push_back("#" + std::to_string(wp));
    result = 0;
    return true;
  }
};

class LinkAndImage : public ::testing::Test {
 protected:
  void SetUp() override {
    m_hwnd = m_dlg.Create(nullptr);
    ASSERT_NE(m_hwnd, nullptr);
    ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(m_hwnd);
  }
  void TearDown() override { m_dlg.DestroyWindow(); }

  test::CGuiTestScope m_scope{"Vantoric Link Tests"};
  CStatusDlg m_dlg;
  HWND m_hwnd = nullptr;
};

bool IsUnderlined(HFONT font) {
  LOGFONTW lf{};
  return font != nullptr && ::GetObjectW(font, sizeof lf, &lf) != 0 && lf.lfUnderline != 0;
}

COLORREF LinkTextColour(HWND dialog, HWND child) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, RGB(1, 2, 3));
  ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
  const COLORREF colour = ::GetTextColor(dc);
  ::DeleteDC(dc);
  return colour;
}

TEST_F(LinkAndImage, HoverUnderlinesShowsHandAndReportsTheTarget) {
  HWND hLink = m_dlg.GetDlgItem(IDC_WEBLINK);
  const HFONT original = reinterpret_cast<HFONT>(::SendMessageW(hLink, WM_GETFONT, 0, 0));
  CDemoLink link;
  link.SetTarget("https://vantoric.example/");
  EXPECT_EQ(link.Attach(hLink), 1);
  EXPECT_TRUE(::GetWindowLongW(hLink, GWL_STYLE) & SS_NOTIFY);
  ASSERT_NE(CHyperLink::GetUnderlineFont(), nullptr);
  EXPECT_TRUE(IsUnderlined(CHyperLink::GetUnderlineFont()));
  EXPECT_FALSE(IsUnderlined(original));

  EXPECT_EQ(LinkTextColour(m_hwnd, hLink), RGB(0, 0, 255)) << "blue before the hover";
  EXPECT_NE(LinkTextColour(m_hwnd, m_dlg.GetDlgItem(IDC_STATIC_MAC)), RGB(0, 0, 255)) << "other statics keep theirs";

  ::SendMessageW(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(link.IsHover());
  EXPECT_EQ(::GetCapture(), hLink);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(hLink, WM_GETFONT, 0, 0)), CHyperLink::GetUnderlineFont());
  EXPECT_EQ(LinkTextColour(m_hwnd, hLink), RGB(0, 0, 255)) << "blue while hovered";
  ASSERT_EQ(m_dlg.statusTexts.size(), 1u);
  EXPECT_EQ(m_dlg.statusTexts[0], "https://vantoric.example/");

  EXPECT_EQ(::SendMessageW(hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(hLink), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));

  ::SendMessageW(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  EXPECT_TRUE(link.IsHover()) << "moving within the link keeps the hover";
  EXPECT_EQ(m_dlg.statusTexts.size(), 1u);

  ::SendMessageW(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-5), static_cast<WORD>(-5)));
  EXPECT_FALSE(link.IsHover()) << "moving off ends the hover";
  EXPECT_NE(::GetCapture(), hLink);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(hLink, WM_GETFONT, 0, 0)), original);
  EXPECT_EQ(LinkTextColour(m_hwnd, hLink), RGB(0, 0, 255)) << "blue after the hover";
  ASSERT_EQ(m_dlg.statusTexts.size(), 2u);
  EXPECT_EQ(m_dlg.statusTexts[1], "#57345") << "the idle text when the hover ends";
  EXPECT_FALSE(link.IsVisited());
}

TEST_F(LinkAndImage, SpaceAndClickOpenTheTargetWithTheShell) {
  const std::wstring dir = test::TempFolder() + L"vantoric_link_test";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring marker = dir + L"\\opened.txt";
  const std::wstring script = dir + L"\\target.bat";
  {
    std::ofstream bat(script.c_str(), std::ios::binary);
    bat << "@echo opened>> \"" << Narrow(marker) << "\"\r\n";
  }
  auto markerLines = [&] {
    std::ifstream in(marker.c_str());
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  };
  ::DeleteFileW(marker.c_str());

  HWND hLink = m_dlg.GetDlgItem(IDC_WEBLINK);
  CHyperLink link;
  link.SetTarget(Narrow(script));
  link.Attach(hLink);

  ::SendMessageW(hLink, WM_KEYUP, 'A', 0);
  EXPECT_FALSE(link.IsVisited()) << "other keys do nothing";

  ::SetFocus(hLink);
  ::SendMessageW(hLink, WM_KEYUP, VK_SPACE, 0);
  EXPECT_TRUE(link.IsVisited());
  EXPECT_TRUE(test::PumpUntil([&] { return markerLines() == 1; }, 15000)) << "Space ran the target";

  ::SendMessageW(hLink, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(test::PumpUntil([&] { return markerLines() == 2; }, 15000)) << "a click ran it again";

  ::DeleteFileW(marker.c_str());
  ::DeleteFileW(script.c_str());
  ::RemoveDirectoryW(dir.c_str());
}

TEST_F(LinkAndImage, FocusOffersTheTargetAndTheSharedFontEndsWithTheLastLink) {
  HWND hLink = m_dlg.GetDlgItem(IDC_WEBLINK);
  HWND hMac = m_dlg.GetDlgItem(IDC_STATIC_MAC);
  {
    CDemoLink first;
    CDemoLink second;
    first.SetTarget("https://vantoric.example/");
    first.Attach(hLink);
    const HFONT shared = CHyperLink::GetUnderlineFont();
    second.Attach(hMac);
    EXPECT_EQ(CHyperLink::GetUnderlineFont(), shared) << "one font for all links";

    ::SetFocus(hLink);
    ASSERT_FALSE(m_dlg.statusTexts.empty());
    EXPECT_EQ(m_dlg.statusTexts.back(), "https://vantoric.example/");
    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    EXPECT_EQ(m_dlg.statusTexts.back(), "#57345");

    ::DestroyWindow(hMac);
    EXPECT_NE(CHyperLink::GetUnderlineFont(), nullptr) << "one link is still attached";
  }
  EXPECT_EQ(CHyperLink::GetUnderlineFont(), nullptr) << "released with the last link";
  EXPECT_NE(LinkTextColour(m_hwnd, hLink), RGB(0, 0, 255)) << "a released static is plain again";
}

HBITMAP MakeHalfMagentaBitmap(int w, int h) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  RECT left{0, 0, w / 2, h};
  RECT right{w / 2, 0, w, h};
  HBRUSH magenta = ::CreateSolidBrush(TRANSPARENT_COLOUR);
  HBRUSH red = ::CreateSolidBrush(RGB(200, 0, 0));
  ::FillRect(dc, &left, magenta);
  ::FillRect(dc, &right, red);
  ::SelectObject(dc, old);
  ::DeleteObject(magenta);
  ::DeleteObject(red);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bmp;
}

COLORREF PixelOf(HWND hwnd, int x, int y) {
  HDC dc = ::GetDC(hwnd);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(hwnd, dc);
  return c;
}

TEST_F(LinkAndImage, MagentaAndUncoveredAreasShowTheDialogBackground) {
  const COLORREF background = ::GetSysColor(COLOR_3DFACE);
  ASSERT_NE(background, TRANSPARENT_COLOUR);
  HBITMAP bmp = MakeHalfMagentaBitmap(20, 20);

  // Two statics with the same bitmap, one drawn plainly, one transparently;
  // both made larger than the bitmap. The second lies on an empty part of
  // the dialog, so that the background shows through it.
  HWND plain = m_dlg.GetDlgItem(IDC_LOGO);
  HWND shown = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 260, 395, 10, 10, m_hwnd,
                                 nullptr, nullptr, nullptr);
  ASSERT_NE(shown, nullptr);
  for (HWND h : {plain, shown}) {
    ::SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
    ::SetWindowPos(h, nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
  }
  CTransparentImage image;
  ASSERT_TRUE(image.Subclass(shown));
  ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

  EXPECT_EQ(PixelOf(plain, 3, 3), TRANSPARENT_COLOUR) << "a plain static shows magenta (the test can see it)";
  EXPECT_EQ(PixelOf(shown, 3, 3), background) << "magenta is transparent";
  EXPECT_EQ(PixelOf(shown, 15, 10), RGB(200, 0, 0)) << "other colours are drawn";
  EXPECT_EQ(PixelOf(shown, 30, 25), background) << "beyond the bitmap the control is transparent";

  EXPECT_TRUE(test::SaveScreenshot(m_hwnd, "transparent_image.png"));
  ::DestroyWindow(shown);
  ::DeleteObject(bmp);
}

TEST_F(LinkAndImage, TheProgramLogoIsDrawnWithoutItsMagenta) {
  HWND logo = m_dlg.GetDlgItem(IDC_LOGO);
  CTransparentImage image;
  ASSERT_TRUE(image.Subclass(logo));
  ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT rc{};
  ::GetClientRect(logo, &rc);
  int magenta = 0;
  int coloured = 0;
  for (int y = 0; y < rc.bottom; y += 2) {
    for (int x = 0; x < rc.right; x += 2) {
      const COLORREF c = PixelOf(logo, x, y);
      if (c == TRANSPARENT_COLOUR) ++magenta;
      if (c != ::GetSysColor(COLOR_3DFACE)) ++coloured;
    }
  }
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(coloured, 0) << "the logo itself is drawn";
}

}  // namespace
}  // namespace vantoric
