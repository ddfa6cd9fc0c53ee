// The patrol driver.  The 2-second timer drives everything: the delayed-start
// launcher, a patrol every 17 ticks, and the process-count check that a
// process-change notice (message 9024 from KESSA.DLL) asks for.  A patrol
// visits one half of the category table; each category runs only when its
// countdown expires.  Alerts run nested message loops, so every entry point
// here can be re-entered from a tick that arrives while a step waits for the
// user: the patrol-running and alert-open flags keep patrols from nesting.
#include "monitor/patrol.h"

#include <string.h>

#include "categories/category.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/trace.h"
#include "foundation/utils.h"
#include "monitor/monitor.h"
#include "monitor/tray.h"
#include "resources/monitor_resource.h"
#include "startup/delayed_start.h"
#include "startup/startup_text.h"

PatrolState g_Patrol;

// A row resting after its step asked for it keeps its long countdown
// through option reloads.
static int s_resting[PATROL_ROWS_MAX];

static int RowCount()
{
    int count = CategoryCount();
    return count < PATROL_ROWS_MAX ? count : PATROL_ROWS_MAX;
}

void ResetPatrolState()
{
    memset(&g_Patrol, 0, sizeof(g_Patrol));
    memset(s_resting, 0, sizeof(s_resting));
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

void ReloadOptions()
{
    LoadOptions();
    for (int row = 0; row < RowCount(); row++) {
        int option = CategoryAt(row)->PeriodOption;
        int period = option >= 0 ? g_Options[option] : 0;
        g_Patrol.Period[row] = period;
        if (s_resting[row] && g_Patrol.Countdown[row] > period)
            continue;
        s_resting[row] = 0;
        g_Patrol.Countdown[row] = period;
    }
    g_Patrol.OptionReloads++;
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
    g_Patrol.DelayToLaunch = toLaunch;
    g_Patrol.DelayLaunched = 0;
    g_Patrol.DelayTicks = 0;
    g_Patrol.DelayStep = 0;
}

// Every sixth tick the launcher starts the programs whose delay is now due
// (the first step at or past it), until every listed program was handled
// or the longest delay has passed (the list may have changed meanwhile).
static void LaunchDelayedPrograms()
{
    if (g_Patrol.DelayLaunched >= g_Patrol.DelayToLaunch ||
        g_Patrol.DelayStep >= DelayLaunchStep(DELAY_TIME_MAX))
        return;
    if (++g_Patrol.DelayTicks < 6)
        return;
    g_Patrol.DelayStep++;
    g_Patrol.DelayLaunched += RunDelayedPrograms(g_Patrol.DelayStep * 10);
    g_Patrol.DelayTicks = 0;
}

void PatrolTick()
{
    LaunchDelayedPrograms();

    if (g_ExpressBoot >= 1)
        g_ExpressBoot--;
    int waiting = g_ExpressBoot > 0;

    int taken = g_Patrol.TickCounter++;
    if (taken > 15) {
        // While waiting the counter keeps growing, so the patrol comes on
        // the first tick after the express-boot wait.
        if (waiting)
            return;
        RunPatrol();
        g_Patrol.TickCounter = 0;
        g_Patrol.ProcessNotice = 0;
        g_Patrol.NoticeChecksInRow = 0;
        return;
    }

    if (!g_Patrol.ProcessNotice) {
        g_Patrol.NoticeChecksInRow = 0;
        return;
    }
    if (g_Patrol.AlertOpen || g_Patrol.Running || waiting)
        return;  // the notice stays for a later tick
    int inRow = g_Patrol.NoticeChecksInRow++;
    if (inRow < 3) {
        VerifyTasks();
    } else {
        // Something starts and ends processes on every tick: stop counting
        // them for a moment rather than patrol without end.
        TraceNote("RID", "Possible System Conflict");
        Sleep(50);
        g_Patrol.NoticeChecksInRow = 0;
        TraceElapsed();
    }
    g_Patrol.ProcessNotice = 0;
}

int VerifyTasks()
{
    TraceNote("* * * VERIFY TASKS", "Check for Task Change");
    int count = CountRunningPrograms();
    if (count != g_Patrol.LastProcessCount) {
        ReloadOptionsIfUpdated();
        for (int row = 0; row < RowCount(); row++) {
            int realtime = CategoryAt(row)->RealtimeOption;
            if (realtime >= 0 && g_Options[realtime] != 0)
                g_Patrol.Countdown[row] = 1;
        }
        g_Patrol.TickCounter = 16;
        g_Patrol.HalfSelector = 0;
    }
    TraceElapsed();
    g_Patrol.LastProcessCount = count;
    return count;
}

int RowPatrolled(int row)
{
    const Category* category = CategoryAt(row);
    if (category == NULL || row >= PATROL_ROWS_MAX)
        return 0;
    if (category->Patrol == NULL && category->List == NULL)
        return 0;  // a category with nothing to patrol (its dates only)
    return category->PeriodOption < 0 || g_Patrol.Period[row] > 0;
}

// One row: a step on a period runs when its countdown expires (spent even
// when the category cannot run now).
static void RunRow(int row)
{
    const Category* category = CategoryAt(row);
    if (category->Patrol == NULL && category->List == NULL)
        return;  // a category with nothing to patrol (its dates only)
    if (category->PeriodOption >= 0 &&
        !CountdownExpired(&g_Patrol.Countdown[row], g_Patrol.Period[row]))
        return;
    RunRowStep(row);
}

void RunRowStep(int row)
{
    const Category* category = CategoryAt(row);
    if (category->CanRun != NULL && !category->CanRun())
        return;
    if (category->Flags & CAT_RELOADS_OPTIONS) {
        // Options changed in the explorer are picked up here as well as at
        // the process-count check; the shared category code cannot do it,
        // the explorer carries it too.
        ReloadOptionsIfUpdated();
    }
    TraceNote("VERIFY", category->Label);
    int rest = RunCategoryStep(category);
    if (rest > 0) {
        g_Patrol.Countdown[row] = rest;
        s_resting[row] = 1;
    }
    TraceElapsed();
}

// The rows without a period run on every patrol, before either half.
static void RunEveryPatrolRows()
{
    for (int row = 0; row < RowCount(); row++)
        if (CategoryAt(row)->PeriodOption < 0)
            RunRow(row);
}

// The half's icon is put up for a half that lasts long enough to be seen:
// from the start when the last patrol of that half did, else as soon as
// this one has run that long.  The usual quick patrol leaves the icon as it
// is, and costs no round trip to the shell, which redraws every change.
#define PATROL_ICON_AFTER_MS 250
static DWORD s_lastHalfTook[2] = { PATROL_ICON_AFTER_MS, PATROL_ICON_AFTER_MS };

static void ShowHalfIcon(int half)
{
    if (half == 0)
        SetTrayStatus(IDI_PATROL_FIRST, IDS_TIP_STARTUP);
    else
        SetTrayStatus(IDI_PATROL_SECOND, IDS_TIP_SECOND_HALF);
}

static void RunHalf(int half)
{
    DWORD start = GetTickCount();
    int shown = s_lastHalfTook[half] >= PATROL_ICON_AFTER_MS;
    if (shown)
        ShowHalfIcon(half);
    for (int row = 0; row < RowCount(); row++) {
        const Category* category = CategoryAt(row);
        if (category->PeriodOption < 0 || category->Half != half)
            continue;
        if (!shown && GetTickCount() - start >= PATROL_ICON_AFTER_MS) {
            ShowHalfIcon(half);
            shown = 1;
        }
        RunRow(row);
    }
    s_lastHalfTook[half] = GetTickCount() - start;
}

// After a patrol that a process change brought, the categories that date
// running programs record them.
static void RecordDatesAfterNotice()
{
    for (int row = 0; row < RowCount(); row++) {
        const Category* category = CategoryAt(row);
        if ((category->Flags & CAT_DETECTS_ON_NOTICE) && category->RecordDetected != NULL)
            category->RecordDetected();
    }
}

static int NormalTrayIcon()
{
    return OptionRead("TrayIcon", IsWindowsNT() ? IDI_NORMAL_NT : IDI_NORMAL_9X);
}

int RunPatrol()
{
    TraceNote("VERIFY", "Enter Verify function");
    TraceElapsed();
    if (g_Patrol.AlertOpen || g_Patrol.Running)
        return 1;

    g_Patrol.Running = 1;
    if (g_Patrol.PatrolCount++ > 60) {
        // A shell that lost the icon without a "TaskbarCreated" gets it back.
        SetTrayIcon(TRAY_DELETE, 0, 0);
        SetTrayIcon(TRAY_ADD, 0, IDS_TIP_NORMAL);
        g_Patrol.PatrolCount = 0;
    }

    DWORD now = GetTickCount();
    if (now - g_Patrol.LastPatrolTime < 1000) {
        g_Patrol.LastPatrolTime = now;
        g_Patrol.Running = 0;
        TraceNote("VERIFY", "Exit Early because we recently did a verify");
        TraceElapsed();
        return 0;
    }
    g_Patrol.LastPatrolTime = now;

    // No "insert a disk" boxes while the steps probe files on removable or
    // vanished drives.
    UINT previousMode = SetErrorMode(0x01F40001);

    RunEveryPatrolRows();
    RunHalf(g_Patrol.HalfSelector == 0 ? 0 : 1);

    if (g_Patrol.ProcessNotice)
        RecordDatesAfterNotice();
    g_Patrol.HalfSelector = g_Patrol.HalfSelector ? 0 : 1;
    SetTrayStatus(NormalTrayIcon(), IDS_TIP_NORMAL);
    now = GetTickCount();
    if (now - g_Patrol.LastPatrolTime > 1000) {
        TraceNote("CATCH", "MonitorTimer > 1000");
        TraceElapsed();
        g_Patrol.LastPatrolTime = now;
    }
    g_Patrol.Running = 0;
    SetErrorMode(previousMode);
    TraceNote("VERIFY", "Exit Normal Verify");
    TraceElapsed();
    return 1;
}
