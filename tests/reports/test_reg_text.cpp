// The registry script lines: each value's line as written.  That every line
// reads back as it went in is the system's own import's part
// (test_export_settings.cpp).
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

TEST(RegText, EachValueHasItsLine)
{
    const std::string nul("a\0b", 3);
    const struct {
        const char* name;
        unsigned long type;
        std::string data, line;
    } cases[] = {
        {"a\\b\"c\\", 1, Sz(""), "\"a\\\\b\\\"c\\\\\"=\"\""},
        {"p", 1, Sz("C:\\x \"y\""), "\"p\"=\"C:\\\\x \\\"y\\\"\""},
        {"", 1, Sz("x"), "@=\"x\""},
        {"@", 1, Sz("x"), "\"@\"=\"x\""},
        // Texts without a quoted form: a line end, no terminating zero, a NUL.
        {"a", 1, Sz("1\r\n2"), "\"a\"=hex(1):31,0d,0a,32,00"},
        {"a", 1, "ab", "\"a\"=hex(1):61,62"},
        {"a", 1, Sz(nul), "\"a\"=hex(1):61,00,62,00"},
        {"d", 4, std::string("\x2a\x01\0\x80", 4), "\"d\"=dword:8000012a"},
        {"d", 4, "\x2a", "\"d\"=hex(4):2a"},
        {"e", 2, Sz("%A%"), "\"e\"=hex(2):25,41,25,00"},
        {"m", 7, Sz(Sz("a")), "\"m\"=hex(7):61,00,00"},
        {"b", 3, "\xff", "\"b\"=hex:ff"},
        {"x", 0xffffffff, "", "\"x\"=hex(ffffffff):"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Line(c.name, c.type, c.data), c.line + "\r\n");
    }
}

TEST(RegText, NameWithLineEndIsRefusedAndNothingWritten)
{
    Script s;
    const unsigned char data[] = "x";
    EXPECT_EQ(RegAppendValueLine(&s.text, "a\nb", 1, data, 2), 0);
    EXPECT_EQ(s.text.Length, 0u);
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
