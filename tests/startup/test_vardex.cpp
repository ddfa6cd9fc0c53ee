// The startup list, its baseline and the startup patrol, on a system with an
// entry in every autostart place.
#include "startup_fixture.h"

#include "support/idle_child.h"

#include <string.h>

#include "foundation/utils.h"

using vxtest::Items;

using namespace startup_test;

class StartupList : public PlantedSystem {};
class StartupBaseline : public PlantedSystem {};

// Where a Run value of HKCU stands: "live data|parked data|index code".
static std::string RunState(const char* name)
{
    return Reg(HKEY_CURRENT_USER, CV "Run", name) + "|"
        + Reg(HKEY_LOCAL_MACHINE, DISABLED "\\Run", name) + "|"
        + Reg(HKEY_LOCAL_MACHINE, DISABLED, name);
}

// Rows in list order: Run families, Startup folders, WIN.INI, Winlogon, hooks.
// A restricted list leaves the system places out unless "ShowAllStartup".
TEST_F(StartupList, EveryPlaceListedFieldByFieldInOrder)
{
    struct Listed { int code; std::string name, command, extra, info; };
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(tool_.c_str(), strings);
    std::vector<Listed> rows;
    for (const RunPlace& p : RunPlaces())
        rows.push_back({ p.code, RunName(p.code), RunCommand(p.code), "", "" });
    for (const FolderPlace& f : kFolders)
        rows.push_back({ 200, std::string("Vx link ") + f.tag, TargetOf(f), LinkOf(f), "" });
    rows.insert(rows.end(),
        {
            {101, "run", APP "\\winrun.exe", "", ""},
            {100, "load", APP "\\winload.exe", "", ""},
            {100, "load", APP "\\winload2.exe", "", ""},
            {250, "Winlogon Userinit", APP "\\ui.exe", "", ""},
            {251, "Winlogon Shell", APP "\\shell.exe", "", ""},
            {252, "VxDelay", tool_, CLSID_DELAY, strings[VS_PRODUCT_VERSION]},
            // No data: the class's own text names it; braces are added for the lookup.
            {253, "Vx Task Hook", APP "\\task.dll", CLSID_TASK, ""},
            {254, "Vx Exec Hook", APP "\\exec.dll", CLSID_EXEC, ""},
            {255, "a.dll", APP "\\a.dll", "", ""},
            {255, "b.dll", APP "\\b.dll", "", ""},
            {255, "c.dll", APP "\\c.dll", "", ""},
            {256, "VxNotify", APP "\\notify.dll", "", ""},
        });
    BuildStartupList(Items(), 1);
    for (int code = 250; code <= 256; code++)
        EXPECT_EQ(0, CountCode(code)) << code;
    g_Options[OPT_ShowAllStartup] = 1;
    BuildStartupList(Items(), 1);
    int previous = -1;
    for (const Listed& r : rows) {
        int i = FindItem(r.code, "", r.command.c_str());
        ASSERT_GT(i, previous) << r.command;
        previous = i;
        EXPECT_EQ(r.name + "|" + r.extra + "|" + r.info + "|0",
            std::string(GetItemName(Items(), i)) + "|" + GetItemExtra(Items(), i) + "|"
                + GetItemInfo(Items(), i) + "|" + std::to_string(GetItemFlag(Items(), i)));
        auto same = [&](const Listed& o) { return o.code == r.code; };
        EXPECT_TRUE(
            r.code < 100 || std::count_if(rows.begin(), rows.end(), same) == CountCode(r.code));
    }
    // By the last three letters: a shortcut by its target (none when gone, or
    // no shortcut at all), a program by its description, ".ini" never, any
    // other file as it is.  A shortcut without a description is named by its
    // target's FileDescription (a program of another folder named like ours is
    // not ours to rename).
    std::string folder = kFolders[2].folder, exe = folder + "\\tool.exe";
    CopyFileA(tool_.c_str(), exe.c_str(), FALSE);
    for (const char* file :
        {"desktop.ini", "notes.bat", "broken.lnk"}) // the last no shortcut at all
        vxtest::WriteFileBytes(folder + "\\" + file, "[x]");
    ASSERT_TRUE(MakeShortcut(folder + "\\gone.lnk", APP "\\gone.exe", "Vx gone"));
    ASSERT_TRUE(MakeShortcut(folder + "\\plain.lnk", tool_, ""));
    BuildStartupList(Items(), 0);
    EXPECT_GE(FindItem(200, "notes.bat", (folder + "\\notes.bat").c_str()), 0);
    for (int k = 0; k < ItemCount(Items()); k++)
        for (const char* absent : { "desktop.ini", "broken.lnk", "gone.exe" })
            EXPECT_EQ(nullptr, strstr(GetItemCommand(Items(), k), absent));
    for (const std::string& program : { exe, tool_ })
        EXPECT_STREQ("Vardex startup and browser monitor",
            GetItemName(Items(), FindItem(200, "", program.c_str())));
    // A missing name is taken from the file; our own program is known by one
    // name.  (Fields are cut by the bounded copies; the command's cut: below.)
    ClearItems(Items());
    AddItem(Items(), "", "C:\\some dir\\prog.exe -x", "", "", 11, 0);
    AddItem(Items(), "Monitor", "\"C:\\Apps\\VARDEX.exe\" -expressboot", "", "", 1, 0);
    EXPECT_EQ(
        "prog.exe -x|Vardex", std::string(GetItemName(Items(), 0)) + "|" + GetItemName(Items(), 1));
    // Values that are not text, too short to be a program (never alert), or too
    // long: listed cut, and disabled and enabled they come back whole.
    BuildCategoryBaseline(&g_StartupCategory);
    BYTE binary[8] = { 'C', ':', '\\', 'x', '.', 'e', 'x', 'e' };
    for (const char* name : { "VxBinary", "VxDword", "\xE9VxHigh", "V", "VxThree" })
        Plant(
            HKEY_CURRENT_USER, CV "Run", name, strcmp(name, "VxThree") ? APP "\\xxxx.exe" : "abc");
    vxtest::SetValue(HKEY_CURRENT_USER, CV "Run", "VxBinary", REG_BINARY, binary, sizeof(binary));
    vxtest::SetDword(HKEY_CURRENT_USER, CV "Run", "VxDword", 0x41414141);
    EXPECT_EQ(0, StartupChanged());
    EXPECT_EQ(1, CountCode(11));
    std::string longData = APP "\\" + std::string(590, 'L') + ".exe", cut = longData.substr(0, 259);
    Plant(HKEY_CURRENT_USER, CV "Run", "VxLong", longData);
    BuildStartupList(Items(), 0);
    EXPECT_EQ(cut, GetItemCommand(Items(), FindItem(11, "VxLong")));
    for (const char* data : { "", longData.c_str() }) {
        EXPECT_EQ(1, ToggleStartupEntry("VxLong", cut.c_str(), "", 11));
        EXPECT_EQ(data, Reg(HKEY_CURRENT_USER, CV "Run", "VxLong"));
    }
    // The whole line is read: a cut line would hide its last items; removing one keeps the rest.
    std::string line;
    int items = 0;
    for (; line.size() < 2000; items++)
        line += APP "\\load" + std::to_string(items) + ".exe;";
    WriteProfileStringA("windows", "load", line.c_str());
    BuildStartupList(Items(), 0);
    EXPECT_EQ(items, CountCode(100));
    EXPECT_GE(FindItem(100, "", (APP "\\load" + std::to_string(items - 1) + ".exe").c_str()), 0);
    EXPECT_EQ(1, WinIniRemoveItem("load", APP "\\load3.exe"));
    EXPECT_EQ(
        line.erase(line.find(APP "\\load3.exe;"), strlen(APP "\\load3.exe;")), WinIni("load"));
}

