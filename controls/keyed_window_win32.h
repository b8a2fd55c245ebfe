// A control whose owner handles some of its keys before it: the property
// list's field, list of choices and arrow button, which sit inside the
// list and out of the dialog's own Tab order.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "framework/dialog.h"

namespace vantoric {

class CKeyedWindow : public CSubclassWindow {
 public:
  // Called with each key-down message (bCarryOut) and with the one the
  // dialog asks about before it acts on a key (not bCarryOut); true when
  // the owner takes the key, which the dialog then leaves to the control.
  using KeyHandler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, bool bCarryOut)>;
  void SetKeyHandler(KeyHandler handler) { m_keyHandler = std::move(handler); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (m_keyHandler) {
      if (msg == WM_GETDLGCODE) {
        const MSG* key = reinterpret_cast<const MSG*>(lp);
        const LRESULT code = CSubclassWindow::WindowProc(msg, wp, lp);
        return key != nullptr && m_keyHandler(key->message, key->wParam, key->lParam, false)
                   ? code | DLGC_WANTMESSAGE
                   : code;
      }
      if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && m_keyHandler(msg, wp, lp, true)) return 0;
    }
    return CSubclassWindow::WindowProc(msg, wp, lp);
  }

 private:
  KeyHandler m_keyHandler;
};

}  // namespace vantoric
