// Cost of the patrol: the CPU of an idle minute of the monitor (30 timer
// ticks with nothing new), the real Vardex.exe left idle for a minute, and
// the time of one full patrol of each half with 200 startup entries.
//
// Under Wine part of every registry and process call runs in wineserver,
// not in the calling process; on Windows the same work is kernel time of
// the caller.  So beside the process's own CPU (GetProcessTimes) the tables
// show wineserver's CPU over the same interval, read from /proc through the
// Z: drive, and the process's CPU to the nanosecond from its scheduler
// statistics (GetProcessTimes under Wine counts whole 10 ms clock ticks).
#include <windows.h>
#include <objbase.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "foundation/handles.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "monitor/alerts.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "monitor/tray.h"
#include "startup/autostart.h"

#define BENCH_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define PATROL_PLANTED 200
#define PATROL_RUNS 9
#define IDLE_MINUTES 20
#define TICKS_PER_MINUTE 30
#define REAL_MONITOR_SECONDS 60

// --- Clocks ---------------------------------------------------------------------------

static double NowMs()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

static double FileTimeMs(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return (double)value.QuadPart / 10000.0;
}

// Kernel plus user time of a process, in ms; -1 when it cannot be read.
static double CpuMsOf(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

double BenchProcessCpuMs()
{
    return CpuMsOf(GetCurrentProcess());
}

// A small /proc file read whole into out ("" on failure); returns its length.
static int ReadProcFile(const char* path, char* out, int size)
{
    out[0] = '\0';
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL));
    if (!file.IsValid())
        return 0;
    DWORD got = 0, total = 0;
    while (total + 1 < (DWORD)size &&
           ReadFile(file.Get(), out + total, (DWORD)size - 1 - total, &got, NULL) && got > 0)
        total += got;
    out[total] = '\0';
    return (int)total;
}

// CPU of every thread under a /proc process folder, in ms, from the run
// time in nanoseconds that the scheduler keeps per thread; -1 when the
// folder cannot be read.
static double SchedCpuMs(const char* processFolder)
{
    char pattern[MAX_PATH];
    TEXT_FORMAT(pattern, "%s\\task\\*", processFolder);
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(pattern, &found));
    if (!search.IsValid())
        return -1;
    double total = 0;
    int threads = 0;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9')
            continue;
        char path[MAX_PATH], text[128];
        TEXT_FORMAT(path, "%s\\task\\%s\\schedstat", processFolder, found.cFileName);
        if (ReadProcFile(path, text, sizeof(text)) > 0) {
            total += (double)_strtoui64(text, NULL, 10) / 1e6;
            threads++;
        }
    } while (FindNextFileA(search.Get(), &found));
    return threads > 0 ? total : -1;
}

// A Unix process of this prefix by its name (comm): one whose environment
// carries this process's WINEPREFIX.  Z:\proc\self is no help: Wine opens
// files and folders in wineserver, where "self" is wineserver.
// With anyEnd the name need only begin with comm (wineserver runs as
// "wineserver64" on some systems).  Returns its /proc folder in out, or 0
// with "".
static int FindPrefixProcess(const char* comm, int anyEnd, char* out, int size)
{
    out[0] = '\0';
    char prefix[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof(prefix));
    if (n == 0 || n >= sizeof(prefix))
        return 0;
    char wanted[MAX_PATH + 16];
    TEXT_FORMAT(wanted, "WINEPREFIX=%s", prefix);
    size_t wantedLength = strlen(wanted);
    size_t commLength = strlen(comm);
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA("Z:\\proc\\*", &found));
    if (!search.IsValid())
        return 0;
    do {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9')
            continue;
        char path[MAX_PATH], name[64];
        TEXT_FORMAT(path, "Z:\\proc\\%s\\comm", found.cFileName);
        if (ReadProcFile(path, name, sizeof(name)) == 0 || strncmp(name, comm, commLength) != 0 ||
            (!anyEnd && name[commLength] != '\n' && name[commLength] != '\0'))
            continue;
        static char environment[32768];
        TEXT_FORMAT(path, "Z:\\proc\\%s\\environ", found.cFileName);
        int length = ReadProcFile(path, environment, sizeof(environment));
        for (int at = 0; at < length; at += (int)strlen(environment + at) + 1) {
            if (strncmp(environment + at, wanted, wantedLength) == 0 &&
                (environment[at + wantedLength] == '\0' || environment[at + wantedLength] == '/')) {
                TextFormat(out, (size_t)size, "Z:\\proc\\%s", found.cFileName);
                return 1;
            }
        }
    } while (FindNextFileA(search.Get(), &found));
    return 0;
}

