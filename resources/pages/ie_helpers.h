// The IE Helpers page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_IE_HELPERS         139
#define IDC_HELPERS_REMOVE          1003
#define IDS_HELPER_REMOVE_ASK       698    // "You have chosen to remove %s ..."
#define IDS_HELPERS_TEXT            3100   // the page's description
#define IDS_HELPER_TYPE_BHO         3103
#define IDS_HELPER_TYPE_TOOLBAR     3104
#define IDS_HELPER_TYPE_EXTENSION   3105
#define IDS_HELPERS_LOCATION        3106   // "Location"
#define IDS_HELPER_REMOVE_FAILED    3107
