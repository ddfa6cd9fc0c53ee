// The registry store's return rules, checked against Wine's real registry.
#include "support/vxtest.h"

#include <string>

#include "foundation/handles.h"
#include "foundation/kept_values.h"
#include "foundation/name_table.h"
#include "foundation/registry_store.h"

namespace {

const char* const kScratch = "Software\\VardexTest";

TEST(RegistryStore, ReadStringGivesWholeTextsOrNothingAndWritesReadBack)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, kScratch);
    SetEnvironmentVariableA("VARDEX_TEST_DIR", "C:\\Somewhere");
    SetEnvironmentVariableA("VARDEX_TEST_LONG", std::string(900, 'x').c_str());
    const std::string z(1, '\0'), b1023(1023, 'b');
    // data as stored, with its terminating zero where it has one.
    const struct { DWORD type; std::string data; int outSize, result; std::string text;
    } cases[] = {
        // Fits; one too long for out: rejected whole, never cut; empty reads as absent.
        {REG_SZ, "1234567" + z, 8, 7, "1234567"},
        {REG_SZ, "1234567" + z, 7, 0, ""},
        {REG_SZ, z, 16, 0, ""},
        // 1023 characters and the zero are the limit; over it; stored without its zero.
        {REG_SZ, b1023 + z, 2048, 1023, b1023},
        {REG_SZ, std::string(1500, 'a') + z, 2048, 0, ""},
        {REG_SZ, "abc", 16, 3, "abc"},
        // Values of other types.
        {REG_DWORD, "AAAA", 64, 0, ""},
        {REG_BINARY, "ab\xff" + z + "c", 64, 0, ""},
        // Expanded, and an expansion over 1023 characters.
        {REG_EXPAND_SZ, "%VARDEX_TEST_DIR%\\run.exe" + z, 260, 20, "C:\\Somewhere\\run.exe"},
        {REG_EXPAND_SZ, "%VARDEX_TEST_LONG%%VARDEX_TEST_LONG%" + z, 2048, 0, ""},
    };
    for (const auto& c : cases) {
        vxtest::SetValue(
            HKEY_CURRENT_USER, kScratch, "v", c.type, c.data.data(), (DWORD)c.data.size());
        std::string out(c.outSize, 'Z');
        EXPECT_EQ(c.result, RegReadString(HKEY_CURRENT_USER, kScratch, "v", &out[0], c.outSize))
            << c.data;
        EXPECT_EQ(c.text, out.c_str()) << c.data;
    }
    // A missing value or key.
    char stale[64] = "stale";
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, "Software\\NoSuchKeyAtAll", "v", stale, 64));
    EXPECT_STREQ("", stale);

    // Strings are written with their zero; DWORDs read back as two signed low bytes.
    const std::string deep = std::string(kScratch) + "\\a\\b";
    // name "" is the default value; NULL text is stored as "".  The size
    // stored counts the text and its terminating zero.
    const struct { const char* name; const char* text; } strings[] = {
        { "v", "text" }, { "", "P" }, { "empty", "" }, { "null", NULL },
    };
    for (const auto& c : strings) {
        ASSERT_EQ(1, RegWriteString(HKEY_CURRENT_USER, deep.c_str(), c.name, c.text)) << c.name;
        char data[16];
        DWORD type = 0, size = sizeof(data);
        ASSERT_EQ(0,
            RegGetValueA(HKEY_CURRENT_USER, deep.c_str(), c.name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                data, &size));
        EXPECT_TRUE(
            std::string(c.text ? c.text : "") + '\0' == std::string(data, size) && type == REG_SZ)
            << c.name;
    }

    const struct { DWORD stored; int read; } dwords[] = {
        { 4, 4 }, { 0x400, 1024 }, { 0x7f, 127 }, { 0xff, -1 }, { 0x12345678, 0x5678 },
    };
    for (const auto& c : dwords) {
        ASSERT_EQ(1, RegWriteDword(HKEY_CURRENT_USER, deep.c_str(), "d", c.stored));
        EXPECT_EQ(c.read, RegReadDword(HKEY_CURRENT_USER, deep.c_str(), "d")) << c.stored;
    }
    EXPECT_TRUE(RegReadDword(HKEY_CURRENT_USER, deep.c_str(), "absent") == 0) << "absent";
    EXPECT_TRUE(RegReadDword(HKEY_CURRENT_USER, deep.c_str(), "v") == 0) << "a text";
    // Deletes report what was there and remove every level.
    RegDeleteKeyTree(HKEY_CURRENT_USER, kScratch);
    const std::string base = kScratch;
    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "v", "x");
    EXPECT_EQ(1, RegDeleteValueNamed(HKEY_CURRENT_USER, kScratch, "v"));
    EXPECT_TRUE(RegDeleteValueNamed(HKEY_CURRENT_USER, kScratch, "v") == 0);
    EXPECT_TRUE(RegDeleteValueNamed(HKEY_CURRENT_USER, "Software\\NoSuchKeyAtAll", "v") == 0);
    for (const char* path :
        {"\\one\\two\\three", "\\one\\sibling", "\\other", "\\two\\x", "\\deep\\keep"})
        vxtest::SetString(HKEY_CURRENT_USER, (base + path).c_str(), "v", "x");
    EXPECT_TRUE(RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\one").c_str()) == 1);
    EXPECT_TRUE(!RegKeyExists(HKEY_CURRENT_USER, (base + "\\one").c_str()));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, (base + "\\other").c_str()));
    // A missing key counts as deleted; so does a path with a trailing "\".
    EXPECT_TRUE(RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\one").c_str()) == 1);
    EXPECT_TRUE(RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\two\\").c_str()) == 1);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (base + "\\two").c_str()));

    // Three levels of 200-character names, created one level at a time: the
    // working path passes 520 characters and must never be cut into the name
    // of another key.
    const std::string levels = base + "\\deep", a(200, 'a'), b(200, 'b');
    {
        RegKey level1, level2, level3;
        ASSERT_EQ(ERROR_SUCCESS, level1.Create(HKEY_CURRENT_USER, (levels + "\\" + a).c_str()));
        ASSERT_TRUE(level2.Create(level1, b.c_str()) == 0);
        ASSERT_TRUE(level3.Create(level2, a.c_str()) == 0);
    }
    RegDeleteKeyTree(HKEY_CURRENT_USER, (levels + "\\" + a).c_str());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, (levels + "\\keep").c_str()));
}

