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
    const char* date;
    const char* time;
    int month, day, hour, minute;   // of 2008
    const char* expected;
};

TEST(DateFields, EveryPatternAndTheTwelveHourClock)
{
    const DateCase cases[] = {
        // Each short-date form once; the year is always written in full.
        { "dd-MMM-yy", "h:mm:ss tt", 3, 5, 14, 7, "05-Mar-2008 2:07 PM" },
        { "M/d/yyyy", "h:mm:ss tt", 3, 5, 14, 7, "03/05/2008 2:07 PM" },
        { "M/d/yy", "hh:mm:ss tt", 3, 5, 14, 7, "03/05/2008 02:07 PM" },
        { "MM/dd/yy", "H:mm:ss", 3, 5, 9, 5, "03/05/2008 9:05" },
        { "MM/dd/yyyy", "HH:mm:ss", 3, 5, 9, 5, "03/05/2008 09:05" },
        { "yy/MM/dd", "HH:mm:ss", 3, 5, 14, 7, "2008/03/05 14:07" },
        { "yyyy-MM-dd", "H:mm:ss", 3, 5, 14, 7, "2008-03-05 14:07" },
        // Patterns are found without regard to case, so "h:mm:ss" is the
        // 24-hour "H:mm:ss".
        { "YYYY-mm-DD", "h:mm:ss", 3, 5, 14, 7, "2008-03-05 14:07" },
        { "DD-mmm-YY", "hh:mm:ss TT", 3, 5, 9, 5, "05-Mar-2008 09:05 AM" },
        // Unknown, empty or nearly matching patterns count as the first.
        { "d.M.yyyy", "HH.mm", 3, 5, 14, 7, "03/05/2008 2:07 PM" },
        { "", "", 3, 5, 0, 15, "03/05/2008 12:15 AM" },
        { "dd-MMM-yyyy", "h:mm", 3, 5, 14, 7, "03/05/2008 2:07 PM" },
        // Noon and midnight on the 12-hour clock, and the hours either side.
        { "yyyy-MM-dd", "h:mm:ss tt", 3, 5, 12, 30, "2008-03-05 12:30 PM" },
        { "yyyy-MM-dd", "h:mm:ss tt", 3, 5, 11, 59, "2008-03-05 11:59 AM" },
        { "yyyy-MM-dd", "h:mm:ss tt", 3, 5, 23, 59, "2008-03-05 11:59 PM" },
        // ... and midnight on the 24-hour clock stays 0.
        { "yyyy-MM-dd", "H:mm:ss", 3, 5, 0, 15, "2008-03-05 0:15" },
        // A month out of range (a zeroed time) gets no name, not a neighbour's.
        { "dd-MMM-yy", "H:mm:ss", 0, 5, 0, 0, "05--2008 0:00" },
        { "dd-MMM-yy", "H:mm:ss", 13, 5, 0, 0, "05--2008 0:00" },
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(c.expected, Format(2008, c.month, c.day, c.hour, c.minute, c.date, c.time))
            << "\"" << c.date << "\" / \"" << c.time << "\" at " << c.hour << ":" << c.minute;
    EXPECT_EQ(DATE_M_D_YYYY, DateFormOf(nullptr));
    EXPECT_EQ(TIME_H_TT, TimeFormOf(nullptr));
}

TEST(DateFields, TheWidestFieldsStayInTheBuffer)
{
    std::string text = Format(65535, 65535, 65535, 65535, 65535, "MM/dd/yyyy", "hh:mm:ss tt");
    EXPECT_LE(text.size(), (size_t)VX_DATE_TEXT - 1);
    char out[VX_DATE_TEXT];
    EXPECT_EQ(16, FormatFileDate(2008, 3, 5, 4, 7, out, sizeof(out)));
    EXPECT_STREQ("2008/03/05 04:07", out);
}

TEST(GroupThousands, ACommaBeforeEveryGroupOfThree)
{
    const struct { long long n; const char* expected; } cases[] = {
        { 0, "0" }, { 999, "999" }, { 1234, "1,234" }, { 123456, "123,456" },
        { 1234567, "1,234,567" }, { -1234, "-1,234" }, { -123456, "-123,456" },
        { LLONG_MAX, "9,223,372,036,854,775,807" },
        { LLONG_MIN, "-9,223,372,036,854,775,808" },
    };
    for (const auto& c : cases) {
        char out[32 + 4];
        memset(out, 'Z', sizeof(out));
        EXPECT_EQ((int)strlen(c.expected), GroupThousands(c.n, out)) << c.n;
        EXPECT_STREQ(c.expected, out);
        EXPECT_EQ('Z', out[32]);
    }
}

}  // namespace
