// The registry store's return rules, checked against Wine's real registry.
#include "support/vxtest.h"

#include <string>

#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"

namespace {

const char* const kScratch = "Software\\VardexTest";

class RegistryStore : public testing::Test {
protected:
    void SetUp() override { RegDeleteKeyTree(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { RegDeleteKeyTree(HKEY_CURRENT_USER, kScratch); }
};

TEST_F(RegistryStore, ReadStringFitsOnlyWhenShorterThanTheBuffer)
{
    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "seven", "1234567");
    char out[8];
    // Length 7 in 8 bytes: fits.
    EXPECT_EQ(7, RegReadString(HKEY_CURRENT_USER, kScratch, "seven", out, sizeof(out)));
    EXPECT_STREQ("1234567", out);
    // Length 7 in 7 bytes: rejected whole, never cut.
    char small[7];
    memset(small, 'x', sizeof(small));
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "seven", small, sizeof(small)));
    EXPECT_STREQ("", small);
}

TEST_F(RegistryStore, ReadStringAbsentCasesGiveEmptyAndZero)
{
    char out[64] = "stale";
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, "Software\\NoSuchKeyAtAll", "x", out, 64));
    EXPECT_STREQ("", out);

    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "empty", "");
    TextCopy(out, sizeof(out), "stale");
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "empty", out, 64));
    EXPECT_STREQ("", out);

    TextCopy(out, sizeof(out), "stale");
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "missing", out, 64));
    EXPECT_STREQ("", out);
}

TEST_F(RegistryStore, ReadStringRefusesDataOverTheLimitAndOtherTypes)
{
    std::string big(1500, 'a');
    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "big", big.c_str());
    char out[2048] = "stale";
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "big", out, sizeof(out)));
    EXPECT_STREQ("", out);

    // 1023 characters plus the zero: exactly the limit, still read.
    std::string edge(1023, 'b');
    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "edge", edge.c_str());
    EXPECT_EQ(1023, RegReadString(HKEY_CURRENT_USER, kScratch, "edge", out, sizeof(out)));

    vxtest::SetDword(HKEY_CURRENT_USER, kScratch, "number", 0x41414141);
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "number", out, sizeof(out)));
    const unsigned char binary[] = { 'a', 'b', 0xff, 0x00, 'c' };
    vxtest::SetValue(HKEY_CURRENT_USER, kScratch, "binary", REG_BINARY, binary, sizeof(binary));
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "binary", out, sizeof(out)));
    EXPECT_STREQ("", out);
}

TEST_F(RegistryStore, ReadStringTerminatesDataStoredWithoutAZero)
{
    vxtest::SetValue(HKEY_CURRENT_USER, kScratch, "raw", REG_SZ, "abcdef", 3);
    char out[16];
    EXPECT_EQ(3, RegReadString(HKEY_CURRENT_USER, kScratch, "raw", out, sizeof(out)));
    EXPECT_STREQ("abc", out);
}

TEST_F(RegistryStore, ExpandableTextIsExpanded)
{
    SetEnvironmentVariableA("VARDEX_TEST_DIR", "C:\\Somewhere");
    const char text[] = "%VARDEX_TEST_DIR%\\run.exe";
    vxtest::SetValue(HKEY_CURRENT_USER, kScratch, "exp", REG_EXPAND_SZ, text, sizeof(text));
    char out[260];
    EXPECT_EQ(20, RegReadString(HKEY_CURRENT_USER, kScratch, "exp", out, sizeof(out)));
    EXPECT_STREQ("C:\\Somewhere\\run.exe", out);

    // An expansion beyond 1023 characters is refused.
    std::string long_value(900, 'x');
    SetEnvironmentVariableA("VARDEX_TEST_LONG", long_value.c_str());
    const char twice[] = "%VARDEX_TEST_LONG%%VARDEX_TEST_LONG%";
    vxtest::SetValue(HKEY_CURRENT_USER, kScratch, "huge", REG_EXPAND_SZ, twice, sizeof(twice));
    char big[2048] = "stale";
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "huge", big, sizeof(big)));
    EXPECT_STREQ("", big);
}

TEST_F(RegistryStore, DefaultValueIsTheEmptyName)
{
    ASSERT_EQ(1, RegWriteString(HKEY_CURRENT_USER, kScratch, "", "P"));
    char out[8];
    EXPECT_EQ(1, RegReadString(HKEY_CURRENT_USER, kScratch, "", out, sizeof(out)));
    EXPECT_STREQ("P", out);
}

