// The Delayed Start page: the programs the monitor starts a set time after
// its own start, whether each runs now, and the user's Launch, Add, Remove,
// options and restore.  What is written is the startup floor's
// (startup/delayed_start.h); here the user is asked.
#include <windows.h>

#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/paths.h"
#include "foundation/processes.h"
#include "foundation/text.h"
#include "resources/pages/delayed.h"
#include "resources/pages/startup.h"
#include "startup/delayed_start.h"
#include "startup/startup_text.h"

// --- Facts and columns -------------------------------------------------------------

// Per record of the last fill: whether its program runs, and its delay.
static int s_running[ITEM_MAX];
static int s_seconds[ITEM_MAX];

static void DelayedFacts(ListPage*, PageRow* row)
{
    const ItemRecord* item = row->Item;
    char file[VX_PATH];
    ExpandProgramPath(DelayProgramKeyOf(item), file);
    s_running[row->Index] = file[0] != '\0' && FindProcessByFile(file) != 0;
    s_seconds[row->Index] = DelayTimeOf(DelayRootOf(item), DelayProgramKeyOf(item));
}

static void StatusCell(const PageRow* row, char* out, size_t outSize)
{
    if (s_running[row->Index])
        LoadText(IDS_DELAY_RUNNING, out, (int)outSize);
    else if (!row->Exists)
        LoadText(IDS_DELAY_NO_FILE, out, (int)outSize);
}

static void DelayCell(const PageRow* row, char* out, size_t outSize)
{
    char minutes[32], seconds[32];
    LoadText(IDS_DELAY_MINUTES, minutes, sizeof(minutes));
    LoadText(IDS_DELAY_SECONDS, seconds, sizeof(seconds));
    DelayTimeText(s_seconds[row->Index], minutes, seconds, out, outSize);
}

// Running programs first.
static long long RunningKey(const PageRow* row) { return s_running[row->Index] ? 0 : 1; }
static long long DelayKey(const PageRow* row) { return s_seconds[row->Index]; }

const PageColumn g_DelayedColumns[DELAYED_COLUMN_COUNT] = {
    { IDS_COL_TITLE, 35, FIELD_NAME, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMMAND, 30, FIELD_FILE_PART, NULL, SORT_TEXT, NULL, 0 },
    { IDS_DELAY_STATUS, 15, FIELD_CELL, StatusCell, SORT_NUMBER, RunningKey, 0 },
    { IDS_COL_DELAY_TIME, 20, FIELD_CELL, DelayCell, SORT_NUMBER, DelayKey, 0 },
};

static void InitDelayed(ListPage* page)
{
    SetItemText(page->Window, IDS_DELAY_TEXT, IDC_PAGE_TEXT);
    SetItemText(page->Window, IDS_DELAY_LAUNCH, IDC_DELAY_LAUNCH);
    SetItemText(page->Window, IDS_BUTTON_ADD, IDC_DELAY_ADD);
    SetItemText(page->Window, IDS_BUTTON_REMOVE, IDC_DELAY_REMOVE);
}

static void DelayedMenu(ListPage*, HMENU menu, const PageRow*)
{
    AppendMenuText(menu, IDC_DELAY_ADD, IDS_BUTTON_ADD);
    AppendMenuText(menu, IDC_DELAY_LAUNCH, IDS_DELAY_LAUNCH_MENU);
    AppendMenuText(menu, IDM_DELAY_OPTIONS, IDS_DELAY_OPTIONS_MENU);
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuText(menu, IDC_DELAY_REMOVE, IDS_BUTTON_REMOVE);
    AppendMenuText(menu, IDM_DELAY_RESTORE, IDS_DELAY_RESTORE_MENU);
}

// --- The options dialog ------------------------------------------------------------

struct OptionsDialog {
    const ItemRecord* Item;
    DelayOptions Options;
};

static void AddComboText(HWND combo, const char* text)
{
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
}