double BenchPreciseCpuMs()
{
    static int looked = 0;
    static char folder[64] = "";
    if (!looked) {
        looked = 1;
        char name[MAX_PATH];
        GetModuleFileNameA(NULL, name, sizeof(name));
        const char* slash = strrchr(name, '\\');
        FindPrefixProcess(slash != NULL ? slash + 1 : name, 0, folder, sizeof(folder));
    }
    return folder[0] != '\0' ? SchedCpuMs(folder) : -1;
}

double BenchWineserverCpuMs()
{
    static int looked = 0;
    static char folder[64] = "";
    if (!looked) {
        looked = 1;
        FindPrefixProcess("wineserver", 1, folder, sizeof(folder));
    }
    return folder[0] != '\0' ? SchedCpuMs(folder) : -1;
}

// A CPU sample of this process and of wineserver.
struct CpuSample {
    double wall, process, precise, server;
};

static CpuSample TakeSample()
{
    CpuSample s;
    s.process = BenchProcessCpuMs();
    s.precise = BenchPreciseCpuMs();
    s.server = BenchWineserverCpuMs();
    s.wall = NowMs();
    return s;
}

static double Delta(double after, double before)
{
    return after < 0 || before < 0 ? -1 : after - before;
}

static int CompareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

// Sorts values and returns the median.
static double Median(double* values, int count)
{
    qsort(values, (size_t)count, sizeof(double), CompareDoubles);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

static double Mean(const double* values, int count)
{
    double sum = 0;
    for (int i = 0; i < count; i++)
        sum += values[i];
    return count > 0 ? sum / count : 0;
}

// "n/a" for a figure that could not be read.
static const char* Figure(double value, char* out, int size)
{
    if (value < 0)
        TextCopy(out, size, "n/a");
    else
        TextFormat(out, (size_t)size, "%.2f", value);
    return out;
}

// --- The monitor's set-up --------------------------------------------------------------

// Every category's alert is answered by its option ("1": keep), so nothing
// that turns up can leave a dialog waiting for a user.
static void AnswerEveryAlertByOption()
{
    const char* hide[] = { "HideStartup", "HideIEHelper", "HideServices", "HideActiveX",
                           "HideTasks", "HideFileType", "HideHidden", "HideSystemFiles",
                           "HideHomePage" };
    for (const char* name : hide)
        RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, "1");
}

// As Vardex.exe starts: the hidden window, the UI seam, the start-up work
// on the store (baselines of every category) and the options.
static int StartMonitorSpine()
{
    if (g_MainWindow != NULL)
        return 1;
    g_Instance = GetModuleHandleA(NULL);
    if (!RegisterMonitorClass() || !CreateMonitorWindow())
        return 0;
    ResetPatrolState();
    InstallMonitorUi();
    InitializeMonitor();
    AnswerEveryAlertByOption();
    ReloadOptions();
    g_ExpressBoot = 0;
    // The icon the patrol switches between its states, as command 6025
    // adds it.
    SetTrayIcon(TRAY_ADD, 0, 820);
    return 1;
}

// The last patrol lies two seconds back, as it does at a real tick; ticks
// run back to back here, which would otherwise make every patrol leave
// early.
static void AgeLastPatrol()
{
    g_Patrol.LastPatrolTime = GetTickCount() - 2000;
}

static void MakeEveryRowDue()
{
    for (int row = 0; row < CategoryCount() && row < PATROL_ROWS_MAX; row++)
        g_Patrol.Countdown[row] = 1;
}

