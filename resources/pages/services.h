// The Services page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_SERVICES       132
#define IDC_SERVICES_HIDE_MS    1014
#define IDS_SERVICES_TEXT       3300   // the page's description
#define IDS_COL_STATUS          3301
#define IDS_COL_STARTUP         3302
#define IDS_SERVICES_HIDE_MS    3303
