// The dialog base's dispatch, driven on a real dialog from the program's
// resources with the messages a user's actions cause.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/message_box.h"
#include "resources/resource.h"
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

TEST(DialogDispatch, ExceptionInHandlerNeverCrossesTheWindowProcedure) {
  CRecordingDialog dlg;
  HWND hwnd = dlg.Create(nullptr);
  ASSERT_NE(hwnd, nullptr);
  dlg.throwOnCommand = true;
  const long before = CDialog::GetCaughtExceptionCount();
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(CDialog::GetCaughtExceptionCount(), before + 1);
  EXPECT_TRUE(::IsWindow(hwnd)) << "the failed handler did not end the dialog";
  dlg.throwOnCommand = false;
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(DialogDispatch, DoModalEndsWithTheResultOfTheHandler) {
  CRecordingDialog dlg;
  // A user presses Escape a moment after the dialog shows.
  test::CMessageBoxCatcher catcher;
  catcher.onOtherDialog = [](HWND h) { ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); };
  EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(dlg.calls.front(), "init");
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);

  CRecordingDialog closed;
  catcher.onOtherDialog = [](HWND h) { ::PostMessageW(h, WM_CLOSE, 0, 0); };
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

}  // namespace
}  // namespace vantoric
