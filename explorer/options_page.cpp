// The Options page: the settings the monitor obeys, the patrols of the
// pages that have no page of their own, and the logs, reports and
// maintenance commands.  Every change is saved at once with the reload
// signal, so a running monitor follows it.
#include <windows.h>
#include <prsht.h>

#include "categories/sysfiles.h"
#include "explorer/explorer.h"
#include "explorer/export_settings.h"
#include "explorer/frame.h"
#include "explorer/list_page.h"
#include "explorer/options_page.h"
#include "explorer/pages.h"
#include "foundation/handles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "foundation/windows_version.h"
#include "reports/scan_log.h"
#include "resources/explorer_resource.h"
#include "resources/pages/options.h"
#include "resources/vardex_version.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"

namespace {

// "TrayIcon": the icon id the monitor shows, 159 the original one.
const int kOriginalTrayIcon = 159;
const int kPlainTrayIcon = 101;

// The boxes that hold one option each as 0 or 1.
const struct {
    int Control;
    int Text;
    OptionId Option;
} kOptionBoxes[] = {
    { IDC_OPTIONS_SOUND, IDS_OPTIONS_SOUND, OPT_Sound },
    { IDC_OPTIONS_HISTORY, IDS_OPTIONS_HISTORY, OPT_History },
    { IDC_OPTIONS_HIDE_ICON, IDS_OPTIONS_HIDE_ICON, OPT_HideRusko },
    { IDC_OPTIONS_LOCK_TYPES, IDS_OPTIONS_LOCK_TYPES, OPT_LockFileTypes },
    { IDC_OPTIONS_CONFIRM_EXIT, IDS_OPTIONS_CONFIRM_EXIT, OPT_ConfirmExit },
    { IDC_OPTIONS_PLUS_FORMAT, IDS_OPTIONS_PLUS_FORMAT, OPT_PlusFormat },
    { IDC_OPTIONS_EXPLORER_MENU, IDS_OPTIONS_EXPLORER_MENU, OPT_ExplorerMenu },
};

// The patrols of the restart file, the browser's pages and the system
// files: an image button each, with its label and dialog title.
const struct {
    int Button;
    int Label;
    int LabelText;
    int TitleText;
    OptionId Period;
    int Realtime;  // OptionId, -1: none
} kPatrols[] = {
    { IDC_OPTIONS_RESTART, IDC_OPTIONS_RESTART_LABEL, IDS_OPTIONS_RESTART, 790, OPT_WinInit,
      -1 },
    { IDC_OPTIONS_START_PAGE, IDC_OPTIONS_START_PAGE_LABEL, IDS_OPTIONS_START_PAGE, 791,
      OPT_StartPage, OPT_RealtimeStartPage },
    { IDC_OPTIONS_HOST_FILE, IDC_OPTIONS_HOST_FILE_LABEL, IDS_OPTIONS_HOST_FILE, 792,
      OPT_HostFile, OPT_RealtimeSysFiles },
};

const PageRecord* RecordOf(HWND page)
{
    return (const PageRecord*)GetWindowLongPtrA(page, DWLP_USER);
}

int Checked(HWND page, int control)
{
    return IsDlgButtonChecked(page, control) == BST_CHECKED;
}

void Check(HWND page, int control, int on)
{
    CheckDlgButton(page, control, on ? BST_CHECKED : BST_UNCHECKED);
}

// The alert-hiding button: absent without a history server, usable only
// with the vendor's own.
void ShowAlertHidingButton(HWND page)
{
    RegKey key;
    int present = key.Open(HKEY_LOCAL_MACHINE, VX_KEY, KEY_READ) == ERROR_SUCCESS &&
                  RegQueryValueExA(key, "vxserver", NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    char server[512];
    RegReadString(HKEY_LOCAL_MACHINE, VX_KEY, "vxserver", server, sizeof(server));
    HWND button = GetDlgItem(page, IDC_OPTIONS_HIDE_ALERTS);
    ShowWindow(button, present ? SW_SHOW : SW_HIDE);
    EnableWindow(button,
                 present && TextEqualNoCase(server, VX_VENDOR_ROOT "cgi-bin/history.pl?"));
}

void ShowPatrolImage(HWND page, int index)
{
    const auto& patrol = kPatrols[index];
    int image = IDB_PATROL_OFF;
    if (patrol.Realtime >= 0 && g_Options[patrol.Realtime] != 0)
        image = IDB_PATROL_REALTIME;
    else if (g_Options[patrol.Period] > 0)
        image = IDB_PATROL_TIMER;
    SetImageButton(GetDlgItem(page, patrol.Button), image, IDB_PATROL_PRESSED, 0,
                   patrol.Button);
}

void OnInit(HWND page, const PageRecord* record)
{
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)record);
    static const struct { int text, control; } texts[] = {
        { IDS_OPTIONS_TEXT, IDC_PAGE_TEXT },
        { IDS_OPTIONS_GROUP, IDC_OPTIONS_GROUP },
        { IDS_OPTIONS_AUTOSTART, IDC_OPTIONS_AUTOSTART },
        { IDS_OPTIONS_TRAY_ICON, IDC_OPTIONS_TRAY_ICON },
        { IDS_OPTIONS_LOG, IDC_OPTIONS_LOG },
        { IDS_OPTIONS_HISTORY_VIEW, IDC_OPTIONS_HISTORY_VIEW },
        { IDS_OPTIONS_HOSTS, IDC_OPTIONS_HOSTS },
        { IDS_OPTIONS_EXPORT, IDC_OPTIONS_EXPORT },
        { IDS_OPTIONS_RESTORE_DELAYED, IDC_OPTIONS_RESTORE_DELAYED },
        { IDS_OPTIONS_SCAN_LOG, IDC_OPTIONS_SCAN_LOG },
        { IDS_OPTIONS_CSV, IDC_OPTIONS_CSV },
        { IDS_OPTIONS_HIDE_ALERTS, IDC_OPTIONS_HIDE_ALERTS },
    };
    for (const auto& text : texts)
        SetItemText(page, text.text, text.control);
    for (const auto& box : kOptionBoxes)
        SetItemText(page, box.Text, box.Control);
    for (const auto& patrol : kPatrols)
        SetItemText(page, patrol.LabelText, patrol.Label);
    ShowPageFrameTexts(page, record);
    ShowAlertHidingButton(page);
    LoadOptions();
    PageCreated(page, record);
}