// A key of its own: the store's tests above leave theirs with a subkey no
// walk can name.
const char* const kKept = "Software\\VardexKept";

// What the kept reads hand out: the values as a walk of the key gives them.
static void Collect(const char* name, DWORD type, const char* data, void* context)
{
    std::string* seen = (std::string*)context;
    *seen += std::string(name) + "=" + data + (type == REG_SZ ? ";" : "#;");
    // A visitor that walks the same key again gets it whole as well.
    static int depth = 0;
    if (std::string(name) == "again" && depth == 0) {
        depth++;
        WalkKeptValues(HKEY_CURRENT_USER, kKept, 0, Collect, context);
        depth--;
    }
}

static std::string Walk()
{
    std::string seen;
    WalkKeptValues(HKEY_CURRENT_USER, kKept, 0, Collect, &seen);
    return seen;
}

// Kept between patrols, the baseline table and the walked values must see
// every write made after they were read: right after the read (the same
// second) and after they have settled.
TEST(RegistryStore, KeptReadsSeeEveryLaterWrite)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, kKept);
    vxtest::SetString(HKEY_CURRENT_USER, kKept, "a", "1");
    for (int settled = 0; settled < 2; settled++) {
        if (settled) {
            NameTableKeptBaseline(kKept);
            Walk();
            Sleep(1100);
            NameTableKeptBaseline(kKept);
        }
        EXPECT_EQ(1, BaselineCodeIn(NameTableKeptBaseline(kKept), kKept, "a"));
        EXPECT_EQ("a=1;", Walk());
        EXPECT_EQ("a=1;", Walk());
        vxtest::SetString(HKEY_CURRENT_USER, kKept, "a", "900");  // same count, new data
        EXPECT_EQ(900, BaselineCodeIn(NameTableKeptBaseline(kKept), kKept, "a")) << settled;
        EXPECT_EQ("a=900;", Walk()) << settled;
        vxtest::SetString(HKEY_CURRENT_USER, kKept, "b", "2");
        EXPECT_EQ(2, BaselineCodeIn(NameTableKeptBaseline(kKept), kKept, "b")) << settled;
        EXPECT_EQ("a=900;b=2;", Walk()) << settled;
        {
            RegKey key;
            ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kKept, KEY_SET_VALUE));
            RegSetValueExA(key, "b", 0, REG_EXPAND_SZ, (const BYTE*)"2", 2);  // only the type
        }
        EXPECT_EQ("a=900;b=2#;", Walk()) << settled;
        RegDeleteKeyTree(HKEY_CURRENT_USER, kKept);
        EXPECT_EQ(0, BaselineCodeIn(NameTableKeptBaseline(kKept), kKept, "a")) << settled;
        EXPECT_EQ("", Walk()) << settled;
        vxtest::SetString(HKEY_CURRENT_USER, kKept, "a", "1");
    }
    vxtest::SetString(HKEY_CURRENT_USER, kKept, "again", "x");
    Sleep(1100);
    Walk();
    EXPECT_EQ("a=1;again=x;a=1;again=x;", Walk());
    RegDeleteKeyTree(HKEY_CURRENT_USER, kKept);
}

}  // namespace
