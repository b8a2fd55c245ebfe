#include "controls/anchor_layout.h"

#include <cstdio>

namespace vantoric {

CLayoutRect ApplyAnchor(const CLayoutRect& rc, unsigned flags, int dx, int dy) {
  CLayoutRect out = rc;
  if (flags & ANCHOR_WIDTH) {
    out.right += dx;
  } else if (flags & ANCHOR_RIGHT) {
    out.left += dx;
    out.right += dx;
  }
  if (flags & ANCHOR_HEIGHT) {
    out.bottom += dy;
  } else if (flags & ANCHOR_BOTTOM) {
    out.top += dy;
    out.bottom += dy;
  }
  return out;
}

bool CResizeLayout::OnClientSize(bool bMinimized, CLayoutSize client, int& dx, int& dy) {
  dx = 0;
  dy = 0;
  if (bMinimized) return false;
  const bool bFirst = m_sizeLastClient.cx == 0;
  if (!bFirst) {
    dx = client.cx - m_sizeLastClient.cx;
    dy = client.cy - m_sizeLastClient.cy;
    // A size message that changes nothing (a restore from minimised, the
    // first showing) does not count as a resize.
    if (dx != 0 || dy != 0) m_bSized = true;
  }
  m_sizeLastClient = client;
  return !bFirst;
}

void CResizeLayout::Reset() {
  m_bSized = false;
  m_sizeMinTrack = {};
  m_sizeLastClient = {};
}

bool IsRememberedSizeUsable(int cx, int cy) { return cx != 0 && cy != 0; }

std::string FormatProfileSection(unsigned templateId) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", templateId);
  return buf;
}

}  // namespace vantoric
