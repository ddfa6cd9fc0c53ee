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
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return text;
}

std::string SelfPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof(self));
    return self;
}

struct Seen {
    DWORD id;
    WORD task;
    std::string path;
};

int Collect(DWORD id, WORD task, const char*, const char* path, void* data)
{
    ((std::vector<Seen>*)data)->push_back({ id, task, path });
    return 1;
}

std::vector<Seen> AllProcesses()
{
    std::vector<Seen> seen;
    EXPECT_EQ(1, EnumProcs(Collect, &seen));
    return seen;
}

std::string HistoryText()
{
    return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt"));
}

// The UI seam's answer to every confirmation, and what it was asked.
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
        ASSERT_FALSE(idle_.empty());
        ASSERT_FALSE(twin_.empty());
    }
    void TearDown() override { InstallUi(NULL); }

    std::string idle_, twin_;
};

// --- Enumeration ------------------------------------------------------------------------

TEST_F(Processes, EveryProcessIsReportedWithItsOwnPath)
{
    vxtest::IdleChild a, b;
    ASSERT_TRUE(a.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    std::vector<Seen> seen = AllProcesses();
    std::set<DWORD> ids;
    for (const Seen& s : seen) {
        ids.insert(s.id);
        EXPECT_EQ(0, s.task);
        if (s.id == GetCurrentProcessId()) {
            EXPECT_EQ(Upper(SelfPath()), Upper(s.path));
        } else if (s.id == a.Id()) {
            EXPECT_EQ(Upper(idle_), Upper(s.path));
        } else if (s.id == b.Id()) {
            EXPECT_EQ(Upper(twin_), Upper(s.path));
        }
    }
    EXPECT_EQ(seen.size(), ids.size()) << "a process reported twice";
    EXPECT_EQ(1u, ids.count(GetCurrentProcessId()));
    EXPECT_EQ(1u, ids.count(a.Id()));
    EXPECT_EQ(1u, ids.count(b.Id()));
}

int StopAtFirst(DWORD, WORD, const char*, const char*, void* data)
{
    (*(int*)data)++;
    return 0;
}

TEST_F(Processes, CallbackEndsTheEnumeration)
{
    int calls = 0;
    EXPECT_EQ(1, EnumProcs(StopAtFirst, &calls));
    EXPECT_EQ(1, calls);
    EXPECT_EQ(0, EnumProcs(NULL, NULL));
}

// The id list starts at 256 ids and doubles while the system fills it;
// starting it smaller walks the same doubling over the few processes a
// test prefix has.
TEST_F(Processes, IdListGrowsUntilEveryIdFits)
{
    vxtest::IdleChild a;
    ASSERT_TRUE(a.Start(idle_));
    DWORD* ids = NULL;
    int full = ReadAllProcessIds(&ids, 256);
    ASSERT_GT(full, 2);
    std::set<DWORD> expected(ids, ids + full);
    FreeProcessIds(ids);
    for (int first : { 1, 2, 3, full - 1, full, full + 1 }) {
        int n = ReadAllProcessIds(&ids, first);
        ASSERT_NE(nullptr, ids);
        EXPECT_EQ(expected, std::set<DWORD>(ids, ids + n)) << "first capacity " << first;
        FreeProcessIds(ids);
    }
    EXPECT_EQ(-1, ReadAllProcessIds(NULL, 1));
}

// --- Matching a program --------------------------------------------------------------

TEST_F(Processes, MatchingTable)
{
    const struct { const char* path; const char* file; int match; } cases[] = {
        { "C:\\Apps\\Tool.exe", "C:\\Apps\\Tool.exe", 1 },
        { "C:\\Apps\\Tool.exe", "c:\\apps\\TOOL.EXE", 1 },
        { "C:\\Apps\\Tool.exe", "\"C:\\Apps\\Tool.exe\" /background -x", 1 },
        { "C:\\Apps\\Tool.exe", "Tool.exe", 1 },               // a bare name: any folder
        { "C:\\Apps\\Tool.exe", "tool.EXE", 1 },
        { "   C:\\Apps\\Tool.exe", "C:\\Apps\\Tool.exe", 1 },  // leading blanks dropped
        { "C:\\Apps\\Tool.exe", "D:\\Apps\\Tool.exe", 0 },     // same name, other folder
        { "C:\\Apps\\Tool.exe", "Tool", 0 },
        { "C:\\Apps\\Tool.exe", "ool.exe", 0 },
        { "C:\\Apps\\Tool.exe", "C:\\Apps", 0 },
        { "C:\\Apps\\Tool.exe", "", 0 },                       // empty wanted file
        { "C:\\Apps\\Tool.exe", NULL, 0 },
        { "", "", 0 },                                         // unreadable path
        { "", "Tool.exe", 0 },
        { NULL, "Tool.exe", 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.match, ProcessMatchesFile(c.path, c.file))
            << (c.path ? c.path : "(null)") << " | " << (c.file ? c.file : "(null)");
}

TEST_F(Processes, FindsTheProcessOfTheFileAsked)
{
    vxtest::IdleChild a, b;
    ASSERT_TRUE(a.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    EXPECT_EQ(a.Id(), FindProcessByFile(idle_.c_str()));
    EXPECT_EQ(b.Id(), FindProcessByFile(twin_.c_str()));
    EXPECT_EQ(b.Id(), FindProcessByFile(Upper(twin_).c_str()));
    EXPECT_EQ(a.Id(), FindProcessByFile(("\"" + idle_ + "\" /quiet").c_str()));
    DWORD either = FindProcessByFile("vxidle.exe");
    EXPECT_TRUE(either == a.Id() || either == b.Id()) << either;
    EXPECT_EQ(GetCurrentProcessId(), FindProcessByFile(SelfPath().c_str()));
    EXPECT_EQ(0u, FindProcessByFile(""));
    EXPECT_EQ(0u, FindProcessByFile(NULL));
    EXPECT_EQ(0u, FindProcessByFile("C:\\Vardex\\nosuch.exe"));
    a.End();
    EXPECT_EQ(0u, FindProcessByFile(idle_.c_str()));
}

// --- Ending -------------------------------------------------------------------------------

TEST_F(Processes, KillByFileEndsOnlyThatProgramWithExitCodeOne)
{
    vxtest::IdleChild a, b;
    ASSERT_TRUE(a.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    EXPECT_EQ(b.Id(), KillProcessByFile(twin_.c_str(), "Twin Tool", 0));
    EXPECT_TRUE(b.Ended(0)) << "KillProcessByFile returned before the process ended";
    EXPECT_EQ(1u, b.ExitCode());
    EXPECT_TRUE(a.Running());
    std::string history = HistoryText();
    EXPECT_NE(std::string::npos, history.find("TASK_Kill")) << history;
    EXPECT_NE(std::string::npos, history.find("Twin Tool")) << history;
    EXPECT_TRUE(g_Questions.empty());
}

TEST_F(Processes, KillByFileAsksFirstWhenTold)
{
    const struct { int answer; bool ends; } cases[] = { { 0, false }, { 1, true } };
    for (const auto& c : cases) {
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        g_Questions.clear();
        g_Answer = c.answer;
        vxtest::IdleChild a;
        ASSERT_TRUE(a.Start(idle_));
        EXPECT_EQ(a.Id(), KillProcessByFile("vxidle.exe", "Idle Tool", 1)) << c.answer;
        ASSERT_EQ(1u, g_Questions.size());
        EXPECT_NE(std::string::npos,
                  g_Questions[0].find("Idle Tool is currently an actively running program"))
            << g_Questions[0];
        EXPECT_EQ(c.ends, a.Ended(0)) << c.answer;
        EXPECT_EQ(c.ends, HistoryText().find("TASK_Kill") != std::string::npos) << c.answer;
    }
    // Without a name the question names the file.
    g_Questions.clear();
    g_Answer = 0;
    vxtest::IdleChild a;
    ASSERT_TRUE(a.Start(idle_));
    KillProcessByFile(idle_.c_str(), "", 1);
    ASSERT_EQ(1u, g_Questions.size());
    EXPECT_NE(std::string::npos, g_Questions[0].find(idle_ + " is currently")) << g_Questions[0];
}

TEST_F(Processes, NothingRunningNothingEnded)
{
    vxtest::IdleChild a;
    ASSERT_TRUE(a.Start(idle_));
    EXPECT_EQ(0u, KillProcessByFile("C:\\Vardex\\nosuch.exe", "x", 1));
    EXPECT_EQ(0u, KillProcessByFile("", "x", 0));
    EXPECT_EQ(0, EndProgramIfRunning(""));
    EXPECT_EQ(0, EndProgramIfRunning(NULL));
    EXPECT_TRUE(g_Questions.empty());
    EXPECT_TRUE(a.Running());
    EXPECT_EQ(std::string::npos, HistoryText().find("TASK_Kill"));
}

TEST_F(Processes, EndProgramIfRunningTakesACommandLine)
{
    vxtest::IdleChild a, b;
    ASSERT_TRUE(a.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    EXPECT_EQ(1, EndProgramIfRunning(("\"" + idle_ + "\" /minimized").c_str()));
    EXPECT_TRUE(a.Ended(0));
    EXPECT_TRUE(b.Running());
    EXPECT_EQ(0, EndProgramIfRunning(("\"" + idle_ + "\" /minimized").c_str()));
    EXPECT_TRUE(b.Running());
}

// The explorer's kill acts on the id of the entry the user chose, and only
// while that id still runs the entry's program.
TEST_F(Processes, KillByIdChecksTheProgramFirst)
{
    vxtest::IdleChild a, b;
    ASSERT_TRUE(a.Start(idle_));
    ASSERT_TRUE(b.Start(twin_));
    const struct { DWORD id; std::string path; int result; } refused[] = {
        { b.Id(), idle_, 0 },           // the id now runs another program
        { b.Id(), "", 0 },
        { b.Id(), "nosuch.exe", 0 },
        { 0, twin_, 0 },
    };
    for (const auto& c : refused)
        EXPECT_EQ(c.result, KillProcessById(c.id, c.path.c_str())) << c.path;
    EXPECT_TRUE(a.Running());
    EXPECT_TRUE(b.Running());
    EXPECT_EQ(1, KillProcessById(b.Id(), twin_.c_str()));
    EXPECT_TRUE(b.Ended(0));
    EXPECT_EQ(1u, b.ExitCode());
    EXPECT_TRUE(a.Running());
    EXPECT_EQ(0, KillProcessById(b.Id(), twin_.c_str())) << "an ended process ended again";
    EXPECT_EQ(std::string::npos, HistoryText().find("TASK_Kill"));
}

// --- Counting ---------------------------------------------------------------------------------

TEST_F(Processes, CountIsOnePerProgramFile)
{
    int before = CountRunningPrograms();
    EXPECT_GT(before, 0);
    vxtest::IdleChild a1, a2, a3, b;
    ASSERT_TRUE(a1.Start(idle_));
    EXPECT_EQ(before + 1, CountRunningPrograms());
    ASSERT_TRUE(a2.Start(idle_));
    ASSERT_TRUE(a3.Start(idle_));
    EXPECT_EQ(before + 1, CountRunningPrograms());
    ASSERT_TRUE(b.Start(twin_));
    EXPECT_EQ(before + 2, CountRunningPrograms());
    a1.End();
    a2.End();
    a3.End();
    EXPECT_EQ(before + 1, CountRunningPrograms());
}

// --- Windows 95/98/Me ---------------------------------------------------------------------------

// Run as a child under Windows 98 (below): the list comes from the ToolHelp
// snapshot.
TEST(ProcessesChild, DISABLED_ListFromSnapshot)
{
    std::vector<Seen> seen = AllProcesses();
    bool self = false;
    for (const Seen& s : seen)
        if (s.id == GetCurrentProcessId())
            self = !s.path.empty();
    EXPECT_TRUE(self);
    std::string name = SelfPath().substr(SelfPath().rfind('\\') + 1);
    EXPECT_EQ(GetCurrentProcessId(), FindProcessByFile(name.c_str()));
    EXPECT_GT(CountRunningPrograms(), 0);
}

TEST(ProcessesVersions, Windows98ListsFromTheSnapshot)
{
    std::string copy = vxtest::MakeProgramCopy("procs98.exe");
    ASSERT_FALSE(copy.empty());
    const char* key = "Software\\Wine\\AppDefaults\\procs98.exe";
    vxtest::SetString(HKEY_CURRENT_USER, key, "Version", "win98");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                    "--gtest_filter=ProcessesChild.DISABLED_ListFromSnapshot",
                                    90000));
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

}  // namespace
