// The HTML report at the large sizes: 4,000 Run values, 2,000 services,
// 200 tasks, 200 browser helpers and 5,000 hidden files planted, beside its
// floor: the same listings (each category row's ListAll), the version texts
// of every item from the kept store, and the report's bytes put into a file
// with one buffered write.  What the report does beyond that (escaping,
// dates, lookup links, its own version reads) is what the ratio shows.
#include <windows.h>
#include <objbase.h>

#include <stdio.h>
#include <stdlib.h>

#include "bench/bench.h"
#include "categories/activex.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/ie_helpers.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "startup/autostart.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "reports/report.h"

#define REPORTS_REPEAT 5

static char s_path[VX_PATH];
static char s_floorPath[VX_PATH];
static char* s_bytes = NULL;
static DWORD s_size = 0;

static int WriteHtmlReport()
{
    return WriteReportTo(s_path, REPORT_HTML);
}

static int ListingsAndOneWrite()
{
    // The rows the report's sections list.
    static const Category* const rows[] = {
        &g_StartupCategory, &g_ActiveTasksCategory, &g_TasksCategory, &g_IEHelpersCategory,
        &g_FileTypesCategory, &g_ServicesCategory, &g_HiddenFilesCategory, &g_ActiveXCategory,
    };
    int items = 0;
    for (const Category* row : rows) {
        ItemList* list = BenchItems();
        ClearItems(list);
        int count = row->ListAll(list);
        for (int k = 0; k < count; k++) {
            KeptVersion kept;
            char program[VX_PATH];
            ExpandProgramPath(GetItemCommand(list, k), program);
            KeptVersionOf(program, &kept);
        }
        items += count;
    }
    FileHandle file(CreateFileA(s_floorPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD written = 0;
    WriteFile(file.Get(), s_bytes, s_size, &written, NULL);
    return items;
}

void BenchReports()
{
    LoadOptions();
    CoInitialize(NULL);
    BenchPlantRunValues(0, 4000);
    BenchPlantServices(0, 2000);
    int tasks = BenchPlantTasks(200) ? 200 : 0;
    BenchPlantHelpers(0, 200);
    BenchPlantHiddenFiles();
    Sleep(3000);  // every value written long before the kept store reads it
    GetProgramFolder(s_path);
    TextCopy(s_floorPath, s_path);
    TextAppend(s_path, "\\VardexLog.html");
    TextAppend(s_floorPath, "\\floor.html");
    WriteHtmlReport();  // the warm run, and the bytes the floor writes
    s_size = 64 * 1024 * 1024;
    s_bytes = ReadTextFile(s_path, &s_size, 0);
    const BenchStep steps[] = { WriteHtmlReport, ListingsAndOneWrite };
    BenchCost cost[2];
    BenchPairHeading("Reports at the large sizes", REPORTS_REPEAT);
    BenchInTurns(steps, 2, REPORTS_REPEAT, cost);
    char label[96];
    TEXT_FORMAT(label, "HTML report, %lu KB", (unsigned long)(s_size / 1024));
    BenchPairRow(label, cost[0], cost[1]);
    printf("  (%d items listed, %d tasks planted)\n\n", cost[1].result, tasks);
    FreeTextFile(s_bytes);
    s_bytes = NULL;
    DeleteFileA(s_floorPath);
    BenchUnplantHelpers(200);
    BenchUnplantTasks(tasks);
    BenchUnplantServices(2000);
    BenchUnplantRunValues(4000);
    ClearItems(BenchItems());
    CoUninitialize();
}
