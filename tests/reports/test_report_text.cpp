// What goes into the report files: planted names read back through an HTML
// parser's and a spreadsheet's eyes, the scan log's line and HOSTS rules,
// and the header dates around noon and midnight.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "reports/report_text.h"
#include "support/report_reader.h"

namespace {

template <class Escape> std::string Escaped(Escape escape, const char* text)
{
    vxtest::StringSink sink;
    escape(sink, text);
    return sink.Text;
}

TEST(ReportText, HtmlTextOpensNoTagAndReadsBack)
{
    const char* names[] = {"<script>alert(1)</script>", "a & b", "say \"hi\"",
                           "it's", "x' onmouseover='y", "caf\xe9 \x95", ""};
    for (const char* name : names) {
        std::string html = Escaped(PutHtmlText, name);
        EXPECT_EQ(name, vxtest::ReadHtmlText(html)) << name;
    }
    EXPECT_EQ("a b c ", vxtest::ReadHtmlText(Escaped(PutHtmlText, "a\rb\nc\x7f")));
    EXPECT_EQ("", Escaped(PutHtmlText, NULL));
}

TEST(ReportText, CsvRowKeepsItsWidthAndEveryName)
{
    const std::vector<std::string> names = {
        "plain", "a,b", "say \"hi\"", "two\r\nlines", "  lead", "", "caf\xe9", "x\n"};
    vxtest::StringSink row;
    for (size_t i = 0; i < names.size(); i++) {
        if (i > 0)
            row.Put(",", 1);
        PutCsvField(row, names[i].c_str());
    }
    row.Put("\r\nnext\r\n");
    size_t pos = 0;
    std::vector<std::string> fields;
    ASSERT_TRUE(vxtest::ReadCsvRow(row.Text, &pos, &fields));
    EXPECT_EQ(names, fields);
    ASSERT_TRUE(vxtest::ReadCsvRow(row.Text, &pos, &fields));
    EXPECT_EQ(std::vector<std::string>{"next"}, fields);
}

TEST(ReportText, CsvFormulaGuard)
{
    EXPECT_EQ("'=cmd|' /C calc'!A0", Escaped(PutCsvField, "=cmd|' /C calc'!A0"));
    EXPECT_EQ("'  =1", Escaped(PutCsvField, "  =1"));
    EXPECT_EQ("\"'=1,2\"", Escaped(PutCsvField, "=1,2"));
    EXPECT_EQ("a=1", Escaped(PutCsvField, "a=1"));
}

TEST(ReportText, TabFieldAndLogTextStayOnTheirLine)
{
    EXPECT_EQ("a b  c d", Escaped(PutTabField, "a\tb\r\nc\x01" "d"));
    EXPECT_EQ("Run  O4 - forged", Escaped(PutLogText, "Run\r\nO4 - forged"));
    EXPECT_EQ("caf\xe9", Escaped(PutLogText, "caf\xe9"));
}

std::string Hosts(const std::string& line, size_t room = HOSTS_LOG_LINE)
{
    char out[HOSTS_LOG_LINE + 8];
    memset(out, 'Z', sizeof(out));
    int listed = HostsLogLine(line.data(), line.size(), out, room);
    EXPECT_EQ(listed != 0, out[0] != '\0') << line;
    return listed ? out : "<left out>";
}

// Left out: harmless addresses, comments, lines too short to redirect,
// and lines longer than the log's line (a control byte is not counted).
TEST(ReportText, HostsLinesListedOnlyForRedirectionsThatFit)
{
    const std::string out = "<left out>";
    const std::string fits = "10.0.0.5 " + std::string(HOSTS_LOG_LINE - 10, 'a');
    const struct { std::string line, listed; size_t room; } cases[] = {
        {"127.0.0.1 localhost", out, HOSTS_LOG_LINE},
        {"::1\tlocalhost", out, HOSTS_LOG_LINE},
        {"  0.0.0.0 ads.example", out, HOSTS_LOG_LINE},
        {"  # 10.0.0.5 bank.example", out, HOSTS_LOG_LINE},
        {"1 ab", out, HOSTS_LOG_LINE},
        {"1 abc", "1 abc", HOSTS_LOG_LINE},
        {"1.2.3.4\t\ta.b", "1.2.3.4  a.b", HOSTS_LOG_LINE},
        {std::string("1.2.3.4 a\0.b", 12), "1.2.3.4 a.b", HOSTS_LOG_LINE},
        {"10.0.0.5 bank.example", out, HOSTS_LOG_LINE - 1},
        {fits, fits, HOSTS_LOG_LINE},
        {fits + "a", out, HOSTS_LOG_LINE},
        {fits + "\x01", fits, HOSTS_LOG_LINE},
        {fits + "\t", out, HOSTS_LOG_LINE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.listed, Hosts(c.line, c.room)) << c.line;
}

std::string Time(int hour, int minute, int second)
{
    char out[LOG_DATE_TEXT];
    FormatLogTime(hour, minute, second, out, sizeof(out));
    return out;
}

TEST(ReportText, HeaderDatesOnTheTwelveHourClock)
{
    EXPECT_EQ("12:30:00 PM", Time(12, 30, 0));
    EXPECT_EQ("12:05:09 AM", Time(0, 5, 9));
    EXPECT_EQ(" 9:07:03 PM", Time(21, 7, 3));
    char date[LOG_DATE_TEXT];
    EXPECT_EQ(10u, FormatLogDate(3, 5, 2008, date, sizeof(date)));
    EXPECT_STREQ(" 3/05/2008", date);
}

}  // namespace