// The walk leaves out only a value with the same name and command as the
// value walked just before it (across keys and roots): one that shares only
// its name, or only its command, is another entry.
TEST_F(StartupList, OnlyARepeatOfTheValueWalkedBeforeIsLeftOut)
{
    for (const RunPlace& p : RunPlaces())  // nothing walked in between
        if (p.code <= 11)
            Plant(p.root, p.path, RunName(p.code).c_str(), "<missing>");
    Plant(HKEY_LOCAL_MACHINE, CV "RunServices", "winemenubuilder", "<missing>");  // Wine's own
    Plant(HKEY_LOCAL_MACHINE, CV "Run", "Updater", "C:\\a.exe");
    Plant(HKEY_LOCAL_MACHINE, CV "RunOnce", "Updater", "C:\\a.exe");   // the same: listed once
    Plant(HKEY_CURRENT_USER, CV "Run", "Updater", "C:\\b.exe");        // same name, other command
    Plant(HKEY_CURRENT_USER, CV "Run", "Updater too", "C:\\b.exe");    // same command, other name
    BuildStartupList(Items(), 0);
    EXPECT_EQ("1 0 2", std::to_string(CountCode(1)) + " " + std::to_string(CountCode(2)) + " " +
                           std::to_string(CountCode(11)));
}

