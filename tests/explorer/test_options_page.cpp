// The Options page driven as a user would: every box pressed and the
// registry read back, the patrol image buttons with their dialog, the
// alert-hiding dialog, and the running monitor told about its icon.
#include <windows.h>
#include <shellapi.h>

#include "explorer/frame_resources.h"
#include "explorer/page_table.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "list_page_driver.h"
#include "monitor/tray.h"
#include "reports/scan_log.h"
#include "reports/settings_export.h"
#include "resources/explorer_resource.h"
#include "resources/pages/options.h"
#include "resources/vardex_version.h"
#include "startup/autostart.h"
#include "../monitor/running_monitor.h"

namespace {

using page_test::Press;
using page_test::Shown;
using page_test::Usable;
using page_test::WithBoxes;
using page_test::WithDialog;

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kHostTime = "Patrol Time for checking HOST file";

struct OptionsPage : testing::Test {
    static void SetUpTestSuite()
    {
        g_Instance = GetModuleHandleA(NULL);
        g_TextModule = g_Instance;
        CreateFrameResources();
    }
    static void TearDownTestSuite() { FreeFrameResources(); }
    void SetUp() override
    {
        vxtest::ResetStore();
        SetOptionsForExplorer(1);
    }
    static std::string Option(const char* name)
    {
        return vxtest::ReadString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, name);
    }
    static void ClearUpdate()
    {
        vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Update", "0");
    }
    static bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) != 0; }
};

// A left click on an image button of the page.
void ClickImage(HWND page, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(page, id), &r);
    POINT at = { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    ScreenToClient(page, &at);
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

HBITMAP ImageOf(HWND page, int id)
{
    return (HBITMAP)SendDlgItemMessageA(page, id, STM_GETIMAGE, IMAGE_BITMAP, 0);
}

TEST_F(OptionsPage, EachBoxWritesItsOptionAndTheReloadSignal)
{
    const struct { int box; const char* option; const char* on; const char* off; } boxes[] = {
        { IDC_OPTIONS_SOUND, "Sound", "1", "0" },
        { IDC_OPTIONS_HISTORY, "History", "1", "0" },
        { IDC_OPTIONS_LOCK_TYPES, "LockFileTypes", "1", "0" },
        { IDC_OPTIONS_CONFIRM_EXIT, "ConfirmExit", "1", "0" },
        { IDC_OPTIONS_TRAY_ICON, "TrayIcon", "159", "101" },
        { IDC_OPTIONS_EXPLORER_MENU, "ExplorerMenu", "1", "0" },
        { IDC_OPTIONS_PLUS_FORMAT, "PlusFormat", "1", "0" },
        { IDC_OPTIONS_HIDE_ICON, "HideRusko", "1", "0" },
    };
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    ASSERT_TRUE(page != NULL);
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.option);
        bool was = IsChecked(page, b.box);
        for (int round = 0; round < 2; round++) {
            ClearUpdate();
            WithBoxes({}, [&] { Press(page, b.box); });
            bool now = IsChecked(page, b.box);
            EXPECT_NE(was, now);
            EXPECT_EQ(now ? b.on : b.off, Option(b.option));
            EXPECT_EQ("1", Option("Update"));
            was = now;
        }
    }
}

TEST_F(OptionsPage, SomeBoxesTellTheUserOrTheShellFirst)
{
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    auto boxes = WithBoxes({}, [&] { Press(page, IDC_OPTIONS_HIDE_ICON); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("Start menu"));
    boxes = WithBoxes({}, [&] { Press(page, IDC_OPTIONS_PLUS_FORMAT); });
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].text.find("Thank you for your support."));
    // Clearing either asks nothing.
    boxes = WithBoxes({}, [&] {
        Press(page, IDC_OPTIONS_HIDE_ICON);
        Press(page, IDC_OPTIONS_PLUS_FORMAT);
    });
    EXPECT_EQ(0u, boxes.size());

    // The context-menu verb starts the monitor, quoted, with the file.
    if (IsChecked(page, IDC_OPTIONS_EXPLORER_MENU))
        Press(page, IDC_OPTIONS_EXPLORER_MENU);
    Press(page, IDC_OPTIONS_EXPLORER_MENU);
    std::string verb = "\"" + vxtest::PathInProgramFolder("vardex.exe") + "\" %1";
    EXPECT_REG_STRING(HKEY_CLASSES_ROOT, VX_VERB_KEY "\\command", "", verb.c_str());
    Press(page, IDC_OPTIONS_EXPLORER_MENU);
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, VX_VERB_KEY));
}

