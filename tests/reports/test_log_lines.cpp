// The scan log's vocabulary: location codes, the system's shell objects,
// the page lines of iereset.inf.
#include <gtest/gtest.h>

#include <string>

#include "reports/log_lines.h"

namespace {

// Codes outside the table are other Run keys; HKU's RunServicesOnce is
// named as the inventory has always named it.
TEST(LogLines, LocationCodesOutsideTheTable)
{
    EXPECT_STREQ("O4 - Other Run: ", StartupLineStart(17));
    EXPECT_STREQ("O4 - Other Run: ", StartupLineStart(0));
    EXPECT_STREQ("HKU", StartupCsvType(25));
    EXPECT_STREQ("RunServiceOnce", StartupCsvSubType(25));
    EXPECT_STREQ("UnknownKey", StartupCsvType(7));
    EXPECT_STREQ("Run", StartupCsvSubType(7));
}

TEST(LogLines, WellKnownShellObjectsWhateverTheirCase)
{
    EXPECT_TRUE(IsWellKnownShellObject("{e6fb5e20-de35-11cf-9c87-00aa005127ed}"));
    EXPECT_FALSE(IsWellKnownShellObject("{e6fb5e20-de35-11cf-9c87-00aa005127ee}"));
    EXPECT_FALSE(IsWellKnownShellObject(""));
}

TEST(LogLines, IeResetLineNamesRootPageAndValue)
{
    const char* line = "HKCU,\"Software\\Microsoft\\Internet Explorer\\Main\",\"Start Page\",0,"
                       "\"http://example.com\"";
    IeResetPage page;
    ASSERT_TRUE(IeResetMatch(line, 0, &page));
    EXPECT_STREQ("HKCU,", page.root);
    EXPECT_STREQ("Start Page", page.name);
    EXPECT_STREQ("\"http://example.com\"", page.value);
    EXPECT_FALSE(IeResetMatch(line, 1, &page));
    // Two pages named, or no root.
    ASSERT_TRUE(IeResetMatch("HKLM HKCU Search Page Default_Page_URL,x", 1, &page));
    EXPECT_STREQ("Search Page", page.name);
    EXPECT_STREQ("HKCU,", page.root);
    ASSERT_TRUE(IeResetMatch("Default_Search_URL", 0, &page));
    EXPECT_STREQ("", page.root);
    EXPECT_STREQ("", page.value);
    EXPECT_FALSE(IeResetMatch("nothing here", 0, &page));
}

}  // namespace
