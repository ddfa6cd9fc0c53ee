#include "explorer/list_page.h"

#include <commdlg.h>
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "categories/restart_commands.h"
#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "foundation/category_record.h"
#include "foundation/detected.h"
#include "foundation/file_dates.h"
#include "foundation/handles.h"
#include "foundation/kept_values.h"
#include "foundation/name_table.h"
#include "foundation/language.h"
#include "foundation/lookup.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/registry_store.h"
#include "foundation/shell_hooks.h"
#include "reports/report.h"
#include "resources/pages/reports.h"
#include "foundation/text.h"
#include "foundation/text_fill.h"
#include "resources/explorer_pages.h"
#include "startup/startup_text.h"

// --- Texts and messages --------------------------------------------------------------

void FilePartOf(const char* path, char* out, size_t outSize)
{
    TextCopy(out, TextLimit(outSize, VX_PATH), path + FileNameOffset(path));
}

void RowPlaceText(const PageRow* row, char* out, size_t outSize)
{
    int id = StartupPlaceTextId(row->Item->Code);
    if (id != 0)
        LoadText(id, out, (int)outSize);
    else
        StartupLocationText(row->Item->Code, row->Last, out, outSize);
}

int PageMessage(HWND owner, int textId, const char* value, UINT flags)
{
    char pattern[1024];
    LoadText(textId, pattern, sizeof(pattern));
    char text[1536];
    TextFill(text, sizeof(text), pattern, &value, value != NULL ? 1 : 0);
    return MessageBoxExA(owner, text, ProductCaption(), flags | MB_TOPMOST, g_MessageLanguage);
}

