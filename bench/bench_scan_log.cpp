// The scan log at the large sizes: 4,000 Run values, 2,000 services, 200
// tasks, 200 browser helpers and 5,000 hidden files planted, beside its
// floor: the same listings (the category rows' ListAll and the log's own
// listings), the version texts the log prints from the kept store, and the
// log's bytes put into a file with one buffered write.  What the log does
// beyond that (the line rule, the registry values it reads one by one) is
// what the ratio shows.
#include <windows.h>

#include "bench/bench.h"
#include "categories/activex.h"
#include "categories/filetype.h"
#include "categories/hidden_files.h"
#include "categories/running_tasks.h"
#include "categories/services.h"
#include "categories/tasks.h"
#include "foundation/version_info.h"
#include "reports/log_sources.h"
#include "reports/report_file.h"
#include "reports/scan_log_parts.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"

#define SCAN_LOG_REPEAT 5

static int WriteTheScanLog(const char* path)
{
    ReportFile f;
    f.Open(path);
    PutScanLog(f);
    return f.Close() ? 1 : 0;
}

static int ScanLogListings()
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
        EnumLogSharedTaskScheduler, BuildDelayList, EnumActiveXAll,
    };
    for (auto listing : own)
        items += listing(list);
    return items;
}

void BenchScanLog()
{
    BenchReportAtLargeSizes("Scan log at the large sizes", "Scan log", "HijackVardex.log",
                            WriteTheScanLog, ScanLogListings, SCAN_LOG_REPEAT);
}
