// Disabling, enabling and removing each kind of startup entry, checked in
// the registry, WIN.INI, the folders and history.txt after every step.
#include "startup_fixture.h"

#include <functional>

#include "foundation/language.h"

using namespace startup_test;

class StartupControl : public PlantedSystem {};

static std::string Reg(HKEY root, const std::string& path, const std::string& name)
{
    bool present = vxtest::ValueExists(root, path.c_str(), name.c_str());
    return present ? vxtest::ReadString(root, path.c_str(), name.c_str()) : "";
}

// One planted entry: what Windows starts it from and what its parked copy
// holds ("" when gone), read afresh at each step.
struct Entry {
    int code;
    std::string name, command, type;  // type: its history name, when checked
    std::function<std::string()> placed, parked;
    bool canPark, fileExtra, removeKeeps;
};

static std::vector<Entry> Entries()
{
    std::vector<Entry> all;
    for (const RunPlace& p : RunPlaces()) {
        std::string name = RunName(p.code), mirror = std::string(DISABLED "\\") + kMirrors[p.code % 10 - 1];
        const char* type = p.code == 1 ? "MACHINE_RUN" : p.code == 17 ? "TYPE_UNKNOWN"
                           : p.code == 21 ? "WOW64_RUN" : "";
        all.push_back({ p.code, name, RunCommand(p.code), type, [=] { return Reg(p.root, p.path, name); },
                        [=] { return Reg(HKEY_LOCAL_MACHINE, mirror, name); }, p.code < 26, false,
                        false });
    }
    for (const char* key : { "run", "load" }) {
        std::string item = std::string(APP "\\win") + key + ".exe";
        std::string mirror = key[0] == 'r' ? DISABLED "\\WinRun" : DISABLED "\\WinLoad";
        all.push_back({ key[0] == 'r' ? 101 : 100, key, item, key[0] == 'r' ? "WIN_RUN" : "WIN_LOAD",
                        [=] { return WinIni(key).find(item) != std::string::npos ? item : ""; },
                        [=] { return Reg(HKEY_LOCAL_MACHINE, mirror, key); }, true, false, false });
    }
    for (const FolderPlace& f : kFolders) {
        // Enabled again, a shortcut returns to the user's own Startup folder.
        std::string link = LinkOf(f), back = std::string(kFolders[2].folder) + "\\" + f.tag + ".lnk";
        std::string parked = vxtest::PathInProgramFolder("Disabled") + "\\" + f.tag + ".lnk";
        all.push_back({ 200, std::string("Vx link ") + f.tag, TargetOf(f), "GROUP_STARTUP",
                        [=] { return FileThere(link) ? link : FileThere(back) ? back : ""; },
                        [=] { return FileThere(parked) ? parked : ""; }, true, true, false });
    }
    // A notify package is switched off in place; its removal changes nothing on the system.
    all.push_back({ 256, "VxNotify", APP "\\notify.dll", "RUN_WINLOGONNOTIFY",
                    [] { return Reg(HKEY_LOCAL_MACHINE, NOTIFY, "DllName"); },
                    [] { return Reg(HKEY_LOCAL_MACHINE, DISABLED "\\WinNotify", "VxNotify"); }, true, false,
                    true });
    return all;
}

