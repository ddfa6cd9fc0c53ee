// The Cookies page (its filter texts, the browser and the cookie folder)
// and the cookie list it opens: templates, own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_COOKIES            108
#define IDD_COOKIE_LIST             145
#define IDI_COOKIE_ROW              183    // every filter's icon (the tab's)

// The page.
#define IDC_COOKIE_REMOVE           1003
#define IDC_COOKIE_FILTER           1004   // the filter text box
#define IDC_COOKIE_ALWAYS           1014
#define IDC_COOKIE_HINT             1040
#define IDC_COOKIE_ADD              1064
#define IDC_COOKIE_IE               1127
#define IDC_COOKIE_FIREFOX          1128
#define IDC_COOKIE_VIEW_LIST        1129
#define IDC_COOKIE_FOLDER_BUTTON    1131   // image button: choose the folder
#define IDC_COOKIE_FOLDER           1143
#define IDB_FOLDER_NORMAL           158
#define IDB_FOLDER_PRESSED          159
#define IDB_FOLDER_HOVER            160

// The cookie list (its list is IDC_PAGE_LIST, its Help and Monitor image
// buttons those of every page).
#define IDC_COOKIES_REMOVE_UNCHECKED 1004
#define IDC_COOKIES_VIEW            1008
#define IDC_COOKIES_HEADING         1010
#define IDC_COOKIES_FOLDER          1040
#define IDC_COOKIES_HINT            1041
#define IDC_COOKIES_REMOVE_CHECKED  1103

#define IDS_COOKIE_LIST_TITLE       29     // "Vardex - Cookies"
#define IDS_NO_FILTER_SELECTED      58
#define IDS_REMOVE_UNCHECKED        303
#define IDS_COL_COOKIES             608
#define IDS_VIEW_COOKIE             659
#define IDS_COL_CREATED             669
#define IDS_REMOVE_CHECKED          708
#define IDS_ASK_REMOVE_UNCHECKED    728
#define IDS_ASK_REMOVE_CHECKED      738
#define IDS_COL_EXPIRES             775
#define IDS_COL_PATH                776
#define IDS_COL_VALUE               777
#define IDS_COL_SSL                 778
#define IDS_SSL_TRUE                779
#define IDS_SSL_FALSE               780
#define IDS_COL_COOKIE_NAME         781
#define IDS_COOKIE_LIST_PATROL      787    // "Patrol Time for Cookies"
#define IDS_CHOOSE_COOKIE_FOLDER    799
#define IDS_FIREFOX_UNSUPPORTED     1184
#define IDS_COOKIE_TEXT             3500   // the page's description
#define IDS_COOKIE_LIST_HEADING     3501
#define IDS_COOKIE_LIST_HINT        3502
#define IDS_COOKIE_FILTER_HINT      3503
#define IDS_COOKIE_IE               3504
#define IDS_COOKIE_FIREFOX          3505
#define IDS_COOKIE_ALWAYS           3506
#define IDS_COOKIE_VIEW_LIST        3507
#define IDS_COOKIE_VIEW_VALUE       3508
#define IDS_COOKIE_VIEW_PATH        3509
#define IDS_COOKIE_VIEW_EXPIRES     3510
#define IDS_COOKIE_VIEW_SSL         3511
#define IDS_COOKIE_UNREADABLE       3512
