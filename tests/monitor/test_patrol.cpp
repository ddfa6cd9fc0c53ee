// The patrol driver, driven tick by tick on this thread: the countdown rule,
// the 17-tick patrol, the express-boot wait, the process-change notices,
// the early exit, and a half hour of ticks that must hold no resources.
#include <windows.h>

#include <psapi.h>

#include <string>
#include <vector>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/trace.h"
#include "categories/category.h"
#include "startup/autostart.h"
#include "monitor/alerts.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

std::string TracePath() { return vxtest::PathInProgramFolder("patrol-trace.txt"); }

size_t CountIn(const std::string& text, const char* part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

void SetOption(const char* name, const char* value)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name, value);
}

// Every new item is answered by its option, so no alert waits for a user:
// the store starts empty and the whole system is new.
void AnswerEverythingAutomatically()
{
    const char* hide[] = { "HideStartup", "HideIEHelper", "HideActiveX", "HideHidden",
                           "HideTasks", "HideServices", "HideFileType" };
    for (const char* option : hide)
        SetOption(option, "1");
}

// The last patrol lies well in the past, as it does after 34 seconds.
void AgeLastPatrol() { g_Patrol.LastPatrolTime = GetTickCount() - 5000; }

int StartupRow()
{
    for (int row = 0; row < CategoryCount(); row++)
        if (CategoryAt(row) == &g_StartupCategory)
            return row;
    return -1;
}

void Ticks(int count)
{
    for (int tick = 0; tick < count; tick++)
        PatrolTick();
}

class PatrolTest : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine();
        AnswerEverythingAutomatically();
        DeleteFileA(TracePath().c_str());
        TraceSetFile(TracePath().c_str());
        g_TraceBudget = 0;
        ResetPatrolState();
        g_ExpressBoot = 0;
        ReloadOptions();
        g_Patrol.LastProcessCount = CountRunningPrograms();
        AgeLastPatrol();
    }
    void TearDown() override { g_TraceBudget = 9999; }
    static size_t TraceCount(const char* text)
    {
        return CountIn(vxtest::ReadFileText(TracePath()), text);
    }
};

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
    // Period P runs at every P-th turn, no more, no less.
    for (int period = 1; period <= 7; period++) {
        int countdown = period;
        for (int turn = 1; turn <= period * 6; turn++)
            EXPECT_EQ(turn % period == 0, CountdownExpired(&countdown, period) == 1)
                << "period " << period << " turn " << turn;
    }
}

// --- Options ------------------------------------------------------------------------

TEST_F(PatrolTest, ReloadSetsEveryCountdownToItsPeriod)
{
    int value = 3;
    for (int row = 0; row < CategoryCount(); row++) {
        if (CategoryAt(row)->PeriodOption < 0)
            continue;  // every patrol
        OptionId period = (OptionId)CategoryAt(row)->PeriodOption;
        EXPECT_EQ(OptionDefault(period), g_Patrol.Period[row]) << CategoryAt(row)->Label;
        SetOption(OptionName(period), std::to_string(value++).c_str());
        g_Patrol.Countdown[row] = 1;
    }
    // "Update" not set: nothing is read.
    EXPECT_EQ(0, ReloadOptionsIfUpdated());
    EXPECT_EQ(1, g_Patrol.Countdown[StartupRow()]);
    SetOption("Update", "1");
    EXPECT_EQ(1, ReloadOptionsIfUpdated());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    EXPECT_EQ(0, ReloadOptionsIfUpdated());
    value = 3;
    for (int row = 0; row < CategoryCount(); row++) {
        if (CategoryAt(row)->PeriodOption < 0)
            continue;
        EXPECT_EQ(value, g_Patrol.Period[row]) << CategoryAt(row)->Label;
        EXPECT_EQ(value++, g_Patrol.Countdown[row]) << CategoryAt(row)->Label;
    }
}

// --- The process-count check -----------------------------------------------------------

