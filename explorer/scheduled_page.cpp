// The Scheduled Tasks page: the work items of the Task Scheduler, when each
// runs next and ran last, and the user's Remove.
#include <windows.h>

#include <string.h>

#include "categories/tasks.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/text.h"
#include "resources/pages/scheduled.h"

// --- Columns -----------------------------------------------------------------------

// "Backup.job" shows as "Backup"; a name of four characters or fewer whole.
static void TaskNameCell(const PageRow* row, char* out, size_t outSize)
{
    const char* name = row->Item->Name;
    size_t length = strlen(name);
    if (length > 4)
        TextCopyN(out, outSize, name, length - 4);
    else
        TextCopy(out, outSize, name);
}

// The run times ("12/08/2026  12:30 PM") are shown whole; the name gives
// them the room.
const PageColumn g_ScheduledColumns[SCHEDULED_COLUMN_COUNT] = {
    { IDS_COL_NAME, 20, FIELD_CELL, TaskNameCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_PROGRAM, 16, FIELD_FILE_PART, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMPANY, 18, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_NEXT_RUN, 22, FIELD_EXTRA, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_LAST_RUN, 22, FIELD_INFO, NULL, SORT_TEXT, NULL, 0 },
};

// --- Texts and commands --------------------------------------------------------------

static void InitScheduled(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_SCHEDULED_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_BUTTON_REMOVE, IDC_SCHEDULED_REMOVE);
}

static void ScheduledMenu(ListPage*, HMENU menu, const PageRow*)
{
    AppendMenuText(menu, IDC_SCHEDULED_REMOVE, IDS_BUTTON_REMOVE);
    AppendMenuText(menu, IDM_PAGE_REBOOT_DELETE, IDS_ROWMENU_REBOOT_DELETE);
}

static int s_selected[ITEM_MAX];

// Each selected task, asked about one by one.  Its approval goes only with
// the task: one the scheduler keeps stays approved, and the user is told.
static void RemoveTasks(ListPage* page)
{
    int count = SelectedOrSaySo(page, s_selected, ITEM_MAX);
    for (int i = 0; i < count; i++) {
        const ItemRecord* item = RowOfRecord(page, s_selected[i])->Item;
        if (PageMessage(page->Window, IDS_SCHEDULED_REMOVE_ASK, item->Name,
                        MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            continue;
        if (!RemoveScheduledTask(item))
            PageMessage(page->Window, IDS_SCHEDULED_REMOVE_FAILED, item->Name,
                        MB_OK | MB_ICONINFORMATION);
    }
    FillListPage(page);
}

static int ScheduledCommand(ListPage* page, int id, int notification)
{
    if (id != IDC_SCHEDULED_REMOVE || (notification != BN_CLICKED && notification != 1))
        return 0;
    RemoveTasks(page);
    return 1;
}

static const int kButtons[] = { IDC_PAGE_INFO, IDC_SCHEDULED_REMOVE, IDC_PAGE_CLOSE };

const PageActions g_ScheduledActions = {
    InitScheduled, NULL, NULL, NULL, NULL, ScheduledCommand, ScheduledMenu,
    kButtons, NULL, 3, PAGE_WIDTH_FULL,
};
