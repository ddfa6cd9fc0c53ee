// The real VardexView.exe started as the monitor or the user would start
// it: its switches, its single instance, its sheet, the maintenance
// switches and the clean-ups of its start.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "resources/pages/cookies.h"
#include "support/vxtest.h"

namespace {

const int kPageClose = 1004;

std::string Explorer(const std::string& args)
{
    return "\"" + vxtest::PathInProgramFolder("VardexView.exe") + "\" " + args;
}
std::string Monitor(const std::string& args)
{
    return "\"" + vxtest::PathInProgramFolder("Vardex.exe") + "\" " + args;
}

HWND TabOf(HWND sheet) { return FindWindowExA(sheet, NULL, WC_TABCONTROLA, NULL); }
int ShownTab(HWND sheet) { return (int)SendMessageA(TabOf(sheet), TCM_GETCURSEL, 0, 0); }
HWND PageOf(HWND sheet) { return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }

std::string StoredOption(const char* name)
{
    return vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name);
}

struct ExplorerProcess : testing::Test {
    void SetUp() override { vxtest::ResetStore(); }
    void TearDown() override
    {
        if (FindWindowA("VardexView", NULL) != NULL)
            vxtest::RunProgram(Explorer("-Q"), 15000);
        if (explorer_.IsValid() && WaitForSingleObject(explorer_.Get(), 15000) != WAIT_OBJECT_0)
            TerminateProcess(explorer_.Get(), 1);
        if (FindWindowA("Vardex", NULL) != NULL)
            vxtest::RunProgram(Monitor("-Q"), 15000);
    }

    // Starts an explorer and waits for its sheet.
    HWND Open(const std::string& args)
    {
        explorer_.Reset(vxtest::StartProgram(Explorer(args)));
        return explorer_.IsValid() ? vxtest::WaitForExplorerSheet(20000) : NULL;
    }

    // The tab an explorer started with args opens at; it is closed again.
    int TabOpenedBy(const std::string& args)
    {
        HWND sheet = Open(args);
        int tab = sheet != NULL ? ShownTab(sheet) : -1;
        // The sheet's own Close: not every page has one (the Cookies page's
        // 1004 is its filter box).
        if (sheet != NULL)
            vxtest::ClickButton(sheet, IDCANCEL);
        Ended(15000);
        return tab;
    }

    // Presses the page's Close button; returns the exit code or -1.
    int Close(HWND sheet)
    {
        if (sheet == NULL)
            return -1;
        vxtest::ClickButton(PageOf(sheet), kPageClose);
        return Ended(15000);
    }

    int Ended(DWORD ms)
    {
        DWORD code = (DWORD)-1;
        if (WaitForSingleObject(explorer_.Get(), ms) == WAIT_OBJECT_0)
            GetExitCodeProcess(explorer_.Get(), &code);
        return (int)code;
    }

    KernelHandle explorer_;
};

