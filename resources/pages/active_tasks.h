// The Active Tasks page: its template, its own controls and texts.  It has
// no Monitor button: running programs have no patrol of their own.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_ACTIVE_TASKS   110
#define IDC_ACTIVE_REFRESH      1006
#define IDC_ACTIVE_KILL         1007
#define IDS_ACTIVE_TEXT         3400   // the page's description
#define IDS_COL_DESCRIPTION     3402
#define IDS_BUTTON_REFRESH      3403
#define IDS_BUTTON_KILL         3404
