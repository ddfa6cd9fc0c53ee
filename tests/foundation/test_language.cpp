// Language texts: the string table, the "LString<id>" overrides, the
// message language and the reset of translations and window positions.
#include "support/vxtest.h"

#include <string>

#include "foundation/language.h"
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

TEST_F(Language, StringTableTextOrItsOverride)
{
    // override NULL: none stored.
    const std::string at(771, 'z'), over(900, 'z');
    const struct { const char* what; WORD language; int id; const char* override; int outSize;
                   int result; std::string text; } cases[] = {
        { "table", 0, 2, NULL, 64, 6, "Vardex" },
        { "missing text", 0, 31999, NULL, 64, 0, "" },
        { "override, %n as line breaks", 0, 907, "One%nTwo%n", 64, 10, "One\nTwo\n" },
        { "English ignores overrides", 9, 2, "Ersatz", 64, 6, "Vardex" },
        { "another language takes them", 7, 2, "Ersatz", 64, 6, "Ersatz" },
        { "cut to the buffer", 0, 820, "0123456789%n", 6, 5, "01234" },
        { "a cut between % and n", 0, 820, "abcd%n", 6, 5, "abcd%" },
        { "format characters are text", 0, 795, "%s%s%s%n", 64, 8, "%s%s%s\n" },
        { "the longest override", 0, 17, at.c_str(), 1024, 771, at },
    };
    for (const auto& c : cases) {
        g_MessageLanguage = c.language;
        if (c.override != NULL)
            vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, ("LString" + std::to_string(c.id)).c_str(),
                              c.override);
        std::string out(c.outSize, 'Z');
        EXPECT_EQ(c.result, LoadText(c.id, &out[0], c.outSize)) << c.what;
        EXPECT_EQ(c.text, out.c_str()) << c.what;
        if (c.outSize > c.result + 1) {   // an uncut text: the same length without a buffer
            EXPECT_EQ(c.result, LoadText(c.id, nullptr, -1)) << c.what << ": length only";
        }
    }
    // One over the longest does not fit the read: the table's text.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString17", over.c_str());
    char out[1024];
    LoadText(17, out, sizeof(out));
    EXPECT_EQ(0u, std::string(out).find("\nA request"));
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

}  // namespace