TEST_F(RegistryStore, WriteStringCreatesMissingKeys)
{
    std::string deep = std::string(kScratch) + "\\a\\b\\c";
    EXPECT_EQ(1, RegWriteString(HKEY_CURRENT_USER, deep.c_str(), "v", "text"));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, deep.c_str(), "v", "text");
    EXPECT_EQ(1, RegCreateKeyPath(HKEY_CURRENT_USER, (deep + "\\d").c_str()));
    EXPECT_EQ(1, RegKeyExists(HKEY_CURRENT_USER, (deep + "\\d").c_str()));
}

TEST_F(RegistryStore, DwordRoundTripsAndTakesTwoSignedLowBytes)
{
    struct { DWORD stored; int read; } cases[] = {
        { 1, 1 }, { 4, 4 }, { 0x400, 1024 }, { 0, 0 },
        { 0x7f, 127 }, { 0xff, -1 }, { 0x12345678, 0x56 * 256 + 0x78 },
    };
    for (const auto& c : cases) {
        ASSERT_EQ(1, RegWriteDword(HKEY_CURRENT_USER, kScratch, "d", c.stored));
        EXPECT_EQ(c.read, RegReadDword(HKEY_CURRENT_USER, kScratch, "d")) << c.stored;
    }
    EXPECT_EQ(0, RegReadDword(HKEY_CURRENT_USER, kScratch, "absent"));
    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "text", "12");
    EXPECT_EQ(0, RegReadDword(HKEY_CURRENT_USER, kScratch, "text"));
}

TEST_F(RegistryStore, DeleteValueReportsWhetherItWasThere)
{
    vxtest::SetString(HKEY_CURRENT_USER, kScratch, "v", "x");
    EXPECT_EQ(1, RegDeleteValueNamed(HKEY_CURRENT_USER, kScratch, "v"));
    EXPECT_EQ(0, RegDeleteValueNamed(HKEY_CURRENT_USER, kScratch, "v"));
    EXPECT_EQ(0, RegDeleteValueNamed(HKEY_CURRENT_USER, "Software\\NoSuchKeyAtAll", "v"));
}

TEST_F(RegistryStore, DeleteKeyTreeRemovesEveryLevel)
{
    std::string base = kScratch;
    vxtest::SetString(HKEY_CURRENT_USER, (base + "\\one\\two\\three").c_str(), "v", "x");
    vxtest::SetString(HKEY_CURRENT_USER, (base + "\\one\\sibling").c_str(), "v", "x");
    vxtest::SetString(HKEY_CURRENT_USER, (base + "\\other").c_str(), "v", "x");
    EXPECT_EQ(1, RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\one").c_str()));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (base + "\\one").c_str()));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, (base + "\\other").c_str()));
    // A missing key counts as deleted; so does a path with a trailing "\".
    EXPECT_EQ(1, RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\one").c_str()));
    vxtest::SetString(HKEY_CURRENT_USER, (base + "\\two\\x").c_str(), "v", "x");
    EXPECT_EQ(1, RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\two\\").c_str()));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (base + "\\two").c_str()));
}

TEST_F(RegistryStore, DeleteKeyTreeHandlesNamesAtTheWorkingLimit)
{
    // Three levels of 200-character names: the working path passes 520
    // characters and must never be cut into the name of another key.
    std::string base = std::string(kScratch) + "\\deep";
    std::string a(200, 'a'), b(200, 'b'), c(200, 'c');
    // Created one level at a time, relative to its parent.
    RegKey level1, level2, level3;
    ASSERT_EQ(ERROR_SUCCESS, level1.Create(HKEY_CURRENT_USER, (base + "\\" + a).c_str()));
    ASSERT_EQ(ERROR_SUCCESS, level2.Create(level1, b.c_str()));
    ASSERT_EQ(ERROR_SUCCESS, level3.Create(level2, c.c_str()));
    level3.Close();
    level2.Close();
    level1.Close();
    vxtest::SetString(HKEY_CURRENT_USER, (base + "\\keep").c_str(), "v", "x");
    RegDeleteKeyTree(HKEY_CURRENT_USER, (base + "\\" + a).c_str());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, (base + "\\keep").c_str()));
}

}  // namespace
