// The startup list, its baseline and the startup patrol, on a system with an
// entry in every autostart place.
#include "startup_fixture.h"

#include <string.h>

#include "foundation/utils.h"

using namespace startup_test;

class StartupList : public PlantedSystem {};

// Rows in list order: Run families, Startup folders, WIN.INI, Winlogon, hooks.
TEST_F(StartupList, EveryPlaceListedFieldByFieldInOrder)
{
    struct Listed { int code; std::string name, command, extra, info; };
    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(tool_.c_str(), strings);
    ASSERT_STRNE("", strings[VS_PRODUCT_VERSION]);
    std::vector<Listed> rows;
    for (const RunPlace& p : RunPlaces())
        rows.push_back({ p.code, RunName(p.code), RunCommand(p.code), "", "" });
    for (const FolderPlace& f : kFolders)
        rows.push_back({ 200, std::string("Vx link ") + f.tag, TargetOf(f), LinkOf(f), "" });
    rows.insert(rows.end(), {
        { 101, "run", APP "\\winrun.exe", "", "" },
        { 100, "load", APP "\\winload.exe", "", "" },
        { 100, "load", APP "\\winload2.exe", "", "" },
        { 250, "Winlogon Userinit", APP "\\ui.exe", "", "" },
        { 251, "Winlogon Shell", APP "\\shell.exe", "", "" },
        { 252, "VxDelay", tool_, CLSID_DELAY, strings[VS_PRODUCT_VERSION] },
        { 253, "Vx Task Hook", APP "\\task.dll", CLSID_TASK, "" },
        // No data: the class's own text names it; braces are added for the lookup.
        { 254, "Vx Exec Hook", APP "\\exec.dll", CLSID_EXEC, "" },
        { 255, "a.dll", APP "\\a.dll", "", "" },
        { 255, "b.dll", APP "\\b.dll", "", "" },
        { 255, "c.dll", APP "\\c.dll", "", "" },
        { 256, "VxNotify", APP "\\notify.dll", "", "" },
    });
    BuildStartupList(0);
    int previous = -1;
    for (const Listed& r : rows) {
        SCOPED_TRACE(r.command);
        int i = FindItem(r.code, "", r.command.c_str());
        ASSERT_GT(i, previous);
        previous = i;
        EXPECT_EQ(r.name, GetItemName(i));
        EXPECT_EQ(r.extra, GetItemExtra(i));
        EXPECT_EQ(r.info, GetItemInfo(i));
        EXPECT_EQ(0, GetItemFlag(i));
        if (r.code >= 100) {  // the prefix has Run values of its own
            auto same = [&](const Listed& o) { return o.code == r.code; };
            EXPECT_EQ(std::count_if(rows.begin(), rows.end(), same), CountCode(r.code));
        }
    }
}

TEST_F(StartupList, StartupFolderKindsByLastThreeLetters)
{
    std::string folder = kFolders[2].folder;
    std::string exe = folder + "\\tool.exe";
    CopyFileA(tool_.c_str(), exe.c_str(), FALSE);
    vxtest::WriteFileBytes(folder + "\\desktop.ini", "[x]");
    vxtest::WriteFileBytes(folder + "\\notes.bat", "@echo");
    // Not a shortcut at all, and a shortcut whose program is gone.
    vxtest::WriteFileBytes(folder + "\\broken.lnk", "this is no shortcut");
    ASSERT_TRUE(MakeShortcut(folder + "\\gone.lnk", APP "\\gone.exe", "Vx gone"));
    // Without a description the target's FileDescription names it (a
    // program of another folder named like ours is not ours to rename).
    ASSERT_TRUE(MakeShortcut(folder + "\\plain.lnk", tool_, ""));

    BuildStartupList(0);
    EXPECT_STREQ("", GetItemExtra(FindItem(200, "notes.bat", (folder + "\\notes.bat").c_str())));
    EXPECT_GE(FindItem(200, "notes.bat"), 0);
    int withCaption = 0;
    for (int k = 0; k < ItemCount(); k++) {
        std::string command = GetItemCommand(k);
        for (const char* absent : { "desktop.ini", "broken.lnk", "gone.exe" })
            EXPECT_EQ(std::string::npos, command.find(absent));
        if (GetItemCode(k) == 200 &&
            std::string(GetItemName(k)) == "Vardex startup and browser monitor") {
            withCaption++;
            EXPECT_TRUE(command == exe || command == tool_) << command;
        }
    }
    EXPECT_EQ(2, withCaption);  // tool.exe itself and plain.lnk
}

