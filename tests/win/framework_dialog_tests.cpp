// The dialog base's dispatch, driven on a real dialog from the program's
// resources with the messages a user's actions cause.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_page.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "tests/win/framework_tests_ids.h"
#include "tests/win/support/gui_support.h"

namespace vantoric {
namespace {

class CRecordingDialog : public CDialog {
 public:
  CRecordingDialog() : CDialog(IDD_ABOUTBOX) {}

  std::vector<std::string> calls;
  int sizeCx = -1, sizeCy = -1;
  UINT sizeType = 99;
  UINT_PTR timerId = 0;
  bool throwOnCommand = false;
  UINT notifyCode = 0;

 protected:
  BOOL OnInitDialog() override {
    calls.push_back("init");
    return TRUE;
  }
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override {
    calls.push_back("command " + std::to_string(nId) + "/" + std::to_string(nCode));
    if (throwOnCommand) throw std::runtime_error("handler failed");
    return CDialog::OnCommand(nId, nCode, hCtl);
  }
  void OnOK() override {
    calls.push_back("ok");
    CDialog::OnOK();
  }
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override {
    notifyCode = pHdr->code;
    result = 42;
    return true;
  }
  void OnSize(UINT nType, int cx, int cy) override {
    sizeType = nType;
    sizeCx = cx;
    sizeCy = cy;
  }
  void OnTimer(UINT_PTR nId) override {
    timerId = nId;
    calls.push_back("timer");
  }
  void OnClose() override {
    calls.push_back("close");
    CDialog::OnClose();
  }
  void OnDestroy() override { calls.push_back("destroy"); }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
    if (msg != WM_APP + 7) return false;
    result = static_cast<LRESULT>(wp) * 2;
    return true;
  }
};

TEST(DialogDispatch, ModelessDialogRoutesMessagesToHandlers) {
  CRecordingDialog dlg;
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(dlg.GetSafeHwnd(), hwnd);
  ASSERT_FALSE(dlg.calls.empty());
  EXPECT_EQ(dlg.calls.front(), "init");

  ::SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(321, 123));
  EXPECT_EQ(dlg.sizeType, static_cast<UINT>(SIZE_RESTORED));
  EXPECT_EQ(dlg.sizeCx, 321);
  EXPECT_EQ(dlg.sizeCy, 123);

  EXPECT_EQ(::SendMessageW(hwnd, WM_APP + 7, 21, 0), 42) << "OnMessage result goes back to the sender";

  NMHDR hdr{dlg.GetDlgItem(IDOK), IDOK, NM_CLICK};
  EXPECT_EQ(::SendMessageW(hwnd, WM_NOTIFY, IDOK, reinterpret_cast<LPARAM>(&hdr)), 42);
  EXPECT_EQ(dlg.notifyCode, static_cast<UINT>(NM_CLICK));

  ::SetTimer(hwnd, 77, 10, nullptr);
  EXPECT_TRUE(test::PumpUntil([&] { return dlg.timerId == 77; }, 2000));
  ::KillTimer(hwnd, 77);

  // A user's click on OK: the button notifies its parent.
  ::SendMessageW(dlg.GetDlgItem(IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(dlg.calls.back(), "destroy") << "OnOK of a modeless dialog destroys it";
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(DialogDispatch, ExceptionsInHandlersAreToldOnceAndNeverCrossTheWindowProcedure) {
  CRecordingDialog dlg;
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  test::CMessageBoxCatcher catcher;
  dlg.throwOnCommand = true;
  const long before = CDialog::GetCaughtExceptionCount();
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(CDialog::GetCaughtExceptionCount(), before + 2);
  EXPECT_TRUE(::IsWindow(hwnd)) << "the failed handler did not end the dialog";
  ASSERT_EQ(catcher.Boxes().size(), 1u) << "the user is told once per process";
  EXPECT_EQ(catcher.Boxes()[0].text,
            "An internal error occurred. The last operation may not have completed; press Refresh to see the "
            "machine's configuration.");
  EXPECT_EQ(catcher.Boxes()[0].caption, "Vantoric");
  EXPECT_EQ(catcher.Boxes()[0].icon, test::BoxIcon::Error);
  EXPECT_EQ(catcher.Boxes()[0].owner, hwnd);
  dlg.throwOnCommand = false;
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(DialogDispatch, DoModalEndsWithTheResultOfTheHandler) {
  CRecordingDialog dlg;
  // A user presses Escape a moment after the dialog shows.
  test::CMessageBoxCatcher catcher;
  catcher.ScriptNextDialog({[](HWND h) { ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }});
  EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dlg.calls.front(), "init");
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);

  CRecordingDialog closed;
  catcher.ScriptNextDialog({[](HWND h) { ::PostMessageW(h, WM_CLOSE, 0, 0); }});
  EXPECT_EQ(closed.DoModal(nullptr), IDCANCEL);
  EXPECT_NE(std::find(closed.calls.begin(), closed.calls.end(), "close"), closed.calls.end());
}

class CCountingButton : public CSubclassWindow {
 public:
  int clicks = 0;
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == BM_CLICK) ++clicks;
    if (msg == WM_PAINT) ++paints;
    return Default(msg, wp, lp);
  }
};

