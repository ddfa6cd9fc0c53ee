// The process functions against real processes: copies of this program
// started under names of the test's choosing, found, counted and ended.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "support/idle_child.h"
#include "support/vxtest.h"

#include "foundation/options.h"
#include "foundation/processes.h"
#include "foundation/ui.h"

namespace {

std::string Upper(std::string text)
{
    for (char& c : text)
        c = (char)toupper((unsigned char)c);
    return text;
}

std::string SelfPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    return self;
}

int Collect(DWORD id, WORD, const char*, const char* path, void* data)
{
    (*(std::vector<std::pair<DWORD, std::string>>*)data).push_back({ id, path });
    return 1;
}

std::string HistoryText()
{
    return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt"));
}

int g_Answer = 0;
std::vector<std::string> g_Questions;
int ConfirmWith(const char* question)
{
    g_Questions.push_back(question);
    return g_Answer;
}

class Processes : public ::testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        LoadOptions();
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        g_Questions.clear();
        g_Answer = 0;
        UiSeam seam = { NULL, ConfirmWith, NULL, NULL };
        InstallUi(&seam);
        idle_ = vxtest::MakeProgramCopy("vxidle.exe");
        twin_ = vxtest::MakeProgramCopy("twin\\vxidle.exe");
        ASSERT_TRUE(a_.Start(idle_));
        ASSERT_TRUE(b_.Start(twin_));
    }
    void TearDown() override { InstallUi(NULL); }

    std::string idle_, twin_;  // two programs of one file name
    vxtest::IdleChild a_, b_;
};

TEST_F(Processes, EveryProcessOnceWithItsOwnPath)
{
    std::vector<std::pair<DWORD, std::string>> seen;
    ASSERT_EQ(1, EnumProcs(Collect, &seen));
    std::set<DWORD> ids;
    for (const auto& s : seen) {
        EXPECT_TRUE(ids.insert(s.first).second) << "reported twice: " << s.first;
        std::string expected = s.first == GetCurrentProcessId() ? SelfPath()
                               : s.first == a_.Id()             ? idle_
                               : s.first == b_.Id()             ? twin_
                                                                : s.second;
        EXPECT_EQ(Upper(expected), Upper(s.second));
    }
    EXPECT_EQ(3u, ids.count(GetCurrentProcessId()) + ids.count(a_.Id()) + ids.count(b_.Id()));

    // The id list starts at 256 ids and doubles while the system fills it:
    // starting it smaller walks that doubling over the prefix's processes.
    DWORD* read = NULL;
    for (int first : { 1, 2, 3, (int)ids.size() - 1, (int)ids.size() }) {
        int n = ReadAllProcessIds(&read, first);
        std::set<DWORD> got(read, read + (n > 0 ? n : 0));
        FreeProcessIds(read);
        EXPECT_TRUE(got.count(a_.Id()) && got.count(b_.Id()) &&
                    got.count(GetCurrentProcessId())) << "first capacity " << first;
        EXPECT_GE(got.size() + 1, ids.size()) << "first capacity " << first;
    }
}

