// The Active Tasks page against real processes: copies of this program
// under one file name in two folders.
#include "support/idle_child.h"

#include <algorithm>

#include "categories/running_tasks.h"
#include "foundation/options.h"
#include "list_page_driver.h"
#include "resources/pages/active_tasks.h"

using namespace page_test;

namespace {

const int kModule = 0, kCompany = 2;

class ActiveTasksPageTest : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        DeleteFileA(History().c_str());
        first_ = vxtest::MakeProgramCopy("vxA\\update.exe");
        second_ = vxtest::MakeProgramCopy("vxB\\update.exe");
        ASSERT_TRUE(a_.Start(first_));
        ASSERT_TRUE(b_.Start(second_));
    }
    static std::string History() { return vxtest::PathInProgramFolder("history.txt"); }

    std::string first_, second_;
    vxtest::IdleChild a_, b_;
};

// The record behind a row (the page's own list, through the row's lParam).
ItemRecord* RecordOf(HWND page, HWND list, int row)
{
    ListPage* own = (ListPage*)GetWindowLongPtrA(page, DWLP_USER);
    return const_cast<ItemRecord*>(GetItem(&own->Items, RowRecord(list, row)));
}

// The row of the program at path; -1 when none.
int RowOfProgram(HWND page, HWND list, const std::string& path)
{
    for (int row = 0; row < RowCount(list); row++)
        if (_stricmp(RecordOf(page, list, row)->Command, path.c_str()) == 0)
            return row;
    return -1;
}

// A row whose process ended and whose id now runs another program: nothing
// is ended and nothing written.  Refresh lists what runs now; Kill Task
// ends exactly the selected row's process.
TEST_F(ActiveTasksPageTest, KillTaskEndsOnlyTheSelectedRowsOwnProcess)
{
    PageHost host(PAGE_ACTIVE_TASKS);
    HWND page = host.Page(), list = host.List();
    EXPECT_TRUE(GetDlgItem(page, IDC_PAGE_MONITOR) == NULL);
    std::vector<std::string> modules = Column(list, kModule);
    EXPECT_EQ(2, std::count(modules.begin(), modules.end(), "UPDATE.EXE"));
    int first = RowOfProgram(page, list, first_);
    ASSERT_GE(first, 0);
    RecordOf(page, list, first)->Flag = (int)b_.Id();
    ClickRow(list, first);
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_ACTIVE_KILL); }).empty());
    EXPECT_TRUE(a_.Running());
    EXPECT_TRUE(b_.Running());
    EXPECT_EQ("", vxtest::ReadFileText(History()));

    vxtest::IdleChild third;
    ASSERT_TRUE(third.Start(vxtest::MakeProgramCopy("vxC\\other.exe")));
    EXPECT_EQ(-1, FindRow(list, kModule, "OTHER.EXE"));
    Press(page, IDC_ACTIVE_REFRESH);
    EXPECT_GE(FindRow(list, kModule, "OTHER.EXE"), 0);

    int second = RowOfProgram(page, list, second_);
    ASSERT_GE(second, 0);
    ClickRow(list, second);  // scrolled into view
    std::vector<std::string> menu = MenuOfRightClick(page, list, second);
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&Kill Task"));
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_ACTIVE_KILL); }).empty());
    EXPECT_TRUE(b_.Ended(5000));
    EXPECT_TRUE(a_.Running());
    std::string history = vxtest::ReadFileText(History());
    std::string upper = second_;
    CharUpperA(&upper[0]);
    EXPECT_NE(std::string::npos, history.find("\tTASK_Kill\tINFO_TASK\t"));
    EXPECT_NE(std::string::npos, history.find("\t" + upper + "\t"));
    EXPECT_EQ(-1, RowOfProgram(page, list, second_));
    EXPECT_GE(RowOfProgram(page, list, first_), 0);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    std::string told = OneBoxText({ IDOK }, [&] { Press(page, IDC_ACTIVE_KILL); });
    EXPECT_NE(std::string::npos, told.find("No selection has been made."));
}

// A row reads its program by the path as the process list read it (the
// folder "vxA" in its own case), not by its upper-case Command.
TEST_F(ActiveTasksPageTest, RowReadsItsProgramByThePathAsRead)
{
    PageHost host(PAGE_ACTIVE_TASKS);
    HWND page = host.Page(), list = host.List();
    int first = RowOfProgram(page, list, first_);
    ASSERT_GE(first, 0);
    ListPage* own = (ListPage*)GetWindowLongPtrA(page, DWLP_USER);
    EXPECT_EQ(first_, own->Rows[RowRecord(list, first)].File);
    EXPECT_EQ("Quillon", Cell(list, first, kCompany));
}

}  // namespace
