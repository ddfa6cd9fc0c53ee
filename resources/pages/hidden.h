// The Hidden Files page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_HIDDEN          195
#define IDC_HIDDEN_REFRESH       1006
#define IDC_HIDDEN_UNHIDE        1007
#define IDM_HIDDEN_NOTEPAD       1180
#define IDM_HIDDEN_DELETE        1184
#define IDS_HIDDEN_DELETE_ASK    926    // "Is this known Adware or Spyware?" ...
#define IDS_HIDDEN_TEXT          3700   // the page's description
#define IDS_COL_FOLDER             3702
#define IDS_COL_LAST_WRITTEN     3703
#define IDS_HIDDEN_SYSTEM        3704   // the Type of a file with the system attribute
#define IDS_HIDDEN_REFRESH       3705
#define IDS_HIDDEN_UNHIDE        3706
#define IDS_HIDDEN_DELETE        3707
#define IDS_HIDDEN_NOTEPAD       3708
#define IDS_HIDDEN_UNHIDE_FAILED 3709
#define IDS_HIDDEN_DELETE_FAILED 3710
#define IDS_FILE_IN_USE          923    // "File in Use" (the explorer's texts)
