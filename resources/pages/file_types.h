// The File Types page and its Add File Type Extension dialog: templates,
// their own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_FILE_TYPES      142
#define IDD_ADD_FILE_TYPE        144
#define IDC_FILETYPE_REMOVE      1003
#define IDC_FILETYPE_ADD         1064
// The Add dialog's controls ("&Add" is IDOK).
#define IDC_ADD_FILETYPE_PROMPT  1001
#define IDC_ADD_FILETYPE_EXT     1002
#define IDS_FILETYPE_NO_SELECTION 60   // Remove with no row selected
#define IDS_ADD_FILETYPE_PROMPT  751
#define IDS_ADD_FILETYPE_TITLE   752    // the explorer's texts, as the monitor's
#define IDS_ADD_FILETYPE_BUTTON  753
#define IDS_FILETYPE_PAGE_TEXT   3600   // the page's description
#define IDS_COL_CLASS            3601
#define IDS_COL_EXTENSION        3602
#define IDS_FILETYPE_SYSTEM      3603   // kind 1
#define IDS_FILETYPE_EXPLORER    3604   // kinds 2 and 3
#define IDS_FILETYPE_ROOT        3605   // kind 4
#define IDS_FILETYPE_REMOVE_ASK  3606
