// The History dialog as a user sees it: opened on a thread of its own (a
// modal dialog) and used from the test's thread, its list read back, its
// rows clicked and its buttons pressed.
#include <algorithm>
#include <functional>
#include <thread>

#include "explorer/options_page.h"
#include "foundation/history.h"
#include "foundation/options.h"
#include "list_page_driver.h"
#include "resources/pages/options.h"

namespace {

using page_test::Cell;
using page_test::ClickRow;
using page_test::MenuOfRightClick;
using page_test::RowCount;
using page_test::Usable;

std::string HistoryPath() { return vxtest::PathInProgramFolder("history.txt"); }

// The dialog open on its own thread while the test looks on.
class OpenHistory {
public:
    OpenHistory()
    {
        user_ = std::thread([] { HistoryDialog(NULL); });
        dialog_ = vxtest::WaitForWindow("#32770", "Vardex History", 10000);
    }
    ~OpenHistory()
    {
        if (dialog_ != NULL)
            PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
        user_.join();
    }
    HWND Dialog() const { return dialog_; }
    HWND List() const { return GetDlgItem(dialog_, IDC_HISTORY_LIST); }
    // Presses a button whose work may open a box; answers it with answer.
    // Returns the box's text ("" when none came).
    std::string PressAndAnswer(int id, int answer)
    {
        PostMessageA(GetDlgItem(dialog_, id), BM_CLICK, 0, 0);
        return Answer(answer);
    }
    // Answers the box the dialog opens; its text ("" when none came).
    std::string Answer(int answer)
    {
        HWND box = NULL;
        for (int i = 0; i < 50 && box == NULL; i++, Sleep(20))
            for (HWND w = NULL; (w = FindWindowExA(NULL, w, "#32770", NULL)) != NULL;)
                if (w != dialog_ && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == dialog_)
                    box = w;
        if (box == NULL)
            return "";
        Sleep(200);
        std::string text = vxtest::DialogItemText(box, 0xFFFF);
        PostMessageA(GetDlgItem(box, answer), BM_CLICK, 0, 0);
        vxtest::WaitForWindowGone(box, 5000);
        SendMessageA(dialog_, WM_NULL, 0, 0);  // its work is done
        return text;
    }

private:
    std::thread user_;
    HWND dialog_ = NULL;
};

struct HistoryDialogTest : testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore();
        g_Instance = GetModuleHandleA(NULL);
        InitCommonControls();
        SetFileAttributesA(HistoryPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(HistoryPath().c_str());
        LoadOptions();
    }
};

TEST_F(HistoryDialogTest, RestoreServesOnlyReversibleLinesAndBringsTheEntryBack)
{
    WriteHistory("Alerted", "C:\\a.exe", "", 11, HA_START_ALERT);
    WriteHistory("Updater", "C:\\u.exe -q", "", 11, HA_START_REMOVE);
    OpenHistory history;
    HWND d = history.Dialog();
    ASSERT_EQ(2, RowCount(history.List()));
    EXPECT_FALSE(Usable(d, IDC_HISTORY_RESTORE));
    ClickRow(history.List(), 0);
    EXPECT_FALSE(Usable(d, IDC_HISTORY_RESTORE));
    ClickRow(history.List(), 1);
    EXPECT_TRUE(Usable(d, IDC_HISTORY_RESTORE));
    SendMessageA(GetDlgItem(d, IDC_HISTORY_RESTORE), BM_CLICK, 0, 0);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Updater", "C:\\u.exe -q");
    // Refilled: nothing selected, nothing to restore.
    EXPECT_FALSE(Usable(d, IDC_HISTORY_RESTORE));
}

