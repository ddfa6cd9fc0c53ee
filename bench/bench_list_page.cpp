// The explorer's Startup page: opening it with 4,000 Run values, against a
// floor that enumerates them and puts the same texts into a hidden list
// view with redraw off; and sorting its 4,096 rows by the First Detected
// column, against LVM_SORTITEMS over keys made beforehand.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bench/bench.h"
#include "explorer/pages.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "resources/pages/startup.h"
#include "startup/autostart.h"
#include "startup/startup_text.h"

#define BENCH_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define BENCH_DETECTED_KEY VX_DETECTED_KEY "\\Startup"
#define BENCH_REPEAT 5

// --- Opening the page ------------------------------------------------------------

static int OpenStartupPage()
{
    HWND sheet = BenchOpenPageSheet(BenchPageRecord(PAGE_STARTUP));
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    int rows = (int)SendMessageA(GetDlgItem(page, IDC_PAGE_LIST), LVM_GETITEMCOUNT, 0, 0);
    DestroyWindow(sheet);
    return rows;
}

// The floor's list: hidden, five columns, kept between runs.
static HWND s_floorList = NULL;

static HWND FloorList()
{
    if (s_floorList == NULL)
        s_floorList = BenchHiddenList(STARTUP_COLUMN_COUNT);
    return s_floorList;
}

// What any list of the Run values must do: enumerate them and show the
// same texts, with redraw off.
static int EnumerateIntoHiddenList()
{
    HWND list = FloorList();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    RegKey key;
    int rows = 0;
    if (key.Open(HKEY_CURRENT_USER, BENCH_RUN_KEY, KEY_READ) == ERROR_SUCCESS) {
        for (DWORD index = 0;; index++) {
            char name[512], data[1024];
            DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
            if (RegEnumValueA(key, index, name, &nameSize, NULL, &type, (BYTE*)data, &dataSize) ==
                ERROR_NO_MORE_ITEMS)
                break;
            char part[VX_PATH];
            FilePartOf(data, part, sizeof(part));
            const char* texts[STARTUP_COLUMN_COUNT] = { name, part, "", StartupTypeName(11), "" };
            BenchListRow(list, rows, texts, STARTUP_COLUMN_COUNT);
            rows++;
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    return rows;
}

// --- Sorting by a date column ------------------------------------------------------

static HWND s_sortSheet = NULL;
static int s_descending = 0;

static int SortPageByDate()
{
    HWND page = (HWND)SendMessageA(s_sortSheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    ListPage* listPage = (ListPage*)GetWindowLongPtrA(page, DWLP_USER);
    s_descending = !s_descending;
    SortListPage(listPage, 4, s_descending);
    return listPage->RowCount;
}

// The floor: the same rows, their keys made before the clock starts.
static char (*s_floorKeys)[VX_DATE_KEY] = NULL;
static int s_floorDescending = 0;

static int CALLBACK CompareFloorKeys(LPARAM a, LPARAM b, LPARAM descending)
{
    int result = lstrcmpiA(s_floorKeys[a], s_floorKeys[b]);
    return descending ? -result : result;
}

static int SortFloorByDate()
{
    s_floorDescending = !s_floorDescending;
    SendMessageA(FloorList(), LVM_SORTITEMS, (WPARAM)s_floorDescending, (LPARAM)CompareFloorKeys);
    return (int)SendMessageA(FloorList(), LVM_GETITEMCOUNT, 0, 0);
}

// A date for every listed command, in the forms the system writes, so that
// the keys differ; the floor's list gets the same dates' keys.
static void PlantDates(const ItemList* list)
{
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, BENCH_DETECTED_KEY) != ERROR_SUCCESS)
        return;
    s_floorKeys = (char (*)[VX_DATE_KEY])calloc(ITEM_MAX, VX_DATE_KEY);
    for (int i = 0; i < ItemCount(list); i++) {
        char date[VX_DATE_TEXT];
        FormatDateFields(2000 + (i * 7) % 20, 1 + (i * 5) % 12, 1 + (i * 3) % 28, (i * 11) % 24,
                         (i * 13) % 60, (DateForm)(i % 7), (TimeForm)(i % 4), date, sizeof(date));
        const char* command = GetItemCommand(list, i);
        RegSetValueExA(key, command, 0, REG_SZ, (const BYTE*)date, (DWORD)strlen(date) + 1);
        if (s_floorKeys != NULL)
            DateSortKey(date, s_floorKeys[i]);
    }
}

void BenchListPage()
{
    LoadOptions();
    CoInitialize(NULL);
    InitCommonControls();
    RegDeleteKeyTree(HKEY_CURRENT_USER, BENCH_DETECTED_KEY);
    BenchPlantRunValues(0, 4000);
    Sleep(1100);  // the values are read as a page meets them: written long before
    BenchPairHeading("Explorer list page", BENCH_REPEAT);
    OpenStartupPage();  // warm
    EnumerateIntoHiddenList();
    const BenchStep open[] = { OpenStartupPage, EnumerateIntoHiddenList };
    BenchCost cost[2];
    BenchInTurns(open, 2, BENCH_REPEAT, cost);
    char label[64];
    TEXT_FORMAT(label, "open Startup page, %d rows", cost[0].result);
    BenchPairRow(label, cost[0], cost[1]);

    // 4,096 rows, each with a date.
    BenchPlantRunValues(4000, ITEM_MAX);
    ItemList listed;
    BuildStartupList(&listed, 1);
    PlantDates(&listed);
    Sleep(1100);
    s_sortSheet = BenchOpenPageSheet(BenchPageRecord(PAGE_STARTUP));
    EnumerateIntoHiddenList();
    if (s_floorKeys != NULL) {
        const BenchStep sort[] = { SortPageByDate, SortFloorByDate };
        BenchInTurns(sort, 2, BENCH_REPEAT * 2, cost);
        TEXT_FORMAT(label, "sort by First Detected, %d", cost[0].result);
        BenchPairRow(label, cost[0], cost[1]);
    }
    printf("\n");
    DestroyWindow(s_sortSheet);
    DestroyWindow(s_floorList);
    s_floorList = NULL;
    free(s_floorKeys);
    s_floorKeys = NULL;
    BenchUnplantRunValues(ITEM_MAX);
    RegDeleteKeyTree(HKEY_CURRENT_USER, BENCH_DETECTED_KEY);
    CoUninitialize();
}
