// The program information dialog as a user works it, opened from a page:
// its texts, Expand/Shrink, << and >>, the note, the placement, a service's
// start type and stop, and Run and Kill of a program in a folder with blanks.
#include <atomic>
#include <map>

#include "categories/restart_commands.h"
#include "categories/services.h"
#include "explorer/frame_resources.h"
#include "explorer/info_dialog.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "list_page_driver.h"
#include "resources/pages/info.h"
#include "startup/autostart.h"
#include "support/idle_child.h"

using namespace page_test;

// What a copy of this program does when Run starts it: tells which file
// it is in the marker file named by VX_MARKER.
TEST(InfoMarker, DISABLED_Mark)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(NULL, self, MAX_PATH);
    vxtest::WriteFileBytes(getenv("VX_MARKER"), self);
}

namespace {

#define USER_RUN "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define STORE "Software\\Quillon\\Vardex"

std::string Text(HWND d, int id) { return vxtest::DialogItemText(d, id); }
int Height(HWND d)
{
    RECT r;
    GetWindowRect(d, &r);
    return r.bottom - r.top;
}

HWND FindInfoDialog()
{
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "#32770", NULL)) != NULL;)
        if (IsWindowVisible(w) && GetDlgItem(w, IDC_INFO_NOTE) != NULL)
            return w;
    return NULL;
}

// Runs action (which opens the dialog) while a second thread runs script
// on the dialog and then closes it.  false when no dialog came.
bool WithInfo(const std::function<void(HWND)>& script, const std::function<void()>& action)
{
    g_drivenControl = IDC_INFO_NOTE;
    return WithDialog(FindInfoDialog, script, action);
}

// The same, the dialog opened with the page's Info... button.
bool Info(const PageHost& host, const std::function<void(HWND)>& script)
{
    return WithInfo(script, [&] { Press(host.Page(), IDC_PAGE_INFO); });
}

int RowOfRecord(HWND list, int record)
{
    for (int row = 0; row < RowCount(list); row++)
        if (RowRecord(list, row) == record)
            return row;
    return -1;
}

ListPage* PageOf(HWND page) { return (ListPage*)GetWindowLongPtrA(page, DWLP_USER); }

std::string HistoryText()
{
    return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt"));
}

std::string NoteOf(const char* command)
{
    char path[VX_PATH] = "";
    NotePath(command, path);
    return path;
}

// The test's own listing for a page: what the test puts in s_rows.
std::vector<ItemRecord> s_rows;
int s_listings = 0;
int ListTestRows(ItemList* out)
{
    s_listings++;
    for (const ItemRecord& r : s_rows)
        AddItem(out, r.Name, r.Command, r.Extra, r.Info, r.Code, 0);
    return ItemCount(out);
}
int ListServices(ItemList* out)
{
    ListTestRows(out);
    EnumServices(vxtest::Items(), 0);
    for (int i = 0; i < ItemCount(vxtest::Items()); i++) {
        const ItemRecord* r = GetItem(vxtest::Items(), i);
        AddItem(out, r->Name, r->Command, r->Extra, r->Info, r->Code, 0);
    }
    return ItemCount(out);
}

ItemRecord Row(const char* name, const char* command, const char* extra, int code)
{
    ItemRecord r = {};
    TextCopy(r.Name, name);
    TextCopy(r.Command, command);
    TextCopy(r.Extra, extra);
    r.Code = code;
    return r;
}

class InfoDialogTest : public PageTest {
protected:
    Category category_ = g_StartupCategory;
    PageRecord record_ = *PageByCommand(PAGE_STARTUP);

    void SetUp() override
    {
        PageTest::SetUp();
        CreateFrameResources();
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        s_rows.clear();
        record_.Row = &category_;
        record_.SortOption = NULL;
    }
    void Run(const std::string& name, const std::string& command)
    {
        vxtest::SetString(HKEY_CURRENT_USER, USER_RUN, name.c_str(), command.c_str());
    }
    // A page of the test's own listing.
    const PageRecord* Listing(int (*list)(ItemList*))
    {
        category_.ListAll = list;
        return &record_;
    }
};

