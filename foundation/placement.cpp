#include "foundation/placement.h"

#include <stdlib.h>

#include "foundation/options.h"
#include "foundation/text.h"

static void WriteNumber(const char* name, int value)
{
    char text[16];
    TEXT_FORMAT(text, "%d", value);
    RegWriteString(HKEY_CURRENT_USER, VX_KEY, name, text);
}

static void RewriteStartTab()
{
    OptionWrite("StartTab", OptionRead("StartTab", 0));
}

void SaveWindowPlacement(HWND window, const PlacementNames& names)
{
    RECT r;
    if (GetWindowRect(window, &r)) {
        WriteNumber(names.x, r.left);
        WriteNumber(names.y, r.top);
        WriteNumber(names.dx, r.right - r.left);
        WriteNumber(names.dy, r.bottom - r.top);
    }
    RewriteStartTab();
}

void CenterWindowOnScreen(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 3;
    SetWindowPos(window, NULL, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RestoreWindowPlacement(HWND window, const PlacementNames& names)
{
    RewriteStartTab();
    char xText[32], yText[32];
    if (RegReadString(HKEY_CURRENT_USER, VX_KEY, names.x, xText, sizeof(xText)) == 0
        || RegReadString(HKEY_CURRENT_USER, VX_KEY, names.y, yText, sizeof(yText)) == 0) {
        CenterWindowOnScreen(window);
        return;
    }
    int x = atoi(xText);
    int y = atoi(yText);
    if (x > GetSystemMetrics(SM_CXVIRTUALSCREEN))
        x = GetSystemMetrics(SM_CXSCREEN) / 2;
    if (y > GetSystemMetrics(SM_CYVIRTUALSCREEN))
        y = GetSystemMetrics(SM_CYSCREEN) / 2;
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
