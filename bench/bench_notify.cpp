// Change notices.  First the real Vardex.exe, from outside: its CPU over a
// quiet half minute with notices on and off.  Then in this process: a
// program already running (a thread of this one) writes, for one category
// after another, what its watched places react to (HKCU Run values, service
// keys, IE helpers, a file-type command, HOSTS lines, task files) while the
// monitor's own loop waits; the latency is from each write to its verdict
// (kCases).  Then one notified startup step beside the same step
// as the patrol runs it, and the idle CPU of the loop with every notice
// armed beside none.  CPU figures are read as bench_clock.cpp explains.
#include <windows.h>
#include <objbase.h>

#include <stdio.h>
#include <string.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "categories/filetype.h"
#include "categories/ie_helpers.h"
#include "categories/services.h"
#include "categories/sysfiles.h"
#include "categories/tasks.h"
#include "foundation/handles.h"
#include "foundation/path_text.h"
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

// One category's case: a write by another program, undone at the end, and
// the verdict on write i (for the Run case its baseline record; for the
// others the category's notified step completed after the write).
struct NotifyCase {
    const char* What;
    const Category* Row;
    int Writes;
    void (*Write)(int i);
    void (*Undo)(int count);
    int (*Judged)(int i);
};

static double s_latency[NOTIFY_WRITES];
static DWORD s_loopThread = 0;
static const NotifyCase* s_case = NULL;
static int s_row = -1;
static int s_stepsBefore = 0;

static int RowOf(const Category* category)
{
    for (int row = 0; row < CategoryCount(); row++)
        if (CategoryAt(row) == category)
            return row;
    return -1;
}

static void CommandOf(int i, char* out, size_t outSize)
{
    TextFormat(out, outSize, "C:\\Bench Tools\\notify%d.exe /background", i);
}

static void WriteRunValue(int i)
{
    char name[32], command[128];
    TEXT_FORMAT(name, "VxNotify%d", i);
    CommandOf(i, command, sizeof(command));
    RegWriteString(HKEY_CURRENT_USER, WIN_RUN_KEY, name, command);
}

static void UndoRunValues(int count)
{
    for (int i = 0; i < count; i++) {
        char name[32];
        TEXT_FORMAT(name, "VxNotify%d", i);
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, name);
    }
}

static int RunValueRecorded(int i)
{
    char command[128], code[16];
    CommandOf(i, command, sizeof(command));
    return RegReadString(HKEY_CURRENT_USER, VX_RUN_KEY, command, code, sizeof(code)) > 0;
}

static int StepCompleted(int)
{
    return ChangeWatchStepsRun(s_row) > s_stepsBefore;
}

static void WriteService(int i)
{
    BenchPlantServices(i, i + 1);
}

static void WriteHelper(int i)
{
    BenchPlantHelpers(i, i + 1);
}

// The command of the text file class, taken over for the user.
#define NOTIFY_TAKEN_CLASS "Software\\Classes\\txtfile"
static void TakeOverCommand(int i)
{
    char command[128];
    TEXT_FORMAT(command, "\"C:\\Bench Tools\\viewer%d.exe\" \"%%1\"", i);
    RegWriteString(HKEY_CURRENT_USER, NOTIFY_TAKEN_CLASS "\\shell\\open\\command", "",
                   command);
}

static void UndoTakeOver(int)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, NOTIFY_TAKEN_CLASS);
}

static LONGLONG s_hostsSize = -1;

static void AppendHosts(int i)
{
    char path[VX_PATH];
    if (GetHostsPath(path) == 0)
        return;
    FileHandle file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                                0, NULL));
    if (!file.IsValid())
        return;
    LARGE_INTEGER size;
    if (s_hostsSize < 0 && GetFileSizeEx(file.Get(), &size))
        s_hostsSize = size.QuadPart;
    char line[64];
    TEXT_FORMAT(line, "127.0.0.1 vxnotify%d.invalid\r\n", i);
    DWORD written = 0;
    WriteFile(file.Get(), line, (DWORD)strlen(line), &written, NULL);
}

// HOSTS cut back to its size before the first line appended.
static void UndoHosts(int)
{
    char path[VX_PATH];
    if (s_hostsSize < 0 || GetHostsPath(path) == 0)
        return;
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
    LARGE_INTEGER at;
    at.QuadPart = s_hostsSize;
    if (file.IsValid() && SetFilePointerEx(file.Get(), at, NULL, FILE_BEGIN))
        SetEndOfFile(file.Get());
}

