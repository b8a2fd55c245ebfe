// Identifiers of the address control's test dialog.
#pragma once

#define IDD_IPV6_TEST 9101
#define IDC_TEST_LABEL 1018
#define IDC_TEST_PLACEHOLDER 1019
#define IDC_TEST_PREVIEW 1028
#define IDC_TEST_PLAIN_EDIT 1030
