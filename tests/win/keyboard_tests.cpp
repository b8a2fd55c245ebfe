// The dialogs worked from the keyboard alone, and read by a screen reader:
// every key goes to the window with the focus through the dialog's own loop,
// as the keyboard delivers it; what netsh received, and what the system's
// accessibility library reports, are read back.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/ipv6_control_win32.h"
#include "dialogs/add_ip6_dlg.h"
#include "dialogs/advanced_settings_dlg.h"
#include "framework/system_library.h"
#include "framework/utf8.h"
#include "resources/resource.h"
#include "resources/resource_address_dialogs.h"
#include "resources/resource_link_dialogs.h"
#include "tests/win/support/gui_support.h"
#include "tests/win/support/netsh_path_scope.h"
#include "tests/win/support/netsh_standin_support.h"
#include "tests/win/support/synthetic_adapters.h"

namespace vantoric {
namespace {

using test::CNetshStandin;
using test::DialogStep;
using Steps = std::vector<DialogStep>;

// Keys for the characters of `text` (digits and lower-case letters).
std::vector<UINT> KeysOf(std::string_view text) {
  std::vector<UINT> keys;
  for (char c : text) keys.push_back(static_cast<UINT>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
  return keys;
}

void Append(Steps& steps, Steps more) {
  for (DialogStep& step : more) steps.push_back(std::move(step));
}

// A step that checks where the focus is (the control, or the field of a
// drop-down combo box), so that a key that went astray is named by the step
// it broke.
DialogStep ExpectFocus(int id, const char* where) {
  return [id, where](HWND dlg) {
    HWND focus = ::GetFocus();
    if (::GetDlgCtrlID(focus) != id) focus = ::GetParent(focus);
    EXPECT_EQ(::GetDlgCtrlID(focus), id) << where;
    EXPECT_TRUE(::IsChild(dlg, focus)) << where;
  };
}

class KeyboardTest : public test::CNetshStandinTest {
 protected:
  // A step that presses a key whose command runs netsh and waits, pumping,
  // until `boxes` message boxes have come: the command's wait lets the
  // dialog's loop run dry before it ends.
  DialogStep PressAndWaitForBoxes(UINT vk, size_t boxes) {
    return [this, vk, boxes](HWND) {
      test::PressKey(vk);
      EXPECT_TRUE(test::PumpUntil([&] { return m_catcher.Boxes().size() >= boxes; }, 20000)) << "boxes: " << boxes;
    };
  }
  void SetUp() override { m_catcher.SetStrict(true); }

  // The elevated launch of Windows 6, from a program without the rights
  // (Wine's own token has them).
  test::CNetshPathScope m_path{6, 0};
  test::CGuiTestScope m_scope{"Vantoric Keyboard Tests"};
  test::CMessageBoxCatcher m_catcher;
};

TEST_F(KeyboardTest, AddsAnAddressWithLifetimesAndActiveStoreByKeysAlone) {
  CNetshStandin standin("keyboard-add");
  const std::string name = "Local Area Connection 2";
  test::SyntheticSnapshot snapshot = test::TakeSyntheticSnapshot({test::Adapter(name, IF_TYPE_ETHERNET_CSMACD)});
  CAddIP6Dlg dlg(snapshot.records.data(), snapshot.names, 0);

  Steps steps = {ExpectFocus(IDC_ADD_COMBO_PREFIX, "the first enabled control has the focus")};
  // Past the identifier and the check box into the address field.
  Append(steps, test::KeySteps({VK_TAB, VK_TAB, VK_TAB}));
  steps.push_back(ExpectFocus(IDC_IPV6_ADDRESS, "three Tabs reach the address"));
  for (const std::string group : {"2001", "db8", "0", "0", "0", "0", "0", "42"}) {
    Append(steps, test::KeySteps(KeysOf(group)));
    // The fourth digit moves on by itself; Tab ends a shorter group, and
    // leaves the field from the last.
    if (group.size() < 4) Append(steps, test::KeySteps({VK_TAB}));
  }
  steps.push_back(ExpectFocus(IDC_ADDRESS_PROPERTY_LIST, "Tab in the last group reaches the rows"));
  // Type: F4 opens its choices, Enter keeps the highlighted "unicast".
  Append(steps, test::KeySteps({VK_DOWN, VK_F4, VK_RETURN}));
  // Store: Down from the arrow button, Alt+Down opens, Up takes "active".
  Append(steps, test::KeySteps({VK_DOWN}));
  steps.push_back([](HWND) { test::PressKey(VK_DOWN, true); });
  steps.push_back(ExpectFocus(IDC_PROPLIST_DROP_LIST, "Alt+Down opens the store's choices"));
  Append(steps, test::KeySteps({VK_UP}));
  // The lifetimes: Down to the row, F2 into its field, typed, Down on.
  Append(steps, test::KeySteps({VK_DOWN, VK_F2}));
  steps.push_back(ExpectFocus(IDC_PROPLIST_EDIT, "F2 opens the valid lifetime's field"));
  Append(steps, test::KeySteps(KeysOf("1d")));
  Append(steps, test::KeySteps({VK_DOWN, VK_F2}));
  Append(steps, test::KeySteps(KeysOf("2h")));
  steps.push_back([](HWND hDlg) { EXPECT_TRUE(test::SaveScreenshot(hDlg, "keyboard_add_address.png")); });
  // Enter in the field is OK, with the typed text committed first.
  m_catcher.QueueAnswer(IDOK);
  steps.push_back(PressAndWaitForBoxes(VK_RETURN, 1));
  m_catcher.ScriptNextDialog(std::move(steps));

  EXPECT_EQ(dlg.DoModal(nullptr), IDOK);
  EXPECT_EQ(m_catcher.Summaries(),
            (std::vector<std::string>{"Add New IPv6 Address | Successfully added New IPv6 Address. | I"}));
  EXPECT_EQ(standin.ReadLog(),
            CNetshStandin::RunLog("interface ipv6 add address \"" + name + "\" 2001:db8:0:0:0:0:0:42 unicast 1d 2h active"));
}

TEST_F(KeyboardTest, RemovesADnsServerByKeysAlone) {
  CNetshStandin standin("keyboard-dns");
  test::SyntheticAdapter adapter = test::Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD);
  for (const char* server : {"2001:db8::1", "2001:db8::2", "2001:db8::3"}) adapter.dnsServers.push_back({server});
  test::SyntheticSnapshot snapshot = test::TakeSyntheticSnapshot({adapter});
  CAdvancedSettingsDlg dlg(snapshot.records.data(), 1, snapshot.names);

  Steps steps = {ExpectFocus(IDC_COMBO_DNS_INTERFACE, "the page's first control has the focus")};
  Append(steps, test::KeySteps({VK_TAB}));
  steps.push_back(ExpectFocus(IDC_LIST_DNS, "Tab reaches the servers"));
  // The second server, then on past Add Host to Remove.
  Append(steps, test::KeySteps({VK_DOWN, VK_DOWN, VK_TAB}));
  steps.push_back(ExpectFocus(IDC_BUTTON_ADD_HOST, "Tab reaches Add Host"));
  // Edit is disabled and skipped.
  Append(steps, test::KeySteps({VK_TAB}));
  steps.push_back(ExpectFocus(IDC_BUTTON_REMOVE_DNS, "Tab reaches Remove"));
  m_catcher.QueueAnswer(IDYES);
  m_catcher.QueueAnswer(IDOK);
  steps.push_back(PressAndWaitForBoxes(VK_SPACE, 2));
  // Escape inside the page closes nothing: Tab on out of it to Cancel.
  Append(steps, test::KeySteps({VK_TAB, VK_TAB}));
  steps.push_back(ExpectFocus(IDCANCEL, "two Tabs from Remove reach Cancel"));
  Append(steps, test::KeySteps({VK_SPACE}));
  m_catcher.ScriptNextDialog(std::move(steps));

  EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(m_catcher.Summaries(),
            (std::vector<std::string>{
                "Remove DNS Address | Are you sure you want to remove selected DNS Address? | Q",
                "Remove DNS Address | Successfully removed selected DNS address. | I"}));
  EXPECT_EQ(standin.ReadLog(), CNetshStandin::RunLog("interface ipv6 delete dns \"Ethernet 2\" 2001:db8::2"));
}

// A step that checks which page the tabs show (the one page visible, named
// by a control on it).
DialogStep ExpectPage(int id, const char* where) {
  return [id, where](HWND dlg) {
    HWND tab = ::GetDlgItem(dlg, IDC_TAB_ADVANCED);
    std::vector<HWND> shown;
    for (HWND page = nullptr; (page = ::FindWindowExW(tab, page, L"#32770", nullptr)) != nullptr;)
      if (::IsWindowVisible(page)) shown.push_back(page);
    ASSERT_EQ(shown.size(), 1u) << where;
    EXPECT_NE(::GetDlgItem(shown[0], id), nullptr) << where;
  };
}

// Ctrl+Tab, or Ctrl+Shift+Tab, pressed at the focus; the keys are let go
// once the dialog has taken it.
Steps CtrlTab(bool bShift) {
  const auto hold = [](bool bControl, bool bShiftDown) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = bControl ? 0x80 : 0;
    keys[VK_SHIFT] = bShiftDown ? 0x80 : 0;
    ::SetKeyboardState(keys);
  };
  return {[=](HWND) {
            hold(true, bShift);
            test::PressKey(VK_TAB);
          },
          [=](HWND) { hold(false, false); }};
}

TEST_F(KeyboardTest, TheArrowKeysOnTheTabsAndCtrlTabAnywhereSwitchThePages) {
  test::SyntheticSnapshot snapshot = test::TakeSyntheticSnapshot({test::Adapter("Ethernet 2", IF_TYPE_ETHERNET_CSMACD)});
  CAdvancedSettingsDlg settings(snapshot.records.data(), 1, snapshot.names);
  Steps steps = {ExpectPage(IDC_COMBO_DNS_INTERFACE, "opens on DNS"),
                 [](HWND dlg) { ::SetFocus(::GetDlgItem(dlg, IDC_TAB_ADVANCED)); }};
  Append(steps, test::KeySteps({VK_RIGHT}));
  steps.push_back(ExpectPage(IDC_LIST_ROUTES, "Right on the tabs"));
  steps.push_back(ExpectFocus(IDC_TAB_ADVANCED, "the tabs keep the focus while they are browsed"));
  Append(steps, test::KeySteps({VK_LEFT}));
  steps.push_back(ExpectPage(IDC_COMBO_DNS_INTERFACE, "Left on the tabs"));
  steps.push_back([](HWND dlg) {
    HWND tab = ::GetDlgItem(dlg, IDC_TAB_ADVANCED);
    for (HWND page = nullptr; (page = ::FindWindowExW(tab, page, L"#32770", nullptr)) != nullptr;)
      if (HWND box = ::GetDlgItem(page, IDC_COMBO_DNS_INTERFACE))
        ::SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
  });
  steps.push_back(ExpectFocus(IDC_COMBO_DNS_INTERFACE, "the adapter's box"));
  Append(steps, CtrlTab(false));
  steps.push_back(ExpectPage(IDC_LIST_ROUTES, "Ctrl+Tab inside the DNS page"));
  steps.push_back(ExpectFocus(IDC_COMBO_ROUTE_INTERFACE, "the page's first control"));
  Append(steps, CtrlTab(true));
  steps.push_back(ExpectPage(IDC_COMBO_DNS_INTERFACE, "Ctrl+Shift+Tab"));
  steps.push_back(ExpectFocus(IDC_COMBO_DNS_INTERFACE, "the page's first control"));
  steps.push_back([](HWND dlg) {
    ::SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dlg, IDCANCEL)), TRUE);
  });
  Append(steps, CtrlTab(true));
  steps.push_back(ExpectPage(IDC_BUTTON_DIAG_RUN, "Ctrl+Shift+Tab on Cancel, round from the first page to the last"));
  steps.push_back([](HWND dlg) { ::SendMessageW(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0); });
  m_catcher.ScriptNextDialog(std::move(steps));
  EXPECT_EQ(settings.DoModal(nullptr), IDCANCEL);
}

