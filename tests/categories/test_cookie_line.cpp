// The text side of the cookie stores and the system files: line walking
// that a byte-for-byte rewrite depends on, field splitting of damaged
// lines, the filter rules, the note file name, the line-end conversion,
// the contents hash and the names of the hidden files' vault copies.
// Built natively too (no Windows header).
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "categories/cookie_line.h"
#include "categories/sys_text.h"

namespace {

TEST(CookieLine, SplitsOnlyWholeCookieLines)
{
    const std::string longValue(10000, 'v');
    // key NULL: not a cookie line; expiry: digits only, without overflow.
    struct Case { std::string line; const char* key; std::string value; int expiry;
    } cases[] = {
        {".example.com\tTRUE\t/\tFALSE\t1700000000\tsid\tabc", "example.com - sid", "abc", 1},
        {"ex.com\tFALSE\t/p\tTRUE\t12x\tn\tv\twith\ttabs", "ex.com - n", "v\twith\ttabs", 0},
        {"h\tTRUE\t/\tFALSE\t99999999999999999999999\tb\t" + longValue, "h - b", longValue, 0},
        {"h\tTRUE\t/\tFALSE\t-5\tn\t", "h - n", "", 0},
        {"#HttpOnly_x\tTRUE\t/\tFALSE\t1\tn\tv", NULL, "", 0}, {"a\tb\tc\td\te\tf", NULL, "", 0},
        {".\tTRUE\t/\tFALSE\t1\tn\tv", NULL, "", 0}, // six; no domain
    };
    for (const Case& c : cases) {
        CookieFields fields;
        ASSERT_EQ(c.key != NULL, SplitCookieLine(c.line.data(), c.line.size(), &fields)) << c.line;
        if (!c.key)
            continue;
        char key[64];
        CookieKeyText(&fields, key, sizeof(key));
        EXPECT_STREQ(c.key, key);
        long long seconds = -1;
        EXPECT_EQ(c.value, std::string(fields.Field[COOKIE_VALUE], fields.Length[COOKIE_VALUE]));
        EXPECT_EQ(c.expiry, CookieExpiry(&fields, &seconds)) << c.line;
    }
    // Each line's text ("|" after it) and, put back together with its line
    // end, the block byte for byte.
    const std::string blocks[][2] = {
        {"a\r\nb\n\nc", "a|b||c|"}, // mixed ends, no final end
        {std::string("x\0y\nz", 5), std::string("x\0y|z|", 6)},
        {"cr\ronly\r\n", "cr\ronly|"},
        {"", ""},
    };
    for (const auto& c : blocks) {
        std::string rebuilt, texts;
        size_t pos = 0;
        BlockLine line;
        while (NextBlockLine(c[0].data(), c[0].size(), &pos, &line)) {
            rebuilt.append(c[0], line.Start, line.Extent);
            texts += c[0].substr(line.Start, line.Length) + "|";
        }
        EXPECT_EQ(c[0], rebuilt);
        EXPECT_EQ(c[1], texts);
    }
    NutTable nuts;
    NutTableInit(&nuts);
    // Blank or over-long filters would match everything or be cut short.
    for (const std::string& bad : { std::string(), std::string("  \t "), std::string(512, 'n') })
        EXPECT_EQ(0, NutTableAdd(&nuts, bad.c_str(), 1)) << bad;
    ASSERT_EQ(1, NutTableAdd(&nuts, "DoubleClick", 1));
    ASSERT_EQ(1, NutTableAdd(&nuts, "shop.example - cart", 2));
    struct Filtered { std::string line; int filtered; } filters[] = {
        { "shop.example\tFALSE\t/\tFALSE\t1\tcart\t42", 1 },       // named by key
        { "shop.example\tFALSE\t/\tFALSE\t1\tcart2\t42", 0 },      // key must be exact
        { "keep.example\tTRUE\t/\tFALSE\t1\tid\t" + std::string(10000, 'k') + "DOUBLECLICK", 1 },
        { std::string("bin\0doubleclick", 15), 1 },  // past a NUL byte too
    };
    for (const Filtered& c : filters)
        EXPECT_EQ(c.filtered, CookieLineFiltered(&nuts, c.line.data(), c.line.size())) << c.line;
    // A whole file closes up in place, line ends as they were; with no
    // filter naming a cookie the block is searched at once, not by lines.
    NutTable plain;
    NutTableInit(&plain);
    NutTableAdd(&plain, "AD.", 1);
    NutTableAdd(&plain, "doubleclick", 1);
    const std::string file = "keep\r\nad.doubleclick ad.\nKEEP2\nAd.x\r\nlast ad.";
    struct { const NutTable* nuts; std::string kept; } blocks2[] = {
        { &plain, "keep\r\nKEEP2\n" }, { &nuts, "keep\r\nKEEP2\nAd.x\r\nlast ad." } };
    for (const auto& c : blocks2) {
        std::string block = file;
        block.resize(FilterCookieBlock(c.nuts, &block[0], block.size()));
        EXPECT_EQ(c.kept, block);
    }
    NutTableFree(&plain);
    NutTableFree(&nuts);
    // Shorter than an extension: kept whole; "=" would make ":" a stream name.
    const char* notes[][2]
        = {{"AB", "note_AB.txt"}, {"A=B.EXE", "note_A_B.txt"}, {"X:Y?.DLL", "note_X_Y_.txt"}};
    for (const auto& c : notes) {
        char out[64];
        NoteFileName(c[0], out, sizeof(out));
        EXPECT_STREQ(c[1], out) << c[0];
    }
    // Line feeds only double in size (a whole wininit.ini: the restart commands' test);
    // a pair that does not fit is left out.
    struct { const char* in; size_t room; const char* out; } ends[] = {
        {"a\nb\r\nc", 64, "a\r\nb\r\nc"}, {"\n\n\n", 7, "\r\n\r\n\r\n"}, {"\n\n", 4, "\r\n"},
        {"abc", 1, ""}};
    for (const auto& c : ends) {
        char buffer[80];
        memset(buffer, '#', sizeof(buffer));
        ExpandLineEnds(c.in, strlen(c.in), buffer, c.room);
        EXPECT_STREQ(c.out, buffer) << c.in;
        EXPECT_EQ('#', buffer[c.room]) << c.in;
    }
}

TEST(SysText, TheContentsHashAndItsText)
{
    // FNV-1a's own check values; pieces hash as the whole.
    EXPECT_EQ(0xcbf29ce484222325ULL, HashBytes(HASH_START, "", 0));
    EXPECT_EQ(0xaf63dc4c8601ec8cULL, HashBytes(HASH_START, "a", 1));
    EXPECT_EQ(0x85944171f73967e8ULL, HashBytes(HashBytes(HASH_START, "foo", 3), "bar", 3));
    EXPECT_EQ(HashTextNoCase("C:\\TEMP\\Sub"), HashTextNoCase("c:\\temp\\SUB"));
    EXPECT_NE(HashTextNoCase("C:\\TEMP\\Sub"), HashTextNoCase("C:\\TEMP\\Sub2"));
    char text[17];
    EXPECT_EQ(16u, Hex64Text(0x0123456789ABCDEFULL, text, sizeof(text)));
    EXPECT_STREQ("0123456789ABCDEF", text);
    unsigned long long value = 7;
    ASSERT_EQ(1, ParseHex64("fedcba9876543210", &value));
    EXPECT_EQ(0xFEDCBA9876543210ULL, value);
    for (const char* bad :
         { "", "0123456789ABCDE", "0123456789ABCDEF0", "0123456789ABCDEG", "-123456789ABCDEF" })
        EXPECT_EQ(0, ParseHex64(bad, &value)) << bad;
    EXPECT_EQ(0xFEDCBA9876543210ULL, value);
}

TEST(SysText, VaultCopiesOfHiddenFilesAreKeyedByTheirFolder)
{
    const std::string vault = "C:\\V\\vault\\hidden";
    auto copy = [&](const std::string& path, int variant, size_t room = 260) {
        char out[300];
        memset(out, '#', sizeof(out));
        size_t length = HiddenCopyPath(vault.c_str(), path.c_str(), variant, out, room);
        EXPECT_EQ(strlen(out), length) << path;
        return std::string(out);
    };
    std::string first = copy("C:\\Temp\\desktop.ini", 1);
    EXPECT_EQ(vault.size() + 1 + 8 + 1 + 11, first.size());
    EXPECT_EQ(0u, first.find(vault + "\\"));
    EXPECT_EQ(first.size() - 12, first.find("\\desktop.ini"));
    EXPECT_NE(first, copy("C:\\Temp\\Sub\\desktop.ini", 1));
    EXPECT_EQ(first, copy("c:\\TEMP\\desktop.ini", 1));
    EXPECT_EQ(first + ".2", copy("C:\\Temp\\desktop.ini", 2));
    for (const char* none : { "desktop.ini", "\\desktop.ini", "C:\\Temp\\" })
        EXPECT_EQ("", copy(none, 1)) << none;
    EXPECT_EQ("", copy("C:\\Temp\\desktop.ini", 0));
    // At the limit: a name that fits whole is kept; one character more and
    // the name gives way to its hash, never cut.
    std::string folder = "C:\\" + std::string(200, 'f');
    size_t room = 259 - (vault.size() + 10);  // the name's room in 259 characters
    std::string fits = copy(folder + "\\" + std::string(room, 'n'), 1);
    EXPECT_EQ(259u, fits.size());
    std::string over = copy(folder + "\\" + std::string(room + 1, 'n'), 1);
    EXPECT_EQ(vault.size() + 1 + 8 + 1 + 8, over.size());
    EXPECT_NE(over, copy(folder + "\\" + std::string(room + 2, 'n'), 1));
    EXPECT_EQ(over.size() + 2, copy(folder + "\\" + std::string(room, 'n'), 2).size());
    // A smaller buffer is a smaller limit; what cannot fit at all is "".
    EXPECT_EQ(over.size(), copy("C:\\Temp\\desktop.ini", 1, first.size()).size());
    EXPECT_EQ("", copy("C:\\Temp\\desktop.ini", 1, over.size()));
}

TEST(SysText, OnlyPathsInsideTheFolderAreInside)
{
    const char* folder = "C:\\V\\vault\\hidden";
    const struct { const char* path; int inside; } cases[] = {
        { "C:\\V\\vault\\hidden\\0A1B2C3D\\desktop.ini", 1 }, { "c:\\v\\VAULT\\Hidden\\x", 1 },
        { "C:\\V\\vault\\hidden", 0 }, { "C:\\V\\vault\\hidden\\", 0 },
        { "C:\\V\\vault\\hiddenx\\a", 0 },
        { "C:\\V\\vault\\hidden\\..\\..\\x.dll", 0 }, { "C:\\V\\vault\\hidden\\a\\..", 0 },
        { "C:\\V\\vault\\hidden\\.\\a", 0 }, { "C:\\V\\vault\\hidden\\a\\\\b", 0 },
        { "C:\\V\\vault\\hidden\\a/../../b", 0 }, { "C:\\V\\vault\\hidden\\a:stream", 0 },
        { "D:\\V\\vault\\hidden\\a", 0 }, { "", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.inside, PathInsideFolder(c.path, folder)) << c.path;
    EXPECT_EQ(0, PathInsideFolder(NULL, folder));
    EXPECT_EQ(0, PathInsideFolder("C:\\a\\b", ""));
}

}  // namespace