TEST_F(InfoDialogTest, TextsOfStartupProgramsAndWalkingTheRecords)
{
    std::string one = vxtest::MakeProgramCopy("vx info\\one app.exe");
    ASSERT_NE("", one);
    Run("Info One", "\"" + one + "\" /min");
    Run("Info Gone", "C:\\vx info\\gone.exe");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    int row = FindRow(list, 0, "Info One");
    ASSERT_GE(row, 0);
    std::string detected = Cell(list, row, 4);
    ClickRow(list, row);
    std::map<int, std::string> seen;  // 0: the caption
    int heights[3] = {};
    bool run = false;
    EXPECT_TRUE(Info(host, [&](HWND d) {
        seen[0] = vxtest::WindowText(d);
        for (int id : { IDC_INFO_TITLE, IDC_INFO_PATH, IDC_INFO_STATUS, IDC_INFO_SIZE,
                        IDC_INFO_DETECTED })
            seen[id] = Text(d, id);
        run = Shown(d, IDC_INFO_RUN) && !Shown(d, IDC_INFO_STOP);
        for (int& h : heights) {
            h = Height(d);
            Press(d, IDC_INFO_EXPAND);
        }
        Press(d, IDC_INFO_EXPAND);
    }));
    EXPECT_EQ("Info One", seen[0]);
    EXPECT_EQ("Vardex explorer", seen[IDC_INFO_TITLE]);
    EXPECT_EQ("C:\\VARDEX\\VX INFO\\ONE APP.EXE", seen[IDC_INFO_PATH]);
    EXPECT_EQ("Ready", seen[IDC_INFO_STATUS]);
    EXPECT_TRUE(run);
    EXPECT_NE(std::string::npos, seen[IDC_INFO_SIZE].find(','));
    EXPECT_EQ(detected, seen[IDC_INFO_DETECTED]);
    EXPECT_NE(heights[0], heights[1]);
    EXPECT_EQ(heights[0], heights[2]);
    // Left as it opened, so the next opens the other way.  >> from the last
    // record shows the first, << the last again; the missing file says so;
    // the row shown last is selected afterwards.
    int next = 0, last = RowCount(list) - 1;
    ClickRow(list, RowOfRecord(list, last));
    std::string first, back, gone;
    Info(host, [&](HWND d) {
        next = Height(d);
        Press(d, IDC_INFO_NEXT);
        first = vxtest::WindowText(d);
        Press(d, IDC_INFO_PREVIOUS);
        back = vxtest::WindowText(d);
        for (int i = 0; i < RowCount(list) && vxtest::WindowText(d) != "Info Gone"; i++)
            Press(d, IDC_INFO_NEXT);
        gone = Text(d, IDC_INFO_STATUS) + "|" + Text(d, IDC_INFO_SIZE) + "|" +
               (Shown(d, IDC_INFO_RUN) ? "run" : "");
    });
    EXPECT_EQ(heights[1], next);
    EXPECT_EQ(Cell(list, RowOfRecord(list, 0), 0), first);
    EXPECT_EQ(Cell(list, RowOfRecord(list, last), 0), back);
    EXPECT_EQ("Local File not found.||", gone);
    EXPECT_EQ("Info Gone", Cell(list, ListView_GetNextItem(list, -1, LVNI_SELECTED), 0));
}

