// Every window of the program at the resolution of the prefix that the test
// runs in (96, 120, 144 or 192 dots per inch, set in its LogPixels): each
// control lies inside its parent and each label and button shows its whole
// text. And a window that Windows moves to a monitor of twice the scaling.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "framework/dpi_scale.h"
#include "framework/handles.h"
#include "framework/utf8.h"
#include "framework/window_dpi.h"
#include "resources/resource.h"
#include "resources/resource_address_dialogs.h"
#include "resources/resource_dns_dialogs.h"
#include "resources/resource_route_dialogs.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/interface_source.h"

namespace vantoric {
namespace {

using namespace test;
using Strings = std::vector<std::string>;

// The resolution the prefix was set to (the test's environment), 96 when
// it was not set.
int PrefixDpi() {
  const char* text = std::getenv("VANTORIC_TEST_DPI");
  return text != nullptr ? std::atoi(text) : DESIGN_DPI;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

std::string Describe(HWND hwnd) {
  return Narrow(ClassOf(hwnd)) + " " + std::to_string(::GetDlgCtrlID(hwnd)) + " \"" + CWindow::GetText(hwnd) + "\"";
}

// The width a label or button leaves its text and the DrawText flags that
// measure it as drawn; width 0 for a control whose text is not measured
// (pictures, owner-drawn, ellipsis labels).
std::pair<int, UINT> TextRoom(HWND hwnd) {
  const LONG style = static_cast<LONG>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
  RECT client{};
  ::GetClientRect(hwnd, &client);
  const int edge = ::GetSystemMetrics(SM_CXEDGE);
  if (ClassOf(hwnd) == L"Static" && (style & SS_ELLIPSISMASK) == 0) {
    const LONG type = style & SS_TYPEMASK;
    const UINT prefix = (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
    if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) return {client.right, DT_WORDBREAK | prefix};
    if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) return {client.right, DT_SINGLELINE | prefix};
  } else if (ClassOf(hwnd) == L"Button") {
    const UINT lines = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        return {client.right - 2 * edge, lines};
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        return {client.right - ::GetSystemMetrics(SM_CXMENUCHECK) - 2 * edge, lines};
      case BS_GROUPBOX:
        return {client.right - 4 * edge, DT_SINGLELINE};
      default:
        break;
    }
  }
  return {0, 0};
}

// What does not fit: every visible control of the dialog or of a dialog
// inside it (a page) that reaches outside its parent's client area, and
// every label or button whose text (single-line, or wrapped as drawn) is
// wider or taller than the room it has. What lies inside a control (a
// list's heading, a combo box's list) is the control's to place.
Strings LayoutFaults(HWND window) {
  std::vector<HWND> inside;
  ::EnumChildWindows(
      window, [](HWND hwnd, LPARAM lp) { return reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd), TRUE; },
      reinterpret_cast<LPARAM>(&inside));
  Strings faults;
  for (HWND hwnd : inside) {
    HWND parent = ::GetParent(hwnd);
    if (!::IsWindowVisible(hwnd) || (ClassOf(parent) != L"#32770" && ClassOf(hwnd) != L"#32770")) continue;
    RECT rc{}, room{}, client{};
    ::GetWindowRect(hwnd, &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::GetClientRect(parent, &room);
    ::GetClientRect(hwnd, &client);
    if (rc.left < room.left || rc.top < room.top || rc.right > room.right || rc.bottom > room.bottom)
      faults.push_back(Describe(hwnd) + ": outside its parent " + Describe(parent));

    const auto [width, flags] = TextRoom(hwnd);
    const std::wstring text = Widen(CWindow::GetText(hwnd));
    if (width <= 0 || text.empty()) continue;
    RECT needed{0, 0, width, 0};
    const CClientDC dc(hwnd);
    const CSelectObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_EXPANDTABS | flags);
    if (needed.right > width || needed.bottom > client.bottom)
      faults.push_back(Describe(hwnd) + ": its text needs " + std::to_string(needed.right) + "x" +
                       std::to_string(needed.bottom) + ", has " + std::to_string(width) + "x" +
                       std::to_string(client.bottom));
  }
  return faults;
}

// A click on a tab of a tab control, as the mouse gives it.
void ClickTab(HWND tab, int index) {
  RECT rc{};
  ::SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(tab, WM_LBUTTONUP, 0, at);
}

HWND VisiblePage(HWND settings) {
  HWND tab = ::GetDlgItem(settings, IDC_TAB_ADVANCED);
  for (HWND page = ::FindWindowExW(tab, nullptr, L"#32770", nullptr); page != nullptr;
       page = ::FindWindowExW(tab, page, L"#32770", nullptr))
    if (::IsWindowVisible(page)) return page;
  return nullptr;
}

