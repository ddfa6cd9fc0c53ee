// Change notices.  First the real Vardex.exe, from outside: its CPU over a
// quiet half minute with notices on and off.  Then in this process: a
// program already running (a thread of this one) writes new HKCU Run
// values while the monitor's own loop waits; the latency is
// from each write to the step's verdict (the value accepted by its option
// into the baseline).  Then one notified startup step beside the same step
// as the patrol runs it, and the idle CPU of the loop with every notice
// armed beside none.  CPU figures are read as bench_clock.cpp explains.
#include <windows.h>
#include <objbase.h>

#include <stdio.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "monitor/change_watch.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "startup/autostart.h"

#define NOTIFY_WRITES 20
#define NOTIFY_STEPS 9
#define NOTIFY_IDLE_MS 30000
// A little over a tick apart: each write gets a step budget of its own.
#define NOTIFY_SPACING_MS 2100
// The real monitor: a quiet half minute.
#define REAL_IDLE_MS 30000

static double s_latency[NOTIFY_WRITES];
static DWORD s_loopThread = 0;

static void CommandOf(int i, char* out, size_t outSize)
{
    TextFormat(out, outSize, "C:\\Bench Tools\\notify%d.exe /background", i);
}

// The writer: each value, then the wait for its baseline record.
static DWORD WINAPI WriteRunValues(LPVOID)
{
    for (int i = 0; i < NOTIFY_WRITES; i++) {
        Sleep(NOTIFY_SPACING_MS);
        char name[32], command[128];
        TEXT_FORMAT(name, "VxNotify%d", i);
        CommandOf(i, command, sizeof(command));
        double start = BenchNowMs();
        RegWriteString(HKEY_CURRENT_USER, WIN_RUN_KEY, name, command);
        s_latency[i] = -1;
        char code[16];
        while (BenchNowMs() - start < 10000) {
            if (RegReadString(HKEY_CURRENT_USER, VX_RUN_KEY, command, code, sizeof(code)) > 0) {
                s_latency[i] = BenchNowMs() - start;
                break;
            }
            Sleep(1);
        }
    }
    PostThreadMessageA(s_loopThread, WM_QUIT, 0, 0);
    return 0;
}

static int StartupRow()
{
    for (int row = 0; row < CategoryCount(); row++)
        if (CategoryAt(row) == &g_StartupCategory)
            return row;
    return -1;
}

static void BenchLatency()
{
    s_loopThread = GetCurrentThreadId();
    UINT_PTR timer = SetTimer(g_MainWindow, VX_TIMER_ID, VX_TIMER_MS, NULL);
    HANDLE writer = CreateThread(NULL, 0, WriteRunValues, NULL, 0, NULL);
    RunMonitorLoop();
    WaitForSingleObject(writer, INFINITE);
    CloseHandle(writer);
    KillTimer(g_MainWindow, timer);
    double worst = 0;
    int missed = 0;
    for (double ms : s_latency) {
        missed += ms < 0;
        worst = ms > worst ? ms : worst;
    }
    double median = BenchMedian(s_latency, NOTIFY_WRITES);
    printf("  %-44s %10.1f %10.1f %8d\n", "HKCU Run value to its verdict", median, worst, missed);
}

// --- The real monitor, from outside ----------------------------------------------

// CPU of the real monitor (the scheduler's, ns) over a quiet half minute.
static double RealIdleCpuMs()
{
    char folder[64];
    BenchFindPrefixProcess("Vardex.exe", 0, folder, sizeof(folder));
    if (folder[0] == '\0')
        return -1;
    double before = BenchSchedCpuMs(folder);
    Sleep(REAL_IDLE_MS);
    return BenchDelta(BenchSchedCpuMs(folder), before);
}

// Notices on and off, every alert answered by its option.
static void BenchRealMonitorNotices()
{
    BenchAnswerEveryAlertByOption();
    double idle[2] = { -1, -1 };
    for (int on = 0; on < 2; on++) {
        RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "WatchChanges", on ? "1" : "0");
        RealMonitor monitor;
        if (!BenchStartRealMonitor(&monitor))
            continue;
        idle[on] = RealIdleCpuMs();
        BenchStopRealMonitor(&monitor);
    }
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "WatchChanges");
    char a[16], b[16];
    printf("  %-44s %10s %10s\n", "Vardex.exe CPU ms per 30 s quiet: on / off",
           BenchFigure(idle[1], a, 16), BenchFigure(idle[0], b, 16));
}

