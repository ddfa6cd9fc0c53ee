// End to end, with the real Vardex.exe: a command that arrives while an
// alert is open (the tray's autostart toggle, which lists the startup
// programs) does not change what the patrol goes on to act on.  (Baselines
// lost while the monitor runs: test_category; rebuilt by a new version or
// "Cleanup": test_initialize.)
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "monitor/monitor.h"
#include "monitor/running_monitor.h"
#include "resources/monitor_resource.h"
#include "support/vxtest.h"

namespace {

const DWORD kPatrolWaitMs = 110000;

// Two new hidden files; while the first one's alert is open the tray's
// autostart toggle arrives (it lists every startup program).  The second
// alert is still about the second hidden file, and its "Delete" deletes
// that file and nothing else.
TEST(AlertOpen, ACommandWhileAnAlertIsOpenDoesNotChangeWhatThePatrolWalks)
{
    vxtest::ResetStore();
    // Nothing else may wait for an answer: an open alert holds every later
    // patrol back.
    SetOptions({ "HideStartup", "1", "HideIEHelper", "1", "HideActiveX", "1",
                 "HideServices", "1", "HideFileType", "1", "HideHomePage", "1",
                 "HideSystemFiles", "1", "HideTasks", "1", "HideHidden", "0",
                 "Hidden", "1", "Sound", "0" });
    RunningMonitor running;
    ASSERT_TRUE(running.Start()) << "the monitor did not start";
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    std::string files[2]
        = {std::string(temp) + "vx_first.txt", std::string(temp) + "vx_second.txt"};
    for (const std::string& file : files) {
        vxtest::WriteFileBytes(file, "hidden " + file);
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    }
    RunningMonitor::Nudge();
    HWND first = vxtest::WaitForWindow("#32770", "Vardex New Program Alert", kPatrolWaitMs);
    ASSERT_TRUE(first != NULL) << "no hidden-file alert";
    std::string firstFile = vxtest::DialogItemText(first, IDC_ALERT_FILE);
    HWND monitor = FindWindowA("Vardex", NULL);
    ASSERT_TRUE(monitor != NULL);
    PostMessageA(monitor, WM_COMMAND, CMD_TOGGLE_AUTOSTART, 0);
    vxtest::PumpMessages(1500);
    ASSERT_TRUE(RunningMonitor::Answer(first, IDOK));
    HWND second = vxtest::WaitForWindow("#32770", "Vardex New Program Alert", 20000);
    ASSERT_TRUE(second != NULL) << "no second alert";
    std::string secondFile = vxtest::DialogItemText(second, IDC_ALERT_FILE);
    EXPECT_NE(firstFile, secondFile);
    bool firstIsFirst = _stricmp(firstFile.c_str(), files[0].c_str()) == 0;
    EXPECT_STRCASEEQ(files[firstIsFirst ? 1 : 0].c_str(), secondFile.c_str());
    ASSERT_TRUE(RunningMonitor::Answer(second, IDCANCEL));
    vxtest::PumpMessages(1000);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(files[firstIsFirst ? 0 : 1].c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(files[firstIsFirst ? 1 : 0].c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RunningMonitor::Path().c_str()));
    running.Stop();
    for (const std::string& file : files) {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
}

}  // namespace
