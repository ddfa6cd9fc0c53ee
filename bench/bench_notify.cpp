// Change notices.  First the real Vardex.exe, from outside: its CPU over a
// quiet half minute with notices on and off, and per category the time
// from a write to its verdict, the change undone by the hide option 2.
// Then in this process: a program already running (a thread of this one) writes
// new HKCU Run values while the monitor's own loop waits; the latency is
// from each write to the step's verdict (the value accepted by its option
// into the baseline).  Then one notified startup step beside the same step
// as the patrol runs it, and the idle CPU of the loop with every notice
// armed beside none.  CPU figures are read as bench_clock.cpp explains.
#include <windows.h>
#include <objbase.h>

#include <stdio.h>

#include "bench/bench.h"
#include "categories/category.h"
#include "categories/ie_helpers.h"
#include "categories/sysfiles.h"
#include "foundation/handles.h"
#include "foundation/options.h"
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
// The real monitor: a quiet half minute, and the writes per category.
#define REAL_IDLE_MS 30000
#define REAL_WRITES 20
#define REAL_VERDICT_MS 3000
#define REAL_HELPER "{B7B7B7B7-0000-4000-8000-00000000000B}"
#define REAL_TXT "Software\\Classes\\.txt"
#define REAL_TAKER "Software\\Classes\\vxlatencyfile\\shell\\open\\command"
#define REAL_SERVICES "System\\CurrentControlSet\\Services\\"

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

static char s_hosts[MAX_PATH];
static char s_hostsText[4096];

static void RealRunName(int i, char* out, size_t size)
{
    TextFormat(out, size, "VxLatency%d", i);
}

static void WriteRunValue(int i)
{
    char name[32];
    RealRunName(i, name, sizeof(name));
    RegWriteString(HKEY_CURRENT_USER, WIN_RUN_KEY, name, "C:\\Bench Tools\\latency.exe");
}

static int RunValueGone(int i)
{
    char name[32], text[MAX_PATH];
    RealRunName(i, name, sizeof(name));
    return RegReadString(HKEY_CURRENT_USER, WIN_RUN_KEY, name, text, sizeof(text)) == 0;
}

static void RealServiceName(int i, char* out, size_t size)
{
    TextFormat(out, size, "VxLatencySvc%d", i);
}

// A service of the service manager made (make 1) or deleted (0).
static void MakeRealService(int i, int make)
{
    char name[32];
    RealServiceName(i, name, sizeof(name));
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    if (manager == NULL)
        return;
    SC_HANDLE service = make ? CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS,
                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_IGNORE, "C:\\Bench Tools\\latency.exe", NULL,
                                   NULL, NULL, NULL, NULL)
                             : OpenServiceA(manager, name, DELETE);
    if (service != NULL && !make)
        DeleteService(service);
    if (service != NULL)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
}

static void CreateRealService(int i)
{
    MakeRealService(i, 1);
}

// Rejected: stopped and disabled.
static int ServiceDisabled(int i)
{
    char name[32], path[96];
    RealServiceName(i, name, sizeof(name));
    TEXT_FORMAT(path, REAL_SERVICES "%s", name);
    return RegReadDword(HKEY_LOCAL_MACHINE, path, "Start") == SERVICE_DISABLED;
}

static void SaveTask(int)
{
    BenchPlantTasks(1);
}

static int TaskGone(int)
{
    return GetFileAttributesA("C:\\windows\\tasks\\VxBenchTask00000.job") ==
           INVALID_FILE_ATTRIBUTES;
}

static void RegisterHelper(int)
{
    RegCreateKeyPath(HKEY_LOCAL_MACHINE, BHO_KEY "\\" REAL_HELPER);
}

static int HelperGone(int)
{
    return !RegKeyExists(HKEY_LOCAL_MACHINE, BHO_KEY "\\" REAL_HELPER);
}

