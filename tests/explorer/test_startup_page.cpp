// The Startup Programs page as a user works it: each selected row acts on
// its own entry, the buttons follow the entry's code, Add never overwrites,
// our own files are never deleted nor delayed, and the secret places come
// and go with the check box.
#include <algorithm>

#include "list_page_driver.h"
#include "resources/pages/startup.h"
#include "startup/startup_fixture.h"

using namespace page_test;

namespace {

#define USER_RUN "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define NT_PATH "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\"
#define PENDING_KEY "System\\CurrentControlSet\\Control\\Session Manager"
const int kTitle = 0, kType = 3;

class StartupPageTest : public PageTest {
protected:
    struct Value { HKEY root; std::string name; };
    std::vector<Value> values_;

    void SetUp() override
    {
        PageTest::SetUp();
        CreateDirectoryA("C:\\vxlist", NULL);
    }
    void TearDown() override
    {
        for (const Value& v : values_)
            RegDeleteValueNamed(v.root, USER_RUN, v.name.c_str());
        PageTest::TearDown();
    }
    void Run(HKEY root, const std::string& name, const std::string& command)
    {
        vxtest::SetString(root, USER_RUN, name.c_str(), command.c_str());
        values_.push_back({ root, name });
    }
};

// The row whose Title and Type are these; -1 when none.
int RowOf(HWND list, const std::string& title, const std::string& type)
{
    for (int row = 0; row < RowCount(list); row++)
        if (Cell(list, row, kTitle) == title && Cell(list, row, kType) == type)
            return row;
    return -1;
}

std::string PendingDeletes()
{
    RegKey key;
    std::string text(8192, '\0');
    DWORD size = (DWORD)text.size();
    if (key.Open(HKEY_LOCAL_MACHINE, PENDING_KEY, KEY_READ) != ERROR_SUCCESS ||
        RegQueryValueExA(key, "PendingFileRenameOperations", NULL, NULL, (BYTE*)&text[0],
                         &size) != ERROR_SUCCESS)
        return "";
    text.resize(size);
    std::replace(text.begin(), text.end(), '\0', '|');
    return text;
}

TEST_F(StartupPageTest, SameNameInMachineAndUserRemovesTheSelectedOne)
{
    Run(HKEY_LOCAL_MACHINE, "Twin", "C:\\vxlist\\twin_machine.exe");
    Run(HKEY_CURRENT_USER, "Twin", "C:\\vxlist\\twin_user.exe");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    ClickRow(list, RowOf(list, "Twin", "HKCU_RUN"));
    std::vector<Box> boxes = WithBoxes({ IDNO }, [&] { Press(host.Page(), IDC_STARTUP_REMOVE); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Vardex", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("remove C:\\vxlist\\twin_user.exe"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, USER_RUN, "Twin", "C:\\vxlist\\twin_user.exe");
    ClickRow(list, RowOf(list, "Twin", "HKCU_RUN"));
    EXPECT_EQ(1u, WithBoxes({ IDYES }, [&] { Press(host.Page(), IDC_STARTUP_REMOVE); }).size());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, USER_RUN, "Twin");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, USER_RUN, "Twin", "C:\\vxlist\\twin_machine.exe");
    EXPECT_EQ(-1, RowOf(list, "Twin", "HKCU_RUN"));
    EXPECT_GE(RowOf(list, "Twin", "HKLM_RUN"), 0);
}

// Two "update.exe" in different folders under one name: the selected row
// is parked, the other stays; several selected rows go without a question,
// and only they.
TEST_F(StartupPageTest, EachSelectedRowActsOnItsOwnEntry)
{
    Run(HKEY_LOCAL_MACHINE, "Update", "C:\\vxA\\update.exe");
    Run(HKEY_CURRENT_USER, "Update", "C:\\vxB\\update.exe");
    Run(HKEY_CURRENT_USER, "Keeper", "C:\\vxC\\update.exe");
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    ClickRow(list, RowOf(list, "Update", "HKLM_RUN"));
    EXPECT_TRUE(Shown(host.Page(), IDC_STARTUP_DISABLE));
    EXPECT_TRUE(WithBoxes({}, [&] { Press(host.Page(), IDC_STARTUP_DISABLE); }).empty());
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, USER_RUN, "Update");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "Update", "C:\\vxA\\update.exe");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, USER_RUN, "Update", "C:\\vxB\\update.exe");
    // The parked row now offers Enable, and Enable brings it back.
    int parked = -1;
    for (int row = 0; row < RowCount(list); row++)
        if (Cell(list, row, 1) == "update.exe" && Cell(list, row, kType) == "   Disabled" &&
            Cell(list, row, kTitle) == "Update")
            parked = row;
    ASSERT_GE(parked, 0);
    ClickRow(list, parked);
    EXPECT_TRUE(Shown(host.Page(), IDC_STARTUP_ENABLE));
    EXPECT_FALSE(Shown(host.Page(), IDC_STARTUP_DISABLE));
    Press(host.Page(), IDC_STARTUP_ENABLE);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, USER_RUN, "Update", "C:\\vxA\\update.exe");
    // Both "Update" rows selected together: removed without asking.
    SelectRows(list, { RowOf(list, "Update", "HKLM_RUN"), RowOf(list, "Update", "HKCU_RUN") });
    EXPECT_TRUE(WithBoxes({}, [&] { Press(host.Page(), IDC_STARTUP_REMOVE); }).empty());
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, USER_RUN, "Update");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, USER_RUN, "Update");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, USER_RUN, "Keeper", "C:\\vxC\\update.exe");
}

