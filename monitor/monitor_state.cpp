// The monitor's process-wide state and the explorer it starts: what the
// window procedure, the alerts and the tray all use.
#include "monitor/monitor.h"

#include <shellapi.h>

#include "foundation/language.h"
#include "foundation/lookup.h"
#include "foundation/paths.h"
#include "monitor/message_box.h"
#include "resources/monitor_resource.h"

HINSTANCE g_Instance = NULL;
HWND g_MainWindow = NULL;
char g_ClassName[32];
char g_Caption[32];
int g_Wow64Registry = 0;
int g_AlwaysRun = 0;
int g_ExpressBoot = 0;
UINT g_TaskbarCreated = 0;
UINT_PTR g_TimerId = 0;
HFONT g_Fonts[FONT_COUNT];

void StartExplorer(const char* switches)
{
    char folder[VX_PATH];
    GetProgramFolder(folder);
    HINSTANCE rc = ShellExecuteA(g_MainWindow, "open", "VardexView.exe ", switches, folder,
                                 SW_SHOWNORMAL);
    if ((INT_PTR)rc >= 32)
        return;
    char text[512];
    LoadText(IDS_EXPLORER_MISSING, text, sizeof(text));
    ShowMessage(g_MainWindow, text, MB_OK | MB_ICONERROR);
}

int SetMonitorAutostart(int on)
{
    int done = SetSelfAutostart(on);
    g_AlwaysRun = SelfAutostartPresent();
    return done;
}

void OpenProgramLookup(int requestType, const char* file)
{
    LookUpOnline(g_MainWindow, requestType, file);
}
