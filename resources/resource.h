// Resource identifiers of vantoric.rc.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDS_IDENTIFIER_FORMAT 103
#define IDD_VANTORIC_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_LOGO 169
#define IDS_WEBLINK_TARGET 1082

#define IDM_ABOUTBOX 0x0010
#define IDM_HISTORY 0x0020
#define IDM_RESTART_ELEVATED 0x0030

// Main window (template 102)
#define IDC_LIST_ADDRESSES 1006
#define IDC_BUTTON_ADD 1004
#define IDC_BUTTON_REMOVE 1005
#define IDC_BUTTON_ADVANCED 1007
#define IDC_COMBO_ADAPTER 1031
#define IDC_STATIC_DESCRIPTION 1032
#define IDC_BUTTON_EDIT 1044
#define IDC_LOGO 1058
#define IDC_FRAME_INFORMATION 1059
#define IDC_FRAME_ADAPTER 1060
#define IDC_FRAME_DESCRIPTION 1061
#define IDC_STATIC_MAC 1062
#define IDC_BUTTON_HELP 1064
#define IDC_BUTTON_REFRESH 1078
#define IDC_WEBLINK 1082
#define IDC_BUTTON_HISTORY 1083

// The dialogs of the address and DNS commands keep their identifiers beside
// their templates.
#include "resource_address_dialogs.h"
#include "resource_dns_dialogs.h"
#include "resource_history_dialog.h"
#include "resource_route_dialogs.h"
#include "resource_system_dialogs.h"
#include "resource_link_dialogs.h"
#include "resource_diagnose_dialog.h"
