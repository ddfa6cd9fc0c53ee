// The file change alert.  Escape and the close box do nothing: the user
// accepts or rejects the change, after looking at either file if need be.
#include "monitor/file_change_alert.h"

#include "categories/sysfiles.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/placement.h"
#include "foundation/utils.h"
#include "monitor/monitor.h"
#include "monitor/patrol.h"
#include "monitor/tray.h"
#include "resources/monitor_resource.h"

enum {
    TXT_CHANGE_TITLE = 1000, TXT_CHANGE_INTRO, TXT_CHANGE_ACCEPT, TXT_CHANGE_REJECT,
    TXT_CHANGE_NAME, TXT_CHANGE_PATH, TXT_CHANGE_VIEW_NEW, TXT_CHANGE_VIEW_OLD,
    TXT_CHANGE_ACCEPT_BUTTON, TXT_CHANGE_REJECT_BUTTON, TXT_CHANGE_STOP,
};

static const PlacementNames s_placement = { "xPosSysFiles", "yPosSysFiles", "dxSysFiles",
                                            "dySysFiles" };

static void OnInit(HWND dialog, const AlertRequest* request)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)request);
    char title[256];
    if (LoadText(TXT_CHANGE_TITLE, title, sizeof(title)) > 0)
        SetWindowTextA(dialog, title);
    static const int texts[][2] = {
        { TXT_CHANGE_INTRO, IDC_CHANGE_INTRO }, { TXT_CHANGE_ACCEPT, IDC_CHANGE_ACCEPT_TEXT },
        { TXT_CHANGE_REJECT, IDC_CHANGE_REJECT_TEXT }, { TXT_CHANGE_NAME, IDC_CHANGE_NAME_LABEL },
        { TXT_CHANGE_PATH, IDC_CHANGE_PATH_LABEL }, { TXT_CHANGE_VIEW_NEW, IDC_CHANGE_VIEW_NEW },
        { TXT_CHANGE_VIEW_OLD, IDC_CHANGE_VIEW_OLD }, { TXT_CHANGE_ACCEPT_BUTTON, IDC_CHANGE_ACCEPT },
        { TXT_CHANGE_REJECT_BUTTON, IDC_CHANGE_REJECT }, { TXT_CHANGE_STOP, IDC_CHANGE_STOP },
    };
    for (const auto& t : texts)
        SetItemText(dialog, t[0], t[1]);
    if (g_Fonts[FONT_ALERT_HEADING] != NULL)
        SendDlgItemMessageA(dialog, IDC_CHANGE_NAME, WM_SETFONT,
                            (WPARAM)g_Fonts[FONT_ALERT_HEADING], FALSE);
    SetDlgItemTextA(dialog, IDC_CHANGE_NAME, request->Name);
    SetDlgItemTextA(dialog, IDC_CHANGE_PATH, request->Location);
    SetDlgItemTextA(dialog, IDC_CHANGE_COMMENT, request->SecondFile);
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
    const AlertRequest* request = (const AlertRequest*)GetWindowLongPtrA(dialog, DWLP_USER);
    if (request == NULL)
        return;
    switch (id) {
    case IDC_CHANGE_VIEW_NEW:
        ViewInNotepad(request->Location);
        break;
    case IDC_CHANGE_VIEW_OLD: {
        char vault[VX_PATH];
        if (SysFileVaultPath(request->Name, vault) > 0)
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

static INT_PTR CALLBACK FileChangeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, (const AlertRequest*)lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

int AskFileChange(const AlertRequest* request)
{
    SetTrayStatus(IDI_ALERT, IDS_TIP_SYSFILES);
    g_Patrol.AlertOpen = 1;
    INT_PTR result = DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_FILE_CHANGE), g_MainWindow,
                                     FileChangeProc, (LPARAM)request);
    g_Patrol.AlertOpen = 0;
    return result > 0 ? (int)result : ANSWER_NONE;
}
