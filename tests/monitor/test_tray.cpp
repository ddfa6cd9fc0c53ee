// The tray icon, its menu and the alert sounds, against Wine's real
// notification area (the virtual desktop's taskbar) and menus.
#include <windows.h>

#include <string>
#include <thread>

#include "foundation/language.h"
#include "foundation/options.h"
#include "monitor/monitor.h"
#include "monitor/tray.h"
#include "support/vxtest.h"
#include "monitor/monitor_spine.h"

namespace {

// Sends the tray callback for the icon id and, if that opens a menu, reads
// it from a second thread ("command text" a line, 0 for a separator) and
// closes it as the shell would.  "" when no menu opened.
std::string ReadTrayMenu(UINT iconId, UINT mouse = WM_RBUTTONUP)
{
    std::string entries;
    std::thread reader([&] {
        HWND popup = NULL;
        for (int i = 0; i < 40 && popup == NULL; i++) {
            popup = FindWindowA("#32768", NULL);
            if (popup == NULL)
                Sleep(25);
        }
        if (popup == NULL)
            return;
        HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
        for (int i = 0; i < GetMenuItemCount(menu); i++) {
            char text[256] = "";
            GetMenuStringA(menu, (UINT)i, text, sizeof(text), MF_BYPOSITION);
            UINT id = GetMenuItemID(menu, i);
            entries += std::to_string(id == (UINT)-1 ? 0 : id) + " " + text + "\n";
        }
        PostMessageA(g_MainWindow, WM_CANCELMODE, 0, 0);
    });
    OnTrayNotify(iconId, mouse);
    reader.join();
    return entries;
}

// The command the last tray callback posted to the main window, 0 for none.
UINT PostedCommand()
{
    MSG msg;
    if (!PeekMessageA(&msg, g_MainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        return 0;
    return LOWORD(msg.wParam);
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

TEST_F(TrayTest, TheIconIsAddedAndChangedUnlessHideRuskoIsSet)
{
    for (int hide = 0; hide <= 1; hide++) {
        SCOPED_TRACE(hide);
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideRusko", hide ? "1" : "0");
        LoadOptions();
        EXPECT_EQ(1 - hide, SetTrayIcon(TRAY_ADD, 0, 820));
        EXPECT_EQ(1 - hide, SetTrayStatus(157, 821));
        EXPECT_EQ(1 - hide, SetTrayStatus(158, 824));
        EXPECT_EQ(1 - hide, SetTrayStatus(161, 821));
        EXPECT_EQ(1 - hide, SetTrayIcon(TRAY_DELETE, 0, 0));
        // Either nothing was added or it is gone: a delete of our own fails.
        NOTIFYICONDATAA data;
        ZeroMemory(&data, sizeof(data));
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = g_MainWindow;
        data.uID = VX_TRAY_ICON_ID;
        EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
    }
}

// --- The menu and the mouse -------------------------------------------------------------

const char* kMenuNT = "6027 6033 0 6026 6055 6040 6038 6039 6056 0 6029 6028 6042 6052 0 6030 ";
const char* kMenu9x = "6027 6033 0 6026 6055 6040 6039 6056 0 6029 6028 6042 6052 6034 0 6030 ";

// The commands alone, on one line.
std::string Commands(const std::string& menu)
{
    std::string ids;
    for (size_t at = 0; at < menu.size(); at = menu.find('\n', at) + 1)
        ids += menu.substr(at, menu.find(' ', at) - at) + " ";
    return ids;
}

TEST_F(TrayTest, TheMenuOnTheNTFamilyOffersServicesButNoRestartCommands)
{
    std::string menu = ReadTrayMenu(VX_TRAY_ICON_ID);
    EXPECT_EQ(kMenuNT, Commands(menu));
    const char* texts[] = { "6027 About &Vardex / PLUS...\n", "6038 Display Ser&vices...\n",
                            "6030 E&xit Program\n" };
    for (const char* t : texts)
        EXPECT_NE(std::string::npos, menu.find(t)) << menu;
    EXPECT_EQ(0, g_TrayMenuGuard);
}

TEST_F(TrayTest, OnlyARightClickOnOurIconShowsTheMenuAndADoubleClickTheStartupPage)
{
    const struct { UINT icon, mouse; int guard; UINT command; } cases[] = {
        { VX_TRAY_ICON_ID + 1, WM_RBUTTONUP, 0, 0 },  // another icon
        { VX_TRAY_ICON_ID, WM_LBUTTONUP, 0, 0 },
        { VX_TRAY_ICON_ID, WM_MOUSEMOVE, 0, 0 },
        { VX_TRAY_ICON_ID, WM_RBUTTONDOWN, 0, 0 },
        { VX_TRAY_ICON_ID, WM_LBUTTONDBLCLK, 0, 6026 },
        // While the menu runs a second callback is ignored.
        { VX_TRAY_ICON_ID, WM_LBUTTONDBLCLK, 1, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "icon " << c.icon << " message " << c.mouse);
        vxtest::PumpMessages(0);
        g_TrayMenuGuard = c.guard;
        EXPECT_EQ("", ReadTrayMenu(c.icon, c.mouse));
        EXPECT_EQ(c.command, PostedCommand());
        EXPECT_EQ(c.guard, g_TrayMenuGuard);
    }
    g_TrayMenuGuard = 0;
}

// Run as a child under a Windows 98 version setting (see below): writes the
// platform and the menu's commands, one per line, to the file named by
// VX_MENU_OUT.
TEST(TrayChild, DISABLED_WriteMenuCommands)
{
    vxtest::ResetStore();
    StartMonitorSpine();
    LoadOptions();
    std::string menu = ReadTrayMenu(VX_TRAY_ICON_ID);
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    char path[MAX_PATH] = "";
    GetEnvironmentVariableA("VX_MENU_OUT", path, sizeof(path));
    vxtest::WriteFileBytes(path, "platform " + std::to_string(version.dwPlatformId) + "\n" +
                                     Commands(menu));
}

TEST_F(TrayTest, TheMenuOnWindows98OffersRestartCommandsButNoServices)
{
    // The same program under another name, which Wine runs as Windows 98.
    std::string self = vxtest::PathInProgramFolder("monitor_test_tray.exe");
    std::string copy = vxtest::PathInProgramFolder("tray98.exe");
    ASSERT_TRUE(CopyFileA(self.c_str(), copy.c_str(), FALSE));
    const char* key = "Software\\Wine\\AppDefaults\\tray98.exe";
    vxtest::SetString(HKEY_CURRENT_USER, key, "Version", "win98");
    std::string out = vxtest::PathInProgramFolder("menu98.txt");
    SetEnvironmentVariableA("VX_MENU_OUT", out.c_str());
    EXPECT_EQ(0, vxtest::RunProgram("\"" + copy + "\" --gtest_also_run_disabled_tests "
                                    "--gtest_filter=TrayChild.DISABLED_WriteMenuCommands", 60000));
    EXPECT_EQ(std::string("platform 1\n") + kMenu9x, vxtest::ReadFileText(out));
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

// --- Sounds -----------------------------------------------------------------------------

const char* kSchemeKey = "AppEvents\\Schemes\\Apps\\Vardex";

void SetSchemeSound(const char* event, const std::string& file)
{
    std::string key = std::string(kSchemeKey) + "\\" + event + "\\.current";
    vxtest::SetString(HKEY_CURRENT_USER, key.c_str(), "", file.c_str());
}

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

TEST_F(TrayTest, TheSchemeChoosesTheFileOfEachEvent)
{
    RegDeleteKeyTree(HKEY_CURRENT_USER, kSchemeKey);
    EXPECT_EQ(SOUND_BUILT_IN, PlayAlertSound(1));  // no scheme at all
    std::string wave = vxtest::PathInProgramFolder("missing-sound.wav");
    SetSchemeSound("Startup Alert", "");
    SetSchemeSound("Task Alert", wave);
    // The system-file event is listed but played as the "Open" event.
    SetSchemeSound("SystemFile Alert", wave);
    const struct { int index, played; } cases[] = {
        { 1, SOUND_BUILT_IN },  // an empty entry
        { 3, SOUND_SCHEME_FILE }, { 4, SOUND_BUILT_IN }, { 6, SOUND_BUILT_IN },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.played, PlayAlertSound(c.index)) << c.index;
    SetSchemeSound("Open", wave);
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
    SetSchemeSound("Cookie Alert", "C:\\sounds\\bark.wav");
    RegisterSoundEvents();
    std::string chosen = std::string(kSchemeKey) + "\\Cookie Alert\\.current";
    EXPECT_REG_STRING(HKEY_CURRENT_USER, chosen.c_str(), "", "C:\\sounds\\bark.wav");
}

// Used by scripts/screenshots.sh: right-clicks the icon of the running
// monitor, as the shell reports it.
TEST(TrayChild, DISABLED_OpenMenuOfRunningMonitor)
{
    HWND monitor = vxtest::WaitForWindow("Vardex", NULL, 20000);
    ASSERT_TRUE(monitor != NULL);
    PostMessageA(monitor, WM_VX_TRAY_NOTIFY, VX_TRAY_ICON_ID, WM_RBUTTONUP);
}

}  // namespace
