// The monitor's start-up work on the registry store, run in this process.
#include "support/vxtest.h"

#include "explorer/page_table.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "startup/delayed_start.h"

namespace {

const char kAuKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";

class Initialize : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        g_TextModule = GetModuleHandleA(NULL);
    }
    std::string OwnCommand()
    {
        return "\"" + vxtest::ProgramFolder() + "\\vardex.exe\" -expressboot";
    }
};

TEST_F(Initialize, FirstRunWritesDateVersionOwnEntriesAndTheUpdateModeOnceLanguageEachTime)
{
    // The store, the version and the own Run entry: checked with the real
    // monitor's first start (test_vxmain).
    vxtest::SetDword(HKEY_LOCAL_MACHINE, kAuKey, "AUOptions", 3);
    vxtest::SetString(HKEY_CURRENT_USER, VX_DELAY_KEY, "C:\\vx\\late.exe", "11");
    InitializeMonitor();
    EXPECT_EQ(1, g_Patrol.DelayToLaunch) << "the launcher waits for the delayed program";
    EXPECT_EQ("3 1 9", std::to_string(RegReadDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions")) + " " +
                           std::to_string(g_AlwaysRun) + " " + std::to_string(g_MessageLanguage));

    // A later start redoes none of it, but reads the language code again,
    // which the help pages carry too.
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    vxtest::SetDword(HKEY_LOCAL_MACHINE, kAuKey, "AUOptions", 4);
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", "de");
    InitializeMonitor();
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
    char page[260];
    HelpPageName(PageByCommand(6056)->HelpFile, page);
    EXPECT_EQ("3 0 7 de_activex.html",
        std::to_string(RegReadDword(HKEY_CURRENT_USER, VX_KEY, "AUOptions")) + " "
            + std::to_string(g_AlwaysRun) + " " + std::to_string(g_MessageLanguage) + " " + page);
    vxtest::SetString(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex PLUS", "C:\\x\\vardex.exe");
    EXPECT_EQ(1, SelfAutostartPresent());
    RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex PLUS");
    EXPECT_EQ(1, SetMonitorAutostart(1));
    // Its baseline record, named as the startup list shows the command (no
    // quotes), keeps the patrol quiet about it.
    std::string listed = vxtest::ProgramFolder() + "\\vardex.exe -expressboot";
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, listed.c_str(), "1");
    SetMonitorAutostart(0);
    EXPECT_EQ(0, SelfAutostartPresent() + g_AlwaysRun);
    // The stamp the last start left ("": none) and "Cleanup"; then whether
    // the baseline is rebuilt, the stamp after, and whether the first-run
    // values (the own Run entry) are written again.
    const struct { const char* stamp; const char* cleanup; bool rebuilt; const char* after;
                   bool firstRun; } cases[] = {
        { "v15.9.2008.5-beta", "0", false, "v15.9.2008.5-beta", false },  // this version inside
        { "", "0", true, "15.9.2008.5", false },
        { "14.2.2006.1", "0", true, "15.9.2008.5", true },
        { "15.9.2008.5", "1", true, "15.9.2008.5", false },  // once: "Cleanup" goes back to 0
    };
    InitializeMonitor();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "Version", c.stamp);
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Cleanup", c.cleanup);
        vxtest::SetString(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\OLD\\BASELINE.EXE", "11");
        // Helpers and tasks too: an approval of something long gone goes.
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY "\\IEHelpers", "Gone helper", "900");
        vxtest::SetString(HKEY_CURRENT_USER, VX_KEY "\\Tasks", "Gone.job", "800");
        RegDeleteValueNamed(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex");
        InitializeMonitor();
        EXPECT_EQ(c.rebuilt,
            !vxtest::ValueExists(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\OLD\\BASELINE.EXE"));
        EXPECT_EQ(c.rebuilt,
            !vxtest::ValueExists(HKEY_CURRENT_USER, VX_KEY "\\IEHelpers", "Gone helper"));
        EXPECT_EQ(c.rebuilt, !vxtest::ValueExists(HKEY_CURRENT_USER, VX_KEY "\\Tasks", "Gone.job"));
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", c.after);
        EXPECT_EQ(c.firstRun, vxtest::ValueExists(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex"));
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Cleanup", "0");
    }
    // The verb opens the explorer's lookup: not offered without it (taken
    // away from beside the monitor at first).  An "ExplorerMenu" other than
    // 1 removes it.
    std::string explorer = vxtest::PathInProgramFolder("VardexView.exe"),
                verb = "\"" + vxtest::ProgramFolder() + "\\vardex.exe\" %1";
    const struct { bool explorer; const char* option; std::string command; } verbs[] = {
        { false, "1", "<missing>" }, { true, "1", verb }, { true, "2", "<missing>" } };
    for (const auto& c : verbs) {
        if (c.explorer)
            vxtest::WriteFileBytes(explorer, "MZ");
        else
            DeleteFileA(explorer.c_str());
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ExplorerMenu", c.option);
        InitializeMonitor();
        EXPECT_REG_STRING(HKEY_CLASSES_ROOT, VX_VERB_KEY "\\command", "", c.command);
    }
}

}  // namespace
