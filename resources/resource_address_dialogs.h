// Resource identifiers of address_dialogs.rc.
#pragma once

#define IDD_ADDRESS_PROPERTIES 129
#define IDD_ADD_ADDRESS 130

// The property list that both dialogs create at start.
#define IDC_ADDRESS_PROPERTY_LIST 90
// A hidden label: the list takes its place in the Tab order, and screen
// readers name the list after it.
#define IDC_PROPERTY_LIST_LABEL 91

// Add Address (template 130)
#define IDC_ADD_ADDRESS_PLACEHOLDER 1019
#define IDC_ADD_COMBO_ADAPTER 1020
#define IDC_ADD_BUTTON_DEFAULTS 1023
#define IDC_ADD_STATUS 1028
#define IDC_ADD_COMBO_PREFIX 1041
#define IDC_ADD_HELP 1042
#define IDC_ADD_COMBO_IDENTIFIER 1057
#define IDC_ADD_CHECK_RA_EUI64 1063

// Address Properties (template 129); the placeholder keeps its id for the
// address control.
#define IDC_PROP_BUTTON_EDIT 1010
#define IDC_PROP_BUTTON_APPLY 1011
#define IDC_PROP_ADDRESS 1017
#define IDC_PROP_PREVIEW 1018
#define IDC_PROP_HELP 1043
