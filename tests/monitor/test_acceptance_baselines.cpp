// End to end, with the real Vardex.exe: what the user already had when the
// monitor came is never taken for new.  A browser helper and a scheduled
// task are installed before the first start; the monitor is started for
// the first time, and its baselines are thrown away while it runs.  (A
// new version and "Cleanup" rebuild them: test_initialize.)  New helpers
// and tasks are removed without a question ("HideIEHelper" and
// "HideTasks" 2), so a baseline that lost them would cost the user both.
//
// And a command that arrives while an alert is open (the tray's autostart
// toggle, which lists the startup programs) does not change what the
// patrol goes on to act on.
#include <windows.h>

#include <string>

#include "foundation/handles.h"
#include "foundation/registry_store.h"
#include "monitor/monitor.h"
#include "monitor/running_monitor.h"
#include "resources/monitor_resource.h"
#include "support/scheduled_tasks.h"
#include "support/vxtest.h"

namespace {

const char* const kHelperClsid = "{5A5A5A5A-0000-4000-8000-00000000005A}";
const char* const kHelperDll = "C:\\Program Files\\Photo Helper\\phhelper.dll";
const wchar_t* const kTask = L"PhotoSyncUpdate";
const char* const kTaskName = "PhotoSyncUpdate.job";
const char* const kBhoKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const DWORD kPatrolWaitMs = 110000;

std::string TracePath() { return vxtest::PathInProgramFolder("send2qu.txt"); }
std::string HistoryPath() { return vxtest::PathInProgramFolder("history.txt"); }

size_t Traced(const char* part) { return CountInFile(TracePath(), part); }

// Waits until the trace holds the text more than `seen` times.
bool WaitTraced(const char* part, size_t seen, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
        if (Traced(part) > seen)
            return true;
        vxtest::PumpMessages(250);
    }
    return false;
}

// A helper as its installer leaves it: the class, its server file (a copy
// of a real DLL) and the browser's helper key.
void InstallHelper()
{
    CreateDirectoryA("C:\\Program Files", NULL);
    CreateDirectoryA("C:\\Program Files\\Photo Helper", NULL);
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\itss.dll", kHelperDll, FALSE));
    std::string clsid = std::string("CLSID\\") + kHelperClsid;
    vxtest::SetString(HKEY_CLASSES_ROOT, clsid.c_str(), "", "Photo helper");
    vxtest::SetString(HKEY_CLASSES_ROOT, (clsid + "\\InprocServer32").c_str(), "", kHelperDll);
    std::string bho = std::string(kBhoKey) + "\\" + kHelperClsid;
    ASSERT_TRUE(RegCreateKeyPath(HKEY_LOCAL_MACHINE, bho.c_str()));
}

bool HelperInstalled()
{
    return RegKeyExists(HKEY_LOCAL_MACHINE, (std::string(kBhoKey) + "\\" + kHelperClsid).c_str())
        != 0;
}

bool InstallTask() { return vxtest::CreateTask(kTask, L"C:\\PhotoSync\\PhotoSync.exe"); }

bool TaskInstalled() { return vxtest::TaskExists(kTask); }

// The baseline of a category holds the item and carries the mark of a
// baseline that was built whole.
void ExpectKnown(const char* key, const char* item)
{
    EXPECT_REG_STRING(HKEY_CURRENT_USER, key, "", "P");
    EXPECT_TRUE(vxtest::ValueExists(HKEY_CURRENT_USER, key, item)) << item << " under " << key;
}

// Both halves of a patrol after a nudge: helpers are patrolled in the
// first, tasks in the second (17 ticks later).
void PatrolBothHalves()
{
    size_t helpers = Traced("VERIFY: IE Helpers"), tasks = Traced("VERIFY: Scheduled Tasks");
    size_t ends = Traced("Exit Normal Verify");
    RunningMonitor::Nudge();
    ASSERT_TRUE(WaitTraced("VERIFY: IE Helpers", helpers, kPatrolWaitMs)) << "no helper patrol";
    ASSERT_TRUE(WaitTraced("VERIFY: Scheduled Tasks", tasks, kPatrolWaitMs)) << "no task patrol";
    ASSERT_TRUE(WaitTraced("Exit Normal Verify", ends + 1, kPatrolWaitMs)) << "the patrol went on";
}

class Baselines : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        DeleteFileA(HistoryPath().c_str());
        // Nothing else may wait for an answer: an open alert holds every
        // later patrol back.
        SetOptions({ "HideIEHelper", "2", "HideTasks", "2", "HideStartup", "1", "HideHidden", "1",
                     "HideActiveX", "1", "HideServices", "1", "HideFileType", "1",
                     "HideHomePage", "1", "HideSystemFiles", "1", "IEHelpers", "1", "Tasks", "1",
                     "Sound", "0", "Debug", "1" });
    }

    void Restart()
    {
        monitor_.Stop();
        DeleteFileA(TracePath().c_str());
        ASSERT_TRUE(monitor_.Start()) << "the monitor did not start";
    }

    RunningMonitor monitor_;
};

TEST_F(Baselines, WhatWasThereBeforeTheFirstStartStaysThroughLostKeys)
{
    ASSERT_NO_FATAL_FAILURE(InstallHelper());
    ASSERT_TRUE(InstallTask());
    ASSERT_NO_FATAL_FAILURE(Restart());
    ExpectKnown(VX_KEY "\\IEHelpers", "phhelper.dll");
    ExpectKnown(VX_KEY "\\Tasks", kTaskName);
    ASSERT_NO_FATAL_FAILURE(PatrolBothHalves());
    EXPECT_TRUE(HelperInstalled());
    EXPECT_TRUE(TaskInstalled());

    // A registry cleaner deletes the baselines while the monitor runs: the
    // next patrol records them again instead of comparing.
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_KEY "\\IEHelpers");
    RegDeleteKeyTree(HKEY_CURRENT_USER, VX_KEY "\\Tasks");
    Sleep(1100);  // later than the kept baselines were read
    ASSERT_NO_FATAL_FAILURE(PatrolBothHalves());
    EXPECT_TRUE(HelperInstalled());
    EXPECT_TRUE(TaskInstalled());
    ExpectKnown(VX_KEY "\\IEHelpers", "phhelper.dll");
    ExpectKnown(VX_KEY "\\Tasks", kTaskName);
    EXPECT_EQ(0u, CountInFile(HistoryPath(), "IEHELPER_Remove"));
    EXPECT_EQ(0u, CountInFile(HistoryPath(), "ScheduledTask_Remove"));
    monitor_.Stop();
}

// Two new hidden files; while the first one's alert is open the tray's
// autostart toggle arrives (it lists every startup program).  The second
// alert is still about the second hidden file, and its "Delete" deletes
// that file and nothing else.
TEST_F(Baselines, ACommandWhileAnAlertIsOpenDoesNotChangeWhatThePatrolWalks)
{
    SetOptions({ "HideHidden", "0", "Hidden", "1" });
    ASSERT_NO_FATAL_FAILURE(Restart());
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
    monitor_.Stop();
    for (const std::string& file : files) {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
}

}  // namespace
