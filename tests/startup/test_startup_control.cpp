// Disabling, enabling and removing each kind of startup entry, checked in
// the registry, WIN.INI, the folders and history.txt after every step.
#include "startup_fixture.h"

#include <process.h>

#include "foundation/language.h"
#include "foundation/registry_store.h"

using namespace startup_test;

class StartupControl : public PlantedSystem {};

// Each Run key: disable parks the value in its mirror (quotes, arguments
// kept), enable brings it back to its own root, remove deletes it for good.
TEST_F(StartupControl, RunFamilyDisableEnableRemove)
{
    for (const RunPlace& p : kRunPlaces) {
        SCOPED_TRACE(p.code);
        std::string name = RunName(p.code), command = RunCommand(p.code);
        if (p.code == 26 || p.code == 27) {
            EXPECT_EQ(0, ToggleStartupEntry(name.c_str(), command.c_str(), "", p.code));
            EXPECT_REG_STRING(p.root, p.path, name.c_str(), RunData(p.code));
            EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name.c_str());
        } else {
            std::string mirror = std::string(DISABLED "\\") + kMirrors[p.code % 10 - 1];
            EXPECT_EQ(1, ToggleStartupEntry(name.c_str(), command.c_str(), "", p.code));
            EXPECT_REG_MISSING(p.root, p.path, name.c_str());
            EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, mirror.c_str(), name.c_str(), RunData(p.code));
            EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, name.c_str(), std::to_string(p.code));
            BuildStartupList(0);
            int i = FindItem(p.code, name);
            ASSERT_GE(i, 0);
            EXPECT_EQ(command, GetItemCommand(i));

            EXPECT_EQ(1, ToggleStartupEntry(name.c_str(), command.c_str(), "", p.code));
            EXPECT_REG_STRING(p.root, p.path, name.c_str(), RunData(p.code));
            EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, mirror.c_str(), name.c_str());
            EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name.c_str());
        }
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, command.c_str(), "1");
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, name.c_str(), "1");
        int lines = HistoryLines();
        EXPECT_EQ(1, RemoveStartupEntry(name.c_str(), command.c_str(), "", p.code));
        EXPECT_REG_MISSING(p.root, p.path, name.c_str());
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, command.c_str());
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, name.c_str());
        EXPECT_EQ(lines + 1, HistoryLines());
        EXPECT_NE(std::string::npos, HistoryText().find("\t" + name + "\t" + command));
    }
    // The neighbours of every entry are untouched.
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON, "Shell", "explorer.exe " APP "\\shell.exe");
    EXPECT_EQ(APP "\\winrun.exe", WinIni("run"));
}

TEST_F(StartupControl, HistoryTypesOfRunFamilies)
{
    RemoveStartupEntry(RunName(1).c_str(), RunCommand(1).c_str(), "", 1);
    RemoveStartupEntry(RunName(17).c_str(), RunCommand(17).c_str(), "", 17);
    RemoveStartupEntry(RunName(21).c_str(), RunCommand(21).c_str(), "", 21);
    std::string history = HistoryText();
    EXPECT_NE(std::string::npos, history.find("\t*START_Remove\tMACHINE_RUN\tVxRun1\t"));
    EXPECT_NE(std::string::npos, history.find("\t*START_Remove\tTYPE_UNKNOWN\tVxRun17\t"));
    EXPECT_NE(std::string::npos, history.find("\t*START_Remove\tWOW64_RUN\tVxRun21\t"));
}

TEST_F(StartupControl, RemovingDisabledRunValueClearsItsRecords)
{
    ToggleStartupEntry("VxRun11", RunCommand(11).c_str(), "", 11);
    RemoveStartupEntry("VxRun11", RunCommand(11).c_str(), "", 11);
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxRun11");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, "VxRun11");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxRun11");
}

