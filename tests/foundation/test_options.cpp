// Options: the decimal reading rule with its defaults, the "Update"
// handshake, and the bulk load and save.
#include "support/vxtest.h"

#include <set>
#include <string>

#include "foundation/options.h"

namespace {

class Options : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        SetOptionsForExplorer(0);
    }
};

TEST_F(Options, ReadTakesLeadingDecimalDigitsElseTheDefault)
{
    // stored NULL: missing; "dword": a DWORD where text belongs.
    const std::string overLong(200, '7');
    const struct { const char* stored; int value; } cases[] = {
        { NULL, 7 }, { "", 7 }, { "dword", 7 }, { overLong.c_str(), 7 },
        { "12", 12 }, { "0", 0 }, { "abc", 0 }, { "5min", 5 }, { "-3", -3 }, { " 9", 9 },
    };
    for (const auto& c : cases) {
        RegDeleteValueNamed(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Services");
        if (c.stored != NULL && std::string(c.stored) == "dword")
            vxtest::SetDword(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Services", 5);
        else if (c.stored != NULL)
            vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Services", c.stored);
        EXPECT_EQ(c.value, OptionRead("Services", 7)) << (c.stored ? c.stored : "missing");
    }
}

TEST_F(Options, WriteStoresTextAndRaisesUpdate)
{
    EXPECT_EQ(1, OptionWrite("Start", -12));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Start", "-12");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");
}

TEST_F(Options, EveryOptionHasItsOwnNameAndItsDefault)
{
    std::set<std::string> names;
    for (int i = 0; i < OPT_COUNT; i++)
        EXPECT_TRUE(names.insert(OptionName((OptionId)i)).second) << i;
    EXPECT_EQ(0u, names.count(""));
    // A row missing from the table would shift every later name.
    EXPECT_STREQ("ExplorerMenu", OptionName(OPT_ExplorerMenu));
    EXPECT_STREQ("", OptionName(OPT_COUNT));
    LoadOptions();
    for (int i = 0; i < OPT_COUNT; i++)
        EXPECT_EQ(OptionDefault((OptionId)i), g_Options[i]) << OptionName((OptionId)i);
}

TEST_F(Options, CookieCapDiffersBetweenThePrograms)
{
    SetOptionsForExplorer(1);
    LoadOptions();
    EXPECT_EQ(4096, g_Options[OPT_MaxCookie]);
    SetOptionsForExplorer(0);
    LoadOptions();
    EXPECT_EQ(315, g_Options[OPT_MaxCookie]);
}

TEST_F(Options, SaveWritesEveryOptionAndLoadReadsItBack)
{
    for (int i = 0; i < OPT_COUNT; i++)
        g_Options[i] = 100 + i;
    SaveOptions();
    for (int i = 0; i < OPT_COUNT; i++)
        g_Options[i] = 0;
    LoadOptions();
    for (int i = 0; i < OPT_COUNT; i++)
        EXPECT_EQ(100 + i, g_Options[i]) << OptionName((OptionId)i);
}

}  // namespace