TEST_F(StartupList, RestrictedListLeavesSystemPlacesOutUnlessShowAll)
{
    BuildStartupList(1);
    for (int code = 250; code <= 256; code++)
        EXPECT_EQ(0, CountCode(code)) << code;
    EXPECT_EQ(1, CountCode(11));
    g_Options[OPT_ShowAllStartup] = 1;
    BuildStartupList(1);
    g_Options[OPT_ShowAllStartup] = 0;
    EXPECT_EQ(1, CountCode(250));
    EXPECT_EQ(1, CountCode(256));
}

// A 32-bit system has no Wow6432Node Run key: the other keys of that family are not read.
TEST_F(StartupList, NoWow64FamilyWithoutItsRunKey)
{
    Plant(HKEY_LOCAL_MACHINE, WOW "RunOnce", "VxStill", APP "\\still.exe");
    ASSERT_TRUE(RegDeleteKeyTree(HKEY_LOCAL_MACHINE, WOW "Run"));
    BuildStartupList(0);
    for (int code = 21; code <= 27; code++)
        EXPECT_EQ(0, CountCode(code)) << code;
}

TEST_F(StartupList, SameValueInRunThenRunOnceListedOnce)
{
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "Run", RunName(1).c_str());
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "RunOnce", RunName(2).c_str());
    Plant(HKEY_LOCAL_MACHINE, CV "Run", "VxTwice", APP "\\twice.exe");
    Plant(HKEY_LOCAL_MACHINE, CV "RunOnce", "VxTwice", APP "\\twice.exe");
    BuildStartupList(0);
    EXPECT_GE(FindItem(1, "VxTwice"), 0);
    EXPECT_EQ(-1, FindItem(2, "VxTwice"));
}

// Values that are not text, too short to be a program (never alert), or too long.
TEST_F(StartupList, BadRunValuesNeitherCrashNorListNorAlert)
{
    InitRegStartups();
    const char* run = CV "Run";
    BYTE binary[8] = { 'C', ':', '\\', 'x', '.', 'e', 'x', 'e' };
    Plant(HKEY_CURRENT_USER, run, "VxBinary", "");
    vxtest::SetValue(HKEY_CURRENT_USER, run, "VxBinary", REG_BINARY, binary, sizeof(binary));
    Plant(HKEY_CURRENT_USER, run, "VxDword", "");
    vxtest::SetDword(HKEY_CURRENT_USER, run, "VxDword", 0x41414141);
    Plant(HKEY_CURRENT_USER, run, "\xE9VxHigh", APP "\\high.exe");
    Plant(HKEY_CURRENT_USER, run, "V", APP "\\one.exe");
    Plant(HKEY_CURRENT_USER, run, "VxThree", "abc");
    EXPECT_EQ(0, StartupChanged());
    for (const char* name : { "VxBinary", "VxDword", "\xE9VxHigh", "V", "VxThree" })
        EXPECT_EQ(-1, FindItem(11, name)) << name;
    EXPECT_GE(FindItem(11, RunName(11)), 0);

    std::string longData = APP "\\" + std::string(590, 'L') + ".exe";
    Plant(HKEY_CURRENT_USER, run, "VxLong", longData);
    BuildStartupList(0);
    EXPECT_EQ(longData.substr(0, 259), GetItemCommand(FindItem(11, "VxLong")));
    // Disabling and enabling the long one gives it back whole.
    EXPECT_EQ(1, ToggleStartupEntry("VxLong", longData.substr(0, 259).c_str(), "", 11));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, run, "VxLong");
    EXPECT_EQ(1, ToggleStartupEntry("VxLong", longData.substr(0, 259).c_str(), "", 11));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, run, "VxLong", longData);
}

