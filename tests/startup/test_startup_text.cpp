// The text rules of the autostart places: Winlogon entry parts and list walking.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "startup/startup_text.h"

static std::vector<std::string> Split(const char* text, const char* separators)
{
    std::vector<std::string> parts;
    size_t pos = 0, start = 0, length = 0;
    while (NextListSpan(text, &pos, separators, &start, &length))
        parts.push_back(std::string(text + start, length));
    return parts;
}

TEST(WinlogonEntry, UserinitAfterFirstCommaShellAfterFirstBlank)
{
    const struct { int (*parse)(const char*, char*, size_t); const char* value;
                   int listed; const char* entry; } cases[] = {
        {UserinitEntry, "C:\\WINDOWS\\system32\\userinit.exe,", 1,
            "C:\\WINDOWS\\system32\\userinit.exe"},
        {UserinitEntry, "userinit.exe,  a.exe,b.exe", 1, "a.exe,b.exe"},
        {UserinitEntry, "userinit.exe", 0, ""},
        {UserinitEntry, "", 0, ""},
        {UserinitEntry, ",", 1, ""},
        {ShellEntry, "Explorer.exe", 1, "Explorer.exe"},
        {ShellEntry, "explorer.exe    other.exe", 1, "other.exe"},
        {ShellEntry, "explorer.exe ", 1, "explorer.exe"},
        {ShellEntry, " ", 0, ""},
    };
    for (const auto& c : cases) {
        char out[64];
        int listed = c.parse(c.value, out, sizeof(out));
        EXPECT_EQ(std::to_string(c.listed) + "|" + c.entry, std::to_string(listed) + "|" + out)
            << c.value;
    }
    char small[5];
    EXPECT_EQ(1, UserinitEntry("u,abcdefgh", small, sizeof(small)));
    EXPECT_STREQ("abcd", small);
    EXPECT_EQ(0, UserinitEntry(nullptr, small, sizeof(small)));
    // Items between separators, empty ones kept; the whole span compared.
    EXPECT_EQ((std::vector<std::string>{ "a", "", "b" }), Split("a;;b;", ";"));
    EXPECT_EQ((std::vector<std::string>{ "a", "b", "c" }), Split("a b,c", ", "));
    EXPECT_TRUE(Split("", ";").empty());
    EXPECT_TRUE(Split(nullptr, ";").empty());
    EXPECT_EQ(3000u, Split(std::string(3000, 'x').c_str(), ";")[0].size());
    EXPECT_EQ(1, SpanEqualsNoCase("abc;ABCD", 0, 3, "ABC"));
    EXPECT_EQ(0, SpanEqualsNoCase("abc;ABCD", 4, 4, "abc"));
    EXPECT_EQ(1, SpanEqualsNoCase("abc;ABCD", 4, 4, "abcd"));
    EXPECT_EQ(0, SpanEqualsNoCase("abc;ABCD", 0, 3, nullptr));
}

static std::string Location(int code, int disabled, size_t size = 160)
{
    char out[160];
    int n = StartupLocationText(code, disabled, out, size);
    EXPECT_EQ((int)strlen(out), n) << code;
    return out;
}

// The status bar's place of an entry: the key of its family and position,
// the fixed places, and the disabled marker first.
TEST(StartupLocation, KeyOfTheCodeAfterTheDisabledMarker)
{
    EXPECT_EQ("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", Location(1, 0));
    EXPECT_EQ("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
              Location(23, 0));
    EXPECT_EQ(" *    Disabled * WIN.INI     [Load] Section", Location(100, 1));
    for (int code : { 6, 7, 16, 27, 31, 35, 0, -1 })
        EXPECT_EQ(" *    Disabled * ", Location(code, 1)) << code;
    EXPECT_EQ("", Location(26, 0));
    EXPECT_EQ("", Location(900, 1));
    EXPECT_EQ(" *  ", Location(1, 1, 5));
}

// A "Time" value as the launcher reads it: anything that is no delay starts
// at once, anything past the dialog's longest at the last step.
TEST(DelayText, TimeValuesAndTheirLaunchStep)
{
    const struct { const char* text; int seconds, step; } times[] = {
        { "", 0, 1 }, { "abc", 0, 1 }, { "-10", 0, 1 }, { "0", 0, 1 }, { "10", 10, 1 },
        { "11", 11, 2 }, { "45", 45, 5 }, { "30x", 30, 3 }, { "99999", 3650, 365 } };
    for (const auto& t : times) {
        EXPECT_EQ(t.seconds, DelaySeconds(t.text)) << t.text;
        EXPECT_EQ(t.step, DelayLaunchStep(DelaySeconds(t.text))) << t.text;
    }
}

std::string DelayTime(int seconds)
{
    char out[64];
    DelayTimeText(seconds, "Min.", "Sec.", out, sizeof(out));
    return out;
}

TEST(DelayText, DelayColumnWithAndWithoutMinutes)
{
    EXPECT_EQ("0 Sec.", DelayTime(0));
    EXPECT_EQ("59 Sec.", DelayTime(59));
    EXPECT_EQ("1 Min. : 0 Sec.", DelayTime(60));
    EXPECT_EQ("60 Min. : 50 Sec.", DelayTime(3650));
}

// A DLL's entry point stays with its parameters, so the line put back
// joins them without a blank.
TEST(DelayText, SplitAndJoinKeepRundllLinesWhole)
{
    char program[64], parameters[64], line[128];
    SplitDelayedCommand("C:\\x.dll,Entry 5", 1, program, 64, parameters, 64);
    EXPECT_STREQ("C:\\x.dll", program);
    EXPECT_STREQ(",Entry 5", parameters);
    DelayedCommandLine(program, parameters, "RunDLL32.exe", line, sizeof(line));
    EXPECT_STREQ("RunDLL32.exe C:\\x.dll,Entry 5", line);
    SplitDelayedCommand("C:\\My App\\a.exe /s", 0, program, 64, parameters, 64);
    EXPECT_STREQ("C:\\My App\\a.exe", program);
    DelayedCommandLine(program, parameters, "", line, sizeof(line));
    EXPECT_STREQ("C:\\My App\\a.exe /s", line);
}
