// End to end, as an installer would act while Vardex.exe runs: a service
// registered through the service manager and a task saved through the Task
// Scheduler are asked about in the monitor's own alerts, and the test
// answers them as a user would.  Both are second-half categories: the
// nudged patrol runs the first half, the one after it (34 s later) the
// second.  Hidden files and browser helpers are first-half: the nudged
// patrol deletes the files and asks about the helper.
#include <windows.h>

#include <string>

#include "categories/category.h"
#include "categories/ie_helpers.h"
#include "foundation/handles.h"
#include "foundation/history.h"
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

// An alert whose heading (control 100) is one of the two.
HWND WaitForAlertAbout(const std::string& one, const std::string& other, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND alert = vxtest::WaitForWindow("#32770", NULL, 1000);
        std::string heading = alert != NULL ? vxtest::DialogItemText(alert, 100) : "";
        if (heading == one || heading == other)
            return alert;
    }
    return NULL;
}

// A service registered through the service manager and a task saved through
// the Task Scheduler, each answered "No": the service is left stopped and
// disabled, the task deleted.  (What the alerts show: test_alerts; the
// history lines and baselines: test_services and test_tasks.)
TEST(CategoryAcceptance, ANewServiceAndANewTaskAreAskedAboutAndNoUndoesThem)
{
    vxtest::ResetStore();
    for (const char* option : { "Services", "Tasks", "Sound" })
        vxtest::SetString(
            HKEY_CURRENT_USER, VX_OPTIONS_KEY, option, strcmp(option, "Sound") ? "1" : "0");
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
        HWND alert = WaitForAlertAbout(kServiceTitle, "PhotoSyncUpdate", kAlertWaitMs);
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

// Two hidden files of one name with different bytes, in the temporary
// folder and in a folder of it, deleted by the monitor's patrol
// ("HideHidden" = 2 deletes without asking).  Each history line, undone
// here as the explorer's History dialog would, brings back its own bytes.
TEST(CategoryAcceptance, HiddenFilesOfOneNameDeletedByThePatrolComeBackEachWithItsOwnBytes)
{
    vxtest::ResetStore();
    DeleteFileA(vxtest::PathInProgramFolder("history.txt").c_str());
    const char* const options[][2] = { { "Hidden", "1" }, { "RealtimeHidden", "1" },
                                       { "HideHidden", "2" }, { "Sound", "0" } };
    for (const auto& option : options)
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, option[0], option[1]);
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.Start());
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    CreateDirectoryA((std::string(temp) + "PhotoSync").c_str(), NULL);
    const std::string paths[] = { std::string(temp) + "desktop.ini",
                                  std::string(temp) + "PhotoSync\\desktop.ini" };
    const std::string bytes[] = { "[.ShellClassInfo]\r\nIconIndex=1\r\n",
                                  "[.ShellClassInfo]\r\nIconIndex=22\r\n" };
    for (int i = 0; i < 2; i++) {
        vxtest::WriteFileBytes(paths[i], bytes[i]);
        SetFileAttributesA(paths[i].c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    RunningMonitor::Nudge();
    auto there = [&](int i) {
        return GetFileAttributesA(paths[i].c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    DWORD start = GetTickCount();
    while ((there(0) || there(1)) && GetTickCount() - start < kAlertWaitMs)
        vxtest::PumpMessages(200);
    ASSERT_FALSE(there(0) || there(1)) << "the patrol deleted not both";
    monitor.Stop();
    int undone = 0, lines = ReadHistory();
    for (int i = 0; i < lines; i++)
        if (GetHistoryItem(i)->Flag == HA_HIDDEN_DELETEFILE)
            undone += UndoHistoryLine(GetHistoryItem(i));
    EXPECT_EQ(2, undone);
    EXPECT_EQ(bytes[0], vxtest::ReadFileText(paths[0]));
    EXPECT_EQ(bytes[1], vxtest::ReadFileText(paths[1]));
}

// A helper object registered beside an approved toolbar button of the same
// DLL and answered "No": only its own registration goes.  The button and
// the DLL's classes (which "regsvr32 /u" would take) still serve.
TEST(CategoryAcceptance, ANoToAHelperLeavesTheApprovedHelperOfItsDllWorking)
{
    const char* const dll = "C:\\Photo Sync Helper\\itss.dll";
    const char* const itssClass = "CLSID\\{9D148290-B9C8-11D0-A4CC-0000F80149F6}";
    const std::string button = EXTENSIONS_KEY "\\{5E1F0000-0000-4000-8000-00000000B077}";
    const std::string helperClass = "CLSID\\{5E1F0000-0000-4000-8000-000000000B40}";
    const std::string helper = BHO_KEY "\\{5E1F0000-0000-4000-8000-000000000B40}";
    vxtest::ResetStore();
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Sound", "0");
    CreateDirectoryA("C:\\Photo Sync Helper", NULL);
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\itss.dll", dll, FALSE));
    ASSERT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, itssClass));
    vxtest::SetString(HKEY_LOCAL_MACHINE, button.c_str(), "ButtonText", "Photo Sync");
    vxtest::SetString(HKEY_LOCAL_MACHINE, button.c_str(), "Exec", dll);
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.Start());  // the button is approved with the baseline made at start
    vxtest::SetString(HKEY_CLASSES_ROOT, (helperClass + "\\InprocServer32").c_str(), "", dll);
    ASSERT_TRUE(RegCreateKeyPath(HKEY_LOCAL_MACHINE, helper.c_str()));

    RunningMonitor::Nudge();
    HWND alert = WaitForAlertAbout("itss.dll", "itss.dll", kAlertWaitMs);
    ASSERT_TRUE(alert != NULL) << "no helper alert";
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
    for (DWORD waited = 0; waited < 10000 && RegKeyExists(HKEY_LOCAL_MACHINE, helper.c_str());
         waited += 100)
        vxtest::PumpMessages(100);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, helper.c_str()));
    // By now a "regsvr32 /u" started by the answer would have done its work.
    vxtest::PumpMessages(2500);
    EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, itssClass));
    EXPECT_EQ(dll, vxtest::ReadString(HKEY_LOCAL_MACHINE, button.c_str(), "Exec"));
}

}  // namespace