// Every box from what is in force now.
void ShowSettings(HWND page)
{
    for (const auto& box : kOptionBoxes)
        Check(page, box.Control, g_Options[box.Option] > 0);
    Check(page, IDC_OPTIONS_TRAY_ICON, OptionRead("TrayIcon", kPlainTrayIcon) != kPlainTrayIcon);
    Check(page, IDC_OPTIONS_AUTOSTART, RemoveOwnStartupEntries(0));
}

void OnActivate(HWND page)
{
    int nt = IsWindowsNT();
    for (int i = 0; i < (int)(sizeof(kPatrols) / sizeof(kPatrols[0])); i++)
        ShowPatrolImage(page, i);
    ShowWindow(GetDlgItem(page, IDC_OPTIONS_RESTART), nt ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(page, IDC_OPTIONS_RESTART_LABEL), nt ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(page, IDC_OPTIONS_TRAY_ICON), nt ? SW_SHOW : SW_HIDE);
    ShowSettings(page);
}

void ForgetPatrolImages(HWND page)
{
    for (const auto& patrol : kPatrols)
        ClearImageButton(GetDlgItem(page, patrol.Button));
}

// The monitor shows or hides its icon at once; not running, it reads the
// option at its next start.
void TellMonitorIcon(int hide)
{
    HWND monitor = FindWindowA(MONITOR_CLASS, NULL);
    DWORD_PTR ignored = 0;
    if (monitor != NULL)
        SendMessageTimeoutA(monitor, WM_COMMAND, 6053, (LPARAM)hide, SMTO_ABORTIFHUNG, 5000,
                            &ignored);
}

// The own autostart as the user asks; the box then shows what the startup
// list really holds, and a refused machine-wide write is explained.
void OnAutostartBox(HWND page)
{
    int wanted = Checked(page, IDC_OPTIONS_AUTOSTART);
    int done = SetSelfAutostart(wanted);
    Check(page, IDC_OPTIONS_AUTOSTART, RemoveOwnStartupEntries(0));
    if (wanted && !done)
        ShowMessageText(page, IDS_AUTOSTART_REFUSED);
}