// The whole line is read: a cut line would hide its last items; removing one keeps the rest.
TEST_F(StartupList, LongWinIniLoadLineListsAllAndLosesNothing)
{
    std::string line;
    for (int n = 0; line.size() < 2000; n++)
        line += APP "\\load" + std::to_string(n) + ".exe;";
    WriteProfileStringA("windows", "load", line.c_str());
    BuildStartupList(0);
    int lastItem = (int)std::count(line.begin(), line.end(), ';') - 1;
    EXPECT_EQ(lastItem + 1, CountCode(100));
    EXPECT_GE(FindItem(100, "", (APP "\\load" + std::to_string(lastItem) + ".exe").c_str()), 0);
    EXPECT_EQ(1, WinIniRemoveItem("load", APP "\\load3.exe"));
    line.erase(line.find(APP "\\load3.exe;"), strlen(APP "\\load3.exe;"));
    EXPECT_EQ(line, WinIni("load"));
}

TEST_F(StartupList, ItemListCapsAt4096AndCutsFields)
{
    ClearItems();
    for (int i = 0; i < ITEM_MAX; i++)
        ASSERT_EQ(1, AddItem("n", "cmd", "", "", 11, 0));
    EXPECT_EQ(0, AddItem("n", "cmd", "", "", 11, 0));
    EXPECT_EQ(ITEM_MAX, ItemCount());
    EXPECT_STREQ("", GetItemName(ITEM_MAX));
    EXPECT_STREQ("", GetItemCommand(-1));
    ClearItems();
    EXPECT_EQ(0, ItemCount());
    std::string name(200, 'n'), command = "\"C:\\dir\\" + std::string(300, 'c') + "\"";
    AddItem(name.c_str(), command.c_str(), std::string(300, 'e').c_str(), std::string(2000, 'i').c_str(),
            11, 0);
    EXPECT_EQ(127u, strlen(GetItemName(0)));
    EXPECT_EQ(258u, strlen(GetItemCommand(0)));  // cut to 259, then one quote removed
    EXPECT_EQ(259u, strlen(GetItemExtra(0)));
    EXPECT_EQ(1023u, strlen(GetItemInfo(0)));
    AddItem("", "C:\\some dir\\prog.exe -x", "", "", 11, 0);
    EXPECT_STREQ("prog.exe -x", GetItemName(1));
    AddItem("my VARDEX helper", "\"ab\"", "x", "", 11, 0);  // short: stored as is
    EXPECT_STREQ("my VARDEX helper", GetItemName(2));
    EXPECT_STREQ("ab", GetItemCommand(2));
    // Only our own programs are known by the one name.
    AddItem("Monitor", "\"C:\\Apps\\VARDEX.exe\" -expressboot", "", "", 1, 0);
    EXPECT_STREQ("Vardex", GetItemName(3));
    AddItem("VardexUpdater", "C:\\Apps\\VardexUpdater.exe", "", "", 1, 0);
    EXPECT_STREQ("VardexUpdater", GetItemName(4));
}

// --- Baseline and patrol ---------------------------------------------------------

class StartupBaseline : public PlantedSystem {
protected:
    void SetUp() override
    {
        PlantedSystem::SetUp();
        InitRegStartups();
    }
};

TEST_F(StartupBaseline, RoundTripFindsCommandWithEqualsAgain)
{
    EXPECT_EQ(0, StartupChanged());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, RunCommand(11).c_str(), "11");
    Plant(HKEY_CURRENT_USER, CV "Run", "VxEq", APP "\\eq.exe /opt=1");
    EXPECT_EQ(1, StartupChanged());
    g_Options[OPT_HideStartup] = 1;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\eq.exe /opt:1", "11");
    EXPECT_EQ(0, StartupChanged());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxEq", APP "\\eq.exe /opt=1");
    CleanupRunRegistry();
    EXPECT_EQ(0, StartupChanged());
}

