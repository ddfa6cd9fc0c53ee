// The File Types page: the program behind each watched extension, and the
// user's Add (the Add File Type Extension dialog) and Remove of extensions
// from the watched list.
#include <windows.h>

#include "categories/filetype.h"
#include "categories/filetype_text.h"
#include "explorer/frame.h"
#include "explorer/pages.h"
#include "foundation/language.h"
#include "foundation/placement.h"
#include "foundation/text.h"
#include "resources/pages/file_types.h"

// --- Columns -----------------------------------------------------------------------

static void CommandCell(const PageRow* row, char* out, size_t outSize)
{
    CommandWithoutPlaceholders(row->Item->Command, out, outSize);
}

static void ClassCell(const PageRow* row, char* out, size_t outSize)
{
    TextCopy(out, outSize, row->Item->Extra);
}

static void ExtensionCell(const PageRow* row, char* out, size_t outSize)
{
    TextCopy(out, outSize, row->Item->Info);
}

// Where the association lives, by its kind.
static void KindCell(const PageRow* row, char* out, size_t outSize)
{
    switch (row->Item->Flag) {
    case 1: LoadText(IDS_FILETYPE_SYSTEM, out, (int)outSize); break;
    case 2:
    case 3: LoadText(IDS_FILETYPE_EXPLORER, out, (int)outSize); break;
    case 4: LoadText(IDS_FILETYPE_ROOT, out, (int)outSize); break;
    }
}

const PageColumn g_FileTypeColumns[FILE_TYPE_COLUMN_COUNT] = {
    { IDS_COL_TITLE, 30, FIELD_NAME, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMMAND, 17, FIELD_CELL, CommandCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_COMPANY, 20, FIELD_COMPANY, NULL, SORT_TEXT, NULL, 0 },
    { IDS_COL_CLASS, 12, FIELD_CELL, ClassCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_EXTENSION, 8, FIELD_CELL, ExtensionCell, SORT_TEXT, NULL, 0 },
    { IDS_COL_TYPE, 10, FIELD_CELL, KindCell, SORT_NONE, NULL, 0 },
};

// --- Texts, icons and the menu ---------------------------------------------------

static void InitFileTypes(ListPage* page)
{
    HWND w = page->Window;
    SetItemText(w, IDS_FILETYPE_PAGE_TEXT, IDC_PAGE_TEXT);
    SetItemText(w, IDS_BUTTON_ADD, IDC_FILETYPE_ADD);
    SetItemText(w, IDS_BUTTON_REMOVE, IDC_FILETYPE_REMOVE);
}

// The icon the type's DefaultIcon names (else its program's).
static int TypeIcon(ListPage*, const PageRow* row, char* file, size_t fileSize, int* index)
{
    char icon[VX_PATH];
    if (!FileTypeIcon(row->Item->Info, row->Item->Flag, icon, index))
        return 0;
    TextCopy(file, fileSize, icon);
    return 1;
}

// Info..., View Note (the engine's, when there is a note), Add and Remove:
// an association has no program folder of its own to explore.
static void FileTypesMenu(ListPage*, HMENU menu, const PageRow*)
{
    DeleteMenu(menu, IDM_PAGE_EXPLORE, MF_BYCOMMAND);
    DeleteMenu(menu, IDM_PAGE_PROPERTIES, MF_BYCOMMAND);
    char text[128];
    LoadText(IDS_BUTTON_ADD, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, IDC_FILETYPE_ADD, text);
    LoadText(IDS_BUTTON_REMOVE, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, IDC_FILETYPE_REMOVE, text);
}

// --- The Add File Type Extension dialog --------------------------------------------

static const PlacementNames kAddPlacement = { "xPosAddFileType", "yPosAddFileType",
                                              "dxPosAddFileType", "dyPosAddFileType" };

static void InitAddDialog(HWND dialog)
{
    char title[128];
    LoadText(IDS_ADD_FILETYPE_TITLE, title, sizeof(title));
    SetWindowTextA(dialog, title);
    SetItemText(dialog, IDS_ADD_FILETYPE_PROMPT, IDC_ADD_FILETYPE_PROMPT);
    SetItemText(dialog, IDS_ADD_FILETYPE_BUTTON, IDOK);
    // An extension holds at most 255 characters (with a leading dot).
    SendDlgItemMessageA(dialog, IDC_ADD_FILETYPE_EXT, EM_LIMITTEXT, 256, 0);
    RestoreWindowPlacement(dialog, kAddPlacement);
}

// Adds the typed extension; a refusal is told and the dialog stays open.
static void AddTyped(HWND dialog)
{
    char ext[260];
    GetDlgItemTextA(dialog, IDC_ADD_FILETYPE_EXT, ext, sizeof(ext));
    int refusal = AddFileType(ext);
    if (refusal == 0) {
        SaveWindowPlacement(dialog, kAddPlacement);
        EndDialog(dialog, IDOK);
        return;
    }
    ShowMessageText(dialog, refusal);
    HWND field = GetDlgItem(dialog, IDC_ADD_FILETYPE_EXT);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

static INT_PTR CALLBACK AddFileTypeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitAddDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            AddTyped(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            SaveWindowPlacement(dialog, kAddPlacement);
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// --- Commands ----------------------------------------------------------------------

static void AddExtension(ListPage* page)
{
    if (DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_ADD_FILE_TYPE),
                        page->Window, AddFileTypeProc, 0) == IDOK)
        FillListPage(page);
}

// Every list holds at most ITEM_MAX records, so this many selected rows is
// every one of them.
static int s_selected[ITEM_MAX];

// Remove with nothing selected: text 60 in the box of text 57.
static void NoTypeSelected(HWND owner)
{
    char text[512], caption[128];
    LoadText(IDS_FILETYPE_NO_SELECTION, text, sizeof(text));
    LoadText(IDS_HELP_CAPTION, caption, sizeof(caption));
    MessageBoxExA(owner, text, caption, MB_OK | MB_ICONQUESTION | MB_TOPMOST, g_MessageLanguage);
}

// The selected rows' extensions, asked about once, each taken off the list.
static void RemoveExtensions(ListPage* page)
{
    int count = SelectedRecords(page, s_selected, ITEM_MAX);
    if (count == 0) {
        NoTypeSelected(page->Window);
        return;
    }
    char named[512] = "";
    for (int i = 0; i < count; i++) {
        if (i > 0)
            TextAppend(named, ", ");
        TextAppend(named, RowOfRecord(page, s_selected[i])->Item->Info);
    }
    if (PageMessage(page->Window, IDS_FILETYPE_REMOVE_ASK, named,
                    MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    for (int i = 0; i < count; i++)
        RemoveFileType(RowOfRecord(page, s_selected[i])->Item->Info);
    FillListPage(page);
}

static int FileTypesCommand(ListPage* page, int id, int notification)
{
    if (notification != BN_CLICKED && notification != 1)
        return 0;
    switch (id) {
    case IDC_FILETYPE_ADD: AddExtension(page); return 1;
    case IDC_FILETYPE_REMOVE: RemoveExtensions(page); return 1;
    default: return 0;
    }
}

// Four slots: Info..., Add, Remove, Close.
static const int kButtons[] = { IDC_PAGE_INFO, IDC_FILETYPE_ADD, IDC_FILETYPE_REMOVE,
                                IDC_PAGE_CLOSE };
static const int kPartners[] = { 0, 0, 0, 0 };

const PageActions g_FileTypeActions = {
    InitFileTypes, NULL, NULL, NULL, NULL, FileTypesCommand, FileTypesMenu,
    kButtons, kPartners, 4, PAGE_WIDTH_LESS_CX, TypeIcon,
};