TEST_F(OptionsPage, AutostartIsQuotedFollowsTheStartupListAndARefusalIsTold)
{
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    std::string own = "\"" + vxtest::PathInProgramFolder("vardex.exe") + "\" -expressboot";
    Press(page, IDC_OPTIONS_AUTOSTART);
    EXPECT_TRUE(IsChecked(page, IDC_OPTIONS_AUTOSTART));
    EXPECT_REG_STRING(HKEY_LOCAL_MACHINE, kRunKey, "Vardex", own.c_str());
    std::string listed = vxtest::PathInProgramFolder("vardex.exe") + " -expressboot";
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_RUN_KEY, listed.c_str(), "1");
    // An older entry under the long name goes too.
    vxtest::SetString(HKEY_LOCAL_MACHINE, kRunKey, "Vardex System Monitor", own.c_str());
    Press(page, IDC_OPTIONS_AUTOSTART);
    EXPECT_FALSE(IsChecked(page, IDC_OPTIONS_AUTOSTART));
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, kRunKey, "Vardex");
    EXPECT_REG_MISSING(HKEY_LOCAL_MACHINE, kRunKey, "Vardex System Monitor");
    // The machine-wide key refuses the write (a volatile key takes no
    // lasting subkey): the box shows what is true and the user learns why.
    HKEY scratch = NULL;
    RegDeleteKeyTree(HKEY_CURRENT_USER, "Software\\VxVolatile");
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VxVolatile", 0, NULL,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &scratch,
                                             NULL));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch));
    auto boxes = WithBoxes({}, [&] { Press(page, IDC_OPTIONS_AUTOSTART); });
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    RegCloseKey(scratch);
    EXPECT_FALSE(IsChecked(page, IDC_OPTIONS_AUTOSTART));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("administrator"));
}

TEST_F(OptionsPage, PatrolButtonsStoreTheMinutesAndShowTheirState)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "RealtimeSysFiles", "0");
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "RealtimeStartPage", "0");
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    // The NT family has no restart file.
    EXPECT_FALSE(Shown(page, IDC_OPTIONS_RESTART));
    EXPECT_FALSE(Shown(page, IDC_OPTIONS_RESTART_LABEL));
    // OK stores the minutes (the field's reading has its own tests).
    WithDialog(kHostTime, [](HWND d) { SetDlgItemTextA(d, IDC_PATROL_MINUTES, "7"); },
               [&] { ClickImage(page, 1137); });
    EXPECT_EQ("7", Option("HostFile"));
    EXPECT_EQ(FrameBitmap(IDB_PATROL_TIMER), ImageOf(page, IDC_OPTIONS_HOST_FILE));
    // Cancel keeps the minutes.
    WithDialog(kHostTime, [](HWND) {}, [&] { ClickImage(page, 1137); }, IDCANCEL);
    EXPECT_EQ("7", Option("HostFile"));
    // Real time: 0 minutes, the switch on, the image says so.
    WithDialog("Patrol Time for Default Internet Pages", [](HWND d) {
        SendMessageA(GetDlgItem(d, IDC_PATROL_REALTIME), BM_CLICK, 0, 0);
    }, [&] { ClickImage(page, 1136); });
    EXPECT_EQ("0", Option("StartPage"));
    EXPECT_EQ("1", Option("RealtimeStartPage"));
    EXPECT_EQ(FrameBitmap(IDB_PATROL_REALTIME), ImageOf(page, IDC_OPTIONS_START_PAGE));
}

