// The item list: one zero-filled block per record, at most ITEM_MAX.
#include "foundation/item_list.h"

#include <windows.h>

#include <string.h>

#include "foundation/language.h"
#include "foundation/options.h"
#include "foundation/text.h"
#include "foundation/utils.h"

static ItemRecord* g_Items[ITEM_MAX];
static int g_ItemCount = 0;

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

int AddItem(const char* name, const char* command, const char* extra, const char* info,
            int code, int flag)
{
    if (g_ItemCount >= ITEM_MAX)
        return 0;
    if (code == 500 && g_ItemCount >= g_Options[OPT_MaxCookie])
        return 0;
    ItemRecord* item = (ItemRecord*)GlobalAlloc(GPTR, sizeof(ItemRecord));
    if (item == NULL)
        return 0;

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

    item->Code = code;
    item->Flag = flag;
    g_Items[g_ItemCount++] = item;
    return 1;
}

int ItemCount()
{
    return g_ItemCount;
}

const ItemRecord* GetItem(int i)
{
    return (i >= 0 && i < g_ItemCount) ? g_Items[i] : NULL;
}

const char* GetItemName(int i)
{
    const ItemRecord* item = GetItem(i);
    return item != NULL ? item->Name : "";
}

const char* GetItemCommand(int i)
{
    const ItemRecord* item = GetItem(i);
    return item != NULL ? item->Command : "";
}

const char* GetItemExtra(int i)
{
    const ItemRecord* item = GetItem(i);
    return item != NULL ? item->Extra : "";
}

const char* GetItemInfo(int i)
{
    const ItemRecord* item = GetItem(i);
    return item != NULL ? item->Info : "";
}

int GetItemCode(int i)
{
    const ItemRecord* item = GetItem(i);
    return item != NULL ? item->Code : 0;
}

int GetItemFlag(int i)
{
    const ItemRecord* item = GetItem(i);
    return item != NULL ? item->Flag : 0;
}

void ClearItems()
{
    for (int i = 0; i < g_ItemCount; i++) {
        GlobalFree(g_Items[i]);
        g_Items[i] = NULL;
    }
    g_ItemCount = 0;
}