static void InitOptionsDialog(HWND dialog, OptionsDialog* data)
{
    const DelayOptions* o = &data->Options;
    SetDlgItemTextA(dialog, IDC_DELAY_PROGRAM, DelayProgramKeyOf(data->Item));
    HWND minutes = GetDlgItem(dialog, IDC_DELAY_MINUTES);
    HWND seconds = GetDlgItem(dialog, IDC_DELAY_SECONDS);
    HWND openAs = GetDlgItem(dialog, IDC_DELAY_OPEN_AS);
    char text[64];
    for (int m = 0; m <= 60; m++) {
        TEXT_FORMAT(text, "%d", m);
        AddComboText(minutes, text);
    }
    for (int s = 0; s < 60; s += 10) {
        TEXT_FORMAT(text, "%d", s);
        AddComboText(seconds, text);
    }
    static const int kStates[] = { IDS_DELAY_OPEN_NORMAL, IDS_DELAY_OPEN_MINIMIZED,
                                   IDS_DELAY_OPEN_MAXIMIZED };
    for (int id : kStates) {
        LoadText(id, text, sizeof(text));
        AddComboText(openAs, text);
    }
    // A delay between two steps shows the step it starts at.
    int shown = DelayLaunchStep(o->Seconds) * 10;
    if (o->Seconds == 0)
        shown = 0;
    SendMessageA(minutes, CB_SETCURSEL, (WPARAM)(shown / 60 > 60 ? 60 : shown / 60), 0);
    SendMessageA(seconds, CB_SETCURSEL, (WPARAM)(shown % 60 / 10), 0);
    SendMessageA(openAs, CB_SETCURSEL, (WPARAM)o->OpenAs, 0);
    SendDlgItemMessageA(dialog, IDC_DELAY_PARAMETERS, EM_LIMITTEXT, VX_REG_TEXT_MAX - 1, 0);
    SendDlgItemMessageA(dialog, IDC_DELAY_TITLE, EM_LIMITTEXT, ITEM_NAME - 1, 0);
    SetDlgItemTextA(dialog, IDC_DELAY_PARAMETERS, o->Parameters);
    SetDlgItemTextA(dialog, IDC_DELAY_TITLE, o->Title);
}

static void ReadOptionsDialog(HWND dialog, OptionsDialog* data)
{
    DelayOptions* o = &data->Options;
    int minutes = (int)SendDlgItemMessageA(dialog, IDC_DELAY_MINUTES, CB_GETCURSEL, 0, 0);
    int seconds = (int)SendDlgItemMessageA(dialog, IDC_DELAY_SECONDS, CB_GETCURSEL, 0, 0);
    int openAs = (int)SendDlgItemMessageA(dialog, IDC_DELAY_OPEN_AS, CB_GETCURSEL, 0, 0);
    o->Seconds = (minutes < 0 ? 0 : minutes) * 60 + (seconds < 0 ? 0 : seconds) * 10;
    o->OpenAs = openAs < 0 ? 0 : openAs;
    GetDlgItemTextA(dialog, IDC_DELAY_PARAMETERS, o->Parameters, sizeof(o->Parameters));
    GetDlgItemTextA(dialog, IDC_DELAY_TITLE, o->Title, sizeof(o->Title));
}

// --- The all-users question of Add -------------------------------------------------

static void InitTypeDialog(HWND dialog, int*)
{
    char title[128];
    LoadText(IDS_DELAY_TYPE_TITLE, title, sizeof(title));
    SetWindowTextA(dialog, title);
    SetItemText(dialog, IDS_DELAY_TYPE_QUESTION, IDC_DELAY_QUESTION);
    SetItemText(dialog, IDS_DELAY_TYPE_ALL, IDC_DELAY_ALL_USERS);
    SetItemText(dialog, IDS_DELAY_TYPE_USER, IDC_DELAY_THIS_USER);
    CheckRadioButton(dialog, IDC_DELAY_ALL_USERS, IDC_DELAY_THIS_USER, IDC_DELAY_THIS_USER);
}

static void ReadTypeDialog(HWND dialog, int* allUsers)
{
    *allUsers = IsDlgButtonChecked(dialog, IDC_DELAY_ALL_USERS) == BST_CHECKED;
}

// --- Both dialogs ------------------------------------------------------------------

// A dialog of the page: filled from its data (DWLP_USER) by Init, the data
// read back by Read on OK.
template <typename Data, void (*Init)(HWND, Data*), void (*Read)(HWND, Data*)>
static INT_PTR CALLBACK PageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Init(dialog, (Data*)lParam);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        Read(dialog, (Data*)GetWindowLongPtrA(dialog, DWLP_USER));
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

