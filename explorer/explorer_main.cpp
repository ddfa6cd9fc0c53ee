// The explorer's entry, its hidden main window and the commands that window
// takes: from this process's own start, and from a second start that hands
// its request on.
#include "explorer/explorer.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "categories/browser_pages.h"
#include "categories/cookies.h"
#include "explorer/explorer_text.h"
#include "explorer/frame.h"
#include "explorer/frame_resources.h"
#include "explorer/page_table.h"
#include "explorer/pages.h"
#include "foundation/detected.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/lookup.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "reports/os_name.h"
#include "reports/report.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"
#include "resources/explorer_resource.h"

HINSTANCE g_Instance = NULL;
HWND g_MainWindow = NULL;

static char s_className[32];
static char s_loadingCaption[64];

// --- Maintenance ----------------------------------------------------------------

void RestoreDefaults()
{
    ResetLanguageAndLayout();
    RestoreAllDelayed();
    SetExplorerMenuVerb(0);
}

int PurgeNextDetectedSubkey()
{
    static const char* const subkeys[4] = { "Tasks", "ActiveTasks", "Services", "Hidden" };
    int n = OptionRead("nCount", 0) + 1;
    if (n > 3 || n < 0)
        n = 0;
    OptionWrite("nCount", n);
    PurgeDetectedDates(subkeys[n]);
    return n;
}

int CleanPrefetch()
{
    char folder[VX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof(folder));
    if (length == 0 || length >= sizeof(folder))
        return 0;
    TextAppend(folder, "\\Prefetch\\");
    char pattern[VX_PATH];
    TEXT_FORMAT(pattern, "%s*", folder);
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA(pattern, &found));
    if (!find.IsValid())
        return 0;
    int deleted = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
            || !TextFindNoCase(found.cFileName, "Vardexusb.exe"))
            continue;
        char path[VX_PATH];
        if (TEXT_FORMAT(path, "%s%s", folder, found.cFileName) < sizeof(path) - 1
            && DeleteFileA(path))
            deleted++;
    } while (FindNextFileA(find.Get(), &found));
    return deleted;
}

// Runs the maintenance switch; 1 when there was one (the process then ends).
static int RunMaintenance(int which)
{
    switch (which) {
    case MAINTENANCE_RESTORE:
        RestoreDefaults();
        return 1;
    case MAINTENANCE_AUOPTION:
        ApplyApprovedUpdateMode();
        return 1;
    case MAINTENANCE_SETPREFIX:
        ApplyApprovedPrefix();
        return 1;
    default:
        return 0;
    }
}

// --- Addresses ---------------------------------------------------------------------

int OpenUrl(const char* address)
{
    return OpenAddress(g_MainWindow, address);
}

// --- The main window --------------------------------------------------------------

static void StartMonitorIfAbsent()
{
    if (FindWindowA(MONITOR_CLASS, NULL) == NULL)
        WinExec("Vardex.exe", SW_SHOW);
}

// 6048: end the explorer; with "ConfirmExit" set, the user had declined to
// end the monitor: start it when it is gone, else show the startup page.
static void OnExitRequest(HWND window)
{
    if (OptionRead("ConfirmExit", 0) == 0) {
        DestroyWindow(window);
        return;
    }
    if (FindWindowA(MONITOR_CLASS, NULL) == NULL)
        StartMonitorIfAbsent();
    else
        OpenExplorerPage(window, PAGE_STARTUP);
}

static void OnCommand(HWND window, int command)
{
    if (PageByCommand(command) != NULL) {
        OpenExplorerPage(window, command);
        return;
    }
    switch (command) {
    case XCMD_COOKIES_SHOWN:
        // Not through the option: the user may change its box meanwhile,
        // and the option is saved on the way out.
        ShowCookieListOnce(1);
        OpenExplorerPage(window, PAGE_COOKIES);
        ShowCookieListOnce(0);  // a sheet already open was only brought forward
        break;
    case XCMD_EXIT_REQUEST:
        OnExitRequest(window);
        break;
    case XCMD_CLOSE:
        DestroyWindow(window);
        break;
    case XCMD_TOGGLE_AUTOSTART:
        ToggleSelfAutostart();
        break;
    default:
        break;  // "-MONITOR", "-BLACKLIST": nothing is opened
    }
}

LRESULT CALLBACK ExplorerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        FreeNuts();
        DeleteLookupShortcut();
        CoUninitialize();
        SaveOptions();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int CreateMainWindow()
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ExplorerWindowProc;
    wc.hInstance = g_Instance;
    wc.hIcon = LoadIconA(g_Instance, MAKEINTRESOURCEA(IDI_EXPLORER));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = s_className;
    if (!RegisterClassA(&wc))
        return 0;
    // Zero-sized and above the screen: it owns the taskbar button, and is
    // never seen.
    g_MainWindow = CreateWindowExA(WS_EX_APPWINDOW, s_className, s_loadingCaption,
                                   WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, -200, 0, 0, NULL, NULL,
                                   g_Instance, NULL);
    return g_MainWindow != NULL;
}

// The page of a stored "StartTab": only a page command of the table is a
// page; anything else (a command such as 6030, garbage) is the first page.
static int StoredStartPage()
{
    int stored = OptionRead("StartTab", PAGE_STARTUP);
    return PageByCommand(stored) != NULL ? stored : PAGE_STARTUP;
}

int ExplorerMain(HINSTANCE instance, const char* commandLine)
{
    g_Instance = instance;
    g_TextModule = instance;
    if (LoadText(IDS_CLASS_NAME, s_className, sizeof(s_className)) == 0
        || LoadText(IDS_LOADING, s_loadingCaption, sizeof(s_loadingCaption)) == 0)
        return 0;

    int page = StoredStartPage();
    ExplorerSwitches switches;
    ReadExplorerSwitches(commandLine, &switches);
    if (RunMaintenance(switches.Maintenance))
        return 0;
    if (switches.StartMonitor)
        StartMonitorIfAbsent();
    if (switches.Command != 0)
        page = switches.Command;

    HWND running = FindWindowA(s_className, NULL);
    if (running != NULL) {
        PostMessageA(running, WM_COMMAND, switches.Quit ? XCMD_CLOSE : page, 0);
        return 0;
    }
    if (switches.Quit)
        return 0;

    if (!CreateMainWindow() || !CreateFrameResources())
        return 0;
    CoInitialize(NULL);
    INITCOMMONCONTROLSEX controls = { sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);

    SetOptionsForExplorer(1);
    LoadOptions();
    SetMessageLanguage();
    InstallExplorerUi();
    SetReportPlatformName(GetOSName);
    PurgeNextDetectedSubkey();
    CleanPrefetch();

    PostMessageA(g_MainWindow, WM_COMMAND, page, 0);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    FreeFrameResources();
    return (int)msg.wParam;
}
