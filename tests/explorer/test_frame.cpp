// The frame's dialogs and controls, shown for real on this thread and used
// from a second thread as a user would: the patrol-time dialog, the
// message dialog, the image buttons and the page layout.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <thread>

#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/frame_resources.h"
#include "explorer/page_table.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "resources/explorer_resource.h"
#include "list_page_driver.h"
#include "support/vxtest.h"

namespace {

struct FrameTest : testing::Test {
    static void SetUpTestSuite()
    {
        g_Instance = GetModuleHandleA(NULL);
        g_TextModule = g_Instance;
        InitCommonControls();
        ASSERT_EQ(1, CreateFrameResources());
    }
    static void TearDownTestSuite() { FreeFrameResources(); }
    void SetUp() override
    {
        vxtest::ResetStore();
        SetOptionsForExplorer(1);
        LoadOptions();
    }
};

using page_test::WithDialog;
const char* const kStartup = "Patrol Time for Startup Programs";

const PageRecord* Startup() { return PageByCommand(PAGE_STARTUP); }
int Ask(const PageRecord* page) { return AskPatrolTime(NULL, page); }
int Position(HWND d) { return (int)SendDlgItemMessageA(d, IDC_PATROL_SLIDER, TBM_GETPOS, 0, 0); }
bool Enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != 0; }
void Type(HWND d, const char* text)
{ SendDlgItemMessageA(d, IDC_PATROL_MINUTES, WM_SETTEXT, 0, (LPARAM)text); }

TEST_F(FrameTest, PatrolTimeShowsTheMinutesTheSliderFillsTheFieldAndZeroLocksIt)
{
    g_Options[OPT_Start] = 7;
    g_Options[OPT_RealtimeStartup] = 0;
    int minutes = -2;
    WithDialog(kStartup, [](HWND d) {
        EXPECT_EQ("7", vxtest::DialogItemText(d, IDC_PATROL_MINUTES));
        EXPECT_EQ(7, Position(d));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, IDC_PATROL_REALTIME)));
        Type(d, "45");
        EXPECT_EQ(30, Position(d));  // the slider ends at 30
        HWND slider = GetDlgItem(d, IDC_PATROL_SLIDER);
        SendMessageA(slider, TBM_SETPOS, TRUE, 12);
        SendMessageA(d, WM_HSCROLL, TB_ENDTRACK, (LPARAM)slider);
        EXPECT_EQ("12", vxtest::DialogItemText(d, IDC_PATROL_MINUTES));
        SendMessageA(slider, TBM_SETPOS, TRUE, 0);
        SendMessageA(d, WM_HSCROLL, TB_ENDTRACK, (LPARAM)slider);
        EXPECT_FALSE(Enabled(d, IDC_PATROL_MINUTES));
    }, [&] { minutes = Ask(Startup()); });
    EXPECT_EQ(0, minutes);
    EXPECT_EQ(7, g_Options[OPT_Start]);  // storing is the caller's
}

// Real time is stored as soon as it is checked, and Cancel puts it back;
// checked and OK from the Monitor button: 0 minutes, real time on, and the
// button shows the state.
TEST_F(FrameTest, RealTimeAndTheMonitorButtonsState)
{
    g_Options[OPT_Start] = 4;
    g_Options[OPT_RealtimeStartup] = 0;
    int minutes = -2;
    auto checkRealTime = [](HWND d) {
        vxtest::ClickButton(d, IDC_PATROL_REALTIME);
        vxtest::PumpMessages(200);
    };
    WithDialog(kStartup, [&](HWND d) {
        checkRealTime(d);
        EXPECT_EQ(1, g_Options[OPT_RealtimeStartup]);
        EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "RealtimeStartup", "1");
        EXPECT_EQ("0", vxtest::DialogItemText(d, IDC_PATROL_MINUTES));
        EXPECT_FALSE(Enabled(d, IDC_PATROL_SLIDER));
        EXPECT_FALSE(Enabled(d, IDC_PATROL_MINUTES));
    }, [&] { minutes = Ask(Startup()); }, IDCANCEL);
    EXPECT_EQ(-1, minutes);
    EXPECT_EQ(0, g_Options[OPT_RealtimeStartup]);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "RealtimeStartup", "0");

    HWND page = CreateWindowA("Static", "", WS_POPUP, 0, 0, 300, 200, NULL, NULL, NULL, NULL);
    HWND button = CreateWindowA("Static", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 200, 10, 20, 20,
                                page, (HMENU)(INT_PTR)FRAME_MONITOR_BUTTON, NULL, NULL);
    ASSERT_TRUE(button != NULL);
    auto shown = [&] { return (HBITMAP)SendMessageA(button, STM_GETIMAGE, IMAGE_BITMAP, 0); };
    WithDialog(kStartup, checkRealTime, [&] { OnMonitorButton(page, Startup()); });
    EXPECT_EQ(0, g_Options[OPT_Start]);
    EXPECT_EQ(1, g_Options[OPT_RealtimeStartup]);
    EXPECT_REG_STRING(HKEY_CURRENT_USER, VX_OPTIONS_KEY, "Start", "0");
    EXPECT_EQ(FrameBitmap(IDB_PATROL_REALTIME), shown());
    g_Options[OPT_RealtimeStartup] = 0;
    g_Options[OPT_Start] = 0;
    ShowPatrolState(page, Startup());
    EXPECT_EQ(FrameBitmap(IDB_PATROL_OFF), shown());
    DestroyWindow(page);
}

