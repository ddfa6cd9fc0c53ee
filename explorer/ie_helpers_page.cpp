// The IE Helpers page: the browser helper objects, toolbars and toolbar
// buttons, where each is registered, and the user's Remove.
#include <windows.h>

#include <string.h>

#include "categories/ie_helpers.h"
#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/path_text.h"
#include "foundation/text.h"
#include "resources/pages/ie_helpers.h"

// --- Columns -----------------------------------------------------------------------

static int TypeTextId(int code)
{
    switch (code) {
    case HELPER_CODE_BHO: return IDS_HELPER_TYPE_BHO;
    case HELPER_CODE_TOOLBAR: return IDS_HELPER_TYPE_TOOLBAR;
    case HELPER_CODE_EXTENSION: return IDS_HELPER_TYPE_EXTENSION;
    default: return 0;
    }
}

static void TypeCell(const PageRow* row, char* out, size_t outSize)
{
    int id = TypeTextId(row->Item->Code);
    if (id != 0)
        LoadText(id, out, (int)outSize);
}

const PageColumn g_IEHelperColumns[IE_HELPER_COLUMN_COUNT] = {
    { IDS_COL_NAME, 26, FIELD_NAME, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_PROGRAM, 20, FIELD_FILE_PART, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMPANY, 20, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 0 },
    // 13, not 9 per cent: "EXTENSION" whole.
    { IDS_COL_TYPE, 13, FIELD_CELL, TypeCell, SORT_NUMBER, RowCode, 0 },
    { IDS_COL_DETECTED, 20, FIELD_DETECTED, NULL, SORT_DATE, NULL, 0 },
};

// A toolbar button's Info is its HotIcon: an ".ico" file named there is
// its icon.  The other kinds keep a version text in Info, never a file.
static int HelperIcon(ListPage*, const PageRow* row, char* out, size_t outSize, int* index)
{
    TextCopy(out, outSize, "");
    *index = 0;
    const ItemRecord* item = row->Item;
    int at = TextIndexNoCase(item->Info, ".ico");
    if (item->Code != HELPER_CODE_EXTENSION || at < 0)
        return 0;
    // The file ends with ".ico"; what follows (",0", a quote) is not part of it.
    char named[VX_PATH];
    size_t length = (size_t)at + 4;
    TextCopy(named, length + 1 < sizeof(named) ? length + 1 : sizeof(named), item->Info);
    char unquoted[VX_PATH];
    StripQuotes(named, unquoted, sizeof(unquoted));
    DWORD n = ExpandEnvironmentStringsA(unquoted, out, (DWORD)outSize);
    if (n == 0 || n > outSize)
        TextCopy(out, outSize, unquoted);
    return out[0] != '\0';
}

// --- Texts and the selection -------------------------------------------------------

static void InitHelpers(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_HELPERS_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_BUTTON_REMOVE, IDC_HELPERS_REMOVE);
}

// "Location: HKLM\<the key of its kind>" in the status bar.
static void HelpersSelection(ListPage*, const PageRow* row)
{
    const char* key = row != NULL ? HelperKindKey(row->Item->Code) : NULL;
    if (key == NULL) {
        SetStatusText("");
        return;
    }
    char text[512];
    LoadText(IDS_HELPERS_LOCATION, text, sizeof(text));
    TextAppend(text, ": HKLM\\");
    TextAppend(text, key);
    SetStatusText(text);
}

static void HelpersMenu(ListPage*, HMENU menu, const PageRow*)
{
    char text[128];
    LoadText(IDS_BUTTON_REMOVE, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, IDC_HELPERS_REMOVE, text);
    LoadText(IDS_ROWMENU_REBOOT_DELETE, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, IDM_PAGE_REBOOT_DELETE, text);
}

// --- Commands ----------------------------------------------------------------------

// Every list holds at most ITEM_MAX records.
static int s_selected[ITEM_MAX];

// Each selected row's own helper (its record, by the row's lParam) after
// the user's yes to it: its registration goes, and its file is
// unregistered only when no other add-on uses it.  A registration Windows
// would not let go is told.
static void RemoveHelpers(ListPage* page)
{
    int count = SelectedRecords(page, s_selected, ITEM_MAX);
    if (count == 0) {
        NoSelectionMessage(page->Window);
        return;
    }
    for (int i = 0; i < count && !PageGone(page); i++) {
        const ItemRecord* item = RowOfRecord(page, s_selected[i])->Item;
        int answer = PageMessage(page->Window, IDS_HELPER_REMOVE_ASK, item->Name,
                                 MB_YESNO | MB_ICONQUESTION);
        if (PageGone(page))
            return;
        if (answer != IDYES)
            continue;
        if (RemoveIEHelper(&page->Items, item->Command, s_selected[i]) == 0)
            PageMessage(page->Window, IDS_HELPER_REMOVE_FAILED, item->Name,
                        MB_OK | MB_ICONINFORMATION);
    }
    FillListPage(page);
}

static int HelpersCommand(ListPage* page, int id, int notification)
{
    if ((notification != BN_CLICKED && notification != 1) || id != IDC_HELPERS_REMOVE)
        return 0;
    RemoveHelpers(page);
    return 1;
}

// Three slots: Info..., Remove, Close.
static const int kButtons[] = { IDC_PAGE_INFO, IDC_HELPERS_REMOVE, IDC_PAGE_CLOSE };
static const int kPartners[] = { 0, 0, 0 };

const PageActions g_IEHelperActions = {
    InitHelpers, NULL, NULL, NULL, HelpersSelection, HelpersCommand, HelpersMenu,
    kButtons, kPartners, 3,
    PAGE_WIDTH_FULL,
    HelperIcon,
};
