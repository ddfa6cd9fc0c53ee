// The patrol driver, driven tick by tick on this thread: the countdown rule,
// the 17-tick patrol, the express-boot wait, the process-change notices,
// the early exit, and a half hour of ticks that must hold no resources.
#include <windows.h>

#include <psapi.h>

#include <string>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/process_list.h"
#include "foundation/trace.h"
#include "monitor/alerts.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

std::string TracePath()
{
    return vxtest::PathInProgramFolder("patrol-trace.txt");
}

class PatrolTest : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine(true);
        // Every new item is answered by its option, so no alert waits for
        // a user: the store starts empty and the whole system is new.
        const char* hide[] = { "HideStartup", "HideIEHelper", "HideActiveX", "HideHidden",
                               "HideTasks", "HideServices", "HideFileType" };
        for (const char* option : hide)
            SetOption(option, "1");
        DeleteFileA(TracePath().c_str());
        TraceSetFile(TracePath().c_str());
        g_TraceBudget = 0;
        g_RestartCountdown = 0;
        ReloadOptions();
        g_TickCounter = 0;
        g_PatrolRunning = 0;
        g_AlertOpen = 0;
        g_ProcessNotice = 0;
        g_NoticeChecksInRow = 0;
        g_HalfSelector = 0;
        g_PatrolCount = 0;
        g_ExpressBoot = 0;
        g_LastProcessCount = CountNow();
        AgeLastPatrol();
    }
    void TearDown() override { g_TraceBudget = 9999; }

    static int CountNow();
    // The last patrol lies well in the past, as it does after 34 seconds.
    static void AgeLastPatrol() { g_LastPatrolTime = GetTickCount() - 5000; }
    static std::string Trace() { return vxtest::ReadFileText(TracePath()); }
    static size_t TraceCount(const char* text)
    {
        std::string t = Trace();
        size_t n = 0;
        for (size_t at = t.find(text); at != std::string::npos; at = t.find(text, at + 1))
            n++;
        return n;
    }
    static void SetOption(const char* name, const char* value)
    {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, value);
    }
};

int PatrolTest::CountNow()
{
    return CountProcesses();
}

// --- The countdown rule ------------------------------------------------------------

TEST(CountdownRule, ExpiresReloadsOrRests)
{
    const struct { int countdown, period, runs, after; } cases[] = {
        { 0, 5, 0, 0 },     // a period of 0 switched the category off
        { 1, 5, 1, 5 },     // expires: run, reload with the period
        { 2, 5, 0, 1 },     // counts down
        { 1, 0, 1, 0 },     // a forced run of a switched-off category reloads 0
        { -3, 2, 0, -3 },   // a negative countdown never moves
        { 1, 1, 1, 1 },     // period 1: every turn
        { 99999, 5, 0, 99998 },
        { 1, -4, 1, -4 },   // a negative period rests after one run
    };
    for (const auto& c : cases) {
        int countdown = c.countdown;
        EXPECT_EQ(c.runs, CountdownExpired(&countdown, c.period)) << c.countdown << "/" << c.period;
        EXPECT_EQ(c.after, countdown) << c.countdown << "/" << c.period;
    }
}

TEST(CountdownRule, PeriodPRunsEveryPTurns)
{
    for (int period = 1; period <= 7; period++) {
        int countdown = period, runs = 0;
        for (int turn = 1; turn <= period * 6; turn++) {
            int ran = CountdownExpired(&countdown, period);
            runs += ran;
            EXPECT_EQ(turn % period == 0, ran == 1) << "period " << period << " turn " << turn;
        }
        EXPECT_EQ(6, runs);
    }
}

// --- Options ------------------------------------------------------------------------

TEST_F(PatrolTest, ReloadSetsEveryCountdownToItsPeriod)
{
    const struct { const char* option; int row; } rows[] = {
        { "Start", ROW_STARTUP }, { "IEHelpers", ROW_IEHELPERS }, { "Hidden", ROW_HIDDEN },
        { "ActiveX", ROW_ACTIVEX }, { "HostFile", ROW_SYSFILES }, { "StartPage", ROW_STARTPAGE },
        { "FileType", ROW_FILETYPE }, { "Tasks", ROW_TASKS }, { "Services", ROW_SERVICES },
        { "Nuts", ROW_NUTS }, { "Cookies", ROW_COOKIES },
    };
    int value = 3;
    for (const auto& r : rows) {
        SetOption(r.option, std::to_string(value).c_str());
        g_Countdown[r.row] = 1;
        value++;
    }
    ReloadOptions();
    value = 3;
    for (const auto& r : rows) {
        EXPECT_EQ(value, g_Period[r.row]) << r.option;
        EXPECT_EQ(value, g_Countdown[r.row]) << r.option;
        value++;
    }
}