TEST_F(StartupPageTest, AddPicksAFreeNameQuotesBlanksAndRecordsTheBaseline)
{
    // This program's FileDescription names the value; that name and the
    // next are taken (a Run value, a parked entry).
    const std::string taken = "Vardex explorer";
    Run(HKEY_CURRENT_USER, taken, "C:\\vxlist\\other.exe");
    values_.push_back({ HKEY_CURRENT_USER, taken + " (3)" });
    vxtest::SetString(HKEY_LOCAL_MACHINE, DISABLED, (taken + " (2)").c_str(), "11");
    CreateDirectoryA("C:\\vx app", NULL);
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, "C:\\vx app\\tool.exe", FALSE));
    PageHost host(PAGE_STARTUP);
    EXPECT_TRUE(WithChosenFile("Add AutoStart Program", "C:\\vx app\\tool.exe",
                               [&] { Press(host.Page(), IDC_STARTUP_ADD); }));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, USER_RUN, taken.c_str(), "C:\\vxlist\\other.exe");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, USER_RUN, (taken + " (3)").c_str(),
                      "\"C:\\vx app\\tool.exe\"");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\vx app\\tool.exe", "1");
    EXPECT_GE(RowOf(host.List(), taken + " (3)", "HKCU_RUN"), 0);
    // No version resource: the file name less its extension, unquoted.
    vxtest::WriteFileBytes("C:\\vxlist\\plain.exe", "MZ");
    values_.push_back({ HKEY_CURRENT_USER, "plain" });
    EXPECT_TRUE(WithChosenFile("Add AutoStart Program", "C:\\vxlist\\plain.exe",
                               [&] { Press(host.Page(), IDC_STARTUP_ADD); }));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, USER_RUN, "plain", "C:\\vxlist\\plain.exe");
    char name[ITEM_NAME] = "x";
    EXPECT_EQ(0, AddRunProgram("C:\\vxlist\\missing.exe", name, sizeof(name)));
    EXPECT_STREQ("", name);
}

