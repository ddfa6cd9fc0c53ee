// Options: defaults, the decimal reading rule and the "Update" handshake.
#include "support/vxtest.h"

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

TEST_F(Options, DefaultsApplyToMissingAndEmptyValues)
{
    EXPECT_EQ(7, OptionRead("Services", 7));
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Services", "");
    EXPECT_EQ(7, OptionRead("Services", 7));
}

TEST_F(Options, ValuesReadAsLeadingDecimalDigits)
{
    struct { const char* text; int value; } cases[] = {
        { "12", 12 }, { "0", 0 }, { "abc", 0 }, { "5min", 5 }, { "-3", -3 }, { " 9", 9 },
    };
    for (const auto& c : cases) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Start", c.text);
        EXPECT_EQ(c.value, OptionRead("Start", 2)) << c.text;
    }
}

TEST_F(Options, BadlyStoredValuesFallBackToTheDefault)
{
    // A DWORD where text belongs, or text longer than the option buffer.
    vxtest::SetDword(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Tasks", 5);
    EXPECT_EQ(11, OptionRead("Tasks", 11));
    std::string longText(200, '7');
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Tasks", longText.c_str());
    EXPECT_EQ(11, OptionRead("Tasks", 11));
}

TEST_F(Options, WriteStoresTextAndRaisesUpdate)
{
    EXPECT_EQ(1, OptionWrite("Sound", 0));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Sound", "0");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");
    OptionWrite("Start", -12);
    EXPECT_EQ(-12, OptionRead("Start", 2));
}

TEST_F(Options, LoadOptionsGivesTheDocumentedDefaults)
{
    LoadOptions();
    struct { OptionId id; const char* name; int def; } table[] = {
        { OPT_Sound, "Sound", 1 }, { OPT_History, "History", 1 },
        { OPT_HideMicrosoftServices, "HideMicrosoftServices", 1 }, { OPT_MaxCookie, "MaxCookie", 315 },
        { OPT_Start, "Start", 2 }, { OPT_Tasks, "Tasks", 11 }, { OPT_FileType, "FileType", 10 },
        { OPT_HostFile, "HostFile", 3 }, { OPT_Services, "Services", 7 }, { OPT_ActiveX, "ActiveX", 4 },
        { OPT_WinInit, "WinInit", 5 }, { OPT_RealtimeStartup, "RealtimeStartup", 1 },
        { OPT_RealtimeFileType, "RealtimeFileType", 0 }, { OPT_RealtimeHidden, "RealtimeHidden", 0 },
        { OPT_ExplorerMenu, "ExplorerMenu", 1 }, { OPT_HideRusko, "HideRusko", 0 },
        { OPT_ConfirmExit, "ConfirmExit", 0 }, { OPT_ViewCookies, "ViewCookies", 0 },
    };
    for (const auto& row : table) {
        EXPECT_STREQ(row.name, OptionName(row.id));
        EXPECT_EQ(row.def, g_Options[row.id]) << row.name;
    }
    EXPECT_EQ(46, (int)OPT_COUNT);
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
    LoadOptions();
    g_Options[OPT_Services] = 42;
    g_Options[OPT_HideRusko] = 1;
    SaveOptions();
    for (int i = 0; i < OPT_COUNT; i++)
        EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, VX_OPTIONS_KEY, OptionName((OptionId)i)))
            << OptionName((OptionId)i);
    g_Options[OPT_Services] = 0;
    LoadOptions();
    EXPECT_EQ(42, g_Options[OPT_Services]);
    EXPECT_EQ(1, g_Options[OPT_HideRusko]);
}

}  // namespace
