// The tray icon, its menu and the alert sounds, against Wine's real
// notification area (the virtual desktop's taskbar) and menus.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/language.h"
#include "foundation/options.h"
#include "monitor/monitor.h"
#include "monitor/tray.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

// One menu entry as the user sees it: its command (0 for a separator) and
// its text.
struct MenuEntry {
    UINT command;
    std::string text;
};

// Opens the tray menu with a right click on the icon id, reads it from a
// second thread and closes it as the shell would.
std::vector<MenuEntry> ReadTrayMenu(UINT iconId, bool* shown)
{
    std::vector<MenuEntry> entries;
    *shown = false;
    std::thread reader([&] {
        HWND popup = NULL;
        for (int i = 0; i < 40 && popup == NULL; i++) {
            popup = FindWindowA("#32768", NULL);
            if (popup == NULL)
                Sleep(25);
        }
        if (popup == NULL)
            return;
        *shown = true;
        HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
        int count = GetMenuItemCount(menu);
        for (int i = 0; i < count; i++) {
            char text[256] = "";
            GetMenuStringA(menu, (UINT)i, text, sizeof(text), MF_BYPOSITION);
            UINT id = GetMenuItemID(menu, i);
            entries.push_back({ id == (UINT)-1 ? 0 : id, text });
        }
        PostMessageA(g_MainWindow, WM_CANCELMODE, 0, 0);
    });
    OnTrayNotify(iconId, WM_RBUTTONUP);
    reader.join();
    return entries;
}

std::vector<UINT> Commands(const std::vector<MenuEntry>& entries)
{
    std::vector<UINT> ids;
    for (const MenuEntry& e : entries)
        ids.push_back(e.command);
    return ids;
}

class TrayTest : public testing::Test {
protected:
    void SetUp() override
    {
        vxtest::ResetStore();
        StartMonitorSpine();
        LoadOptions();
        g_TrayMenuGuard = 0;
    }
    void TearDown() override { SetTrayIcon(TRAY_DELETE, 0, 0); }
};

// --- The icon -----------------------------------------------------------------------

TEST_F(TrayTest, WithHideRuskoNothingIsShownOrChanged)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideRusko", "1");
    LoadOptions();
    EXPECT_EQ(0, SetTrayIcon(TRAY_ADD, 0, 820));
    EXPECT_EQ(0, SetTrayStatus(157, 821));
    EXPECT_EQ(0, SetTrayIcon(TRAY_DELETE, 0, 0));
    // Nothing was added: an own delete now finds no icon.
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = g_MainWindow;
    data.uID = VX_TRAY_ICON_ID;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
}

TEST_F(TrayTest, TheIconIsAddedOnceAndChangesItsState)
{
    EXPECT_EQ(1, SetTrayIcon(TRAY_ADD, 0, 820));
    EXPECT_EQ(1, SetTrayStatus(157, 821));
    EXPECT_EQ(1, SetTrayStatus(158, 824));
    EXPECT_EQ(1, SetTrayStatus(161, 821));
    EXPECT_EQ(1, SetTrayIcon(TRAY_DELETE, 0, 0));
    // The shell has no icon left: a second delete fails.
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = g_MainWindow;
    data.uID = VX_TRAY_ICON_ID;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
}

// --- The menu -----------------------------------------------------------------------

const UINT kMenuNT[] = { 6027, 6033, 0, 6026, 6055, 6040, 6038, 6039, 6056, 0,
                         6029, 6028, 6042, 6052, 0, 6030 };
const UINT kMenu9x[] = { 6027, 6033, 0, 6026, 6055, 6040, 6039, 6056, 0,
                         6029, 6028, 6042, 6052, 6034, 0, 6030 };

