// Ids of the system files' fragment: the file change alert (a file-change
// layout: resources/alert_layouts.h has its controls).
#pragma once

#define IDD_FILE_CHANGE          194

#define IDS_CHANGE_TITLE         1000
#define IDS_CHANGE_INTRO         1001
#define IDS_CHANGE_ACCEPT        1002
#define IDS_CHANGE_REJECT        1003
#define IDS_CHANGE_NAME          1004
#define IDS_CHANGE_PATH          1005
#define IDS_CHANGE_VIEW_NEW      1006
#define IDS_CHANGE_VIEW_OLD      1007
#define IDS_CHANGE_ACCEPT_BUTTON 1008
#define IDS_CHANGE_REJECT_BUTTON 1009
#define IDS_CHANGE_STOP          1010