TEST_F(PatrolTest, DefaultPeriods)
{
    const int expected[ROW_COUNT] = { 2, 2, 0, 4, 3, 2, 10, 11, 5, 7, 0, 0 };
    for (int row = 0; row < ROW_COUNT; row++)
        EXPECT_EQ(expected[row], g_Period[row]) << "row " << row;
}

TEST_F(PatrolTest, TheRestartCommandsCountdownIsOnlyRaised)
{
    const struct { int before; const char* period; int after; } cases[] = {
        { 99999, "5", 99999 }, { 2, "5", 5 }, { 5, "5", 5 }, { 0, "0", 0 }, { 7, "3", 7 },
    };
    for (const auto& c : cases) {
        g_RestartCountdown = c.before;
        SetOption("WinInit", c.period);
        ReloadOptions();
        EXPECT_EQ(c.after, g_RestartCountdown) << c.before << " with " << c.period;
    }
}

TEST_F(PatrolTest, TheUpdateFlagReloadsOnceAndIsReset)
{
    SetOption("Start", "9");
    EXPECT_EQ(0, ReloadOptionsIfUpdated());  // no "Update": nothing read
    EXPECT_EQ(2, g_Period[ROW_STARTUP]);
    SetOption("Update", "1");
    g_Countdown[ROW_STARTUP] = 1;
    EXPECT_EQ(1, ReloadOptionsIfUpdated());
    EXPECT_EQ(9, g_Period[ROW_STARTUP]);
    EXPECT_EQ(9, g_Countdown[ROW_STARTUP]);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    EXPECT_EQ(0, ReloadOptionsIfUpdated());
}

// --- The process-count check -----------------------------------------------------------

TEST_F(PatrolTest, ADifferentProcessCountForcesTheRealTimeCategories)
{
    SetOption("RealtimeHidden", "1");
    SetOption("RealtimeServices", "0");
    SetOption("Update", "1");
    g_HalfSelector = 1;
    g_LastProcessCount = -1;
    int count = VerifyTasks();
    EXPECT_EQ(CountNow(), count);
    EXPECT_EQ(count, g_LastProcessCount);
    EXPECT_EQ(16, g_TickCounter);
    EXPECT_EQ(0, g_HalfSelector);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    const struct { int row; int countdown; } expected[] = {
        { ROW_STARTUP, 1 }, { ROW_IEHELPERS, 1 }, { ROW_HIDDEN, 1 }, { ROW_ACTIVEX, 1 },
        { ROW_SYSFILES, 1 }, { ROW_STARTPAGE, 1 }, { ROW_FILETYPE, 10 }, { ROW_TASKS, 11 },
        { ROW_SERVICES, 7 }, { ROW_NUTS, 0 }, { ROW_COOKIES, 0 },
    };
    for (const auto& e : expected)
        EXPECT_EQ(e.countdown, g_Countdown[e.row]) << "row " << e.row;
}

TEST_F(PatrolTest, TheSameProcessCountChangesNothing)
{
    g_TickCounter = 3;
    g_HalfSelector = 1;
    VerifyTasks();
    EXPECT_EQ(3, g_TickCounter);
    EXPECT_EQ(1, g_HalfSelector);
    EXPECT_EQ(2, g_Countdown[ROW_STARTUP]);
    EXPECT_NE(std::string::npos, Trace().find("Check for Task Change"));
}

// --- Ticks -----------------------------------------------------------------------------

