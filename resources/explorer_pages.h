// Resource ids every list page shares: its controls, the common menu
// entries and texts.  Numbered as the pages know them; the range 200-299
// holds the shared texts that carry no number of their own, and no id here
// is one of the frame's (explorer.rc) or the monitor's.  Each page's own
// ids are in its fragment's header (resources/pages).
#pragma once

// --- Controls every list page has ---
#define IDC_PAGE_LIST           1000   // the list view
#define IDC_PAGE_CLOSE          1004   // posts WM_CLOSE to the page
#define IDC_PAGE_INFO           1008
#define IDC_PAGE_TEXT           1010   // the page's description
#define IDC_PAGE_ICON           1011
#define IDC_PAGE_HELP           1077   // Help image button
#define IDC_PAGE_HELP_LABEL     1078
#define IDC_PAGE_MONITOR        1112   // Monitor image button
#define IDC_PAGE_MONITOR_LABEL  1113

// --- Menu entries (WM_COMMAND ids) ---
#define IDM_PAGE_LOG            9
#define IDM_PAGE_PLUS_INFO      1067
#define IDM_PAGE_REBOOT_DELETE  1144
#define IDM_PAGE_VIEW_NOTE      1164
#define IDM_PAGE_EXPLORE        1201
#define IDM_PAGE_PROPERTIES     1202

// --- Texts ---
#define IDS_HELP_CAPTION        31     // "Vardex Help": the no-selection box
#define IDS_NO_SELECTION        57
#define IDS_COL_TITLE           220
#define IDS_COL_COMMAND         221
#define IDS_COL_COMPANY         222
#define IDS_COL_TYPE            223
#define IDS_COL_DETECTED        224
#define IDS_COL_MODULE          228
#define IDS_COL_NAME            229
#define IDS_COL_PROGRAM         249
#define IDS_BUTTON_INFO         230
#define IDS_BUTTON_ADD          231
#define IDS_BUTTON_REMOVE       232
#define IDS_BUTTON_ENABLE       234
#define IDS_BUTTON_DISABLE      235
#define IDS_BUTTON_CLOSE        236
#define IDS_LABEL_HELP          237
#define IDS_LABEL_MONITOR       238
#define IDS_ROWMENU_INFO           240
#define IDS_ROWMENU_EXPLORE        241
#define IDS_ROWMENU_PROPERTIES     242
#define IDS_ROWMENU_VIEW_NOTE      243
#define IDS_ROWMENU_REBOOT_DELETE  245
#define IDS_ROWMENU_PLUS_INFO      246
#define IDS_ROWMENU_LOG            247
#define IDS_ROWMENU_HELP           248
#define IDS_OWN_FILE            260    // Delete File on Reboot refused
#define IDS_NO_FILE_TO_DELETE   261
#define IDS_DELETE_REFUSED      262
#define IDS_NOT_YET             263    // a part that arrives later
#define IDS_LIST_CUT            264
#define IDS_LOCATION_TOOLBAR    724
#define IDS_LOCATION_HELPER     725
#define IDS_LOCATION_TASKS      726
#define IDS_REBOOT_DELETE_ASK   800

// Icons the list rows use.
#define IDI_PAGE_PROGRAM        101    // the program's own icon: image 0
#define IDI_PAGE_NO_FILE        115    // a row whose file is missing