TEST_F(StartupControl, RundllValueComesBackWhole)
{
    const char* data = "rundll32.exe " APP "\\x.dll,Start";
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxDll", data);
    BuildStartupList(0);
    int i = FindItem(11, "VxDll");
    ASSERT_GE(i, 0);
    std::string command = GetItemCommand(i);
    ASSERT_EQ(1, ToggleStartupEntry("VxDll", command.c_str(), "", 11));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxDll", data);
    BuildStartupList(0);
    i = FindItem(11, "VxDll");
    ASSERT_GE(i, 0);
    ASSERT_EQ(1, ToggleStartupEntry("VxDll", GetItemCommand(i), "", 11));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxDll", data);
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "VxDll");
}

TEST_F(StartupControl, WinIniDisableEnableRemove)
{
    struct Case { int code; const char* key; const char* mirror; const char* item; const char* rest; };
    const Case cases[] = {
        { 101, "run", DISABLED "\\WinRun", APP "\\winrun.exe", "" },
        { 100, "load", DISABLED "\\WinLoad", APP "\\winload.exe", APP "\\winload2.exe;" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(1, ToggleStartupEntry(c.key, c.item, "", c.code));
        EXPECT_EQ(c.rest, WinIni(c.key));
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, c.mirror, c.key, c.item);
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, c.key, std::to_string(c.code));
        ToggleStartupEntry(c.key, c.item, "", c.code);
        EXPECT_NE(std::string::npos, WinIni(c.key).find(c.item));
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, c.mirror, c.key);
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, c.key);
        // Removing a disabled item clears its records.
        ToggleStartupEntry(c.key, c.item, "", c.code);
        RemoveStartupEntry(c.key, c.item, "", c.code);
        EXPECT_EQ(c.rest, WinIni(c.key));
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, c.mirror, c.key);
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, c.key);
    }
    EXPECT_NE(std::string::npos, HistoryText().find("\t*START_Remove\tWIN_RUN\trun\t" APP "\\winrun.exe"));
    EXPECT_NE(std::string::npos, HistoryText().find("\t*START_Remove\tWIN_LOAD\tload\t"));
}

TEST_F(StartupControl, StartupFolderFilesMoveToDisabledAndBack)
{
    std::string disabled = vxtest::PathInProgramFolder("Disabled");
    for (const FolderPlace& f : kFolders) {
        SCOPED_TRACE(f.tag);
        std::string name = std::string("Vx link ") + f.tag;
        std::string link = std::string(f.folder) + "\\" + f.tag + ".lnk";
        std::string target = std::string(APP "\\target_") + f.tag + ".exe";
        EXPECT_EQ(1, ToggleStartupEntry(name.c_str(), target.c_str(), link.c_str(), 200));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(link.c_str()));
        std::string parked = disabled + "\\" + f.tag + ".lnk";
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(parked.c_str()));
        EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, name.c_str(), "200");
        BuildStartupList(0);
        int i = FindItem(200, name);
        ASSERT_GE(i, 0);
        EXPECT_EQ(parked, GetItemExtra(i));

        // Back into the user's own Startup folder.
        EXPECT_EQ(1, ToggleStartupEntry(name.c_str(), target.c_str(), parked.c_str(), 200));
        std::string back = std::string(kFolders[2].folder) + "\\" + f.tag + ".lnk";
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(back.c_str()));
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name.c_str());

        EXPECT_EQ(1, RemoveStartupEntry(name.c_str(), target.c_str(), back.c_str(), 200));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(back.c_str()));
        // The program the shortcut starts is never deleted.
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
    }
    EXPECT_EQ(4, HistoryLines());
    EXPECT_NE(std::string::npos, HistoryText().find("\t*START_Remove\tGROUP_STARTUP\tVx link mstart\t"));
}

TEST_F(StartupControl, ParkedFileOfSameNameIsNotOverwritten)
{
    std::string a = std::string(kFolders[0].folder) + "\\same.bat";
    std::string b = std::string(kFolders[2].folder) + "\\same.bat";
    vxtest::WriteFileBytes(a, "first");
    vxtest::WriteFileBytes(b, "second");
    EXPECT_EQ(1, ToggleStartupEntry("same A", a.c_str(), "", 200));
    EXPECT_EQ(0, ToggleStartupEntry("same B", b.c_str(), "", 200));
    EXPECT_EQ("second", vxtest::ReadFileText(b));
    EXPECT_EQ("first", vxtest::ReadFileText(vxtest::PathInProgramFolder("Disabled\\same.bat")));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, "same B");
}