// --- Baseline and patrol ---------------------------------------------------------

// Known by its command ("=" as ":"), else by its name, unless that says 0.
// An accepted entry is baselined, stays, and leaves no history line.
TEST_F(StartupBaseline, RoundTripFindsCommandWithEqualsAgain)
{
    BuildCategoryBaseline(&g_StartupCategory);
    Plant(HKEY_CURRENT_USER, CV "Run", "VxEq", APP "\\eq.exe /opt=1");
    g_Options[OPT_HideStartup] = 1;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\eq.exe /opt:1", "11");
    EXPECT_EQ(APP "\\eq.exe /opt=1||", RunState("VxEq"));
    EXPECT_EQ(0, StartupChanged() + HistoryLines());
    CleanupRunRegistry();
    EXPECT_EQ(0, StartupChanged());
    Plant(HKEY_CURRENT_USER, CV "Run", "VxNamed", APP "\\named.exe");
    for (const char* code : { "11", "0" }) {
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, "VxNamed", code);
        EXPECT_EQ(code[0] == '0', StartupChanged()) << code;
    }
    // Baseline 1103: a delayed program put itself back.  Yes keeps it and
    // drops its delayed-start record; No parks it.
    Plant(HKEY_CURRENT_USER, CV "Run", "VxDelayed", APP "\\delayed.exe");
    vxtest::SetString(
        HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Time", APP "\\delayed.exe", "30");
    for (int hide : { 1, 2 }) {
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "1103");
        g_Options[OPT_HideStartup] = hide;
        PatrolCategory(&g_StartupCategory);
        EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "11");
        EXPECT_REG_MISSING(
            HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Time", APP "\\delayed.exe");
        EXPECT_EQ(
            hide == 1 ? APP "\\delayed.exe||" : "|" APP "\\delayed.exe|11", RunState("VxDelayed"));
    }
}

TEST_F(StartupBaseline, NoAnswerAsksAgainDisabledIsNotAskedAgain)
{
    BuildCategoryBaseline(&g_StartupCategory);
    Plant(HKEY_CURRENT_USER, CV "Run", "VxAsk", APP "\\ask.exe");
    PatrolCategory(&g_StartupCategory);  // nobody to ask: no answer, nothing changes
    EXPECT_EQ(APP "\\ask.exe||", RunState("VxAsk"));
    vxtest::ScriptedUi user;
    PatrolCategory(&g_StartupCategory);
    ASSERT_EQ(1u, user.asked.size());
    const AlertRequest& asked = user.asked[0];
    EXPECT_EQ(g_StartupCategory.Alert, asked.Alert);
    EXPECT_EQ("VxAsk|" APP "\\ask.exe|11", std::string(asked.Name) + "|" + asked.File + "|" +
                  std::to_string(asked.TypeCode));
    user.answer = ANSWER_DISABLE;  // asked again: it is still new
    PatrolCategory(&g_StartupCategory);
    EXPECT_EQ("|" APP "\\ask.exe|11", RunState("VxAsk"));
    // Disabling is an answer: the parked entry is baselined, not asked about again.
    PatrolCategory(&g_StartupCategory);
    EXPECT_EQ(2u, user.asked.size());
    EXPECT_EQ(0, StartupChanged());
}

