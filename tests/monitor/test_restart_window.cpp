// The restart-commands window, shown for real with a wininit.exe and a
// wininit.ini put into the Windows folder (as on 95/98/Me).  It runs its
// own message loop: a quit that arrives while it is open (the monitor's
// exit from the tray) must reach the loop around it.
#include <functional>
#include <thread>

#include "monitor/restart_window.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

std::string InWindows(const char* name)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\" + name;
}

struct RestartWindowTest : testing::Test {
    void SetUp() override
    {
        StartMonitorSpine();
        vxtest::WriteFileBytes(InWindows("wininit.exe"), "MZ");
        vxtest::WriteFileBytes(InWindows("wininit.ini"), "[rename]\r\nNUL=C:\\X.DLL\r\n");
    }
    void TearDown() override
    {
        DeleteFileA(InWindows("wininit.exe").c_str());
        DeleteFileA(InWindows("wininit.ini").c_str());
    }

    // Shows the window; a second thread waits for it and lets act close it.
    // Returns whether a quit, and with which code, was left for the loop
    // around; the window is gone either way.
    std::pair<bool, WPARAM> ShowAndClose(const std::function<void(HWND)>& act)
    {
        DWORD shower = GetCurrentThreadId();
        std::thread user([&] {
            HWND window = vxtest::WaitForWindow("VardexRestartCommands", NULL, 10000);
            if (window != NULL)
                act(window);
            else
                PostThreadMessageA(shower, WM_QUIT, 99, 0);
        });
        EXPECT_EQ(1, ShowRestartCommands(0));
        user.join();
        EXPECT_TRUE(FindWindowA("VardexRestartCommands", NULL) == NULL);
        MSG quit = {};
        bool found = PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
        return std::make_pair(found, quit.wParam);
    }
};

TEST_F(RestartWindowTest, AQuitWhileItIsOpenClosesItAndReachesTheLoopAround)
{
    DWORD shower = GetCurrentThreadId();
    auto quit = ShowAndClose([shower](HWND) { PostThreadMessageA(shower, WM_QUIT, 7, 0); });
    EXPECT_TRUE(quit.first);
    EXPECT_EQ(7u, quit.second);
    // "Close" ends the window and nothing else.
    auto closed = ShowAndClose([](HWND window) { PostMessageA(window, WM_COMMAND, 304, 0); });
    EXPECT_FALSE(closed.first);
}

}  // namespace
