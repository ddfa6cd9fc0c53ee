// Resource ids of Vardex.exe.  Texts are numbered as the rest of the system
// cites them; dialogs keep their own id ranges.
#pragma once

// Icons (tray states).
#define IDI_NORMAL_NT        101
#define IDI_PATROL_FIRST     157
#define IDI_PATROL_SECOND    158
#define IDI_NORMAL_9X        159
#define IDI_ALERT            161

// The built-in alert sound (resource type "WAVE").
#define IDW_ALERT            170

// Texts.
// The tray menu's items.
#define IDS_MENU_ABOUT       501
#define IDS_MENU_STARTUP     503
#define IDS_MENU_TASKS       504
#define IDS_MENU_COOKIES     505
#define IDS_MENU_RESTART     507
#define IDS_MENU_EXIT        508
#define IDS_MENU_SERVICES    509
#define IDS_MENU_FILETYPES   510
#define IDS_MENU_OPTIONS     610
#define IDS_MENU_SCHEDULE    685
#define IDS_MENU_HELPERS     697
#define IDS_MENU_HIDDEN      1018
#define IDS_MENU_DELAY       1020
#define IDS_MENU_ACTIVEX     1067
#define IDS_CLASS_NAME       1
#define IDS_CAPTION          2
#define IDS_HTTP_COMMAND_KEY 5
#define IDS_IE_APP_PATH_KEY  12
#define IDS_CONFIRM_EXIT     17
#define IDS_PLUS_NAME        622
#define IDS_LANGUAGE_CODE    634
#define IDS_EXPLORER_MISSING 795
#define IDS_TIP_NORMAL       820
#define IDS_TIP_STARTUP      821
#define IDS_TIP_HELPERS      822
#define IDS_TIP_TASKS        823
#define IDS_TIP_SECOND_HALF  824
#define IDS_TIP_COOKIES      826
#define IDS_TIP_FILETYPES    827
#define IDS_TIP_SYSFILES     828
#define IDS_TIP_PAGES        829
#define IDS_SIZE_UNKNOWN     923
#define IDS_VERSION_ADDRESS  1149
#define IDS_PLUS_VERB        1183
// Texts of our own, beyond the numbered texts of the system.
#define IDS_DISABLE_FAILED   1300
#define IDS_REMOVE_FAILED    1301
#define IDS_RESTORE_FAILED   1302

// The alerts' texts.
#define IDS_STARTUP_MESSAGE        7
#define IDS_LOOKUP_INFO            301
#define IDS_VERSION                630
#define IDS_DISABLE                633
#define IDS_PLUS_INFO              641
#define IDS_VERSION_COLON          644
#define IDS_TASK_MESSAGE           692
#define IDS_HELPER_MESSAGE         701
#define IDS_ALERT_TITLE            718
#define IDS_YES                    719
#define IDS_NO                     720
#define IDS_FILETYPE_HEADING       756
#define IDS_FILETYPE_OLD           757
#define IDS_FILETYPE_NEW           758
#define IDS_FILETYPE_QUESTION      759
#define IDS_FILETYPE_TITLE         760
#define IDS_RUNS_ALWAYS            765
#define IDS_RUNS_ONCE              766
#define IDS_RUNS_FROM_WININI       767
#define IDS_RUNS_FROM_FOLDER       768
#define IDS_SERVICE_HEADING        900
#define IDS_SERVICE_STATE          901
#define IDS_DELETE                 925
#define IDS_HIDDEN_MESSAGE         1015
#define IDS_DELAYED_MESSAGE        1022
#define IDS_DELAYED_TITLE          1023
#define IDS_ACTIVEX_MESSAGE        1066

// --- Alert dialogs -----------------------------------------------------------
// Templates.
#define IDD_ALERT_STARTUP    131
#define IDD_ALERT_TASK       138
#define IDD_ALERT_HELPER     140
#define IDD_ALERT_FILETYPE   143
#define IDD_ALERT_SERVICE    171
#define IDD_ALERT_HIDDEN     191
#define IDD_ALERT_DELAYED    192
#define IDD_ALERT_ACTIVEX    193

// Pictures shown in the alerts' corner (161 is the tray's alert icon).
#define IDI_PICTURE_ALERT    161
#define IDI_PICTURE_HELPER   162
#define IDI_PICTURE_SERVICE  164
#define IDI_PICTURE_STARTUP  165
#define IDI_PICTURE_TASK     166
#define IDI_PICTURE_ACTIVEX  171
#define IDI_PICTURE_DELAYED  200

// Controls shared by the alerts (1 and 2 are the hidden-file alert's OK and
// Delete, 6 and 7 the Yes and No of all others).
#define IDC_ALERT_HEADING    100
#define IDC_ALERT_ICON       117
#define IDC_ALERT_CHECK      1014
#define IDC_ALERT_FILE       1026
#define IDC_ALERT_VERSION    1029
#define IDC_ALERT_COMPANY    1030
#define IDC_ALERT_DESCRIPTION 1031
#define IDC_ALERT_COPYRIGHT  1032
#define IDC_ALERT_MESSAGE    1036
#define IDC_ALERT_LOOKUP     1067
#define IDC_ALERT_NEXT_RUN   1082
#define IDC_ALERT_VERSION_LABEL 1097
#define IDC_ALERT_PICTURE    1130
#define IDC_ALERT_SERVICE_HEADING 1143
#define IDC_ALERT_SERVICE_STATE   1144

// The file change alert of a watched system file.
#define IDD_FILE_CHANGE          194
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

// The file-type alert.
#define IDC_FILETYPE_HEADING     1025
#define IDC_FILETYPE_OLD_LABEL   1026
#define IDC_FILETYPE_NEW_LABEL   1027
#define IDC_FILETYPE_QUESTION    1028
#define IDC_FILETYPE_OLD_NAME    1111
#define IDC_FILETYPE_OLD_ICON    1112
#define IDC_FILETYPE_OLD_PATH    1113
#define IDC_FILETYPE_OLD_COMPANY 1114
#define IDC_FILETYPE_OLD_LOOKUP  1115
#define IDC_FILETYPE_NEW_ICON    1116
#define IDC_FILETYPE_NEW_PATH    1117
#define IDC_FILETYPE_NEW_NAME    1118
#define IDC_FILETYPE_NEW_COMPANY 1119
#define IDC_FILETYPE_NEW_LOOKUP  1120
#define IDC_FILETYPE_EXTENSION   1121