TEST(Subclass, TemplateControlIsSubclassedAndReleasedOnDestroy) {
  CRecordingDialog dlg;
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  CCountingButton button;
  ASSERT_TRUE(button.SubclassDlgItem(IDOK, hwnd));
  EXPECT_FALSE(button.SubclassDlgItem(IDOK, hwnd)) << "a second subclass of the same object is refused";
  ::SendMessageW(button.GetSafeHwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(button.clicks, 1);
  EXPECT_EQ(dlg.calls.back(), "destroy") << "the default processing still clicked the button";
  EXPECT_EQ(button.GetSafeHwnd(), nullptr) << "the subclass let go of the destroyed control";
}

TEST(MessageBoxes, CaughtWithCaptionTextIconAndOwner) {
  CRecordingDialog dlg;
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  test::CMessageBoxCatcher catcher;
  catcher.QueueAnswer(IDCANCEL);
  EXPECT_EQ(ShowMessage(hwnd, "Ünïcödé – Привет", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
  EXPECT_EQ(ShowMessage(hwnd, "Invalid lifetime format.", MB_ICONERROR), IDOK);
  EXPECT_EQ(ShowMessage(hwnd, "plain", MB_OK, "Add IP address"), IDOK);
  ASSERT_EQ(catcher.Boxes().size(), 3u);
  const auto& first = catcher.Boxes()[0];
  EXPECT_EQ(first.text, "Ünïcödé – Привет");
  EXPECT_EQ(first.caption, "Vantoric");
  EXPECT_EQ(first.icon, test::BoxIcon::Question);
  EXPECT_EQ(first.owner, hwnd);
  EXPECT_EQ(first.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(catcher.Boxes()[1].icon, test::BoxIcon::Error);
  EXPECT_EQ(catcher.Boxes()[2].icon, test::BoxIcon::None);
  EXPECT_EQ(catcher.Boxes()[2].caption, "Add IP address");
  dlg.DestroyWindow();
}

// An owner-drawn list box and a list view whose notifications their
// objects take: the dialog never sees those.
constexpr int kDrawnListId = 9120;
constexpr int kReportId = 9121;

class CReflectingControl : public CSubclassWindow {
 public:
  int measures = 0, draws = 0, columnClicks = 0, clickedColumn = -1;

 protected:
  bool OnReflectedMessage(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result) override {
    switch (msg) {
      case WM_MEASUREITEM:
        ++measures;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 23;
        result = TRUE;
        return true;
      case WM_DRAWITEM:
        ++draws;
        result = TRUE;
        return true;
      case WM_NOTIFY: {
        const auto* list = reinterpret_cast<const NMLISTVIEW*>(lp);
        if (list->hdr.code != LVN_COLUMNCLICK) return false;
        ++columnClicks;
        clickedColumn = list->iSubItem;
        return true;
      }
      default:
        return false;
    }
  }
};

class CHostDialog : public CDialog {
 public:
  CHostDialog() : CDialog(IDD_TEST_HOST) {}
  std::vector<std::string> seen;
  bool withControls = false;

 protected:
  BOOL OnInitDialog() override {
    if (!withControls) return TRUE;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 120, 10, 150,
                      80, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDrawnListId)), instance, nullptr);
    HWND report = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 60, 100, 80, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportId)), instance, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 90;
    column.pszText = const_cast<wchar_t*>(L"Server");
    ::SendMessageW(report, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& /*result*/) override {
    if (msg == WM_DRAWITEM) seen.push_back("draw");
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == LVN_COLUMNCLICK) seen.push_back("column");
    return false;
  }
  void OnOK() override { seen.push_back("ok"); }
  void OnCancel() override { seen.push_back("cancel"); }
};

TEST(Reflection, OwnerDrawnListAndColumnClicksReachTheirControlObjects) {
  test::CGuiTestScope scope("Vantoric Framework Tests");
  CHostDialog host;
  host.withControls = true;
  ASSERT_NE(host.Create(nullptr), nullptr);
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);

  CReflectingControl list;
  ASSERT_TRUE(list.SubclassDlgItem(kDrawnListId, host.GetSafeHwnd()));
  EXPECT_EQ(list.measures, 1) << "measured again once attached";
  EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0), 23);
  list.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"first"));
  list.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"second"));
  ::UpdateWindow(list.GetSafeHwnd());
  EXPECT_GE(list.draws, 2);

  CReflectingControl report;
  ASSERT_TRUE(report.SubclassDlgItem(kReportId, host.GetSafeHwnd()));
  HWND header = reinterpret_cast<HWND>(report.SendMessage(LVM_GETHEADER));
  RECT rc{};
  ::SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(header, WM_LBUTTONUP, 0, at);
  test::PumpUntil([&] { return report.columnClicks > 0; }, 2000);
  EXPECT_EQ(report.columnClicks, 1);
  EXPECT_EQ(report.clickedColumn, 0);
  EXPECT_TRUE(host.seen.empty()) << "the dialog saw " << host.seen.size() << " taken notifications";
  host.DestroyWindow();
}

