// The list page engine, driven through the Startup Programs page in a sheet
// of the test's own: cells, row icons, first-detected dates,
// sorting by header clicks and by the saved option, the right-click menu,
// the shared buttons, strange names and lists too long to show whole.
#include <algorithm>
#include <set>

#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "list_page_driver.h"
#include "resources/pages/startup.h"
#include "startup/autostart.h"
#include "support/idle_child.h"

using namespace page_test;

namespace {

#define RUN "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define DETECTED "Software\\Quillon\\Detected\\Startup"
const int kTitle = 0, kCommand = 1, kCompany = 2, kType = 3, kDetected = 4;

class ListPageTest : public PageTest {
protected:
    std::vector<std::string> names_;  // our HKCU Run values

    void SetUp() override
    {
        PageTest::SetUp();
        CreateDirectoryA("C:\\vxlist", NULL);
    }
    void TearDown() override
    {
        RegDeleteKeyTree(HKEY_CURRENT_USER, RUN);
        RegCreateKeyPath(HKEY_CURRENT_USER, RUN);
        PageTest::TearDown();
    }
    void Run(const std::string& name, const std::string& command)
    {
        vxtest::SetString(HKEY_CURRENT_USER, RUN, name.c_str(), command.c_str());
        names_.push_back(name);
    }
    // A copy of this program, which has an icon and a version resource
    // (CompanyName "Quillon").
    std::string Tool() { return vxtest::MakeProgramCopy("vxlist\\tool.exe"); }
    // The column, only the rows of our own values, in row order.
    std::vector<std::string> Ours(HWND list, int column)
    {
        std::vector<std::string> cells;
        std::set<std::string> ours(names_.begin(), names_.end());
        for (int row = 0; row < RowCount(list); row++)
            if (ours.count(Cell(list, row, kTitle)))
                cells.push_back(Cell(list, row, column));
        return cells;
    }
};

// The sort order of the rows: the records' indexes in row order.
std::vector<int> RecordOrder(HWND list)
{
    std::vector<int> order;
    for (int row = 0; row < RowCount(list); row++)
        order.push_back(RowRecord(list, row));
    return order;
}

std::vector<int> Sorted(std::vector<int> v) { std::sort(v.begin(), v.end()); return v; }

TEST_F(ListPageTest, CellsIconsAndFirstDetectedDates)
{
    std::string tool = Tool();
    Run("Tool one", tool);
    Run("Tool two", "\"" + tool + "\" /min");
    Run("Tool three", tool + " -x");
    Run("Gone one", "C:\\vxlist\\gone.exe");
    Run("Gone two", "C:\\vxlist\\gone2.exe /q");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    // The columns share the width as their percents say (Title 30, Command 16).
    double ratio = (double)ListView_GetColumnWidth(list, kTitle) /
                   ListView_GetColumnWidth(list, kCommand);
    EXPECT_NEAR(30.0 / 16, ratio, 0.1);
    int one = FindRow(list, kTitle, "Tool one"), gone = FindRow(list, kTitle, "Gone two");
    ASSERT_GE(one, 0);
    ASSERT_GE(gone, 0);
    EXPECT_EQ("tool.exe", Cell(list, one, kCommand));
    EXPECT_EQ("Quillon", Cell(list, one, kCompany));
    EXPECT_EQ("HKCU_RUN", Cell(list, one, kType));
    EXPECT_EQ("gone2.exe /q", Cell(list, gone, kCommand));
    EXPECT_EQ("", Cell(list, gone, kCompany));
    // A file seen for the first time is stamped and shows its stamp; a
    // missing file gets none.
    std::string stamp = vxtest::ReadString(HKEY_CURRENT_USER, DETECTED, tool.c_str());
    EXPECT_NE("<missing>", stamp);
    EXPECT_EQ(stamp, Cell(list, one, kDetected));
    EXPECT_EQ("", Cell(list, gone, kDetected));

    // One icon per program file: the three rows of the tool share one, the
    // missing files share the missing-file icon; with the program's own
    // that is three images for five rows.
    HIMAGELIST images = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    EXPECT_EQ(3, ImageList_GetImageCount(images));
    auto image = [&](const char* title) { return RowImage(list, FindRow(list, kTitle, title)); };
    EXPECT_EQ(image("Tool one"), image("Tool three"));
    EXPECT_EQ(image("Gone one"), image("Gone two"));
    EXPECT_NE(image("Tool one"), image("Gone one"));
    EXPECT_NE(0, image("Gone one"));
    // A refill replaces the image list rather than adding to it.
    Press(host.Page(), IDC_STARTUP_SHOW_ALL);
    images = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    EXPECT_EQ(3, ImageList_GetImageCount(images));
}

// The page's own facts of a row (its PageRow).
const PageRow* RowFacts(HWND page, HWND list, int row)
{
    ListPage* own = (ListPage*)GetWindowLongPtrA(page, DWLP_USER);
    return &own->Rows[RowRecord(list, row)];
}

// A program in folders of mixed-case names: the disk is read by the path
// as its command spells it, and the row shows what that file holds.
TEST_F(ListPageTest, RowReadsItsFileByTheCommandsSpelling)
{
    std::string tool = vxtest::MakeProgramCopy("vxlist\\MixedCase\\Tool.Exe");
    Run("Mixed", "\"" + tool + "\" /Min");
    Run("Gone", "C:\\vxlist\\Gone.exe");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    int mixed = FindRow(list, kTitle, "Mixed");
    ASSERT_GE(mixed, 0);
    const PageRow* row = RowFacts(host.Page(), list, mixed);
    EXPECT_EQ(tool, row->File);
    std::string upper = tool;
    CharUpperA(&upper[0]);
    EXPECT_EQ(upper, row->Program);
    EXPECT_EQ("Quillon", Cell(list, mixed, kCompany));
    int gone = RowImage(list, FindRow(list, kTitle, "Gone"));
    EXPECT_NE(gone, RowImage(list, mixed)) << "the file's own icon";
}

// Icons kept from fill to fill stay in the page's image list: a refill
// adds none of them again.
TEST_F(ListPageTest, RefillAddsNoKeptIconAgain)
{
    std::string tool = Tool();
    FileHandle file(CreateFileA(tool.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING,
                                0, NULL));
    FILETIME written = {};
    GetSystemTimeAsFileTime(&written);
    written.dwHighDateTime -= 10;  // about 7 minutes ago
    ASSERT_TRUE(SetFileTime(file.Get(), NULL, NULL, &written));
    file.Close();
    Run("Old tool", tool);
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    HIMAGELIST images = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    int count = ImageList_GetImageCount(images);
    int image = RowImage(list, FindRow(list, kTitle, "Old tool"));
    Press(host.Page(), IDC_STARTUP_SHOW_ALL);
    HIMAGELIST again = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    EXPECT_EQ(images, again);
    EXPECT_EQ(count, ImageList_GetImageCount(again));
    EXPECT_EQ(image, RowImage(list, FindRow(list, kTitle, "Old tool")));
}

// "Alpha" and "Alpha Two" are not equal (equal starts would make the order
// depend on the order of the comparisons): the shorter sorts first going
// up and last going down.
TEST_F(ListPageTest, TitleSortsUpThenDownWithDisabledEntriesLastBothTimes)
{
    for (const char* name : { "beta", "Alpha Two", "zzz top", "Alpha", "gamma" })
        Run(name, std::string("C:\\vxlist\\") + name + ".exe");
    for (const char* name : { "Delta", "Aardvark" }) {
        std::string command = std::string("C:\\vxlist\\") + name + ".exe";
        Run(name, command);
        ASSERT_EQ(1, ToggleStartupEntry(name, command.c_str(), "", 11));
    }
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    const std::vector<std::string> up = { "Alpha", "Alpha Two", "beta", "gamma", "zzz top",
                                          "Aardvark", "Delta" };
    const std::vector<std::string> down = { "zzz top", "gamma", "beta", "Alpha Two", "Alpha",
                                            "Delta", "Aardvark" };
    ClickHeader(list, kTitle);
    EXPECT_EQ(up, Ours(list, kTitle));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortStartup", "1");
    ClickHeader(list, kTitle);
    EXPECT_EQ(down, Ours(list, kTitle));
    EXPECT_EQ("   Disabled", Cell(list, FindRow(list, kTitle, "Delta"), kType));
    // A refill keeps the order last chosen; the next click turns it again.
    Press(host.Page(), IDC_STARTUP_SHOW_ALL);
    EXPECT_EQ(down, Ours(list, kTitle));
    ClickHeader(list, kTitle);
    EXPECT_EQ(up, Ours(list, kTitle));
}

// Dates of every form the system writes sort in time order, whatever the
// form; a row without a date sorts first.
TEST_F(ListPageTest, DatesSortInTimeOrder)
{
    const struct { const char* name; const char* date; } rows[] = {
        { "Late morning", "03/05/2008 11:00 AM" }, { "Past one", "03/05/2008 1:05 PM" },
        { "Next year", "2009-01-02 0:10" }, { "Day before", "04-Mar-2008 23:59" },
        { "No date", "" }, { "Garbage", "yesterday" },
    };
    for (const auto& r : rows) {
        std::string command = std::string("C:\\vxlist\\") + r.name + ".exe";
        Run(r.name, command);
        if (r.date[0] != '\0')
            vxtest::SetString(HKEY_CURRENT_USER, DETECTED, command.c_str(), r.date);
    }
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    ClickHeader(list, kDetected);
    std::vector<std::string> up = Ours(list, kTitle);
    ASSERT_EQ(6u, up.size());
    std::sort(up.begin(), up.begin() + 2);  // no key: in the order listed
    EXPECT_EQ((std::vector<std::string>{ "Garbage", "No date", "Day before", "Late morning",
                                         "Past one", "Next year" }),
              up);
    ClickHeader(list, kDetected);
    EXPECT_EQ("Next year", Ours(list, kTitle).front());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortStartup", "5");
}

TEST_F(ListPageTest, SavedSortColumnAppliesOnOpenAndNonsenseIsIgnored)
{
    std::string tool = Tool();
    Run("Quillon first", tool);
    Run("Nobody", "C:\\vxlist\\nobody.exe");
    Run("Nobody else", "C:\\vxlist\\nobody2.exe");
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortStartup", "3");
    {
        PageHost host(PAGE_STARTUP);
        std::vector<std::string> companies = Ours(host.List(), kCompany);
        EXPECT_EQ((std::vector<std::string>{ "", "", "Quillon" }), companies);
    }
    // Not a sortable column: the rows stay in the order they were listed.
    for (const char* option : { "0", "99", "abc", "-4", "99999999999" }) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortStartup", option);
        PageHost host(PAGE_STARTUP);
        std::vector<int> order = RecordOrder(host.List());
        EXPECT_EQ(Sorted(order), order) << option;
        EXPECT_EQ(3u, Ours(host.List(), kTitle).size()) << option;
    }
}

