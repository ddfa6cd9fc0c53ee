// ActiveX controls against Wine's real registry: controls are planted as
// the browser records them (a class with an InprocServer32 file and an
// Ext\Stats entry), listed, patrolled with a scripted user and given or
// spared the kill bit.
#include <windows.h>

#include <string>

#include "categories/activex.h"
#include "categories/category.h"
#include "foundation/handles.h"
#include "foundation/item_list.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

static const char* kDll = "C:\\windows\\system32\\mlang.dll";

static std::string Clsid(int n)
{
    char text[64];
    TEXT_FORMAT(text, "{7E570000-0000-4000-8000-%012d}", n);
    return text;
}

// type < 0: no iexplore\Type value.
static void PlantControl(int n, const char* file, int type)
{
    std::string clsid = Clsid(n);
    std::string key = "CLSID\\" + clsid;
    vxtest::SetString(HKEY_CLASSES_ROOT, key.c_str(), "", ("Control " + std::to_string(n)).c_str());
    if (file != NULL)
        vxtest::SetString(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str(), "", file);
    std::string stats = std::string(EXT_STATS_KEY "\\") + clsid + "\\iexplore";
    RegCreateKeyPath(HKEY_CURRENT_USER, stats.c_str());
    if (type >= 0)
        vxtest::SetDword(HKEY_CURRENT_USER, stats.c_str(), "Type", (DWORD)type);
}

static std::string CompatKey(int n)
{
    return std::string(ACTIVEX_COMPAT_KEY "\\") + Clsid(n);
}

static DWORD RawFlags(int n)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, CompatKey(n).c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS ||
        RegQueryValueExA(key, "Compatibility Flags", NULL, &type, (BYTE*)&value, &size) !=
            ERROR_SUCCESS || type != REG_DWORD)
        return 0xDEADBEEF;
    return value;
}

static int IndexOf(const std::string& clsid)
{
    for (int i = 0; i < ItemCount(); i++)
        if (TextEqualNoCase(GetItemExtra(i), clsid.c_str()))
            return i;
    return -1;
}

class ActiveX : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        RegDeleteKeyTree(HKEY_CURRENT_USER, EXT_STATS_KEY);
        RegDeleteKeyTree(HKEY_LOCAL_MACHINE, ACTIVEX_COMPAT_KEY);
    }
    void TearDown() override { ClearItems(); }
};

TEST_F(ActiveX, ListsControlsTheBrowserUsed)
{
    PlantControl(1, kDll, 0);
    PlantControl(2, kDll, 1);
    PlantControl(3, kDll, -1);
    PlantControl(4, kDll, 2);     // not an ActiveX control
    PlantControl(5, NULL, 0);     // no server file
    vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(2).c_str(), "Compatibility Flags", 0x80000401);
    EXPECT_EQ(3, EnumActiveX(0));
    for (int n : { 1, 2, 3 }) {
        int i = IndexOf(Clsid(n));
        ASSERT_GE(i, 0) << n;
        EXPECT_EQ(ACTIVEX_CODE, GetItemCode(i));
        EXPECT_STRCASEEQ(kDll, GetItemCommand(i));
        EXPECT_EQ(("Control " + std::to_string(n)), GetItemName(i));
    }
    EXPECT_EQ((int)0x80000401, GetItemFlag(IndexOf(Clsid(2))));

    // The full list adds the compatibility entries, an AlternateCLSID
    // standing for its control, and repeats nothing.
    vxtest::SetString(HKEY_CLASSES_ROOT, ("CLSID\\" + Clsid(6) + "\\InprocServer32").c_str(), "", kDll);
    vxtest::SetString(HKEY_LOCAL_MACHINE, CompatKey(7).c_str(), "AlternateCLSID", Clsid(6).c_str());
    EXPECT_EQ(4, EnumActiveXAll());
    EXPECT_GE(IndexOf(Clsid(6)), 0);
}

// The kill bit is set and cleared on the whole stored value: every other
// bit stays, and a number stored as text is kept as a number.
TEST_F(ActiveX, KillBitKeepsTheOtherCompatibilityBits)
{
    struct Row { int n; DWORD type; const char* text; DWORD before; DWORD disabled; DWORD enabled; };
    const Row rows[] = {
        { 10, 0, NULL, 0, 0x400, 0 },                               // no key at all
        { 11, REG_DWORD, NULL, 0x80000001, 0x80000401, 0x80000001 }, // high bit set
        { 12, REG_DWORD, NULL, 0x00FF0400, 0x00FF0400, 0x00FF0000 },
        { 13, REG_SZ, "0x20", 0, 0x420, 0x20 },                      // stored as text
    };
    for (const Row& row : rows) {
        if (row.type == REG_DWORD)
            vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(row.n).c_str(), "Compatibility Flags",
                             row.before);
        else if (row.type == REG_SZ)
            vxtest::SetString(HKEY_LOCAL_MACHINE, CompatKey(row.n).c_str(),
                              "Compatibility Flags", row.text);
        std::string clsid = Clsid(row.n);
        EXPECT_EQ(1, DisableActiveX(clsid.c_str())) << row.n;
        EXPECT_EQ(row.disabled, RawFlags(row.n)) << row.n;
        std::string bare = clsid.substr(1, clsid.size() - 2);  // braces are optional
        EXPECT_EQ(row.disabled, GetCompatibilityFlags(bare.c_str())) << row.n;
        EXPECT_EQ(1, EnableActiveX(clsid.c_str())) << row.n;
        EXPECT_EQ(row.enabled, RawFlags(row.n)) << row.n;
    }
    EXPECT_EQ(0, DisableActiveX("{x}\\..\\y"));
    EXPECT_EQ(1, EnableActiveX(Clsid(99).c_str()));  // nothing there: nothing to clear
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, CompatKey(99).c_str()));
}

// What a user checks first: a control seen at start is in the baseline; a
// new one answered "No" gets the kill bit and keeps its other bits; both
// answers leave it in the baseline, so nothing is asked twice.
TEST_F(ActiveX, PatrolAsksOnceAndNoSetsTheKillBit)
{
    PlantControl(20, kDll, 0);
    InitCategoryBaselines();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, "", "P");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, Clsid(20).c_str(), "1200");

    PlantControl(21, kDll, 0);
    PlantControl(22, kDll, 1);
    vxtest::SetDword(HKEY_LOCAL_MACHINE, CompatKey(21).c_str(), "Compatibility Flags", 0x80000002);
    vxtest::ScriptedUi user;
    user.answer = ANSWER_REJECT;
    g_Options[OPT_HideActiveX] = 0;
    EXPECT_EQ(2, PatrolActiveX());
    ASSERT_EQ(2u, user.asked.size());
    EXPECT_EQ(ALERT_ACTIVEX, user.asked[0].Kind);
    EXPECT_EQ(0x80000402u, RawFlags(21));
    EXPECT_EQ(0x400u, RawFlags(22));
    for (int n : { 21, 22 })
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_ACTIVEX_KEY, Clsid(n).c_str(), "1200");
    EXPECT_EQ(0, PatrolActiveX());
    EXPECT_EQ(2u, user.asked.size());
}
