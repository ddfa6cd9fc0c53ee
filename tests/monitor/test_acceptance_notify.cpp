// End to end with the real Vardex.exe: a program that is already running
// (this test; no process starts or ends around the write) writes a Run
// value, and the monitor asks about it long before its first patrol (34 s
// after start), from the registry's change notice alone.  A value deleted
// again half a second later is still asked about.
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "monitor/running_monitor.h"
#include "support/vxtest.h"

namespace {

// Well inside the first patrol, which comes 34 s after the start.
const DWORD kNoticeWaitMs = 20000;
const char* const kValueName = "PhotoSyncAgent";

class NotifyAcceptance : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
        CreateDirectoryA("C:\\PhotoSync", NULL);
        CopyFileA(RunningMonitor::Path().c_str(), "C:\\PhotoSync\\PhotoSync.exe", FALSE);
        SetOptions({ "Start", "1", "Sound", "0" });
        ASSERT_TRUE(monitor_.Start()) << "the monitor did not start";
        vxtest::PumpMessages(2500);  // the start's own notices are settled
    }

    void TearDown() override
    {
        monitor_.Stop();
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
    }

    RunningMonitor monitor_;
};

HWND WaitForStartupAlert()
{
    return vxtest::WaitForWindow("#32770", "Vardex New Program Alert", kNoticeWaitMs);
}

TEST_F(NotifyAcceptance, ARunValueFromARunningProgramIsAskedAboutAtOnce)
{
    vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName, "C:\\PhotoSync\\PhotoSync.exe");
    HWND alert = WaitForStartupAlert();
    ASSERT_TRUE(alert != NULL) << "no alert before the first patrol";
    EXPECT_EQ("C:\\PhotoSync\\PhotoSync.exe", vxtest::DialogItemText(alert, 1026));
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
    vxtest::PumpMessages(500);
    EXPECT_FALSE(vxtest::ValueExists(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName));
}

TEST_F(NotifyAcceptance, AValueRemovedHalfASecondLaterIsStillAskedAbout)
{
    vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName, "C:\\PhotoSync\\PhotoSync.exe");
    Sleep(500);
    RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName);
    HWND alert = WaitForStartupAlert();
    ASSERT_TRUE(alert != NULL) << "the short-lived value was missed";
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
}

}  // namespace
