#include "explorer/history_view.h"

#include <commctrl.h>

#include "categories/category.h"
#include "foundation/history.h"
#include "foundation/language.h"
#include "foundation/text.h"
#include "foundation/text_ids.h"

static void AddColumn(HWND list, int index, int textId, int width)
{
    char text[128];
    LoadText(textId, text, sizeof(text));
    LVCOLUMNA column;
    ZeroMemory(&column, sizeof(column));
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text;
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)index, (LPARAM)&column);
}

static void SetCell(HWND list, int row, int column, const char* value)
{
    char text[ITEM_EXTRA];
    TextCopy(text, value);
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.iSubItem = column;
    item.pszText = text;
    SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
}

static void FillHistoryList(HWND list)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    if (header == NULL || SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) <= 0) {
        // The shares the columns were designed with add up to 117 per cent:
        // scaled down so that together they fill the list beside its scroll
        // bar, with no sideways scrolling.
        static const struct { int text, share; } columns[4] = {
            { TXT_COL_TITLE, 35 }, { TXT_COL_ACTION, 22 }, { TXT_COL_COMMAND, 22 },
            { TXT_COL_DATE, 38 } };
        RECT client;
        GetClientRect(list, &client);
        int width = client.right - GetSystemMetrics(SM_CXVSCROLL);
        for (int i = 0; i < 4; i++)
            AddColumn(list, i, columns[i].text, width > 0 ? width * columns[i].share / 117 : 0);
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    int count = HistoryItemCount();
    for (int i = 0; i < count; i++) {
        const ItemRecord* record = GetHistoryItem(i);
        char name[ITEM_NAME];
        TextCopy(name, record->Name);
        LVITEMA item;
        ZeroMemory(&item, sizeof(item));
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = name;
        item.lParam = (LPARAM)i;
        int row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        if (row < 0)
            continue;
        SetCell(list, row, 1, HistoryActionName(record->Flag));
        SetCell(list, row, 2, HistoryTypeName(record->Code));
        SetCell(list, row, 3, record->Info);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    if (count > 0)
        SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)(count - 1), FALSE);
}

int ShowHistoryInList(HWND list)
{
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int count = ReadHistory();
    FillHistoryList(list);
    return count;
}

int RestoreHistoryRow(int index, HWND list)
{
    const ItemRecord* line = GetHistoryItem(index);
    int ok = line != NULL && UndoHistoryLine(line) == 1;
    if (list != NULL)
        ShowHistoryInList(list);
    else
        ReadHistory();
    return ok;
}

int ClearHistoryInList(HWND list)
{
    int gone = ClearHistoryFile();
    if (list != NULL)
        ShowHistoryInList(list);
    return gone;
}