int FontHeight(HWND hwnd) {
  LOGFONTW lf{};
  ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return std::abs(lf.lfHeight);
}

std::vector<SyntheticAdapter> Adapters() {
  SyntheticAdapter ethernet =
      Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
              {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual, 86400, 3600),
               Address("fe80::20c:29ff:feab:cdef", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress)});
  ethernet.dnsServers = {{"2001:db8::53"}, {"fd00::53"}};
  return {ethernet};
}

class Dpi : public MainWindow {
 protected:
  // The window's faults are none, and a picture of it is kept.
  void Check(HWND window, const std::string& name) {
    EXPECT_EQ(LayoutFaults(window), Strings{}) << name << " at " << m_nDpi << " dots per inch";
    EXPECT_TRUE(SaveScreenshot(window, "dpi-" + std::to_string(m_nDpi) + "-" + name + ".png")) << name;
  }

  // A step for the next dialog: it is checked, then closed with `button`.
  DialogStep CheckAndClose(const std::string& name, int button = IDCANCEL) {
    return [this, name, button](HWND dialog) {
      m_opened.push_back(name);
      Check(dialog, name);
      test::ClickButton(dialog, button);
    };
  }

  const int m_nDpi = PrefixDpi();
  Strings m_opened;  // the windows checked, in turn
};

TEST_F(Dpi, EveryWindowFitsItsTextsAndControlsAtThePrefixResolution) {
  const CClientDC screen(nullptr);
  ASSERT_EQ(::GetDeviceCaps(screen.get(), LOGPIXELSY), m_nDpi) << "the prefix's LogPixels did not take effect";
  CSyntheticAdapterSource source(Adapters());
  // The Interface and Neighbors pages show rows of their own.
  test::CInjectedGuardFacts guardFacts;
  guardFacts.SetInterfaceId("Ethernet 2", 7);
  test::CInjectedInterfaceFacts interfaceFacts;
  CInterfaceSettings ethernet;
  ethernet.m_nReachableMs = 27500;
  interfaceFacts.SetSettings(7, ethernet);
  interfaceFacts.SetNeighbors({{7, "fe80::1", {0x00, 0x0c, 0x29, 0xab, 0xcd, 0xef}, NEIGHBOR_STATE_REACHABLE, true},
                               {7, "2001:db8::5", {}, NEIGHBOR_STATE_INCOMPLETE, false}});
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(GetWindowDpi(m_hwnd), static_cast<UINT>(m_nDpi));
  Check(m_hwnd, "main");

  m_catcher.ScriptNextDialog({CheckAndClose("add-address")});
  Press(IDC_BUTTON_ADD);
  ClickRow(0);
  m_catcher.ScriptNextDialog({CheckAndClose("address-properties")});
  Press(IDC_BUTTON_EDIT);
  m_catcher.ScriptNextDialog({[&](HWND settings) {
                                m_opened.push_back("advanced-dns");
                                Check(settings, "advanced-dns");
                                m_catcher.ScriptNextDialog({CheckAndClose("add-dns")});
                                test::ClickButton(VisiblePage(settings), IDC_BUTTON_ADD_HOST);
                                ClickTab(::GetDlgItem(settings, IDC_TAB_ADVANCED), 1);
                              },
                              [&](HWND settings) {
                                HWND page = VisiblePage(settings);
                                ASSERT_NE(::GetDlgItem(page, IDC_LIST_ROUTES), nullptr) << "the Routes page is shown";
                                m_opened.push_back("advanced-routes");
                                Check(settings, "advanced-routes");
                                m_catcher.ScriptNextDialog({CheckAndClose("add-route")});
                                test::ClickButton(page, IDC_BUTTON_ADD_ROUTE);
                                ClickTab(::GetDlgItem(settings, IDC_TAB_ADVANCED), 2);
                              },
                              [&](HWND settings) {
                                HWND page = VisiblePage(settings);
                                ASSERT_NE(::GetDlgItem(page, IDC_LIST_PREFIX_POLICIES), nullptr)
                                    << "the System page is shown";
                                m_opened.push_back("advanced-system");
                                Check(settings, "advanced-system");
                                test::ClickTabTitled(::GetDlgItem(settings, IDC_TAB_ADVANCED), "Interface");
                              },
                              [&](HWND settings) {
                                ASSERT_NE(::GetDlgItem(VisiblePage(settings), IDC_BUTTON_IFSET_APPLY), nullptr);
                                m_opened.push_back("advanced-interface");
                                Check(settings, "advanced-interface");
                                test::ClickTabTitled(::GetDlgItem(settings, IDC_TAB_ADVANCED), "Neighbors");
                              },
                              [&](HWND settings) {
                                ASSERT_NE(::GetDlgItem(VisiblePage(settings), IDC_LIST_NEIGHBORS), nullptr);
                                m_opened.push_back("advanced-neighbors");
                                Check(settings, "advanced-neighbors");
                                test::ClickTabTitled(::GetDlgItem(settings, IDC_TAB_ADVANCED), "Diagnose");
                              },
                              [&](HWND settings) {
                                ASSERT_NE(::GetDlgItem(VisiblePage(settings), IDC_BUTTON_DIAG_RUN), nullptr);
                                m_opened.push_back("advanced-diagnose");
                                Check(settings, "advanced-diagnose");
                                test::ClickButton(settings, IDCANCEL);
                              }});
  Press(IDC_BUTTON_ADVANCED);
  m_catcher.ScriptNextDialog({CheckAndClose("history")});
  Press(IDC_BUTTON_HISTORY);
  m_catcher.ScriptNextDialog({CheckAndClose("about", IDOK)});
  ::SendMessageW(m_hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);

  EXPECT_EQ(m_opened, (Strings{"add-address", "address-properties", "advanced-dns", "add-dns", "advanced-routes",
                               "add-route", "advanced-system", "advanced-interface", "advanced-neighbors",
                               "advanced-diagnose", "history", "about"}));
  EXPECT_EQ(m_catcher.Boxes().size(), 0u) << "no message box on the way";
}

