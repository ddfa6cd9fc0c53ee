// The startup list, its baseline and the startup patrol, on a system with an
// entry in every autostart place.
#include "startup_fixture.h"

#include <stdio.h>

#include "foundation/registry_store.h"
#include "foundation/utils.h"

using namespace startup_test;

class StartupList : public PlantedSystem {};

// Every Run key of the three families gives its entry with its own code.
TEST_F(StartupList, RunFamiliesListEachKeyWithItsCode)
{
    BuildStartupList(0);
    for (const RunPlace& p : kRunPlaces) {
        int i = FindItem(p.code, RunName(p.code));
        ASSERT_GE(i, 0) << "code " << p.code;
        EXPECT_EQ(RunCommand(p.code), GetItemCommand(i)) << p.code;
        EXPECT_STREQ("", GetItemExtra(i)) << p.code;
        EXPECT_STREQ("", GetItemInfo(i)) << p.code;
        EXPECT_EQ(0, GetItemFlag(i)) << p.code;
    }
}

TEST_F(StartupList, StartupFolderShortcutsOfBothRoots)
{
    BuildStartupList(0);
    EXPECT_EQ(4, CountCode(200));
    for (const FolderPlace& f : kFolders) {
        int i = FindItem(200, std::string("Vx link ") + f.tag);
        ASSERT_GE(i, 0) << f.tag;
        EXPECT_EQ(std::string(APP "\\target_") + f.tag + ".exe", GetItemCommand(i));
        EXPECT_EQ(std::string(f.folder) + "\\" + f.tag + ".lnk", GetItemExtra(i));
    }
}

TEST_F(StartupList, StartupFolderKindsByLastThreeLetters)
{
    const char* folder = kFolders[2].folder;
    std::string exe = std::string(folder) + "\\tool.exe";
    CopyFileA(tool_.c_str(), exe.c_str(), FALSE);
    vxtest::WriteFileBytes(std::string(folder) + "\\desktop.ini", "[x]");
    vxtest::WriteFileBytes(std::string(folder) + "\\notes.bat", "@echo");
    // Not a shortcut at all, and a shortcut whose program is gone.
    vxtest::WriteFileBytes(std::string(folder) + "\\broken.lnk", "this is no shortcut");
    ASSERT_TRUE(MakeShortcut(std::string(folder) + "\\gone.lnk", APP "\\gone.exe", "Vx gone"));
    // Without a description the target's FileDescription names it; ours
    // mentions the product, so the caption takes its place.
    ASSERT_TRUE(MakeShortcut(std::string(folder) + "\\plain.lnk", tool_, ""));

    BuildStartupList(0);
    int i = FindItem(200, "notes.bat");
    ASSERT_GE(i, 0);
    EXPECT_EQ(std::string(folder) + "\\notes.bat", GetItemCommand(i));
    EXPECT_STREQ("", GetItemExtra(i));
    int withCaption = 0;
    for (int k = 0; k < ItemCount(); k++) {
        std::string command = GetItemCommand(k);
        EXPECT_EQ(std::string::npos, command.find("desktop.ini"));
        EXPECT_EQ(std::string::npos, command.find("broken.lnk"));
        EXPECT_EQ(std::string::npos, command.find("gone.exe"));
        if (GetItemCode(k) == 200 && std::string(GetItemName(k)) == "Vardex") {
            withCaption++;
            EXPECT_TRUE(command == exe || command == tool_) << command;
        }
    }
    EXPECT_EQ(2, withCaption);  // tool.exe itself and plain.lnk
}

TEST_F(StartupList, WinIniRunThenLoadNamedByKey)
{
    BuildStartupList(0);
    int run = FindItem(101, "run");
    int load = FindItem(100, "load");
    ASSERT_GE(run, 0);
    ASSERT_GE(load, 0);
    EXPECT_LT(run, load);
    EXPECT_STREQ(APP "\\winrun.exe", GetItemCommand(run));
    EXPECT_STREQ(APP "\\winload.exe", GetItemCommand(load));
    EXPECT_EQ(2, CountCode(100));
}

