#include "explorer/page_table.h"

#include "categories/activex.h"
#include "categories/cookies.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/ie_helpers.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "explorer/pages.h"
#include "foundation/options.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"

// The list pages' columns and actions belong to the explorer; the monitor
// takes the records without them.
#ifdef VX_PAGE_RECORDS_ONLY
#define PAGE_VIEW(columns, count, actions) NULL, 0, NULL
#define PAGE_OWN(procedure) NULL
#else
#define PAGE_VIEW(columns, count, actions) columns, count, &actions
#define PAGE_OWN(procedure) procedure
#endif

// Tab titles are the string-table texts numbered as their page commands.

static const PageRecord s_pages[] = {
    { PAGE_STARTUP, "-START", NULL, PAGE_STARTUP, 102, 174, 0, PAGE_KIND_LIST,
      &g_StartupCategory, "SortStartup", 784, OPT_Start, OPT_RealtimeStartup,
      "startup.html", 503,
      PAGE_VIEW(g_StartupColumns, STARTUP_COLUMN_COUNT, g_StartupActions) },
    { PAGE_DELAYED, "-DELAY", NULL, PAGE_DELAYED, 197, 200, 0, PAGE_KIND_LIST,
      &g_DelayedCategory, "SortPrograms", 0, -1, -1, "delay.html", 1020,
      PAGE_VIEW(g_DelayedColumns, DELAYED_COLUMN_COUNT, g_DelayedActions) },
    { PAGE_ACTIVEX, "-ACTIVEX", NULL, PAGE_ACTIVEX, 201, 212, 0, PAGE_KIND_LIST,
      &g_ActiveXCategory, "SortActiveX", 1157, OPT_ActiveX, OPT_RealtimeActiveX,
      "activex.html", 1067,
      PAGE_VIEW(g_ActiveXColumns, ACTIVEX_COLUMN_COUNT, g_ActiveXActions) },
    { PAGE_IE_HELPERS, "-BHO", NULL, PAGE_IE_HELPERS, 139, 180, 0, PAGE_KIND_LIST,
      &g_IEHelpersCategory, "SortIEHelper", 785, OPT_IEHelpers, OPT_RealtimeIEHelper,
      "bho.html", 697,
      PAGE_VIEW(g_IEHelperColumns, IE_HELPER_COLUMN_COUNT, g_IEHelperActions) },
    { PAGE_SCHEDULED_TASKS, "-SCHEDULE", NULL, PAGE_SCHEDULED_TASKS, 137, 182, 0,
      PAGE_KIND_LIST, &g_TasksCategory, "SortScheduledTask", 786, OPT_Tasks, -1,
      "scheduler.html", 685,
      PAGE_VIEW(g_ScheduledColumns, SCHEDULED_COLUMN_COUNT, g_ScheduledActions) },
    { PAGE_SERVICES, "-SERVICE", NULL, PAGE_SERVICES, 132, 173, 1, PAGE_KIND_LIST,
      &g_ServicesCategory, "SortService", 957, OPT_Services, OPT_RealtimeServices,
      "services.html", 509,
      PAGE_VIEW(g_ServiceColumns, SERVICE_COLUMN_COUNT, g_ServiceActions) },
    { PAGE_ACTIVE_TASKS, "-TASK", NULL, PAGE_ACTIVE_TASKS, 110, 176, 0, PAGE_KIND_LIST,
      &g_ActiveTasksCategory, "SortActiveTask", 0, -1, -1, "tasks.html", 504,
      PAGE_VIEW(g_ActiveTaskColumns, ACTIVE_TASK_COLUMN_COUNT, g_ActiveTaskActions) },
    { PAGE_COOKIES, "-NUT", "-COOKIE", PAGE_COOKIES, 108, 183, 0, PAGE_KIND_OWN,
      &g_CookieFilterCategory, "SortCookie", 789, OPT_Nuts, -1, "cookies.html", 505,
      NULL, 0, NULL, "-NUTS", PAGE_OWN(CookiesPageProc) },
    { PAGE_FILE_TYPES, "-FILETYPE", NULL, PAGE_FILE_TYPES, 142, 179, 0, PAGE_KIND_LIST,
      &g_FileTypesCategory, "SortFileType", 788, OPT_FileType, OPT_RealtimeFileType,
      "filetype.html", 510,
      PAGE_VIEW(g_FileTypeColumns, FILE_TYPE_COLUMN_COUNT, g_FileTypeActions), "-FILETYPES" },
    { PAGE_HIDDEN, "-HIDDEN", NULL, PAGE_HIDDEN, 195, 198, 0, PAGE_KIND_LIST,
      &g_HiddenFilesCategory, "SortHidden", 924, OPT_Hidden, OPT_RealtimeHidden,
      "hidden.html", 1018, PAGE_VIEW(g_HiddenColumns, HIDDEN_COLUMN_COUNT, g_HiddenActions) },
    { PAGE_PLUS, "-PLUS", NULL, PAGE_PLUS, 103, 167, 0, PAGE_KIND_OWN, NULL, NULL, 0, -1,
      -1, "features.html", 501, NULL, 0, NULL, NULL, PAGE_OWN(PlusPageProc) },
    { PAGE_OPTIONS, "-OPTION", "-RESTART", PAGE_OPTIONS, 114, 181, 0, PAGE_KIND_OWN, NULL,
      NULL, 0, -1, -1, "options.html", 610, NULL, 0, NULL, "-OPTIONS",
      PAGE_OWN(OptionsPageProc) },
};

int PageCount()
{
    return (int)(sizeof(s_pages) / sizeof(s_pages[0]));
}

const PageRecord* PageAt(int index)
{
    return index >= 0 && index < PageCount() ? &s_pages[index] : NULL;
}

const PageRecord* PageByCommand(int command)
{
    for (const PageRecord& page : s_pages)
        if (page.Command == command)
            return &page;
    return NULL;
}

const char* MonitorSwitchOf(int command)
{
    const PageRecord* page = PageByCommand(command);
    if (page == NULL)
        return NULL;
    return page->MonitorSwitch != NULL ? page->MonitorSwitch : page->Switch;
}
