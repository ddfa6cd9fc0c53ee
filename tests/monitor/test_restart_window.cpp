// The restart-commands window, shown for real with a wininit.exe and a
// wininit.ini put into the Windows folder (as on 95/98/Me).  It runs its
// own message loop: a quit that arrives while it is open (the monitor's
// exit from the tray) must reach the loop around it.
#include <thread>

#include "monitor/restart_window.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

// Shows the window until a second thread sends it the message (NULL
// window: to this thread).  Whether a quit was left for the loop around,
// and its code; the window is gone either way.
std::pair<bool, WPARAM> ShowUntil(bool toThread, UINT message, WPARAM wParam)
{
    DWORD shower = GetCurrentThreadId();
    std::thread user([=] {
        HWND window = vxtest::WaitForWindow("VardexRestartCommands", NULL, 10000);
        toThread || window == NULL ? PostThreadMessageA(shower, message, wParam, 0)
                                   : PostMessageA(window, message, wParam, 0);
    });
    EXPECT_EQ(1, ShowRestartCommands(0));
    user.join();
    EXPECT_TRUE(FindWindowA("VardexRestartCommands", NULL) == NULL);
    MSG quit = {};
    bool found = PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    return std::make_pair(found, quit.wParam);
}

TEST(RestartWindow, AQuitWhileItIsOpenClosesItAndReachesTheLoopAround)
{
    StartMonitorSpine();
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    vxtest::WriteFileBytes(std::string(windows) + "\\wininit.exe", "MZ");
    vxtest::WriteFileBytes(std::string(windows) + "\\wininit.ini", "[rename]\r\nNUL=C:\\X.DLL\r\n");
    auto quit = ShowUntil(true, WM_QUIT, 7);
    EXPECT_TRUE(quit.first);
    EXPECT_EQ(7u, quit.second);
    // "Close" ends the window and nothing else.
    EXPECT_FALSE(ShowUntil(false, WM_COMMAND, 304).first);
}

}  // namespace
