// Disabling, enabling and removing each kind of startup entry, checked in
// the registry, WIN.INI, the folders and history.txt after every step.
#include "startup_fixture.h"

#include <functional>

using vxtest::Items;

using namespace startup_test;

class StartupControl : public PlantedSystem {};

// One planted entry: what Windows starts it from and what its parked copy
// holds ("" when gone), read afresh at each step; history: the action and
// type its removal writes, when checked.
struct Entry {
    int code;
    std::string name, command, extra, history;
    std::function<std::string()> placed, parked;
};

static std::vector<Entry> Entries(const std::string& tool)
{
    const HKEY lm = HKEY_LOCAL_MACHINE;  // "at": a registry value read afresh
    auto at = [](HKEY r, std::string p, std::string n) { return [=] { return Reg(r, p, n); }; };
    std::vector<Entry> all;
    for (const RunPlace& p : RunPlaces()) {
        std::string name = RunName(p.code),
                    mirror = std::string(DISABLED "\\") + kMirrors[p.code % 10 - 1];
        all.push_back({ p.code, name, RunCommand(p.code), "", p.code == 1 ? "\tMACHINE_RUN" : "",
                        at(p.root, p.path, name), at(lm, mirror, name) });
    }
    for (std::string key : { "run", "load" }) {  // WIN.INI [windows]
        std::string item = APP "\\win" + key + ".exe";
        all.push_back({key == "run" ? 101 : 100, key, item, "", key == "run" ? "\tWIN_RUN" : "",
            [=] { return WinIni(key.c_str()).find(item) != std::string::npos ? item : ""; },
            at(lm, key == "run" ? DISABLED "\\WinRun" : DISABLED "\\WinLoad", key)});
    }
    for (const FolderPlace& f : kFolders) {
        // Enabled again, a shortcut returns to the user's own Startup folder.
        std::string link = LinkOf(f),
                    back = std::string(kFolders[2].folder) + "\\" + f.tag + ".lnk";
        std::string parked = vxtest::PathInProgramFolder("Disabled") + "\\" + f.tag + ".lnk";
        all.push_back({ 200, std::string("Vx link ") + f.tag, TargetOf(f), link, "\tGROUP_STARTUP",
                        [=] { return FileThere(link) ? link : FileThere(back) ? back : ""; },
                        [=] { return FileThere(parked) ? parked : ""; } });
    }
    // Switched off in place: removed, it stays on the system.  Hook points
    // are never parked; AppInit_Dlls "a b,c" loses only b.
    all.push_back({ 256, "VxNotify", APP "\\notify.dll", "", "\tRUN_WINLOGONNOTIFY",
                    at(lm, NOTIFY, "DllName"), at(lm, DISABLED "\\WinNotify", "VxNotify") });
    all.push_back({ 252, "VxDelay", tool, CLSID_DELAY, "\tREMOVE_DELAYLOAD\tREG_Delayload",
                    at(lm, DELAYLOAD, "VxDelay"), at(lm, DELAYLOAD, "none") });
    all.push_back({ 255, "", APP "\\B.DLL", "", "\t*START_Remove\tREG_AppInitDLLs",
                    at(lm, NT_WINDOWS, "AppInit_Dlls"), at(lm, DELAYLOAD, "none") });
    return all;
}