TEST_F(OptionsPage, CommandButtonsWriteTheirFiles)
{
    for (const char* extension : { ".txt", ".log", ".csv" })
        page_test::OpenHarmlessly(extension);
    OptionWrite("Format", 1);
    LoadOptions();
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_OPTIONS_LOG); }).empty());
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_OPTIONS_SCAN_LOG); }).empty());
    EXPECT_TRUE(WithBoxes({}, [&] { Press(page, IDC_OPTIONS_CSV); }).empty());
    for (const char* file : { "VardexLog.txt", SCAN_LOG_FILE, CSV_LOG_FILE })
        EXPECT_FALSE(vxtest::ReadFileText(vxtest::PathInProgramFolder(file)).empty()) << file;
    // The export names its file in one box.
    char script[MAX_PATH];
    ASSERT_TRUE(ExportFileName(script, sizeof(script)));
    EXPECT_EQ(1u, WithBoxes({ IDOK }, [&] { Press(page, IDC_OPTIONS_EXPORT); }).size());
    EXPECT_EQ(0u, vxtest::ReadFileText(script).find("Windows Registry Editor Version 5.00"));
    EXPECT_TRUE(Usable(page, IDC_OPTIONS_RESTORE_DELAYED));
    // No history server: no alert hiding.
    EXPECT_FALSE(Shown(page, IDC_OPTIONS_HIDE_ALERTS));
}

TEST_F(OptionsPage, AlertHidingOnlyWithTheVendorsServerAndEachRowInThreeStates)
{
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", "http://elsewhere/h.pl?");
    {
        page_test::PageHost host(PAGE_OPTIONS);
        EXPECT_TRUE(Shown(host.Page(), IDC_OPTIONS_HIDE_ALERTS));
        EXPECT_FALSE(Usable(host.Page(), IDC_OPTIONS_HIDE_ALERTS));
    }
    vxtest::SetString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver",
                      VX_VENDOR_ROOT "cgi-bin/history.pl?");
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    ASSERT_TRUE(Usable(page, IDC_OPTIONS_HIDE_ALERTS));
    std::string seen;
    WithDialog("Hide Alert Messages", [&](HWND d) {
        auto state = [&] {
            return std::to_string(g_Options[OPT_HideActiveX]) +
                   (IsDlgButtonChecked(d, IDC_HIDING_ACTIVEX) ? "x" : "-") +
                   (IsWindowEnabled(GetDlgItem(d, 1222)) ? "e" : "d") +
                   (IsDlgButtonChecked(d, 1222) ? "A" : "") +
                   (IsDlgButtonChecked(d, 1223) ? "D" : "") + " ";
        };
        seen += state();
        SendMessageA(GetDlgItem(d, IDC_HIDING_ACTIVEX), BM_CLICK, 0, 0);
        seen += state();
        SendMessageA(GetDlgItem(d, 1223), BM_CLICK, 0, 0);
        seen += state();
        SendMessageA(GetDlgItem(d, IDC_HIDING_ACTIVEX), BM_CLICK, 0, 0);
        seen += state();
        SendMessageA(GetDlgItem(d, 1232), BM_CLICK, 0, 0);  // File Types: deny
    }, [&] { Press(page, IDC_OPTIONS_HIDE_ALERTS); });
    EXPECT_EQ("0-d 1xeA 2xeD 0-d ", seen);
    EXPECT_EQ("0", Option("HideActiveX"));
    EXPECT_EQ("2", Option("HideFileType"));
}

// A monitor started hidden shows its icon again when the box is cleared.
TEST_F(OptionsPage, TheRunningMonitorFollowsTheHideBox)
{
    vxtest::SetString(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "HideRusko", "1");
    RunningMonitor monitor;
    ASSERT_TRUE(monitor.Start());
    HWND window = FindWindowA("Vardex", NULL);
    page_test::PageHost host(PAGE_OPTIONS);
    HWND page = host.Page();
    ASSERT_TRUE(IsChecked(page, IDC_OPTIONS_HIDE_ICON));
    Press(page, IDC_OPTIONS_HIDE_ICON);
    EXPECT_EQ("0", Option("HideRusko"));
    NOTIFYICONDATAA data = { NOTIFYICONDATAA_V2_SIZE, window, VX_TRAY_ICON_ID };
    // The icon is there: the shell can take it away.
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
}

}  // namespace
