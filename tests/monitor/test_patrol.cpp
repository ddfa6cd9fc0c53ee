// The patrol driver, driven tick by tick on this thread: the countdown rule,
// the 17-tick patrol, the express-boot wait, the process-change notices,
// the early exit, and a half hour of ticks that must hold no resources.
#include <windows.h>

#include <psapi.h>

#include <vector>

#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/trace.h"
#include "categories/category.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"
#include "monitor/patrol.h"
#include "monitor/tray.h"
#include "resources/monitor_resource.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

std::string TracePath() { return vxtest::PathInProgramFolder("patrol-trace.txt"); }

// How often the trace holds the text.
size_t Traced(const char* part) { return CountInFile(TracePath(), part); }

class PatrolTest : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine();
        // Every new item is answered by its option, so no alert waits for a
        // user: the store starts empty and the whole system is new.
        SetOptions({ "HideStartup", "1", "HideIEHelper", "1", "HideActiveX", "1", "HideHidden", "1",
                     "HideTasks", "1", "HideServices", "1", "HideFileType", "1" });
        DeleteFileA(TracePath().c_str());
        TraceSetFile(TracePath().c_str());
        g_TraceBudget = 0;
        ResetPatrolState();
        g_ExpressBoot = 0;
        ReloadOptions();
        g_Patrol.LastProcessCount = CountRunningPrograms();
        g_Patrol.LastPatrolTime = GetTickCount() - 5000;  // as it is after 34 seconds
    }
};

TEST_F(PatrolTest, TheSeventeenthTickPatrolsUnlessTheBootWaitsARecentPatrolOrAnAlert)
{
    // Switched off (0) rests; expiring runs and reloads the period; it
    // counts down; a forced run of a switched-off category reloads 0; a
    // negative countdown never moves; a negative period rests after one run.
    const struct { int countdown, period, runs, after;
    } countdowns[]
        = {{0, 5, 0, 0}, {1, 5, 1, 5}, {2, 5, 0, 1}, {1, 0, 1, 0}, {-3, 2, 0, -3}, {1, -4, 1, -4}};
    for (const auto& c : countdowns) {
        int countdown = c.countdown;
        EXPECT_EQ(c.runs * 100 + c.after, CountdownExpired(&countdown, c.period) * 100 + countdown)
            << c.countdown << "/" << c.period;
    }
    // The tick that patrols, the wait, what stands in the way, the programs
    // the delayed launcher waits for (a step every sixth tick), and how the
    // patrol ends (NULL: it is refused).
    const char* normal = "VERIFY: Exit Normal Verify";
    const struct { int tick, expressBoot, alertOpen, running, recent, toLaunch, steps;
                   const char* end; } cases[] = {
        { 17, 0, 0, 0, 0, 0, 0, normal },
        { 45, 45, 0, 0, 0, 2, 7, normal },
        { 17, 0, 0, 0, 1, 0, 0, "VERIFY: Exit Early because we recently did a verify" },
        { 17, 0, 1, 0, 0, 0, 0, NULL },
        { 17, 0, 0, 1, 0, 0, 0, NULL },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tick " << c.tick << " end " << (c.end ? c.end : "-"));
        ResetPatrolState();
        ResetDelayedLauncher(c.toLaunch);
        g_ExpressBoot = c.expressBoot;
        g_Patrol.AlertOpen = c.alertOpen;
        g_Patrol.Running = c.running;
        g_Patrol.LastPatrolTime = GetTickCount() - (c.recent ? 0 : 5000);
        const char* end = c.end ? c.end : "VERIFY: Exit";  // refused: neither ending
        size_t entered = Traced("VERIFY: Enter Verify function"), ended = Traced(end);
        for (int tick = 1; tick < c.tick; tick++)
            PatrolTick();
        EXPECT_EQ(entered, Traced("VERIFY: Enter Verify function"));
        PatrolTick();
        EXPECT_EQ(entered + 1, Traced("VERIFY: Enter Verify function"));
        EXPECT_EQ(ended + (c.end ? 1 : 0), Traced(end));
        EXPECT_EQ((c.end == normal ? "1 0 " : "0 0 ") + std::to_string(c.steps),
            std::to_string(g_Patrol.HalfSelector) + " " + std::to_string(g_Patrol.TickCounter) + " "
                + std::to_string(g_Patrol.DelayStep));
    }
}