// One patrol of each half with every row due: whatever is new now is
// answered by its option and goes into the baselines.
static void SettleBaselines()
{
    for (int half = 0; half < 2; half++) {
        MakeEveryRowDue();
        AgeLastPatrol();
        g_Patrol.HalfSelector = half;
        RunPatrol();
    }
    ReloadOptions();
    g_Patrol.TickCounter = 0;
}

// The size of history.txt: every answer adds a line, so an unchanged size
// shows that the measured runs found nothing new.
static LONGLONG HistorySize()
{
    char path[MAX_PATH];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!HistoryFilePath(path) || !GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// --- The real monitor --------------------------------------------------------------

// Vardex.exe from the program folder, left idle for a minute in this
// prefix; its CPU read through OpenProcess.  Runs before this process
// makes a window of the monitor's class (the real one would take it for a
// running monitor and leave).
static void BenchRealMonitor()
{
    printf("Vardex.exe left idle in this prefix (CPU through OpenProcess + GetProcessTimes)\n");
    char folder[MAX_PATH], path[MAX_PATH];
    GetModuleFileNameA(NULL, folder, sizeof(folder));
    char* slash = strrchr(folder, '\\');
    if (slash != NULL)
        *slash = '\0';
    TEXT_FORMAT(path, "%s\\Vardex.exe", folder);
    char command[MAX_PATH + 8];
    TEXT_FORMAT(command, "\"%s\"", path);

    AnswerEveryAlertByOption();
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    if (!CreateProcessA(path, command, NULL, NULL, FALSE, 0, NULL, folder, &startup, &info)) {
        printf("  not run: %s could not be started (%lu)\n\n", path, GetLastError());
        return;
    }
    KernelHandle thread(info.hThread);
    KernelHandle process(info.hProcess);

    // Its window appears once the start-up work on the store is done.
    HWND window = NULL;
    for (int wait = 0; wait < 300 && window == NULL; wait++) {
        if (WaitForSingleObject(process.Get(), 100) != WAIT_TIMEOUT)
            break;
        window = FindWindowA(g_ClassName, NULL);
    }
    if (window == NULL) {
        printf("  not run: no monitor window appeared\n\n");
        TerminateProcess(process.Get(), 1);
        return;
    }
    Sleep(3000);  // the timer starts from the first posted command
    char unixFolder[64];
    FindPrefixProcess("Vardex.exe", 0, unixFolder, sizeof(unixFolder));
    double started = CpuMsOf(process.Get());
    double startedNs = unixFolder[0] ? SchedCpuMs(unixFolder) : -1;
    CpuSample before = TakeSample();
    Sleep(REAL_MONITOR_SECONDS * 1000);
    double idle = Delta(CpuMsOf(process.Get()), started);
    double idleNs = Delta(unixFolder[0] ? SchedCpuMs(unixFolder) : -1, startedNs);
    CpuSample after = TakeSample();
    double server = Delta(after.server, before.server);

    PostMessageA(window, WM_COMMAND, CMD_EXIT, 0);
    if (WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), 1);

    double seconds = (after.wall - before.wall) / 1000.0;
    char a[32], b[32], c[32], d[32];
    printf("  %-40s %10s\n", "measure", "value");
    printf("  %-40s %10s\n", "CPU ms at start (store, baselines)", Figure(started, a, sizeof(a)));
    printf("  %-40s %10.1f\n", "seconds measured after start", seconds);
    printf("  %-40s %10s\n", "CPU ms over them", Figure(idle, b, sizeof(b)));
    printf("  %-40s %10s\n", "CPU ms over them (scheduler, ns)", Figure(idleNs, d, sizeof(d)));
    double best = idleNs >= 0 ? idleNs : idle;
    printf("  %-40s %9.3f%%\n", "share of one core", best < 0 ? 0.0 : best / (seconds * 10.0));
    printf("  %-40s %10s\n", "wineserver CPU ms, same interval", Figure(server, c, sizeof(c)));
    printf("  (one patrol, the first, falls in the interval; KESSA.DLL's watcher runs throughout;\n"
           "   wineserver also serves the prefix's own services in that time)\n\n");
}

// --- The idle minute ---------------------------------------------------------------

