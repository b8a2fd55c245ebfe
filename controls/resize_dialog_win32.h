// A dialog base that makes a dialog resizable: a size grip in the corner, a
// minimum size equal to the size it was created with, anchored controls that
// follow the window's edges, and the window size remembered in the profile
// its owner hands it, from one run to the next (in pixels at 96 dots per
// inch, so that a size remembered on one monitor means the same on another).
#pragma once

#include <windows.h>

#include <string>

#include "controls/anchor_layout.h"
#include "framework/dialog.h"
#include "framework/profile.h"

namespace vantoric {

constexpr int IDC_SIZE_GRIP = 59936;  // 0xEA20

class CResizeDialog : public CDialog {
 public:
  // Without a profile the size is neither restored nor remembered.
  explicit CResizeDialog(UINT nTemplateId, const CProfile* pProfile = nullptr)
      : CDialog(nTemplateId), m_pProfile(pProfile) {}

  // Registers a control; anchors are applied in the order added.
  void AddAnchor(unsigned flags, unsigned controlId) { m_layout.AddAnchor(flags, controlId); }

  // The profile section that holds "CX" and "CY": the template id in hex.
  virtual std::string GetProfileSection() const { return FormatProfileSection(GetTemplateId()); }

  const CResizeLayout& GetLayout() const { return m_layout; }
  // True when the window opened at a size remembered in the profile.
  bool HasRememberedSize() const { return m_bSizeRestored; }
  // The profile that keeps the size, for the windows this one opens.
  const CProfile* GetProfile() const { return m_pProfile; }

 protected:
  // Derived classes call this first from their own OnInitDialog.
  BOOL OnInitDialog() override;
  void OnSize(UINT nType, int cx, int cy) override;
  bool OnPaint() override;
  void OnDestroy() override;
  void OnDpiChanged(UINT nDpi, const RECT& rcSuggested) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // Without a remembered size: the window grows by `shortBy` pixels
  // (FitFirstStartWidth), about its centre and inside the work area.
  void WidenAtFirstStart(int shortBy);

  int m_bShowGrip = 1;
  int m_bRememberSize = 1;

 private:
  RECT GripRect() const;
  void MoveAnchoredControls(int dx, int dy) const;

  const CProfile* m_pProfile;
  bool m_bSizeRestored = false;
  HWND m_hGrip = nullptr;
  RECT m_rcGrip{};
  CResizeLayout m_layout;
};

}  // namespace vantoric
