// The Delayed Start page: its template, its own controls and texts, and the
// two dialogs only it opens (the program's delay options and the all-users
// question of Add).  It has no Monitor button: the list is no patrol.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_DELAYED         197
#define IDD_DELAY_TYPE           199    // "Startup Program Type"
#define IDD_DELAY_OPTIONS        4090   // "Program Delay Startup Options"
#define IDC_DELAY_REMOVE         1003
#define IDC_DELAY_ADD            1064
#define IDC_DELAY_LAUNCH         1065
#define IDM_DELAY_OPTIONS        1197
#define IDM_DELAY_RESTORE        1198
// The options dialog.
#define IDC_DELAY_MINUTES        4010
#define IDC_DELAY_SECONDS        4011
#define IDC_DELAY_OPEN_AS        4012
#define IDC_DELAY_PARAMETERS     4013
#define IDC_DELAY_TITLE          4014
#define IDC_DELAY_PROGRAM        4015
// The type question.
#define IDC_DELAY_QUESTION       4020
#define IDC_DELAY_ALL_USERS      4021
#define IDC_DELAY_THIS_USER      4022
// Texts.
#define IDS_DELAY_ALL_USERS_ASK  1120   // before a record goes under HKLM
#define IDS_DELAY_TYPE_TITLE     1126   // "Startup Program Type"
#define IDS_DELAY_TYPE_QUESTION  1127
#define IDS_DELAY_TYPE_ALL       1128
#define IDS_DELAY_TYPE_USER      1129
#define IDS_DELAY_REMOVE_ASK     1134
#define IDS_DELAY_OPEN_NORMAL    1138
#define IDS_DELAY_OPEN_MINIMIZED 1139
#define IDS_DELAY_OPEN_MAXIMIZED 1140
#define IDS_DELAY_TEXT           4000   // the page's description
#define IDS_DELAY_STATUS           4001
#define IDS_COL_DELAY_TIME       4002
#define IDS_DELAY_RUNNING        4003
#define IDS_DELAY_NO_FILE        4004
#define IDS_DELAY_MINUTES        4005
#define IDS_DELAY_SECONDS        4006
#define IDS_DELAY_LAUNCH         4007
#define IDS_DELAY_LAUNCH_MENU    4008
#define IDS_DELAY_OPTIONS_MENU   4009
#define IDS_DELAY_RESTORE_MENU   4010
#define IDS_DELAY_NOT_RESTORED   4011
#define IDS_DELAY_NOT_LAUNCHED   4012
#define IDS_DELAY_NOT_RESTORABLE 4013
#define IDS_DELAY_NOT_WRITTEN    4014
#define IDS_DELAY_NOT_REMOVED    4015
#define IDS_DELAY_NOT_ADDED      4016