TEST_F(StartupList, WinlogonAndHookPoints)
{
    BuildStartupList(0);
    int i = FindItem(250, "Winlogon Userinit");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\ui.exe", GetItemCommand(i));
    i = FindItem(251, "Winlogon Shell");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\shell.exe", GetItemCommand(i));

    char strings[VS_COUNT][VS_SLOT];
    GetVersionStrings(tool_.c_str(), strings);
    ASSERT_STRNE("", strings[VS_PRODUCT_VERSION]);
    i = FindItem(252, "VxDelay");
    ASSERT_GE(i, 0);
    EXPECT_EQ(tool_, GetItemCommand(i));
    EXPECT_STREQ(CLSID_DELAY, GetItemExtra(i));
    EXPECT_STREQ(strings[VS_PRODUCT_VERSION], GetItemInfo(i));

    i = FindItem(253, "Vx Task Hook");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\task.dll", GetItemCommand(i));
    EXPECT_STREQ(CLSID_TASK, GetItemExtra(i));
    // No data: the class's own text names it; braces are added for the lookup.
    i = FindItem(254, "Vx Exec Hook");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\exec.dll", GetItemCommand(i));
    EXPECT_STREQ(CLSID_EXEC, GetItemExtra(i));

    EXPECT_EQ(3, CountCode(255));
    const char* dlls[3] = { APP "\\a.dll", APP "\\b.dll", APP "\\c.dll" };
    int k = 0;
    for (int n = 0; n < ItemCount(); n++)
        if (GetItemCode(n) == 255 && k < 3) {
            EXPECT_STREQ(dlls[k++], GetItemCommand(n));
        }
    i = FindItem(256, "VxNotify");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\notify.dll", GetItemCommand(i));
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

TEST_F(StartupList, NoWow64FamilyWithoutItsRunKey)
{
    BuildStartupList(0);
    EXPECT_EQ(1, CountCode(21));
    // A 32-bit system has no Wow6432Node Run key.
    for (int code = 21; code <= 27; code++)
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, kRunPlaces[code - 21 + 14].path,
                            RunName(code).c_str());
    vxtest::SetString(HKEY_LOCAL_MACHINE, WOW "RunOnce", "VxStill", APP "\\still.exe");
    ASSERT_TRUE(RegDeleteKeyTree(HKEY_LOCAL_MACHINE, WOW "Run"));
    BuildStartupList(0);
    for (int code = 21; code <= 27; code++)
        EXPECT_EQ(0, CountCode(code)) << code;
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WOW "RunOnce", "VxStill");
}

TEST_F(StartupList, RundllEntryListsTheDllWithFlag)
{
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxDll",
                      "C:\\windows\\system32\\RUNDLL32.EXE " APP "\\x.dll,Start");
    BuildStartupList(0);
    int i = FindItem(11, "VxDll");
    ASSERT_GE(i, 0);
    EXPECT_STREQ(APP "\\x.dll,Start", GetItemCommand(i));
    EXPECT_EQ(1, GetItemFlag(i));
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "VxDll");
}

TEST_F(StartupList, SameValueInRunThenRunOnceListedOnce)
{
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "Run", RunName(1).c_str());
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "RunOnce", RunName(2).c_str());
    vxtest::SetString(HKEY_LOCAL_MACHINE, CV "Run", "VxTwice", APP "\\twice.exe");
    vxtest::SetString(HKEY_LOCAL_MACHINE, CV "RunOnce", "VxTwice", APP "\\twice.exe");
    BuildStartupList(0);
    EXPECT_GE(FindItem(1, "VxTwice"), 0);
    EXPECT_EQ(-1, FindItem(2, "VxTwice"));
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "Run", "VxTwice");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, CV "RunOnce", "VxTwice");
}

// Values that are not text, too long, or too short to be a program.
TEST_F(StartupList, BadRunValuesNeitherCrashNorList)
{
    const char* run = CV "Run";
    BYTE binary[8] = { 'C', ':', '\\', 'x', '.', 'e', 'x', 'e' };
    vxtest::SetValue(HKEY_CURRENT_USER, run, "VxBinary", REG_BINARY, binary, sizeof(binary));
    vxtest::SetDword(HKEY_CURRENT_USER, run, "VxDword", 0x41414141);
    std::string longData = APP "\\" + std::string(590, 'L') + ".exe";
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxLong", longData.c_str());
    vxtest::SetString(HKEY_CURRENT_USER, run, "\xE9VxHigh", APP "\\high.exe");
    vxtest::SetString(HKEY_CURRENT_USER, run, "V", APP "\\one.exe");
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxShort", "abc");

    BuildStartupList(0);
    EXPECT_EQ(-1, FindItem(11, "VxBinary"));
    EXPECT_EQ(-1, FindItem(11, "VxDword"));
    EXPECT_EQ(-1, FindItem(11, "\xE9VxHigh"));
    EXPECT_EQ(-1, FindItem(11, "V"));
    EXPECT_EQ(-1, FindItem(11, "VxShort"));
    int i = FindItem(11, "VxLong");
    ASSERT_GE(i, 0);
    EXPECT_EQ(longData.substr(0, 259), GetItemCommand(i));
    EXPECT_GE(FindItem(11, RunName(11)), 0);

    // Disabling and enabling the long one gives it back whole.
    EXPECT_EQ(1, ToggleStartupEntry("VxLong", GetItemCommand(i), "", 11));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, run, "VxLong");
    EXPECT_EQ(1, ToggleStartupEntry("VxLong", longData.substr(0, 259).c_str(), "", 11));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, run, "VxLong", longData);

    for (const char* name : { "VxBinary", "VxDword", "VxLong", "\xE9VxHigh", "V", "VxShort" })
        RegDeleteValueNamed(HKEY_CURRENT_USER, run, name);
}

