// A static text control turned into a web link: blue text, hand cursor,
// underline while the mouse is over it, a focus rectangle, and its target
// opened with the shell on a click or Space.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/dialog.h"

namespace vantoric {

// The framework's request to show a text (lParam) or a string resource
// (wParam) in the main window's status line, and the id of the idle text.
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT IDS_IDLEMESSAGE = 57345;  // 0xE001

class CHyperLink : public CSubclassWindow {
 public:
  CHyperLink() = default;
  ~CHyperLink() override;

  // The text handed to the shell; set it before Attach.
  void SetTarget(std::string_view target) { m_strTarget = target; }
  const std::string& GetTarget() const { return m_strTarget; }

  // Subclasses the static control; its parent dialog hands it the colour
  // request for its text. Returns 1.
  int Attach(HWND hStatic);

  bool IsHover() const { return m_bHover != 0; }
  bool IsVisited() const { return m_bVisited != 0; }

  // The font that every hovered link shows (null while no link is attached).
  static HFONT GetUnderlineFont();
  static HCURSOR GetLinkCursor();

 protected:
  virtual void OnHoverEnter() {}
  virtual void OnHoverLeave() {}
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void Release();
  // The dialog moved to another resolution and gave the link its font
  // there: that is the link's own font now, and the hover font follows it.
  void OnRescale();
  void DrawFocusRect() const;
  void OpenTarget();
  void OnMouseMove(LPARAM lp);

  std::string m_strTarget;
  int m_bHover = 0;
  int m_bVisited = 0;
  HFONT m_hOriginalFont = nullptr;
  bool m_bAttached = false;
};

// The main window's link: while hovered it offers its target as the main
// window's status message.
class CDemoLink : public CHyperLink {
 protected:
  void OnHoverEnter() override;
  void OnHoverLeave() override;

 private:
  HWND MainWindow() const;
};

}  // namespace vantoric
