// The text side of history.txt: code tables, time stamps, the layout of a
// line, reading lines back and the encoding of the report's query.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "foundation/history_line.h"

TEST(HistoryCodes, ActionLookupByCodeTakesTheFirstMatch)
{
    struct { int code; const char* name; } cases[] = {
        { 0, "*START_Remove" }, { 1, "START_Disable" }, { 3, "IEHELPER_Remove" },
        { 12, "SERVICE_Disabled" },      // not the later "START_Restore" row of code 12
        { 13, "START_Restore" }, { 16, "ScheduledTask_Remove" },
        { 20, "SERVICE__from_Disabled" },
        { 23, "REMOVE_TaskScheduler" },  // not the later "REMOVE_TASKSCHEDULER" row
        { 25, "REMOVE_TASKSCHEDULER" }, { 26, "REMOVE_SHELLEXECUTEHOOK" },
        { 29, "*HIDDEN_DeleteFile" }, { 31, "LOG_UNKNOWN" },
        { 32, "" }, { -1, "" }, { 1000, "" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.name, HistoryActionName(c.code)) << "code " << c.code;
}

TEST(HistoryCodes, OnlyStarredActionsAreRestorable)
{
    for (int code = -1; code <= 33; code++)
        EXPECT_EQ(code == 0 || code == 29, HistoryActionRestorable(code) != 0) << code;
}

TEST(HistoryCodes, ActionLookupByNameIgnoresCase)
{
    EXPECT_EQ(0, HistoryActionCode("*START_Remove"));
    EXPECT_EQ(0, HistoryActionCode("*start_remove"));
    EXPECT_EQ(29, HistoryActionCode("*HIDDEN_DELETEFILE"));
    EXPECT_EQ(12, HistoryActionCode("START_Restore"));        // first row of that name
    EXPECT_EQ(23, HistoryActionCode("REMOVE_TASKSCHEDULER")); // matches code 23's name
    // Unknown or empty names are never taken for a removal.
    EXPECT_EQ(HA_LOG_UNKNOWN, HistoryActionCode(""));
    EXPECT_EQ(HA_LOG_UNKNOWN, HistoryActionCode("START_Remove"));
    EXPECT_EQ(HA_LOG_UNKNOWN, HistoryActionCode(nullptr));
}

TEST(HistoryCodes, TypeLookups)
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
    // Codes without a name of their own.
    for (int code : { 0, 16, 17, 26, 27, 504, 1103, 1200, -5 })
        EXPECT_STREQ("TYPE_UNKNOWN", HistoryTypeName(code)) << code;
    EXPECT_EQ(11, HistoryTypeCode("current_run"));
    EXPECT_EQ(HISTORY_TYPE_UNKNOWN, HistoryTypeCode("NO_SUCH_TYPE"));
    EXPECT_EQ(HISTORY_TYPE_UNKNOWN, HistoryTypeCode(""));
}

TEST(HistoryTime, TwelveHourClockWithTwoBlanks)
{
    struct { unsigned h, m; const char* text; } cases[] = {
        { 0, 5, "03/07/2009  12:05 AM" }, { 1, 0, "03/07/2009  1:00 AM" },
        { 11, 59, "03/07/2009  11:59 AM" }, { 12, 0, "03/07/2009  12:00 PM" },
        { 13, 30, "03/07/2009  1:30 PM" }, { 23, 9, "03/07/2009  11:09 PM" },
    };
    for (const auto& c : cases) {
        char out[32];
        EXPECT_EQ(strlen(c.text), FormatHistoryTime(3, 7, 2009, c.h, c.m, "Never", out, sizeof(out)));
        EXPECT_STREQ(c.text, out);
    }
}

TEST(HistoryTime, ZeroDateIsNever)
{
    char out[32];
    FormatHistoryTime(0, 0, 0, 0, 0, "Never", out, sizeof(out));
    EXPECT_STREQ("Never", out);
    char tiny[6];
    FormatHistoryTime(12, 31, 2020, 10, 0, "Never", tiny, sizeof(tiny));
    EXPECT_STREQ("12/31", tiny);
}

TEST(HistoryLineFormat, SixTabSeparatedFieldsEndedByCrLf)
{
    char line[HISTORY_LINE_MAX + 1];
    size_t n = FormatHistoryLine("01/02/2003  4:05 PM", "*START_Remove", "CURRENT_RUN", "Updater",
                                 "C:\\App\\upd.exe /q", "", line, sizeof(line));
    EXPECT_STREQ("01/02/2003  4:05 PM\t*START_Remove\tCURRENT_RUN\tUpdater\tC:\\App\\upd.exe /q\t\r\n",
                 line);
    EXPECT_EQ(strlen(line), n);
    // An unknown action leaves field 2 empty; null texts are empty fields.
    FormatHistoryLine("t", "", "TYPE_UNKNOWN", nullptr, nullptr, nullptr, line, sizeof(line));
    EXPECT_STREQ("t\t\tTYPE_UNKNOWN\t\t\t\r\n", line);
}

TEST(HistoryLineFormat, FieldsCannotSplitOrForgeLines)
{
    char line[HISTORY_LINE_MAX + 1];
    FormatHistoryLine("t", "START_Alert", "CURRENT_RUN", "evil\r\nt\t*START_Remove\tMACHINE_RUN",
                      "a\tb", "x\ny", line, sizeof(line));
    EXPECT_STREQ("t\tSTART_Alert\tCURRENT_RUN\tevil  t *START_Remove MACHINE_RUN\ta b\tx y\r\n", line);
}

