// The Startup Programs page: every entry that starts with Windows, where it
// starts from, and the user's Add, Remove, Enable and Disable.
#include <windows.h>

#include <string.h>

#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/name_table.h"
#include "foundation/options.h"
#include "foundation/path_text.h"
#include "foundation/processes.h"
#include "foundation/registry_store.h"
#include "foundation/text.h"
#include "resources/pages/delayed.h"
#include "resources/pages/startup.h"
#include "startup/autostart.h"
#include "startup/delayed_start.h"
#include "startup/startup_text.h"

// --- Columns -----------------------------------------------------------------------

// "RunDLL32.exe " before the file part of a DLL started through RUNDLL32.
static void CommandCell(const PageRow* row, char* out, size_t outSize)
{
    char part[VX_PATH];
    FilePartOf(row->Item->Command, part, sizeof(part));
    TextCopy(out, outSize, row->Item->Flag == 1 ? "RunDLL32.exe " : "");
    TextAppend(out, outSize, part);
}

static void TypeCell(const PageRow* row, char* out, size_t outSize)
{
    if (row->Last)
        LoadText(IDS_DISABLED_TYPE, out, (int)outSize);
    else
        TextCopy(out, outSize, StartupTypeName(row->Item->Code));
}

const PageColumn g_StartupColumns[STARTUP_COLUMN_COUNT] = {
    { IDS_COL_TITLE, 30, FIELD_NAME, NULL, SORT_TEXT, NULL, 1 },
    { IDS_COL_COMMAND, 16, FIELD_CELL, CommandCell, SORT_TEXT, NULL, 1 },
    { IDS_COL_COMPANY, 18, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 1 },
    { IDS_COL_TYPE, 15, FIELD_CELL, TypeCell, SORT_NUMBER, RowCode, 1 },
    { IDS_COL_DETECTED, 20, FIELD_DETECTED, NULL, SORT_DATE, NULL, 0 },
};

// --- Facts, texts and the selection ----------------------------------------------

// The Disabled index, read once per fill.
static NameTable s_disabled;

static void PrepareStartup(ListPage*, int begin)
{
    NameTableFree(&s_disabled);
    if (begin) {
        NameTableInit(&s_disabled);
        NameTableLoadKey(&s_disabled, HKEY_LOCAL_MACHINE, VX_DISABLED_KEY, 0);
    }
}

static void StartupFacts(ListPage*, PageRow* row)
{
    int code = 0;
    row->Last = NameTableGet(&s_disabled, row->Item->Name, &code);
}

static void InitStartup(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_STARTUP_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_BUTTON_ADD, IDC_STARTUP_ADD);
    SetItemText(w, IDS_BUTTON_REMOVE, IDC_STARTUP_REMOVE);
    SetItemText(w, IDS_BUTTON_ENABLE, IDC_STARTUP_ENABLE);
    SetItemText(w, IDS_BUTTON_DISABLE, IDC_STARTUP_DISABLE);
    SetItemText(w, IDS_STARTUP_SHOW_ALL, IDC_STARTUP_SHOW_ALL);
    ShowWindow(GetDlgItem(w, IDC_STARTUP_DISABLE), SW_HIDE);
}

static void ActivateStartup(ListPage* page)
{
    EnableWindow(GetDlgItem(page->Window, IDC_STARTUP_SHOW_ALL), TRUE);
    CheckDlgButton(page->Window, IDC_STARTUP_SHOW_ALL,
                   g_Options[OPT_ShowAllStartup] > 0 ? BST_CHECKED : BST_UNCHECKED);
}

static void ShowLocation(const PageRow* row)
{
    char text[512];
    LoadText(IDS_STARTUP_LOCATION, text, sizeof(text));
    char place[320];
    RowPlaceText(row, place, sizeof(place));
    TextAppend(text, place);
    SetStatusText(text);
}

