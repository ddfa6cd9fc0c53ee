// The restart-commands window: a read-only box with the file's text, the
// legend of its two commands, "Delete" (removes wininit.ini) and "Close".
// Modal to the monitor: it runs its own message loop until it closes, or
// until the program's quit, which it hands on.
#include "monitor/restart_window.h"

#include <windows.h>

#include "categories/restart_commands.h"
#include "foundation/language.h"
#include "monitor/message_box.h"
#include "foundation/paths.h"
#include "foundation/text.h"
#include "monitor/monitor.h"

#define RESTART_CLASS "VardexRestartCommands"
enum { ID_TEXT = 100, ID_LEGEND = 101, ID_DELETE = 614, ID_CLOSE = 304 };

static int s_done;

static LRESULT CALLBACK RestartWindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_DELETE) {
            char ini[VX_PATH];
            if (WinInitPath(ini))
                DeleteFileForce(ini);
            DestroyWindow(window);
        } else if (LOWORD(wParam) == ID_CLOSE || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        s_done = 1;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static HWND AddControl(HWND parent, const char* kind, const char* text, DWORD style, int x,
                       int y, int width, int height, int id)
{
    HWND control = CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                   height, parent, (HMENU)(INT_PTR)id, g_Instance, NULL);
    SendMessageA(control, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
    return control;
}

static void ShowRestartWindow()
{
    static int registered = 0;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RestartWindowProc;
        windowClass.hInstance = g_Instance;
        windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
        windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = RESTART_CLASS;
        registered = RegisterClassA(&windowClass) != 0;
    }
    char title[256];
    LoadText(30, title, sizeof(title));
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, RESTART_CLASS, title,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 520, 400, NULL, NULL, g_Instance, NULL);
    if (window == NULL)
        return;
    static char text[RESTART_TEXT_SHOWN];
    ReadRestartCommands(text, sizeof(text));
    AddControl(window, "EDIT", text,
               WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                   ES_AUTOVSCROLL | ES_AUTOHSCROLL,
               10, 10, 490, 250, ID_TEXT);
    char legend[512];
    LoadText(702, legend, sizeof(legend));
    AddControl(window, "STATIC", legend, 0, 10, 270, 490, 40, ID_LEGEND);
    char label[64];
    LoadText(614, label, sizeof(label));
    AddControl(window, "BUTTON", label, WS_TABSTOP | BS_PUSHBUTTON, 300, 325, 90, 26, ID_DELETE);
    LoadText(304, label, sizeof(label));
    AddControl(window, "BUTTON", label, WS_TABSTOP | BS_DEFPUSHBUTTON, 410, 325, 90, 26,
               ID_CLOSE);
    ShowWindow(window, SW_SHOWNORMAL);
    s_done = 0;
    MSG message;
    while (!s_done) {
        BOOL got = GetMessageA(&message, NULL, 0, 0);
        if (got <= 0) {
            // The program is ending (its exit, from the tray, while this
            // window is open): the window closes and the quit goes back,
            // with its exit code, to the loop around, which ends the
            // program as it would have without this window.
            if (IsWindow(window))
                DestroyWindow(window);
            if (got == 0)
                PostQuitMessage((int)message.wParam);
            return;
        }
        if (IsDialogMessageA(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int ShowRestartCommands(int quiet)
{
    if (RestartCommandsPresent()) {
        if (!quiet)
            ShowRestartWindow();
        return 1;
    }
    char exe[VX_PATH];
    UINT n = GetWindowsDirectoryA(exe, VX_PATH);
    if (n == 0 || n >= VX_PATH)
        return 0;
    RemoveTrailingBackslash(exe, 0);
    TextAppend(exe, "\\wininit.exe");
    if (!quiet && GetFileAttributesA(exe) != INVALID_FILE_ATTRIBUTES) {
        char none[256];
        LoadText(59, none, sizeof(none));
        ShowMessage(g_MainWindow, none, MB_OK | MB_ICONINFORMATION);
    }
    return 0;
}
