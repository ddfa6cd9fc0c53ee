// Change notices against Wine's real registry and folder notices: places
// armed (missing keys at their parent, many places in groups), a write
// that marks its row, a storm that marks it once, a key deleted and made
// again, a removed folder, and the once-a-tick step with the busy guard.
#include <windows.h>

#include <string>

#include "categories/category.h"
#include "foundation/options.h"
#include "foundation/trace.h"
#include "monitor/change_watch.h"
#include "monitor/patrol.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

#define WATCHED "Software\\VxWatchTest"
const int kRow = 0;  // a step that runs every patrol and finds nothing here

const WatchPlace kOneKey[] = {
    { WATCH_KEY, HKEY_CURRENT_USER, WATCHED "\\Run", NULL, 0 },
    { WATCH_END, NULL, NULL, NULL, 0 },
};

class ChangeWatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine();
        RegDeleteKeyTree(HKEY_CURRENT_USER, WATCHED);
        ResetPatrolState();
        ReloadOptions();
        g_ExpressBoot = 0;
        ChangeWatchDisarm();
    }
    void TearDown() override
    {
        ChangeWatchDisarm();
        RegDeleteKeyTree(HKEY_CURRENT_USER, WATCHED);
    }
};

void Write(const char* path, const char* name)
{
    vxtest::SetString(HKEY_CURRENT_USER, path, name, "C:\\x.exe");
}

// Polls for a while: a notice comes from the server a moment after the
// write.  Returns how many places signalled.
int PollFor(DWORD ms)
{
    int signalled = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        signalled += ChangeWatchPoll();
        Sleep(20);
    }
    return signalled;
}

TEST_F(ChangeWatchTest, AWriteMarksTheRowAndAStormMarksItOnce)
{
    vxtest::SetString(HKEY_CURRENT_USER, WATCHED "\\Run", "old", "x");
    ASSERT_EQ(1, ChangeWatchArmPlaces(kRow, kOneKey));
    EXPECT_STREQ("HKCU\\" WATCHED "\\Run", ChangeWatchWhere(0));
    EXPECT_EQ(0, PollFor(200));
    EXPECT_FALSE(ChangeWatchMarked(kRow));
    for (int i = 0; i < 2000; i++)
        Write(WATCHED "\\Run", ("v" + std::to_string(i % 50)).c_str());
    EXPECT_EQ(1, PollFor(300));
    EXPECT_TRUE(ChangeWatchMarked(kRow));
    // Signalled places wait out of the wait set: no handle to wait on.
    EXPECT_EQ(0, ChangeWatchGroupCount());
}

TEST_F(ChangeWatchTest, AMissingKeyIsWatchedThroughItsParentUntilItExists)
{
    vxtest::SetString(HKEY_CURRENT_USER, WATCHED, "x", "x");
    ASSERT_EQ(1, ChangeWatchArmPlaces(kRow, kOneKey));
    EXPECT_STREQ("HKCU\\" WATCHED " (parent)", ChangeWatchWhere(0));
    Write(WATCHED "\\Run", "new");
    EXPECT_EQ(1, PollFor(300));
    EXPECT_EQ(1, RunNotifiedSteps());  // re-armed at the key itself
    EXPECT_STREQ("HKCU\\" WATCHED "\\Run", ChangeWatchWhere(0));
    // One flagged as existing only is not watched through a parent.
    WatchPlace existing[] = { kOneKey[0], kOneKey[1] };
    existing[0].Path = WATCHED "\\Missing";
    existing[0].Flags = WATCH_EXISTING;
    EXPECT_EQ(0, ChangeWatchArmPlaces(kRow, existing));
}

TEST_F(ChangeWatchTest, AKeyDeletedAndMadeAgainIsStillWatched)
{
    Write(WATCHED "\\Run", "first");
    ASSERT_EQ(1, ChangeWatchArmPlaces(kRow, kOneKey));
    ASSERT_TRUE(RegDeleteKeyTree(HKEY_CURRENT_USER, WATCHED "\\Run") != 0);
    // Windows signals the deleted key; Wine does not (this fails once it
    // does), and the place is armed again with the patrol's period.
    EXPECT_EQ(0, PollFor(300)) << "Wine signalled the deletion";
    for (int tick = 0; tick < 17; tick++)
        ChangeWatchTick();
    EXPECT_STREQ("HKCU\\" WATCHED " (parent)", ChangeWatchWhere(0));
    Write(WATCHED "\\Run", "again");
    EXPECT_EQ(1, PollFor(300)) << "made again";
    ChangeWatchTick();
    Write(WATCHED "\\Run", "later");
    EXPECT_EQ(1, PollFor(300)) << "a value in the new key";
}