TEST_F(FrameTest, CategoriesWithoutRealTimeHideTheBox)
{
    const PageRecord* tasks = PageByCommand(PAGE_SCHEDULED_TASKS);
    g_Options[OPT_Tasks] = 11;
    int minutes = -2;
    WithDialog("Patrol Time for Tasks", [](HWND d) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_PATROL_REALTIME)));
        Type(d, "");
    }, [&] { minutes = Ask(tasks); });
    EXPECT_EQ(0, minutes);  // an empty field is no number: 0
    EXPECT_EQ(-1, Ask(PageByCommand(PAGE_ACTIVE_TASKS)));  // no patrol option: no dialog
}

TEST_F(FrameTest, TheMessageDialogShowsItsTextCentredOneThirdDown)
{
    RECT at = {};
    WithDialog("Vardex", [&](HWND d) {
        EXPECT_EQ("ERROR: Your system is not in its normal condition.  We recommend rebooting to "
                  "resolve this problem.", vxtest::DialogItemText(d, IDC_MESSAGE_TEXT));
        GetWindowRect(d, &at);
    }, [] { ShowMessageText(NULL, IDS_SHEET_FAILED); });
    int width = at.right - at.left, height = at.bottom - at.top;
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, at.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 3, at.top);
}

// A page with a Help and a Monitor image button, answering commands.
int g_Commands[2];
LRESULT CALLBACK TestPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == FRAME_HELP_BUTTON)
        g_Commands[0]++;
    if (message == WM_COMMAND && LOWORD(wParam) == FRAME_MONITOR_BUTTON)
        g_Commands[1]++;
    return DefWindowProcA(page, message, wParam, lParam);
}

TEST_F(FrameTest, ImageButtonsHoverPressAndSendTheirCommand)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestPageProc;
    wc.hInstance = g_Instance;
    wc.lpszClassName = "VxTestPage";
    RegisterClassA(&wc);
    HWND frame = CreateWindowA("Static", "", WS_POPUP, 0, 0, 400, 300, NULL, NULL, NULL, NULL);
    HWND page = CreateWindowA("VxTestPage", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame, NULL,
                              g_Instance, NULL);
    HWND help = CreateWindowA("Static", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 300, 3, 20, 20,
                              page, (HMENU)(INT_PTR)FRAME_HELP_BUTTON, NULL, NULL);
    HWND monitor = CreateWindowA("Static", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 300, 38, 20,
                                 20, page, (HMENU)(INT_PTR)FRAME_MONITOR_BUTTON, NULL, NULL);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    g_Options[OPT_Start] = 2;
    g_Options[OPT_RealtimeStartup] = 0;
    PageActivated(page, Startup());
    auto shown = [](HWND b) { return (HBITMAP)SendMessageA(b, STM_GETIMAGE, IMAGE_BITMAP, 0); };
    EXPECT_EQ(FrameBitmap(IDB_HELP_NORMAL), shown(help));
    EXPECT_EQ(FrameBitmap(IDB_PATROL_TIMER), shown(monitor));

    LPARAM overHelp = MAKELPARAM(305, 8), overMonitor = MAKELPARAM(305, 45);
    LPARAM nowhere = MAKELPARAM(5, 5);
    EXPECT_EQ(1, HandleImageButtons(page, WM_MOUSEMOVE, 0, overHelp));
    EXPECT_EQ(FrameBitmap(IDB_HELP_HOVER), shown(help));
    EXPECT_EQ(1, HandleImageButtons(page, WM_MOUSEMOVE, 0, overMonitor));
    EXPECT_EQ(FrameBitmap(IDB_HELP_NORMAL), shown(help));
    EXPECT_EQ(FrameBitmap(IDB_PATROL_PRESSED), shown(monitor));  // a Monitor button's hover
    EXPECT_EQ(0, HandleImageButtons(page, WM_MOUSEMOVE, 0, nowhere));
    EXPECT_EQ(FrameBitmap(IDB_PATROL_TIMER), shown(monitor));

    EXPECT_EQ(1, HandleImageButtons(page, WM_LBUTTONDOWN, 0, overHelp));
    EXPECT_EQ(FrameBitmap(IDB_HELP_PRESSED), shown(help));
    HandleImageButtons(page, WM_MOUSEMOVE, 0, overHelp);  // no hover while pressed
    EXPECT_EQ(FrameBitmap(IDB_HELP_PRESSED), shown(help));
    EXPECT_EQ(1, HandleImageButtons(page, WM_LBUTTONUP, 0, overHelp));
    EXPECT_EQ(FrameBitmap(IDB_HELP_NORMAL), shown(help));
    EXPECT_EQ(1, g_Commands[0]);
    EXPECT_EQ(1, HandleImageButtons(page, WM_LBUTTONDBLCLK, 0, overMonitor));
    EXPECT_EQ(1, g_Commands[1]);
    EXPECT_EQ(0, HandleImageButtons(page, WM_LBUTTONUP, 0, nowhere));
    EXPECT_EQ(1, g_Commands[0]);

    // Left: the buttons are plain statics again.
    PageLeft(page, 0);
    EXPECT_EQ(0, HandleImageButtons(page, WM_LBUTTONUP, 0, overHelp));
    EXPECT_EQ(1, g_Commands[0]);
    DestroyWindow(frame);
}

