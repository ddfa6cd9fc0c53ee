// The monitor's start-up work on the registry store, run in this process.
#include "support/vxtest.h"

#include <string>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "monitor/monitor.h"

namespace {

const char* const kJunk = "C:\\OLD\\BASELINE.EXE";
const char* const kAutoUpdate =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";

class Initialize : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, VX_VERB_KEY);
        g_TextModule = GetModuleHandleA(NULL);
        g_MessageLanguage = 0;
    }
    void PlantJunkBaseline() { vxtest::SetString(HKEY_CURRENT_USER, VX_RUN_KEY, kJunk, "11"); }
    bool JunkBaselineKept() { return vxtest::ValueExists(HKEY_CURRENT_USER, VX_RUN_KEY, kJunk); }
    std::string OwnCommand() { return vxtest::ProgramFolder() + "\\vardex.exe -expressboot"; }
};

TEST_F(Initialize, FirstRunWritesDateVersionAndOwnEntries)
{
    InitializeMonitor();
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_KEY, ""));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "15.9.2008.5");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex", OwnCommand().c_str());
    EXPECT_EQ(1, g_AlwaysRun);
    EXPECT_EQ(9, g_MessageLanguage);

    // A later start does not redo the first run.
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    InitializeMonitor();
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    EXPECT_EQ(0, g_AlwaysRun);
}

TEST_F(Initialize, VersionStampDecidesTheCleanup)
{
    InitializeMonitor();

    // The built-in version inside a longer text: nothing is rebuilt.
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "Version", "v15.9.2008.5-beta");
    PlantJunkBaseline();
    InitializeMonitor();
    EXPECT_TRUE(JunkBaselineKept());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "v15.9.2008.5-beta");

    // Missing: rebuilt and rewritten.
    RegDeleteValueNamed(HKEY_CURRENT_USER, VX_KEY, "Version");
    PlantJunkBaseline();
    InitializeMonitor();
    EXPECT_FALSE(JunkBaselineKept());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "15.9.2008.5");

    // Another version: rebuilt, and the initial values written again.
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "Version", "14.2.2006.1");
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    PlantJunkBaseline();
    InitializeMonitor();
    EXPECT_FALSE(JunkBaselineKept());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "15.9.2008.5");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex", OwnCommand().c_str());
}

TEST_F(Initialize, CleanupOptionRebuildsOnceAndResets)
{
    InitializeMonitor();
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Cleanup", "1");
    PlantJunkBaseline();
    InitializeMonitor();
    EXPECT_FALSE(JunkBaselineKept());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Cleanup", "0");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");
    PlantJunkBaseline();
    InitializeMonitor();
    EXPECT_TRUE(JunkBaselineKept());
}

TEST_F(Initialize, ContextMenuVerbFollowsTheOptionOnceTheExplorerIsThere)
{
    // The verb opens the explorer's lookup: not offered without it.
    std::string explorer = vxtest::PathInProgramFolder("VardexView.exe");
    DeleteFileA(explorer.c_str());
    InitializeMonitor();
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, VX_VERB_KEY));
    vxtest::WriteFileBytes(explorer, "MZ");
    InitializeMonitor();
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, VX_VERB_KEY "\\command"));

    // Anything but 1 removes an existing verb.
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ExplorerMenu", "2");
    InitializeMonitor();
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, VX_VERB_KEY));

    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ExplorerMenu", "1");
    InitializeMonitor();
    std::string verb = "\"" + vxtest::ProgramFolder() + "\\vardex.exe\" %1";
    EXPECT_REG_STRING(HKEY_CLASSES_ROOT, VX_VERB_KEY "\\command", "", verb.c_str());
    DeleteFileA(explorer.c_str());
}

TEST_F(Initialize, AutomaticUpdateSettingIsCopiedOnce)
{
    vxtest::SetDword(HKEY_LOCAL_MACHINE, kAutoUpdate, "AUOptions", 3);
    InitializeMonitor();
    EXPECT_EQ(3, RegReadDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions"));
    vxtest::SetDword(HKEY_LOCAL_MACHINE, kAutoUpdate, "AUOptions", 4);
    InitializeMonitor();
    EXPECT_EQ(3, RegReadDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions"));
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, kAutoUpdate, "AUOptions");
}

TEST_F(Initialize, MessageLanguageFromTheLanguageCode)
{
    struct { const char* code; WORD id; } cases[] = { { "br", 22 }, { "zz", 0 }, { "DE", 7 } };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", c.code);
        InitializeMonitor();
        EXPECT_EQ(c.id, g_MessageLanguage) << c.code;
    }
}

TEST_F(Initialize, OwnAutostartIsSeenUnderEitherName)
{
    EXPECT_EQ(0, SelfAutostartPresent());
    vxtest::SetString(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex PLUS", "C:\\x\\vardex.exe");
    EXPECT_EQ(1, SelfAutostartPresent());
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex PLUS");
    EXPECT_EQ(1, SetSelfAutostart(1));
    EXPECT_EQ(1, SelfAutostartPresent());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, OwnCommand().c_str(), "1");
}

TEST_F(Initialize, TurningOwnAutostartOffRemovesTheEntry)
{
    ASSERT_EQ(1, SetSelfAutostart(1));
    SetSelfAutostart(0);
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    EXPECT_EQ(0, g_AlwaysRun);
    EXPECT_EQ(0, RemoveOwnStartupEntries(0));
}

TEST_F(Initialize, HelpPagesCarryTheLanguagePrefix)
{
    char page[260];
    HelpPageName(6026, page);
    EXPECT_STREQ("startup.html", page);
    HelpPageName(6099, page);
    EXPECT_STREQ("features.html", page);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", "de");
    HelpPageName(6056, page);
    EXPECT_STREQ("de_activex.html", page);
}

}  // namespace