static void BenchIdleMinute()
{
    SettleBaselines();
    LONGLONG history = HistorySize();

    double process[IDLE_MINUTES], precise[IDLE_MINUTES], server[IDLE_MINUTES],
        wall[IDLE_MINUTES];
    double patrolWall = 0, tickWall = 0;
    int patrols = 0, ticks = 0;
    for (int minute = 0; minute < IDLE_MINUTES; minute++) {
        CpuSample before = TakeSample();
        for (int tick = 0; tick < TICKS_PER_MINUTE; tick++) {
            AgeLastPatrol();
            int patrolDue = g_Patrol.TickCounter > 15;
            double start = NowMs();
            PatrolTick();
            double took = NowMs() - start;
            if (patrolDue) {
                patrolWall += took;
                patrols++;
            } else {
                tickWall += took;
                ticks++;
            }
        }
        CpuSample after = TakeSample();
        process[minute] = Delta(after.process, before.process);
        precise[minute] = Delta(after.precise, before.precise);
        server[minute] = Delta(after.server, before.server);
        wall[minute] = after.wall - before.wall;
    }
    int changed = HistorySize() != history;

    struct Row {
        const char* label;
        double* values;
    } rows[] = {
        { "process CPU ms (GetProcessTimes)", process },
        { "process CPU ms (scheduler, ns)", precise },
        { "wineserver CPU ms", server },
        { "wall ms inside the ticks", wall },
    };
    printf("Idle minute of the monitor: %d ticks, nothing new, %d minutes in a row%s\n",
           TICKS_PER_MINUTE, IDLE_MINUTES, changed ? "  (something new was answered!)" : "");
    printf("  %-36s %8s %8s %8s %8s\n", "per minute", "median", "mean", "best", "worst");
    for (const Row& row : rows) {
        double mean = Mean(row.values, IDLE_MINUTES);
        double median = Median(row.values, IDLE_MINUTES);
        if (row.values[0] < 0) {
            printf("  %-36s %8s\n", row.label, "n/a");
            continue;
        }
        printf("  %-36s %8.1f %8.1f %8.1f %8.1f\n", row.label, median, mean, row.values[0],
               row.values[IDLE_MINUTES - 1]);
    }
    double processMean = Mean(process, IDLE_MINUTES);
    double both = Mean(precise, IDLE_MINUTES) + Mean(server, IDLE_MINUTES);
    printf("  %-36s %7.3f%%  (goal below 0.1%%, 60 ms a minute)\n", "share of one core, process",
           processMean / 600.0);
    if (server[0] >= 0 && precise[0] >= 0)
        printf("  %-36s %7.3f%%\n", "share of one core, with wineserver", both / 600.0);
    printf("  %d patrols took %.1f ms of wall time (%.2f ms each), %d plain ticks %.2f ms\n\n",
           patrols, patrolWall, patrols > 0 ? patrolWall / patrols : 0.0, ticks, tickWall);
}

// --- One full patrol per half ----------------------------------------------------------

static void PlantedName(int i, char* out, int size)
{
    TextFormat(out, size, "VxPatrol%03d", i);
}

static void PlantedCommand(int i, char* out, int size)
{
    TextFormat(out, size, "\"C:\\Program Files\\Patrol Bench\\agent%03d.exe\" -tray", i);
}

static void PlantRunValues(int plant)
{
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, BENCH_RUN_KEY, KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < PATROL_PLANTED; i++) {
        char name[32], command[128];
        PlantedName(i, name, sizeof(name));
        if (!plant) {
            RegDeleteValueA(key, name);
            PlantedCommand(i, command, sizeof(command));
            char baseline[ITEM_COMMAND];
            BaselineKeyOf(command, baseline, sizeof(baseline));
            RegDeleteValueNamed(HKEY_CURRENT_USER, VX_RUN_KEY, baseline);
            continue;
        }
        PlantedCommand(i, command, sizeof(command));
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)command, (DWORD)strlen(command) + 1);
    }
}

// One row's step alone, PATROL_RUNS times, as the patrol runs it (its
// condition, then the step): the median wall time, and the CPU of this
// process and of wineserver per run.
struct StepCost {
    double wall, process, server;
};

