// The property list's arrow button: an owner-drawn button in the face
// colour with a raised edge (sunken while pressed) and a black downward
// triangle.
#pragma once

#include <windows.h>

#include "framework/handles.h"
#include "framework/window.h"

namespace vantoric {

class CComboButton : public CWindow {
 public:
  CComboButton();
  CComboButton(const CComboButton&) = delete;
  CComboButton& operator=(const CComboButton&) = delete;

  // A visible owner-drawn button of zero size with no text.
  bool Create(HWND hParent, int nId);
  // The parent hands it the WM_DRAWITEM it receives about the button.
  void DrawItem(const DRAWITEMSTRUCT& dis) const;

 private:
  CPen m_pFacePen;
  CBrush m_pFaceBrush;
  CBrush m_pArrowBrush;
};

}  // namespace vantoric