void OnOptionBox(HWND page, int control)
{
    int on = Checked(page, control);
    switch (control) {
    case IDC_OPTIONS_HIDE_ICON:
        if (on)
            ShowMessageText(page, IDS_HIDE_ICON_NOTE);
        break;
    case IDC_OPTIONS_PLUS_FORMAT:
        if (on) {
            char text[1024];
            LoadText(IDS_PLUS_FORMAT_THANKS, text, sizeof(text));
            MessageBoxExA(page, text, ProductCaption(), MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST,
                          g_MessageLanguage);
        }
        break;
    case IDC_OPTIONS_EXPLORER_MENU:
        SetExplorerMenuVerb(on);
        break;
    default:
        break;
    }
    for (const auto& box : kOptionBoxes)
        if (box.Control == control)
            g_Options[box.Option] = on;
    SaveOptions();
    if (control == IDC_OPTIONS_HIDE_ICON)
        TellMonitorIcon(on);
}

void OnPatrolButton(HWND page, int index)
{
    const auto& patrol = kPatrols[index];
    int minutes = PatrolTimeDialog(page, patrol.TitleText, patrol.Period, patrol.Realtime);
    if (minutes >= 0) {
        g_Options[patrol.Period] = minutes;
        OptionWrite(OptionName(patrol.Period), minutes);
    }
    ShowPatrolImage(page, index);
}

void OnCommand(HWND page, int id, int notification)
{
    if (notification != BN_CLICKED)
        return;
    for (int i = 0; i < (int)(sizeof(kPatrols) / sizeof(kPatrols[0])); i++)
        if (kPatrols[i].Button == id) {
            OnPatrolButton(page, i);
            return;
        }
    for (const auto& box : kOptionBoxes)
        if (box.Control == id) {
            OnOptionBox(page, id);
            return;
        }
    switch (id) {
    case IDC_OPTIONS_AUTOSTART:
        OnAutostartBox(page);
        break;
    case IDC_OPTIONS_TRAY_ICON:
        OptionWrite("TrayIcon", Checked(page, id) ? kOriginalTrayIcon : kPlainTrayIcon);
        SaveOptions();
        break;
    case IDC_PAGE_HELP:
        OpenHelpPage(page, RecordOf(page)->HelpFile);
        break;
    case IDC_PAGE_CLOSE:
        PostMessageA(page, WM_CLOSE, 0, 0);
        break;
    default:
        RunOptionsCommand(page, id);
        break;
    }
}

}  // namespace

int RunOptionsCommand(HWND page, int id)
{
    switch (id) {
    case IDC_OPTIONS_HISTORY_VIEW:
        HistoryDialog(page);
        return 1;
    case IDC_OPTIONS_HOSTS:
        ViewHosts();
        return 1;
    case IDC_OPTIONS_HIDE_ALERTS:
        AlertHidingDialog(page);
        SaveOptions();
        return 1;
    case IDC_OPTIONS_LOG:
        ReportCommand(page);
        return 1;
    case IDC_OPTIONS_EXPORT:
        ExportSettings(page);
        return 1;
    case IDC_OPTIONS_RESTORE_DELAYED:
        RestoreAllDelayed();
        return 1;
    case IDC_OPTIONS_SCAN_LOG:
        WriteScanLogFile();
        return 1;
    case IDC_OPTIONS_CSV:
        WriteCsvLogFile();
        return 1;
    default:
        return 0;
    }
}

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(page, (const PageRecord*)((const PROPSHEETPAGEA*)lParam)->lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = (const NMHDR*)lParam;
        if (header->code == PSN_SETACTIVE)
            OnActivate(page);
        else if (header->code == PSN_KILLACTIVE)
            ForgetPatrolImages(page);
        break;
    }
    case WM_DESTROY:
        ForgetPatrolImages(page);
        break;
    default:
        break;
    }
    const int buttons[1] = { IDC_PAGE_CLOSE };
    INT_PTR result = FALSE;
    HandleOwnPageFrame(page, message, wParam, lParam, buttons, 1, &result);
    return result;
}
