// The monitor's entry, its hidden main window, the command table and the
// exit sequence.
#include "monitor/monitor.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "explorer/page_table.h"
#include "foundation/language.h"
#include "foundation/lookup.h"
#include "monitor/message_box.h"
#include "foundation/options.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "foundation/trace.h"
#include "foundation/utils.h"
#include "kessa/kessa.h"
#include "monitor/alerts.h"
#include "monitor/change_watch.h"
#include "monitor/patrol.h"
#include "monitor/restart_window.h"
#include "monitor/tray.h"
#include "startup/autostart.h"
#include "foundation/item_list.h"


int RegisterMonitorClass()
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MonitorWindowProc;
    wc.hInstance = g_Instance;
    wc.hIcon = LoadIconA(g_Instance, MAKEINTRESOURCEA(101));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = g_ClassName;
    return RegisterClassA(&wc) != 0;
}

static HFONT MakeFont(int height, int weight, int underline, const char* face)
{
    return CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, 0, 0, 0,
                       0, 0x20, face);
}

int CreateMonitorWindow()
{
    g_MainWindow = CreateWindowA(g_ClassName, g_Caption, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, NULL,
                                 NULL, g_Instance, NULL);
    if (g_MainWindow == NULL)
        return 0;
    g_Fonts[FONT_ALERT_BODY] = MakeFont(-14, 600, 0, "MS Sans Serif");
    g_Fonts[FONT_ALERT_HEADING] = MakeFont(-18, 500, 0, "Arial");
    g_Fonts[FONT_FILETYPE_LABEL] = MakeFont(-18, 600, 1, "Verdana");
    g_Fonts[FONT_FILE_NAME] = MakeFont(-14, 400, 0, "Arial");
    return 1;
}

static void DeleteFonts()
{
    for (HFONT& font : g_Fonts) {
        if (font != NULL)
            DeleteObject(font);
        font = NULL;
    }
}

int MonitorMain(HINSTANCE instance, const char* commandLine)
{
    g_Instance = instance;
    g_TextModule = instance;
    if (commandLine == NULL)
        commandLine = "";
    if (LoadText(1, g_ClassName, sizeof(g_ClassName)) == 0
        || LoadText(2, g_Caption, sizeof(g_Caption)) == 0)
        return 0;

    // A program or library path on the command line comes from the
    // context-menu verb: look it up online, never become a monitor.
    if (ContainsNoCase(commandLine, ".exe")) {
        OpenProgramLookup(460, commandLine);
        return 0;
    }
    if (ContainsNoCase(commandLine, ".dll")) {
        OpenProgramLookup(470, commandLine);
        return 0;
    }

    HWND running = FindWindowA(g_ClassName, NULL);
    int quit = ContainsNoCase(commandLine, "-Q");
    if (running != NULL) {
        if (quit)
            PostMessageA(running, WM_COMMAND, CMD_EXIT, 0);
        else if (!ContainsNoCase(commandLine, "-NoOpen"))
            StartExplorer("-START");
        return 0;
    }
    if (quit)
        return 0;

    if (!RegisterMonitorClass() || !CreateMonitorWindow())
        return 0;
    ShowWindow(g_MainWindow, SW_HIDE);
    UpdateWindow(g_MainWindow);

    g_ExpressBoot = ContainsNoCase(commandLine, "-expressboot") ? 45 : 0;
    CoInitialize(NULL);
    InitCommonControls();

    char trace[VX_PATH];
    GetProgramFolder(trace);
    TextAppend(trace, "\\send2qu.txt");
    TraceSetFile(trace);

    ResetPatrolState();
    InstallMonitorUi();
    RegisterSoundEvents();
    InitializeMonitor();
    TraceNote("START", "From Initialize to Post");
    g_Patrol.ProcessNotice = 0;
    KessaStartWatch(g_MainWindow);
    TraceElapsed();
    PostMessageA(g_MainWindow, WM_COMMAND, CMD_START_SECOND_HALF, 0);

    int exitCode = RunMonitorLoop();
    DeleteFonts();
    return exitCode;
}