// An intruder named like the monitor is acted on by its own name: the
// monitor's own value stays.  "No" ends the program an entry starts before
// it removes the entry.
TEST_F(StartupBaseline, AForeignEntryNamedLikeUsIsRemovedByItsOwnName)
{
    std::string own = "\"" + vxtest::PathInProgramFolder("Vardex.exe") + "\" -expressboot";
    std::string program = vxtest::MakeProgramCopy("agent\\vxagent.exe");
    vxtest::IdleChild child;
    ASSERT_TRUE(!program.empty());
    ASSERT_TRUE(child.Start(program));
    Plant(HKEY_LOCAL_MACHINE, CV "Run", "Vardex", own);
    BuildCategoryBaseline(&g_StartupCategory);
    Plant(HKEY_LOCAL_MACHINE, CV "Run", "VardexUpdater", APP "\\VardexUpdater.exe");
    Plant(HKEY_CURRENT_USER, CV "Run", "VxAgent", program);
    g_Options[OPT_HideStartup] = 2;
    PatrolCategory(&g_StartupCategory);
    EXPECT_EQ("|" + own + "|||",
        Reg(HKEY_LOCAL_MACHINE, CV "Run", "VardexUpdater") + "|"
            + Reg(HKEY_LOCAL_MACHINE, CV "Run", "Vardex") + "|" + RunState("VxAgent"));
    EXPECT_TRUE(child.Ended(5000));
    EXPECT_TRUE(
        HistoryHas("*START_Remove\tMACHINE_RUN\tVardexUpdater\t") && HistoryHas("\tTASK_Kill\t"));
    EXPECT_EQ(3, HistoryLines()) << HistoryText();  // the two removals and the program ended
}

// An answer that could not be carried out is no answer: the entry stays,
// is not baselined, no line says otherwise, the user is told, and the
// next patrol asks again.
TEST_F(StartupBaseline, ADisableOrRemovalThatFailsIsAskedAgain)
{
    BuildCategoryBaseline(&g_StartupCategory);
    // The mirrors cannot be made: their parent is a volatile key, which
    // takes no lasting subkeys (as HKLM takes none from a limited user).
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, DISABLED);
    HKEY volatileKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS,
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, DISABLED, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
            NULL, &volatileKey, NULL));
    RegCloseKey(volatileKey);
    Plant(HKEY_CURRENT_USER, CV "Run", "VxStuck", APP "\\stuck.exe");
    // A Startup-folder program held open by another program cannot go.
    std::string held = std::string(kFolders[2].folder) + "\\held.exe";
    vxtest::WriteFileBytes(held, "MZ");
    FileHandle lock(CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    ASSERT_TRUE(lock.IsValid());
    vxtest::ScriptedUi user;
    for (int answer : { ANSWER_DISABLE, ANSWER_REJECT }) {
        user.answer = answer;
        PatrolCategory(&g_StartupCategory);
    }
    EXPECT_EQ(4u, user.asked.size());
    std::string told;
    for (const auto& n : user.notices)
        told += n.first == NOTICE_DISABLE_FAILED ? "D"
            : n.first == NOTICE_REMOVE_FAILED    ? "R"
                                                 : "?";
    EXPECT_EQ("DDR", told);
    lock.Reset(INVALID_HANDLE_VALUE);
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, DISABLED);
    EXPECT_EQ("||", RunState("VxStuck")) << "the removal of the value works";
    EXPECT_TRUE(FileThere(held));
    EXPECT_FALSE(HistoryHas("START_Disable") || HistoryHas("held.exe"));
    EXPECT_EQ(1, HistoryLines());  // VxStuck's removal only
    EXPECT_EQ(1, StartupChanged());
}

