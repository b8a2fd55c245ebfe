// The Routes page of Advanced Settings on an injected route table: the rows,
// Add Route with its checks, Set Gateway, Remove behind the default-route
// guard, and a system without the route functions; the lines that the
// recording netsh received.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/address_change_win32.h"
#include "core/netsh_run_win32.h"
#include "dialogs/advanced_settings_dlg.h"
#include "framework/controls.h"
#include "resources/resource.h"
#include "tests/win/support/connection_source.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using Strings = std::vector<std::string>;
constexpr std::uint32_t INF = 0xFFFFFFFFu;

CRouteData Route(std::uint64_t luid, std::string prefix, int length, std::string nextHop, std::uint32_t metric,
                 std::uint32_t valid, int origin) {
  CRouteData route;
  route.m_nInterface = luid;
  route.m_strPrefix = std::move(prefix);
  route.m_nPrefixLength = length;
  route.m_strNextHop = std::move(nextHop);
  route.m_nMetric = metric;
  route.m_nValidLifetime = valid;
  route.m_nPreferredLifetime = valid;
  route.m_nOrigin = origin;
  return route;
}

void Type(HWND dlg, int id, const char* text) { ::SetWindowTextA(::GetDlgItem(dlg, id), text); }

class RoutesPage : public test::CNetshStandinTest {
 protected:
  void SetUp() override {
    SetWindowsMajorVersionForTests(5);
    m_catcher.SetStrict(true);
    m_facts.SetInterfaceId("Ethernet 2", 7);
    m_facts.SetInterfaceId("Wi-Fi", 9);
    m_facts.SetRouteTable({RouteTableState::Read, 0,
                           {Route(7, "2001:db8:1::", 48, "::", 16, INF, ROUTE_ORIGIN_MANUAL),
                            Route(9, "::", 0, "fe80::2", 256, 1800, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT),
                            Route(7, "::", 0, "fe80::1", 256, 1800, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT),
                            Route(7, "fe80::", 64, "::", 256, INF, ROUTE_ORIGIN_WELL_KNOWN)}});
    m_adapters = {test::Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD), test::Adapter("Wi-Fi", IF_TYPE_IEEE80211)};
    m_snapshot = test::TakeSyntheticSnapshot(m_adapters);
    m_dlg = std::make_unique<CAdvancedSettingsDlg>(m_snapshot.records.data(),
                                                   static_cast<int>(m_snapshot.records.size()), m_snapshot.names);
    m_hDlg = m_dlg->Create(nullptr);
    ASSERT_NE(m_hDlg, nullptr);
    ::ShowWindow(m_hDlg, SW_SHOW);
    // A click on the second tab, as the mouse gives it.
    HWND tab = ::GetDlgItem(m_hDlg, IDC_TAB_ADVANCED);
    RECT rc{};
    ::SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(tab, WM_LBUTTONUP, 0, at);
    for (HWND page = nullptr; (page = ::FindWindowExW(tab, page, L"#32770", nullptr)) != nullptr;)
      if (::GetDlgItem(page, IDC_LIST_ROUTES) != nullptr) m_hPage = page;
    ASSERT_NE(m_hPage, nullptr);
  }
  void TearDown() override {
    if (m_dlg && m_dlg->IsWindow()) m_dlg->DestroyWindow();
    SetWindowsMajorVersionForTests(0);
  }

  HWND Item(int id) const { return ::GetDlgItem(m_hPage, id); }
  Strings Rows() const {
    const CListView list(Item(IDC_LIST_ROUTES));
    Strings rows;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      std::string row;
      for (int col = 0; col < 6; ++col) row += (col ? " | " : "") + list.GetItemText(i, col);
      rows.push_back(row);
    }
    return rows;
  }
  Strings Boxes() const { return m_catcher.Summaries(); }

  test::CNetshStandin m_standin{::testing::UnitTest::GetInstance()->current_test_info()->name()};
  test::CGuiTestScope m_scope{"Vantoric Routes Page Tests"};
  test::CMessageBoxCatcher m_catcher;
  test::CInjectedGuardFacts m_facts;
  std::vector<test::SyntheticAdapter> m_adapters;
  test::SyntheticSnapshot m_snapshot;
  std::unique_ptr<CAdvancedSettingsDlg> m_dlg;
  HWND m_hDlg = nullptr;
  HWND m_hPage = nullptr;
};

