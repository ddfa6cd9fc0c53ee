// The bounded text helpers: every result fits its buffer and is terminated.
#include <gtest/gtest.h>

#include <string.h>

#include "foundation/text.h"

TEST(TextCopy, CutsAtBufferSizeAndTerminates)
{
    char out[8];
    memset(out, 'x', sizeof(out));
    EXPECT_EQ(7u, TextCopy(out, "0123456789"));
    EXPECT_STREQ("0123456", out);
    EXPECT_EQ(7u, TextCopy(out, "0123456"));   // exact fit
    EXPECT_STREQ("0123456", out);
    EXPECT_EQ(6u, TextCopy(out, "012345"));
    EXPECT_EQ(0u, TextCopy(out, nullptr));
    EXPECT_STREQ("", out);
}

TEST(TextAppend, NeverGrowsPastTheBuffer)
{
    char out[6] = "abc";
    EXPECT_EQ(5u, TextAppend(out, "defgh"));
    EXPECT_STREQ("abcde", out);
    EXPECT_EQ(5u, TextAppend(out, "z"));
    EXPECT_STREQ("abcde", out);
    EXPECT_EQ(5u, TextAppendChar(out, 'q'));
}

TEST(TextFormat, CutsLongExpansions)
{
    char out[10];
    EXPECT_EQ(9u, TEXT_FORMAT(out, "%s-%d", "abcdefgh", 12345));
    EXPECT_STREQ("abcdefgh-", out);
    char one[1];
    EXPECT_EQ(0u, TEXT_FORMAT(one, "%d", 7));
    EXPECT_STREQ("", one);
}

TEST(TextFormat, DataIsNeverAFormat)
{
    // Text from the registry is passed as an argument, so its "%n" and
    // "%s" come out literally.
    char out[32];
    TEXT_FORMAT(out, "%s", "%s%s%s%n");
    EXPECT_STREQ("%s%s%s%n", out);
}

TEST(TextNoCase, FindsAndCompares)
{
    EXPECT_TRUE(TextEqualNoCase("Vardex.EXE", "vardex.exe"));
    EXPECT_FALSE(TextEqualNoCase("Vardex", "Vardex2"));
    EXPECT_EQ(4, TextIndexNoCase("C:\\vardex.exe", "ARD"));
    EXPECT_EQ(-1, TextIndexNoCase("abc", "abcd"));
    EXPECT_EQ(0, TextIndexNoCase("", ""));
    EXPECT_TRUE(TextFindNoCase("run -Q now", "-q"));
}