TEST_F(ExplorerProcess, TheSheetHasItsTabsAndItsClosingEndsTheExplorer)
{
    HWND sheet = Open("-SERVICE");
    ASSERT_TRUE(sheet != NULL) << "no sheet";
    HWND tab = TabOf(sheet);
    ASSERT_EQ(12, (int)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(5, ShownTab(sheet));
    EXPECT_EQ("Vardex", vxtest::WindowText(sheet));
    EXPECT_EQ("Vardex", vxtest::WindowText(FindWindowA("VardexView", NULL)));
    EXPECT_TRUE(GetDlgItem(sheet, 6050) != NULL) << "no status bar";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, IDOK)));
    EXPECT_EQ("Close", vxtest::DialogItemText(sheet, IDCANCEL));
    EXPECT_EQ("6038", StoredOption("StartTab"));
    // Another tab, then Close: the page left last is remembered.
    PostMessageA(sheet, PSM_SETCURSEL, 9, 0);
    vxtest::PumpMessages(500);
    EXPECT_EQ(9, ShownTab(sheet));
    RECT placed;
    GetWindowRect(sheet, &placed);
    EXPECT_EQ(0, Close(sheet));
    EXPECT_EQ("6052", StoredOption("StartTab"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "xPos", std::to_string(placed.left).c_str());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "dyPos",
                      std::to_string(placed.bottom - placed.top).c_str());
    // The options saved on the way out, with the explorer's defaults.
    EXPECT_EQ("4096", StoredOption("MaxCookie"));
    // A saved place and size are used (the choosing has its own test), and
    // the sheet never gets smaller than its pages need.
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPos", "20");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "yPos", "30");
    int width = placed.right - placed.left, height = placed.bottom - placed.top;
    std::string wider = std::to_string(width + 60);
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "dxPos", wider.c_str());
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "dyPos", "5");
    sheet = Open("");
    ASSERT_TRUE(sheet != NULL);
    RECT r;
    GetWindowRect(sheet, &r);
    EXPECT_EQ(20, r.left);
    EXPECT_EQ(30, r.top);
    EXPECT_EQ(width + 60, r.right - r.left);
    EXPECT_LT(height - 60, r.bottom - r.top);
    EXPECT_EQ(0, Close(sheet));
}

TEST_F(ExplorerProcess, SwitchesAndTheStoredTabChooseThePage)
{
    EXPECT_EQ(7, TabOpenedBy("-NUTS"));  // the reading of switches has its own test
    // Only a page command counts as a stored page: a command, garbage and
    // numbers of no page open the first page.
    for (const char* stored : { "0", "abc", "6031", "6030", "6048", "99999" }) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", stored);
        EXPECT_EQ(0, TabOpenedBy("")) << "StartTab " << stored;
    }
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "6052");
    EXPECT_EQ(9, TabOpenedBy(""));
}

// "-COOKIE" shows the cookie list once, apart from "ViewCookies": the
// page shown again does not open it, and the box the user ticked
// meanwhile is what the explorer saves on its way out.
TEST_F(ExplorerProcess, TheForcedCookieListLeavesTheUsersChoiceAlone)
{
    HWND sheet = Open("-COOKIE");
    ASSERT_TRUE(sheet != NULL);
    HWND list = vxtest::WaitForWindow("#32770", "Vardex - Cookies", 20000);
    ASSERT_TRUE(list != NULL) << "no cookie list";
    vxtest::ClickButton(list, IDCANCEL);
    EXPECT_TRUE(vxtest::WaitForWindowGone(list, 15000));
    PostMessageA(sheet, PSM_SETCURSEL, 0, 0);
    vxtest::PumpMessages(500);
    PostMessageA(sheet, PSM_SETCURSEL, 7, 0);
    vxtest::PumpMessages(1000);
    EXPECT_EQ(7, ShownTab(sheet));
    HWND again = FindWindowA("#32770", "Vardex - Cookies");
    EXPECT_TRUE(again == NULL) << "the list opened again";
    if (again != NULL)
        vxtest::ClickButton(again, IDCANCEL), vxtest::WaitForWindowGone(again, 15000);
    HWND page = PageOf(sheet);
    EXPECT_EQ(BST_UNCHECKED, (int)SendDlgItemMessageA(page, IDC_COOKIE_ALWAYS, BM_GETCHECK, 0, 0));
    vxtest::ClickButton(page, IDC_COOKIE_ALWAYS);
    vxtest::PumpMessages(500);
    EXPECT_EQ("1", StoredOption("ViewCookies"));
    vxtest::ClickButton(sheet, IDCANCEL);
    EXPECT_EQ(0, Ended(15000));
    EXPECT_EQ("1", StoredOption("ViewCookies"));
}

