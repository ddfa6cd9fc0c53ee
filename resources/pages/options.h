// The Options page, its alert-hiding dialog and the History dialog: their
// templates, own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_OPTIONS         114
#define IDD_HISTORY              141
#define IDD_ALERT_HIDING         213

// --- The page: check boxes (each writes one option) ---
#define IDC_OPTIONS_AUTOSTART    1017
#define IDC_OPTIONS_EXPLORER_MENU 1018
#define IDC_OPTIONS_SOUND        1020
#define IDC_OPTIONS_HISTORY      1024
#define IDC_OPTIONS_HIDE_ICON    1025
#define IDC_OPTIONS_LOCK_TYPES   1026
#define IDC_OPTIONS_CONFIRM_EXIT 1027
#define IDC_OPTIONS_TRAY_ICON    1201   // NT family only
#define IDC_OPTIONS_PLUS_FORMAT  1202
#define IDC_OPTIONS_GROUP        4100
// --- Patrol image buttons and their labels ---
#define IDC_OPTIONS_START_PAGE   1136
#define IDC_OPTIONS_HOST_FILE    1137
#define IDC_OPTIONS_RESTART      1138   // not on the NT family
#define IDC_OPTIONS_RESTART_LABEL 1139
#define IDC_OPTIONS_START_PAGE_LABEL 4101
#define IDC_OPTIONS_HOST_FILE_LABEL  4102
// --- Command buttons ---
#define IDC_OPTIONS_HISTORY_VIEW 1104
#define IDC_OPTIONS_HOSTS        1105
#define IDC_OPTIONS_EXPORT       1106
#define IDC_OPTIONS_RESTORE_DELAYED 1107
#define IDC_OPTIONS_LOG          1108
#define IDC_OPTIONS_SCAN_LOG     1109
#define IDC_OPTIONS_CSV          1110
#define IDC_OPTIONS_HIDE_ALERTS  1236

// --- The alert-hiding dialog: per row a box and two radios (Allow, Deny) ---
#define IDC_HIDING_TEXT          4110
#define IDC_HIDING_ALLOW_HEADING 4111
#define IDC_HIDING_DENY_HEADING  4112
// Rows in the order of the dialog: box, Allow radio, Deny radio.
#define IDC_HIDING_STARTUP       1234
#define IDC_HIDING_IE_HELPER     1235
#define IDC_HIDING_TASKS         1236
#define IDC_HIDING_SERVICES      1237
#define IDC_HIDING_ACTIVEX       1238
#define IDC_HIDING_HIDDEN        1239
#define IDC_HIDING_FILE_TYPE     1240
#define IDC_HIDING_SYSTEM_FILES  1241
#define IDC_HIDING_HOME_PAGE     1242

// --- The History dialog ---
#define IDC_HISTORY_TEXT         4130
#define IDC_HISTORY_LIST         1000
#define IDC_HISTORY_RESTORE      1104
#define IDC_HISTORY_CLEAR        1106

// --- Texts ---
#define IDS_OPTIONS_TEXT         251    // the page's description
#define IDS_OPTIONS_GROUP        253    // "Vardex"
#define IDS_HISTORY_TEXT         710    // what the History dialog shows
#define IDS_HIDE_ICON_NOTE       927    // the icon goes; how to come back
#define IDS_PLUS_FORMAT_THANKS   1151
#define IDS_HIDING_TEXT          1171   // use with care: alerts still recorded
#define IDS_OPTIONS_AUTOSTART    4100
#define IDS_OPTIONS_SOUND        4101
#define IDS_OPTIONS_HISTORY      4102
#define IDS_OPTIONS_HIDE_ICON    4103
#define IDS_OPTIONS_LOCK_TYPES   4104
#define IDS_OPTIONS_CONFIRM_EXIT 4105
#define IDS_OPTIONS_TRAY_ICON    4106
#define IDS_OPTIONS_PLUS_FORMAT  4107
#define IDS_OPTIONS_EXPLORER_MENU 4108
#define IDS_OPTIONS_RESTART      4109
#define IDS_OPTIONS_START_PAGE   4110
#define IDS_OPTIONS_HOST_FILE    4111
#define IDS_OPTIONS_LOG          4112
#define IDS_OPTIONS_HISTORY_VIEW 4113
#define IDS_OPTIONS_HOSTS        4114
#define IDS_OPTIONS_EXPORT       4115
#define IDS_OPTIONS_RESTORE_DELAYED 4116
#define IDS_OPTIONS_SCAN_LOG     4117
#define IDS_OPTIONS_CSV          4118
#define IDS_OPTIONS_HIDE_ALERTS  4119   // also the alert-hiding dialog's caption
#define IDS_AUTOSTART_REFUSED    4120
#define IDS_HISTORY_CLEAR_ASK    4121
#define IDS_HIDING_ALLOW         4122
#define IDS_HIDING_DENY          4123
#define IDS_HIDING_ROW_FIRST     4124   // 9 row texts from here
#define IDS_HISTORY_CAPTION      4133
#define IDS_HISTORY_RESTORE      4134
#define IDS_HISTORY_CLEAR        4135
