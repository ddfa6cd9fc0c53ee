// The patrol-time dialog: the minutes between two patrols of one category,
// and for a category that can be watched in real time, that switch.
#include <windows.h>

#include <commctrl.h>
#include <stdlib.h>

#include "explorer/explorer.h"
#include "explorer/explorer_text.h"
#include "explorer/frame.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "resources/explorer_resource.h"

namespace {

struct PatrolTimeRequest {
    int TitleText;
    int PeriodOption;    // OptionId
    int RealtimeOption;  // OptionId, -1: none
    int KeptRealtime;    // the switch as it was when the dialog opened
    int Showing;         // 1 while the dialog sets its own fields
};

PatrolTimeRequest* RequestOf(HWND dialog)
{
    return (PatrolTimeRequest*)GetWindowLongPtrA(dialog, DWLP_USER);
}

void StoreRealtime(const PatrolTimeRequest* request, int on)
{
    if (request->RealtimeOption < 0)
        return;
    g_Options[request->RealtimeOption] = on;
    OptionWrite(OptionName((OptionId)request->RealtimeOption), on);
}

// The minutes as they stand, or the real-time state: the slider and the
// field show the minutes; real time disables both at 0.
void ShowState(HWND dialog, PatrolTimeRequest* request)
{
    request->Showing = 1;
    HWND slider = GetDlgItem(dialog, IDC_PATROL_SLIDER);
    HWND field = GetDlgItem(dialog, IDC_PATROL_MINUTES);
    EnableWindow(slider, TRUE);
    EnableWindow(field, TRUE);
    int minutes = g_Options[request->PeriodOption];
    SetDlgItemInt(dialog, IDC_PATROL_MINUTES, (UINT)minutes, TRUE);
    SendMessageA(slider, TBM_SETPOS, TRUE, minutes);
    HWND box = GetDlgItem(dialog, IDC_PATROL_REALTIME);
    if (request->RealtimeOption < 0) {
        ShowWindow(box, SW_HIDE);
    } else {
        CheckDlgButton(dialog, IDC_PATROL_REALTIME, BST_UNCHECKED);
        if (g_Options[request->RealtimeOption] != 0) {
            EnableWindow(slider, FALSE);
            EnableWindow(field, FALSE);
            SetDlgItemTextA(dialog, IDC_PATROL_MINUTES, "0");
            SendMessageA(slider, TBM_SETPOS, TRUE, 0);
            CheckDlgButton(dialog, IDC_PATROL_REALTIME, BST_CHECKED);
        }
    }
    request->Showing = 0;
}

int MinutesInField(HWND dialog)
{
    char text[16];
    GetDlgItemTextA(dialog, IDC_PATROL_MINUTES, text, sizeof(text));
    return ReadMinutesField(text);
}

void OnInit(HWND dialog, PatrolTimeRequest* request)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)request);
    char title[256];
    LoadText(request->TitleText, title, sizeof(title));
    SetWindowTextA(dialog, title);
    SetItemText(dialog, IDS_PATROL_INTRO, IDC_PATROL_INTRO);
    SetItemText(dialog, IDS_PATROL_MINUTES, IDC_PATROL_UNIT);
    SetItemText(dialog, IDS_PATROL_ZERO, IDC_PATROL_ZERO);
    SetItemText(dialog, IDS_REALTIME_BOX, IDC_PATROL_REALTIME);
    SetItemText(dialog, IDS_CLOSE, IDCANCEL);
    SendDlgItemMessageA(dialog, IDC_PATROL_MINUTES, EM_LIMITTEXT, 2, 0);
    HWND slider = GetDlgItem(dialog, IDC_PATROL_SLIDER);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 30));
    SendMessageA(slider, TBM_SETTICFREQ, 3, 0);
    EnableWindow(GetDlgItem(dialog, IDC_PATROL_REALTIME), TRUE);
    request->KeptRealtime =
        request->RealtimeOption >= 0 ? g_Options[request->RealtimeOption] : 0;
    ShowState(dialog, request);
}

void OnSlider(HWND dialog, PatrolTimeRequest* request)
{
    int position = (int)SendDlgItemMessageA(dialog, IDC_PATROL_SLIDER, TBM_GETPOS, 0, 0);
    request->Showing = 1;
    SetDlgItemInt(dialog, IDC_PATROL_MINUTES, (UINT)position, TRUE);
    request->Showing = 0;
    EnableWindow(GetDlgItem(dialog, IDC_PATROL_MINUTES), position != 0);
}

void OnCommand(HWND dialog, PatrolTimeRequest* request, int id, int code)
{
    switch (id) {
    case IDC_PATROL_MINUTES:
        if (code == EN_CHANGE && !request->Showing && MinutesInField(dialog) >= 0)
            SendDlgItemMessageA(dialog, IDC_PATROL_SLIDER, TBM_SETPOS, TRUE,
                                MinutesInField(dialog));
        break;
    case IDC_PATROL_REALTIME:
        if (code == BN_CLICKED) {
            StoreRealtime(request, IsDlgButtonChecked(dialog, IDC_PATROL_REALTIME) == BST_CHECKED);
            ShowState(dialog, request);
        }
        break;
    case IDOK: {
        StoreRealtime(request, IsDlgButtonChecked(dialog, IDC_PATROL_REALTIME) == BST_CHECKED);
        int minutes = MinutesInField(dialog);
        EndDialog(dialog, minutes < 0 ? 0 : minutes);
        break;
    }
    case IDCANCEL:
        StoreRealtime(request, request->KeptRealtime);
        EndDialog(dialog, -1);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK PatrolTimeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, (PatrolTimeRequest*)lParam);
        return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if ((HWND)lParam == GetDlgItem(dialog, IDC_PATROL_SLIDER))
            OnSlider(dialog, RequestOf(dialog));
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, RequestOf(dialog), LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int PatrolTimeDialog(HWND owner, int titleText, int periodOption, int realtimeOption)
{
    if (periodOption < 0 || periodOption >= OPT_COUNT || realtimeOption >= OPT_COUNT)
        return -1;
    PatrolTimeRequest request = { titleText, periodOption, realtimeOption, 0, 0 };
    INT_PTR result = DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_PATROL_TIME), owner,
                                     PatrolTimeProc, (LPARAM)&request);
    return result < 0 ? -1 : (int)result;
}

int AskPatrolTime(HWND owner, const PageRecord* record)
{
    if (record == NULL)
        return -1;
    return PatrolTimeDialog(owner, record->PatrolTitleText, record->PeriodOption,
                            record->RealtimeOption);
}

void OnMonitorButton(HWND page, const PageRecord* record)
{
    int minutes = AskPatrolTime(page, record);
    if (minutes >= 0) {
        g_Options[record->PeriodOption] = minutes;
        OptionWrite(OptionName((OptionId)record->PeriodOption), minutes);
    }
    ShowPatrolState(page, record);
}
