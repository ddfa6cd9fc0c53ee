// The Scheduled Tasks page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_SCHEDULED          137
#define IDC_SCHEDULED_REMOVE        1003
#define IDS_SCHEDULED_REMOVE_ASK    687    // "You have chosen to remove %s" ...
#define IDS_SCHEDULED_TEXT          3200   // the page's description
#define IDS_COL_NEXT_RUN            3203
#define IDS_COL_LAST_RUN            3204
#define IDS_SCHEDULED_REMOVE_FAILED 3205