// A control with an owner-drawn child: its object, not the parent's
// procedure, draws the child; what that object declines reaches the parent.
constexpr int kPanelId = 9122;
constexpr int kPanelButtonId = 9123;

class CRecordingParent : public CSubclassWindow {
 public:
  std::vector<std::string> seen;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_DRAWITEM) seen.push_back("draw");
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) seen.push_back("click");
    return CSubclassWindow::WindowProc(msg, wp, lp);
  }
};

TEST(Reflection, OwnerDrawnChildOfASubclassedControlReachesItsObject) {
  test::CGuiTestScope scope("Vantoric Framework Tests");
  CHostDialog host;
  ASSERT_NE(host.Create(nullptr), nullptr);
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  HWND panel = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 120, 10, 150, 60, host.GetSafeHwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPanelId)), instance, nullptr);
  HWND button = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 60, 25, panel,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPanelButtonId)), instance, nullptr);
  CRecordingParent parent;
  ASSERT_TRUE(parent.Subclass(panel));
  CReflectingControl drawn;
  ASSERT_TRUE(drawn.Subclass(button));

  ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(drawn.draws, 1);
  ::SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(parent.seen, std::vector<std::string>{"click"}) << "the parent saw the taken draws, or not the click";
  EXPECT_TRUE(host.seen.empty()) << "the dialog saw " << host.seen.size() << " notifications about a grandchild";
  host.DestroyWindow();
}

class CTestPage : public CDialogPage {
 public:
  CTestPage() : CDialogPage(IDD_TEST_PAGE) {}
};

class CEscapeCountingEdit : public CSubclassWindow {
 public:
  int escapes = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_KEYDOWN && wp == VK_ESCAPE) ++escapes;
    return CSubclassWindow::WindowProc(msg, wp, lp);
  }
};

TEST(Pages, EnterInsideAPageIsItsHostsAndEscapeReachesTheFocusedControl) {
  test::CGuiTestScope scope("Vantoric Framework Tests");
  CHostDialog host;
  ASSERT_NE(host.Create(nullptr), nullptr);
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);
  CTestPage page;
  HWND hPage = page.Create(host.GetSafeHwnd());
  ASSERT_NE(hPage, nullptr);
  ::ShowWindow(hPage, SW_SHOW);

  // Keys typed into the page's edit, through the host's dialog manager.
  CEscapeCountingEdit edit;
  ASSERT_TRUE(edit.SubclassDlgItem(IDC_TEST_PAGE_EDIT, hPage));
  ::SetFocus(edit.GetSafeHwnd());
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    ::PostMessageW(edit.GetSafeHwnd(), WM_KEYDOWN, key, 0);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!::IsDialogMessageW(host.GetSafeHwnd(), &msg)) ::DispatchMessageW(&msg);
  }
  EXPECT_EQ(edit.escapes, 1) << "Escape reached the focused edit";
  // The page's own OK and Cancel, as a dialog manager working on the page sends them.
  ::SendMessageW(hPage, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ::SendMessageW(hPage, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);

  EXPECT_TRUE(::IsWindow(hPage)) << "the page lives as long as its host";
  EXPECT_EQ(host.seen, (std::vector<std::string>{"ok", "ok", "cancel"})) << "Escape in the page cancelled the host";
  host.DestroyWindow();
  EXPECT_FALSE(::IsWindow(hPage));
}

RECT WorkAreaOf(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

POINT CentreOf(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

TEST(Placement, DialogsAtTheOriginOpenCentred) {
  test::CGuiTestScope scope("Vantoric Framework Tests");
  CHostDialog main;
  ASSERT_NE(main.Create(nullptr), nullptr);
  const POINT mainCentre = CentreOf(main.GetWindowRect());
  const POINT workCentre = CentreOf(WorkAreaOf(main.GetSafeHwnd()));
  EXPECT_NEAR(mainCentre.x, workCentre.x, 1) << "a window without owner: centred on the work area";
  EXPECT_NEAR(mainCentre.y, workCentre.y, 1);

  ::SetWindowPos(main.GetSafeHwnd(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(main.GetSafeHwnd(), SW_SHOW);
  CDialog about(IDD_ABOUTBOX);
  ASSERT_NE(about.Create(main.GetSafeHwnd()), nullptr);
  const POINT ownerCentre = CentreOf(main.GetWindowRect());
  const POINT aboutCentre = CentreOf(about.GetWindowRect());
  EXPECT_NEAR(aboutCentre.x, ownerCentre.x, 1) << "an owned dialog: centred over its owner";
  EXPECT_NEAR(aboutCentre.y, ownerCentre.y, 1);
  about.DestroyWindow();
  main.DestroyWindow();
}

}  // namespace
}  // namespace vantoric