int ReportCommand(HWND owner)
{
    char path[VX_PATH];
    if (WriteReport(path, sizeof(path)))
        return 1;
    PageMessage(owner, IDS_REPORT_NOT_WRITTEN, NULL, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void NoSelectionMessage(HWND owner)
{
    char text[512];
    char caption[128];
    LoadText(IDS_NO_SELECTION, text, sizeof(text));
    LoadText(IDS_HELP_CAPTION, caption, sizeof(caption));
    MessageBoxExA(owner, text, caption, MB_OK | MB_ICONQUESTION | MB_TOPMOST, g_MessageLanguage);
}

int ChooseProgramFile(HWND owner, int titleText, char* path, DWORD pathSize)
{
    char title[128];
    LoadText(titleText, title, sizeof(title));
    path[0] = '\0';
    OPENFILENAMEA chooser;
    ZeroMemory(&chooser, sizeof(chooser));
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = owner;
    chooser.lpstrFilter = "Programs (*.exe)\0*.exe\0All files (*.*)\0*.*\0";
    chooser.lpstrFile = path;
    chooser.nMaxFile = pathSize;
    chooser.lpstrTitle = title;
    chooser.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return GetOpenFileNameA(&chooser) != FALSE;
}

static ListPage* PageOf(HWND window)
{
    return (ListPage*)GetWindowLongPtrA(window, DWLP_USER);
}

static const PageActions* ActionsOf(const ListPage* page)
{
    static const PageActions none = {};
    return page->Record->Actions != NULL ? page->Record->Actions : &none;
}

// --- Cells -------------------------------------------------------------------------

void PageCellText(const PageColumn* column, const PageRow* row, char* out, size_t outSize)
{
    TextCopy(out, outSize, "");
    switch (column->Field) {
    case FIELD_NAME:
        TextCopy(out, outSize, row->Item->Name);
        break;
    case FIELD_FILE_PART:
        FilePartOf(row->Item->Command, out, outSize);
        break;
    case FIELD_COMPANY:
        TextCopy(out, outSize, row->Company);
        break;
    case FIELD_DETECTED:
        TextCopy(out, outSize, row->Detected);
        break;
    case FIELD_EXTRA:
        TextCopy(out, outSize, row->Item->Extra);
        break;
    case FIELD_INFO:
        TextCopy(out, outSize, row->Item->Info);
        break;
    case FIELD_CELL:
        if (column->Cell != NULL)
            column->Cell(row, out, outSize);
        break;
    }
}

long long RowCode(const PageRow* row)
{
    return row->Item->Code;
}

long long RowFlag(const PageRow* row)
{
    return row->Item->Flag;
}

static void SetCell(HWND list, int row, int column, char* text)
{
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = column;
    item.pszText = text;
    SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

// The width the columns' parts are taken of, by the page's rule.
static int ColumnsWidth(const ListPage* page)
{
    RECT client;
    GetClientRect(page->List, &client);
    int width = client.right - client.left;
    switch (ActionsOf(page)->FullWidth) {
    case PAGE_WIDTH_LESS_CY: return width - GetSystemMetrics(SM_CYVSCROLL);
    case PAGE_WIDTH_LESS_CX: return width - GetSystemMetrics(SM_CXVSCROLL);
    default: return width;
    }
}

// The columns sized again to the list's width after the layout changed
// it (the template's width is not the page's), and on every resize.
static void SizeColumns(ListPage* page)
{
    int width = ColumnsWidth(page);
    if (width == page->SizedWidth)
        return;
    page->SizedWidth = width;
    for (int c = 0; c < page->Record->ColumnCount && c < PAGE_MAX_COLUMNS; c++)
        SendMessageA(page->List, LVM_SETCOLUMNWIDTH, (WPARAM)c,
                     MAKELPARAM(width * page->Record->Columns[c].Width / 100, 0));
}

static void InsertColumns(ListPage* page)
{
    int width = ColumnsWidth(page);
    page->SizedWidth = width;
    for (int c = 0; c < page->Record->ColumnCount && c < PAGE_MAX_COLUMNS; c++) {
        char text[128];
        LoadText(page->Record->Columns[c].HeaderText, text, sizeof(text));
        LVCOLUMNA column;
        ZeroMemory(&column, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text;
        column.cx = width * page->Record->Columns[c].Width / 100;
        column.iSubItem = c;
        SendMessageA(page->List, LVM_INSERTCOLUMNA, (WPARAM)c, (LPARAM)&column);
    }
}

// --- Row facts and icons --------------------------------------------------------------

// The rows already made of each program file within one fill, so that a
// file's version resource and icon are read once however many entries
// start it.
struct ProgramCache {
    int* slots;  // row index + 1; 0 empty
    int mask;
};

static unsigned HashPath(const char* path)
{
    unsigned h = 2166136261u;
    for (; *path != '\0'; path++) {
        char c = *path;
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
        h = (h ^ (unsigned char)c) * 16777619u;
    }
    return h;
}

// The earlier row of the same program, or NULL (the row is then entered).
static const PageRow* SameProgram(ProgramCache* cache, const PageRow* rows, int index)
{
    if (cache->slots == NULL)
        return NULL;
    const char* path = rows[index].Program;
    unsigned mask = (unsigned)cache->mask;
    for (unsigned i = HashPath(path) & mask;; i = (i + 1) & mask) {
        int slot = cache->slots[i];
        if (slot == 0) {
            cache->slots[i] = index + 1;
            return NULL;
        }
        if (lstrcmpiA(rows[slot - 1].Program, path) == 0)
            return &rows[slot - 1];
    }
}

// Adds an icon of this module; -1 when it cannot be had.
static int AddOwnIcon(HIMAGELIST images, int id)
{
    HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);
    if (icon == NULL)
        return -1;
    int image = ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
    return image;
}

// Icons kept between fills, by icon number and file, while the file's
// stamp stays as it was when the icon was taken (provided it had been
// written well before): taking one loads the file as a library, and the
// same files come back at every fill.  A file without that icon is kept
// too (NULL).  Each also knows the image it was last added as, and to
// which page's image list, so that a page filled again adds none of its
// kept icons twice.  Held icons are bounded well below a process's window
// objects: past the bound the table starts afresh.
#define KEPT_ICONS_MAX 1024

struct KeptIcon {
    FileStamp Stamp;
    HICON Icon;
    int ImagesSerial;  // the image list holding Image; 0 none
    int Image;
};

static KeptIcon* s_icons = NULL;
static int s_iconCount = 0, s_iconRoom = 0;
static NameTable s_iconIndex;  // "<number>|<file>" -> slot

static HICON TakeIcon(const char* file, int index)
{
    HICON icon = ExtractIconA(GetModuleHandleA(NULL), file, (UINT)index);
    return icon == (HICON)1 ? NULL : icon;
}

static void ForgetIcons()
{
    for (int i = 0; i < s_iconCount; i++)
        if (s_icons[i].Icon != NULL)
            DestroyIcon(s_icons[i].Icon);
    s_iconCount = 0;
    NameTableFree(&s_iconIndex);
}

// The icon of a file as stamped (NULL: none) and its slot in the table
// (*kept); owned by the table, or by the caller when *kept is -1 (a file
// that cannot be kept).
static HICON KeptIconOf(const char* file, int index, const FileStamp& stamp, int* kept)
{
    char key[VX_PATH + 16];
    TEXT_FORMAT(key, "%d|%s", index, file);
    *kept = -1;
    int slot = -1;
    if (NameTableGet(&s_iconIndex, key, &slot) && SameStamp(s_icons[slot].Stamp, stamp)) {
        *kept = slot;
        return s_icons[slot].Icon;
    }
    HICON icon = TakeIcon(file, index);
    if (stamp.attributes == INVALID_FILE_ATTRIBUTES || !WrittenLongAgo(stamp.written)) {
        if (slot >= 0) {
            // What was kept of the file no longer holds.
            if (s_icons[slot].Icon != NULL)
                DestroyIcon(s_icons[slot].Icon);
            s_icons[slot].Icon = NULL;
            s_icons[slot].Stamp.attributes = INVALID_FILE_ATTRIBUTES;
            s_icons[slot].ImagesSerial = 0;
        }
        return icon;
    }
    if (slot < 0) {
        if (s_iconCount >= KEPT_ICONS_MAX)
            ForgetIcons();
        if (!GrowBlock(&s_icons, &s_iconRoom, s_iconCount, 64) ||
            !NameTablePut(&s_iconIndex, key, s_iconCount))
            return icon;
        slot = s_iconCount++;
    } else if (s_icons[slot].Icon != NULL) {
        DestroyIcon(s_icons[slot].Icon);
    }
    s_icons[slot].Stamp = stamp;
    s_icons[slot].Icon = icon;
    s_icons[slot].ImagesSerial = 0;
    *kept = slot;
    return icon;
}

// The image of a file's icon as stamped in the page's image list, added
// unless the list holds it already; -1 when it has none.
static int AddFileIcon(ListPage* page, const char* file, int index, const FileStamp& stamp)
{
    int slot = -1;
    HICON icon = KeptIconOf(file, index, stamp, &slot);
    if (icon == NULL)
        return -1;
    KeptIcon* kept = slot >= 0 ? &s_icons[slot] : NULL;
    if (kept != NULL && kept->ImagesSerial == page->ImagesSerial)
        return kept->Image;
    int image = ImageList_AddIcon(page->Images, icon);
    if (kept == NULL) {
        DestroyIcon(icon);
        if (image >= 0)
            page->LooseImages++;
    } else if (image >= 0) {
        kept->ImagesSerial = page->ImagesSerial;
        kept->Image = image;
    }
    return image;
}

// The image of a row: the icon its page names, else its program's first
// icon, else the missing-file icon (added once per fill), else the
// program's own (0).
static int RowImage(ListPage* page, const PageRow* row, const FileStamp& stamp)
{
    const PageActions* actions = ActionsOf(page);
    char named[VX_PATH];
    int index = 0;
    if (actions->RowIcon != NULL && actions->RowIcon(page, row, named, sizeof(named), &index)) {
        FileStamp namedStamp;
        StampFile(named, &namedStamp);
        int image = AddFileIcon(page, named, index, namedStamp);
        if (image >= 0)
            return image;
    }
    if (row->Exists && row->Resources) {
        int image = AddFileIcon(page, row->File, 0, stamp);
        if (image >= 0)
            return image;
    }
    if (page->MissingImage < 0)
        page->MissingImage = AddOwnIcon(page->Images, IDI_PAGE_NO_FILE);
    return page->MissingImage >= 0 ? page->MissingImage : 0;
}

// The first-detected dates of the page's subkey, read in one walk per fill
// (from memory while the key stands): each name's number is its date's
// place in dates.
struct DetectedDates {
    NameTable names;
    char (*dates)[VX_DATE_TEXT];
    int count, room;
};

static void VisitDate(const char* name, DWORD type, const char* data, void* context)
{
    DetectedDates* table = (DetectedDates*)context;
    // As GetDetectedDate reads them: texts that fit a date, "" never.
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || name[0] == '\0' || data[0] == '\0' ||
        strlen(data) >= VX_DATE_TEXT || !GrowBlock(&table->dates, &table->room, table->count, 256))
        return;
    TextCopy(table->dates[table->count], data);
    if (NameTablePut(&table->names, name, table->count))
        table->count++;
}

static void ReadDetectedDates(DetectedDates* table, const char* path)
{
    NameTableInit(&table->names);
    table->dates = NULL;
    table->count = table->room = 0;
    if (path != NULL)
        WalkKeptValues(HKEY_CURRENT_USER, path, 0, VisitDate, table);
}

static void FreeDetectedDates(DetectedDates* table)
{
    NameTableFree(&table->names);
    free(table->dates);
    table->dates = NULL;
}

// Whether the program file is there, whether it can hold icons and
// version texts, and its company: from the kept version texts, read again
// only for a file that changed.  Most paths are whole; a bare name (under
// 32 characters) is also looked for where FileExists looks, which then
// gives its full path.
static void ReadProgramFacts(PageRow* row, FileStamp* stamp)
{
    KeptVersion version;
    row->Exists = row->Resources = 0;
    row->Company[0] = '\0';
    stamp->attributes = INVALID_FILE_ATTRIBUTES;
    if (row->File[0] == '\0')
        return;
    KeptVersionOf(row->File, &version);
    if (version.stamp.attributes == INVALID_FILE_ATTRIBUTES) {
        if (strlen(row->File) >= 32 || !FileExists(row->File))
            return;
        KeptVersionOf(row->File, &version);
    }
    row->Exists = 1;
    *stamp = version.stamp;
    if (version.stamp.attributes == INVALID_FILE_ATTRIBUTES) {
        // Found in the Windows folder by its bare name, as the loader finds it.
        row->Resources = 1;
        char strings[VS_COUNT][VS_SLOT];
        GetVersionStrings(row->File, strings);
        TextCopy(row->Company, strings[VS_COMPANY_NAME]);
        return;
    }
    row->Resources = version.resources;
    TextCopy(row->Company, version.companyName);
}

// What a fill reads once for all its rows.
struct FillContext {
    ProgramCache cache;
    ProgramFolders folders;
    DetectedDates dates;
    const char* datesPath;  // NULL: the page keeps no dates
};

static void MakeRowFacts(ListPage* page, PageRow* row, FillContext* fill)
{
    const ItemRecord* item = row->Item;
    ExpandProgramPathIn(&fill->folders, item->Command, row->Program, sizeof(row->Program));
    // The disk is read by the file's own spelling: the record's, when its
    // listing read the file itself, else its Command's.
    ExpandProgramFileIn(&fill->folders, item->File[0] != '\0' ? item->File : item->Command,
                        row->File, sizeof(row->File));
    const PageRow* same = SameProgram(&fill->cache, page->Rows, row->Index);
    FileStamp stamp;
    if (same != NULL) {
        row->Exists = same->Exists;
        row->Resources = same->Resources;
        TextCopy(row->Company, same->Company);
        // A page that names its rows' icons may name another for each.
        row->Image = same->Image;
        if (ActionsOf(page)->RowIcon != NULL) {
            StampFile(row->File, &stamp);
            row->Image = RowImage(page, row, stamp);
        }
    } else {
        ReadProgramFacts(row, &stamp);
        row->Image = RowImage(page, row, stamp);
    }
    // A file seen for the first time is stamped now and shows that date.
    int at = 0;
    row->Detected[0] = '\0';
    if (item->Command[0] != '\0' && NameTableGet(&fill->dates.names, item->Command, &at))
        TextCopy(row->Detected, fill->dates.dates[at]);
    else if (row->Exists && fill->datesPath != NULL &&
             RecordDetected(item->Command, fill->datesPath) == 0)
        GetDetectedDate(item->Command, item->Code, row->Detected);
    row->Last = 0;
    if (ActionsOf(page)->Facts != NULL)
        ActionsOf(page)->Facts(page, row);
}

static void FreeRows(ListPage* page)
{
    free(page->Rows);
    page->Rows = NULL;
    page->RowCount = 0;
    ClearItems(&page->Items);
}

// The row icons for a fill of count rows: the list of the last fill, which
// holds the kept icons it showed, unless it holds icons that were not kept
// (a file just written: its icon is taken again at every fill) or grew well
// past what a fill needs (icons of files gone or changed since); then a new
// list, sized once for every row, whose image 0 is the program's icon.
#define IMAGES_SLACK 64

static void KeepImageList(ListPage* page, int count)
{
    if (page->Images != NULL && page->LooseImages == 0 &&
        ImageList_GetImageCount(page->Images) <= 2 * count + IMAGES_SLACK)
        return;
    static int s_imagesSerial = 0;
    HIMAGELIST images = ImageList_Create(GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON),
                                         ILC_COLOR32 | ILC_MASK, count + 2, 16);
    HIMAGELIST old = (HIMAGELIST)SendMessageA(page->List, LVM_SETIMAGELIST, LVSIL_SMALL,
                                              (LPARAM)images);
    if (old != NULL)
        ImageList_Destroy(old);
    page->Images = images;
    page->ImagesSerial = ++s_imagesSerial;
    page->MissingImage = -1;
    page->LooseImages = 0;
    if (images != NULL)
        AddOwnIcon(images, IDI_PAGE_PROGRAM);
}

static void InsertRow(ListPage* page, const PageRow* row)
{
    char text[PAGE_CELL];
    const PageColumn* columns = page->Record->Columns;
    PageCellText(&columns[0], row, text, sizeof(text));
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = row->Index;
    item.pszText = text;
    item.lParam = row->Index;
    item.iImage = row->Image;
    int at = (int)SendMessageA(page->List, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (at < 0)
        return;
    for (int c = 1; c < page->Record->ColumnCount && c < PAGE_MAX_COLUMNS; c++) {
        PageCellText(&columns[c], row, text, sizeof(text));
        SetCell(page->List, at, c, text);
    }
}

static void SelectRow(HWND list, int row)
{
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0 && row < ListView_GetItemCount(list)) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, row, FALSE);
    }
}

