#include "monitor/tray.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "explorer/page_table.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "foundation/utils.h"
#include "monitor/monitor.h"
#include "resources/monitor_resource.h"

int g_TrayMenuGuard = 0;

// What the icon shows now (icon 0: nothing was set since it was added), so
// that setting it to what it already shows costs no round trip to the shell.
static int s_shownIcon = 0, s_shownTip = 0;
static int s_roundTrips = 0;

int TrayRoundTrips()
{
    return s_roundTrips;
}

int SetTrayIcon(int operation, int iconId, int tipTextId)
{
    if (g_Options[OPT_HideRusko] == 1)
        return 0;
    if (operation == TRAY_MODIFY && iconId != 0 && iconId == s_shownIcon &&
        tipTextId == s_shownTip)
        return 1;

    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof(data));
    // The Windows 2000 layout (488 bytes on 32-bit Windows), which every
    // shell since accepts.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    if (operation != TRAY_DELETE) {
        char tip[64];
        LoadText(tipTextId, tip, sizeof(tip));
        TextCopy(data.szTip, sizeof(data.szTip), tip);
    }
    data.hWnd = g_MainWindow;
    data.uID = VX_TRAY_ICON_ID;
    data.uCallbackMessage = WM_VX_TRAY_NOTIFY;
    data.dwInfoFlags = NIIF_INFO;
    data.uFlags = operation == TRAY_DELETE ? 0 : (NIF_MESSAGE | NIF_ICON | NIF_TIP);

    if (operation == TRAY_ADD)
        iconId = OptionRead("TrayIcon", IsWindowsNT() ? 101 : 159);
    if (iconId != 0)
        data.hIcon = LoadIconA(g_Instance, MAKEINTRESOURCEA(iconId));

    DWORD message = operation == TRAY_ADD ? NIM_ADD
                  : operation == TRAY_MODIFY ? NIM_MODIFY : NIM_DELETE;
    BOOL done = Shell_NotifyIconA(message, &data);
    s_roundTrips++;
    s_shownIcon = operation != TRAY_DELETE && done ? iconId : 0;
    s_shownTip = tipTextId;
    return 1;
}

int SetTrayStatus(int iconId, int tipTextId)
{
    return SetTrayIcon(TRAY_MODIFY, iconId, tipTextId);
}

// The menu in its order: the explorer's pages by command (their entry text
// and whether the system has them come from the page records), the restart
// commands on the Windows 9x family, and Exit.
enum { TRAY_SEPARATOR = 0 };

static const int s_trayMenu[] = {
    CMD_SHOW_PLUS, CMD_SHOW_OPTIONS, TRAY_SEPARATOR,
    CMD_SHOW_STARTUP, CMD_SHOW_DELAY, CMD_SHOW_HELPERS, CMD_SHOW_SERVICES,
    CMD_SHOW_SCHEDULE, CMD_SHOW_ACTIVEX, TRAY_SEPARATOR,
    CMD_SHOW_TASKS, CMD_SHOW_NUTS, CMD_SHOW_FILETYPES, CMD_SHOW_HIDDEN,
    CMD_RESTART_COMMANDS, TRAY_SEPARATOR,
    CMD_EXIT,
};

// The entry's text id, 0 when this system has no such entry.
static int TrayEntryText(int command, int nt)
{
    if (command == CMD_RESTART_COMMANDS)
        return nt ? 0 : IDS_MENU_RESTART;
    if (command == CMD_EXIT)
        return IDS_MENU_EXIT;
    const PageRecord* page = PageByCommand(command);
    if (page == NULL || (page->NtOnly && !nt))
        return 0;
    return page->MenuText;
}

static void ShowTrayMenu(POINT at)
{
    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return;
    int nt = IsWindowsNT();
    for (int command : s_trayMenu) {
        if (command == TRAY_SEPARATOR) {
            AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
            continue;
        }
        int textId = TrayEntryText(command, nt);
        if (textId == 0)
            continue;
        char text[256];
        LoadText(textId, text, sizeof(text));
        AppendMenuA(menu, MF_STRING, (UINT_PTR)command, text);
    }
    SetForegroundWindow(g_MainWindow);
    TrackPopupMenuEx(menu, TPM_VERTICAL, at.x, at.y, g_MainWindow, NULL);
    PostMessageA(g_MainWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void OnTrayNotify(UINT iconId, UINT mouseMessage)
{
    if (g_TrayMenuGuard)
        return;
    g_TrayMenuGuard = 1;
    POINT at;
    GetCursorPos(&at);
    g_AlwaysRun = SelfAutostartPresent();

    if (mouseMessage == WM_LBUTTONDBLCLK) {
        SetForegroundWindow(g_MainWindow);
        PostMessageA(g_MainWindow, WM_COMMAND, CMD_SHOW_STARTUP, 0);
    } else if (mouseMessage == WM_RBUTTONUP && iconId == VX_TRAY_ICON_ID) {
        ShowTrayMenu(at);
    }
    g_TrayMenuGuard = 0;
}

static const char* const s_soundEvents[] = {
    "Open", "Startup Alert", "Cookie Alert", "Task Alert", "IE Helper", "FileType Alert",
    "SystemFile Alert",
};

const char* SoundEventName(int index)
{
    if (index < 0 || index > 6)
        return "";
    return s_soundEvents[index];
}

int PlayAlertSound(int index)
{
    if (index < 0 || index > 5)
        index = 0;
    if (g_Options[OPT_Sound] <= 0)
        return SOUND_NONE;
    char key[VX_PATH];
    TEXT_FORMAT(key, "AppEvents\\Schemes\\Apps\\Vardex\\%s\\.current", s_soundEvents[index]);
    char wave[VX_PATH];
    if (RegReadString(HKEY_CURRENT_USER, key, "", wave, sizeof(wave)) > 0) {
        PlaySoundA(wave, NULL, SND_FILENAME | SND_NOWAIT);
        return SOUND_SCHEME_FILE;
    }
    PlaySoundA(MAKEINTRESOURCEA(IDW_ALERT), g_Instance, SND_RESOURCE | SND_NOWAIT);
    return SOUND_BUILT_IN;
}

// Labels the Control Panel shows for the events; a label that another
// program (or Windows) already gave an event name is kept.
static const char* const s_soundLabels[] = {
    "Vardex Open", "Vardex Startup Alert", "Vardex Cookie Alert", "Vardex Task Alert",
    "Vardex IE Helper Alert", "Vardex File Type Alert", "Vardex System File Alert",
};

static void WriteIfMissing(const char* path, const char* text)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE) == ERROR_SUCCESS
        && RegQueryValueExA(key, "", NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
        return;
    key.Close();
    RegWriteString(HKEY_CURRENT_USER, path, "", text);
}

void RegisterSoundEvents()
{
    WriteIfMissing("AppEvents\\Schemes\\Apps\\Vardex", "Vardex");
    for (int i = 0; i < 7; i++) {
        char path[VX_PATH];
        TEXT_FORMAT(path, "AppEvents\\Schemes\\Apps\\Vardex\\%s", s_soundEvents[i]);
        RegCreateKeyPath(HKEY_CURRENT_USER, path);
        char current[VX_PATH];
        TEXT_FORMAT(current, "%s\\.current", path);
        WriteIfMissing(current, "");
        TEXT_FORMAT(current, "%s\\.Default", path);
        WriteIfMissing(current, "");
        TEXT_FORMAT(path, "AppEvents\\EventLabels\\%s", s_soundEvents[i]);
        WriteIfMissing(path, s_soundLabels[i]);
    }
}
