// The benchmark program: each section prints its own table.
#pragma once
#include <windows.h>

#include "foundation/item_list.h"

// The list the measured listings fill, as a patrol step's own list is
// filled: emptied by each listing.
ItemList* BenchItems();

// KESSA.DLL's watcher: CPU used per minute of watching an idle system,
// beside its floor (a bare loop taking the same snapshot as often).
void BenchProcessWatcher();
// The startup list and the baseline comparison against 10 to 4000 Run values.
void BenchStartupList();
// HKCU Run values "VxBench<i>" = "\"C:\Program Files\Bench Tools\tool<i>.exe\"
// /background" for i in [from, to), and their removal (i below count).
void BenchPlantRunValues(int from, int to);
void BenchUnplantRunValues(int count);
// The explorer's Startup page opened with 4,000 Run values, and its list of
// 4,096 rows sorted by a date column, each beside its floor.
void BenchListPage();
// The services quick pass at 0 to 2000 planted service keys, and the task
// listing at 10 and 200 tasks, each beside its floor.
void BenchServices();
// The running-task list and the process count against a bare snapshot; the
// update-mode, prefix and page checks of one patrol.
void BenchRunningTasks();
// The patrol: an idle minute of timer ticks, the real Vardex.exe left idle,
// and one full patrol of each half with 200 startup entries.
void BenchPatrol();
// The monitor's window, UI seam, start-up work and options in this process
// (every alert answered by its option); 1 when it is up.  Then one patrol
// of each half puts what is there now into the baselines.
int BenchStartMonitorSpine();
void BenchSettleBaselines();
// Every category's alert answered by its option "1" (keep), so that nothing
// leaves a dialog waiting for a user.
void BenchAnswerEveryAlertByOption();
// The real Vardex.exe of the program folder, started in this prefix (before
// this process makes a window of the monitor's class) and ended.
struct RealMonitor {
    HANDLE Process;
    HWND Window;
};
// 1 when its window is up and its timer started; 0 (nothing left running)
// with a "not run" line printed.
int BenchStartRealMonitor(RealMonitor* out);
void BenchStopRealMonitor(RealMonitor* monitor);
// Change notices: the real Vardex.exe idle with notices on and off,
// measured from outside; then in this process the latency of Run values,
// the cost of a notified step beside the patrolled one, and the idle CPU
// of the loop with every notice armed beside none.
void BenchNotify();

// One IE helper patrol at 10 and 200 planted helpers, and one file-type
// patrol over the default list, each beside its floor.
void BenchIEHelpers();
// The cookie filter on a 10,000-line cookies.txt and the hidden-file patrol
// over 5,000 hidden files, each beside its floor.
void BenchSysFiles();
// Every list page but Startup's, opened with the large sizes below planted,
// each beside its floor: its row's ListAll and a bare insert of the same
// texts into a hidden list view with redraw off.
void BenchPages();
// The record of a list page with its columns and actions; NULL for a page
// that is not a list page.
const struct PageRecord* BenchPageRecord(int command);
// The floors' list view: hidden, report view, columns many columns.
HWND BenchHiddenList(int columns);
// Inserts a row of count texts at row (its lParam too).
void BenchListRow(HWND list, int row, const char* const* texts, int count);
// A modeless one-page sheet of the list page's record, its page filled.
HWND BenchOpenPageSheet(const struct PageRecord* record);

// What the sections plant, for the pages' bench: services keys
// "VxBench<i>", tasks "VxBenchTask<i>" (0 when there is no scheduler),
// browser helpers, the 5,000 hidden files of the temporary folder, idle
// copies of this program (returns how many started).
void BenchPlantServices(int from, int to);
void BenchUnplantServices(int count);
int BenchPlantTasks(int count);
void BenchUnplantTasks(int count);
void BenchPlantHelpers(int from, int to);
void BenchUnplantHelpers(int count);
void BenchPlantHiddenFiles();
int BenchStartIdleChildren(HANDLE* children, int count);
void BenchEndIdleChildren(HANDLE* children, int count);
// The bench's idle program written under count names
// (<temp>\vxtasks\vxtask<i>.exe) and started under each: count
// programs more in the running-task list.  Returns how many started; the
// end also deletes the copies.
int BenchStartNamedChildren(HANDLE* children, int count);
void BenchEndNamedChildren(HANDLE* children, int count);

