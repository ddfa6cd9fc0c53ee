// The text side of the cookie stores and the restart-commands viewer: line
// walking that a byte-for-byte rewrite depends on, field splitting of
// damaged lines, the filter rules, the note file name and the line-end
// conversion.  Built natively too (no Windows header).
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "categories/cookie_line.h"
#include "categories/sys_text.h"

namespace {

std::vector<BlockLine> Lines(const std::string& block)
{
    std::vector<BlockLine> lines;
    size_t pos = 0;
    BlockLine line;
    while (NextBlockLine(block.data(), block.size(), &pos, &line))
        lines.push_back(line);
    return lines;
}

TEST(CookieLine, LinesCoverTheBlockExactly)
{
    const std::string blocks[] = {
        "a\r\nb\nc",          // mixed ends, no final end
        "a\n\n\r\nb\r\n",     // empty lines
        "\n",                 // one empty line
        std::string("x\0y\nz", 5),  // a NUL inside a line
        "no line end at all",
        "cr\ronly\r\n",       // a lone CR stays in the text
    };
    for (const std::string& block : blocks) {
        std::string rebuilt;
        for (const BlockLine& line : Lines(block)) {
            rebuilt.append(block, line.Start, line.Extent);
            std::string text = block.substr(line.Start, line.Length);
            EXPECT_EQ(std::string::npos, text.find('\n')) << block;
            EXPECT_FALSE(!text.empty() && text.back() == '\r' &&
                         line.Extent > line.Length + 1) << block;
        }
        EXPECT_EQ(block, rebuilt);
    }
    EXPECT_TRUE(Lines("").empty());
    auto lines = Lines("a\r\nbb\n");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(1u, lines[0].Length);
    EXPECT_EQ(3u, lines[0].Extent);
    EXPECT_EQ(2u, lines[1].Length);
}

TEST(CookieLine, SplitsOnlyWholeCookieLines)
{
    const std::string longValue(10000, 'v');
    struct Case {
        std::string line;
        int cookie;
        const char* key;
        std::string value;
    } cases[] = {
        { ".example.com\tTRUE\t/\tFALSE\t1700000000\tsid\tabc", 1, "example.com - sid", "abc" },
        { "example.com\tFALSE\t/p\tTRUE\t0\tn\tv\twith\ttabs", 1, "example.com - n",
          "v\twith\ttabs" },
        { "host\tTRUE\t/\tFALSE\t1\tbig\t" + longValue, 1, "host - big", longValue },
        { "host\tTRUE\t/\tFALSE\t1\tempty\t", 1, "host - empty", "" },
        { "# Netscape HTTP Cookie File", 0, "", "" },
        { "#HttpOnly_x\tTRUE\t/\tFALSE\t1\tn\tv", 0, "", "" },
        { "no tabs at all", 0, "", "" },
        { "a\tb\tc\td\te\tf", 0, "", "" },  // six fields
        { "\tTRUE\t/\tFALSE\t1\tn\tv", 0, "", "" },  // no domain
        { ".\tTRUE\t/\tFALSE\t1\tn\tv", 0, "", "" },
        { "", 0, "", "" },
    };
    for (const Case& c : cases) {
        CookieFields fields;
        EXPECT_EQ(c.cookie, SplitCookieLine(c.line.data(), c.line.size(), &fields)) << c.line;
        if (!c.cookie)
            continue;
        char key[64];
        CookieKeyText(&fields, key, sizeof(key));
        EXPECT_STREQ(c.key, key);
        EXPECT_EQ(c.value, std::string(fields.Field[COOKIE_VALUE], fields.Length[COOKIE_VALUE]));
    }
}

TEST(CookieLine, ExpiryIsDigitsOnly)
{
    struct Case {
        const char* text;
        int ok;
        long long seconds;
    } cases[] = {
        { "1700000000", 1, 1700000000LL }, { "0", 1, 0 }, { "", 0, 0 }, { "12x", 0, 0 },
        { "-5", 0, 0 }, { "99999999999999999999999", 0, 0 },
    };
    for (const Case& c : cases) {
        std::string line = std::string("h\tTRUE\t/\tFALSE\t") + c.text + "\tn\tv";
        CookieFields fields;
        ASSERT_EQ(1, SplitCookieLine(line.data(), line.size(), &fields));
        long long seconds = -1;
        EXPECT_EQ(c.ok, CookieExpiry(&fields, &seconds)) << c.text;
        EXPECT_EQ(c.seconds, seconds) << c.text;
    }
}

TEST(CookieLine, FilterRules)
{
    NutTable nuts;
    NutTableInit(&nuts);
    EXPECT_EQ(0, NutTableAdd(&nuts, "", 1));
    EXPECT_EQ(0, NutTableAdd(&nuts, "  \t ", 1));
    EXPECT_EQ(0, NutTableAdd(&nuts, std::string(512, 'n').c_str(), 1));
    ASSERT_EQ(1, NutTableAdd(&nuts, "DoubleClick", 1));
    ASSERT_EQ(1, NutTableAdd(&nuts, "shop.example - cart", 2));
    struct Case {
        std::string line;
        int filtered;
    } cases[] = {
        { ".ad.doubleclick.net\tTRUE\t/\tFALSE\t1\tid\tx", 1 },   // text, any case
        { "shop.example\tFALSE\t/\tFALSE\t1\tcart\t42", 1 },       // named by key
        { "shop.example\tFALSE\t/\tFALSE\t1\tcart2\t42", 0 },      // key must be exact
        { "shop.example\tFALSE\t/\tFALSE\t1\tid\tdoubleclick", 1 },  // anywhere in the line
        { "# doubleclick comment", 1 },
        { "# other comment", 0 },
        { "keep.example\tTRUE\t/\tFALSE\t1\tid\t" + std::string(10000, 'k') + "DOUBLECLICK", 1 },
        { std::string("bin\0doubleclick", 15), 1 },  // past a NUL byte too
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.filtered, CookieLineFiltered(&nuts, c.line.data(), c.line.size())) << c.line;
    NutTableFree(&nuts);
    EXPECT_EQ(0, nuts.Count);
}

TEST(SysText, NoteFileNames)
{
    struct Case {
        const char* name;
        const char* note;
    } cases[] = {
        { "NOTEPAD.EXE", "note_NOTEPAD.txt" },
        { "AB", "note_AB.txt" },            // shorter than an extension: kept whole
        { ".EXE", "note_.EXE.txt" },
        { "A=B.EXE", "note_A_B.txt" },      // "=" would make ":" a stream name
        { "X:Y?.DLL", "note_X_Y_.txt" },
        { "", "" },
    };
    for (const Case& c : cases) {
        char out[64];
        NoteFileName(c.name, out, sizeof(out));
        EXPECT_STREQ(c.note, out) << c.name;
    }
}

TEST(SysText, LineEndsNeverOverflow)
{
    std::string feeds(16384, '\n');
    std::string out(2 * 16384 + 1 + 8, '#');
    EXPECT_EQ(2u * 16384u, ExpandLineEnds(feeds.data(), feeds.size(), &out[0], 2 * 16384 + 1));
    EXPECT_EQ('\0', out[2 * 16384]);
    EXPECT_EQ('#', out[2 * 16384 + 1]);
    struct Case {
        const char* in;
        size_t room;
        const char* out;
    } cases[] = {
        { "a\nb\r\nc", 64, "a\r\nb\r\nc" },
        { "\n\n", 4, "\r\n" },       // a pair that does not fit is left out
        { "ab\n", 3, "ab" },
        { "abc", 1, "" },
    };
    for (const Case& c : cases) {
        char buffer[80];
        memset(buffer, '#', sizeof(buffer));
        ExpandLineEnds(c.in, strlen(c.in), buffer, c.room);
        EXPECT_STREQ(c.out, buffer) << c.in;
        EXPECT_EQ('#', buffer[c.room]) << c.in;
    }
}

}  // namespace