INT_PTR CALLBACK QuietPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(FrameTest, LayoutPageSpreadsTheButtonsAndFillsTheList)
{
    HWND frame = CreateWindowA("Static", "", WS_POPUP, 0, 0, 800, 600, NULL, NULL, NULL, NULL);
    HWND page = CreateDialogParamA(g_Instance, MAKEINTRESOURCEA(IDD_PENDING_PAGE), frame,
                                   QuietPageProc, 0);
    ASSERT_TRUE(page != NULL);
    SetWindowPos(page, NULL, 0, 0, 700, 500, SWP_NOZORDER | SWP_NOMOVE);
    CreateWindowA(WC_LISTVIEWA, "", WS_CHILD, 0, 0, 10, 10, page, (HMENU)FRAME_LIST, NULL, NULL);
    const int ids[] = { 1008, 1064, 1003, 10, 1004 }, partners[] = { 0, 0, 0, 11, 0 };
    for (int id : { 1008, 1064, 1003, 10, 11 })
        CreateWindowA("Button", "", WS_CHILD, 0, 0, 90, 23, page, (HMENU)(INT_PTR)id, NULL, NULL);
    auto rectOf = [&](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(page, id), &r);
        MapWindowPoints(NULL, page, (POINT*)&r, 2);
        return r;
    };
    SetWindowPos(GetDlgItem(page, 1004), NULL, 0, 0, 90, 23, SWP_NOZORDER | SWP_NOMOVE);
    LayoutPage(page, ids, 5, partners);
    RECT units = { 7, 44, 14, 90 };
    MapDialogRect(page, &units);
    RECT list = rectOf(FRAME_LIST);
    EXPECT_EQ(units.left, list.left);
    EXPECT_EQ(units.top + 5, list.top);
    EXPECT_EQ(700 - units.right, list.right);
    EXPECT_EQ(500 - units.bottom, list.bottom);
    int width = list.right - list.left, step = (width - 5 * 90) / 4 + 90;
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(units.left + i * step, rectOf(ids[i]).left) << ids[i];
    EXPECT_EQ(units.left + 4 * step + 25, rectOf(1004).left);
    EXPECT_EQ(65, rectOf(1004).right - rectOf(1004).left);
    RECT enable = rectOf(10), disable = rectOf(11);
    EXPECT_TRUE(EqualRect(&enable, &disable));
    EXPECT_GT(rectOf(1008).top, list.bottom);
    // A single button is centred under the list.
    LayoutPage(page, ids + 4, 1, NULL);
    RECT close = rectOf(1004);
    EXPECT_EQ(list.left + (width - 65) / 2, close.left);
    DestroyWindow(frame);
}

}  // namespace
