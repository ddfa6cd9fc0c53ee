// The Startup Programs page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_STARTUP        102
#define IDC_STARTUP_ENABLE      10
#define IDC_STARTUP_DISABLE     11
#define IDC_STARTUP_REMOVE      1003
#define IDC_STARTUP_SHOW_ALL    1014
#define IDC_STARTUP_ADD         1064
#define IDM_STARTUP_DELAY       1195
#define IDS_STARTUP_REMOVE_ASK  15     // "You have chosen to remove %s" ...
#define IDS_STARTUP_TEXT        211    // the page's description
#define IDS_DISABLED_TYPE       225    // "   Disabled" in the Type column
#define IDS_STARTUP_LOCATION    226    // "Startup Location: "
#define IDS_STARTUP_SHOW_ALL    227
#define IDS_BUTTON_RESET        233
#define IDS_ROWMENU_DELAY          244
#define IDS_ADD_FAILED          265
#define IDS_STARTUP_ADD_TITLE   902    // "Add AutoStart Program"
#define IDS_CANNOT_DELAY        1130
