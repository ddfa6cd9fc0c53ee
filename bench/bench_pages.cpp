// The explorer's list pages other than Startup's (which bench_list_page.cpp
// measures with its own sizes): each opened with 2,000 services, 200
// tasks, 200 browser helpers, 5,000 hidden files and 100 more programs
// running (one idle program under 100 names) planted, beside its floor:
// the page's row listing the same entries (ListAll) and the texts the page
// showed put into a hidden list view with redraw off.  What the page does
// beyond that (version texts, dates, icons, sorting) is what the ratio
// shows.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bench/bench.h"
#include "explorer/pages.h"
#include "foundation/category_record.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "resources/explorer_pages.h"

#define PAGES_REPEAT 5
#define PAGE_SERVICES_PLANTED 2000
#define PAGE_TASKS_PLANTED 200
#define PAGE_HELPERS_PLANTED 200
#define PAGE_CHILDREN 100

static const PageRecord* s_page = NULL;

// The bench links the monitor, whose page table holds the records without
// the list pages' columns and actions: each page's record is taken from it
// and given its view here.
struct PageView {
    int Command;
    const PageColumn* Columns;
    int ColumnCount;
    const PageActions* Actions;
};

static const PageView kViews[] = {
    { PAGE_STARTUP, g_StartupColumns, STARTUP_COLUMN_COUNT, &g_StartupActions },
    { PAGE_ACTIVEX, g_ActiveXColumns, ACTIVEX_COLUMN_COUNT, &g_ActiveXActions },
    { PAGE_IE_HELPERS, g_IEHelperColumns, IE_HELPER_COLUMN_COUNT, &g_IEHelperActions },
    { PAGE_SCHEDULED_TASKS, g_ScheduledColumns, SCHEDULED_COLUMN_COUNT, &g_ScheduledActions },
    { PAGE_SERVICES, g_ServiceColumns, SERVICE_COLUMN_COUNT, &g_ServiceActions },
    { PAGE_ACTIVE_TASKS, g_ActiveTaskColumns, ACTIVE_TASK_COLUMN_COUNT, &g_ActiveTaskActions },
    { PAGE_FILE_TYPES, g_FileTypeColumns, FILE_TYPE_COLUMN_COUNT, &g_FileTypeActions },
    { PAGE_HIDDEN, g_HiddenColumns, HIDDEN_COLUMN_COUNT, &g_HiddenActions },
};
static PageRecord s_records[sizeof(kViews) / sizeof(kViews[0])];

const PageRecord* BenchPageRecord(int command)
{
    for (size_t i = 0; i < sizeof(kViews) / sizeof(kViews[0]); i++) {
        const PageRecord* linked = PageByCommand(command);
        if (kViews[i].Command != command || linked == NULL)
            continue;
        s_records[i] = *linked;
        s_records[i].Kind = PAGE_KIND_LIST;
        s_records[i].Columns = kViews[i].Columns;
        s_records[i].ColumnCount = kViews[i].ColumnCount;
        s_records[i].Actions = kViews[i].Actions;
        return &s_records[i];
    }
    return NULL;
}

HWND BenchOpenPageSheet(const PageRecord* record)
{
    PROPSHEETPAGEA page;
    ZeroMemory(&page, sizeof(page));
    page.dwSize = sizeof(page);
    page.hInstance = GetModuleHandleA(NULL);
    page.pszTemplate = MAKEINTRESOURCEA(record->TemplateId);
    page.pfnDlgProc = ListPageProc;
    page.lParam = (LPARAM)record;
    PROPSHEETHEADERA header;
    ZeroMemory(&header, sizeof(header));
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
    header.hInstance = GetModuleHandleA(NULL);
    header.pszCaption = "Bench";
    header.nPages = 1;
    header.ppsp = &page;
    return (HWND)PropertySheetA(&header);
}

static HWND PageListOf(HWND sheet)
{
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    return GetDlgItem(page, IDC_PAGE_LIST);
}

// The page stays open between runs: a run is one fill (what Refresh and
// every action do), not the making of the sheet.
static HWND s_sheet = NULL;