TEST_F(StartupControl, NotifyPackageOffAndOnInPlace)
{
    EXPECT_EQ(1, ToggleStartupEntry("VxNotify", APP "\\notify.dll", "", 256));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "OldName", APP "\\notify.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "DllName", "");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\WinNotify", "VxNotify", APP "\\notify.dll");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\notify.dll", "256");
    // A second switch-off (the index was lost) keeps the saved name.
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DISABLED, "VxNotify");
    DisableNotify("VxNotify");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "OldName", APP "\\notify.dll");
    vxtest::SetString(HKEY_LOCAL_MACHINE, DISABLED, "VxNotify", "256");
    ToggleStartupEntry("VxNotify", APP "\\notify.dll", "", 256);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "DllName", APP "\\notify.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "OldName", "");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, "VxNotify");
    // Removal changes nothing on the system but is written down.
    RemoveStartupEntry("VxNotify", APP "\\notify.dll", "", 256);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "DllName", APP "\\notify.dll");
    EXPECT_NE(std::string::npos, HistoryText().find("\tRUN_WINLOGONNOTIFY\tVxNotify\t"));
}

TEST_F(StartupControl, WinlogonValuesResetToDefaults)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    RemoveStartupEntry("Winlogon Userinit", APP "\\ui.exe", "", 250);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit",
                      std::string(system) + "\\Userinit.exe,");
    RemoveStartupEntry("Winlogon Shell", APP "\\shell.exe", "", 251);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON, "Shell", "Explorer.exe");
    std::string history = HistoryText();
    EXPECT_NE(std::string::npos, history.find("\tRESET_USERINIT\tWINLOGON_Userinit\t"));
    EXPECT_NE(std::string::npos, history.find("\tRESET_SHELL\tWINLOGON_Shell\t"));
    // The reset values are known: the next patrol does not ask about them.
    InitRegStartups();
    RegDeleteKeyTree(HKEY_CURRENT_USER, BASELINE);
    ResetUserinit();
    ResetShell();
    BuildStartupList(0);
    int userinit = FindItem(250, "Winlogon Userinit"), shell = FindItem(251, "Winlogon Shell");
    ASSERT_GE(userinit, 0);
    ASSERT_GE(shell, 0);
    char key[ITEM_COMMAND];
    BaselineKeyOf(GetItemCommand(userinit), key, sizeof(key));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, key, "250");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, GetItemCommand(shell), "251");
}

TEST_F(StartupControl, DisablingSystemHooksDoesNothing)
{
    for (int code : { 250, 251, 252, 253, 254, 255, 26, 27, 3000 })
        EXPECT_EQ(0, ToggleStartupEntry("VxDelay", APP "\\x.dll", CLSID_DELAY, code)) << code;
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay", CLSID_DELAY);
}

TEST_F(StartupControl, AppInitListLosesOnlyTheMiddleItem)
{
    RemoveAppInitDll(APP "\\B.DLL");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", APP "\\a.dll," APP "\\c.dll");
    // Nothing matching: nothing written.
    vxtest::SetString(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", "x.dll  y.dll");
    RemoveAppInitDll("z.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", "x.dll  y.dll");
}

// --- Hook removal with its confirmation ---------------------------------------------

struct Clicker {
    int button;  // IDYES or IDNO
    std::string text;
};

// The message text: the longest text of the box's static controls (their
// ids differ between systems).
static BOOL CALLBACK LongestStatic(HWND child, LPARAM param)
{
    std::string* text = (std::string*)param;
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof(cls));
    std::string t = vxtest::WindowText(child);
    if (lstrcmpiA(cls, "Static") == 0 && t.size() > text->size())
        *text = t;
    return TRUE;
}

static unsigned __stdcall PressMessageButton(void* param)
{
    Clicker* c = (Clicker*)param;
    HWND box = vxtest::WaitForWindow("#32770", NULL, 10000);
    if (box != NULL) {
        Sleep(300);
        EnumChildWindows(box, LongestStatic, (LPARAM)&c->text);
        PostMessageA(GetDlgItem(box, c->button), BM_CLICK, 0, 0);
    }
    return 0;
}