// What a screen reader asks a window, through oleacc loaded from the system
// folder; "(no object)" or "(no text)" when it gets nothing.
class CScreenReader {
 public:
  CScreenReader() {
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    const auto pfnInit = GetSystemFunction<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx");
    if (pfnInit != nullptr) pfnInit(nullptr, COINIT_APARTMENTTHREADED);
    m_pfnFromWindow = GetSystemFunction<FromWindowFn>(L"oleacc.dll", "AccessibleObjectFromWindow");
    m_pfnFree = GetSystemFunction<FreeFn>(L"oleaut32.dll", "SysFreeString");
  }
  bool Loaded() const { return m_pfnFromWindow != nullptr && m_pfnFree != nullptr; }

  std::string Name(HWND hwnd, long nChild = CHILDID_SELF) const { return Ask(hwnd, nChild, &IAccessible::get_accName); }
  std::string Value(HWND hwnd, long nChild = CHILDID_SELF) const {
    return Ask(hwnd, nChild, &IAccessible::get_accValue);
  }

 private:
  using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  using FreeFn = void(WINAPI*)(BSTR);

  std::string Ask(HWND hwnd, long nChild, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) const {
    IAccessible* object = nullptr;
    if (FAILED(m_pfnFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object))) ||
        object == nullptr)
      return "(no object)";
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = nChild;
    BSTR text = nullptr;
    const HRESULT hr = (object->*get)(child, &text);
    object->Release();
    if (hr != S_OK || text == nullptr) return "(no text)";
    std::string answer = Narrow(text);
    m_pfnFree(text);
    return answer;
  }

  FromWindowFn m_pfnFromWindow = nullptr;
  FreeFn m_pfnFree = nullptr;
};