static void UpdateSelection(ListPage* page);

// The sort option's column, -1 when it names none that sorts ("0", "99",
// "abc" and the like).
static int SavedSortColumn(const ListPage* page)
{
    if (page->Record->SortOption == NULL)
        return -1;
    int column = OptionRead(page->Record->SortOption, 0) - 1;
    if (column < 0 || column >= page->Record->ColumnCount || column >= PAGE_MAX_COLUMNS ||
        page->Record->Columns[column].Sort == SORT_NONE)
        return -1;
    return column;
}

// The selection's buttons and status text, or the notice of a list cut at
// its limit.  Again after the frame's activation, which clears the status.
static void ShowListState(ListPage* page)
{
    UpdateSelection(page);
    if (ListView_GetItemCount(page->List) >= ITEM_MAX) {
        char text[256];
        LoadText(IDS_LIST_CUT, text, sizeof(text));
        SetStatusText(text);
    }
}

int PageGone(const ListPage* page)
{
    return page->Gone;
}

int FillListPage(ListPage* page)
{
    if (page->Gone)
        return 0;
    HCURSOR cursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    page->Filling = 1;
    SendMessageA(page->List, WM_SETREDRAW, FALSE, 0);
    SendMessageA(page->List, LVM_DELETEALLITEMS, 0, 0);
    FreeRows(page);

    const Category* row = page->Record->Row;
    // Rows for what the list holds, whatever the listing answered (a
    // listing that failed half-way answers -1 and keeps what it found).
    if (row != NULL && row->ListAll != NULL)
        row->ListAll(&page->Items);
    int count = ItemCount(&page->Items);
    if (count > 0)
        page->Rows = (PageRow*)calloc((size_t)count, sizeof(PageRow));
    if (page->Rows == NULL)
        count = 0;
    page->RowCount = count;
    KeepImageList(page, count);

    FillContext fill;
    int capacity = 16;
    while (capacity < 2 * count)
        capacity *= 2;
    fill.cache.slots = (int*)calloc((size_t)capacity, sizeof(int));
    fill.cache.mask = capacity - 1;
    ReadProgramFolders(&fill.folders);
    const char* subkey = row != NULL ? row->DetectedSubkey : NULL;
    char datesPath[128];
    TEXT_FORMAT(datesPath, "%s\\%s", VX_DETECTED_KEY, subkey != NULL ? subkey : "");
    fill.datesPath = subkey != NULL ? datesPath : NULL;
    ReadDetectedDates(&fill.dates, fill.datesPath);
    const PageActions* actions = ActionsOf(page);
    if (actions->Prepare != NULL)
        actions->Prepare(page, 1);
    SendMessageA(page->List, LVM_SETITEMCOUNT, (WPARAM)count, 0);
    for (int i = 0; i < count; i++) {
        PageRow* r = &page->Rows[i];
        r->Item = GetItem(&page->Items, i);
        r->Index = i;
        MakeRowFacts(page, r, &fill);
        InsertRow(page, r);
    }
    if (actions->Prepare != NULL)
        actions->Prepare(page, 0);
    free(fill.cache.slots);
    FreeDetectedDates(&fill.dates);

    ListView_SetExtendedListViewStyleEx(page->List, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int column = SavedSortColumn(page);
    if (column >= 0)
        SortListPage(page, column, page->LastDescending[column]);
    SendMessageA(page->List, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(page->List, NULL, TRUE);
    SelectRow(page->List, 0);
    page->Filling = 0;
    ShowListState(page);
    SetCursor(cursor);
    return count;
}

void StoreCheckBox(ListPage* page, int id, OptionId option)
{
    int checked = IsDlgButtonChecked(page->Window, id) == BST_CHECKED;
    g_Options[option] = checked;
    OptionWrite(OptionName(option), checked);
    FillListPage(page);
}

// --- Sorting -----------------------------------------------------------------------

struct SortKey {
    char Text[PAGE_CELL];
    long long Number;
    int Last;
};

struct SortContext {
    const SortKey* Keys;  // by record index
    int Count;
    SortKind Kind;
    int Descending;
};

// Whole keys compared: a key that is the start of another sorts before
// it, so the order is the same whatever the order of the comparisons.
// Rows marked Last come after the others in both directions; equal keys
// keep the order of the listing.
static int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM data)
{
    const SortContext* context = (const SortContext*)data;
    if (a < 0 || b < 0 || a >= context->Count || b >= context->Count)
        return 0;
    const SortKey* ka = &context->Keys[a];
    const SortKey* kb = &context->Keys[b];
    if (ka->Last != kb->Last)
        return ka->Last - kb->Last;
    int result;
    if (context->Kind == SORT_NUMBER)
        result = ka->Number < kb->Number ? -1 : ka->Number > kb->Number;
    else
        result = lstrcmpiA(ka->Text, kb->Text);
    if (context->Descending)
        result = -result;
    return result != 0 ? result : (a < b ? -1 : a > b);
}

void SortListPage(ListPage* page, int column, int descending)
{
    if (column < 0 || column >= page->Record->ColumnCount || column >= PAGE_MAX_COLUMNS ||
        page->RowCount == 0)
        return;
    const PageColumn* col = &page->Record->Columns[column];
    if (col->Sort == SORT_NONE)
        return;
    SortKey* keys = (SortKey*)malloc((size_t)page->RowCount * sizeof(SortKey));
    if (keys == NULL)
        return;
    for (int i = 0; i < page->RowCount; i++) {
        const PageRow* row = &page->Rows[i];
        SortKey* key = &keys[i];
        char cell[PAGE_CELL];
        PageCellText(col, row, cell, sizeof(cell));
        key->Last = col->LastGroup ? row->Last : 0;
        key->Number = 0;
        if (col->Sort == SORT_DATE)
            DateSortKey(cell, key->Text, sizeof(key->Text));
        else
            TextCopy(key->Text, cell);
        if (col->Sort == SORT_NUMBER)
            key->Number = col->Number != NULL ? col->Number(row) : strtoll(cell, NULL, 10);
    }
    SortContext context = { keys, page->RowCount, col->Sort, descending };
    SendMessageA(page->List, LVM_SORTITEMS, (WPARAM)&context, (LPARAM)CompareRows);
    free(keys);
    page->LastDescending[column] = descending;
}

static void OnColumnClick(ListPage* page, int column)
{
    if (column < 0 || column >= page->Record->ColumnCount || column >= PAGE_MAX_COLUMNS ||
        page->Record->Columns[column].Sort == SORT_NONE)
        return;
    SortListPage(page, column, page->NextDescending[column]);
    page->NextDescending[column] = !page->NextDescending[column];
    if (page->Record->SortOption != NULL)
        OptionWrite(page->Record->SortOption, column + 1);
}

// --- Selection ---------------------------------------------------------------------

int ListRowParam(HWND list, int row)
{
    if (row < 0)
        return -1;
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item))
        return -1;
    return (int)item.lParam;
}

