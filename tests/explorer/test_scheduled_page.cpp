// The Scheduled Tasks page against Wine's real Task Scheduler: tasks made
// as installers make them, listed with their ".job" cut, removed after the
// user's yes, and a task the scheduler will not delete keeps its approval.
#include <algorithm>

#include "categories/tasks.h"
#include "explorer/pages.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "list_page_driver.h"
#include "resources/pages/scheduled.h"
#include "support/scheduled_tasks.h"

using namespace page_test;

namespace {

#define JOB_FOLDER "C:\\windows\\tasks\\"
const int kName = 0, kNextRun = 3, kLastRun = 4;

class ScheduledPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        ASSERT_EQ(0, EnsureSchedulerRunning());
        WIN32_FIND_DATAA found;
        FindHandle find(FindFirstFileA(JOB_FOLDER "*.job", &found));
        for (BOOL more = find.IsValid(); more; more = FindNextFileA(find.Get(), &found)) {
            std::string path = std::string(JOB_FOLDER) + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    void TearDown() override
    {
        SetFileAttributesA(JOB_FOLDER "VxStuck.job", FILE_ATTRIBUTE_NORMAL);
        PageTest::TearDown();
    }
};

// The cell of a record named so.
std::string NameCell(const char* name)
{
    ItemRecord item = {};
    TextCopy(item.Name, name);
    PageRow row = {};
    row.Item = &item;
    char out[PAGE_CELL];
    PageCellText(&g_ScheduledColumns[kName], &row, out, sizeof(out));
    return out;
}

TEST(ScheduledPageName, TheLastFourCharactersGoOnlyFromLongerNames)
{
    EXPECT_EQ("Backup", NameCell("Backup.job"));
    EXPECT_EQ("A", NameCell("A.job"));
    EXPECT_EQ("Abcd", NameCell("Abcd"));
    EXPECT_EQ("", NameCell(""));
}

TEST_F(ScheduledPageTest, RowsRemoveAndATaskTheSchedulerKeeps)
{
    ASSERT_TRUE(vxtest::CreateTask(L"VxBackup", L"C:\\vxtask\\backup.exe", L"", 3));
    ASSERT_TRUE(vxtest::CreateTask(L"VxStuck", L"C:\\vxtask\\stuck.exe"));
    vxtest::SetString(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxBackup.job", "800");
    vxtest::SetString(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxStuck.job", "800");
    PageHost host(PAGE_SCHEDULED_TASKS);
    HWND page = host.Page(), list = host.List();
    ASSERT_EQ(2, RowCount(list));
    int backup = FindRow(list, kName, "VxBackup");
    ASSERT_GE(backup, 0);
    EXPECT_NE(std::string::npos, Cell(list, backup, kNextRun).find("  3:05 AM"));
    EXPECT_EQ("Never", Cell(list, backup, kLastRun));

    std::vector<std::string> menu = MenuOfRightClick(page, list, backup);
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&Remove"));

    // No: nothing goes, and the same rows are read back.
    ClickRow(list, backup);
    std::string told = OneBoxText({ IDNO }, [&] { Press(page, IDC_SCHEDULED_REMOVE); });
    EXPECT_NE(std::string::npos, told.find("remove VxBackup.job\n"));
    EXPECT_TRUE(vxtest::TaskExists(L"VxBackup"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxBackup.job", "800");
    EXPECT_EQ(2, RowCount(list));

    // A task the scheduler cannot delete stays, and so does its approval.
    ASSERT_TRUE(SetFileAttributesA(JOB_FOLDER "VxStuck.job", FILE_ATTRIBUTE_READONLY));
    ClickRow(list, FindRow(list, kName, "VxStuck"));
    std::vector<Box> boxes =
        WithBoxes({ IDYES, IDOK }, [&] { Press(page, IDC_SCHEDULED_REMOVE); });
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[1].text.find("could not be removed"));
    EXPECT_TRUE(vxtest::TaskExists(L"VxStuck"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxStuck.job", "800");
    EXPECT_GE(FindRow(list, kName, "VxStuck"), 0);

    // Yes: the task and its approval go, and its row.
    ClickRow(list, FindRow(list, kName, "VxBackup"));
    EXPECT_EQ(1u, WithBoxes({ IDYES }, [&] { Press(page, IDC_SCHEDULED_REMOVE); }).size());
    EXPECT_FALSE(vxtest::TaskExists(L"VxBackup"));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_TASKS_KEY, "VxBackup.job");
    EXPECT_EQ(-1, FindRow(list, kName, "VxBackup"));
    EXPECT_EQ(1, RowCount(list));
}

}  // namespace
