#include "controls/anchor_layout.h"

#include <algorithm>
#include <cstdio>

#include "framework/dpi_scale.h"

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

void CResizeLayout::Rescale(int toDpi, int fromDpi) {
  m_sizeMinTrack = {ScaleMetric(m_sizeMinTrack.cx, toDpi, fromDpi), ScaleMetric(m_sizeMinTrack.cy, toDpi, fromDpi)};
  m_sizeLastClient = {ScaleMetric(m_sizeLastClient.cx, toDpi, fromDpi),
                      ScaleMetric(m_sizeLastClient.cy, toDpi, fromDpi)};
}

void CResizeLayout::Reset() {
  m_bSized = false;
  m_sizeMinTrack = {};
  m_sizeLastClient = {};
}

CLayoutSize FitRememberedSize(CLayoutSize remembered, CLayoutSize templ, CLayoutSize workArea) {
  if (remembered.cx == 0 || remembered.cy == 0) return templ;
  return {std::max(templ.cx, std::min(remembered.cx, workArea.cx)),
          std::max(templ.cy, std::min(remembered.cy, workArea.cy))};
}

int FitFirstStartWidth(int width, int shortBy, int workAreaWidth) {
  if (shortBy <= 0) return width;
  return std::max(width, std::min(width + shortBy, workAreaWidth));
}

std::string FormatProfileSection(unsigned templateId) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", templateId);
  return buf;
}

}  // namespace vantoric