// Names as the registry holds them: quotes, "%s", tabs, line ends and
// CP-1252 letters shown as they are; a name longer than the list keeps is
// cut to 127 characters, one of 259 or 260 the same way.
TEST_F(ListPageTest, StrangeNamesAreShownAsTheyAre)
{
    const std::string names[] = {
        "Quote\"d \"name\"", "Per %s cent %n %d", "Tab\there", "Line\r\nend",
        "Caf\xe9 \xfc\xdf \x80 \x9f", std::string(259, 'n'), std::string(260, 'm'),
    };
    int i = 0;
    for (const std::string& name : names)
        Run(name, "C:\\vxlist\\p%s" + std::to_string(i++) + ".exe");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    for (int n = 0; n < 5; n++) {
        int row = FindRow(list, kTitle, names[n]);
        EXPECT_GE(row, 0) << names[n];
        EXPECT_EQ("p%s" + std::to_string(n) + ".exe", Cell(list, row, kCommand)) << names[n];
    }
    EXPECT_GE(FindRow(list, kTitle, std::string(127, 'n')), 0);
    EXPECT_GE(FindRow(list, kTitle, std::string(127, 'm')), 0);
}

// More entries than a list holds: the first 4,096 are shown and the status
// bar says that the list is cut.
TEST_F(ListPageTest, ListsOfFourThousandAndMoreAreCutClearly)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, RUN));
    for (int n = 0; n < 5000; n++) {
        char name[32], data[64];
        wsprintfA(name, "Entry %05d", n);
        wsprintfA(data, "C:\\vxlist\\many\\program%05d.exe", n);
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, lstrlenA(data) + 1);
    }
    PageHost host(PAGE_STARTUP);
    EXPECT_EQ(ITEM_MAX, RowCount(host.List()));
    EXPECT_EQ("Only the first 4,096 entries are listed.", StatusText(host.Sheet()));
    // Sorting works on the rows kept.
    ClickHeader(host.List(), kTitle);
    ClickHeader(host.List(), kTitle);
    std::vector<std::string> titles = Column(host.List(), kTitle);
    titles.erase(std::remove_if(titles.begin(), titles.end(),
                                [](const std::string& t) { return t.find("Entry ") != 0; }),
                 titles.end());
    EXPECT_TRUE(std::is_sorted(titles.rbegin(), titles.rend()));
    EXPECT_LT(4000u, titles.size());
}

