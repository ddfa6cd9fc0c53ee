// Item lists: one block per record, at most ITEM_MAX a list.
#include "foundation/item_list.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "foundation/utils.h"

// The long form of a path.  Only a path with a "~" can have a short
// component (a generated short name always carries one, and a name that
// is already 8.3 is its own long form), so other texts are kept as they
// are without asking the file system: the list is built on every patrol
// and most commands carry arguments and are no path at all.
static void LongFormOf(const char* text, char* out, size_t outSize)
{
    TextCopy(out, outSize, text);
    if (strchr(text, '~') == NULL)
        return;
    char longPath[VX_PATH];
    GetLongPath(text, longPath);
    if (longPath[0] != '\0')
        TextCopy(out, outSize, longPath);
}

void ItemCommandText(const char* command, char* out, size_t outSize)
{
    outSize = TextLimit(outSize, ITEM_COMMAND);
    char cut[ITEM_COMMAND];
    TextCopy(cut, command);
    char unquoted[ITEM_COMMAND];
    size_t n = 0;
    for (const char* p = cut; *p != '\0'; p++)
        if (*p != '"')
            unquoted[n++] = *p;
    unquoted[n] = '\0';
    if (n < 4)
        TextCopy(out, outSize, unquoted);
    else
        LongFormOf(unquoted, out, outSize);
}

int IsOwnProgramCommand(const char* command)
{
    // Read as text, without the file system: every listed item passes here.
    // The program is what comes before the first ".exe"; its name follows
    // the last "\" before that.
    int exe = TextIndexNoCase(command, ".exe");
    if (exe < 0)
        return 0;
    int start = exe;
    while (start > 0 && command[start - 1] != '\\' && command[start - 1] != '/' &&
           command[start - 1] != '"')
        start--;
    char name[32];
    TextCopyN(name, sizeof(name), command + start, (size_t)(exe - start) + 4);
    return TextEqualNoCase(name, "Vardex.exe") || TextEqualNoCase(name, "VardexView.exe");
}

ItemList::~ItemList()
{
    ClearItems(this);
}

static int AddRecord(ItemList* list, const char* key, const char* file, const char* name,
                     const char* command, const char* extra, const char* info, int code,
                     int flag)
{
    if (list == NULL || list->Count >= ITEM_MAX)
        return 0;
    if (code == 500 && list->Count >= g_Options[OPT_MaxCookie])
        return 0;
    ItemRecord*& chunk = list->Chunks[list->Count / ITEM_CHUNK];
    if (chunk == NULL) {
        // Every field of a record is written below: no need to clear it.
        chunk = (ItemRecord*)malloc(sizeof(ItemRecord) * ITEM_CHUNK);
        if (chunk == NULL)
            return 0;
    }
    ItemRecord* item = &chunk[list->Count % ITEM_CHUNK];

    TextCopy(item->Info, info);
    ItemCommandText(command != NULL ? command : "", item->Command);

    TextCopy(item->Name, name);
    if (item->Name[0] == '\0')
        TextCopy(item->Name, item->Command + FileNameOffset(item->Command));
    if (IsOwnProgramCommand(item->Command))
        TextCopy(item->Name, ProductCaption());

    char cutExtra[ITEM_EXTRA];
    TextCopy(cutExtra, extra);
    if (TextLength(item->Command, 4) < 4)
        TextCopy(item->Extra, cutExtra);
    else
        LongFormOf(cutExtra, item->Extra, ITEM_EXTRA);

    TextCopy(item->Key, key);
    TextCopy(item->File, file);
    item->Code = code;
    item->Flag = flag;
    list->Count++;
    return 1;
}

int AddKeyedItem(ItemList* list, const char* key, const char* name, const char* command,
                 const char* extra, const char* info, int code, int flag)
{
    return AddRecord(list, key, "", name, command, extra, info, code, flag);
}

int AddFileItem(ItemList* list, const char* file, const char* name, const char* command,
                const char* extra, const char* info, int code, int flag)
{
    return AddRecord(list, "", file, name, command, extra, info, code, flag);
}

int AddItem(ItemList* list, const char* name, const char* command, const char* extra,
            const char* info, int code, int flag)
{
    return AddRecord(list, "", "", name, command, extra, info, code, flag);
}

int ItemCount(const ItemList* list)
{
    return list != NULL ? list->Count : 0;
}

const ItemRecord* GetItem(const ItemList* list, int i)
{
    if (list == NULL || i < 0 || i >= list->Count)
        return NULL;
    return &list->Chunks[i / ITEM_CHUNK][i % ITEM_CHUNK];
}

const char* GetItemName(const ItemList* list, int i)
{
    const ItemRecord* item = GetItem(list, i);
    return item != NULL ? item->Name : "";
}

const char* GetItemCommand(const ItemList* list, int i)
{
    const ItemRecord* item = GetItem(list, i);
    return item != NULL ? item->Command : "";
}

const char* GetItemExtra(const ItemList* list, int i)
{
    const ItemRecord* item = GetItem(list, i);
    return item != NULL ? item->Extra : "";
}

const char* GetItemInfo(const ItemList* list, int i)
{
    const ItemRecord* item = GetItem(list, i);
    return item != NULL ? item->Info : "";
}

int GetItemCode(const ItemList* list, int i)
{
    const ItemRecord* item = GetItem(list, i);
    return item != NULL ? item->Code : 0;
}

int GetItemFlag(const ItemList* list, int i)
{
    const ItemRecord* item = GetItem(list, i);
    return item != NULL ? item->Flag : 0;
}

void ClearItems(ItemList* list)
{
    if (list == NULL)
        return;
    for (int c = 0; c < ITEM_MAX / ITEM_CHUNK && list->Chunks[c] != NULL; c++) {
        free(list->Chunks[c]);
        list->Chunks[c] = NULL;
    }
    list->Count = 0;
}