TEST_F(PatrolTest, OnlyADifferentProcessCountForcesTheRealTimeCategoriesAndTheFirstHalf)
{
    SetOption("RealtimeStartup", "1");
    SetOption("RealtimeIEHelper", "0");
    SetOption("Update", "1");
    g_Patrol.TickCounter = 3;
    g_Patrol.HalfSelector = 1;
    VerifyTasks();  // the same count: nothing changes
    EXPECT_EQ(3, g_Patrol.TickCounter);
    EXPECT_EQ(1, g_Patrol.HalfSelector);
    EXPECT_EQ(2, g_Patrol.Countdown[StartupRow()]);
    EXPECT_EQ(1u, TraceCount("TASKS: Check for Task Change"));

    g_Patrol.LastProcessCount = -1;
    int count = VerifyTasks();
    EXPECT_EQ(CountRunningPrograms(), count);
    EXPECT_EQ(count, g_Patrol.LastProcessCount);
    EXPECT_EQ(16, g_Patrol.TickCounter);
    EXPECT_EQ(0, g_Patrol.HalfSelector);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    for (int row = 0; row < CategoryCount(); row++) {
        const Category* category = CategoryAt(row);
        bool forced = category->RealtimeOption >= 0 && g_Options[category->RealtimeOption] != 0;
        EXPECT_EQ(forced ? 1 : g_Patrol.Period[row], g_Patrol.Countdown[row]) << category->Label;
    }
    // The patrol it brings forward runs the forced first-half categories.
    PatrolTick();
    EXPECT_EQ(1u, TraceCount("VERIFY: Startup Programs"));
    EXPECT_EQ(1, g_Patrol.HalfSelector);
}

// --- Ticks -----------------------------------------------------------------------------

TEST_F(PatrolTest, TheSeventeenthTickPatrolsOrTheFortyFifthWithExpressBoot)
{
    const struct { int expressBoot, patrolTick; } cases[] = { { 0, 17 }, { 45, 45 } };
    for (const auto& c : cases) {
        size_t before = TraceCount("VERIFY: Exit Normal Verify");
        g_ExpressBoot = c.expressBoot;
        g_Patrol.HalfSelector = 0;
        AgeLastPatrol();
        Ticks(c.patrolTick - 1);
        EXPECT_EQ(c.patrolTick - 1, g_Patrol.TickCounter);
        EXPECT_EQ(before, TraceCount("VERIFY: Exit Normal Verify"));
        PatrolTick();
        EXPECT_EQ(before + 1, TraceCount("VERIFY: Exit Normal Verify"));
        EXPECT_EQ(0, g_Patrol.TickCounter);
        EXPECT_EQ(0, g_ExpressBoot);
        EXPECT_EQ(1, g_Patrol.HalfSelector);
    }
}

TEST_F(PatrolTest, CategoriesRunOnTheirOwnPeriodInTheirHalf)
{
    // Startup programs every first half, the pages every other, the
    // services every second half; "0" never.  The update mode is looked at
    // on every patrol.
    SetOption("Start", "1");
    SetOption("StartPage", "2");
    SetOption("Services", "1");
    ReloadOptions();
    for (int patrol = 0; patrol < 8; patrol++) {
        AgeLastPatrol();
        EXPECT_EQ(1, RunPatrol());
    }
    EXPECT_EQ(4u, TraceCount("VERIFY: Startup Programs"));
    EXPECT_EQ(2u, TraceCount("VERIFY: IE Start/Search Page"));
    EXPECT_EQ(4u, TraceCount("VERIFY: Check for change to Services"));
    EXPECT_EQ(8u, TraceCount("VERIFY: Verify Automatica Updates"));
    EXPECT_EQ(0u, TraceCount("VERIFY: IE Helpers"));  // nothing of it to patrol yet
    SetOption("Start", "0");
    ReloadOptions();
    for (int patrol = 0; patrol < 4; patrol++) {
        AgeLastPatrol();
        RunPatrol();
    }
    EXPECT_EQ(4u, TraceCount("VERIFY: Startup Programs"));
}

TEST_F(PatrolTest, APatrolRightAfterAnotherOrDuringAnAlertDoesNoWork)
{
    g_Patrol.LastPatrolTime = GetTickCount();
    g_Patrol.TickCounter = 16;
    PatrolTick();
    EXPECT_EQ(1u, TraceCount("VERIFY: Exit Early because we recently did a verify"));
    EXPECT_EQ(0, g_Patrol.TickCounter);
    EXPECT_EQ(0, g_Patrol.Running);
    g_Patrol.LastPatrolTime = GetTickCount();
    EXPECT_EQ(0, RunPatrol());

    // An open alert refuses the patrol and the count starts again.
    AgeLastPatrol();
    g_Patrol.AlertOpen = 1;
    g_Patrol.TickCounter = 16;
    g_Patrol.ProcessNotice = 1;
    PatrolTick();
    EXPECT_EQ(0, g_Patrol.TickCounter);
    EXPECT_EQ(0, g_Patrol.ProcessNotice);
    g_Patrol.Running = 1;  // and so does a running one
    g_Patrol.AlertOpen = 0;
    EXPECT_EQ(1, RunPatrol());
    g_Patrol.Running = 0;
    EXPECT_EQ(0, g_Patrol.HalfSelector);
    EXPECT_EQ(0u, TraceCount("VERIFY: Verify Automatica Updates"));
}