TEST_F(RoutesPage, ListsAddsSetsTheGatewayAndRemovesBehindTheGuard) {
  EXPECT_TRUE(::IsWindowVisible(m_hPage)) << "the tab shows the Routes page";
  EXPECT_EQ(Rows(), (Strings{"::/0 | fe80::1 | 256 | 30m0s | 30m0s | Router Advertisement",
                             "2001:db8:1::/48 | On-link | 16 | infinite | infinite | Manual",
                             "fe80::/64 | On-link | 256 | infinite | infinite | Well-known"}))
      << "this adapter's routes, the default route first";
  HWND list = Item(IDC_LIST_ROUTES);
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 6) << "no Store column: the table does not tell it";
  int columns = ::GetSystemMetrics(SM_CXVSCROLL);
  for (int col = 0; col < 6; ++col) columns += static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, col, 0));
  RECT client{};
  ::GetClientRect(list, &client);
  EXPECT_LE(columns, client.right + ((::GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0))
      << "the columns fit beside the scroll bar";
  EXPECT_EQ(::GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL, 0) << "no horizontal scrolling";
  EXPECT_TRUE(test::SaveScreenshot(m_hDlg, "routes_page.png"));

  // A change of the system's addresses reads the table again.
  CRouteTableReading more = m_facts.RouteTable();
  more.m_routes.push_back(Route(7, "2001:db8:5::", 64, "::", 256, 86400, ROUTE_ORIGIN_ROUTER_ADVERTISEMENT));
  m_facts.SetRouteTable(more);
  NotifyWatchesForTests();
  EXPECT_TRUE(test::PumpUntil([&] { return Rows().size() == 4; }, 3000)) << "the new route is listed";

  // Add Route: a prefix with host bits is refused, the field named; the
  // corrected input is sent as typed.
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.ScriptNextDialog({[&](HWND add) {
    Type(add, IDC_EDIT_ROUTE_PREFIX, " 2001:db8:2::1/48 ");
    test::ClickButton(add, IDOK);
    EXPECT_EQ(m_standin.ReadLog(), "") << "nothing sent after a refusal";
    Type(add, IDC_EDIT_ROUTE_PREFIX, "2001:db8:2::/48");
    Type(add, IDC_EDIT_ROUTE_NEXTHOP, "fe80::1");
    Type(add, IDC_EDIT_ROUTE_METRIC, "10");
    ::SendDlgItemMessageW(add, IDC_COMBO_ROUTE_STORE, CB_SETCURSEL, 1, 0);
    EXPECT_TRUE(test::SaveScreenshot(add, "add_route.png"));
    test::ClickButton(add, IDOK);
  }});
  test::ClickButton(m_hPage, IDC_BUTTON_ADD_ROUTE);
  ASSERT_EQ(m_catcher.Boxes().size(), 2u);
  EXPECT_EQ(m_catcher.Boxes()[0].caption, "Add Route");
  EXPECT_NE(m_catcher.Boxes()[0].text.find("2001:db8:2::1/48"), std::string::npos) << m_catcher.Boxes()[0].text;
  EXPECT_EQ(Boxes()[1], "Add Route | The route was added. | I");
  EXPECT_EQ(m_standin.ReadLog(),
            test::CNetshStandin::RunLog("interface ipv6 add route 2001:db8:2::/48 \"Ethernet 2\" fe80::1 metric=10 "
                                        "validlifetime=infinite preferredlifetime=infinite store=active"));

  // Set Gateway: the default route's prefix is fixed and a next hop needed.
  m_standin.ClearLog();
  m_catcher.Clear();
  m_catcher.QueueAnswer(IDOK);
  m_catcher.QueueAnswer(IDOK);
  m_catcher.ScriptNextDialog({[&](HWND add) {
    EXPECT_EQ(test::DialogItemText(add, IDC_EDIT_ROUTE_PREFIX), "::/0");
    test::ClickButton(add, IDOK);
    Type(add, IDC_EDIT_ROUTE_NEXTHOP, "fe80::254");
    test::ClickButton(add, IDOK);
  }});
  test::ClickButton(m_hPage, IDC_BUTTON_SET_GATEWAY);
  EXPECT_EQ(Boxes(), (Strings{"Set Gateway | Enter the gateway's address as the next hop. | E",
                              "Set Gateway | The gateway was set. | I"}));
  EXPECT_EQ(m_standin.ReadLog(),
            test::CNetshStandin::RunLog("interface ipv6 add route ::/0 \"Ethernet 2\" fe80::254 "
                                        "validlifetime=infinite preferredlifetime=infinite store=persistent"));

  // Remove the only default route while a connection beyond the link
  // depends on it: the warning comes first, and Yes removes it.
  m_standin.ClearLog();
  m_catcher.Clear();
  m_facts.SetConnections({test::EstablishedConnection("2001:db8:1::5", 3389, "2001:db8:99::7")});
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(Item(IDC_LIST_ROUTES), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  m_catcher.QueueAnswer(IDYES);
  m_catcher.QueueAnswer(IDOK);
  test::ClickButton(m_hPage, IDC_BUTTON_REMOVE_ROUTE);
  ASSERT_EQ(m_catcher.Boxes().size(), 2u);
  EXPECT_EQ(m_catcher.Boxes()[0].icon, test::BoxIcon::Warning);
  EXPECT_NE(m_catcher.Boxes()[0].text.find("::/0"), std::string::npos) << m_catcher.Boxes()[0].text;
  EXPECT_EQ(Boxes()[1], "Remove Route | The route was removed. | I");
  EXPECT_EQ(m_standin.ReadLog(),
            test::CNetshStandin::RunLog("interface ipv6 delete route ::/0 \"Ethernet 2\" fe80::1"));
}

TEST_F(RoutesPage, WithoutTheRouteFunctionsThePageSaysSoAndStillAdds) {
  m_facts.SetRouteTable({RouteTableState::NotSupported, 0, {}});
  ::SendMessageW(Item(IDC_COMBO_ROUTE_INTERFACE), CB_SETCURSEL, 1, 0);
  ::SendMessageW(m_hPage, WM_COMMAND, MAKEWPARAM(IDC_COMBO_ROUTE_INTERFACE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_COMBO_ROUTE_INTERFACE)));
  EXPECT_FALSE(::IsWindowVisible(Item(IDC_LIST_ROUTES)));
  EXPECT_TRUE(::IsWindowVisible(Item(IDC_STATIC_ROUTES_NOTE)));
  EXPECT_EQ(test::DialogItemText(m_hPage, IDC_STATIC_ROUTES_NOTE),
            "Routes cannot be listed on this version of Windows. Add Route and Set Gateway still work.");
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_BUTTON_ADD_ROUTE)));
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_BUTTON_SET_GATEWAY)));
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_BUTTON_REMOVE_ROUTE))) << "nothing listed to remove";
}

}  // namespace
}  // namespace vantoric