TEST_F(StartupPageTest, OurOwnFilesAreNeitherDeletedOnRebootNorDelayed)
{
    vxtest::WriteFileBytes("C:\\vxlist\\victim app.exe", "MZ");
    Run(HKEY_CURRENT_USER, "Own", vxtest::PathInProgramFolder("KESSA.DLL"));
    Run(HKEY_CURRENT_USER, "Vardex", vxtest::PathInProgramFolder("Vardex.exe"));
    Run(HKEY_CURRENT_USER, "Missing", "C:\\vxlist\\none.exe /q");
    Run(HKEY_CURRENT_USER, "Victim", "\"C:\\vxlist\\victim app.exe\" /quiet");
    std::string before = PendingDeletes();
    PageHost host(PAGE_STARTUP);
    HWND list = host.List();
    auto deleteRow = [&](const char* title, int answer) {
        ClickRow(list, RowOf(list, title, "HKCU_RUN"));
        return OneBoxText({ answer }, [&] {
            SendMessageA(host.Page(), WM_COMMAND, IDM_PAGE_REBOOT_DELETE, 0);
        });
    };
    EXPECT_NE(std::string::npos, deleteRow("Own", IDOK).find("is a file of Vardex itself"));
    EXPECT_NE(std::string::npos, deleteRow("Missing", IDOK).find("Nothing was scheduled"));
    EXPECT_EQ(before, PendingDeletes());
    EXPECT_NE(std::string::npos, deleteRow("Victim", IDNO).find("Adware or Spyware"));
    EXPECT_EQ(before, PendingDeletes());
    deleteRow("Victim", IDYES);
    std::string pending = PendingDeletes();
    std::transform(pending.begin(), pending.end(), pending.begin(), ::toupper);
    EXPECT_NE(std::string::npos, pending.find("VXLIST\\VICTIM APP.EXE"));
    EXPECT_EQ(std::string::npos, pending.find("KESSA"));
    // Nor is the monitor itself delayed.
    ClickRow(list, RowOf(list, "Vardex", "HKCU_RUN"));
    std::string told = OneBoxText({ IDOK }, [&] {
        SendMessageA(host.Page(), WM_COMMAND, IDM_STARTUP_DELAY, 0);
    });
    EXPECT_NE(std::string::npos, told.find("can not be delayed"));
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, USER_RUN, "Vardex"));
}

// Every place, the secret ones included, planted on the system.
class StartupPagePlaces : public startup_test::PlantedSystem {};

TEST_F(StartupPagePlaces, ButtonsStatusAndMenuFollowTheSelectedCode)
{
    PageHost host(PAGE_STARTUP);
    HWND page = host.Page(), list = host.List();
    EXPECT_EQ(-1, FindRow(list, kType, "LOGON_USERINIT"));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_STARTUP_SHOW_ALL));
    Press(page, IDC_STARTUP_SHOW_ALL);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ShowAllStartup", "1");
    struct Case { const char* type; const char* remove; bool removes, toggles; };
    const Case cases[] = {
        { "HKCU_RUN", "&Remove", true, true },
        { "LOGON_USERINIT", "&Reset", true, false },
        { "LOGON_SHELL", "&Reset", true, false },
        { "DELAYLOAD", "&Remove", true, false },
        { "APPINIT_DLL", "&Remove", true, false },
        { "NOTIFY", "&Remove", false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        int row = FindRow(list, kType, c.type);
        ASSERT_GE(row, 0);
        ClickRow(list, row);
        EXPECT_EQ(c.remove, vxtest::DialogItemText(page, IDC_STARTUP_REMOVE));
        EXPECT_EQ(c.removes, Usable(page, IDC_STARTUP_REMOVE));
        EXPECT_TRUE(Shown(page, IDC_STARTUP_DISABLE));
        EXPECT_EQ(c.toggles, Usable(page, IDC_STARTUP_DISABLE));
    }
    // The status bar tells the selected row's place (its text has its own test).
    EXPECT_EQ("Startup Location: " NT_PATH "Winlogon Notify", StatusText(host.Sheet()));
    std::vector<std::string> menu =
        MenuOfRightClick(page, list, FindRow(list, kType, "LOGON_USERINIT"));
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&Reset"));
    EXPECT_EQ(1, std::count(menu.begin(), menu.end(), "&Disable (off)"));
    EXPECT_EQ(0, std::count(menu.begin(), menu.end(), "&Move to Delayed Start Program List"));
    // A hook point asks its own question (through the program's seam).
    vxtest::ScriptedUi user;
    user.confirm = 1;
    ClickRow(list, FindRow(list, kType, "DELAYLOAD"));
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_STARTUP_REMOVE); }).empty());
    EXPECT_EQ(1u, user.confirmations.size());
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay");
    // Unchecked again, the secret places are gone.
    Press(page, IDC_STARTUP_SHOW_ALL);
    EXPECT_EQ(-1, FindRow(list, kType, "LOGON_USERINIT"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ShowAllStartup", "0");
}

}  // namespace