// A parked entry that puts itself back is parked again without a word and
// listed once, from its mirror.  A parked name reused by another command is
// a new entry, asked about; the parked command is never overwritten.  Codes
// 26 and 27 have no mirror: their values are always listed.
TEST_F(StartupBaseline, AParkedNameWithAnotherCommandIsANewEntry)
{
    Plant(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\back.exe");
    BuildCategoryBaseline(&g_StartupCategory);
    ASSERT_EQ(1, ToggleStartupEntry("VxBack", APP "\\back.exe", "", 11));
    vxtest::ScriptedUi user;
    user.answer = ANSWER_DISABLE;
    for (const char* data : { APP "\\back.exe", APP "\\other.exe" }) {
        EXPECT_EQ(0, StartupChanged());  // VxRun11, and VxBack once, from its mirror:
        EXPECT_EQ(
            "|" APP "\\back.exe|11|2", RunState("VxBack") + "|" + std::to_string(CountCode(11)));
        vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxBack", data);
        PatrolCategory(&g_StartupCategory);
    }
    EXPECT_EQ(0, HistoryLines());
    vxtest::SetString(HKEY_LOCAL_MACHINE, DISABLED, RunName(26).c_str(), "26");
    EXPECT_EQ(1, StartupChanged());
    EXPECT_GE(FindItem(26, RunName(26)), 0);
    ASSERT_TRUE(user.asked.size() == 1);
    EXPECT_TRUE(std::string(user.asked[0].File) == APP "\\other.exe");
    // Parking it would lose the parked program: refused, and said so.
    EXPECT_EQ(APP "\\other.exe|" APP "\\back.exe|11", RunState("VxBack"));
    ASSERT_TRUE(user.notices.size() == 1);
    EXPECT_TRUE(user.notices[0].first == NOTICE_DISABLE_FAILED);
    // Removing it takes the live value and leaves the parked one.
    user.answer = ANSWER_REJECT;
    PatrolCategory(&g_StartupCategory);
    EXPECT_EQ("|" APP "\\back.exe|11", RunState("VxBack"));
}

// A program that comes straight back however it is answered: the third
// question in a row about the same command parks it, and the user is told
// why; another program asked about in between starts the count again.  A
// Winlogon notify package is never deleted: "No" switches it off.
TEST_F(StartupBaseline, TheThirdQuestionInARowAboutOneCommandParksIt)
{
    BuildCategoryBaseline(&g_StartupCategory);
    ResetStartupRepeat();
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    for (std::string which : { "A", "A", "B", "B", "A", "A", "A" }) {
        Plant(HKEY_CURRENT_USER, CV "Run", ("VxFight" + which).c_str(),
            APP "\\fight" + which + ".exe");
        PatrolCategory(&g_StartupCategory);
    }
    EXPECT_EQ(7u, user.asked.size());
    EXPECT_EQ("|" APP "\\fightA.exe|11|||", RunState("VxFightA") + "|" + RunState("VxFightB"));
    ASSERT_EQ(1u, user.notices.size());
    EXPECT_EQ(std::make_pair(NOTICE_PROGRAM_FIGHTS_BACK, std::string(APP "\\fightA.exe")),
        user.notices[0]);
    vxtest::SetString(HKEY_LOCAL_MACHINE, WINLOGON "\\Notify\\VxPkg", "DllName", APP "\\pkg.dll");
    PatrolCategory(&g_StartupCategory);
    EXPECT_EQ(APP "\\pkg.dll|",
        Reg(HKEY_LOCAL_MACHINE, WINLOGON "\\Notify\\VxPkg", "OldName") + "|"
            + Reg(HKEY_LOCAL_MACHINE, WINLOGON "\\Notify\\VxPkg", "DllName"));
}

