// The debug trace: off unless "Debug" is non-zero at start, one INI line
// per note and per timing, and a budget after which nothing is written.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <sstream>
#include <string>
#include <vector>

#include "foundation/registry_store.h"
#include "foundation/trace.h"
#include "support/vxtest.h"

namespace {

std::string TracePath()
{
    return vxtest::PathInProgramFolder("trace_test.txt");
}

// The lines of the trace file's "Trace" section, without the header.
std::vector<std::string> TraceLines()
{
    std::vector<std::string> lines;
    std::istringstream text(vxtest::ReadFileText(TracePath()));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line != "[Trace]")
            lines.push_back(line);
    }
    return lines;
}

class Trace : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        DeleteFileA(TracePath().c_str());
        TraceSetFile(TracePath().c_str());
        g_TraceFirstPatrol = 0;
    }
    void TearDown() override
    {
        g_TraceBudget = 9999;
        DeleteFileA(TracePath().c_str());
    }
    void StartWithDebug(const char* value)
    {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", value);
        TraceStart();
    }
};

TEST_F(Trace, WithoutDebugNoFileIsCreated)
{
    // Absent, zero, empty, not a number, and a DWORD (not the text option).
    const char* off[] = { "absent", "0", "", "no", "dword" };
    for (const char* value : off) {
        if (strcmp(value, "dword") == 0)
            vxtest::SetDword(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", 1);
        else if (strcmp(value, "absent") != 0)
            vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", value);
        TraceStart();
        EXPECT_EQ(9999, g_TraceBudget) << value;
        TraceNote("START", "nothing");
        TraceElapsed();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TracePath().c_str())) << value;
    }
}

// The value of a trace line, without the trailing blank and tab that the
// profile functions may drop.
std::string ValueOf(const std::string& line)
{
    std::string value = line.substr(line.find('=') + 1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    return value;
}

TEST_F(Trace, ANoteThenTheTimingLinesThatFollowIt)
{
    StartWithDebug("5");
    EXPECT_EQ(0, g_TraceBudget);
    DWORD before = GetTickCount();
    TraceNote("VERIFY", "Services");
    DWORD after = GetTickCount();
    g_TraceFirstPatrol = 1;
    TraceElapsed();
    EXPECT_EQ(0, g_TraceFirstPatrol);
    TraceElapsed();
    EXPECT_EQ(3, g_TraceBudget);

    // "<tick>.<line>=MM-DD  hh:mm:ss VERIFY: Services", then the timings:
    // with the first-patrol flag the time is 1 (no whole second, no star).
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(3u, lines.size());
    unsigned long tick = 0;
    int line = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    ASSERT_EQ(7, sscanf(lines[0].c_str(), "%lu.%d=%2d-%2d  %2d:%2d:%2d %n", &tick, &line, &month,
                        &day, &hour, &minute, &second, &used)) << lines[0];
    EXPECT_TRUE(tick >= before && tick <= after) << tick;
    EXPECT_EQ(1, line);
    EXPECT_EQ("VERIFY: Services", lines[0].substr(used));
    EXPECT_NE(std::string::npos, lines[1].find(".2="));
    EXPECT_EQ("**:**:** NanoCycles: Services = 1", ValueOf(lines[1]));
    EXPECT_NE(std::string::npos, lines[2].find(".3="));
    EXPECT_EQ(0u, ValueOf(lines[2]).find("**:**:** NanoCycles: Services = "));
}

TEST_F(Trace, LongTextsAreCutTo255Characters)
{
    StartWithDebug("1");
    TraceNote("N", std::string(600, 't').c_str());
    TraceElapsed();
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("N: " + std::string(255, 't')));
    EXPECT_EQ(std::string::npos, lines[0].find(std::string(256, 't')));
    EXPECT_NE(std::string::npos, lines[1].find("NanoCycles: " + std::string(255, 't') + " = "));
}

TEST_F(Trace, NothingIsWrittenOnceTheBudgetIsSpentOrWithoutAFile)
{
    StartWithDebug("1");
    g_TraceBudget = 8999;
    TraceNote("A", "9000");
    TraceNote("B", "9001");
    TraceNote("C", "too many");
    TraceElapsed();
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(".9000="));
    EXPECT_NE(std::string::npos, lines[1].find(".9001="));
    EXPECT_EQ(9001, g_TraceBudget);

    DeleteFileA(TracePath().c_str());
    TraceStart();
    TraceSetFile("");
    TraceNote("A", "b");
    TraceElapsed();
    EXPECT_EQ(0, g_TraceBudget);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TracePath().c_str()));
}

}  // namespace
