// A modeless child dialog hosted inside another dialog, such as the page of
// a tab. Its template has DS_CONTROL | WS_CHILD and no frame.
#pragma once

#include "framework/dialog.h"

namespace vantoric {

class CDialogPage : public CDialog {
 public:
  // Installs the page's Escape filter on the calling thread, which makes
  // and runs the page.
  explicit CDialogPage(UINT nTemplateId);
  ~CDialogPage() override;

 protected:
  // The page's own OK and Cancel, from a dialog manager working on the
  // page, never end it: the page lives as long as its host, and the host
  // decides what they mean (its OK and Cancel).
  void OnOK() override { ForwardToHost(IDOK); }
  void OnCancel() override { ForwardToHost(IDCANCEL); }
  void OnClose() override {}

 private:
  void ForwardToHost(UINT nId);
  // Whether the window is a page or lies inside one.
  static bool IsInsidePage(HWND hwnd);
  // Escape pressed inside a page goes to the focused control as an ordinary
  // key press. Left to the dialog manager of the host's modal loop, it would
  // become the host's Cancel; that loop hands every message to the
  // MSGF_DIALOGBOX filters before its dialog manager sees it.
  static LRESULT CALLBACK EscapeFilter(int nCode, WPARAM wp, LPARAM lp);

  HHOOK m_hEscapeFilter;
};

}  // namespace vantoric
