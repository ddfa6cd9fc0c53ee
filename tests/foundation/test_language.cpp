// Language texts: the string table, the "LString<id>" overrides, the
// message language and the reset of translations and window positions.
#include "support/vxtest.h"

#include <string>

#include "foundation/language.h"
#include "foundation/registry_store.h"

namespace {

TEST(Language, StringTableTextOrItsOverride)
{
    vxtest::ResetStore();
    // text: the override stored (NULL: none); out: what LoadText gives.
    const std::string at(771, 'z'), over(900, 'z');
    const struct { WORD language; int id; const char* text; int size, result; std::string out;
    } cases[] = {
        // The table's text; a missing text; an override with "%n" as line breaks.
        {0, 2, NULL, 64, 6, "Vardex"},
        {0, 31999, NULL, 64, 0, ""},
        {0, 907, "A%nB%n", 64, 6, "A\nB\n"},
        // English ignores overrides, another language takes them.
        {9, 2, "Ersatz", 64, 6, "Vardex"},
        {7, 2, "Ersatz", 64, 6, "Ersatz"},
        // Cut to the buffer, also between "%" and "n"; format characters are text.
        {0, 820, "0123456789%n", 6, 5, "01234"},
        {0, 820, "abcd%n", 6, 5, "abcd%"},
        {0, 795, "%s%s%s%n", 64, 8, "%s%s%s\n"},
        // The longest override.
        {0, 17, at.c_str(), 1024, 771, at},
    };
    for (const auto& c : cases) {
        g_MessageLanguage = c.language;
        if (c.text != NULL)
            vxtest::SetString(
                HKEY_LOCAL_MACHINE, VX_KEY, ("LString" + std::to_string(c.id)).c_str(), c.text);
        std::string buffer(c.size, 'Z');
        EXPECT_EQ(c.result, LoadText(c.id, &buffer[0], c.size)) << c.id << " " << c.language;
        EXPECT_EQ(c.out, buffer.c_str()) << c.id << " " << c.language;
        // An uncut text has the same length without a buffer.
        EXPECT_TRUE(c.size <= c.result + 1 || LoadText(c.id, nullptr, -1) == c.result) << c.id;
    }
    // One over the longest does not fit the read: the table's text.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString17", over.c_str());
    char out[1024];
    EXPECT_GT(LoadText(17, out, sizeof(out)), 0);
    EXPECT_EQ(0u, std::string(out).find("\nA request")) << out;
    // Any case; the Cyrillic code in the Windows code page; unknown, empty or long.
    struct { const char* code; WORD id; } codes[] = {
        { "US", 9 }, { "pt", 22 }, { "\xEA\xE0\xEA", 25 }, { "xx", 0 }, { "", 0 }, { "usa", 0 },
    };
    for (const auto& c : codes)
        EXPECT_EQ(c.id, LanguageIdForCode(c.code)) << c.code;
    SetMessageLanguage();
    EXPECT_EQ(9, g_MessageLanguage);
    g_MessageLanguage = 0;   // English would ignore the override
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", "fr");
    SetMessageLanguage();
    EXPECT_EQ(12, g_MessageLanguage);
    const HKEY m = HKEY_LOCAL_MACHINE, u = HKEY_CURRENT_USER;
    const struct { HKEY root; const char* name; int kept;
    } values[] = {
        {m, "LString0", 0}, {m, "LString1165", 0}, {m, "LString1166", 1}, {m, "vxserver", 1},
        {u, "xPosAlert", 0}, {u, "dyPosAddFileType", 0}, {u, "Version", 1},
    };
    for (const auto& v : values)
        vxtest::SetString(v.root, VX_KEY, v.name, "10");
    ResetLanguageAndLayout();
    for (const auto& v : values)
        EXPECT_EQ(v.kept != 0, vxtest::ValueExists(v.root, VX_KEY, v.name)) << v.name;
}

}  // namespace