// --- Process-change notices ----------------------------------------------------------------

TEST_F(PatrolTest, FourNoticesInARowWithTheSameCountMeanAConflict)
{
    for (int tick = 1; tick <= 4; tick++) {
        PostMessageA(g_MainWindow, WM_VX_PROCESS_CHANGE, 0, 0);
        vxtest::PumpMessages(0);
        ASSERT_EQ(1, g_Patrol.ProcessNotice);
        PatrolTick();
        EXPECT_EQ(0, g_Patrol.ProcessNotice);
        EXPECT_EQ(tick < 4 ? tick : 0, g_Patrol.NoticeChecksInRow) << "tick " << tick;
    }
    EXPECT_EQ(3u, TraceCount("TASKS: Check for Task Change"));
    EXPECT_EQ(1u, TraceCount("RID: Possible System Conflict"));
    PatrolTick();  // a tick without a notice starts the count again
    EXPECT_EQ(0, g_Patrol.NoticeChecksInRow);
}

TEST_F(PatrolTest, ANoticeWaitsWhileAnAlertIsOpenOrTheBootWaits)
{
    g_Patrol.ProcessNotice = 1;
    const struct { int alertOpen, expressBoot, noticeAfter; } steps[] = {
        { 1, 0, 1 }, { 0, 5, 1 }, { 0, 0, 0 },
    };
    for (const auto& s : steps) {
        g_Patrol.AlertOpen = s.alertOpen;
        g_ExpressBoot = s.expressBoot;
        PatrolTick();
        EXPECT_EQ(s.noticeAfter, g_Patrol.ProcessNotice);
    }
    EXPECT_EQ(1u, TraceCount("TASKS: Check for Task Change"));
}

TEST_F(PatrolTest, TheLauncherStepsEverySixthTickWhileProgramsWait)
{
    ResetDelayedLauncher(2);
    Ticks(18);
    EXPECT_EQ(3, g_Patrol.DelayStep);
    EXPECT_EQ(0, g_Patrol.DelayTicks);
    ResetDelayedLauncher(0);
    Ticks(12);
    EXPECT_EQ(0, g_Patrol.DelayStep);
}

// --- Half an hour ---------------------------------------------------------------------------

// GDI and USER objects, handles and private bytes of this process.
std::vector<SIZE_T> MeasureUsage()
{
    HANDLE self = GetCurrentProcess();
    DWORD handles = 0;
    GetProcessHandleCount(self, &handles);
    // Looked up at run time: the test links no PSAPI import library.
    typedef BOOL(WINAPI * MemoryInfoFn)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    static MemoryInfoFn memoryInfo = (MemoryInfoFn)(void*)GetProcAddress(
        LoadLibraryA("psapi.dll"), "GetProcessMemoryInfo");
    PROCESS_MEMORY_COUNTERS_EX memory;
    ZeroMemory(&memory, sizeof(memory));
    if (memoryInfo != NULL)
        memoryInfo(self, (PROCESS_MEMORY_COUNTERS*)&memory, sizeof(memory));
    return { GetGuiResources(self, GR_GDIOBJECTS), GetGuiResources(self, GR_USEROBJECTS), handles,
             memory.PrivateUsage };
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
    std::vector<SIZE_T> start;
    for (int tick = 1; tick <= ticks; tick++) {
        if (tick % 97 == 0) {
            std::string name = "VxPatrol" + std::to_string(tick);
            std::string data = "C:\\Programs\\patrol" + std::to_string(tick) + ".exe -quiet";
            vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, name.c_str(), data.c_str());
        }
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
    EXPECT_EQ(0, g_Patrol.Running);
    EXPECT_EQ(0, g_Patrol.AlertOpen);
    // The startup step did run all along: every program added on the way
    // was answered (kept) and joined the baseline.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Programs\\patrol97.exe -quiet", "11");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\Programs\\patrol776.exe -quiet", "11");
    for (int tick = 97; tick <= ticks; tick += 97)
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY,
                            ("VxPatrol" + std::to_string(tick)).c_str());
}

}  // namespace
