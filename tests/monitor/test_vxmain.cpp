// The monitor's start, single instance, forwarding and exit, with the real
// Vardex.exe started as a user or the system would start it.
#include "support/vxtest.h"

#include <string>

#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"

namespace {

std::string Monitor(const std::string& args)
{
    return "\"" + vxtest::PathInProgramFolder("Vardex.exe") + "\" " + args;
}

class MonitorProcess : public testing::Test {
protected:
    void SetUp() override { vxtest::ResetStore(); }
    void TearDown() override
    {
        // Never leave a monitor behind for the next test.
        HWND w = FindWindowA("Vardex", NULL);
        if (w != NULL)
            vxtest::RunProgram(Monitor("-Q"), 10000);
        if (monitor_.IsValid() && WaitForSingleObject(monitor_.Get(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(monitor_.Get(), 1);
    }

    // Starts a monitor and waits for its hidden window.
    HWND StartMonitor(const std::string& args = "")
    {
        monitor_.Reset(vxtest::StartProgram(Monitor(args)));
        EXPECT_TRUE(monitor_.IsValid());
        return vxtest::WaitForWindow("Vardex", NULL, 20000);
    }

    // Waits for the monitor process to end; returns its exit code or -1.
    int WaitMonitorExit(DWORD ms)
    {
        HANDLE h = monitor_.Get();
        DWORD start = GetTickCount();
        while (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) {
            if (GetTickCount() - start > ms)
                return -1;
            vxtest::PumpMessages(50);
        }
        DWORD code = 0;
        GetExitCodeProcess(h, &code);
        return (int)code;
    }

    KernelHandle monitor_;
};

TEST_F(MonitorProcess, FirstStartInitialisesTheStoreAndQuitEndsIt)
{
    HWND window = StartMonitor();
    ASSERT_TRUE(window != NULL) << "no window of class Vardex";
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ("Vardex", vxtest::WindowText(window));

    // The first run lays out the store.
    const char* keys[] = { VX_KEY "\\Nuts", VX_KEY "\\Cookies", VX_OPTIONS_KEY, VX_RUN_KEY,
                           VX_KEY "\\IEHelpers", VX_KEY "\\HostFile", VX_KEY "\\Tasks" };
    for (const char* key : keys)
        EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key)) << key;
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_KEY, ""));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "15.9.2008.5");

    // Its own autostart, and the baseline record that keeps the patrol quiet
    // about it.
    std::string own = vxtest::ProgramFolder() + "\\vardex.exe -expressboot";
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex", own.c_str());
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, own.c_str(), "1");

    // No context-menu verb: the lookup it opens comes with the explorer.
    EXPECT_REG_MISSING(HKEY_CLASSES_ROOT, "exefile\\shell\\Vardex PLUS", "");

    EXPECT_EQ(0, vxtest::RunProgram(Monitor("-Q"), 15000));
    EXPECT_EQ(0, WaitMonitorExit(15000));
    EXPECT_TRUE(FindWindowA("Vardex", NULL) == NULL);
}

TEST_F(MonitorProcess, QuitWithoutAMonitorDoesNothing)
{
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("please -q now"), 15000));
    EXPECT_TRUE(FindWindowA("Vardex", NULL) == NULL);
    // Nothing was initialised either.
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, VX_KEY));
}

TEST_F(MonitorProcess, ProgramPathStartsNoMonitor)
{
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("C:\\windows\\notepad.exe"), 15000));
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("C:\\windows\\system32\\shell32.dll"), 15000));
    EXPECT_TRUE(FindWindowA("Vardex", NULL) == NULL);
}

TEST_F(MonitorProcess, SecondStartOpensTheExplorerAndReportsItMissing)
{
    ASSERT_TRUE(StartMonitor() != NULL);
    KernelHandle second(vxtest::StartProgram(Monitor("-expressboot")));
    ASSERT_TRUE(second.IsValid());
    // VardexView.exe is not beside the monitor here: message 795.
    HWND box = vxtest::WaitForWindow("#32770", "Vardex", 20000);
    ASSERT_TRUE(box != NULL) << "no message box from the second start";
    std::string text = vxtest::DialogItemText(box, 0xFFFF);
    EXPECT_NE(std::string::npos, text.find("Program not found")) << text;
    EXPECT_NE(std::string::npos, text.find("VardexView.exe must exist")) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.Get(), 15000));
    DWORD code = 99;
    GetExitCodeProcess(second.Get(), &code);
    EXPECT_EQ(0u, code);
    // Still exactly one monitor.
    EXPECT_TRUE(FindWindowA("Vardex", NULL) != NULL);
}

TEST_F(MonitorProcess, NoOpenForwardsNothing)
{
    ASSERT_TRUE(StartMonitor() != NULL);
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("-NoOpen"), 15000));
    EXPECT_TRUE(vxtest::WaitForWindow("#32770", "Vardex", 1500) == NULL);
}

TEST_F(MonitorProcess, DeclinedExitKeepsTheMonitorRunning)
{
    RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ConfirmExit", "1");
    HWND window = StartMonitor();
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_COMMAND, 6030, 0);
    HWND box = vxtest::WaitForWindow("#32770", "Vardex", 20000);
    ASSERT_TRUE(box != NULL);
    EXPECT_NE(std::string::npos,
              vxtest::DialogItemText(box, 0xFFFF).find("Do you want Vardex.exe to Exit?"));
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(vxtest::WaitForWindowGone(box, 10000));
    EXPECT_EQ(-1, WaitMonitorExit(3000));
    EXPECT_TRUE(IsWindow(window));

    // Asked again, "Yes" ends it.
    PostMessageA(window, WM_COMMAND, 6030, 0);
    box = vxtest::WaitForWindow("#32770", "Vardex", 20000);
    ASSERT_TRUE(box != NULL);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(0, WaitMonitorExit(15000));
}

TEST_F(MonitorProcess, HugeCommandLineIsHandledSafely)
{
    // 10,000 characters, with "-Q" buried in it: too long to be examined,
    // so it starts an ordinary monitor and nothing overflows.
    std::string args(10000, 'x');
    args.replace(5000, 3, " -Q");
    HWND window = StartMonitor(args);
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("-Q"), 15000));
    EXPECT_EQ(0, WaitMonitorExit(15000));
}

TEST_F(MonitorProcess, OverridesFullOfFormatCharactersAreShownAsText)
{
    // A translation of the missing-explorer message that would be a
    // disaster as a format string.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", "de");
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString795", "%s%s%s%n");
    ASSERT_TRUE(StartMonitor() != NULL);
    KernelHandle second(vxtest::StartProgram(Monitor("")));
    HWND box = vxtest::WaitForWindow("#32770", "Vardex", 20000);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ("%s%s%s\n", vxtest::DialogItemText(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.Get(), 15000));
}

}  // namespace