// The columns fill the list without a sideways scroll; a header click is
// kept, but the file's order stays.
TEST_F(HistoryDialogTest, ColumnsFillTheListAndAHeaderClickKeepsTheFileOrder)
{
    WriteHistory("Zeta", "C:\\z.exe", "", 11, HA_START_REMOVE);
    WriteHistory("Alpha", "C:\\a.exe", "", 11, HA_START_REMOVE);
    OpenHistory history;
    ASSERT_TRUE(history.Dialog() != NULL);
    RECT client;
    GetClientRect(history.List(), &client);
    int total = 0;
    for (int c = 0; c < 4; c++)
        total += ListView_GetColumnWidth(history.List(), c);
    EXPECT_LE(total, client.right);
    EXPECT_GT(total, client.right * 9 / 10);
    // Title has the widest share after the date.
    EXPECT_GT(ListView_GetColumnWidth(history.List(), 0),
              ListView_GetColumnWidth(history.List(), 1));
    page_test::ClickHeader(history.List(), 0);
    SendMessageA(history.Dialog(), WM_NULL, 0, 0);
    EXPECT_EQ("1", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortHistory"));
    page_test::ClickHeader(history.List(), 3);
    SendMessageA(history.Dialog(), WM_NULL, 0, 0);
    EXPECT_EQ("4", vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "SortHistory"));
    EXPECT_EQ("Zeta", Cell(history.List(), 0, 0));
}

TEST_F(HistoryDialogTest, TheRowMenuOffersTheButtonsAsTheyStandAndTheCommonEnding)
{
    WriteHistory("Alerted", "C:\\a.exe", "", 11, HA_START_ALERT);
    WriteHistory("Updater", "C:\\u.exe", "", 11, HA_START_REMOVE);
    OpenHistory history;
    HWND d = history.Dialog(), list = history.List();
    EXPECT_TRUE(MenuOfRightClick(d, list, -1).empty());
    std::vector<std::string> alert = MenuOfRightClick(d, list, 0);
    ASSERT_EQ(7u, alert.size());
    EXPECT_EQ("&Restore (off)", alert[0]);
    EXPECT_EQ("Vardex Help", alert[6]);
    EXPECT_EQ("&Restore", MenuOfRightClick(d, list, 1).at(0));
    MenuOfRightClick(d, list, 1, "Close");
    EXPECT_TRUE(vxtest::WaitForWindowGone(d, 5000));
}

// Whatever the test posted to the dialog's thread has been handled when
// done() holds; false when it did not come to hold in 5 s.
bool Eventually(const std::function<bool()>& done)
{
    for (int i = 0; i < 250 && !done(); i++)
        Sleep(20);
    return done();
}

TEST_F(HistoryDialogTest, AnEntryPickedFromTheRowMenuDoesWhatItsButtonDoes)
{
    WriteHistory("Updater", "C:\\u.exe -q", "", 11, HA_START_REMOVE);
    OpenHistory history;
    HWND d = history.Dialog(), list = history.List();
    MenuOfRightClick(d, list, 0, "&Restore");
    EXPECT_TRUE(Eventually([] {
        return vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, "Updater");
    }));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, WIN_RUN_KEY, "Updater", "C:\\u.exe -q");
    // Clear File asks first, from the menu and from its button.
    MenuOfRightClick(d, list, 0, "&Clear File");
    EXPECT_NE(std::string::npos, history.Answer(IDNO).find("restore"));
    EXPECT_EQ(1, RowCount(list));
    EXPECT_FALSE(history.PressAndAnswer(IDC_HISTORY_CLEAR, IDYES).empty());
    EXPECT_EQ(0, RowCount(list));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(HistoryPath().c_str()));
}

// Over 131,072 bytes, CR-only and tab-damaged lines: what can be read is
// listed, the rest is left, the end is in view.
TEST_F(HistoryDialogTest, ADamagedOrOversizedFileStillOpens)
{
    std::string line = "t\t*START_Remove\tCURRENT_RUN\tName\tC:\\n.exe\t\r\n";
    std::string bytes = "cr-only\tSTART_Alert\rstill one line\r\n";
    bytes += "only\tthree\tfields\r\n";
    while (bytes.size() < 131072 + 1000)
        bytes += line;
    vxtest::WriteFileBytes(HistoryPath(), bytes);
    SetFileAttributesA(HistoryPath().c_str(), FILE_ATTRIBUTE_READONLY);
    OpenHistory history;
    int rows = RowCount(history.List());
    // The lines of the first 131,072 bytes, the last one cut there.
    int ends = (int)std::count(bytes.begin(), bytes.begin() + 131072, '\n');
    EXPECT_EQ(ends + 1, rows);
    EXPECT_EQ("", Cell(history.List(), 1, 0));
    int last = ListView_GetTopIndex(history.List()) +
               ListView_GetCountPerPage(history.List());
    EXPECT_GE(last, rows);
}

}  // namespace
