// Dialog base: one static dialog procedure stores `this` at WM_INITDIALOG and
// dispatches to virtual handlers. No C++ exception ever leaves the procedure.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/handles.h"
#include "framework/window.h"

namespace vantoric {

class CDialog : public CWindow {
 public:
  explicit CDialog(UINT nTemplateId) : m_nTemplateId(nTemplateId) {}
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;
  virtual ~CDialog();

  // Runs the dialog modally; returns the EndDialog result, or -1 when the
  // dialog could not be created.
  INT_PTR DoModal(HWND hParent = nullptr);
  // Creates the dialog modeless (child pages, tests); nullptr on failure.
  HWND Create(HWND hParent);
  void EndDialog(INT_PTR nResult);
  // Destroys a modeless dialog's window.
  void DestroyWindow();

  UINT GetTemplateId() const { return m_nTemplateId; }

  // Exceptions caught at a window procedure, process-wide.
  static long GetCaughtExceptionCount();

 protected:
  // The handlers. Each returns whether it handled the message; unhandled
  // messages get the dialog's default processing.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual bool OnCommand(UINT nId, UINT nCode, HWND hCtl);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  virtual bool OnNotify(NMHDR* pHdr, LRESULT& result);
  virtual void OnSize(UINT nType, int cx, int cy);
  virtual bool OnPaint() { return false; }
  virtual void OnTimer(UINT_PTR nId);
  virtual void OnClose() { OnCancel(); }
  virtual void OnDestroy() {}
  // Windows moved the top-level dialog to a monitor of nDpi dots per inch
  // and suggests rcSuggested for it: the contents are carried over to the
  // new resolution and the window takes the rectangle.
  virtual void OnDpiChanged(UINT nDpi, const RECT& rcSuggested);
  // Runs first for every message (after a control has declined a
  // notification about itself); returning true skips the typed handlers
  // above and the dialog manager's own processing.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  // DefWindowProc's answer, for a handler that builds on it (the dialog
  // manager's processing is what runs when a handler returns false).
  LRESULT CallDefWindowProc(UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(m_hWnd, msg, wp, lp); }
  // The object behind a dialog window that this class runs, or nullptr.
  static CDialog* FromHandle(HWND hwnd);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Answer(UINT msg, LRESULT result);
  void PlaceOnScreen();

  UINT m_nTemplateId;
  bool m_bModal = false;
  std::vector<CFont> m_arrScaledFonts;  // the fonts of each resolution the dialog was moved to
};

// Subclasses a control (created from a template or by hand) with
// SetWindowSubclass and routes its messages to WindowProc.
//
// Notifications that Windows sends to the parent about the control
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*,
// WM_HSCROLL, WM_VSCROLL) reach OnReflectedMessage first when the parent is
// a CDialog or itself has a CSubclassWindow object; the parent's own
// processing sees them only when it returns false.
class CSubclassWindow : public CWindow {
 public:
  CSubclassWindow() = default;
  CSubclassWindow(const CSubclassWindow&) = delete;
  CSubclassWindow& operator=(const CSubclassWindow&) = delete;
  virtual ~CSubclassWindow();

  // Attaches to the control. An owner-draw-fixed list box or combo box was
  // measured while its dialog was being created, before this object could
  // answer: it is measured again here and its item height set.
  bool Subclass(HWND hwnd);
  bool SubclassDlgItem(int nId, HWND hParent) { return Subclass(::GetDlgItem(hParent, nId)); }
  void Unsubclass();

 protected:
  // Creates a child control of the window class and attaches to it; false,
  // and no window left behind, when either fails.
  bool CreateControl(const wchar_t* className, DWORD dwStyle, const RECT& rc, HWND hParent, int nId);
  // The control's messages, less the notifications about its own children
  // that their objects took. Classes that override it hand the messages
  // they do not handle to this one.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // A notification about this control with the parent's wParam and lParam;
  // true takes it, with `result` as the parent's answer.
  virtual bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // The control's own processing of a message.
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  friend class CDialog;
  // Hands a notification that `parent` received to the object of the child
  // control it is about; true when that object took it (its answer in
  // `result`).
  static bool ReflectToControl(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR refData);
  void MeasureFixedItems();

  bool m_bSubclassed = false;
};

}  // namespace vantoric
