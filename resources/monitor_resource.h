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
