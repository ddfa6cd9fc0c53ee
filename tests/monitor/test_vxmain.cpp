// The monitor's start, single instance, forwarding and exit, with the real
// Vardex.exe started as a user or the system would start it.
#include "support/vxtest.h"

#include <commctrl.h>

#include "foundation/handles.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "support/browser_recorder.h"
#include "support/query_reader.h"

namespace {

std::string Monitor(const std::string& args)
{
    return "\"" + vxtest::PathInProgramFolder("Vardex.exe") + "\" " + args;
}

struct MonitorProcess : testing::Test {
    void SetUp() override { vxtest::ResetStore(); }
    void TearDown() override
    {
        // Never leave a monitor or an explorer behind for the next test,
        // nor the explorer away from the monitor.
        std::string explorer = vxtest::PathInProgramFolder("VardexView.exe");
        MoveFileExA((explorer + ".away").c_str(), explorer.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (FindWindowA("VardexView", NULL) != NULL)
            vxtest::RunProgram("\"" + explorer + "\" -Q", 10000);
        if (FindWindowA("Vardex", NULL) != NULL)
            vxtest::RunProgram(Monitor("-Q"), 10000);
        if (monitor_.IsValid() && WaitForSingleObject(monitor_.Get(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(monitor_.Get(), 1);
    }

    // Starts a monitor and waits for its hidden window.
    HWND StartMonitor(const std::string& args = "")
    {
        monitor_.Reset(vxtest::StartProgram(Monitor(args)));
        return monitor_.IsValid() ? vxtest::WaitForWindow("Vardex", NULL, 20000) : NULL;
    }

    // Waits for the monitor process to end; returns its exit code or -1.
    int WaitMonitorExit(DWORD ms)
    {
        DWORD code = (DWORD)-1;
        if (WaitForSingleObject(monitor_.Get(), ms) == WAIT_OBJECT_0)
            GetExitCodeProcess(monitor_.Get(), &code);
        return (int)code;
    }

    KernelHandle monitor_;
    // A program path looks the program up: the browser only writes it down.
    vxtest::BrowserRecorder browser_;
};

TEST_F(MonitorProcess, AProgramOrLibraryPathIsLookedUpOnline)
{
    const struct { const char* args; const char* program; const char* type; } cases[] = {
        { "C:\\windows\\notepad.exe", "NOTEPAD.EXE", "460" },
        { "\"C:\\windows\\system32\\shell32.dll\" ", "SHELL32.DLL", "470" },
    };
    size_t calls = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(0, vxtest::RunProgram(Monitor(c.args), 15000)) << c.args;
        std::string call = browser_.Call(++calls);
        vxtest::ReadQuery read = vxtest::ReadLookupQuery(vxtest::RecordedAddress(call));
        EXPECT_EQ(c.program, read.Value("program")) << call;
        EXPECT_EQ(c.type, read.Value("Type")) << call;
    }
}

TEST_F(MonitorProcess, QuitOrAProgramPathWithoutAMonitorStartsNone)
{
    for (const char* args :
        {"please -q now", "C:\\windows\\notepad.exe", "C:\\windows\\system32\\shell32.dll"}) {
        EXPECT_EQ(0, vxtest::RunProgram(Monitor(args), 15000)) << args;
        // Nothing initialised.
        EXPECT_TRUE(FindWindowA("Vardex", NULL) == NULL && !RegKeyExists(HKEY_CURRENT_USER, VX_KEY))
            << args;
    }
    // 10,000 characters, with "-Q" buried in them: too long to be examined, so
    // they start an ordinary monitor and nothing overflows.
    HWND window = StartMonitor(std::string(5000, 'x') + " -Q" + std::string(4997, 'x'));
    ASSERT_TRUE(window != NULL) << "no hidden window of class Vardex";
    ASSERT_TRUE(!IsWindowVisible(window)) << "no hidden window of class Vardex";

    EXPECT_EQ(0, vxtest::RunProgram(Monitor("-Q"), 15000) + WaitMonitorExit(15000));
    EXPECT_TRUE(FindWindowA("Vardex", NULL) == NULL);

    // The first run laid out the store, with its own autostart (its window
    // comes before that work, its message loop after).
    EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, VX_KEY, ""));
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_KEY, "Version", "15.9.2008.5");
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, WIN_RUN_KEY, "Vardex",
                      ("\"" + vxtest::ProgramFolder() + "\\vardex.exe\" -expressboot").c_str());
}

