// The patrol driver.  The 2-second timer drives everything: the delayed-start
// launcher, a patrol every 17 ticks, and the process-count check that a
// process-change notice (message 9024 from KESSA.DLL) asks for.  A patrol
// visits one half of the categories; each category runs only when its
// countdown expires.  Alerts run nested message loops, so every entry point
// here can be re-entered from a tick that arrives while a step waits for the
// user: the patrol-running and alert-open flags keep patrols from nesting.
#include "monitor/patrol.h"

#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/process_list.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/utils.h"
#include "monitor/monitor.h"
#include "monitor/tray.h"
#include "resources/monitor_resource.h"
#include "startup/autostart.h"
#include "startup/item_list.h"

int g_TickCounter = 0;
int g_PatrolRunning = 0;
int g_AlertOpen = 0;
int g_ProcessNotice = 0;
int g_NoticeChecksInRow = 0;
int g_RestartCountdown = 0;
DWORD g_LastPatrolTime = 0;

int g_HalfSelector = 0;
int g_PatrolCount = 0;
int g_LastProcessCount = 0;
int g_CookieMode = 0;

int g_DelayToLaunch = 0;
int g_DelayLaunched = 0;
int g_DelayTicks = 0;
int g_DelayStep = 0;

int g_Countdown[ROW_COUNT];
int g_Period[ROW_COUNT];

// The schedule: which option gives each category its period, and which
// lets the process-count check force it (-1: none).
struct PatrolSchedule {
    OptionId period;
    int realtime;
};

static const PatrolSchedule s_schedule[ROW_COUNT] = {
    { OPT_Start, OPT_RealtimeStartup },      // ROW_STARTUP
    { OPT_IEHelpers, OPT_RealtimeIEHelper }, // ROW_IEHELPERS
    { OPT_Hidden, OPT_RealtimeHidden },      // ROW_HIDDEN
    { OPT_ActiveX, OPT_RealtimeActiveX },    // ROW_ACTIVEX
    { OPT_HostFile, OPT_RealtimeSysFiles },  // ROW_SYSFILES
    { OPT_StartPage, OPT_RealtimeStartPage },// ROW_STARTPAGE
    { OPT_FileType, OPT_RealtimeFileType },  // ROW_FILETYPE
    { OPT_Tasks, -1 },                       // ROW_TASKS
    { OPT_WinInit, -1 },                     // ROW_WININIT
    { OPT_Services, OPT_RealtimeServices },  // ROW_SERVICES
    { OPT_Nuts, -1 },                        // ROW_NUTS
    { OPT_Cookies, -1 },                     // ROW_COOKIES
};

// The restart commands keep their countdown where the start-up clears it.
static int* CountdownOf(int row)
{
    return row == ROW_WININIT ? &g_RestartCountdown : &g_Countdown[row];
}

int CountdownExpired(int* countdown, int period)
{
    if (*countdown <= 0)
        return 0;
    (*countdown)--;
    if (*countdown != 0)
        return 0;
    *countdown = period;
    return 1;
}

static int RowExpired(int row)
{
    return CountdownExpired(CountdownOf(row), g_Period[row]);
}

void ReloadOptions()
{
    LoadOptions();
    for (int row = 0; row < ROW_COUNT; row++) {
        g_Period[row] = g_Options[s_schedule[row].period];
        if (row == ROW_WININIT) {
            // Once commands were found the row rests for 99999 expiries; a
            // reload must not wake it.
            if (g_Period[row] >= g_RestartCountdown)
                g_RestartCountdown = g_Period[row];
        } else {
            g_Countdown[row] = g_Period[row];
        }
    }
}

int ReloadOptionsIfUpdated()
{
    if (OptionRead("Update", 0) == 0)
        return 0;
    ReloadOptions();
    RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    return 1;
}

void ResetDelayedLauncher(int toLaunch)
{
    g_DelayToLaunch = toLaunch;
    g_DelayLaunched = 0;
    g_DelayTicks = 0;
    g_DelayStep = 0;
}

static void TraceStep(const char* label)
{
    TraceNote("VERIFY", label);
}

// Every sixth tick the launcher starts the programs whose delay (a multiple
// of ten seconds) is now due, until every listed program was launched.
static void LaunchDelayedPrograms()
{
    if (g_DelayLaunched >= g_DelayToLaunch)
        return;
    if (++g_DelayTicks < 6)
        return;
    g_DelayStep++;
    g_DelayLaunched += RunDelayedPrograms(g_DelayStep * 10);
    g_DelayTicks = 0;
}

