#include "explorer/cookie_list.h"

#include <commctrl.h>
#include <stdlib.h>

#include "categories/cookies.h"
#include "explorer/anchors.h"
#include "explorer/explorer.h"
#include "explorer/frame.h"
#include "explorer/list_page.h"
#include "foundation/language.h"
#include "foundation/lookup.h"
#include "foundation/name_table.h"
#include "foundation/options.h"
#include "foundation/paths.h"
#include "foundation/placement.h"
#include "foundation/shell_hooks.h"
#include "foundation/text.h"
#include "resources/pages/cookies.h"

static const PlacementNames kCookiePlacement = { "xCookie", "yCookie", "dxCookie", "dyCookie" };
#define SORT_OPTION "SortCookie"
#define HELP_FILE "cookies.html"

// What the list's Monitor button patrols: the new-cookie check.
static const PageRecord kCookiePatrol = {
    0, NULL, NULL, 0, IDD_COOKIE_LIST, IDI_COOKIE_ROW, 0, PAGE_KIND_OWN, &g_NewCookiesCategory,
    SORT_OPTION, IDS_COOKIE_LIST_PATROL, OPT_Cookies, -1, HELP_FILE, 0, NULL, 0, NULL, NULL, NULL,
};

struct CookieColumn {
    int HeaderText;
    int Width;  // per cent
};
#define COOKIE_COLUMNS_MAX 5
// Column 1 is the date in both modes.
#define DATE_COLUMN 1
static const CookieColumn kIEColumns[] = { { IDS_COL_COOKIES, 62 }, { IDS_COL_CREATED, 38 } };
static const CookieColumn kMozillaColumns[COOKIE_COLUMNS_MAX] = {
    { IDS_COL_COOKIE_NAME, 34 }, { IDS_COL_EXPIRES, 20 }, { IDS_COL_PATH, 14 },
    { IDS_COL_VALUE, 22 }, { IDS_COL_SSL, 10 },
};

struct CookieList {
    HWND Window;
    HWND List;
    int Mozilla;
    int ColumnCount;
    ItemList Cookies;
    int Filling;
    int NextDescending[COOKIE_COLUMNS_MAX];
    int LastDescending[COOKIE_COLUMNS_MAX];
    AnchorSet Anchors;
};

static void CellText(const CookieList* d, const ItemRecord* cookie, int column, char* out,
                     size_t outSize)
{
    switch (column) {
    case 0: TextCopy(out, outSize, cookie->Name); break;
    case DATE_COLUMN: TextCopy(out, outSize, cookie->Info); break;
    case 2: TextCopy(out, outSize, cookie->Command); break;
    case 3: TextCopy(out, outSize, cookie->Extra); break;
    default:
        LoadText(cookie->Flag ? IDS_SSL_TRUE : IDS_SSL_FALSE, out, (int)outSize);
        break;
    }
    (void)d;
}

static int RecordOfRow(const CookieList* d, int row)
{
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(d->List, LVM_GETITEMA, 0, (LPARAM)&item) || item.lParam < 0 ||
        item.lParam >= ItemCount(&d->Cookies))
        return -1;
    return (int)item.lParam;
}

// --- Sorting -------------------------------------------------------------------------

struct CookieKey {
    char Text[PAGE_CELL];
};
struct CookieSort {
    const CookieKey* Keys;
    int Count;
    int Descending;
};

static int CALLBACK CompareCookies(LPARAM a, LPARAM b, LPARAM data)
{
    const CookieSort* sort = (const CookieSort*)data;
    if (a < 0 || b < 0 || a >= sort->Count || b >= sort->Count)
        return 0;
    int result = lstrcmpiA(sort->Keys[a].Text, sort->Keys[b].Text);
    if (sort->Descending)
        result = -result;
    return result != 0 ? result : (a < b ? -1 : a > b);
}

static void SortCookies(CookieList* d, int column, int descending)
{
    int count = ItemCount(&d->Cookies);
    if (column < 0 || column >= d->ColumnCount || count == 0)
        return;
    CookieKey* keys = (CookieKey*)malloc((size_t)count * sizeof(CookieKey));
    if (keys == NULL)
        return;
    for (int i = 0; i < count; i++) {
        char cell[PAGE_CELL];
        CellText(d, GetItem(&d->Cookies, i), column, cell, sizeof(cell));
        if (column == DATE_COLUMN)
            DateSortKey(cell, keys[i].Text);
        else
            TextCopy(keys[i].Text, cell);
    }
    CookieSort sort = { keys, count, descending };
    SendMessageA(d->List, LVM_SORTITEMS, (WPARAM)&sort, (LPARAM)CompareCookies);
    free(keys);
    d->LastDescending[column] = descending;
}