TEST_F(KeyboardTest, ScreenReadersHearLabelsRowsAndTheAddressAsWritten) {
  const CScreenReader reader;
  ASSERT_TRUE(reader.Loaded()) << "oleacc from the system folder";
  test::SyntheticSnapshot snapshot = test::TakeSyntheticSnapshot({test::Adapter("eth0", IF_TYPE_ETHERNET_CSMACD)});
  CAddIP6Dlg dlg(snapshot.records.data(), snapshot.names, 0);
  m_catcher.ScriptNextDialog({[&](HWND hDlg) {
    const auto item = [hDlg](int id) { return ::GetDlgItem(hDlg, id); };
    for (char c : std::string("20010db8")) ::SendMessageW(item(IDC_IPV6_ADDRESS), WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_EQ(reader.Value(item(IDC_IPV6_ADDRESS)), "2001:db8::") << "the address as written, not its mask";
    HWND list = item(IDC_ADDRESS_PROPERTY_LIST);
    EXPECT_EQ(reader.Name(list, 1), "Type: unicast");
    EXPECT_EQ(reader.Name(list, 2), "Store: persistent");
    EXPECT_EQ(reader.Name(list, 3), "Valid lifetime: infinite");
    EXPECT_EQ(reader.Name(list, 4), "Pref lifetime: infinite");
    EXPECT_EQ(reader.Name(item(IDOK)), "OK") << "a button by its text";
    EXPECT_EQ(reader.Name(item(IDC_ADD_CHECK_RA_EUI64)), "Derived address from MAC using EUI-64 after receiving RA");
    // Named after the label before them (Wine names a combo box by its
    // text, not its label, so the combo boxes are not checked here).
    EXPECT_EQ(reader.Name(item(IDC_IPV6_ADDRESS)), "Address:");
    EXPECT_EQ(reader.Name(list), "Properties") << "its hidden label";
    ::PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
  }});
  EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
}

}  // namespace
}  // namespace vantoric