// WM_COMMAND 6025: the second half of the start, run from the message loop.
static void StartSecondHalf()
{
    g_TaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    g_TrayMenuGuard = 0;
    SetTrayIcon(TRAY_ADD, 0, 820);
    ResetStartupRepeat();
    g_Patrol.NoticeChecksInRow = 0;
    g_TimerId = 0;
    g_Patrol.TickCounter = 0;
    g_TimerId = SetTimer(g_MainWindow, VX_TIMER_ID, VX_TIMER_MS, NULL);
    ChangeWatchArmAll();
}

// Commands that start the explorer without naming one of its pages.
static const struct {
    int command;
    const char* switches;
} s_explorerSwitches[] = {
    { CMD_SHOW_MONITOR, "-MONITOR" }, { CMD_SHOW_BLACKLIST, "-BLACKLIST" },
};

static void OnCommand(int id, LPARAM lParam)
{
    const char* page = MonitorSwitchOf(id);
    if (page != NULL) {
        StartExplorer(page);
        return;
    }
    for (const auto& s : s_explorerSwitches)
        if (s.command == id) {
            StartExplorer(s.switches);
            return;
        }
    switch (id) {
    case CMD_START_SECOND_HALF:
        StartSecondHalf();
        break;
    case CMD_EXIT:
        PostMessageA(g_MainWindow, WM_DESTROY, 0, 0);
        break;
    case CMD_RESTART_COMMANDS:
        ShowRestartCommands(0);
        break;
    case CMD_TOGGLE_AUTOSTART:
        SetMonitorAutostart(!g_AlwaysRun);
        break;
    case CMD_TRAY_VISIBILITY:
        // The explorer's box says what the user wants now: a monitor started
        // hidden shows its icon again when the box is cleared.  The icon
        // goes while the option still lets the shell be called.
        if (lParam != 0) {
            SetTrayIcon(TRAY_DELETE, 0, 0);
            g_Options[OPT_HideRusko] = 1;
        } else {
            g_Options[OPT_HideRusko] = 0;
            SetTrayIcon(TRAY_ADD, 0, 820);
        }
        break;
    default:
        break;
    }
}

static void ExitSequence()
{
    ChangeWatchDisarm();
    KessaStopWatch();
    SetTrayIcon(TRAY_DELETE, 0, 0);
    if (g_TimerId != 0)
        KillTimer(g_MainWindow, VX_TIMER_ID);
    g_TimerId = 0;
    DeleteLookupShortcut();
    CoUninitialize();
}

int ExitRequest()
{
    g_Options[OPT_ConfirmExit] = OptionRead("ConfirmExit", 0);
    if (g_Options[OPT_ConfirmExit] != 0) {
        char text[512];
        LoadText(17, text, sizeof(text));
        if (ShowMessage(NULL, text, MB_YESNO | MB_ICONQUESTION) == IDNO) {
            WinExec("VardexView.exe -RESTART", SW_SHOWNORMAL);
            return 0;
        }
    }
    ExitSequence();
    PostQuitMessage(0);
    return 1;
}

LRESULT CALLBACK MonitorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        ChangeWatchTick();
        PatrolTick();
        break;
    case WM_VX_TRAY_NOTIFY:
        OnTrayNotify((UINT)wParam, (UINT)lParam);
        break;
    case WM_VX_PROCESS_CHANGE:
        g_Patrol.ProcessNotice = 1;
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), lParam);
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (!ExitRequest())
            return 0;
        break;
    default:
        if (g_TaskbarCreated != 0 && message == g_TaskbarCreated)
            SetTrayIcon(TRAY_ADD, 0, 820);
        if (message != 0 && message == LoopStatsMessage())
            return LoopStat(wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!IsWindow(window))
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}