TEST(HistoryLineFormat, LongLinesAreCutBeforeTheirLineEnd)
{
    std::string info(2000, 'i');
    char line[HISTORY_LINE_MAX + 1];
    size_t n = FormatHistoryLine("t", "a", "b", "n", "c", info.c_str(), line, sizeof(line));
    EXPECT_EQ((size_t)HISTORY_LINE_MAX, n);
    EXPECT_EQ(n, strlen(line));
    EXPECT_EQ('\r', line[n - 2]);
    EXPECT_EQ('\n', line[n - 1]);
    EXPECT_EQ(line + n - 1, strchr(line, '\n'));

    // Exactly at the limit nothing is cut; one more character is.
    std::string fits(HISTORY_LINE_MAX - 2 - 10, 'f');   // "t\ta\tb\tn\tc\t" is 10
    n = FormatHistoryLine("t", "a", "b", "n", "c", fits.c_str(), line, sizeof(line));
    EXPECT_EQ((size_t)HISTORY_LINE_MAX, n);
    EXPECT_EQ(fits + "\r\n", std::string(line + 10));
    std::string over = fits + "X";
    FormatHistoryLine("t", "a", "b", "n", "c", over.c_str(), line, sizeof(line));
    EXPECT_EQ(fits + "\r\n", std::string(line + 10));

    // A small buffer still ends the line.
    char small[8];
    n = FormatHistoryLine("time", "act", "typ", "", "", "", small, sizeof(small));
    EXPECT_STREQ("time\t\r\n", small);
    EXPECT_EQ(7u, n);
}

static HistoryLineFields Parse(const std::string& line)
{
    HistoryLineFields fields;
    memset(&fields, 'x', sizeof(fields));
    ParseHistoryLine(line.data(), line.size(), &fields);
    return fields;
}

TEST(HistoryLineParse, ReadsBackWhatIsWritten)
{
    HistoryLineFields f = Parse("01/02/2003  4:05 PM\t*START_Remove\tWIN_RUN\tName\tC:\\a.exe\tX\r");
    EXPECT_STREQ("01/02/2003  4:05 PM", f.Time);
    EXPECT_EQ(0, f.Action);
    EXPECT_EQ(101, f.Type);
    EXPECT_STREQ("Name", f.Name);
    EXPECT_STREQ("C:\\a.exe", f.Command);
    EXPECT_STREQ("X", f.Extra);
}

TEST(HistoryLineParse, MissingFieldsAreEmpty)
{
    HistoryLineFields f = Parse("only time");
    EXPECT_STREQ("only time", f.Time);
    EXPECT_STREQ("", f.Name);
    EXPECT_STREQ("", f.Command);
    EXPECT_STREQ("", f.Extra);
    EXPECT_EQ(HA_LOG_UNKNOWN, f.Action);
    EXPECT_EQ(HISTORY_TYPE_UNKNOWN, f.Type);
    f = Parse("");
    EXPECT_STREQ("", f.Time);
    // A seventh field is ignored.
    f = Parse("t\tTASK_Kill\tINFO_TASK\tn\tc\te\tseventh");
    EXPECT_EQ(5, f.Action);
    EXPECT_EQ(600, f.Type);
    EXPECT_STREQ("e", f.Extra);
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
    std::string longAction(100, 'A');
    EXPECT_EQ(HA_LOG_UNKNOWN, Parse("t\t" + longAction + "\tMACHINE_RUN").Action);
}

TEST(HistoryLineWalk, SkipsEmptyLinesAndTakesTheLastUnendedOne)
{
    std::string data = "one\r\n\r\n\ntwo\nthree";
    size_t pos = 0, start = 0, length = 0;
    std::string seen;
    while (NextHistoryLine(data.data(), data.size(), &pos, &start, &length))
        seen += "[" + data.substr(start, length) + "]";
    EXPECT_EQ("[one][two][three]", seen);
    pos = 0;
    EXPECT_EQ(0, NextHistoryLine("\r\n\n", 3, &pos, &start, &length));
    pos = 0;
    EXPECT_EQ(0, NextHistoryLine("", 0, &pos, &start, &length));
}

TEST(HistoryQuery, EveryValueIsPercentEncoded)
{
    char url[512] = "http://h/r?x=1";
    AppendQueryValue(url, sizeof(url), "title", "My App&type=X #1 100%\xE9");
    AppendQueryValue(url, sizeof(url), "path", "C:\\A-b_c.d~e\\f.exe /q");
    AppendQueryValue(url, sizeof(url), "code", "");
    EXPECT_STREQ("http://h/r?x=1&title=My%20App%26type%3DX%20%231%20100%25%E9"
                 "&path=C%3A%5CA-b_c.d~e%5Cf.exe%20%2Fq&code=",
                 url);
}

TEST(HistoryQuery, CutOnlyBetweenWholeEscapes)
{
    char url[16] = "u";
    // "u&k=" is 4; room for 11 more: "ab" + "%20" * 3 = 11.
    EXPECT_EQ(15u, AppendQueryValue(url, sizeof(url), "k", "ab   c"));
    EXPECT_STREQ("u&k=ab%20%20%20", url);
    char url2[16] = "u";
    EXPECT_EQ(15u, AppendQueryValue(url2, sizeof(url2), "k", "abcdefgh &"));
    EXPECT_STREQ("u&k=abcdefgh%20", url2);
    // A parameter whose name no longer fits is left out.
    char full[8] = "abcdef";
    EXPECT_EQ(6u, AppendQueryValue(full, sizeof(full), "k", "v"));
    EXPECT_STREQ("abcdef", full);
}
