// The registry store's return rules, checked against Wine's real registry.
#include "support/vxtest.h"

#include <string.h>

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

TEST_F(RegistryStore, ReadStringGivesWholeTextsOrNothing)
{
    SetEnvironmentVariableA("VARDEX_TEST_DIR", "C:\\Somewhere");
    SetEnvironmentVariableA("VARDEX_TEST_LONG", std::string(900, 'x').c_str());
    const std::string z(1, '\0'), b1023(1023, 'b');
    // data as stored, with its terminating zero where it has one.
    const struct { const char* what; DWORD type; std::string data; int outSize; int result;
                   std::string text; } cases[] = {
        { "fits", REG_SZ, "1234567" + z, 8, 7, "1234567" },
        { "one too long for out: rejected whole, never cut", REG_SZ, "1234567" + z, 7, 0, "" },
        { "empty reads as absent", REG_SZ, z, 64, 0, "" },
        { "1023 characters and the zero: the limit", REG_SZ, b1023 + z, 2048, 1023, b1023 },
        { "over the limit", REG_SZ, std::string(1500, 'a') + z, 2048, 0, "" },
        { "stored without its zero", REG_SZ, "abc", 16, 3, "abc" },
        { "a number", REG_DWORD, "AAAA", 64, 0, "" },
        { "binary", REG_BINARY, "ab\xff" + z + "c", 64, 0, "" },
        { "expanded", REG_EXPAND_SZ, "%VARDEX_TEST_DIR%\\run.exe" + z, 260, 20,
          "C:\\Somewhere\\run.exe" },
        { "expansion over 1023", REG_EXPAND_SZ, "%VARDEX_TEST_LONG%%VARDEX_TEST_LONG%" + z, 2048,
          0, "" },
    };
    for (const auto& c : cases) {
        vxtest::SetValue(HKEY_CURRENT_USER, kScratch, "v", c.type, c.data.data(),
                         (DWORD)c.data.size());
        std::string out(c.outSize, 'Z');
        EXPECT_EQ(c.result, RegReadString(HKEY_CURRENT_USER, kScratch, "v", &out[0], c.outSize))
            << c.what;
        EXPECT_EQ(c.text, out.c_str()) << c.what;
    }
    char out[64] = "stale";
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, kScratch, "missing", out, 64));
    EXPECT_STREQ("", out);
    TextCopy(out, "stale");
    EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, "Software\\NoSuchKeyAtAll", "x", out, 64));
    EXPECT_STREQ("", out);
}

TEST_F(RegistryStore, WriteStringStoresTheTextWithItsZeroAndCreatesKeys)
{
    const std::string deep = std::string(kScratch) + "\\a\\b";
    // name "" is the default value; NULL text is stored as "".
    const struct { const char* name; const char* text; DWORD size; } cases[] = {
        { "v", "text", 5 }, { "", "P", 2 }, { "empty", "", 1 }, { "null", NULL, 1 },
    };
    for (const auto& c : cases) {
        ASSERT_EQ(1, RegWriteString(HKEY_CURRENT_USER, deep.c_str(), c.name, c.text)) << c.name;
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, deep.c_str(), KEY_READ));
        BYTE data[16];
        memset(data, 'Z', sizeof(data));
        DWORD type = 0, size = sizeof(data);
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, c.name, NULL, &type, data, &size)) << c.name;
        EXPECT_EQ((DWORD)REG_SZ, type) << c.name;
        EXPECT_EQ(c.size, size) << c.name << ": the text and its terminating zero";
        EXPECT_EQ(std::string(c.text ? c.text : "") + '\0', std::string((char*)data, size)) << c.name;
    }
    EXPECT_EQ(1, RegCreateKeyPath(HKEY_CURRENT_USER, (deep + "\\c\\d").c_str()));
    EXPECT_EQ(1, RegKeyExists(HKEY_CURRENT_USER, (deep + "\\c\\d").c_str()));
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
