// ActiveX controls against Wine's real registry: controls are planted as
// the browser records them (a class with an InprocServer32 file and an
// Ext\Stats entry), listed, patrolled with a scripted user and given or
// spared the kill bit.
#include "categories/activex.h"
#include "categories/category.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

using vxtest::Items;

static const char* kDll = "C:\\windows\\system32\\mlang.dll";

static std::string Clsid(int n)
{
    char t[64];
    TEXT_FORMAT(t, "{7E570000-0000-4000-8000-%012d}", n);
    return t;
}

static std::string CompatKey(int n) { return std::string(ACTIVEX_COMPAT_KEY "\\") + Clsid(n); }

// type < 0: no iexplore\Type value (another value in its place).
static void PlantControl(int n, const char* file, int type)
{
    std::string key = "CLSID\\" + Clsid(n);
    vxtest::SetString(HKEY_CLASSES_ROOT, key.c_str(), "", ("Control " + std::to_string(n)).c_str());
    if (file != NULL)
        vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", file);
    std::string stats = std::string(EXT_STATS_KEY "\\") + Clsid(n) + "\\iexplore";
    vxtest::SetDword(HKEY_CURRENT_USER, stats.c_str(), type >= 0 ? "Type" : "Count", (DWORD)type);
}

// The stored flags, only when stored as a DWORD.
static DWORD RawFlags(int n)
{
    DWORD value = 0, size = sizeof(value);
    return RegGetValueA(HKEY_LOCAL_MACHINE, CompatKey(n).c_str(), "Compatibility Flags",
               RRF_RT_REG_DWORD, NULL, &value, &size)
            == ERROR_SUCCESS
        ? value
        : 0xDEADBEEF;
}

struct ActiveX : ::testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore(), LoadOptions();
        RegDeleteKeyTree(HKEY_CURRENT_USER, EXT_STATS_KEY);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, ACTIVEX_COMPAT_KEY);
    }
    void TearDown() override { ClearItems(Items()); }
};

TEST_F(ActiveX, ListsControlsTheBrowserUsed)
{
    PlantControl(1, kDll, -1);  // no Type value: still a control
    vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(1).c_str(), "Compatibility Flags", 0x80000401);
    ASSERT_EQ(1, EnumActiveX(Items(), 0));
    EXPECT_EQ("Control 1", std::string(GetItemName(Items(), 0)));
    EXPECT_STRCASEEQ(kDll, GetItemCommand(Items(), 0));
    EXPECT_EQ((int)0x80000401, GetItemFlag(Items(), 0));

    // The full list adds the compatibility entries, an AlternateCLSID
    // standing for its control, and repeats nothing.
    vxtest::SetString(
        HKEY_CLASSES_ROOT, ("CLSID\\" + Clsid(6) + "\\InprocServer32").c_str(), "", kDll);
    vxtest::SetString(HKEY_LOCAL_MACHINE, CompatKey(7).c_str(), "AlternateCLSID", Clsid(6).c_str());
    EXPECT_EQ(2, EnumActiveXAll(Items()));
    EXPECT_STRCASEEQ(Clsid(6).c_str(), GetItemExtra(Items(), 1));
    // The kill bit is set and cleared on the whole stored value: every other
    // bit stays, and a number stored as text is kept as a number.
    struct Row { int n; DWORD type; const char* text; DWORD before, disabled, enabled; };
    const Row rows[] = {
        { 10, 0, NULL, 0, 0x400, 0 },                               // no key at all
        { 11, REG_DWORD, NULL, 0x80000001, 0x80000401, 0x80000001 }, // high bit set
        { 12, REG_DWORD, NULL, 0x00FF0400, 0x00FF0400, 0x00FF0000 },
        { 13, REG_SZ, "0x20", 0, 0x420, 0x20 },                      // stored as text
    };
    for (const Row& row : rows) {
        if (row.type == REG_DWORD)
            vxtest::SetDword(
                HKEY_LOCAL_MACHINE, CompatKey(row.n).c_str(), "Compatibility Flags", row.before);
        else if (row.type == REG_SZ)
            vxtest::SetString(
                HKEY_LOCAL_MACHINE, CompatKey(row.n).c_str(), "Compatibility Flags", row.text);
        EXPECT_TRUE(DisableActiveX(Clsid(row.n).c_str()) == 1 && RawFlags(row.n) == row.disabled)
            << row.n;
        EXPECT_TRUE(EnableActiveX(Clsid(row.n).c_str()) == 1 && RawFlags(row.n) == row.enabled)
            << row.n;
    }
    EXPECT_EQ(0, DisableActiveX("{x}\\..\\y"));
    EXPECT_TRUE(EnableActiveX(Clsid(99).c_str()) == 1
        && !RegKeyExists(HKEY_LOCAL_MACHINE, CompatKey(99).c_str()));
    // What a user checks first: a control seen at start is in the baseline; a
    // non-control or a class without a file is not asked about; a new control
    // answered "No" gets the kill bit and keeps its other bits; both
    // answers leave it in the baseline, so nothing is asked twice.
    PlantControl(20, kDll, 0);
    InitCategoryBaselines();
    PlantControl(21, kDll, 0);
    PlantControl(22, kDll, 1);
    PlantControl(23, kDll, 2);   // not an ActiveX control
    PlantControl(24, NULL, 0);   // no server file
    vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(21).c_str(), "Compatibility Flags", 0x80000002);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    ASSERT_EQ(2, PatrolActiveX());
    EXPECT_TRUE(RawFlags(21) == 0x80000402u);
    EXPECT_TRUE(RawFlags(22) == 0x400u) << RawFlags(21);
    EXPECT_EQ(0, PatrolActiveX());
}


// A control enters the baseline once an answer is carried out: not when
// the alert could not be shown, not when its kill bit could not be written
// (the compatibility key is volatile, so no lasting subkey goes below it).
// That failure is told once, and the control is not asked about again
// while the program runs.
TEST_F(ActiveX, TheBaselineRecordsOnlyAnAnswerCarriedOut)
{
    ASSERT_EQ(1, BuildCategoryBaseline(&g_ActiveXCategory));
    PlantControl(30, kDll, 0);
    {
        vxtest::ScriptedUi unseen;  // every question unanswered
        EXPECT_EQ(1, PatrolActiveX());
    }
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, Clsid(30).c_str());
    HKEY compat = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, ACTIVEX_COMPAT_KEY, 0, NULL,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &compat,
                                             NULL));
    RegCloseKey(compat);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    EXPECT_EQ(1, PatrolActiveX());
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, Clsid(30).c_str());
    ASSERT_EQ(1u, user.notices.size());
    EXPECT_EQ(NOTICE_DISABLE_FAILED, user.notices[0].first);
    EXPECT_EQ(0, PatrolActiveX());
    EXPECT_EQ(1u, user.notices.size());
    PlantControl(31, kDll, 0);
    user.answer = ANSWER_ACCEPT;
    EXPECT_EQ(1, PatrolActiveX());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, Clsid(31).c_str(), "1200");
}