// The logo is scaled to the resolution with its transparent colour keyed
// out first: around it, read back from the window as drawn, no pixel is of
// magenta's hue (red and blue both well above green), whether the key
// itself or a blend of the picture's edge with it.
TEST_F(Dpi, TheLogoShowsNoPixelOfItsTransparentColour) {
  CSyntheticAdapterSource source(Adapters());
  ASSERT_NE(Open(), nullptr);
  HWND logo = m_dlg.GetDlgItem(IDC_LOGO);
  ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT area = m_dlg.GetChildRect(logo);
  ::InflateRect(&area, 4, 4);
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const CBitmap picture(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_NE(picture.get(), nullptr);
  {
    const CClientDC window(m_hwnd);
    const CMemoryDC copy(::CreateCompatibleDC(window.get()));
    const CSelectObject selected(copy.get(), picture.get());
    ASSERT_TRUE(::BitBlt(copy.get(), 0, 0, w, h, window.get(), area.left, area.top, SRCCOPY));
  }
  int keyHue = 0;
  int drawn = 0;
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  for (int i = 0; i < w * h; ++i) {
    const std::uint32_t pixel = static_cast<const std::uint32_t*>(bits)[i];
    const int red = static_cast<int>((pixel >> 16) & 0xFF);
    const int green = static_cast<int>((pixel >> 8) & 0xFF);
    const int blue = static_cast<int>(pixel & 0xFF);
    if (red > green + 40 && blue > green + 40) ++keyHue;
    if (RGB(red, green, blue) != face) ++drawn;
  }
  EXPECT_EQ(keyHue, 0) << "pixels of magenta's hue around the logo at " << m_nDpi << " dots per inch";
  EXPECT_GT(drawn, w * h / 4) << "the logo itself is drawn";
  EXPECT_TRUE(SaveScreenshot(m_hwnd, "dpi-" + std::to_string(m_nDpi) + "-logo.png"));
}

// Windows tells a window that it moved to a monitor at 200 % (Wine has one
// resolution for every monitor and sends no such message: the test sends
// what Windows would).
TEST_F(Dpi, AWindowMovedToAMonitorAtTwiceTheScalingGrowsWithItsContents) {
  const CClientDC screen(nullptr);
  ASSERT_EQ(::GetDeviceCaps(screen.get(), LOGPIXELSY), DESIGN_DPI);
  CSyntheticAdapterSource source(Adapters());
  ASSERT_NE(Open(), nullptr);
  const RECT before = m_dlg.GetWindowRect();
  HWND exit = m_dlg.GetDlgItem(IDOK);
  const RECT exitBefore = m_dlg.GetChildRect(exit);
  const RECT clientBefore = m_dlg.GetClientRect();
  const int fontBefore = FontHeight(exit);
  HWND heading = ListView_GetHeader(List().GetSafeHwnd());
  const int headingFontBefore = FontHeight(heading);
  const auto columnWidth = [&] { return ::SendMessageW(List().GetSafeHwnd(), LVM_GETCOLUMNWIDTH, 0, 0); };
  const LRESULT columnBefore = columnWidth();

  const RECT suggested{before.left, before.top, before.left + 2 * (before.right - before.left),
                       before.top + 2 * (before.bottom - before.top)};
  ::SendMessageW(m_hwnd, MSG_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  const RECT after = m_dlg.GetWindowRect();
  EXPECT_TRUE(::EqualRect(&after, &suggested)) << "the window takes the suggested rectangle";
  EXPECT_EQ(GetWindowDpi(exit), 192u);
  EXPECT_NEAR(FontHeight(exit), 2 * fontBefore, 1) << "the dialog font, its lines no taller than the controls grew";
  EXPECT_EQ(columnWidth(), 2 * columnBefore) << "the list's first column";
  EXPECT_NEAR(FontHeight(heading), 2 * headingFontBefore, 1) << "the list's heading, scaled once (through the list)";
  const RECT exitAfter = m_dlg.GetChildRect(exit);
  const RECT clientAfter = m_dlg.GetClientRect();
  EXPECT_NEAR(exitAfter.right - exitAfter.left, 2 * (exitBefore.right - exitBefore.left), 2) << "Exit's width";
  EXPECT_NEAR(clientAfter.right - exitAfter.right, 2 * (clientBefore.right - exitBefore.right), 2 + 2 * 4)
      << "Exit keeps its (scaled) distance from the right edge, the frame's own scaling aside";
  EXPECT_EQ(LayoutFaults(m_hwnd), Strings{}) << "main window at 192 after the move";
  EXPECT_TRUE(SaveScreenshot(m_hwnd, "dpi-moved-to-192-main.png"));

  // The property list of an address dialog that moves: rows and the name
  // column follow.
  m_catcher.ScriptNextDialog({[&](HWND add) {
    HWND list = ::GetDlgItem(add, IDC_ADDRESS_PROPERTY_LIST);
    const int rowBefore = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT rc{};
    ::GetWindowRect(add, &rc);
    const RECT twice{rc.left, rc.top, rc.left + 2 * (rc.right - rc.left), rc.top + 2 * (rc.bottom - rc.top)};
    ::SendMessageW(add, MSG_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&twice));
    EXPECT_NEAR(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 2 * rowBefore, 2) << "the property list's rows";
    EXPECT_EQ(LayoutFaults(add), Strings{}) << "Add Address after the move";
    EXPECT_TRUE(SaveScreenshot(add, "dpi-moved-to-192-add-address.png"));
    test::ClickButton(add, IDCANCEL);
  }});
  Press(IDC_BUTTON_ADD);

  // Sized by the user at 200 %, the window is remembered in pixels at 96.
  ::SetWindowPos(m_hwnd, nullptr, 0, 0, after.right - after.left + 60, after.bottom - after.top + 40,
                 SWP_NOMOVE | SWP_NOZORDER);
  const RECT sized = m_dlg.GetWindowRect();
  m_dlg.DestroyWindow();
  const CProfile& profile = m_scope.App().GetProfile();
  EXPECT_EQ(profile.GetProfileInt(m_dlg.GetProfileSection(), "CX", 0), ScaleMetric(sized.right - sized.left, 96, 192));
  EXPECT_EQ(profile.GetProfileInt(m_dlg.GetProfileSection(), "CY", 0), ScaleMetric(sized.bottom - sized.top, 96, 192));
}

TEST_F(Dpi, FiftyResolutionChangesLeaveOneSetOfFonts) {
  CSyntheticAdapterSource source(Adapters());
  ASSERT_NE(Open(), nullptr);
  HWND exit = m_dlg.GetDlgItem(IDOK);
  const auto fontOf = [](HWND hwnd) { return reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)); };
  const HGDIOBJ templateFont = fontOf(exit);
  std::vector<HGDIOBJ> made;
  for (int change = 0; change < 50; ++change) {
    const UINT dpi = change % 2 == 0 ? 192 : 96;
    RECT rc = m_dlg.GetWindowRect();
    ::SendMessageW(m_hwnd, MSG_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rc));
    made.push_back(fontOf(exit));
  }
  int alive = 0;
  for (size_t i = 0; i + 1 < made.size(); ++i) alive += ::GetObjectType(made[i]) != 0 ? 1 : 0;
  EXPECT_EQ(alive, 0) << "every font made for an earlier resolution was freed";
  EXPECT_EQ(::GetObjectType(made.back()), static_cast<DWORD>(OBJ_FONT)) << "the one shown lives";
  EXPECT_EQ(::GetObjectType(templateFont), static_cast<DWORD>(OBJ_FONT)) << "the template's font is not ours to free";
}

}  // namespace
}  // namespace vantoric