TEST_F(ExplorerProcess, RestartOpensTheOptionsAndStartsTheMonitor)
{
    ASSERT_TRUE(FindWindowA("Vardex", NULL) == NULL);
    HWND sheet = Open("-RESTART");
    ASSERT_TRUE(sheet != NULL);
    EXPECT_EQ(11, ShownTab(sheet));
    EXPECT_TRUE(vxtest::WaitForWindow("Vardex", NULL, 20000) != NULL) << "no monitor";
    EXPECT_EQ(0, Close(sheet));
}

TEST_F(ExplorerProcess, ASecondStartHandsItsPageToTheFirstAndQuitEndsIt)
{
    HWND sheet = Open("-HIDDEN");
    ASSERT_TRUE(sheet != NULL);
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-TASK"), 15000));
    vxtest::PumpMessages(500);
    EXPECT_EQ(sheet, vxtest::FindExplorerSheet());  // still the one sheet, at its page
    EXPECT_EQ(9, ShownTab(sheet));
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-q"), 15000));
    EXPECT_EQ(0, Ended(15000));
    EXPECT_TRUE(FindWindowA("VardexView", NULL) == NULL);
}

TEST_F(ExplorerProcess, CommandSixThousandThirtyOneTogglesTheMonitorsAutostart)
{
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, run, "Vardex");
    // "-MONITOR" opens no sheet: the main window waits for commands.
    explorer_.Reset(vxtest::StartProgram(Explorer("-MONITOR")));
    HWND main = vxtest::WaitForWindow("VardexView", NULL, 20000);
    ASSERT_TRUE(main != NULL);
    SendMessageA(main, WM_COMMAND, 6031, 0);
    std::string value = vxtest::ReadString(HKEY_LOCAL_MACHINE, run, "Vardex");
    EXPECT_NE(std::string::npos, value.find("vardex.exe\" -expressboot")) << value;
    SendMessageA(main, WM_COMMAND, 6031, 0);
    EXPECT_EQ("<missing>", vxtest::ReadString(HKEY_LOCAL_MACHINE, run, "Vardex"));
}

TEST_F(ExplorerProcess, QuitOrExitWithoutASheetEndAtOnce)
{
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-Q -START"), 15000));
    EXPECT_TRUE(FindWindowA("VardexView", NULL) == NULL);
    EXPECT_EQ("<missing>", StoredOption("nCount"));  // no start made
    if (HWND monitor = vxtest::WaitForWindow("Vardex", NULL, 20000))  // "-START" asked for one
        vxtest::RunProgram(Monitor("-Q"), 15000), vxtest::WaitForWindowGone(monitor, 15000);
    else
        ADD_FAILURE() << "\"-START\" started no monitor";
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-EXIT"), 20000));
    EXPECT_EQ("1", StoredOption("nCount"));  // it did start
}

const char* const kAutoUpdate =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";

DWORD MachineUpdateMode()
{
    RegKey key;
    DWORD value = 0, size = sizeof(value);
    key.Open(HKEY_LOCAL_MACHINE, kAutoUpdate, KEY_READ);
    RegQueryValueExA(key, "AUOptions", NULL, NULL, (BYTE*)&value, &size);
    return value;
}

