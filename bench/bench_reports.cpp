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
#include "startup/delayed_start.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "reports/report.h"

#define REPORTS_REPEAT 5

static int WriteHtmlReport(const char* path)
{
    return WriteReportTo(path, REPORT_HTML);
}

static int ReportListings()
{
    // The rows the report's sections list.
    static const Category* const rows[] = {
        &g_StartupCategory, &g_DelayedCategory, &g_ActiveTasksCategory, &g_TasksCategory, &g_IEHelpersCategory,
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
    return items;
}

// --- What the report sections share ----------------------------------------------

static char s_path[VX_PATH];
static char s_floorPath[VX_PATH];
static char* s_bytes = NULL;
static DWORD s_size = 0;
static int (*s_write)(const char* path) = NULL;
static int (*s_listings)() = NULL;

static int WriteStep()
{
    return s_write(s_path);
}

static int ListingsAndOneWrite()
{
    int items = s_listings();
    FileHandle file(CreateFileA(s_floorPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD written = 0;
    WriteFile(file.Get(), s_bytes, s_size, &written, NULL);
    return items;
}

void BenchReportAtLargeSizes(const char* heading, const char* what, const char* fileName,
                             int (*write)(const char* path), int (*listings)(), int repeat)
{
    s_write = write;
    s_listings = listings;
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
    TextAppend(s_path, "\\");
    TextAppend(s_path, fileName);
    TextAppend(s_floorPath, "\\floor.out");
    WriteStep();  // the warm run, and the bytes the floor writes
    s_size = 64 * 1024 * 1024;
    s_bytes = ReadTextFile(s_path, &s_size, 0);
    const BenchStep steps[] = { WriteStep, ListingsAndOneWrite };
    BenchCost cost[2];
    BenchPairHeading(heading, repeat);
    BenchInTurns(steps, 2, repeat, cost);
    char label[96];
    TEXT_FORMAT(label, "%s, %lu KB", what, (unsigned long)(s_size / 1024));
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

void BenchReports()
{
    BenchReportAtLargeSizes("Reports at the large sizes", "HTML report", "VardexLog.html",
                            WriteHtmlReport, ReportListings, REPORTS_REPEAT);
}
