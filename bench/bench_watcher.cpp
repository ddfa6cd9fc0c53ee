// Cost of KESSA.DLL's process watcher: the CPU time its thread uses while an
// idle system is watched, scaled to one minute.
#include <windows.h>

#include <stdio.h>

#include "bench/bench.h"
#include "kessa/kessa.h"

static ULONGLONG ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 10000;
}

void BenchProcessWatcher()
{
    const DWORD watchMs = 20000;
    HWND sink = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);

    ULONGLONG before = ProcessCpuMs();
    Sleep(watchMs);
    ULONGLONG idle = ProcessCpuMs() - before;

    KessaStartWatch(sink);
    before = ProcessCpuMs();
    Sleep(watchMs);
    ULONGLONG watching = ProcessCpuMs() - before;
    KessaStopWatch();
    DestroyWindow(sink);

    double perMinute = (double)(watching > idle ? watching - idle : 0) * 60000.0 / watchMs;
    printf("Process watcher (KESSA.DLL), %lu s idle system\n", (unsigned long)(watchMs / 1000));
    printf("  %-34s %10s\n", "measure", "value");
    printf("  %-34s %10llu\n", "CPU ms, not watching", (unsigned long long)idle);
    printf("  %-34s %10llu\n", "CPU ms, watching", (unsigned long long)watching);
    printf("  %-34s %10.1f\n", "watcher CPU ms per minute", perMinute);
    printf("  %-34s %9.3f%%\n", "share of one core", perMinute / 600.0);
    printf("\n");
}
