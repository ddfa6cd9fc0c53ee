// The debug trace: off unless "Debug" is non-zero at start, one INI line
// per note and per timing, and a budget after which nothing is written.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

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
    std::string text = vxtest::ReadFileText(TracePath());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line != "[Trace]")
            lines.push_back(line);
        start = end + 1;
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
};

TEST_F(Trace, WithoutDebugNoFileIsCreated)
{
    TraceStart();
    EXPECT_EQ(9999, g_TraceBudget);
    TraceNote("START", "nothing");
    TraceElapsed();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TracePath().c_str()));

    const char* off[] = { "0", "", "no" };
    for (const char* value : off) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", value);
        TraceStart();
        TraceNote("START", "nothing");
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TracePath().c_str())) << value;
    }
    // A number stored as a DWORD is not the text option.
    vxtest::SetDword(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", 1);
    TraceStart();
    TraceNote("START", "nothing");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(TracePath().c_str()));
}

TEST_F(Trace, ANoteIsOneKeyedLine)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", "1");
    TraceStart();
    EXPECT_EQ(0, g_TraceBudget);
    DWORD before = GetTickCount();
    TraceNote("VERIFY", "Startup Programs");
    DWORD after = GetTickCount();

    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(1u, lines.size());
    unsigned long tick = 0;
    int line = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    ASSERT_EQ(7, sscanf(lines[0].c_str(), "%lu.%d=%2d-%2d  %2d:%2d:%2d %n", &tick, &line, &month,
                        &day, &hour, &minute, &second, &used))
        << lines[0];
    EXPECT_GE(tick, (unsigned long)before);
    EXPECT_LE(tick, (unsigned long)after);
    EXPECT_EQ(1, line);
    EXPECT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23);
    EXPECT_EQ("VERIFY: Startup Programs", lines[0].substr(used));
    EXPECT_EQ(1, g_TraceBudget);
}

TEST_F(Trace, TheTimingLineFollowsTheLastNote)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", "5");
    TraceStart();
    TraceNote("VERIFY", "Services");
    g_TraceFirstPatrol = 1;
    TraceElapsed();
    EXPECT_EQ(0, g_TraceFirstPatrol);
    TraceElapsed();

    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(3u, lines.size());
    // With the first-patrol flag the time is 1; no whole second, no star
    // (the profile functions may drop the trailing blank and tab).
    size_t eq = lines[1].find('=');
    ASSERT_NE(std::string::npos, eq);
    EXPECT_NE(std::string::npos, lines[1].find(".2="));
    std::string value = lines[1].substr(eq + 1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    EXPECT_EQ("**:**:** NanoCycles: Services = 1", value);
    EXPECT_EQ(std::string::npos, value.find('*', 9));
    eq = lines[2].find('=');
    EXPECT_NE(std::string::npos, lines[2].find(".3="));
    EXPECT_EQ(0u, lines[2].find("**:**:** NanoCycles: Services = ", eq + 1) - (eq + 1));
}

TEST_F(Trace, LongTextsAreCutTo255Characters)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", "1");
    TraceStart();
    std::string text(600, 't');
    TraceNote("N", text.c_str());
    TraceElapsed();
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("N: " + std::string(255, 't')));
    EXPECT_EQ(std::string::npos, lines[0].find(std::string(256, 't')));
    EXPECT_NE(std::string::npos, lines[1].find("NanoCycles: " + std::string(255, 't') + " = "));
}

TEST_F(Trace, NothingIsWrittenOnceTheBudgetIsSpent)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", "1");
    TraceStart();
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
}

TEST_F(Trace, WithoutAFileNothingIsWritten)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", "1");
    TraceStart();
    TraceSetFile("");
    TraceNote("A", "b");
    TraceElapsed();
    EXPECT_EQ(0, g_TraceBudget);
}

}  // namespace