TEST_F(InfoDialogTest, PlacementIsSavedAndReused)
{
    s_rows = { Row("Only One", "C:\\vxnone\\only.exe", "", 11) };
    PageHost host(Listing(ListTestRows));
    std::string captions;
    Info(host, [&](HWND d) {
        Press(d, IDC_INFO_NEXT);
        captions = vxtest::WindowText(d);
        Press(d, IDC_INFO_PREVIOUS);
        captions += "|" + vxtest::WindowText(d);
    });
    EXPECT_EQ("Only One|Only One", captions);
    EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, STORE, "dyInfo"));
    vxtest::SetString(HKEY_CURRENT_USER, STORE, "xInfo", "100");
    vxtest::SetString(HKEY_CURRENT_USER, STORE, "yInfo", "120");
    RECT at = {};
    Info(host, [&](HWND d) { GetWindowRect(d, &at); });
    EXPECT_EQ(100, at.left);
    EXPECT_EQ(120, at.top);
    // Records that are not there open nothing.
    s_rows.clear();
    FillListPage(PageOf(host.Page()));
    EXPECT_FALSE(WithInfo([](HWND) {}, [&] { ShowProgramInfo(PageOf(host.Page()), 0); }));
    EXPECT_FALSE(WithInfo([](HWND) {}, [&] { ShowProgramInfo(PageOf(host.Page()), -1); }));
}

// What each kind tells of itself, walked with >>.
TEST_F(InfoDialogTest, KindTexts)
{
    std::string program = vxtest::MakeProgramCopy("vx kinds\\tool.exe");
    ItemRecord toolbar = Row("Vx Bar", program.c_str(), "{B0}", 901);
    TextCopy(toolbar.Info, "6.0.1");  // a version, which names no icon
    s_rows = { toolbar, Row("Vx Control", program.c_str(), "{C1}", 1200),
               Row("Vx Type", program.c_str(), "", 400),
               Row("Vx Hook", "C:\\windows\\system32\\regsvr32.exe", "", 252) };
    TextCopy(s_rows[2].Info, ".VXT");
    PageHost host(Listing(ListTestRows));
    ClickRow(host.List(), RowOfRecord(host.List(), 0));
    std::map<std::string, std::string> seen;
    bool icon = false;
    Info(host, [&](HWND d) {
        icon = SendDlgItemMessageA(d, IDC_INFO_ICON, BM_GETIMAGE, IMAGE_ICON, 0) != 0;
        for (size_t i = 0; i < s_rows.size(); i++, Press(d, IDC_INFO_NEXT))
            seen[vxtest::WindowText(d)] = Text(d, IDC_INFO_LOCATION) + "|" +
                                          Text(d, IDC_INFO_NOTE).substr(0, 58) + "|" +
                                          (Shown(d, IDC_INFO_STATUS) ? "status" : "") +
                                          (Shown(d, IDC_INFO_RUN) ? "run" : "");
    });
    EXPECT_TRUE(icon);
    EXPECT_EQ("Location: \"HKLM\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar\"|"
              "The program information listed above is what we could disc|",
              seen["Vx Bar"]);
    EXPECT_EQ("CLSID: {C1}|{C1}|", seen["Vx Control"]);
    EXPECT_EQ("|File Type Extension: .VXT|statusrun", seen["Vx Type"]);
    EXPECT_EQ("Startup Location: HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
              "ShellServiceObjectDelayLoad|"
              "The file Vx Hook appears to be a valid Microsoft system fi|status",
              seen["Vx Hook"]);
}

