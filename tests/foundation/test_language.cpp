// Language texts: the string table, the "LString<id>" overrides and the
// message language.
#include "support/vxtest.h"

#include <string>

#include "foundation/language.h"
#include "foundation/placement.h"
#include "foundation/registry_store.h"

namespace {

class Language : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        g_MessageLanguage = 0;
    }
};

TEST_F(Language, StringTableTextWhenNoOverride)
{
    char out[64];
    EXPECT_EQ(6, LoadText(2, out, sizeof(out)));
    EXPECT_STREQ("Vardex", out);
    EXPECT_EQ(0, LoadText(31999, out, sizeof(out)));
    EXPECT_STREQ("", out);
}

TEST_F(Language, OverrideReplacesLineBreakMarks)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString907", "One%nTwo%n");
    char out[64];
    EXPECT_EQ(10, LoadText(907, out, sizeof(out)));
    EXPECT_STREQ("One\nTwo\n", out);
}

TEST_F(Language, EnglishIgnoresOverrides)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString2", "Ersatz");
    char out[64];
    g_MessageLanguage = 9;
    LoadText(2, out, sizeof(out));
    EXPECT_STREQ("Vardex", out);
    g_MessageLanguage = 7;
    LoadText(2, out, sizeof(out));
    EXPECT_STREQ("Ersatz", out);
}

TEST_F(Language, OverrideIsCutToTheCallersBuffer)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString820", "0123456789%n");
    char out[6];
    EXPECT_EQ(5, LoadText(820, out, sizeof(out)));
    EXPECT_STREQ("01234", out);
    // A cut that falls between "%" and "n" leaves the "%" alone.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString820", "abcd%n");
    EXPECT_EQ(5, LoadText(820, out, sizeof(out)));
    EXPECT_STREQ("abcd%", out);
}

TEST_F(Language, OverrideOverTheLimitsIsSafe)
{
    // 771 characters is the longest override; a longer one does not fit the
    // 772-byte read and counts as absent.
    std::string at(771, 'z'), over(900, 'z');
    char out[1024];
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString17", at.c_str());
    EXPECT_EQ(771, LoadText(17, out, sizeof(out)));
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString17", over.c_str());
    LoadText(17, out, sizeof(out));
    EXPECT_EQ(0u, std::string(out).find("\nA request"));
}

TEST_F(Language, FormatCharactersInAnOverrideAreOnlyText)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString795", "%s%s%s%n");
    char out[64];
    EXPECT_EQ(8, LoadText(795, out, sizeof(out)));
    EXPECT_STREQ("%s%s%s\n", out);
}

TEST_F(Language, LengthOnlyRequest)
{
    EXPECT_EQ(6, LoadText(2, nullptr, -1));
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString2", "Translated");
    EXPECT_EQ(10, LoadText(2, nullptr, -1));
}

TEST_F(Language, LanguageCodes)
{
    struct { const char* code; WORD id; } cases[] = {
        { "us", 9 }, { "US", 9 }, { "de", 7 }, { "br", 22 }, { "pt", 22 }, { "ru", 25 },
        { "\xEA\xE0\xEA", 25 }, { "cn", 4 }, { "ar", 1 }, { "xx", 0 }, { "", 0 }, { "usa", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.id, LanguageIdForCode(c.code)) << c.code;
}

TEST_F(Language, MessageLanguageComesFromText634)
{
    SetMessageLanguage();
    EXPECT_EQ(9, g_MessageLanguage);
    g_MessageLanguage = 0;
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", "fr");
    SetMessageLanguage();
    EXPECT_EQ(12, g_MessageLanguage);
}

TEST_F(Language, ResetRemovesTranslationsAndPositions)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString0", "a");
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString1165", "b");
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString1166", "kept");
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", "kept");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "10");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "dyPosAddFileType", "10");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "Version", "kept");
    ResetLanguageAndLayout();
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, VX_KEY, "LString0");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, VX_KEY, "LString1165");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_KEY, "LString1166", "kept");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", "kept");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_KEY, "xPosAlert");
    EXPECT_REG_MISSING(HKEY_CURRENT_USER, VX_KEY, "dyPosAddFileType");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "kept");
}

const PlacementNames kAlertNames = { "xPosAlert", "yPosAlert", "dxAlert", "dyAlert" };

HWND MakeWindow()
{
    return CreateWindowA("STATIC", "placement", WS_POPUP, 100, 120, 300, 200, NULL, NULL,
                         NULL, NULL);
}

TEST_F(Language, PlacementRoundTripKeepsTheSize)
{
    HWND w = MakeWindow();
    ASSERT_TRUE(w != NULL);
    SaveWindowPlacement(w, kAlertNames);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "100");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "120");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "dxAlert", "300");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "dyAlert", "200");
    // Saving rewrites "StartTab", which raises "Update".
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "StartTab", "0");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "1");

    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "40");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "50");
    RestoreWindowPlacement(w, kAlertNames);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(50, r.top);
    EXPECT_EQ(300, r.right - r.left);
    DestroyWindow(w);
}

TEST_F(Language, PlacementOffScreenOrMissingIsBroughtBack)
{
    HWND w = MakeWindow();
    ASSERT_TRUE(w != NULL);
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "99999");
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "yPosAlert", "99999");
    RestoreWindowPlacement(w, kAlertNames);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2, r.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2, r.top);

    // Only x saved: centred, a third of the free height from the top.
    vxtest::ResetStore();
    vxtest::SetString(HKEY_CURRENT_USER, VX_KEY, "xPosAlert", "10");
    RestoreWindowPlacement(w, kAlertNames);
    GetWindowRect(w, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 300) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 200) / 3, r.top);
    DestroyWindow(w);
}

}  // namespace