// Run values 11 and WIN.INI's "run" are removed while parked: neither mirror
// nor index is left.  A hook point goes only when the user says yes.
TEST_F(StartupControl, EveryPlaceDisableEnableRemove)
{
    vxtest::ScriptedUi user;  // says no first: the hook point stays
    EXPECT_EQ(0, RemoveStartupEntry("VxDelay", tool_.c_str(), CLSID_DELAY, 252));
    user.confirm = 1;
    for (const Entry& e : Entries(tool_)) {
        SCOPED_TRACE(e.name + " " + std::to_string(e.code));
        const char *name = e.name.c_str(), *command = e.command.c_str();
        bool file = e.code == 200;  // a Startup-folder file is named by its Extra
        std::string on = e.placed(), parked;
        ASSERT_NE("", on);
        int lines = HistoryLines();
        if (e.code == 26 || e.code == 27
            || (e.code >= 250 && e.code <= 255)) { // no mirror: nothing is done
            EXPECT_EQ(0, ToggleStartupEntry(name, command, e.extra.c_str(), e.code));
            EXPECT_EQ(on, e.placed());
        } else {
            EXPECT_EQ(1, ToggleStartupEntry(name, command, e.extra.c_str(), e.code));
            if (e.code == 256)
                DisableNotify(name);  // again, as when the index was lost: the saved name stays
            EXPECT_EQ("", e.placed());
            parked = e.parked();
            // What is parked is the entry whole (a Run value keeps its quotes).
            EXPECT_EQ(file ? parked : e.code <= 27 ? RunData(e.code) : on, parked);
            EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, name, std::to_string(e.code));
            BuildStartupList(Items(), 0);  // listed from where it waits (a notify package is not)
            int i = FindItem(e.code, e.name, command);
            EXPECT_EQ(e.code == 256 ? "|" : e.name + "|" + (file ? parked : ""),
                i < 0 ? "|"
                      : std::string(GetItemName(Items(), i)) + "|" + GetItemExtra(Items(), i));
            EXPECT_EQ(1, ToggleStartupEntry(name, command, file ? parked.c_str() : "", e.code));
            on = e.placed();
            EXPECT_EQ(e.code <= 27  ? RunData(e.code)
                    : e.code == 256 ? e.command
                    : on.empty()    ? "-"
                                    : on,
                on);
            // Parked again, to be removed as such.
            EXPECT_EQ(1,
                e.code != 11 && e.code != 101 ? 1 : ToggleStartupEntry(name, command, "", e.code));
        }
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, command, "1");
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, name, "1");
        EXPECT_EQ(
            1, RemoveStartupEntry(name, command, file ? on.c_str() : e.extra.c_str(), e.code));
        EXPECT_EQ((e.code == 256 ? on : e.code == 255 ? APP "\\a.dll," APP "\\c.dll" : "") + "|",
                  e.placed() + "|" + e.parked());
        EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED, name);
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, command);
        EXPECT_EQ(
            e.code >= 250 && e.code < 256, vxtest::ValueExists(HKEY_CURRENT_USER, BASELINE, name));
        EXPECT_EQ(lines + 1, HistoryLines());  // toggling writes none
        EXPECT_TRUE(HistoryHas(e.history + "\t" + e.name + "\t" + command));
        EXPECT_TRUE(!file || FileThere(e.command))
            << "the program a shortcut starts is never deleted";
    }
}