TEST_F(TrayTest, TheMenuOnTheNTFamilyOffersServicesButNoRestartCommands)
{
    bool shown = false;
    std::vector<MenuEntry> entries = ReadTrayMenu(VX_TRAY_ICON_ID, &shown);
    ASSERT_TRUE(shown);
    EXPECT_EQ(std::vector<UINT>(std::begin(kMenuNT), std::end(kMenuNT)), Commands(entries));
    ASSERT_EQ(16u, entries.size());
    EXPECT_EQ("About &Vardex / PLUS...", entries[0].text);
    EXPECT_EQ("Display Ser&vices...", entries[6].text);
    EXPECT_EQ("E&xit Program", entries[15].text);
    EXPECT_EQ(0, g_TrayMenuGuard);
}

TEST_F(TrayTest, ARightClickOnAnotherIconShowsNoMenu)
{
    bool shown = true;
    ReadTrayMenu(VX_TRAY_ICON_ID + 1, &shown);
    EXPECT_FALSE(shown);
    EXPECT_EQ(0, g_TrayMenuGuard);
}

TEST_F(TrayTest, ADoubleClickOpensTheStartupPage)
{
    vxtest::PumpMessages(0);
    OnTrayNotify(VX_TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, g_MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(6026u, LOWORD(msg.wParam));
}

TEST_F(TrayTest, WhileTheMenuRunsASecondCallbackIsIgnored)
{
    g_TrayMenuGuard = 1;
    vxtest::PumpMessages(0);
    OnTrayNotify(VX_TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, g_MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(1, g_TrayMenuGuard);
    g_TrayMenuGuard = 0;
}

TEST_F(TrayTest, OtherMouseMessagesDoNothing)
{
    bool shown = true;
    std::thread watcher([&] {
        Sleep(400);
        shown = FindWindowA("#32768", NULL) != NULL;
    });
    OnTrayNotify(VX_TRAY_ICON_ID, WM_LBUTTONUP);
    OnTrayNotify(VX_TRAY_ICON_ID, WM_MOUSEMOVE);
    OnTrayNotify(VX_TRAY_ICON_ID, WM_RBUTTONDOWN);
    watcher.join();
    EXPECT_FALSE(shown);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, g_MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
}

// Run as a child under a Windows 98 version setting (see below): writes the
// menu's commands, one per line, to the file named by VX_MENU_OUT.
TEST(TrayChild, DISABLED_WriteMenuCommands)
{
    vxtest::ResetStore();
    StartMonitorSpine();
    LoadOptions();
    bool shown = false;
    std::vector<MenuEntry> entries = ReadTrayMenu(VX_TRAY_ICON_ID, &shown);
    std::string out;
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    out += "platform " + std::to_string(version.dwPlatformId) + "\n";
    for (const MenuEntry& e : entries)
        out += std::to_string(e.command) + "\n";
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("VX_MENU_OUT", path, sizeof(path));
    vxtest::WriteFileBytes(path, out);
}

TEST_F(TrayTest, TheMenuOnWindows98OffersRestartCommandsButNoServices)
{
    // The same program under another name, which Wine runs as Windows 98.
    std::string self = vxtest::PathInProgramFolder("monitor_test_tray.exe");
    std::string copy = vxtest::PathInProgramFolder("tray98.exe");
    ASSERT_TRUE(CopyFileA(self.c_str(), copy.c_str(), FALSE));
    vxtest::SetString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\tray98.exe", "Version",
                      "win98");
    std::string out = vxtest::PathInProgramFolder("menu98.txt");
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("VX_MENU_OUT", out.c_str());
    int rc = vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                "--gtest_filter=TrayChild.DISABLED_WriteMenuCommands", 60000);
    EXPECT_EQ(0, rc);
    std::string expected = "platform 1\n";
    for (UINT id : kMenu9x)
        expected += std::to_string(id) + "\n";
    EXPECT_EQ(expected, vxtest::ReadFileText(out));
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\tray98.exe");
}

// --- Sounds -----------------------------------------------------------------------------

const char* kSchemeKey = "AppEvents\\Schemes\\Apps\\Vardex";

TEST_F(TrayTest, SoundZeroIsSilent)
{
    const char* values[] = { "0", "-1" };
    for (const char* v : values) {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Sound", v);
        LoadOptions();
        for (int index = -1; index <= 8; index++)
            EXPECT_EQ(SOUND_NONE, PlayAlertSound(index)) << "Sound=" << v << " index " << index;
    }
}

