// Item lists: what every enumeration (startup places, services, tasks,
// cookies ...) fills with ItemRecord entries.  A list belongs to whoever
// made it and hands it to the listing: a patrol step, a page and a report
// each keep their own, so nothing one of them does (an answer, a command
// that arrives while an alert is open) can change what another is working
// through.  At most 4096 records a list.
#pragma once
#include <stddef.h>

#define ITEM_NAME    128
#define ITEM_COMMAND 260
#define ITEM_EXTRA   260
#define ITEM_INFO    1024
// The longest key: a name of up to 260 wide characters in UTF-8.
#define ITEM_KEY     784
#define ITEM_MAX     4096
// Records are kept in blocks of this many: one allocation per block, not
// per record (a startup list of thousands is built at every patrol).
#define ITEM_CHUNK   64

struct ItemRecord {
    char Name[ITEM_NAME];
    char Command[ITEM_COMMAND];
    char Extra[ITEM_EXTRA];
    int Code;
    int Flag;
    char Info[ITEM_INFO];
    // The item's own identity where the texts above may not tell two items
    // apart (a scheduled task's wide name in UTF-8, which its ANSI Name may
    // have lost); "" for most categories.
    char Key[ITEM_KEY];
    // The program file as the listing read it from the system, in the
    // file's own spelling, where Command holds another form of it (a
    // running program's upper-case comparable path); "" for most
    // categories, whose Command is the text as read.
    char File[ITEM_COMMAND];
};

// A list of records; empty when made, its records freed when it goes.
// A record keeps its place (and address) until the list is cleared.
struct ItemList {
    ItemRecord* Chunks[ITEM_MAX / ITEM_CHUNK];
    int Count;
    ItemList() : Chunks(), Count(0) {}
    ~ItemList();
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
};

// Adds a record (texts cut to their fields; quotes removed from the
// command; long-path forms; the name taken from the command when empty;
// the monitor's and the explorer's own entries named "Vardex", whatever
// their value is called, so that they are known by one name).
// Returns 1, or 0 when the list is full (an IE cookie, code 500, also
// when the list holds "MaxCookie" records).
int AddItem(ItemList* list, const char* name, const char* command, const char* extra,
            const char* info, int code, int flag);
// AddItem with the record's Key (cut to ITEM_KEY - 1 bytes).
int AddKeyedItem(ItemList* list, const char* key, const char* name, const char* command,
                 const char* extra, const char* info, int code, int flag);
// AddItem with the record's File (cut to ITEM_COMMAND - 1 bytes).
int AddFileItem(ItemList* list, const char* file, const char* name, const char* command,
                const char* extra, const char* info, int code, int flag);

// The Command a record keeps for a command text: cut to 259 characters,
// every double quote removed and, from 4 characters on, its long-path form
// when it is a path with one.  out holds ITEM_COMMAND.
void ItemCommandText(const char* command, char* out, size_t outSize);
template <size_t N> inline void ItemCommandText(const char* command, char (&out)[N])
{ ItemCommandText(command, out, N); }

// 1 when the command starts our own programs (Vardex.exe, VardexView.exe);
// a program merely named like them ("VardexUpdater.exe") is not ours.
int IsOwnProgramCommand(const char* command);

int ItemCount(const ItemList* list);
// Accessors return "" (or 0, or NULL) for an index outside the list.
const ItemRecord* GetItem(const ItemList* list, int i);
const char* GetItemName(const ItemList* list, int i);
const char* GetItemCommand(const ItemList* list, int i);
const char* GetItemExtra(const ItemList* list, int i);
const char* GetItemInfo(const ItemList* list, int i);
int GetItemCode(const ItemList* list, int i);
int GetItemFlag(const ItemList* list, int i);

// Frees every record; the list is empty afterwards.
void ClearItems(ItemList* list);
