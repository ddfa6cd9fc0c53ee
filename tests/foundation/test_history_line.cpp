// The text side of history.txt: code tables, time stamps, the layout of a
// line, reading lines back and the encoding of the report's query.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/history_line.h"

TEST(HistoryCodes, ActionTableTakesTheFirstMatchBothWays)
{
    struct { int code; const char* name; } byCode[] = {
        { 0, "*START_Remove" }, { 1, "START_Disable" }, { 3, "IEHELPER_Remove" },
        { 12, "SERVICE_Disabled" },      // not the later "START_Restore" row of code 12
        { 13, "START_Restore" }, { 16, "ScheduledTask_Remove" },
        { 20, "SERVICE__from_Disabled" },
        { 23, "REMOVE_TaskScheduler" },  // not the later "REMOVE_TASKSCHEDULER" row
        { 25, "REMOVE_TASKSCHEDULER" }, { 26, "REMOVE_SHELLEXECUTEHOOK" },
        { 29, "*HIDDEN_DeleteFile" }, { 31, "LOG_UNKNOWN" },
        { 32, "" }, { -1, "" }, { 1000, "" },
    };
    for (const auto& c : byCode)
        EXPECT_STREQ(c.name, HistoryActionName(c.code)) << "code " << c.code;

    // By name without case, the first row of the name; an unknown or empty
    // name is never taken for a removal.
    struct { const char* name; int code; } byName[] = {
        { "*START_Remove", 0 }, { "*start_remove", 0 }, { "*HIDDEN_DELETEFILE", 29 },
        { "START_Restore", 12 }, { "REMOVE_TASKSCHEDULER", 23 }, { "", HA_LOG_UNKNOWN },
        { "START_Remove", HA_LOG_UNKNOWN }, { nullptr, HA_LOG_UNKNOWN },
    };
    for (const auto& c : byName)
        EXPECT_EQ(c.code, HistoryActionCode(c.name)) << (c.name ? c.name : "(null)");

    for (int code = -1; code <= 33; code++)
        EXPECT_EQ(code == 0 || code == 29, HistoryActionRestorable(code) != 0) << code;
}

TEST(HistoryCodes, TypeTableBothWays)
{
    struct { int code; const char* name; } cases[] = {
        { 1, "MACHINE_RUN" }, { 7, "MACHINE_RUNPOLICY" }, { 11, "CURRENT_RUN" },
        { 15, "CURRENT_RUNSERVICESONCE" }, { 21, "WOW64_RUN" }, { 35, "VARDEX_RUNSERVICESONCE" },
        { 100, "WIN_LOAD" }, { 101, "WIN_RUN" }, { 200, "GROUP_STARTUP" },
        { 255, "REG_AppInitDLLs" }, { 256, "RUN_WINLOGONNOTIFY" }, { 370, "TYPE_HIDDEN" },
        { 600, "INFO_TASK" }, { 902, "TYPE_EXTENSION" }, { 3000, "TYPE_UNKNOWN" },
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.name, HistoryTypeName(c.code)) << c.code;
        EXPECT_EQ(c.code, HistoryTypeCode(c.name)) << c.name;
    }
    for (int code : { 0, 16, 17, 26, 27, 504, 1103, 1200, -5 })
        EXPECT_STREQ("TYPE_UNKNOWN", HistoryTypeName(code)) << code;
    EXPECT_EQ(11, HistoryTypeCode("current_run"));
    EXPECT_EQ(HISTORY_TYPE_UNKNOWN, HistoryTypeCode("NO_SUCH_TYPE"));
    EXPECT_EQ(HISTORY_TYPE_UNKNOWN, HistoryTypeCode(""));
}

TEST(HistoryTime, TwelveHourClockWithTwoBlanksOrNever)
{
    struct { unsigned mo, d, y, h, m; const char* text; } cases[] = {
        { 3, 7, 2009, 0, 5, "03/07/2009  12:05 AM" }, { 3, 7, 2009, 11, 59, "03/07/2009  11:59 AM" },
        { 3, 7, 2009, 12, 0, "03/07/2009  12:00 PM" }, { 3, 7, 2009, 13, 30, "03/07/2009  1:30 PM" },
        { 0, 0, 0, 0, 0, "Never" },
    };
    for (const auto& c : cases) {
        char out[32];
        EXPECT_EQ(strlen(c.text), FormatHistoryTime(c.mo, c.d, c.y, c.h, c.m, "Never", out, sizeof(out)));
        EXPECT_STREQ(c.text, out);
    }
    char tiny[6];
    FormatHistoryTime(12, 31, 2020, 10, 0, "Never", tiny, sizeof(tiny));
    EXPECT_STREQ("12/31", tiny);
}

