// Runs every benchmark section in turn.  Run under Wine from the program
// folder (scripts/bench.sh does it); prints plain-text tables.
#include <stdio.h>

#include "bench/bench.h"

int main()
{
    printf("Vardex benchmarks\n\n");
    BenchStartupList();
    BenchServices();
    BenchProcessWatcher();
    BenchRunningTasks();
    BenchIEHelpers();
    BenchPatrol();
    BenchSysFiles();
    return 0;
}