// Create Note starts the note with the name and path; a note that cannot
// be written is told, and the next Save writes what was typed.  Each note
// is loaded whole and saved as it stands in the field; one over 1 MB is
// shown in part and never saved from here.
TEST_F(InfoDialogTest, NotesCreatedLoadedWholeAndSavedAsTyped)
{
    const char* command = "C:\\vxnote\\noted.exe";
    s_rows = { Row("Noted", command, "", 11) };
    std::string note = NoteOf(command);
    ASSERT_TRUE(CreateDirectoryA(note.c_str(), NULL));  // where the file would go
    PageHost host(Listing(ListTestRows));
    auto open = [&](const std::function<void(HWND)>& script) {
        return WithBoxes({}, [&] { Info(host, script); });
    };
    std::string before, after, typed = "my own words\r\n";
    std::vector<Box> boxes = open([&](HWND d) {
        before = Text(d, IDC_INFO_NOTE);
        Press(d, IDC_INFO_SAVE_NOTE);
        SetDlgItemTextA(d, IDC_INFO_NOTE, typed.c_str());
        Press(d, IDC_INFO_SAVE_NOTE);
        after = Text(d, IDC_INFO_NOTE);
        RemoveDirectoryA(note.c_str());
        Press(d, IDC_INFO_SAVE_NOTE);
    });
    EXPECT_EQ(0u, before.find("The program information listed above"));
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[1].text.find("could not be written"));
    EXPECT_EQ(typed, after);
    EXPECT_EQ(typed, vxtest::ReadFileText(note));
    DeleteFileA(note.c_str());
    std::string started;
    open([&](HWND d) {
        Press(d, IDC_INFO_SAVE_NOTE);
        started = Text(d, IDC_INFO_NOTE);
    });
    EXPECT_EQ("Noted\r\nC:\\VXNOTE\\NOTED.EXE\r\n", started);
    EXPECT_EQ(started, vxtest::ReadFileText(note));
    for (size_t size : { 0, 16383, 16384, 16385 }) {
        std::string text;
        for (size_t i = 0; i < size; i++)
            text += i % 100 == 99 ? '\n' : (i % 100 == 98 ? '\r' : char('a' + i % 26));
        vxtest::WriteFileBytes(note, text);
        size_t shown = 0;
        std::string button;
        open([&](HWND d) {
            shown = (size_t)GetWindowTextLengthA(GetDlgItem(d, IDC_INFO_NOTE));
            button = Text(d, IDC_INFO_SAVE_NOTE);
            SendDlgItemMessageA(d, IDC_INFO_NOTE, EM_SETSEL, shown, shown);
            SendDlgItemMessageA(d, IDC_INFO_NOTE, EM_REPLACESEL, TRUE, (LPARAM)"!");
            Press(d, IDC_INFO_SAVE_NOTE);
        });
        EXPECT_EQ(size, shown) << size;
        EXPECT_EQ("&Save Note", button);
        EXPECT_EQ(text + "!", vxtest::ReadFileText(note)) << size;
    }
    std::string huge;
    while (huge.size() <= 1024 * 1024)
        huge += std::string(98, 'h') + "\r\n";
    vxtest::WriteFileBytes(note, huge);
    bool readOnly = false, savable = true;
    int length = 0;
    boxes = open([&](HWND d) {
        Sleep(500);
        length = GetWindowTextLengthA(GetDlgItem(d, IDC_INFO_NOTE));
        readOnly = GetWindowLongA(GetDlgItem(d, IDC_INFO_NOTE), GWL_STYLE) & ES_READONLY;
        savable = Usable(d, IDC_INFO_SAVE_NOTE);
        Press(d, IDC_INFO_SAVE_NOTE);
    });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("larger than 1 MB"));
    EXPECT_EQ(64 * 1024, length);
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(savable);
    EXPECT_EQ(huge.size(), vxtest::ReadFileText(note).size());
}

