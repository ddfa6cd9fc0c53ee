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

TEST(DateText, EveryPatternTheTwelveHourClockAndThousands)
{
    // Each short-date form, found without regard to case; the year is always
    // written in full.  Unknown, empty or nearly matching patterns count as
    // the first; a month out of range (a zeroed time) gets no name, not a
    // neighbour's.
    const char *us = "03/05/2008", *iso = "2008-03-05", *named = "05-Mar-2008", *tt = "h:mm:ss tt";
    const struct { const char* pattern; int month; const char* date;
    } dates[] = {
        {"M/d/yy", 3, us}, {"yy/MM/dd", 3, "2008/03/05"}, {"yyyy-MM-dd", 3, iso},
        {"DD-mmm-YY", 3, named}, {"YYYY-mm-DD", 3, iso}, {"d.M.yyyy", 3, us},
        {"dd-MMM-yyyy", 3, us}, {"dd-MMM-yy", 13, "05--2008"},
    };
    for (const auto& c : dates)
        EXPECT_EQ(
            c.date + std::string(" 14:07"), Format(2008, c.month, 5, 14, 7, c.pattern, "HH:mm:ss"));
    // Each time form ("h:mm:ss" is the 24-hour "H:mm:ss"); noon and midnight
    // on the 12-hour clock and the hours either side; midnight stays 0 on the
    // 24-hour clock.
    const struct { const char* pattern; int hour, minute; const char* time;
    } times[] = {
        {"hh:mm:ss tt", 14, 7, "02:07 PM"}, {"HH:mm:ss", 9, 5, "09:05"},
        {"h:mm:ss", 14, 7, "14:07"}, {"hh:mm:ss TT", 9, 5, "09:05 AM"}, {"", 0, 15, "12:15 AM"},
        {"h:mm", 14, 7, "2:07 PM"}, {tt, 12, 30, "12:30 PM"}, {tt, 11, 59, "11:59 AM"},
        {"H:mm:ss", 0, 15, "0:15"},
    };
    for (const auto& c : times)
        EXPECT_EQ(
            us + std::string(" ") + c.time, Format(2008, 3, 5, c.hour, c.minute, "", c.pattern));
    EXPECT_TRUE(DateFormOf(nullptr) == DATE_M_D_YYYY);
    EXPECT_TRUE(TimeFormOf(nullptr) == TIME_H_TT);
    Format(65535, 65535, 65535, 65535, 65535, "MM/dd/yyyy", "hh:mm:ss tt");   // stays in the buffer
    char out[VX_DATE_TEXT];
    EXPECT_EQ(16, FormatFileDate(2008, 3, 5, 4, 7, out, sizeof(out)));
    EXPECT_STREQ("2008/03/05 04:07", out);

    const struct { long long n; const char* expected;
    } numbers[] = {
        {999, "999"}, {123456, "123,456"}, {-123456, "-123,456"},
        {LLONG_MIN, "-9,223,372,036,854,775,808"},
    };
    char digits[32];
    for (const auto& c : numbers)
        EXPECT_EQ(c.expected, std::string(digits, GroupThousands(c.n, digits))) << c.n;
}

std::string Key(const char* text, size_t size = VX_DATE_KEY)
{
    char out[VX_DATE_KEY + 8];
    memset(out, 'Z', sizeof(out));
    int n = DateSortKey(text, out, size);
    EXPECT_EQ((int)strlen(out), n) << text;
    EXPECT_EQ('Z', out[VX_DATE_KEY]) << "wrote past the key buffer";
    return out;
}

