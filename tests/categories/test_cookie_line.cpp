// The text side of the cookie stores and the restart-commands viewer: line
// walking that a byte-for-byte rewrite depends on, field splitting of
// damaged lines, the filter rules, the note file name and the line-end
// conversion.  Built natively too (no Windows header).
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
    struct Case { std::string line; const char* key; std::string value; int expiry; } cases[] = {
        { ".example.com\tTRUE\t/\tFALSE\t1700000000\tsid\tabc", "example.com - sid", "abc", 1 },
        { "ex.com\tFALSE\t/p\tTRUE\t12x\tn\tv\twith\ttabs", "ex.com - n", "v\twith\ttabs", 0 },
        { "h\tTRUE\t/\tFALSE\t99999999999999999999999\tb\t" + longValue, "h - b", longValue, 0 },
        { "h\tTRUE\t/\tFALSE\t-5\tn\t", "h - n", "", 0 }, { "#HttpOnly_x\tTRUE\t/\tFALSE\t1\tn\tv", NULL, "", 0 },
        { "a\tb\tc\td\te\tf", NULL, "", 0 }, { ".\tTRUE\t/\tFALSE\t1\tn\tv", NULL, "", 0 },  // six; no domain
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
        { "a\r\nb\n\nc", "a|b||c|" },  // mixed ends, no final end
        { std::string("x\0y\nz", 5), std::string("x\0y|z|", 6) }, { "cr\ronly\r\n", "cr\ronly|" }, { "", "" },
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
    const char* notes[][2] = { { "AB", "note_AB.txt" }, { "A=B.EXE", "note_A_B.txt" }, { "X:Y?.DLL", "note_X_Y_.txt" } };
    for (const auto& c : notes) {
        char out[64];
        NoteFileName(c[0], out, sizeof(out));
        EXPECT_STREQ(c[1], out) << c[0];
    }
    // Line feeds only double in size (a whole wininit.ini: the restart commands' test).
    struct { const char* in; size_t room; const char* out; } ends[] = {  // a pair that does not fit is left out
        { "a\nb\r\nc", 64, "a\r\nb\r\nc" }, { "\n\n\n", 7, "\r\n\r\n\r\n" }, { "\n\n", 4, "\r\n" }, { "abc", 1, "" } };
    for (const auto& c : ends) {
        char buffer[80];
        memset(buffer, '#', sizeof(buffer));
        ExpandLineEnds(c.in, strlen(c.in), buffer, c.room);
        EXPECT_STREQ(c.out, buffer) << c.in;
        EXPECT_EQ('#', buffer[c.room]) << c.in;
    }
}

}  // namespace
