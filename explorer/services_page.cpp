// The Services page: every service that starts a program, its state and
// startup type, and whether Microsoft's own are shown.  Starting, stopping
// and the startup type are the information dialog's: the page lists again
// after it.
#include <windows.h>

#include <string.h>

#include "categories/services.h"
#include "explorer/info_dialog.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/name_table.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "resources/pages/services.h"

// --- Columns -----------------------------------------------------------------------

// A hosted service shows its DLL behind the host that runs it.
static void ServiceCommandCell(const PageRow* row, char* out, size_t outSize)
{
    char part[VX_PATH];
    FilePartOf(row->Item->Command, part, sizeof(part));
    TextCopy(out, outSize, row->Item->Code == SERVICE_CODE_SVCHOST ? "svchost.exe " : "");
    TextAppend(out, outSize, part);
}

// The states of the services, read in one call per fill; kept until the
// next fill, since sorting asks for the cells again.
static NameTable s_states;

static void StatusCell(const PageRow* row, char* out, size_t outSize)
{
    int state = 0;
    if (NameTableGet(&s_states, row->Item->Name, &state))
        ServiceStateName(state, out, outSize);
    else
        TextCopy(out, outSize, "");  // a service the manager does not know
}

// Parts of the width that leave no sideways scrolling, with room for a
// whole date, "Automatic" and a hosted service's "svchost.exe " prefix.
const PageColumn g_ServiceColumns[SERVICE_COLUMN_COUNT] = {
    { IDS_COL_TITLE, 24, FIELD_NAME, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMMAND, 20, FIELD_CELL, ServiceCommandCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMPANY, 11, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_STATUS, 10, FIELD_CELL, StatusCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_STARTUP, 11, FIELD_EXTRA, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_DETECTED, 22, FIELD_DETECTED, NULL, SORT_DATE, NULL, 0 },
};

// --- Texts, the check box and the fill ------------------------------------------------

static void PrepareServices(ListPage*, int begin)
{
    if (!begin)
        return;
    NameTableFree(&s_states);
    NameTableInit(&s_states);
    LoadServiceStates(&s_states);
}

static void InitServices(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_SERVICES_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_SERVICES_HIDE_MS, IDC_SERVICES_HIDE_MS);
}

static void ActivateServices(ListPage* page)
{
    CheckDlgButton(page->Window, IDC_SERVICES_HIDE_MS,
                   g_Options[OPT_HideMicrosoftServices] > 0 ? BST_CHECKED : BST_UNCHECKED);
}

static void HideMicrosoft(ListPage* page)
{
    int hide = IsDlgButtonChecked(page->Window, IDC_SERVICES_HIDE_MS) == BST_CHECKED;
    g_Options[OPT_HideMicrosoftServices] = hide;
    OptionWrite(OptionName(OPT_HideMicrosoftServices), hide);
    FillListPage(page);
}

// Selects the row of the service with this title and command (the list was
// made again: its records have new places); row 0 stays selected when it
// is gone.
static void SelectService(ListPage* page, const char* title, const char* command)
{
    for (int i = 0; i < ItemCount(&page->Items); i++) {
        const ItemRecord* item = GetItem(&page->Items, i);
        if (strcmp(item->Name, title) != 0 || strcmp(item->Command, command) != 0)
            continue;
        LVFINDINFOA find;
        ZeroMemory(&find, sizeof(find));
        find.flags = LVFI_PARAM;
        find.lParam = i;
        int row = (int)SendMessageA(page->List, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find);
        if (row < 0)
            return;
        ListView_SetItemState(page->List, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(page->List, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(page->List, row, FALSE);
        return;
    }
}

// The dialog may have stopped the service or changed its startup type:
// the list is made again, and the service shown last selected.
static void ShowInfoAndRefill(ListPage* page)
{
    const PageRow* row = SelectedRow(page);
    if (row == NULL) {
        NoSelectionMessage(page->Window);
        return;
    }
    ShowProgramInfo(page, row->Index);
    row = SelectedRow(page);
    char title[ITEM_NAME] = "", command[ITEM_COMMAND] = "";
    if (row != NULL) {
        TextCopy(title, row->Item->Name);
        TextCopy(command, row->Item->Command);
    }
    FillListPage(page);
    if (title[0] != '\0')
        SelectService(page, title, command);
}

static int ServicesCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_SERVICES_HIDE_MS: HideMicrosoft(page); return 1;
    case IDC_PAGE_INFO:
    case IDOK: ShowInfoAndRefill(page); return 1;
    default: return 0;
    }
}

static const int kButtons[] = { IDC_PAGE_INFO, IDC_PAGE_CLOSE };

const PageActions g_ServiceActions = {
    InitServices, ActivateServices, PrepareServices, NULL, NULL, ServicesCommand, NULL,
    kButtons, NULL, 2, 0,
};