TEST_F(PatrolTest, EverySeventeenthTickPatrolsOneHalf)
{
    for (int tick = 1; tick <= 16; tick++)
        PatrolTick();
    EXPECT_EQ(0u, TraceCount("VERIFY: Enter Verify function"));
    EXPECT_EQ(16, g_TickCounter);
    PatrolTick();
    EXPECT_EQ(1u, TraceCount("VERIFY: Exit Normal Verify"));
    EXPECT_EQ(0, g_TickCounter);
    EXPECT_EQ(1, g_HalfSelector);
    EXPECT_EQ(1u, TraceCount("VERIFY: Verify Automatica Updates"));
    AgeLastPatrol();
    for (int tick = 1; tick <= 17; tick++)
        PatrolTick();
    EXPECT_EQ(2u, TraceCount("VERIFY: Exit Normal Verify"));
    EXPECT_EQ(0, g_HalfSelector);
}

TEST_F(PatrolTest, CategoriesRunOnTheirOwnPeriod)
{
    // IE helpers every first half, file types every other, services every
    // second half; "Hidden" = 0 never.
    SetOption("IEHelpers", "1");
    SetOption("FileType", "2");
    SetOption("Services", "1");
    ReloadOptions();
    for (int patrol = 0; patrol < 8; patrol++) {
        AgeLastPatrol();
        EXPECT_EQ(1, RunPatrol());
    }
    EXPECT_EQ(4u, TraceCount("VERIFY: IE Helpers"));
    EXPECT_EQ(2u, TraceCount("VERIFY: File Types"));
    EXPECT_EQ(4u, TraceCount("VERIFY: Check for change to Services"));
    EXPECT_EQ(0u, TraceCount("VERIFY: Hidden Files"));
    EXPECT_EQ(0u, TraceCount("VERIFY: Win INIT file"));  // the NT family has no wininit.ini
    EXPECT_EQ(8u, TraceCount("VERIFY: Verify Automatica Updates"));
}

TEST_F(PatrolTest, ExpressBootHoldsTheFirstPatrolUntilTheFortyFifthTick)
{
    g_ExpressBoot = 45;
    for (int tick = 1; tick <= 44; tick++)
        PatrolTick();
    EXPECT_EQ(0u, TraceCount("VERIFY: Enter Verify function"));
    EXPECT_EQ(44, g_TickCounter);
    PatrolTick();
    EXPECT_EQ(1u, TraceCount("VERIFY: Exit Normal Verify"));
    EXPECT_EQ(0, g_TickCounter);
    EXPECT_EQ(0, g_ExpressBoot);
}

TEST_F(PatrolTest, APatrolRightAfterAnotherDoesNoWork)
{
    g_LastPatrolTime = GetTickCount();
    g_TickCounter = 16;
    PatrolTick();
    EXPECT_EQ(1u, TraceCount("VERIFY: Exit Early because we recently did a verify"));
    EXPECT_EQ(0u, TraceCount("VERIFY: Verify Automatica Updates"));
    EXPECT_EQ(0, g_HalfSelector);
    EXPECT_EQ(0, g_TickCounter);
    EXPECT_EQ(0, g_PatrolRunning);
    g_LastPatrolTime = GetTickCount();
    EXPECT_EQ(0, RunPatrol());
}

TEST_F(PatrolTest, AnOpenAlertRefusesThePatrolAndTheCountStartsAgain)
{
    g_AlertOpen = 1;
    g_TickCounter = 16;
    g_ProcessNotice = 1;
    PatrolTick();
    EXPECT_EQ(0, g_TickCounter);
    EXPECT_EQ(0, g_ProcessNotice);
    EXPECT_EQ(0, g_HalfSelector);
    EXPECT_EQ(0u, TraceCount("VERIFY: Verify Automatica Updates"));
    g_PatrolRunning = 1;
    g_AlertOpen = 0;
    EXPECT_EQ(1, RunPatrol());
    g_PatrolRunning = 0;
}

TEST_F(PatrolTest, TheSixtySecondPatrolAddsTheTrayIconAgain)
{
    g_PatrolCount = 60;
    RunPatrol();
    EXPECT_EQ(61, g_PatrolCount);
    AgeLastPatrol();
    RunPatrol();
    EXPECT_EQ(0, g_PatrolCount);
}

TEST_F(PatrolTest, FourNoticesInARowWithTheSameCountMeanAConflict)
{
    for (int tick = 1; tick <= 4; tick++) {
        PostMessageA(g_MainWindow, WM_VX_PROCESS_CHANGE, 0, 0);
        vxtest::PumpMessages(0);
        ASSERT_EQ(1, g_ProcessNotice);
        PatrolTick();
        EXPECT_EQ(0, g_ProcessNotice);
        EXPECT_EQ(tick < 4 ? tick : 0, g_NoticeChecksInRow) << "tick " << tick;
    }
    EXPECT_EQ(3u, TraceCount("TASKS: Check for Task Change"));
    EXPECT_EQ(1u, TraceCount("RID: Possible System Conflict"));
    PatrolTick();  // a tick without a notice starts the count again
    EXPECT_EQ(0, g_NoticeChecksInRow);
}

