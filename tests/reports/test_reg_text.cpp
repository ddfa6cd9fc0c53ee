// The registry script lines: each value's line as written.  That every line
// reads back as it went in is the fuzzer's part (tests/native) and the
// system's own import's (test_export_settings.cpp).
#include <gtest/gtest.h>

#include <string>

#include "reports/reg_text.h"

namespace {

struct Script {
    RegText text = {};
    ~Script() { RegTextFree(&text); }
    std::string Str() const { return std::string(text.Data, text.Length); }
};

std::string Line(const std::string& name, unsigned long type, const std::string& data)
{
    Script s;
    RegAppendValueLine(&s.text, name.c_str(), type,
                       (const unsigned char*)data.data(), data.size());
    return s.Str();
}

// A text as the registry holds it: with its terminating zero.
std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

}  // namespace

TEST(RegText, NameAndTextEscapeBackslashAndQuote)
{
    EXPECT_EQ(Line("a\\b\"c\\", 1, Sz("")), "\"a\\\\b\\\"c\\\\\"=\"\"\r\n");
    EXPECT_EQ(Line("p", 1, Sz("C:\\x \"y\"")), "\"p\"=\"C:\\\\x \\\"y\\\"\"\r\n");
}

TEST(RegText, EmptyNameIsTheDefaultValue)
{
    EXPECT_EQ(Line("", 1, Sz("x")), "@=\"x\"\r\n");
    EXPECT_EQ(Line("@", 1, Sz("x")), "\"@\"=\"x\"\r\n");
}

TEST(RegText, NameWithLineEndIsRefusedAndNothingWritten)
{
    Script s;
    const unsigned char data[] = "x";
    EXPECT_EQ(RegAppendValueLine(&s.text, "a\nb", 1, data, 2), 0);
    EXPECT_EQ(RegAppendValueLine(&s.text, "a\rb", 1, data, 2), 0);
    EXPECT_EQ(s.text.Length, 0u);
}

TEST(RegText, TextsWithoutAQuotedFormAreHexOne)
{
    EXPECT_EQ(Line("a", 1, Sz("1\r\n2")), "\"a\"=hex(1):31,0d,0a,32,00\r\n");
    EXPECT_EQ(Line("a", 1, "ab"), "\"a\"=hex(1):61,62\r\n");
    EXPECT_EQ(Line("a", 1, Sz(std::string("a\0b", 3))), "\"a\"=hex(1):61,00,62,00\r\n");
    EXPECT_EQ(Line("a", 1, ""), "\"a\"=hex(1):\r\n");
}

TEST(RegText, EachTypeHasItsForm)
{
    EXPECT_EQ(Line("d", 4, std::string("\x2a\x01\0\x80", 4)), "\"d\"=dword:8000012a\r\n");
    EXPECT_EQ(Line("d", 4, "\x2a"), "\"d\"=hex(4):2a\r\n");
    EXPECT_EQ(Line("e", 2, Sz("%A%")), "\"e\"=hex(2):25,41,25,00\r\n");
    EXPECT_EQ(Line("m", 7, Sz(Sz("a"))), "\"m\"=hex(7):61,00,00\r\n");
    EXPECT_EQ(Line("b", 3, "\xff"), "\"b\"=hex:ff\r\n");
    EXPECT_EQ(Line("b", 3, ""), "\"b\"=hex:\r\n");
    EXPECT_EQ(Line("n", 0, "\x01"), "\"n\"=hex(0):01\r\n");
    EXPECT_EQ(Line("q", 0xb, "\x01"), "\"q\"=hex(b):01\r\n");
    EXPECT_EQ(Line("x", 0xffffffff, ""), "\"x\"=hex(ffffffff):\r\n");
}

TEST(RegText, HexLinesWrapWithinEightyColumns)
{
    std::string text = Line("long", 3, std::string(100, '\x11'));
    size_t start = 0, lines = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines++;
        EXPECT_LE(end - start, 80u);
        if (end + 2 < text.size()) {
            EXPECT_EQ(text[end - 1], '\\');
            EXPECT_EQ(text.compare(end + 2, 2, "  "), 0);
        }
    }
    EXPECT_GT(lines, 3u);
}