TEST_F(StartupBaseline, KnownByNameOrZeroCode)
{
    Plant(HKEY_CURRENT_USER, CV "Run", "VxNamed", APP "\\named.exe");
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, "VxNamed", "11");
    EXPECT_EQ(0, StartupChanged());
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, "VxNamed", "0");
    EXPECT_EQ(1, StartupChanged());
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\named.exe", "1103");
    EXPECT_EQ(1, StartupChanged());
}

TEST_F(StartupBaseline, HideStartupOneAcceptsTwoRemoves)
{
    Plant(HKEY_CURRENT_USER, CV "Run", "VxNew", APP "\\new.exe");
    g_Options[OPT_HideStartup] = 1;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\new.exe", "11");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxNew", APP "\\new.exe");
    EXPECT_EQ(0, HistoryLines());

    Plant(HKEY_CURRENT_USER, CV "Run", "VxBad", APP "\\bad.exe");
    g_Options[OPT_HideStartup] = 2;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxBad");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, APP "\\bad.exe");
    EXPECT_TRUE(HistoryHas("*START_Remove\tCURRENT_RUN\tVxBad\t" APP "\\bad.exe"));
    EXPECT_EQ(1, HistoryLines());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxNew", APP "\\new.exe");
    EXPECT_EQ(0, StartupChanged());
}

TEST_F(StartupBaseline, NoAnswerAsksAgainDisabledIsNotAskedAgain)
{
    Plant(HKEY_CURRENT_USER, CV "Run", "VxAsk", APP "\\ask.exe");
    g_Options[OPT_HideStartup] = 0;
    PatrolCategory(&g_StartupCategory);  // nobody to ask: no answer, nothing changes
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxAsk", APP "\\ask.exe");
    vxtest::ScriptedUi user;
    PatrolCategory(&g_StartupCategory);
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_EQ(ALERT_STARTUP, user.asked[0].Kind);
    EXPECT_STREQ("VxAsk", user.asked[0].Name);
    EXPECT_STREQ(APP "\\ask.exe", user.asked[0].File);
    EXPECT_EQ(11, user.asked[0].TypeCode);
    EXPECT_EQ(1, StartupChanged());
    user.answer = ANSWER_DISABLE;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxAsk");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxAsk", APP "\\ask.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxAsk", "11");
    // Disabling is an answer: the parked entry is not asked about again.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\ask.exe", "11");
    user.asked.clear();
    PatrolCategory(&g_StartupCategory);
    EXPECT_EQ(0u, user.asked.size());
    EXPECT_EQ(0, StartupChanged());
}

// An intruder named like the monitor is acted on by its own name: the
// monitor's own value stays.
TEST_F(StartupBaseline, AForeignEntryNamedLikeUsIsRemovedByItsOwnName)
{
    std::string own = "\"" + vxtest::PathInProgramFolder("Vardex.exe") + "\" -expressboot";
    Plant(HKEY_LOCAL_MACHINE, CV "Run", "Vardex", own);
    InitRegStartups();
    Plant(HKEY_LOCAL_MACHINE, CV "Run", "VardexUpdater", APP "\\VardexUpdater.exe");
    g_Options[OPT_HideStartup] = 2;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, CV "Run", "VardexUpdater");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, CV "Run", "Vardex", own);
    EXPECT_TRUE(HistoryHas("*START_Remove\tMACHINE_RUN\tVardexUpdater\t"));
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "Run", "Vardex");
}