// Runs a dialog of the page; 1 when the user pressed OK (data then holds
// the answer).
static int AskInDialog(ListPage* page, int dialogId, DLGPROC proc, void* data)
{
    return DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(dialogId), page->Window, proc,
                           (LPARAM)data) == IDOK;
}

// --- Commands ----------------------------------------------------------------------

// The selected row's record; with none, the "No selection" message.
static const ItemRecord* SelectedItemOrSaySo(ListPage* page)
{
    const PageRow* row = SelectedRowOrSaySo(page);
    return row != NULL ? row->Item : NULL;
}

static void AddProgram(ListPage* page)
{
    char path[MAX_PATH];
    if (!ChooseProgramFile(page->Window, IDS_STARTUP_ADD_TITLE, path, sizeof(path)))
        return;
    int allUsers = 0;
    if (!AskInDialog(page, IDD_DELAY_TYPE,
                     PageDialogProc<int, InitTypeDialog, ReadTypeDialog>, &allUsers))
        return;
    if (!AddDelayedProgram(path, allUsers))
        PageMessage(page->Window, IDS_DELAY_NOT_ADDED, path, MB_OK | MB_ICONINFORMATION);
    FillListPage(page);
}

static void Launch(ListPage* page)
{
    const ItemRecord* item = SelectedItemOrSaySo(page);
    if (item == NULL)
        return;
    if (LaunchDelayedProgram(DelayRootOf(item), DelayProgramKeyOf(item)) != 0)
        PageMessage(page->Window, IDS_DELAY_NOT_LAUNCHED, item->Command,
                    MB_OK | MB_ICONINFORMATION);
    FillListPage(page);
}

static void EditOptions(ListPage* page)
{
    const ItemRecord* item = SelectedItemOrSaySo(page);
    if (item == NULL)
        return;
    OptionsDialog data;
    data.Item = item;
    ReadDelayOptions(DelayRootOf(item), DelayProgramKeyOf(item), &data.Options);
    DLGPROC proc = PageDialogProc<OptionsDialog, InitOptionsDialog, ReadOptionsDialog>;
    if (AskInDialog(page, IDD_DELAY_OPTIONS, proc, &data) && !PageGone(page))
        WriteDelayOptions(DelayRootOf(item), DelayProgramKeyOf(item), &data.Options);
    FillListPage(page);
}

static void Restore(ListPage* page, const ItemRecord* item)
{
    if (!RestoreDelayed(item))
        PageMessage(page->Window, IDS_DELAY_NOT_RESTORED, item->Command,
                    MB_OK | MB_ICONINFORMATION);
}

// Yes puts it back into its startup place first; No forgets it.  A
// program that cannot be put back stays on the list.
static void Remove(ListPage* page)
{
    const ItemRecord* item = SelectedItemOrSaySo(page);
    if (item == NULL)
        return;
    int answer = PageMessage(page->Window, IDS_DELAY_REMOVE_ASK, NULL,
                             MB_YESNOCANCEL | MB_ICONQUESTION);
    if (PageGone(page) || answer == IDCANCEL)
        return;
    if (answer == IDYES)
        Restore(page, item);
    else if (answer == IDNO)
        DeleteDelayRecord(DelayRootOf(item), DelayProgramKeyOf(item));
    FillListPage(page);
}

static int DelayedCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_DELAY_ADD: AddProgram(page); return 1;
    case IDC_DELAY_LAUNCH: Launch(page); return 1;
    case IDC_DELAY_REMOVE: Remove(page); return 1;
    case IDM_DELAY_OPTIONS: EditOptions(page); return 1;
    case IDM_DELAY_RESTORE: {
        const ItemRecord* item = SelectedItemOrSaySo(page);
        if (item != NULL) {
            Restore(page, item);
            FillListPage(page);
        }
        return 1;
    }
    default: return 0;
    }
}

// Five slots: Info..., Launch, Add, Remove, Close.
static const int kButtons[] = { IDC_PAGE_INFO, IDC_DELAY_LAUNCH, IDC_DELAY_ADD,
                                IDC_DELAY_REMOVE, IDC_PAGE_CLOSE };
static const int kPartners[] = { 0, 0, 0, 0, 0 };

const PageActions g_DelayedActions = {
    InitDelayed, NULL, NULL, DelayedFacts, NULL, DelayedCommand, DelayedMenu,
    kButtons, kPartners, 5, 0, NULL,
};