int SelectedRecords(const ListPage* page, int* indexes, int max)
{
    int n = 0;
    for (int row = -1; n < max;) {
        row = ListView_GetNextItem(page->List, row, LVNI_SELECTED);
        if (row < 0)
            break;
        int index = ListRowParam(page->List, row);
        if (RowOfRecord(page, index) != NULL)
            indexes[n++] = index;
    }
    return n;
}

int SelectedOrSaySo(const ListPage* page, int* indexes, int max)
{
    int count = SelectedRecords(page, indexes, max);
    if (count == 0)
        NoSelectionMessage(page->Window);
    return count;
}

const PageRow* RowOfRecord(const ListPage* page, int index)
{
    return index >= 0 && index < page->RowCount ? &page->Rows[index] : NULL;
}

void SelectRecord(ListPage* page, int index)
{
    LVFINDINFOA find;
    ZeroMemory(&find, sizeof(find));
    find.flags = LVFI_PARAM;
    find.lParam = index;
    int row = RowOfRecord(page, index) != NULL
                  ? (int)SendMessageA(page->List, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&find)
                  : -1;
    SelectRow(page->List, row);
}

const PageRow* SelectedRow(const ListPage* page)
{
    int row = ListView_GetNextItem(page->List, -1, LVNI_SELECTED | LVNI_FOCUSED);
    if (row < 0)
        row = ListView_GetNextItem(page->List, -1, LVNI_SELECTED);
    return RowOfRecord(page, ListRowParam(page->List, row));
}