// Apply and Stop act, write their lines only when done, and the page
// lists again afterwards; a failure is told and writes nothing.
TEST_F(InfoDialogTest, ServiceStartTypeAndStop)
{
    const char* spooler = "Print Spooler";
    ASSERT_EQ(1, SetServiceStartType(spooler, SERVICE_DEMAND_START));
    s_rows = { Row("Vx No Such Service", "C:\\vx\\none.exe", "Manual", 700) };
    PageHost host(Listing(ListServices));
    HWND list = host.List();
    int row = FindRow(list, 0, spooler);
    ASSERT_GE(row, 0);
    ClickRow(list, row);
    int listings = s_listings;
    auto choose = [](HWND d, int at) {
        SendDlgItemMessageA(d, IDC_INFO_START_TYPE, CB_SETCURSEL, (WPARAM)at, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_INFO_START_TYPE, CBN_SELCHANGE),
                     (LPARAM)GetDlgItem(d, IDC_INFO_START_TYPE));
        return Usable(d, IDC_INFO_APPLY);
    };
    std::string type;
    bool sameApplies = true, otherApplies = false;
    Info(host, [&](HWND d) {
        type = Text(d, IDC_INFO_START_TYPE);
        sameApplies = choose(d, 1);
        otherApplies = choose(d, 0);
        Press(d, IDC_INFO_APPLY);
    });
    EXPECT_EQ("Manual", type);
    EXPECT_FALSE(sameApplies);
    EXPECT_TRUE(otherApplies);
    char text[64];
    EXPECT_EQ(2, ServiceStartTypeText(spooler, text, sizeof(text)));
    EXPECT_NE(std::string::npos, HistoryText().find("SERVICE_Automatic"));
    EXPECT_EQ(listings + 1, s_listings);
    EXPECT_EQ(spooler, Cell(list, ListView_GetNextItem(list, -1, LVNI_SELECTED), 0));
    // A running service stops; one that is not there tells both failures.
    ASSERT_TRUE(Spooler(true));
    std::string state;
    Info(host, [&](HWND d) {
        state = Text(d, IDC_INFO_STATUS);
        Press(d, IDC_INFO_STOP);
    });
    EXPECT_EQ("Running", state);
    EXPECT_TRUE(Spooler(false, false));
    EXPECT_NE(std::string::npos, HistoryText().find("SERVICE_Stop"));
    DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
    ClickRow(list, FindRow(list, 0, "Vx No Such Service"));
    std::vector<Box> boxes = WithBoxes({}, [&] {
        Info(host, [&](HWND d) {
            choose(d, 0);
            Press(d, IDC_INFO_APPLY);
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_INFO_STOP, BN_CLICKED), 0);
        });
    });
    ASSERT_EQ(2u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("could not be changed"));
    EXPECT_NE(std::string::npos, boxes[1].text.find("could not be stopped"));
    EXPECT_EQ("", HistoryText());
}

// Run starts the program of a path with blanks (never "C:\vx.exe" before
// it); Kill Task ends a running one and writes its line.
TEST_F(InfoDialogTest, RunAndKillTheProgramOfAPathWithBlanks)
{
    std::string program = vxtest::MakeProgramCopy("vx run\\app.exe");
    std::string decoy = vxtest::MakeProgramCopy("vx.exe");
    ASSERT_TRUE(program != "");
    ASSERT_TRUE(decoy != "");
    const char* marker = "C:\\vxmarker.txt";
    SetEnvironmentVariableA("VX_MARKER", marker);
    SetEnvironmentVariableA("GTEST_FILTER", "InfoMarker.DISABLED_Mark");
    SetEnvironmentVariableA("GTEST_ALSO_RUN_DISABLED_TESTS", "1");
    s_rows = { Row("Runner", program.c_str(), "", 11) };
    PageHost host(Listing(ListTestRows));
    Info(host, [&](HWND d) { Press(d, IDC_INFO_RUN); });
    SetEnvironmentVariableA("GTEST_FILTER", NULL);
    SetEnvironmentVariableA("GTEST_ALSO_RUN_DISABLED_TESTS", NULL);
    for (int i = 0; i < 200 && vxtest::ReadFileText(marker).empty(); i++)
        Sleep(50);
    std::string ran = vxtest::ReadFileText(marker);
    EXPECT_TRUE(TextEqualNoCase(program.c_str(), ran.c_str())) << ran;
    vxtest::IdleChild child;
    ASSERT_TRUE(child.Start(program));
    std::string state, button;
    Info(host, [&](HWND d) {
        state = Text(d, IDC_INFO_STATUS);
        button = Text(d, IDC_INFO_STOP);
        Press(d, IDC_INFO_STOP);
    });
    EXPECT_EQ("Running|&Kill Task", state + "|" + button);
    EXPECT_TRUE(child.Ended(5000));
    EXPECT_NE(std::string::npos, HistoryText().find("Runner"));
}

}  // namespace