TEST_F(ChangeWatchTest, TwoHundredPlacesArmInGroupsAndTheLastGroupIsHeard)
{
    static WatchPlace places[201];
    static char paths[200][64];
    for (int i = 0; i < 200; i++) {
        snprintf(paths[i], sizeof(paths[i]), WATCHED "\\K%d", i);
        vxtest::SetString(HKEY_CURRENT_USER, paths[i], "x", "x");
        places[i] = { WATCH_KEY, HKEY_CURRENT_USER, paths[i], NULL, 0 };
    }
    places[200] = kOneKey[1];
    ASSERT_EQ(200, ChangeWatchArmPlaces(kRow, places));
    EXPECT_EQ(4, ChangeWatchGroupCount());
    Write(paths[190], "y");
    EXPECT_EQ(1, PollFor(300));
    EXPECT_TRUE(ChangeWatchMarked(kRow));
}

TEST_F(ChangeWatchTest, AStepRunsOnceATickAndNotWhileAnAlertIsOpen)
{
    std::string trace = vxtest::PathInProgramFolder("watch-trace.txt");
    DeleteFileA(trace.c_str());
    TraceSetFile(trace.c_str());
    g_TraceBudget = 0;
    Write(WATCHED "\\Run", "a");
    ASSERT_EQ(1, ChangeWatchArmPlaces(kRow, kOneKey));
    Write(WATCHED "\\Run", "b");
    ASSERT_EQ(1, PollFor(300));
    int steps = ChangeWatchStepsRun(kRow);
    g_Patrol.AlertOpen = 1;
    EXPECT_EQ(0, RunNotifiedSteps());
    EXPECT_EQ(steps, ChangeWatchStepsRun(kRow)) << "held back";
    g_Patrol.AlertOpen = 0;
    EXPECT_EQ(1, RunNotifiedSteps());
    EXPECT_EQ(steps + 1, ChangeWatchStepsRun(kRow));
    EXPECT_EQ(0, ChangeWatchStepsRun(PATROL_ROWS_MAX));
    // The trace names the place, when it signalled and before the step.
    EXPECT_EQ(2u, CountInFile(trace, "NOTIFY: HKCU\\" WATCHED "\\Run"));
    g_TraceBudget = 9999;
    Write(WATCHED "\\Run", "c");
    ASSERT_EQ(1, PollFor(300));
    EXPECT_EQ(0, RunNotifiedSteps()) << "a second step in the same tick";
    EXPECT_TRUE(ChangeWatchMarked(kRow));
    ChangeWatchTick();
    EXPECT_FALSE(ChangeWatchMarked(kRow));
}

TEST_F(ChangeWatchTest, FoldersAreHeardAndARemovedOneFallsBackToItsParent)
{
    CreateDirectoryA("C:\\VxWatch", NULL);
    CreateDirectoryA("C:\\VxWatch\\Tasks", NULL);
    const WatchPlace folder[] = {
        { WATCH_FOLDER, NULL, "C:\\VxWatch\\Tasks", NULL, 0 },
        { WATCH_END, NULL, NULL, NULL, 0 },
    };
    ASSERT_EQ(1, ChangeWatchArmPlaces(kRow, folder));
    EXPECT_STREQ("C:\\VxWatch\\Tasks", ChangeWatchWhere(0));
    vxtest::WriteFileBytes("C:\\VxWatch\\Tasks\\new.job", "x");
    EXPECT_EQ(1, PollFor(500));
    RunNotifiedSteps();
    DeleteFileA("C:\\VxWatch\\Tasks\\new.job");
    RemoveDirectoryA("C:\\VxWatch\\Tasks");
    PollFor(500);
    ChangeWatchTick();
    EXPECT_STREQ("C:\\VxWatch (parent)", ChangeWatchWhere(0));
    RemoveDirectoryA("C:\\VxWatch");
}

TEST_F(ChangeWatchTest, WatchChangesZeroArmsNothingAndAReloadFollowsIt)
{
    SetOptions({ "WatchChanges", "0" });
    LoadOptions();
    EXPECT_EQ(0, ChangeWatchArmAll());
    SetOptions({ "WatchChanges", "1" });
    LoadOptions();
    EXPECT_LT(10, ChangeWatchArmAll());
    SetOptions({ "WatchChanges", "0" });
    ReloadOptions();
    ChangeWatchTick();
    EXPECT_EQ(0, ChangeWatchArmedCount());
}

}  // namespace