// Our own entry goes without a history line; bad arguments and codes are
// refused; a missing extra is none.  Parking never overwrites a parked file
// of the same name.  The index and the mirrors are keyed by name, which
// every WIN.INI "load" item shares: a second item is not parked over the
// first (the same for a Run value: test_vardex, a parked name with another
// command).
TEST_F(StartupControl, OwnEntryLeavesNoHistoryAndNothingIsOverwritten)
{
    WriteProfileStringA("windows", "load", "C:\\w1.exe;C:\\w2.exe");
    ASSERT_EQ(1, ToggleStartupEntry("load", "C:\\w1.exe", "", 100));
    EXPECT_EQ(0, ToggleStartupEntry("load", "C:\\w2.exe", "", 100));
    EXPECT_EQ("C:\\w2.exe;", WinIni("load"));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\WinLoad", "load", "C:\\w1.exe");
    std::string a = kFolders[0].folder + std::string("\\same.bat"),
                b = kFolders[2].folder + std::string("\\same.bat");
    vxtest::WriteFileBytes(a, "first");
    vxtest::WriteFileBytes(b, "second");
    EXPECT_EQ(1, ToggleStartupEntry("same A", a.c_str(), "", 200));
    EXPECT_EQ(0, ToggleStartupEntry("same B", b.c_str(), "", 200));
    EXPECT_EQ(
        "second|", vxtest::ReadFileText(b) + "|" + Reg(HKEY_LOCAL_MACHINE, DISABLED, "same B"));
    EXPECT_EQ("first", vxtest::ReadFileText(vxtest::PathInProgramFolder("Disabled\\same.bat")));
    const char* own = "C:\\Vardex\\Vardex.exe -expressboot";
    Plant(HKEY_CURRENT_USER, CV "RunOnce", "VxOwn", own);
    EXPECT_EQ(1, RemoveStartupEntry("VxOwn", own, "", 12));
    EXPECT_EQ("0", std::to_string(HistoryLines()) + Reg(HKEY_CURRENT_USER, CV "RunOnce", "VxOwn"));
    EXPECT_EQ(0,
        ToggleStartupEntry("VxDelay", APP "\\x.dll", CLSID_DELAY, 3000)
            + ToggleStartupEntry(NULL, "x", "", 11) + ToggleStartupEntry("", "x", "", 11)
            + ToggleStartupEntry("VxRun11", NULL, "", 11) + RemoveStartupEntry(NULL, "x", "", 11));
    EXPECT_EQ(1, ToggleStartupEntry("VxRun11", RunCommand(11).c_str(), NULL, 11));
    EXPECT_EQ(RunData(11), Reg(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxRun11"));
}

// A quoted or short-name WIN.INI item, disabled and enabled by the form the
// list gives it, comes back exactly as it was written.  A Run value listed
// by its DLL is parked and given back as the whole RUNDLL32 line.
TEST_F(StartupControl, WinIniItemComesBackAsWritten)
{
    const char* data = "C:\\windows\\system32\\RUNDLL32.EXE " APP "\\x.dll,Start";
    Plant(HKEY_CURRENT_USER, CV "Run", "VxDll", data);
    BuildStartupList(Items(), 0);
    int i = FindItem(11, "VxDll", APP "\\x.dll,Start");
    ASSERT_TRUE(i >= 0);
    ASSERT_TRUE(GetItemFlag(Items(), i) == 1);
    ASSERT_EQ(1, ToggleStartupEntry("VxDll", GetItemCommand(Items(), i), "", 11));
    ASSERT_EQ(1, ToggleStartupEntry("VxDll", data, "", 11));  // as the parked copy is listed
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxDll", data);
    std::string program = APP "\\Long Folder Name\\prog.exe";
    CreateDirectoryA(APP "\\Long Folder Name", NULL);
    vxtest::WriteFileBytes(program, "MZ");
    char shortPath[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameA(program.c_str(), shortPath, MAX_PATH));
    for (std::string item :
        {"\"" + program + "\" /q", std::string(shortPath), "\"" + program + "\""}) {
        WriteProfileStringA("windows", "load", (APP "\\first.exe;" + item).c_str());
        for (const std::string& load :
            {std::string(APP "\\first.exe;"), APP "\\first.exe;" + item}) {
            BuildStartupList(Items(), 0);
            int i = FindItem(100, "", (program + (item.back() == 'q' ? " /q" : "")).c_str());
            ASSERT_GE(i, 0) << item;
            EXPECT_EQ(1,
                ToggleStartupEntry(GetItemName(Items(), i), GetItemCommand(Items(), i), "", 100));
            EXPECT_EQ(load, WinIni("load"));
        }
    }
    // Reset to the defaults, which go into the user's baseline: the next patrol
    // does not ask about them.
    char system[MAX_PATH], key[ITEM_COMMAND];
    GetSystemDirectoryA(system, MAX_PATH);
    RemoveStartupEntry("Winlogon Userinit", APP "\\ui.exe", "", 250);
    RemoveStartupEntry("Winlogon Shell", APP "\\shell.exe", "", 251);
    EXPECT_EQ(std::string(system) + "\\Userinit.exe,|Explorer.exe",
        Reg(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit") + "|"
            + Reg(HKEY_LOCAL_MACHINE, WINLOGON, "Shell"));
    EXPECT_TRUE(HistoryHas("\tRESET_USERINIT\tWINLOGON_Userinit\t")
        && HistoryHas("\tRESET_SHELL\tWINLOGON_Shell\t"));
    BuildStartupList(Items(), 0);
    BaselineKeyOf(GetItemCommand(Items(), FindItem(250, "Winlogon Userinit")), key, sizeof(key));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, key, "250");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE,
        GetItemCommand(Items(), FindItem(251, "Winlogon Shell")), "251");
}

