// The main window's test fixture: synthetic adapters, the window opened
// modeless with a test profile, the list, chooser and message boxes read
// back, and the buttons pressed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/address_command_rules.h"
#include "app/vantoric_dlg.h"
#include "framework/controls.h"
#include "resources/resource.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric::test {

// A wireless adapter listed before the Ethernet one, and a tunnel without a
// physical address or IPv6 address.
inline std::vector<SyntheticAdapter> ThreeAdapters() {
  return {
      Adapter("Wi-Fi", IF_TYPE_IEEE80211, {0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F},
              {Address("2001:db8:1::10", IpPrefixOriginRouterAdvertisement, IpSuffixOriginLinkLayerAddress)}),
      Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD, {0x00, 0x0C, 0x29, 0xAB, 0xCD, 0xEF},
              {Address("2001:db8::5", IpPrefixOriginManual, IpSuffixOriginManual),
               Address("2001:db8::abcd", IpPrefixOriginRouterAdvertisement, IpSuffixOriginRandom, 86400, 3600,
                       IpDadStateDeprecated),
               Address("fe80::20c:29ff:feab:cdef", IpPrefixOriginWellKnown, IpSuffixOriginLinkLayerAddress,
                       0xFFFFFFFF, 0xFFFFFFFF, IpDadStatePreferred),
               Address("192.0.2.7", IpPrefixOriginDhcp, IpSuffixOriginDhcp)}),
      Adapter("Tunnel", IF_TYPE_TUNNEL, {}, {Address("10.0.0.1", IpPrefixOriginManual, IpSuffixOriginManual)}),
  };
}

struct Row {
  std::string address, kind, state, valid, preferred;
  bool operator==(const Row&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << r.address << " | " << r.kind << " | " << r.state << " | " << r.valid << " | " << r.preferred;
}

class MainWindow : public ::testing::Test {
 protected:
  void TearDown() override {
    if (m_dlg.IsWindow()) m_dlg.DestroyWindow();
  }

  HWND Open() {
    m_hwnd = m_dlg.Create(nullptr);
    if (m_hwnd != nullptr) {
      ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
      ::UpdateWindow(m_hwnd);
    }
    return m_hwnd;
  }

  CListView List() const { return CListView(m_dlg.GetDlgItem(IDC_LIST_ADDRESSES)); }
  CComboBox Chooser() const { return CComboBox(m_dlg.GetDlgItem(IDC_COMBO_ADAPTER)); }

  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    const CListView list = List();
    for (int i = 0; i < list.GetItemCount(); ++i)
      rows.push_back({list.GetItemText(i, 0), list.GetItemText(i, 1), list.GetItemText(i, 2),
                      list.GetItemText(i, 3), list.GetItemText(i, 4)});
    return rows;
  }

  std::vector<std::string> ChooserEntries() const {
    std::vector<std::string> entries;
    const CComboBox chooser = Chooser();
    for (int i = 0; i < chooser.GetCount(); ++i) entries.push_back(chooser.GetLBText(i));
    return entries;
  }

  std::vector<std::string> Addresses() const {
    std::vector<std::string> texts;
    for (const Row& row : Rows()) texts.push_back(row.address);
    return texts;
  }
  // The highlighted row, or -1.
  int Highlighted() const { return List().GetNextItem(-1, LVNI_SELECTED); }

  void Choose(int entry) {
    Chooser().SetCurSel(entry);
    ::SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_COMBO_ADAPTER, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Chooser().GetSafeHwnd()));
  }

  // A left click in the list at a client point, as the mouse delivers it.
  void ClickList(POINT pt) {
    HWND list = List().GetSafeHwnd();
    ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    test::PumpMessages(30);
  }
  void ClickRow(int row) {
    RECT rc{};
    rc.left = LVIR_LABEL;
    ::SendMessageW(List().GetSafeHwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
    ClickList(POINT{rc.left + 10, (rc.top + rc.bottom) / 2});
  }
  void ClickBelowLastRow() {
    const int count = List().GetItemCount();
    RECT rc{};
    if (count > 0) {
      rc.left = LVIR_BOUNDS;
      ::SendMessageW(List().GetSafeHwnd(), LVM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&rc));
    } else {
      rc.bottom = 30;
    }
    ClickList(POINT{20, rc.bottom + 12});
  }

  void Press(int id) { ::SendMessageW(m_dlg.GetDlgItem(id), BM_CLICK, 0, 0); }
  void CheckBox(size_t n, const std::string& text, const std::string& caption, BoxIcon icon) const {
    ASSERT_GT(m_catcher.Boxes().size(), n) << "box " << n << " \"" << text << "\" was not shown";
    EXPECT_EQ(m_catcher.Boxes()[n].text, text) << "box " << n;
    EXPECT_EQ(m_catcher.Boxes()[n].caption, caption) << "box " << n;
    EXPECT_EQ(m_catcher.Boxes()[n].icon, icon) << "box " << n;
  }
  // The window holds no selection: Remove says so before it asks anything
  // (a question, should one come, is answered Cancel, so nothing runs).
  void ExpectNoSelection(const char* when) {
    const size_t before = m_catcher.Boxes().size();
    m_catcher.QueueAnswer(IDCANCEL);
    Press(IDC_BUTTON_REMOVE);
    ASSERT_EQ(m_catcher.Boxes().size(), before + 1) << when;
    EXPECT_EQ(m_catcher.Boxes().back().text, NOT_SELECTED_MESSAGE) << when;
  }

  test::CGuiTestScope m_scope{"Vantoric Main Window Tests"};
  CMessageBoxCatcher m_catcher;
  CVantoricDlg m_dlg{&m_scope.App().GetProfile()};
  HWND m_hwnd = nullptr;
};

}  // namespace vantoric::test
