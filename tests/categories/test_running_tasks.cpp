// The running-task list and its first-detected dates, against real
// processes: copies of this program started under names of the test's
// choosing.
#include <windows.h>

#include <string>
#include <vector>

#include "support/idle_child.h"
#include "support/vxtest.h"

#include "categories/category.h"
#include "categories/running_tasks.h"
#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/item_list.h"

namespace {

#define ACTIVE_TASKS "Software\\Quillon\\Detected\\ActiveTasks"

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return text;
}

// Indexes of the list entries whose Command is path.
std::vector<int> EntriesOf(const std::string& path)
{
    std::vector<int> found;
    for (int i = 0; i < ItemCount(); i++)
        if (Upper(GetItemCommand(i)) == Upper(path))
            found.push_back(i);
    return found;
}

class RunningTasks : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        idle_ = vxtest::MakeProgramCopy("vxidle.exe");
        twin_ = vxtest::MakeProgramCopy("twin\\vxidle.exe");
        ASSERT_FALSE(idle_.empty());
        ASSERT_FALSE(twin_.empty());
    }
    void TearDown() override { ClearItems(); }

    std::string idle_, twin_;
};

TEST_F(RunningTasks, OneEntryPerProgramFileWithTheFirstProcessId)
{
    vxtest::IdleChild a1, a2, b;
    ASSERT_TRUE(a1.Start(idle_));
    ASSERT_TRUE(a2.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    int count = EnumRunningTasks();
    EXPECT_EQ(count, ItemCount());
    EXPECT_EQ(CountRunningPrograms(), count);

    std::vector<int> idle = EntriesOf(idle_);
    ASSERT_EQ(1u, idle.size()) << "two processes of one file give one entry";
    int flag = GetItemFlag(idle[0]);
    EXPECT_TRUE(flag == (int)a1.Id() || flag == (int)a2.Id()) << flag;
    ASSERT_EQ(1u, EntriesOf(twin_).size());
    EXPECT_EQ((int)b.Id(), GetItemFlag(EntriesOf(twin_)[0]));

    for (int i = 0; i < count; i++) {
        const ItemRecord* item = GetItem(i);
        EXPECT_EQ(INFO_TASK, item->Code);
        EXPECT_STREQ("", item->Extra);
        EXPECT_NE('\0', item->Name[0]);
        EXPECT_EQ(Upper(item->Command), item->Command) << "not the comparable form";
    }
    // Each list starts afresh: an ended program is gone.
    b.End();
    EXPECT_EQ(count - 1, EnumRunningTasks());
    EXPECT_TRUE(EntriesOf(twin_).empty());
}

// A program of the system without a version resource; "" when none.
std::string ProgramWithoutVersion()
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    for (const char* name : { "hostname.exe", "whoami.exe", "ipconfig.exe", "expand.exe",
                              "where.exe", "find.exe", "net.exe" }) {
        std::string path = std::string(system) + "\\" + name;
        DWORD handle = 0;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
            GetFileVersionInfoSizeA(path.c_str(), &handle) == 0)
            return path;
    }
    return "";
}

// The entry is named by the file description of the program's version
// resource, or by its file name; a file that changes is described anew.
TEST_F(RunningTasks, NameIsTheFileDescription)
{
    std::string bare = ProgramWithoutVersion();
    ASSERT_FALSE(bare.empty());
    std::string copy = vxtest::PathInProgramFolder("described.exe");
    const struct { std::string source; const char* name; } cases[] = {
        // A copy of the monitor under another name is not the monitor.
        { vxtest::PathInProgramFolder("Vardex.exe"), "Vardex startup and browser monitor" },
        { bare, "DESCRIBED.EXE" },
        { vxtest::PathInProgramFolder("Vardex.exe"), "Vardex startup and browser monitor" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(CopyFileA(c.source.c_str(), copy.c_str(), FALSE)) << c.source;
        vxtest::IdleChild process;
        ASSERT_TRUE(process.Start(copy, true));
        EnumRunningTasks();
        std::vector<int> found = EntriesOf(copy);
        ASSERT_EQ(1u, found.size());
        EXPECT_STREQ(c.name, GetItemName(found[0])) << c.source;
    }
}

TEST_F(RunningTasks, RecordActiveTasksDatesEveryRunningProgram)
{
    vxtest::IdleChild a, b;
    ASSERT_TRUE(a.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    RecordActiveTasks();
    EXPECT_EQ(0, ItemCount()) << "the list is left empty";
    EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, ACTIVE_TASKS, Upper(idle_).c_str()));
    EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, ACTIVE_TASKS, Upper(twin_).c_str()));
    std::string first = vxtest::ReadString(HKEY_CURRENT_USER, ACTIVE_TASKS, Upper(idle_).c_str());
    EXPECT_NE("<missing>", first);

    // A date once recorded stays.
    vxtest::SetString(HKEY_CURRENT_USER, ACTIVE_TASKS, Upper(idle_).c_str(), "1/2/2003");
    ASSERT_NE(nullptr, g_ActiveTasksCategory.RecordDetected);
    EXPECT_EQ(1, g_ActiveTasksCategory.RecordDetected());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, ACTIVE_TASKS, Upper(idle_).c_str(), "1/2/2003");
}

}  // namespace