TEST_F(StartupList, LongWinIniLoadLineListsAllAndLosesNothing)
{
    std::string line;
    for (int n = 0; line.size() < 2000; n++)
        line += APP "\\load" + std::to_string(n) + ".exe;";
    WriteProfileStringA("windows", "load", line.c_str());
    BuildStartupList(0);
    int items = CountCode(100);
    EXPECT_GT(items, 100);
    // The last item of the line is listed too, and removing one keeps the rest.
    EXPECT_EQ(1, WinIniRemoveItem("load", APP "\\load3.exe"));
    std::string expected = line;
    size_t at = expected.find(APP "\\load3.exe;");
    expected.erase(at, strlen(APP "\\load3.exe;"));
    EXPECT_EQ(expected, WinIni("load"));
}

TEST_F(StartupList, ItemListCapsAt4096)
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
}

TEST_F(StartupList, AddItemCutsAndNamesFromCommand)
{
    ClearItems();
    std::string name(200, 'n'), command = "\"C:\\dir\\" + std::string(300, 'c') + "\"";
    AddItem(name.c_str(), command.c_str(), std::string(300, 'e').c_str(),
            std::string(2000, 'i').c_str(), 11, 0);
    EXPECT_EQ(127u, strlen(GetItemName(0)));
    EXPECT_EQ(258u, strlen(GetItemCommand(0)));  // cut to 259, then one quote removed
    EXPECT_EQ(259u, strlen(GetItemExtra(0)));
    EXPECT_EQ(1023u, strlen(GetItemInfo(0)));
    AddItem("", "C:\\some dir\\prog.exe -x", "", "", 11, 0);
    EXPECT_STREQ("prog.exe -x", GetItemName(1));
    AddItem("", "noslash.exe", "", "", 11, 0);
    EXPECT_STREQ("noslash.exe", GetItemName(2));
    AddItem("my VARDEX helper", "\"ab\"", "x", "", 11, 0);
    EXPECT_STREQ("Vardex", GetItemName(3));
    EXPECT_STREQ("ab", GetItemCommand(3));
    ClearItems();
}

// --- Baseline and patrol ---------------------------------------------------------

class StartupBaseline : public PlantedSystem {};

TEST_F(StartupBaseline, RecordedListIsUnchanged)
{
    EXPECT_EQ(1, StartupChanged());
    InitRegStartups();
    EXPECT_EQ(0, StartupChanged());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, RunCommand(11).c_str(), "11");
    CleanupRunRegistry();
    EXPECT_EQ(0, StartupChanged());
}

TEST_F(StartupBaseline, CommandWithEqualsIsFoundAgain)
{
    InitRegStartups();
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxEq", APP "\\eq.exe /opt=1");
    EXPECT_EQ(1, StartupChanged());
    g_Options[OPT_HideStartup] = 1;
    CheckStartupChanges();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\eq.exe /opt:1", "11");
    EXPECT_EQ(0, StartupChanged());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxEq", APP "\\eq.exe /opt=1");
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "VxEq");
}

TEST_F(StartupBaseline, ShortEntriesNeverAlert)
{
    InitRegStartups();
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxThree", "abc");
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "W", APP "\\w.exe");
    EXPECT_EQ(0, StartupChanged());
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "VxThree");
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "W");
}

TEST_F(StartupBaseline, KnownByNameOrZeroCode)
{
    InitRegStartups();
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxNamed", APP "\\named.exe");
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, "VxNamed", "11");
    EXPECT_EQ(0, StartupChanged());
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, "VxNamed", "0");
    EXPECT_EQ(1, StartupChanged());
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\named.exe", "1103");
    EXPECT_EQ(1, StartupChanged());
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "VxNamed");
}

TEST_F(StartupBaseline, HideStartupOneAcceptsTwoRemoves)
{
    InitRegStartups();
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxNew", APP "\\new.exe");
    g_Options[OPT_HideStartup] = 1;
    CheckStartupChanges();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\new.exe", "11");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxNew", APP "\\new.exe");
    EXPECT_EQ(0, HistoryLines());

    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxBad", APP "\\bad.exe");
    g_Options[OPT_HideStartup] = 2;
    CheckStartupChanges();
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxBad");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, BASELINE, APP "\\bad.exe");
    std::string history = HistoryText();
    EXPECT_NE(std::string::npos, history.find("*START_Remove\tCURRENT_RUN\tVxBad\t" APP "\\bad.exe"));
    EXPECT_EQ(1, HistoryLines());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxNew", APP "\\new.exe");
    EXPECT_EQ(0, StartupChanged());
    RegDeleteValueNamed(HKEY_CURRENT_USER, CV "Run", "VxNew");
}