TEST_F(StartupControl, EveryPlaceDisableEnableRemove)
{
    for (const Entry& e : Entries()) {
        SCOPED_TRACE(e.name);
        const char *name = e.name.c_str(), *command = e.command.c_str();
        std::string on = e.placed(), parked;
        ASSERT_NE("", on);
        int lines = HistoryLines();
        if (!e.canPark) {  // 26, 27: no mirror, so nothing is done
            EXPECT_EQ(0, ToggleStartupEntry(name, command, "", e.code));
            EXPECT_EQ(on, e.placed());
            EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name);
        } else {
            EXPECT_EQ(1, ToggleStartupEntry(name, command, e.fileExtra ? on.c_str() : "", e.code));
            EXPECT_EQ("", e.code == 256 ? "" : e.placed());
            parked = e.parked();
            // What is parked is the entry whole (a Run value keeps its quotes).
            EXPECT_EQ(e.fileExtra ? parked : e.code <= 27 ? RunData(e.code) : on, parked);
            EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, name, std::to_string(e.code));
            BuildStartupList(0);  // listed from where it waits (a notify package is not)
            int i = FindItem(e.code, e.name, command);
            EXPECT_EQ(e.code == 256 ? "" : e.name, std::string(i < 0 ? "" : GetItemName(i)));
            EXPECT_EQ(e.fileExtra ? parked : "", std::string(i < 0 ? "" : GetItemExtra(i)));

            EXPECT_EQ(1, ToggleStartupEntry(name, command, e.fileExtra ? parked.c_str() : "", e.code));
            on = e.placed();
            EXPECT_NE("", on);
            EXPECT_EQ("", e.parked());
            EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name);
            EXPECT_EQ(e.code <= 27 ? RunData(e.code) : e.code == 256 ? e.command : on, on);
        }
        EXPECT_EQ(lines, HistoryLines());  // toggling writes no history
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, command, "1");
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, name, "1");
        EXPECT_EQ(1, RemoveStartupEntry(name, command, e.fileExtra ? on.c_str() : "", e.code));
        EXPECT_EQ(e.removeKeeps ? on : "", e.placed());
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, command);
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, name);
        EXPECT_EQ(lines + 1, HistoryLines());
        EXPECT_TRUE(HistoryHas((e.type.empty() ? "" : "\t*START_Remove\t" + e.type) + "\t" + e.name + "\t" +
                               e.command));
        // The program a shortcut starts is never deleted.
        EXPECT_TRUE(!e.fileExtra || FileThere(e.command));
    }
    // The neighbours of every entry are untouched.
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON, "Shell", "explorer.exe " APP "\\shell.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay", CLSID_DELAY);
}

TEST_F(StartupControl, RemovingDisabledEntryClearsItsRecords)
{
    ASSERT_EQ(1, ToggleStartupEntry("VxRun11", RunCommand(11).c_str(), "", 11));
    ASSERT_EQ(1, ToggleStartupEntry("run", APP "\\winrun.exe", "", 101));
    RemoveStartupEntry("VxRun11", RunCommand(11).c_str(), "", 11);
    RemoveStartupEntry("run", APP "\\winrun.exe", "", 101);
    for (const char* name : { "VxRun11", "run" })
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name);
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxRun11");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED "\\WinRun", "run");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxRun11");
    EXPECT_EQ("", WinIni("run"));
}

// Listed by its DLL, yet parked and given back as the whole RUNDLL32 line.
TEST_F(StartupControl, RundllValueListedByDllComesBackWhole)
{
    const char* data = "C:\\windows\\system32\\RUNDLL32.EXE " APP "\\x.dll,Start";
    Plant(HKEY_CURRENT_USER, CV "Run", "VxDll", data);
    BuildStartupList(0);
    int i = FindItem(11, "VxDll");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\x.dll,Start", GetItemCommand(i));
    EXPECT_EQ(1, GetItemFlag(i));
    ASSERT_EQ(1, ToggleStartupEntry("VxDll", GetItemCommand(i), "", 11));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxDll", data);
    BuildStartupList(0);
    i = FindItem(11, "VxDll");
    ASSERT_GE(i, 0);
    ASSERT_EQ(1, ToggleStartupEntry("VxDll", GetItemCommand(i), "", 11));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxDll", data);
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

TEST_F(StartupControl, NotifyPackageKeepsItsSavedNameOnSecondDisable)
{
    EXPECT_EQ(1, ToggleStartupEntry("VxNotify", APP "\\notify.dll", "", 256));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\notify.dll", "256");
    DisableNotify("VxNotify");  // again, as when the index was lost
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "OldName", APP "\\notify.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NOTIFY, "DllName", "");
}

// Reset to the defaults, which go into the user's baseline: the next patrol does not ask about them.
TEST_F(StartupControl, WinlogonValuesResetToKnownDefaults)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    RemoveStartupEntry("Winlogon Userinit", APP "\\ui.exe", "", 250);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit", std::string(system) + "\\Userinit.exe,");
    RemoveStartupEntry("Winlogon Shell", APP "\\shell.exe", "", 251);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON, "Shell", "Explorer.exe");
    EXPECT_TRUE(HistoryHas("\tRESET_USERINIT\tWINLOGON_Userinit\t"));
    EXPECT_TRUE(HistoryHas("\tRESET_SHELL\tWINLOGON_Shell\t"));
    BuildStartupList(0);
    char key[ITEM_COMMAND];
    BaselineKeyOf(GetItemCommand(FindItem(250, "Winlogon Userinit")), key, sizeof(key));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, key, "250");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, GetItemCommand(FindItem(251, "Winlogon Shell")), "251");
}

