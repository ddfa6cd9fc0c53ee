// The alert-hiding dialog: per alert category, whether the monitor asks
// (0), allows every change by itself (1) or denies every change (2).
#include <windows.h>

#include "explorer/explorer.h"
#include "explorer/options_page.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "resources/pages/options.h"

namespace {

const struct {
    int Box;
    int Allow;
    int Deny;
    OptionId Option;
} kRows[] = {
    { IDC_HIDING_STARTUP, 1214, 1215, OPT_HideStartup },
    { IDC_HIDING_IE_HELPER, 1216, 1217, OPT_HideIEHelper },
    { IDC_HIDING_TASKS, 1218, 1219, OPT_HideTasks },
    { IDC_HIDING_SERVICES, 1220, 1221, OPT_HideServices },
    { IDC_HIDING_ACTIVEX, 1222, 1223, OPT_HideActiveX },
    { IDC_HIDING_HIDDEN, 1224, 1225, OPT_HideHidden },
    { IDC_HIDING_FILE_TYPE, 1231, 1232, OPT_HideFileType },
    { IDC_HIDING_SYSTEM_FILES, 1226, 1227, OPT_HideSystemFiles },
    { IDC_HIDING_HOME_PAGE, 1228, 1229, OPT_HideHomePage },
};

void ShowRows(HWND dialog)
{
    for (const auto& row : kRows) {
        int value = g_Options[row.Option];
        int hiding = value == 1 || value == 2;
        CheckDlgButton(dialog, row.Box, hiding ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, row.Allow, value == 1 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, row.Deny, value == 2 ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, row.Allow), hiding);
        EnableWindow(GetDlgItem(dialog, row.Deny), hiding);
    }
}

void OnInit(HWND dialog)
{
    char caption[128];
    LoadText(IDS_OPTIONS_HIDE_ALERTS, caption, sizeof(caption));
    SetWindowTextA(dialog, caption);
    SetItemText(dialog, IDS_HIDING_TEXT, IDC_HIDING_TEXT);
    SetItemText(dialog, IDS_HIDING_ALLOW, IDC_HIDING_ALLOW_HEADING);
    SetItemText(dialog, IDS_HIDING_DENY, IDC_HIDING_DENY_HEADING);
    for (int i = 0; i < (int)(sizeof(kRows) / sizeof(kRows[0])); i++)
        SetItemText(dialog, IDS_HIDING_ROW_FIRST + i, kRows[i].Box);
    ShowRows(dialog);
}

void OnClick(HWND dialog, int id)
{
    for (const auto& row : kRows) {
        int& value = g_Options[row.Option];
        if (id == row.Box)
            value = value <= 0 ? 1 : 0;
        else if (id == row.Allow)
            value = 1;
        else if (id == row.Deny)
            value = 2;
    }
    ShowRows(dialog);
}

INT_PTR CALLBACK AlertHidingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        else if (HIWORD(wParam) == BN_CLICKED)
            OnClick(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void AlertHidingDialog(HWND owner)
{
    DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_ALERT_HIDING), owner, AlertHidingProc, 0);
}