// An answer that could not be carried out is no answer: the entry stays,
// is not baselined, no line says otherwise, the user is told, and the
// next patrol asks again.
TEST_F(StartupBaseline, ADisableOrRemovalThatFailsIsAskedAgain)
{
    g_Options[OPT_HideStartup] = 0;
    ResetStartupRepeat();
    // The mirrors cannot be made: their parent is a volatile key, which
    // takes no lasting subkeys (as HKLM takes none from a limited user).
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, DISABLED);
    HKEY volatileKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, DISABLED, 0, NULL,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL,
                                             &volatileKey, NULL));
    RegCloseKey(volatileKey);
    Plant(HKEY_CURRENT_USER, CV "Run", "VxStuck", APP "\\stuck.exe");
    // A Startup-folder program held open by another program cannot go.
    std::string held = std::string(kFolders[2].folder) + "\\held.exe";
    vxtest::WriteFileBytes(held, "MZ");
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    int lines = HistoryLines();
    {
        vxtest::ScriptedUi user;
        user.answer = ANSWER_DISABLE;
        PatrolCategory(&g_StartupCategory);
        user.answer = ANSWER_REJECT;
        PatrolCategory(&g_StartupCategory);
        EXPECT_EQ(4u, user.asked.size());
        std::vector<Notice> told;
        for (const auto& n : user.notices)
            told.push_back(n.first);
        EXPECT_EQ(2, std::count(told.begin(), told.end(), NOTICE_DISABLE_FAILED));
        EXPECT_EQ(1, std::count(told.begin(), told.end(), NOTICE_REMOVE_FAILED));
    }
    CloseHandle(lock);
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, DISABLED);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxStuck") << "the removal of the value works";
    EXPECT_TRUE(FileThere(held));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, held.c_str());
    EXPECT_FALSE(HistoryHas("START_Disable"));
    EXPECT_FALSE(HistoryHas("held.exe"));
    EXPECT_EQ(lines + 1, HistoryLines());  // VxStuck's removal only
    EXPECT_EQ(1, StartupChanged());
    DeleteFileA(held.c_str());
}

// A parked name reused by another command is a new entry, asked about; the
// parked command is never overwritten.  Codes 26 and 27 have no mirror:
// their values are always listed.
TEST_F(StartupBaseline, AParkedNameWithAnotherCommandIsANewEntry)
{
    Plant(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\back.exe");
    InitRegStartups();
    ASSERT_EQ(1, ToggleStartupEntry("VxBack", APP "\\back.exe", "", 11));
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\other.exe");
    vxtest::SetString(HKEY_LOCAL_MACHINE, DISABLED, RunName(26).c_str(), "26");
    EXPECT_EQ(1, StartupChanged());
    EXPECT_GE(FindItem(26, RunName(26)), 0);
    g_Options[OPT_HideStartup] = 0;
    vxtest::ScriptedUi user;
    user.answer = ANSWER_DISABLE;
    PatrolCategory(&g_StartupCategory);
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_STREQ(APP "\\other.exe", user.asked[0].File);
    // Parking it would lose the parked program: refused, and said so.
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxBack", APP "\\back.exe");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\other.exe");
    ASSERT_EQ(1u, user.notices.size());
    EXPECT_EQ(NOTICE_DISABLE_FAILED, user.notices[0].first);
    // Removing it takes the live value and leaves the parked one.
    user.answer = ANSWER_REJECT;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxBack");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxBack", APP "\\back.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxBack", "11");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DISABLED, RunName(26).c_str());
}

