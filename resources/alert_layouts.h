// The ids an alert description can name besides its category's own: the
// controls of the alert layouts (every template of a layout has them, the
// one-program dialog procedure fills them), the texts the alerts share and
// the tray's tips.  A category's template, its picture, its particular
// controls and its own texts are in its fragment's header
// (resources/fragments/*.h).  Plain defines: resource scripts, the category
// code of both programs and the monitor include it.
#pragma once

// --- The one-program layout ------------------------------------------------------
// (1 and 2 are the hidden-file alert's OK and Delete, 6 and 7 the Yes and No
// of all others.)
#define IDC_ALERT_HEADING    100
#define IDC_ALERT_ICON       117
#define IDC_ALERT_FILE       1026
#define IDC_ALERT_VERSION    1029
#define IDC_ALERT_COMPANY    1030
#define IDC_ALERT_DESCRIPTION 1031
#define IDC_ALERT_COPYRIGHT  1032
#define IDC_ALERT_MESSAGE    1036
#define IDC_ALERT_LOOKUP     1067
#define IDC_ALERT_VERSION_LABEL 1097
#define IDC_ALERT_PICTURE    1130

// --- The two-program layout --------------------------------------------------------
#define IDC_TWO_HEADING      1025
#define IDC_TWO_OLD_LABEL    1026
#define IDC_TWO_NEW_LABEL    1027
#define IDC_TWO_QUESTION     1028
#define IDC_TWO_OLD_NAME     1111
#define IDC_TWO_OLD_ICON     1112
#define IDC_TWO_OLD_PATH     1113
#define IDC_TWO_OLD_COMPANY  1114
#define IDC_TWO_OLD_LOOKUP   1115
#define IDC_TWO_NEW_ICON     1116
#define IDC_TWO_NEW_PATH     1117
#define IDC_TWO_NEW_NAME     1118
#define IDC_TWO_NEW_COMPANY  1119
#define IDC_TWO_NEW_LOOKUP   1120
#define IDC_TWO_SUBJECT      1121

// --- The file-change layout ---------------------------------------------------------
#define IDC_CHANGE_INTRO         1201
#define IDC_CHANGE_ACCEPT_TEXT   1202
#define IDC_CHANGE_REJECT_TEXT   1203
#define IDC_CHANGE_NAME_LABEL    1204
#define IDC_CHANGE_PATH_LABEL    1205
#define IDC_CHANGE_NAME          1206
#define IDC_CHANGE_PATH          1207
#define IDC_CHANGE_COMMENT       1208
#define IDC_CHANGE_VIEW_NEW      1209
#define IDC_CHANGE_VIEW_OLD      1210
#define IDC_CHANGE_ACCEPT        1211
#define IDC_CHANGE_REJECT        1212
#define IDC_CHANGE_STOP          1213

// The picture of an alert without one of its own: the tray's alert icon.
#define IDI_PICTURE_ALERT    161

// --- Texts the alerts share -----------------------------------------------------------
#define IDS_LOOKUP_INFO      301
#define IDS_VERSION          630
#define IDS_DISABLE          633
#define IDS_PLUS_INFO        641
#define IDS_VERSION_COLON    644
#define IDS_ALERT_TITLE      718
#define IDS_YES              719
#define IDS_NO               720
#define IDS_DELETE           925

// --- The tray's tips (an alert names the one shown while it waits) --------------------
#define IDS_TIP_NORMAL       820
#define IDS_TIP_STARTUP      821
#define IDS_TIP_HELPERS      822
#define IDS_TIP_TASKS        823
#define IDS_TIP_SECOND_HALF  824
#define IDS_TIP_COOKIES      826
#define IDS_TIP_FILETYPES    827
#define IDS_TIP_SYSFILES     828
#define IDS_TIP_PAGES        829

#ifdef RC_INVOKED
// The frame every alert template shares: topmost (set per template), so that
// a question asked from the tray is seen over whatever the user is doing.
#define ALERT_STYLE DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU
#define ICON_BUTTON BS_ICON | BS_FLAT | WS_TABSTOP
#define FIELD       SS_LEFT | SS_NOPREFIX
#define PATH_FIELD  SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS
#endif