void PatrolTick()
{
    LaunchDelayedPrograms();

    if (g_ExpressBoot >= 1)
        g_ExpressBoot--;
    int waiting = g_ExpressBoot > 0;

    int taken = g_TickCounter++;
    if (taken > 15) {
        // While waiting the counter keeps growing, so the patrol comes on
        // the first tick after the express-boot wait.
        if (waiting)
            return;
        RunPatrol();
        g_TickCounter = 0;
        g_ProcessNotice = 0;
        g_NoticeChecksInRow = 0;
        return;
    }

    if (!g_ProcessNotice) {
        g_NoticeChecksInRow = 0;
        return;
    }
    if (g_AlertOpen || g_PatrolRunning || waiting)
        return;  // the notice stays for a later tick
    int inRow = g_NoticeChecksInRow++;
    if (inRow < 3) {
        VerifyTasks();
    } else {
        // Something starts and ends processes on every tick: stop counting
        // them for a moment rather than patrol without end.
        TraceNote("RID", "Possible System Conflict");
        Sleep(50);
        g_NoticeChecksInRow = 0;
        TraceElapsed();
    }
    g_ProcessNotice = 0;
}

int VerifyTasks()
{
    TraceNote("* * * VERIFY TASKS", "Check for Task Change");
    int count = CountProcesses();
    if (count != g_LastProcessCount) {
        ReloadOptionsIfUpdated();
        for (int row = 0; row < ROW_COUNT; row++) {
            int realtime = s_schedule[row].realtime;
            if (realtime >= 0 && g_Options[realtime] != 0)
                *CountdownOf(row) = 1;
        }
        g_TickCounter = 16;
        g_HalfSelector = 0;
    }
    TraceElapsed();
    g_LastProcessCount = count;
    return count;
}

// The countdown rule, the trace line before the step, the timing line
// after it.
static void RunRow(int row, const char* label, void (*step)())
{
    if (!RowExpired(row))
        return;
    TraceStep(label);
    step();
    TraceElapsed();
}

static void RunFirstHalf()
{
    SetTrayStatus(IDI_PATROL_FIRST, IDS_TIP_STARTUP);
    if (RowExpired(ROW_STARTUP)) {
        CheckStartupChanges();  // writes its own trace line
        TraceElapsed();
    }
    RunRow(ROW_IEHELPERS, "IE Helpers", PatrolIEHelpers);
    RunRow(ROW_HIDDEN, "Hidden Files", PatrolHiddenFiles);
    RunRow(ROW_ACTIVEX, "ActiveX Files", PatrolActiveX);
    if (!IsWindowsMajor6())
        RunRow(ROW_SYSFILES, "Verify System Files", CheckAllSysFiles);
    RunRow(ROW_STARTPAGE, "IE Start/Search Page", CheckBrowserPages);
    if (RowExpired(ROW_FILETYPE)) {
        // Options changed in the explorer are picked up here as well as at
        // the process-count check; the shared file-type code cannot do it,
        // the explorer carries it too.
        ReloadOptionsIfUpdated();
        TraceStep("File Types");
        PatrolFileTypes();
        TraceElapsed();
    }
}