static int FillPage()
{
    HWND page = (HWND)SendMessageA(s_sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    return FillListPage((ListPage*)GetWindowLongPtrA(page, DWLP_USER));
}

// --- The floor -----------------------------------------------------------------------

// The texts a fill of the page showed, row by row, column by column.
static char (*s_texts)[PAGE_CELL] = NULL;
static int s_rows = 0;
static int s_columns = 0;
static HWND s_floorList = NULL;

static void CaptureTexts()
{
    free(s_texts);
    s_texts = NULL;
    HWND sheet = BenchOpenPageSheet(s_page);
    HWND list = PageListOf(sheet);
    s_rows = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    s_columns = s_page->ColumnCount;
    if (s_rows > 0)
        s_texts = (char (*)[PAGE_CELL])calloc((size_t)s_rows * s_columns, PAGE_CELL);
    for (int r = 0; s_texts != NULL && r < s_rows; r++)
        for (int c = 0; c < s_columns; c++) {
            LVITEMA item;
            ZeroMemory(&item, sizeof(item));
            item.iSubItem = c;
            item.pszText = s_texts[r * s_columns + c];
            item.cchTextMax = PAGE_CELL;
            SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)r, (LPARAM)&item);
        }
    DestroyWindow(sheet);
    s_floorList = BenchHiddenList(s_columns);
}

HWND BenchHiddenList(int columns)
{
    HWND list = CreateWindowA(WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 600, 400, NULL,
                              NULL, GetModuleHandleA(NULL), NULL);
    for (int c = 0; c < columns; c++) {
        LVCOLUMNA column;
        ZeroMemory(&column, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (char*)"Column";
        column.cx = 100;
        SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)c, (LPARAM)&column);
    }
    return list;
}

void BenchListRow(HWND list, int row, const char* const* texts, int count)
{
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = (char*)texts[0];
    item.lParam = row;
    int at = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    for (int c = 1; c < count && c < PAGE_MAX_COLUMNS; c++) {
        LVITEMA cell;
        ZeroMemory(&cell, sizeof(cell));
        cell.iSubItem = c;
        cell.pszText = (char*)texts[c];
        SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)at, (LPARAM)&cell);
    }
}

static int ListAndInsert()
{
    ItemList* items = BenchItems();
    ClearItems(items);
    s_page->Row->ListAll(items);
    HWND list = s_floorList;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int r = 0; s_texts != NULL && r < s_rows; r++) {
        const char* texts[PAGE_MAX_COLUMNS];
        for (int c = 0; c < s_columns && c < PAGE_MAX_COLUMNS; c++)
            texts[c] = s_texts[r * s_columns + c];
        BenchListRow(list, r, texts, s_columns);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    return s_rows;
}

static void ReleaseFloor()
{
    DestroyWindow(s_floorList);
    s_floorList = NULL;
    free(s_texts);
    s_texts = NULL;
}

// --- The table -----------------------------------------------------------------------

static void BenchOnePage(const PageRecord* record)
{
    s_page = record;
    CaptureTexts();  // also the warm run
    s_sheet = BenchOpenPageSheet(record);
    const BenchStep steps[] = { FillPage, ListAndInsert };
    BenchCost cost[2];
    BenchInTurns(steps, 2, PAGES_REPEAT, cost);
    DestroyWindow(s_sheet);
    char label[96];
    TEXT_FORMAT(label, "fill %s page, %d rows", record->Switch, cost[0].result);
    BenchPairRow(label, cost[0], cost[1]);
    ReleaseFloor();
}

// Pages named by their switch on the command line ("Pages -HIDDEN -TASK"),
// or every page when none is named.
static int PageWanted(const char* pageSwitch)
{
    int named = 0;
    for (int i = 1; i < __argc; i++) {
        if (__argv[i][0] != '-')
            continue;
        named = 1;
        if (pageSwitch != NULL && _stricmp(__argv[i], pageSwitch) == 0)
            return 1;
    }
    return !named;
}

void BenchPages()
{
    LoadOptions();
    CoInitialize(NULL);
    InitCommonControls();
    BenchPlantServices(0, PAGE_SERVICES_PLANTED);
    int tasks = BenchPlantTasks(PAGE_TASKS_PLANTED) ? PAGE_TASKS_PLANTED : 0;
    BenchPlantHelpers(0, PAGE_HELPERS_PLANTED);
    BenchPlantHiddenFiles();
    HANDLE children[PAGE_CHILDREN];
    int started = BenchStartNamedChildren(children, PAGE_CHILDREN);
    Sleep(3000);  // every child started, every value written long before
    BenchPairHeading("Explorer pages at the large sizes", PAGES_REPEAT);
    for (const PageView& view : kViews) {
        const PageRecord* record = BenchPageRecord(view.Command);
        if (record != NULL && view.Command != PAGE_STARTUP && record->Row != NULL &&
            record->Row->ListAll != NULL && PageWanted(record->Switch))
            BenchOnePage(record);
    }
    printf("  (%d tasks planted, %d more programs)\n\n", tasks, started);
    BenchEndNamedChildren(children, started);
    BenchUnplantHelpers(PAGE_HELPERS_PLANTED);
    BenchUnplantTasks(tasks);
    BenchUnplantServices(PAGE_SERVICES_PLANTED);
    ClearItems(BenchItems());
    CoUninitialize();
}