// The History dialog's list filled from a 131,072-byte history.txt, beside
// its floor: the same bytes read, split and inserted into a hidden list.
void BenchHistory();
// The export of the settings with 4,000 Run baseline and 5,000 hidden-file
// values, beside its floor: a walk of the same keys and one write of as
// many bytes.
void BenchExport();
// The HTML report with the large sizes planted, beside its floor: the same
// listings, the kept version texts and one buffered write of its bytes.
void BenchReports();

// The scan log with the large sizes planted, beside its floor: the same
// listings, the kept version texts it prints and one buffered write.
void BenchScanLog();

// What the reports' sections share: plants 4,000 Run values, 2,000
// services, 200 tasks, 200 browser helpers and 5,000 hidden files, times
// write (the file <program folder>\<fileName>) in turns with its floor
// (listings, then one write of write's bytes), prints the row "<what>, N KB"
// under heading, and takes the plants away again.
void BenchReportAtLargeSizes(const char* heading, const char* what, const char* fileName,
                             int (*write)(const char* path), int (*listings)(), int repeat);

// A second VardexView.exe with a page switch against the running one: the
// time until the first's sheet is in the foreground.
void BenchExplorer();

// --- Clocks (bench_clock.cpp) -------------------------------------------------------

// A wall clock in ms (the performance counter).
double BenchNowMs();
// Kernel plus user time of a process (GetProcessTimes: whole 10 ms clock
// ticks under Wine), in ms; -1 when it cannot be read.
double BenchCpuMsOf(HANDLE process);
// The same for this process.
double BenchProcessCpuMs();
// This process's CPU to the nanosecond, from the scheduler's per-thread run
// time in /proc (seen through Wine's Z: drive).
double BenchPreciseCpuMs();
// The CPU of this prefix's wineserver, which does part of every registry
// and process call's work under Wine.
double BenchWineserverCpuMs();
// The scheduler's CPU of every thread under a /proc process folder; -1 when
// it cannot be read.
double BenchSchedCpuMs(const char* processFolder);
// The /proc folder ("Z:\proc\<pid>") of a Unix process of this prefix
// named comm (with anyEnd: whose name begins with comm); 0 with "" if none.
int BenchFindPrefixProcess(const char* comm, int anyEnd, char* out, int size);

// A CPU sample of this process and of wineserver.
struct CpuSample {
    double wall, process, precise, server;
};
CpuSample BenchSample();
// after - before, or -1 when either could not be read.
double BenchDelta(double after, double before);
// Sorts values and returns the median.
double BenchMedian(double* values, int count);
double BenchMean(const double* values, int count);
// "n/a" for a figure that could not be read, else "%.2f".
const char* BenchFigure(double value, char* out, int size);

// One measured run of a step; returns what the step counted.
typedef int (*BenchStep)();
#define BENCH_STEPS_MAX 8
struct BenchCost {
    double best;  // the best wall time of the runs, ms
    double cpu;   // CPU per run, this process plus wineserver, ms (-1: n/a)
    int result;   // what the last run returned
};
// Runs each step repeat times in turns (one of each, then again), so that a
// passing load weighs on all of them alike.  The CPU is net of what reading
// the clocks costs.
void BenchInTurns(const BenchStep* steps, int count, int repeat, BenchCost* out);
// One step alone: its best wall time in ms.
double BenchBest(BenchStep step, int repeat, int* result);
// step / floor, 0 when the floor is 0.
double BenchRatio(double step, double floor);

// A table of steps beside their floors: the heading, then one row per step
// (best wall ms of each, their ratio, and the same for CPU per run).
void BenchPairHeading(const char* title, int repeat);
void BenchPairRow(const char* what, const BenchCost& step, const BenchCost& floor);
// Two steps and their floor (steps[2]) run in turns; a row for each of the
// two against the floor (the first labelled "<first>, <size> <unit>"), then
// newNote when the first step found something new (returned non-zero) and
// newNote is given.
void BenchTwoAgainstFloor(const BenchStep steps[3], int repeat, const char* first, int size,
                          const char* unit, const char* second, const char* newNote,
                          BenchCost cost[3]);
// A step (steps[0]) and two floors run in turns; a row of the step against
// each floor.
void BenchOneAgainstTwo(const BenchStep steps[3], int repeat, const char* first,
                        const char* second, BenchCost cost[3]);
