// The running-task list and its first-detected dates, against real
// processes: copies of this program started under names of the test's
// choosing.
#include "support/idle_child.h"
#include "support/vxtest.h"

#include "categories/category.h"
#include "categories/running_tasks.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/item_list.h"

using vxtest::Items;

namespace {

#define ACTIVE_TASKS "Software\\Quillon\\Detected\\ActiveTasks"

// Indexes of the list entries whose Command is path.
std::vector<int> EntriesOf(const std::string& path)
{
    std::vector<int> found;
    for (int i = 0; i < ItemCount(Items()); i++)
        if (_stricmp(GetItemCommand(Items(), i), path.c_str()) == 0)
            found.push_back(i);
    return found;
}

struct RunningTasks : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions();
        idle_ = vxtest::MakeProgramCopy("vxidle.exe");
        twin_ = vxtest::MakeProgramCopy("twin\\vxidle.exe");
        ASSERT_TRUE(a1_.Start(idle_));
        ASSERT_TRUE(a2_.Start(idle_));
        ASSERT_TRUE(b_.Start(twin_));
    }
    void TearDown() override { ClearItems(Items()); }
    std::string idle_, twin_;
    vxtest::IdleChild a1_, a2_, b_;
};

// One entry per program file, with the id of one of its processes, in the
// comparable (upper case) form; each list starts afresh.  The count of the
// process-change check counts program files, not processes.
TEST_F(RunningTasks, OneEntryPerProgramFile)
{
    // Every running program gets its first-detected date, once.
    CharUpperA(&idle_[0]), CharUpperA(&twin_[0]);
    vxtest::SetString(HKEY_CURRENT_USER, ACTIVE_TASKS, idle_.c_str(), "1/2/2003");
    EXPECT_EQ(1, g_ActiveTasksCategory.RecordDetected());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, ACTIVE_TASKS, idle_.c_str(), "1/2/2003");
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, ACTIVE_TASKS, twin_.c_str()));
    int count = EnumRunningTasks(Items());
    std::vector<int> idle = EntriesOf(idle_);
    ASSERT_EQ(1u, idle.size()) << "two processes of one file give one entry";
    int flag = GetItemFlag(Items(), idle[0]);
    EXPECT_TRUE(flag == (int)a1_.Id() || flag == (int)a2_.Id()) << flag;
    ASSERT_EQ(1u, EntriesOf(twin_).size());
    const ItemRecord* twin = GetItem(Items(), EntriesOf(twin_)[0]);
    EXPECT_TRUE(twin->Flag == (int)b_.Id());
    EXPECT_TRUE(twin->Code == INFO_TASK);
    EXPECT_EQ(CharUpperA(&std::string(twin->Command)[0]), std::string(twin->Command));
    // Beside it the path as read, in the file's own case (the page reads by it).
    EXPECT_STREQ((vxtest::ProgramFolder() + "\\twin\\vxidle.exe").c_str(), twin->File);
    b_.End();
    EXPECT_EQ(count - 1, CountRunningPrograms()) << "its file ran in no other process";
    a1_.End();
    EXPECT_EQ(count - 1, CountRunningPrograms()) << "the same file still runs in a2";
    EXPECT_EQ(count - 1, EnumRunningTasks(Items()));
    EXPECT_TRUE(EntriesOf(twin_).empty());
    // Named by the file description of the program's version resource, else
    // by its file name; a file that changes is described anew.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    std::string monitor = vxtest::PathInProgramFolder("Vardex.exe"),
                copy = vxtest::PathInProgramFolder("described.exe");
    const struct { std::string source; const char* name; } cases[] = {
        // A copy of the monitor under another name is not the monitor.
        { monitor, "Vardex startup and browser monitor" },
        { std::string(system) + "\\hostname.exe", "DESCRIBED.EXE" },  // no version resource
        { monitor, "Vardex startup and browser monitor" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(CopyFileA(c.source.c_str(), copy.c_str(), FALSE)) << c.source;
        vxtest::IdleChild process;
        ASSERT_TRUE(process.Start(copy, true));
        EnumRunningTasks(Items());
        ASSERT_EQ(1u, EntriesOf(copy).size());
        EXPECT_STREQ(c.name, GetItemName(Items(), EntriesOf(copy)[0])) << c.source;
    }
}

}  // namespace