TEST_F(PatrolTest, ANoticeWaitsWhileAnAlertIsOpen)
{
    g_ProcessNotice = 1;
    g_AlertOpen = 1;
    PatrolTick();
    EXPECT_EQ(1, g_ProcessNotice);
    EXPECT_EQ(0u, TraceCount("TASKS: Check for Task Change"));
    g_AlertOpen = 0;
    g_ExpressBoot = 5;
    PatrolTick();
    EXPECT_EQ(1, g_ProcessNotice);
    g_ExpressBoot = 0;
    PatrolTick();
    EXPECT_EQ(0, g_ProcessNotice);
    EXPECT_EQ(1u, TraceCount("TASKS: Check for Task Change"));
}

TEST_F(PatrolTest, ANewProcessBringsAFirstHalfPatrolToTheNextTick)
{
    SetOption("IEHelpers", "9");
    ReloadOptions();
    g_HalfSelector = 1;
    g_LastProcessCount = CountNow() + 1;  // as if a program had ended
    g_ProcessNotice = 1;
    PatrolTick();
    EXPECT_EQ(16, g_TickCounter);
    PatrolTick();
    EXPECT_EQ(1u, TraceCount("VERIFY: Exit Normal Verify"));
    EXPECT_EQ(1u, TraceCount("VERIFY: IE Helpers"));  // real-time: forced to 1
    EXPECT_EQ(9, g_Countdown[ROW_IEHELPERS]);
    EXPECT_EQ(1, g_HalfSelector);
}

// --- The delayed-start launcher -----------------------------------------------------------

TEST_F(PatrolTest, TheLauncherStepsEverySixthTickWhileProgramsWait)
{
    ResetDelayedLauncher(2);
    for (int tick = 1; tick <= 18; tick++)
        PatrolTick();
    EXPECT_EQ(3, g_DelayStep);
    EXPECT_EQ(0, g_DelayTicks);
    ResetDelayedLauncher(0);
    for (int tick = 1; tick <= 12; tick++)
        PatrolTick();
    EXPECT_EQ(0, g_DelayStep);
}

// --- Other Windows versions -------------------------------------------------------------

// Run as a child under another Windows version (below): four patrols with
// the system-file and restart-command rows due at every turn, traced into
// the file named by VX_TRACE_OUT.
TEST(PatrolChild, DISABLED_RunFourPatrols)
{
    vxtest::ResetStore();
    StartMonitorSpine(true);
    const char* options[][2] = {
        { "HideStartup", "1" }, { "HideIEHelper", "1" }, { "HideActiveX", "1" },
        { "HideHidden", "1" }, { "HideTasks", "1" }, { "HideServices", "1" },
        { "HideFileType", "1" }, { "HostFile", "1" }, { "WinInit", "1" },
    };
    for (const auto& o : options)
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, o[0], o[1]);
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("VX_TRACE_OUT", path, sizeof(path));
    TraceSetFile(path);
    g_TraceBudget = 0;
    g_RestartCountdown = 0;
    ReloadOptions();
    for (int patrol = 0; patrol < 4; patrol++) {
        g_LastPatrolTime = GetTickCount() - 5000;
        RunPatrol();
    }
}

// The trace of the child run under the Windows version given.
std::string PatrolTraceUnder(const char* version)
{
    std::string self = vxtest::PathInProgramFolder("monitor_test_patrol.exe");
    std::string name = std::string("patrol_") + version + ".exe";
    std::string copy = vxtest::PathInProgramFolder(name.c_str());
    EXPECT_TRUE(CopyFileA(self.c_str(), copy.c_str(), FALSE));
    std::string key = "Software\\Wine\\AppDefaults\\" + name;
    vxtest::SetString(HKEY_CURRENT_USER, key.c_str(), "Version", version);
    std::string out = vxtest::PathInProgramFolder((std::string("trace_") + version + ".txt").c_str());
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("VX_TRACE_OUT", out.c_str());
    int rc = vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                "--gtest_filter=PatrolChild.DISABLED_RunFourPatrols", 90000);
    EXPECT_EQ(0, rc) << version;
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    return vxtest::ReadFileText(out);
}

