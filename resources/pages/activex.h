// The ActiveX page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_ACTIVEX            201
#define IDC_ACTIVEX_ENABLE          10
#define IDC_ACTIVEX_DISABLE         11
#define IDC_ACTIVEX_HIDE_MICROSOFT  1014
#define IDC_ACTIVEX_LIST_ALL        1015
#define IDS_ACTIVEX_STATE_DISABLED  666    // "Disabled" in the Type column
#define IDS_ACTIVEX_STATE_ENABLED   1156
#define IDS_COL_CLSID               1158
#define IDS_ACTIVEX_DISABLE_ASK     1159   // the question before the kill bit
#define IDS_ACTIVEX_TEXT            3000   // the page's description
#define IDS_ACTIVEX_HIDE_MICROSOFT  3002
#define IDS_ACTIVEX_LIST_ALL        3003
#define IDS_ACTIVEX_KILL_FAILED     3004   // the kill bit could not be set
#define IDS_ACTIVEX_REVIVE_FAILED   3005   // ... or cleared
