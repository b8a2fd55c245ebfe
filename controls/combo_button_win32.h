// The property list's arrow button: an owner-drawn button in the face
// colour with a raised edge (sunken while pressed) and a black downward
// triangle.
#pragma once

#include <windows.h>

#include "controls/keyed_window_win32.h"
#include "framework/handles.h"

namespace vantoric {

class CComboButton : public CKeyedWindow {
 public:
  CComboButton();

  // A visible owner-drawn button of zero size with no text.
  bool Create(HWND hParent, int nId);

 protected:
  // The parent's WM_DRAWITEM about the button draws it.
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void DrawItem(const DRAWITEMSTRUCT& dis) const;

  CPen m_pFacePen;
  CBrush m_pFaceBrush;
  CBrush m_pArrowBrush;
};

}  // namespace vantoric
