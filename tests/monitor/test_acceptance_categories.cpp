// End to end, as an installer would act while Vardex.exe runs: a service
// registered through the service manager and a task saved through the Task
// Scheduler are asked about in the monitor's own alerts, and the test
// answers them as a user would.  Both are second-half categories: the
// nudged patrol runs the first half, the one after it (34 s later) the
// second.  (Hidden files of one name and a helper beside an approved
// button of its DLL: test_hidden_files and test_ie_helpers.)
#include <windows.h>

#include <string>

#include "foundation/registry_store.h"
#include "monitor/running_monitor.h"
#include "support/scheduled_tasks.h"
#include "support/vxtest.h"

namespace {

const DWORD kAlertWaitMs = 110000;
const char* const kService = "VxPhotoService";
const char* const kServiceTitle = "Photo Sync Service";

// A program of another maker, as an installer leaves it: a copy of ours
// under its own name (our own programs are always known as "Vardex").
std::string PhotoProgram()
{
    CreateDirectoryA("C:\\PhotoSync", NULL);
    CopyFileA(RunningMonitor::Path().c_str(), "C:\\PhotoSync\\PhotoSync.exe", FALSE);
    return "C:\\PhotoSync\\PhotoSync.exe";
}

// A service registered through the service manager and a task saved through
// the Task Scheduler, each answered "No": the service is left stopped and
// disabled, the task deleted.  (What the alerts show: test_alerts; the
// history lines and baselines: test_services and test_tasks.)
TEST(CategoryAcceptance, ANewServiceAndANewTaskAreAskedAboutAndNoUndoesThem)
{
    vxtest::ResetStore();
    SetOptions({ "Services", "1", "Tasks", "1", "Sound", "0" });
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.Start());
    SC_HANDLE scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    ASSERT_TRUE(scm != NULL);
    std::string path = PhotoProgram(), program = "\"" + path + "\" -service";
    SC_HANDLE service = CreateServiceA(scm, kService, kServiceTitle, SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE, program.c_str(), NULL,
        NULL, NULL, NULL, NULL);
    ASSERT_TRUE(service != NULL) << GetLastError();
    std::wstring widePath(path.begin(), path.end());
    ASSERT_TRUE(vxtest::CreateTask(L"PhotoSyncUpdate", widePath.c_str()));

    RunningMonitor::Nudge();
    for (int answered = 0; answered < 2; answered++) {  // the task first, in patrol order
        HWND alert = RunningMonitor::WaitForAlertAbout(kServiceTitle, "PhotoSyncUpdate",
                                                       kAlertWaitMs);
        ASSERT_TRUE(alert != NULL) << "no service or task alert";
        ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
    }
    vxtest::PumpMessages(1000);
    char buffer[8192];
    QUERY_SERVICE_CONFIGA* config = (QUERY_SERVICE_CONFIGA*)buffer;
    DWORD needed = 0;
    ASSERT_TRUE(QueryServiceConfigA(service, config, sizeof(buffer), &needed));
    EXPECT_EQ((DWORD)SERVICE_DISABLED, config->dwStartType);
    EXPECT_FALSE(vxtest::TaskExists(L"PhotoSyncUpdate"));
    DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(scm);
}

}  // namespace
