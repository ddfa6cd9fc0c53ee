// The Active Tasks page: the programs that run now, and the user's Kill
// Task.  A row stands for one process of its program: Kill Task ends that
// process, and only while it still runs that program.
#include <windows.h>

#include "categories/running_tasks.h"
#include "explorer/pages.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/processes.h"
#include "resources/pages/active_tasks.h"

const PageColumn g_ActiveTaskColumns[ACTIVE_TASK_COLUMN_COUNT] = {
    { IDS_COL_MODULE, 25, FIELD_FILE_PART, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_DESCRIPTION, 35, FIELD_NAME, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMPANY, 20, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_DETECTED, 20, FIELD_DETECTED, NULL, SORT_DATE, NULL, 0 },
};

static void InitActiveTasks(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_ACTIVE_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_BUTTON_REFRESH, IDC_ACTIVE_REFRESH);
    SetItemText(w, IDS_BUTTON_KILL, IDC_ACTIVE_KILL);
}

static void ActiveTasksMenu(ListPage*, HMENU menu, const PageRow*)
{
    AppendMenuText(menu, IDC_ACTIVE_REFRESH, IDS_BUTTON_REFRESH);
    AppendMenuText(menu, IDC_ACTIVE_KILL, IDS_BUTTON_KILL);
    AppendMenuText(menu, IDM_PAGE_REBOOT_DELETE, IDS_ROWMENU_REBOOT_DELETE);
}

static int s_selected[ITEM_MAX];

// Each selected row's own process (its id and path from its record, never
// a program found by its file name: two programs may share it), without a
// question; a history line for each that ended.
static void KillTasks(ListPage* page)
{
    int count = SelectedOrSaySo(page, s_selected, ITEM_MAX);
    for (int i = 0; i < count; i++) {
        const ItemRecord* item = RowOfRecord(page, s_selected[i])->Item;
        if (KillProcessById((DWORD)item->Flag, item->Command))
            WriteHistory(item->Name, item->Command, item->Info, INFO_TASK, HA_TASK_KILL);
    }
    FillListPage(page);
}

static int ActiveTasksCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_ACTIVE_REFRESH: FillListPage(page); return 1;
    case IDC_ACTIVE_KILL: KillTasks(page); return 1;
    default: return 0;
    }
}

static const int kButtons[] = { IDC_PAGE_INFO, IDC_ACTIVE_REFRESH, IDC_ACTIVE_KILL,
                                IDC_PAGE_CLOSE };

const PageActions g_ActiveTaskActions = {
    InitActiveTasks, NULL, NULL, NULL, NULL, ActiveTasksCommand, ActiveTasksMenu,
    kButtons, NULL, 4, 0,
};