TEST_F(ExplorerProcess, MaintenanceSwitchesDoTheirWorkAndShowNothing)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString833", "Laden...");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPos", "10");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "dyInfo", "10");
    vxtest::SetString(HKEY_CLASSES_ROOT, "exefile\\shell\\Vardex PLUS\\command", "", "x %1");
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-restore"), 20000));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, VX_KEY, "LString833");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_KEY, "xPos");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_KEY, "dyInfo");
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "exefile\\shell\\Vardex PLUS"));

    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "wwwPrefix", "ftp://");
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-SetPrefix"), 20000));
    const std::string urlKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\URL\\";
    std::string prefixes = urlKey + "Prefixes", defaults = urlKey + "DefaultPrefix";
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, prefixes.c_str(), "www", "ftp://");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, defaults.c_str(), "", "ftp://");
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_KEY, "wwwPrefix");
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-SetPrefix"), 20000));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, prefixes.c_str(), "www", "http://");
    EXPECT_TRUE(FindWindowA("VardexView", NULL) == NULL);
    // -AUOption writes only a mode that was read.
    vxtest::SetDword(HKEY_LOCAL_MACHINE, kAutoUpdate, "AUOptions", 4);
    vxtest::SetDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions", 2);
    EXPECT_EQ(0, vxtest::RunProgram(Explorer("-AUOption"), 20000));
    EXPECT_EQ(2u, MachineUpdateMode());
    // Missing, text, 0 and 6: the machine's mode stays; 5 is taken.
    const struct { const char* text; int number; DWORD mode; } cases[] = {
        { NULL, -1, 2 },
        { "3", -1, 2 },
        { NULL, 0, 2 },
        { NULL, 6, 2 },
        { NULL, 5, 5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_KEY, "AUOptions");
        if (c.text != NULL)
            vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "AUOptions", c.text);
        if (c.number >= 0)
            vxtest::SetDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions", (DWORD)c.number);
        EXPECT_EQ(0, vxtest::RunProgram(Explorer("-AUOption"), 20000));
        EXPECT_EQ(c.mode, MachineUpdateMode());
    }
}

// Each start purges the dates of one subkey of files that are gone, and
// removes the monitor's prefetch files (only those).
TEST_F(ExplorerProcess, EachStartPurgesOneSubkeyOfDatesAndTheMonitorsPrefetchFiles)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string folder = std::string(windows) + "\\Prefetch\\";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string ours = folder + "VARDEXUSB.EXE-0A1B2C3D.pf";
    std::string other = folder + "NOTEPAD.EXE-11223344.pf";
    vxtest::WriteFileBytes(ours, "x");
    vxtest::WriteFileBytes(other, "x");
    std::string own = vxtest::PathInProgramFolder("Vardex.exe");
    std::string longName = "C:\\" + std::string(300, 'y') + ".exe";
    const char* kept[] = { "", "(filled)", own.c_str() };
    const char* gone[] = { "C:\\nowhere\\gone.exe", "C:\\Vardex\\\"quoted\".exe",
                           longName.c_str() };
    const char* subkeys[] = { "Tasks", "ActiveTasks", "Services", "Hidden" };
    for (const char* subkey : subkeys) {
        std::string path = std::string(VX_DETECTED_KEY "\\") + subkey;
        for (const char* name : kept)
            vxtest::SetString(HKEY_CURRENT_USER, path.c_str(), name, "1/2/2008 10:00");
        for (const char* name : gone)
            vxtest::SetString(HKEY_CURRENT_USER, path.c_str(), name, "1/2/2008 10:00");
    }
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "nCount", "1");
    HWND sheet = Open("");  // the third subkey's turn: Services
    ASSERT_TRUE(sheet != NULL);
    EXPECT_EQ(0, Close(sheet));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ours.c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(other.c_str()));
    EXPECT_EQ("2", StoredOption("nCount"));
    for (const char* subkey : subkeys) {
        std::string path = std::string(VX_DETECTED_KEY "\\") + subkey;
        bool purged = strcmp(subkey, "Services") == 0;
        for (const char* name : kept)
            EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, path.c_str(), name))
                << subkey << " " << name;
        for (const char* name : gone)
            EXPECT_EQ(!purged, vxtest::ValueExists(HKEY_CURRENT_USER, path.c_str(), name))
                << subkey << " " << name;
    }
    // After the last subkey comes the first; a count out of range starts over.
    for (const char* count : { "3", "-7", "abc" }) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "nCount", count);
        EXPECT_EQ(0, Close(Open("")));
        EXPECT_EQ(strcmp(count, "abc") == 0 ? "1" : "0", StoredOption("nCount")) << count;
    }
}

}  // namespace