static void ShowButton(HWND page, int id, int shown, int enabled)
{
    HWND button = GetDlgItem(page, id);
    ShowWindow(button, shown ? SW_SHOW : SW_HIDE);
    EnableWindow(button, enabled);
}

static void StartupSelection(ListPage* page, const PageRow* row)
{
    HWND w = page->Window;
    if (row == NULL) {
        ShowButton(w, IDC_STARTUP_ENABLE, 0, 0);
        ShowButton(w, IDC_STARTUP_DISABLE, 0, 0);
        return;
    }
    int code = row->Item->Code;
    // Userinit and Shell are reset, not removed; the hook points cannot be
    // parked; a notify package can be parked but not removed.
    int reset = code == SC_USERINIT || code == SC_SHELL;
    int toggles = code < SC_USERINIT || code > SC_APPINIT;
    SetItemText(w, reset ? IDS_BUTTON_RESET : IDS_BUTTON_REMOVE, IDC_STARTUP_REMOVE);
    EnableWindow(GetDlgItem(w, IDC_STARTUP_REMOVE), code != SC_WINLOGON_NOTIFY);
    ShowButton(w, IDC_STARTUP_ENABLE, row->Last, toggles);
    ShowButton(w, IDC_STARTUP_DISABLE, !row->Last, toggles);
    ShowLocation(row);
}