TEST(HistoryLineFormat, EmptyFieldsStayAndFieldsCannotForgeLines)
{
    char line[HISTORY_LINE_MAX + 1];
    // An unknown action leaves field 2 empty; null texts are empty fields.
    FormatHistoryLine("t", "", "TYPE_UNKNOWN", nullptr, nullptr, nullptr, line, sizeof(line));
    EXPECT_STREQ("t\t\tTYPE_UNKNOWN\t\t\t\r\n", line);
    // Tabs, CR and LF inside a field can neither split a line nor forge one.
    FormatHistoryLine("t", "START_Alert", "CURRENT_RUN", "evil\r\nt\t*START_Remove\tMACHINE_RUN",
                      "a\tb", "x\ny", line, sizeof(line));
    EXPECT_STREQ("t\tSTART_Alert\tCURRENT_RUN\tevil  t *START_Remove MACHINE_RUN\ta b\tx y\r\n", line);
}

TEST(HistoryLineFormat, LongLinesAreCutBeforeTheirLineEnd)
{
    char line[HISTORY_LINE_MAX + 1];
    // Exactly at the limit nothing is cut; one more character is.
    std::string fits(HISTORY_LINE_MAX - 2 - 10, 'f');   // "t\ta\tb\tn\tc\t" is 10
    for (const std::string& info : { fits, fits + "X", fits + std::string(2000, 'i') }) {
        size_t n = FormatHistoryLine("t", "a", "b", "n", "c", info.c_str(), line, sizeof(line));
        EXPECT_EQ((size_t)HISTORY_LINE_MAX, n);
        EXPECT_EQ(n, strlen(line));
        EXPECT_EQ(fits + "\r\n", std::string(line + 10));
    }
    // A small buffer still ends the line.
    char small[8];
    EXPECT_EQ(7u, FormatHistoryLine("time", "act", "typ", "", "", "", small, sizeof(small)));
    EXPECT_STREQ("time\t\r\n", small);
}

static HistoryLineFields Parse(const std::string& line)
{
    HistoryLineFields fields;
    memset(&fields, 'x', sizeof(fields));
    ParseHistoryLine(line.data(), line.size(), &fields);
    return fields;
}

TEST(HistoryLineParse, OverlongFieldsAreLeftEmpty)
{
    struct { size_t time, name, command, extra; bool kept; } cases[] = {
        { 31, 127, 259, 259, true }, { 32, 128, 260, 260, false },
    };
    for (const auto& c : cases) {
        std::string t(c.time, 'T'), n(c.name, 'N'), m(c.command, 'C'), e(c.extra, 'E');
        HistoryLineFields f = Parse(t + "\tSTART_Alert\tCURRENT_RUN\t" + n + "\t" + m + "\t" + e);
        EXPECT_EQ(c.kept ? t : "", std::string(f.Time));
        EXPECT_EQ(c.kept ? n : "", std::string(f.Name));
        EXPECT_EQ(c.kept ? m : "", std::string(f.Command));
        EXPECT_EQ(c.kept ? e : "", std::string(f.Extra));
        EXPECT_EQ(6, f.Action);
        EXPECT_EQ(11, f.Type);
    }
    EXPECT_EQ(HA_LOG_UNKNOWN, Parse("t\t" + std::string(100, 'A') + "\tMACHINE_RUN").Action);
}

TEST(HistoryQuery, CutsFallBetweenWholeEscapes)
{
    // "u&k=" is 4 of 15; "ab" + "%20" * 3 fill the other 11.
    char cut[16] = "u";
    EXPECT_EQ(15u, AppendQueryValue(cut, sizeof(cut), "k", "ab   c"));
    EXPECT_STREQ("u&k=ab%20%20%20", cut);
    char cut2[16] = "u";
    EXPECT_EQ(15u, AppendQueryValue(cut2, sizeof(cut2), "k", "abcdefgh &"));
    EXPECT_STREQ("u&k=abcdefgh%20", cut2);
    // A parameter whose name no longer fits is left out.
    char full[8] = "abcdef";
    EXPECT_EQ(6u, AppendQueryValue(full, sizeof(full), "k", "v"));
    EXPECT_STREQ("abcdef", full);
}
