// The bounded text helpers: every result fits its buffer and is terminated,
// for texts one short of the buffer, exactly filling it and one over.
#include <gtest/gtest.h>

#include <string.h>

#include "foundation/text.h"

namespace {

typedef size_t (*Writer)(char* out, size_t outSize, const char* src);
size_t AppendFormatted(char* out, size_t n, const char* s) { return TextAppendFormat(out, n, "%s", s); }
size_t CopyThree(char* out, size_t n, const char* s) { return TextCopyN(out, n, s, 3); }

TEST(Text, WritersCutAtTheBufferAndTerminate)
{
    // Each writes into 8 bytes that already hold before: size-1, exact, size+1.
    const struct { Writer write; const char* before; const char* src; const char* expected; } cases[] = {
        { TextCopy, "old", "012345", "012345" }, { TextCopy, "old", "0123456", "0123456" },
        { TextCopy, "old", "01234567", "0123456" }, { TextCopy, "old", nullptr, "" },
        { CopyThree, "old", "012345", "012" }, { CopyThree, "old", "01", "01" },
        { TextAppend, "abc", "def", "abcdef" }, { TextAppend, "abc", "defg", "abcdefg" },
        { TextAppend, "abc", "defgh", "abcdefg" }, { TextAppend, "abcdefg", "z", "abcdefg" },
        { AppendFormatted, "abc", "defg", "abcdefg" }, { AppendFormatted, "abc", "defgh", "abcdefg" },
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); i++) {
        const auto& c = cases[i];
        char out[8 + 4];
        memset(out, 'Z', sizeof(out));
        TextCopy(out, 8, c.before);
        EXPECT_EQ(strlen(c.expected), c.write(out, 8, c.src)) << "row " << i;
        EXPECT_STREQ(c.expected, out) << "row " << i;
        EXPECT_EQ('Z', out[8]) << "row " << i << " wrote past its buffer";
    }
    char one[1], full[6] = "abcde";
    EXPECT_EQ(0u, TEXT_FORMAT(one, "%d", 7));
    EXPECT_STREQ("", one);
    EXPECT_EQ(5u, TextAppendChar(full, 'q'));
}

TEST(Text, CaseInsensitiveComparisons)
{
    EXPECT_TRUE(TextEqualNoCase("Vardex.EXE", "vardex.exe") && TextFindNoCase("run -Q now", "-q"));
    EXPECT_FALSE(TextEqualNoCase("Vardex", "Vardex2"));
    EXPECT_EQ(4, TextIndexNoCase("C:\\vardex.exe", "ARD"));
    EXPECT_EQ(-1, TextIndexNoCase("abc", "abcd"));
    EXPECT_EQ(0, TextIndexNoCase("", ""));   // an empty part matches
}

}  // namespace