static void TaskFileOf(int i, char* out, size_t outSize)
{
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    windows[n < MAX_PATH ? n : 0] = '\0';
    TextFormat(out, outSize, "%s\\Tasks\\VxNotify%d.job", windows, i);
}

// A file saved into the Tasks folder as a program would (its bytes are no
// task the scheduler can read; the folder's notice is what is measured).
static void SaveTaskFile(int i)
{
    char path[MAX_PATH + 32];
    TaskFileOf(i, path, sizeof(path));
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    DWORD written = 0;
    if (file.IsValid())
        WriteFile(file.Get(), "VxNotify", 8, &written, NULL);
}

static void UndoTaskFiles(int count)
{
    for (int i = 0; i < count; i++) {
        char path[MAX_PATH + 32];
        TaskFileOf(i, path, sizeof(path));
        DeleteFileA(path);
    }
}

static const NotifyCase kCases[] = {
    { "HKCU Run value to its verdict", &g_StartupCategory, NOTIFY_WRITES, WriteRunValue,
      UndoRunValues, RunValueRecorded },
    { "service key created to its step", &g_ServicesCategory, NOTIFY_WRITES, WriteService,
      BenchUnplantServices, StepCompleted },
    { "IE helper registered to its step", &g_IEHelpersCategory, NOTIFY_WRITES, WriteHelper,
      BenchUnplantHelpers, StepCompleted },
    { "file-type command taken to its step", &g_FileTypesCategory, NOTIFY_WRITES,
      TakeOverCommand, UndoTakeOver, StepCompleted },
    { "HOSTS appended to its step", &g_SysFilesCategory, NOTIFY_WRITES, AppendHosts, UndoHosts,
      StepCompleted },
    { "task file saved to its step", &g_TasksCategory, NOTIFY_WRITES, SaveTaskFile,
      UndoTaskFiles, StepCompleted },
};

// The writer: each write, then the wait for its verdict.
static DWORD WINAPI WriteAndWait(LPVOID)
{
    for (int i = 0; i < s_case->Writes; i++) {
        Sleep(NOTIFY_SPACING_MS);
        s_stepsBefore = ChangeWatchStepsRun(s_row);
        double start = BenchNowMs();
        s_case->Write(i);
        s_latency[i] = -1;
        while (BenchNowMs() - start < 10000) {
            if (s_case->Judged(i)) {
                s_latency[i] = BenchNowMs() - start;
                break;
            }
            Sleep(1);
        }
    }
    PostThreadMessageA(s_loopThread, WM_QUIT, 0, 0);
    return 0;
}

static void BenchLatency(const NotifyCase& item)
{
    s_case = &item;
    s_row = RowOf(item.Row);
    s_loopThread = GetCurrentThreadId();
    UINT_PTR timer = SetTimer(g_MainWindow, VX_TIMER_ID, VX_TIMER_MS, NULL);
    HANDLE writer = CreateThread(NULL, 0, WriteAndWait, NULL, 0, NULL);
    RunMonitorLoop();
    WaitForSingleObject(writer, INFINITE);
    CloseHandle(writer);
    KillTimer(g_MainWindow, timer);
    double worst = 0;
    int missed = 0;
    for (int i = 0; i < item.Writes; i++) {
        missed += s_latency[i] < 0;
        worst = s_latency[i] > worst ? s_latency[i] : worst;
    }
    double median = BenchMedian(s_latency, item.Writes);
    printf("  %-44s %10.1f %10.1f %8d\n", item.What, median, worst, missed);
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
    int armed = ChangeWatchArmAll();
    printf("  %d places armed\n", armed);
    printf("  %-44s %10s %10s %8s\n", "", "median", "worst", "missed");
    for (const NotifyCase& item : kCases)
        BenchLatency(item);
    BenchStepCost(RowOf(&g_StartupCategory));
    BenchIdle();
    for (const NotifyCase& item : kCases)
        item.Undo(item.Writes);
    RegDeleteValueNamed(HKEY_CURRENT_USER, NT_WINDOWS_KEY, "VxBenchNoise");
    ChangeWatchDisarm();
    CoUninitialize();
    printf("\n");
}