static void OnColumnClick(CookieList* d, int column)
{
    if (column < 0 || column >= d->ColumnCount)
        return;
    SortCookies(d, column, d->NextDescending[column]);
    d->NextDescending[column] = !d->NextDescending[column];
    OptionWrite(SORT_OPTION, column + 1);
}

// --- Filling -------------------------------------------------------------------------

static void Fill(CookieList* d)
{
    HCURSOR cursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    d->Filling = 1;
    SetCookieMode(d->Mozilla ? COOKIE_MODE_MOZILLA : COOKIE_MODE_IE);
    g_NewCookiesCategory.ListAll(&d->Cookies);
    NameTable kept;
    NameTableInit(&kept);
    NameTableLoadKey(&kept, HKEY_CURRENT_USER, VX_COOKIES_KEY, 0);
    SendMessageA(d->List, WM_SETREDRAW, FALSE, 0);
    SendMessageA(d->List, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < ItemCount(&d->Cookies); i++) {
        const ItemRecord* cookie = GetItem(&d->Cookies, i);
        char cell[PAGE_CELL];
        CellText(d, cookie, 0, cell, sizeof(cell));
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = cell;
        item.lParam = i;
        int row = (int)SendMessageA(d->List, LVM_INSERTITEMA, 0, (LPARAM)&item);
        if (row < 0)
            continue;
        for (int c = 1; c < d->ColumnCount; c++) {
            CellText(d, cookie, c, cell, sizeof(cell));
            item.iSubItem = c;
            SendMessageA(d->List, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
        }
        int value = 0;
        ListView_SetCheckState(d->List, row, NameTableGet(&kept, cookie->Name, &value));
    }
    NameTableFree(&kept);
    int column = OptionRead(SORT_OPTION, 0) - 1;
    if (column >= 0 && column < d->ColumnCount)
        SortCookies(d, column, d->LastDescending[column]);
    SendMessageA(d->List, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(d->List, NULL, TRUE);
    ListView_SetItemState(d->List, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    d->Filling = 0;
    SetCursor(cursor);
}

// --- Commands ------------------------------------------------------------------------

static const ItemRecord* s_chosen[ITEM_MAX];

// The cookies whose check box is as checked says, into s_chosen.
static int ChosenCookies(const CookieList* d, int checked)
{
    int n = 0;
    int rows = (int)SendMessageA(d->List, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < rows && n < ITEM_MAX; row++) {
        int index = RecordOfRow(d, row);
        if (index >= 0 && (ListView_GetCheckState(d->List, row) != 0) == (checked != 0))
            s_chosen[n++] = GetItem(&d->Cookies, index);
    }
    return n;
}

static void RemoveUnchecked(CookieList* d)
{
    if (PageMessage(d->Window, IDS_ASK_REMOVE_UNCHECKED, NULL, MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    int kept = ChosenCookies(d, 1);
    for (int i = 0; i < kept; i++)
        KeepCookie(s_chosen[i]->Name, 1);
    RemoveCookies(s_chosen, ChosenCookies(d, 0));
    Fill(d);
}

static void RemoveChecked(CookieList* d)
{
    if (PageMessage(d->Window, IDS_ASK_REMOVE_CHECKED, NULL, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    RemoveCookies(s_chosen, ChosenCookies(d, 1));
    Fill(d);
}

static const ItemRecord* SelectedCookie(const CookieList* d)
{
    int row = ListView_GetNextItem(d->List, -1, LVNI_SELECTED);
    int index = row >= 0 ? RecordOfRow(d, row) : -1;
    return index >= 0 ? GetItem(&d->Cookies, index) : NULL;
}

static void AppendLine(char* text, size_t size, int labelText, const char* value)
{
    char label[64];
    LoadText(labelText, label, sizeof(label));
    TextAppend(text, size, "\r\n");
    TextAppend(text, size, label);
    TextAppend(text, size, value);
}

// The cookie's text: an IE cookie's file, a Mozilla cookie's fields.
static void ViewCookie(CookieList* d)
{
    const ItemRecord* cookie = SelectedCookie(d);
    if (cookie == NULL) {
        NoSelectionMessage(d->Window);
        return;
    }
    char text[2048] = "";
    if (cookie->Code == CODE_IE_COOKIE) {
        DWORD size = sizeof(text) - 1;
        char* block = ReadTextFile(cookie->Command, &size, 1);
        if (block != NULL)
            TextCopyN(text, sizeof(text), block, size);
        else
            LoadText(IDS_COOKIE_UNREADABLE, text, sizeof(text));
        FreeTextFile(block);
    } else {
        char ssl[32];
        LoadText(cookie->Flag ? IDS_SSL_TRUE : IDS_SSL_FALSE, ssl, sizeof(ssl));
        TextCopy(text, cookie->Name);
        TextAppend(text, "\r\n");
        AppendLine(text, sizeof(text), IDS_COOKIE_VIEW_VALUE, cookie->Extra);
        AppendLine(text, sizeof(text), IDS_COOKIE_VIEW_PATH, cookie->Command);
        AppendLine(text, sizeof(text), IDS_COOKIE_VIEW_EXPIRES, cookie->Info);
        AppendLine(text, sizeof(text), IDS_COOKIE_VIEW_SSL, ssl);
    }
    MessageBoxExA(d->Window, text, cookie->Name, MB_OK | MB_TOPMOST, g_MessageLanguage);
}

static void ShowMenu(CookieList* d)
{
    if (SelectedCookie(d) == NULL)
        return;
    HMENU menu = CreatePopupMenu();
    if (menu == NULL)
        return;
    AppendMenuText(menu, IDC_COOKIES_VIEW, IDS_VIEW_COOKIE);
    AppendMenuText(menu, IDC_COOKIES_REMOVE_UNCHECKED, IDS_REMOVE_UNCHECKED);
    AppendMenuText(menu, IDC_COOKIES_REMOVE_CHECKED, IDS_REMOVE_CHECKED);
    ShowRowMenuAtCursor(d->Window, menu, 0);  // no log entry here
}

static void Close(CookieList* d, int result)
{
    if (!IsIconic(d->Window))
        SaveWindowPlacement(d->Window, kCookiePlacement);
    TakeImageButtons(d->Window);
    EndDialog(d->Window, result);
}

static void OnCommand(CookieList* d, int id)
{
    switch (id) {
    case IDC_COOKIES_VIEW: ViewCookie(d); break;
    case IDC_COOKIES_REMOVE_UNCHECKED: RemoveUnchecked(d); break;
    case IDC_COOKIES_REMOVE_CHECKED: RemoveChecked(d); break;
    case IDM_PAGE_PLUS_INFO: {
        const ItemRecord* cookie = SelectedCookie(d);
        if (cookie == NULL)
            NoSelectionMessage(d->Window);
        else
            LookUpOnline(d->Window, cookie->Code, cookie->Command);
        break;
    }
    case IDC_PAGE_HELP: OpenHelpPage(d->Window, HELP_FILE); break;
    case IDC_PAGE_MONITOR: OnMonitorButton(d->Window, &kCookiePatrol); break;
    case IDOK:
    case IDCANCEL: Close(d, id); break;
    }
}

// --- Set-up --------------------------------------------------------------------------

static void InsertColumns(CookieList* d)
{
    const CookieColumn* columns = d->Mozilla ? kMozillaColumns : kIEColumns;
    d->ColumnCount = d->Mozilla ? COOKIE_COLUMNS_MAX : 2;
    RECT client;
    GetClientRect(d->List, &client);
    int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
    for (int c = 0; c < d->ColumnCount; c++) {
        char text[128];
        LoadText(columns[c].HeaderText, text, sizeof(text));
        LVCOLUMNA column;
        ZeroMemory(&column, sizeof(column));
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text;
        column.cx = width * columns[c].Width / 100;
        column.iSubItem = c;
        SendMessageA(d->List, LVM_INSERTCOLUMNA, (WPARAM)c, (LPARAM)&column);
    }
}

static const AnchoredControl kAnchors[] = {
    { IDC_PAGE_HELP, ANCHOR_RIGHT }, { IDC_PAGE_HELP_LABEL, ANCHOR_RIGHT },
    { IDC_PAGE_MONITOR, ANCHOR_RIGHT }, { IDC_PAGE_MONITOR_LABEL, ANCHOR_RIGHT },
    { IDC_COOKIES_FOLDER, ANCHOR_WIDTH }, { IDC_PAGE_LIST, ANCHOR_WIDTH | ANCHOR_HEIGHT },
    { IDC_COOKIES_HINT, ANCHOR_BOTTOM | ANCHOR_WIDTH }, { IDC_COOKIES_VIEW, ANCHOR_BOTTOM },
    { IDC_COOKIES_REMOVE_UNCHECKED, ANCHOR_BOTTOM }, { IDC_COOKIES_REMOVE_CHECKED, ANCHOR_BOTTOM },
    { IDCANCEL, ANCHOR_BOTTOM | ANCHOR_RIGHT },
};

static void OnInit(CookieList* d)
{
    HWND w = d->Window;
    char title[128];
    if (LoadText(IDS_COOKIE_LIST_TITLE, title, sizeof(title)) > 0)
        SetWindowTextA(w, title);
    SetItemText(w, IDS_COOKIE_LIST_HEADING, IDC_COOKIES_HEADING);
    SetItemText(w, IDS_COOKIE_LIST_HINT, IDC_COOKIES_HINT);
    SetItemText(w, IDS_VIEW_COOKIE, IDC_COOKIES_VIEW);
    SetItemText(w, IDS_REMOVE_UNCHECKED, IDC_COOKIES_REMOVE_UNCHECKED);
    SetItemText(w, IDS_REMOVE_CHECKED, IDC_COOKIES_REMOVE_CHECKED);
    SetItemText(w, IDS_BUTTON_CLOSE, IDCANCEL);
    SetItemText(w, IDS_LABEL_HELP, IDC_PAGE_HELP_LABEL);
    SetItemText(w, IDS_LABEL_MONITOR, IDC_PAGE_MONITOR_LABEL);
    d->List = GetDlgItem(w, IDC_PAGE_LIST);
    d->Mozilla = CookieModeForOption(OptionRead("Browser", 1)) == COOKIE_MODE_MOZILLA;
    ListView_SetExtendedListViewStyleEx(d->List, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    InsertColumns(d);
    AnchorControls(&d->Anchors, w, kAnchors, (int)(sizeof(kAnchors) / sizeof(kAnchors[0])));
    GiveImageButtons(w, &kCookiePatrol);
    SetCookieMode(d->Mozilla ? COOKIE_MODE_MOZILLA : COOKIE_MODE_IE);
    char folder[VX_PATH];
    GetCookieFolder(folder);
    SetDlgItemTextA(w, IDC_COOKIES_FOLDER, folder);
    Fill(d);
    RestoreWindowPlacement(w, kCookiePlacement);
}

static INT_PTR OnNotify(CookieList* d, const NMHDR* header)
{
    if (header->hwndFrom != d->List)
        return 0;
    switch (header->code) {
    case LVN_COLUMNCLICK: OnColumnClick(d, ((const NMLISTVIEW*)header)->iSubItem); break;
    case NM_RCLICK: ShowMenu(d); break;
    case NM_DBLCLK: ViewCookie(d); break;
    }
    return 0;
}

static INT_PTR CALLBACK CookieListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CookieList* d = (CookieList*)GetWindowLongPtrA(window, DWLP_USER);
    if (message == WM_INITDIALOG) {
        d = (CookieList*)lParam;
        d->Window = window;
        SetWindowLongPtrA(window, DWLP_USER, (LONG_PTR)d);
        OnInit(d);
        return TRUE;
    }
    if (d == NULL)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 1)
            OnCommand(d, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, OnNotify(d, (const NMHDR*)lParam));
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            PlaceAnchored(&d->Anchors, window);
        return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return HandleImageButtons(window, message, wParam, lParam);
    case WM_CLOSE:
        Close(d, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void ShowCookieList(HWND owner)
{
    CookieList* d = new CookieList();
    DialogBoxParamA(g_Instance, MAKEINTRESOURCEA(IDD_COOKIE_LIST), owner, CookieListProc,
                    (LPARAM)d);
    delete d;
}