static void AppendHosts(int i)
{
    char text[sizeof(s_hostsText) + 64];
    TEXT_FORMAT(text, "%s127.0.0.1 latency%d.example\r\n", s_hostsText, i);
    FileHandle file(CreateFileA(s_hosts, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    DWORD written = 0;
    if (file.IsValid())
        WriteFile(file.Get(), text, (DWORD)strlen(text), &written, NULL);
}

static int HostsRestored(int)
{
    FileHandle file(CreateFileA(s_hosts, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, 0, NULL));
    char text[sizeof(s_hostsText) + 64];
    DWORD got = 0;
    if (!file.IsValid() || !ReadFile(file.Get(), text, sizeof(text) - 1, &got, NULL))
        return 0;
    text[got] = '\0';
    return strcmp(text, s_hostsText) == 0;
}

static void TakeOverTxt(int)
{
    RegWriteString(HKEY_LOCAL_MACHINE, REAL_TXT, "", "vxlatencyfile");
}

static int TxtRestored(int)
{
    char text[32];
    RegReadString(HKEY_LOCAL_MACHINE, REAL_TXT, "", text, sizeof(text));
    return strcmp(text, "txtfile") == 0;
}

struct RealCase {
    const char* Label;
    void (*Write)(int i);
    int (*Undone)(int i);
    int Writes;  // fewer where a write is dear
};

// A service write is a new service each time (a deleted one lingers in the
// service manager): 5 of them.
static const RealCase kRealCases[] = {
    { "Run value (reg add)", WriteRunValue, RunValueGone, REAL_WRITES },
    { "service (CreateService)", CreateRealService, ServiceDisabled, 5 },
    { "task (Task Scheduler)", SaveTask, TaskGone, REAL_WRITES },
    { "IE helper (BHO key)", RegisterHelper, HelperGone, REAL_WRITES },
    { "HOSTS appended", AppendHosts, HostsRestored, REAL_WRITES },
    { "file type taken over (.txt)", TakeOverTxt, TxtRestored, REAL_WRITES },
};

static const char* const kHideOptions[] = {
    "HideStartup", "HideServices", "HideTasks", "HideIEHelper", "HideSystemFiles",
    "HideFileType",
};

// The plants every case starts from, recorded by the monitor's start.
static void PlantRealCases()
{
    RegWriteString(HKEY_CLASSES_ROOT, "CLSID\\" REAL_HELPER "\\InprocServer32", "",
                   "C:\\windows\\system32\\mlang.dll");
    RegWriteString(HKEY_LOCAL_MACHINE, REAL_TXT, "", "txtfile");
    RegWriteString(HKEY_LOCAL_MACHINE, REAL_TAKER, "", "C:\\Bench Tools\\latency.exe \"%1\"");
    GetHostsPath(s_hosts);
    FileHandle file(CreateFileA(s_hosts, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                                NULL));
    DWORD got = 0;
    s_hostsText[0] = '\0';
    if (file.IsValid() && ReadFile(file.Get(), s_hostsText, sizeof(s_hostsText) - 1, &got, NULL))
        s_hostsText[got] = '\0';
}

static void UnplantRealCases()
{
    for (int i = 0; i < REAL_WRITES; i++) {
        char name[32];
        RealRunName(i, name, sizeof(name));
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, name);
        MakeRealService(i, 0);
    }
    BenchUnplantTasks(1);
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, BHO_KEY "\\" REAL_HELPER);
    RegDeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\" REAL_HELPER);
    RegWriteString(HKEY_LOCAL_MACHINE, REAL_TXT, "", "txtfile");
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\vxlatencyfile");
    for (const char* name : kHideOptions)
        RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, "1");
}

// Each case in turn, a write a round; a case meets its next write more
// than a tick later (one step a category a tick).
static void BenchRealLatency()
{
    double latency[6][REAL_WRITES];
    int missed[6] = { 0 };
    for (int round = 0; round < REAL_WRITES; round++) {
        for (int c = 0; c < 6; c++) {
            const RealCase& real = kRealCases[c];
            if (round >= real.Writes)
                continue;
            double start = BenchNowMs();
            real.Write(round);
            latency[c][round] = -1;
            while (BenchNowMs() - start < REAL_VERDICT_MS) {
                if (real.Undone(round)) {
                    latency[c][round] = BenchNowMs() - start;
                    break;
                }
                Sleep(1);
            }
            missed[c] += latency[c][round] < 0;
            // A dialog left open holds every notified step back: named once.
            char title[128] = "";
            HWND dialog = FindWindowA("#32770", NULL);
            if (latency[c][round] < 0 && dialog != NULL && GetWindowTextA(dialog, title, 128) > 0)
                printf("  (%s: a dialog is open, \"%s\")\n", real.Label, title);
            Sleep(400);
        }
    }
    printf("  %-44s %10s %10s %8s\n", "write to verdict (ms), real Vardex.exe", "median",
           "worst", "missed");
    for (int c = 0; c < 6; c++) {
        const RealCase& real = kRealCases[c];
        double worst = 0;
        for (int i = 0; i < real.Writes; i++)
            worst = latency[c][i] > worst ? latency[c][i] : worst;
        char label[64];
        TEXT_FORMAT(label, "%s, %d", real.Label, real.Writes);
        printf("  %-44s %10.1f %10.1f %8d\n", label, BenchMedian(latency[c], real.Writes), worst,
               missed[c]);
    }
}

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

// Notices on and off; the latency runs with them on (HOSTS is checked
// before Windows 6 only: the monitor runs as on XP).
static void BenchRealMonitorNotices()
{
    const char* version = "Software\\Wine\\AppDefaults\\Vardex.exe";
    RegWriteString(HKEY_CURRENT_USER, version, "Version", "winxp");
    BenchAnswerEveryAlertByOption();
    PlantRealCases();
    double idle[2] = { -1, -1 };
    for (int on = 0; on < 2; on++) {
        RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "WatchChanges", on ? "1" : "0");
        RealMonitor monitor;
        if (!BenchStartRealMonitor(&monitor))
            continue;
        idle[on] = RealIdleCpuMs();
        if (on) {
            for (const char* name : kHideOptions)
                RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, "2");
            RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");
            Sleep(4500);  // two ticks: the options are read again
            BenchRealLatency();
        }
        BenchStopRealMonitor(&monitor);
    }
    UnplantRealCases();
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "WatchChanges");
    RegDeleteKeyA(HKEY_CURRENT_USER, version);
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