// A second start opens the explorer at its first page (a menu command at
// its own page: the declined exit below).
TEST_F(MonitorProcess, SecondStartOpensTheExplorerAtItsFirstPage)
{
    ASSERT_TRUE(StartMonitor() != NULL);
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("-expressboot"), 15000));
    HWND sheet = vxtest::WaitForExplorerSheet(20000);
    ASSERT_TRUE(sheet != NULL) << "no explorer";
    HWND tabs = FindWindowExA(sheet, NULL, "SysTabControl32", NULL);
    EXPECT_EQ(0, (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0));  // Startup Programs
}

TEST_F(MonitorProcess, SecondStartOpensTheExplorerAndReportsItMissingNoOpenForwardsNothing)
{
    // The explorer taken away from beside the monitor.
    std::string explorer = vxtest::PathInProgramFolder("VardexView.exe");
    MoveFileExA(explorer.c_str(), (explorer + ".away").c_str(), MOVEFILE_REPLACE_EXISTING);
    // The message comes from the running monitor, in its language: a
    // translation full of format characters is shown as text.
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString634", "de");
    ASSERT_TRUE(StartMonitor() != NULL);
    EXPECT_EQ(0, vxtest::RunProgram(Monitor("-NoOpen"), 15000));
    EXPECT_TRUE(vxtest::WaitForWindow("#32770", "Vardex", 1500) == NULL);
    for (int translated = 0; translated <= 1; translated++) {
        if (translated)
            vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "LString795", "%s%s%s%n");
        KernelHandle second(vxtest::StartProgram(Monitor("-expressboot")));
        // VardexView.exe is not beside the monitor: message 795.
        HWND box = vxtest::WaitForWindow("#32770", "Vardex", 20000);
        ASSERT_TRUE(box != NULL) << "no message box from the second start";
        std::string text = vxtest::DialogItemText(box, 0xFFFF);
        EXPECT_TRUE(translated ? text == "%s%s%s\n"
                               : text.find("VardexView.exe must exist") != std::string::npos)
            << text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.Get(), 15000));
    }
    EXPECT_TRUE(FindWindowA("Vardex", NULL) != NULL);  // still exactly one monitor
}

TEST_F(MonitorProcess, DeclinedExitKeepsTheMonitorRunning)
{
    RegWriteString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "ConfirmExit", "1");
    HWND window = StartMonitor();
    ASSERT_TRUE(window != NULL);  // "No" keeps it; asked again, "Yes" ends it.
    for (int answer : { IDNO, IDYES }) {
        PostMessageA(window, WM_COMMAND, 6030, 0);
        HWND box = vxtest::WaitForWindow("#32770", "Vardex", 20000);
        ASSERT_TRUE(box != NULL);
        EXPECT_NE(std::string::npos,
            vxtest::DialogItemText(box, 0xFFFF).find("Do you want Vardex.exe to Exit?"));
        PostMessageA(box, WM_COMMAND, answer, 0);
        EXPECT_EQ(answer == IDYES ? 0 : -1, WaitMonitorExit(answer == IDYES ? 15000 : 3000));
        if (answer == IDYES)
            break;
        // "No" opens the explorer's Options (the twelfth tab); it is closed
        // before the monitor is asked again.
        HWND sheet = vxtest::WaitForExplorerSheet(20000);
        ASSERT_TRUE(sheet != NULL) << "no explorer after the declined exit";
        HWND tabs = FindWindowExA(sheet, NULL, "SysTabControl32", NULL);
        EXPECT_EQ(11, (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(vxtest::WaitForWindowGone(sheet, 15000));
    }
}

}  // namespace