// A program that comes straight back however it is answered: the third
// question in a row about the same command parks it, and the user is told
// why; another program asked about in between starts the count again.
TEST_F(StartupBaseline, TheThirdQuestionInARowAboutOneCommandParksIt)
{
    g_Options[OPT_HideStartup] = 0;
    ResetStartupRepeat();
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    for (const char* which : { "A", "A", "B", "B", "A", "A", "A" }) {
        std::string name = std::string("VxFight") + which;
        std::string command = std::string(APP "\\fight") + which + ".exe";
        Plant(HKEY_CURRENT_USER, CV "Run", name.c_str(), command.c_str());
        PatrolCategory(&g_StartupCategory);
    }
    EXPECT_EQ(7u, user.asked.size());
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxFightA", APP "\\fightA.exe");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxFightB");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxFightB");
    ASSERT_EQ(1u, user.notices.size());
    EXPECT_EQ(NOTICE_PROGRAM_FIGHTS_BACK, user.notices[0].first);
    EXPECT_EQ(APP "\\fightA.exe", user.notices[0].second);

    // A Winlogon notify package is never deleted: "No" switches it off.
    vxtest::SetString(HKEY_LOCAL_MACHINE, WINLOGON "\\Notify\\VxPkg", "DllName", APP "\\pkg.dll");
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON "\\Notify\\VxPkg", "OldName", APP "\\pkg.dll");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WINLOGON "\\Notify\\VxPkg", "DllName", "");
}

TEST_F(StartupBaseline, DisabledEntryThatComesBackIsReparkedQuietly)
{
    Plant(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\back.exe");
    InitRegStartups();
    ASSERT_EQ(1, ToggleStartupEntry("VxBack", APP "\\back.exe", "", 11));
    EXPECT_EQ(0, StartupChanged());
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\back.exe");  // puts itself back
    g_Options[OPT_HideStartup] = 2;
    PatrolCategory(&g_StartupCategory);
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxBack");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxBack", APP "\\back.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxBack", "11");
    EXPECT_EQ(0, HistoryLines());
    BuildStartupList(0);
    EXPECT_EQ(2, CountCode(11));  // VxRun11, and VxBack once, from its mirror
    EXPECT_GE(FindItem(11, "VxBack"), 0);
}

// Baseline 1103: a delayed program put itself back.  Yes keeps it and drops
// its delayed-start record; No parks it.
TEST_F(StartupBaseline, DelayedProgramBackInRunIsAskedAbout)
{
    const char* delay = "Software\\Quillon\\Vardex\\Delay";
    Plant(HKEY_CURRENT_USER, CV "Run", "VxDelayed", APP "\\delayed.exe");
    vxtest::SetString(HKEY_CURRENT_USER, delay, APP "\\delayed.exe", "11");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Time", APP "\\delayed.exe", "30");
    for (int hide : { 1, 2 }) {
        vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "1103");
        g_Options[OPT_HideStartup] = hide;
        PatrolCategory(&g_StartupCategory);
        EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "11");
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, delay, APP "\\delayed.exe");
        EXPECT_REG_MISSING(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Time", APP "\\delayed.exe");
        EXPECT_EQ(hide == 1, vxtest::ValueExists(HKEY_CURRENT_USER, CV "Run", "VxDelayed"));
    }
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxDelayed", "11");
}

// --- Windows 98: the same test program run again as a Windows 98 program ----

TEST(StartupWin98Child, NoWinlogonEntries)
{
    if (IsWindowsNT())
        GTEST_SKIP() << "runs as a child with the Windows 98 version";
    SavedValue userinit(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit");
    vxtest::SetString(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit", "userinit.exe," APP "\\ui.exe");
    BuildStartupList(0);
    userinit.Restore();
    EXPECT_EQ(0, CountCode(250));
    EXPECT_EQ(0, CountCode(251));
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\VxTest", "Win98ChildRan", "1");
}

TEST(StartupWin98, WinlogonEntriesOnlyOnNt)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string appKey = "Software\\Wine\\AppDefaults\\" + std::string(strrchr(self, '\\') + 1);
    vxtest::SetString(HKEY_CURRENT_USER, appKey.c_str(), "Version", "win98");
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\VxTest");
    int rc = vxtest::RunProgram("\"" + std::string(self) + "\" --gtest_filter=StartupWin98Child.*", 60000);
    RegDeleteKeyTree(HKEY_CURRENT_USER, appKey.c_str());
    EXPECT_EQ(0, rc);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, "Software\\VxTest", "Win98ChildRan", "1");
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\VxTest");
}
