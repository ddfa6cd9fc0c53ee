// Every page of the sheet as the page table names it: the columns and
// actions of the list pages, the procedures of the pages of their own.
// Each is defined in its page's source (explorer/<page>_page.cpp).
#pragma once
#include "explorer/list_page.h"

#define STARTUP_COLUMN_COUNT 5
extern const PageColumn g_StartupColumns[STARTUP_COLUMN_COUNT];
extern const PageActions g_StartupActions;

#define ACTIVEX_COLUMN_COUNT 6
extern const PageColumn g_ActiveXColumns[ACTIVEX_COLUMN_COUNT];
extern const PageActions g_ActiveXActions;

#define IE_HELPER_COLUMN_COUNT 5
extern const PageColumn g_IEHelperColumns[IE_HELPER_COLUMN_COUNT];
extern const PageActions g_IEHelperActions;

#define SCHEDULED_COLUMN_COUNT 5
extern const PageColumn g_ScheduledColumns[SCHEDULED_COLUMN_COUNT];
extern const PageActions g_ScheduledActions;

#define SERVICE_COLUMN_COUNT 6
extern const PageColumn g_ServiceColumns[SERVICE_COLUMN_COUNT];
extern const PageActions g_ServiceActions;

#define ACTIVE_TASK_COLUMN_COUNT 4
extern const PageColumn g_ActiveTaskColumns[ACTIVE_TASK_COLUMN_COUNT];
extern const PageActions g_ActiveTaskActions;

#define FILE_TYPE_COLUMN_COUNT 6
extern const PageColumn g_FileTypeColumns[FILE_TYPE_COLUMN_COUNT];
extern const PageActions g_FileTypeActions;

#define HIDDEN_COLUMN_COUNT 5
extern const PageColumn g_HiddenColumns[HIDDEN_COLUMN_COUNT];
extern const PageActions g_HiddenActions;

#define DELAYED_COLUMN_COUNT 4
extern const PageColumn g_DelayedColumns[DELAYED_COLUMN_COUNT];
extern const PageActions g_DelayedActions;

// The pages of their own.
INT_PTR CALLBACK CookiesPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// 6045: the Cookies page's next activation opens the cookie list whatever
// "ViewCookies" says (1), or no longer does so (0).  The option stays the
// user's: the box shows it, and a change made meanwhile is kept.
void ShowCookieListOnce(int show);
INT_PTR CALLBACK PlusPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