// Runs RemoveStartupEntry while a thread answers the message box.
static int RemoveAnswering(int button, std::string* text, const char* name, const char* command,
                           const char* extra, int code)
{
    Clicker c = { button, "" };
    HANDLE thread = (HANDLE)_beginthreadex(NULL, 0, PressMessageButton, &c, 0, NULL);
    int result = RemoveStartupEntry(name, command, extra, code);
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    *text = c.text;
    return result;
}

TEST_F(StartupControl, HookRemovalAsksAndNoKeepsEverything)
{
    char expected[1024];
    LoadText(1013, expected, sizeof(expected));
    struct Case { int code; const char* key; const char* name; const char* value; const char* extra;
                  const char* history; };
    const Case cases[] = {
        { 252, DELAYLOAD, "VxDelay", "VxDelay", CLSID_DELAY, "\tREMOVE_DELAYLOAD\tREG_Delayload\t" },
        { 253, TASKSCHED, "Vx Task Hook", CLSID_TASK, CLSID_TASK,
          "\tREMOVE_TaskScheduler\tREG_TaskScheduler\t" },
        { 254, EXECHOOKS, "Vx Exec Hook", CLSID_EXEC, CLSID_EXEC,
          "\tREMOVE_TASKSCHEDULER\tREG_ShellExecuteHook\t" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::string text;
        int lines = HistoryLines();
        EXPECT_EQ(0, RemoveAnswering(IDNO, &text, c.name, APP "\\h.dll", c.extra, c.code));
        EXPECT_EQ(expected, text);
        EXPECT_TRUE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, c.key, c.value));
        EXPECT_EQ(lines, HistoryLines());
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\h.dll", "1");
        EXPECT_EQ(1, RemoveAnswering(IDYES, &text, c.name, APP "\\h.dll", c.extra, c.code));
        EXPECT_FALSE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, c.key, c.value));
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, APP "\\h.dll");
        EXPECT_NE(std::string::npos, HistoryText().find(c.history));
    }
    std::string text;
    EXPECT_EQ(1, RemoveAnswering(IDYES, &text, "", APP "\\c.dll", "", 255));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", APP "\\a.dll," APP "\\b.dll");
    EXPECT_NE(std::string::npos, HistoryText().find("\t*START_Remove\tREG_AppInitDLLs\t"));
}

TEST_F(StartupControl, HideStartupRemovesHooksWithoutAsking)
{
    g_Options[OPT_HideStartup] = 1;
    EXPECT_EQ(1, RemoveStartupEntry("Vx Exec Hook", APP "\\exec.dll", CLSID_EXEC, 254));
    g_Options[OPT_HideStartup] = 0;
    EXPECT_FALSE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, EXECHOOKS, CLSID_EXEC));
}

TEST_F(StartupControl, OwnEntryLeavesNoHistoryButLeavesBaseline)
{
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxOwn", "C:\\Vardex\\Vardex.exe -expressboot");
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, "C:\\Vardex\\Vardex.exe -expressboot", "1");
    RemoveStartupEntry("VxOwn", "C:\\Vardex\\Vardex.exe -expressboot", "", 11);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxOwn");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, "C:\\Vardex\\Vardex.exe -expressboot");
    EXPECT_EQ(0, HistoryLines());
}

TEST_F(StartupControl, NullAndEmptyArgumentsAreRefused)
{
    EXPECT_EQ(0, ToggleStartupEntry(NULL, "x", "", 11));
    EXPECT_EQ(0, ToggleStartupEntry("", "x", "", 11));
    EXPECT_EQ(0, ToggleStartupEntry("VxRun11", NULL, "", 11));
    EXPECT_EQ(0, RemoveStartupEntry(NULL, "x", "", 11));
    EXPECT_EQ(1, ToggleStartupEntry("VxRun11", RunCommand(11).c_str(), NULL, 11));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "RunOnce", "VxRun12", RunData(12));
}
