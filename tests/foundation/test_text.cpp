// The bounded text helpers: every result fits its buffer and is terminated,
// for texts one short of the buffer, exactly filling it and one over.
#include <gtest/gtest.h>

#include <string.h>

#include "foundation/text.h"

namespace {

typedef size_t (*Writer)(char* out, size_t outSize, const char* src);
size_t AppendFormatted(char* out, size_t n, const char* s)
{
    return TextAppendFormat(out, n, "%s", s);
}
size_t CopyThree(char* out, size_t n, const char* s) { return TextCopyN(out, n, s, 3); }

TEST(Text, WritersCutAtTheBufferAndTerminate)
{
    // Each writes into 8 bytes that already hold before: size-1, exact, size+1.
    const struct { Writer write; const char *before, *src, *expected; } cases[] = {
        {TextCopy, "old", "012345", "012345"}, {TextCopy, "old", "0123456", "0123456"},
        {TextCopy, "old", "01234567", "0123456"}, {TextCopy, "old", nullptr, ""},
        {CopyThree, "old", "012345", "012"}, {TextAppend, "abc", "defg", "abcdefg"},
        {TextAppend, "abc", "defgh", "abcdefg"}, {TextAppend, "abcdefg", "z", "abcdefg"},
        {AppendFormatted, "abc", "defgh", "abcdefg"},
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
    EXPECT_TRUE(TEXT_FORMAT(one, "%d", 7) == 0);
    EXPECT_TRUE(one[0] == '\0');
    EXPECT_TRUE(TextAppendChar(full, 'q') == 5);
    // Without regard to case; an empty part matches.
    EXPECT_TRUE(
        TextEqualNoCase("Vardex.EXE", "vardex.exe") && !TextEqualNoCase("Vardex", "Vardex2"));
    EXPECT_TRUE(TextIndexNoCase("C:\\vardex.exe", "ARD") == 4
        && TextIndexNoCase("abc", "abcd") == -1 && TextIndexNoCase("", "") == 0
        && TextFindNoCase("run -Q now", "-q"));
}

}  // namespace