TEST_F(Processes, MatchingTable)
{
    const struct { const char* path; const char* file; int match; } cases[] = {
        { "C:\\Apps\\Tool.exe", "c:\\apps\\TOOL.EXE", 1 },
        { "C:\\Apps\\Tool.exe", "\"C:\\Apps\\Tool.exe\" /background -x", 1 },
        { "C:\\Apps\\Tool.exe", "tool.EXE", 1 },               // a bare name: any folder
        { "   C:\\Apps\\Tool.exe", "C:\\Apps\\Tool.exe", 1 },  // leading blanks dropped
        { "C:\\Apps\\Tool.exe", "D:\\Apps\\Tool.exe", 0 },     // same name, other folder
        { "C:\\Apps\\Tool.exe", "Tool", 0 },
        { "C:\\Apps\\Tool.exe", "ool.exe", 0 },
        { "C:\\Apps\\Tool.exe", "", 0 },                       // empty wanted file
        { "C:\\Apps\\Tool.exe", NULL, 0 },
        { "", "", 0 },                                         // unreadable path
        { "", "Tool.exe", 0 },
        { NULL, "Tool.exe", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.match, ProcessMatchesFile(c.path, c.file))
            << (c.path ? c.path : "(null)") << " | " << (c.file ? c.file : "(null)");
    EXPECT_EQ(b_.Id(), FindProcessByFile(Upper(twin_).c_str()));
    EXPECT_EQ(a_.Id(), FindProcessByFile(("\"" + idle_ + "\" /quiet").c_str()));
    EXPECT_EQ(0u, FindProcessByFile(""));
    EXPECT_EQ(0u, FindProcessByFile("C:\\Vardex\\nosuch.exe"));
}

// Ending a program: only the process asked for ends, with exit code 1,
// and only an ending that happened is written to the history.
TEST_F(Processes, KillByFileEndsOnlyThatProgram)
{
    EXPECT_EQ(0u, KillProcessByFile("C:\\Vardex\\nosuch.exe", "x", 1));
    EXPECT_EQ(0u, KillProcessByFile("", "x", 0));
    EXPECT_TRUE(g_Questions.empty());

    g_Answer = 0;  // declined: still running, nothing written
    EXPECT_EQ(b_.Id(), KillProcessByFile(twin_.c_str(), "", 1));
    ASSERT_EQ(1u, g_Questions.size());
    EXPECT_NE(std::string::npos, g_Questions[0].find("\n" + twin_ + " is currently an actively"))
        << g_Questions[0];
    EXPECT_TRUE(b_.Running());

    g_Answer = 1;
    EXPECT_EQ(b_.Id(), KillProcessByFile(twin_.c_str(), "Twin Tool", 1));
    EXPECT_NE(std::string::npos, g_Questions[1].find("\nTwin Tool is currently"));
    EXPECT_TRUE(b_.Ended(0)) << "returned before the process ended";
    EXPECT_EQ(1u, b_.ExitCode());
    EXPECT_TRUE(a_.Running());
    std::string history = HistoryText();
    EXPECT_NE(std::string::npos, history.find("TASK_Kill")) << history;
    EXPECT_NE(std::string::npos, history.find("Twin Tool")) << history;

    EXPECT_EQ(1, EndProgramIfRunning(("\"" + idle_ + "\" /minimized").c_str()));
    EXPECT_TRUE(a_.Ended(0));
    EXPECT_EQ(0, EndProgramIfRunning(("\"" + idle_ + "\" /minimized").c_str()));
    EXPECT_EQ(0, EndProgramIfRunning(NULL));
}

// The explorer's kill acts on the id of the entry the user chose, and only
// while that id still runs the entry's program.
TEST_F(Processes, KillByIdChecksTheProgramFirst)
{
    EXPECT_EQ(0, KillProcessById(b_.Id(), idle_.c_str()));  // the id runs another program
    EXPECT_EQ(0, KillProcessById(b_.Id(), ""));
    EXPECT_EQ(0, KillProcessById(0, twin_.c_str()));
    EXPECT_TRUE(b_.Running());
    EXPECT_EQ(1, KillProcessById(b_.Id(), twin_.c_str()));
    EXPECT_TRUE(b_.Ended(0));
    EXPECT_EQ(1u, b_.ExitCode());
    EXPECT_TRUE(a_.Running());
    EXPECT_EQ(0, KillProcessById(b_.Id(), twin_.c_str())) << "an ended process ended again";
    EXPECT_EQ(std::string::npos, HistoryText().find("TASK_Kill"));
}

TEST_F(Processes, CountIsOnePerProgramFile)
{
    int before = CountRunningPrograms();
    vxtest::IdleChild more[3];
    for (auto& child : more)
        ASSERT_TRUE(child.Start(idle_));
    EXPECT_EQ(before, CountRunningPrograms());
    b_.End();
    EXPECT_EQ(before - 1, CountRunningPrograms());
}

// Run as a child under Windows 98 (below): the list comes from the ToolHelp
// snapshot.
TEST(ProcessesChild, DISABLED_ListFromSnapshot)
{
    std::vector<std::pair<DWORD, std::string>> seen;
    EXPECT_EQ(1, EnumProcs(Collect, &seen));
    std::string name = SelfPath().substr(SelfPath().rfind('\\') + 1);
    EXPECT_EQ(GetCurrentProcessId(), FindProcessByFile(name.c_str()));
    EXPECT_GT(CountRunningPrograms(), 0);
}

TEST(ProcessesVersions, Windows98ListsFromTheSnapshot)
{
    std::string copy = vxtest::MakeProgramCopy("procs98.exe");
    const char* key = "Software\\Wine\\AppDefaults\\procs98.exe";
    vxtest::SetString(HKEY_CURRENT_USER, key, "Version", "win98");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                    "--gtest_filter=ProcessesChild.DISABLED_ListFromSnapshot",
                                    90000));
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

}  // namespace
