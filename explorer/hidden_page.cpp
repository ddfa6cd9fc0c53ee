// The Hidden Files page: every file flagged as hidden in the key folders of
// Windows, when it was first seen and last written, and the user's Unhide,
// Delete (a copy kept for the History's undo) and look in Notepad.
#include <windows.h>

#include "categories/hidden_files.h"
#include "categories/sysfiles.h"
#include "explorer/pages.h"
#include "foundation/file_dates.h"
#include "foundation/language.h"
#include "foundation/path_text.h"
#include "foundation/text.h"
#include "resources/pages/hidden.h"

// --- Columns -----------------------------------------------------------------------

static void FolderCell(const PageRow* row, char* out, size_t outSize)
{
    const char* path = row->Item->Command;
    TextCopyN(out, outSize, path, (size_t)FileNameOffset(path));
    RemoveTrailingBackslash(out, 1);
}

// The user's date forms, read once per fill.
static DateForms s_forms;

static void PrepareHidden(ListPage*, int begin)
{
    if (begin)
        ReadDateForms(&s_forms);
}

// The whole date and time as the user reads them, from the time the walk
// found ("File in Use" when the record has none).
static void WrittenCell(const PageRow* row, char* out, size_t outSize)
{
    unsigned long long ticks = 0;
    FILETIME written;
    if (ParseTicksText(row->Item->Extra, &ticks)) {
        written.dwLowDateTime = (DWORD)ticks;
        written.dwHighDateTime = (DWORD)(ticks >> 32);
        if (FormatFileTime(written, s_forms, out, outSize) > 0)
            return;
    }
    LoadText(IDS_FILE_IN_USE, out, (int)outSize);
}

// Flag 1 means the system attribute is absent.
static void SystemCell(const PageRow* row, char* out, size_t outSize)
{
    if (row->Item->Flag == 0)
        LoadText(IDS_HIDDEN_SYSTEM, out, (int)outSize);
}

const PageColumn g_HiddenColumns[HIDDEN_COLUMN_COUNT] = {
    { IDS_COL_MODULE, 23, FIELD_FILE_PART, NULL, SORT_TEXT, NULL, 0 },
    // 25, not 30 per cent: the widths then fill the list without a sideways scroll.
    { IDS_COL_FOLDER, 25, FIELD_CELL, FolderCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_DETECTED, 20, FIELD_DETECTED, NULL, SORT_DATE, NULL, 0 },
    { IDS_COL_LAST_WRITTEN, 20, FIELD_CELL, WrittenCell, SORT_DATE, NULL, 0 },
    { IDS_COL_TYPE, 12, FIELD_CELL, SystemCell, SORT_NUMBER, RowFlag, 0 },
};

// --- Texts and the menu ------------------------------------------------------------

static void InitHidden(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_HIDDEN_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_HIDDEN_REFRESH, IDC_HIDDEN_REFRESH);
    SetItemText(w, IDS_HIDDEN_UNHIDE, IDC_HIDDEN_UNHIDE);
}

static void AppendEntry(HMENU menu, int id, int textId)
{
    char text[128];
    LoadText(textId, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, (UINT_PTR)id, text);
}

static void HiddenMenu(ListPage*, HMENU menu, const PageRow*)
{
    AppendEntry(menu, IDC_HIDDEN_REFRESH, IDS_HIDDEN_REFRESH);
    AppendEntry(menu, IDM_HIDDEN_DELETE, IDS_HIDDEN_DELETE);
    AppendEntry(menu, IDM_PAGE_REBOOT_DELETE, IDS_ROWMENU_REBOOT_DELETE);
    AppendEntry(menu, IDM_HIDDEN_NOTEPAD, IDS_HIDDEN_NOTEPAD);
}

// --- Commands ----------------------------------------------------------------------

// Every list holds at most ITEM_MAX records, so this many selected rows is
// every one of them.
static int s_selected[ITEM_MAX];

static int SelectedOrSaySo(ListPage* page)
{
    int count = SelectedRecords(page, s_selected, ITEM_MAX);
    if (count == 0)
        NoSelectionMessage(page->Window);
    return count;
}

static const ItemRecord* SelectedItem(ListPage* page, int i)
{
    return RowOfRecord(page, s_selected[i])->Item;
}

// No hidden, system or read-only attribute left; the others stay.
static void Unhide(ListPage* page)
{
    int count = SelectedOrSaySo(page);
    for (int i = 0; i < count; i++) {
        const char* path = SelectedItem(page, i)->Command;
        DWORD attributes = GetFileAttributesA(path);
        DWORD kept = attributes & ~(DWORD)(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                           FILE_ATTRIBUTE_READONLY);
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            !SetFileAttributesA(path, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL))
            PageMessage(page->Window, IDS_HIDDEN_UNHIDE_FAILED, path, MB_OK | MB_ICONINFORMATION);
    }
    if (count > 0)
        FillListPage(page);
}

// One question for the selected files; each goes with a copy in the vault
// and its history line (DeleteHiddenFile).
static void DeleteSelected(ListPage* page)
{
    int count = SelectedOrSaySo(page);
    if (count == 0 ||
        PageMessage(page->Window, IDS_HIDDEN_DELETE_ASK, NULL, MB_YESNO | MB_ICONSTOP) != IDYES)
        return;
    for (int i = 0; i < count; i++) {
        const ItemRecord* item = SelectedItem(page, i);
        if (!DeleteHiddenFile(item->Name, item->Command))
            PageMessage(page->Window, IDS_HIDDEN_DELETE_FAILED, item->Command,
                        MB_OK | MB_ICONINFORMATION);
    }
    FillListPage(page);
}

static void ViewSelected(ListPage* page)
{
    const PageRow* row = SelectedRow(page);
    if (row == NULL)
        NoSelectionMessage(page->Window);
    else
        ViewInNotepad(row->Item->Command);
}

static int HiddenCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_HIDDEN_REFRESH: FillListPage(page); return 1;
    case IDC_HIDDEN_UNHIDE: Unhide(page); return 1;
    case IDM_HIDDEN_DELETE: DeleteSelected(page); return 1;
    case IDM_HIDDEN_NOTEPAD: ViewSelected(page); return 1;
    default: return 0;
    }
}

// Four slots: Info..., Refresh, Unhide, Close.
static const int kButtons[] = { IDC_PAGE_INFO, IDC_HIDDEN_REFRESH, IDC_HIDDEN_UNHIDE,
                                IDC_PAGE_CLOSE };
static const int kPartners[] = { 0, 0, 0, 0 };

// The rows' icons stay in the engine's one image list, which every fill
// replaces as a second list would be.
const PageActions g_HiddenActions = {
    InitHidden, NULL, PrepareHidden, NULL, NULL, HiddenCommand, HiddenMenu,
    kButtons, kPartners, 4, 0, NULL,
};
