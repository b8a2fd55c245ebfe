// Resource identifiers of dns_dialogs.rc.
#pragma once

#define IDD_ADVANCED_SETTINGS 131
#define IDD_ADVANCED_DNS 132
#define IDD_ADD_DNS_HOST 136

// Advanced Settings (template 131)
#define IDC_TAB_ADVANCED 1045

// DNS server page (template 132)
#define IDC_BUTTON_ADD_HOST 1046
#define IDC_BUTTON_EDIT_DNS 1047
#define IDC_BUTTON_REMOVE_DNS 1048
#define IDC_LIST_DNS 1049
#define IDC_COMBO_DNS_INTERFACE 1053

// Add DNS (template 136)
#define IDC_EDIT_DNS_ADDRESS 1054
#define IDC_EDIT_DNS_INDEX 1055
#define IDC_STATIC_DNS_STATUS 1056
