// End to end with the real Vardex.exe: a program that is already running
// (this test; no process starts or ends around the write) writes a Run
// value, and the monitor asks about it long before its first patrol (34 s
// after start), from the registry's change notice alone.  A value deleted
// again half a second later is still asked about.  A service, a task and
// an appended HOSTS are asked about as soon (their rows' own countdowns are
// several patrols long), and so are a helper registered and a file type
// taken over; a storm of writes to the Run key leaves the
// monitor answering, asks about each new value once and ends in idle.
#include <windows.h>

#include <string>

#include "categories/ie_helpers.h"
#include "categories/sysfiles.h"
#include "foundation/registry_store.h"
#include "monitor/change_watch.h"
#include "monitor/running_monitor.h"
#include "resources/alert_layouts.h"
#include "support/scheduled_tasks.h"
#include "support/vxtest.h"

namespace {

// Well inside the first patrol, which comes 34 s after the start.
const DWORD kNoticeWaitMs = 20000;
const char* const kValueName = "PhotoSyncAgent";
const char* const kPhotoSync = "C:\\PhotoSync\\PhotoSync.exe";
const char* const kService = "VxNotifyService";
const char* const kServiceTitle = "Photo Notify Service";
// The system files are checked only before Windows 6.
const char* const kXpMonitor = "Software\\Wine\\AppDefaults\\Vardex.exe";
// A helper's class, its server a system file (left registered on "No").
const char* const kHelperClass = "CLSID\\{A7A7A7A7-0000-4000-8000-00000000000A}";
const char* const kHelperBho = BHO_KEY "\\{A7A7A7A7-0000-4000-8000-00000000000A}";
const char* const kHelperDll = "C:\\windows\\system32\\mlang.dll";
const char* const kTxt = "Software\\Classes\\.txt";
const char* const kTxtCommand = "Software\\Classes\\txtfile\\shell\\open\\command";
// An idle loop over 3 s: its timer's wakes and a few notices, and little
// CPU (a spinning one wakes many thousand times and burns the 3 s).
const LRESULT kIdleWakes = 40;
const LRESULT kIdleCpuMs = 150;
const char* const kPhotoCommand = "Software\\Classes\\photofile\\shell\\open\\command";

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

    // Stopped and started again, so that its start records what is there.
    void Restart()
    {
        monitor_.Stop();
        ASSERT_TRUE(monitor_.Start());
        vxtest::PumpMessages(2500);
    }

    // The monitor's window answers a message within a second.
    bool Answers()
    {
        HWND window = FindWindowA("Vardex", NULL);
        DWORD_PTR result = 0;
        return window != NULL &&
               SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    }

    RunningMonitor monitor_;
};

// A figure of the monitor's loop (LOOP_STAT_...); -1 without an answer.
LRESULT ReadLoopStat(WPARAM which)
{
    HWND window = FindWindowA("Vardex", NULL);
    UINT message = RegisterWindowMessageA(LOOP_STATS_MESSAGE);
    DWORD_PTR result = (DWORD_PTR)-1;
    if (window == NULL || message == 0 ||
        !SendMessageTimeoutA(window, message, which, 0, SMTO_ABORTIFHUNG, 1000, &result))
        return -1;
    return (LRESULT)result;
}

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

// Registered through the service manager, as an installer does.
TEST_F(NotifyAcceptance, ANewServiceIsAskedAboutBeforeThePatrol)
{
    SC_HANDLE scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    ASSERT_TRUE(scm != NULL);
    SC_HANDLE service = CreateServiceA(scm, kService, kServiceTitle, SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE, kPhotoSync, NULL,
        NULL, NULL, NULL, NULL);
    ASSERT_TRUE(service != NULL) << GetLastError();
    HWND alert = RunningMonitor::WaitForAlertAbout(kServiceTitle, "", kNoticeWaitMs);
    EXPECT_TRUE(alert != NULL) << "no service alert before the first patrol";
    if (alert != NULL)
        RunningMonitor::Answer(alert, IDYES);
    DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(scm);
}

// Saved through the Task Scheduler into the tasks folder.
TEST_F(NotifyAcceptance, ANewTaskIsAskedAboutBeforeThePatrol)
{
    ASSERT_TRUE(vxtest::CreateTask(L"PhotoNotifyTask", L"C:\\PhotoSync\\PhotoSync.exe"));
    HWND alert = RunningMonitor::WaitForAlertAbout("PhotoNotifyTask", "", kNoticeWaitMs);
    ASSERT_TRUE(alert != NULL) << "no task alert before the first patrol";
    ASSERT_TRUE(RunningMonitor::Answer(alert, IDNO));
    // Deleted once the answer is carried out, a moment after the alert closed.
    for (int wait = 0; wait < 50 && vxtest::TaskExists(L"PhotoNotifyTask"); wait++)
        Sleep(100);
    EXPECT_FALSE(vxtest::TaskExists(L"PhotoNotifyTask"));
}

