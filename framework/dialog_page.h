// A modeless child dialog hosted inside another dialog, such as the page of
// a tab. Its template has DS_CONTROL | WS_CHILD and no frame.
#pragma once

#include "framework/dialog.h"

namespace vantoric {

class CDialogPage : public CDialog {
 public:
  using CDialog::CDialog;

 protected:
  // Enter and Escape inside the page never end it: the page lives as long
  // as its host, and the host decides what the keys mean (its OK and Cancel).
  void OnOK() override { ForwardToHost(IDOK); }
  void OnCancel() override { ForwardToHost(IDCANCEL); }
  void OnClose() override {}

 private:
  void ForwardToHost(UINT nId);
};

}  // namespace vantoric
