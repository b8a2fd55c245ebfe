// What the Add Address and Address Properties dialogs share: their fonts,
// the property list with its colours, the help texts of its rows, and
// reading the address field and the choice rows.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "controls/ipv6_control_win32.h"
#include "controls/property_list_win32.h"
#include "framework/handles.h"

namespace vantoric {

// The help texts of the property rows; the continuation lines are indented
// under the first line's text.
inline constexpr std::string_view HELP_TEXT_NONE = "----------";
inline constexpr std::string_view HELP_TEXT_TYPE =
    "Type - unicast: adds a unicast address (default)\r\n"
    "           anycast: adds a anycast address";
inline constexpr std::string_view HELP_TEXT_STORE =
    "Store - active: change only lasts until next boot\r\n"
    "            persistent: change is persistent (default)";
inline constexpr std::string_view HELP_TEXT_VALID_LIFETIME =
    "Valid lifetime - Lifetime of which the address is valid.\r\n"
    "                       The default value is infinite.\r\n"
    "Time values can be expressed in days, hours, minutes, seconds;\r\n"
    "e.g. 1d2h3m4s";

// Typed lifetimes are checked by the list itself, which has then told the
// user "Invalid lifetime format.".
inline constexpr std::string_view LIFETIME_ORDER_MESSAGE =
    "Valid lifetime should be greater than or equal to Preferred lifetime.";
inline constexpr std::string_view INVALID_ADDRESS_MESSAGE = "Invalid address parameter.";

// "Verdana" at the given tenths of a point in the logical inches of the
// monitor that hwnd is on:
// the preview and status lines, and the main window's address list.
CFont CreateVerdanaFont(HWND hwnd, int nPointTenths);
// The property list's "verdana", 16 pixels high at 96 dots per inch.
CFont CreatePropertyListFont(HWND hwnd);

// Creates the list at rcDesign (client pixels of hParent at the dialog
// font's usual base units) with the dialogs' style, font and colours; rows
// are added afterwards.
bool CreateAddressPropertyList(CPropertyListCtrl& list, HWND hParent, const RECT& rcDesign, HFONT font);
// The same list with id nId, placed after its hidden label nLabelId in the
// Tab order.
bool CreatePropertyList(CPropertyListCtrl& list, HWND hParent, const RECT& rcDesign, HFONT font, UINT nId,
                        UINT nLabelId);

// The selected choice of a choice row ("" when there is none).
std::string GetSelectedChoice(const CPropertyListCtrl& list, int nRow);

// The address field's displayed text as it is parsed and sent: its 71
// columns, without white space.
std::string ReadStrippedAddress(const MFCIPv6Control& edit);

}  // namespace vantoric