TEST_F(PatrolTest, ADifferentProcessCountReloadsOptionsAndForcesTheFirstHalfNow)
{
    // Read at the change: startup programs in real time, the pages (first
    // half) every other patrol, the services (second half) every fifth.
    SetOptions({ "RealtimeStartup", "1", "RealtimeStartPage", "0", "StartPage", "2",
                 "Services", "5", "Update", "1" });
    g_Patrol.TickCounter = 3;
    g_Patrol.HalfSelector = 1;
    PatrolState before = g_Patrol;
    VerifyTasks();  // the same count: nothing changes, nothing is read
    EXPECT_EQ(0, memcmp(&before, &g_Patrol, sizeof(before)));

    g_Patrol.LastProcessCount = -1;
    EXPECT_EQ(VerifyTasks(), g_Patrol.LastProcessCount);
    EXPECT_EQ(0, ReloadOptionsIfUpdated());  // read once: "Update" is back to 0
    // Every countdown reloaded with its period, the real-time ones forced.
    for (int row = 0; row < CategoryCount(); row++) {
        const Category* category = CategoryAt(row);
        bool forced = category->RealtimeOption >= 0 && g_Options[category->RealtimeOption] != 0;
        EXPECT_EQ(forced ? 1 : g_Patrol.Period[row], g_Patrol.Countdown[row]) << category->Label;
        EXPECT_TRUE(category->PeriodOption != OPT_Services || g_Patrol.Period[row] == 5);
    }
    // The very next tick patrols the first half: the forced rows and those
    // of every patrol run, a row whose countdown has not run out waits.
    PatrolTick();
    EXPECT_EQ("1100", std::to_string(Traced("VERIFY: Startup Programs")) +
                          std::to_string(Traced("VERIFY: Verify Automatica Updates")) +
                          std::to_string(Traced("VERIFY: IE Start/Search Page")) +
                          std::to_string(Traced("VERIFY: Check for change to Services")));
    EXPECT_EQ(1, g_Patrol.HalfSelector);
}

TEST_F(PatrolTest, NoticesWaitForTheAlertAndTheBootAndFourChecksInARowMeanAConflict)
{
    // Tick by tick: a notice posted, an open alert, the boot's wait; then
    // whether the notice still waits and the checks in a row so far.
    const struct { int notice, alertOpen, expressBoot, waits, inRow; } ticks[] = {
        { 1, 1, 0, 1, 0 }, { 0, 0, 5, 1, 0 }, { 0, 0, 0, 0, 1 }, { 1, 0, 0, 0, 2 },
        { 1, 0, 0, 0, 3 }, { 1, 0, 0, 0, 0 },  // the fourth: a conflict, not a check
        { 1, 0, 0, 0, 1 }, { 0, 0, 0, 0, 0 },  // a tick without a notice starts again
    };
    for (const auto& t : ticks) {
        if (t.notice)
            PostMessageA(g_MainWindow, WM_VX_PROCESS_CHANGE, 0, 0);
        vxtest::PumpMessages(0);
        g_Patrol.AlertOpen = t.alertOpen;
        g_ExpressBoot = t.expressBoot;
        PatrolTick();
        EXPECT_EQ(std::make_pair(t.waits, t.inRow),
            std::make_pair(g_Patrol.ProcessNotice, g_Patrol.NoticeChecksInRow));
    }
    EXPECT_EQ(4u, Traced("TASKS: Check for Task Change"));
    EXPECT_EQ(1u, Traced("RID: Possible System Conflict"));
}

