// Cost of KESSA.DLL's process watcher: the CPU time its thread uses while an
// idle system is watched, scaled to one minute, beside its floor: a bare
// loop that takes the same snapshot (psapi's EnumProcesses, the first choice
// of ReadProcessIds) on the same 2-second beat and does nothing else.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "bench/bench.h"
#include "foundation/handles.h"
#include "foundation/text.h"
#include "foundation/process_list.h"
#include "kessa/kessa.h"

#define WATCH_MS 30000
#define POLL_MS 2000
#define CALLS 101

typedef BOOL(WINAPI* EnumProcessesFn)(DWORD*, DWORD, DWORD*);

static EnumProcessesFn s_enumProcesses = NULL;
static HANDLE s_floorStop = NULL;

static DWORD WINAPI FloorThread(LPVOID)
{
    static DWORD ids[2048];
    DWORD bytes = 0;
    s_enumProcesses(ids, sizeof(ids), &bytes);
    while (WaitForSingleObject(s_floorStop, POLL_MS) == WAIT_TIMEOUT)
        s_enumProcesses(ids, sizeof(ids), &bytes);
    return 0;
}

struct Interval {
    double process, precise, server;
};

// CPU of this process and of wineserver while Sleep(WATCH_MS) lets the
// background thread (if any) work.
static Interval Measure()
{
    double process = BenchProcessCpuMs(), precise = BenchPreciseCpuMs(),
           server = BenchWineserverCpuMs();
    Sleep(WATCH_MS);
    Interval i;
    i.process = BenchDelta(BenchProcessCpuMs(), process);
    i.precise = BenchDelta(BenchPreciseCpuMs(), precise);
    i.server = BenchDelta(BenchWineserverCpuMs(), server);
    return i;
}

// ms per minute of a measure, the idle interval taken off.
static double PerMinute(double value, double idle)
{
    if (value < 0 || idle < 0)
        return -1;
    return (value > idle ? value - idle : 0) * 60000.0 / WATCH_MS;
}

static void PrintRow(const char* label, double watcher, double floor)
{
    if (watcher < 0 || floor < 0) {
        printf("  %-40s %10s %10s %8s\n", label, "n/a", "n/a", "");
        return;
    }
    char ratio[16] = "-";
    if (floor > 0)
        TEXT_FORMAT(ratio, "%.2fx", watcher / floor);
    printf("  %-40s %10.1f %10.1f %8s\n", label, watcher, floor, ratio);
}

// Median wall time of one snapshot, in microseconds: the watcher's read
// (ReadProcessIds, then its fingerprint is a few adds) or the bare call.
static double MedianCallUs(int watcherRead)
{
    static DWORD ids[2048];
    double took[CALLS];
    for (int call = 0; call < CALLS; call++) {
        double start = BenchNowMs();
        if (watcherRead) {
            ReadProcessIds(ids, 2048);
        } else {
            DWORD bytes = 0;
            s_enumProcesses(ids, sizeof(ids), &bytes);
        }
        took[call] = (BenchNowMs() - start) * 1000.0;
    }
    return BenchMedian(took, CALLS);
}

void BenchProcessWatcher()
{
    LoadedLibrary psapi("psapi.dll");
    s_enumProcesses = psapi.Get() != NULL
                          ? (EnumProcessesFn)(void*)GetProcAddress(psapi.Get(), "EnumProcesses")
                          : NULL;
    HWND sink = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);

    Interval idle = Measure();

    KessaStartWatch(sink);
    Interval watching = Measure();
    KessaStopWatch();
    DestroyWindow(sink);

    Interval floor = { -1, -1, -1 };
    if (s_enumProcesses != NULL) {
        KernelHandle stop(CreateEventA(NULL, TRUE, FALSE, NULL));
        s_floorStop = stop.Get();
        KernelHandle thread(stop.IsValid() ? CreateThread(NULL, 0, FloorThread, NULL, 0, NULL)
                                           : NULL);
        if (thread.IsValid()) {
            floor = Measure();
            SetEvent(stop.Get());
            WaitForSingleObject(thread.Get(), 5000);
        }
        s_floorStop = NULL;
    }

    // The quieter of two idle intervals, one before and one after: the
    // first may still catch the prefix settling after the program started.
    Interval idleAfter = Measure();
    if (idleAfter.precise >= 0 && idle.precise >= 0 ? idleAfter.precise < idle.precise
                                                    : idleAfter.process < idle.process)
        idle = idleAfter;

    printf("Process watcher (KESSA.DLL) against its floor, %d s each of an idle system\n"
           "  (not watching: the quieter of an interval before and one after)\n",
           WATCH_MS / 1000);
    printf("  %-40s %10s %10s\n", "CPU ms over the interval", "process", "wineserver");
    printf("  %-40s %10.1f %10.1f\n", "not watching", idle.process, idle.server);
    printf("  %-40s %10.1f %10.1f\n", "watcher", watching.process, watching.server);
    printf("  %-40s %10.1f %10.1f\n", "floor: EnumProcesses every 2 s", floor.process,
           floor.server);
    printf("  %-40s %10s %10s %8s\n", "CPU ms per minute, idle taken off", "watcher", "floor",
           "ratio");
    PrintRow("process (GetProcessTimes)", PerMinute(watching.process, idle.process),
             PerMinute(floor.process, idle.process));
    PrintRow("process (scheduler, ns)", PerMinute(watching.precise, idle.precise),
             PerMinute(floor.precise, idle.precise));
    PrintRow("wineserver", PerMinute(watching.server, idle.server),
             PerMinute(floor.server, idle.server));
    double watcherMinute = PerMinute(watching.process, idle.process);
    printf("  %-40s %9.3f%%\n", "watcher share of one core (process)",
           watcherMinute < 0 ? 0.0 : watcherMinute / 600.0);
    if (s_enumProcesses != NULL) {
        double watcherUs = MedianCallUs(1), floorUs = MedianCallUs(0);
        printf("  one snapshot, median of %d (us): watcher's read %.0f, bare call %.0f, "
               "%.2fx\n",
               CALLS, watcherUs, floorUs, floorUs > 0 ? watcherUs / floorUs : 0.0);
    }
    printf("\n");
    s_enumProcesses = NULL;
}
