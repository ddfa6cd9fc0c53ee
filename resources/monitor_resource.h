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
#define IDS_MENU_RESTART     507
#define IDS_MENU_EXIT        508
#define IDS_CLASS_NAME       1
#define IDS_CAPTION          2
#define IDS_HTTP_COMMAND_KEY 5
#define IDS_IE_APP_PATH_KEY  12
#define IDS_CONFIRM_EXIT     17
#define IDS_PLUS_NAME        622
#define IDS_LANGUAGE_CODE    634
#define IDS_EXPLORER_MISSING 795
#define IDS_SIZE_UNKNOWN     923
#define IDS_VERSION_ADDRESS  1149
#define IDS_PLUS_VERB        1183
// Texts of our own, beyond the numbered texts of the system.
#define IDS_DISABLE_FAILED   1300
#define IDS_REMOVE_FAILED    1301
#define IDS_RESTORE_FAILED   1302

// The alert dialogs: the layouts' controls and the shared texts; each
// category's template and texts are in its fragment.
#include "alert_layouts.h"
