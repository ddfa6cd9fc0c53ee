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
#include "monitor/running_monitor.h"
#include "support/vxtest.h"

namespace {

const DWORD kAlertWaitMs = 75000;
const char* const kValueName = "PhotoSyncAgent";

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
        // A program of our own with a version resource, in a folder of its
        // own (outside the program folder: the monitor keeps no history of
        // removing its own entries).
        CreateDirectoryA("C:\\PhotoSync", NULL);
        program_ = "C:\\PhotoSync\\PhotoSync.exe";
        CopyFileA(RunningMonitor::Path().c_str(), program_.c_str(), FALSE);
        command_ = program_ + " /background";
        SetOptions({ "Start", "1", "Sound", "0" });
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
        std::string line = "reg.exe add HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v "
            + std::string(kValueName) + " /t REG_SZ /d \"" + command_ + "\" /f";
        ASSERT_EQ(0, vxtest::RunProgram(line, 30000)) << line;
        RunningMonitor::Nudge();
    }

    bool WaitUntilValueGone(DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName)
            && GetTickCount() - start < timeoutMs)
            vxtest::PumpMessages(100);
        return !vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
    }

    std::string program_, command_;
    RunningMonitor monitor_;
};

// "Yes" keeps the value and baselines it.  Pointed at another command, it
// is asked about again, and "No" removes it.  (The third alert about one
// command parks it: test_vardex.)
TEST_F(Acceptance, AcceptedThenANewCommandIsRemovedOnNo)
{
    AddRunValue();
    HWND alert = WaitForStartupAlert(kAlertWaitMs);
    ASSERT_TRUE(alert != NULL) << "no startup alert";
    // The file, as listed (what else the alert shows: test_alerts).
    EXPECT_EQ(command_, vxtest::DialogItemText(alert, 1026));
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDYES));
    vxtest::PumpMessages(1000);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, command_.c_str(), "11");
    EXPECT_EQ(command_, vxtest::ReadString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName));
    command_ = program_ + " /other";
    AddRunValue();
    alert = WaitForStartupAlert(kAlertWaitMs);
    ASSERT_TRUE(alert != NULL) << "no alert about the new command";
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
    EXPECT_TRUE(WaitUntilValueGone(10000)) << "the Run value is still there";
}

}  // namespace
