// The History dialog: history.txt as a list (explorer/history_view.h),
// the reversible lines restored, the file cleared once the user agreed;
// its right-click menu offers the same commands as its buttons.
#include <windows.h>
#include <commctrl.h>

#include "explorer/explorer.h"
#include "explorer/history_view.h"
#include "explorer/list_page.h"
#include "explorer/options_page.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/lookup.h"
#include "foundation/options.h"
#include "foundation/shell_hooks.h"
#include "resources/explorer_pages.h"
#include "resources/pages/options.h"

namespace {

// The dialog belongs to the Options page, and so does its help.
#define HISTORY_HELP_FILE "options.html"

HWND ListOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_HISTORY_LIST);
}

// The history line of the selected row; NULL when none is selected.
const ItemRecord* SelectedLine(HWND dialog, int* index)
{
    HWND list = ListOf(dialog);
    int row = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    *index = ListRowParam(list, row);
    return GetHistoryItem(*index);
}

void Refill(HWND dialog)
{
    ShowHistoryInList(ListOf(dialog));
    EnableWindow(GetDlgItem(dialog, IDC_HISTORY_RESTORE), FALSE);
}

// Horizontally centred, one third down the screen's work area.
void PlaceDialog(HWND dialog)
{
    RECT box, area;
    GetWindowRect(dialog, &box);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = box.right - box.left, height = box.bottom - box.top;
    SetWindowPos(dialog, NULL, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 3, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnInit(HWND dialog)
{
    char caption[128];
    LoadText(IDS_HISTORY_CAPTION, caption, sizeof(caption));
    SetWindowTextA(dialog, caption);
    SetItemText(dialog, IDS_HISTORY_TEXT, IDC_HISTORY_TEXT);
    SetItemText(dialog, IDS_HISTORY_RESTORE, IDC_HISTORY_RESTORE);
    SetItemText(dialog, IDS_HISTORY_CLEAR, IDC_HISTORY_CLEAR);
    SetItemText(dialog, IDS_BUTTON_CLOSE, IDOK);
    SendMessageA(ListOf(dialog), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    PlaceDialog(dialog);
    Refill(dialog);
}

void Restore(HWND dialog)
{
    int index = -1;
    if (SelectedLine(dialog, &index) == NULL)
        return;
    RestoreHistoryRow(index, ListOf(dialog));
    EnableWindow(GetDlgItem(dialog, IDC_HISTORY_RESTORE), FALSE);
}

// Clearing loses every way back: asked first, "No" by default.
void ClearFile(HWND dialog)
{
    char question[512];
    LoadText(IDS_HISTORY_CLEAR_ASK, question, sizeof(question));
    if (MessageBoxExA(dialog, question, ProductCaption(),
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, g_MessageLanguage) != IDYES)
        return;
    ClearHistoryInList(ListOf(dialog));
    EnableWindow(GetDlgItem(dialog, IDC_HISTORY_RESTORE), FALSE);
}

// The buttons' commands on the selected line, each as its button has it
// (Restore greyed where the button is), then the entries every menu ends
// with.  Nothing without a selected line.
void ShowMenu(HWND dialog)
{
    int index = -1;
    if (SelectedLine(dialog, &index) == NULL)
        return;
    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return;
    AppendMenuText(menu, IDC_HISTORY_RESTORE, IDS_HISTORY_RESTORE);
    if (!IsWindowEnabled(GetDlgItem(dialog, IDC_HISTORY_RESTORE)))
        EnableMenuItem(menu, IDC_HISTORY_RESTORE, MF_BYCOMMAND | MF_GRAYED);
    AppendMenuText(menu, IDC_HISTORY_CLEAR, IDS_HISTORY_CLEAR);
    AppendMenuText(menu, IDOK, IDS_BUTTON_CLOSE);
    ShowRowMenuAtCursor(dialog, menu, 1);
}

// "PLUS Info..." on the selected line: the lookup of its command.
void LookUpLine(HWND dialog)
{
    int index = -1;
    const ItemRecord* line = SelectedLine(dialog, &index);
    if (line == NULL)
        NoSelectionMessage(dialog);
    else
        LookUpOnline(dialog, line->Code, line->Command);
}

INT_PTR OnNotify(HWND dialog, const NMHDR* header)
{
    if (header->idFrom != IDC_HISTORY_LIST)
        return FALSE;
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        int index = -1;
        const ItemRecord* line = SelectedLine(dialog, &index);
        EnableWindow(GetDlgItem(dialog, IDC_HISTORY_RESTORE),
                     line != NULL && HistoryActionRestorable(line->Flag));
        break;
    }
    case NM_DBLCLK:
        Restore(dialog);
        break;
    case NM_RCLICK:
        ShowMenu(dialog);
        break;
    case LVN_COLUMNCLICK:
        // The choice is kept; the lines stay in the order they happened.
        OptionWrite("SortHistory", ((const NMLISTVIEW*)header)->iSubItem + 1);
        break;
    default:
        break;
    }
    return FALSE;
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_HISTORY_RESTORE:
        Restore(dialog);
        break;
    case IDC_HISTORY_CLEAR:
        ClearFile(dialog);
        break;
    case IDM_PAGE_PLUS_INFO:
        LookUpLine(dialog);
        break;
    case IDM_PAGE_LOG:
        ReportCommand(dialog);
        break;
    case IDC_PAGE_HELP:
        OpenHelpPage(dialog, HISTORY_HELP_FILE);
        break;
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, id);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK HistoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(dialog, (const NMHDR*)lParam);
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void HistoryDialog(HWND owner)
{
    DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_HISTORY), owner, HistoryProc, 0);
    ClearHistoryItems();
}
