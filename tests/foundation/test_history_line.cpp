// The text side of history.txt: code tables, time stamps, the layout of a
// line, reading lines back and the encoding of the report's query.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/history_line.h"

TEST(HistoryLine, WrittenWithoutForgeryAndReadBackWithinLimits)
{
    char line[HISTORY_LINE_MAX + 1];
    // Empty and null texts are empty fields; tabs, CR and LF inside a field
    // can neither split a line nor forge one.
    FormatHistoryLine("t", "", "CURRENT_RUN", "evil\r\nt\t*START_Remove\tMACHINE_RUN", nullptr,
                      "x\ny", line, sizeof(line));
    EXPECT_STREQ("t\t\tCURRENT_RUN\tevil  t *START_Remove MACHINE_RUN\t\tx y\r\n", line);
    // Exactly at the limit nothing is cut; one more character is.
    std::string fits(HISTORY_LINE_MAX - 2 - 10, 'f');   // "t\ta\tb\tn\tc\t" is 10
    for (const std::string& info : { fits, fits + "X", fits + std::string(2000, 'i') }) {
        size_t n = FormatHistoryLine("t", "a", "b", "n", "c", info.c_str(), line, sizeof(line));
        EXPECT_EQ((size_t)HISTORY_LINE_MAX, n);
        EXPECT_EQ(n, strlen(line));
        EXPECT_EQ(fits + "\r\n", std::string(line + 10));
    }
    // A small buffer still ends the line.
    EXPECT_EQ(7u, FormatHistoryLine("time", "act", "typ", "", "", "", line, 8));
    EXPECT_STREQ("time\t\r\n", line);
    // Read back, a field over its limit is left empty.
    for (size_t over : { 0, 1 }) {
        std::string t(31 + over, 'T'), n(127 + over, 'N'), m(259 + over, 'C'), e(259 + over, 'E');
        std::string text = t + "\tSTART_Alert\tCURRENT_RUN\t" + n + "\t" + m + "\t" + e;
        HistoryLineFields f;
        memset(&f, 'x', sizeof(f));
        ParseHistoryLine(text.data(), text.size(), &f);
        EXPECT_EQ(over ? "" : t + n + m + e, std::string(f.Time) + f.Name + f.Command + f.Extra);
        EXPECT_TRUE(f.Action == 6) << f.Action << " " << f.Type;
        EXPECT_TRUE(f.Type == 11) << f.Action << " " << f.Type;
    }
    struct { unsigned mo, d, y, h, m; size_t size; const char* text;
    } cases[] = {
        {3, 7, 2009, 0, 5, 32, "03/07/2009  12:05 AM"},
        {3, 7, 2009, 12, 0, 32, "03/07/2009  12:00 PM"},
        {3, 7, 2009, 13, 30, 32, "03/07/2009  1:30 PM"},
        {0, 0, 0, 0, 0, 32, "Never"},
        {12, 31, 2020, 10, 0, 6, "12/31"},
    };
    for (const auto& c : cases) {
        char out[32];
        EXPECT_EQ(
            strlen(c.text), FormatHistoryTime(c.mo, c.d, c.y, c.h, c.m, "Never", out, c.size));
        EXPECT_STREQ(c.text, out);
    }
    // 15 characters of room; "u&k=" takes 4.  An escape that would start one
    // or two characters before the end is left out whole.
    const struct { const char* value; const char* expected;
    } queries[] = {
        {"ab   c", "u&k=ab%20%20%20"}, {"abcdefghi x", "u&k=abcdefghi"},
        {"abcdefghij&", "u&k=abcdefghij"}, {"abcdefghijk", "u&k=abcdefghijk"},
    };
    for (const auto& c : queries) {
        char out[16 + 4] = "u";
        memset(out + 2, 'Z', sizeof(out) - 2);
        EXPECT_EQ(strlen(c.expected), AppendQueryValue(out, 16, "k", c.value)) << c.value;
        EXPECT_STREQ(c.expected, out);
        EXPECT_EQ('Z', out[16]) << c.value << " wrote past the buffer";
    }
    // A parameter whose name no longer fits is left out.
    char full[8] = "abcdef";
    EXPECT_EQ(6u, AppendQueryValue(full, sizeof(full), "k", "v"));
    EXPECT_STREQ("abcdef", full);
    // Codes 12 and 23 have later rows ("START_Restore", "REMOVE_TASKSCHEDULER") never written.
    EXPECT_EQ("SERVICE_Disabled|REMOVE_TaskScheduler||", std::string(HistoryActionName(12)) + "|" +
              HistoryActionName(23) + "|" + HistoryActionName(32) + "|" + HistoryActionName(-1));
    // By name without case, the first row of the name; an unknown or empty
    // name is never taken for a removal.
    struct { const char* name; int code; } byName[] = {
        { "*start_remove", 0 }, { "START_Restore", 12 }, { "REMOVE_TASKSCHEDULER", 23 },
        { "", HA_LOG_UNKNOWN }, { "START_Remove", HA_LOG_UNKNOWN }, { nullptr, HA_LOG_UNKNOWN },
    };
    for (const auto& c : byName)
        EXPECT_EQ(c.code, HistoryActionCode(c.name)) << (c.name ? c.name : "(null)");
    for (int code = -1; code <= 33; code++)
        EXPECT_EQ(code == 0 || code == 29, HistoryActionRestorable(code) != 0) << code;

    for (int code : { 16, -5, HISTORY_TYPE_UNKNOWN })
        EXPECT_STREQ("TYPE_UNKNOWN", HistoryTypeName(code)) << code;
    EXPECT_EQ(11, HistoryTypeCode("current_run"));
    EXPECT_EQ(HISTORY_TYPE_UNKNOWN, HistoryTypeCode("NO_SUCH_TYPE"));
}