// Registered as an add-on installer does: its class, then its BHO key.
TEST_F(NotifyAcceptance, ANewHelperIsAskedAboutBeforeThePatrol)
{
    vxtest::SetString(HKEY_CLASSES_ROOT, kHelperClass, "", "Photo helper");
    std::string server = std::string(kHelperClass) + "\\InprocServer32";
    vxtest::SetString(HKEY_CLASSES_ROOT, server.c_str(), "", kHelperDll);
    ASSERT_TRUE(RegCreateKeyPath(HKEY_LOCAL_MACHINE, kHelperBho));
    HWND alert = WaitForStartupAlert();
    EXPECT_TRUE(alert != NULL) << "no helper alert before the first patrol";
    if (alert != NULL) {
        std::string file = vxtest::DialogItemText(alert, IDC_ALERT_FILE);
        EXPECT_STRCASEEQ(kHelperDll, file.c_str());
        EXPECT_TRUE(RunningMonitor::Answer(alert, IDNO));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kHelperBho));
    }
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, kHelperBho);
    RegDeleteKeyTree(HKEY_CLASSES_ROOT, kHelperClass);
}

// ".txt" opened by Notepad when the monitor starts, then taken over.
TEST_F(NotifyAcceptance, AFileTypeTakenOverIsAskedAboutBeforeThePatrol)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTxt, "", "txtfile");
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTxtCommand, "", "notepad.exe \"%1\"");
    Restart();
    vxtest::SetString(HKEY_LOCAL_MACHINE, kPhotoCommand, "", kPhotoSync);
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTxt, "", "photofile");
    HWND alert = vxtest::WaitForWindow("#32770", "Vardex File Type Change Alert",
                                       kNoticeWaitMs);
    EXPECT_TRUE(alert != NULL) << "no file type alert before the first patrol";
    if (alert != NULL) {
        EXPECT_TRUE(RunningMonitor::Answer(alert, IDNO));
        EXPECT_EQ("txtfile", vxtest::ReadString(HKEY_LOCAL_MACHINE, kTxt, ""));
    }
    vxtest::SetString(HKEY_LOCAL_MACHINE, kTxt, "", "txtfile");
    RegDeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\photofile");
}

TEST_F(NotifyAcceptance, AnAppendedHostsIsAskedAboutBeforeThePatrol)
{
    // Started again as on Windows 5, where HOSTS is checked.
    vxtest::SetString(HKEY_CURRENT_USER, kXpMonitor, "Version", "winxp");
    Restart();
    char hosts[MAX_PATH];
    ASSERT_GT(GetHostsPath(hosts), 0);
    std::string original = vxtest::ReadFileText(hosts);
    vxtest::WriteFileBytes(hosts, original + "127.0.0.1 photosync.example\r\n");
    HWND alert = vxtest::WaitForWindow("#32770", "Vardex: File Change Alert", kNoticeWaitMs);
    EXPECT_TRUE(alert != NULL) << "no HOSTS alert before the first patrol";
    if (alert != NULL)
        RunningMonitor::Answer(alert, IDC_CHANGE_ACCEPT);
    vxtest::WriteFileBytes(hosts, original);
    RegDeleteKeyA(HKEY_CURRENT_USER, kXpMonitor);
}

// Ten thousand writes: rewrites of a value already answered, with three
// new values among them.
TEST_F(NotifyAcceptance, AStormOfWritesLeavesTheMonitorAnsweringAndAsksOncePerValue)
{
    vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, kValueName, kPhotoSync);
    HWND first = WaitForStartupAlert();
    ASSERT_TRUE(first != NULL);
    ASSERT_TRUE(RunningMonitor::Answer(first, IDYES));
    const char* const fresh[] = { "PhotoStormA", "PhotoStormB", "PhotoStormC" };
    for (int write = 0; write < 10000; write++) {
        int added = write % 3300 == 1000 ? write / 3300 : -1;
        std::string command = std::string(kPhotoSync) + (added >= 0 ? " -" : "") +
                              (added >= 0 ? fresh[added] : "");
        const char* name = added >= 0 ? fresh[added] : kValueName;
        vxtest::SetString(HKEY_CURRENT_USER, WIN_RUN_KEY, name, command.c_str());
        if (write % 2500 == 1250) {
            EXPECT_TRUE(Answers()) << "no answer at write " << write;
        }
    }
    std::string asked;
    int alerts = 0;
    for (HWND alert; (alert = vxtest::WaitForWindow("#32770", "Vardex New Program Alert",
                          alerts < 3 ? kNoticeWaitMs : 5000)) != NULL && alerts < 6;
         alerts++) {
        asked += vxtest::DialogItemText(alert, 1026) + ";";
        ASSERT_TRUE(RunningMonitor::Answer(alert, IDYES));
    }
    EXPECT_EQ(3, alerts) << asked;
    // Quiet again: no further alert (waited above), the window answers, and
    // the loop is idle, neither draining notices nor spinning in its wait.
    EXPECT_TRUE(Answers());
    LRESULT wakes = ReadLoopStat(LOOP_STAT_WAKES);
    LRESULT cpu = ReadLoopStat(LOOP_STAT_CPU_MS);
    ASSERT_LE(0, wakes);
    ASSERT_LE(0, cpu);
    vxtest::PumpMessages(3000);
    EXPECT_GT(kIdleWakes, ReadLoopStat(LOOP_STAT_WAKES) - wakes);
    EXPECT_GT(kIdleCpuMs, ReadLoopStat(LOOP_STAT_CPU_MS) - cpu);
    for (const char* name : fresh)
        RegDeleteValueNamed(HKEY_CURRENT_USER, WIN_RUN_KEY, name);
}

}  // namespace