// Every date and time the system writes reads back as the time it was made
// from, on the 24-hour clock; the keys then sort in time order.
TEST(DateSortKey, ReadsEveryWrittenFormOnTheTwentyFourHourClock)
{
    const char* const datePatterns[] = { "M/d/yyyy", "M/d/yy", "MM/dd/yy", "MM/dd/yyyy",
                                         "yy/MM/dd", "yyyy-MM-dd", "dd-MMM-yy" };
    const char* const timePatterns[] = { "h:mm:ss tt", "hh:mm:ss tt", "H:mm:ss", "HH:mm:ss" };
    const struct { int year, month, day, hour, minute; const char* key; } moments[] = {
        { 2008, 3, 5, 0, 15, "200803050015" }, { 2008, 12, 31, 12, 30, "200812311230" },
        { 1999, 1, 9, 13, 5, "199901091305" }, { 2024, 11, 28, 23, 59, "202411282359" },
    };
    for (const char* datePattern : datePatterns)
        for (const char* timePattern : timePatterns)
            for (const auto& m : moments) {
                char text[VX_DATE_TEXT];
                FormatDateFields(m.year, m.month, m.day, m.hour, m.minute,
                                 DateFormOf(datePattern), TimeFormOf(timePattern), text,
                                 sizeof(text));
                EXPECT_EQ(m.key, Key(text)) << datePattern << " " << timePattern;
            }
    char file[VX_DATE_TEXT];
    FormatFileDate(2008, 3, 5, 4, 7, file, sizeof(file));
    EXPECT_EQ("200803050407", Key(file));
    // The fault of a key taken by position: one-digit hours sorted first.
    EXPECT_LT(Key("03/05/2008 11:00 AM"), Key("03/05/2008 1:05 PM"));
    EXPECT_LT(Key("03/05/2008 12:59 AM"), Key("03/05/2008 1:00 AM"));
    EXPECT_LT(Key("12/31/2007 11:59 PM"), Key("01/01/2008 0:00"));
}

// The time optional, seconds ignored, case and blanks free; anything that
// is not such a date gives "", never a key of garbage.
TEST(DateSortKey, ReadsLooseFormsAndRefusesWhatIsNoDate)
{
    EXPECT_EQ("200803050000", Key("03/05/2008"));
    EXPECT_EQ("200803051407", Key("  2008-03-05   2:07:59 pm "));
    EXPECT_EQ("200803050207", Key("05-mar-2008 02:07am"));
    EXPECT_EQ("200803050207", Key("3.5.2008 2:07"));
    const char* const bad[] = {
        "", "   ", "abc", "03/05/08 1:00 PM", "13/05/2008", "03/32/2008", "00/05/2008",
        "03/05/20080", "03-Mux-2008", "Mar/05/2008", "2008/Mar/05", "03/05/2008 24:00",
        "03/05/2008 13:00 PM", "03/05/2008 0:30 AM", "03/05/2008 1:5 PM", "03/05/2008 1:60",
        "03/05/2008 1:05:7", "03/05/2008 1:05 PMX", "03/05/2008 1", "03/05/2008x", "03/05",
        "03/05/2008 1:05 PM 1", "-3/05/2008",
    };
    for (const char* text : bad)
        EXPECT_EQ("", Key(text)) << text;
    EXPECT_EQ("", Key(nullptr));
    // The buffer: one byte short of a whole key gives "", not a cut key.
    EXPECT_EQ("", Key("03/05/2008 1:05 PM", VX_DATE_KEY - 1));
    EXPECT_EQ("200803051305", Key("03/05/2008 1:05 PM", VX_DATE_KEY + 1));
}

// A file time carried as text reads back as the same ticks; any other text
// (a digit short or over, a blank, a sign) is refused and leaves the ticks
// alone.  The buffer: one byte short of the whole text gives "".
TEST(TicksText, ReadsBackWhatItWritesAndNothingElse)
{
    char text[VX_TICKS_TEXT];
    EXPECT_EQ(16, TicksText(0x01DC4D2A9F3B1C00ULL, text));
    EXPECT_STREQ("01DC4D2A9F3B1C00", text);
    unsigned long long ticks = 7;
    TicksText(~0ULL, text);
    EXPECT_EQ(1, ParseTicksText(text, &ticks));
    EXPECT_EQ(~0ULL, ticks);
    EXPECT_EQ(1, ParseTicksText("01dc4d2a9f3b1c0f", &ticks));
    EXPECT_EQ(0x01DC4D2A9F3B1C0FULL, ticks);
    const char* const bad[] = { "", "01DC4D2A9F3B1C0", "01DC4D2A9F3B1C000", " 1DC4D2A9F3B1C00",
                                "01DC4D2A9F3B1C0G", "+1DC4D2A9F3B1C00", "01DC4D2A9F3B1C0 " };
    for (const char* text : bad) {
        ticks = 7;
        EXPECT_EQ(0, ParseTicksText(text, &ticks)) << text;
        EXPECT_EQ(7ULL, ticks) << text;
    }
    EXPECT_EQ(0, ParseTicksText(nullptr, &ticks));
    char small[VX_TICKS_TEXT - 1];
    memset(small, 'Z', sizeof(small));
    EXPECT_EQ(0, TicksText(1, small, sizeof(small)));
    EXPECT_STREQ("", small);
}

}  // namespace