// One notice: a value the step does not list, in a key it reads, changed
// (the server sends no notice for a value written as it was), heard, and
// the step run.
static double NotifiedStepMs(int row, int run)
{
    ChangeWatchTick();  // a fresh tick budget
    RegWriteString(HKEY_CURRENT_USER, NT_WINDOWS_KEY, "VxBenchNoise", run % 2 ? "1" : "2");
    for (int wait = 0; wait < 500 && !ChangeWatchMarked(row); wait++) {
        ChangeWatchPoll();
        Sleep(1);
    }
    if (!ChangeWatchMarked(row))
        return -1;
    double start = BenchNowMs();
    RunNotifiedSteps();
    return BenchNowMs() - start;
}

static void BenchStepCost(int row)
{
    double notified[NOTIFY_STEPS], patrolled[NOTIFY_STEPS];
    for (int run = 0; run < NOTIFY_STEPS; run++) {
        double start = BenchNowMs();
        RunRowStep(row);
        patrolled[run] = BenchNowMs() - start;
        notified[run] = NotifiedStepMs(row, run);
    }
    double n = BenchMedian(notified, NOTIFY_STEPS), p = BenchMedian(patrolled, NOTIFY_STEPS);
    printf("  %-44s %10.2f %10.2f %7.2fx\n", "startup step: notified / patrolled (ms)", n, p,
           p > 0 ? n / p : 0);
}

static DWORD WINAPI QuitLater(LPVOID)
{
    Sleep(NOTIFY_IDLE_MS);
    PostThreadMessageA(s_loopThread, WM_QUIT, 0, 0);
    return 0;
}

// CPU ms of this process and wineserver while the monitor's loop runs a
// quiet half minute of ticks (no patrol falls in it), with every notice
// armed or none.
static double IdleCpuMs(int armed)
{
    if (armed)
        ChangeWatchArmAll();
    else
        ChangeWatchDisarm();
    g_Patrol.TickCounter = 0;
    s_loopThread = GetCurrentThreadId();
    UINT_PTR timer = SetTimer(g_MainWindow, VX_TIMER_ID, VX_TIMER_MS, NULL);
    CpuSample before = BenchSample();
    HANDLE quit = CreateThread(NULL, 0, QuitLater, NULL, 0, NULL);
    RunMonitorLoop();
    CpuSample after = BenchSample();
    WaitForSingleObject(quit, INFINITE);
    CloseHandle(quit);
    KillTimer(g_MainWindow, timer);
    double process = BenchDelta(after.precise, before.precise);
    double server = BenchDelta(after.server, before.server);
    return process < 0 || server < 0 ? -1 : process + server;
}

static void BenchIdle()
{
    double none = IdleCpuMs(0), armed = IdleCpuMs(1);
    char a[16], n[16];
    printf("  %-44s %10s %10s\n", "idle CPU ms per 30 s: armed / none", BenchFigure(armed, a, 16),
           BenchFigure(none, n, 16));
}

void BenchNotify()
{
    printf("Change notices (write to verdict, ms; %d writes)\n", NOTIFY_WRITES);
    CoInitialize(NULL);  // as in the monitor, from start to exit
    BenchRealMonitorNotices();
    if (!BenchStartMonitorSpine()) {
        printf("  not run: no monitor window\n\n");
        CoUninitialize();
        return;
    }
    BenchSettleBaselines();
    int row = StartupRow();
    int armed = ChangeWatchArmAll();
    printf("  %d places armed\n", armed);
    printf("  %-44s %10s %10s %8s\n", "", "median", "worst", "missed");
    BenchLatency();
    BenchStepCost(row);
    BenchIdle();
    for (int i = 0; i < NOTIFY_WRITES; i++) {
        char name[32];
        TEXT_FORMAT(name, "VxNotify%d", i);
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, name);
    }
    RegDeleteValueNamed(HKEY_CURRENT_USER, NT_WINDOWS_KEY, "VxBenchNoise");
    ChangeWatchDisarm();
    CoUninitialize();
    printf("\n");
}
