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

const DWORD kAlertWaitMs = 75000;
const char* const kValueName = "PhotoSyncAgent";

std::string History() { return vxtest::ReadFileText(vxtest::PathInProgramFolder("history.txt")); }
std::string Trace() { return vxtest::ReadFileText(vxtest::PathInProgramFolder("send2qu.txt")); }

size_t CountOf(const std::string& text, const char* part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

HWND WaitForStartupAlert(DWORD timeoutMs)
{
    return vxtest::WaitForWindow("#32770", "Vardex New Program Alert", timeoutMs);
}

class Acceptance : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
        DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
        DeleteFileA(vxtest::PathInProgramFolder("send2qu.txt").c_str());
        // A program of our own with a version resource, in a folder of its
        // own (outside the program folder: the monitor keeps no history of
        // removing its own entries).
        CreateDirectoryA("C:\\PhotoSync", NULL);
        program_ = "C:\\PhotoSync\\PhotoSync.exe";
        CopyFileA(RunningMonitor::Path().c_str(), program_.c_str(), FALSE);
        command_ = program_ + " /background";
        const char* const options[][2] = { { "Start", "1" }, { "Debug", "1" }, { "Sound", "0" } };
        for (const auto& option : options)
            vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, option[0], option[1]);
        ASSERT_TRUE(monitor_.Start()) << "the monitor did not start";
    }

    void TearDown() override
    {
        monitor_.Stop();
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
    }

    // A program that puts itself into HKCU Run, as a setup would; then the
    // monitor is nudged.
    void AddRunValue()
    {
        std::string line = "reg.exe add HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v " +
                           std::string(kValueName) + " /t REG_SZ /d \"" + command_ + "\" /f";
        ASSERT_EQ(0, vxtest::RunProgram(line, 30000)) << line;
        ASSERT_EQ(command_, vxtest::ReadString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName));
        RunningMonitor::Nudge("monitor_test_acceptance.exe", "Helper.DISABLED_StayAWhile");
    }

    bool WaitUntilValueGone(DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName) && GetTickCount() - start < timeoutMs)
            vxtest::PumpMessages(100);
        return !vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
    }

    std::string program_, command_;
    RunningMonitor monitor_;
};

// Started by the nudge: lives for a few seconds and ends.
TEST(Helper, DISABLED_StayAWhile)
{
    Sleep(6000);
}

// "No" removes the value; the program puts itself back at once, twice: the
// third alert parks it instead.
TEST_F(Acceptance, ANewRunValueIsRemovedOnNoAndDisabledAtTheThirdAlert)
{
    AddRunValue();
    for (int round = 1; round <= 3; round++) {
        SCOPED_TRACE(testing::Message() << "alert " << round);
        HWND alert = WaitForStartupAlert(kAlertWaitMs);
        ASSERT_TRUE(alert != NULL) << "no startup alert";
        EXPECT_EQ(command_, vxtest::DialogItemText(alert, 1026));  // the file, as listed
        if (round == 1) {
            EXPECT_EQ("Vardex", vxtest::DialogItemText(alert, 100));  // its product name
            EXPECT_EQ(VX_VERSION_TEXT, vxtest::DialogItemText(alert, 1029));
            EXPECT_EQ("Quillon", vxtest::DialogItemText(alert, 1030));
            EXPECT_NE(std::string::npos,
                      vxtest::DialogItemText(alert, 1036).find("This program will run each time you login"));
        }
        ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
        ASSERT_TRUE(WaitUntilValueGone(10000)) << "the Run value is still there";
        if (round == 1) {
            vxtest::PumpMessages(500);
            EXPECT_EQ(1u, CountOf(History(), ("\t*START_Remove\tCURRENT_RUN\tPhotoSyncAgent\t" + command_).c_str()))
                << History();
        }
        if (round < 3)
            AddRunValue();
    }
    vxtest::PumpMessages(1000);
    // Parked in the Disabled mirror and named in the Disabled index, where
    // the user can enable it again.
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY "\\Run", kValueName, command_.c_str());
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, kValueName, "11");
    EXPECT_EQ(2u, CountOf(History(), "\t*START_Remove\tCURRENT_RUN\t")) << History();
    EXPECT_EQ(3u, CountOf(History(), "\tSTART_Alert\tCURRENT_RUN\tVardex\t")) << History();
}

TEST_F(Acceptance, AcceptedProgramsJoinTheBaselineAndAreNotAskedAgain)
{
    AddRunValue();
    HWND alert = WaitForStartupAlert(kAlertWaitMs);
    ASSERT_TRUE(alert != NULL) << "no startup alert";
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDYES));
    vxtest::PumpMessages(1000);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, command_.c_str(), "11");
    EXPECT_EQ(command_, vxtest::ReadString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName));
    // The next startup patrol passes without a question.
    size_t checks = CountOf(Trace(), "Startup Programs");
    RunningMonitor::Nudge("monitor_test_acceptance.exe", "Helper.DISABLED_StayAWhile");
    for (DWORD start = GetTickCount(); CountOf(Trace(), "Startup Programs") <= checks &&
                                       GetTickCount() - start < kAlertWaitMs + 40000;)
        vxtest::PumpMessages(500);
    ASSERT_GT(CountOf(Trace(), "Startup Programs"), checks) << "no further startup patrol";
    EXPECT_TRUE(WaitForStartupAlert(3000) == NULL) << "asked again about an accepted program";
}

}  // namespace
