// The arithmetic of a resizable dialog: anchor entries, how a size change
// moves an anchored control, when a size change is applied at all and when
// the window's size is worth remembering. No windows.h: the Win32 dialog
// feeds sizes in and moves controls to the rectangles that come out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantoric {

// Anchor flags. Widening beats moving right; growing taller beats moving down.
constexpr unsigned ANCHOR_RIGHT = 1;   // moves right by the width change
constexpr unsigned ANCHOR_BOTTOM = 2;  // moves down by the height change
constexpr unsigned ANCHOR_WIDTH = 4;   // right edge follows the width change
constexpr unsigned ANCHOR_HEIGHT = 8;  // bottom edge follows the height change

// One registered anchor: low 16 bits the control id, high 16 bits the flags.
using AnchorEntry = std::uint32_t;
constexpr AnchorEntry MakeAnchorEntry(unsigned flags, unsigned controlId) {
  return ((flags & 0xFFFFu) << 16) | (controlId & 0xFFFFu);
}
constexpr unsigned AnchorFlags(AnchorEntry entry) { return entry >> 16; }
constexpr unsigned AnchorControlId(AnchorEntry entry) { return entry & 0xFFFFu; }

struct CLayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const CLayoutRect&) const = default;
};

struct CLayoutSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const CLayoutSize&) const = default;
};

// Where a control with these flags goes when the client area changed by
// (dx, dy).
CLayoutRect ApplyAnchor(const CLayoutRect& rc, unsigned flags, int dx, int dy);

// The size bookkeeping of one resizable window, from creation to destruction.
class CResizeLayout {
 public:
  void AddAnchor(unsigned flags, unsigned controlId) { m_arrAnchors.push_back(MakeAnchorEntry(flags, controlId)); }
  const std::vector<AnchorEntry>& GetAnchors() const { return m_arrAnchors; }

  // The window was created with this outer size: it becomes the smallest
  // size the user can drag the window to.
  void SetMinTrackSize(CLayoutSize size) { m_sizeMinTrack = size; }
  const CLayoutSize& GetMinTrackSize() const { return m_sizeMinTrack; }
  bool HasMinTrackSize() const { return m_sizeMinTrack.cx != 0; }

  // A size change of the client area. A minimised window records nothing.
  // The first change only records the size (the template's layout is the
  // reference); every later one returns true with the deltas to apply to
  // the anchored controls, and marks the window as sized when they are not
  // both zero.
  bool OnClientSize(bool bMinimized, CLayoutSize client, int& dx, int& dy);

  bool IsSized() const { return m_bSized; }
  const CLayoutSize& GetLastClientSize() const { return m_sizeLastClient; }
  // Only a window that was really resized is worth remembering.
  bool ShouldRememberSize() const {
    return m_bSized && m_sizeLastClient.cx != 0 && m_sizeLastClient.cy != 0;
  }
  // The window moved to a monitor of another resolution: the smallest size
  // and the reference client size follow, so that the next size change
  // moves the anchored controls by what the window gained beyond scaling.
  void Rescale(int toDpi, int fromDpi);
  // The window is gone: forget everything but the anchors.
  void Reset();

 private:
  std::vector<AnchorEntry> m_arrAnchors;
  bool m_bSized = false;
  CLayoutSize m_sizeMinTrack;
  CLayoutSize m_sizeLastClient;
};

// The outer size a window opens at, given the size remembered in the
// profile: the template's size when a part is 0 (nothing usable was
// stored), else each part at least the template's (the smallest size the
// controls fit in, also when the work area is smaller) and at most the
// work area of the window's monitor. A profile edited by hand or written on
// a larger screen can hold anything.
CLayoutSize FitRememberedSize(CLayoutSize remembered, CLayoutSize templ, CLayoutSize workArea);

// The outer width a window opens at when no size was remembered: `shortBy`
// pixels wider, so that a control that widens with the window shows all it
// holds, but at most the work area's width and never narrower than now.
int FitFirstStartWidth(int width, int shortBy, int workAreaWidth);

// The profile section of a dialog: its template id in lower-case hex.
std::string FormatProfileSection(unsigned templateId);

}  // namespace vantoric