static int g_Asked;
static int g_Answer;
static int AskRecording(const ItemRecord*) { g_Asked++; return g_Answer; }

TEST_F(StartupBaseline, HookAnswersAndEmptyHookChangesNothing)
{
    InitRegStartups();
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxAsk", APP "\\ask.exe");
    g_Options[OPT_HideStartup] = 0;
    CheckStartupChanges();  // no hook: no answer
    EXPECT_EQ(1, StartupChanged());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxAsk", APP "\\ask.exe");

    g_StartupPatrolHooks.AskNewEntry = AskRecording;
    g_Asked = 0;
    g_Answer = 0;
    CheckStartupChanges();
    EXPECT_EQ(1, g_Asked);
    EXPECT_EQ(1, StartupChanged());
    g_Answer = STARTUP_ANSWER_DISABLE;
    CheckStartupChanges();
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxAsk");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxAsk", APP "\\ask.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxAsk", "11");
    // Disabling is an answer: the parked entry is not asked about again.
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\ask.exe", "11");
    g_Asked = 0;
    CheckStartupChanges();
    EXPECT_EQ(0, g_Asked);
    EXPECT_EQ(0, StartupChanged());
    g_StartupPatrolHooks.AskNewEntry = NULL;
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxAsk");
}

TEST_F(StartupBaseline, DisabledEntryThatComesBackIsReparkedQuietly)
{
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\back.exe");
    InitRegStartups();
    ASSERT_EQ(1, ToggleStartupEntry("VxBack", APP "\\back.exe", "", 11));
    EXPECT_EQ(0, StartupChanged());
    // The program puts itself back.
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxBack", APP "\\back.exe");
    g_Options[OPT_HideStartup] = 2;
    CheckStartupChanges();
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxBack");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxBack", APP "\\back.exe");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxBack", "11");
    EXPECT_EQ(0, HistoryLines());
    BuildStartupList(0);
    EXPECT_GE(FindItem(11, "VxBack"), 0);  // listed once, from its mirror
    EXPECT_EQ(1, CountCode(11) - 1);
}

TEST_F(StartupBaseline, DelayedProgramBackInRunIsAskedAbout)
{
    InitRegStartups();
    vxtest::SetString(HKEY_CURRENT_USER, CV "Run", "VxDelayed", APP "\\delayed.exe");
    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "1103");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay", APP "\\delayed.exe", "11");
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Time", APP "\\delayed.exe", "30");
    g_Options[OPT_HideStartup] = 1;
    CheckStartupChanges();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "11");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay", APP "\\delayed.exe");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, "Software\\Quillon\\Vardex\\Delay\\Time", APP "\\delayed.exe");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, CV "Run", "VxDelayed", APP "\\delayed.exe");

    vxtest::SetString(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "1103");
    g_Options[OPT_HideStartup] = 2;
    CheckStartupChanges();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, BASELINE, APP "\\delayed.exe", "11");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, CV "Run", "VxDelayed");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, DISABLED, "VxDelayed", "11");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, DISABLED "\\Run", "VxDelayed");
}

// --- Windows 98: the same test program run again as a Windows 98 program ----

TEST(StartupWin98Child, NoWinlogonEntries)
{
    if (IsWindowsNT())
        GTEST_SKIP() << "runs as a child with the Windows 98 version";
    SavedValue userinit;
    userinit.Save(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit");
    vxtest::SetString(HKEY_LOCAL_MACHINE, WINLOGON, "Userinit",
                      "C:\\windows\\system32\\userinit.exe," APP "\\ui.exe");
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
    std::string exe = self;
    exe = exe.substr(exe.find_last_of('\\') + 1);
    std::string appKey = "Software\\Wine\\AppDefaults\\" + exe;
    vxtest::SetString(HKEY_CURRENT_USER, appKey.c_str(), "Version", "win98");
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\VxTest");
    int rc = vxtest::RunProgram("\"" + std::string(self) + "\" --gtest_filter=StartupWin98Child.*",
                                60000);
    RegDeleteKeyTree(HKEY_CURRENT_USER, appKey.c_str());
    EXPECT_EQ(0, rc);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, "Software\\VxTest", "Win98ChildRan", "1");
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\VxTest");
}
