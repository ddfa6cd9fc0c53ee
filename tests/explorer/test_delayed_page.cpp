// The Delayed Start page as a user works it: the rows of both roots, their
// status and delay, Remove with each answer, the options dialog, and the
// Startup page's move with its all-users question.
#include <windows.h>

#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "list_page_driver.h"
#include "resources/pages/delayed.h"
#include "resources/pages/startup.h"
#include "startup/delayed_start.h"

using namespace page_test;

namespace {

const int kTitle = 0, kStatus = 2, kDelay = 3;
const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Self()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    return self;
}

void Delay(HKEY root, const std::string& program, std::initializer_list<const char*> pairs)
{
    for (const char* const* p = pairs.begin(); p != pairs.end(); p += 2)
        vxtest::SetString(root, (std::string(VX_DELAY_KEY) + p[0]).c_str(), program.c_str(), p[1]);
}

class DelayedPageTest : public ::testing::Test {
protected:
    void SetUp() override { vxtest::ResetStore(), LoadOptions(); }
};

TEST_F(DelayedPageTest, RowsTellStatusAndDelay)
{
    const char* goneFile = "C:\\vxapp\\gone.exe";
    Delay(HKEY_LOCAL_MACHINE, goneFile, { "", "1", "\\Time", "90", "\\Title", "Gone" });
    Delay(HKEY_CURRENT_USER, goneFile, { "", "11", "\\Time", "abc", "\\Title", "Mine" });
    Delay(HKEY_CURRENT_USER, Self(), { "", "11", "\\Time", "45", "\\Title", "Self" });
    PageHost host(PAGE_DELAYED);
    HWND list = host.List();
    ASSERT_EQ(3, RowCount(list));
    int gone = FindRow(list, kTitle, "Gone"), self = FindRow(list, kTitle, "Self");
    EXPECT_EQ("Local File not found.", Cell(list, gone, kStatus));
    EXPECT_EQ("0 Sec.", Cell(list, FindRow(list, kTitle, "Mine"), kDelay));
    EXPECT_EQ("Running", Cell(list, self, kStatus));
    EXPECT_EQ("45 Sec.", Cell(list, self, kDelay));
    ClickHeader(list, kStatus);
    EXPECT_EQ("Self", Cell(list, 0, kTitle)) << "running programs sort first";
    ClickHeader(list, kDelay);
    EXPECT_EQ("Mine", Cell(list, 0, kTitle));
    EXPECT_EQ("Gone", Cell(list, 2, kTitle));
}

// No forgets the whole record; Yes puts it back first; Cancel keeps it.
TEST_F(DelayedPageTest, RemoveByAnswer)
{
    Delay(HKEY_CURRENT_USER, "C:\\vxapp\\a.exe", { "", "11", "\\Time", "30", "\\Title", "VxA",
        "\\Applet", "x", "\\Shortcuts", "s", "\\OpenAs", "1" });
    Delay(HKEY_CURRENT_USER, "C:\\vxapp\\b.exe", { "", "11", "\\Time", "30", "\\Title", "VxB",
        "\\Parameters", "/b" });
    PageHost host(PAGE_DELAYED);
    HWND list = host.List();
    ClickRow(list, FindRow(list, kTitle, "VxA"));
    WithBoxes({ IDCANCEL }, [&] { Press(host.Page(), IDC_DELAY_REMOVE); });
    EXPECT_EQ(2, RowCount(list));
    ClickRow(list, FindRow(list, kTitle, "VxA"));
    auto boxes = WithBoxes({ IDNO }, [&] { Press(host.Page(), IDC_DELAY_REMOVE); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("normal Windows Startup"));
    for (const char* sub : { "", "\\Time", "\\Title", "\\Applet", "\\Shortcuts", "\\OpenAs" })
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, (std::string(VX_DELAY_KEY) + sub).c_str(),
                           "C:\\vxapp\\a.exe");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, kRun, "VxA");
    ClickRow(list, FindRow(list, kTitle, "VxB"));
    WithBoxes({ IDYES }, [&] { Press(host.Page(), IDC_DELAY_REMOVE); });
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kRun, "VxB", "C:\\vxapp\\b.exe /b");
    EXPECT_EQ(0, RowCount(list));
}

// The dialog shows the record and OK writes what it shows.
TEST_F(DelayedPageTest, OptionsDialogWritesItsChoices)
{
    Delay(HKEY_LOCAL_MACHINE, "C:\\vxapp\\o.exe", { "", "1", "\\Time", "45", "\\Title", "VxO",
        "\\Parameters", "/p", "\\OpenAs", "2" });
    PageHost host(PAGE_DELAYED);
    std::string shownSeconds, shownState;
    EXPECT_TRUE(WithDialog("Program Delay Startup Options", [&](HWND d) {
        shownSeconds = vxtest::DialogItemText(d, IDC_DELAY_SECONDS);
        shownState = vxtest::DialogItemText(d, IDC_DELAY_OPEN_AS);
        SendDlgItemMessageA(d, IDC_DELAY_MINUTES, CB_SETCURSEL, 2, 0);
        SendDlgItemMessageA(d, IDC_DELAY_OPEN_AS, CB_SETCURSEL, 1, 0);
        SendDlgItemMessageA(d, IDC_DELAY_TITLE, WM_SETTEXT, 0, (LPARAM)"");
    }, [&] { SendMessageA(host.Page(), WM_COMMAND, IDM_DELAY_OPTIONS, 0); }));
    EXPECT_EQ("50", shownSeconds) << "45 s start at the 50 s step";
    EXPECT_EQ("Maximized", shownState);
    const char* key = "C:\\vxapp\\o.exe";
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DELAY_KEY "\\Time", key, "170");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DELAY_KEY "\\OpenAs", key, "1");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DELAY_KEY "\\Parameters", key, "/p");
    EXPECT_EQ("", vxtest::ReadString(HKEY_LOCAL_MACHINE, VX_DELAY_KEY "\\Title", key));
}

// An all-users entry moves only on OK; Cancel leaves it where it was.
TEST_F(DelayedPageTest, MoveFromStartupPageAsksForAllUsers)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, kRun, "VxAll", "C:\\vxapp\\all.exe /q");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    ClickRow(list, FindRow(list, 0, "VxAll"));
    WithBoxes({ IDCANCEL }, [&] {
        SendMessageA(host.Page(), WM_COMMAND, IDM_STARTUP_DELAY, 0);
    });
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kRun, "VxAll", "C:\\vxapp\\all.exe /q");
    EXPECT_EQ(0, CountDelayedPrograms());
    ClickRow(list, FindRow(list, 0, "VxAll"));
    WithBoxes({ IDOK }, [&] { SendMessageA(host.Page(), WM_COMMAND, IDM_STARTUP_DELAY, 0); });
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, kRun, "VxAll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DELAY_KEY "\\Parameters", "C:\\vxapp\\all.exe", "/q");
}

TEST_F(DelayedPageTest, RestoreSwitchPutsEveryProgramBack)
{
    Delay(HKEY_CURRENT_USER, "C:\\vxapp\\r.exe", { "", "11", "\\Time", "30", "\\Title", "VxR" });
    RestoreDefaults();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kRun, "VxR", "C:\\vxapp\\r.exe");
    EXPECT_EQ(0, CountDelayedPrograms());
}

}  // namespace
