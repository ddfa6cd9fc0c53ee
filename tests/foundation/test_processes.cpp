// The process functions against real processes: copies of this program
// started under names of the test's choosing, found and ended.
#include <set>

#include "support/idle_child.h"
#include "support/scripted_ui.h"
#include "support/vxtest.h"

#include "foundation/options.h"
#include "foundation/processes.h"

namespace {

typedef std::vector<std::pair<DWORD, std::string>> Seen;

int Collect(DWORD id, WORD, const char*, const char* path, void* data)
{
    ((Seen*)data)->push_back({ id, path });
    return 1;
}
bool Has(const std::string& text, const std::string& part) { return text.find(part) != text.npos; }
bool Killed()
{
    return Has(vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt")), "TASK_Kill");
}

struct Processes : ::testing::Test {
    void SetUp() override
    {
        LoadOptions();
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        idle_ = vxtest::MakeProgramCopy("vxidle.exe");
        twin_ = vxtest::MakeProgramCopy("twin\\vxidle.exe");
        ASSERT_TRUE(a_.Start(idle_));
        ASSERT_TRUE(b_.Start(twin_));
    }
    std::string idle_, twin_;  // two programs of one file name
    vxtest::IdleChild a_, b_;
    vxtest::ScriptedUi user_;
};

TEST_F(Processes, EveryProcessOnceAndMatchedByItsFile)
{
    Seen seen;
    ASSERT_EQ(1, EnumProcs(Collect, &seen));
    std::set<DWORD> ids;
    for (const auto& s : seen)
        EXPECT_TRUE(ids.insert(s.first).second) << "reported twice: " << s.first;
    // The id list doubles while the system fills it: a small first
    // capacity walks that doubling over the prefix's processes.
    for (int first : { 1, (int)ids.size() - 1, (int)ids.size() }) {
        DWORD* read = NULL;
        int n = ReadAllProcessIds(&read, first);
        std::set<DWORD> got(read, read + (n > 0 ? n : 0));
        FreeProcessIds(read);
        EXPECT_TRUE(got.count(a_.Id()) && got.count(b_.Id()) && got.size() + 1 >= ids.size())
            << first;
    }

    const struct { const char* path; const char* file; int match;
    } cases[] = {
        {"C:\\Apps\\Tool.exe", "\"c:\\apps\\TOOL.EXE\" /background -x", 1},
        {"C:\\Apps\\Tool.exe", "tool.EXE", 1}, // a bare name: any folder
        {"   C:\\Apps\\Tool.exe", "C:\\Apps\\Tool.exe", 1}, // leading blanks dropped
        {"C:\\Apps\\Tool.exe", "D:\\Apps\\Tool.exe", 0}, // same name, other folder
        {"C:\\Apps\\Tool.exe", "ool.exe", 0}, {"", "", 0},
        {"", "Tool.exe", 0}, // an unreadable path
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.match, ProcessMatchesFile(c.path, c.file)) << c.path << " | " << c.file;
    EXPECT_EQ(a_.Id(), FindProcessByFile(("\"" + idle_ + "\" /quiet").c_str()));
    // Only the process asked for ends, with exit code 1; an id only while it
    // still runs the entry's program; and only an ending by file, that
    // happened, is written to the history.
    // The id runs another program; no id.
    EXPECT_TRUE(
        KillProcessById(b_.Id(), idle_.c_str()) == 0 && KillProcessById(0, twin_.c_str()) == 0);
    EXPECT_TRUE(b_.Running());
    EXPECT_TRUE(KillProcessById(b_.Id(), twin_.c_str()) == 1);
    EXPECT_TRUE(b_.Ended(0));
    EXPECT_EQ(0, KillProcessById(b_.Id(), twin_.c_str())) << "an ended process ended again";
    EXPECT_FALSE(Killed());

    ASSERT_TRUE(b_.Start(twin_));
    EXPECT_EQ(0u, KillProcessByFile("", "x", 0));
    EXPECT_EQ(b_.Id(), KillProcessByFile(twin_.c_str(), "", 1));  // declined
    ASSERT_EQ(1u, user_.confirmations.size());
    EXPECT_TRUE(Has(user_.confirmations[0], "\n" + twin_ + " is currently an actively"));
    EXPECT_TRUE(b_.Running());
    EXPECT_TRUE(!Killed());
    user_.confirm = 1;
    EXPECT_EQ(b_.Id(), KillProcessByFile(twin_.c_str(), "Twin Tool", 1));
    EXPECT_TRUE(Has(user_.confirmations[1], "\nTwin Tool is currently"));
    EXPECT_TRUE(b_.Ended(0)) << "returned before the process ended";
    EXPECT_TRUE(b_.ExitCode() == 1);
    EXPECT_TRUE(a_.Running());
    EXPECT_TRUE(Killed()) << b_.ExitCode();

    EXPECT_TRUE(EndProgramIfRunning(("\"" + idle_ + "\" /minimized").c_str()) == 1);
    EXPECT_TRUE(a_.Ended(0));
    EXPECT_EQ(0, EndProgramIfRunning(NULL));
}

// Walks keep what they read of each process: an ended process leaves the
// list (though a kept handle keeps its object), a new one joins it under
// its own path.
TEST_F(Processes, KeptPathsFollowEveryChange)
{
    auto pathOf = [](DWORD id) {
        Seen seen;
        EnumProcs(Collect, &seen);
        for (const auto& s : seen)
            if (s.first == id)
                return s.second;
        return std::string("<not listed>");
    };
    for (int round = 0; round < 4; round++) {
        DWORD old = b_.Id();
        std::string program = round % 2 ? idle_ : twin_;
        b_.End();
        ASSERT_TRUE(b_.Start(program));
        EXPECT_TRUE(_stricmp(program.c_str(), pathOf(b_.Id()).c_str()) == 0) << round;
        EXPECT_TRUE(_stricmp(idle_.c_str(), pathOf(a_.Id()).c_str()) == 0) << round;
        if (old != b_.Id()) {
            EXPECT_EQ("<not listed>", pathOf(old)) << "an ended process listed, round " << round;
        }
    }
}

// Run as a child under Windows 98 (below): the list comes from the ToolHelp
// snapshot.
TEST(ProcessesChild, DISABLED_ListFromSnapshot)
{
    EXPECT_EQ(GetCurrentProcessId(), FindProcessByFile("procs98.exe"));
}

TEST(ProcessesVersions, Windows98ListsFromTheSnapshot)
{
    std::string copy = vxtest::MakeProgramCopy("procs98.exe");
    vxtest::SetString(
        HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\procs98.exe", "Version", "win98");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                    "--gtest_filter=ProcessesChild.*", 90000));
}

}  // namespace