static StepCost MeasureRow(const Category* category)
{
    double took[PATROL_RUNS];
    CpuSample before = TakeSample();
    for (int run = 0; run < PATROL_RUNS; run++) {
        double start = NowMs();
        if (category->CanRun == NULL || category->CanRun())
            RunCategoryStep(category);
        took[run] = NowMs() - start;
    }
    CpuSample after = TakeSample();
    StepCost cost;
    cost.wall = Median(took, PATROL_RUNS);
    cost.process = Delta(after.precise, before.precise);
    cost.server = Delta(after.server, before.server);
    if (cost.process >= 0)
        cost.process /= PATROL_RUNS;
    if (cost.server >= 0)
        cost.server /= PATROL_RUNS;
    return cost;
}

static void BenchPatrolHalves()
{
    PlantRunValues(1);
    SettleBaselines();
    LONGLONG history = HistorySize();

    double best[2], median[2], process[2], server[2];
    for (int half = 0; half < 2; half++) {
        double took[PATROL_RUNS];
        CpuSample before = TakeSample();
        for (int run = 0; run < PATROL_RUNS; run++) {
            MakeEveryRowDue();
            AgeLastPatrol();
            g_Patrol.HalfSelector = half;
            double start = NowMs();
            RunPatrol();
            took[run] = NowMs() - start;
        }
        CpuSample after = TakeSample();
        server[half] = Delta(after.server, before.server);
        if (server[half] >= 0)
            server[half] /= PATROL_RUNS;
        process[half] = Delta(after.precise, before.precise);
        if (process[half] >= 0)
            process[half] /= PATROL_RUNS;
        median[half] = Median(took, PATROL_RUNS);  // sorts: took[0] is the best
        best[half] = took[0];
    }
    int changed = HistorySize() != history;
    printf("One full patrol per half, every row due, %d planted HKCU Run values, nothing new "
           "(%d runs, ms)%s\n",
           PATROL_PLANTED, PATROL_RUNS, changed ? "  (something new was answered!)" : "");
    printf("  %-6s %8s %8s %12s %12s %8s\n", "half", "best", "median", "CPU/patrol",
           "wineserver", "goal");
    for (int half = 0; half < 2; half++) {
        char p[32], s[32];
        printf("  %-6s %8.2f %8.2f %12s %12s %8s\n", half == 0 ? "first" : "second", best[half],
               median[half], Figure(process[half], p, sizeof(p)),
               Figure(server[half], s, sizeof(s)), "< 20");
    }

    // Where the time goes: each row's step alone, in patrol order.
    printf("  step by step, each step alone (%d runs, ms):\n", PATROL_RUNS);
    printf("    %-6s %-34s %8s %8s %10s\n", "half", "step", "median", "CPU/run", "wineserver");
    for (int row = 0; row < CategoryCount(); row++) {
        const Category* category = CategoryAt(row);
        if (category->Patrol == NULL && category->List == NULL)
            continue;
        const char* half = category->PeriodOption < 0 ? "both"
                           : category->Half == 0      ? "first"
                                                      : "second";
        StepCost cost = MeasureRow(category);
        char p[32], w[32];
        printf("    %-6s %-34s %8.2f %8s %10s\n", half, category->Label, cost.wall,
               Figure(cost.process, p, sizeof(p)), Figure(cost.server, w, sizeof(w)));
    }
    printf("\n");
    PlantRunValues(0);
}

void BenchPatrol()
{
    g_Instance = GetModuleHandleA(NULL);
    g_TextModule = g_Instance;
    LoadText(1, g_ClassName, sizeof(g_ClassName));
    LoadText(2, g_Caption, sizeof(g_Caption));
    BenchRealMonitor();

    // As in the monitor, which keeps COM initialised from start to exit.
    CoInitialize(NULL);
    if (!StartMonitorSpine()) {
        printf("Patrol: the monitor's window could not be made\n\n");
        CoUninitialize();
        return;
    }
    BenchIdleMinute();
    BenchPatrolHalves();
    SetTrayIcon(TRAY_DELETE, 0, 0);
    ClearItems();
    CoUninitialize();
}
