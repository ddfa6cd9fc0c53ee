// Dates, times and numbers as the user reads them: every short-date and
// time pattern the system knows, the 12-hour clock around noon and
// midnight, and the thousands separators.
#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <string>

#include "foundation/date_text.h"

namespace {

std::string Format(int year, int month, int day, int hour, int minute, const char* datePattern,
                   const char* timePattern)
{
    char out[VX_DATE_TEXT + 8];
    memset(out, 'Z', sizeof(out));
    int n = FormatDateFields(year, month, day, hour, minute, DateFormOf(datePattern),
                             TimeFormOf(timePattern), out, VX_DATE_TEXT);
    EXPECT_EQ((int)strlen(out), n);
    EXPECT_EQ('Z', out[VX_DATE_TEXT]) << "wrote past the date buffer";
    return out;
}

struct DateCase {
    const char* pattern;
    const char* expected;   // the date part for 5 March 2008
};

class ShortDatePatterns : public ::testing::TestWithParam<DateCase> {};

TEST_P(ShortDatePatterns, WriteTheYearInFull)
{
    std::string expected = std::string(GetParam().expected) + " 2:07 PM";
    EXPECT_EQ(expected, Format(2008, 3, 5, 14, 7, GetParam().pattern, "h:mm:ss tt"))
        << "sShortDate \"" << GetParam().pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(Patterns, ShortDatePatterns, ::testing::Values(
    DateCase{ "M/d/yyyy", "03/05/2008" },
    DateCase{ "M/d/yy", "03/05/2008" },
    DateCase{ "MM/dd/yy", "03/05/2008" },
    DateCase{ "MM/dd/yyyy", "03/05/2008" },
    DateCase{ "yy/MM/dd", "2008/03/05" },
    DateCase{ "yyyy-MM-dd", "2008-03-05" },
    DateCase{ "dd-MMM-yy", "05-Mar-2008" },
    // Found without regard to case.
    DateCase{ "YYYY-mm-DD", "2008-03-05" },
    DateCase{ "DD-mmm-YY", "05-Mar-2008" },
    // Unknown, empty or nearly matching patterns count as the first.
    DateCase{ "d.M.yyyy", "03/05/2008" },
    DateCase{ "", "03/05/2008" },
    DateCase{ "yyyy-MM-dd ", "03/05/2008" },
    DateCase{ "dd-MMM-yyyy", "03/05/2008" }));

TEST(ShortDatePatterns, ANullPatternCountsAsTheFirst)
{
    EXPECT_EQ(DATE_M_D_YYYY, DateFormOf(nullptr));
    EXPECT_EQ(TIME_H_TT, TimeFormOf(nullptr));
}

TEST(ShortDatePatterns, EveryMonthHasItsName)
{
    const char* names[] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    for (int m = 1; m <= 12; m++)
        EXPECT_EQ("09-" + std::string(names[m - 1]) + "-1999 0:00",
                  Format(1999, m, 9, 0, 0, "dd-MMM-yy", "H:mm:ss"));
}

TEST(ShortDatePatterns, AMonthOutOfRangeGetsNoName)
{
    EXPECT_EQ("05--2008 0:00", Format(2008, 0, 5, 0, 0, "dd-MMM-yy", "H:mm:ss"));
    EXPECT_EQ("05--2008 0:00", Format(2008, 13, 5, 0, 0, "dd-MMM-yy", "H:mm:ss"));
}

TEST(ShortDatePatterns, TheWidestFieldsStayInTheBuffer)
{
    // Every field at its largest: the text is cut to 23 characters at most.
    std::string text = Format(65535, 65535, 65535, 65535, 65535, "MM/dd/yyyy", "hh:mm:ss tt");
    EXPECT_LE(text.size(), (size_t)VX_DATE_TEXT - 1);
}

struct TimeCase {
    const char* pattern;
    int hour;
    int minute;
    const char* expected;
};

class TimePatterns : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimePatterns, NeverShowSeconds)
{
    const TimeCase& c = GetParam();
    EXPECT_EQ("2008-03-05 " + std::string(c.expected),
              Format(2008, 3, 5, c.hour, c.minute, "yyyy-MM-dd", c.pattern))
        << "sTimeFormat \"" << c.pattern << "\" at " << c.hour << ":" << c.minute;
}

INSTANTIATE_TEST_SUITE_P(Patterns, TimePatterns, ::testing::Values(
    TimeCase{ "h:mm:ss tt", 14, 7, "2:07 PM" },
    TimeCase{ "hh:mm:ss tt", 14, 7, "02:07 PM" },
    TimeCase{ "H:mm:ss", 14, 7, "14:07" },
    TimeCase{ "HH:mm:ss", 14, 7, "14:07" },
    TimeCase{ "h:mm:ss tt", 9, 5, "9:05 AM" },
    TimeCase{ "hh:mm:ss tt", 9, 5, "09:05 AM" },
    TimeCase{ "H:mm:ss", 9, 5, "9:05" },
    TimeCase{ "HH:mm:ss", 9, 5, "09:05" },
    // Noon and midnight on the 12-hour clock.
    TimeCase{ "h:mm:ss tt", 12, 30, "12:30 PM" },
    TimeCase{ "h:mm:ss tt", 0, 15, "12:15 AM" },
    TimeCase{ "hh:mm:ss tt", 12, 0, "12:00 PM" },
    TimeCase{ "hh:mm:ss tt", 0, 0, "12:00 AM" },
    TimeCase{ "h:mm:ss tt", 11, 59, "11:59 AM" },
    TimeCase{ "h:mm:ss tt", 23, 59, "11:59 PM" },
    TimeCase{ "h:mm:ss tt", 1, 0, "1:00 AM" },
    TimeCase{ "h:mm:ss tt", 13, 0, "1:00 PM" },
    // ... and on the 24-hour clock.
    TimeCase{ "H:mm:ss", 0, 15, "0:15" },
    TimeCase{ "HH:mm:ss", 0, 15, "00:15" },
    TimeCase{ "HH:mm:ss", 12, 30, "12:30" },
    // Unknown patterns count as the first; the lower-case "h:mm:ss" is the
    // 24-hour "H:mm:ss" once case is ignored.
    TimeCase{ "HH.mm", 14, 7, "2:07 PM" },
    TimeCase{ "", 0, 15, "12:15 AM" },
    TimeCase{ "h:mm:ss", 14, 7, "14:07" }));

TEST(FileDate, IsYearFirstWithTwoDigitFields)
{
    char out[VX_DATE_TEXT];
    EXPECT_EQ(16, FormatFileDate(2008, 3, 5, 4, 7, out, sizeof(out)));
    EXPECT_STREQ("2008/03/05 04:07", out);
}

// --- GroupThousands ------------------------------------------------------------

struct GroupCase {
    long long n;
    const char* expected;
};

class GroupThousandsCases : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupThousandsCases, PutsACommaBeforeEveryGroupOfThree)
{
    char out[32 + 4];
    memset(out, 'Z', sizeof(out));
    int n = GroupThousands(GetParam().n, out);
    EXPECT_STREQ(GetParam().expected, out);
    EXPECT_EQ((int)strlen(GetParam().expected), n);
    EXPECT_EQ('Z', out[32]);
}

INSTANTIATE_TEST_SUITE_P(Numbers, GroupThousandsCases, ::testing::Values(
    GroupCase{ 0, "0" },
    GroupCase{ 7, "7" },
    GroupCase{ 999, "999" },
    GroupCase{ 1000, "1,000" },
    GroupCase{ 1234, "1,234" },
    GroupCase{ 99999, "99,999" },
    GroupCase{ 123456, "123,456" },
    GroupCase{ 1234567, "1,234,567" },
    GroupCase{ 4294967296LL, "4,294,967,296" },
    GroupCase{ -1, "-1" },
    GroupCase{ -1234, "-1,234" },
    GroupCase{ -123456, "-123,456" },
    GroupCase{ LLONG_MAX, "9,223,372,036,854,775,807" },
    GroupCase{ LLONG_MIN, "-9,223,372,036,854,775,808" }));

}  // namespace
