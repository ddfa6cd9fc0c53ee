// End to end, with real processes: Vardex.exe runs from C:\Vardex, a
// program adds itself to HKCU Run through Wine's own reg.exe, the monitor's
// patrol finds it, and the test answers the startup alert as a user would.
//
// With the option "Start" = 1 the startup programs are checked on every
// first-half patrol, so an alert comes within 34 s to 102 s of the
// monitor's start by the schedule alone; after each change the test nudges
// the monitor ("RealtimeStartup", on by default), so the alert usually
// comes within a few seconds.  The waits allow for the schedule (75 s) in
// case the notice is missed.
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "resources/vardex_version.h"
#include "monitor/running_monitor.h"
#include "support/vxtest.h"

namespace {

const char* kRunKeyText = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const DWORD kAlertWaitMs = 75000;

std::string MonitorPath()
{
    return RunningMonitor::Path();
}

std::string HistoryPath()
{
    return vxtest::PathInProgramFolder("history.txt");
}

std::string TracePath()
{
    return vxtest::PathInProgramFolder("send2qu.txt");
}

// A program of our own with a version resource, in a folder of its own
// (outside the program folder: the monitor keeps no history of removing
// its own entries): Vardex.exe copied as PhotoSync.exe.
std::string MakeProgram()
{
    std::string folder = "C:\\PhotoSync";
    CreateDirectoryA(folder.c_str(), NULL);
    std::string program = folder + "\\PhotoSync.exe";
    CopyFileA(MonitorPath().c_str(), program.c_str(), FALSE);
    return program;
}

size_t CountOf(const std::string& text, const char* part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

class Acceptance : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
        DeleteFileA(HistoryPath().c_str());
        DeleteFileA(TracePath().c_str());
        program_ = MakeProgram();
        command_ = program_ + " /background";
        const char* options = VX_OPTIONS_KEY;
        vxtest::SetString(HKEY_CURRENT_USER, options, "Start", "1");
        vxtest::SetString(HKEY_CURRENT_USER, options, "Debug", "1");
        vxtest::SetString(HKEY_CURRENT_USER, options, "Sound", "0");
    }

    void TearDown() override
    {
        StopMonitor();
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
    }

    void StartMonitor() { ASSERT_TRUE(monitor_.Start()) << "the monitor did not start"; }
    void StopMonitor() { monitor_.Stop(); }

    // A program that puts itself into HKCU Run, as a setup would.
    void AddRunValue()
    {
        std::string line = std::string("reg.exe add ") + kRunKeyText + " /v " + kValueName +
                           " /t REG_SZ /d \"" + command_ + "\" /f";
        ASSERT_EQ(0, vxtest::RunProgram(line, 30000)) << line;
        ASSERT_EQ(command_, vxtest::ReadString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName));
    }

    void NudgeMonitor()
    {
        RunningMonitor::Nudge("monitor_test_acceptance.exe", "Helper.DISABLED_StayAWhile");
    }

    HWND WaitForStartupAlert(DWORD timeoutMs)
    {
        return vxtest::WaitForWindow("#32770", "Vardex New Program Alert", timeoutMs);
    }

    bool WaitUntilValueGone(DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName)) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            vxtest::PumpMessages(100);
        }
        return true;
    }

    void Answer(HWND alert, int button) { ASSERT_TRUE(RunningMonitor::Answer(alert, button)); }

    static constexpr const char* kValueName = "PhotoSyncAgent";
    std::string program_;
    std::string command_;
    RunningMonitor monitor_;
};

// Started by NudgeMonitor: lives for a few seconds and ends.
TEST(Helper, DISABLED_StayAWhile)
{
    Sleep(6000);
}

TEST_F(Acceptance, ANewRunValueIsAskedAboutAndRemovedOnNo)
{
    StartMonitor();
    AddRunValue();
    NudgeMonitor();
    HWND alert = WaitForStartupAlert(kAlertWaitMs);
    ASSERT_TRUE(alert != NULL) << "no startup alert";

    EXPECT_EQ(command_, vxtest::DialogItemText(alert, 1026));  // the file, as listed
    EXPECT_EQ("Vardex", vxtest::DialogItemText(alert, 100));   // its product name
    EXPECT_EQ(VX_VERSION_TEXT, vxtest::DialogItemText(alert, 1029));
    EXPECT_EQ("Quillon", vxtest::DialogItemText(alert, 1030));
    EXPECT_NE(std::string::npos, vxtest::DialogItemText(alert, 1036).find(
                                     "This program will run each time you login"));
    Answer(alert, IDNO);

    EXPECT_TRUE(WaitUntilValueGone(10000)) << "the Run value is still there";
    vxtest::PumpMessages(500);
    std::string history = vxtest::ReadFileText(HistoryPath());
    EXPECT_NE(std::string::npos, history.find("\t*START_Remove\tCURRENT_RUN\t")) << history;
    EXPECT_NE(std::string::npos, history.find(program_)) << history;
    EXPECT_NE(std::string::npos, history.find("\tSTART_Alert\tCURRENT_RUN\tVardex\t")) << history;
}

TEST_F(Acceptance, AcceptedProgramsJoinTheBaselineAndAreNotAskedAgain)
{
    StartMonitor();
    AddRunValue();
    NudgeMonitor();
    HWND alert = WaitForStartupAlert(kAlertWaitMs);
    ASSERT_TRUE(alert != NULL) << "no startup alert";
    Answer(alert, IDYES);
    vxtest::PumpMessages(1000);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, command_.c_str(), "11");
    EXPECT_EQ(command_, vxtest::ReadString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName));

    // The next startup patrol passes without a question.
    size_t checks = CountOf(vxtest::ReadFileText(TracePath()), "Startup Programs");
    NudgeMonitor();
    DWORD start = GetTickCount();
    while (CountOf(vxtest::ReadFileText(TracePath()), "Startup Programs") <= checks
           && GetTickCount() - start < kAlertWaitMs + 40000)
        vxtest::PumpMessages(500);
    ASSERT_GT(CountOf(vxtest::ReadFileText(TracePath()), "Startup Programs"), checks)
        << "no further startup patrol";
    EXPECT_TRUE(WaitForStartupAlert(3000) == NULL) << "asked again about an accepted program";
}

TEST_F(Acceptance, AProgramThatFightsBackIsDisabledAtTheThirdAlert)
{
    StartMonitor();
    AddRunValue();
    NudgeMonitor();
    for (int round = 1; round <= 3; round++) {
        SCOPED_TRACE(testing::Message() << "alert " << round);
        HWND alert = WaitForStartupAlert(kAlertWaitMs);
        ASSERT_TRUE(alert != NULL) << "no startup alert";
        EXPECT_EQ(command_, vxtest::DialogItemText(alert, 1026));
        Answer(alert, IDNO);
        ASSERT_TRUE(WaitUntilValueGone(10000));
        if (round < 3) {
            // The program puts itself back at once.
            AddRunValue();
            NudgeMonitor();
        }
    }
    vxtest::PumpMessages(1000);
    // Not removed this time: parked in the Disabled mirror and named in the
    // Disabled index, where the user can enable it again.
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY "\\Run", kValueName, command_.c_str());
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, kValueName, "11");
    std::string history = vxtest::ReadFileText(HistoryPath());
    EXPECT_EQ(2u, CountOf(history, "\t*START_Remove\tCURRENT_RUN\t")) << history;
    EXPECT_EQ(3u, CountOf(history, "\tSTART_Alert\tCURRENT_RUN\t")) << history;
}

}  // namespace