TEST_F(StartupControl, RefusedArgumentsAndCodes)
{
    for (int code : { 250, 251, 252, 253, 254, 255, 3000 })
        EXPECT_EQ(0, ToggleStartupEntry("VxDelay", APP "\\x.dll", CLSID_DELAY, code)) << code;
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DELAYLOAD, "VxDelay", CLSID_DELAY);
    EXPECT_EQ(0, ToggleStartupEntry(NULL, "x", "", 11));
    EXPECT_EQ(0, ToggleStartupEntry("", "x", "", 11));
    EXPECT_EQ(0, ToggleStartupEntry("VxRun11", NULL, "", 11));
    EXPECT_EQ(0, RemoveStartupEntry(NULL, "x", "", 11));
    EXPECT_EQ(1, ToggleStartupEntry("VxRun11", RunCommand(11).c_str(), NULL, 11));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "RunOnce", "VxRun12", RunData(12));
}

TEST_F(StartupControl, OwnEntryLeavesNoHistoryButLeavesBaseline)
{
    const char* own = "C:\\Vardex\\Vardex.exe -expressboot";
    Plant(HKEY_CURRENT_USER, CV "Run", "VxOwn", own);
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, own, "1");
    RemoveStartupEntry("VxOwn", own, "", 11);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxOwn");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, own);
    EXPECT_EQ(0, HistoryLines());
}

// --- Hook removal with its confirmation ---------------------------------------------

// Runs RemoveStartupEntry for a user who answers the confirmation.
static int RemoveAnswering(int yes, const char* name, const char* extra, int code,
                           std::string* question)
{
    vxtest::ScriptedUi user;
    user.confirm = yes;
    int result = RemoveStartupEntry(name, APP "\\h.dll", extra, code);
    *question = user.confirmations.empty() ? "" : user.confirmations[0];
    return result;
}

TEST_F(StartupControl, HookRemovalAsksNoKeepsEverythingYesRemoves)
{
    char expected[1024];
    LoadText(1013, expected, sizeof(expected));
    struct Case { int code; const char *key, *name, *value, *extra, *history; };
    const Case cases[] = {
        { 252, DELAYLOAD, "VxDelay", "VxDelay", CLSID_DELAY, "\tREMOVE_DELAYLOAD\tREG_Delayload\t" },
        { 253, TASKSCHED, "Vx Task Hook", CLSID_TASK, CLSID_TASK,
          "\tREMOVE_TaskScheduler\tREG_TaskScheduler\t" },
        { 254, EXECHOOKS, "Vx Exec Hook", CLSID_EXEC, CLSID_EXEC,
          "\tREMOVE_TASKSCHEDULER\tREG_ShellExecuteHook\t" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        int lines = HistoryLines();
        std::string question;
        EXPECT_EQ(0, RemoveAnswering(0, c.name, c.extra, c.code, &question));
        EXPECT_EQ(expected, question);
        EXPECT_TRUE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, c.key, c.value));
        EXPECT_EQ(lines, HistoryLines());
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\h.dll", "1");
        EXPECT_EQ(1, RemoveAnswering(1, c.name, c.extra, c.code, &question));
        EXPECT_FALSE(vxtest::ValueExists(HKEY_LOCAL_MACHINE, c.key, c.value));
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, APP "\\h.dll");
        EXPECT_TRUE(HistoryHas(c.history));
    }
    // AppInit_Dlls "a b,c" loses only the middle item; nothing matching, nothing written.
    g_Options[OPT_HideStartup] = 1;  // removes without asking
    EXPECT_EQ(1, RemoveStartupEntry("", APP "\\B.DLL", "", 255));
    g_Options[OPT_HideStartup] = 0;
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", APP "\\a.dll," APP "\\c.dll");
    EXPECT_TRUE(HistoryHas("\t*START_Remove\tREG_AppInitDLLs\t"));
    vxtest::SetString(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", "x.dll  y.dll");
    RemoveAppInitDll("z.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, NT_WINDOWS, "AppInit_Dlls", "x.dll  y.dll");
}