static void CheckRestartCommands()
{
    if (!RowExpired(ROW_WININIT))
        return;
    TraceStep("Win INIT file");
    g_TraceFirstPatrol = 1;
    if (ShowRestartCommands(1) == 1) {
        g_RestartCountdown = 99999;
        char text[512];
        LoadText(28, text, sizeof(text));
        if (ShowMessage(NULL, text, MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
            ShowRestartCommands(0);
    }
    TraceElapsed();
}

static void FilterCookies()
{
    if (!RowExpired(ROW_NUTS))
        return;
    int kind = DefaultBrowserKind();
    if (kind == 2 || kind == 3 || kind == 6) {
        // These browsers keep their own cookie file, filtered below.
        g_CookieMode = 3;
        return;
    }
    g_CookieMode = 1;
    TraceStep("Filter Cookies");
    ListCookies(1);
    TraceElapsed();
}

static void FilterBrowserCookieFile()
{
    char folder[VX_PATH];
    if (GetMozillaProfileFolder(folder) == 0 || g_CookieMode != 3)
        return;
    TraceStep("Filter Mozilla Cookies");
    if (CommitCookieFile()) {
        SetCookieFilePending(0);
        PurgeOneTimeNuts();
    }
    TraceElapsed();
}

// 1 when the cookie's name has no value, not even an empty one, in the
// cookie baseline.
static int CookieIsNew(const char* name)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, VX_KEY "\\Cookies", KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return 1;
    return RegQueryValueExA(key, name, NULL, NULL, NULL, NULL) != ERROR_SUCCESS;
}

static void CheckNewCookies()
{
    if (!RowExpired(ROW_COOKIES))
        return;
    TraceStep("Check for New Cookies");
    ListCookies(0);
    int found = 0;
    for (int i = 0; i < ItemCount() && !found; i++)
        found = CookieIsNew(GetItemName(i));
    if (found) {
        SetTrayStatus(IDI_ALERT, IDS_TIP_COOKIES);
        g_AlertOpen = 1;
        PlayAlertSound(2);
        char text[512];
        LoadText(16, text, sizeof(text));
        int answer = ShowMessage(NULL, text, MB_YESNO | MB_ICONEXCLAMATION);
        g_AlertOpen = 0;
        if (answer == IDYES)
            StartExplorer("-COOKIES");
    }
    TraceElapsed();
}

static void RunSecondHalf()
{
    SetTrayStatus(IDI_PATROL_SECOND, IDS_TIP_SECOND_HALF);
    // An expired countdown is spent even while the scheduler is down.
    if (RowExpired(ROW_TASKS) && IsSchedulerRunning() == 1) {
        TraceStep("Scheduled Tasks");
        PatrolTasks();
        TraceElapsed();
    }
    if (!IsWindowsNT())
        CheckRestartCommands();
    RunRow(ROW_SERVICES, "Check for change to Services", PatrolServices);
    FilterCookies();
    FilterBrowserCookieFile();
    CheckNewCookies();
}

static int NormalTrayIcon()
{
    return OptionRead("TrayIcon", IsWindowsNT() ? IDI_NORMAL_NT : IDI_NORMAL_9X);
}

int RunPatrol()
{
    TraceNote("VERIFY", "Enter Verify function");
    TraceElapsed();
    if (g_AlertOpen || g_PatrolRunning)
        return 1;

    ClearItems();
    g_PatrolRunning = 1;
    if (g_PatrolCount++ > 60) {
        // A shell that lost the icon without a "TaskbarCreated" gets it back.
        SetTrayIcon(TRAY_DELETE, 0, 0);
        SetTrayIcon(TRAY_ADD, 0, IDS_TIP_NORMAL);
        g_PatrolCount = 0;
    }

    DWORD now = GetTickCount();
    if (now - g_LastPatrolTime < 1000) {
        g_LastPatrolTime = now;
        g_PatrolRunning = 0;
        TraceNote("VERIFY", "Exit Early because we recently did a verify");
        TraceElapsed();
        return 0;
    }
    g_LastPatrolTime = now;

    // No "insert a disk" boxes while the steps probe files on removable or
    // vanished drives.
    UINT previousMode = SetErrorMode(0x01F40001);

    TraceStep("Verify Automatica Updates");
    CheckUpdateAndPrefix();
    TraceElapsed();

    if (g_HalfSelector == 0)
        RunFirstHalf();
    else
        RunSecondHalf();

    if (ItemCount() > 0)
        ClearItems();
    FreeCookieFilters();
    if (g_ProcessNotice)
        RecordActiveTasks();
    g_HalfSelector = g_HalfSelector ? 0 : 1;
    SetTrayStatus(NormalTrayIcon(), IDS_TIP_NORMAL);
    now = GetTickCount();
    if (now - g_LastPatrolTime > 1000) {
        TraceNote("CATCH", "MonitorTimer > 1000");
        TraceElapsed();
        g_LastPatrolTime = now;
    }
    g_PatrolRunning = 0;
    SetErrorMode(previousMode);
    TraceNote("VERIFY", "Exit Normal Verify");
    TraceElapsed();
    return 1;
}

// The restart-commands window and the cookie filters arrive with their
// categories; until then nothing is pending and nothing is held.
int ShowRestartCommands(int)
{
    return 0;
}

void FreeCookieFilters()
{
}
