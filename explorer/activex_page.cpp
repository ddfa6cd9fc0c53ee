// The ActiveX page: the controls the browser loads, whether each is
// switched off by its kill bit, and the user's Enable and Disable.
#include <windows.h>

#include "categories/activex.h"
#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "resources/pages/activex.h"

// --- Columns -----------------------------------------------------------------------

// A row's Flag is the control's "Compatibility Flags" as the fill read them.
static int KillBitSet(const PageRow* row)
{
    return ((DWORD)row->Item->Flag & ACTIVEX_KILL_BIT) != 0;
}

static void StateCell(const PageRow* row, char* out, size_t outSize)
{
    LoadText(KillBitSet(row) ? IDS_ACTIVEX_STATE_DISABLED : IDS_ACTIVEX_STATE_ENABLED, out,
             (int)outSize);
}

static void ClsidCell(const PageRow* row, char* out, size_t outSize)
{
    TextCopy(out, outSize, row->Item->Extra);
}

// First Detected: the patrol stamps a control by its Command, and so does
// the engine's fill, so the column shows when the patrol first saw it.
const PageColumn g_ActiveXColumns[ACTIVEX_COLUMN_COUNT] = {
    { IDS_COL_MODULE, 30, FIELD_NAME, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMMAND, 20, FIELD_FILE_PART, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMPANY, 20, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_TYPE, 10, FIELD_CELL, StateCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_DETECTED, 19, FIELD_DETECTED, NULL, SORT_DATE, NULL, 0 },
    { IDS_COL_CLSID, 25, FIELD_CELL, ClsidCell, SORT_TEXT, NULL, 0 },
};

// --- Texts, check boxes and the selection --------------------------------------------

static void InitActiveX(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_ACTIVEX_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_BUTTON_ENABLE, IDC_ACTIVEX_ENABLE);
    SetItemText(w, IDS_BUTTON_DISABLE, IDC_ACTIVEX_DISABLE);
    SetItemText(w, IDS_ACTIVEX_HIDE_MICROSOFT, IDC_ACTIVEX_HIDE_MICROSOFT);
    SetItemText(w, IDS_ACTIVEX_LIST_ALL, IDC_ACTIVEX_LIST_ALL);
    ShowWindow(GetDlgItem(w, IDC_ACTIVEX_ENABLE), SW_HIDE);
    ShowWindow(GetDlgItem(w, IDC_ACTIVEX_DISABLE), SW_HIDE);
}

static void ShowCheck(HWND page, int id, OptionId option)
{
    CheckDlgButton(page, id, g_Options[option] > 0 ? BST_CHECKED : BST_UNCHECKED);
}

static void ActivateActiveX(ListPage* page)
{
    ShowCheck(page->Window, IDC_ACTIVEX_HIDE_MICROSOFT, OPT_HideMicrosoftActiveX);
    ShowCheck(page->Window, IDC_ACTIVEX_LIST_ALL, OPT_ActiveXListAll);
}

// Enable for a control that is switched off, Disable for one that is not;
// neither without a selection.
static void ActiveXSelection(ListPage* page, const PageRow* row)
{
    int off = row != NULL && KillBitSet(row);
    ShowWindow(GetDlgItem(page->Window, IDC_ACTIVEX_ENABLE), row != NULL && off ? SW_SHOW
                                                                                : SW_HIDE);
    ShowWindow(GetDlgItem(page->Window, IDC_ACTIVEX_DISABLE), row != NULL && !off ? SW_SHOW
                                                                                  : SW_HIDE);
}

// --- Commands ----------------------------------------------------------------------

// Every list holds at most ITEM_MAX records.
static int s_selected[ITEM_MAX];

// Each selected row's own control (its record, by the row's lParam) is
// switched: Disable asks first, row by row; a control already in the
// wanted state is left alone.  A flag Windows refused to change is told.
static void SwitchControls(ListPage* page, int disable)
{
    int count = SelectedRecords(page, s_selected, ITEM_MAX);
    if (count == 0) {
        NoSelectionMessage(page->Window);
        return;
    }
    for (int i = 0; i < count && !PageGone(page); i++) {
        const PageRow* row = RowOfRecord(page, s_selected[i]);
        const ItemRecord* item = row->Item;
        if (KillBitSet(row) == disable)
            continue;
        int answer = disable ? PageMessage(page->Window, IDS_ACTIVEX_DISABLE_ASK, NULL,
                                           MB_YESNO | MB_ICONQUESTION)
                             : IDYES;
        if (PageGone(page))
            return;
        if (answer != IDYES)
            continue;
        int done = disable ? DisableActiveX(item->Extra) : EnableActiveX(item->Extra);
        if (!done)
            PageMessage(page->Window,
                        disable ? IDS_ACTIVEX_KILL_FAILED : IDS_ACTIVEX_REVIVE_FAILED,
                        item->Name, MB_OK | MB_ICONINFORMATION);
    }
    FillListPage(page);
}

static int ActiveXCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_ACTIVEX_ENABLE: SwitchControls(page, 0); return 1;
    case IDC_ACTIVEX_DISABLE: SwitchControls(page, 1); return 1;
    case IDC_ACTIVEX_HIDE_MICROSOFT:
        StoreCheckBox(page, id, OPT_HideMicrosoftActiveX);
        return 1;
    case IDC_ACTIVEX_LIST_ALL: StoreCheckBox(page, id, OPT_ActiveXListAll); return 1;
    default: return 0;
    }
}

// Three slots: Info..., Enable (Disable in its place), Close.
static const int kButtons[] = { IDC_PAGE_INFO, IDC_ACTIVEX_ENABLE, IDC_PAGE_CLOSE };
static const int kPartners[] = { 0, IDC_ACTIVEX_DISABLE, 0 };

const PageActions g_ActiveXActions = {
    InitActiveX, ActivateActiveX, NULL, NULL, ActiveXSelection, ActiveXCommand, NULL,
    kButtons, kPartners, 3,
    PAGE_WIDTH_FULL,
    NULL,  // RowIcon: Info is a version text here
    1,     // EndingOnly: the menu holds only the common ending
};
