// Identifiers of the sortable list's test dialog.
#pragma once

#define IDD_SORTLIST_TEST 9102
#define IDC_TEST_SORTLIST 1049
