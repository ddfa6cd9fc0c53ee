// The debug trace: off unless "Debug" is non-zero at start, one INI line
// per note and per timing, and a budget after which nothing is written.
#include <string.h>

#include <vector>

#include "foundation/registry_store.h"
#include "foundation/trace.h"
#include "support/vxtest.h"

namespace {

const std::string kTrace = vxtest::PathInProgramFolder("trace_test.txt");

// The "key=value" lines of the trace file's "Trace" section, as the profile
// functions read them back.
std::vector<std::string> TraceLines()
{
    static char section[1 << 16];
    GetPrivateProfileSectionA("Trace", section, sizeof(section), kTrace.c_str());
    std::vector<std::string> lines;
    for (const char* line = section; *line != '\0'; line += strlen(line) + 1)
        lines.push_back(line);
    return lines;
}

// A fresh trace file, and the option "Debug" as given (NULL: absent).
void StartWithDebug(const char* debug)
{
    vxtest::ResetStore();
    DeleteFileA(kTrace.c_str());
    TraceSetFile(kTrace.c_str());
    if (debug != NULL)
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Debug", debug);
    TraceStart();
}

TEST(Trace, WithoutDebugOrWithoutAFileNameNoFileIsCreated)
{
    // "Debug" absent, zero or not a number; or on, but no file name given.
    for (const char* value : { (const char*)NULL, "0", "no", "1" }) {
        StartWithDebug(value);
        if (value != NULL && value[0] == '1')
            TraceSetFile("");
        TraceNote("START", "nothing");
        TraceElapsed();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kTrace.c_str()))
            << (value ? value : "absent");
        EXPECT_EQ(value != NULL && value[0] == '1' ? 0 : 9999, g_TraceBudget) << "nothing counted";
    }
    StartWithDebug("5");
    TraceNote("VERIFY", "Services");
    g_TraceFirstPatrol = 1;
    TraceElapsed();
    EXPECT_EQ(0, g_TraceFirstPatrol);
    TraceElapsed(), TraceNote("N", std::string(600, 't').c_str()), TraceElapsed();
    g_TraceBudget = 8999;
    TraceNote("A", "9000"), TraceNote("B", "9001"), TraceNote("C", "too many"), TraceElapsed();

    // "<tick>.<line>=MM-DD  hh:mm:ss VERIFY: Services", then the timings:
    // with the first-patrol flag the time is 1 (no whole second, no star).
    std::vector<std::string> lines = TraceLines();
    ASSERT_EQ(7u, lines.size());
    auto from
        = [&lines](size_t i) { return lines[i].substr(lines[i].find('.')); }; // ".<line>=<value>"
    // (The stamp's layout is the trace reader's business, not checked here.)
    EXPECT_TRUE(from(0).find(".1=") == 0) << lines[0];
    EXPECT_TRUE(from(0).find(" VERIFY: Services") == 18) << lines[0];
    EXPECT_EQ(".2=**:**:** NanoCycles: Services = 1", from(1));
    EXPECT_EQ(0u, from(2).find(".3=**:**:** NanoCycles: Services = "));
    // Long texts are cut to 255 characters.
    EXPECT_EQ(" N: " + std::string(255, 't'), lines[3].substr(lines[3].size() - 259));
    EXPECT_EQ(0u, from(4).find(".5=**:**:** NanoCycles: " + std::string(255, 't') + " = "));
    EXPECT_EQ(".9000=.9001=", from(5).substr(0, 6) + from(6).substr(0, 6));
}

}  // namespace