const PageRow* SelectedRowOrSaySo(const ListPage* page)
{
    const PageRow* row = SelectedRow(page);
    if (row == NULL)
        NoSelectionMessage(page->Window);
    return row;
}

static int HasNote(const PageRow* row)
{
    char note[VX_PATH];
    return row != NULL && NotePath(row->Item->Command, note) > 0 &&
           GetFileAttributesA(note) != INVALID_FILE_ATTRIBUTES;
}

static void UpdateSelection(ListPage* page)
{
    if (page->Filling)
        return;
    const PageRow* row = SelectedRow(page);
    HWND info = GetDlgItem(page->Window, IDC_PAGE_INFO);
    if (info != NULL)
        SendMessageA(info, WM_SETFONT,
                     (WPARAM)ExplorerFontOf(HasNote(row) ? XFONT_NOTE_MARK : XFONT_CAPTION), TRUE);
    if (ActionsOf(page)->Selection != NULL)
        ActionsOf(page)->Selection(page, row);
}

// --- The right-click menu ----------------------------------------------------------

void AppendMenuText(HMENU menu, int id, int textId)
{
    char text[128];
    LoadText(textId, text, sizeof(text));
    AppendMenuA(menu, MF_STRING, (UINT_PTR)id, text);
}

void ShowRowMenuAtCursor(HWND window, HMENU menu, int withLog)
{
    AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
    AppendMenuText(menu, IDM_PAGE_PLUS_INFO, IDS_ROWMENU_PLUS_INFO);
    if (withLog)
        AppendMenuText(menu, IDM_PAGE_LOG, IDS_ROWMENU_LOG);
    AppendMenuText(menu, IDC_PAGE_HELP, IDS_ROWMENU_HELP);
    POINT at;
    GetCursorPos(&at);
    // In the foreground, and WM_NULL after it, or the menu would not close
    // when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenuEx(menu, TPM_VERTICAL, at.x, at.y, window, NULL);
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

static void ShowRowMenu(ListPage* page)
{
    const PageRow* row = SelectedRow(page);
    if (row == NULL)
        return;
    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return;
    if (!ActionsOf(page)->EndingOnly) {
        AppendMenuText(menu, IDC_PAGE_INFO, IDS_ROWMENU_INFO);
        AppendMenuText(menu, IDM_PAGE_EXPLORE, IDS_ROWMENU_EXPLORE);
        AppendMenuText(menu, IDM_PAGE_PROPERTIES, IDS_ROWMENU_PROPERTIES);
        if (HasNote(row))
            AppendMenuText(menu, IDM_PAGE_VIEW_NOTE, IDS_ROWMENU_VIEW_NOTE);
    }
    if (ActionsOf(page)->Menu != NULL)
        ActionsOf(page)->Menu(page, menu, row);
    ShowRowMenuAtCursor(page->Window, menu, 1);
}

// --- Commands every list page shares ---------------------------------------------------

// Schedules the selected row's program file for deletion at the next start,
// after the user's yes; never one of our own files.
static void DeleteOnReboot(ListPage* page, const PageRow* row)
{
    char file[VX_PATH];
    int found = ProgramFileToDelete(row->Item->Command, file, sizeof(file));
    if (found < 0) {
        PageMessage(page->Window, IDS_OWN_FILE, file, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (found == 0) {
        PageMessage(page->Window, IDS_NO_FILE_TO_DELETE, row->Item->Command,
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (PageMessage(page->Window, IDS_REBOOT_DELETE_ASK, NULL, MB_YESNO | MB_ICONSTOP) != IDYES)
        return;
    if (!DeleteOnRestart(file))
        PageMessage(page->Window, IDS_DELETE_REFUSED, file, MB_OK | MB_ICONINFORMATION);
    FillListPage(page);
}

static void ExploreFolder(ListPage* page, const PageRow* row)
{
    char folder[VX_PATH];
    TextCopy(folder, row->File);
    folder[FileNameOffset(folder)] = '\0';
    if (folder[0] != '\0')
        ShellExecuteA(page->Window, "explore", folder, NULL, NULL, SW_SHOWDEFAULT);
}

static void OpenProperties(ListPage* page, const PageRow* row)
{
    if (!row->Exists)
        return;
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = page->Window;
    info.lpVerb = "properties";
    info.lpFile = row->File;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

static void ViewNote(ListPage* page, const PageRow* row)
{
    char note[VX_PATH];
    if (NotePath(row->Item->Command, note) > 0 &&
        GetFileAttributesA(note) != INVALID_FILE_ATTRIBUTES)
        ShellExecuteA(page->Window, "open", note, NULL, NULL, SW_SHOWNORMAL);
}

// What Info... and Enter open (the sheet sets it).
static ItemInfoProc s_showInfo = NULL;

void SetItemInfoProc(ItemInfoProc show)
{
    s_showInfo = show;
}

// The commands that act on the one selected row.
static int IsRowCommand(int id)
{
    return id == IDOK || id == IDC_PAGE_INFO || id == IDM_PAGE_PLUS_INFO ||
           id == IDM_PAGE_REBOOT_DELETE || id == IDM_PAGE_VIEW_NOTE || id == IDM_PAGE_EXPLORE ||
           id == IDM_PAGE_PROPERTIES;
}

static void OnCommand(ListPage* page, int id, int notification)
{
    const PageActions* actions = ActionsOf(page);
    if (actions->Command != NULL && actions->Command(page, id, notification))
        return;
    if (notification != BN_CLICKED && notification != 1)
        return;
    if (IsRowCommand(id)) {
        const PageRow* row = SelectedRowOrSaySo(page);
        if (row == NULL)
            return;
        switch (id) {
        case IDM_PAGE_REBOOT_DELETE: DeleteOnReboot(page, row); return;
        case IDM_PAGE_VIEW_NOTE: ViewNote(page, row); return;
        case IDM_PAGE_EXPLORE: ExploreFolder(page, row); return;
        case IDM_PAGE_PROPERTIES: OpenProperties(page, row); return;
        case IDM_PAGE_PLUS_INFO:
            LookUpOnline(page->Window, row->Item->Code, row->Item->Command);
            return;
        default:
            if (s_showInfo != NULL)
                s_showInfo(page, row->Index);
            return;
        }
    }
    switch (id) {
    case IDC_PAGE_HELP:
        OpenHelpPage(page->Window, page->Record->HelpFile);
        break;
    case IDC_PAGE_MONITOR:
        OnMonitorButton(page->Window, page->Record);
        break;
    case IDC_PAGE_CLOSE:
        PostMessageA(page->Window, WM_CLOSE, 0, 0);
        break;
    case IDM_PAGE_LOG:
        ReportCommand(page->Window);
        break;
    }
}

static LRESULT OnNotify(ListPage* page, const NMHDR* header)
{
    if (header->hwndFrom == page->List) {
        switch (header->code) {
        case LVN_COLUMNCLICK:
            OnColumnClick(page, ((const NMLISTVIEW*)header)->iSubItem);
            break;
        case LVN_ITEMCHANGED:
            if (((const NMLISTVIEW*)header)->uChanged & LVIF_STATE)
                UpdateSelection(page);
            break;
        case NM_CLICK:
        case NM_CHAR:
            UpdateSelection(page);
            break;
        case NM_RCLICK:
            ShowRowMenu(page);
            break;
        case NM_DBLCLK:
            OnCommand(page, IDM_PAGE_PLUS_INFO, BN_CLICKED);
            break;
        }
        return 0;
    }
    switch (header->code) {
    case PSN_SETACTIVE:
        if (ActionsOf(page)->Activate != NULL)
            ActionsOf(page)->Activate(page);
        FillListPage(page);
        PageActivated(page->Window, page->Record);
        ShowListState(page);
        ShowPatrolState(page->Window, page->Record);
        break;
    case PSN_KILLACTIVE:
        PageLeft(page->Window, 0);
        SendMessageA(page->List, LVM_DELETEALLITEMS, 0, 0);
        FreeRows(page);
        break;
    }
    return 0;
}

static void LabelImageButtons(HWND window)
{
    SetItemText(window, IDS_LABEL_HELP, IDC_PAGE_HELP_LABEL);
    SetItemText(window, IDS_LABEL_MONITOR, IDC_PAGE_MONITOR_LABEL);
}

static INT_PTR OnInitDialog(HWND window, const PROPSHEETPAGEA* sheetPage)
{
    const PageRecord* record = sheetPage != NULL ? (const PageRecord*)sheetPage->lParam : NULL;
    ListPage* page = record != NULL ? new ListPage() : NULL;
    if (page == NULL)
        return TRUE;
    page->Window = window;
    page->List = GetDlgItem(window, IDC_PAGE_LIST);
    page->Record = record;
    SetWindowLongPtrA(window, DWLP_USER, (LONG_PTR)page);
    InsertColumns(page);
    // Every list page's Info... and Close (the frame hides Close outside
    // the NT family).
    SetItemText(window, IDS_BUTTON_INFO, IDC_PAGE_INFO);
    SetItemText(window, IDS_BUTTON_CLOSE, IDC_PAGE_CLOSE);
    if (ActionsOf(page)->Init != NULL)
        ActionsOf(page)->Init(page);
    LabelImageButtons(window);
    PageCreated(window, record);
    return TRUE;
}

static void OnDestroy(ListPage* page)
{
    PageLeft(page->Window, 1);
    SetWindowLongPtrA(page->Window, DWLP_USER, 0);
    HIMAGELIST images = (HIMAGELIST)SendMessageA(page->List, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (images != NULL)
        ImageList_Destroy(images);
    page->Images = NULL;
    page->Gone = 1;
    // An action still waiting for the user reads its records when it
    // returns: they go with it.
    if (page->Busy > 0)
        return;
    FreeRows(page);
    delete page;
}

// A command or notice handled; the page freed when its window went
// meanwhile and nothing else is under way.
static void EndAction(ListPage* page)
{
    if (--page->Busy > 0 || !page->Gone)
        return;
    FreeRows(page);
    delete page;
}

INT_PTR CALLBACK ListPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(window, (const PROPSHEETPAGEA*)lParam);
    ListPage* page = PageOf(window);
    INT_PTR result = FALSE;
    if (page == NULL)
        return FALSE;
    if (HandleFrameMessages(window, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_COMMAND:
        page->Busy++;
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        EndAction(page);
        return TRUE;
    case WM_NOTIFY: {
        page->Busy++;
        LRESULT result = OnNotify(page, (const NMHDR*)lParam);
        int gone = page->Gone;
        EndAction(page);
        if (!gone)
            SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_VX_REFRESH_PAGE:
        // A second start asked for this page while it is shown.
        FillListPage(page);
        return TRUE;
    case WM_VX_LAYOUT_PAGE: {
        const PageActions* actions = ActionsOf(page);
        LayoutPage(window, actions->Buttons, actions->ButtonCount, actions->Partners);
        SizeColumns(page);
        return TRUE;
    }
    case WM_CLOSE:
        // The page's own Close: the sheet closes as by its Cancel button.
        PropSheet_PressButton(GetParent(window), PSBTN_CANCEL);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(page);
        return FALSE;
    }
    return FALSE;
}
