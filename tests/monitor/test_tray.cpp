// The tray icon, its menu and the alert sounds, against Wine's real
// notification area (the virtual desktop's taskbar) and menus.
#include <algorithm>
#include <thread>
#include <vector>

#include "foundation/options.h"
#include "monitor/tray.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

// Sends the tray callback for the icon id and, if that opens a menu, reads
// its commands from a second thread (0 for a separator), and their texts
// into texts when given, and closes it as the shell would.  "" when no menu
// opened.
std::string ReadTrayMenu(UINT iconId, UINT mouse, std::vector<std::string>* texts = nullptr)
{
    std::string ids;
    std::thread reader([&] {
        HWND popup = NULL;
        for (int i = 0; i < 40 && (popup = FindWindowA("#32768", NULL)) == NULL; i++)
            Sleep(25);
        HMENU menu = popup != NULL ? (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0) : NULL;
        for (int i = 0; menu != NULL && i < GetMenuItemCount(menu); i++) {
            ids += std::to_string(std::max(0, (int)GetMenuItemID(menu, i))) + " ";
            char text[128] = "";
            GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            if (texts != nullptr)
                texts->push_back(text);
        }
        PostMessageA(g_MainWindow, WM_CANCELMODE, 0, 0);
    });
    OnTrayNotify(iconId, mouse);
    reader.join();
    return ids;
}

const char* kMenuNT = "6027 6033 0 6026 6055 6040 6038 6039 6056 0 6029 6028 6042 6052 0 6030 ";
const char* kMenu9x = "6027 6033 0 6026 6055 6040 6039 6056 0 6029 6028 6042 6052 6034 0 6030 ";

struct TrayTest : testing::Test {
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine();
        LoadOptions();
        g_TrayMenuGuard = 0;
    }
};

TEST_F(TrayTest, ARightClickOnOurIconShowsTheMenuAndADoubleClickTheStartupPage)
{
    // The NT family's menu offers the services and no restart commands.
    const struct { UINT icon, mouse; int guard; const char* menu; UINT command; } cases[] = {
        { VX_TRAY_ICON_ID, WM_RBUTTONUP, 0, kMenuNT, 0 },
        { VX_TRAY_ICON_ID + 1, WM_RBUTTONUP, 0, "", 0 },  // another icon
        { VX_TRAY_ICON_ID, WM_RBUTTONDOWN, 0, "", 0 },
        { VX_TRAY_ICON_ID, WM_LBUTTONDBLCLK, 0, "", 6026 },
        // While the menu runs a second callback is ignored.
        { VX_TRAY_ICON_ID, WM_LBUTTONDBLCLK, 1, "", 0 } };
    std::vector<std::string> texts;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "icon " << c.icon << " message " << c.mouse);
        vxtest::PumpMessages(0);
        g_TrayMenuGuard = c.guard;
        EXPECT_EQ(c.menu, ReadTrayMenu(c.icon, c.mouse, &texts));
        MSG posted = {};
        PeekMessageA(&posted, g_MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE);
        EXPECT_EQ(std::make_pair(c.command, c.guard),
            std::make_pair((UINT)LOWORD(posted.wParam), g_TrayMenuGuard));
    }
    // The page entries' texts come from the page records: two of them in
    // place, and no entry borrows another's text.
    ASSERT_EQ(16u, texts.size());
    EXPECT_EQ("Display &Startup Info...", texts[3]);
    EXPECT_EQ("Display  &Cookies Filters...", texts[11]);
    std::sort(texts.begin(), texts.end());
    auto same = [](const std::string& a, const std::string& b) { return !a.empty() && a == b; };
    EXPECT_EQ(texts.end(), std::adjacent_find(texts.begin(), texts.end(), same));
    for (int hide = 0; hide <= 1; hide++) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideRusko", hide ? "1" : "0");
        LoadOptions();
        EXPECT_EQ(3 * (1 - hide),
            SetTrayIcon(TRAY_ADD, 0, 820) + SetTrayStatus(158, 824)
                + SetTrayIcon(TRAY_DELETE, 0, 0))
            << "add, change, remove " << hide;
        // Either nothing was added or it is gone: the shell knows no icon of ours.
        NOTIFYICONDATAA data = { NOTIFYICONDATAA_V2_SIZE, g_MainWindow, VX_TRAY_ICON_ID };
        EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data)) << hide;
    }
    // Started hidden (as left above), the explorer's "Hide" box (command
    // 6053) cleared shows the icon, which the shell can then take away.
    NOTIFYICONDATAA data = { NOTIFYICONDATAA_V2_SIZE, g_MainWindow, VX_TRAY_ICON_ID };
    SendMessageA(g_MainWindow, WM_COMMAND, 6053, 0);
    EXPECT_EQ(0, g_Options[OPT_HideRusko]);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    SetTrayIcon(TRAY_ADD, 0, 820);
    SendMessageA(g_MainWindow, WM_COMMAND, 6053, 1);
    EXPECT_EQ(1, g_Options[OPT_HideRusko]);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
    // The user chose a file for "Open"; registering the events at the next
    // start keeps it and gives the others an empty entry (the built-in
    // sound).  The system-file event (6) and any beyond play as "Open".
    vxtest::SetString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Vardex\\Open\\.current", "",
        "C:\\s\\bark.wav");
    RegisterSoundEvents();
    for (int index : { 0, 1, 5, 6, 99 })
        EXPECT_EQ(
            index == 0 || index > 5 ? SOUND_SCHEME_FILE : SOUND_BUILT_IN, PlayAlertSound(index))
            << index;
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Sound", "0");
    LoadOptions();
    EXPECT_EQ(SOUND_NONE, PlayAlertSound(0));
}

// Run as a child under a Windows 98 version setting (see below): writes the
// platform and the menu's commands to menu98.txt.
TEST(TrayChild, DISABLED_WriteMenuCommands)
{
    StartMonitorSpine(), LoadOptions();
    OSVERSIONINFOA version = { sizeof(version) };
    GetVersionExA(&version);
    vxtest::WriteFileBytes(vxtest::PathInProgramFolder("menu98.txt"),
        "platform " + std::to_string(version.dwPlatformId) + "\n"
            + ReadTrayMenu(VX_TRAY_ICON_ID, WM_RBUTTONUP));
}

TEST_F(TrayTest, TheMenuOnWindows98OffersRestartCommandsButNoServices)
{
    // The same program under another name, which Wine runs as Windows 98.
    std::string copy = vxtest::PathInProgramFolder("tray98.exe");
    ASSERT_TRUE(CopyFileA(
        vxtest::PathInProgramFolder("monitor_test_tray.exe").c_str(), copy.c_str(), FALSE));
    vxtest::SetString(
        HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\tray98.exe", "Version", "win98");
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                    "--gtest_filter=TrayChild.DISABLED_WriteMenuCommands", 60000));
    EXPECT_EQ(std::string("platform 1\n") + kMenu9x,
        vxtest::ReadFileText(vxtest::PathInProgramFolder("menu98.txt")));
}

// Used by scripts/screenshots.sh: right-clicks the icon of the running
// monitor, as the shell reports it.
TEST(TrayChild, DISABLED_OpenMenuOfRunningMonitor)
{
    PostMessageA(vxtest::WaitForWindow("Vardex", NULL, 20000), WM_VX_TRAY_NOTIFY, VX_TRAY_ICON_ID,
        WM_RBUTTONUP);
}

}  // namespace