// The launcher takes a step of 10 s every sixth tick: a program delayed by
// 20 s is handled at the second step (tick 12), and only then.  One that
// cannot start is handled all the same.
TEST_F(PatrolTest, TheLauncherHandlesADelayedProgramAtItsStep)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_DELAY_KEY, "C:\\vx\\late.exe", "11");
    vxtest::SetString(HKEY_CURRENT_USER, VX_DELAY_KEY "\\Time", "C:\\vx\\late.exe", "20");
    ResetDelayedLauncher(1);
    for (int tick = 1; tick <= 16; tick++) {
        PatrolTick();
        EXPECT_EQ(tick >= 12 ? 1 : 0, g_Patrol.DelayLaunched) << tick;
    }
}

// GDI and USER objects, handles and private bytes of this process.
std::vector<SIZE_T> MeasureUsage()
{
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    // Looked up at run time: the test links no PSAPI import library.
    static auto memoryInfo = (BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD))(void*)
        GetProcAddress(LoadLibraryA("psapi.dll"), "GetProcessMemoryInfo");
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    if (memoryInfo != NULL)
        memoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&memory, sizeof(memory));
    return { GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
             GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), handles, memory.PrivateUsage };
}

// A half quick enough not to be seen leaves the tray icon as it shows; an
// icon an alert put up goes back to normal all the same.
TEST_F(PatrolTest, AQuickHalfLeavesTheTrayIconAlone)
{
    SetTrayIcon(TRAY_ADD, 0, IDS_TIP_NORMAL);
    for (int row = 0; row < CategoryCount() && row < PATROL_ROWS_MAX; row++)
        g_Patrol.Countdown[row] = 1000;  // no row due: a quick patrol
    int calls[3];
    for (int run = 0; run < 3; run++) {
        if (run == 2)
            SetTrayStatus(IDI_ALERT, IDS_TIP_STARTUP);  // as an alert does
        int before = TrayRoundTrips();
        g_Patrol.HalfSelector = 0;
        g_Patrol.LastPatrolTime = GetTickCount() - 5000;
        ASSERT_EQ(1, RunPatrol());
        calls[run] = TrayRoundTrips() - before;
    }
    EXPECT_LE(calls[0], 2);
    EXPECT_EQ(0, calls[1]) << "a quick half after a quick one";
    EXPECT_EQ(1, calls[2]) << "the alert's icon back to normal";
}

TEST_F(PatrolTest, HalfAnHourOfTicksHoldsNoResources)
{
    // Every category as often as it can run; new startup entries answered
    // by the "HideStartup" option (1: kept) so that no dialog waits.  The
    // entries stay: the prefix is this program's own.
    SetOptions({ "Start", "1", "IEHelpers", "1", "Hidden", "1", "ActiveX", "1", "HostFile", "1",
                 "StartPage", "1", "FileType", "1", "Tasks", "1", "Services", "1", "Nuts", "1",
                 "Cookies", "1" });
    ReloadOptions();
    g_TraceBudget = 9999;  // the trace file would grow by design
    std::vector<SIZE_T> start;
    for (int tick = 1; tick <= 30 * 60 / 2; tick++) {
        if (tick % 97 == 0)
            vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY,
                ("VxPatrol" + std::to_string(tick)).c_str(),
                ("C:\\Programs\\patrol" + std::to_string(tick) + ".exe -quiet").c_str());
        if (tick % 41 == 0)
            PostMessageA(g_MainWindow, WM_VX_PROCESS_CHANGE, 0, 0);
        vxtest::PumpMessages(0);
        g_Patrol.LastPatrolTime -= 2000;  // two seconds pass between ticks
        PatrolTick();
        if (tick == 120)
            start = MeasureUsage();
    }
    std::vector<SIZE_T> end = MeasureUsage();
    const SIZE_T slack[] = { 2, 2, 4, 512 * 1024 };  // GDI, USER, handles, bytes
    for (int i = 0; i < 4; i++)
        EXPECT_LE(end[i], start[i] + slack[i]) << "measure " << i;
    // The startup step did run all along (no patrol or alert stuck): the
    // last program added on the way was answered (kept) and joined the baseline.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Programs\\patrol776.exe -quiet", "11");
}

}  // namespace
