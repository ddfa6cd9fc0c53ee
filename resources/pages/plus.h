// The PLUS page: its template, its own controls and texts.
#pragma once
#include "../explorer_pages.h"

#define IDD_PAGE_PLUS            103
#define IDC_PLUS_NEWS            1021   // link button to the vendor's news
#define IDC_PLUS_VERSION         1041   // "Vardex PLUS v " + build, large
#define IDC_PLUS_SEARCH_LABEL    1074
#define IDC_PLUS_SEARCH_TEXT     1075
#define IDC_PLUS_SEARCH          1076
#define IDC_PLUS_CHECK_VERSION   1123
#define IDS_PLUS_VERSION_LINE    3800   // "Vardex PLUS v "
#define IDS_PLUS_TEXT            3801   // the page's description
#define IDS_PLUS_NEWS            3802
#define IDS_PLUS_SEARCH_LABEL    3803
#define IDS_PLUS_SEARCH          3804
#define IDS_PLUS_CHECK_VERSION   3805
