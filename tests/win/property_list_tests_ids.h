// Identifiers of the property list's test dialog.
#pragma once

#define IDD_PROPLIST_TEST 9103
