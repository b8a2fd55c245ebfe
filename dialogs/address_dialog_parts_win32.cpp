#include "dialogs/address_dialog_parts_win32.h"

#include "controls/ipv6_text_model.h"
#include "framework/window_dpi.h"
#include "resources/resource_address_dialogs.h"

namespace vantoric {

CFont CreateVerdanaFont(HWND hwnd, int nPointTenths) {
  // A point size in the logical inches of the window's monitor, as tall as
  // the same point size anywhere else in the dialog.
  LOGFONTW lf{};
  lf.lfHeight = -::MulDiv(nPointTenths, static_cast<int>(GetWindowDpi(hwnd)), 720);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  ::lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
  return CFont(::CreateFontIndirectW(&lf));
}

CFont CreatePropertyListFont(HWND hwnd) {
  return CFont(::CreateFontW(ScaleToWindow(hwnd, 16), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"verdana"));
}

bool CreateAddressPropertyList(CPropertyListCtrl& list, HWND hParent, const RECT& rcDesign, HFONT font) {
  return CreatePropertyList(list, hParent, rcDesign, font, IDC_ADDRESS_PROPERTY_LIST, IDC_PROPERTY_LIST_LABEL);
}

bool CreatePropertyList(CPropertyListCtrl& list, HWND hParent, const RECT& rcDesign, HFONT font, UINT nId,
                        UINT nLabelId) {
  // The rectangle is in pixels of the dialog font's usual base units (6 by
  // 13); with other units (another font, another resolution) it is scaled
  // so that the list keeps its place among the template's controls.
  RECT units{0, 0, 4, 8};
  ::MapDialogRect(hParent, &units);
  const RECT rc{::MulDiv(rcDesign.left, units.right, 6), ::MulDiv(rcDesign.top, units.bottom, 13),
                ::MulDiv(rcDesign.right, units.right, 6), ::MulDiv(rcDesign.bottom, units.bottom, 13)};
  // A tab stop, so that keyboard users reach the rows.
  if (!list.Create(PROPERTY_LIST_STYLE | WS_TABSTOP, rc, hParent, nId)) return false;
  // Made after the template's controls: its place in the Tab order is after its hidden label.
  ::SetWindowPos(list.GetSafeHwnd(), ::GetDlgItem(hParent, static_cast<int>(nLabelId)), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  list.SetListFont(font);
  list.SetBkColor(RGB(214, 227, 239));
  list.m_crText = RGB(74, 109, 132);
  list.m_crSelText = RGB(80, 80, 80);
  list.SetHighlightColor(RGB(246, 246, 220));
  list.SetEditorBkColor(RGB(255, 255, 255));
  list.m_crEditorText = RGB(0, 0, 192);
  list.m_bBoldSelection = 1;
  list.SetLineColor(RGB(74, 109, 132));
  return true;
}

std::string GetSelectedChoice(const CPropertyListCtrl& list, int nRow) {
  std::string text;
  int nIndex = -1;
  if (!list.GetPropertySelection(nRow, &text, nIndex)) return {};
  return text;
}

std::string ReadStrippedAddress(const MFCIPv6Control& edit) {
  std::string text = edit.GetWindowText();
  // The field holds the mask's 71 columns; nothing beyond them is read.
  if (text.size() > static_cast<size_t>(IPV6_TEXT_LENGTH)) text.resize(IPV6_TEXT_LENGTH);
  return StripWhitespace(text);
}

}  // namespace vantoric
