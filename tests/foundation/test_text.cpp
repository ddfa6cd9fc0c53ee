// The bounded text helpers: every result fits its buffer and is terminated,
// for texts one short of the buffer, exactly filling it and one over.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/text.h"

namespace {

typedef size_t (*Writer)(char* out, size_t outSize, const char* src);

size_t AppendFormatted(char* out, size_t outSize, const char* src)
{
    return TextAppendFormat(out, outSize, "%s", src);
}

size_t CopyThree(char* out, size_t outSize, const char* src)
{
    return TextCopyN(out, outSize, src, 3);
}

TEST(Text, WritersCutAtTheBufferAndTerminate)
{
    // Each writes into 8 bytes that already hold before.
    const struct { const char* name; Writer write; const char* before; const char* src;
                   const char* expected; } cases[] = {
        { "TextCopy", TextCopy, "old", "012345", "012345" },
        { "TextCopy", TextCopy, "old", "0123456", "0123456" },
        { "TextCopy", TextCopy, "old", "01234567", "0123456" },
        { "TextCopy", TextCopy, "old", nullptr, "" },
        { "TextCopyN", CopyThree, "old", "012345", "012" },
        { "TextCopyN", CopyThree, "old", "01", "01" },
        { "TextAppend", TextAppend, "abc", "def", "abcdef" },
        { "TextAppend", TextAppend, "abc", "defg", "abcdefg" },
        { "TextAppend", TextAppend, "abc", "defgh", "abcdefg" },
        { "TextAppend", TextAppend, "abcdefg", "z", "abcdefg" },
        { "TextAppendFormat", AppendFormatted, "abc", "defg", "abcdefg" },
        { "TextAppendFormat", AppendFormatted, "abc", "defgh", "abcdefg" },
    };
    for (const auto& c : cases) {
        char out[8 + 4];
        memset(out, 'Z', sizeof(out));
        TextCopy(out, 8, c.before);
        EXPECT_EQ(strlen(c.expected), c.write(out, 8, c.src)) << c.name << " " << c.src;
        EXPECT_STREQ(c.expected, out) << c.name;
        EXPECT_EQ('Z', out[8]) << c.name << " wrote past its buffer";
    }
    char one[1];
    EXPECT_EQ(0u, TEXT_FORMAT(one, "%d", 7));
    EXPECT_STREQ("", one);
    char full[6] = "abcde";
    EXPECT_EQ(5u, TextAppendChar(full, 'q'));
}

TEST(Text, CaseInsensitiveComparisons)
{
    EXPECT_TRUE(TextEqualNoCase("Vardex.EXE", "vardex.exe"));
    EXPECT_FALSE(TextEqualNoCase("Vardex", "Vardex2"));
    EXPECT_EQ(4, TextIndexNoCase("C:\\vardex.exe", "ARD"));
    EXPECT_EQ(-1, TextIndexNoCase("abc", "abcd"));
    EXPECT_EQ(0, TextIndexNoCase("", ""));
    EXPECT_TRUE(TextFindNoCase("run -Q now", "-q"));
}

}  // namespace
