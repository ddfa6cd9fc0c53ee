// The scan log at the large sizes: 4,000 Run values, 2,000 services, 200
// tasks, 200 browser helpers and 5,000 hidden files planted, beside its
// floor: the same listings (the category rows' ListAll and the log's own
// listings), the version texts the log prints from the kept store, and the
// log's bytes put into a file with one buffered write.  What the log does
// beyond that (the line rule, the registry values it reads one by one) is
// what the ratio shows.
#include <windows.h>
#include <objbase.h>

#include <stdio.h>

#include "bench/bench.h"
#include "categories/activex.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "foundation/version_info.h"
#include "reports/log_sources.h"
#include "reports/report_file.h"
#include "reports/scan_log_parts.h"
#include "startup/autostart.h"

#define SCAN_LOG_REPEAT 5

static char s_path[VX_PATH];
static char s_floorPath[VX_PATH];
static char* s_bytes = NULL;
static DWORD s_size = 0;

static int WriteTheScanLog()
{
    ReportFile f;
    f.Open(s_path);
    PutScanLog(f);
    return f.Close() ? 1 : 0;
}

static int ListingsAndOneWrite()
{
    static const Category* const rows[] = {
        &g_ActiveTasksCategory, &g_StartupCategory, &g_ServicesCategory, &g_TasksCategory,
        &g_HiddenFilesCategory, &g_FileTypesCategory,
    };
    ItemList* list = BenchItems();
    int items = 0;
    for (const Category* row : rows) {
        items += row->ListAll(list);
        if (row == &g_ServicesCategory)
            for (int k = 0; k < ItemCount(list); k++) {
                KeptVersion kept;
                KeptVersionOf(GetItemCommand(list, k), &kept);
            }
    }
    int (*const own[])(ItemList*) = {
        EnumLogBHO, EnumLogToolbars, EnumLogMenuExt, EnumLogExtensions, EnumLogAdvancedOptions,
        EnumLogPlugins, EnumLogTrustedZone, EnumLogDPF, EnumLogDelayLoad,
        EnumLogSharedTaskScheduler, ListDelayedForLog, EnumActiveXAll,
    };
    for (auto listing : own)
        items += listing(list);
    FileHandle file(CreateFileA(s_floorPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD written = 0;
    WriteFile(file.Get(), s_bytes, s_size, &written, NULL);
    return items;
}

void BenchScanLog()
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
    TextAppend(s_path, "\\HijackVardex.log");
    TextAppend(s_floorPath, "\\floor.log");
    WriteTheScanLog();  // the warm run, and the bytes the floor writes
    s_size = 64 * 1024 * 1024;
    s_bytes = ReadTextFile(s_path, &s_size, 0);
    const BenchStep steps[] = { WriteTheScanLog, ListingsAndOneWrite };
    BenchCost cost[2];
    BenchPairHeading("Scan log at the large sizes", SCAN_LOG_REPEAT);
    BenchInTurns(steps, 2, SCAN_LOG_REPEAT, cost);
    char label[96];
    TEXT_FORMAT(label, "Scan log, %lu KB", (unsigned long)(s_size / 1024));
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