TEST_F(ListPageTest, RightClickMenuSharedButtonsMonitorAndClose)
{
    Run("Plain", "C:\\vxlist\\plain.exe");
    Run("Parked", "C:\\vxlist\\parked.exe");
    ASSERT_EQ(1, ToggleStartupEntry("Parked", "C:\\vxlist\\parked.exe", "", 11));
    PageHost host(PAGE_STARTUP);
    HWND page = host.Page(), list = host.List();
    EXPECT_EQ(PAGE_STARTUP, g_CurrentPage);
    // Row 0 is selected on opening.
    EXPECT_EQ(0, ListView_GetNextItem(list, -1, LVNI_SELECTED));
    // The page's own entries, then the ending every page shares.
    std::vector<std::string> plain = MenuOfRightClick(page, list, FindRow(list, kTitle, "Plain"));
    const std::vector<std::string> ending = { "-", "PLUS &Info...", "Vardex &Log", "Vardex Help" };
    ASSERT_GT(plain.size(), ending.size());
    EXPECT_EQ(ending, std::vector<std::string>(plain.end() - 4, plain.end()));
    EXPECT_EQ(1, std::count(plain.begin(), plain.end(), "&Disable"));
    std::vector<std::string> parked =
        MenuOfRightClick(page, list, FindRow(list, kTitle, "Parked"));
    EXPECT_EQ(1, std::count(parked.begin(), parked.end(), "&Enable"));
    // A click where there is no row leaves nothing selected: no menu.
    EXPECT_TRUE(MenuOfRightClick(page, list, -1).empty());
    EXPECT_EQ(-1, ListView_GetNextItem(list, -1, LVNI_SELECTED));
    // With none, Info... says so.
    std::vector<Box> boxes = WithBoxes({ IDOK }, [&] { Press(page, IDC_PAGE_INFO); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Vardex Help", boxes[0].caption);
    EXPECT_EQ(0u, boxes[0].text.find("No selection has been made."));
    EXPECT_EQ(1u, WithBoxes({ IDOK }, [&] { Press(page, IDC_STARTUP_REMOVE); }).size());
    // The Monitor button asks for the patrol time; Close keeps it.
    boxes = WithBoxes({ IDCANCEL }, [&] { SendMessageA(page, WM_COMMAND, IDC_PAGE_MONITOR, 0); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Patrol Time for Startup Programs", boxes[0].caption);
    Press(page, IDC_PAGE_CLOSE);
    vxtest::PumpMessages(200);
    EXPECT_EQ(NULL, host.Page());
}

}  // namespace
