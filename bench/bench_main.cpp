// Runs every benchmark section in turn, or only those named on the command
// line (StartupList Services ProcessWatcher RunningTasks IEHelpers Patrol
// SysFiles Explorer ListPage Pages History Export Reports ScanLog
// Notify).  Run under Wine from the program folder (scripts/bench.sh does
// it); prints plain-text tables.
#include <stdio.h>
#include <string.h>

#include "bench/bench.h"

ItemList* BenchItems()
{
    static ItemList list;
    return &list;
}

struct Section {
    const char* name;
    void (*run)();
};

static const Section kSections[] = {
    { "StartupList", BenchStartupList },   { "Services", BenchServices },
    { "ProcessWatcher", BenchProcessWatcher }, { "RunningTasks", BenchRunningTasks },
    { "IEHelpers", BenchIEHelpers },       { "Patrol", BenchPatrol },
    { "SysFiles", BenchSysFiles },         { "Explorer", BenchExplorer },
    { "ListPage", BenchListPage },         { "Pages", BenchPages },
    { "History", BenchHistory },
    { "Export", BenchExport },
    { "Reports", BenchReports },
    { "ScanLog", BenchScanLog },
    { "Notify", BenchNotify },
};

static int Wanted(const char* name, int argc, char** argv)
{
    if (argc < 2)
        return 1;
    for (int i = 1; i < argc; i++)
        if (_stricmp(argv[i], name) == 0)
            return 1;
    return 0;
}

int main(int argc, char** argv)
{
    printf("Vardex benchmarks\n\n");
    for (const Section& section : kSections)
        if (Wanted(section.name, argc, argv))
            section.run();
    return 0;
}
