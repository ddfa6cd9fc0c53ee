// What every category shares: the baselines and their mark, the first
// filling of the first-detected dates, and the undo that finds the category
// of a history line.
#include <windows.h>

#include <string>
#include <vector>

#include "categories/category.h"
#include "foundation/detected.h"
#include "foundation/history_line.h"
#include "foundation/options.h"
#include "foundation/name_table.h"
#include "foundation/registry_store.h"
#include "startup/autostart.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

namespace {

// A history line that no category wrote is undone by none.
TEST(CategoryDriver, ALineNoCategoryWroteIsNotUndone)
{
    ItemRecord line = {};
    line.Flag = HA_START_ALERT;
    line.Code = 11;
    EXPECT_EQ(0, UndoHistoryLine(&line));
    line.Flag = HA_LOG_UNKNOWN;
    EXPECT_EQ(0, UndoHistoryLine(&line));
    EXPECT_EQ(0, UndoHistoryLine(NULL));
}

// The first filling of the first-detected dates happens once per category.
TEST(CategoryDriver, DatesAreFilledOnceAtTheFirstStart)
{
    vxtest::ResetStore();
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const char* dates = VX_DETECTED_KEY "\\Startup";
    std::string first = vxtest::PathInProgramFolder("KESSA.DLL");
    std::string second = vxtest::PathInProgramFolder("Vardex.exe");
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxFirst", first.c_str());
    InitDetected();
    InitCategoryDetected();
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, dates, first.c_str()));
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, dates, "(filled)"));

    // Filled once: a program that arrives later is dated when it is found
    // by the patrol, not by the start-up.
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxSecond", second.c_str());
    InitCategoryDetected();
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, dates, second.c_str());
    // A store from a build without the mark (the database itself already
    // dated) gets the category's dates now.
    RegDeleteValueNamed(HKEY_CURRENT_USER, dates, "(filled)");
    InitDetected();
    InitCategoryDetected();
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, dates, second.c_str()));
    RegDeleteValueNamed(HKEY_CURRENT_USER, run, "VxFirst");
    RegDeleteValueNamed(HKEY_CURRENT_USER, run, "VxSecond");
}

// --- Baselines and their mark ------------------------------------------------------------

#define PROBE_KEY VX_KEY "\\VxProbe"

// A category of the test's own over the real registry: it lists the names
// the test gives it and records them as its baseline; told to fail, it
// records only the first and reports the failure.
std::vector<std::string> s_probeItems;
int s_probeRecordWorks = 1;
int s_probeRecorded = 0;

int ListProbe(ItemList* out)
{
    for (const std::string& name : s_probeItems)
        AddItem(out, name.c_str(), ("C:\\probe\\" + name + ".exe").c_str(), "", "", 1, 0);
    return ItemCount(out);
}

int RecordProbe()
{
    s_probeRecorded++;
    for (const std::string& name : s_probeItems) {
        vxtest::SetString(HKEY_CURRENT_USER, PROBE_KEY, name.c_str(), "1");
        if (!s_probeRecordWorks)
            return 0;
    }
    return 1;
}

int TellProbe(const ItemRecord* item, void* context)
{
    int code = BaselineCodeIn((const NameTable*)context, PROBE_KEY, item->Name);
    return code != 0 ? VERDICT_KNOWN : VERDICT_NEW;
}

const Category kProbe = {
    "Probe", NULL, PROBE_KEY, -1, -1, -1, 0, NULL, NULL, CAT_BASELINE_TABLE,
    NULL, NULL, RecordProbe, NULL, NULL, ListProbe, NULL, NULL, TellProbe, NULL, NULL, NULL,
};

struct Baselines : testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore();
        s_probeItems = { "one", "two" };
        s_probeRecordWorks = 1;
        s_probeRecorded = 0;
    }
};

// A baseline whose recording failed half way carries no mark, and a step
// records it again rather than compare against it: what it missed would
// all be new.
TEST_F(Baselines, AHalfMadeLostOrForeignBaselineIsRecordedAfresh)
{
    s_probeRecordWorks = 0;
    EXPECT_EQ(0, BuildCategoryBaseline(&kProbe));
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, PROBE_KEY, "");
    vxtest::ScriptedUi user;
    EXPECT_EQ(0, PatrolCategory(&kProbe));
    EXPECT_EQ(2, s_probeRecorded);
    s_probeRecordWorks = 1;
    EXPECT_EQ(0, PatrolCategory(&kProbe));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, PROBE_KEY, "", "P");
    s_probeItems.push_back("three");
    EXPECT_EQ(1, PatrolCategory(&kProbe));
    ASSERT_EQ(1u, user.asked.size());
    EXPECT_STREQ("three", user.asked[0].Name);
    // A baseline key deleted while the program runs (a registry cleaner), or
    // holding something else than the mark, is recorded afresh, silently.
    user.asked.clear();
    RegDeleteKeyTree(HKEY_CURRENT_USER, PROBE_KEY);
    EXPECT_EQ(0, PatrolCategory(&kProbe));
    EXPECT_TRUE(user.asked.empty());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, PROBE_KEY, "", "P");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, PROBE_KEY, "two", "1");
    vxtest::SetString(HKEY_CURRENT_USER, PROBE_KEY, "", "not the mark");
    vxtest::SetString(HKEY_CURRENT_USER, PROBE_KEY, "stale", "1");
    EXPECT_EQ(0, PatrolCategory(&kProbe));
    EXPECT_TRUE(user.asked.empty());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, PROBE_KEY, "stale");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, PROBE_KEY, "", "P");
}

// The startup baseline of a store from before the mark is taken as it
// stands: an entry it never approved stays unapproved.  An empty one is
// recorded.
TEST_F(Baselines, AnUnmarkedStartupBaselineOfValuesIsKeptAsItStands)
{
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::string waiting = vxtest::PathInProgramFolder("KESSA.DLL");
    vxtest::SetString(HKEY_CURRENT_USER, run, "VxWaiting", waiting.c_str());
    vxtest::SetString(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\approved.exe", "11");
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "", "P");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, "C:\\approved.exe", "11");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_RUN_KEY, waiting.c_str());
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_RUN_KEY);
    RegCreateKeyPath(HKEY_CURRENT_USER, VX_RUN_KEY);
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, waiting.c_str(), "11");
    RegDeleteValueNamed(HKEY_CURRENT_USER, run, "VxWaiting");
}

}  // namespace