size_t CountIn(const std::string& text, const char* part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

TEST(PatrolVersions, EachWindowsFamilyPatrolsItsOwnRows)
{
    const struct { const char* version; size_t sysFiles, restart; } cases[] = {
        { "winxp", 2, 0 },   // NT family: system files, no wininit.ini
        { "vista", 0, 0 },   // major version 6: no system files either
        { "win98", 2, 2 },   // Windows 98: both
    };
    for (const auto& c : cases) {
        std::string trace = PatrolTraceUnder(c.version);
        EXPECT_EQ(4u, CountIn(trace, "VERIFY: Exit Normal Verify")) << c.version;
        EXPECT_EQ(c.sysFiles, CountIn(trace, "VERIFY: Verify System Files")) << c.version;
        EXPECT_EQ(c.restart, CountIn(trace, "VERIFY: Win INIT file")) << c.version;
    }
}

// --- Half an hour ---------------------------------------------------------------------------

struct Usage {
    DWORD gdi, user, handles;
    SIZE_T privateBytes;
};

Usage MeasureUsage()
{
    Usage u;
    HANDLE self = GetCurrentProcess();
    u.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    u.user = GetGuiResources(self, GR_USEROBJECTS);
    u.handles = 0;
    GetProcessHandleCount(self, &u.handles);
    // Looked up at run time: the test links no PSAPI import library.
    typedef BOOL(WINAPI * MemoryInfoFn)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    static MemoryInfoFn memoryInfo = (MemoryInfoFn)(void*)GetProcAddress(
        LoadLibraryA("psapi.dll"), "GetProcessMemoryInfo");
    PROCESS_MEMORY_COUNTERS_EX memory;
    ZeroMemory(&memory, sizeof(memory));
    if (memoryInfo != NULL)
        memoryInfo(self, (PROCESS_MEMORY_COUNTERS*)&memory, sizeof(memory));
    u.privateBytes = memory.PrivateUsage;
    return u;
}

TEST_F(PatrolTest, HalfAnHourOfTicksHoldsNoResources)
{
    // Every category as often as it can run; new startup entries answered
    // by the "HideStartup" option (1: kept) so that no dialog waits.
    const char* periods[] = { "Start", "IEHelpers", "Hidden", "ActiveX", "HostFile",
                              "StartPage", "FileType", "Tasks", "Services", "Nuts", "Cookies" };
    for (const char* p : periods)
        SetOption(p, "1");
    ReloadOptions();
    g_TraceBudget = 9999;  // the trace file would grow by design

    const int ticks = 30 * 60 / 2;
    Usage start = {};
    for (int tick = 1; tick <= ticks; tick++) {
        if (tick % 97 == 0) {
            std::string name = "VxPatrol" + std::to_string(tick);
            std::string data = "C:\\Programs\\patrol" + std::to_string(tick) + ".exe -quiet";
            vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, name.c_str(), data.c_str());
        }
        if (tick % 41 == 0)
            PostMessageA(g_MainWindow, WM_VX_PROCESS_CHANGE, 0, 0);
        vxtest::PumpMessages(0);
        g_LastPatrolTime -= 2000;  // two seconds pass between ticks
        PatrolTick();
        if (tick == 120)
            start = MeasureUsage();
    }
    Usage end = MeasureUsage();
    EXPECT_LE(end.gdi, start.gdi + 2);
    EXPECT_LE(end.user, start.user + 2);
    EXPECT_LE(end.handles, start.handles + 4);
    EXPECT_LE(end.privateBytes, start.privateBytes + 512 * 1024);
    EXPECT_EQ(0, g_PatrolRunning);
    EXPECT_EQ(0, g_AlertOpen);
    // The startup step did run all along: every program added on the way
    // was answered (kept) and joined the baseline.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Programs\\patrol97.exe -quiet", "11");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Programs\\patrol776.exe -quiet", "11");
    for (int tick = 97; tick <= ticks; tick += 97) {
        std::string name = "VxPatrol" + std::to_string(tick);
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, name.c_str());
    }
}

}  // namespace
