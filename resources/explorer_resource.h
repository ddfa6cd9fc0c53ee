// Resource ids of VardexView.exe.  Texts are numbered as the rest of the
// system cites them (the tab titles by their page commands); each dialog
// keeps its own control ids.
#pragma once

// Icons: the program, the message dialog, a row whose file is missing, and
// one per tab.
#define IDI_EXPLORER         101
#define IDI_MISSING_FILE     115
#define IDI_NOTICE           161
#define IDI_TAB_PLUS         167
#define IDI_TAB_SERVICES     173
#define IDI_TAB_STARTUP      174
#define IDI_TAB_TASKS        176
#define IDI_TAB_FILETYPES    179
#define IDI_TAB_HELPERS      180
#define IDI_TAB_OPTIONS      181
#define IDI_TAB_SCHEDULED    182
#define IDI_TAB_COOKIES      183
#define IDI_TAB_HIDDEN       198
#define IDI_TAB_DELAYED      200
#define IDI_TAB_ACTIVEX      212

// Bitmaps of the image buttons.
#define IDB_HELP_NORMAL      133
#define IDB_HELP_PRESSED     134
#define IDB_HELP_HOVER       135
#define IDB_PATROL_OFF       154
#define IDB_PATROL_PRESSED   155
#define IDB_PATROL_TIMER     156
#define IDB_VIEW_NORMAL      158
#define IDB_VIEW_PRESSED     159
#define IDB_VIEW_HOVER       160
#define IDB_PATROL_REALTIME  193

// Texts.
#define IDS_CAPTION          2
#define IDS_CLASS_NAME       9
#define IDS_SHEET_FAILED     24
#define IDS_CLOSE            304
#define IDS_LOADING          833
#define IDS_PATROL_INTRO     782
#define IDS_PATROL_MINUTES   783
#define IDS_PATROL_ZERO      802
#define IDS_PREFIX_DEFAULT   1061
// Texts of our own, beyond the numbered texts of the system.
#define IDS_HELP_LABEL       1310
#define IDS_MONITOR_LABEL    1311
#define IDS_PAGE_PENDING     1312
#define IDS_REALTIME_BOX     1313

// The message dialog: one numbered text and OK.
#define IDD_MESSAGE          184
#define IDC_MESSAGE_TEXT     1025

// The patrol-time dialog.
#define IDD_PATROL_TIME      160
#define IDC_PATROL_INTRO     1001
#define IDC_PATROL_MINUTES   1004
#define IDC_PATROL_UNIT      1002
#define IDC_PATROL_ZERO      1003
#define IDC_PATROL_REALTIME  1014
#define IDC_PATROL_SLIDER    1142

// A page not built yet: its icon, its title and its Close button.
#define IDD_PENDING_PAGE     2000
#define IDC_PAGE_ICON        1011
#define IDC_PAGE_TITLE       1100
#define IDC_PAGE_NOTE        1101
#define IDC_PAGE_CLOSE       1004
