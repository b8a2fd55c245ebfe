#include "controls/combo_button_win32.h"

namespace vantoric {

CComboButton::CComboButton()
    : m_pFacePen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE))),
      m_pFaceBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))),
      m_pArrowBrush(::CreateSolidBrush(RGB(0, 0, 0))) {}

bool CComboButton::Create(HWND hParent, int nId) {
  return CreateControl(L"BUTTON", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{}, hParent, nId);
}

bool CComboButton::OnReflectedMessage(UINT msg, WPARAM /*wp*/, LPARAM lp, LRESULT& result) {
  if (msg != WM_DRAWITEM) return false;
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
  result = TRUE;
  return true;
}

void CComboButton::DrawItem(const DRAWITEMSTRUCT& dis) const {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  CSelectObject brush(dc, m_pFaceBrush.get());
  CSelectObject pen(dc, m_pFacePen.get());
  ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
  if ((dis.itemState & ODS_SELECTED) != 0) {
    ::DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
    ::OffsetRect(&rc, 1, 1);
  } else {
    ::DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
  }
  const int left = rc.left + 3;
  const int top = rc.top + 5;
  const int right = rc.right - 4;
  const int bottom = rc.bottom - 5;
  const POINT arrow[3] = {{left, top}, {right, top}, {right - (right - left) / 2, bottom}};
  ::SelectObject(dc, m_pArrowBrush.get());
  ::Polygon(dc, arrow, 3);
}

}  // namespace vantoric
