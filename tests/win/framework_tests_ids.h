// Test-only dialog templates of framework_tests.rc.
#pragma once

#define IDD_TEST_HOST 9100
#define IDD_TEST_PAGE 9101
#define IDC_TEST_EDIT 9110
#define IDC_TEST_BUTTON 9111
#define IDC_TEST_PAGE_EDIT 9112