static void StartupMenu(ListPage* page, HMENU menu, const PageRow* row)
{
    (void)page;
    char text[128];
    LoadText(IDS_BUTTON_ADD, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, IDC_STARTUP_ADD, text);
    int code = row->Item->Code;
    if (code < SC_USERINIT) {
        LoadText(IDS_ROWMENU_DELAY, text, sizeof(text));
        AppendMenuA(menu, MF_STRING, IDM_STARTUP_DELAY, text);
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    int reset = code == SC_USERINIT || code == SC_SHELL;
    LoadText(reset ? IDS_BUTTON_RESET : IDS_BUTTON_REMOVE, text, sizeof(text));
    AppendMenuA(menu, MF_STRING | (code == SC_WINLOGON_NOTIFY ? MF_GRAYED : 0),
                IDC_STARTUP_REMOVE, text);
    int toggles = code < SC_USERINIT || code > SC_APPINIT;
    LoadText(row->Last ? IDS_BUTTON_ENABLE : IDS_BUTTON_DISABLE, text, sizeof(text));
    AppendMenuA(menu, MF_STRING | (toggles ? 0 : MF_GRAYED),
                row->Last ? IDC_STARTUP_ENABLE : IDC_STARTUP_DISABLE, text);
    LoadText(IDS_ROWMENU_REBOOT_DELETE, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, IDM_PAGE_REBOOT_DELETE, text);
}

// --- Commands ----------------------------------------------------------------------

// Every list holds at most ITEM_MAX records, so this many selected rows is
// every one of them.
static int s_selected[ITEM_MAX];

static void EnableOrDisable(ListPage* page, int enable)
{
    int count = SelectedOrSaySo(page, s_selected, ITEM_MAX);
    if (count == 0)
        return;
    for (int i = 0; i < count; i++) {
        const ItemRecord* item = RowOfRecord(page, s_selected[i])->Item;
        int parked = DisabledIndexNames(item->Name);
        if (enable && parked) {
            ToggleStartupEntry(item->Name, item->Command, item->Extra, item->Code);
        } else if (!enable && !parked) {
            KillProcessByFile(item->Command, item->Name, count == 1);
            ToggleStartupEntry(item->Name, item->Command, item->Extra, item->Code);
        }
    }
    FillListPage(page);
}

static void RemoveEntries(ListPage* page)
{
    int count = SelectedOrSaySo(page, s_selected, ITEM_MAX);
    if (count == 0)
        return;
    for (int i = 0; i < count; i++) {
        const ItemRecord* item = RowOfRecord(page, s_selected[i])->Item;
        // The monitor's own entry is known by one name whatever it is called.
        const char* name = TextFindNoCase(item->Name, "Vardex PLUS") ? "Vardex" : item->Name;
        if (item->Code > 249) {
            RemoveSystemHook(name, item->Command, item->Extra, item->Code);
            continue;
        }
        KillProcessByFile(item->Command, name, count == 1);
        if (count == 1 && PageMessage(page->Window, IDS_STARTUP_REMOVE_ASK, item->Command,
                                      MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            continue;
        RemoveStartupEntry(name, item->Command, item->Extra, item->Code);
    }
    FillListPage(page);
}

static void AddProgram(ListPage* page)
{
    char path[MAX_PATH];
    if (!ChooseProgramFile(page->Window, IDS_STARTUP_ADD_TITLE, path, sizeof(path)))
        return;
    char name[ITEM_NAME];
    if (!AddRunProgram(path, name, sizeof(name)))
        PageMessage(page->Window, IDS_ADD_FAILED, path, MB_OK | MB_ICONINFORMATION);
    FillListPage(page);
}

// The selected entries onto the delayed-start list, in row order.  The
// monitor itself, a system hook point and a place nothing could be put
// back into are refused; an all-users entry is asked about first.
static void MoveToDelayedList(ListPage* page)
{
    int count = SelectedRecords(page, s_selected, ITEM_MAX);
    for (int i = 0; i < count && !PageGone(page); i++) {
        const ItemRecord* item = RowOfRecord(page, s_selected[i])->Item;
        int refusal = DelayRefusalOf(item);
        if (refusal == DELAY_MUST_STAY) {
            ShowMessageText(page->Window, IDS_CANNOT_DELAY);
            if (TextFindNoCase(item->Command, "vardex.exe"))
                break;
            continue;
        }
        if (refusal == DELAY_NOT_RESTORABLE) {
            PageMessage(page->Window, IDS_DELAY_NOT_RESTORABLE, item->Command,
                        MB_OK | MB_ICONINFORMATION);
            continue;
        }
        HKEY root = DelayRootForCode(item->Code);
        if (root == HKEY_LOCAL_MACHINE &&
            (PageMessage(page->Window, IDS_DELAY_ALL_USERS_ASK, NULL,
                         MB_OKCANCEL | MB_ICONQUESTION) != IDOK ||
             PageGone(page)))
            continue;
        int result = MoveToDelayed(item, root);
        if (result == DELAY_NOT_WRITTEN || result == DELAY_NOT_REMOVED)
            PageMessage(page->Window,
                        result == DELAY_NOT_WRITTEN ? IDS_DELAY_NOT_WRITTEN : IDS_DELAY_NOT_REMOVED,
                        item->Command, MB_OK | MB_ICONINFORMATION);
    }
    if (count > 0)
        FillListPage(page);
}

static int StartupCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_STARTUP_ENABLE: EnableOrDisable(page, 1); return 1;
    case IDC_STARTUP_DISABLE: EnableOrDisable(page, 0); return 1;
    case IDC_STARTUP_REMOVE: RemoveEntries(page); return 1;
    case IDC_STARTUP_ADD: AddProgram(page); return 1;
    case IDC_STARTUP_SHOW_ALL:
        StoreCheckBox(page, IDC_STARTUP_SHOW_ALL, OPT_ShowAllStartup);
        return 1;
    case IDM_STARTUP_DELAY: MoveToDelayedList(page); return 1;
    default: return 0;
    }
}

// Five slots: Info..., Add, Remove, Enable (Disable in its place), Close.
static const int kButtons[] = { IDC_PAGE_INFO, IDC_STARTUP_ADD, IDC_STARTUP_REMOVE,
                                IDC_STARTUP_ENABLE, IDC_PAGE_CLOSE };
static const int kPartners[] = { 0, 0, 0, IDC_STARTUP_DISABLE, 0 };

const PageActions g_StartupActions = {
    InitStartup, ActivateStartup, PrepareStartup, StartupFacts, StartupSelection,
    StartupCommand, StartupMenu, kButtons, kPartners, 5, 0,
};
