// Options: the decimal reading rule with its defaults, the "Update"
// handshake, and the bulk load and save.
#include "support/vxtest.h"

#include <string.h>

#include <string>

#include "foundation/options.h"

namespace {

TEST(Options, ReadTakesLeadingDecimalDigitsElseTheDefault)
{
    vxtest::ResetStore();
    // "" reads as missing; a text too long for the reader.
    const std::string o(200, '7');
    const struct { const char* stored; int value; } cases[] = {
        { "", 7 }, { o.c_str(), 7 }, { "0", 0 }, { "abc", 0 }, { "5min", 5 }, { "-3", -3 },
    };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Services", c.stored);
        EXPECT_EQ(c.value, OptionRead("Services", 7)) << c.stored;
    }
    vxtest::SetDword(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Services", 5);
    EXPECT_EQ(7, OptionRead("Services", 7)) << "a DWORD where text belongs";
    // "" past the end; a row missing or moved in the table would shift later names.
    EXPECT_EQ(
        "WatchChanges|", std::string(OptionName(OPT_WatchChanges)) + "|" + OptionName(OPT_COUNT));
    for (int explorer = 1; explorer >= 0; explorer--) {
        SetOptionsForExplorer(explorer);
        LoadOptions();
        for (int i = 0; i < OPT_COUNT; i++)
            EXPECT_EQ(OptionDefault((OptionId)i), g_Options[i]) << OptionName((OptionId)i);
        EXPECT_EQ(explorer ? 4096 : 315, g_Options[OPT_MaxCookie]);
    }

    // A write raises "Update".
    EXPECT_TRUE(OptionWrite("Start", -12) == 1);
    EXPECT_TRUE(OptionRead("Start", 0) == -12);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");
    for (int i = 0; i < OPT_COUNT; i++)
        g_Options[i] = 100 + i;
    SaveOptions();
    memset(g_Options, 0, sizeof(g_Options));
    LoadOptions();
    for (int i = 0; i < OPT_COUNT; i++)
        EXPECT_EQ(100 + i, g_Options[i]) << OptionName((OptionId)i);
}

}  // namespace
