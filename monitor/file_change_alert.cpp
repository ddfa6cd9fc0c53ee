// The file change alert.  Escape and the close box do nothing: the user
// accepts or rejects the change, after looking at either file if need be.
#include "monitor/file_change_alert.h"

#include "categories/sysfiles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/placement.h"
#include "foundation/utils.h"
#include "monitor/alerts.h"
#include "monitor/monitor.h"
#include "resources/monitor_resource.h"

static const PlacementNames s_placement = { "xPosSysFiles", "yPosSysFiles", "dxSysFiles",
                                            "dySysFiles" };

static void OnInit(HWND dialog)
{
    ShowAlertTexts(dialog);
    if (g_Fonts[FONT_ALERT_HEADING] != NULL)
        SendDlgItemMessageA(dialog, IDC_CHANGE_NAME, WM_SETFONT,
                            (WPARAM)g_Fonts[FONT_ALERT_HEADING], FALSE);
    SetDlgItemTextA(dialog, IDC_CHANGE_NAME, g_Alert.Name);
    SetDlgItemTextA(dialog, IDC_CHANGE_PATH, g_Alert.Location);
    SetDlgItemTextA(dialog, IDC_CHANGE_COMMENT, g_Alert.SecondFile);
    OptionWrite("StartTab", 0);
    RestoreWindowPlacement(dialog, s_placement);
}

static void End(HWND dialog, int answer)
{
    SaveWindowPlacement(dialog, s_placement);
    EndDialog(dialog, answer);
}

// "Disable Future Monitoring" goes with whichever answer the user gives.
static int StopChecked(HWND dialog)
{
    return IsDlgButtonChecked(dialog, IDC_CHANGE_STOP) == BST_CHECKED;
}

static void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_CHANGE_VIEW_NEW:
        ViewInNotepad(g_Alert.Location);
        break;
    case IDC_CHANGE_VIEW_OLD: {
        char vault[VX_PATH];
        if (SysFileVaultPath(g_Alert.Name, vault) > 0)
            ViewInNotepad(vault);
        break;
    }
    case IDC_CHANGE_ACCEPT:
        End(dialog, StopChecked(dialog) ? ANSWER_DISABLE : ANSWER_ACCEPT);
        break;
    case IDC_CHANGE_REJECT:
        End(dialog, StopChecked(dialog) ? ANSWER_REJECT_AND_STOP : ANSWER_REJECT);
        break;
    default:
        break;  // Escape (IDCANCEL) ends nothing
    }
}

INT_PTR CALLBACK FileChangeAlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