TEST_F(TrayTest, AnEmptySchemeEntryPlaysTheBuiltInSound)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, kSchemeKey);
    EXPECT_EQ(SOUND_BUILT_IN, PlayAlertSound(1));
    vxtest::SetString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Vardex\\Startup Alert\\.current",
                      "", "");
    EXPECT_EQ(SOUND_BUILT_IN, PlayAlertSound(1));
}

TEST_F(TrayTest, TheSchemeChoosesTheFileOfEachEvent)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, kSchemeKey);
    std::string wave = vxtest::PathInProgramFolder("missing-sound.wav");
    vxtest::SetString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Vardex\\Task Alert\\.current",
                      "", wave.c_str());
    EXPECT_EQ(SOUND_SCHEME_FILE, PlayAlertSound(3));
    EXPECT_EQ(SOUND_BUILT_IN, PlayAlertSound(4));
    // The system-file event is listed but played as the "Open" event.
    vxtest::SetString(HKEY_CURRENT_USER,
                      "AppEvents\\Schemes\\Apps\\Vardex\\SystemFile Alert\\.current", "",
                      wave.c_str());
    EXPECT_EQ(SOUND_BUILT_IN, PlayAlertSound(6));
    vxtest::SetString(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Apps\\Vardex\\Open\\.current", "",
                      wave.c_str());
    EXPECT_EQ(SOUND_SCHEME_FILE, PlayAlertSound(6));
    EXPECT_EQ(SOUND_SCHEME_FILE, PlayAlertSound(99));
}

TEST_F(TrayTest, TheSoundEventsAreRegisteredForTheControlPanel)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, kSchemeKey);
    // A label Windows already gives an event of that name is kept.
    vxtest::SetString(HKEY_CURRENT_USER, "AppEvents\\EventLabels\\Open", "", "Open program");
    RegisterSoundEvents();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, kSchemeKey, "", "Vardex");
    const char* events[] = { "Open", "Startup Alert", "Cookie Alert", "Task Alert", "IE Helper",
                             "FileType Alert", "SystemFile Alert" };
    for (const char* e : events) {
        std::string key = std::string(kSchemeKey) + "\\" + e + "\\.current";
        EXPECT_REG_STRING(HKEY_CURRENT_USER, key.c_str(), "", "");
        std::string label = std::string("AppEvents\\EventLabels\\") + e;
        EXPECT_NE("<missing>", vxtest::ReadString(HKEY_CURRENT_USER, label.c_str(), ""));
    }
    EXPECT_REG_STRING(HKEY_CURRENT_USER, "AppEvents\\EventLabels\\Open", "", "Open program");
    EXPECT_REG_STRING(HKEY_CURRENT_USER, "AppEvents\\EventLabels\\Startup Alert", "",
                      "Vardex Startup Alert");
    // A sound the user chose survives the next start.
    std::string chosen = "AppEvents\\Schemes\\Apps\\Vardex\\Cookie Alert\\.current";
    vxtest::SetString(HKEY_CURRENT_USER, chosen.c_str(), "", "C:\\sounds\\bark.wav");
    RegisterSoundEvents();
    EXPECT_REG_STRING(HKEY_CURRENT_USER, chosen.c_str(), "", "C:\\sounds\\bark.wav");
    EXPECT_EQ(SOUND_BUILT_IN, PlayAlertSound(1));
}

}  // namespace

namespace {

// Used by scripts/screenshots.sh: right-clicks the icon of the running
// monitor, as the shell reports it.
TEST(TrayChild, DISABLED_OpenMenuOfRunningMonitor)
{
    HWND monitor = vxtest::WaitForWindow("Vardex", NULL, 20000);
    ASSERT_TRUE(monitor != NULL);
    PostMessageA(monitor, WM_VX_TRAY_NOTIFY, VX_TRAY_ICON_ID, WM_RBUTTONUP);
}

}  // namespace
