// Dialog base: one static dialog procedure stores `this` at WM_INITDIALOG and
// dispatches to virtual handlers. No C++ exception ever leaves the procedure.
#pragma once

#include <windows.h>

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
  bool IsModal() const { return m_bModal; }

  // Exceptions caught (and swallowed) at the window procedure, process-wide.
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
  // Every other message; also sees the ones above first when it returns true.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  // The system's default answer for a message (what the dialog would do
  // without this class).
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  UINT m_nTemplateId;
  bool m_bModal = false;
};

// Subclasses a control (created from a template or by hand) with
// SetWindowSubclass and routes its messages to WindowProc.
class CSubclassWindow : public CWindow {
 public:
  CSubclassWindow() = default;
  CSubclassWindow(const CSubclassWindow&) = delete;
  CSubclassWindow& operator=(const CSubclassWindow&) = delete;
  virtual ~CSubclassWindow();

  bool Subclass(HWND hwnd);
  bool SubclassDlgItem(int nId, HWND hParent) { return Subclass(::GetDlgItem(hParent, nId)); }
  void Unsubclass();

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }
  // The control's own processing of a message.
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR refData);
  bool m_bSubclassed = false;
};

}  // namespace vantoric
